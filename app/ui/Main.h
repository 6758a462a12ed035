// The program's main window: both contact stores side by side in two list
// views coloured by status, the mode buttons and the synchronization
// history, plus the start-up and shut-down sequence of the program.
//
// The window owns one WAB store and one Outlook store from the first load to
// its destruction. Every row of a contact list carries the CommAddr it shows
// (valid until the next refill of that list); each refill is followed by
// CompareContacts, which recomputes "Status" and pMatch and resets the ticks
// to the mode's default selection.
#pragma once

#include <QColor>
#include <QMainWindow>
#include <QString>

#include "app/Apputil.h"

class CommAddrMgr;
class CxWab;
class OlAddrUtil;
struct CommAddr;
class QFrame;
class QLabel;
class QMenu;
class QAction;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class MainSplitter;

// Field ids shown as the columns of both contact lists, in column order.
extern const int COLUMN_FIELDS[8];

class TfmMain : public QMainWindow {
    Q_OBJECT

public:
    // Builds every control and runs InitMain (settings loaded, debug log
    // configured, mode buttons ticked). The lists stay empty until
    // StartupLoad or LoadContacts.
    explicit TfmMain(QWidget* pParent = nullptr);
    // Runs ShutdownMain: the mode is stored, both stores are released and
    // the settings are written ("tessaro.ini" is written only here).
    ~TfmMain() override;

    // Start-up, after the wizard: the first load under the wait window, then
    // the history file loaded and shown.
    void StartupLoad();

    // Creates both stores (see CreateStores), reads both and compares them.
    // An exception on the way shows "Failed to initialize Contacts Data." and
    // the error report; stores already created stay.
    void LoadContacts();
    // Re-reads both stores and compares them, without the wait window (used
    // after the options dialog closes with OK).
    void ReloadContacts();
    // Refill one list, re-reading its store first when bReload is true.
    // Nothing happens while the store does not exist. With AddrEmailOnly a
    // record without "Email" gets no row (it still takes part in the
    // comparison).
    void FillWabList(bool bReload);
    void FillOutlookList(bool bReload);
    // Compares the lists in both directions, repaints both views and
    // re-applies the ticked mode's default ticks.
    void CompareContacts();
    // Both lists refilled from memory, compared, default ticks re-applied,
    // and the history tab refilled: what follows a run that wrote something.
    void RefreshAfterRun();

    // Towards the controls (false): ticks the radio button of SyncMode and
    // runs its click handler; returns true. From the controls (true): sets
    // SyncMode from the ticked button; false, SyncMode untouched, when none
    // is ticked.
    bool ExchangeSyncMode(bool bFromControls);
    void CheckAllItems(QTreeWidget* pList, bool bCheck);
    // Ticks exactly the rows whose record is new or different.
    void SelectDiffItems(QTreeWidget* pList);
    void UpdateViewMenu();
    // Destroys the WAB store, then the Outlook store.
    void ReleaseStores();
    void FillHistoryList();

    // The record a contact row shows, or none.
    static CommAddr* GetRowAddr(const QTreeWidgetItem* pItem);
    // The drawing handler of both contact lists, asked before each row is
    // drawn: the row's text colour by ShowColor and its record's status
    // (black without ShowColor; SameColor for a row without a record).
    QColor RowTextColor(const CommAddr* pAddr) const;

    // Progress of a run, 0 to 100; the bar is repainted at once without
    // running the event loop, so a long step shows its progress and no
    // queued click can start a second run meanwhile.
    void SetProgress(int nPercent);
    void ShowProgress(bool bShow);
    // The status bar's text (empty clears it).
    void SetStatusText(const QString& sText);
    QString GetStatusText() const;

    CxWab* GetWabStore() const { return m_pWabStore; }
    OlAddrUtil* GetOlStore() const { return m_pOlStore; }
    QTreeWidget* GetWabList() const { return lvWabAddr; }
    QTreeWidget* GetOlList() const { return lvOLAddr; }
    QTreeWidget* GetHistoryList() const { return lvHistory; }
    QProgressBar* GetProgressBar() const { return pbSync; }

    // Members filled by the synchronization run (MainSync.cpp): SyncNow
    // takes the mode from the radio buttons and runs Synchronize.
    void SyncNow();
    void Synchronize(int nMode);

    // Members filled by the dialogs (MainDialogs.cpp).
    // Shows the first-run wizard when bShow is true; true when it closed
    // with OK.
    bool RunWizard(bool bShow);

