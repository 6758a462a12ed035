// The wait window's painting, on memory bitmaps: no display needed.
#include "common/misc/wait/CommWaitWindow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

const int CX = 478, CY = 148;  // the client area of the 480 × 150 window
const COLORREF BLOCK = RGB(0, 128, 192);

typedef std::vector<COLORREF> Pixels;

// Runs draw on a white CX × CY bitmap and returns its pixels.
template <typename F>
Pixels Render(F draw, int cx = CX, int cy = CY) {
    HDC hdc = CreateCompatibleDC(nullptr);
    HBITMAP hBitmap = CreateCompatibleBitmap(hdc, cx, cy);
    HGDIOBJ hOld = SelectObject(hdc, hBitmap);
    draw(hdc);
    Pixels pixels;
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x) pixels.push_back(GetPixel(hdc, x, y));
    SelectObject(hdc, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hdc);
    return pixels;
}

Pixels Paint(CxCommWaitWindow& w) {
    return Render([&](HDC hdc) { w.PaintContents(hdc, RECT{0, 0, CX, CY}); });
}

// One text drawn alone the way the window draws its lines.
Pixels Text(HFONT hFont, const char* szText, RECT rc) {
    return Render([&](HDC hdc) {
        SelectObject(hdc, hFont);
        SetBkMode(hdc, TRANSPARENT);
        DrawTextA(hdc, szText, -1, &rc, DT_SINGLELINE | DT_VCENTER);
        SelectObject(hdc, GetStockObject(WHITE_BRUSH));
    });
}

// Whether two pictures agree inside a rectangle.
bool SameIn(const Pixels& a, const Pixels& b, RECT rc) {
    for (LONG y = rc.top; y < rc.bottom; ++y)
        for (LONG x = rc.left; x < rc.right; ++x)
            if (a[size_t(y) * CX + x] != b[size_t(y) * CX + x]) return false;
    return true;
}

// The bands where only one line has ink: the status text above row 40,
// "Time Elapsed:" and the number below it, left and right of column 140.
const RECT TEXT_BAND = {0, 0, CX, 40};
const RECT LABEL_BAND = {0, 40, 140, 90};
const RECT NUMBER_BAND = {140, 40, CX, 90};

class WaitPaint : public testing::Test {
protected:
    void SetUp() override {
        m_window.OnCreate();  // event and fonts; there is no window
        ASSERT_NE(m_window.m_hEvent, nullptr);
        ASSERT_NE(m_window.m_hFontBold, nullptr) << "no font installed";
        ASSERT_NE(m_window.m_hFontNormal, nullptr);
    }
    CxCommWaitWindow m_window;
};

}  // namespace

TEST_F(WaitPaint, BarGrowsOneBlockPerTickAndStartsAgainAfterSeventeen) {
    const struct {
        unsigned nTicks, nBlocks;
    } cases[] = {{0, 0}, {1, 1}, {17, 17}, {18, 0}};
    unsigned nTicks = 0;
    for (const auto& c : cases) {
        while (nTicks < c.nTicks) {
            m_window.OnTimer(TIMER_TICK);
            m_window.OnTimer(TIMER_TICK + 1);  // other timers are ignored
            ++nTicks;
        }
        ASSERT_EQ(m_window.m_nTicks, c.nTicks);
        SCOPED_TRACE(testing::Message() << c.nTicks << " ticks");
        Pixels p = Paint(m_window);
        auto at = [&](int x, int y) { return p[size_t(y) * CX + x]; };
        for (unsigned i = 0; i < 18; ++i) {
            const int left = int(25 * i + 20);
            const COLORREF inside = i < c.nBlocks ? BLOCK : RGB(255, 255, 255);
            EXPECT_EQ(at(left, 100), inside) << "block " << i;
            EXPECT_EQ(at(left + 19, 111), inside) << "block " << i;
            EXPECT_EQ(at(left + 20, 105), RGB(255, 255, 255)) << "gap after block " << i;
            EXPECT_EQ(at(left, 99), RGB(255, 255, 255));
            EXPECT_EQ(at(left, 112), RGB(255, 255, 255));
        }
        EXPECT_EQ(at(19, 105), RGB(255, 255, 255));
    }
}

TEST_F(WaitPaint, TextInBoldElapsedSecondsInNormal) {
    m_window.SetText("Loading WAB Contacts...");
    const Pixels text = Text(m_window.m_hFontBold, "Loading WAB Contacts...", {20, 0, CX, 50});
    const Pixels label = Text(m_window.m_hFontBold, "Time Elapsed:", {20, 30, CX, 80});
    ASSERT_FALSE(SameIn(text, Text(m_window.m_hFontNormal, "Loading WAB Contacts...", {20, 0, CX, 50}), TEXT_BAND));

    // The loop stores 100 more milliseconds before each tick.
    for (unsigned nTick = 0; nTick <= 12; ++nTick) {
        SCOPED_TRACE(testing::Message() << nTick << " ticks");
        m_window.m_nElapsed = 100 * nTick;
        const char* szShown = nTick < 10 ? "0 seconds" : "1 seconds";
        const char* szOther = nTick < 10 ? "1 seconds" : "0 seconds";
        Pixels p = Paint(m_window);
        EXPECT_TRUE(SameIn(p, text, TEXT_BAND));
        EXPECT_TRUE(SameIn(p, label, LABEL_BAND));
        EXPECT_TRUE(SameIn(p, Text(m_window.m_hFontNormal, szShown, {140, 30, CX, 80}), NUMBER_BAND));
        EXPECT_FALSE(SameIn(p, Text(m_window.m_hFontBold, szShown, {140, 30, CX, 80}), NUMBER_BAND));
        EXPECT_FALSE(SameIn(p, Text(m_window.m_hFontNormal, szOther, {140, 30, CX, 80}), NUMBER_BAND));
    }
}

TEST_F(WaitPaint, LongTextsAreCutWholeAndTinyAreasPaintNoBar) {
    std::string sLong(1022, 'a');
    sLong += "\xC3\xA9tude";  // a two-byte character across the 1023-byte limit
    m_window.SetText(sLong.c_str());
    EXPECT_EQ(std::strlen(m_window.m_szText), 1022u);
    m_window.SetText(std::string(5000, 'b').c_str());
    EXPECT_EQ(std::strlen(m_window.m_szText), 1023u);

    // Narrower than one block: no division by a zero block count, no block.
    m_window.m_nTicks = 5;
    Pixels p = Render([&](HDC hdc) { m_window.PaintContents(hdc, RECT{0, 0, 10, 120}); }, 10, 120);
    for (COLORREF c : p) EXPECT_NE(c, BLOCK);
}

TEST_F(WaitPaint, APaintShowsTheOldOrTheNewTextWholeWhileTextsChange) {
    const std::string a(40, 'A'), b(20, 'B');
    const Pixels textA = Text(m_window.m_hFontBold, a.c_str(), {20, 0, CX, 50});
    const Pixels textB = Text(m_window.m_hFontBold, b.c_str(), {20, 0, CX, 50});
    m_window.SetText(a.c_str());
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i) m_window.SetText((i % 2 ? a : b).c_str());
    });
    for (int i = 0; i < 40; ++i) {
        Pixels p = Paint(m_window);
        ASSERT_TRUE(SameIn(p, textA, TEXT_BAND) || SameIn(p, textB, TEXT_BAND)) << "torn text in paint " << i;
    }
    writer.join();
}
