// Special folders, folder creation and the shell's "open" verb.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "platform/win32/WinShell.h"

namespace {

const HRESULT kInvalidArg = (HRESULT)0x80070057u;
const HRESULT kFail = (HRESULT)0x80004005u;
const HRESULT kNotFound = (HRESULT)0x80070002u;

// A temporary folder that stands in for the home and data home; the
// variables are put back afterwards.
class ShellTest : public ::testing::Test {
protected:
    void TearDown() override { SetShellExecuteHandler(nullptr); }
    TempDir m_dir{"pellmark_shell"};
    std::string m_folder = m_dir.Path().substr(0, m_dir.Path().size() - 1);  // no trailing separator
    ScopedEnv m_home{"HOME", m_folder};
    ScopedEnv m_xdg{"XDG_DATA_HOME", nullptr};
    ScopedEnv m_path{"PATH", getenv("PATH")};
};

TEST_F(ShellTest, DataHomeComesFromTheVariablesAndIsCreatedOnRequest) {
    const struct {
        const char* szName;
        const char* szXdg;  // nullptr: unset
        const char* szExpected;  // below the temporary folder
    } cases[] = {
        {"XDG_DATA_HOME", "/data", "/data"},
        {"trailing separators dropped", "/data2//", "/data2"},
        {"unset: HOME/.local/share", nullptr, "/.local/share"},
        {"relative XDG_DATA_HOME ignored", "relative/data", "/.local/share"},
        {"empty XDG_DATA_HOME ignored", "", "/.local/share"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        std::filesystem::remove_all(m_folder + "/.local");
        if (!c.szXdg)
            m_xdg.Set(nullptr);
        else if (c.szXdg[0] == '/')
            m_xdg.Set((m_folder + c.szXdg).c_str());
        else
            m_xdg.Set(c.szXdg);
        std::string expected = m_folder + c.szExpected;
        char szPath[MAX_PATH] = "untouched";
        EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szPath), kNotFound);
        EXPECT_STREQ(szPath, "untouched");
        EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, szPath), 0);
        EXPECT_EQ(std::string(szPath), expected);
        EXPECT_TRUE(std::filesystem::is_directory(expected));
        EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, szPath), 0);  // now it exists
    }
}

TEST_F(ShellTest, FolderPathFailuresLeaveTheBufferAlone) {
    char szPath[MAX_PATH] = "untouched";
    EXPECT_EQ(SHGetFolderPathA(nullptr, 0x001a /* CSIDL_APPDATA */, nullptr, 0, szPath), kInvalidArg);
    EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, nullptr), kInvalidArg);
    m_xdg.Set(("/" + std::string(MAX_PATH, 'x')).c_str());
    EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, szPath), kFail);
    // A file where the folder should be cannot be made a folder.
    std::ofstream(m_folder + "/file") << "x";
    m_xdg.Set((m_folder + "/file/data").c_str());
    EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, szPath), kFail);
    m_xdg.Set(nullptr);
    m_home.Set(nullptr);
    EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, szPath), kFail);
    EXPECT_STREQ(szPath, "untouched");
}

TEST_F(ShellTest, FolderCreationAndAttributes) {
    std::string sub = m_folder + "/sub";
    EXPECT_EQ(GetFileAttributesA(sub.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    EXPECT_EQ(GetFileAttributesA(sub.c_str()), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(CreateDirectoryA(sub.c_str(), nullptr));  // exists
    EXPECT_FALSE(CreateDirectoryA((m_folder + "/a/b").c_str(), nullptr));  // parent missing
    std::ofstream(m_folder + "/file") << "x";
    EXPECT_EQ(GetFileAttributesA((m_folder + "/file").c_str()), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributesA(""), INVALID_FILE_ATTRIBUTES);
}

struct ShellCall {
    std::string strVerb, strFile, strParams, strDir;
    INT nShow;
};
std::vector<ShellCall> g_calls;

HINSTANCE RecordCall(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory, INT nShow) {
    g_calls.push_back({lpOperation ? lpOperation : "<none>", lpFile ? lpFile : "<none>",
                       lpParameters ? lpParameters : "<none>", lpDirectory ? lpDirectory : "<none>", nShow});
    return (HINSTANCE)(intptr_t)33;
}

TEST_F(ShellTest, RecorderReceivesEveryCallInsteadOfTheShell) {
    g_calls.clear();
    EXPECT_EQ(SetShellExecuteHandler(RecordCall), nullptr);
    EXPECT_EQ(ShellExecuteA(nullptr, "open", "https://example.org/", "", "", SW_SHOW), (HINSTANCE)(intptr_t)33);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].strVerb, "open");
    EXPECT_EQ(g_calls[0].strFile, "https://example.org/");
    EXPECT_EQ(g_calls[0].nShow, SW_SHOW);
    EXPECT_EQ(SetShellExecuteHandler(nullptr), &RecordCall);
}

// The real verb, with a stand-in "xdg-open" first on PATH that records its
// arguments; nothing else is started.
TEST_F(ShellTest, OpenStartsXdgOpenWithTheTargetAsOneArgument) {
    std::string bin = m_folder + "/bin";
    std::filesystem::create_directory(bin);
    std::string script = bin + "/xdg-open";
    std::string out = m_folder + "/args";
    {
        std::ofstream s(script);
        s << "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done > '" << out << ".tmp'\nmv '" << out
          << ".tmp' '" << out << "'\n";
    }
    chmod(script.c_str(), 0755);
    m_path.Set((bin + ":/usr/bin:/bin").c_str());

    auto waitForArgs = [&]() {
        // The detached program runs on its own; wait (bounded) for its record.
        for (int i = 0; i < 1000 && !std::filesystem::exists(out); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(out);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::filesystem::remove(out);
        return text;
    };

    EXPECT_GT((intptr_t)ShellExecuteA(nullptr, "open", "/tmp/a b;touch x", "", "", SW_SHOW), 32);
    EXPECT_EQ(waitForArgs(), "[/tmp/a b;touch x]");
    EXPECT_GT((intptr_t)ShellExecuteA(nullptr, nullptr, "-help.html", nullptr, nullptr, SW_SHOW), 32);
    EXPECT_EQ(waitForArgs(), "[./-help.html]");

    EXPECT_EQ((intptr_t)ShellExecuteA(nullptr, "print", "/tmp/x", "", "", SW_SHOW), SE_ERR_NOASSOC);
    EXPECT_EQ((intptr_t)ShellExecuteA(nullptr, "open", "", "", "", SW_SHOW), SE_ERR_FNF);
    EXPECT_EQ((intptr_t)ShellExecuteA(nullptr, "open", nullptr, "", "", SW_SHOW), SE_ERR_FNF);
}

}  // namespace
