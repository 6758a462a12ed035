// The WAB store: the address book library, one open address book (the
// default one or a named .wab file), its personal address book container and
// the contact list read from it.
//
// CxWab loads the library once, in its constructor (the path from the
// registry value HKLM "Software\Microsoft\WAB\DLLPath", else "WAB32.DLL").
// Open reads every mail user of the container into the contact list, a
// CommAddrMgr whose records carry their WabAddr as side data; SaveAddr and
// AddAddr write records of the other store back. Every record pointer handed
// out is valid until the next Open or Close. Failures are told only by
// results; nothing is shown or logged.
#pragma once

#include "common/model/CommAddrMgr.h"
#include "common/misc/CxList.h"
#include "common/oe/WabAddr.h"
#include "platform/wab/WabApi.h"
#include "platform/win32/WinTypes.h"

class CxWabFolder;

class CxWab {
public:
    // Loads the library and creates the empty contact list; with a file name,
    // opens it at once (see Open).
    explicit CxWab(const char* szWabFile = nullptr);
    // Closes, frees the library when this object loaded it, deletes the list.
    virtual ~CxWab();

    CxWab(const CxWab&) = delete;
    CxWab& operator=(const CxWab&) = delete;

    // Closes whatever is open, then opens the default address book (none or
    // empty name) or the named .wab file (cut to 259 bytes) and loads all its
    // mail users into the contact list, in table order. False when the
    // library is unavailable or opening or reading fails; the store is then
    // closed, except that a container without a contents table is left open
    // with an empty list (true), unless the table failed because the book is
    // damaged (MAPI_E_CORRUPT_DATA), which closes it.
    bool Open(const char* szWabFile);

    // Empties the contact list and releases every reference Open acquired.
    // Harmless when nothing is open.
    void Close();

    // The contact list; present from construction to destruction, empty while
    // closed.
    CommAddrMgr* GetAddrMgr() { return m_pAddrMgr; }

    // Writes a record of the other store: a new entry when the contact list
    // has no counterpart, an update when the counterpart differs. False when
    // the counterpart is equal (nothing written), the store is closed, or the
    // write did not happen.
    bool SaveAddr(CommAddr* pAddr);

    // Creates a new entry from the record without looking for a counterpart.
    // On success the entry is listed at once ("Source Type" 4); on any
    // failure, a duplicate refused by the address book included, nothing is
    // listed and the result is false.
    bool AddAddr(CommAddr* pAddr);

    // True while an address book is open.
    bool IsOpen() const { return m_lpAdrBook != nullptr; }
    // True when the library and its WABOpen entry were found.
    bool IsAvailable() const { return m_lpfnWABOpen != nullptr; }

protected:
    friend class CxWabFolder;

    // Reads the mail user of row index of lpRowAB into pRecord: opens it,
    // reads all its properties and keeps its identifier and reference. False,
    // with pRecord untouched, when the row is not a mail user or the entry
    // cannot be opened or read. A missing record or row set, or an index out
    // of range, is a programming error.
    bool ReadEntry(WabAddr* pRecord, LPSRowSet lpRowAB, int index);

    // Fills pRecord (zeroed first) from m_lpProps / m_cValues.
    void FillWabAddr(WabAddr* pRecord);

    // The text member of pRecord that holds ulPropTag, or none; *pnSize gets
    // its width when asked for.
    char* GetPropField(WabAddr* pRecord, ULONG ulPropTag, size_t* pnSize = nullptr);

    // Frees each row's values and then the row set, through the WAB.
    void FreeRows(LPSRowSet lpRows);

    // FindAddr of the contact list for pAddr; *ppWabAddr gets the found
    // record's WabAddr copy, or none. -1 without a record.
    int FindWabAddr(CommAddr* pAddr, WabAddr** ppWabAddr);

    // Writes pAddr over the existing entry of pWabAddr. False when the entry
    // has no identifier, cannot be opened for changing, or is not saved.
    bool UpdateAddr(CommAddr* pAddr, WabAddr* pWabAddr);

    // The creation template identifier of the folder's container (the root
    // folder when none) for ulObjType (MAPI_DISTLIST or a mail user), copied
    // into a buffer the caller frees with IWABObject::FreeBuffer.
    bool GetCreateTemplate(ULONG ulObjType, ULONG* lpcbEntryID, LPENTRYID* lppEntryID,
                           CxWabFolder* pFolder = nullptr);

    // Sets every non-empty text and non-zero date of pRecord on the entry
    // (m_lpMailUser when none is given) and saves it. True when both SetProps
    // and SaveChanges succeeded; false without a record or entry.
    bool WriteProps(WabAddr* pRecord, LPMAILUSER lpMailUser = nullptr);

    // Reads the contents table of the root folder into the contact list.
    bool LoadContents();

    CommAddrMgr* m_pAddrMgr;
    char m_szWabFile[MAX_PATH];
    CxWabFolder* m_pRootFolder;
    bool m_bDllLoaded;
    HMODULE m_hWabDll;
    LPWABOPEN m_lpfnWABOpen;
    LPADRBOOK m_lpAdrBook;
    LPWABOBJECT m_lpWABObject;
    LPMAILUSER m_lpMailUser;  // the entry last created or opened for writing; not owned
    LPSPropValue m_lpProps;
    ULONG m_cValues;
};

// One container of the address book and the WabAddr records of the entries
// read from it or created in it since the store was opened. The folder owns
// the records, their identifier copies and entry references, and the
// container reference.
class CxWabFolder {
public:
    // Takes over pContainer's reference; both must be present.
    CxWabFolder(CxWab* pWab, LPABCONT pContainer);
    virtual ~CxWabFolder();

    CxWabFolder(const CxWabFolder&) = delete;
    CxWabFolder& operator=(const CxWabFolder&) = delete;

    // Takes ownership of pRecord and lists its common record ("Source Type"
    // 4, the WabAddr as side data) in the owner's contact list.
    bool AddRecord(WabAddr* pRecord);

    // Frees every record with its identifier copy and entry reference.
    void Clear();

    LPABCONT GetContainer() const { return m_lpContainer; }

private:
    CxWab* m_pWab;
    CxList* m_pAddrList;
    LPABCONT m_lpContainer;
};
