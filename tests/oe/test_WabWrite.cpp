// Writing records of the other store into the address book: new entries,
// updates, what is and is not written, and every way a write can fail.
#include <cstring>

#include "common/oe/CxWab.h"
#include "oe/fixtures/WabTestEnv.h"
#include "platform/win32/TextCopy.h"

namespace {

class WabWriteTest : public WabTest {
protected:
    void SetUp() override {
        WabTest::SetUp();
        m_sFile = Path("a.wab");
    }

    // The existing contact most tests write against.
    void SeedAnn() {
        ASSERT_TRUE(m_Standin.AddEntry(m_sFile, MAPI_MAILUSER,
                                       {WabValue::Text(PR_DISPLAY_NAME, "Ann Lee"), WabValue::Text(PR_GIVEN_NAME, "Ann"),
                                        WabValue::Text(PR_SURNAME, "Lee"),
                                        WabValue::Text(PR_EMAIL_ADDRESS, "ann@example.com"),
                                        WabValue::Text(PR_COMPANY_NAME, "Acme"),
                                        WabValue::Text(PR_BUSINESS_TELEPHONE_NUMBER, "111")}));
    }

    // The store's record of Ann as the other store would send it back.
    static std::unique_ptr<CommAddr> AnnFromOutlook() {
        auto p = NewAddr("Ann", "Lee", "ann@example.com");
        CopyText(p->szCompany, "Acme");
        CopyText(p->szWorkPhone, "111");
        return p;
    }

    std::vector<WabEntry> Entries() { return m_Standin.ReadEntries(m_sFile); }

