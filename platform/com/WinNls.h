// Text conversion between UTF-16 and the system ANSI code page, which is
// UTF-8 here.
#pragma once

#include "platform/win32/WinTypes.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_THREAD_ACP 3
#define CP_UTF8 65001

// The system ANSI code page: always CP_UTF8.
UINT GetACP();

// UTF-16 to UTF-8 (CP_ACP, CP_OEMCP, CP_THREAD_ACP and CP_UTF8 all mean
// UTF-8; other code pages give 0). cchWideChar -1 converts up to and with the
// NUL. cbMultiByte 0 returns the bytes needed. An unpaired surrogate becomes
// U+FFFD (*lpUsedDefaultChar set when asked for); lpDefaultChar is not used.
// When the result does not fit, as many whole characters as fit are written,
// the rest of the buffer is filled with NUL bytes and 0 is returned, so a
// caller that terminates the buffer at its last byte holds valid text.
// Returns the bytes written, else 0.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCSTR lpDefaultChar, BOOL* lpUsedDefaultChar);

// UTF-8 to UTF-16, same code pages and rules: a malformed sequence becomes
// U+FFFD; a cut never splits a surrogate pair, pads with NUL and returns 0.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar);
