// Contacts saved one by one through automation, the process killed at any
// point of the file writes: the file opens sound and holds the first items.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "olstandin/fixtures/OlTestUtil.h"
#include "support/KillPoints.h"
#include "support/SqliteFile.h"

namespace {

using OlCrash = OlStandinTest;

std::u16string Number(long n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

TEST_F(OlCrash, KilledSavesLeaveTheFirstItems) {
    const std::string sFile = m_sHome + "/OlStandin/contacts.db";
    const int kItems = 4;
    auto body = [&] {
        IDispatch* pItems = OpenItems();
        if (pItems == nullptr) return false;
        bool bOk = true;
        for (int i = 1; bOk && i <= kItems; ++i) {
            IDispatch* pItem = AddItem(pItems, 2);
            bOk = pItem != nullptr && PutText(pItem, u"FirstName", Number(i)) == S_OK &&
                  Method(pItem, u"Save", {}, nullptr) == S_OK;
            if (pItem != nullptr) pItem->Release();
        }
        pItems->Release();
        return bOk;
    };
    int nPoints = KillPoints::Count(body);
    ASSERT_GT(nPoints, kItems);
    RecordProperty("kill_points", nPoints);
    std::vector<int> kills;
    std::mt19937 rng(20261211);
    for (int n = 1; n <= nPoints; ++n)
        if (nPoints <= 40 || std::uniform_int_distribution<int>(0, nPoints)(rng) < 40) kills.push_back(n);
    for (int nKill : kills) {
        SCOPED_TRACE(testing::Message() << "killed at point " << nKill << " of " << nPoints);
        for (const char* szSuffix : {"", "-journal", "-wal", "-shm"}) remove((sFile + szSuffix).c_str());
        ASSERT_EQ(KillPoints::Run(body, nKill), nKill);

        EXPECT_EQ(IntegrityCheck(sFile), "ok");
        IDispatch* pItems = OpenItems();
        ASSERT_NE(pItems, nullptr);
        long nCount = GetLong(pItems, u"Count");
        EXPECT_TRUE(nCount >= 0 && nCount <= kItems) << nCount;
        for (long i = 1; i <= nCount; ++i) {
            IDispatch* pItem = ItemAt(pItems, i);
            ASSERT_NE(pItem, nullptr);
            EXPECT_EQ(GetText(pItem, u"FirstName"), Number(i));
            pItem->Release();
        }
        pItems->Release();
    }
}

}  // namespace
