// The synchronization run against both stand-in stores, with the list views
// and the window replaced by recording doubles.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/SyncDriver.h"
#include "app/fixtures/SyncStores.h"
#include "common/misc/CxDebugUtil.h"
#include "platform/win32/WinTime.h"
#include "support/TempDir.h"

namespace {

// A list view: the records of one store's list, each row with a tick.
class FakeRows : public SyncRows {
public:
    void Fill(CommAddrMgr* pMgr, bool bTickAll = false) {
        m_rows = SyncStores::Records(pMgr);
        m_ticks.assign(m_rows.size(), bTickAll);
    }
    int GetRowCount() override { return (int)m_rows.size(); }
    CommAddr* GetRecord(int nRow) override { return m_rows.at((size_t)nRow); }
    bool IsTicked(int nRow) override { return m_ticks.at((size_t)nRow); }
    void Untick(int nRow) override { m_ticks.at((size_t)nRow) = false; }
    std::vector<CommAddr*> m_rows;
    std::vector<bool> m_ticks;
};

// The window: records what the run shows, answers conflicts from a queue.
class FakeView : public SyncView {
public:
    void SetProgress(int n) override {
        m_progress.push_back(n);
        if (m_nThrowAtProgress > 0 && (int)m_progress.size() == m_nThrowAtProgress) throw std::runtime_error("boom");
    }
    void ShowProgress(bool b) override { m_events.push_back(b ? "bar on" : "bar off"); }
    void SetHourglass(bool b) override { m_events.push_back(b ? "wait on" : "wait off"); }
    void ShowMessage(const char* szText, bool bError) override {
        m_boxes.push_back(std::string(bError ? "Error: " : "Information: ") + szText);
        m_events.push_back("box");
    }
    int AskConflict(const CommAddr* pWab, const CommAddr* pOl, SyncConflictAnswer* pAnswer) override {
        m_asked.push_back(std::string(pWab->szLastName) + "|" + pWab->szWorkPhone + "|" + pOl->szWorkPhone);
        if (m_answers.empty()) return SYNC_MODAL_CANCEL;
        Answer a = m_answers.front();
        m_answers.pop_front();
        *pAnswer = a.answer;
        return a.nModal;
    }
    void Refresh() override {
        m_events.push_back("refresh");
        if (m_pOnRefresh) m_pOnRefresh();
    }
    struct Answer {
        int nModal;
        SyncConflictAnswer answer;
    };
    std::deque<Answer> m_answers;
    std::vector<int> m_progress;
    std::vector<std::string> m_events, m_boxes, m_asked;
    int m_nThrowAtProgress = 0;
    std::function<void()> m_pOnRefresh;
};

const FakeView::Answer kDoNothing = {SYNC_MODAL_OK, {CONF_DO_NOTHING, false, false}};

class SyncDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_stores.HooksLoaded());
        const SYSTEMTIME st = {2026, 5, 2, 12, 9, 30, 0, 0};
        SetFixedLocalTime(&st);
        g_DebugUtil.SetFolder(m_dir.Path().c_str());
        memset(&m_settings, 0, sizeof(m_settings));
        m_settings.ConfAction = CONF_DO_NOTHING;
    }
    void TearDown() override {
        m_stores.Close();
        SetFixedLocalTime(nullptr);
        g_DebugUtil.SetFolder("./");
    }
    // Seeds both stores, opens them afresh and fills the views.
    void Start(const std::vector<CommAddr>& wab, const std::vector<CommAddr>& outlook) {
        ASSERT_TRUE(SeedStores(m_stores, wab, outlook));
        Reopen();
    }
    void Reopen() {
        ASSERT_TRUE(m_stores.Open());
        m_stores.Compare();
        m_wabRows.Fill(m_stores.Wab()->GetAddrMgr());
        m_olRows.Fill(m_stores.Outlook()->GetAddrMgr());
    }
    SyncDriver Driver() {
        return SyncDriver(m_stores.Wab(), m_stores.Outlook(), &m_wabRows, &m_olRows, &m_view, &m_settings, &m_history);
    }
    // Last name and work phone of every contact in a store, read afresh.
    std::vector<std::string> Stored(bool bOutlook) {
        SyncStores again(m_dir.Path());
        EXPECT_TRUE(again.Open());
        std::vector<std::string> v;
        for (CommAddr* p : SyncStores::Records(bOutlook ? again.Outlook()->GetAddrMgr() : again.Wab()->GetAddrMgr()))
            v.push_back(std::string(p->szLastName) + ":" + p->szWorkPhone);
        std::sort(v.begin(), v.end());
        return v;
    }
    TempDir m_dir{"pellmark_sync"};
    SyncStores m_stores{m_dir.Path()};
    FakeRows m_wabRows, m_olRows;
    FakeView m_view;
    AppSettings m_settings;
    SyncHistoryMgr m_history;
};

