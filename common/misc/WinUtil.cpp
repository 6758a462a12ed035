#include "common/misc/WinUtil.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/win32/TextCopy.h"
#include "platform/win32/WinModule.h"
#include "platform/win32/WinReg.h"
#include "platform/win32/WinShell.h"
#include "platform/win32/WinVersion.h"

int GetModuleFolder(HMODULE hModule, char* szFolder) {
    if (!szFolder) return 0;
    char szPath[MAX_PATH];
    DWORD n = GetModuleFileNameA(hModule, szPath, sizeof(szPath));
    if (n == 0 || n >= sizeof(szPath)) {
        szFolder[0] = '\0';
        return 0;
    }
    // No drive on this system: the folder is everything up to the last
    // separator.
    const char* szLast = nullptr;
    for (const char* p = szPath; *p; ++p)
        if (*p == '/' || *p == '\\') szLast = p;
    size_t nDir = szLast ? (size_t)(szLast - szPath + 1) : 0;
    CopyTextN(szFolder, MAX_PATH, szPath, nDir);
    return 1;
}

int RunProgram(const char* szProgram) {
    if (!szProgram || !*szProgram) return 0;
    ShellExecuteA(nullptr, "open", szProgram, "", "", SW_SHOW);
    return 1;
}

int GetFileVersion(const char* szFile, int* pnMajor, int* pnMinor, int* pnBuild, int* pnRevision) {
    int* outputs[4] = {pnMajor, pnMinor, pnBuild, pnRevision};
    for (int* p : outputs)
        if (p) *p = 0;
    if (!szFile || !*szFile) return 0;
    DWORD dwHandle = 0;
    DWORD dwSize = GetFileVersionInfoSizeA(szFile, &dwHandle);
    if (dwSize == 0) return 0;
    std::vector<DWORD> block((dwSize + 3) / 4);  // DWORD-aligned for the record
    VS_FIXEDFILEINFO* pInfo = nullptr;
    UINT nLen = 0;
    if (!GetFileVersionInfoA(szFile, dwHandle, dwSize, block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<LPVOID*>(&pInfo), &nLen) || !pInfo ||
        nLen < sizeof(VS_FIXEDFILEINFO))
        return 0;
    int values[4] = {(int)(pInfo->dwFileVersionMS >> 16), (int)(pInfo->dwFileVersionMS & 0xFFFF),
                     (int)(pInfo->dwFileVersionLS >> 16), (int)(pInfo->dwFileVersionLS & 0xFFFF)};
    for (int i = 0; i < 4; ++i)
        if (outputs[i]) *outputs[i] = values[i];
    return 1;
}

int GetOutlookVersion(char* szVersion) {
    if (!szVersion) return 0;
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE", 0,
                      KEY_READ, &hKey) != ERROR_SUCCESS)
        return 0;
    char szPath[MAX_PATH + 1];
    DWORD cb = MAX_PATH;
    LONG lResult = RegQueryValueExA(hKey, "Path", nullptr, nullptr, reinterpret_cast<LPBYTE>(szPath), &cb);
    RegCloseKey(hKey);
    if (lResult == ERROR_MORE_DATA) {
        szVersion[0] = '\0';
        return 0;
    }
    if (lResult != ERROR_SUCCESS) return 0;
    szPath[cb] = '\0';  // the value need not be terminated
    static const char kExe[] = "OUTLOOK.EXE";
    size_t nFolder = strlen(szPath);
    if (nFolder + sizeof(kExe) > MAX_PATH) {
        szVersion[0] = '\0';
        return 0;
    }
    memcpy(szPath + nFolder, kExe, sizeof(kExe));
    int a, b, c, d;
    if (!GetFileVersion(szPath, &a, &b, &c, &d)) {
        szVersion[0] = '\0';
        return 0;
    }
    snprintf(szVersion, 24, "%d.%d.%d.%d", a, b, c, d);
    return 1;
}
