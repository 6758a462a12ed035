// "Start" and "Synchronize Now" from the main window, against both stand-ins.
#include <QCursor>
#include <QProgressBar>

#include <QCheckBox>
#include <QRadioButton>

#include "app/ui/Confalert.h"
#include "support/ModalDriver.h"
#include "ui/SyncTestEnv.h"

namespace {

using SyncRunTest = SyncTestEnv;

TEST_F(SyncRunTest, StartInModeOneWritesTheTickedContactsAndRefreshesTheWindow) {
    Open({MakeContact("Ann", "Alpha", "ann@x.org", "1"), MakeContact("Bob", "Beta", "bob@x.org", "2"),
          MakeContact("Cy", "Gamma", "cy@x.org", "3")},
         {MakeContact("Bob", "Beta", "bob@x.org", "2")});
    QTreeWidget* pWab = m_pMain->GetWabList();
    QTreeWidget* pOl = m_pMain->GetOlList();
    ASSERT_EQ(pWab->topLevelItemCount(), 3);
    ASSERT_EQ(pOl->topLevelItemCount(), 1);
    // The default ticks of mode 1: the two contacts Outlook lacks.
    int nTicked = 0;
    for (bool b : Ticks(pWab)) nTicked += b;
    EXPECT_EQ(nTicked, 2);

    CxMessageBox::setNextAnswer(QMessageBox::Ok);
    Click("btnAddrStart");

    ASSERT_EQ(CxMessageBox::shown().size(), 1u);
    const CxMessageBox::Shown& box = CxMessageBox::shown()[0];
    EXPECT_EQ(box.szCaption.toStdString(), "Information");
    EXPECT_EQ(box.nIcon, CxMessageBox::Information);
    EXPECT_EQ(box.szText.toStdString(), "Contact information synchronized successfully. 2 records updated.");

    // Outlook itself holds the three contacts now.
    const std::string list = m_stores.OutlookCommand({"list"});
    for (const char* sz : {"ann@x.org", "bob@x.org", "cy@x.org"}) EXPECT_NE(list.find(sz), std::string::npos) << list;

    // Both lists refilled and re-marked: every row is the same now, shown in
    // the "same" colour and left unticked.
    ASSERT_EQ(pOl->topLevelItemCount(), 3);
    for (QTreeWidget* pList : {pWab, pOl}) {
        for (int i = 0; i < pList->topLevelItemCount(); ++i) {
            const CommAddr* pAddr = TfmMain::GetRowAddr(pList->topLevelItem(i));
            ASSERT_NE(pAddr, nullptr);
            EXPECT_EQ(pAddr->nStatus, ADDR_STATUS_SAME);
            EXPECT_EQ(m_pMain->RowTextColor(pAddr), m_pMain->RowTextColor(nullptr));
            EXPECT_FALSE(pList->topLevelItem(i)->checkState(0) == Qt::Checked);
        }
    }
    // The history tab and file have the run.
    QTreeWidget* pHistory = m_pMain->GetHistoryList();
    ASSERT_EQ(pHistory->topLevelItemCount(), 1);
    EXPECT_EQ(pHistory->topLevelItem(0)->text(2).toStdString(), "Transfer contact information from WAB to Outlook.");
    EXPECT_EQ(pHistory->topLevelItem(0)->text(3).toStdString(), "2");
    EXPECT_EQ(ReadFileBytes(DataFile("synchis.dat")).size(), 157u);
    // The window is not left busy.
    EXPECT_FALSE(m_pMain->GetProgressBar()->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SyncRunTest, NothingTickedShowsTheErrorBoxAndNoHistory) {
    Open({MakeContact("Ann", "Alpha", "ann@x.org", "1")}, {MakeContact("Ann", "Alpha", "ann@x.org", "1")});
    CxMessageBox::setNextAnswer(QMessageBox::Ok);
    Click("btnAddrStart");
    ASSERT_EQ(CxMessageBox::shown().size(), 1u);
    EXPECT_EQ(CxMessageBox::shown()[0].szCaption.toStdString(), "Error");
    EXPECT_EQ(CxMessageBox::shown()[0].nIcon, CxMessageBox::Error);
    EXPECT_EQ(CxMessageBox::shown()[0].szText.toStdString(),
              "No WAB contact record is selected.\r\n\r\nPlease select the records that you want to update to Outlook.");
    EXPECT_EQ(m_pMain->GetHistoryList()->topLevelItemCount(), 0);
    EXPECT_EQ(ReadFileBytes(DataFile("synchis.dat")), "<none>");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SyncRunTest, FailedWritesShowTheErrorBox) {
    Open({MakeContact("Ann", "Alpha", "ann@x.org", "1")}, {});
    m_stores.FailOutlookWrites(true);
    CxMessageBox::setNextAnswer(QMessageBox::Ok);
    Click("btnAddrStart");
    m_stores.FailOutlookWrites(false);
    ASSERT_EQ(CxMessageBox::shown().size(), 1u);
    EXPECT_EQ(CxMessageBox::shown()[0].szCaption.toStdString(), "Error");
    EXPECT_EQ(CxMessageBox::shown()[0].nIcon, CxMessageBox::Error);
    EXPECT_EQ(CxMessageBox::shown()[0].szText.toStdString().rfind("Contact information synchronized with errors. "
                                                                     "0 records updated, 1 records could not be written.",
                                                                     0),
              0u);
    EXPECT_EQ(m_stores.OutlookCommand({"list"}).find("ann@x.org"), std::string::npos);
}

// Two-way runs that meet one conflict (Alpha) with the rule "ask".
class SyncConflictTest : public SyncTestEnv {
protected:
    void OpenConflict() {
        Open({MakeContact("Ann", "Alpha", "ann@x.org", "w1")}, {MakeContact("Ann", "Alpha", "ann@x.org", "o1")});
        g_Settings.ConfAction = CONF_REMIND;
        m_pMain->findChild<QRadioButton*>(QStringLiteral("rbtnAddrSync"))->click();
    }
    // The work phone each store holds for Alpha, read by fresh store objects.
    std::string Phones() {
        SyncStores again(m_dir.Path());
        EXPECT_TRUE(again.Open());
        std::string s;
        for (CommAddrMgr* pMgr : {again.Wab()->GetAddrMgr(), again.Outlook()->GetAddrMgr()})
            for (CommAddr* p : SyncStores::Records(pMgr)) s += std::string(p->szWorkPhone) + " ";
        return s;
    }
};

TEST_F(SyncConflictTest, OutlookWinsForAllFutureRunsReachesTheSettingsFileAtClose) {
    OpenConflict();
    bool bRan = false;
    std::string sRows;
    OnNextModal<TfmConfAlert>(
        [&sRows](TfmConfAlert* pDlg) {
            EXPECT_TRUE(pDlg->rbtnNothing->isChecked());  // a new dialog asks "Do Nothing"
            for (int i = 0; i < pDlg->lvAddr->topLevelItemCount(); ++i)
                sRows += pDlg->lvAddr->topLevelItem(i)->text(0).toStdString() + ":" +
                         pDlg->lvAddr->topLevelItem(i)->text(4).toStdString() + " ";
            pDlg->rbtnO2W->click();
            pDlg->cbAll->click();
            pDlg->btnOK->click();
        },
        &bRan);
    CxMessageBox::setNextAnswer(QMessageBox::Ok);
    Click("btnAddrStart");
    ASSERT_TRUE(bRan);
    EXPECT_EQ(sRows, "WAB:w1 Outlook:o1 ");
    EXPECT_EQ(g_Settings.ConfAction, CONF_OL_WINS);
    EXPECT_EQ(Phones(), "o1 o1 ");
    EXPECT_EQ(CxMessageBox::shown().back().szText.toStdString(),
              "Contact information synchronized successfully. 1 records updated.");
    // The rule reaches the settings file only when the window closes.
    EXPECT_EQ(ReadFileBytes(DataFile("tessaro.ini")).find("ConfAction=2"), std::string::npos);
    m_pMain.reset();
    EXPECT_NE(ReadFileBytes(DataFile("tessaro.ini")).find("ConfAction=2\r\n"), std::string::npos);
}

TEST_F(SyncConflictTest, CancelOrClosingTheDialogEndsTheRunWithDoNothingAsTheRule) {
    OpenConflict();
    DWORD nRuns = 0;
    for (bool bClose : {false, true}) {
        SCOPED_TRACE(bClose);
        g_Settings.ConfAction = CONF_REMIND;
        CxMessageBox::clear();
        bool bRan = false;
        OnNextModal<TfmConfAlert>(
            [bClose](TfmConfAlert* pDlg) {
                pDlg->rbtnW2O->click();  // whatever is ticked, nothing is applied
                pDlg->cbThis->click();
                if (bClose)
                    pDlg->close();
                else
                    pDlg->btnCancel->click();
            },
            &bRan);
        CxMessageBox::setNextAnswer(QMessageBox::Ok);
        Click("btnAddrStart");
        ASSERT_TRUE(bRan);
        EXPECT_EQ(g_Settings.ConfAction, CONF_DO_NOTHING);
        EXPECT_EQ(Phones(), "w1 o1 ");
        ASSERT_EQ(CxMessageBox::shown().size(), 1u);
        EXPECT_EQ(CxMessageBox::shown()[0].szText.toStdString(),
                  "Contact information synchronized successfully. 0 records updated.");
        EXPECT_EQ(g_SyncHistory.GetCount(), ++nRuns);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

TEST_F(SyncConflictTest, DoNothingForThisRunLeavesThePairAndAsksOnce) {
    OpenConflict();
    int nAsked = 0;
    OnNextModal<TfmConfAlert>(
        [&nAsked](TfmConfAlert* pDlg) {
            ++nAsked;
            pDlg->cbThis->click();
            pDlg->btnOK->click();
        });
    CxMessageBox::setNextAnswer(QMessageBox::Ok);
    Click("btnAddrStart");
    EXPECT_EQ(nAsked, 1);
    EXPECT_EQ(g_Settings.ConfAction, CONF_REMIND);
    EXPECT_EQ(Phones(), "w1 o1 ");
}

}  // namespace
