#include "platform/win32/WinFileIo.h"

#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {

struct Failure {
    std::atomic<int> nLeft{0};  // calls until the failing one; 0 none
    std::atomic<int> nErrno{0};
};
Failure s_Failures[3];
std::atomic<void (*)(WinFileOp)> s_pfnHook{nullptr};

// True when this call of op is to fail (errno then set).
bool Fails(WinFileOp op) {
    if (void (*pfn)(WinFileOp) = s_pfnHook.load()) pfn(op);
    Failure& f = s_Failures[op];
    int n = f.nLeft.load();
    while (n > 0 && !f.nLeft.compare_exchange_weak(n, n - 1)) {
    }
    if (n != 1) return false;
    errno = f.nErrno.load();
    return true;
}

}  // namespace

ssize_t WinFileWrite(int fd, const void* pData, size_t nSize) {
    return Fails(WINFILE_WRITE) ? -1 : write(fd, pData, nSize);
}

int WinFileSync(int fd) { return Fails(WINFILE_FSYNC) ? -1 : fsync(fd); }

int WinFileRename(const char* szFrom, const char* szTo) {
    return Fails(WINFILE_RENAME) ? -1 : rename(szFrom, szTo);
}

void WinFileIoFailAt(WinFileOp op, int nCall, int nErrno) {
    s_Failures[op].nErrno = nErrno;
    s_Failures[op].nLeft = nCall > 0 ? nCall : 0;
}

void WinFileIoSetHook(void (*pfn)(WinFileOp op)) { s_pfnHook = pfn; }
