// Windows over Xlib. A window's client area is a pixel surface; EndPaint
// copies it into an X pixmap that is the window's background, so the X
// server restores the window by itself when it is uncovered (the thread that
// owns the window runs no event loop).
#include "platform/gdi/GdiSurface.h"
#include "platform/gdi/WinUser.h"
#include "platform/win32/AsciiCase.h"
#include "platform/win32/WinThread.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace {

using gdi::Surface;

// What the layer keeps for one window.
struct WinData {
    ::Window xid = 0;
    Display* pDisplay = nullptr;
    DWORD nThreadId = 0;
    WNDPROC lpfnWndProc = nullptr;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    RECT rcWindow{};       // on the screen
    int nFrame = 0;        // border width around the client area
    LONG_PTR nUserData = 0;
    std::string extra;     // the class's window extra bytes
    Surface client;
    Pixmap pixmap = 0;
    GC gc = nullptr;
    bool bVisible = false;
    bool bInvalid = true;
    bool bDestroying = false;
    RECT rcUpdate{};
};

struct ClassEntry {
    WNDCLASSA wc{};
    std::string name;
};

std::mutex g_mx;  // guards the tables below
std::map<std::string, ClassEntry>& Classes() {
    static auto* s_p = new std::map<std::string, ClassEntry>;
    return *s_p;
}
std::map<uintptr_t, WinData*>& Windows() {
    static auto* s_p = new std::map<uintptr_t, WinData*>;
    return *s_p;
}
std::map<DWORD, std::deque<MSG>>& Queues() {
    static auto* s_p = new std::map<DWORD, std::deque<MSG>>;
    return *s_p;
}

std::string ClassKey(LPCSTR lpClassName, HINSTANCE hInstance) {
    std::string key;
    for (const char* p = lpClassName; *p; ++p) key += UpperAscii(*p);
    return key + '\n' + std::to_string(reinterpret_cast<uintptr_t>(hInstance));
}

// X errors of our own connections are recorded here instead of ending the
// process; others go to whatever handler was there before.
XErrorHandler g_pfnPreviousHandler = nullptr;
thread_local Display* t_pTrapDisplay = nullptr;
thread_local bool t_bTrapped = false;

int OnXError(Display* pDisplay, XErrorEvent* pEvent) {
    if (pDisplay == t_pTrapDisplay) {
        t_bTrapped = true;
        return 0;
    }
    return g_pfnPreviousHandler ? g_pfnPreviousHandler(pDisplay, pEvent) : 0;
}

// The calling thread's connection: open while the thread has windows (or
// for the length of one call), closed with its last window or the thread.
struct ThreadDisplay {
    Display* pDisplay = nullptr;
    int nWindows = 0;
    ~ThreadDisplay() { Close(); }
    void Close() {
        if (!pDisplay) return;
        XCloseDisplay(pDisplay);
        pDisplay = nullptr;
        t_pTrapDisplay = nullptr;
    }
};
thread_local ThreadDisplay t_display;

Display* AcquireDisplay() {
    static std::once_flag s_once;
    std::call_once(s_once, [] {
        XInitThreads();
        g_pfnPreviousHandler = XSetErrorHandler(OnXError);
    });
    if (!t_display.pDisplay) {
        t_display.pDisplay = XOpenDisplay(nullptr);
        t_pTrapDisplay = t_display.pDisplay;
    }
    return t_display.pDisplay;
}

// Closes a connection that was opened only for one call.
void ReleaseDisplay() {
    if (t_display.nWindows == 0) t_display.Close();
}

// Runs a request and reports whether the server refused it.
template <typename F>
bool Trapped(Display* pDisplay, F request) {
    XSync(pDisplay, False);
    t_bTrapped = false;
    request();
    XSync(pDisplay, False);
    return t_bTrapped;
}

