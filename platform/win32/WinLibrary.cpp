#include "platform/win32/WinLibrary.h"

#include <dirent.h>
#include <dlfcn.h>
#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The name the file has on this platform: ".DLL" (any case) becomes ".so".
std::string PlatformName(const std::string& sName) {
    size_t n = sName.size();
    if (n >= 4 && strcasecmp(sName.c_str() + n - 4, ".dll") == 0) return sName.substr(0, n - 4) + ".so";
    return sName;
}

std::string ProgramFolder() {
    char szPath[4096];
    ssize_t n = readlink("/proc/self/exe", szPath, sizeof(szPath) - 1);
    if (n <= 0) return std::string();
    szPath[n] = '\0';
    char* pSlash = strrchr(szPath, '/');
    if (pSlash == nullptr) return std::string();
    pSlash[1] = '\0';
    return szPath;
}

// The file in sFolder whose name equals sName ignoring case, or empty. An
// exact match wins over another spelling.
std::string FindInFolder(const std::string& sFolder, const std::string& sName) {
    std::string sExact = sFolder + sName;
    if (access(sExact.c_str(), F_OK) == 0) return sExact;
    DIR* pDir = opendir(sFolder.c_str());
    if (pDir == nullptr) return std::string();
    std::string sFound;
    while (dirent* pEnt = readdir(pDir)) {
        if (strcasecmp(pEnt->d_name, sName.c_str()) == 0) {
            sFound = sFolder + pEnt->d_name;
            break;
        }
    }
    closedir(pDir);
    return sFound;
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR lpLibFileName) {
    if (lpLibFileName == nullptr || *lpLibFileName == '\0') return nullptr;
    std::string sName = lpLibFileName;
    if (sName.find('/') != std::string::npos || sName.find('\\') != std::string::npos)
        return dlopen(sName.c_str(), RTLD_NOW | RTLD_LOCAL);

    std::string sFile = PlatformName(sName);
    std::string sFolder = ProgramFolder();
    if (!sFolder.empty()) {
        std::string sPath = FindInFolder(sFolder, sFile);
        if (!sPath.empty()) {
            if (HMODULE h = dlopen(sPath.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
        }
    }
    // The system's search cannot ignore case: try the name as given and in
    // lower case.
    if (HMODULE h = dlopen(sFile.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
    std::string sLower = sFile;
    for (char& c : sLower)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (sLower != sFile) return dlopen(sLower.c_str(), RTLD_NOW | RTLD_LOCAL);
    return nullptr;
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (lpProcName == nullptr) return nullptr;
    void* p = dlsym(hModule != nullptr ? hModule : RTLD_DEFAULT, lpProcName);
    FARPROC pfn = nullptr;
    static_assert(sizeof(pfn) == sizeof(p), "function and data pointers have one size");
    memcpy(&pfn, &p, sizeof(pfn));
    return pfn;
}

BOOL FreeLibrary(HMODULE hLibModule) {
    if (hLibModule == nullptr) return FALSE;
    return dlclose(hLibModule) == 0 ? TRUE : FALSE;
}

HLOCAL LocalAlloc(UINT uFlags, size_t uBytes) {
    size_t n = uBytes == 0 ? 1 : uBytes;
    return (uFlags & LMEM_ZEROINIT) ? calloc(1, n) : malloc(n);
}

HLOCAL LocalFree(HLOCAL hMem) {
    free(hMem);
    return nullptr;
}
