// Settings load and save, the data folder, and the help openers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Apputil.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "common/misc/CxIniUtil.h"
#include "common/misc/WinUtil.h"
#include "platform/win32/WinShell.h"

namespace {

// A temporary data home and settings file for each test.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_ini = m_folder + "tessaro.ini";
        m_savedIni = g_IniFile.GetIniFile();
        g_IniFile.SetIniFile(m_ini.c_str());
        m_home = m_folder + "share";
        m_xdg.Set(m_home.c_str());
    }
    void TearDown() override {
        g_IniFile.SetIniFile(m_savedIni.c_str());
        SetShellExecuteHandler(nullptr);
        chmod(m_home.c_str(), 0755);  // so the folder can be removed
    }
    void SetIni(const std::string& text) { std::ofstream(m_ini, std::ios::binary) << text; }
    std::string IniBytes() const { return ReadFileBytes(m_ini); }
    TempDir m_dir{"pellmark_app"};
    std::string m_folder = m_dir.Path(), m_ini, m_savedIni, m_home;
    ScopedEnv m_xdg{"XDG_DATA_HOME", nullptr};
};

void ExpectDefaults(const AppSettings& s) {
    EXPECT_TRUE(s.ShowWizard);
    EXPECT_TRUE(s.ShowHistory);
    EXPECT_TRUE(s.ShowColor);
    EXPECT_EQ(s.DiffColor, 16711680u);
    EXPECT_EQ(s.NewColor, 32768u);
    EXPECT_EQ(s.SameColor, 0u);
    EXPECT_EQ(s.ConfAction, CONF_DO_NOTHING);
    EXPECT_FALSE(s.ActionAlways);
    EXPECT_EQ(s.SyncMode, SYNC_WAB_TO_OL);
    EXPECT_FALSE(s.AddrSwapName);
    EXPECT_FALSE(s.AddrEmailOnly);
    EXPECT_FALSE(s.EnableDebug);
    EXPECT_EQ(s.LogLevel, 3);
    EXPECT_STREQ(s.WabName, "");
}

const char kDefaultFile[] =
    "[PELLMARK]\r\nShowWizard=1\r\nShowHistory=1\r\nSyncMode=1\r\nShowColor=1\r\nDiffColor=16711680\r\n"
    "SameColor=0\r\nNewColor=32768\r\nConfAction=3\r\nActionAlways=0\r\nAddrSwapName=0\r\nAddrEmailOnly=0\r\n"
    "EnableDebug=0\r\nLogLevel=3\r\nWabName=\r\n";

TEST_F(AppTest, MissingFileOrSectionGivesTheDefaults) {
    memset(&g_Settings, 0x5A, sizeof(g_Settings));
    LoadSettings();
    ExpectDefaults(g_Settings);
    SetIni("[Other]\r\nShowWizard=0\r\nLogLevel=1\r\n");
    LoadSettings();
    ExpectDefaults(g_Settings);
}

TEST_F(AppTest, SavingTheDefaultsWritesEveryKeyInOrder) {
    LoadSettings();
    SaveSettings();
    EXPECT_EQ(IniBytes(), kDefaultFile);
    // Other sections and keys stay where they were.
    SetIni("; mine\r\n[PELLMARK]\r\nLogLevel=1\r\nExtra=x\r\n\r\n[Other]\r\nA=1\r\n");
    LoadSettings();
    g_Settings.LogLevel = 2;
    SaveSettings();
    EXPECT_EQ(IniBytes(),
              "; mine\r\n[PELLMARK]\r\nLogLevel=2\r\nExtra=x\r\nShowWizard=1\r\nShowHistory=1\r\nSyncMode=1\r\n"
              "ShowColor=1\r\nDiffColor=16711680\r\nSameColor=0\r\nNewColor=32768\r\nConfAction=3\r\n"
              "ActionAlways=0\r\nAddrSwapName=0\r\nAddrEmailOnly=0\r\nEnableDebug=0\r\nWabName=\r\n\r\n[Other]\r\nA=1\r\n");
}

TEST_F(AppTest, UnusualValuesAreTakenAsTheyConvert) {
    SetIni("[pellmark]\r\nShowWizard=yes\r\nShowColor=\r\nSyncMode=7\r\nConfAction=5\r\nDiffColor=abc\r\n"
           "LogLevel= -2 \r\nEnableDebug=2\r\nWabName=" + std::string(300, 'w') + "\r\n");
    LoadSettings();
    EXPECT_FALSE(g_Settings.ShowWizard);  // "yes" converts to 0
    EXPECT_TRUE(g_Settings.ShowColor);    // empty: the default
    EXPECT_EQ(g_Settings.SyncMode, 7);
    EXPECT_EQ(g_Settings.ConfAction, 5);
    EXPECT_EQ(g_Settings.DiffColor, 0u);
    EXPECT_EQ(g_Settings.LogLevel, -2);
    EXPECT_TRUE(g_Settings.EnableDebug);
    EXPECT_EQ(std::string(g_Settings.WabName), std::string(255, 'w'));
}

