// The dialogs opened from the main window: contact details, options, the
// first-run wizard and the about box.
#include "app/ui/Main.h"

#include <QTreeWidget>

#include "app/ui/About.h"
#include "app/ui/Addrdetail.h"
#include "app/ui/Option.h"
#include "app/ui/Wizard.h"

namespace {

// The detail view for the selected row's record; nothing without one.
void ShowAddrDetail(QWidget* pOwner, QTreeWidget* pList) {
    const QList<QTreeWidgetItem*> selected = pList->selectedItems();
    if (selected.isEmpty()) return;
    const CommAddr* pAddr = TfmMain::GetRowAddr(selected.first());
    if (pAddr == nullptr) return;
    TfmAddrDetail dlg(pOwner);
    dlg.SetAddr(pAddr);
    dlg.exec();
}

}  // namespace

void TfmMain::lvWabAddrDblClick() { ShowAddrDetail(this, GetWabList()); }

void TfmMain::lvOLAddrDblClick() { ShowAddrDetail(this, GetOlList()); }

void TfmMain::miToolOptionsClick() {
    TfmOption dlg(this);
    dlg.ExchangeData(false);
    if (dlg.exec() == QDialog::Accepted) ReloadContacts();
}

bool TfmMain::RunWizard(bool bShow) {
    if (!bShow) return true;
    TfmWizard dlg(this);
    return dlg.exec() == QDialog::Accepted;
}

void TfmMain::miHelpAboutClick() {
    TfmAbout dlg(this);
    dlg.exec();
}
