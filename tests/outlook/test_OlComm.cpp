#include <gtest/gtest.h>

#include <memory>

#include "common/misc/CxDebugUtil.h"
#include "common/outlook/OlAddr.h"
#include "tests/outlook/fixtures/OlTestEnv.h"

namespace {

using Lines = std::vector<std::string>;

const Lines kStartLines = {
    "[   ] - Outlook automation started.",
    "[   ] - Get Outlook.Application CLSID succeeded.",
    "[   ] - CoCreateInstance succeeded.",
    "[   ] - Microsoft Outlook started successfully.",
    "[   ] - Got Outlook IDispatch interface successfully.",
    "[   ] - Get Outlook MAPI namespace object successfully.",
    "[   ] - Outlook Automation Succeeded.",
};

// The first n start lines followed by one error line.
Lines FailedStart(size_t n, const std::string& sError) {
    Lines lines(kStartLines.begin(), kStartLines.begin() + n);
    lines.push_back("[!!!] - " + sError);
    return lines;
}

Lines Twice(const Lines& lines) {
    Lines both = lines;
    both.insert(both.end(), lines.begin(), lines.end());
    return both;
}

class OlCommTest : public OlTestEnv {
protected:
    // The stand-in objects destroyed since the last count reset, in order.
    std::string Destroyed() {
        char sz[512] = "";
        EXPECT_TRUE(m_Hooks.Destroyed(sz, sizeof(sz)));
        return sz;
    }
};

TEST_F(OlCommTest, AStoreStartsOutlookOnceAndHoldsTwoUses) {
    AddItem("contact", {"FirstName=Anna"});
    {
        OlAddrUtil store;
        EXPECT_EQ(LogMessages(), kStartLines);
        EXPECT_TRUE(OlBaseUtil::IsStarted());
        EXPECT_EQ(OlBaseUtil::GetUseCount(), 2u);
        EXPECT_NE(store.GetContactFolder(), nullptr);
        EXPECT_TRUE(store.Load());
        EXPECT_EQ(store.GetAddrMgr()->GetCount(), 1u);
    }
    EXPECT_EQ(OlBaseUtil::GetUseCount(), 0u);
    EXPECT_EQ(m_Hooks.LiveObjects(), 0);

    // The whole line: time, source name padded to 20, line number padded to
    // 4, thread in at least five hex digits, marker, text.
    const std::string sLine = LogLines().at(0);
    const std::string sHead = "[2011/03/09 14:05:09][OlComm.cpp          (";
    ASSERT_EQ(sLine.rfind(sHead, 0), 0u) << sLine;
    const size_t nClose = sLine.find(")][", sHead.size());
    ASSERT_EQ(nClose, sHead.size() + 4) << sLine;
    const std::string sNumber = sLine.substr(sHead.size(), 4);
    EXPECT_EQ(sNumber.find_first_not_of("0123456789 "), std::string::npos) << sLine;
    EXPECT_NE(sNumber[0], ' ') << sLine;
    const size_t nThreadEnd = sLine.find("][   ] - Outlook automation started.", nClose + 3);
    ASSERT_NE(nThreadEnd, std::string::npos) << sLine;
    const std::string sThread = sLine.substr(nClose + 3, nThreadEnd - nClose - 3);
    EXPECT_GE(sThread.size(), 5u);
    EXPECT_EQ(sThread.find_first_not_of("0123456789abcdef"), std::string::npos) << sLine;
    EXPECT_EQ(sLine.size(), nThreadEnd + std::string("][   ] - Outlook automation started.").size());
}

TEST_F(OlCommTest, ProgressLinesAreAtLevelTwo) {
    // Start-up and the folder's name and store: none at level 1, all at 2.
    g_DebugUtil.SetLevel(1);
    {
        OlAddrUtil store;
        EXPECT_TRUE(store.Load());
    }
    EXPECT_TRUE(LogMessages().empty());
    g_DebugUtil.SetLevel(2);
    {
        OlAddrUtil store;
        EXPECT_TRUE(store.Load());
    }
    EXPECT_EQ(LogMessages().size(), kStartLines.size() + 2);
}

TEST_F(OlCommTest, OutlookNotRegisteredIsTriedTwiceAndLeavesNothing) {
    WriteRegistry(false);
    OlAddrUtil store;
    EXPECT_EQ(LogMessages(), Twice(FailedStart(1, "Can not get the CLSID of Outlook.Application, hr=0x800401f3")));
    EXPECT_EQ(OlBaseUtil::GetUseCount(), 0u);
    EXPECT_FALSE(OlBaseUtil::IsStarted());
    EXPECT_EQ(store.GetContactFolder(), nullptr);
    EXPECT_FALSE(store.Load());
    EXPECT_EQ(store.GetAddrMgr()->GetCount(), 0u);
}

TEST_F(OlCommTest, EachFailedStartStepIsLoggedAndReleasesWhatWasMade) {
    struct Case {
        const char* szFail;
        Lines attempt;
    };
    const Case cases[] = {
        {"Create", FailedStart(2, "Failed to execute CoCreateInstance, hr=0x80080005")},
        {"OleRun", FailedStart(3, "Failed to execute OleRun, hr=0x80004005")},
        {"QueryInterface", FailedStart(4, "Failed to query IDispatch interface of Outlook App, hr=0x80004002")},
        {"GetNameSpace", FailedStart(5, "Failed to call Outlook.Application GetNameSpace method, hr=0x80020009")},
        {"GetNameSpace:empty", FailedStart(5, "Failed to call Outlook.Application GetNameSpace method, hr=0x00000000")},
        {"GetNameSpace:null", FailedStart(5, "Failed to call Outlook.Application GetNameSpace method, hr=0x00000000")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szFail);
        ClearLog();
        m_Hooks.SetFail(c.szFail);
        OlAddrUtil store;
        EXPECT_EQ(LogMessages(), Twice(c.attempt));
        EXPECT_EQ(OlBaseUtil::GetUseCount(), 0u);
        EXPECT_EQ(m_Hooks.LiveObjects(), 0) << "released at the failure, not only at destruction";
        EXPECT_FALSE(store.Load());
    }
}

TEST_F(OlCommTest, NoContactsFolderKeepsOneUseUntilDestruction) {
    for (const char* szFail : {"GetDefaultFolder", "GetDefaultFolder:empty"}) {
        SCOPED_TRACE(szFail);
        ClearLog();
        m_Hooks.SetFail(szFail);
        {
            OlAddrUtil store;
            EXPECT_EQ(LogMessages(), kStartLines) << "the failure itself is not logged";
            EXPECT_EQ(OlBaseUtil::GetUseCount(), 1u);
            EXPECT_TRUE(OlBaseUtil::IsStarted());
            EXPECT_EQ(store.GetContactFolder(), nullptr);
            EXPECT_FALSE(store.Load());
        }
        EXPECT_EQ(OlBaseUtil::GetUseCount(), 0u);
        EXPECT_EQ(m_Hooks.LiveObjects(), 0);
    }
}

TEST_F(OlCommTest, ASecondStoreSharesTheConnection) {
    AddItem("contact", {"FirstName=Anna"});
    auto pFirst = std::make_unique<OlAddrUtil>();
    ClearLog();
    m_Hooks.ResetCounts();
    auto pSecond = std::make_unique<OlAddrUtil>();
    EXPECT_TRUE(LogMessages().empty());
    EXPECT_EQ(m_Hooks.CallCount("GetNameSpace"), 0);
    EXPECT_EQ(OlBaseUtil::GetUseCount(), 4u);

    pFirst.reset();
    EXPECT_EQ(OlBaseUtil::GetUseCount(), 2u);
    EXPECT_TRUE(OlBaseUtil::IsStarted());
    EXPECT_TRUE(pSecond->Load());
    EXPECT_EQ(pSecond->GetAddrMgr()->GetCount(), 1u);
    EXPECT_GT(m_Hooks.LiveObjects(), 0);

    pSecond.reset();
    EXPECT_EQ(OlBaseUtil::GetUseCount(), 0u);
}

TEST_F(OlCommTest, TheLastUseReleasesFolderThenNamespaceThenApplication) {
    {
        OlAddrUtil store;
        m_Hooks.ResetCounts();
    }
    EXPECT_EQ(Destroyed(), "Folder,NameSpace,Application");

    // Giving the uses back one by one: the store's own use closes the folder,
    // the last one the connection.
    OlAddrUtil store;
    m_Hooks.ResetCounts();
    store.Disconnect();
    EXPECT_EQ(Destroyed(), "Folder");
    EXPECT_TRUE(OlBaseUtil::IsStarted());
    store.Disconnect();
    EXPECT_EQ(Destroyed(), "Folder,NameSpace,Application");
}

TEST_F(OlCommTest, DisconnectingTooOftenReleasesNothingTwice) {
    OlAddrUtil store;
    for (int i = 0; i < 4; ++i) store.Disconnect();
    EXPECT_EQ(OlBaseUtil::GetUseCount(), 0u);
    EXPECT_FALSE(OlBaseUtil::IsStarted());
    EXPECT_EQ(store.GetContactFolder(), nullptr);
    EXPECT_EQ(m_Hooks.LiveObjects(), 0);
    EXPECT_FALSE(store.Load());
    // Destruction gives back two more uses: nothing is left to release.
}

}  // namespace