    std::string m_sFile;
};

TEST_F(WabWriteTest, NewEntryIsStoredAndListedAtOnce) {
    SeedAnn();
    auto pAddr = NewAddr("Bob", "Ray", "bob@example.com");
    CopyText(pAddr->szMiddleName, "Q");
    CopyText(pAddr->szCompany, "Bobco");
    pAddr->dtBirthday = 29222.5;
    {
        CxWab wab(m_sFile.c_str());
        ASSERT_TRUE(wab.SaveAddr(pAddr.get()));

        ASSERT_EQ(wab.GetAddrMgr()->GetCount(), 2u);
        CommAddr* pListed = wab.GetAddrMgr()->GetFirst();
        pListed = wab.GetAddrMgr()->GetNext();
        EXPECT_STREQ(pListed->szFirstName, "Bob");
        EXPECT_STREQ(pListed->szCompany, "Bobco");
        EXPECT_STREQ(pListed->szMiddleName, "");  // not read back
        EXPECT_STREQ(pListed->szDisplayName, "");
        EXPECT_EQ(pListed->nSourceType, 4);
        EXPECT_EQ(pListed->dtBirthday, 29222.5);
        EXPECT_EQ(pListed->dtAnniversary, -109205.0);

        // Without its identifier the new entry is found but cannot be updated.
        CopyText(pAddr->szCompany, "Changed");
        EXPECT_FALSE(wab.SaveAddr(pAddr.get()));
    }

    std::vector<WabEntry> entries = Entries();
    ASSERT_EQ(entries.size(), 2u);
    const WabEntry& e = entries[1];
    EXPECT_EQ(e.ulObjType, MAPI_MAILUSER);
    EXPECT_EQ(e.Text(PR_DISPLAY_NAME), "Bob Ray");
    EXPECT_EQ(e.Text(PR_MIDDLE_NAME), "Q");
    EXPECT_EQ(e.Text(PR_COMPANY_NAME), "Bobco");
    ASSERT_TRUE(e.Has(PR_BIRTHDAY));
    FILETIME ft = DateToFileTime(29222.5);
    EXPECT_EQ(e.props.at(PR_BIRTHDAY).ft.dwLowDateTime, ft.dwLowDateTime);
    EXPECT_EQ(e.props.at(PR_BIRTHDAY).ft.dwHighDateTime, ft.dwHighDateTime);
    EXPECT_FALSE(e.Has(PR_WEDDING_ANNIVERSARY));

    // A new store reads back what the first one wrote.
    CxWab wab(m_sFile.c_str());
    ASSERT_EQ(wab.GetAddrMgr()->GetCount(), 2u);
    wab.GetAddrMgr()->GetFirst();
    CommAddr* pRead = wab.GetAddrMgr()->GetNext();
    EXPECT_STREQ(pRead->szFirstName, "Bob");
    EXPECT_STREQ(pRead->szLastName, "Ray");
    EXPECT_STREQ(pRead->szEmail, "bob@example.com");
    EXPECT_STREQ(pRead->szCompany, "Bobco");
    EXPECT_EQ(pRead->dtBirthday, 29222.5);
}

// Every carried field lands in its own property, cut to the carried width;
// fields without a property are not written anywhere.
TEST_F(WabWriteTest, CarriesEachFieldToItsPropertyAndWidth) {
    auto pAddr = NewAddr("", "", "");
    for (const MappedText& m : MappedTexts()) {
        // Distinct content per field, filling it to its full width.
        std::string s = std::to_string(m.ulPropTag) + "-";
        while (s.size() < m.nCommSize - 1) s += static_cast<char>('a' + s.size() % 26);
        CopyText(AddrText(pAddr.get(), m.nCommOffset), m.nCommSize, s.c_str());
    }
    std::string sNote(3000, 'n');
    CopyText(pAddr->szNote, sNote.c_str());
    CopyText(pAddr->szMiddleName, "Middle");
    CopyText(pAddr->szDisplayName, std::string(31, 'D').c_str());
    CopyText(pAddr->szSuffix, "SUFFIX-NOT-CARRIED");
    CopyText(pAddr->szEmail2, "EMAIL2-NOT-CARRIED");
    CopyText(pAddr->szPersonalHomePage, "HOMEPAGE-NOT-CARRIED");
    CopyText(pAddr->szCategory, "CATEGORY-NOT-CARRIED");

    {
        CxWab wab(m_sFile.c_str());
        ASSERT_TRUE(wab.AddAddr(pAddr.get()));
    }
    std::vector<WabEntry> entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    const WabEntry& e = entries[0];
    for (const MappedText& m : MappedTexts()) {
        SCOPED_TRACE(m.ulPropTag);
        std::string sField = AddrText(pAddr.get(), m.nCommOffset);
        EXPECT_EQ(e.Text(m.ulPropTag), sField.substr(0, m.nCarried));
    }
    EXPECT_EQ(e.Text(PR_COMMENT), sNote.substr(0, 2047));
    EXPECT_EQ(e.Text(PR_MIDDLE_NAME), "Middle");
    EXPECT_EQ(e.Text(PR_DISPLAY_NAME), std::string(31, 'D'));
    EXPECT_FALSE(e.Has(PR_BUSINESS_FAX_NUMBER));
    for (const auto& kv : e.props)
        EXPECT_EQ(kv.second.sText.find("NOT-CARRIED"), std::string::npos) << kv.second.sText;
}

TEST_F(WabWriteTest, DisplayNameBuiltFromFirstAndLastName) {
    const std::string s31a(31, 'a'), s31b(31, 'b');
    struct Case {
        std::string sFirst, sLast, sDisplay, sExpected;
    };
    const Case cases[] = {
        {"Ann", "Lee", "", "Ann Lee"},
        {"", "", "", " "},
        {"", "Lee", "", " Lee"},
        {"Ann", "", "", "Ann "},
        {"Ann", "Lee", "Dr. Ann Lee", "Dr. Ann Lee"},
        {s31a, s31b, "", s31a + " " + s31b},
    };
    {
        CxWab wab(m_sFile.c_str());
        int n = 0;
        for (const Case& c : cases) {
            // Distinct addresses keep the duplicate check out of the way.
            std::string sEmail = "p" + std::to_string(n++) + "@example.com";
            auto pAddr = NewAddr(c.sFirst.c_str(), c.sLast.c_str(), sEmail.c_str());
            CopyText(pAddr->szDisplayName, c.sDisplay.c_str());
            EXPECT_TRUE(wab.AddAddr(pAddr.get())) << c.sExpected;
        }
    }
    std::vector<WabEntry> entries = Entries();
    ASSERT_EQ(entries.size(), sizeof(cases) / sizeof(cases[0]));
    for (size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(entries[i].Text(PR_DISPLAY_NAME), cases[i].sExpected);
}

// Values that stand for "no date" never become a real date in the book.
TEST_F(WabWriteTest, NoDateValuesLeaveDatesUnwritten) {
    struct Case {
        double dt;
        bool bWritten;
    };
    const Case cases[] = {
        {0.0, false},        // empty date
        {-109205.0, false},  // 1 January 1601, as read for an entry without one
        {949998.0, false},   // 1 January 4501, Outlook's "no date"
        {-200000.0, false},  // before 1601: no file time for it
        {29222.5, true},     // 2 January 1980, noon
    };
    {
        CxWab wab(m_sFile.c_str());
        int n = 0;
        for (const Case& c : cases) {
            std::string sName = "Date" + std::to_string(n++);
            auto pAddr = NewAddr(sName.c_str(), "X", "");
            pAddr->dtBirthday = c.dt;
            pAddr->dtAnniversary = c.dt;
            EXPECT_TRUE(wab.AddAddr(pAddr.get()));
        }
    }
    std::vector<WabEntry> entries = Entries();
    ASSERT_EQ(entries.size(), sizeof(cases) / sizeof(cases[0]));
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(cases[i].dt);
        EXPECT_EQ(entries[i].Has(PR_BIRTHDAY), cases[i].bWritten);
        EXPECT_EQ(entries[i].Has(PR_WEDDING_ANNIVERSARY), cases[i].bWritten);
    }
    FILETIME ft = DateToFileTime(29222.5);
    EXPECT_EQ(entries.back().props.at(PR_BIRTHDAY).ft.dwLowDateTime, ft.dwLowDateTime);
    EXPECT_EQ(entries.back().props.at(PR_BIRTHDAY).ft.dwHighDateTime, ft.dwHighDateTime);
}

TEST_F(WabWriteTest, EqualCounterpartIsNotWritten) {
    SeedAnn();
    CxWab wab(m_sFile.c_str());
    const long nSetProps = m_Standin.CallCount("SetProps");
    const long nSaves = m_Standin.CallCount("SaveChanges");
    // Differences outside the comparison fields do not count.
    auto pAddr = AnnFromOutlook();
    CopyText(pAddr->szDepartment, "Sales");
    EXPECT_FALSE(wab.SaveAddr(pAddr.get()));
    EXPECT_FALSE(wab.SaveAddr(nullptr));
    EXPECT_FALSE(wab.AddAddr(nullptr));
    EXPECT_EQ(m_Standin.CallCount("SetProps"), nSetProps);
    EXPECT_EQ(m_Standin.CallCount("SaveChanges"), nSaves);
    EXPECT_EQ(wab.GetAddrMgr()->GetCount(), 1u);
}

TEST_F(WabWriteTest, UpdateChangesValuesButNeverClearsOne) {
    SeedAnn();
    {
        CxWab wab(m_sFile.c_str());
        auto pAddr = AnnFromOutlook();
        pAddr->szCompany[0] = '\0';  // emptied on the other side
        CopyText(pAddr->szWorkPhone, "222");
        CopyText(pAddr->szHomeCity, "Oslo");
        EXPECT_TRUE(wab.SaveAddr(pAddr.get()));
        // The list keeps the values read at load time.
        ASSERT_EQ(wab.GetAddrMgr()->GetCount(), 1u);
        EXPECT_STREQ(wab.GetAddrMgr()->GetFirst()->szWorkPhone, "111");
    }
    std::vector<WabEntry> entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Text(PR_BUSINESS_TELEPHONE_NUMBER), "222");
    EXPECT_EQ(entries[0].Text(PR_HOME_ADDRESS_CITY), "Oslo");
    EXPECT_EQ(entries[0].Text(PR_COMPANY_NAME), "Acme");
    EXPECT_EQ(entries[0].Text(PR_GIVEN_NAME), "Ann");
}