TEST_F(SyncDriverTest, ModeOneWritesTheTickedRowsAndCountsWhatWasWritten) {
    Start({MakeContact("Ann", "Alpha", "ann@x.org", "1"), MakeContact("Bob", "Beta", "bob@x.org", "2"),
           MakeContact("Cy", "Gamma", "cy@x.org", "3")},
          {MakeContact("Bob", "Beta", "bob@x.org", "2")});
    m_wabRows.m_ticks = {true, true, true};
    SyncDriver driver = Driver();
    driver.Synchronize(SYNC_WAB_TO_OL);

    EXPECT_EQ(driver.GetUpdatedCount(), 2);
    EXPECT_EQ(m_wabRows.m_ticks, std::vector<bool>({false, false, false}));
    EXPECT_EQ(m_view.m_progress, std::vector<int>({0, 33, 33, 66, 100}));
    EXPECT_EQ(m_view.m_events,
              std::vector<std::string>({"wait on", "bar on", "refresh", "bar off", "box", "wait off"}));
    EXPECT_EQ(m_view.m_boxes,
              std::vector<std::string>({"Information: Contact information synchronized successfully. 2 records "
                                        "updated."}));
    // The stand-in Outlook now holds all three, as its own tool lists them.
    const std::string list = m_stores.OutlookCommand({"list"});
    for (const char* sz : {"ann@x.org", "bob@x.org", "cy@x.org"}) EXPECT_NE(list.find(sz), std::string::npos) << list;
    EXPECT_EQ(Stored(true), std::vector<std::string>({"Alpha:1", "Beta:2", "Gamma:3"}));

    // One history record, saved: the documented 157 bytes.
    ASSERT_EQ(m_history.GetCount(), 1u);
    SyncHistoryRec* pRec = m_history.GetFirst();
    EXPECT_STREQ(pRec->szDescription, "Transfer contact information from WAB to Outlook.");
    EXPECT_EQ(pRec->nRecordCount, 2);
    EXPECT_DOUBLE_EQ(pRec->dtStart, pRec->dtEnd);
    EXPECT_GT(pRec->dtStart, 46000.0);
    EXPECT_EQ(ReadFileBytes(m_history.GetFile()).size(), 157u);
}

TEST_F(SyncDriverTest, ModeTwoWritesTheTickedOutlookRowsOnly) {
    Start({MakeContact("Ann", "Alpha", "ann@x.org", "1")},
          {MakeContact("Ann", "Alpha", "ann@x.org", "9"), MakeContact("Dan", "Delta", "dan@x.org", "4"),
           MakeContact("Eve", "Eps", "eve@x.org", "5")});
    m_olRows.m_ticks = {true, false, true};
    SyncDriver driver = Driver();
    driver.Synchronize(SYNC_OL_TO_WAB);
    EXPECT_EQ(driver.GetUpdatedCount(), 2);
    EXPECT_EQ(m_view.m_progress, std::vector<int>({0, 50, 100, 100}));
    EXPECT_EQ(Stored(false), std::vector<std::string>({"Alpha:9", "Eps:5"}));
    EXPECT_STREQ(m_history.GetFirst()->szDescription, "Transfer contact information from Outlook to WAB.");
}

TEST_F(SyncDriverTest, NothingToDoShowsTheErrorBoxAndWritesNoHistory) {
    struct Case {
        int nMode;
        bool bRows;
        const char* szBox;
    } cases[] = {
        {SYNC_WAB_TO_OL, true,
         "Error: No WAB contact record is selected.\r\n\r\nPlease select the records that you want to update to "
         "Outlook."},
        {SYNC_OL_TO_WAB, true,
         "Error: No Outlook contact record is selected. \r\n\r\nPlease select the records that you want to update to "
         "WAB."},
        {SYNC_ALL, false, "Error: No contact information records found. Synchronization abort."},
    };
    Start({MakeContact("Ann", "Alpha", "ann@x.org", "1")}, {MakeContact("Dan", "Delta", "dan@x.org", "4")});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nMode);
        m_view = FakeView();
        if (!c.bRows) {
            m_wabRows.m_rows.clear();
            m_olRows.m_rows.clear();
        }
        SyncDriver driver = Driver();
        driver.Synchronize(c.nMode);
        EXPECT_EQ(m_view.m_boxes, std::vector<std::string>({c.szBox}));
        EXPECT_EQ(m_view.m_events, std::vector<std::string>({"wait on", "bar on", "box", "bar off", "wait off"}));
        EXPECT_FALSE(driver.WroteHistory());
        EXPECT_EQ(m_history.GetCount(), 0u);
    }
    EXPECT_EQ(ReadFileBytes(m_dir.Path() + "tessaro/PELLMARK/synchis.dat"), "<none>");
}

