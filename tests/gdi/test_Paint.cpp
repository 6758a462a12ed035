#include "platform/gdi/WinGdi.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const COLORREF WHITE = RGB(255, 255, 255);

// A memory context with its own bitmap, put back and deleted at the end.
class MemoryDC {
public:
    MemoryDC(int cx, int cy) : m_hdc(CreateCompatibleDC(nullptr)), m_hBitmap(CreateCompatibleBitmap(m_hdc, cx, cy)) {
        m_hOld = SelectObject(m_hdc, m_hBitmap);
    }
    ~MemoryDC() {
        SelectObject(m_hdc, m_hOld);
        DeleteObject(m_hBitmap);
        DeleteDC(m_hdc);
    }
    operator HDC() const { return m_hdc; }
    HBITMAP Bitmap() const { return m_hBitmap; }

private:
    HDC m_hdc;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOld;
};

HFONT MakeFont(const char* szFace, LONG nWeight, LONG nHeight = -11) {
    LOGFONTA lf = {};
    lf.lfHeight = nHeight;
    lf.lfWeight = nWeight;
    std::strncpy(lf.lfFaceName, szFace, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

// Bounding box and darkness of the non-white pixels.
struct Ink {
    RECT box = {1 << 30, 1 << 30, -1, -1};
    long nDarkness = 0;
    bool Empty() const { return box.right < 0; }
};
Ink InkOf(HDC hdc, int cx, int cy) {
    Ink ink;
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x) {
            COLORREF c = GetPixel(hdc, x, y);
            if (c == WHITE) continue;
            ink.box.left = std::min<LONG>(ink.box.left, x);
            ink.box.top = std::min<LONG>(ink.box.top, y);
            ink.box.right = std::max<LONG>(ink.box.right, x + 1);
            ink.box.bottom = std::max<LONG>(ink.box.bottom, y + 1);
            ink.nDarkness += 765 - GetRValue(c) - GetGValue(c) - GetBValue(c);
        }
    return ink;
}

}  // namespace

TEST(MemorySurface, FillsClippedRectanglesAndReadsPixelsBack) {
    MemoryDC dc(40, 30);
    EXPECT_EQ(GetPixel(dc, 0, 0), WHITE);  // a new bitmap is white
    HBRUSH hBrush = CreateSolidBrush(RGB(0, 128, 192));
    RECT rc = {30, 20, 60, 50};  // runs off the right and bottom edges
    EXPECT_TRUE(FillRect(dc, &rc, hBrush));
    EXPECT_EQ(GetPixel(dc, 30, 20), RGB(0, 128, 192));
    EXPECT_EQ(GetPixel(dc, 39, 29), RGB(0, 128, 192));
    EXPECT_EQ(GetPixel(dc, 29, 20), WHITE);  // left is inclusive, right exclusive
    EXPECT_EQ(GetPixel(dc, 30, 19), WHITE);
    for (auto [x, y] : {std::pair{40, 0}, {0, 30}, {-1, 0}, {0, -1}}) EXPECT_EQ(GetPixel(dc, x, y), CLR_INVALID);

    RECT all = {0, 0, 40, 30};
    EXPECT_TRUE(FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(0, 0, 0));

    // Copy a block into another bitmap, partly outside it.
    MemoryDC dst(10, 10);
    EXPECT_TRUE(BitBlt(dst, 5, 5, 40, 30, dc, 25, 15, SRCCOPY));
    EXPECT_EQ(GetPixel(dst, 4, 4), WHITE);
    EXPECT_EQ(GetPixel(dst, 5, 5), RGB(0, 0, 0));
    EXPECT_FALSE(BitBlt(dst, 0, 0, 1, 1, dc, 0, 0, 0x00EE0086 /* SRCPAINT */));
    EXPECT_TRUE(DeleteObject(hBrush));
}

TEST(MemorySurface, ObjectsInUseAreNotDeleted) {
    HDC hdc = CreateCompatibleDC(nullptr);
    HBITMAP hBitmap = CreateCompatibleBitmap(hdc, 4, 4);
    HGDIOBJ hDefault = SelectObject(hdc, hBitmap);
    ASSERT_NE(hDefault, nullptr);
    EXPECT_FALSE(DeleteObject(hBitmap));  // still selected
    HDC hOther = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(hOther, hBitmap), nullptr);  // one context at a time
    EXPECT_EQ(SelectObject(hdc, hDefault), hBitmap);
    EXPECT_TRUE(DeleteObject(hBitmap));
    EXPECT_FALSE(DeleteObject(hBitmap));  // already gone
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));  // stock objects stay
    EXPECT_NE(SelectObject(hdc, GetStockObject(WHITE_BRUSH)), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(hdc, 0, 5), nullptr);
    EXPECT_TRUE(DeleteDC(hdc));
    EXPECT_TRUE(DeleteDC(hOther));
    EXPECT_FALSE(DeleteDC(hdc));
    EXPECT_EQ(GetPixel(hdc, 0, 0), CLR_INVALID);
}

