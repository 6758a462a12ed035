// One synchronization run between the WAB store and the Outlook store,
// without widgets: the driver sees each contact list view through SyncRows
// and the main window through SyncView.
//
// Modes 1 (WAB to Outlook) and 2 (Outlook to WAB) write the ticked rows of
// the source view and untick them; mode 3 goes through every row of the
// Outlook view, then of the WAB view, adding what the other store lacks and
// settling conflicts by the ConfAction rule or by asking. Every finished run
// appends one history record and saves the history. Only writes the stores
// confirm are counted; a run with failed writes ends with an error box that
// says how many were written and how many were not, and a level-0 debug log
// line names each contact that could not be written.
#pragma once

#include "app/Apputil.h"
#include "app/SyncHistory.h"
#include "common/model/CommAddr.h"

class ContactIndex;
class CxWab;
class OlAddrUtil;

// The rows of one contact list view.
class SyncRows {
public:
    virtual ~SyncRows() = default;
    virtual int GetRowCount() = 0;
    // The record a row stands for (in its store's contact list), or none.
    virtual CommAddr* GetRecord(int nRow) = 0;
    virtual bool IsTicked(int nRow) = 0;
    virtual void Untick(int nRow) = 0;
};

// What the user chose in the conflict dialog (read after OK).
struct SyncConflictAnswer {
    int nAction;       // CONF_WAB_WINS, CONF_OL_WINS or CONF_DO_NOTHING
    bool bThisSync;    // the rule holds for the rest of this run
    bool bAllFuture;   // the rule holds for future runs as well
};

#define SYNC_MODAL_OK 1
#define SYNC_MODAL_CANCEL 2

// The main window as the run sees it.
class SyncView {
public:
    virtual ~SyncView() = default;
    // The progress bar, 0 to 100, and whether it is shown.
    virtual void SetProgress(int nPercent) = 0;
    virtual void ShowProgress(bool bShow) = 0;
    // The hourglass cursor on or off.
    virtual void SetHourglass(bool bOn) = 0;
    // A message box owned by the main window: caption "Error" with the error
    // icon when bError, else caption "Information" with the information icon.
    virtual void ShowMessage(const char* szText, bool bError) = 0;
    // Shows a new conflict dialog for the two versions of one contact, with
    // "Do Nothing" preselected, modally. Returns the modal result
    // (SYNC_MODAL_OK, anything else counts as Cancel); *pAnswer is filled on
    // OK.
    virtual int AskConflict(const CommAddr* pWabAddr, const CommAddr* pOlAddr, SyncConflictAnswer* pAnswer) = 0;
    // Refills both lists from the in-memory contact lists (no re-read),
    // compares them with the mode's default ticks, and refills the history.
    virtual void Refresh() = 0;
};

// The texts of the boxes the run shows.
#define SYNC_TEXT_NO_WAB_ROW \
    "No WAB contact record is selected.\r\n\r\nPlease select the records that you want to update to Outlook."
#define SYNC_TEXT_NO_OL_ROW \
    "No Outlook contact record is selected. \r\n\r\nPlease select the records that you want to update to WAB."
#define SYNC_TEXT_NO_ROWS "No contact information records found. Synchronization abort."
#define SYNC_TEXT_DONE "Contact information synchronized successfully. %d records updated."
#define SYNC_TEXT_FAILED \
    "Contact information synchronized with errors. %d records updated, %d records could not be written.\r\n\r\n" \
    "The debug log names the contacts that could not be written."

// The history descriptions of the three modes.
const char* SyncModeDescription(int nMode);

class SyncDriver {
public:
    // Neither store nor view is owned. The rule and the history default to
    // the program's settings and history.
    SyncDriver(CxWab* pWab, OlAddrUtil* pOl, SyncRows* pWabRows, SyncRows* pOlRows, SyncView* pView,
               AppSettings* pSettings = &g_Settings, SyncHistoryMgr* pHistory = &g_SyncHistory);

    // Runs one synchronization in nMode (SYNC_WAB_TO_OL, SYNC_OL_TO_WAB or
    // SYNC_ALL; any other value does nothing). Returns at once when either
    // store is missing. An exception ends the run: the progress bar is hidden
    // and the cursor reset, no history record is written, and the exception
    // goes on to the caller, which shows the error report.
    void Synchronize(int nMode);

    // Of the last run: writes the stores confirmed, writes that failed, and
    // whether a history record was written.
    int GetUpdatedCount() const { return m_nUpdated; }
    int GetFailedCount() const { return m_nFailed; }
    bool WroteHistory() const { return m_bHistory; }

private:
    void Run(int nMode);
    void RunOneWay(int nMode);
    void RunTwoWay();
    // Both passes; returns early when the user cancels a conflict.
    void RunTwoWayPasses(int nOlRows, int nWabRows);
    // Handles one conflict; false when the user cancelled, which ends the run.
    bool ConflictStep(CommAddr* pWabAddr, CommAddr* pOlAddr);
    // The writes, counted as the stores answer; bToOutlook says which store.
    void WriteToOutlook(CommAddr* pWabAddr);
    void WriteToWab(CommAddr* pOlAddr, bool bAddOnly);
    void Count(bool bWritten, bool bEqual, const CommAddr* pAddr, bool bToOutlook);
    void SetProgress(double dValue);
    void EndRun();
    void EarlyEnd(const char* szText);

    CxWab* m_pWab;
    OlAddrUtil* m_pOl;
    SyncRows* m_pWabRows;
    SyncRows* m_pOlRows;
    SyncView* m_pView;
    AppSettings* m_pSettings;
    SyncHistoryMgr* m_pHistory;

    SyncHistoryRec m_rec;
    double m_dStep;
    int m_nUpdated;
    int m_nFailed;
    bool m_bWritten;
    bool m_bAsk;
    int m_nAction;
    bool m_bHistory;
    bool m_bTwoWay;
    ContactIndex* m_pWabIndex;  // two-way runs: the lists indexed by identity
    ContactIndex* m_pOlIndex;
};
