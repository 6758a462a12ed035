// vCard import and export from the main window's File menu, against both
// stand-ins.
#include <QTreeWidget>

#include "app/SyncHistory.h"
#include "app/ui/Main.h"
#include "app/ui/UiSeams.h"
#include "common/vcard/CxVCard.h"
#include "support/ScopedEnv.h"
#include "ui/fixtures/VcardTestEnv.h"

namespace {

bool Has(const std::string& sText, const std::string& sPart) { return sText.find(sPart) != std::string::npos; }

struct Store {
    const char* szName;
    const char* szImport;
    const char* szExport;
    bool bOutlook;
};
void PrintTo(const Store& store, std::ostream* pOut) { *pOut << store.szName; }
const Store kWab = {"WAB", "miFileImportWab", "miFileExportWab", false};
const Store kOutlook = {"Outlook", "miFileImportOutlook", "miFileExportOutlook", true};

class VcardMenuTest : public VcardTestEnv, public ::testing::WithParamInterface<Store> {
protected:
    // The store under test, through its own tool: every contact's properties.
    std::string StoreText() { return GetParam().bOutlook ? OutlookShowAll() : WabToolList(); }
    void OpenWith(const std::vector<CommAddr>& addrs) {
        const bool bOl = GetParam().bOutlook;
        Open(bOl ? std::vector<CommAddr>() : addrs, bOl ? addrs : std::vector<CommAddr>());
    }
    QTreeWidget* StoreList() { return GetParam().bOutlook ? m_pMain->GetOlList() : m_pMain->GetWabList(); }
};

TEST_P(VcardMenuTest, ImportAddsUpdatesAndLeavesAloneThenReportsAndRecordsIt) {
    OpenWith({MakeContact("Ann", "Alpha", "ann@x.org", "555-0101"), MakeContact("Bob", "Beta", "bob@x.org", "555-0102")});
    const std::string sFile =
        WriteFile("family.vcf", Card("Ann", "Alpha", "ann@x.org", "555-0101") + Card("Bob", "Beta", "bob@x.org", "555-0222") +
                                    Card("Cy", "Gamma", "cy@x.org", "555-0103"));
    CxFileDialog::setNextFileName(QString::fromStdString(sFile));
    CxMessageBox::setNextAnswer(QMessageBox::Ok);
    Choose(GetParam().szImport);

    ASSERT_EQ(CxFileDialog::shown().size(), 1u);
    EXPECT_EQ(CxFileDialog::shown()[0].szTitle.toStdString(), std::string("Import vCard into ") + GetParam().szName);
    EXPECT_FALSE(CxFileDialog::shown()[0].bSave);
    ASSERT_EQ(CxMessageBox::shown().size(), 1u);
    const CxMessageBox::Shown& box = CxMessageBox::shown()[0];
    EXPECT_EQ(box.szCaption.toStdString(), "Information");
    EXPECT_EQ(box.nIcon, CxMessageBox::Information);
    EXPECT_EQ(box.szText.toStdString(), std::string("vCard import into ") + GetParam().szName +
                                            " finished.\r\n\r\nAdded: 1\r\nUpdated: 1\r\nUnchanged: 1\r\n"
                                            "Skipped as unreadable: 0\r\nValues cut: 0");

    // The store itself: Cy added, Bob's new phone in place of the old one,
    // Ann once.
    const std::string sStore = StoreText();
    EXPECT_TRUE(Has(sStore, "cy@x.org")) << sStore;
    EXPECT_TRUE(Has(sStore, "555-0222")) << sStore;
    EXPECT_FALSE(Has(sStore, "555-0102")) << sStore;
    EXPECT_EQ(sStore.find("ann@x.org"), sStore.rfind("ann@x.org")) << sStore;

    // Both lists refreshed and compared; the history tab and file have the import.
    EXPECT_EQ(StoreList()->topLevelItemCount(), 3);
    QTreeWidget* pHistory = m_pMain->GetHistoryList();
    ASSERT_EQ(pHistory->topLevelItemCount(), 1);
    EXPECT_EQ(pHistory->topLevelItem(0)->text(2).toStdString(),
              std::string("Import contacts from family.vcf into ") + GetParam().szName + ".");
    EXPECT_EQ(pHistory->topLevelItem(0)->text(3).toStdString(), "2");
    SyncHistoryMgr saved;
    ASSERT_TRUE(saved.Load());
    EXPECT_EQ(saved.GetCount(), 1u);
}

TEST_P(VcardMenuTest, AFileThatCannotBeReadIsAnErrorAndWritesNothing) {
    OpenWith({MakeContact("Ann", "Alpha", "ann@x.org", "555-0101")});
    const std::string sBefore = StoreText();
    CxFileDialog::setNextFileName(QString::fromStdString(m_dir.File("gone.vcf")));
    CxMessageBox::setNextAnswer(QMessageBox::Ok);
    Choose(GetParam().szImport);
    ASSERT_EQ(CxMessageBox::shown().size(), 1u);
    EXPECT_EQ(CxMessageBox::shown()[0].szCaption.toStdString(), "Error");
    EXPECT_EQ(CxMessageBox::shown()[0].szText.toStdString(),
              "The file \"gone.vcf\" could not be read: cannot open the file: No such file or directory.\r\n\r\n"
              "Nothing was imported.");
    EXPECT_EQ(StoreText(), sBefore);
    EXPECT_EQ(m_pMain->GetHistoryList()->topLevelItemCount(), 0);

    // Cancel in the file dialog does nothing at all.
    CxFileDialog::setNextFileName(QString());
    Choose(GetParam().szImport);
    EXPECT_EQ(CxMessageBox::shown().size(), 1u);
}

TEST_P(VcardMenuTest, FailedWritesEndInAnErrorBox) {
    OpenWith({});
    const std::string sFile = WriteFile("one.vcf", Card("Cy", "Gamma", "cy@x.org", "555-0103"));
    if (GetParam().bOutlook)
        m_stores.FailOutlookWrites(true);
    else
        m_stores.FailWabWrites(true);
    CxFileDialog::setNextFileName(QString::fromStdString(sFile));
    CxMessageBox::setNextAnswer(QMessageBox::Ok);
    Choose(GetParam().szImport);
    ASSERT_EQ(CxMessageBox::shown().size(), 1u);
    EXPECT_EQ(CxMessageBox::shown()[0].szCaption.toStdString(), "Error");
    EXPECT_EQ(CxMessageBox::shown()[0].nIcon, CxMessageBox::Error);
    EXPECT_EQ(CxMessageBox::shown()[0].szText.toStdString(),
              std::string("vCard import into ") + GetParam().szName +
                  " finished with errors.\r\n\r\nAdded: 0\r\nUpdated: 0\r\nUnchanged: 0\r\nSkipped as unreadable: 0\r\n"
                  "Values cut: 0\r\nCould not be written: 1\r\n\r\n"
                  "The debug log names the contacts that could not be written.");
    EXPECT_EQ(StoreList()->topLevelItemCount(), 0);
}

TEST_P(VcardMenuTest, ExportWritesTheStoresWholeListThatReadsBackTheSame) {
    CommAddr zoe = MakeContact("Zoë", "Øster", "zoe@x.org", "+1 555 0104", "first line\nsecond line");
    OpenWith({zoe, MakeContact("Bob", "Beta", "bob@x.org", "555-0102")});
    const std::string sFile = m_dir.File("out.vcf");
    CxFileDialog::setNextFileName(QString::fromStdString(sFile));
    CxMessageBox::setNextAnswer(QMessageBox::Ok);
    Choose(GetParam().szExport);

    ASSERT_EQ(CxFileDialog::shown().size(), 1u);
    EXPECT_TRUE(CxFileDialog::shown()[0].bSave);
    EXPECT_EQ(CxFileDialog::shown()[0].szTitle.toStdString(),
              std::string("Export ") + GetParam().szName + " Contacts to vCard");
    ASSERT_EQ(CxMessageBox::shown().size(), 1u);
    EXPECT_EQ(CxMessageBox::shown()[0].szCaption.toStdString(), "Information");
    EXPECT_EQ(CxMessageBox::shown()[0].szText.toStdString(),
              std::string("2 ") + GetParam().szName + " contacts exported to \"out.vcf\".");

    std::vector<CommAddr> back;
    CxVCardReport report;
    ASSERT_TRUE(CxVCard::ReadFile(sFile.c_str(), back, report));
    EXPECT_TRUE(report.issues.empty());
    QTreeWidget* pList = StoreList();
    ASSERT_EQ(back.size(), (size_t)pList->topLevelItemCount());
    CommAddrMgr cmp;
    for (size_t i = 0; i < back.size(); ++i) {
        const CommAddr* pRow = TfmMain::GetRowAddr(pList->topLevelItem((int)i));
        ASSERT_NE(pRow, nullptr);
        EXPECT_TRUE(cmp.IsSameContact(&back[i], pRow) && cmp.IsSameContent(&back[i], pRow)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, VcardMenuTest, ::testing::Values(kWab, kOutlook),
                         [](const ::testing::TestParamInfo<Store>& info) { return std::string(info.param.szName); });

using VcardUnreadStoreTest = VcardTestEnv;

// A store whose read failed shows an empty list: an import would add every
// contact again, and an export would replace a file with nothing.
TEST_F(VcardUnreadStoreTest, AStoreThatCouldNotBeReadTakesNoImportAndGivesNoExport) {
    ASSERT_TRUE(SeedStores(m_stores, {}, {}));
    ScopedEnv fail("PELLMARK_WAB_FAIL", "WABOpen");
    m_pMain = std::make_unique<TfmMain>();
    m_pMain->LoadContacts();
    const std::string sFile = WriteFile("one.vcf", Card("Cy", "Gamma", "cy@x.org", "555-0103"));
    for (int i = 0; i < 2; ++i) CxMessageBox::setNextAnswer(QMessageBox::Ok);
    Choose("miFileImportWab");
    Choose("miFileExportWab");
    EXPECT_TRUE(CxFileDialog::shown().empty());
    ASSERT_EQ(CxMessageBox::shown().size(), 2u);
    EXPECT_EQ(CxMessageBox::shown()[0].szText.toStdString(),
              "The WAB contacts could not be read, so nothing can be imported into them.");
    EXPECT_EQ(CxMessageBox::shown()[1].szText.toStdString(),
              "The WAB contacts could not be read, so there is nothing to export.");
    EXPECT_EQ(m_pMain->GetHistoryList()->topLevelItemCount(), 0);
}

}  // namespace
