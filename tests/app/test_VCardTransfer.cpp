// vCard import into and export out of both stand-in stores.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "app/VCardTransfer.h"
#include "app/fixtures/SyncStores.h"
#include "common/misc/CxDebugUtil.h"
#include "support/TempDir.h"

namespace {

std::string Card(const char* szFirst, const char* szLast, const char* szEmail, const char* szWorkPhone,
                 const char* szExtra = "") {
    return std::string("BEGIN:VCARD\r\nVERSION:3.0\r\nN:") + szLast + ";" + szFirst + ";;;\r\nFN:" + szFirst + " " +
           szLast + "\r\nEMAIL;TYPE=INTERNET:" + szEmail + "\r\nTEL;TYPE=WORK,VOICE:" + szWorkPhone + "\r\n" + szExtra +
           "END:VCARD\r\n";
}

void WriteText(const std::string& sPath, const std::string& sText) {
    std::ofstream out(sPath, std::ios::binary | std::ios::trunc);
    out << sText;
}

class VCardTransferTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_stores.HooksLoaded());
        // Failed writes are logged: into the test's folder, not the working one.
        g_DebugUtil.SetFolder(m_dir.Path().c_str());
    }
    void TearDown() override { g_DebugUtil.SetFolder("./"); }
    bool Outlook() const { return GetParam() == VCARD_STORE_OUTLOOK; }
    // Seeds the store under test only, then opens both.
    void Seed(const std::vector<CommAddr>& addrs) {
        ASSERT_TRUE(SeedStores(m_stores, Outlook() ? std::vector<CommAddr>() : addrs,
                               Outlook() ? addrs : std::vector<CommAddr>()));
        ASSERT_TRUE(m_stores.Open());
    }
    CommAddrMgr* List() {
        return Outlook() ? m_stores.Outlook()->GetAddrMgr() : m_stores.Wab()->GetAddrMgr();
    }
    // The store's contacts as read afresh: "first last email phone" each.
    std::vector<std::string> StoreContents() {
        m_stores.Close();
        EXPECT_TRUE(m_stores.Open());
        std::vector<std::string> v;
        for (CommAddr* p : SyncStores::Records(List()))
            v.push_back(std::string(p->szFirstName) + " " + p->szLastName + " " + p->szEmail + " " + p->szWorkPhone);
        return v;
    }
    VCardTransfer Transfer() { return VCardTransfer(m_stores.Wab(), m_stores.Outlook(), &m_history); }

    TempDir m_dir{"pellmark_vcardxfer"};
    SyncStores m_stores{m_dir.Path()};
    SyncHistoryMgr m_history;
};