// A window of the calling thread.
WinData* OwnWindow(HWND hWnd) {
    std::lock_guard<std::mutex> lock(g_mx);
    auto it = Windows().find(reinterpret_cast<uintptr_t>(hWnd));
    if (it == Windows().end() || it->second->nThreadId != GetCurrentThreadId()) return nullptr;
    return it->second;
}

HWND HandleOf(::Window xid) { return reinterpret_cast<HWND>(uintptr_t(xid)); }

void SetAtomList(Display* d, ::Window w, const char* szProperty, const char* const* names, int n) {
    Atom atoms[4];
    for (int i = 0; i < n; ++i) atoms[i] = XInternAtom(d, names[i], False);
    XChangeProperty(d, w, XInternAtom(d, szProperty, False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(atoms), n);
}

// Copies the client surface into the pixmap and lets the server repaint.
void Present(WinData* w) {
    Display* d = w->pDisplay;
    const int cx = w->client.nWidth, cy = w->client.nHeight;
    if (cx > 0 && cy > 0) {
        int nScreen = DefaultScreen(d);
        XImage* pImage = XCreateImage(d, DefaultVisual(d, nScreen), DefaultDepth(d, nScreen), ZPixmap, 0,
                                      nullptr, cx, cy, 32, 0);
        if (!pImage) return;
        pImage->data = static_cast<char*>(std::malloc(size_t(pImage->bytes_per_line) * cy));
        if (!pImage->data) {
            XDestroyImage(pImage);
            return;
        }
        const bool bDirect = pImage->bits_per_pixel == 32 && pImage->red_mask == 0xFF0000 &&
                             pImage->green_mask == 0xFF00 && pImage->blue_mask == 0xFF &&
                             pImage->byte_order == LSBFirst;
        for (int y = 0; y < cy; ++y) {
            const uint32_t* pRow = &w->client.pixels[size_t(y) * cx];
            if (bDirect) {
                std::memcpy(pImage->data + size_t(y) * pImage->bytes_per_line, pRow, size_t(cx) * 4);
                continue;
            }
            for (int x = 0; x < cx; ++x) {
                auto scale = [](uint32_t v, unsigned long mask) {
                    if (!mask) return 0ul;
                    int shift = 0;
                    while (!((mask >> shift) & 1)) ++shift;
                    unsigned long max = mask >> shift;
                    return ((v * max + 127) / 255) << shift;
                };
                const uint32_t p = pRow[x];
                XPutPixel(pImage, x, y,
                          scale((p >> 16) & 0xFF, pImage->red_mask) | scale((p >> 8) & 0xFF, pImage->green_mask) |
                              scale(p & 0xFF, pImage->blue_mask));
            }
        }
        XPutImage(d, w->pixmap, w->gc, pImage, 0, 0, w->nFrame, w->nFrame, cx, cy);
        XDestroyImage(pImage);
    }
    XClearWindow(d, w->xid);
    XFlush(d);
}

LRESULT Send(WinData* w, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return w->lpfnWndProc(HandleOf(w->xid), uMsg, wParam, lParam);
}

}  // namespace

ATOM RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (!lpWndClass || !lpWndClass->lpszClassName || !lpWndClass->lpfnWndProc || lpWndClass->cbWndExtra < 0 ||
        lpWndClass->cbWndExtra > 40)
        return 0;
    std::lock_guard<std::mutex> lock(g_mx);
    std::string key = ClassKey(lpWndClass->lpszClassName, lpWndClass->hInstance);
    if (Classes().count(key)) return 0;
    ClassEntry& entry = Classes()[key];
    entry.wc = *lpWndClass;
    entry.name = lpWndClass->lpszClassName;
    entry.wc.lpszClassName = entry.name.c_str();
    entry.wc.lpszMenuName = nullptr;
    static ATOM s_nNextAtom = 0xC000;
    return s_nNextAtom++;
}

BOOL GetClassInfoA(HINSTANCE hInstance, LPCSTR lpClassName, WNDCLASSA* lpWndClass) {
    if (!lpClassName || !lpWndClass) return FALSE;
    std::lock_guard<std::mutex> lock(g_mx);
    auto it = Classes().find(ClassKey(lpClassName, hInstance));
    if (it == Classes().end()) return FALSE;
    *lpWndClass = it->second.wc;
    return TRUE;
}