TEST(MemorySurface, TextIsPlacedCentredAndClippedToItsRectangle) {
    MemoryDC dc(200, 60);
    HFONT hFont = MakeFont("Verdana", FW_NORMAL);
    ASSERT_NE(hFont, nullptr) << "no font installed";
    HGDIOBJ hOld = SelectObject(dc, hFont);
    SetBkMode(dc, TRANSPARENT);
    RECT rc = {10, 0, 200, 50};
    int nHeight = DrawTextA(dc, "Hxg", -1, &rc, DT_SINGLELINE | DT_VCENTER);
    EXPECT_GE(nHeight, 11);
    EXPECT_LE(nHeight, 16);
    Ink ink = InkOf(dc, 200, 60);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.box.left, 10);
    EXPECT_LE(ink.box.left, 12);
    EXPECT_LT(ink.box.right, 60);
    // Centred on row 25: the line box straddles it.
    EXPECT_LE(ink.box.top, 24);
    EXPECT_GE(ink.box.bottom, 26);
    EXPECT_GE(ink.box.top, 25 - nHeight / 2 - 1);
    EXPECT_LE(ink.box.bottom, 25 + nHeight / 2 + 1);

    // Clipped to the rectangle unless told otherwise; the text colour is used.
    MemoryDC clipped(200, 60);
    SelectObject(clipped, hFont);
    SetBkMode(clipped, TRANSPARENT);
    SetTextColor(clipped, RGB(255, 0, 0));
    RECT rcNarrow = {10, 0, 20, 50};
    DrawTextA(clipped, "WWWWWW", -1, &rcNarrow, DT_SINGLELINE | DT_VCENTER);
    Ink inkClipped = InkOf(clipped, 200, 60);
    EXPECT_EQ(inkClipped.box.right, 20);
    bool bRed = false;
    for (int x = 10; x < 20; ++x)
        for (int y = 0; y < 50; ++y) bRed |= GetPixel(clipped, x, y) == RGB(255, 0, 0);
    EXPECT_TRUE(bRed);

    // OPAQUE fills the line's box with the background colour.
    MemoryDC opaque(200, 60);
    SelectObject(opaque, hFont);
    SetBkColor(opaque, RGB(0, 0, 255));
    DrawTextA(opaque, "Hxg", -1, &rc, DT_SINGLELINE | DT_VCENTER);
    EXPECT_EQ(GetPixel(opaque, 10, 25), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(opaque, 9, 25), WHITE);

    SelectObject(dc, hOld);
    SelectObject(clipped, hOld);
    SelectObject(opaque, hOld);
    EXPECT_TRUE(DeleteObject(hFont));
}

TEST(MemorySurface, MissingFacesFallBackAndBoldInksMore) {
    long nDarkness[2] = {};
    const LONG weights[2] = {FW_NORMAL, FW_BOLD};
    for (const char* szFace : {"Verdana", "No Such Face 123"}) {
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(testing::Message() << szFace << " " << weights[i]);
            HFONT hFont = MakeFont(szFace, weights[i]);
            ASSERT_NE(hFont, nullptr);
            MemoryDC dc(200, 30);
            HGDIOBJ hDefaultFont = SelectObject(dc, hFont);
            ASSERT_NE(hDefaultFont, nullptr);
            SetBkMode(dc, TRANSPARENT);
            RECT rc = {0, 0, 200, 30};
            DrawTextA(dc, "Loading Contacts", -1, &rc, DT_SINGLELINE | DT_VCENTER);
            nDarkness[i] = InkOf(dc, 200, 30).nDarkness;
            EXPECT_FALSE(DeleteObject(hFont));  // still selected
            EXPECT_EQ(SelectObject(dc, hDefaultFont), hFont);
            EXPECT_TRUE(DeleteObject(hFont));
        }
        EXPECT_GT(nDarkness[0], 0);
        EXPECT_GT(nDarkness[1], nDarkness[0] * 11 / 10);
    }
}
