// Reading an address book into the contact list: which entries, which fields
// and how many bytes of each, names and dates.
#include <cstdio>
#include <cstring>

#include "common/oe/CxWab.h"
#include "oe/fixtures/WabTestEnv.h"

namespace {

class WabReadTest : public WabTest {
protected:
    static std::vector<CommAddr*> Records(CxWab& wab) {
        std::vector<CommAddr*> v;
        for (CommAddr* p = wab.GetAddrMgr()->GetFirst(); p != nullptr; p = wab.GetAddrMgr()->GetNext())
            v.push_back(p);
        return v;
    }
};

// A value that tells its property apart in its first bytes and is longer
// than any member: "3A08001E-" then filler.
std::string LongValue(ULONG ulTag, size_t nLength) {
    char szTag[16];
    snprintf(szTag, sizeof(szTag), "%08X-", static_cast<unsigned>(ulTag));
    std::string s = szTag;
    while (s.size() < nLength) s += static_cast<char>('a' + s.size() % 26);
    return s;
}

TEST_F(WabReadTest, ListsContactsOnlyInTableOrder) {
    const std::string sFile = Path("a.wab");
    struct Seed {
        ULONG ulType;
        const char* szName;
    };
    for (const Seed& s : {Seed{MAPI_MAILUSER, "Ann"}, Seed{MAPI_DISTLIST, "Team"}, Seed{MAPI_MAILUSER, "Bob"},
                          Seed{MAPI_DISTLIST, "Club"}, Seed{MAPI_MAILUSER, "Cid"}})
        ASSERT_TRUE(m_Standin.AddEntry(sFile, s.ulType,
                                       {WabValue::Text(PR_DISPLAY_NAME, s.szName), WabValue::Text(PR_GIVEN_NAME, s.szName)}));

    CxWab wab;
    ASSERT_TRUE(wab.Open(sFile.c_str()));
    std::vector<std::string> names;
    for (CommAddr* p : Records(wab)) {
        names.push_back(p->szFirstName);
        EXPECT_EQ(p->nSourceType, 4);
        ASSERT_EQ(p->nSideDataSize, sizeof(WabAddr));
        const WabAddr* pWab = static_cast<const WabAddr*>(p->pSideData);
        EXPECT_STREQ(pWab->szGivenName, p->szFirstName);
        EXPECT_NE(pWab->lpEntryID, nullptr);
        EXPECT_GT(pWab->cbEntryID, 0u);
        EXPECT_NE(pWab->lpMailUser, nullptr);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Ann", "Bob", "Cid"}));
}

TEST_F(WabReadTest, BookWithoutMailUsersOpensWithEmptyList) {
    const std::string sFile = Path("a.wab");
    ASSERT_TRUE(m_Standin.AddEntry(sFile, MAPI_DISTLIST, {WabValue::Text(PR_DISPLAY_NAME, "Team")}));
    for (const std::string& sName : {sFile, Path("new.wab")}) {
        CxWab wab;
        EXPECT_TRUE(wab.Open(sName.c_str()));
        EXPECT_TRUE(wab.IsOpen());
        EXPECT_EQ(wab.GetAddrMgr()->GetCount(), 0u);
    }
}

// Every carried property arrives in its own field, cut to the carried width;
// names that are not read back and properties that are not carried leave no
// trace in the record.
TEST_F(WabReadTest, CarriesEachPropertyToItsFieldAndWidth) {
    const std::string sFile = Path("a.wab");
    std::vector<WabValue> values;
    for (const MappedText& m : MappedTexts()) values.push_back(WabValue::Text(m.ulPropTag, LongValue(m.ulPropTag, 3000)));
    values.push_back(WabValue::Text(PR_DISPLAY_NAME, "DISPLAYNAME-VALUE"));
    values.push_back(WabValue::Text(PR_MIDDLE_NAME, "MIDDLENAME-VALUE"));
    values.push_back(WabValue::Text(PR_BUSINESS_FAX_NUMBER, "BUSINESSFAX-VALUE"));
    ASSERT_TRUE(m_Standin.AddEntry(sFile, MAPI_MAILUSER, values));

    CxWab wab;
    ASSERT_TRUE(wab.Open(sFile.c_str()));
    std::vector<CommAddr*> records = Records(wab);
    ASSERT_EQ(records.size(), 1u);
    CommAddr* p = records[0];
    for (const MappedText& m : MappedTexts()) {
        SCOPED_TRACE(LongValue(m.ulPropTag, 8));
        EXPECT_EQ(std::string(AddrText(p, m.nCommOffset)), LongValue(m.ulPropTag, 3000).substr(0, m.nCarried));
    }
    EXPECT_STREQ(p->szMiddleName, "");
    EXPECT_STREQ(p->szDisplayName, "");
    for (const char* szNotCarried : {"DISPLAYNAME-VALUE", "MIDDLENAME-VALUE", "BUSINESSFAX-VALUE"})
        EXPECT_EQ(memmem(p, offsetof(CommAddr, pSideData), szNotCarried, strlen(szNotCarried)), nullptr)
            << szNotCarried;
}

TEST_F(WabReadTest, DisplayNameFillsFirstNameWhenNamesAreEmpty) {
    const std::string s16 = "Sixteen Chars Nm";
    const std::string s40 = "A display name that is forty bytes long.";
    // 30 ASCII bytes, then a two-byte character that would end past byte 31.
    const std::string sUtf8 = std::string(30, 'u') + "\xC3\xA9" + "tail";
    struct Case {
        const char* szGiven;
        const char* szSurname;
        std::string sDisplay;
        std::string sFirst;
        std::string sLast;
    };
    const Case cases[] = {
        {nullptr, nullptr, s16, s16, ""},
        {nullptr, nullptr, s40, s40.substr(0, 31), ""},
        {nullptr, nullptr, sUtf8, sUtf8.substr(0, 30), ""},
        {"Ann", nullptr, "Ann Shown", "Ann", ""},
        {nullptr, "Lee", "Lee Shown", "", "Lee"},
    };
    const std::string sFile = Path("a.wab");
    for (const Case& c : cases) {
        std::vector<WabValue> v = {WabValue::Text(PR_DISPLAY_NAME, c.sDisplay)};
        if (c.szGiven) v.push_back(WabValue::Text(PR_GIVEN_NAME, c.szGiven));
        if (c.szSurname) v.push_back(WabValue::Text(PR_SURNAME, c.szSurname));
        ASSERT_TRUE(m_Standin.AddEntry(sFile, MAPI_MAILUSER, v));
    }

    CxWab wab;
    ASSERT_TRUE(wab.Open(sFile.c_str()));
    std::vector<CommAddr*> records = Records(wab);
    ASSERT_EQ(records.size(), sizeof(cases) / sizeof(cases[0]));
    for (size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(cases[i].sDisplay);
        EXPECT_EQ(std::string(records[i]->szFirstName), cases[i].sFirst);
        EXPECT_EQ(std::string(records[i]->szLastName), cases[i].sLast);
        EXPECT_STREQ(records[i]->szDisplayName, "");
    }
}

TEST_F(WabReadTest, DatesReadWithoutTimeZoneAndMissingOnesAs1601) {
    const std::string sFile = Path("a.wab");
    ASSERT_TRUE(m_Standin.AddEntry(sFile, MAPI_MAILUSER, {WabValue::Text(PR_GIVEN_NAME, "NoDates")}));
    ASSERT_TRUE(m_Standin.AddEntry(sFile, MAPI_MAILUSER,
                                   {WabValue::Text(PR_GIVEN_NAME, "Dates"),
                                    WabValue::Date(PR_BIRTHDAY, DateToFileTime(29222.5)),
                                    WabValue::Date(PR_WEDDING_ANNIVERSARY, DateToFileTime(36526.0))}));

    CxWab wab;
    ASSERT_TRUE(wab.Open(sFile.c_str()));
    std::vector<CommAddr*> records = Records(wab);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0]->dtBirthday, -109205.0);
    EXPECT_EQ(records[0]->dtAnniversary, -109205.0);
    EXPECT_EQ(records[1]->dtBirthday, 29222.5);  // 2 January 1980, noon
    EXPECT_EQ(records[1]->dtAnniversary, 36526.0);
}

