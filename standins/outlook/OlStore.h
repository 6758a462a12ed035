// The stand-in's Contacts folder on disk: an SQLite file of items (contacts
// and distribution lists) and their properties. Items of the Contacts folder
// have the folder name ""; items of a subfolder carry its name.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "standins/outlook/OlProps.h"

struct sqlite3;
struct sqlite3_stmt;

struct OlPropValue {
    OlPropKind nKind = OL_PROP_TEXT;
    std::u16string sText;  // OL_PROP_TEXT, exactly as received
    double dValue = 0.0;   // OL_PROP_DATE
    long nValue = 0;       // OL_PROP_LONG
};

// One item as read from or to be written to the file. A new item has id 0
// and no EntryID until it is saved.
struct OlItemRecord {
    long long nId = 0;
    std::string sFolder;
    int nKind = OL_CONTACT_ITEM;
    long long nSeq = 0;  // creation order within the file
    std::string sEntryID;
    double dtCreated = OL_NO_DATE;
    double dtModified = OL_NO_DATE;
    std::map<std::string, OlPropValue> props;  // by the property's own spelling; absent = unset
};

class OlStore {
public:
    // Opens (creating when missing or empty) the file. None, with the reason
    // in *psError, when it cannot be opened or is not a Contacts file (not an
    // SQLite file, or other tables, views or triggers than ours); such a file
    // is not written to.
    static std::shared_ptr<OlStore> Open(const std::string& sPath, std::string* psError);
    ~OlStore();
    OlStore(const OlStore&) = delete;
    OlStore& operator=(const OlStore&) = delete;

    const std::string& Path() const { return m_sPath; }
    std::string StoreID() const;
    std::string FolderName();
    bool SetFolderName(const std::string& sName);

    // Item ids of the folder, in creation order. Empty with *pbFailed set
    // when the file cannot be read.
    std::vector<long long> ItemIds(const std::string& sFolder, bool* pbFailed = nullptr);
    long Count(const std::string& sFolder);
    // The id of the n-th item (from 1), or 0.
    long long ItemIdAt(const std::string& sFolder, long n);
    long long ItemIdByEntryID(const std::string& sEntryID);
    // The folders that hold items, Contacts ("") first.
    std::vector<std::string> Folders();

    // False when there is no such item, or (with *pbFailed set) when the file
    // cannot be read; a damaged item is never returned in part.
    bool LoadItem(long long nId, OlItemRecord* pItem, bool* pbFailed = nullptr);
    // Stores the item with dtNow as its modification time; a new one gets its
    // id, EntryID and place. False when the file could not be written or the
    // item has been deleted meanwhile.
    bool SaveItem(OlItemRecord* pItem, double dtNow);
    bool DeleteItem(long long nId);
    // A creation-order number for an item being made now.
    long long NextSeq();

private:
    OlStore() = default;
    bool Exec(const char* szSql);
    sqlite3_stmt* Prepare(const char* szSql);

    sqlite3* m_pDb = nullptr;
    std::string m_sPath;
    std::string m_sStoreKey;  // 32 hex digits, made with the file
    long long m_nLastSeq = 0;
    std::map<std::string, sqlite3_stmt*> m_Statements;
};

// The Contacts file a new application object opens: the registry value
// HKEY_CURRENT_USER "Software\Pellmark\OutlookStandin" "ContactsFile", else
// "<data home>/OlStandin/contacts.db" (its folder made when missing). Empty
// when no data home can be found.
std::string OlDefaultStorePath();

// UTF-8 <-> UTF-16 for the command line and the log of the stand-in.
std::u16string OlToUtf16(const std::string& s);
std::string OlToUtf8(const std::u16string& s);
