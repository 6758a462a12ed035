// File version records: the fixed file-version record (VS_FIXEDFILEINFO) of
// a Windows PE file's version resource, or of one of our own executables,
// which embed the same record with PELLMARK_VERSION_INFO below.
#pragma once

#include "platform/win32/WinTypes.h"

#define VS_FFI_SIGNATURE 0xFEEF04BDu
#define VS_FFI_STRUCVERSION 0x00010000u
#define VOS__WINDOWS32 0x00000004u
#define VFT_APP 0x00000001u
#define VFT_DLL 0x00000002u

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;  // VS_FFI_SIGNATURE
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;  // major << 16 | minor
    DWORD dwFileVersionLS;  // build << 16 | revision
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52, "VS_FIXEDFILEINFO is 52 bytes");

// The size of the file's version block, or 0 when the file has none (or
// cannot be read). *lpdwHandle, when given, is set to 0.
DWORD GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle);

// Copies the file's version block into lpData. FALSE when the file has none
// or dwLen is smaller than GetFileVersionInfoSizeA's result (a cut block is
// never handed out).
BOOL GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData);

// For lpSubBlock "\\" (the root): points *lplpBuffer at the block's
// VS_FIXEDFILEINFO and sets *puLen to its size. FALSE for any other sub-block
// or a block without a valid record.
BOOL VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen);

// A version block holding only the fixed record, laid out as a Windows
// VS_VERSIONINFO: length, value length, type, the key "VS_VERSION_INFO",
// padding to 4 bytes, then the record.
struct PellmarkVersionInfo {
    WORD wLength;       // 92, the whole block
    WORD wValueLength;  // 52, sizeof(VS_FIXEDFILEINFO)
    WORD wType;         // 0, binary
    WCHAR szKey[16];    // u"VS_VERSION_INFO"
    WORD wPadding;
    VS_FIXEDFILEINFO Value;
};
static_assert(sizeof(PellmarkVersionInfo) == 92, "version block layout");

// The ELF section our executables keep the block in.
#define PELLMARK_VERSION_SECTION ".pellmark_version"

constexpr PellmarkVersionInfo MakePellmarkVersionInfo(WORD wMajor, WORD wMinor, WORD wBuild, WORD wRevision,
                                                      DWORD dwFileType) {
    return PellmarkVersionInfo{
        92,
        52,
        0,
        u"VS_VERSION_INFO",
        0,
        {VS_FFI_SIGNATURE, VS_FFI_STRUCVERSION, (DWORD)wMajor << 16 | wMinor, (DWORD)wBuild << 16 | wRevision,
         (DWORD)wMajor << 16 | wMinor, (DWORD)wBuild << 16 | wRevision, 0x3Fu, 0, VOS__WINDOWS32, dwFileType, 0, 0,
         0}};
}

// Gives the executable (or shared library) a version record that
// GetFileVersionInfo* find, e.g. for OUTLOOK.EXE version 11.0.8312.0:
//
//     #include "platform/win32/WinVersion.h"
//     PELLMARK_VERSION_INFO(11, 0, 8312, 0);
//
// Write it once, at namespace scope, in a source file compiled into the
// program itself (its main file), not into a static library, whose unused
// objects the linker may leave out. Two uses in one program do not link.
#define PELLMARK_VERSION_INFO(major, minor, build, revision)                                    \
    extern const PellmarkVersionInfo g_PellmarkVersionInfo;                                      \
    __attribute__((used, section(PELLMARK_VERSION_SECTION))) const PellmarkVersionInfo          \
        g_PellmarkVersionInfo = MakePellmarkVersionInfo((major), (minor), (build), (revision), VFT_APP)
