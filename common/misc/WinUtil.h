// Small Windows services used by several parts of the program.
#pragma once

#include "platform/win32/WinTypes.h"

// Writes the folder of the module's file (none: the program's own), with its
// trailing separator, into szFolder (at least MAX_PATH bytes). Returns 1; 0,
// with an empty szFolder, when the module's file name cannot be had whole;
// 0 when no buffer is given.
int GetModuleFolder(HMODULE hModule, char* szFolder);

// Opens a file, folder, document or web/mailto address with the shell's
// "open" verb. Returns 1 whatever the shell does; 0, starting nothing, for a
// missing or empty text.
int RunProgram(const char* szProgram);

// The file's version as four numbers (major, minor, build, revision) from
// its fixed file-version record; any output may be none. All outputs are 0
// unless it returns 1.
int GetFileVersion(const char* szFile, int* pnMajor, int* pnMinor, int* pnBuild, int* pnRevision);

// The installed Outlook's file version as "a.b.c.d" into szVersion (at least
// 24 bytes), from OUTLOOK.EXE in the folder of the registry's App Paths
// "Path" value (used as written: it must end with a separator). Returns 1
// when found. Returns 0 with szVersion untouched when the key or value is
// missing, and 0 with szVersion empty when the file has no version or the
// folder with "OUTLOOK.EXE" added would not fit in MAX_PATH.
int GetOutlookVersion(char* szVersion);
