// The .reg reader: the input is the registry file. Opens the keys the
// program and the stand-ins read, and a key named by the file itself, and
// queries their values into buffers of several sizes.
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzFile.h"
#include "platform/win32/WinReg.h"

namespace {

const FuzzFile& File() {
    static FuzzFile s_File("pellmark.reg");
    static bool s_bSet = setenv("PELLMARK_REGISTRY", s_File.Path().c_str(), 1) == 0;
    FUZZ_CHECK(s_bSet);
    return s_File;
}

void QueryAll(HKEY hKey, const char* const* pszValues, size_t nValues) {
    static const DWORD kSizes[] = {0, 1, 2, 4, 7, 64, 260, 4096};
    for (size_t i = 0; i < nValues; ++i) {
        DWORD dwType = 0, cbNeeded = 0;
        LONG rc = RegQueryValueExA(hKey, pszValues[i], nullptr, &dwType, nullptr, &cbNeeded);
        if (rc != ERROR_SUCCESS) continue;
        for (DWORD cbBuf : kSizes) {
            BYTE abBuf[4096 + 16];
            memset(abBuf, 0xA5, sizeof(abBuf));
            DWORD cb = cbBuf;
            rc = RegQueryValueExA(hKey, pszValues[i], nullptr, &dwType, abBuf, &cb);
            if (rc == ERROR_SUCCESS) {
                FUZZ_CHECK(cb <= cbBuf && cb == cbNeeded);
            } else {
                FUZZ_CHECK(rc == ERROR_MORE_DATA && cb == cbNeeded && cbNeeded > cbBuf);
            }
            // Nothing past the value's bytes, nothing at all when it did not fit.
            for (size_t n = rc == ERROR_SUCCESS ? cb : 0; n < sizeof(abBuf); ++n) FUZZ_CHECK(abBuf[n] == 0xA5);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    File().Write(pData, nSize);
    static const char* const kValues[] = {"", "DLLPath", "ContactsFile", "Path", "Name", "x"};
    struct {
        HKEY hRoot;
        const char* szKey;
    } const keys[] = {
        {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\WAB\\DLLPath"},
        {HKEY_CLASSES_ROOT, "Outlook.Application\\CLSID"},
        {HKEY_CURRENT_USER, "Software\\Pellmark\\OutlookStandin"},
        {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE"},
        {HKEY_CURRENT_USER, ""},
    };
    for (const auto& key : keys) {
        HKEY hKey = nullptr;
        if (RegOpenKeyExA(key.hRoot, key.szKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) continue;
        QueryAll(hKey, kValues, sizeof(kValues) / sizeof(kValues[0]));
        HKEY hSame = nullptr;
        if (RegOpenKeyExA(hKey, nullptr, 0, KEY_READ, &hSame) == ERROR_SUCCESS) RegCloseKey(hSame);
        RegCloseKey(hKey);
    }
    // The first key the file names, under the root it names, and its first value.
    std::string sText(reinterpret_cast<const char*>(pData), nSize);
    size_t nOpen = sText.find("[HKEY_CURRENT_USER\\");
    size_t nClose = nOpen == std::string::npos ? nOpen : sText.find(']', nOpen);
    if (nClose != std::string::npos) {
        std::string sKey = sText.substr(nOpen + 19, nClose - nOpen - 19);
        size_t nQuote = sText.find('"', nClose);
        size_t nEnd = nQuote == std::string::npos ? nQuote : sText.find('"', nQuote + 1);
        std::string sValue = nEnd == std::string::npos ? "" : sText.substr(nQuote + 1, nEnd - nQuote - 1);
        const char* const values[] = {sValue.c_str(), ""};
        HKEY hKey = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, sKey.c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
            QueryAll(hKey, values, 2);
            RegCloseKey(hKey);
        }
    }
    return 0;
}
