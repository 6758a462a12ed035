#include "standins/outlook/OlStore.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <tuple>

#include "platform/com/WinNls.h"
#include "platform/win32/WinReg.h"
#include "platform/win32/WinShell.h"

namespace {

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS items("
    "  id INTEGER PRIMARY KEY, folder TEXT NOT NULL DEFAULT '', kind INTEGER NOT NULL,"
    "  seq INTEGER NOT NULL, entry_id TEXT NOT NULL UNIQUE, created REAL NOT NULL, modified REAL NOT NULL);"
    "CREATE INDEX IF NOT EXISTS items_order ON items(folder, seq);"
    "CREATE TABLE IF NOT EXISTS props("
    "  item_id INTEGER NOT NULL REFERENCES items(id) ON DELETE CASCADE, name TEXT NOT NULL, value,"
    "  PRIMARY KEY(item_id, name)) WITHOUT ROWID;";

class Statement {
public:
    explicit Statement(sqlite3_stmt* p) : m_p(p) {}
    ~Statement() {
        if (m_p != nullptr) {
            sqlite3_reset(m_p);
            sqlite3_clear_bindings(m_p);
        }
    }
    sqlite3_stmt* get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    sqlite3_stmt* m_p;
};

// A text column, empty when the value is NULL (a file written by someone
// else need not keep the NOT NULL constraints).
std::string ColumnText(sqlite3_stmt* p, int i) {
    const unsigned char* sz = sqlite3_column_text(p, i);
    return sz != nullptr ? std::string(reinterpret_cast<const char*>(sz)) : std::string();
}

using SchemaRows = std::set<std::tuple<std::string, std::string, std::string, std::string>>;

// The schema rows (type, name, table, text) of a database; false when they
// cannot be read.
bool ReadSchema(sqlite3* pDb, SchemaRows* pRows) {
    sqlite3_stmt* p = nullptr;
    if (sqlite3_prepare_v2(pDb, "SELECT type, name, tbl_name, sql FROM sqlite_master", -1, &p, nullptr) != SQLITE_OK)
        return false;
    int rc;
    while ((rc = sqlite3_step(p)) == SQLITE_ROW)
        pRows->insert(std::make_tuple(ColumnText(p, 0), ColumnText(p, 1), ColumnText(p, 2), ColumnText(p, 3)));
    sqlite3_finalize(p);
    return rc == SQLITE_DONE;
}

// True when pDb holds exactly the tables and indexes a new Contacts file
// gets: nothing more (no views, no triggers), nothing less; or nothing at
// all (a file whose making was cut short).
bool IsContactsSchema(sqlite3* pDb) {
    SchemaRows ours, theirs;
    sqlite3* pMem = nullptr;
    bool bOk = sqlite3_open_v2(":memory:", &pMem, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
               sqlite3_exec(pMem, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK && ReadSchema(pMem, &ours);
    sqlite3_close(pMem);
    return bOk && ReadSchema(pDb, &theirs) && (theirs.empty() || ours == theirs);
}

// SQLite's guards for a file that may come from elsewhere: no writes to the
// schema through SQL, no functions with side effects run from the schema, no
// views and no triggers.
void GuardForeignFile(sqlite3* pDb) {
    sqlite3_db_config(pDb, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(pDb, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(pDb, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(pDb, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
}

std::string MakeStoreKey() {
    std::random_device rd;
    char sz[33];
    for (int i = 0; i < 4; ++i) snprintf(sz + 8 * i, 9, "%08X", (unsigned)rd());
    return sz;
}

}  // namespace

std::u16string OlToUtf16(const std::string& s) {
    if (s.empty()) return std::u16string();
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), nullptr, 0);
    std::u16string w((size_t)n, u'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), &w[0], n);
    return w;
}

std::string OlToUtf8(const std::u16string& w) {
    if (w.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &s[0], n, nullptr, nullptr);
    return s;
}

std::string OlDefaultStorePath() {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Pellmark\\OutlookStandin", 0, KEY_READ, &hKey) ==
        ERROR_SUCCESS) {
        char sz[4096];
        DWORD cb = sizeof(sz), dwType = 0;
        LONG rc = RegQueryValueExA(hKey, "ContactsFile", nullptr, &dwType, reinterpret_cast<LPBYTE>(sz), &cb);
        RegCloseKey(hKey);
        if (rc == ERROR_SUCCESS && (dwType == REG_SZ || dwType == REG_EXPAND_SZ) && cb > 1) {
            sz[sizeof(sz) - 1] = '\0';
            return sz;
        }
    }
    char szHome[MAX_PATH];
    if (SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, szHome) !=
        0)
        return std::string();
    std::string sFolder = std::string(szHome) + "/OlStandin";
    mkdir(sFolder.c_str(), 0777);
    return sFolder + "/contacts.db";
}

std::shared_ptr<OlStore> OlStore::Open(const std::string& sPath, std::string* psError) {
    std::shared_ptr<OlStore> pStore(new OlStore());
    pStore->m_sPath = sPath;
    if (sPath.empty()) {
        *psError = "no Contacts file";
        return nullptr;
    }
    // Look before changing anything: a file that is there must be an SQLite
    // database with exactly our tables, else it is left as it is (no journal
    // mode, no tables, no key written into it).
    bool bNew = false;
    struct stat st;
    if (stat(sPath.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            *psError = strerror(errno);
            return nullptr;
        }
        bNew = true;
    } else if (!S_ISREG(st.st_mode)) {
        *psError = "not a Contacts file";
        return nullptr;
    } else if (st.st_size == 0) {
        bNew = true;
    } else {
        char abHeader[16] = {};
        FILE* pFile = fopen(sPath.c_str(), "rb");
        if (pFile == nullptr) {
            *psError = strerror(errno);
            return nullptr;
        }
        size_t nRead = fread(abHeader, 1, sizeof(abHeader), pFile);
        fclose(pFile);
        if (nRead != sizeof(abHeader) || memcmp(abHeader, "SQLite format 3", 16) != 0) {
            *psError = "not a Contacts file";
            return nullptr;
        }
    }
    int nFlags = SQLITE_OPEN_READWRITE | (bNew ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(sPath.c_str(), &pStore->m_pDb, nFlags, nullptr) != SQLITE_OK) {
        *psError = pStore->m_pDb != nullptr ? sqlite3_errmsg(pStore->m_pDb) : "cannot open";
        return nullptr;
    }
    GuardForeignFile(pStore->m_pDb);
    sqlite3_busy_timeout(pStore->m_pDb, 5000);
    if (!bNew && !IsContactsSchema(pStore->m_pDb)) {
        *psError = "not a Contacts file";
        return nullptr;
    }
    // WAL keeps each save a cheap, crash-safe commit. The tables are made in
    // one transaction, so a crash never leaves some of them.
    if (!pStore->Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON;") ||
        !pStore->Exec("BEGIN IMMEDIATE")) {
        *psError = sqlite3_errmsg(pStore->m_pDb);
        return nullptr;
    }
    if (!pStore->Exec(kSchema) || !pStore->Exec("COMMIT")) {
        *psError = sqlite3_errmsg(pStore->m_pDb);
        pStore->Exec("ROLLBACK");
        return nullptr;
    }
    {
        Statement st(pStore->Prepare("SELECT value FROM meta WHERE key='store_key'"));
        if (st && sqlite3_step(st.get()) == SQLITE_ROW) pStore->m_sStoreKey = ColumnText(st.get(), 0);
    }
    if (pStore->m_sStoreKey.size() != 32) {
        pStore->m_sStoreKey = MakeStoreKey();
        Statement st(pStore->Prepare("INSERT OR REPLACE INTO meta(key, value) VALUES('store_key', ?)"));
        if (!st) {
            *psError = sqlite3_errmsg(pStore->m_pDb);
            return nullptr;
        }
        sqlite3_bind_text(st.get(), 1, pStore->m_sStoreKey.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(st.get()) != SQLITE_DONE) {
            *psError = sqlite3_errmsg(pStore->m_pDb);
            return nullptr;
        }
    }
    return pStore;
}

OlStore::~OlStore() {
    for (auto& it : m_Statements) sqlite3_finalize(it.second);
    if (m_pDb != nullptr) sqlite3_close(m_pDb);
}

bool OlStore::Exec(const char* szSql) { return sqlite3_exec(m_pDb, szSql, nullptr, nullptr, nullptr) == SQLITE_OK; }

sqlite3_stmt* OlStore::Prepare(const char* szSql) {
    auto it = m_Statements.find(szSql);
    if (it != m_Statements.end()) return it->second;
    sqlite3_stmt* p = nullptr;
    if (sqlite3_prepare_v2(m_pDb, szSql, -1, &p, nullptr) != SQLITE_OK) return nullptr;
    m_Statements[szSql] = p;
    return p;
}

std::string OlStore::StoreID() const { return "0000000050454C4C" + m_sStoreKey; }

std::string OlStore::FolderName() {
    Statement st(Prepare("SELECT value FROM meta WHERE key='folder_name'"));
    if (st && sqlite3_step(st.get()) == SQLITE_ROW) return ColumnText(st.get(), 0);
    return "Contacts";
}

bool OlStore::SetFolderName(const std::string& sName) {
    Statement st(Prepare("INSERT OR REPLACE INTO meta(key, value) VALUES('folder_name', ?)"));
    if (!st) return false;
    sqlite3_bind_text(st.get(), 1, sName.c_str(), (int)sName.size(), SQLITE_TRANSIENT);
    return sqlite3_step(st.get()) == SQLITE_DONE;
}

std::vector<long long> OlStore::ItemIds(const std::string& sFolder, bool* pbFailed) {
    std::vector<long long> ids;
    if (pbFailed != nullptr) *pbFailed = true;
    Statement st(Prepare("SELECT id FROM items WHERE folder=? ORDER BY seq, id"));
    if (!st) return ids;
    sqlite3_bind_text(st.get(), 1, sFolder.c_str(), (int)sFolder.size(), SQLITE_TRANSIENT);
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) ids.push_back(sqlite3_column_int64(st.get(), 0));
    if (rc != SQLITE_DONE) ids.clear();  // a damaged table is not a shorter list
    else if (pbFailed != nullptr) *pbFailed = false;
    return ids;
}

long OlStore::Count(const std::string& sFolder) {
    Statement st(Prepare("SELECT COUNT(*) FROM items WHERE folder=?"));
    if (!st) return 0;
    sqlite3_bind_text(st.get(), 1, sFolder.c_str(), (int)sFolder.size(), SQLITE_TRANSIENT);
    return sqlite3_step(st.get()) == SQLITE_ROW ? (long)sqlite3_column_int64(st.get(), 0) : 0;
}

long long OlStore::ItemIdAt(const std::string& sFolder, long n) {
    if (n < 1) return 0;
    Statement st(Prepare("SELECT id FROM items WHERE folder=? ORDER BY seq, id LIMIT 1 OFFSET ?"));
    if (!st) return 0;
    sqlite3_bind_text(st.get(), 1, sFolder.c_str(), (int)sFolder.size(), SQLITE_TRANSIENT);
    sqlite3_bind_int64(st.get(), 2, n - 1);
    return sqlite3_step(st.get()) == SQLITE_ROW ? sqlite3_column_int64(st.get(), 0) : 0;
}

long long OlStore::ItemIdByEntryID(const std::string& sEntryID) {
    Statement st(Prepare("SELECT id FROM items WHERE entry_id=?"));
    if (!st) return 0;
    sqlite3_bind_text(st.get(), 1, sEntryID.c_str(), (int)sEntryID.size(), SQLITE_TRANSIENT);
    return sqlite3_step(st.get()) == SQLITE_ROW ? sqlite3_column_int64(st.get(), 0) : 0;
}

std::vector<std::string> OlStore::Folders() {
    std::vector<std::string> folders{""};
    Statement st(Prepare("SELECT DISTINCT folder FROM items WHERE folder<>'' ORDER BY folder"));
    if (!st) return folders;
    while (sqlite3_step(st.get()) == SQLITE_ROW) folders.push_back(ColumnText(st.get(), 0));
    return folders;
}

bool OlStore::LoadItem(long long nId, OlItemRecord* pItem, bool* pbFailed) {
    if (pbFailed != nullptr) *pbFailed = true;
    OlItemRecord item;
    {
        Statement st(Prepare("SELECT folder, kind, seq, entry_id, created, modified FROM items WHERE id=?"));
        if (!st) return false;
        sqlite3_bind_int64(st.get(), 1, nId);
        int rc = sqlite3_step(st.get());
        if (rc != SQLITE_ROW) {
            if (rc == SQLITE_DONE && pbFailed != nullptr) *pbFailed = false;  // no such item
            return false;
        }
        item.nId = nId;
        item.sFolder = ColumnText(st.get(), 0);
        item.nKind = sqlite3_column_int(st.get(), 1);
        item.nSeq = sqlite3_column_int64(st.get(), 2);
        item.sEntryID = ColumnText(st.get(), 3);
        item.dtCreated = sqlite3_column_double(st.get(), 4);
        item.dtModified = sqlite3_column_double(st.get(), 5);
    }
    Statement st(Prepare("SELECT name, value FROM props WHERE item_id=?"));
    if (!st) return false;
    sqlite3_bind_int64(st.get(), 1, nId);
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        const OlPropDef* pDef = FindOlItemProp(item.nKind, ColumnText(st.get(), 0).c_str());
        if (pDef == nullptr) continue;  // a property this version does not know
        OlPropValue v;
        v.nKind = pDef->nKind;
        if (pDef->nKind == OL_PROP_TEXT) {
            // Text is kept as its UTF-16 code units, so every value comes back
            // exactly as it was put.
            const void* p = sqlite3_column_blob(st.get(), 1);
            int nBytes = sqlite3_column_bytes(st.get(), 1);
            v.sText.resize((size_t)nBytes / 2);
            if (p != nullptr && nBytes >= 2) memcpy(&v.sText[0], p, (size_t)(nBytes / 2) * 2);
        } else if (pDef->nKind == OL_PROP_DATE) {
            v.dValue = sqlite3_column_double(st.get(), 1);
        } else {
            v.nValue = (long)sqlite3_column_int64(st.get(), 1);
        }
        item.props[pDef->szName] = v;
    }
    // Properties that stop on an error are a damaged item, not a shorter one.
    if (rc != SQLITE_DONE) return false;
    if (pbFailed != nullptr) *pbFailed = false;
    *pItem = item;
    return true;
}

long long OlStore::NextSeq() {
    Statement st(Prepare("SELECT COALESCE(MAX(seq), 0) FROM items"));
    long long nMax = (st && sqlite3_step(st.get()) == SQLITE_ROW) ? sqlite3_column_int64(st.get(), 0) : 0;
    if (nMax > m_nLastSeq) m_nLastSeq = nMax;
    return ++m_nLastSeq;
}

bool OlStore::SaveItem(OlItemRecord* pItem, double dtNow) {
    if (!Exec("BEGIN IMMEDIATE")) return false;
    bool bOk = true;
    long long nId = pItem->nId;
    std::string sEntryID = pItem->sEntryID;
    if (nId == 0) {
        if (pItem->nSeq == 0) pItem->nSeq = NextSeq();
        Statement st(Prepare(
            "INSERT INTO items(folder, kind, seq, entry_id, created, modified) VALUES(?, ?, ?, ?, ?, ?)"));
        // The EntryID needs the row's id; a unique placeholder holds its place.
        std::string sTemp = "new-" + std::to_string(pItem->nSeq) + "-" + m_sStoreKey;
        bOk = bool(st);
        if (bOk) {
            sqlite3_bind_text(st.get(), 1, pItem->sFolder.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(st.get(), 2, pItem->nKind);
            sqlite3_bind_int64(st.get(), 3, pItem->nSeq);
            sqlite3_bind_text(st.get(), 4, sTemp.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(st.get(), 5, pItem->dtCreated);
            sqlite3_bind_double(st.get(), 6, dtNow);
            bOk = sqlite3_step(st.get()) == SQLITE_DONE;
        }
        if (bOk) {
            nId = sqlite3_last_insert_rowid(m_pDb);
            char sz[16];
            snprintf(sz, sizeof(sz), "%08llX", (unsigned long long)nId);
            sEntryID = "00000000" + m_sStoreKey + sz;
            Statement up(Prepare("UPDATE items SET entry_id=? WHERE id=?"));
            bOk = bool(up);
            if (bOk) {
                sqlite3_bind_text(up.get(), 1, sEntryID.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int64(up.get(), 2, nId);
                bOk = sqlite3_step(up.get()) == SQLITE_DONE;
            }
        }
    } else {
        Statement st(Prepare("UPDATE items SET modified=? WHERE id=?"));
        bOk = bool(st);
        if (bOk) {
            sqlite3_bind_double(st.get(), 1, dtNow);
            sqlite3_bind_int64(st.get(), 2, nId);
            bOk = sqlite3_step(st.get()) == SQLITE_DONE && sqlite3_changes(m_pDb) == 1;
        }
        if (bOk) {
            Statement del(Prepare("DELETE FROM props WHERE item_id=?"));
            bOk = bool(del);
            if (bOk) {
                sqlite3_bind_int64(del.get(), 1, nId);
                bOk = sqlite3_step(del.get()) == SQLITE_DONE;
            }
        }
    }
    for (auto it = pItem->props.begin(); bOk && it != pItem->props.end(); ++it) {
        Statement st(Prepare("INSERT INTO props(item_id, name, value) VALUES(?, ?, ?)"));
        bOk = bool(st);
        if (!bOk) break;
        sqlite3_bind_int64(st.get(), 1, nId);
        sqlite3_bind_text(st.get(), 2, it->first.c_str(), -1, SQLITE_TRANSIENT);
        const OlPropValue& v = it->second;
        if (v.nKind == OL_PROP_TEXT)
            sqlite3_bind_blob(st.get(), 3, v.sText.data(), (int)(v.sText.size() * 2), SQLITE_TRANSIENT);
        else if (v.nKind == OL_PROP_DATE)
            sqlite3_bind_double(st.get(), 3, v.dValue);
        else
            sqlite3_bind_int64(st.get(), 3, v.nValue);
        bOk = sqlite3_step(st.get()) == SQLITE_DONE;
    }
    if (bOk && Exec("COMMIT")) {
        pItem->nId = nId;
        pItem->sEntryID = sEntryID;
        pItem->dtModified = dtNow;
        return true;
    }
    Exec("ROLLBACK");
    return false;
}

bool OlStore::DeleteItem(long long nId) {
    Statement st(Prepare("DELETE FROM items WHERE id=?"));
    if (!st) return false;
    sqlite3_bind_int64(st.get(), 1, nId);
    return sqlite3_step(st.get()) == SQLITE_DONE && sqlite3_changes(m_pDb) == 1;
}
