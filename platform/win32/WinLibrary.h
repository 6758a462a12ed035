// Library loading and local memory over the Linux loader and heap.
#pragma once

#include "platform/win32/WinTypes.h"

typedef void* HLOCAL;
// Cast to the entry point's own type; a cast from this type is always allowed.
typedef void (*FARPROC)(void);

// Loads a shared library and returns its handle, or none.
// A name with a folder in it ('/' or '\') is loaded as it is. A bare name
// such as "WAB32.DLL" is looked up first in the program's folder (the folder
// of /proc/self/exe), then by the system's usual search; the name matches
// case-insensitively and a ".DLL" ending stands for ".so".
HMODULE LoadLibraryA(LPCSTR lpLibFileName);

// The address of an exported function, or none. A none module is the
// program itself.
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);

// Drops one load of the library; false for a none handle or a failed unload.
BOOL FreeLibrary(HMODULE hLibModule);

#define LMEM_FIXED 0x0000u
#define LMEM_ZEROINIT 0x0040u
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

// A fixed block of uBytes (zero-filled with LMEM_ZEROINIT), or none. A block
// of 0 bytes is a valid, distinct block.
HLOCAL LocalAlloc(UINT uFlags, size_t uBytes);

// Frees a block from LocalAlloc; none is accepted. Returns none on success.
HLOCAL LocalFree(HLOCAL hMem);
