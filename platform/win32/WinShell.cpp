// Special folders, folder creation and the "open" verb.
#include "platform/win32/WinShell.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const HRESULT kInvalidArg = (HRESULT)0x80070057u;
const HRESULT kFail = (HRESULT)0x80004005u;
const HRESULT kNotFound = (HRESULT)0x80070002u;

std::atomic<PFN_SHELLEXECUTE> s_pfnHandler{nullptr};

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// mkdir -p: every missing level of an absolute path.
bool MakeFolders(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    return IsFolder(path);
}

// The XDG data home without a trailing separator; empty when unknown.
std::string DataHome() {
    std::string path;
    const char* szXdg = getenv("XDG_DATA_HOME");
    if (szXdg && szXdg[0] == '/') {
        path = szXdg;
    } else {
        const char* szHome = getenv("HOME");
        if (!szHome || szHome[0] != '/') return std::string();
        path = std::string(szHome) + "/.local/share";
    }
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

HRESULT SHGetFolderPathA(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags, LPSTR pszPath) {
    (void)hwnd;
    (void)hToken;
    (void)dwFlags;
    if (!pszPath) return kInvalidArg;
    if ((csidl & ~CSIDL_FLAG_CREATE) != CSIDL_COMMON_APPDATA) return kInvalidArg;
    std::string path = DataHome();
    if (path.empty() || path.size() >= MAX_PATH) return kFail;
    if (!IsFolder(path)) {
        if (!(csidl & CSIDL_FLAG_CREATE)) return kNotFound;
        if (!MakeFolders(path)) return kFail;
    }
    memcpy(pszPath, path.c_str(), path.size() + 1);
    return 0;
}

DWORD GetFileAttributesA(LPCSTR lpFileName) {
    struct stat st;
    if (!lpFileName || !*lpFileName || stat(lpFileName, &st) != 0) return INVALID_FILE_ATTRIBUTES;
    if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    return FILE_ATTRIBUTE_NORMAL;
}

BOOL CreateDirectoryA(LPCSTR lpPathName, void* lpSecurityAttributes) {
    (void)lpSecurityAttributes;
    if (!lpPathName || !*lpPathName) return FALSE;
    return mkdir(lpPathName, 0777) == 0 ? TRUE : FALSE;
}

PFN_SHELLEXECUTE SetShellExecuteHandler(PFN_SHELLEXECUTE pfnHandler) { return s_pfnHandler.exchange(pfnHandler); }

HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                        INT nShowCmd) {
    if (PFN_SHELLEXECUTE pfn = s_pfnHandler.load())
        return pfn(hwnd, lpOperation, lpFile, lpParameters, lpDirectory, nShowCmd);
    if (lpOperation && *lpOperation && strcmp(lpOperation, "open") != 0) return (HINSTANCE)(intptr_t)SE_ERR_NOASSOC;
    if (!lpFile || !*lpFile) return (HINSTANCE)(intptr_t)SE_ERR_FNF;

    // A target starting with '-' would read as an option of xdg-open.
    std::string target = lpFile[0] == '-' ? std::string("./") + lpFile : std::string(lpFile);
    char szProgram[] = "xdg-open";
    char* argv[] = {szProgram, &target[0], nullptr};

    // Double fork: the grandchild runs detached in its own session and is
    // adopted by init, so nothing is left for us to reap.
    pid_t pid = fork();
    if (pid < 0) return (HINSTANCE)(intptr_t)SE_ERR_OOM;
    if (pid == 0) {
        setsid();
        pid_t pid2 = fork();
        if (pid2 != 0) _exit(pid2 < 0 ? 1 : 0);
        int fd = open("/dev/null", O_RDWR);
        if (fd >= 0) {
            dup2(fd, 0);
            dup2(fd, 1);
            dup2(fd, 2);
            if (fd > 2) close(fd);
        }
        execvp(szProgram, argv);
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return (HINSTANCE)(intptr_t)SE_ERR_OOM;
    return (HINSTANCE)(intptr_t)42;
}
