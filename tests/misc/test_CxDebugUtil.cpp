// The debug log: line format, level filter, rotation, wide texts, threads.
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"
#include "common/misc/CxDebugUtil.h"
#include "platform/win32/WinTime.h"

namespace {

class DebugLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = m_dir.Path();
        m_log = m_folder + "appdebug.log";
        m_util.SetFolder(m_folder.c_str());
        SYSTEMTIME st = {2011, 3, 3, 9, 14, 5, 9, 0};
        SetFixedLocalTime(&st);
    }
    void TearDown() override { SetFixedLocalTime(nullptr); }
    static std::string Read(const std::string& path) { return ReadFileBytes(path); }
    // The log's text, emptied for the next case.
    std::string Take() {
        std::string text = Read(m_log);
        std::filesystem::remove(m_log);
        return text;
    }
    static std::string ThreadHex() {
        char sz[16];
        snprintf(sz, sizeof(sz), "%05x", (unsigned)syscall(SYS_gettid));
        return sz;
    }
    TempDir m_dir{"pellmark_log"};
    std::string m_folder, m_log;
    CxDebugUtil m_util;
};

TEST_F(DebugLogTest, StartsWithTheDefaults) {
    CxDebugUtil util;
    EXPECT_STREQ(util.GetFolder(), "./");
    EXPECT_STREQ(util.GetFileName(), "appdebug.log");
    EXPECT_EQ(util.GetLevel(), 0);
    EXPECT_FALSE(util.IsEnabled());
    util.SetFolder(nullptr);
    EXPECT_STREQ(util.GetFolder(), "./");
    util.SetFolder(std::string(300, 'f').c_str());
    EXPECT_EQ(std::string(util.GetFolder()), std::string(259, 'f'));
    for (auto [nIn, nOut] : {std::pair{7, 3}, {-1, 0}, {2, 2}}) {
        util.SetLevel(nIn);
        EXPECT_EQ(util.GetLevel(), nOut) << nIn;
    }
}