TEST_P(VCardTransferTest, ImportAddsUpdatesAndLeavesAloneThenRecordsTheHistory) {
    Seed({MakeContact("Ann", "Alpha", "ann@x.org", "1"), MakeContact("Bob", "Beta", "bob@x.org", "2")});
    const std::string sFile = m_dir.File("family.vcf");
    // Ann equal, Bob with a new phone, Cy new, an empty card, a nickname too
    // long for its field, and Dee twice: her last card is the one imported.
    WriteText(sFile, Card("Ann", "Alpha", "ann@x.org", "1") + Card("Bob", "Beta", "bob@x.org", "22") +
                         Card("Cy", "Gamma", "cy@x.org", "3", "NICKNAME:Cyrano de Bergerac the Magnificent\r\n") +
                         "BEGIN:VCARD\r\nVERSION:3.0\r\nEND:VCARD\r\n" + Card("Dee", "Delta", "dee@x.org", "4") +
                         Card("Dee", "Delta", "dee@x.org", "44"));

    VCardImportResult r;
    int nLastProgress = -1;
    ASSERT_TRUE(Transfer().Import(sFile.c_str(), GetParam(), r, [&](int n) { nLastProgress = n; }));
    EXPECT_EQ(r.nAdded, 2);
    EXPECT_EQ(r.nUpdated, 1);
    EXPECT_EQ(r.nUnchanged, 1);
    EXPECT_EQ(r.nSkipped, 1);
    EXPECT_EQ(r.nCut, 1);
    EXPECT_EQ(r.nDuplicates, 1);
    EXPECT_EQ(r.nFailed, 0);
    EXPECT_EQ(nLastProgress, 100);

    // The list in memory already holds what was written, as a fresh read does.
    std::vector<std::string> inMemory;
    for (CommAddr* p : SyncStores::Records(List()))
        inMemory.push_back(std::string(p->szFirstName) + " " + p->szLastName + " " + p->szEmail + " " + p->szWorkPhone);
    const std::vector<std::string> expected = {"Ann Alpha ann@x.org 1", "Bob Beta bob@x.org 22",
                                               "Cy Gamma cy@x.org 3", "Dee Delta dee@x.org 44"};
    EXPECT_EQ(inMemory, expected);
    EXPECT_EQ(StoreContents(), expected);

    ASSERT_EQ(m_history.GetCount(), 1u);
    SyncHistoryRec* pRec = m_history.GetFirst();
    EXPECT_STREQ(pRec->szDescription,
                 Outlook() ? "Import contacts from family.vcf into Outlook." : "Import contacts from family.vcf into WAB.");
    EXPECT_EQ(pRec->nRecordCount, 3);
    EXPECT_GE(pRec->dtEnd, pRec->dtStart);
    EXPECT_GT(pRec->dtStart, 0);
    SyncHistoryMgr saved;
    ASSERT_TRUE(saved.Load());
    EXPECT_EQ(saved.GetCount(), 1u);

    // The report: the counts, then the file's problems (the empty card).
    ASSERT_FALSE(r.report.issues.empty());
    const std::string sHead = std::string("vCard import into ") + (Outlook() ? "Outlook" : "WAB") +
                              " finished.\r\n\r\nAdded: 2\r\nUpdated: 1\r\nUnchanged: 1\r\n"
                              "Skipped as unreadable: 1\r\nValues cut: 1\r\nDuplicates in the file (last card kept): 1"
                              "\r\n\r\nProblems in the file:\r\n" +
                              CxVCard::FormatIssue(r.report.issues[0]);
    const std::string sReport = VCardTransfer::ReportText(r, GetParam());
    EXPECT_EQ(sReport.substr(0, sHead.size()), sHead);
}

TEST_P(VCardTransferTest, AFileThatCannotBeReadWritesNothing) {
    Seed({MakeContact("Ann", "Alpha", "ann@x.org", "1")});
    const std::string sGarbage = m_dir.File("photo.jpg");
    WriteText(sGarbage, std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11) + "BEGIN:VCAR");
    struct Case {
        std::string sPath;
        const char* szError;
    } cases[] = {
        {m_dir.File("missing.vcf"), "The file \"missing.vcf\" could not be read: cannot open the file: "},
        {sGarbage, "The file \"photo.jpg\" holds no vCard contacts."},
    };
    for (const Case& c : cases) {
        VCardImportResult r;
        EXPECT_FALSE(Transfer().Import(c.sPath.c_str(), GetParam(), r)) << c.sPath;
        EXPECT_FALSE(r.bRead);
        EXPECT_EQ(r.szError.rfind(c.szError, 0), 0u) << r.szError;
    }
    EXPECT_EQ(m_history.GetCount(), 0u);
    EXPECT_EQ(StoreContents(), std::vector<std::string>{"Ann Alpha ann@x.org 1"});
}

TEST_P(VCardTransferTest, WritesTheStoreRefusesAreCountedAsFailed) {
    Seed({MakeContact("Bob", "Beta", "bob@x.org", "2")});
    const std::string sFile = m_dir.File("two.vcf");
    WriteText(sFile, Card("Ann", "Alpha", "ann@x.org", "1") + Card("Bob", "Beta", "bob@x.org", "22"));
    if (Outlook())
        m_stores.FailOutlookWrites(true);
    else
        m_stores.FailWabWrites(true);
    VCardImportResult r;
    ASSERT_TRUE(Transfer().Import(sFile.c_str(), GetParam(), r));
    EXPECT_EQ(r.nAdded + r.nUpdated, 0);
    EXPECT_EQ(r.nFailed, 2);
    ASSERT_EQ(m_history.GetCount(), 1u);
    EXPECT_EQ(m_history.GetFirst()->nRecordCount, 0);
    const std::string sReport = VCardTransfer::ReportText(r, GetParam());
    EXPECT_NE(sReport.find("finished with errors."), std::string::npos) << sReport;
    EXPECT_NE(sReport.find("\r\nCould not be written: 2\r\n"), std::string::npos) << sReport;
    m_stores.FailOutlookWrites(false);
    m_stores.FailWabWrites(false);
    EXPECT_EQ(StoreContents(), std::vector<std::string>{"Bob Beta bob@x.org 2"});
}

