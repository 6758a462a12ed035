// Module file names from the dynamic linker and /proc.
#include "platform/win32/WinModule.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/win32/TextCopy.h"

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (!lpFilename || nSize == 0) return 0;
    char szPath[PATH_MAX + 1];
    if (!hModule) {
        ssize_t n = readlink("/proc/self/exe", szPath, PATH_MAX);
        if (n <= 0) return 0;
        szPath[n] = '\0';
    } else {
        struct link_map* pMap = nullptr;
        if (dlinfo(hModule, RTLD_DI_LINKMAP, &pMap) != 0 || !pMap || !pMap->l_name || !pMap->l_name[0])
            return 0;
        // The name is as dlopen found it, possibly relative: make it whole.
        if (!realpath(pMap->l_name, szPath)) return 0;
    }
    size_t nLen = strlen(szPath);
    size_t nCopied = CopyText(lpFilename, nSize, szPath);
    return nCopied < nLen ? nSize : (DWORD)nCopied;
}
