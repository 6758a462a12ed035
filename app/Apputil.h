// The application's settings record, its data folder and the help openers.
#pragma once

#include "platform/win32/WinTypes.h"

#define SYNC_WAB_TO_OL 1
#define SYNC_OL_TO_WAB 2
#define SYNC_ALL 3

#define CONF_REMIND 0
#define CONF_WAB_WINS 1
#define CONF_OL_WINS 2
#define CONF_DO_NOTHING 3

typedef DWORD COLORREF;  // red in the lowest byte, then green, then blue

// The user's choices, loaded once at start and saved once at exit; the
// member names are the key names in section "PELLMARK" of "tessaro.ini".
struct AppSettings {
    bool ShowWizard;      // 1
    bool ShowHistory;     // 1
    bool ShowColor;       // 1
    COLORREF DiffColor;   // 16711680 (blue)
    COLORREF NewColor;    // 32768 (green)
    COLORREF SameColor;   // 0 (black)
    int ConfAction;       // CONF_DO_NOTHING
    bool ActionAlways;    // 0
    int SyncMode;         // SYNC_WAB_TO_OL
    bool AddrSwapName;    // 0
    bool AddrEmailOnly;   // 0
    bool EnableDebug;     // 0
    int LogLevel;         // 3
    char WabName[256];    // "" (the default address book)
};

extern AppSettings g_Settings;

// Fills g_Settings from g_IniFile, each key with its default when missing or
// empty. Values are not range-checked here.
void LoadSettings();
// Writes every member of g_Settings to g_IniFile; failures are ignored.
void SaveSettings();
// True when g_IniFile's file exists but is no settings file this program can
// read: it holds a NUL byte, is over a megabyte, or has no "[PELLMARK]"
// section line. Such a file is kept byte for byte unless a setting changes.
bool SettingsFileUnreadable();
// True when both records hold the same settings.
bool SameSettings(const AppSettings& a, const AppSettings& b);

// The data folder "<data home>/tessaro/PELLMARK/" into szFolder (at least
// MAX_PATH bytes), creating both levels when missing. False, with szFolder
// untouched, when the path cannot be had or a level cannot be created.
bool GetDataFolder(char* szFolder);

// The product's web addresses (a build may define others).
#ifndef PELLMARK_ONLINE_HELP_URL
#define PELLMARK_ONLINE_HELP_URL "https://www.tessaro.com/pellmark/help/"
#endif
#ifndef PELLMARK_WEB_PAGE_URL
#define PELLMARK_WEB_PAGE_URL "https://www.tessaro.com/pellmark/"
#endif

// Hand the help file beside the program ("PELLMARK.html"), the online help
// page or the product's web page to the shell and return at once.
void OpenHelpFile();
void OpenOnlineHelp();
void OpenWebPage();
