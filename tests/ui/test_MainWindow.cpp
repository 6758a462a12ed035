// The main window against both stand-in stores in a private data home.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <filesystem>
#include <stdexcept>

#include "app/Apputil.h"
#include "app/SyncHistory.h"
#include "app/ui/Main.h"
#include "app/ui/UiSeams.h"
#include "common/model/CommAddrMgr.h"
#include "common/oe/CxWab.h"
#include "common/outlook/OlAddr.h"
#include "ui/fixtures/MainTestEnv.h"

namespace {

class MainWindow : public MainTestEnv {
protected:
    // Equal pair Anna, differing pair Bert, Carl only in the address book,
    // Dora only in Outlook.
    void SeedFour() {
        AddWab("Anna", "Ash", "anna@example.org", "1");
        AddWab("Bert", "Birch", "bert@example.org", "2");
        AddWab("Carl", "Cedar", "carl@example.org", "3");
        AddOl("Anna", "Ash", "anna@example.org", "1");
        AddOl("Bert", "Birch", "bert@example.org", "22");
        AddOl("Dora", "Dogwood", "dora@example.org", "4");
    }
    template <typename T>
    static T* Find(TfmMain& fm, const char* szName) {
        T* p = fm.findChild<T*>(QString::fromLatin1(szName));
        EXPECT_NE(p, nullptr) << szName;
        return p;
    }
    static QColor Colour(TfmMain& fm, QTreeWidget* pList, int nRow) {
        return fm.RowTextColor(TfmMain::GetRowAddr(pList->topLevelItem(nRow)));
    }
};

TEST_F(MainWindow, FirstLoadFillsRowsColoursAndTicksOfEachMode) {
    SeedFour();
    struct Case {
        int nMode;
        const char* szWabTicks;
        const char* szOlTicks;
    } cases[] = {{1, "Bert,Carl", ""}, {2, "", "Bert,Dora"}, {3, "Bert,Carl", "Bert,Dora"}};
    for (const Case& c : cases) {
        WriteSettings("SyncMode=" + std::to_string(c.nMode) + "\r\n");
        auto pForm = LoadedWindow();
        QTreeWidget* pWab = pForm->GetWabList();
        QTreeWidget* pOl = pForm->GetOlList();
        EXPECT_EQ(Rows(pWab), "Anna,Bert,Carl");
        EXPECT_EQ(Rows(pOl), "Anna,Bert,Dora");
        EXPECT_EQ(Ticked(pWab), c.szWabTicks) << "mode " << c.nMode;
        EXPECT_EQ(Ticked(pOl), c.szOlTicks) << "mode " << c.nMode;
        EXPECT_EQ(pForm->GetStatusText(), "");
    }
    auto pForm = LoadedWindow();
    QTreeWidget* pWab = pForm->GetWabList();
    // Columns and the row's record.
    ASSERT_EQ(pWab->columnCount(), 8);
    const char* szCaptions[] = {"First Name", "Last Name", "Email", "Business Phone",
                                "Home Phone", "Mobile Phone", "Company", "Title"};
    const int nWidths[] = {80, 80, 100, 100, 80, 80, 80, 80};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(pWab->headerItem()->text(i).toStdString(), szCaptions[i]);
        EXPECT_EQ(pWab->columnWidth(i), nWidths[i]);
    }
    QTreeWidgetItem* pBert = pWab->topLevelItem(1);
    EXPECT_EQ(pBert->text(1), "Birch");
    EXPECT_EQ(pBert->text(2), "bert@example.org");
    EXPECT_EQ(pBert->text(3), "2");
    CommAddr* pAddr = TfmMain::GetRowAddr(pBert);
    ASSERT_NE(pAddr, nullptr);
    EXPECT_STREQ(pAddr->szFirstName, "Bert");
    EXPECT_EQ(pWab->currentItem(), pWab->topLevelItem(0));
    // Colours: same black, different blue, new green by default.
    EXPECT_EQ(Colour(*pForm, pWab, 0), QColor(0, 0, 0));
    EXPECT_EQ(Colour(*pForm, pWab, 1), QColor(0, 0, 255));
    EXPECT_EQ(Colour(*pForm, pWab, 2), QColor(0, 128, 0));
    EXPECT_EQ(Colour(*pForm, pForm->GetOlList(), 2), QColor(0, 128, 0));

