// The options dialog: the conflict rule both ways, the WAB file check, the
// browse button and the colour panels through their seams, and what a
// rejected OK leaves behind.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/Apputil.h"
#include "app/ui/Option.h"
#include "app/ui/UiSeams.h"
#include "ui/fixtures/OptTestEnv.h"

namespace {

class OptionTest : public ::testing::Test {
protected:
    template <typename T>
    T* Find(QWidget& form, const char* szName) {
        T* p = form.findChild<T*>(szName);
        EXPECT_NE(p, nullptr) << szName;
        return p;
    }
    // Shows the dialog loaded from g_Settings.
    void Open(TfmOption& dlg) {
        dlg.ExchangeData(false);
        dlg.show();
    }
    // Presses OK; true when the dialog closed with OK.
    bool PressOK(TfmOption& dlg) {
        Find<QPushButton>(dlg, "btnOK")->click();
        return dlg.result() == QDialog::Accepted && !dlg.isVisible();
    }
    void ChooseSpecificFile(TfmOption& dlg, const std::string& sPath) {
        Find<QRadioButton>(dlg, "rbtnWABSpec")->click();
        Find<QLineEdit>(dlg, "edtWABFile")->setText(QString::fromStdString(sPath));
    }
    // A path of exactly nLength bytes to an existing file below the test folder.
    std::string LongFile(size_t nLength) {
        std::string sPath = m_env.Dir();
        while (sPath.size() + 60 < nLength) {
            sPath += std::string(50, 'd') + "/";
            std::filesystem::create_directory(sPath);
        }
        sPath += std::string(nLength - sPath.size(), 'f');
        m_env.MakeFile(sPath.substr(m_env.Dir().size()), "x");
        EXPECT_EQ(sPath.size(), nLength);
        return sPath;
    }

