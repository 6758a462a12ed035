// The wait window on an X display the test starts itself, read back from the
// server; and without any display.
// GoogleTest comes before Xlib, whose macros (None, Bool) clash with it.
#include <gtest/gtest.h>

#include "common/misc/wait/CommWaitWindow.h"
#include "support/ScopedEnv.h"
#include "wait/fixtures/XvfbServer.h"

#include <memory>
#include <string>

namespace {

const int WX = 480, WY = 150;  // the window, with its one-pixel border
const uint32_t WHITE = 0xFFFFFF, BLACK = 0x000000, BLOCK = 0x0080C0;

// The status line as the window paints it, from a memory bitmap:
// rows 0 to 39 of the client area (nothing else is drawn there).
std::vector<uint32_t> ExpectedTextBand(const char* szText) {
    CxCommWaitWindow w;
    w.OnCreate();
    w.SetText(szText);
    HDC hdc = CreateCompatibleDC(nullptr);
    HBITMAP hBitmap = CreateCompatibleBitmap(hdc, WX - 2, WY - 2);
    HGDIOBJ hOld = SelectObject(hdc, hBitmap);
    w.PaintContents(hdc, RECT{0, 0, WX - 2, WY - 2});
    std::vector<uint32_t> band;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < WX - 2; ++x) {
            COLORREF c = GetPixel(hdc, x, y);
            band.push_back((uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c));
        }
    SelectObject(hdc, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hdc);
    return band;
}

std::vector<uint32_t> TextBandOf(const std::vector<uint32_t>& window) {
    std::vector<uint32_t> band;
    if (window.empty()) return band;
    for (int y = 1; y < 41; ++y)
        for (int x = 1; x < WX - 1; ++x) band.push_back(window[size_t(y) * WX + x]);
    return band;
}

class WaitWindowX : public testing::Test {
protected:
    static void SetUpTestSuite() { s_pServer = new XvfbServer; }
    static void TearDownTestSuite() {
        delete s_pServer;
        s_pServer = nullptr;
    }

    void SetUp() override {
        if (!s_pServer->Installed()) GTEST_SKIP() << s_pServer->Why();
        ASSERT_TRUE(s_pServer->Ok()) << s_pServer->Why();
        m_pEnv = std::make_unique<ScopedEnv>("DISPLAY", s_pServer->Name());
        m_pDisplay = XOpenDisplay(s_pServer->Name().c_str());
        ASSERT_NE(m_pDisplay, nullptr);
    }
    void TearDown() override {
        EXPECT_TRUE(CloseWaitWindow());
        if (m_pDisplay) XCloseDisplay(m_pDisplay);
    }

    Window WaitWindow() { return FindTopLevel(m_pDisplay, WX, WY); }
    std::vector<uint32_t> Shot(Window w) { return Grab(m_pDisplay, w, WX, WY); }

    static XvfbServer* s_pServer;
    std::unique_ptr<ScopedEnv> m_pEnv;
    Display* m_pDisplay = nullptr;
};
XvfbServer* WaitWindowX::s_pServer = nullptr;

}  // namespace

TEST_F(WaitWindowX, ShowsCentredWithTextTimeAndBarAndClosesOnRequest) {
    ASSERT_TRUE(StartWaitWindow(nullptr));
    ASSERT_TRUE(WaitUntil([&] { return WaitWindow() != 0; })) << "no wait window appeared";
    Window w = WaitWindow();
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(m_pDisplay, w, DefaultRootWindow(m_pDisplay), 0, 0, &x, &y, &child);
    EXPECT_EQ(x, (1024 - WX) / 2);
    EXPECT_EQ(y, (768 - WY) / 2);

    const char* szText = "Loading WAB Contacts...";
    SetWaitText(szText);
    const auto expected = ExpectedTextBand(szText);
    std::vector<uint32_t> shot;
    EXPECT_TRUE(WaitUntil([&] {
        shot = Shot(w);
        return TextBandOf(shot) == expected;
    })) << "the text is not shown";
    // After a few ticks: the frame, the white client area and the first blocks.
    ASSERT_TRUE(WaitUntil([&] {
        shot = Shot(w);
        return shot[size_t(1 + 105) * WX + 1 + 45] == BLOCK;
    })) << "the bar does not grow";
    auto at = [&](int cx, int cy) { return shot[size_t(cy) * WX + cx]; };
    EXPECT_EQ(at(0, 0), BLACK);
    EXPECT_EQ(at(WX - 1, WY - 1), BLACK);
    EXPECT_EQ(at(1, 1), WHITE);
    EXPECT_EQ(at(1 + 20, 1 + 100), BLOCK);  // client (20, 100): the first block's corner
    EXPECT_EQ(at(1 + 20, 1 + 99), WHITE);
    EXPECT_EQ(at(1 + 19, 1 + 100), WHITE);

    EXPECT_TRUE(CloseWaitWindow());
    EXPECT_EQ(WaitWindow(), 0u) << "the window is still there after CloseWaitWindow";
}

