// The synchronization run started from the main window: the two contact
// lists as the driver's rows, the window as its view.
#include <QApplication>
#include <QCursor>
#include <QTreeWidget>
#include <exception>

#include "app/SyncDriver.h"
#include "app/ui/Confalert.h"
#include "app/ui/Dump.h"
#include "app/ui/Main.h"
#include "app/ui/UiSeams.h"
#include "common/misc/CxDebugUtil.h"

namespace {

// A contact list view; the tick is the first column's check box.
class ListRows : public SyncRows {
public:
    explicit ListRows(QTreeWidget* pList) : m_pList(pList) {}
    int GetRowCount() override { return m_pList->topLevelItemCount(); }
    CommAddr* GetRecord(int nRow) override { return TfmMain::GetRowAddr(m_pList->topLevelItem(nRow)); }
    bool IsTicked(int nRow) override { return m_pList->topLevelItem(nRow)->checkState(0) == Qt::Checked; }
    void Untick(int nRow) override { m_pList->topLevelItem(nRow)->setCheckState(0, Qt::Unchecked); }

private:
    QTreeWidget* m_pList;
};

class WindowView : public SyncView {
public:
    explicit WindowView(TfmMain* pMain) : m_pMain(pMain) {}
    ~WindowView() override { SetHourglass(false); }
    void SetProgress(int nPercent) override { m_pMain->SetProgress(nPercent); }
    void ShowProgress(bool bShow) override { m_pMain->ShowProgress(bShow); }
    void SetHourglass(bool bOn) override {
        if (bOn == m_bHourglass) return;
        m_bHourglass = bOn;
        if (bOn)
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QApplication::restoreOverrideCursor();
    }
    void ShowMessage(const char* szText, bool bError) override {
        CxMessageBox::Show(m_pMain, bError ? CxMessageBox::Error : CxMessageBox::Information,
                           bError ? QStringLiteral("Error") : QStringLiteral("Information"), QString::fromUtf8(szText));
    }
    int AskConflict(const CommAddr* pWabAddr, const CommAddr* pOlAddr, SyncConflictAnswer* pAnswer) override;
    void Refresh() override { m_pMain->RefreshAfterRun(); }

private:
    TfmMain* m_pMain;
    bool m_bHourglass = false;
};

int WindowView::AskConflict(const CommAddr* pWabAddr, const CommAddr* pOlAddr, SyncConflictAnswer* pAnswer) {
    // A new dialog for every conflict, so it opens with "Do Nothing" ticked.
    TfmConfAlert dlg(m_pMain);
    dlg.SetContacts(pWabAddr, pOlAddr);
    dlg.ExchangeData(false);
    if (dlg.exec() != CONFALERT_OK) return SYNC_MODAL_CANCEL;
    pAnswer->nAction = dlg.GetAction();
    pAnswer->bThisSync = dlg.IsThisSync();
    pAnswer->bAllFuture = dlg.IsAllFuture();
    return SYNC_MODAL_OK;
}

// An exception ended the run: the driver has reset the progress bar and
// the cursor; the log says what happened and the user sees the error report.
void ReportRunFailure(TfmMain* pMain, const char* szWhat) {
    g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__, "Synchronization stopped by an exception: %s", szWhat);
    ShowErrorReport(pMain);
}

}  // namespace

void TfmMain::SyncNow() {
    if (!ExchangeSyncMode(true)) return;
    try {
        Synchronize(g_Settings.SyncMode);
    } catch (const std::exception& e) {
        ReportRunFailure(this, e.what());
    } catch (...) {
        ReportRunFailure(this, "unknown");
    }
}

void TfmMain::Synchronize(int nMode) {
    ListRows wabRows(lvWabAddr);
    ListRows olRows(lvOLAddr);
    WindowView view(this);
    SyncDriver driver(m_pWabStore, m_pOlStore, &wabRows, &olRows, &view);
    driver.Synchronize(nMode);
}
