// What the window side shares with the painting side: the pixel surface and
// device contexts on a window's client surface.
#pragma once

#include "platform/gdi/WinGdi.h"

#include <cstdint>
#include <vector>

namespace gdi {

// Pixels 0x00RRGGBB, row after row.
struct Surface {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<uint32_t> pixels;

    void Reset(int cx, int cy, uint32_t nFill);
};

// Pixel value of a colour and back.
inline uint32_t PixelOf(COLORREF c) {
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}
inline COLORREF ColorOf(uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

// A context drawing on a window's client surface, and its end.
HDC CreateSurfaceDC(Surface* pSurface);
void DeleteSurfaceDC(HDC hdc);

}  // namespace gdi
