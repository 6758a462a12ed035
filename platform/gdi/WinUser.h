// Windows over Xlib. Each thread that creates windows gets its own display
// connection (the one DISPLAY names), held while the thread has windows and
// closed with its last one or when the thread ends. A window handle is the X
// window id, so a handle from another toolkit (a Qt window's id) can be
// raised too. Window procedures run on the thread that created the window;
// there is no message loop: UpdateWindow paints at once, and messages posted
// to a window wait until its thread calls PeekMessageA.
// Without a display no window can be created.
#pragma once

#include "platform/gdi/WinGdi.h"

typedef intptr_t LRESULT;
typedef WORD ATOM;
typedef struct HICON__* HICON;
typedef HICON HCURSOR;
typedef struct HMENU__* HMENU;
typedef LRESULT (*WNDPROC)(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_SIZE 0x0005
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_NCDESTROY 0x0082
#define WM_USER 0x0400

#define SIZE_RESTORED 0

#define WS_POPUP 0x80000000u
#define WS_VISIBLE 0x10000000u
#define WS_BORDER 0x00800000u
#define WS_EX_TOOLWINDOW 0x00000080u

#define CW_USEDEFAULT ((int)0x80000000)
#define SW_HIDE 0
#define SW_SHOW 5

// Window data: the user data is pointer-sized (the 32-bit forms cut it).
#define GWL_USERDATA (-21)
#define GWLP_USERDATA (-21)

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

#define MAKEINTRESOURCEA(i) ((LPCSTR)(uintptr_t)(WORD)(i))
#define IDC_ARROW MAKEINTRESOURCEA(32512)

// Classes are per process, found by name (case-blind) and instance.
ATOM RegisterClassA(const WNDCLASSA* lpWndClass);
BOOL GetClassInfoA(HINSTANCE hInstance, LPCSTR lpClassName, WNDCLASSA* lpWndClass);
BOOL UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance);
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);

// Creates a top-level window; WM_CREATE (with the CREATESTRUCTA) and WM_SIZE
// reach its procedure before it returns. With WS_BORDER the client area is
// the window less a one-pixel frame. Returns none without a display, for an
// unknown class, or when WM_CREATE returns -1. Parent and menu are ignored.
HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                     int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                     HINSTANCE hInstance, LPVOID lpParam);
// Sends WM_DESTROY and WM_NCDESTROY, then removes the window. Owner thread only.
BOOL DestroyWindow(HWND hWnd);
BOOL IsWindow(HWND hWnd);
// WM_CLOSE destroys the window, WM_PAINT validates it; otherwise 0.
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Queues the message for the window's thread; any thread may post.
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Takes the calling thread's next posted message (for hWnd, or any when none;
// a filter range of 0, 0 takes all). FALSE when there is none; never waits.
BOOL PeekMessageA(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
LRESULT DispatchMessageA(const MSG* lpMsg);

BOOL ShowWindow(HWND hWnd, int nCmdShow);  // returns whether it was visible
// Marks the window for painting (the rectangle, or the whole client area).
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
// Sends WM_PAINT at once when the window is marked for painting.
BOOL UpdateWindow(HWND hWnd);
HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint);
// Shows what was drawn since BeginPaint.
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);

// Client rectangle (0, 0, width, height); of the desktop: the screen's size.
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
LONG GetWindowLongA(HWND hWnd, int nIndex);
LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong);
LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex);
LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong);

// The root window of the display, none without a display.
HWND GetDesktopWindow();
// Raises the X window; a handle that is not an X window is ignored (FALSE).
BOOL BringWindowToTop(HWND hWnd);
// Raises the X window and asks the window manager to activate it.
BOOL SetForegroundWindow(HWND hWnd);
