// The history file when the process saving it is killed, or a write, sync or
// rename fails: the file is the old or the new history, whole.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/SyncHistory.h"
#include "support/KillPoints.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

const int kOld = 2;     // records in the file before the child starts
const int kRounds = 3;  // the child appends one record and saves, this often

SyncHistoryRec Record(int i) {
    SyncHistoryRec rec;
    memset(&rec, 0, sizeof(rec));
    // Descriptions of different lengths, so a cut file never looks whole.
    std::string s = "Run " + std::to_string(i) + std::string(size_t(i) * 37, char('a' + i));
    strcpy(rec.szDescription, s.c_str());
    rec.dtStart = 46000.25 + i;
    rec.dtEnd = rec.dtStart + 0.5;
    rec.nRecordCount = i * 11;
    rec.nReserved[i % 10] = i;
    return rec;
}

bool SaveRecords(int n) {
    SyncHistoryMgr mgr;
    for (int i = 0; i < n; ++i) {
        SyncHistoryRec rec = Record(i);
        mgr.AppendRecord(&rec);
    }
    return mgr.Save();
}

TEST(HistoryCrash, KilledAtEveryPointOfASaveLeavesAWholeHistory) {
    TempDir dir{"pellmark_histcrash"};
    ScopedEnv home{"XDG_DATA_HOME", dir.Path() + "share"};
    auto body = [] {
        SyncHistoryMgr mgr;
        if (!mgr.Load()) return false;
        for (int i = kOld; i < kOld + kRounds; ++i) {
            SyncHistoryRec rec = Record(i);
            mgr.AppendRecord(&rec);
            if (!mgr.Save()) return false;
        }
        return true;
    };
    ASSERT_TRUE(SaveRecords(kOld));
    int nPoints = KillPoints::Count(body);
    // At least a sync and a rename per save.
    ASSERT_GE(nPoints, kRounds * 2);
    bool bSawOld = false, bSawNew = false;
    for (int nKill = 1; nKill <= nPoints; ++nKill) {
        SCOPED_TRACE(testing::Message() << "killed at point " << nKill << " of " << nPoints);
        ASSERT_TRUE(SaveRecords(kOld));
        ASSERT_EQ(KillPoints::Run(body, nKill), nKill);
        SyncHistoryMgr after;
        ASSERT_TRUE(after.Load());
        int nCount = int(after.GetCount());
        ASSERT_TRUE(nCount >= kOld && nCount <= kOld + kRounds) << nCount;
        bSawOld |= nCount == kOld;
        bSawNew |= nCount > kOld;
        // Whole: every record as written, and not a byte more or less.
        size_t nBytes = 4;
        int i = 0;
        for (SyncHistoryRec* p = after.GetFirst(); p; p = after.GetNext(), ++i) {
            SyncHistoryRec want = Record(i);
            EXPECT_STREQ(p->szDescription, want.szDescription);
            EXPECT_EQ(p->dtStart, want.dtStart);
            EXPECT_EQ(p->dtEnd, want.dtEnd);
            EXPECT_EQ(p->nRecordCount, want.nRecordCount);
            EXPECT_EQ(0, memcmp(p->nReserved, want.nReserved, sizeof(want.nReserved)));
            nBytes += 104 + strlen(want.szDescription);
        }
        EXPECT_EQ(std::filesystem::file_size(after.GetFile()), nBytes);
    }
    EXPECT_TRUE(bSawOld && bSawNew);
}

std::string Bytes(const std::string& sPath) {
    std::ifstream in(sPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(HistoryCrash, FailedWriteSyncOrRenameKeepsTheOldFileAndNoTemporary) {
    TempDir dir{"pellmark_histfail"};
    ScopedEnv home{"XDG_DATA_HOME", dir.Path() + "share"};
    ASSERT_TRUE(SaveRecords(kOld));
    SyncHistoryMgr probe;
    ASSERT_TRUE(probe.Load());
    const std::string sFile = probe.GetFile();
    const std::string sOld = Bytes(sFile);
    for (WinFileOp op : {WINFILE_WRITE, WINFILE_FSYNC, WINFILE_RENAME}) {
        for (int nCall : {1, 7}) {
            if (op != WINFILE_WRITE && nCall > 1) continue;  // one sync and one rename per save
            SCOPED_TRACE(testing::Message() << "op " << op << " call " << nCall);
            WinFileIoFailAt(op, nCall, EIO);
            EXPECT_FALSE(SaveRecords(kOld + 1));
            WinFileIoFailAt(op, 0, 0);
            EXPECT_EQ(Bytes(sFile), sOld);
            size_t nFiles = 0;
            for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(sFile).parent_path()))
                nFiles += e.is_regular_file() ? 1 : 0;
            EXPECT_EQ(nFiles, 1u);
        }
    }
    EXPECT_TRUE(SaveRecords(kOld + 1));
    EXPECT_NE(Bytes(sFile), sOld);
}

}  // namespace
