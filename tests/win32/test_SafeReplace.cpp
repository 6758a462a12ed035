// A settings file is replaced whole or not at all: a failing write, sync or
// rename leaves the old file, and a process killed at any point of a series
// of writes leaves one of the versions it wrote, never a mix.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/win32/WinFileIo.h"
#include "platform/win32/WinProfile.h"
#include "support/KillPoints.h"
#include "support/TempDir.h"

namespace {

const char kOld[] = "[Keep]\r\nA=1\r\n\r\n[Run]\r\nCount=0\r\nData=\r\n";

std::string Read(const std::string& sFile, const char* szSection, const char* szKey) {
    char sz[4096];
    GetPrivateProfileStringA(szSection, szKey, "<none>", sz, sizeof(sz), sFile.c_str());
    return sz;
}

size_t FilesIn(const std::string& sDir) {
    size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(sDir)) n += entry.is_regular_file() ? 1 : 0;
    return n;
}

class SafeReplace : public ::testing::Test {
protected:
    void TearDown() override {
        for (WinFileOp op : {WINFILE_WRITE, WINFILE_FSYNC, WINFILE_RENAME}) WinFileIoFailAt(op, 0, 0);
    }
    TempDir m_dir{"pellmark_replace"};
};

TEST_F(SafeReplace, FailingWriteSyncOrRenameKeepsTheOldFile) {
    const std::string sFile = m_dir.File("tessaro.ini"), sNew = m_dir.File("new.ini");
    for (WinFileOp op : {WINFILE_WRITE, WINFILE_FSYNC, WINFILE_RENAME}) {
        for (int nErrno : {EIO, ENOSPC}) {
            SCOPED_TRACE(testing::Message() << "op " << op << ", errno " << nErrno);
            std::ofstream(sFile, std::ios::binary) << kOld;
            WinFileIoFailAt(op, 1, nErrno);
            EXPECT_FALSE(WritePrivateProfileStringA("Run", "Count", "1", sFile.c_str()));
            EXPECT_EQ(ReadFileBytes(sFile), kOld);
            WinFileIoFailAt(op, 1, nErrno);
            EXPECT_FALSE(WritePrivateProfileStringA("Run", "Count", "1", sNew.c_str()));
            EXPECT_FALSE(std::filesystem::exists(sNew));
            EXPECT_EQ(FilesIn(m_dir.Path()), 1u) << "no temporary file is left";
        }
    }
    // The failure hits only the call it names.
    std::ofstream(sFile, std::ios::binary) << kOld;
    WinFileIoFailAt(WINFILE_RENAME, 2, EIO);
    EXPECT_TRUE(WritePrivateProfileStringA("Run", "Count", "1", sFile.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA("Run", "Count", "2", sFile.c_str()));
    EXPECT_EQ(Read(sFile, "Run", "Count"), "1");
}

// The child writes Data (a longer text each time) and then Count, four
// times; killed before any write, sync or rename, the file must hold a
// version it wrote whole: the other section intact, Data of this or the
// next round.
TEST_F(SafeReplace, KilledAtEveryPointLeavesAWholeVersion) {
    const std::string sFile = m_dir.File("tessaro.ini");
    const int kRounds = 4;
    auto body = [&] {
        for (int i = 1; i <= kRounds; ++i) {
            std::string sData(size_t(i) * 700, char('a' + i));
            if (!WritePrivateProfileStringA("Run", "Data", sData.c_str(), sFile.c_str()) ||
                !WritePrivateProfileStringA("Run", "Count", std::to_string(i).c_str(), sFile.c_str()))
                return false;
        }
        return true;
    };
    std::ofstream(sFile, std::ios::binary) << kOld;
    int nPoints = KillPoints::Count(body);
    ASSERT_GE(nPoints, kRounds * 2 * 3);
    RecordProperty("kill_points", nPoints);
    for (int nKill = 1; nKill <= nPoints; ++nKill) {
        SCOPED_TRACE(testing::Message() << "killed at point " << nKill << " of " << nPoints);
        std::ofstream(sFile, std::ios::binary | std::ios::trunc) << kOld;
        ASSERT_EQ(KillPoints::Run(body, nKill), nKill);
        EXPECT_EQ(Read(sFile, "Keep", "A"), "1");
        int nCount = std::stoi(Read(sFile, "Run", "Count"));
        std::string sData = Read(sFile, "Run", "Data");
        ASSERT_TRUE(nCount >= 0 && nCount <= kRounds);
        EXPECT_TRUE(sData.size() == size_t(nCount) * 700 || sData.size() == size_t(nCount + 1) * 700)
            << nCount << " " << sData.size();
        EXPECT_EQ(sData, std::string(sData.size(), sData.empty() ? 'x' : sData[0]));
    }
}

}  // namespace
