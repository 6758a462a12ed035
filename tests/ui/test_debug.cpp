// The debug settings dialog and the error report.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "app/ui/ClickLabel.h"
#include "app/ui/Debug.h"
#include "app/ui/Dump.h"
#include "app/ui/UiSeams.h"
#include "common/misc/CxDebugUtil.h"
#include "fixtures/DlgTestEnv.h"
#include "support/ModalDriver.h"

using DebugDialogTest = DlgTestEnv;

TEST_F(DebugDialogTest, LevelListOpensOnTheSettingsEntryAndOkStoresItsValue) {
    struct Case {
        int nSetting;
        int nIndex;
        int nStored;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{1, 1, 1}, Case{2, 2, 3}, Case{3, 2, 3}, Case{-5, 2, 3}}) {
        g_Settings.LogLevel = c.nSetting;
        g_Settings.EnableDebug = false;
        g_DebugUtil.Enable(false);
        bool bRan = false;
        int nIndexShown = -1;
        OnNextModal<TfmDebug>(
            [&](TfmDebug* pDlg) {
                nIndexShown = pDlg->cbxLevel->currentIndex();
                pDlg->cbEnable->setChecked(true);
                pDlg->btnOK->click();
            },
            &bRan);
        EXPECT_EQ(QDialog::Accepted, ShowDebugDialog(nullptr));
        ASSERT_TRUE(bRan);
        EXPECT_EQ(c.nIndex, nIndexShown) << c.nSetting;
        EXPECT_EQ(c.nStored, g_Settings.LogLevel) << c.nSetting;
        EXPECT_TRUE(g_Settings.EnableDebug);
        EXPECT_EQ(c.nStored, g_DebugUtil.GetLevel());  // the running log takes it at once
        EXPECT_TRUE(g_DebugUtil.IsEnabled());
    }
}

TEST_F(DebugDialogTest, LevelEntriesCarryTheirValues) {
    TfmDebug dlg;
    ASSERT_EQ(3, dlg.cbxLevel->count());
    EXPECT_EQ("Critical - Only log critical error information.", dlg.cbxLevel->itemText(0));
    EXPECT_EQ("High - Log high level debug information.", dlg.cbxLevel->itemText(1));
    EXPECT_EQ("Low - Log very detail debug information.", dlg.cbxLevel->itemText(2));
    EXPECT_EQ(0, dlg.cbxLevel->itemData(0).toInt());
    EXPECT_EQ(1, dlg.cbxLevel->itemData(1).toInt());
    EXPECT_EQ(3, dlg.cbxLevel->itemData(2).toInt());
    EXPECT_EQ("Pellmark Debug Log Options", dlg.windowTitle());
}

TEST_F(DebugDialogTest, CancelAndCloseChangeNothing) {
    g_Settings.EnableDebug = true;
    g_Settings.LogLevel = 1;
    g_DebugUtil.Enable(true);
    g_DebugUtil.SetLevel(1);
    for (bool bClose : {false, true}) {
        bool bRan = false;
        OnNextModal<TfmDebug>(
            [&](TfmDebug* pDlg) {
                pDlg->cbEnable->setChecked(false);
                pDlg->cbxLevel->setCurrentIndex(0);
                if (bClose)
                    pDlg->close();
                else
                    pDlg->btnCancel->click();
            },
            &bRan);
        EXPECT_EQ(QDialog::Rejected, ShowDebugDialog(nullptr));
        ASSERT_TRUE(bRan);
        EXPECT_TRUE(g_Settings.EnableDebug);
        EXPECT_EQ(1, g_Settings.LogLevel);
        EXPECT_TRUE(g_DebugUtil.IsEnabled());
        EXPECT_EQ(1, g_DebugUtil.GetLevel());
    }
}

// Both dialogs show and open the log folder and file the same way.
template <typename T>
class LogPathsTest : public DlgTestEnv {};
using LogDialogs = ::testing::Types<TfmDebug, TfmDump>;
TYPED_TEST_SUITE(LogPathsTest, LogDialogs);

TYPED_TEST(LogPathsTest, PathBoxesOpenTheFolderAndTheFileOnlyWhenItExists) {
    TypeParam dlg;
    const std::string szFolder = this->DataFolder();
    EXPECT_EQ(QString::fromStdString(szFolder), dlg.edtFolder->text());
    EXPECT_EQ(QString::fromStdString(szFolder + "appdebug.log"), dlg.edtFile->text());
    EXPECT_TRUE(dlg.edtFolder->isReadOnly());
    EXPECT_TRUE(dlg.edtFile->isReadOnly());

    dlg.btnFolder->click();
    ASSERT_EQ(1u, this->ShellCalls().size());
    EXPECT_EQ(szFolder, this->ShellCalls()[0]);

    CxMessageBox::setNextAnswer(QMessageBox::Ok);
    dlg.btnFile->click();  // no log written yet
    EXPECT_EQ(1u, this->ShellCalls().size());
    ASSERT_EQ(1u, CxMessageBox::shown().size());
    EXPECT_EQ("Error", CxMessageBox::shown()[0].szCaption);
    EXPECT_EQ("Debug log file doesn't exist", CxMessageBox::shown()[0].szText);
    EXPECT_EQ(CxMessageBox::Information, CxMessageBox::shown()[0].nIcon);

    std::ofstream(szFolder + "appdebug.log") << "line\n";
    dlg.btnFile->click();
    ASSERT_EQ(2u, this->ShellCalls().size());
    EXPECT_EQ(szFolder + "appdebug.log", this->ShellCalls()[1]);
    EXPECT_EQ(1u, CxMessageBox::shown().size());

    QTest::mouseClick(dlg.imgText, Qt::LeftButton);
    ASSERT_EQ(3u, this->ShellCalls().size());
    EXPECT_EQ(PELLMARK_WEB_PAGE_URL, this->ShellCalls()[2]);
}

