#include "app/ui/MainEntry.h"

#include <QApplication>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

#include "app/Apputil.h"
#include "app/ui/Main.h"
#include "app/ui/UiSeams.h"

namespace {

// Closes the window after the delay PELLMARK_SMOKE_CLOSE_MS names, first
// telling how many rows each list shows.
void ScheduleSmokeClose(TfmMain* pForm) {
    const char* szDelay = getenv("PELLMARK_SMOKE_CLOSE_MS");
    if (szDelay == nullptr || *szDelay == '\0') return;
    QTimer::singleShot(atoi(szDelay), pForm, [pForm]() {
        printf("pellmark: main window shown, WAB rows %d, Outlook rows %d\n",
               pForm->isVisible() ? pForm->GetWabList()->topLevelItemCount() : -1,
               pForm->isVisible() ? pForm->GetOlList()->topLevelItemCount() : -1);
        fflush(stdout);
        pForm->close();
    });
}

void ShowExceptionBox(TfmMain* pForm, const QString& sText) {
    CxMessageBox::Show(pForm, CxMessageBox::Error, QStringLiteral("Pellmark"), sText);
}

}  // namespace

int RunMainWindow(TfmMain* (*pfnCreate)()) {
    std::unique_ptr<TfmMain> pForm;
    try {
        pForm.reset(pfnCreate != nullptr ? pfnCreate() : new TfmMain());
        pForm->RunWizard(g_Settings.ShowWizard);
        pForm->StartupLoad();
        pForm->show();
        ScheduleSmokeClose(pForm.get());
        QApplication::exec();
    } catch (const std::exception& e) {
        ShowExceptionBox(pForm.get(), QString::fromUtf8(e.what()));
    } catch (...) {
        ShowExceptionBox(pForm.get(), QString());
    }
    pForm.reset();
    return 0;
}