BOOL UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance) {
    if (!lpClassName) return FALSE;
    std::lock_guard<std::mutex> lock(g_mx);
    return Classes().erase(ClassKey(lpClassName, hInstance)) ? TRUE : FALSE;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR lpCursorName) {
    // The X server's own arrow is used; the handle only says which cursor.
    return lpCursorName == IDC_ARROW ? reinterpret_cast<HCURSOR>(uintptr_t(32512)) : nullptr;
}

HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                     LPVOID lpParam) {
    WNDCLASSA wc;
    if (!GetClassInfoA(hInstance, lpClassName, &wc)) return nullptr;
    Display* d = AcquireDisplay();
    if (!d) return nullptr;
    if (X == CW_USEDEFAULT) X = 0;
    if (Y == CW_USEDEFAULT) Y = 0;
    if (nWidth == CW_USEDEFAULT || nWidth < 1) nWidth = nWidth == CW_USEDEFAULT ? 640 : 1;
    if (nHeight == CW_USEDEFAULT || nHeight < 1) nHeight = nHeight == CW_USEDEFAULT ? 480 : 1;
    nWidth = std::min(nWidth, 32767);
    nHeight = std::min(nHeight, 32767);

    auto* w = new WinData;
    w->pDisplay = d;
    w->nThreadId = GetCurrentThreadId();
    w->lpfnWndProc = wc.lpfnWndProc;
    w->dwStyle = dwStyle & ~WS_VISIBLE;
    w->dwExStyle = dwExStyle;
    w->rcWindow = {X, Y, X + nWidth, Y + nHeight};
    w->nFrame = (dwStyle & WS_BORDER) && nWidth > 2 && nHeight > 2 ? 1 : 0;
    w->extra.assign(size_t(wc.cbWndExtra), '\0');
    w->client.Reset(nWidth - 2 * w->nFrame, nHeight - 2 * w->nFrame, 0xFFFFFF);
    w->rcUpdate = {0, 0, w->client.nWidth, w->client.nHeight};

    const int nScreen = DefaultScreen(d);
    const ::Window root = RootWindow(d, nScreen);
    w->pixmap = XCreatePixmap(d, root, unsigned(nWidth), unsigned(nHeight), unsigned(DefaultDepth(d, nScreen)));
    w->gc = XCreateGC(d, w->pixmap, 0, nullptr);
    XSetForeground(d, w->gc, WhitePixel(d, nScreen));
    XFillRectangle(d, w->pixmap, w->gc, 0, 0, unsigned(nWidth), unsigned(nHeight));
    if (w->nFrame) {
        XSetForeground(d, w->gc, BlackPixel(d, nScreen));
        XDrawRectangle(d, w->pixmap, w->gc, 0, 0, unsigned(nWidth - 1), unsigned(nHeight - 1));
    }
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = w->pixmap;
    w->xid = XCreateWindow(d, root, X, Y, unsigned(nWidth), unsigned(nHeight), 0, CopyFromParent, InputOutput,
                           CopyFromParent, CWBackPixmap, &attributes);

    // Placed and sized by the program, not the window manager; a popup has
    // no frame, a tool window no taskbar entry.
    XSizeHints* pHints = XAllocSizeHints();
    if (pHints) {
        pHints->flags = USPosition | USSize | PMinSize | PMaxSize;
        pHints->x = X;
        pHints->y = Y;
        pHints->width = pHints->min_width = pHints->max_width = nWidth;
        pHints->height = pHints->min_height = pHints->max_height = nHeight;
        XSetWMNormalHints(d, w->xid, pHints);
        XFree(pHints);
    }
    XStoreName(d, w->xid, lpWindowName ? lpWindowName : "");
    if (dwStyle & WS_POPUP) {
        long motif[5] = {2 /* decorations */, 0, 0, 0, 0};
        Atom a = XInternAtom(d, "_MOTIF_WM_HINTS", False);
        XChangeProperty(d, w->xid, a, a, 32, PropModeReplace, reinterpret_cast<unsigned char*>(motif), 5);
    }
    if (dwExStyle & WS_EX_TOOLWINDOW) {
        const char* type[] = {"_NET_WM_WINDOW_TYPE_UTILITY"};
        SetAtomList(d, w->xid, "_NET_WM_WINDOW_TYPE", type, 1);
        const char* state[] = {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"};
        SetAtomList(d, w->xid, "_NET_WM_STATE", state, 2);
    }
    XFlush(d);

    {
        std::lock_guard<std::mutex> lock(g_mx);
        Windows()[w->xid] = w;
    }
    ++t_display.nWindows;

    HWND hWnd = HandleOf(w->xid);
    CREATESTRUCTA cs{};
    cs.lpCreateParams = lpParam;
    cs.hInstance = hInstance;
    cs.hMenu = hMenu;
    cs.hwndParent = hWndParent;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.x = X;
    cs.y = Y;
    cs.style = LONG(dwStyle);
    cs.lpszName = lpWindowName;
    cs.lpszClass = lpClassName;
    cs.dwExStyle = dwExStyle;
    if (Send(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hWnd);
        return nullptr;
    }
    if (!IsWindow(hWnd)) return nullptr;
    Send(w, WM_SIZE, SIZE_RESTORED, LPARAM(w->client.nWidth) | (LPARAM(w->client.nHeight) << 16));
    if (dwStyle & WS_VISIBLE) ShowWindow(hWnd, SW_SHOW);
    return hWnd;
}

BOOL DestroyWindow(HWND hWnd) {
    WinData* w = OwnWindow(hWnd);
    if (!w || w->bDestroying) return FALSE;
    w->bDestroying = true;
    Send(w, WM_DESTROY, 0, 0);
    Send(w, WM_NCDESTROY, 0, 0);
    {
        std::lock_guard<std::mutex> lock(g_mx);
        Windows().erase(w->xid);
        auto it = Queues().find(w->nThreadId);
        if (it != Queues().end()) {
            auto& q = it->second;
            for (auto m = q.begin(); m != q.end();) m = m->hwnd == hWnd ? q.erase(m) : m + 1;
        }
    }
    Display* d = w->pDisplay;
    XDestroyWindow(d, w->xid);
    XFreeGC(d, w->gc);
    XFreePixmap(d, w->pixmap);
    XSync(d, False);
    delete w;
    if (--t_display.nWindows == 0) t_display.Close();
    return TRUE;
}

BOOL IsWindow(HWND hWnd) {
    std::lock_guard<std::mutex> lock(g_mx);
    auto it = Windows().find(reinterpret_cast<uintptr_t>(hWnd));
    return it != Windows().end() && !it->second->bDestroying;
}

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM, LPARAM) {
    switch (Msg) {
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_PAINT: {
        // Validates a window its procedure left unpainted.
        WinData* w = OwnWindow(hWnd);
        PAINTSTRUCT ps;
        if (w && w->bInvalid && BeginPaint(hWnd, &ps)) EndPaint(hWnd, &ps);
        return 0;
    }
    default:
        return 0;
    }
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WinData* w = OwnWindow(hWnd);
    return w ? Send(w, Msg, wParam, lParam) : 0;
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    std::lock_guard<std::mutex> lock(g_mx);
    auto it = Windows().find(reinterpret_cast<uintptr_t>(hWnd));
    if (it == Windows().end()) return FALSE;
    MSG msg{};
    msg.hwnd = hWnd;
    msg.message = Msg;
    msg.wParam = wParam;
    msg.lParam = lParam;
    Queues()[it->second->nThreadId].push_back(msg);
    return TRUE;
}

