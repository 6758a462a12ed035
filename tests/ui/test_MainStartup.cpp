// Start-up and close of the program around the main window.
#include <QApplication>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/Apputil.h"
#include "app/ui/Main.h"
#include "app/ui/MainEntry.h"
#include "app/ui/UiSeams.h"
#include "ui/fixtures/MainTestEnv.h"

namespace {

class MainStartup : public MainTestEnv {
protected:
    std::string ReadIni() {
        std::ifstream in(m_Home.Path() + "tessaro/PELLMARK/tessaro.ini", std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
};

// Records the class of every top-level widget shown, in order.
class ShowRecorder : public QObject {
public:
    std::vector<std::string> m_Shown;
    bool eventFilter(QObject* pObj, QEvent* e) override {
        if (e->type() == QEvent::Show && pObj->isWidgetType() && static_cast<QWidget*>(pObj)->isWindow())
            m_Shown.push_back(pObj->metaObject()->className());
        return false;
    }
};

TEST_F(MainStartup, FirstStartMakesTheDataFolderWithDefaultsAndAnEmptyHistory) {
    const std::string sFolder = m_Home.Path() + "tessaro/PELLMARK/";
    ASSERT_FALSE(std::filesystem::exists(m_Home.Path() + "tessaro"));
    {
        TfmMain fm;
        EXPECT_TRUE(std::filesystem::is_directory(sFolder));
        EXPECT_FALSE(std::filesystem::exists(sFolder + "tessaro.ini"));
        EXPECT_TRUE(g_Settings.ShowWizard);
        EXPECT_TRUE(g_Settings.ShowColor);
        EXPECT_EQ(g_Settings.SyncMode, SYNC_WAB_TO_OL);
        EXPECT_EQ(g_Settings.ConfAction, CONF_DO_NOTHING);
        fm.StartupLoad();
        EXPECT_EQ(fm.GetHistoryList()->topLevelItemCount(), 0);
        EXPECT_FALSE(std::filesystem::exists(sFolder + "synchis.dat"));
    }
    EXPECT_NE(ReadIni().find("SyncMode=1\r\n"), std::string::npos);
}

TEST_F(MainStartup, SettingsReachTheFileOnlyAtANormalCloseAndNoWizardWhenSwitchedOff) {
    AddWab("Anna", "Ash", "anna@example.org");
    AddOl("Dora", "Dogwood", "dora@example.org");
    WriteSettings("ShowWizard=0\r\nShowColor=1\r\n");
    const std::string sBefore = ReadIni();
    ScopedEnv smoke("PELLMARK_SMOKE_CLOSE_MS", "300");
    ShowRecorder recorder;
    qApp->installEventFilter(&recorder);
    std::string sDuring;
    QTimer::singleShot(100, [&]() {
        g_Settings.ShowColor = false;
        sDuring = ReadIni();
    });
    testing::internal::CaptureStdout();
    EXPECT_EQ(RunMainWindow(), 0);
    const std::string sOut = testing::internal::GetCapturedStdout();
    qApp->removeEventFilter(&recorder);

    EXPECT_EQ(sOut, "pellmark: main window shown, WAB rows 1, Outlook rows 1\n");
    EXPECT_EQ(sDuring, sBefore) << "settings written while running";
    const std::string sAfter = ReadIni();
    EXPECT_NE(sAfter.find("ShowColor=0\r\n"), std::string::npos) << sAfter;
    ASSERT_FALSE(recorder.m_Shown.empty());
    EXPECT_EQ(recorder.m_Shown.front(), "TfmMain");
}

TEST_F(MainStartup, AnExceptionBeforeTheWindowExistsIsShownWithoutTheErrorReport) {
    CxMessageBox::setNextAnswer(QMessageBox::Ok);
    EXPECT_EQ(RunMainWindow([]() -> TfmMain* { throw std::runtime_error("no window today"); }), 0);
    ASSERT_EQ(CxMessageBox::shown().size(), 1u);
    EXPECT_EQ(CxMessageBox::shown()[0].szCaption, "Pellmark");
    EXPECT_EQ(CxMessageBox::shown()[0].szText, "no window today");
    EXPECT_EQ(CxMessageBox::shown()[0].nIcon, CxMessageBox::Error);
}

}  // namespace
