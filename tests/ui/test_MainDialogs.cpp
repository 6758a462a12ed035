// The main window's dialogs: options re-read both stores after OK, the
// wizard at start-up and from the File menu, the detail view on a
// double-click, the about box and the manual.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "app/Apputil.h"
#include "app/ui/About.h"
#include "app/ui/Addrdetail.h"
#include "app/ui/Main.h"
#include "app/ui/MainEntry.h"
#include "app/ui/Option.h"
#include "app/ui/UiSeams.h"
#include "app/ui/Wizard.h"
#include "common/misc/WinUtil.h"
#include "platform/win32/WinShell.h"
#include "support/ModalDriver.h"
#include "ui/fixtures/MainTestEnv.h"

namespace {

std::vector<std::string> g_opened;

HINSTANCE RecordShell(HWND, LPCSTR, LPCSTR lpFile, LPCSTR, LPCSTR, INT) {
    g_opened.push_back(lpFile ? lpFile : "<null>");
    return reinterpret_cast<HINSTANCE>(42);
}

class MainDialogs : public MainTestEnv {
protected:
    void SetUp() override {
        MainTestEnv::SetUp();
        g_opened.clear();
        m_pfnOldShell = SetShellExecuteHandler(RecordShell);
    }
    void TearDown() override {
        SetShellExecuteHandler(m_pfnOldShell);
        MainTestEnv::TearDown();
    }
    // Runs fnOpen, answering a modal T with fnAnswer if one comes up within
    // a short wait; true when one came up.
    template <typename T>
    static bool Shown(const std::function<void()>& fnOpen, std::function<void(T*)> fnAnswer) {
        bool bRan = false;
        OnNextModal<T>(fnAnswer, &bRan, 300);
        fnOpen();
        if (!bRan) QTest::qWait(350);  // let the driver's wait run out
        return bRan;
    }
    PFN_SHELLEXECUTE m_pfnOldShell = nullptr;
};

TEST_F(MainDialogs, OptionsOkRereadsBothStoresAndCancelDoesNot) {
    AddWab("Anna", "Ash", "anna@example.org");
    AddOl("Anna", "Ash", "anna@example.org");
    auto pForm = LoadedWindow();
    AddWab("Bert", "Birch", "bert@example.org");
    AddOl("Dora", "Dogwood", "dora@example.org");

    EXPECT_TRUE(Shown<TfmOption>([&] { pForm->miToolOptionsClick(); }, [](TfmOption* p) { p->reject(); }));
    EXPECT_EQ(Rows(pForm->GetWabList()), "Anna");
    EXPECT_EQ(Rows(pForm->GetOlList()), "Anna");

    EXPECT_TRUE(Shown<TfmOption>([&] { pForm->miToolOptionsClick(); },
                                 [](TfmOption* p) { p->findChild<QPushButton*>("btnOK")->click(); }));
    EXPECT_EQ(Rows(pForm->GetWabList()), "Anna,Bert");
    EXPECT_EQ(Rows(pForm->GetOlList()), "Anna,Dora");
    // Compared again: Bert and Dora are new, Anna is the same on both sides.
    EXPECT_EQ(Ticked(pForm->GetWabList()), "Bert");
}

TEST_F(MainDialogs, AFileThatIsNoAddressBookIsAcceptedAndLeftAlone) {
    AddWab("Anna", "Ash", "anna@example.org");
    auto pForm = LoadedWindow();
    const std::string sFile = m_Home.File("notes.txt");
    const std::string kContent = "just some notes, not an address book\n";
    std::ofstream(sFile, std::ios::binary) << kContent;

    EXPECT_TRUE(Shown<TfmOption>([&] { pForm->miToolOptionsClick(); },
                                 [&](TfmOption* p) {
                                     p->findChild<QRadioButton*>("rbtnWABSpec")->click();
                                     p->findChild<QLineEdit*>("edtWABFile")->setText(QString::fromStdString(sFile));
                                     p->findChild<QPushButton*>("btnOK")->click();
                                 }));
    EXPECT_EQ(std::string(g_Settings.WabName), sFile);
    EXPECT_EQ(Rows(pForm->GetWabList()), "");
    EXPECT_EQ(ReadFileBytes(sFile), kContent);
}

TEST_F(MainDialogs, WizardComesAtStartOnlyWhileShowWizardIsSet) {
    ScopedEnv smoke("PELLMARK_SMOKE_CLOSE_MS", "50");
    for (bool bShow : {true, false}) {
        SCOPED_TRACE(bShow);
        WriteSettings(bShow ? "ShowWizard=1\r\n" : "ShowWizard=0\r\n");
        EXPECT_EQ(Shown<TfmWizard>([] { RunMainWindow(); }, [](TfmWizard* p) { p->reject(); }), bShow);
    }
}

TEST_F(MainDialogs, RunWizardShowsOnlyWhenAskedAndTheMenuEntryAsks) {
    auto pForm = LoadedWindow();
    bool bResult = false;
    EXPECT_FALSE(Shown<TfmWizard>([&] { bResult = pForm->RunWizard(false); }, [](TfmWizard* p) { p->reject(); }));
    EXPECT_TRUE(bResult);
    EXPECT_TRUE(Shown<TfmWizard>([&] { bResult = pForm->RunWizard(true); },
                                 [](TfmWizard* p) { p->findChild<QPushButton*>("btnOK")->click(); }));
    EXPECT_TRUE(bResult);
    EXPECT_TRUE(Shown<TfmWizard>([&] { bResult = pForm->RunWizard(true); }, [](TfmWizard* p) { p->reject(); }));
    EXPECT_FALSE(bResult);
    EXPECT_TRUE(Shown<TfmWizard>([&] { pForm->miFileShowWizardClick(); }, [](TfmWizard* p) { p->reject(); }));
}

TEST_F(MainDialogs, DoubleClickShowsTheSelectedRowsRecord) {
    AddWab("Anna", "Ash", "anna@example.org");
    AddWab("Bert", "Birch", "bert@example.org");
    AddOl("Dora", "Dogwood", "dora@example.org");
    auto pForm = LoadedWindow();
    struct {
        QTreeWidget* pList;
        void (TfmMain::*pfnDblClick)();
        int nRow;
        const char* szFirst;
    } const kCases[] = {
        {pForm->GetWabList(), &TfmMain::lvWabAddrDblClick, 1, "Bert"},
        {pForm->GetOlList(), &TfmMain::lvOLAddrDblClick, 0, "Dora"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.szFirst);
        c.pList->setCurrentItem(c.pList->topLevelItem(c.nRow));
        QString sFirst;
        EXPECT_TRUE(Shown<TfmAddrDetail>([&] { (pForm.get()->*c.pfnDblClick)(); },
                                         [&](TfmAddrDetail* p) {
                                             sFirst = p->findChild<QLineEdit*>("edtFirst")->text();
                                             p->findChild<QPushButton*>("btnClose")->click();
                                         }));
        EXPECT_EQ(sFirst.toStdString(), c.szFirst);

        c.pList->clearSelection();
        EXPECT_FALSE(Shown<TfmAddrDetail>([&] { (pForm.get()->*c.pfnDblClick)(); },
                                          [](TfmAddrDetail* p) { p->reject(); }));
    }
}

TEST_F(MainDialogs, AboutLogoOpensTheWebPage) {
    auto pForm = LoadedWindow();
    Qt::CursorShape nCursor = Qt::ArrowCursor;
    EXPECT_TRUE(Shown<TfmAbout>([&] { pForm->miHelpAboutClick(); },
                                [&](TfmAbout* p) {
                                    auto* pLogo = p->findChild<QLabel*>("imgLogo");
                                    nCursor = pLogo->cursor().shape();
                                    QTest::mouseClick(pLogo, Qt::LeftButton);
                                    p->findChild<QPushButton*>("btnOK")->click();
                                }));
    EXPECT_EQ(nCursor, Qt::PointingHandCursor);
    EXPECT_EQ(g_opened, std::vector<std::string>{PELLMARK_WEB_PAGE_URL});
}

TEST_F(MainDialogs, HelpOpensTheManualBesideTheProgram) {
    auto pForm = LoadedWindow();
    pForm->miHelpHelpClick();
    char szFolder[MAX_PATH];
    ASSERT_EQ(GetModuleFolder(nullptr, szFolder), 1);
    const std::string sManual = std::string(szFolder) + "PELLMARK.html";
    EXPECT_EQ(g_opened, std::vector<std::string>{sManual});
    EXPECT_NE(ReadFileBytes(sManual).find("<title>Pellmark Help</title>"), std::string::npos);
}

}  // namespace
