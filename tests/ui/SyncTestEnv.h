// A main window over both stand-in stores in a temporary data home, for the
// tests of the synchronization run from the window. The settings file and
// the history start empty; boxes are answered through the message box seam.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/Apputil.h"
#include "app/SyncHistory.h"
#include "app/fixtures/SyncStores.h"
#include "app/ui/Main.h"
#include "app/ui/UiSeams.h"
#include "common/misc/CxDebugUtil.h"
#include "common/misc/CxIniUtil.h"
#include "support/TempDir.h"

class SyncTestEnv : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_stores.HooksLoaded());
        m_sSavedIni = g_IniFile.GetIniFile();
        g_SyncHistory.RemoveAll();
        CxMessageBox::clear();
    }
    void TearDown() override {
        m_pMain.reset();
        g_SyncHistory.RemoveAll();
        g_IniFile.SetIniFile(m_sSavedIni.c_str());
        g_DebugUtil.SetFolder("./");
        CxMessageBox::clear();
    }

    // Seeds the stores, then opens the window as start-up does.
    void Open(const std::vector<CommAddr>& wab, const std::vector<CommAddr>& outlook) {
        ASSERT_TRUE(SeedStores(m_stores, wab, outlook));
        m_pMain = std::make_unique<TfmMain>();
        m_pMain->StartupLoad();
    }
    // Presses a button of the window by its object name.
    void Click(const char* szName) {
        QPushButton* pButton = m_pMain->findChild<QPushButton*>(QString::fromLatin1(szName));
        ASSERT_NE(pButton, nullptr) << szName;
        pButton->click();
    }
    // The texts of one column of a list, row by row.
    static std::vector<std::string> Column(QTreeWidget* pList, int nColumn) {
        std::vector<std::string> v;
        for (int i = 0; i < pList->topLevelItemCount(); ++i)
            v.push_back(pList->topLevelItem(i)->text(nColumn).toStdString());
        return v;
    }
    static std::vector<bool> Ticks(QTreeWidget* pList) {
        std::vector<bool> v;
        for (int i = 0; i < pList->topLevelItemCount(); ++i)
            v.push_back(pList->topLevelItem(i)->checkState(0) == Qt::Checked);
        return v;
    }
    // The data folder's files.
    std::string DataFile(const char* szName) const { return m_dir.Path() + "tessaro/PELLMARK/" + szName; }

    TempDir m_dir{"pellmark_uisync"};
    SyncStores m_stores{m_dir.Path()};
    std::unique_ptr<TfmMain> m_pMain;
    std::string m_sSavedIni;
};