TEST_F(DebugLogTest, LineFormat) {
    const std::string t = ThreadHex();
    const std::string longName = "/src/" + std::string(300, 'n');
    const struct {
        int nLevel;
        const char* szFile;
        int nLine;
        const char* szText;
        std::string expected;
    } cases[] = {
        {2, "OlComm", 282, "Outlook automation started.",
         "[2011/03/09 14:05:09][OlComm              (282 )][" + t + "][   ] - Outlook automation started.\r\n"},
        {0, "C:\\a\\b\\Mod", 1249, "failed",
         "[2011/03/09 14:05:09][Mod                 (1249)][" + t + "][!!!] - failed\r\n"},
        {1, "common/outlook/OlComm.cpp", 61, "x",
         "[2011/03/09 14:05:09][OlComm.cpp          (61  )][" + t + "][   ] - x\r\n"},
        {3, nullptr, 12345, nullptr, "[2011/03/09 14:05:09][<null>              (12345)][" + t + "][   ] - \r\n"},
        {1, "a_name_longer_than_twenty.cpp", 1, "%d",
         "[2011/03/09 14:05:09][a_name_longer_than_twenty.cpp(1   )][" + t + "][   ] - %d\r\n"},
        {1, longName.c_str(), 1, "cut",
         "[2011/03/09 14:05:09][" + std::string(255, 'n') + "(1   )][" + t + "][   ] - cut\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        m_util.Write(c.nLevel, c.szFile, c.nLine, c.szText);
        EXPECT_EQ(Take(), c.expected);
    }
}

TEST_F(DebugLogTest, LevelFilter) {
    const struct {
        bool bEnable;
        int nSetting;
        int nLevel;
        bool bWritten;
    } cases[] = {
        {false, 3, 0, true}, {false, 3, 1, false}, {false, 3, 2, false}, {true, 0, 0, true},
        {true, 0, 1, false}, {true, 1, 1, true},   {true, 1, 2, false},  {true, 3, 2, true},
        {true, 3, 3, true},  {true, 7, 3, true},   {true, 2, 3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bEnable << " " << c.nSetting << " " << c.nLevel);
        m_util.Enable(c.bEnable);
        m_util.SetLevel(c.nSetting);
        m_util.Print(c.nLevel, "Mod", 1, "n=%d", 5);
        std::string text = Take();
        if (c.bWritten) {
            EXPECT_NE(text.find(c.nLevel == 0 ? "[!!!] - n=5\r\n" : "[   ] - n=5\r\n"), std::string::npos) << text;
        } else {
            EXPECT_EQ(text, "<none>");
        }
    }
}

TEST_F(DebugLogTest, PrintFormatsLikePrintf) {
    m_util.Print(0, "Mod", 1, "Name=%s, hr=0x%08x", "Gr\xC3\xBC\xC3\x9F" "e", 0x80020006u);
    EXPECT_NE(Take().find("] - Name=Gr\xC3\xBC\xC3\x9F" "e, hr=0x80020006\r\n"), std::string::npos);
    m_util.Print(0, "Mod", 1, "[%-6s][%6s][%.2s][%5.1f][%lld][%c][%%][%d]", "ab", "cd", "efg", 2.25, 1LL << 40, 'z',
                 -7);
    EXPECT_NE(Take().find("] - [ab    ][    cd][ef][  2.2][1099511627776][z][%][-7]\r\n"), std::string::npos);
}

TEST_F(DebugLogTest, LongMessagesAreCutWithoutSplittingCharacters) {
    // 2-byte characters: 40959 bytes would end inside one, so 40958 remain.
    std::string wide;
    for (int i = 0; i < 30000; ++i) wide += "\xC3\xA9";
    m_util.Print(0, "Mod", 1, "%s", wide.c_str());
    std::string text = Take();
    size_t at = text.find("] - ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(text.substr(at + 4), wide.substr(0, 40958) + "\r\n");

    m_util.Print(0, "Mod", 1, "%s", std::string(50000, 'a').c_str());
    text = Take();
    EXPECT_EQ(text.substr(text.find("] - ") + 4), std::string(40959, 'a') + "\r\n");
}

TEST_F(DebugLogTest, RotatesOnlyPastTenMebibytes) {
    const std::string old = m_log + ".old.log";
    for (long nSize : {10485760L, 10485761L}) {
        SCOPED_TRACE(nSize);
        std::filesystem::remove(old);
        { std::ofstream(old) << "older copy"; }
        { std::ofstream(m_log) << "x"; }
        std::filesystem::resize_file(m_log, nSize);
        m_util.Write(1, "Mod", 1, "new line");
        if (nSize == 10485760L) {
            EXPECT_GT(std::filesystem::file_size(m_log), (uintmax_t)nSize);  // appended
            EXPECT_EQ(Read(old), "older copy");
        } else {
            EXPECT_EQ(std::filesystem::file_size(old), (uintmax_t)nSize);  // the whole log, replacing the copy
            std::string text = Read(m_log);
            EXPECT_EQ(text.rfind("[2011/03/09 14:05:09][Mod", 0), 0u) << "holds only the new line";
            EXPECT_EQ(text.substr(text.find("] - ")), "] - new line\r\n");
            EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
        }
    }
}

TEST_F(DebugLogTest, FullLogThatCannotBeMovedAsideIsKept) {
    // A folder holding the old copy's name cannot be replaced by the log.
    std::filesystem::create_directories(m_log + ".old.log/inside");
    { std::ofstream(m_log) << "x"; }
    std::filesystem::resize_file(m_log, 10485761L);
    m_util.Write(1, "Mod", 1, "new line");
    std::string text = Read(m_log);
    ASSERT_GT(text.size(), 10485761u) << "the full log was emptied";
    EXPECT_EQ(text.substr(text.size() - 14), "] - new line\r\n");
    EXPECT_EQ(text[0], 'x');
}

TEST_F(DebugLogTest, PathsTooLongForTheOldCopyAreNotWritten) {
    // folder + "appdebug.log" + ".old.log" must fit in 259 characters.
    for (size_t nFolder : {239u, 240u}) {
        SCOPED_TRACE(nFolder);
        ASSERT_LT(m_folder.size() + 1, nFolder);
        std::string folder = m_folder + std::string(nFolder - m_folder.size() - 1, 'd') + "/";
        std::filesystem::create_directories(folder);
        m_util.SetFolder(folder.c_str());
        m_util.Write(0, "Mod", 1, "line");
        EXPECT_EQ(std::filesystem::exists(folder + "appdebug.log"), nFolder == 239u);
    }
}

TEST_F(DebugLogTest, LinesFromTwoThreadsDoNotInterleave) {
    // Lines longer than a stream buffer would be written in pieces.
    const std::string a(9000, 'a'), b(9000, 'b');
    auto writer = [this](const std::string& text) {
        for (int i = 0; i < 40; ++i) m_util.Write(1, "Mod", i, text.c_str());
    };
    std::thread ta(writer, a), tb(writer, b);
    ta.join();
    tb.join();
    std::istringstream lines(Read(m_log));
    const std::string head = "[2011/03/09 14:05:09][Mod                 (";
    const std::string tailA = "][   ] - " + a + "\r", tailB = "][   ] - " + b + "\r";
    int nLines = 0;
    for (std::string line; std::getline(lines, line); ++nLines) {
        bool bWhole = line.rfind(head, 0) == 0 && line.size() > tailA.size() &&
                      (line.compare(line.size() - tailA.size(), tailA.size(), tailA) == 0 ||
                       line.compare(line.size() - tailB.size(), tailB.size(), tailB) == 0);
        EXPECT_TRUE(bWhole) << "line " << nLines;
    }
    EXPECT_EQ(nLines, 80);
}

}  // namespace
