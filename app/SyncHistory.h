// The synchronization history: one record per finished run, kept in memory
// in file order and stored in "synchis.dat" in the data folder.
//
// File layout (little-endian): the record count N (unsigned 32-bit), then N
// records, each: description length L (signed 32-bit) and its L bytes
// without a NUL, dtStart and dtEnd (8-byte doubles), nRecordCount (32-bit),
// the ten nReserved values (32-bit each), the ten reserved texts (each a
// 32-bit length, always written as 0). A record takes 104 + L bytes; an
// empty history is the four bytes 00 00 00 00.
#pragma once

#include "platform/win32/WinTypes.h"

class CxFile;
class CxList;

struct SyncHistoryRec {
    char szDescription[256];  // at most 255 bytes and a NUL
    double dtStart;           // local time, OLE Automation date
    double dtEnd;
    int nRecordCount;         // records the run updated
    int nReserved[10];        // stored and read back, always 0
    char szReserved[10][2];   // always empty
};

class SyncHistoryMgr {
public:
    SyncHistoryMgr();
    virtual ~SyncHistoryMgr();  // RemoveAll

    SyncHistoryMgr(const SyncHistoryMgr&) = delete;
    SyncHistoryMgr& operator=(const SyncHistoryMgr&) = delete;

    // Appends the records of the data folder's history file to the list
    // (called once, on the empty list). False, list unchanged, when the file
    // cannot be opened. A damaged file (cut short, an impossible length, a
    // non-empty reserved text) gives the whole records before the damage and
    // true; the file itself is left as it is until the next Save.
    bool Load();
    // True when the last Load found the file there but could not read it
    // whole: it could not be opened, or was damaged or longer than its
    // records. The file stays as it is until the next Save.
    bool IsDamaged() const { return m_bDamaged; }
    // Writes the list to a new file beside the history file and renames it
    // over the old one, so the file is always either the old or the new
    // history. False, old file untouched, when any step fails.
    bool Save();

    // Appends a copy of pRec (its description cut to 255 bytes) and returns
    // the copy; none for none.
    SyncHistoryRec* AppendRecord(const SyncHistoryRec* pRec);
    // Unlinks and frees pRec; nothing for a record that is not in the list.
    void DeleteRecord(SyncHistoryRec* pRec);
    // Frees every record and empties the list.
    void RemoveAll();

    // Walk the list oldest first with the list's cursor; none after the last.
    SyncHistoryRec* GetFirst();
    SyncHistoryRec* GetNext();
    DWORD GetCount() const;

    // The path of the history file last loaded or saved ("" before).
    const char* GetFile() const { return m_szFile; }

    // One record from or to the open file. ReadRecord is false, with pRec
    // possibly half filled, when the file ends inside the record or holds a
    // length that no record written by the program has.
    bool ReadRecord(SyncHistoryRec* pRec);
    bool WriteRecord(const SyncHistoryRec* pRec);

private:
    bool MakePath();

    char m_szFile[MAX_PATH];
    CxList* m_pList;  // owned, of owned SyncHistoryRec
    CxFile* m_pFile;  // owned
    bool m_bDamaged;
};

extern SyncHistoryMgr g_SyncHistory;