// A new entry that the book did not take is neither reported nor listed.
TEST_F(WabWriteTest, FailedCreationWritesAndListsNothing) {
    SeedAnn();
    struct Case {
        const char* szFail;
        bool bDuplicate;
    };
    const Case cases[] = {
        {"Templates:Missing", false}, {"Templates:Swapped", false}, {"AllocateBuffer", false},
        {"CreateEntry", false},       {"SetProps", false},          {"SaveChanges", false},
        {"", true},  // same display name and address as Ann: refused as a duplicate
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szFail);
        CxWab wab(m_sFile.c_str());
        ASSERT_EQ(wab.GetAddrMgr()->GetCount(), 1u);
        auto pAddr = c.bDuplicate ? NewAddr("Ann", "Lee", "ANN@example.com") : NewAddr("Bob", "Ray", "bob@example.com");
        m_Standin.SetFail(c.szFail);
        EXPECT_FALSE(wab.AddAddr(pAddr.get()));
        m_Standin.SetFail("");
        EXPECT_EQ(wab.GetAddrMgr()->GetCount(), 1u);
        EXPECT_EQ(Entries().size(), 1u);
    }
}

TEST_F(WabWriteTest, FailedUpdateIsReported) {
    SeedAnn();
    for (const char* szFail : {"OpenEntry:MAPI_MODIFY", "SetProps", "SaveChanges"}) {
        SCOPED_TRACE(szFail);
        CxWab wab(m_sFile.c_str());
        auto pAddr = AnnFromOutlook();
        CopyText(pAddr->szWorkPhone, "999");
        m_Standin.SetFail(szFail);
        EXPECT_FALSE(wab.SaveAddr(pAddr.get()));
        m_Standin.SetFail("");
        EXPECT_EQ(Entries()[0].Text(PR_BUSINESS_TELEPHONE_NUMBER), "111");
    }
}

