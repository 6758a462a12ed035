// Private-profile files: reading, writing in place, atomic replacement.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "support/TempDir.h"
#include "platform/win32/WinProfile.h"

namespace {

class ProfileTest : public ::testing::Test {
protected:
    // nullptr removes the file.
    void SetFile(const char* szBytes) {
        std::filesystem::remove(m_file);
        if (szBytes) std::ofstream(m_file, std::ios::binary) << szBytes;
    }
    std::string FileBytes() const { return ReadFileBytes(m_file); }
    TempDir m_dir{"pellmark_ini"};
    std::string m_folder = m_dir.Path().substr(0, m_dir.Path().size() - 1);  // no trailing separator
    std::string m_file = m_dir.File("test.ini");
};

struct ReadCase {
    const char* szName;
    const char* szBefore;  // nullptr: no file
    const char* szSection;
    const char* szKey;
    const char* szDefault;
    DWORD nSize;
    const char* szExpected;
};

TEST_F(ProfileTest, ReadsValuesWithWindowsRules) {
    const char* kFile =
        "; Key=comment\r\n"
        "[Other]\r\n"
        "Key=other\r\n"
        "  [ Main ]  \r\n"
        "  Key  =  spaced value  \r\n"
        "Quoted=\"  inner  \"\r\n"
        "Single='x'\r\n"
        "Doubled=\"\"x\"\"\r\n"
        "Unbalanced=\"abc\r\n"
        ";Commented=yes\r\n"
        "Empty=\r\n"
        "Long=abcdef\r\n"
        "Utf8=a\xC3\xA9\r\n"
        "Dup=first\r\n"
        "Dup=second\r\n"
        "NoEquals\r\n"
        "[Main]\r\n"
        "Later=ignored, only the first section counts\r\n";
    const ReadCase cases[] = {
        {"missing file", nullptr, "Main", "Key", "def", 64, "def"},
        {"missing section", kFile, "None", "Key", "def", 64, "def"},
        {"missing key", kFile, "Main", "None", "def", 64, "def"},
        {"default's trailing blanks dropped", kFile, "Main", "None", "def  ", 64, "def"},
        {"no default", kFile, "Main", "None", nullptr, 64, ""},
        {"names ignore case and blanks", kFile, "MAIN", " key ", "def", 64, "spaced value"},
        {"section decides", kFile, "other", "Key", "def", 64, "other"},
        {"quotes removed", kFile, "Main", "Quoted", "def", 64, "  inner  "},
        {"single quotes removed", kFile, "Main", "Single", "def", 64, "x"},
        {"one pair only", kFile, "Main", "Doubled", "def", 64, "\"x\""},
        {"unbalanced quote kept", kFile, "Main", "Unbalanced", "def", 64, "\"abc"},
        {"empty value is not the default", kFile, "Main", "Empty", "def", 64, ""},
        {"cut to size - 1", kFile, "Main", "Long", "def", 4, "abc"},
        {"cut keeps characters whole", kFile, "Main", "Utf8", "def", 3, "a"},
        {"default cut too", kFile, "Main", "None", "default", 4, "def"},
        {"first of two keys", kFile, "Main", "Dup", "def", 64, "first"},
        {"key without value", kFile, "Main", "NoEquals", "def", 64, ""},
        {"comment is no key", kFile, "Main", ";Commented", "def", 64, "def"},
        {"second section of a name unseen", kFile, "Main", "Later", "def", 64, "def"},
        {"LF line ends", "[A]\nK=v\nL=w", "a", "L", "def", 64, "w"},
        {"CR line ends", "[A]\rK=v\rL=w\r", "a", "L", "def", 64, "w"},
        {"mixed line ends", "[A]\r\nK=v\rL=w\nM=x", "a", "M", "def", 64, "x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        SetFile(c.szBefore);
        char buf[80];
        memset(buf, '#', sizeof(buf));
        DWORD n = GetPrivateProfileStringA(c.szSection, c.szKey, c.szDefault, buf, c.nSize, m_file.c_str());
        EXPECT_STREQ(buf, c.szExpected);
        EXPECT_EQ(n, strlen(c.szExpected));
        EXPECT_EQ(buf[c.nSize], '#') << "wrote past the given size";
        EXPECT_EQ(FileBytes(), c.szBefore ? c.szBefore : "<none>");
    }
    char buf[4] = "xyz";
    EXPECT_EQ(GetPrivateProfileStringA("Main", "Key", "d", buf, 0, m_file.c_str()), 0u);
    EXPECT_STREQ(buf, "xyz");
}

TEST_F(ProfileTest, ListsSectionAndKeyNames) {
    SetFile("[One]\r\nA=1\r\nB=2\r\n[Two]\r\n");
    char buf[32];
    DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "", buf, sizeof(buf), m_file.c_str());
    EXPECT_EQ(std::string(buf, n + 1), std::string("One\0Two\0\0", 9));
    n = GetPrivateProfileStringA("one", nullptr, "", buf, sizeof(buf), m_file.c_str());
    EXPECT_EQ(std::string(buf, n + 1), std::string("A\0B\0\0", 5));
    n = GetPrivateProfileStringA(nullptr, nullptr, "", buf, 5, m_file.c_str());  // cut
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(std::string(buf, 5), std::string("One\0\0", 5));

    // Only lines with a key are listed; a NUL byte hides nothing after it.
    using namespace std::string_literals;
    const std::string kFiles[] = {
        "[One]\r\nA=1\r\nNoEquals\r\n; B=comment\r\n\r\nB=2\r\n[Two]\r\n",
        "[One]\r\nA=1\r\n\0junk\r\nB=2\r\n[Two]\r\n"s,
        "[One]\rA=1\0\rB=2\r[Two]"s,
    };
    for (const std::string& sFile : kFiles) {
        SCOPED_TRACE(sFile);
        std::ofstream(m_file, std::ios::binary | std::ios::trunc) << sFile;
        n = GetPrivateProfileStringA("One", nullptr, "", buf, sizeof(buf), m_file.c_str());
        EXPECT_EQ(std::string(buf, n + 1), std::string("A\0B\0\0", 5));
        n = GetPrivateProfileStringA(nullptr, nullptr, "", buf, sizeof(buf), m_file.c_str());
        EXPECT_EQ(std::string(buf, n + 1), std::string("One\0Two\0\0", 9));
        EXPECT_EQ(GetPrivateProfileStringA("one", "b", "", buf, sizeof(buf), m_file.c_str()), 1u);
        EXPECT_STREQ(buf, "2");
    }
}

struct WriteCase {
    const char* szName;
    const char* szBefore;  // nullptr: no file
    const char* szSection;
    const char* szKey;
    const char* szValue;
    BOOL bExpected;
    const char* szAfter;  // "<none>": no file
};

TEST_F(ProfileTest, WritesKeepEverythingElseInPlace) {
    const WriteCase cases[] = {
        {"missing file created", nullptr, "S", "K", "v", TRUE, "[S]\r\nK=v\r\n"},
        {"key replaced in place", "; note\r\n[A]\r\nx=1\r\n\r\n[S]\r\nk = old\r\nM=2\r\n", "s", "K", "new", TRUE,
         "; note\r\n[A]\r\nx=1\r\n\r\n[S]\r\nK=new\r\nM=2\r\n"},
        {"new key after the section's last line", "[S]\r\nA=1\r\n\r\n[T]\r\nB=2\r\n", "S", "K", "v", TRUE,
         "[S]\r\nA=1\r\nK=v\r\n\r\n[T]\r\nB=2\r\n"},
        {"new section appended, no blank line", "[A]\r\nx=1\r\n", "S", "K", "v", TRUE,
         "[A]\r\nx=1\r\n[S]\r\nK=v\r\n"},
        {"CR lines", "[A]\rx=1\r", "A", "y", "2", TRUE, "[A]\r\nx=1\r\ny=2\r\n"},
        {"no last line end, LF lines", "[A]\nx=1", "A", "y", "2", TRUE, "[A]\r\nx=1\r\ny=2\r\n"},
        {"empty value", "[S]\r\nK=v\r\n", "S", "K", "", TRUE, "[S]\r\nK=\r\n"},
        {"key deleted", "[S]\r\nK=v\r\nL=w\r\n", "S", "k", nullptr, TRUE, "[S]\r\nL=w\r\n"},
        {"section deleted", "[S]\r\nK=v\r\n[T]\r\nL=w\r\n", "s", nullptr, nullptr, TRUE, "[T]\r\nL=w\r\n"},
        {"deleting a missing key", "[S]\r\nK=v\r\n", "S", "X", nullptr, TRUE, "[S]\r\nK=v\r\n"},
        {"line break in a value refused", "[S]\r\nK=v\r\n", "S", "K", "a\r\n[T]", FALSE, "[S]\r\nK=v\r\n"},
        {"'=' in a key refused", "[S]\r\nK=v\r\n", "S", "a=b", "v", FALSE, "[S]\r\nK=v\r\n"},
        {"key read back as a section refused", "[S]\r\nK=v\r\n", "S", " [T", "v", FALSE, "[S]\r\nK=v\r\n"},
        {"key read back as a comment refused", "[S]\r\nK=v\r\n", "S", ";K", "v", FALSE, "[S]\r\nK=v\r\n"},
        {"']' in a section refused", nullptr, "S]x", "K", "v", FALSE, "<none>"},
        {"no section", nullptr, nullptr, "K", "v", FALSE, "<none>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        SetFile(c.szBefore);
        EXPECT_EQ(WritePrivateProfileStringA(c.szSection, c.szKey, c.szValue, m_file.c_str()), c.bExpected);
        EXPECT_EQ(FileBytes(), c.szAfter);
    }
}

TEST_F(ProfileTest, WriteReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    SetFile("[S]\r\nK=old\r\n");
    // A second name for the old file keeps the old bytes: the new file was
    // written beside it and renamed over the name, not rewritten in place.
    std::string alias = m_folder + "/alias.ini";
    ASSERT_EQ(link(m_file.c_str(), alias.c_str()), 0);
    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "new", m_file.c_str()));
    EXPECT_EQ(FileBytes(), "[S]\r\nK=new\r\n");
    std::ifstream in(alias, std::ios::binary);
    std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(old, "[S]\r\nK=old\r\n");