BOOL PeekMessageA(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    if (!lpMsg) return FALSE;
    std::lock_guard<std::mutex> lock(g_mx);
    auto it = Queues().find(GetCurrentThreadId());
    if (it == Queues().end()) return FALSE;
    auto& q = it->second;
    for (auto m = q.begin(); m != q.end(); ++m) {
        if (hWnd && m->hwnd != hWnd) continue;
        if ((wMsgFilterMin || wMsgFilterMax) && (m->message < wMsgFilterMin || m->message > wMsgFilterMax))
            continue;
        *lpMsg = *m;
        if (wRemoveMsg & PM_REMOVE) q.erase(m);
        if (q.empty()) Queues().erase(it);
        return TRUE;
    }
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
    if (!lpMsg) return 0;
    WinData* w = OwnWindow(lpMsg->hwnd);
    return w ? Send(w, lpMsg->message, lpMsg->wParam, lpMsg->lParam) : 0;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    WinData* w = OwnWindow(hWnd);
    if (!w) return FALSE;
    BOOL bWasVisible = w->bVisible ? TRUE : FALSE;
    w->bVisible = nCmdShow != SW_HIDE;
    if (w->bVisible)
        XMapRaised(w->pDisplay, w->xid);
    else
        XUnmapWindow(w->pDisplay, w->xid);
    XFlush(w->pDisplay);
    return bWasVisible;
}

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL) {
    WinData* w = OwnWindow(hWnd);
    if (!w) return FALSE;
    RECT rc = lpRect ? *lpRect : RECT{0, 0, w->client.nWidth, w->client.nHeight};
    if (w->bInvalid) {
        w->rcUpdate.left = std::min(w->rcUpdate.left, rc.left);
        w->rcUpdate.top = std::min(w->rcUpdate.top, rc.top);
        w->rcUpdate.right = std::max(w->rcUpdate.right, rc.right);
        w->rcUpdate.bottom = std::max(w->rcUpdate.bottom, rc.bottom);
    } else {
        w->rcUpdate = rc;
    }
    w->bInvalid = true;
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
    WinData* w = OwnWindow(hWnd);
    if (!w) return FALSE;
    if (w->bInvalid) Send(w, WM_PAINT, 0, 0);
    return TRUE;
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint) {
    WinData* w = OwnWindow(hWnd);
    if (!w || !lpPaint) return nullptr;
    std::memset(lpPaint, 0, sizeof(*lpPaint));
    lpPaint->rcPaint = w->bInvalid ? w->rcUpdate : RECT{0, 0, 0, 0};
    w->bInvalid = false;
    lpPaint->hdc = gdi::CreateSurfaceDC(&w->client);
    return lpPaint->hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    WinData* w = OwnWindow(hWnd);
    if (!lpPaint || !lpPaint->hdc) return FALSE;
    gdi::DeleteSurfaceDC(lpPaint->hdc);
    if (!w) return FALSE;
    Present(w);
    return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    if (!lpRect) return FALSE;
    {
        std::lock_guard<std::mutex> lock(g_mx);
        auto it = Windows().find(reinterpret_cast<uintptr_t>(hWnd));
        if (it != Windows().end()) {
            *lpRect = {0, 0, it->second->client.nWidth, it->second->client.nHeight};
            return TRUE;
        }
    }
    // Another X window: the desktop, or a window of another toolkit.
    uintptr_t xid = reinterpret_cast<uintptr_t>(hWnd);
    if (xid == 0 || xid > 0x1FFFFFFF) return FALSE;
    Display* d = AcquireDisplay();
    if (!d) return FALSE;
    XWindowAttributes a{};
    Status ok = 0;
    bool bFailed = Trapped(d, [&] { ok = XGetWindowAttributes(d, ::Window(xid), &a); });
    ReleaseDisplay();
    if (bFailed || !ok) return FALSE;
    *lpRect = {0, 0, a.width, a.height};
    return TRUE;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
    if (!lpRect) return FALSE;
    std::lock_guard<std::mutex> lock(g_mx);
    auto it = Windows().find(reinterpret_cast<uintptr_t>(hWnd));
    if (it == Windows().end()) return FALSE;
    *lpRect = it->second->rcWindow;
    return TRUE;
}

