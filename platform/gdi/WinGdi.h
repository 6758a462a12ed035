// Painting: device contexts and the objects drawn with them. A device
// context draws on a surface of 32-bit pixels: a memory bitmap (made with
// CreateCompatibleBitmap and read back with GetPixel, no display needed) or
// a window's client area (BeginPaint, shown when EndPaint is called). Text is
// drawn with fonts that fontconfig finds: a face that is not installed falls
// back to the closest sans face. Objects may be used by one thread at a time.
#pragma once

#include "platform/win32/WinTypes.h"

typedef DWORD COLORREF;
typedef struct HDC__* HDC;
typedef void* HGDIOBJ;
typedef struct HBITMAP__* HBITMAP;
typedef struct HBRUSH__* HBRUSH;
typedef struct HFONT__* HFONT;

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r)) | ((DWORD)((BYTE)(g)) << 8) | ((DWORD)((BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)((c)&0xFF))
#define GetGValue(c) ((BYTE)(((c) >> 8) & 0xFF))
#define GetBValue(c) ((BYTE)(((c) >> 16) & 0xFF))
#define CLR_INVALID 0xFFFFFFFFu

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;

#define LF_FACESIZE 32
#define FW_NORMAL 400
#define FW_BOLD 700

struct LOGFONTA {
    LONG lfHeight;  // < 0: character height in pixels; > 0: cell height; 0: default
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;  // 0 and 400 normal, 700 bold
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
};

// Stock objects (never deleted; DeleteObject ignores them).
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4

#define TRANSPARENT 1
#define OPAQUE 2

// DrawTextA: horizontal and vertical placement in the rectangle, and whether
// the text may spill out of it. Text is always drawn as one line.
#define DT_LEFT 0x0000
#define DT_CENTER 0x0001
#define DT_RIGHT 0x0002
#define DT_VCENTER 0x0004
#define DT_BOTTOM 0x0008
#define DT_SINGLELINE 0x0020
#define DT_NOCLIP 0x0100

#define SRCCOPY 0x00CC0020u

HGDIOBJ GetStockObject(int i);
HBRUSH CreateSolidBrush(COLORREF color);
// Loads the face nearest to the description; none when no font is installed.
HFONT CreateFontIndirectA(const LOGFONTA* lplf);
// Fails (FALSE) for an unknown object or one still selected into a context.
BOOL DeleteObject(HGDIOBJ ho);

// A memory context (whatever hdc is, also none) that draws on a 1 × 1
// bitmap until a bitmap is selected.
HDC CreateCompatibleDC(HDC hdc);
// A 32-bit colour bitmap of the given size, white; none for a size below 1.
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);
// Deletes a memory context; the objects selected into it stay alive.
BOOL DeleteDC(HDC hdc);
// Selects a bitmap (memory contexts only), brush or font; returns the one of
// the same kind it replaces, or none on failure.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);

int SetBkMode(HDC hdc, int mode);  // returns the previous mode, 0 on failure
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF SetBkColor(HDC hdc, COLORREF color);

// Fills the rectangle's left..right-1 × top..bottom-1 pixels.
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
// Draws cchText bytes of UTF-8 text (-1: up to the NUL) with the selected
// font and text colour, placed in the rectangle by the DT_ flags; in OPAQUE
// mode the text's box is filled with the background colour first. Returns
// the height of the line, 0 on failure.
int DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format);
// Copies a cx × cy block from the source at (x1, y1) to (x, y); SRCCOPY only.
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
// The colour of one pixel, CLR_INVALID outside the surface.
COLORREF GetPixel(HDC hdc, int x, int y);