    int nFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder)) {
        (void)entry;
        ++nFiles;
    }
    EXPECT_EQ(nFiles, 2);  // test.ini and alias.ini
}

TEST_F(ProfileTest, UnwritableTargetsFailAndChangeNothing) {
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "v", (m_folder + "/missing/test.ini").c_str()));
    if (geteuid() != 0) {  // permissions do not stop root
        SetFile("[S]\r\nK=v\r\n");
        chmod(m_file.c_str(), 0444);
        EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "new", m_file.c_str()));
        EXPECT_EQ(FileBytes(), "[S]\r\nK=v\r\n");
    }
}

TEST_F(ProfileTest, WritesFromTwoThreadsAreAllKept) {
    auto writer = [this](const char* szPrefix) {
        for (int i = 0; i < 25; ++i) {
            std::string key = szPrefix + std::to_string(i);
            WritePrivateProfileStringA("S", key.c_str(), "1", m_file.c_str());
        }
    };
    std::thread a(writer, "A"), b(writer, "B");
    a.join();
    b.join();
    for (const char* szPrefix : {"A", "B"})
        for (int i = 0; i < 25; ++i) {
            char buf[4];
            std::string key = szPrefix + std::to_string(i);
            GetPrivateProfileStringA("S", key.c_str(), "", buf, sizeof(buf), m_file.c_str());
            EXPECT_STREQ(buf, "1") << key;
        }
}

}  // namespace
