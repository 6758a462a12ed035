// The synchronization run started from the main window.
#include "app/ui/Main.h"

void TfmMain::SyncNow() {}

void TfmMain::Synchronize(int nMode) { (void)nMode; }
