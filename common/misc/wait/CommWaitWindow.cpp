#include "common/misc/wait/CommWaitWindow.h"

#include "platform/win32/TextCopy.h"
#include "platform/win32/WinThread.h"

#include <chrono>
#include <cstdio>
#include <new>

HINSTANCE g_hInstance = nullptr;
CxCommWaitWindow* g_pWaitWindow = nullptr;

namespace {

const char WAIT_CLASS[] = "CommWaitWindow";
const int WAIT_WIDTH = 480;
const int WAIT_HEIGHT = 150;
const COLORREF BLOCK_COLOR = 12615680;  // red 0, green 128, blue 192
const DWORD CLOSE_WAIT_MS = 2000;

// What the main thread and the wait thread share, all under s_mx. Each start
// has its own number, so a close request reaches the thread it was meant
// for, also before that thread has made its window.
std::mutex s_mx;
HANDLE s_hThread = nullptr;
unsigned s_nStarted = 0;
unsigned s_nCloseRequested = 0;
char s_szText[1024] = "";  // the latest text, for a window that comes up later

struct WaitStart {
    HWND hWndMain;
    unsigned nStart;
};

bool CloseRequested(unsigned nStart) { return s_nCloseRequested >= nStart; }

}  // namespace

CxCommWaitWindow::CxCommWaitWindow()
    : m_hEvent(nullptr),
      m_hWnd(nullptr),
      m_szText(),
      m_nTicks(0),
      m_hFontBold(nullptr),
      m_hFontNormal(nullptr),
      m_nElapsed(0) {}

CxCommWaitWindow::~CxCommWaitWindow() {
    if (m_hEvent) CloseHandle(m_hEvent);
    if (m_hFontBold) DeleteObject(m_hFontBold);
    if (m_hFontNormal) DeleteObject(m_hFontNormal);
}

void CxCommWaitWindow::OnCreate() {
    m_hEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_nTicks = 0;
    LOGFONTA lf = {};
    lf.lfHeight = -11;
    lf.lfWeight = FW_BOLD;
    CopyText(lf.lfFaceName, "Verdana");
    m_hFontBold = CreateFontIndirectA(&lf);
    lf.lfWeight = FW_NORMAL;
    m_hFontNormal = CreateFontIndirectA(&lf);
}

void CxCommWaitWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(m_hWnd, &ps);
    if (!hdc) {
        EndPaint(m_hWnd, &ps);
        return;
    }
    RECT rc = {};
    GetClientRect(m_hWnd, &rc);
    HDC hdcMem = CreateCompatibleDC(hdc);
    HBITMAP hBitmap = CreateCompatibleBitmap(hdc, rc.right, rc.bottom);
    if (hdcMem && hBitmap) {
        HGDIOBJ hOldBitmap = SelectObject(hdcMem, hBitmap);
        PaintContents(hdcMem, rc);
        BitBlt(hdc, 0, 0, rc.right, rc.bottom, hdcMem, 0, 0, SRCCOPY);
        SelectObject(hdcMem, hOldBitmap);
    }
    if (hBitmap) DeleteObject(hBitmap);
    if (hdcMem) DeleteDC(hdcMem);
    EndPaint(m_hWnd, &ps);
}

void CxCommWaitWindow::PaintContents(HDC hdc, const RECT& rc) {
    FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(hdc, TRANSPARENT);

    char szText[sizeof(m_szText)];
    {
        std::lock_guard<std::mutex> lock(m_mxText);
        CopyText(szText, m_szText);
    }
    const UINT nFormat = DT_SINGLELINE | DT_VCENTER;
    HGDIOBJ hOldFont = SelectObject(hdc, m_hFontBold);
    RECT rcText = rc;
    rcText.bottom = rc.top + 50;
    rcText.left += 20;
    DrawTextA(hdc, szText, -1, &rcText, nFormat);
    rcText.top += 30;
    rcText.bottom += 30;
    DrawTextA(hdc, "Time Elapsed:", -1, &rcText, nFormat);
    SelectObject(hdc, m_hFontNormal);
    rcText.left += 120;
    char szElapsed[32];
    std::snprintf(szElapsed, sizeof(szElapsed), "%u seconds", unsigned(m_nElapsed / 1000));
    DrawTextA(hdc, szElapsed, -1, &rcText, nFormat);
    if (hOldFont) SelectObject(hdc, hOldFont);

    // A client area narrower than 15 pixels has room for no block at all.
    const LONG nBlocks = (rc.right - rc.left - 40) / 25 + 1;
    if (nBlocks < 1) return;
    HBRUSH hBrush = CreateSolidBrush(BLOCK_COLOR);
    if (!hBrush) return;
    const DWORD nShown = m_nTicks % DWORD(nBlocks);
    for (DWORD i = 0; i < nShown; ++i) {
        RECT rcBlock;
        rcBlock.left = LONG(25 * i + 20);
        rcBlock.right = rcBlock.left + 20;
        rcBlock.top = rc.top + 100;
        rcBlock.bottom = rcBlock.top + 12;
        FillRect(hdc, &rcBlock, hBrush);
    }
    DeleteObject(hBrush);
}