TEST_F(WaitWindowX, TwoTextsWithinOneTickShowOnlyTheSecond) {
    ASSERT_TRUE(StartWaitWindow(nullptr));
    ASSERT_TRUE(WaitUntil([&] { return WaitWindow() != 0; }));
    Window w = WaitWindow();
    const std::string first(40, 'W');
    const char* szSecond = "Loading Outlook Contacts...";
    const auto expectedFirst = ExpectedTextBand(first.c_str());
    const auto expectedSecond = ExpectedTextBand(szSecond);
    SetWaitText(first.c_str());
    SetWaitText(szSecond);
    bool bFirstSeen = false;
    EXPECT_TRUE(WaitUntil([&] {
        auto band = TextBandOf(Shot(w));
        bFirstSeen |= band == expectedFirst;
        return band == expectedSecond;
    }));
    EXPECT_FALSE(bFirstSeen);
}

TEST_F(WaitWindowX, CloseRightAfterStartStillClosesOrPreventsTheWindow) {
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(StartWaitWindow(nullptr));
        EXPECT_TRUE(CloseWaitWindow());  // the wait thread has ended
        EXPECT_EQ(WaitWindow(), 0u) << "round " << i;
    }
    // Closed after it came up but before any text: the same.
    ASSERT_TRUE(StartWaitWindow(nullptr));
    ASSERT_TRUE(WaitUntil([&] { return WaitWindow() != 0; }));
    EXPECT_TRUE(CloseWaitWindow());
    EXPECT_EQ(WaitWindow(), 0u);
}

TEST_F(WaitWindowX, BringsTheMainWindowBackAndIgnoresHandlesThatAreNoWindows) {
    // A window of another client stands in for the main window.
    Window root = DefaultRootWindow(m_pDisplay);
    Window main = XCreateSimpleWindow(m_pDisplay, root, 10, 10, 200, 100, 0, 0, WHITE);
    XMapWindow(m_pDisplay, main);
    XSync(m_pDisplay, False);
    auto topmost = [&] {
        Window r, p, *pChildren = nullptr;
        unsigned n = 0;
        XQueryTree(m_pDisplay, root, &r, &p, &pChildren, &n);
        Window top = n ? pChildren[n - 1] : 0;
        if (pChildren) XFree(pChildren);
        return top;
    };
    ASSERT_TRUE(StartWaitWindow(reinterpret_cast<HWND>(uintptr_t(main))));
    ASSERT_TRUE(WaitUntil([&] { return WaitWindow() != 0; }));
    EXPECT_EQ(topmost(), WaitWindow());
    EXPECT_TRUE(CloseWaitWindow());
    EXPECT_EQ(topmost(), main);

    // Not windows at all: a free X id, a pointer-sized value; ignored.
    for (uintptr_t bogus : {uintptr_t(0x1FFFFF00), uintptr_t(0xDEADBEEF1234)}) {
        ASSERT_TRUE(StartWaitWindow(reinterpret_cast<HWND>(bogus)));
        ASSERT_TRUE(WaitUntil([&] { return WaitWindow() != 0; }));
        EXPECT_TRUE(CloseWaitWindow());
        EXPECT_EQ(WaitWindow(), 0u);
    }
    XDestroyWindow(m_pDisplay, main);
}

TEST(WaitWindowNoDisplay, StartsAndTheLoadGoesOnWithoutAWindow) {
    ScopedEnv display("DISPLAY", nullptr);
    ASSERT_TRUE(StartWaitWindow(reinterpret_cast<HWND>(uintptr_t(0x400001))));
    SetWaitText("Loading WAB Contacts...");
    SetWaitText(nullptr);
    EXPECT_TRUE(CloseWaitWindow());
    EXPECT_TRUE(CloseWaitWindow());  // nothing left to close
    // A new start works again afterwards.
    ASSERT_TRUE(StartWaitWindow(nullptr));
    EXPECT_TRUE(CloseWaitWindow());
}
