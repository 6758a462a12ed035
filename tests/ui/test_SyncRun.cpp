// "Start" and "Synchronize Now" from the main window, against both stand-ins.
#include <QCursor>
#include <QProgressBar>

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

}  // namespace