TEST_F(SyncDriverTest, MissingStoreDoesNothing) {
    SyncDriver driver(nullptr, nullptr, &m_wabRows, &m_olRows, &m_view, &m_settings, &m_history);
    driver.Synchronize(SYNC_ALL);
    EXPECT_TRUE(m_view.m_events.empty());
    EXPECT_EQ(m_history.GetCount(), 0u);
}

// Two-way: Alpha and Beta differ, OnlyWab and OnlyOl are on one side.

class TwoWayTest : public SyncDriverTest {
protected:
    void SetUp() override {
        SyncDriverTest::SetUp();
        Start({MakeContact("Ann", "Alpha", "ann@x.org", "w1"), MakeContact("Wes", "OnlyWab", "wes@x.org", "w2"),
               MakeContact("Bob", "Beta", "bob@x.org", "w3")},
              {MakeContact("Olga", "OnlyOl", "olga@x.org", "o1"), MakeContact("Ann", "Alpha", "ann@x.org", "o2"),
               MakeContact("Bob", "Beta", "bob@x.org", "o3")});
    }
};

TEST_F(TwoWayTest, WabWinsRuleAsksNothingAndHandlesEachPairOnce) {
    m_settings.ConfAction = CONF_WAB_WINS;
    SyncDriver driver = Driver();
    driver.Synchronize(SYNC_ALL);
    EXPECT_TRUE(m_view.m_asked.empty());
    // OnlyOl to WAB, the two pairs to Outlook in the Outlook pass, OnlyWab to
    // Outlook in the WAB pass.
    EXPECT_EQ(driver.GetUpdatedCount(), 4);
    EXPECT_EQ(m_view.m_progress, std::vector<int>({0, 16, 33, 50, 66, 83, 100, 100}));
    EXPECT_EQ(Stored(true), std::vector<std::string>({"Alpha:w1", "Beta:w3", "OnlyOl:o1", "OnlyWab:w2"}));
    EXPECT_EQ(Stored(false), std::vector<std::string>({"Alpha:w1", "Beta:w3", "OnlyOl:o1", "OnlyWab:w2"}));
    EXPECT_EQ(m_settings.ConfAction, CONF_WAB_WINS);
    EXPECT_STREQ(m_history.GetFirst()->szDescription,
                 "Perform two way contact synchronization between Outlook and WAB.");
    EXPECT_EQ(m_history.GetFirst()->nRecordCount, 4);
}

TEST_F(TwoWayTest, DoNothingLeavesThePairToBeOfferedAgainInTheWabPass) {
    for (int nRule : {CONF_REMIND, CONF_DO_NOTHING}) {
        SCOPED_TRACE(nRule);
        Reopen();
        m_view = FakeView();
        m_settings.ConfAction = nRule;
        for (int i = 0; i < 4; ++i) m_view.m_answers.push_back(kDoNothing);
        SyncDriver driver = Driver();
        driver.Synchronize(SYNC_ALL);
        // The WAB contact comes first and the Outlook one second, whichever
        // pass met the conflict.
        EXPECT_EQ(m_view.m_asked,
                  std::vector<std::string>({"Alpha|w1|o2", "Beta|w3|o3", "Alpha|w1|o2", "Beta|w3|o3"}));
        EXPECT_EQ(m_settings.ConfAction, nRule);
    }
    EXPECT_EQ(Stored(true), std::vector<std::string>({"Alpha:o2", "Beta:o3", "OnlyOl:o1", "OnlyWab:w2"}));
    EXPECT_EQ(Stored(false), std::vector<std::string>({"Alpha:w1", "Beta:w3", "OnlyOl:o1", "OnlyWab:w2"}));
}