TYPED_TEST(LogPathsTest, WithoutADataFolderTheBoxesStayEmptyAndTheButtonsOff) {
    this->BreakDataHome();
    TypeParam dlg;
    EXPECT_TRUE(dlg.edtFolder->text().isEmpty());
    EXPECT_TRUE(dlg.edtFile->text().isEmpty());
    EXPECT_FALSE(dlg.btnFolder->isEnabled());
    EXPECT_FALSE(dlg.btnFile->isEnabled());
    dlg.btnFolder->click();
    dlg.btnFile->click();
    EXPECT_TRUE(this->ShellCalls().empty());
    EXPECT_TRUE(CxMessageBox::shown().empty());
}

namespace {

// Stands for the main window: counts the close requests its close handler
// sees, as the real one saves the settings there.
class FakeMain : public QMainWindow {
public:
    int nCloseEvents = 0;

protected:
    void closeEvent(QCloseEvent* pEvent) override {
        ++nCloseEvents;
        pEvent->accept();
    }
};

}  // namespace

using ErrorReportTest = DlgTestEnv;

TEST_F(ErrorReportTest, ShowsTheApologyAndMailsSupportWithTheSubject) {
    TfmDump dlg;
    EXPECT_EQ("Handle Pellmark Exception", dlg.windowTitle());
    EXPECT_EQ("We're sorry that an unhandled exception occurred in Pellmark. ", dlg.Label1->text());
    EXPECT_EQ("Please contact us at:", dlg.Label2->text());
    EXPECT_EQ(PELLMARK_SUPPORT_EMAIL, dlg.lblSupport->text());
    EXPECT_TRUE(dlg.lblSupport->font().underline());
    EXPECT_EQ(Qt::PointingHandCursor, dlg.lblSupport->cursor().shape());
    QTest::mouseClick(dlg.lblSupport, Qt::LeftButton);
    ASSERT_EQ(1u, ShellCalls().size());
    EXPECT_EQ("mailto:" PELLMARK_SUPPORT_EMAIL "?subject=Pellmark Error Report", ShellCalls()[0]);
}

TEST_F(ErrorReportTest, ExitProgramNowClosesTheMainWindowThroughItsCloseHandler) {
    FakeMain wndMain;
    wndMain.show();
    bool bRan = false;
    OnNextModal<TfmDump>([](TfmDump* pDlg) { pDlg->btnExit->click(); }, &bRan);
    ShowErrorReport(&wndMain);
    ASSERT_TRUE(bRan);
    EXPECT_EQ(0, wndMain.nCloseEvents);  // posted, not called from inside the report
    QApplication::processEvents();
    EXPECT_EQ(1, wndMain.nCloseEvents);
    EXPECT_FALSE(wndMain.isVisible());
}

TEST_F(ErrorReportTest, OkClosesOnlyTheReport) {
    FakeMain wndMain;
    wndMain.show();
    bool bRan = false;
    OnNextModal<TfmDump>([](TfmDump* pDlg) { pDlg->btnOK->click(); }, &bRan);
    ShowErrorReport(&wndMain);
    ASSERT_TRUE(bRan);
    QApplication::processEvents();
    EXPECT_EQ(0, wndMain.nCloseEvents);
    EXPECT_TRUE(wndMain.isVisible());
}

TEST_F(ErrorReportTest, DebugOptionsOpensTheDebugSettingsOverTheReport) {
    g_Settings.LogLevel = 0;
    bool bDumpRan = false, bDebugRan = false;
    QWidget* pDebugOwner = nullptr;
    OnNextModal<TfmDump>(
        [&](TfmDump* pDump) {
            OnNextModal<TfmDebug>(
                [&](TfmDebug* pDebug) {
                    pDebugOwner = pDebug->parentWidget();
                    pDebug->cbxLevel->setCurrentIndex(1);
                    pDebug->btnOK->click();
                },
                &bDebugRan);
            pDump->btnDebug->click();
            EXPECT_EQ(pDump, pDebugOwner);
            pDump->btnOK->click();
        },
        &bDumpRan);
    ShowErrorReport(nullptr);
    ASSERT_TRUE(bDumpRan);
    ASSERT_TRUE(bDebugRan);
    EXPECT_EQ(1, g_Settings.LogLevel);
}
