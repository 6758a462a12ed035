// Device contexts, brushes, bitmaps and fonts over plain pixel surfaces.
// Fonts are found with fontconfig and their glyphs drawn with FreeType, so
// the same code paints memory bitmaps and windows.
#include "platform/gdi/GdiSurface.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <set>
#include <string>

namespace gdi {

void Surface::Reset(int cx, int cy, uint32_t nFill) {
    nWidth = cx;
    nHeight = cy;
    pixels.assign(size_t(cx) * size_t(cy), nFill);
}

namespace {

enum Kind { KIND_BRUSH, KIND_BITMAP, KIND_FONT };

struct GdiObject {
    explicit GdiObject(Kind k) : nKind(k) {}
    virtual ~GdiObject() = default;
    Kind nKind;
    bool bStock = false;
    int nSelected = 0;  // contexts it is selected into
};

struct Brush : GdiObject {
    explicit Brush(COLORREF c) : GdiObject(KIND_BRUSH), color(c) {}
    COLORREF color;
};

struct Bitmap : GdiObject {
    Bitmap() : GdiObject(KIND_BITMAP) {}
    Surface surface;
};

struct Font : GdiObject {
    Font() : GdiObject(KIND_FONT) {}
    ~Font() override {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
    std::mutex mx;  // a FreeType face draws one text at a time
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    bool bEmbolden = false;
    int nAscent = 0;
    int nDescent = 0;
};

struct Dc {
    Surface* pSurface = nullptr;
    Bitmap* pBitmap = nullptr;  // memory contexts
    Brush* pBrush = nullptr;
    Font* pFont = nullptr;
    int nBkMode = OPAQUE;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
};

std::mutex g_mx;  // guards the sets of live objects and contexts, and selection counts
std::set<void*>& Objects() {
    static auto* s_p = new std::set<void*>;
    return *s_p;
}
std::set<void*>& Contexts() {
    static auto* s_p = new std::set<void*>;
    return *s_p;
}

GdiObject* FindObject(void* h) {
    return Objects().count(h) ? static_cast<GdiObject*>(h) : nullptr;
}
Dc* FindDc(HDC h) { return Contexts().count(h) ? reinterpret_cast<Dc*>(h) : nullptr; }

Font* LoadFont(const LOGFONTA& lf);

struct Stock {
    Brush* brushes[5];
    Bitmap* pBitmap;
    Font* pFont;
};
Stock& Stocks() {
    static Stock* s_p = [] {
        auto* p = new Stock;
        const BYTE gray[5] = {255, 192, 128, 64, 0};
        for (int i = 0; i < 5; ++i) p->brushes[i] = new Brush(RGB(gray[i], gray[i], gray[i]));
        p->pBitmap = new Bitmap;
        p->pBitmap->surface.Reset(1, 1, 0xFFFFFF);
        LOGFONTA lf{};
        lf.lfHeight = -13;
        std::strcpy(lf.lfFaceName, "sans-serif");
        p->pFont = LoadFont(lf);
        std::lock_guard<std::mutex> lock(g_mx);
        GdiObject* all[7] = {p->brushes[0], p->brushes[1], p->brushes[2], p->brushes[3],
                             p->brushes[4], p->pBitmap, p->pFont};
        for (GdiObject* o : all)
            if (o) {
                o->bStock = true;
                Objects().insert(o);
            }
        return p;
    }();
    return *s_p;
}

HGDIOBJ Register(GdiObject* p) {
    std::lock_guard<std::mutex> lock(g_mx);
    Objects().insert(p);
    return p;
}

Font* LoadFont(const LOGFONTA& lf) {
    char szFace[LF_FACESIZE + 1] = {};
    std::memcpy(szFace, lf.lfFaceName, LF_FACESIZE);
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return nullptr;
    if (szFace[0]) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(szFace));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    int nWeight = lf.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(lf.lfWeight, 1000);
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(nWeight));
    FcPatternAddInteger(pattern, FC_SLANT, lf.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return nullptr;

    std::string file;
    int nIndex = 0;
    FcBool bEmbolden = FcFalse;
    FcChar8* pFile = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &pFile) == FcResultMatch) file = reinterpret_cast<char*>(pFile);
    FcPatternGetInteger(match, FC_INDEX, 0, &nIndex);
    FcPatternGetBool(match, FC_EMBOLDEN, 0, &bEmbolden);
    FcPatternDestroy(match);
    if (file.empty()) return nullptr;

