// The history file: its bytes, damaged files, and saves that cannot write.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/SyncHistory.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

const char kMode1[] = "Transfer contact information from WAB to Outlook.";

class SyncHistoryTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(m_folder); }
    void TearDown() override { chmod(m_folder.c_str(), 0755); }
    void WriteFile(const std::string& bytes) { std::ofstream(m_file, std::ios::binary) << bytes; }
    std::string FileBytes() const { return ReadFileBytes(m_file); }

    TempDir m_dir{"pellmark_history"};
    ScopedEnv m_home{"XDG_DATA_HOME", m_dir.Path() + "share"};
    std::string m_folder = m_dir.Path() + "share/tessaro/PELLMARK/";
    std::string m_file = m_folder + "synchis.dat";
};

SyncHistoryRec MakeRecord(const char* szDescription, double dtStart, double dtEnd, int nCount) {
    SyncHistoryRec rec;
    memset(&rec, 0, sizeof(rec));
    strcpy(rec.szDescription, szDescription);
    rec.dtStart = dtStart;
    rec.dtEnd = dtEnd;
    rec.nRecordCount = nCount;
    return rec;
}

std::string Int32(int32_t n) { return std::string(reinterpret_cast<const char*>(&n), 4); }
std::string Double(double d) { return std::string(reinterpret_cast<const char*>(&d), 8); }

// One record in the file's layout, with room to damage its texts.
std::string RecordBytes(const std::string& description, double dtStart, double dtEnd, int nCount,
                        int32_t nLength = -2, int32_t nReservedLength = 0) {
    std::string s = Int32(nLength == -2 ? (int32_t)description.size() : nLength) + description + Double(dtStart) +
                    Double(dtEnd) + Int32(nCount) + std::string(40, '\0');
    for (int i = 0; i < 10; ++i) s += Int32(i == 3 ? nReservedLength : 0);
    if (nReservedLength > 0) s += std::string((size_t)std::min(nReservedLength, 8), 'r');
    return s;
}

TEST_F(SyncHistoryTest, OneModeOneRunGivesTheDocumentedBytes) {
    SyncHistoryMgr mgr;
    EXPECT_FALSE(mgr.Load());  // no file yet: empty history
    EXPECT_EQ(mgr.GetCount(), 0u);
    SyncHistoryRec rec = MakeRecord(kMode1, 46000.25, 46000.5, 2);
    SyncHistoryRec* pCopy = mgr.AppendRecord(&rec);
    ASSERT_NE(pCopy, nullptr);
    EXPECT_NE(pCopy, &rec);
    ASSERT_TRUE(mgr.Save());
    EXPECT_EQ(std::string(mgr.GetFile()), m_file);
    const std::string bytes = FileBytes();
    ASSERT_EQ(bytes.size(), 157u);
    EXPECT_EQ(bytes, Int32(1) + Int32(49) + kMode1 + Double(46000.25) + Double(46000.5) + Int32(2) +
                         std::string(80, '\0'));
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder), {}), 1);

    // Read back into a fresh manager: the same record.
    SyncHistoryMgr back;
    ASSERT_TRUE(back.Load());
    ASSERT_EQ(back.GetCount(), 1u);
    SyncHistoryRec* p = back.GetFirst();
    EXPECT_STREQ(p->szDescription, kMode1);
    EXPECT_EQ(p->dtStart, 46000.25);
    EXPECT_EQ(p->dtEnd, 46000.5);
    EXPECT_EQ(p->nRecordCount, 2);
    EXPECT_EQ(back.GetNext(), nullptr);

    back.DeleteRecord(p);
    ASSERT_TRUE(back.Save());
    EXPECT_EQ(FileBytes(), std::string(4, '\0'));
}

TEST_F(SyncHistoryTest, RecordsRoundTripInOrderWithReservedValuesAndEmptyDescriptions) {
    SyncHistoryMgr mgr;
    SyncHistoryRec a = MakeRecord("", 1.5, 2.5, -1);
    a.nReserved[9] = 77;
    SyncHistoryRec b = MakeRecord("Zweiwege \xC3\xA9\xE4\xB8\xAD", 3.0, 4.0, 123456);
    SyncHistoryRec c = MakeRecord(kMode1, 5.0, 6.0, 0);
    // A description that fills the whole buffer without a NUL is cut to 255.
    memset(c.szDescription, 'x', sizeof(c.szDescription));
    for (auto* p : {&a, &b, &c}) mgr.AppendRecord(p);
    EXPECT_EQ(mgr.AppendRecord(nullptr), nullptr);
    ASSERT_TRUE(mgr.Save());
    EXPECT_EQ(FileBytes().size(), 4u + 104 * 3 + 0 + strlen(b.szDescription) + 255);

    SyncHistoryMgr back;
    ASSERT_TRUE(back.Load());
    ASSERT_EQ(back.GetCount(), 3u);
    SyncHistoryRec* p = back.GetFirst();
    EXPECT_STREQ(p->szDescription, "");
    EXPECT_EQ(p->nRecordCount, -1);
    EXPECT_EQ(p->nReserved[9], 77);
    p = back.GetNext();
    EXPECT_STREQ(p->szDescription, b.szDescription);
    EXPECT_EQ(p->dtEnd, 4.0);
    p = back.GetNext();
    EXPECT_EQ(std::string(p->szDescription), std::string(255, 'x'));
}