TEST_F(TwoWayTest, OutlookWinsForAllFutureSetsTheRuleAndTheNextRunAsksNothing) {
    m_view.m_answers.push_back({SYNC_MODAL_OK, {CONF_OL_WINS, false, true}});
    SyncDriver driver = Driver();
    driver.Synchronize(SYNC_ALL);
    EXPECT_EQ(m_view.m_asked.size(), 1u);
    EXPECT_EQ(m_settings.ConfAction, CONF_OL_WINS);
    EXPECT_EQ(driver.GetUpdatedCount(), 4);
    EXPECT_EQ(Stored(false), std::vector<std::string>({"Alpha:o2", "Beta:o3", "OnlyOl:o1", "OnlyWab:w2"}));

    // A new difference: the next run applies the rule without asking.
    m_stores.Close();
    m_stores.OutlookCommand({"change", "2", "BusinessTelephoneNumber=o9"});
    Reopen();
    m_view = FakeView();
    SyncDriver next = Driver();
    next.Synchronize(SYNC_ALL);
    EXPECT_TRUE(m_view.m_asked.empty());
    EXPECT_EQ(next.GetUpdatedCount(), 1);
    EXPECT_EQ(Stored(false), std::vector<std::string>({"Alpha:o9", "Beta:o3", "OnlyOl:o1", "OnlyWab:w2"}));
}

TEST_F(TwoWayTest, ThisSyncRuleCoversTheRestOfTheRunOnly) {
    m_view.m_answers.push_back({SYNC_MODAL_OK, {CONF_WAB_WINS, true, false}});
    SyncDriver driver = Driver();
    driver.Synchronize(SYNC_ALL);
    EXPECT_EQ(m_view.m_asked.size(), 1u);
    EXPECT_EQ(m_settings.ConfAction, CONF_DO_NOTHING);
    EXPECT_EQ(Stored(true), std::vector<std::string>({"Alpha:w1", "Beta:w3", "OnlyOl:o1", "OnlyWab:w2"}));
}

TEST_F(TwoWayTest, CancelEndsTheRunWithAHistoryRecordOfWhatWasDone) {
    // No answer queued: the first conflict is cancelled.
    SyncDriver driver = Driver();
    driver.Synchronize(SYNC_ALL);
    EXPECT_EQ(m_view.m_asked.size(), 1u);
    EXPECT_EQ(m_settings.ConfAction, CONF_DO_NOTHING);
    EXPECT_EQ(driver.GetUpdatedCount(), 1);  // OnlyOl, before the conflict
    EXPECT_EQ(m_view.m_boxes,
              std::vector<std::string>({"Information: Contact information synchronized successfully. 1 records "
                                        "updated."}));
    ASSERT_EQ(m_history.GetCount(), 1u);
    EXPECT_EQ(m_history.GetFirst()->nRecordCount, 1);
    // The WAB pass did not run: OnlyWab is not in Outlook.
    EXPECT_EQ(Stored(true), std::vector<std::string>({"Alpha:o2", "Beta:o3", "OnlyOl:o1"}));
    Reopen();
    m_view = FakeView();
    m_settings.ConfAction = CONF_REMIND;
    SyncDriver again = Driver();
    again.Synchronize(SYNC_ALL);
    EXPECT_EQ(m_settings.ConfAction, CONF_DO_NOTHING);
}

TEST_F(SyncDriverTest, TwoWayRunSeesTheContactsItAddedItself) {
    // Two Outlook contacts of one identity, none in the WAB: the first is
    // added to the WAB, the second then meets it as a conflict.
    Start({}, {MakeContact("Dan", "Dup", "dup@x.org", "o1")});
    m_stores.Close();
    m_stores.OutlookCommand({"add", "contact", "FirstName=Dan", "LastName=Dup", "Email1Address=dup@x.org",
                             "BusinessTelephoneNumber=o2"});
    Reopen();
    ASSERT_EQ(m_olRows.m_rows.size(), 2u);
    m_view.m_answers.push_back(kDoNothing);
    SyncDriver driver = Driver();
    driver.Synchronize(SYNC_ALL);
    EXPECT_EQ(m_view.m_asked, std::vector<std::string>({"Dup|o1|o2"}));
    EXPECT_EQ(driver.GetUpdatedCount(), 1);
    EXPECT_EQ(driver.GetFailedCount(), 0);
    EXPECT_EQ(Stored(false), std::vector<std::string>({"Dup:o1"}));
}

