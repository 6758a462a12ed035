// The address book file: an SQLite database of entries (mail users and
// distribution lists) and their typed properties. Shared by the stand-in
// library and wabtool.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/wab/WabDefs.h"

struct sqlite3;

// One property value. The tag's type says which member holds it: PT_STRING8
// sText, PT_BINARY sText (raw bytes), PT_LONG and PT_SYSTIME nValue (a
// FILETIME as one 64-bit count), PT_ERROR nValue (the SCODE).
struct CWabProp {
    ULONG ulTag = 0;
    std::string sText;
    int64_t nValue = 0;
};

struct CWabEntryRow {
    int64_t nId = 0;
    ULONG ulObjType = 0;
};

class CWabFile {
public:
    enum OpenResult { OPEN_OK, OPEN_MISSING, OPEN_NOT_OURS, OPEN_DAMAGED, OPEN_FAILED };
    enum SaveResult { SAVE_OK, SAVE_DUPLICATE, SAVE_DELETED, SAVE_FAILED };

    CWabFile() = default;
    ~CWabFile();
    CWabFile(const CWabFile&) = delete;
    CWabFile& operator=(const CWabFile&) = delete;

    // "<data home>/tessaro/PELLMARK/addressbook.wab", the data home being the
    // platform's CSIDL_COMMON_APPDATA (an absolute $XDG_DATA_HOME, else
    // $HOME/.local/share), created when missing. Empty when there is none.
    static std::string DefaultPath();
    // Creates the folders of sFile's path that are missing.
    static bool MakeParentFolders(const std::string& sFile);

    // Opens an address book file. A missing file is created when bCreate is
    // set (else OPEN_MISSING) and so is an empty one; any other file that is
    // not one of ours (not SQLite, other marks, or any other table, index,
    // view or trigger than ours) gives OPEN_NOT_OURS; one of ours whose
    // pages or rows cannot all be read gives OPEN_DAMAGED. Neither is written
    // to.
    OpenResult Open(const std::string& sFile, bool bCreate);
    const std::string& Error() const { return m_sError; }
    // Whether a call since Open failed because the file is damaged.
    bool Damaged() const { return m_bDamaged; }

    // Every entry in creation order.
    bool ListEntries(std::vector<CWabEntryRow>& rows);
    // The entry's object type; false when there is no such entry.
    bool GetEntryType(int64_t nId, ULONG* pulObjType, bool* pbExists);
    // The entry's stored properties, ordered by property identifier.
    bool LoadProps(int64_t nId, std::vector<CWabProp>& props);

    // Writes in one transaction: creates the entry when bNew is set (and sets
    // *pnId; any id read from the file, 0 included, names a stored entry), sets the given properties (replacing values with the same
    // identifier) and removes those whose identifiers are in removeIds. With
    // bCheckDup a new mail user whose display name and e-mail address equal
    // an existing mail user's (ASCII case ignored) is refused.
    SaveResult Save(int64_t* pnId, bool bNew, ULONG ulObjType, const std::vector<CWabProp>& props,
                    const std::vector<ULONG>& removeIds, bool bCheckDup);
    // The same, creating the entry when *pnId is 0: for callers that write
    // only entries they made themselves (preparing a book), never for ids
    // read from a file.
    SaveResult Save(int64_t* pnId, ULONG ulObjType, const std::vector<CWabProp>& props,
                    const std::vector<ULONG>& removeIds, bool bCheckDup) {
        return Save(pnId, *pnId == 0, ulObjType, props, removeIds, bCheckDup);
    }
    // False when there is no such entry or the file cannot be written.
    bool Delete(int64_t nId, bool* pbExisted);

    // The Saves between BeginBatch and CommitBatch share one transaction, so
    // that a large book is prepared at once instead of one synced write per
    // entry; a failed Save inside undoes only itself. Nothing of the batch is
    // stored until CommitBatch succeeds.
    bool BeginBatch();
    bool CommitBatch();

private:
    bool Exec(const char* szSql);
    bool InitSchema();
    OpenResult CheckFile(const std::string& sFile);
    bool IsDuplicate(const std::string& sName, const std::string& sEmail, bool* pbDup);
    void Fail(const char* szWhat);

    sqlite3* m_pDb = nullptr;
    std::string m_sError;
    bool m_bDamaged = false;
};

// The text of a PT_STRING8 property in props, or empty.
std::string WabPropText(const std::vector<CWabProp>& props, ULONG ulTag);