// Reaches the store's template lookup directly.
class WabTemplateProbe : public CxWab {
public:
    using CxWab::CxWab;

    // Creates and saves an empty entry from the template for ulObjType.
    bool CreateFromTemplate(ULONG ulObjType) {
        ULONG cb = 0;
        LPENTRYID lpId = nullptr;
        if (!GetCreateTemplate(ulObjType, &cb, &lpId)) return false;
        LPMAPIPROP lpEntry = nullptr;
        HRESULT hr = m_pRootFolder->GetContainer()->CreateEntry(cb, lpId, 0, &lpEntry);
        m_lpWABObject->FreeBuffer(lpId);
        if (FAILED(hr)) return false;
        hr = lpEntry->SaveChanges(0);
        lpEntry->Release();
        return SUCCEEDED(hr);
    }
};

TEST_F(WabWriteTest, TemplateFollowsTheObjectType) {
    {
        WabTemplateProbe wab(m_sFile.c_str());
        for (ULONG ulType : {MAPI_DISTLIST, MAPI_MAILUSER, MAPI_ABCONT}) EXPECT_TRUE(wab.CreateFromTemplate(ulType));
    }
    std::vector<WabEntry> entries = Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].ulObjType, MAPI_DISTLIST);
    EXPECT_EQ(entries[1].ulObjType, MAPI_MAILUSER);
    EXPECT_EQ(entries[2].ulObjType, MAPI_MAILUSER);  // any other type: the contact template
}

}  // namespace