    Font* pFont = new (std::nothrow) Font;
    if (!pFont) return nullptr;
    pFont->bEmbolden = bEmbolden == FcTrue;
    FT_Size_RequestRec request{};
    request.type = lf.lfHeight > 0 ? FT_SIZE_REQUEST_TYPE_CELL : FT_SIZE_REQUEST_TYPE_NOMINAL;
    LONG nHeight = lf.lfHeight == 0 ? 16 : (lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight);
    request.height = FT_Long(nHeight) * 64;
    if (FT_Init_FreeType(&pFont->library) != 0 ||
        FT_New_Face(pFont->library, file.c_str(), nIndex, &pFont->face) != 0 ||
        FT_Request_Size(pFont->face, &request) != 0) {
        delete pFont;
        return nullptr;
    }
    const FT_Size_Metrics& m = pFont->face->size->metrics;
    pFont->nAscent = int((m.ascender + 63) / 64);
    pFont->nDescent = int((-m.descender + 63) / 64);
    return pFont;
}

// Next code point of UTF-8 text; a broken sequence gives U+FFFD for one byte.
unsigned NextCodePoint(const unsigned char*& p, const unsigned char* pEnd) {
    unsigned c = *p++;
    if (c < 0x80) return c;
    int nMore = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (nMore < 0 || pEnd - p < nMore) return 0xFFFD;
    unsigned cp = c & (0x3F >> nMore);
    for (int i = 0; i < nMore; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    p += nMore;
    return cp;
}

bool LoadGlyph(Font* pFont, unsigned cp, bool bRender) {
    if (FT_Load_Char(pFont->face, cp, FT_LOAD_DEFAULT) != 0) return false;
    if (pFont->bEmbolden) FT_GlyphSlot_Embolden(pFont->face->glyph);
    return !bRender || FT_Render_Glyph(pFont->face->glyph, FT_RENDER_MODE_NORMAL) == 0;
}

void FillSurface(Surface& s, RECT rc, uint32_t nPixel) {
    rc.left = std::max<LONG>(rc.left, 0);
    rc.top = std::max<LONG>(rc.top, 0);
    rc.right = std::min<LONG>(rc.right, s.nWidth);
    rc.bottom = std::min<LONG>(rc.bottom, s.nHeight);
    for (LONG y = rc.top; y < rc.bottom; ++y)
        std::fill(&s.pixels[size_t(y) * s.nWidth + rc.left], &s.pixels[size_t(y) * s.nWidth + rc.right], nPixel);
}

}  // namespace

HDC CreateSurfaceDC(Surface* pSurface) {
    Stocks();
    Dc* pDc = new (std::nothrow) Dc;
    if (!pDc) return nullptr;
    pDc->pSurface = pSurface;
    std::lock_guard<std::mutex> lock(g_mx);
    Contexts().insert(pDc);
    return reinterpret_cast<HDC>(pDc);
}

void DeleteSurfaceDC(HDC hdc) {
    std::lock_guard<std::mutex> lock(g_mx);
    Dc* pDc = FindDc(hdc);
    if (!pDc) return;
    if (pDc->pBitmap) --pDc->pBitmap->nSelected;
    if (pDc->pBrush) --pDc->pBrush->nSelected;
    if (pDc->pFont) --pDc->pFont->nSelected;
    Contexts().erase(pDc);
    delete pDc;
}

}  // namespace gdi

using namespace gdi;

HGDIOBJ GetStockObject(int i) {
    if (i < WHITE_BRUSH || i > BLACK_BRUSH) return nullptr;
    return Stocks().brushes[i];
}

HBRUSH CreateSolidBrush(COLORREF color) {
    Brush* p = new (std::nothrow) Brush(color & 0xFFFFFF);
    return p ? static_cast<HBRUSH>(Register(p)) : nullptr;
}

HFONT CreateFontIndirectA(const LOGFONTA* lplf) {
    if (!lplf) return nullptr;
    Font* p = LoadFont(*lplf);
    return p ? static_cast<HFONT>(Register(p)) : nullptr;
}

BOOL DeleteObject(HGDIOBJ ho) {
    GdiObject* p;
    {
        std::lock_guard<std::mutex> lock(g_mx);
        p = FindObject(ho);
        if (!p || p->nSelected > 0) return FALSE;
        if (p->bStock) return TRUE;
        Objects().erase(p);
    }
    delete p;
    return TRUE;
}

