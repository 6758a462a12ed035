#include "standins/wab32/WabFile.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <tuple>

#include "platform/win32/WinShell.h"

namespace {

// "PWAB" in the database header marks a file as one of ours.
const int32_t kApplicationId = 0x50574142;
const int kSchemaVersion = 1;

const char* const kSchema =
    "CREATE TABLE entries(id INTEGER PRIMARY KEY AUTOINCREMENT, objtype INTEGER NOT NULL);"
    "CREATE TABLE props(entry INTEGER NOT NULL, propid INTEGER NOT NULL, proptype INTEGER NOT NULL,"
    " value, PRIMARY KEY(entry, propid)) WITHOUT ROWID;"
    "CREATE INDEX props_value ON props(propid, value COLLATE NOCASE);";

class CStmt {
public:
    CStmt(sqlite3* pDb, const char* szSql) {
        if (sqlite3_prepare_v2(pDb, szSql, -1, &m_p, nullptr) != SQLITE_OK) m_p = nullptr;
    }
    ~CStmt() { sqlite3_finalize(m_p); }
    CStmt(const CStmt&) = delete;
    CStmt& operator=(const CStmt&) = delete;
    sqlite3_stmt* operator*() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    sqlite3_stmt* m_p = nullptr;
};

std::string ColumnText(sqlite3_stmt* p, int i) {
    const unsigned char* sz = sqlite3_column_text(p, i);
    return sz != nullptr ? std::string(reinterpret_cast<const char*>(sz)) : std::string();
}

using SchemaRows = std::set<std::tuple<std::string, std::string, std::string, std::string>>;

// The schema rows (type, name, table, text) of a database, or an SQLite
// error code.
int ReadSchema(sqlite3* pDb, SchemaRows* pRows) {
    sqlite3_stmt* p = nullptr;
    int rc = sqlite3_prepare_v2(pDb, "SELECT type, name, tbl_name, sql FROM sqlite_master", -1, &p, nullptr);
    if (rc != SQLITE_OK) return rc;
    while ((rc = sqlite3_step(p)) == SQLITE_ROW)
        pRows->insert(std::make_tuple(ColumnText(p, 0), ColumnText(p, 1), ColumnText(p, 2), ColumnText(p, 3)));
    sqlite3_finalize(p);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

bool IsDamageCode(int rc) { return (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB; }

uint32_t BigEndian32(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

}  // namespace

CWabFile::~CWabFile() { sqlite3_close(m_pDb); }

std::string CWabFile::DefaultPath() {
    // The program's own rule for the data home, so the default book lands in
    // the program's data folder.
    char szHome[MAX_PATH];
    if (SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, szHome) != 0)
        return std::string();
    return std::string(szHome) + "/tessaro/PELLMARK/addressbook.wab";
}

bool CWabFile::MakeParentFolders(const std::string& sFile) {
    for (size_t n = sFile.find('/', 1); n != std::string::npos; n = sFile.find('/', n + 1)) {
        std::string sDir = sFile.substr(0, n);
        if (mkdir(sDir.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    return true;
}

void CWabFile::Fail(const char* szWhat) {
    if (m_pDb != nullptr && IsDamageCode(sqlite3_errcode(m_pDb))) m_bDamaged = true;
    m_sError = std::string(szWhat) + ": " + (m_pDb != nullptr ? sqlite3_errmsg(m_pDb) : "cannot open");
}

bool CWabFile::Exec(const char* szSql) {
    if (sqlite3_exec(m_pDb, szSql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    Fail(szSql);
    return false;
}

bool CWabFile::InitSchema() {
    char szPragma[96];
    snprintf(szPragma, sizeof(szPragma), "PRAGMA application_id=%d;PRAGMA user_version=%d;", int(kApplicationId),
             kSchemaVersion);
    if (!Exec("BEGIN IMMEDIATE")) return false;
    if (Exec(kSchema) && Exec(szPragma) && Exec("COMMIT")) return true;
    sqlite3_exec(m_pDb, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

CWabFile::OpenResult CWabFile::Open(const std::string& sFile, bool bCreate) {
    sqlite3_close(m_pDb);
    m_pDb = nullptr;
    m_sError.clear();
    m_bDamaged = false;

    // Look at the header ourselves first, so that a file of someone else's
    // is never handed to SQLite, which could write a journal or a schema.
    bool bNew = false;
    struct stat st;
    if (stat(sFile.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            m_sError = sFile + ": " + strerror(errno);
            return OPEN_FAILED;
        }
        if (!bCreate) {
            m_sError = sFile + ": no such file";
            return OPEN_MISSING;
        }
        bNew = true;
    } else if (!S_ISREG(st.st_mode)) {
        m_sError = sFile + ": not an address book";
        return OPEN_NOT_OURS;
    } else if (st.st_size == 0) {
        bNew = true;
    } else {
        unsigned char abHeader[100];
        FILE* pFile = fopen(sFile.c_str(), "rb");
        if (pFile == nullptr) {
            m_sError = sFile + ": " + strerror(errno);
            return OPEN_FAILED;
        }
        size_t nRead = fread(abHeader, 1, sizeof(abHeader), pFile);
        fclose(pFile);
        if (nRead != sizeof(abHeader) || memcmp(abHeader, "SQLite format 3", 16) != 0 ||
            BigEndian32(abHeader + 68) != uint32_t(kApplicationId) ||
            BigEndian32(abHeader + 60) != uint32_t(kSchemaVersion)) {
            m_sError = sFile + ": not an address book";
            return OPEN_NOT_OURS;
        }
    }

    int nFlags = SQLITE_OPEN_READWRITE | (bNew ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(sFile.c_str(), &m_pDb, nFlags, nullptr) != SQLITE_OK) {
        Fail(sFile.c_str());
        sqlite3_close(m_pDb);
        m_pDb = nullptr;
        return OPEN_FAILED;
    }
    // The marks in the header prove little: a file may have been damaged or
    // made by hand. SQLite's guards keep the schema from running anything
    // (no views, no triggers, no functions with side effects), and the file
    // is used only when its schema is exactly ours and its pages are sound.
    sqlite3_db_config(m_pDb, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(m_pDb, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(m_pDb, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(m_pDb, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_busy_timeout(m_pDb, 5000);
    OpenResult result = bNew ? (InitSchema() ? OPEN_OK : OPEN_FAILED) : CheckFile(sFile);
    if (result != OPEN_OK) {
        sqlite3_close(m_pDb);
        m_pDb = nullptr;
    }
    return result;
}

CWabFile::OpenResult CWabFile::CheckFile(const std::string& sFile) {
    SchemaRows ours, theirs;
    sqlite3* pMem = nullptr;
    bool bOk = sqlite3_open_v2(":memory:", &pMem, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
               sqlite3_exec(pMem, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK && ReadSchema(pMem, &ours) == SQLITE_OK;
    sqlite3_close(pMem);
    if (!bOk) {
        m_sError = sFile + ": cannot check the file";
        return OPEN_FAILED;
    }
    int rc = ReadSchema(m_pDb, &theirs);
    if (IsDamageCode(rc)) {
        m_sError = sFile + ": damaged address book";
        return OPEN_DAMAGED;
    }
    if (rc != SQLITE_OK) {
        Fail(sFile.c_str());
        return OPEN_FAILED;
    }
    // Nothing at all: a book whose making was cut short before its first
    // commit, made now.
    if (theirs.empty()) return InitSchema() ? OPEN_OK : OPEN_FAILED;
    if (theirs != ours) {
        m_sError = sFile + ": not an address book";
        return OPEN_NOT_OURS;
    }
    // Every page and row of every table and index must read back.
    sqlite3_stmt* p = nullptr;
    rc = sqlite3_prepare_v2(m_pDb, "PRAGMA quick_check", -1, &p, nullptr);
    bool bSound = rc == SQLITE_OK && (rc = sqlite3_step(p)) == SQLITE_ROW && ColumnText(p, 0) == "ok" &&
                  (rc = sqlite3_step(p)) == SQLITE_DONE;
    sqlite3_finalize(p);
    if (bSound) return OPEN_OK;
    if (rc == SQLITE_ROW || rc == SQLITE_DONE || IsDamageCode(rc)) {
        m_sError = sFile + ": damaged address book";
        return OPEN_DAMAGED;
    }
    Fail(sFile.c_str());
    return OPEN_FAILED;
}

bool CWabFile::ListEntries(std::vector<CWabEntryRow>& rows) {
    rows.clear();
    CStmt stmt(m_pDb, "SELECT id, objtype FROM entries ORDER BY id");
    if (!stmt) {
        Fail("list");
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(*stmt)) == SQLITE_ROW)
        rows.push_back({sqlite3_column_int64(*stmt, 0), ULONG(sqlite3_column_int64(*stmt, 1))});
    if (rc != SQLITE_DONE) Fail("list");
    return rc == SQLITE_DONE;
}

bool CWabFile::GetEntryType(int64_t nId, ULONG* pulObjType, bool* pbExists) {
    *pbExists = false;
    CStmt stmt(m_pDb, "SELECT objtype FROM entries WHERE id=?");
    if (!stmt) {
        Fail("entry");
        return false;
    }
    sqlite3_bind_int64(*stmt, 1, nId);
    int rc = sqlite3_step(*stmt);
    if (rc == SQLITE_ROW) {
        *pbExists = true;
        *pulObjType = ULONG(sqlite3_column_int64(*stmt, 0));
        return true;
    }
    if (rc != SQLITE_DONE) Fail("entry");
    return rc == SQLITE_DONE;
}

bool CWabFile::LoadProps(int64_t nId, std::vector<CWabProp>& props) {
    props.clear();
    CStmt stmt(m_pDb, "SELECT propid, proptype, value FROM props WHERE entry=? ORDER BY propid");
    if (!stmt) {
        Fail("properties");
        return false;
    }
    sqlite3_bind_int64(*stmt, 1, nId);
    int rc;
    while ((rc = sqlite3_step(*stmt)) == SQLITE_ROW) {
        CWabProp prop;
        prop.ulTag = PROP_TAG(ULONG(sqlite3_column_int64(*stmt, 1)), ULONG(sqlite3_column_int64(*stmt, 0)));
        switch (PROP_TYPE(prop.ulTag)) {
        case PT_STRING8:
        case PT_BINARY: {
            const void* p = sqlite3_column_blob(*stmt, 2);
            int n = sqlite3_column_bytes(*stmt, 2);
            if (p != nullptr) prop.sText.assign(static_cast<const char*>(p), size_t(n));
            break;
        }
        default:
            prop.nValue = sqlite3_column_int64(*stmt, 2);
            break;
        }
        props.push_back(prop);
    }
    if (rc != SQLITE_DONE) Fail("properties");
    return rc == SQLITE_DONE;
}

bool CWabFile::IsDuplicate(const std::string& sName, const std::string& sEmail, bool* pbDup) {
    *pbDup = false;
    // A missing value counts as an empty one.
    const char* szSql =
        "SELECT 1 FROM entries e WHERE e.objtype=?3"
        " AND coalesce((SELECT value FROM props WHERE entry=e.id AND propid=?1 AND proptype=?5),'')=?2 COLLATE NOCASE"
        " AND coalesce((SELECT value FROM props WHERE entry=e.id AND propid=?4 AND proptype=?5),'')=?6 COLLATE NOCASE"
        " LIMIT 1";
    // With a display name, start from the entries that carry it (indexed).
    const char* szIndexed =
        "SELECT 1 FROM props p JOIN entries e ON e.id=p.entry WHERE p.propid=?1 AND p.value=?2 COLLATE NOCASE"
        " AND p.proptype=?5 AND e.objtype=?3"
        " AND coalesce((SELECT value FROM props WHERE entry=e.id AND propid=?4 AND proptype=?5),'')=?6 COLLATE NOCASE"
        " LIMIT 1";
    CStmt stmt(m_pDb, sName.empty() ? szSql : szIndexed);
    if (!stmt) {
        Fail("duplicate check");
        return false;
    }
    sqlite3_bind_int64(*stmt, 1, PROP_ID(PR_DISPLAY_NAME));
    sqlite3_bind_text(*stmt, 2, sName.data(), int(sName.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(*stmt, 3, MAPI_MAILUSER);
    sqlite3_bind_int64(*stmt, 4, PROP_ID(PR_EMAIL_ADDRESS));
    sqlite3_bind_int64(*stmt, 5, PT_STRING8);
    sqlite3_bind_text(*stmt, 6, sEmail.data(), int(sEmail.size()), SQLITE_TRANSIENT);
    int rc = sqlite3_step(*stmt);
    if (rc == SQLITE_ROW) *pbDup = true;
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail("duplicate check");
    return rc == SQLITE_ROW || rc == SQLITE_DONE;
}

CWabFile::SaveResult CWabFile::Save(int64_t* pnId, bool bNew, ULONG ulObjType, const std::vector<CWabProp>& props,
                                    const std::vector<ULONG>& removeIds, bool bCheckDup) {
    // Inside a batch the save is a savepoint of the batch's transaction.
    const bool bInBatch = m_pDb != nullptr && sqlite3_get_autocommit(m_pDb) == 0;
    if (!Exec(bInBatch ? "SAVEPOINT save_entry" : "BEGIN IMMEDIATE")) return SAVE_FAILED;
    SaveResult result = SAVE_FAILED;
    do {
        if (bNew) {
            if (bCheckDup && ulObjType == MAPI_MAILUSER) {
                bool bDup = false;
                if (!IsDuplicate(WabPropText(props, PR_DISPLAY_NAME), WabPropText(props, PR_EMAIL_ADDRESS), &bDup))
                    break;
                if (bDup) {
                    result = SAVE_DUPLICATE;
                    break;
                }
            }
            CStmt ins(m_pDb, "INSERT INTO entries(objtype) VALUES(?)");
            if (!ins) break;
            sqlite3_bind_int64(*ins, 1, ulObjType);
            if (sqlite3_step(*ins) != SQLITE_DONE) break;
            *pnId = sqlite3_last_insert_rowid(m_pDb);
        } else {
            ULONG ulType = 0;
            bool bExists = false;
            if (!GetEntryType(*pnId, &ulType, &bExists)) break;
            if (!bExists) {
                result = SAVE_DELETED;
                break;
            }
        }
        CStmt put(m_pDb, "INSERT OR REPLACE INTO props(entry, propid, proptype, value) VALUES(?,?,?,?)");
        CStmt del(m_pDb, "DELETE FROM props WHERE entry=? AND propid=?");
        if (!put || !del) break;
        bool bOk = true;
        for (const CWabProp& prop : props) {
            sqlite3_reset(*put);
            sqlite3_bind_int64(*put, 1, *pnId);
            sqlite3_bind_int64(*put, 2, PROP_ID(prop.ulTag));
            sqlite3_bind_int64(*put, 3, PROP_TYPE(prop.ulTag));
            if (PROP_TYPE(prop.ulTag) == PT_STRING8)
                sqlite3_bind_text(*put, 4, prop.sText.data(), int(prop.sText.size()), SQLITE_STATIC);
            else if (PROP_TYPE(prop.ulTag) == PT_BINARY)
                sqlite3_bind_blob(*put, 4, prop.sText.data(), int(prop.sText.size()), SQLITE_STATIC);
            else
                sqlite3_bind_int64(*put, 4, prop.nValue);
            if (sqlite3_step(*put) != SQLITE_DONE) {
                bOk = false;
                break;
            }
        }
        for (size_t i = 0; bOk && i < removeIds.size(); ++i) {
            sqlite3_reset(*del);
            sqlite3_bind_int64(*del, 1, *pnId);
            sqlite3_bind_int64(*del, 2, removeIds[i]);
            bOk = sqlite3_step(*del) == SQLITE_DONE;
        }
        if (bOk) result = SAVE_OK;
    } while (false);

    if (result == SAVE_OK && Exec(bInBatch ? "RELEASE save_entry" : "COMMIT")) return SAVE_OK;
    if (result == SAVE_OK || result == SAVE_FAILED) {
        Fail("save");
        result = SAVE_FAILED;
    }
    sqlite3_exec(m_pDb, bInBatch ? "ROLLBACK TO save_entry; RELEASE save_entry" : "ROLLBACK", nullptr, nullptr,
                 nullptr);
    return result;
}

bool CWabFile::BeginBatch() { return Exec("BEGIN IMMEDIATE"); }

bool CWabFile::CommitBatch() {
    if (Exec("COMMIT")) return true;
    sqlite3_exec(m_pDb, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool CWabFile::Delete(int64_t nId, bool* pbExisted) {
    *pbExisted = false;
    if (!Exec("BEGIN IMMEDIATE")) return false;
    CStmt delProps(m_pDb, "DELETE FROM props WHERE entry=?");
    CStmt delEntry(m_pDb, "DELETE FROM entries WHERE id=?");
    bool bOk = delProps && delEntry;
    if (bOk) {
        sqlite3_bind_int64(*delProps, 1, nId);
        sqlite3_bind_int64(*delEntry, 1, nId);
        bOk = sqlite3_step(*delProps) == SQLITE_DONE && sqlite3_step(*delEntry) == SQLITE_DONE;
    }
    if (bOk) *pbExisted = sqlite3_changes(m_pDb) > 0;
    if (bOk && Exec("COMMIT")) return true;
    Fail("delete");
    sqlite3_exec(m_pDb, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

std::string WabPropText(const std::vector<CWabProp>& props, ULONG ulTag) {
    for (const CWabProp& prop : props)
        if (prop.ulTag == ulTag) return prop.sText;
    return std::string();
}