void CxCommWaitWindow::OnSize(UINT, int, int) {}

void CxCommWaitWindow::OnTimer(UINT nIdEvent) {
    if (nIdEvent != TIMER_TICK) return;
    ++m_nTicks;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    UpdateWindow(m_hWnd);
}

void CxCommWaitWindow::SetText(const char* szText) {
    std::lock_guard<std::mutex> lock(m_mxText);
    CopyText(m_szText, szText);
}

BOOL CxCommWaitWindow::Create(HWND hParent, const RECT* pRect) {
    if (!RegisterWaitWindowClass()) return FALSE;
    RECT rc;
    if (pRect) {
        rc = *pRect;
    } else {
        RECT rcDesktop = {};
        GetClientRect(GetDesktopWindow(), &rcDesktop);
        rc.left = (rcDesktop.right - rcDesktop.left - WAIT_WIDTH) / 2;
        rc.top = (rcDesktop.bottom - rcDesktop.top - WAIT_HEIGHT) / 2;
        rc.right = rc.left + WAIT_WIDTH;
        rc.bottom = rc.top + WAIT_HEIGHT;
    }
    HWND hWnd = CreateWindowExA(WS_EX_TOOLWINDOW, WAIT_CLASS, nullptr, WS_POPUP | WS_BORDER, rc.left, rc.top,
                                rc.right - rc.left, rc.bottom - rc.top, hParent, nullptr, g_hInstance, this);
    if (!hWnd) return FALSE;
    ShowWindow(hWnd, SW_SHOW);
    UpdateWindow(hWnd);
    return TRUE;
}

BOOL RegisterWaitWindowClass() {
    static std::mutex s_mxClass;
    static bool s_bRegistered = false;
    std::lock_guard<std::mutex> lock(s_mxClass);
    if (s_bRegistered) return TRUE;
    WNDCLASSA wc;
    if (!GetClassInfoA(g_hInstance, WAIT_CLASS, &wc)) {
        wc = {};
        wc.style = 0;
        wc.lpfnWndProc = WaitWindowProc;
        wc.cbClsExtra = 0;
        wc.cbWndExtra = 4;
        wc.hInstance = g_hInstance;
        wc.hIcon = nullptr;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = nullptr;
        wc.lpszMenuName = nullptr;
        wc.lpszClassName = WAIT_CLASS;
        if (!RegisterClassA(&wc)) return FALSE;
    }
    s_bRegistered = true;
    return TRUE;
}

