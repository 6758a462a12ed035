#include "app/Apputil.h"

#include <strings.h>

#include <cstring>
#include <fstream>
#include <string>

#include "common/misc/CxIniUtil.h"
#include "common/misc/WinUtil.h"
#include "platform/win32/WinShell.h"

AppSettings g_Settings;

namespace {

const char kSection[] = "PELLMARK";

// Makes the folder when nothing of that name exists; false when it cannot,
// or when the name is taken by something that is not a folder.
bool EnsureFolder(const char* szPath) {
    DWORD dwAttr = GetFileAttributesA(szPath);
    if (dwAttr == INVALID_FILE_ATTRIBUTES) return CreateDirectoryA(szPath, nullptr) != FALSE;
    return (dwAttr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void LoadSettings() {
    memset(&g_Settings, 0, sizeof(g_Settings));
    AppSettings& s = g_Settings;
    s.ShowWizard = g_IniFile.ReadBool(kSection, "ShowWizard", true);
    s.ShowHistory = g_IniFile.ReadBool(kSection, "ShowHistory", true);
    s.SyncMode = g_IniFile.ReadInt(kSection, "SyncMode", SYNC_WAB_TO_OL);
    s.ShowColor = g_IniFile.ReadBool(kSection, "ShowColor", true);
    s.DiffColor = (COLORREF)g_IniFile.ReadInt(kSection, "DiffColor", 16711680);
    s.SameColor = (COLORREF)g_IniFile.ReadInt(kSection, "SameColor", 0);
    s.NewColor = (COLORREF)g_IniFile.ReadInt(kSection, "NewColor", 32768);
    s.ConfAction = g_IniFile.ReadInt(kSection, "ConfAction", CONF_DO_NOTHING);
    s.ActionAlways = g_IniFile.ReadBool(kSection, "ActionAlways", false);
    s.AddrSwapName = g_IniFile.ReadBool(kSection, "AddrSwapName", false);
    s.AddrEmailOnly = g_IniFile.ReadBool(kSection, "AddrEmailOnly", false);
    s.EnableDebug = g_IniFile.ReadBool(kSection, "EnableDebug", false);
    s.LogLevel = g_IniFile.ReadInt(kSection, "LogLevel", 3);
    g_IniFile.ReadString(kSection, "WabName", s.WabName, sizeof(s.WabName), "");
}

void SaveSettings() {
    const AppSettings& s = g_Settings;
    g_IniFile.WriteBool(kSection, "ShowWizard", s.ShowWizard);
    g_IniFile.WriteBool(kSection, "ShowHistory", s.ShowHistory);
    g_IniFile.WriteInt(kSection, "SyncMode", s.SyncMode);
    g_IniFile.WriteBool(kSection, "ShowColor", s.ShowColor);
    g_IniFile.WriteInt(kSection, "DiffColor", (int)s.DiffColor);
    g_IniFile.WriteInt(kSection, "SameColor", (int)s.SameColor);
    g_IniFile.WriteInt(kSection, "NewColor", (int)s.NewColor);
    g_IniFile.WriteInt(kSection, "ConfAction", s.ConfAction);
    g_IniFile.WriteBool(kSection, "ActionAlways", s.ActionAlways);
    g_IniFile.WriteBool(kSection, "AddrSwapName", s.AddrSwapName);
    g_IniFile.WriteBool(kSection, "AddrEmailOnly", s.AddrEmailOnly);
    g_IniFile.WriteBool(kSection, "EnableDebug", s.EnableDebug);
    g_IniFile.WriteInt(kSection, "LogLevel", s.LogLevel);
    // The member is always terminated within its 256 bytes.
    char szWabName[sizeof(s.WabName)];
    memcpy(szWabName, s.WabName, sizeof(szWabName));
    szWabName[sizeof(szWabName) - 1] = '\0';
    g_IniFile.WriteString(kSection, "WabName", szWabName);
}

bool GetDataFolder(char* szFolder) {
    if (!szFolder) return false;
    char szPath[MAX_PATH];
    if (SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, szPath) != 0)
        return false;
    static const char kMaker[] = "/tessaro/";
    static const char kProduct[] = "PELLMARK/";
    size_t nLen = strlen(szPath);
    if (nLen + strlen(kMaker) + strlen(kProduct) >= MAX_PATH) return false;
    strcpy(szPath + nLen, kMaker);
    if (!EnsureFolder(szPath)) return false;
    strcat(szPath, kProduct);
    if (!EnsureFolder(szPath)) return false;
    memcpy(szFolder, szPath, strlen(szPath) + 1);
    return true;
}

void OpenHelpFile() {
    char szFolder[MAX_PATH];
    GetModuleFolder(nullptr, szFolder);
    char szPath[MAX_PATH + 16];
    strcpy(szPath, szFolder);
    strcat(szPath, "PELLMARK.html");
    RunProgram(szPath);
}

void OpenOnlineHelp() { RunProgram(PELLMARK_ONLINE_HELP_URL); }

void OpenWebPage() { RunProgram(PELLMARK_WEB_PAGE_URL); }

bool SettingsFileUnreadable() {
    std::ifstream in(g_IniFile.GetIniFile(), std::ios::binary);
    if (!in) return false;
    const size_t kMaxBytes = 1 << 20;  // far more than any settings file written here
    std::string sText;
    sText.resize(kMaxBytes + 1);
    in.read(&sText[0], (std::streamsize)sText.size());
    sText.resize((size_t)in.gcount());
    if (sText.size() > kMaxBytes || sText.find('\0') != std::string::npos) return true;
    size_t nStart = 0;
    while (nStart <= sText.size()) {
        size_t nEnd = sText.find_first_of("\r\n", nStart);
        if (nEnd == std::string::npos) nEnd = sText.size();
        size_t b = nStart, e = nEnd;
        while (b < e && (sText[b] == ' ' || sText[b] == '\t')) ++b;
        while (e > b && (sText[e - 1] == ' ' || sText[e - 1] == '\t')) --e;
        if (e - b == 10 && sText[b] == '[' && sText[e - 1] == ']' && strncasecmp(&sText[b + 1], "PELLMARK", 8) == 0)
            return false;
        nStart = nEnd + 1;
    }
    return true;
}

bool SameSettings(const AppSettings& a, const AppSettings& b) {
    return a.ShowWizard == b.ShowWizard && a.ShowHistory == b.ShowHistory && a.ShowColor == b.ShowColor &&
           a.DiffColor == b.DiffColor && a.NewColor == b.NewColor && a.SameColor == b.SameColor &&
           a.ConfAction == b.ConfAction && a.ActionAlways == b.ActionAlways && a.SyncMode == b.SyncMode &&
           a.AddrSwapName == b.AddrSwapName && a.AddrEmailOnly == b.AddrEmailOnly &&
           a.EnableDebug == b.EnableDebug && a.LogLevel == b.LogLevel &&
           strncmp(a.WabName, b.WabName, sizeof(a.WabName)) == 0;
}
