// vCard files in and out of the two stores, without widgets.
//
// An import reads the whole file first; only when it could be read does it
// touch the store. Each record read is then looked up in the store's contact
// list: a contact the list lacks is added, a differing counterpart is
// updated with the store's own write, an equal one is left alone. When the
// file holds one contact (same identity) on several cards, only its last card
// is imported; the earlier ones are counted as duplicates. Writes the
// store refuses are counted as failed, never as done. A finished import
// appends one history record and saves the history.
//
// An export writes the store's whole contact list as vCard 3.0.
#pragma once

#include <functional>
#include <string>

#include "app/SyncHistory.h"
#include "common/vcard/CxVCard.h"

class CommAddrMgr;
class CxWab;
class OlAddrUtil;

#define VCARD_STORE_WAB 1
#define VCARD_STORE_OUTLOOK 2

struct VCardImportResult {
    bool bRead = false;  // the file was read and the store could be written
    std::string szError;  // why not, in plain words (bRead false)
    int nAdded = 0;
    int nUpdated = 0;
    int nUnchanged = 0;
    int nSkipped = 0;   // cards that gave no record
    int nCut = 0;       // values shortened to their field's width
    int nLeftOut = 0;   // values with no free field to go into
    int nDuplicates = 0;  // cards of a contact the file has again further on (not written)
    int nFailed = 0;    // writes the store refused
    CxVCardReport report;
};

class VCardTransfer {
public:
    // Neither store is owned; either may be missing (its transfers then
    // fail). The history defaults to the program's.
    VCardTransfer(CxWab* pWab, OlAddrUtil* pOl, SyncHistoryMgr* pHistory = &g_SyncHistory);

    // Imports szPath into nStore (VCARD_STORE_WAB or _OUTLOOK). False, with
    // nothing written and no history, when the store is not open, the file
    // cannot be read at all or holds no card. fnProgress, when given, hears
    // 0 to 100 as the records are written.
    bool Import(const char* szPath, int nStore, VCardImportResult& result,
                const std::function<void(int)>& fnProgress = nullptr);

    // Writes nStore's whole contact list to szPath as vCard 3.0; *pnCount
    // gets the number of cards. False with szError set when the store is not
    // open or the file cannot be written.
    bool Export(int nStore, const char* szPath, std::string& szError, int* pnCount = nullptr);

    // The history description of an import from szPath (its file name only):
    // "Import contacts from <file name> into WAB." (or "... into Outlook."),
    // with the name shortened on a character boundary when the sentence
    // would not fit the history's 255 bytes.
    static std::string HistoryText(const char* szPath, int nStore);

    // The report of a finished import, as the user reads it.
    static std::string ReportText(const VCardImportResult& result, int nStore);

    static const char* StoreName(int nStore) { return nStore == VCARD_STORE_OUTLOOK ? "Outlook" : "WAB"; }

private:
    // nStore's contact list while the store is open, else none.
    CommAddrMgr* OpenList(int nStore) const;
    // Writes one record; false when the store refused it. pFound is the
    // list's differing counterpart, or none for a new contact.
    bool Write(int nStore, CommAddr* pAddr, CommAddr* pFound);

    CxWab* m_pWab;
    OlAddrUtil* m_pOl;
    SyncHistoryMgr* m_pHistory;
};
