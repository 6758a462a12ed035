// The file calls behind every atomic replace of a file (write a temporary
// file beside it, sync it, rename it over the old one), gathered here so a
// test can make any of them fail or stop the process right before one.
#pragma once

#include <sys/types.h>

#include <cstddef>

enum WinFileOp { WINFILE_WRITE, WINFILE_FSYNC, WINFILE_RENAME };

// write(2), fsync(2) and rename(2), unless a failure is set for the call (see
// below): then -1 with errno set, and nothing done.
ssize_t WinFileWrite(int fd, const void* pData, size_t nSize);
int WinFileSync(int fd);
int WinFileRename(const char* szFrom, const char* szTo);

// Test seam. Makes the nCall-th call (from 1, counted from now) of op fail
// with nErrno; one failure per op at a time, nCall 0 clears it.
void WinFileIoFailAt(WinFileOp op, int nCall, int nErrno);
// Calls pfn(op) before every call of any op (none: no hook), for a test that
// stops a child process at an exact point of a write.
void WinFileIoSetHook(void (*pfn)(WinFileOp op));
