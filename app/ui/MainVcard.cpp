// vCard import and export from the main window's File menu.
#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <exception>

#include "app/VCardTransfer.h"
#include "app/ui/Dump.h"
#include "app/ui/Main.h"
#include "app/ui/UiSeams.h"
#include "common/misc/CxDebugUtil.h"

namespace {

const char* const kFilters = "vCard Files (*.vcf *.vcard);;All Files (*)";

// The hourglass for as long as the transfer runs, however it ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QString StoreName(int nStore) { return QString::fromLatin1(VCardTransfer::StoreName(nStore)); }

void ShowError(TfmMain* pMain, const QString& sText) {
    CxMessageBox::Show(pMain, CxMessageBox::Error, QStringLiteral("Error"), sText);
}

void ReportFailure(TfmMain* pMain, const char* szWhat) {
    g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__, "vCard transfer stopped by an exception: %s", szWhat);
    ShowErrorReport(pMain);
}

}  // namespace

void TfmMain::miFileImportWabClick() { ImportVCard(VCARD_STORE_WAB); }
void TfmMain::miFileImportOutlookClick() { ImportVCard(VCARD_STORE_OUTLOOK); }
void TfmMain::miFileExportWabClick() { ExportVCard(VCARD_STORE_WAB); }
void TfmMain::miFileExportOutlookClick() { ExportVCard(VCARD_STORE_OUTLOOK); }

void TfmMain::ImportVCard(int nStore) {
    const bool bWab = nStore == VCARD_STORE_WAB;
    // A store whose read failed shows an empty list: importing into it would
    // add every contact again beside the ones it already holds.
    const bool bReadable = bWab ? m_pWabStore != nullptr && !m_bWabFailed : m_pOlStore != nullptr && !m_bOlFailed;
    if (!bReadable) {
        ShowError(this, QStringLiteral("The %1 contacts could not be read, so nothing can be imported into them.")
                            .arg(StoreName(nStore)));
        return;
    }
    const QString sPath = CxFileDialog::GetOpenFileName(
        this, QStringLiteral("Import vCard into %1").arg(StoreName(nStore)), QString(), QString::fromLatin1(kFilters));
    if (sPath.isEmpty()) return;

    VCardImportResult result;
    bool bImported = false;
    try {
        BusyCursor busy;
        SetProgress(0);
        ShowProgress(true);
        VCardTransfer transfer(m_pWabStore, m_pOlStore);
        bImported = transfer.Import(sPath.toUtf8().constData(), nStore, result,
                                    [this](int nPercent) { SetProgress(nPercent); });
        ShowProgress(false);
        if (bImported) RefreshAfterRun();
    } catch (const std::exception& e) {
        ShowProgress(false);
        ReportFailure(this, e.what());
        return;
    } catch (...) {
        ShowProgress(false);
        ReportFailure(this, "unknown");
        return;
    }
    if (!bImported) {
        ShowError(this, QString::fromStdString(result.szError) + QStringLiteral("\r\n\r\nNothing was imported."));
        return;
    }
    const QString sReport = QString::fromStdString(VCardTransfer::ReportText(result, nStore));
    if (result.nFailed > 0)
        ShowError(this, sReport);
    else
        CxMessageBox::Show(this, CxMessageBox::Information, QStringLiteral("Information"), sReport);
}

void TfmMain::ExportVCard(int nStore) {
    const bool bWab = nStore == VCARD_STORE_WAB;
    // A store whose read failed shows an empty list, not its contacts.
    const bool bReadable = bWab ? m_pWabStore != nullptr && !m_bWabFailed : m_pOlStore != nullptr && !m_bOlFailed;
    if (!bReadable) {
        ShowError(this, QStringLiteral("The %1 contacts could not be read, so there is nothing to export.")
                            .arg(StoreName(nStore)));
        return;
    }
    const QString sPath = CxFileDialog::GetSaveFileName(
        this, QStringLiteral("Export %1 Contacts to vCard").arg(StoreName(nStore)),
        QStringLiteral("%1 Contacts.vcf").arg(StoreName(nStore)), QString::fromLatin1(kFilters));
    if (sPath.isEmpty()) return;

    std::string sError;
    int nCount = 0;
    bool bWritten = false;
    {
        BusyCursor busy;
        VCardTransfer transfer(m_pWabStore, m_pOlStore);
        bWritten = transfer.Export(nStore, sPath.toUtf8().constData(), sError, &nCount);
    }
    const QString sName = QFileInfo(sPath).fileName();
    if (!bWritten) {
        ShowError(this, QStringLiteral("The contacts could not be written to \"%1\": %2.")
                            .arg(sName, QString::fromStdString(sError)));
        return;
    }
    CxMessageBox::Show(this, CxMessageBox::Information, QStringLiteral("Information"),
                       QStringLiteral("%1 %2 contacts exported to \"%3\".").arg(nCount).arg(StoreName(nStore), sName));
}