TEST_F(SyncDriverTest, FailedWritesAreReportedCountedOutAndLogged) {
    struct Case {
        int nMode;
        bool bFailWab, bFailOutlook;
        int nUpdated, nFailed;
        std::vector<std::string> log;
    } cases[] = {
        {SYNC_WAB_TO_OL, false, true, 0, 2,
         {"Synchronization: could not write \"Ann Alpha\" <ann@x.org> to Outlook.",
          "Synchronization: could not write \"Wes OnlyWab\" <wes@x.org> to Outlook."}},
        {SYNC_OL_TO_WAB, true, false, 0, 2,
         {"Synchronization: could not write \"Olga OnlyOl\" <olga@x.org> to WAB.",
          "Synchronization: could not write \"Ann Alpha\" <ann@x.org> to WAB."}},
        // Two-way, WAB wins: OnlyOl cannot reach the WAB; Alpha and OnlyWab
        // reach Outlook.
        {SYNC_ALL, true, false, 2, 1, {"Synchronization: could not write \"Olga OnlyOl\" <olga@x.org> to WAB."}},
        {SYNC_ALL, false, true, 1, 2,
         {"Synchronization: could not write \"Ann Alpha\" <ann@x.org> to Outlook.",
          "Synchronization: could not write \"Wes OnlyWab\" <wes@x.org> to Outlook."}},
    };
    int nCase = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(nCase);
        // Each case in a data home of its own.
        const std::string folder = m_dir.Path() + "case" + std::to_string(nCase++) + "/";
        std::filesystem::create_directories(folder);
        SyncStores stores(folder);
        ASSERT_TRUE(SeedStores(stores,
                               {MakeContact("Ann", "Alpha", "ann@x.org", "w1"),
                                MakeContact("Wes", "OnlyWab", "wes@x.org", "w2")},
                               {MakeContact("Olga", "OnlyOl", "olga@x.org", "o1"),
                                MakeContact("Ann", "Alpha", "ann@x.org", "o2")}));
        ASSERT_TRUE(stores.Open());
        stores.Compare();
        FakeRows wabRows, olRows;
        wabRows.Fill(stores.Wab()->GetAddrMgr(), true);
        olRows.Fill(stores.Outlook()->GetAddrMgr(), true);
        FakeView view;
        SyncHistoryMgr history;
        m_settings.ConfAction = CONF_WAB_WINS;
        g_DebugUtil.SetFolder(folder.c_str());
        stores.FailWabWrites(c.bFailWab);
        stores.FailOutlookWrites(c.bFailOutlook);
        SyncDriver driver(stores.Wab(), stores.Outlook(), &wabRows, &olRows, &view, &m_settings, &history);
        driver.Synchronize(c.nMode);
        stores.FailWabWrites(false);
        stores.FailOutlookWrites(false);
        EXPECT_EQ(driver.GetUpdatedCount(), c.nUpdated);
        EXPECT_EQ(driver.GetFailedCount(), c.nFailed);
        char szBox[300];
        snprintf(szBox, sizeof(szBox), "Error: " SYNC_TEXT_FAILED, c.nUpdated, c.nFailed);
        EXPECT_EQ(view.m_boxes, std::vector<std::string>({szBox}));
        ASSERT_EQ(history.GetCount(), 1u);
        EXPECT_EQ(history.GetFirst()->nRecordCount, c.nUpdated);
        std::vector<std::string> log;
        std::ifstream in(folder + "appdebug.log");
        for (std::string line; std::getline(in, line);)
            if (line.find("[!!!] - Synchronization:") != std::string::npos)
                log.push_back(line.substr(line.find("] - ") + 4, line.find('\r') - line.find("] - ") - 4));
        EXPECT_EQ(log, c.log);
    }
}

TEST_F(SyncDriverTest, AnExceptionEndsTheRunWithoutHistoryAndResetsTheWindow) {
    Start({MakeContact("Ann", "Alpha", "ann@x.org", "1"), MakeContact("Bob", "Beta", "bob@x.org", "2")}, {});
    m_wabRows.m_ticks = {true, true};
    m_view.m_nThrowAtProgress = 2;  // after the first row
    SyncDriver driver = Driver();
    EXPECT_THROW(driver.Synchronize(SYNC_WAB_TO_OL), std::runtime_error);
    EXPECT_EQ(m_view.m_events, std::vector<std::string>({"wait on", "bar on", "bar off", "wait off"}));
    EXPECT_TRUE(m_view.m_boxes.empty());
    EXPECT_EQ(m_history.GetCount(), 0u);
    EXPECT_FALSE(driver.WroteHistory());
}

}  // namespace
