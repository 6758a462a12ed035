// The program's run around the main window, from its creation to its close.
#pragma once

class TfmMain;

// With the application object made: creates the main window (by pfnCreate
// when given, as a test does), runs RunWizard with ShowWizard and
// StartupLoad, shows the window, runs the message loop until it closes and
// destroys it (which saves the settings). An exception that escapes is
// shown in a message box and with the error report (the latter only when
// the main window exists). Returns 0.
//
// With PELLMARK_SMOKE_CLOSE_MS=n in the environment (a test and CI use it),
// n milliseconds after the window is shown one line goes to standard output,
// "pellmark: main window shown, WAB rows R, Outlook rows S", and the window
// is closed through its normal path, as the Exit button does.
int RunMainWindow(TfmMain* (*pfnCreate)() = nullptr);
