// Module folder, the open verb, file versions and Outlook's version.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "common/misc/WinUtil.h"
#include "platform/win32/WinShell.h"
#include "platform/win32/WinVersion.h"

// The version OUTLOOK.EXE copies of this program carry.
PELLMARK_VERSION_INFO(11, 0, 8312, 0);

namespace {

class WinUtilTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_registry = m_folder + "test.reg";
        m_registryEnv.Set(m_registry.c_str());
    }
    void TearDown() override {
        SetShellExecuteHandler(nullptr);
    }
    // A registry whose App Paths key has this "Path" (none: no such value).
    void SetOutlookPath(const char* szPath) {
        std::ofstream out(m_registry, std::ios::binary);
        out << "Windows Registry Editor Version 5.00\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE]\r\n"
               "@=\"x\"\r\n";
        if (szPath) out << "\"Path\"=\"" << szPath << "\"\r\n";
    }
    TempDir m_dir{"pellmark_util"};
    std::string m_folder = m_dir.Path(), m_registry;
    ScopedEnv m_registryEnv{"PELLMARK_REGISTRY", nullptr};
};

TEST_F(WinUtilTest, ModuleFolderEndsWithASeparator) {
    char szFolder[MAX_PATH];
    ASSERT_EQ(GetModuleFolder(nullptr, szFolder), 1);
    std::string exeFolder = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
    EXPECT_EQ(std::string(szFolder), exeFolder);
    EXPECT_EQ(GetModuleFolder(nullptr, nullptr), 0);
}

std::vector<std::string> g_calls;

HINSTANCE Record(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory, INT nShow) {
    g_calls.push_back(std::string(hwnd ? "owner" : "none") + "|" + lpOperation + "|" + lpFile + "|" + lpParameters +
                      "|" + lpDirectory + "|" + std::to_string(nShow));
    return nullptr;  // a failure, which RunProgram does not look at
}

TEST_F(WinUtilTest, RunProgramHandsTheTargetToTheOpenVerb) {
    g_calls.clear();
    SetShellExecuteHandler(Record);
    EXPECT_EQ(RunProgram("mailto:support@example.org"), 1);
    EXPECT_EQ(RunProgram(""), 0);
    EXPECT_EQ(RunProgram(nullptr), 0);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0], "none|open|mailto:support@example.org|||" + std::to_string(SW_SHOW));
}

TEST_F(WinUtilTest, FileVersionFromTheRecordOrZeros) {
    std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
    int v[4] = {9, 9, 9, 9};
    EXPECT_EQ(GetFileVersion(exe.c_str(), &v[0], &v[1], &v[2], &v[3]), 1);
    EXPECT_EQ(std::vector<int>(v, v + 4), (std::vector<int>{11, 0, 8312, 0}));

    std::string text = m_folder + "plain.txt";
    std::ofstream(text) << "no version here";
    for (const std::string& path : {text, m_folder + "missing.exe", std::string()}) {
        SCOPED_TRACE(path);
        int w[4] = {9, 9, 9, 9};
        EXPECT_EQ(GetFileVersion(path.c_str(), &w[0], &w[1], &w[2], &w[3]), 0);
        EXPECT_EQ(std::vector<int>(w, w + 4), (std::vector<int>{0, 0, 0, 0}));
    }
    EXPECT_EQ(GetFileVersion(exe.c_str(), nullptr, nullptr, nullptr, nullptr), 1);
}

TEST_F(WinUtilTest, OutlookVersionFromTheAppPathsFolder) {
    std::string office = m_folder + "office";
    std::filesystem::create_directory(office);
    std::filesystem::copy_file(std::filesystem::read_symlink("/proc/self/exe"), office + "/OUTLOOK.EXE");
    // A folder that with "OUTLOOK.EXE" added needs 260 bytes, one too many.
    std::string longFolder = "/" + std::string(MAX_PATH - 1 - 11 - 1, 'x') + "/";
    ASSERT_EQ(longFolder.size() + 11 + 1, (size_t)MAX_PATH + 1);

    const std::string withSeparator = office + "/", tooLong = "/" + std::string(300, 'y') + "/";
    const struct {
        const char* szName;
        bool bRegistry;
        const char* szPath;  // the "Path" value; none: missing
        int nResult;
        const char* szVersion;  // the buffer afterwards
    } cases[] = {
        {"trailing separator", true, withSeparator.c_str(), 1, "11.0.8312.0"},
        {"no trailing separator", true, office.c_str(), 0, ""},
        {"too long with the file name", true, longFolder.c_str(), 0, ""},
        {"longer than the value buffer", true, tooLong.c_str(), 0, ""},
        {"no Path value", true, nullptr, 0, "untouched"},
        {"no registry file", false, nullptr, 0, "untouched"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        std::filesystem::remove(m_registry);
        if (c.bRegistry) SetOutlookPath(c.szPath);
        char szVersion[32] = "untouched";
        EXPECT_EQ(GetOutlookVersion(szVersion), c.nResult);
        EXPECT_STREQ(szVersion, c.szVersion);
    }
    EXPECT_EQ(GetOutlookVersion(nullptr), 0);
}

}  // namespace