TEST_P(VCardTransferTest, ExportWritesTheWholeListThatReadsBackTheSame) {
    CommAddr zoe = MakeContact("Zoë", "Øster", "zoe@x.org", "+1 555", "line one\nline two");
    CopyText(zoe.szWorkStreet, "Hauptstraße 1\nHof 2");
    CopyText(zoe.szCompany, "北辰商事");
    Seed({zoe, MakeContact("Bob", "Beta", "bob@x.org", "2")});
    const std::string sFile = m_dir.File("out.vcf");
    std::string sError;
    int nCount = -1;
    ASSERT_TRUE(Transfer().Export(GetParam(), sFile.c_str(), sError, &nCount)) << sError;
    EXPECT_EQ(nCount, 2);
    EXPECT_NE(ReadFileBytes(sFile).find("VERSION:3.0\r\n"), std::string::npos);

    std::vector<CommAddr> back;
    CxVCardReport report;
    ASSERT_TRUE(CxVCard::ReadFile(sFile.c_str(), back, report));
    std::vector<CommAddr*> list = SyncStores::Records(List());
    ASSERT_EQ(back.size(), list.size());
    for (size_t i = 0; i < back.size(); ++i) EXPECT_TRUE(List()->IsSameContent(&back[i], list[i])) << i;
    // Line breaks come back, whichever way the store ends its lines.
    auto lf = [](std::string t) {
        t.erase(std::remove(t.begin(), t.end(), '\r'), t.end());
        return t;
    };
    EXPECT_EQ(lf(back[0].szWorkStreet), "Hauptstraße 1\nHof 2");
    EXPECT_EQ(lf(back[0].szNote), "line one\nline two");

    // A file that cannot be written is an error.
    EXPECT_FALSE(Transfer().Export(GetParam(), m_dir.File("no/such/folder.vcf").c_str(), sError));
    EXPECT_FALSE(sError.empty());
}

TEST_P(VCardTransferTest, AStoreThatIsNotOpenTakesNothing) {
    VCardTransfer none(nullptr, nullptr, &m_history);
    VCardImportResult r;
    EXPECT_FALSE(none.Import(m_dir.File("x.vcf").c_str(), GetParam(), r));
    EXPECT_EQ(r.szError, std::string("The ") + (Outlook() ? "Outlook" : "WAB") + " contacts are not open.");
    std::string sError;
    EXPECT_FALSE(none.Export(GetParam(), m_dir.File("x.vcf").c_str(), sError));
    EXPECT_EQ(m_history.GetCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Stores, VCardTransferTest, ::testing::Values(VCARD_STORE_WAB, VCARD_STORE_OUTLOOK),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == VCARD_STORE_WAB ? "Wab" : "Outlook");
                         });

TEST(VCardTransferText, HistoryTextKeepsItsEndingAndCutsALongNameOnACharacter) {
    EXPECT_EQ(VCardTransfer::HistoryText("/home/u/My Contacts.vcf", VCARD_STORE_WAB),
              "Import contacts from My Contacts.vcf into WAB.");
    std::string sLong = "/tmp/";
    for (int i = 0; i < 200; ++i) sLong += "é";  // two bytes each
    const std::string s = VCardTransfer::HistoryText(sLong.c_str(), VCARD_STORE_OUTLOOK);
    EXPECT_LE(s.size(), 255u);
    EXPECT_EQ(s.substr(s.size() - 14), " into Outlook.");
    const std::string sStart = "Import contacts from éé";
    EXPECT_EQ(s.compare(0, sStart.size(), sStart), 0);
    EXPECT_EQ((s.size() - 21 - 14) % 2, 0u);  // whole characters only
}

}  // namespace
