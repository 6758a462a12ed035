// Read-only registry over a text file in the .reg format ("Windows Registry
// Editor Version 5.00", keys in brackets, @ for the default value,
// "Name"="text" with \\ and \" escapes, dword:, hex: and hex(2): values).
//
// The file is $PELLMARK_REGISTRY when that is set and not empty, else
// "pellmark.reg" in the program's folder. It is read anew by every
// RegOpenKeyExA, and an open key keeps the values it had at that moment, so a
// test may switch files between cases. Key and value names compare without
// regard to case (ASCII), as on Windows.
#pragma once

#include "platform/win32/WinTypes.h"

typedef DWORD REGSAM;

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002u)
#define HKEY_USERS ((HKEY)(ULONG_PTR)0x80000003u)
#define HKEY_CURRENT_CONFIG ((HKEY)(ULONG_PTR)0x80000005u)

#define KEY_QUERY_VALUE 0x0001u
#define KEY_ENUMERATE_SUB_KEYS 0x0008u
#define KEY_NOTIFY 0x0010u
#define KEY_READ 0x20019u

#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u

// Opens hKey's subkey lpSubKey (none or "" opens hKey itself again) for
// reading. ERROR_SUCCESS and *phkResult set; ERROR_FILE_NOT_FOUND when the
// file or the key is missing; ERROR_BAD_FORMAT when the file is not a valid
// .reg file; ERROR_ACCESS_DENIED when write access is asked for;
// ERROR_INVALID_PARAMETER / ERROR_INVALID_HANDLE for bad arguments.
// A key exists when it, or a key below it, has a section in the file.
LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);

// Reads the value lpValueName (none or "" is the default value) of an open
// key. *lpType gets its type when asked for. Without lpData, *lpcbData gets
// the size the value needs. With lpData, a value of more than *lpcbData bytes
// gives ERROR_MORE_DATA, the needed size in *lpcbData and lpData untouched;
// otherwise the bytes are copied and *lpcbData is their count. Texts (REG_SZ,
// REG_EXPAND_SZ) count and copy their terminating NUL. ERROR_FILE_NOT_FOUND
// for a missing value; ERROR_INVALID_HANDLE for a key that is not open.
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData);

// Closes a key opened by RegOpenKeyExA. The predefined roots need no closing.
LONG RegCloseKey(HKEY hKey);

// The path of the registry file in use now (see above), into a buffer of
// nSize bytes; false when it does not fit.
bool GetRegistryFilePath(char* szPath, size_t nSize);