    // Switching modes by clicking re-applies the default ticks.
    Find<QRadioButton>(*pForm, "rbtnAddrSync")->click();
    EXPECT_EQ(Ticked(pWab), "Bert,Carl");
    EXPECT_EQ(Ticked(pForm->GetOlList()), "Bert,Dora");
    Find<QRadioButton>(*pForm, "rbtnAddrO2W")->click();
    EXPECT_EQ(Ticked(pWab), "");
    // The mode reaches the settings at the close.
    pForm.reset();
    EXPECT_EQ(g_Settings.SyncMode, SYNC_OL_TO_WAB);
}

TEST_F(MainWindow, ListButtonsAndClearThenSelectDiffRestoreTheDefaultTicks) {
    SeedFour();
    WriteSettings("SyncMode=3\r\n");
    auto pForm = LoadedWindow();
    struct Side {
        QTreeWidget* pList;
        const char *szAll, *szDiff, *szClear, *szAllRows, *szDefault;
    } sides[] = {{pForm->GetWabList(), "btnAddrWabAll", "btnAddrWabDiff", "btnAddrWabClear", "Anna,Bert,Carl",
                  "Bert,Carl"},
                 {pForm->GetOlList(), "btnAddrOLAll", "btnAddrOLDiff", "btnAddrOLClear", "Anna,Bert,Dora",
                  "Bert,Dora"}};
    for (const Side& s : sides) {
        Find<QPushButton>(*pForm, s.szClear)->click();
        EXPECT_EQ(Ticked(s.pList), "");
        Find<QPushButton>(*pForm, s.szDiff)->click();
        EXPECT_EQ(Ticked(s.pList), s.szDefault);
        Find<QPushButton>(*pForm, s.szAll)->click();
        EXPECT_EQ(Ticked(s.pList), s.szAllRows);
    }
}

TEST_F(MainWindow, EmailOnlyHidesTheRowButKeepsTheComparison) {
    AddWab("Eve", "Elm", "");
    AddOl("Eve", "Elm", "");
    AddWab("Fay", "Fir", "fay@example.org");
    WriteSettings("AddrEmailOnly=1\r\n");
    auto pForm = LoadedWindow();
    EXPECT_EQ(Rows(pForm->GetWabList()), "Fay");
    EXPECT_EQ(Rows(pForm->GetOlList()), "");
    CommAddrMgr* pOl = pForm->GetOlStore()->GetAddrMgr();
    ASSERT_EQ(pOl->GetCount(), 1u);
    EXPECT_EQ(pOl->GetFirst()->nStatus, ADDR_STATUS_SAME);
}

TEST_F(MainWindow, ShowColorOffDrawsEveryRowBlack) {
    SeedFour();
    WriteSettings("ShowColor=0\r\nSameColor=255\r\n");
    auto pForm = LoadedWindow();
    for (QTreeWidget* pList : {pForm->GetWabList(), pForm->GetOlList()})
        for (int i = 0; i < pList->topLevelItemCount(); ++i) EXPECT_EQ(Colour(*pForm, pList, i), QColor(Qt::black));
}

TEST_F(MainWindow, RowsAreDrawnInTheHandlersColour) {
    AddWab("Gus", "Gum", "gus@example.org");
    WriteSettings("NewColor=255\r\n");  // pure red
    auto pForm = LoadedWindow();
    pForm->show();
    QTreeWidget* pWab = pForm->GetWabList();
    pWab->clearSelection();
    pWab->setCurrentItem(nullptr);
    const QRect rc = pWab->visualItemRect(pWab->topLevelItem(0));
    const QImage img = pWab->viewport()->grab(rc).toImage();
    int nRed = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 80 && c.blue() < 80) ++nRed;
        }
    EXPECT_GT(nRed, 5) << "no red text drawn in the row";
}

