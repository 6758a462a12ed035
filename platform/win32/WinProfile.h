// Private-profile (INI) files with Windows' semantics: "[section]" lines,
// "key=value" lines, names compared without regard to case (ASCII), white
// space around names and values trimmed, one pair of surrounding quotes
// ('"' or '\'') removed from a value. Lines starting with ';' are comments.
// A line ends at CR LF, LF, a lone CR or a NUL byte. Files are read on every
// call; nothing is cached.
#pragma once

#include "platform/win32/WinTypes.h"

// Copies the value of lpKeyName in section lpAppName of lpFileName into
// lpReturnedString, or lpDefault (none means "", trailing blanks dropped)
// when the file, section or key is missing. The text is cut to nSize - 1
// bytes (never inside a UTF-8 character) and terminated; returns the bytes
// copied. With lpAppName none: the section names; with lpKeyName none: the
// section's key names (only lines with '='); each list is NUL-separated and ends in two NULs, and
// when cut returns nSize - 2. nSize 0 or no buffer: 0.
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName);

// Sets lpKeyName=lpString in section lpAppName: an existing key's line is
// replaced in place, a new key goes after the section's last line, a new
// section is appended at the end (no blank line before it), a missing file
// is created; every other line is kept. lpString none deletes the key,
// lpKeyName none deletes the whole section. Lines end in CR LF. The file is
// replaced atomically (a temporary file in the same folder, then a rename),
// so a crash leaves the old or the new file, never a mix. FALSE when the file cannot be written
// (read-only file, missing folder), when lpAppName or lpFileName is missing,
// or when a name or value would break the file's lines (CR or LF anywhere,
// '=' in a key or '[' or ';' at its start, ']' in a section name).
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName);
