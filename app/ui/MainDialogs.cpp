// The dialogs opened from the main window: contact details, options, the
// first-run wizard and the about box.
#include "app/ui/Main.h"

void TfmMain::lvWabAddrDblClick() {}

void TfmMain::lvOLAddrDblClick() {}

void TfmMain::miToolOptionsClick() {}

bool TfmMain::RunWizard(bool bShow) {
    (void)bShow;
    return false;
}

void TfmMain::miHelpAboutClick() {}
