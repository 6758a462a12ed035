// The shell's special folders, folder creation and the "open" verb.
#pragma once

#include "platform/win32/WinTypes.h"

// The all-users application data folder: the XDG data home, $XDG_DATA_HOME
// when it is set to an absolute path, else $HOME/.local/share.
#define CSIDL_COMMON_APPDATA 0x0023
// Combined with a CSIDL: create the folder (and its parents) when missing.
#define CSIDL_FLAG_CREATE 0x8000
#define SHGFP_TYPE_CURRENT 0
#define SHGFP_TYPE_DEFAULT 1

// Writes the folder's path, without a trailing separator, into pszPath (at
// least MAX_PATH bytes). Returns 0 (S_OK) on success; on failure a negative
// HRESULT and pszPath untouched: 0x80070057 (E_INVALIDARG) for an unknown
// folder or no buffer, 0x80070002 when the folder is missing and
// CSIDL_FLAG_CREATE was not given, 0x80004005 (E_FAIL) when the path does
// not fit in MAX_PATH or cannot be created.
HRESULT SHGetFolderPathA(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags, LPSTR pszPath);

#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u

// FILE_ATTRIBUTE_DIRECTORY for a folder, FILE_ATTRIBUTE_NORMAL for any other
// existing file, INVALID_FILE_ATTRIBUTES when nothing of that name exists.
DWORD GetFileAttributesA(LPCSTR lpFileName);

// Creates one folder (its parent must exist). TRUE when created; FALSE when
// it already exists or cannot be created. The security attributes are ignored.
BOOL CreateDirectoryA(LPCSTR lpPathName, void* lpSecurityAttributes);

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5

// Results of ShellExecuteA at or below 32 are errors.
#define SE_ERR_FNF 2
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

// The verb "open" (or none) hands lpFile (a file, folder, web or mailto:
// address) to xdg-open, started detached in its own session with no input or
// output, and returns a value above 32 once it has been started. Other verbs
// give SE_ERR_NOASSOC, a missing or empty file SE_ERR_FNF. No shell parses
// the text. The parameters, folder and show command are not used.
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                        INT nShowCmd);

// Tests replace ShellExecuteA with a recorder: while a handler is set, every
// call goes to it instead and nothing is started. None restores the real
// shell. Returns the previous handler.
typedef HINSTANCE (*PFN_SHELLEXECUTE)(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                                      LPCSTR lpDirectory, INT nShowCmd);
PFN_SHELLEXECUTE SetShellExecuteHandler(PFN_SHELLEXECUTE pfnHandler);
