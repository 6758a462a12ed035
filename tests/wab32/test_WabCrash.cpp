// Batches of address book writes killed at any point of their file writes:
// the book opens sound afterwards and holds whole batches, in order.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "standins/wab32/WabFile.h"
#include "support/KillPoints.h"
#include "support/SqliteFile.h"
#include "wab32/fixtures/WabStandinFixture.h"

namespace {

using WabCrash = WabStandinTest;

std::vector<CWabProp> Named(const std::string& sName) {
    CWabProp name;
    name.ulTag = PR_DISPLAY_NAME;
    name.sText = sName;
    return {name};
}

TEST_F(WabCrash, KilledBatchesLeaveWholeBatchesInOrder) {
    const std::string sFile = Path("book.wab"), sSeed = Path("seed.wab");
    const int kBatches = 3, kPerBatch = 4;
    {
        CWabFile file;
        ASSERT_EQ(file.Open(sSeed, true), CWabFile::OPEN_OK);
        int64_t nId = 0;
        ASSERT_EQ(file.Save(&nId, true, MAPI_MAILUSER, Named("Keep"), {}, false), CWabFile::SAVE_OK);
    }
    const std::string sSeedBytes = ReadFileBytes(sSeed);
    auto body = [&] {
        CWabFile file;
        if (file.Open(sFile, false) != CWabFile::OPEN_OK) return false;
        for (int b = 1; b <= kBatches; ++b) {
            if (!file.BeginBatch()) return false;
            for (int i = 1; i <= kPerBatch; ++i) {
                int64_t nId = 0;
                std::string sName = std::to_string(b) + "-" + std::to_string(i);
                if (file.Save(&nId, true, MAPI_MAILUSER, Named(sName), {}, false) != CWabFile::SAVE_OK) return false;
            }
            if (!file.CommitBatch()) return false;
        }
        // One more write outside a batch, a replacement of the first entry.
        int64_t nKeep = 1;
        return file.Save(&nKeep, false, MAPI_MAILUSER, Named("Kept"), {}, false) == CWabFile::SAVE_OK;
    };
    WriteFileBytes(sFile, sSeedBytes);
    int nPoints = KillPoints::Count(body);
    ASSERT_GT(nPoints, kBatches);
    RecordProperty("kill_points", nPoints);
    // Every point when there are few, else a fixed sample of them.
    std::vector<int> kills;
    std::mt19937 rng(20261211);
    for (int n = 1; n <= nPoints; ++n)
        if (nPoints <= 60 || std::uniform_int_distribution<int>(0, nPoints)(rng) < 60) kills.push_back(n);
    for (int nKill : kills) {
        SCOPED_TRACE(testing::Message() << "killed at point " << nKill << " of " << nPoints);
        for (const char* szSuffix : {"-journal", "-wal", "-shm"}) remove((sFile + szSuffix).c_str());
        WriteFileBytes(sFile, sSeedBytes);
        ASSERT_EQ(KillPoints::Run(body, nKill), nKill);

        CWabFile file;
        ASSERT_EQ(file.Open(sFile, false), CWabFile::OPEN_OK) << file.Error();
        EXPECT_EQ(IntegrityCheck(sFile), "ok");
        std::vector<CWabEntryRow> rows;
        ASSERT_TRUE(file.ListEntries(rows));
        std::vector<std::string> names;
        for (const CWabEntryRow& row : rows) {
            std::vector<CWabProp> props;
            ASSERT_TRUE(file.LoadProps(row.nId, props));
            names.push_back(WabPropText(props, PR_DISPLAY_NAME));
        }
        ASSERT_FALSE(names.empty());
        EXPECT_TRUE(names[0] == "Keep" || names[0] == "Kept") << names[0];
        ASSERT_EQ((names.size() - 1) % kPerBatch, 0u) << "a batch stored in part";
        for (size_t n = 1; n < names.size(); ++n)
            EXPECT_EQ(names[n], std::to_string((n - 1) / kPerBatch + 1) + "-" + std::to_string((n - 1) % kPerBatch + 1));
        if (names[0] == "Kept") {
            EXPECT_EQ(names.size(), size_t(1 + kBatches * kPerBatch));
        }
    }
}

// A book being made when the process dies is made again at the next open,
// never refused as someone else's.
TEST_F(WabCrash, KilledWhileMakingABookLeavesOneThatOpens) {
    const std::string sFile = Path("new.wab");
    auto body = [&] {
        CWabFile file;
        int64_t nId = 0;
        return file.Open(sFile, true) == CWabFile::OPEN_OK &&
               file.Save(&nId, true, MAPI_MAILUSER, Named("First"), {}, false) == CWabFile::SAVE_OK;
    };
    int nPoints = KillPoints::Count(body);
    ASSERT_GT(nPoints, 1);
    for (int nKill = 1; nKill <= nPoints; ++nKill) {
        SCOPED_TRACE(testing::Message() << "killed at point " << nKill << " of " << nPoints);
        for (const char* szSuffix : {"", "-journal"}) remove((sFile + szSuffix).c_str());
        ASSERT_EQ(KillPoints::Run(body, nKill), nKill);
        CWabFile file;
        ASSERT_EQ(file.Open(sFile, true), CWabFile::OPEN_OK) << file.Error();
        std::vector<CWabEntryRow> rows;
        ASSERT_TRUE(file.ListEntries(rows));
        EXPECT_LE(rows.size(), 1u);
    }
}

}  // namespace
