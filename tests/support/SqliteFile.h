// Prepares SQLite files the way a damaged disk or another program leaves
// them: statements run past the file's own constraints, and pages broken in
// place. Tests that include this link SQLite.
#pragma once

#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// Runs szSql on the file (created when missing); false on any error.
inline bool SqliteExec(const std::string& sFile, const char* szSql) {
    sqlite3* pDb = nullptr;
    bool bOk = sqlite3_open(sFile.c_str(), &pDb) == SQLITE_OK &&
               sqlite3_exec(pDb, szSql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(pDb);
    return bOk;
}

// Runs szSql with the tables' NOT NULL constraints lifted, then puts the
// schema back word for word: the rows then hold what the schema forbids.
inline bool SqliteExecWithoutNotNull(const std::string& sFile, const char* szSql) {
    sqlite3* pDb = nullptr;
    if (sqlite3_open(sFile.c_str(), &pDb) != SQLITE_OK) {
        sqlite3_close(pDb);
        return false;
    }
    std::vector<std::pair<std::string, std::string>> schema;
    sqlite3_stmt* p = nullptr;
    sqlite3_prepare_v2(pDb, "SELECT name, sql FROM sqlite_master WHERE type='table'", -1, &p, nullptr);
    while (sqlite3_step(p) == SQLITE_ROW)
        schema.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(p, 0)),
                            reinterpret_cast<const char*>(sqlite3_column_text(p, 1)));
    sqlite3_finalize(p);
    bool bOk = sqlite3_exec(pDb,
                            "PRAGMA writable_schema=ON;"
                            "UPDATE sqlite_master SET sql=replace(sql, ' NOT NULL', '') WHERE type='table';"
                            "PRAGMA writable_schema=OFF;",
                            nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(pDb);
    bOk = bOk && SqliteExec(sFile, szSql);
    pDb = nullptr;
    bOk = sqlite3_open(sFile.c_str(), &pDb) == SQLITE_OK &&
          sqlite3_exec(pDb, "PRAGMA writable_schema=ON", nullptr, nullptr, nullptr) == SQLITE_OK && bOk;
    for (const auto& table : schema) {
        sqlite3_prepare_v2(pDb, "UPDATE sqlite_master SET sql=? WHERE type='table' AND name=?", -1, &p, nullptr);
        sqlite3_bind_text(p, 1, table.second.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(p, 2, table.first.c_str(), -1, SQLITE_TRANSIENT);
        bOk = sqlite3_step(p) == SQLITE_DONE && bOk;
        sqlite3_finalize(p);
    }
    sqlite3_close(pDb);
    return bOk;
}

// Breaks the root page of a table or index in place (its page type byte),
// so that every read of it fails as damaged while the rest of the file
// reads as before.
inline bool SqliteDamageRootPage(const std::string& sFile, const char* szName) {
    sqlite3* pDb = nullptr;
    long long nRoot = 0, nPageSize = 0;
    if (sqlite3_open_v2(sFile.c_str(), &pDb, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* p = nullptr;
        sqlite3_prepare_v2(pDb, "SELECT rootpage FROM sqlite_master WHERE name=?", -1, &p, nullptr);
        sqlite3_bind_text(p, 1, szName, -1, SQLITE_TRANSIENT);
        if (sqlite3_step(p) == SQLITE_ROW) nRoot = sqlite3_column_int64(p, 0);
        sqlite3_finalize(p);
        sqlite3_prepare_v2(pDb, "PRAGMA page_size", -1, &p, nullptr);
        if (sqlite3_step(p) == SQLITE_ROW) nPageSize = sqlite3_column_int64(p, 0);
        sqlite3_finalize(p);
    }
    sqlite3_close(pDb);
    if (nRoot < 2 || nPageSize <= 0) return false;
    FILE* pFile = fopen(sFile.c_str(), "r+b");
    if (pFile == nullptr) return false;
    bool bOk = fseek(pFile, long((nRoot - 1) * nPageSize), SEEK_SET) == 0 && fputc(0x55, pFile) != EOF;
    return fclose(pFile) == 0 && bOk;
}

// SQLite's own check of the file, opened as a program restarting after a
// crash would open it (so a left-over journal is rolled back first): "ok"
// for a sound file, else the first problem, "<cannot open>" or "<error>".
inline std::string IntegrityCheck(const std::string& sFile) {
    sqlite3* pDb = nullptr;
    std::string s = "<cannot open>";
    if (sqlite3_open_v2(sFile.c_str(), &pDb, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* p = nullptr;
        sqlite3_prepare_v2(pDb, "PRAGMA integrity_check", -1, &p, nullptr);
        s = sqlite3_step(p) == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(p, 0)) : "<error>";
        sqlite3_finalize(p);
    }
    sqlite3_close(pDb);
    return s;
}