TEST_F(SyncHistoryTest, DeleteIgnoresStrangersAndRemoveAllEmpties) {
    SyncHistoryMgr mgr;
    SyncHistoryRec a = MakeRecord("a", 1, 2, 3);
    SyncHistoryRec* pA = mgr.AppendRecord(&a);
    mgr.AppendRecord(&a);
    mgr.DeleteRecord(&a);  // not in the list
    mgr.DeleteRecord(nullptr);
    EXPECT_EQ(mgr.GetCount(), 2u);
    mgr.DeleteRecord(pA);
    EXPECT_EQ(mgr.GetCount(), 1u);
    mgr.RemoveAll();
    EXPECT_EQ(mgr.GetCount(), 0u);
    EXPECT_EQ(mgr.GetFirst(), nullptr);
}

// Damaged files: each keeps the whole records before the damage, and loading
// never rewrites the file.
TEST_F(SyncHistoryTest, DamagedFilesKeepTheGoodRecordsAndAreLeftAlone) {
    const std::string good = RecordBytes("first", 1, 2, 3) + RecordBytes("second", 4, 5, 6);
    struct Case {
        const char* szName;
        std::string bytes;
        size_t nGood;
    } cases[] = {
        {"empty file", "", 0},
        {"count cut short", std::string(2, '\1'), 0},
        {"fewer records than counted", Int32(5) + good, 2},
        {"cut inside a record", Int32(3) + good + RecordBytes("third", 7, 8, 9).substr(0, 30), 2},
        {"cut inside a description", Int32(3) + good + Int32(40) + "abc", 2},
        {"description of 256", Int32(3) + good + RecordBytes(std::string(256, 'd'), 7, 8, 9), 2},
        {"negative length", Int32(3) + good + RecordBytes("", 7, 8, 9, -5), 2},
        {"huge length", Int32(3) + good + RecordBytes("", 7, 8, 9, 0x7FFFFFFF), 2},
        {"reserved text not empty", Int32(3) + good + RecordBytes("third", 7, 8, 9, -2, 1), 2},
        {"reserved text huge", Int32(3) + good + RecordBytes("third", 7, 8, 9, -2, 0x7FFFFFF0), 2},
        {"count of four billion", Int32((int32_t)4000000000u) + good, 2},
        {"bytes after the last record", Int32(1) + good, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szName);
        WriteFile(c.bytes);
        SyncHistoryMgr mgr;
        EXPECT_TRUE(mgr.Load());
        EXPECT_TRUE(mgr.IsDamaged());
        ASSERT_EQ(mgr.GetCount(), c.nGood);
        if (c.nGood > 0) {
            EXPECT_STREQ(mgr.GetFirst()->szDescription, "first");
            EXPECT_EQ(mgr.GetFirst()->nRecordCount, 3);
        }
        if (c.nGood > 1) {
            EXPECT_STREQ(mgr.GetNext()->szDescription, "second");
        }
        EXPECT_EQ(FileBytes(), c.bytes);
    }
    // A whole file and a missing one are not damaged; a folder in its place is.
    for (const std::string& whole : {Int32(2) + good, Int32(0)}) {
        WriteFile(whole);
        SyncHistoryMgr mgr;
        EXPECT_TRUE(mgr.Load());
        EXPECT_FALSE(mgr.IsDamaged());
    }
    std::filesystem::remove(m_file);
    {
        SyncHistoryMgr mgr;
        EXPECT_FALSE(mgr.Load());
        EXPECT_FALSE(mgr.IsDamaged());
        std::filesystem::create_directory(m_file);
        mgr.Load();
        EXPECT_TRUE(mgr.IsDamaged());
        EXPECT_EQ(mgr.GetCount(), 0u);
        std::filesystem::remove(m_file);
    }
    // Once the user changes the history, the saved file holds the good ones.
    WriteFile(Int32(3) + good + RecordBytes("", 7, 8, 9, -5));
    SyncHistoryMgr mgr;
    mgr.Load();
    mgr.DeleteRecord(mgr.GetFirst());
    ASSERT_TRUE(mgr.Save());
    EXPECT_EQ(FileBytes(), Int32(1) + RecordBytes("second", 4, 5, 6));
}

TEST_F(SyncHistoryTest, SaveThatCannotWriteKeepsTheOldFile) {
    SyncHistoryMgr mgr;
    SyncHistoryRec a = MakeRecord(kMode1, 1, 2, 3);
    mgr.AppendRecord(&a);
    ASSERT_TRUE(mgr.Save());
    const std::string old = FileBytes();
    mgr.AppendRecord(&a);
    if (geteuid() != 0) {  // permissions do not stop root
        chmod(m_folder.c_str(), 0555);
        EXPECT_FALSE(mgr.Save());
        chmod(m_folder.c_str(), 0755);
        EXPECT_EQ(FileBytes(), old);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder), {}), 1);
    }
    // A full disk: the file size limit stops the new file after 200 bytes.
    {
        struct rlimit saved;
        getrlimit(RLIMIT_FSIZE, &saved);
        struct rlimit small = saved;
        small.rlim_cur = 200;
        auto oldHandler = signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        bool bSaved = mgr.Save();
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(bSaved);
        EXPECT_EQ(FileBytes(), old);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder), {}), 1);
    }
    // No data folder at all.
    ScopedEnv noHome("XDG_DATA_HOME", (m_dir.Path() + "nofolder/file").c_str());
    { std::ofstream(m_dir.Path() + "nofolder") << "x"; }
    EXPECT_FALSE(mgr.Save());
    EXPECT_FALSE(mgr.Load());
    EXPECT_EQ(mgr.GetCount(), 2u);
}

}  // namespace
