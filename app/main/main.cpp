// Pellmark's entry routine: COM on the main thread as a single-threaded
// apartment, the application object, then the main window's run (start-up,
// message loop, close).
#include <QApplication>

#include "app/ui/MainEntry.h"
#include "platform/com/ComApi.h"

int main(int argc, char** argv) {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int nResult;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Pellmark"));
        nResult = RunMainWindow();
    }
    if (SUCCEEDED(hr)) CoUninitialize();
    return nResult;
}
