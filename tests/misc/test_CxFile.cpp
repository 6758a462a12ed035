// CxFile: length-prefixed values, text lines and damaged files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/TempDir.h"
#include "common/misc/CxFile.h"

namespace {

class CxFileTest : public ::testing::Test {
protected:
    void SetBytes(const std::string& bytes) { std::ofstream(m_path, std::ios::binary) << bytes; }
    std::string Bytes() const { return ReadFileBytes(m_path); }
    TempDir m_dir{"pellmark_file"};
    std::string m_path = m_dir.File("data.bin");
};

TEST_F(CxFileTest, WritesAndReadsBackEveryKindOfValue) {
    CxFile file;
    ASSERT_TRUE(file.Open(m_path.c_str(), "wb"));
    EXPECT_TRUE(file.WriteString("abc"));
    EXPECT_TRUE(file.WriteString(""));
    EXPECT_TRUE(file.WriteString(nullptr));
    EXPECT_TRUE(file.WriteInt(-2));
    EXPECT_TRUE(file.WriteDouble(40611.5));
    EXPECT_TRUE(file.Close());
    double d = 40611.5;
    std::string expected = std::string("\x03\0\0\0abc", 7) + std::string(8, '\0') + "\xFE\xFF\xFF\xFF" +
                           std::string(reinterpret_cast<const char*>(&d), 8);
    EXPECT_EQ(Bytes(), expected);

    ASSERT_TRUE(file.Open(m_path.c_str(), "rb"));
    char szText[8];
    memset(szText, '#', sizeof(szText));
    int nLength = -1;
    EXPECT_TRUE(file.ReadString(szText, &nLength));
    EXPECT_STREQ(szText, "abc");
    EXPECT_EQ(nLength, 3);
    // A length of 0 leaves the destination as it was.
    strcpy(szText, "keep");
    EXPECT_TRUE(file.ReadString(szText, &nLength));
    EXPECT_STREQ(szText, "keep");
    EXPECT_EQ(nLength, 0);
    EXPECT_TRUE(file.ReadString(szText));
    int n = 0;
    EXPECT_TRUE(file.ReadInt(&n));
    EXPECT_EQ(n, -2);
    double dRead = 0;
    EXPECT_TRUE(file.ReadDouble(&dRead));
    EXPECT_EQ(dRead, 40611.5);
    // At the end: nothing more is read as data.
    EXPECT_FALSE(file.ReadInt(&n));
    EXPECT_EQ(n, -2);
}

TEST_F(CxFileTest, DamagedStringsFailWithoutTouchingTheDestination) {
    const struct {
        const char* szName;
        std::string bytes;
        size_t nBufSize;
        bool bResult;
        const char* szAfter;
        int nLength;  // reported when the read succeeds
    } cases[] = {
        {"file ends inside the length", std::string("\x02\0", 2), 8, false, "#######", 0},
        {"file ends inside the text", std::string("\x05\0\0\0ab", 6), 8, false, "#######", 0},
        {"text longer than the destination", std::string("\x08\0\0\0abcdefgh", 12), 8, false, "#######", 0},
        {"text that just fits", std::string("\x07\0\0\0abcdefg", 11), 8, true, "abcdefg", 7},
        {"negative length", std::string("\xFF\xFF\xFF\xFF", 4), 8, true, "#######", -1},
        {"empty file", "", 8, false, "#######", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        SetBytes(c.bytes);
        CxFile file;
        ASSERT_TRUE(file.Open(m_path.c_str(), "rb"));
        char buf[12];
        memset(buf, '#', sizeof(buf));
        buf[7] = '\0';
        int nLength = 99;
        EXPECT_EQ(file.ReadString(buf, c.nBufSize, &nLength), c.bResult);
        EXPECT_STREQ(buf, c.szAfter);
        EXPECT_EQ(std::string(buf + 8, 4), "####");
        EXPECT_EQ(nLength, c.bResult ? c.nLength : 99);
    }
}

TEST_F(CxFileTest, ShortNumbersAndMissingArgumentsFail) {
    SetBytes(std::string("\x01\x02\x03", 3));
    CxFile file;
    ASSERT_TRUE(file.Open(m_path.c_str(), "rb"));
    int n = 7;
    double d = 7;
    EXPECT_FALSE(file.ReadInt(&n));
    EXPECT_EQ(n, 7);
    ASSERT_TRUE(file.Open(m_path.c_str(), "rb"));  // reopening closes the first
    EXPECT_FALSE(file.ReadDouble(&d));
    EXPECT_EQ(d, 7);
    EXPECT_FALSE(file.ReadInt(nullptr));
    EXPECT_FALSE(file.ReadDouble(nullptr));
    EXPECT_FALSE(file.ReadString(nullptr, 8, nullptr));

    CxFile closed;
    char buf[4];
    EXPECT_FALSE(closed.ReadString(buf));
    EXPECT_FALSE(closed.ReadInt(&n));
    EXPECT_FALSE(closed.WriteString("x"));
    EXPECT_FALSE(closed.WriteInt(1));
    EXPECT_FALSE(closed.WriteDouble(1));
    EXPECT_FALSE(closed.WriteLine("x"));
    EXPECT_TRUE(closed.Close());
    EXPECT_FALSE(closed.Open("", "rb"));
    EXPECT_FALSE(closed.Open(m_path.c_str(), ""));
    EXPECT_FALSE(closed.Open(nullptr, "rb"));
    EXPECT_FALSE(closed.Open(m_dir.File("missing").c_str(), "rb"));
}

TEST_F(CxFileTest, LinesEndInCrLfAndSizesAreMeasured) {
    CxFile file;
    ASSERT_TRUE(file.Open(m_path.c_str(), "wb"));
    EXPECT_TRUE(file.WriteLine("one %s"));  // the text is not a format
    EXPECT_TRUE(file.WriteLine(nullptr));
    file.Close();
    EXPECT_EQ(Bytes(), "one %s\r\n\r\n");
    EXPECT_EQ(CxFile::GetFileSize(m_path.c_str()), 10);
    EXPECT_EQ(CxFile::GetFileSize(m_dir.File("missing").c_str()), -1);
    EXPECT_EQ(CxFile::GetFileSize(""), -1);
    EXPECT_EQ(CxFile::GetFileSize(nullptr), -1);
    EXPECT_EQ(CxFile::GetFileSize(m_dir.Path().c_str()), -1);  // a folder is no file
}

}  // namespace