LRESULT WaitWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    auto* pWindow = reinterpret_cast<CxCommWaitWindow*>(GetWindowLongPtrA(hWnd, GWL_USERDATA));
    switch (uMsg) {
    case WM_CREATE: {
        auto* pCreate = reinterpret_cast<CREATESTRUCTA*>(lParam);
        pWindow = pCreate ? static_cast<CxCommWaitWindow*>(pCreate->lpCreateParams) : nullptr;
        if (!pWindow) return 0;
        pWindow->m_hWnd = hWnd;
        SetWindowLongPtrA(hWnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(pWindow));
        pWindow->OnCreate();
        break;
    }
    case WM_SIZE:
        if (pWindow) pWindow->OnSize(UINT(wParam), int(lParam & 0xFFFF), int((lParam >> 16) & 0xFFFF));
        break;
    case WM_PAINT:
        if (pWindow) pWindow->OnPaint();
        break;
    default:
        break;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

DWORD WaitWindowThread(LPVOID lpParam) {
    auto* pStart = static_cast<WaitStart*>(lpParam);
    const HWND hWndMain = pStart->hWndMain;
    const unsigned nStart = pStart->nStart;
    delete pStart;
    {
        std::lock_guard<std::mutex> lock(s_mx);
        if (CloseRequested(nStart)) return 0;  // closed before it came up
    }

    auto* pWindow = new (std::nothrow) CxCommWaitWindow;
    if (!pWindow) return 0;
    pWindow->Create(nullptr, nullptr);
    if (!pWindow->m_hEvent) {
        if (pWindow->m_hWnd && IsWindow(pWindow->m_hWnd)) DestroyWindow(pWindow->m_hWnd);
        delete pWindow;
        return 0;
    }
    {
        std::lock_guard<std::mutex> lock(s_mx);
        pWindow->SetText(s_szText);
        if (CloseRequested(nStart)) SetEvent(pWindow->m_hEvent);
        g_pWaitWindow = pWindow;
    }

    // Ticks keep to a 100-millisecond rhythm counted from the start, so the
    // time spent painting neither delays a new text nor slows the clock.
    DWORD nElapsed = 0;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const auto next = start + std::chrono::milliseconds(nElapsed + 100);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(next - std::chrono::steady_clock::now());
        DWORD nResult = WaitForSingleObject(pWindow->m_hEvent, left.count() > 0 ? DWORD(left.count()) : 0);
        if (nResult == WAIT_OBJECT_0) break;
        if (nResult == WAIT_TIMEOUT) {
            nElapsed += 100;
            pWindow->m_nElapsed = nElapsed;
            pWindow->OnTimer(TIMER_TICK);
        } else if (nResult == WAIT_FAILED) {
            break;  // the event is gone: nothing could close the window any more
        }
    }

    PostMessageA(pWindow->m_hWnd, WM_CLOSE, 0, 0);
    {
        std::lock_guard<std::mutex> lock(s_mx);
        if (g_pWaitWindow == pWindow) g_pWaitWindow = nullptr;
    }
    // The posted WM_CLOSE destroys the window; the thread's display
    // connection closes with it.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (IsWindow(pWindow->m_hWnd)) DestroyWindow(pWindow->m_hWnd);
    delete pWindow;

    if (hWndMain) {
        BringWindowToTop(hWndMain);
        SetForegroundWindow(hWndMain);
    }
    return 0;
}

BOOL StartWaitWindow(HWND hWndMain) {
    std::lock_guard<std::mutex> lock(s_mx);
    if (s_hThread) {
        if (WaitForSingleObject(s_hThread, 0) != WAIT_OBJECT_0) return FALSE;
        CloseHandle(s_hThread);
        s_hThread = nullptr;
    }
    auto* pStart = new (std::nothrow) WaitStart{hWndMain, s_nStarted + 1};
    if (!pStart) return FALSE;
    s_szText[0] = '\0';
    s_hThread = CreateThread(nullptr, 0, WaitWindowThread, pStart, 0, nullptr);
    if (!s_hThread) {
        delete pStart;
        return FALSE;
    }
    ++s_nStarted;
    return TRUE;
}

void SetWaitText(const char* szText) {
    if (!szText) return;
    std::lock_guard<std::mutex> lock(s_mx);
    CopyText(s_szText, szText);
    if (g_pWaitWindow) g_pWaitWindow->SetText(s_szText);
}

bool CloseWaitWindow() {
    HANDLE hThread;
    {
        std::lock_guard<std::mutex> lock(s_mx);
        s_nCloseRequested = s_nStarted;
        if (g_pWaitWindow && g_pWaitWindow->m_hEvent) SetEvent(g_pWaitWindow->m_hEvent);
        hThread = s_hThread;
        s_hThread = nullptr;
    }
    if (!hThread) return true;
    bool bEnded = WaitForSingleObject(hThread, CLOSE_WAIT_MS) == WAIT_OBJECT_0;
    CloseHandle(hThread);
    return bEnded;
}
