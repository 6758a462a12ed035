// The first-run wizard: the Outlook version from the registry and the
// stand-in OUTLOOK.EXE, the start-up switch, the WAB file, the debug button.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstring>

#include "app/Apputil.h"
#include "app/ui/Debug.h"
#include "app/ui/UiSeams.h"
#include "app/ui/Wizard.h"
#include "support/ModalDriver.h"
#include "ui/fixtures/OptTestEnv.h"

namespace {

class WizardTest : public ::testing::Test {
protected:
    template <typename T>
    static T* Find(QWidget& form, const char* szName) {
        T* p = form.findChild<T*>(szName);
        EXPECT_NE(p, nullptr) << szName;
        return p;
    }
    OptTestEnv m_env;
};

TEST_F(WizardTest, ShowsTheStandInOutlookVersionInBlue) {
    TfmWizard dlg;  // the build's registry names the stand-in OUTLOOK.EXE
    auto* lbl = Find<QLabel>(dlg, "lblOLVer");
    EXPECT_EQ(lbl->text(), "11.0.8312.0");
    EXPECT_EQ(lbl->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(dlg.windowTitle(), "Pellmark Wizard");
}

TEST_F(WizardTest, ShowsNotFoundInRedWithoutAppPaths) {
    std::string sReg = m_env.MakeFile("empty.reg", "Windows Registry Editor Version 5.00\r\n\r\n");
    ScopedEnv reg("PELLMARK_REGISTRY", sReg);
    TfmWizard dlg;
    auto* lbl = Find<QLabel>(dlg, "lblOLVer");
    EXPECT_EQ(lbl->text(), "Not Found.");
    EXPECT_EQ(lbl->palette().color(QPalette::WindowText), QColor(Qt::red));
}

TEST_F(WizardTest, StartupBoxRoundTripsShowWizard) {
    for (bool bStart : {true, false}) {
        SCOPED_TRACE(bStart);
        g_Settings.ShowWizard = bStart;
        {
            TfmWizard dlg;
            auto* cb = Find<QCheckBox>(dlg, "cbShow");
            EXPECT_EQ(cb->text(), "Show this Synchronizer Wizard at software startup.");
            EXPECT_EQ(cb->isChecked(), bStart);
            cb->click();
            Find<QPushButton>(dlg, "btnCancel")->click();
            EXPECT_EQ(g_Settings.ShowWizard, bStart);
        }
        TfmWizard dlg;
        dlg.show();
        Find<QCheckBox>(dlg, "cbShow")->click();
        Find<QPushButton>(dlg, "btnOK")->click();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(g_Settings.ShowWizard, !bStart);
    }
}

TEST_F(WizardTest, WabFileIsCheckedAndStoredLikeInTheOptions) {
    g_Settings.ShowWizard = true;
    {
        // A rejected file stores nothing, not even the start-up box.
        TfmWizard dlg;
        dlg.show();
        EXPECT_TRUE(Find<QRadioButton>(dlg, "rbtnWABDef")->isChecked());
        EXPECT_FALSE(Find<QLineEdit>(dlg, "edtWABFile")->isEnabled());
        Find<QCheckBox>(dlg, "cbShow")->click();
        Find<QRadioButton>(dlg, "rbtnWABSpec")->click();
        Find<QLineEdit>(dlg, "edtWABFile")->setText(QString::fromStdString(m_env.Dir()));
        CxMessageBox::setNextAnswer(QMessageBox::Ok);
        Find<QPushButton>(dlg, "btnOK")->click();
        EXPECT_TRUE(dlg.isVisible());
        ASSERT_EQ(CxMessageBox::shown().size(), 1u);
        EXPECT_EQ(CxMessageBox::shown()[0].szText, "Invalid WAB file name");
        EXPECT_EQ(dlg.focusWidget(), Find<QLineEdit>(dlg, "edtWABFile"));
        EXPECT_TRUE(g_Settings.ShowWizard);
        EXPECT_STREQ(g_Settings.WabName, "");

        std::string sBook = m_env.MakeFile("book.wab", "");
        Find<QLineEdit>(dlg, "edtWABFile")->setText(QString::fromStdString(sBook));
        Find<QPushButton>(dlg, "btnOK")->click();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(std::string(g_Settings.WabName), sBook);
        EXPECT_FALSE(g_Settings.ShowWizard);
    }
    TfmWizard dlg;  // opens on the stored file
    EXPECT_TRUE(Find<QRadioButton>(dlg, "rbtnWABSpec")->isChecked());
    EXPECT_EQ(Find<QLineEdit>(dlg, "edtWABFile")->text().toStdString(), std::string(g_Settings.WabName));
}

TEST_F(WizardTest, DebugOptionsOpensTheDebugSettings) {
    TfmWizard dlg;
    dlg.show();
    auto* btn = Find<QPushButton>(dlg, "btnDebug");
    EXPECT_EQ(btn->text(), "&Debug Options");
    bool bRan = false;
    OnNextModal<TfmDebug>([](TfmDebug* p) { p->reject(); }, &bRan);
    btn->click();
    EXPECT_TRUE(bRan);
    EXPECT_TRUE(dlg.isVisible());
}

}  // namespace