TEST_F(MainWindow, LayoutRulesFollowTheWindowsSize) {
    auto pForm = std::make_unique<TfmMain>();
    QWidget* pTab = Find<QWidget>(*pForm, "tAddrList");
    pTab->resize(1012, 477);
    pForm->ArrangeContactsTab();
    QTreeWidget* pWab = pForm->GetWabList();
    QTreeWidget* pOl = pForm->GetOlList();
    EXPECT_EQ(pWab->width(), 489);
    EXPECT_EQ(pOl->mapTo(pTab, QPoint(0, 0)).x(), 507);
    EXPECT_EQ(pOl->mapTo(pTab, QPoint(pOl->width(), 0)).x(), 1012 - 15);
    EXPECT_EQ(Find<QWidget>(*pForm, "pAddrMain")->height(), 477 - 125);
    EXPECT_EQ(Find<QWidget>(*pForm, "pAddrBottom")->y(), 477 - 71);
    EXPECT_EQ(Find<QWidget>(*pForm, "lblAddrOL")->x(), 982 / 2 + 5);
    EXPECT_EQ(Find<QWidget>(*pForm, "btnAddrOLClear")->x(), 982 / 2 + 5 + 280);

    QWidget* pHistoryTab = Find<QWidget>(*pForm, "tHistory");
    pHistoryTab->resize(900, 400);
    pForm->tHistoryResize();
    EXPECT_EQ(pForm->GetHistoryList()->size(), QSize(870, 315));
    EXPECT_EQ(Find<QWidget>(*pForm, "btnHistoryDel")->y(), 355);

    pForm->resize(800, 600);
    pForm->show();
    QWidget* pTop = Find<QWidget>(*pForm, "pTop");
    EXPECT_EQ(Find<QWidget>(*pForm, "btnExit")->x(), pTop->width() - 110);
    EXPECT_EQ(Find<QWidget>(*pForm, "btnHelp")->x(), pTop->width() - 215);
    pForm->ShowProgress(true);
    const QRect rcBar = Find<QWidget>(*pForm, "sbMain")->geometry();
    EXPECT_EQ(pForm->GetProgressBar()->geometry(), rcBar.adjusted(2, 1, -2, -1));
}

TEST_F(MainWindow, ViewMenuTicksTheShownTab) {
    auto pForm = std::make_unique<TfmMain>();
    QAction* pAddr = Find<QAction>(*pForm, "miViewAddr");
    QAction* pHistory = Find<QAction>(*pForm, "miViewHistory");
    EXPECT_TRUE(pAddr->isChecked());
    EXPECT_FALSE(pHistory->isChecked());
    pHistory->trigger();
    EXPECT_FALSE(pAddr->isChecked());
    EXPECT_TRUE(pHistory->isChecked());
    auto* pMain = Find<QTabWidget>(*pForm, "pMain");
    EXPECT_EQ(pMain->currentWidget()->objectName(), "tHistory");
    EXPECT_FALSE(Find<QWidget>(*pForm, "tAddrList")->isEnabled());
    pAddr->trigger();
    EXPECT_TRUE(pAddr->isChecked());
    EXPECT_FALSE(pHistory->isChecked());
}

TEST_F(MainWindow, AStoreThatCannotBeReadIsNamedInTheStatusBar) {
    SeedFour();
    {
        ScopedEnv fail("PELLMARK_OUTLOOK_FAIL", "Create");
        auto pForm = LoadedWindow();
        EXPECT_EQ(pForm->GetStatusText().toStdString(),
                  "Could not read the Outlook Contacts folder. Its list is empty, so the other side's contacts "
                  "show as new.");
        EXPECT_EQ(Rows(pForm->GetWabList()), "Anna,Bert,Carl");
        EXPECT_EQ(Ticked(pForm->GetWabList()), "Anna,Bert,Carl");
    }
    {
        ScopedEnv fail("PELLMARK_WAB_FAIL", "WABOpen");
        WriteSettings("WabName=/nowhere/book.wab\r\n");
        auto pForm = LoadedWindow();
        EXPECT_EQ(pForm->GetStatusText().toStdString(),
                  "Could not read the WAB file \"/nowhere/book.wab\". Its list is empty, so the other side's "
                  "contacts show as new.");
        EXPECT_EQ(Rows(pForm->GetOlList()), "Anna,Bert,Dora");
        // A later read that works clears the text.
        fail.Set("");
        g_Settings.WabName[0] = '\0';
        pForm->ReloadContacts();
        EXPECT_EQ(pForm->GetStatusText(), "");
        EXPECT_EQ(Rows(pForm->GetWabList()), "Anna,Bert,Carl");
    }
}

class ThrowingMain : public TfmMain {
protected:
    void CreateStores() override {
        TfmMain::CreateStores();
        throw std::runtime_error("store creation failed");
    }
};