    // Members filled by the vCard transfers (MainVcard.cpp). An import asks
    // for a file, writes it into one store, refreshes both lists, records it
    // in the history and reports its counts; an export asks where to save
    // and writes the store's whole list. nStore is VCARD_STORE_WAB or
    // VCARD_STORE_OUTLOOK.
    void ImportVCard(int nStore);
    void ExportVCard(int nStore);

    // The handlers, by control and event.
    void miFileShowWizardClick();
    void miFileSyncNowClick();
    void miFileImportWabClick();
    void miFileImportOutlookClick();
    void miFileExportWabClick();
    void miFileExportOutlookClick();
    void miFileExitClick();
    void miViewAddrClick();
    void miViewHistoryClick();
    void miToolOptionsClick();
    void miToolsDebugClick();
    void miHelpHelpClick();
    void miHelpOnlineClick();
    void miHelpWebClick();
    void miHelpAboutClick();
    void rbtnAddrW2OClick();
    void rbtnAddrO2WClick();
    void rbtnAddrSyncClick();
    void btnAddrWabAllClick();
    void btnAddrWabDiffClick();
    void btnAddrWabClearClick();
    void btnAddrOLAllClick();
    void btnAddrOLDiffClick();
    void btnAddrOLClearClick();
    void lvWabAddrDblClick();
    void lvOLAddrDblClick();
    void btnHistoryAllClick();
    void btnHistoryClearClick();
    void btnHistoryDelClick();

    // The layout rules; run on each resize of their widget.
    void FormResize();
    void pTopResize();
    void tAddrListResize();
    void ArrangeContactsTab();
    void tHistoryResize();

protected:
    // Creates the two store objects into m_pWabStore and m_pOlStore; a
    // derived window may replace them (a test makes the load fail here).
    virtual void CreateStores();

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    void InitMain();
    void ShutdownMain();
    void BuildMenus();
    void BuildContactsTab();
    void BuildHistoryTab();
    QTreeWidget* MakeContactList(QWidget* pParent, const char* szName);
    void FillContactList(QTreeWidget* pList, CommAddrMgr* pMgr);
    void RunModeHandler();
    void UpdateStoreStatus();
    void AppendStatusText(const QString& sText);
    // "Failed to initialize Contacts Data." and the error report.
    void ReportLoadFailure();

    CxWab* m_pWabStore;
    OlAddrUtil* m_pOlStore;
    bool m_bWabFailed;  // the last read of each store failed
    // The settings file could not be read at start; it is saved at the close
    // only when a setting changed since (m_LoadedSettings).
    bool m_bSettingsUnreadable = false;
    AppSettings m_LoadedSettings{};
    bool m_bOlFailed;

    // Menus.
    QAction* miFileShowWizard;
    QAction* miFileSyncNow;
    QAction* miFileImportWab;
    QAction* miFileImportOutlook;
    QAction* miFileExportWab;
    QAction* miFileExportOutlook;
    QAction* miFileExit;
    QAction* miViewAddr;
    QAction* miViewHistory;
    QAction* miToolOptions;
    QAction* miToolsDebug;
    QAction* miHelpHelp;
    QAction* miHelpOnline;
    QAction* miHelpWeb;
    QAction* miHelpAbout;

    // Top panel, page control, status bar.
    QFrame* pTop;
    QLabel* imgLogo;
    QPushButton* btnHelp;
    QPushButton* btnExit;
    QTabWidget* pMain;
    QWidget* tAddrList;
    QWidget* tHistory;
    QStatusBar* sbMain;
    QLabel* lblStatus;
    QProgressBar* pbSync;

    // Contacts tab.
    QFrame* pAddrTop;
    QLabel* lblAddrMode;
    QRadioButton* rbtnAddrW2O;
    QRadioButton* rbtnAddrO2W;
    QRadioButton* rbtnAddrSync;
    QPushButton* btnAddrStart;
    QFrame* pAddrMain;
    QTreeWidget* lvWabAddr;
    MainSplitter* splAddr;
    QTreeWidget* lvOLAddr;
    QFrame* pAddrBottom;
    QLabel* lblAddrWAB;
    QPushButton* btnAddrWabAll;
    QPushButton* btnAddrWabDiff;
    QPushButton* btnAddrWabClear;
    QLabel* lblAddrOL;
    QPushButton* btnAddrOLAll;
    QPushButton* btnAddrOLDiff;
    QPushButton* btnAddrOLClear;

    // History tab.
    QTreeWidget* lvHistory;
    QPushButton* btnHistoryAll;
    QPushButton* btnHistoryClear;
    QPushButton* btnHistoryDel;
};