// A value stored with another type under a member's property identifier is
// neither read as that member's text nor as a date.
TEST_F(WabReadTest, ValuesOfAnotherTypeAreIgnored) {
    const std::string sFile = Path("a.wab");
    ASSERT_TRUE(m_Standin.AddEntry(sFile, MAPI_MAILUSER,
                                   {WabValue::Text(PR_GIVEN_NAME, "Ann"),
                                    WabValue::Text(CHANGE_PROP_TYPE(PR_SURNAME, PT_LONG), ""),
                                    WabValue::Date(CHANGE_PROP_TYPE(PR_COMPANY_NAME, PT_SYSTIME),
                                                   DateToFileTime(29222.5)),
                                    WabValue::Text(CHANGE_PROP_TYPE(PR_BIRTHDAY, PT_LONG), "")}));

    CxWab wab;
    ASSERT_TRUE(wab.Open(sFile.c_str()));
    std::vector<CommAddr*> records = Records(wab);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_STREQ(records[0]->szFirstName, "Ann");
    EXPECT_STREQ(records[0]->szLastName, "");
    EXPECT_STREQ(records[0]->szCompany, "");
    EXPECT_EQ(records[0]->dtBirthday, -109205.0);
}

// Calls the store's internal reading steps directly.
class WabProbe : public CxWab {
public:
    using CxWab::ReadEntry;
};

TEST_F(WabReadTest, ProgrammingErrorsStopWithTheirCondition) {
    WabProbe wab;
    WabAddr record;
    memset(&record, 0, sizeof(record));
    SPropValue props[3];
    memset(props, 0, sizeof(props));
    SRowSet rows;
    rows.cRows = 1;
    rows.aRow[0].cValues = 3;
    rows.aRow[0].lpProps = props;

    EXPECT_DEATH(wab.ReadEntry(nullptr, &rows, 0), "Assertion failed: pRecord!=NULL, file common/oe/CxWab, line");
    EXPECT_DEATH(wab.ReadEntry(&record, nullptr, 0), "Assertion failed: lpRowAB!=NULL, file common/oe/CxWab, line");
    for (int index : {-1, 1})
        EXPECT_DEATH(wab.ReadEntry(&record, &rows, index),
                     "Assertion failed: index>=0&&index<\\(int\\)lpRowAB->cRows, file common/oe/CxWab, line");
    EXPECT_DEATH(CxWabFolder(nullptr, reinterpret_cast<LPABCONT>(&rows)),
                 "Assertion failed: pWab!=NULL, file common/oe/CxWab, line");
    EXPECT_DEATH(CxWabFolder(&wab, nullptr), "Assertion failed: pContainer!=NULL, file common/oe/CxWab, line");

    // A row that is not a mail user leaves the record untouched.
    props[2].ulPropTag = PR_OBJECT_TYPE;
    props[2].Value.ul = MAPI_DISTLIST;
    record.szGivenName[0] = 'x';
    EXPECT_FALSE(wab.ReadEntry(&record, &rows, 0));
    EXPECT_EQ(record.szGivenName[0], 'x');
}

}  // namespace