static LONG_PTR* WindowLong(WinData* w, int nIndex, size_t nSize) {
    if (nIndex == GWLP_USERDATA) return &w->nUserData;
    if (nIndex < 0 || size_t(nIndex) + nSize > w->extra.size()) return nullptr;
    return reinterpret_cast<LONG_PTR*>(&w->extra[size_t(nIndex)]);
}

LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex) {
    std::lock_guard<std::mutex> lock(g_mx);
    auto it = Windows().find(reinterpret_cast<uintptr_t>(hWnd));
    if (it == Windows().end()) return 0;
    LONG_PTR* p = WindowLong(it->second, nIndex, sizeof(LONG_PTR));
    LONG_PTR v = 0;
    if (p) std::memcpy(&v, p, sizeof v);
    return v;
}

LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    std::lock_guard<std::mutex> lock(g_mx);
    auto it = Windows().find(reinterpret_cast<uintptr_t>(hWnd));
    if (it == Windows().end()) return 0;
    LONG_PTR* p = WindowLong(it->second, nIndex, sizeof(LONG_PTR));
    LONG_PTR v = 0;
    if (p) {
        std::memcpy(&v, p, sizeof v);
        std::memcpy(p, &dwNewLong, sizeof dwNewLong);
    }
    return v;
}