TEST_F(AppTest, SaveAndLoadRoundTrip) {
    LoadSettings();
    AppSettings s = g_Settings;
    s.ShowWizard = false;
    s.ShowHistory = false;
    s.ShowColor = false;
    s.DiffColor = 0x00123456;
    s.NewColor = 0x00ABCDEF;
    s.SameColor = 0x00010203;
    s.ConfAction = CONF_OL_WINS;
    s.ActionAlways = true;
    s.SyncMode = SYNC_ALL;
    s.AddrSwapName = true;
    s.AddrEmailOnly = true;
    s.EnableDebug = true;
    s.LogLevel = 1;
    strcpy(s.WabName, "/home/u/Address Book \xC3\xA9.wab");
    g_Settings = s;
    SaveSettings();
    memset(&g_Settings, 0x5A, sizeof(g_Settings));
    LoadSettings();
    const AppSettings& r = g_Settings;
    EXPECT_EQ(r.ShowWizard, s.ShowWizard);
    EXPECT_EQ(r.ShowHistory, s.ShowHistory);
    EXPECT_EQ(r.ShowColor, s.ShowColor);
    EXPECT_EQ(r.DiffColor, s.DiffColor);
    EXPECT_EQ(r.NewColor, s.NewColor);
    EXPECT_EQ(r.SameColor, s.SameColor);
    EXPECT_EQ(r.ConfAction, s.ConfAction);
    EXPECT_EQ(r.ActionAlways, s.ActionAlways);
    EXPECT_EQ(r.SyncMode, s.SyncMode);
    EXPECT_EQ(r.AddrSwapName, s.AddrSwapName);
    EXPECT_EQ(r.AddrEmailOnly, s.AddrEmailOnly);
    EXPECT_EQ(r.EnableDebug, s.EnableDebug);
    EXPECT_EQ(r.LogLevel, s.LogLevel);
    EXPECT_STREQ(r.WabName, s.WabName);
}

TEST_F(AppTest, DataFolderIsCreatedOnFirstUseAndFoundAfterwards) {
    const std::string expected = m_home + "/tessaro/PELLMARK/";
    for (int nCall = 0; nCall < 2; ++nCall) {
        SCOPED_TRACE(nCall);
        char szFolder[MAX_PATH] = "old";
        ASSERT_TRUE(GetDataFolder(szFolder));
        EXPECT_EQ(std::string(szFolder), expected);
        EXPECT_TRUE(std::filesystem::is_directory(expected));
    }
    EXPECT_FALSE(GetDataFolder(nullptr));
}

TEST_F(AppTest, DataFolderFailuresLeaveTheBufferAlone) {
    std::filesystem::create_directories(m_home);
    // Something that is not a folder holds the maker's folder's name.
    { std::ofstream(m_home + "/tessaro") << "x"; }
    char szFolder[MAX_PATH] = "old";
    EXPECT_FALSE(GetDataFolder(szFolder));
    EXPECT_STREQ(szFolder, "old");
    std::filesystem::remove(m_home + "/tessaro");

    if (geteuid() != 0) {  // permissions do not stop root
        chmod(m_home.c_str(), 0555);
        EXPECT_FALSE(GetDataFolder(szFolder));
        EXPECT_STREQ(szFolder, "old");
        EXPECT_FALSE(std::filesystem::exists(m_home + "/tessaro"));
        chmod(m_home.c_str(), 0755);
    }
    // The product's folder cannot be made either.
    std::filesystem::create_directories(m_home + "/tessaro");
    { std::ofstream(m_home + "/tessaro/PELLMARK") << "x"; }
    EXPECT_FALSE(GetDataFolder(szFolder));
    EXPECT_STREQ(szFolder, "old");

    // No room for the two levels below a data home of 250 characters, kept
    // inside the temporary folder because the data home itself is created.
    const std::string longHome = m_folder + std::string(250 - m_folder.size(), 'h');
    m_xdg.Set(longHome.c_str());
    EXPECT_FALSE(GetDataFolder(szFolder));
    EXPECT_STREQ(szFolder, "old");
}

std::vector<std::string> g_opened;

HINSTANCE Record(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR, LPCSTR, INT) {
    g_opened.push_back(std::string(lpOperation) + " " + lpFile);
    return (HINSTANCE)(intptr_t)42;
}

TEST_F(AppTest, HelpOpenersHandTheirTargetsToTheShell) {
    g_opened.clear();
    SetShellExecuteHandler(Record);
    OpenHelpFile();
    OpenOnlineHelp();
    OpenWebPage();
    char szProgram[MAX_PATH];
    ASSERT_EQ(GetModuleFolder(nullptr, szProgram), 1);
    ASSERT_EQ(g_opened.size(), 3u);
    EXPECT_EQ(g_opened[0], "open " + std::string(szProgram) + "PELLMARK.html");
    EXPECT_EQ(g_opened[1], std::string("open ") + PELLMARK_ONLINE_HELP_URL);
    EXPECT_EQ(g_opened[2], std::string("open ") + PELLMARK_WEB_PAGE_URL);
}

}  // namespace