HDC CreateCompatibleDC(HDC) {
    HDC hdc = CreateSurfaceDC(&Stocks().pBitmap->surface);
    if (hdc) {
        std::lock_guard<std::mutex> lock(g_mx);
        Dc* pDc = reinterpret_cast<Dc*>(hdc);
        pDc->pBitmap = Stocks().pBitmap;
        ++pDc->pBitmap->nSelected;
    }
    return hdc;
}

HBITMAP CreateCompatibleBitmap(HDC, int cx, int cy) {
    if (cx < 1 || cy < 1 || cx > 32767 || cy > 32767) return nullptr;
    Bitmap* p = new (std::nothrow) Bitmap;
    if (!p) return nullptr;
    try {
        p->surface.Reset(cx, cy, 0xFFFFFF);
    } catch (const std::bad_alloc&) {
        delete p;
        return nullptr;
    }
    return static_cast<HBITMAP>(Register(p));
}

BOOL DeleteDC(HDC hdc) {
    {
        std::lock_guard<std::mutex> lock(g_mx);
        Dc* pDc = FindDc(hdc);
        if (!pDc || !pDc->pBitmap) return FALSE;  // window contexts end with EndPaint
    }
    DeleteSurfaceDC(hdc);
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
    Stock& stock = Stocks();
    std::lock_guard<std::mutex> lock(g_mx);
    Dc* pDc = FindDc(hdc);
    GdiObject* p = FindObject(h);
    if (!pDc || !p) return nullptr;
    GdiObject* pOld = nullptr;
    GdiObject* pDefault = nullptr;  // what an empty slot stands for
    switch (p->nKind) {
    case KIND_BITMAP: {
        auto* pBitmap = static_cast<Bitmap*>(p);
        if (!pDc->pBitmap) return nullptr;  // a window context draws on its window
        if (pBitmap->nSelected > 0 && pBitmap != pDc->pBitmap && !pBitmap->bStock)
            return nullptr;  // in use by another context
        pOld = pDc->pBitmap;
        pDc->pBitmap = pBitmap;
        pDc->pSurface = &pBitmap->surface;
        break;
    }
    case KIND_BRUSH:
        pOld = pDc->pBrush;
        pDefault = stock.brushes[WHITE_BRUSH];
        pDc->pBrush = static_cast<Brush*>(p);
        break;
    case KIND_FONT:
        pOld = pDc->pFont;
        pDefault = stock.pFont;
        pDc->pFont = static_cast<Font*>(p);
        break;
    }
    ++p->nSelected;
    if (pOld) --pOld->nSelected;
    return pOld ? pOld : pDefault;
}

static Dc* LockedDc(HDC hdc) {
    std::lock_guard<std::mutex> lock(g_mx);
    return FindDc(hdc);
}

int SetBkMode(HDC hdc, int mode) {
    Dc* pDc = LockedDc(hdc);
    if (!pDc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    std::swap(pDc->nBkMode, mode);
    return mode;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    Dc* pDc = LockedDc(hdc);
    if (!pDc) return CLR_INVALID;
    std::swap(pDc->textColor, color);
    return color;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    Dc* pDc = LockedDc(hdc);
    if (!pDc) return CLR_INVALID;
    std::swap(pDc->bkColor, color);
    return color;
}

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    COLORREF color;
    Dc* pDc;
    {
        std::lock_guard<std::mutex> lock(g_mx);
        pDc = FindDc(hDC);
        GdiObject* p = FindObject(hbr);
        if (!pDc || !lprc || !p || p->nKind != KIND_BRUSH) return 0;
        color = static_cast<Brush*>(p)->color;
    }
    FillSurface(*pDc->pSurface, *lprc, PixelOf(color));
    return 1;
}

int DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    Stock& stock = Stocks();
    Dc* pDc = LockedDc(hdc);
    if (!pDc || !lprc || !lpchText) return 0;
    Font* pFont = pDc->pFont ? pDc->pFont : stock.pFont;
    if (!pFont) return 0;
    size_t nLength = cchText < 0 ? std::strlen(lpchText) : size_t(cchText);
    const auto* pBegin = reinterpret_cast<const unsigned char*>(lpchText);
    const auto* pEnd = pBegin + nLength;
    std::lock_guard<std::mutex> lockFont(pFont->mx);
    const int nLineHeight = pFont->nAscent + pFont->nDescent;

    long nWidth26 = 0;  // advance in 1/64 pixels
    for (const unsigned char* p = pBegin; p < pEnd;) {
        unsigned cp = NextCodePoint(p, pEnd);
        if (cp == '\r' || cp == '\n') continue;
        if (LoadGlyph(pFont, cp, false)) nWidth26 += pFont->face->glyph->advance.x;
    }
    const int nWidth = int((nWidth26 + 63) / 64);

    const RECT& rc = *lprc;
    LONG x = rc.left;
    if (format & DT_CENTER)
        x = rc.left + (rc.right - rc.left - nWidth) / 2;
    else if (format & DT_RIGHT)
        x = rc.right - nWidth;
    LONG y = rc.top;
    if (format & DT_VCENTER)
        y = rc.top + (rc.bottom - rc.top - nLineHeight) / 2;
    else if (format & DT_BOTTOM)
        y = rc.bottom - nLineHeight;

    Surface& s = *pDc->pSurface;
    RECT clip = {0, 0, s.nWidth, s.nHeight};
    if (!(format & DT_NOCLIP)) {
        clip.left = std::max(clip.left, rc.left);
        clip.top = std::max(clip.top, rc.top);
        clip.right = std::min(clip.right, rc.right);
        clip.bottom = std::min(clip.bottom, rc.bottom);
    }
    if (pDc->nBkMode == OPAQUE) {
        RECT box = {std::max(x, clip.left), std::max(y, clip.top), std::min<LONG>(x + nWidth, clip.right),
                    std::min<LONG>(y + nLineHeight, clip.bottom)};
        if (box.left < box.right && box.top < box.bottom) FillSurface(s, box, PixelOf(pDc->bkColor));
    }

    const uint32_t nText = PixelOf(pDc->textColor);
    const int nBaseline = y + pFont->nAscent;
    long nPen26 = long(x) * 64;
    for (const unsigned char* p = pBegin; p < pEnd;) {
        unsigned cp = NextCodePoint(p, pEnd);
        if (cp == '\r' || cp == '\n' || !LoadGlyph(pFont, cp, true)) continue;
        FT_GlyphSlot g = pFont->face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        const int nLeft = int(nPen26 / 64) + g->bitmap_left;
        const int nTop = nBaseline - g->bitmap_top;
        for (unsigned row = 0; row < bm.rows; ++row) {
            const int py = nTop + int(row);
            if (py < clip.top || py >= clip.bottom) continue;
            for (unsigned col = 0; col < bm.width; ++col) {
                const int px = nLeft + int(col);
                if (px < clip.left || px >= clip.right) continue;
                const unsigned a = bm.buffer[row * bm.pitch + col];
                if (a == 0) continue;
                uint32_t& d = s.pixels[size_t(py) * s.nWidth + px];
                uint32_t out = 0;
                for (int shift = 0; shift <= 16; shift += 8) {
                    const unsigned dc = (d >> shift) & 0xFF, tc = (nText >> shift) & 0xFF;
                    out |= ((dc * (255 - a) + tc * a + 127) / 255) << shift;
                }
                d = out;
            }
        }
        nPen26 += g->advance.x;
    }
    return nLineHeight;
}

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    Dc* pDst = LockedDc(hdc);
    Dc* pSrc = LockedDc(hdcSrc);
    if (!pDst || !pSrc || rop != SRCCOPY) return FALSE;
    const Surface& src = *pSrc->pSurface;
    Surface& dst = *pDst->pSurface;
    for (int j = 0; j < cy; ++j) {
        const int sy = y1 + j, dy = y + j;
        if (sy < 0 || sy >= src.nHeight || dy < 0 || dy >= dst.nHeight) continue;
        for (int i = 0; i < cx; ++i) {
            const int sx = x1 + i, dx = x + i;
            if (sx < 0 || sx >= src.nWidth || dx < 0 || dx >= dst.nWidth) continue;
            dst.pixels[size_t(dy) * dst.nWidth + dx] = src.pixels[size_t(sy) * src.nWidth + sx];
        }
    }
    return TRUE;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    Dc* pDc = LockedDc(hdc);
    if (!pDc) return CLR_INVALID;
    const Surface& s = *pDc->pSurface;
    if (x < 0 || y < 0 || x >= s.nWidth || y >= s.nHeight) return CLR_INVALID;
    return ColorOf(s.pixels[size_t(y) * s.nWidth + x]);
}
