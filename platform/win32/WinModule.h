// File names of loaded modules.
#pragma once

#include "platform/win32/WinTypes.h"

// The full path of the module's file: the program's (/proc/self/exe) for a
// null module, else that of the library a dlopen handle belongs to. Copies at
// most nSize - 1 bytes and a NUL (never ending inside a UTF-8 character) and
// returns the number of bytes copied; returns nSize when the path was cut,
// and 0 on failure or without a buffer.
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