LONG GetWindowLongA(HWND hWnd, int nIndex) {
    std::lock_guard<std::mutex> lock(g_mx);
    auto it = Windows().find(reinterpret_cast<uintptr_t>(hWnd));
    if (it == Windows().end()) return 0;
    LONG_PTR* p = WindowLong(it->second, nIndex, sizeof(LONG));
    LONG v = 0;
    if (p) std::memcpy(&v, p, sizeof v);
    return v;
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
    std::lock_guard<std::mutex> lock(g_mx);
    auto it = Windows().find(reinterpret_cast<uintptr_t>(hWnd));
    if (it == Windows().end()) return 0;
    LONG_PTR* p = WindowLong(it->second, nIndex, sizeof(LONG));
    LONG v = 0;
    if (p) {
        std::memcpy(&v, p, sizeof v);
        if (nIndex == GWLP_USERDATA)
            *p = dwNewLong;
        else
            std::memcpy(p, &dwNewLong, sizeof dwNewLong);
    }
    return v;
}

HWND GetDesktopWindow() {
    Display* d = AcquireDisplay();
    if (!d) return nullptr;
    HWND h = HandleOf(DefaultRootWindow(d));
    ReleaseDisplay();
    return h;
}

// Raises an X window of any client; false when the handle names none.
static bool Raise(HWND hWnd, bool bActivate) {
    uintptr_t xid = reinterpret_cast<uintptr_t>(hWnd);
    if (xid == 0 || xid > 0x1FFFFFFF) return false;
    Display* d = AcquireDisplay();
    if (!d) return false;
    XWindowAttributes a{};
    bool bFailed = Trapped(d, [&] { XGetWindowAttributes(d, ::Window(xid), &a); });
    if (!bFailed) {
        Trapped(d, [&] {
            XRaiseWindow(d, ::Window(xid));
            if (bActivate) {
                XEvent e{};
                e.xclient.type = ClientMessage;
                e.xclient.window = ::Window(xid);
                e.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
                e.xclient.format = 32;
                e.xclient.data.l[0] = 1;  // a request from an application
                e.xclient.data.l[1] = CurrentTime;
                XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
            }
        });
    }
    ReleaseDisplay();
    return !bFailed;
}

BOOL BringWindowToTop(HWND hWnd) { return Raise(hWnd, false) ? TRUE : FALSE; }
BOOL SetForegroundWindow(HWND hWnd) { return Raise(hWnd, true) ? TRUE : FALSE; }