TEST_F(MainWindow, ALoadThatThrowsShowsTheErrorAndKeepsTheStores) {
    SeedFour();
    ThrowingMain fm;
    CxMessageBox::setNextAnswer(QMessageBox::Ok);
    fm.LoadContacts();
    ASSERT_GE(CxMessageBox::shown().size(), 1u);
    const CxMessageBox::Shown& box = CxMessageBox::shown().front();
    EXPECT_EQ(box.szCaption, "Error");
    EXPECT_EQ(box.szText, "Failed to initialize Contacts Data.");
    EXPECT_EQ(box.nIcon, CxMessageBox::Error);
    EXPECT_NE(fm.GetWabStore(), nullptr);
    EXPECT_EQ(fm.GetWabList()->topLevelItemCount(), 0);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int m_nPaints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++m_nPaints;
        return false;
    }
};

TEST_F(MainWindow, ProgressIsPaintedAtOnceWithoutRunningTheEventLoop) {
    auto pForm = std::make_unique<TfmMain>();
    pForm->show();
    pForm->ShowProgress(true);
    QApplication::processEvents();
    PaintCounter counter;
    pForm->GetProgressBar()->installEventFilter(&counter);
    bool bQueuedRan = false;
    QMetaObject::invokeMethod(pForm.get(), [&bQueuedRan]() { bQueuedRan = true; }, Qt::QueuedConnection);
    for (int n = 10; n <= 30; n += 10) {
        const int nBefore = counter.m_nPaints;
        pForm->SetProgress(n);
        EXPECT_GT(counter.m_nPaints, nBefore) << "not painted at " << n;
    }
    EXPECT_EQ(pForm->GetProgressBar()->value(), 30);
    EXPECT_FALSE(bQueuedRan) << "the event loop ran inside SetProgress";
    QApplication::processEvents();
    EXPECT_TRUE(bQueuedRan);
}

TEST_F(MainWindow, HistoryTabListsTicksAndDeletesRecords) {
    SyncHistoryRec rec = {};
    const char* szDescs[] = {"first run", "second run", "third run"};
    for (int i = 0; i < 3; ++i) {
        snprintf(rec.szDescription, sizeof(rec.szDescription), "%s", szDescs[i]);
        rec.dtStart = 40000.5 + i;
        rec.dtEnd = 40000.75 + i;
        rec.nRecordCount = i + 1;
        g_SyncHistory.AppendRecord(&rec);
    }
    auto pForm = std::make_unique<TfmMain>();
    ASSERT_TRUE(g_SyncHistory.Save());
    const std::string sFile = g_SyncHistory.GetFile();
    pForm->FillHistoryList();
    pForm->miViewHistoryClick();
    QTreeWidget* pList = pForm->GetHistoryList();
    ASSERT_EQ(pList->topLevelItemCount(), 3);
    EXPECT_EQ(pList->topLevelItem(0)->text(0), "07/06/2009 12:00:00");
    EXPECT_EQ(pList->topLevelItem(0)->text(1), "07/06/2009 18:00:00");
    EXPECT_EQ(pList->topLevelItem(1)->text(2), "second run");
    EXPECT_EQ(pList->topLevelItem(2)->text(3), "3");

    // Nothing ticked: the file is not written again.
    std::filesystem::remove(sFile);
    Find<QPushButton>(*pForm, "btnHistoryDel")->click();
    EXPECT_FALSE(std::filesystem::exists(sFile));
    EXPECT_EQ(g_SyncHistory.GetCount(), 3u);

    Find<QPushButton>(*pForm, "btnHistoryAll")->click();
    EXPECT_EQ(Ticked(pList), "07/06/2009 12:00:00,07/07/2009 12:00:00,07/08/2009 12:00:00");
    Find<QPushButton>(*pForm, "btnHistoryClear")->click();
    EXPECT_EQ(Ticked(pList), "");
    pList->topLevelItem(1)->setCheckState(0, Qt::Checked);
    Find<QPushButton>(*pForm, "btnHistoryDel")->click();
    EXPECT_EQ(Rows(pList), "07/06/2009 12:00:00,07/08/2009 12:00:00");
    EXPECT_EQ(std::filesystem::file_size(sFile), 4u + 2 * (104 + 9));

    Find<QPushButton>(*pForm, "btnHistoryAll")->click();
    Find<QPushButton>(*pForm, "btnHistoryDel")->click();
    EXPECT_EQ(pList->topLevelItemCount(), 0);
    EXPECT_EQ(std::filesystem::file_size(sFile), 4u);
}

}  // namespace
