// The wait window: a small borderless popup with a status text, the elapsed
// time and a growing bar of blocks, shown while the program loads its
// contacts at start-up. It runs on a thread of its own, which creates, paints
// and destroys the window, so it keeps moving whatever the main thread does.
//
// The main thread talks to it only through StartWaitWindow, SetWaitText and
// CloseWaitWindow. Without a display (or when the window cannot be made)
// there is simply no window; the three calls still work and the load goes on.
#pragma once

#include "platform/gdi/WinUser.h"

#include <mutex>

#define TIMER_TICK 10000

// The program's module instance; the main window sets it when it is created.
// The wait window's class is registered with it.
extern HINSTANCE g_hInstance;

class CxCommWaitWindow {
public:
    CxCommWaitWindow();
    // Closes the event and deletes the fonts.
    virtual ~CxCommWaitWindow();
    CxCommWaitWindow(const CxCommWaitWindow&) = delete;
    CxCommWaitWindow& operator=(const CxCommWaitWindow&) = delete;

    // Makes the close event and the two fonts; the window procedure calls it
    // for WM_CREATE.
    virtual void OnCreate();
    // Paints the window through an off-screen bitmap.
    virtual void OnPaint();
    virtual void OnSize(UINT nType, int cx, int cy);
    // TIMER_TICK: one more tick, and the window is repainted at once.
    virtual void OnTimer(UINT nIdEvent);

    // Registers the class, creates the window (no parent; pRect none: 480 ×
    // 150 in the middle of the desktop), shows and paints it. FALSE when the
    // class or the window cannot be made.
    BOOL Create(HWND hParent, const RECT* pRect);

    // Draws the whole client area rc on hdc: white, the text line, the
    // elapsed time and the block bar.
    void PaintContents(HDC hdc, const RECT& rc);

    // Replaces the status text (cut to 1023 bytes, never inside a UTF-8
    // character); any thread may call it while the window paints.
    void SetText(const char* szText);

    HANDLE m_hEvent;        // auto-reset; signalled to ask the window to close
    HWND m_hWnd;
    char m_szText[1024];    // the status text; SetText writes it, under m_mxText
    DWORD m_nTicks;         // 100-millisecond ticks seen
    HFONT m_hFontBold;      // "Verdana", -11, bold
    HFONT m_hFontNormal;    // "Verdana", -11, normal
    DWORD m_nElapsed;       // milliseconds shown

private:
    std::mutex m_mxText;    // a paint sees a whole text, the old or the new
};

// The live wait window, none when there is none. The wait thread sets and
// clears it under the wait window's lock; other code uses the functions below.
extern CxCommWaitWindow* g_pWaitWindow;

// Registers the "CommWaitWindow" class once per process.
BOOL RegisterWaitWindowClass();
LRESULT WaitWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
// The wait thread's routine; lpParam is what StartWaitWindow prepared.
DWORD WaitWindowThread(LPVOID lpParam);

// Starts the wait thread, which shows the window and, once it has closed,
// brings hWndMain to the front (a handle that is not an X window, or none,
// is ignored). FALSE when the thread cannot be created, or while an earlier
// wait window is still running.
BOOL StartWaitWindow(HWND hWndMain);

// Sets the status text; it is shown within 100 milliseconds. A text given
// before the window has come up is shown when it does. A null text is ignored.
void SetWaitText(const char* szText);

// Asks the wait window to close, also one that has not come up yet (it then
// never shows), and waits for the wait thread to end: the window, its display
// connection and the object are gone when this returns true. False only when
// the thread did not end within two seconds; it then still ends by itself.
bool CloseWaitWindow();