    OptTestEnv m_env;
};

TEST_F(OptionTest, ConflictRuleLoadsAndStores) {
    struct {
        int nConfAction;          // setting when the dialog opens
        const char* szTicked;     // the button ticked by the load
        const char* szClick;      // the button the user then picks, or none
        int nStored;              // ConfAction after OK
        bool bAlways;             // ActionAlways after OK
    } const kCases[] = {
        {7, "rbtnNothing", nullptr, CONF_DO_NOTHING, true},
        {-1, "rbtnNothing", nullptr, CONF_DO_NOTHING, true},
        {CONF_DO_NOTHING, "rbtnNothing", nullptr, CONF_DO_NOTHING, true},
        {CONF_REMIND, "rbtnRemind", nullptr, CONF_REMIND, false},
        {CONF_WAB_WINS, "rbtnW2O", nullptr, CONF_WAB_WINS, true},
        {CONF_OL_WINS, "rbtnO2W", nullptr, CONF_OL_WINS, true},
        {CONF_WAB_WINS, "rbtnW2O", "rbtnRemind", CONF_REMIND, false},
        {CONF_REMIND, "rbtnRemind", "rbtnO2W", CONF_OL_WINS, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.nConfAction);
        g_Settings.ConfAction = c.nConfAction;
        g_Settings.ActionAlways = !c.bAlways;
        TfmOption dlg;
        Open(dlg);
        for (const char* sz : {"rbtnO2W", "rbtnW2O", "rbtnRemind", "rbtnNothing"})
            EXPECT_EQ(Find<QRadioButton>(dlg, sz)->isChecked(), strcmp(sz, c.szTicked) == 0) << sz;
        if (c.szClick) Find<QRadioButton>(dlg, c.szClick)->click();
        ASSERT_TRUE(PressOK(dlg));
        EXPECT_EQ(g_Settings.ConfAction, c.nStored);
        EXPECT_EQ(g_Settings.ActionAlways, c.bAlways);
    }
    TfmOption dlg;
    EXPECT_EQ(Find<QRadioButton>(dlg, "rbtnO2W")->text(), "Outlook  overwrites WAB");
}

TEST_F(OptionTest, ChecksAndColoursRoundTrip) {
    g_Settings.ShowWizard = false;
    g_Settings.ShowColor = true;
    g_Settings.AddrEmailOnly = false;
    g_Settings.SameColor = 0x000000;
    g_Settings.DiffColor = 0xFF0000;  // blue
    g_Settings.NewColor = 0x008000;
    TfmOption dlg;
    Open(dlg);
    EXPECT_FALSE(Find<QCheckBox>(dlg, "cbShowWizard")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(dlg, "cbShowColor")->isChecked());
    EXPECT_EQ(TfmOption::PanelColor(Find<QFrame>(dlg, "pnlDiffColor")), 0xFF0000u);

    Find<QCheckBox>(dlg, "cbShowWizard")->click();
    Find<QCheckBox>(dlg, "cbShowColor")->click();
    Find<QCheckBox>(dlg, "cbEmailOnly")->click();
    // A confirmed colour replaces the panel's; a cancelled one (invalid) does not.
    CxColorDialog::setNextColor(QColor(0x11, 0x22, 0x33));
    CxColorDialog::setNextColor(QColor());
    QTest::mouseClick(Find<QFrame>(dlg, "pnlNewColor"), Qt::LeftButton);
    QTest::mouseClick(Find<QFrame>(dlg, "pnlSameColor"), Qt::LeftButton);
    ASSERT_EQ(CxColorDialog::shown().size(), 2u);
    EXPECT_EQ(CxColorDialog::shown()[0].crInitial, QColor(0, 0x80, 0));
    EXPECT_EQ(CxColorDialog::shown()[1].crInitial, QColor(0, 0, 0));

    ASSERT_TRUE(PressOK(dlg));
    EXPECT_TRUE(g_Settings.ShowWizard);
    EXPECT_FALSE(g_Settings.ShowColor);
    EXPECT_TRUE(g_Settings.AddrEmailOnly);
    EXPECT_EQ(g_Settings.NewColor, 0x332211u);  // red in the lowest byte
    EXPECT_EQ(g_Settings.SameColor, 0x000000u);
    EXPECT_EQ(g_Settings.DiffColor, 0xFF0000u);
}

TEST_F(OptionTest, UnusableWabFileKeepsTheDialogOpen) {
    std::string sFolder = m_env.Dir() + "folder.wab";
    std::filesystem::create_directory(sFolder);
    const std::string kBad[] = {
        "",                                 // empty box
        m_env.Dir() + "missing.wab",        // no such file
        sFolder,                            // a folder
        LongFile(sizeof(g_Settings.WabName)),  // exists, but 256 bytes do not fit
        "/dev/null",                        // not a regular file
    };
    strcpy(g_Settings.WabName, "/kept/as/it/was.wab");
    for (const std::string& sPath : kBad) {
        SCOPED_TRACE(sPath);
        CxMessageBox::clear();
        CxMessageBox::setNextAnswer(QMessageBox::Ok);
        TfmOption dlg;
        Open(dlg);
        ChooseSpecificFile(dlg, sPath);
        Find<QPushButton>(dlg, "btnWABBrowse")->setFocus();
        EXPECT_FALSE(PressOK(dlg));
        EXPECT_TRUE(dlg.isVisible());
        ASSERT_EQ(CxMessageBox::shown().size(), 1u);
        EXPECT_EQ(CxMessageBox::shown()[0].szCaption, "Error");
        EXPECT_EQ(CxMessageBox::shown()[0].szText, "Invalid WAB file name");
        EXPECT_EQ(CxMessageBox::shown()[0].nIcon, CxMessageBox::Error);
        EXPECT_EQ(dlg.focusWidget(), Find<QLineEdit>(dlg, "edtWABFile"));
        EXPECT_STREQ(g_Settings.WabName, "/kept/as/it/was.wab");
    }
}

TEST_F(OptionTest, AnyReadableFileThatFitsIsAccepted) {
    const std::string kGood[] = {
        m_env.MakeFile("book.wab", ""),
        m_env.MakeFile("contacts.txt", "not an address book"),
        m_env.MakeFile("noextension", "x"),
        LongFile(sizeof(g_Settings.WabName) - 1),  // 255 bytes: the longest that fits
    };
    for (const std::string& sPath : kGood) {
        SCOPED_TRACE(sPath);
        TfmOption dlg;
        Open(dlg);
        ChooseSpecificFile(dlg, sPath);
        EXPECT_TRUE(PressOK(dlg));
        EXPECT_TRUE(CxMessageBox::shown().empty());
        EXPECT_EQ(std::string(g_Settings.WabName), sPath);
    }
}

TEST_F(OptionTest, DefaultWabFileGreysTheBoxAndEmptiesTheName) {
    std::string sBook = m_env.MakeFile("book.wab", "");
    strcpy(g_Settings.WabName, sBook.c_str());
    TfmOption dlg;
    Open(dlg);
    auto* edt = Find<QLineEdit>(dlg, "edtWABFile");
    auto* btn = Find<QPushButton>(dlg, "btnWABBrowse");
    EXPECT_TRUE(Find<QRadioButton>(dlg, "rbtnWABSpec")->isChecked());
    EXPECT_EQ(edt->text().toStdString(), sBook);
    EXPECT_TRUE(edt->isEnabled());
    EXPECT_TRUE(btn->isEnabled());

    Find<QRadioButton>(dlg, "rbtnWABDef")->click();
    EXPECT_FALSE(edt->isEnabled());
    EXPECT_FALSE(btn->isEnabled());
    QImage img = edt->grab().toImage();
    EXPECT_EQ(img.pixelColor(img.width() - 4, 3), QColor(0xC0, 0xC0, 0xC0));

    Find<QRadioButton>(dlg, "rbtnWABSpec")->click();
    img = edt->grab().toImage();
    EXPECT_NE(img.pixelColor(img.width() - 4, 3), QColor(0xC0, 0xC0, 0xC0));
    Find<QRadioButton>(dlg, "rbtnWABDef")->click();

    ASSERT_TRUE(PressOK(dlg));
    EXPECT_STREQ(g_Settings.WabName, "");
}

TEST_F(OptionTest, CancelAfterARejectedOkKeepsTheRuleAndChecksButNotTheFile) {
    g_Settings.ShowColor = false;
    g_Settings.ConfAction = CONF_DO_NOTHING;
    TfmOption dlg;
    Open(dlg);
    Find<QCheckBox>(dlg, "cbShowColor")->click();
    Find<QRadioButton>(dlg, "rbtnW2O")->click();
    ChooseSpecificFile(dlg, m_env.Dir() + "missing.wab");
    CxMessageBox::setNextAnswer(QMessageBox::Ok);
    EXPECT_FALSE(PressOK(dlg));
    Find<QPushButton>(dlg, "btnCancel")->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(g_Settings.ShowColor);
    EXPECT_EQ(g_Settings.ConfAction, CONF_WAB_WINS);
    EXPECT_STREQ(g_Settings.WabName, "");
}

TEST_F(OptionTest, CancelStoresNothing) {
    AppSettings before = g_Settings;
    TfmOption dlg;
    Open(dlg);
    Find<QCheckBox>(dlg, "cbShowColor")->click();
    Find<QRadioButton>(dlg, "rbtnRemind")->click();
    Find<QPushButton>(dlg, "btnCancel")->click();
    EXPECT_EQ(memcmp(&before, &g_Settings, sizeof(before)), 0);
}

TEST_F(OptionTest, BrowseOffersTheBoxAndTakesThePickedFile) {
    TfmOption dlg;
    Open(dlg);
    auto* edt = Find<QLineEdit>(dlg, "edtWABFile");
    ChooseSpecificFile(dlg, "/home/anna/old.wab");
    CxFileDialog::setNextFileName("/home/anna/new.wab");
    CxFileDialog::setNextFileName("");  // cancelled
    Find<QPushButton>(dlg, "btnWABBrowse")->click();
    EXPECT_EQ(edt->text(), "/home/anna/new.wab");
    Find<QPushButton>(dlg, "btnWABBrowse")->click();
    EXPECT_EQ(edt->text(), "/home/anna/new.wab");

    ASSERT_EQ(CxFileDialog::shown().size(), 2u);
    const auto& s = CxFileDialog::shown()[0];
    EXPECT_EQ(s.szTitle, "Open Windows Address Book File");
    EXPECT_EQ(s.szFilters, "Windows Address Book File (*.wab);;All Files(*)");
    EXPECT_EQ(s.szInitial, "/home/anna/old.wab");
    EXPECT_EQ(CxFileDialog::shown()[1].szInitial, "/home/anna/new.wab");

    // The initial name is at most 259 bytes, never cut inside a character.
    edt->setText(QString(200, QChar(0x00E9)));  // 400 bytes of two-byte characters
    CxFileDialog::setNextFileName("");
    Find<QPushButton>(dlg, "btnWABBrowse")->click();
    EXPECT_EQ(CxFileDialog::shown().back().szInitial, QString(129, QChar(0x00E9)));
}

}  // namespace
