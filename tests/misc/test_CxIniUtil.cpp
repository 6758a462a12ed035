// The INI accessor: paths, typed reads with defaults, writes.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/TempDir.h"
#include "common/misc/CxIniUtil.h"
#include "common/misc/WinUtil.h"

namespace {

class IniTest : public ::testing::Test {
protected:
    TempDir m_dir{"pellmark_iniutil"};
    std::string m_folder = m_dir.Path();
};

TEST_F(IniTest, PathIsTheFolderAndNameOrTheProgramFolder) {
    CxIniUtil a(m_folder.c_str(), "a.ini");
    EXPECT_EQ(std::string(a.GetIniFile()), m_folder + "a.ini");

    char szProgram[260];
    ASSERT_EQ(GetModuleFolder(nullptr, szProgram), 1);
    CxIniUtil b("", "tessaro.ini");
    EXPECT_EQ(std::string(b.GetIniFile()), std::string(szProgram) + "tessaro.ini");
    EXPECT_STREQ(g_IniFile.GetIniFile(), b.GetIniFile());

    CxIniUtil c(("/" + std::string(250, 'f') + "/").c_str(), "tessaro.ini");  // would not fit whole
    EXPECT_STREQ(c.GetIniFile(), "");

    a.SetIniFile("");
    a.SetIniFile(nullptr);
    a.SetIniFile(std::string(260, 'p').c_str());
    EXPECT_EQ(std::string(a.GetIniFile()), m_folder + "a.ini");
    a.SetIniFile("/other/b.ini");
    EXPECT_STREQ(a.GetIniFile(), "/other/b.ini");
}

TEST_F(IniTest, ReadIntConvertsLikeAtolWithDefaultsForEmptyValues) {
    std::ofstream(m_folder + "t.ini") << "[S]\r\nPlain=12\r\nSpaced=  -7x\r\nPlus=+5\r\nWord=abc\r\nYes=yes\r\n"
                                         "Empty=\r\nHuge=99999999999\r\nTiny=-99999999999\r\nColor=16711680\r\n";
    CxIniUtil ini(m_folder.c_str(), "t.ini");
    const struct {
        const char* szKey;
        int nDefault;
        int nExpected;
    } cases[] = {
        {"Plain", 1, 12},        {"Spaced", 1, -7},       {"Plus", 1, 5},
        {"Word", 1, 0},          {"Yes", 1, 0},           {"Empty", 42, 42},
        {"Missing", 42, 42},     {"Huge", 1, INT_MAX},    {"Tiny", 1, INT_MIN},
        {"Color", 0, 16711680},
    };
    for (const auto& c : cases) EXPECT_EQ(ini.ReadInt("S", c.szKey, c.nDefault), c.nExpected) << c.szKey;

    EXPECT_FALSE(ini.ReadBool("S", "Yes", true));
    EXPECT_TRUE(ini.ReadBool("S", "Empty", true));
    EXPECT_TRUE(ini.ReadBool("S", "Plain", false));
    EXPECT_FALSE(ini.ReadBool("S", "Missing", false));
}

TEST_F(IniTest, ReadStringArgumentsAndCuts) {
    std::ofstream(m_folder + "t.ini") << "[S]\r\nName=abcdef\r\n";
    CxIniUtil ini(m_folder.c_str(), "t.ini");
    char buf[8] = "keep";
    EXPECT_EQ(ini.ReadString("S", "", buf, sizeof(buf), "d"), 0);
    EXPECT_EQ(ini.ReadString("S", nullptr, buf, sizeof(buf), "d"), 0);
    EXPECT_EQ(ini.ReadString("S", "Name", buf, 0, "d"), 0);
    EXPECT_EQ(ini.ReadString("S", "Name", nullptr, 8, "d"), 0);
    EXPECT_STREQ(buf, "keep");
    EXPECT_EQ(ini.ReadString("S", "Name", buf, 4, "d"), 3);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(ini.ReadString("S", "None", buf, sizeof(buf), "dflt"), 4);
    EXPECT_STREQ(buf, "dflt");
}

TEST_F(IniTest, WritesTypedValues) {
    CxIniUtil ini(m_folder.c_str(), "w.ini");
    EXPECT_EQ(ini.WriteString("S", "", "x"), 0);
    EXPECT_EQ(ini.WriteString("S", nullptr, "x"), 0);
    EXPECT_FALSE(std::filesystem::exists(m_folder + "w.ini"));
    EXPECT_NE(ini.WriteInt("S", "Int", -12), 0);
    EXPECT_NE(ini.WriteBool("S", "On", true), 0);
    EXPECT_NE(ini.WriteBool("S", "Off", false), 0);
    EXPECT_NE(ini.WriteString("S", "Text", nullptr), 0);
    EXPECT_NE(ini.WriteString("S", "Int", "7"), 0);
    EXPECT_EQ(ReadFileBytes(m_folder + "w.ini"), "[S]\r\nInt=7\r\nOn=1\r\nOff=0\r\nText=\r\n");

    CxIniUtil nowhere((m_folder + "missing/").c_str(), "w.ini");
    EXPECT_EQ(nowhere.WriteInt("S", "Int", 1), 0);
}

}  // namespace
