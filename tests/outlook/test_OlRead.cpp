#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <memory>

#include "common/outlook/OlAddr.h"
#include "tests/outlook/fixtures/OlTestEnv.h"

namespace {

struct MappedText {
    const char* szProperty;
    size_t nField;  // offset of the CommAddr member
};

#define FIELD(m) offsetof(CommAddr, m)

// Every text property that reaches a field, with the field it fills.
const MappedText kMappedTexts[] = {
    {"Account", FIELD(szAccount)},
    {"AssistantName", FIELD(szAssistantName)},
    {"AssistantTelephoneNumber", FIELD(szAssistantPhone)},
    {"BusinessAddressCity", FIELD(szWorkCity)},
    {"BusinessAddressCountry", FIELD(szWorkCountry)},
    {"BusinessAddressPostalCode", FIELD(szWorkPostal)},
    {"BusinessAddressState", FIELD(szWorkState)},
    {"BusinessAddressStreet", FIELD(szWorkStreet)},
    {"BusinessFaxNumber", FIELD(szWorkFax)},
    {"BusinessHomePage", FIELD(szWorkHomePage)},
    {"BusinessTelephoneNumber", FIELD(szWorkPhone)},
    {"CallbackTelephoneNumber", FIELD(szCallbackPhone)},
    {"CarTelephoneNumber", FIELD(szCarPhone)},
    {"CompanyName", FIELD(szCompany)},
    {"CustomerID", FIELD(szCustomerID)},
    {"Department", FIELD(szDepartment)},
    {"Email1Address", FIELD(szEmail)},
    {"Email2Address", FIELD(szEmail2)},
    {"Email3Address", FIELD(szEmail3)},
    {"FirstName", FIELD(szFirstName)},
    {"FTPSite", FIELD(szFtpSite)},
    {"FullName", FIELD(szDisplayName)},
    {"Hobby", FIELD(szHobby)},
    {"HomeAddressCity", FIELD(szHomeCity)},
    {"HomeAddressCountry", FIELD(szHomeCountry)},
    {"HomeAddressPostalCode", FIELD(szHomePostal)},
    {"HomeAddressState", FIELD(szHomeState)},
    {"HomeAddressStreet", FIELD(szHomeStreet)},
    {"HomeFaxNumber", FIELD(szHomeFax)},
    {"HomeTelephoneNumber", FIELD(szHomePhone)},
    {"IMAddress", FIELD(szIM1)},
    {"Initials", FIELD(szPrefix)},
    {"JobTitle", FIELD(szTitle)},
    {"Language", FIELD(szLanguage)},
    {"LastName", FIELD(szLastName)},
    {"ManagerName", FIELD(szManagerName)},
    {"MiddleName", FIELD(szMiddleName)},
    {"MobileTelephoneNumber", FIELD(szMobilePhone)},
    {"NickName", FIELD(szNickName)},
    {"OtherAddressCity", FIELD(szOtherCity)},
    {"OtherAddressCountry", FIELD(szOtherCountry)},
    {"OtherAddressPostalCode", FIELD(szOtherPostal)},
    {"OtherAddressState", FIELD(szOtherState)},
    {"OtherAddressStreet", FIELD(szOtherStreet)},
    {"OtherTelephoneNumber", FIELD(szOtherPhone)},
    {"PersonalHomePage", FIELD(szPersonalHomePage)},
    {"PrimaryTelephoneNumber", FIELD(szPrimaryPhone)},
    {"Profession", FIELD(szProfession)},
    {"RadioTelephoneNumber", FIELD(szRadioPhone)},
    {"Spouse", FIELD(szSpouseName)},
    {"Body", FIELD(szNote)},
    {"Categories", FIELD(szCategory)},
};

const char* FieldText(const CommAddr* pAddr, size_t nOffset) { return reinterpret_cast<const char*>(pAddr) + nOffset; }

const OlContactData* Block(const CommAddr* pAddr) {
    EXPECT_NE(pAddr->pSideData, nullptr);
    EXPECT_EQ(pAddr->nSideDataSize, sizeof(OlContactData));
    return static_cast<const OlContactData*>(pAddr->pSideData);
}

// Record i (from 0) of the store's list.
const CommAddr* Record(OlAddrUtil& store, int i) {
    CommAddr* p = store.GetAddrMgr()->GetFirst();
    while (p != nullptr && i-- > 0) p = store.GetAddrMgr()->GetNext();
    return p;
}

using OlReadTest = OlTestEnv;

TEST_F(OlReadTest, AnEmptyFolderLoadsAnEmptyList) {
    OlAddrUtil store;
    ClearLog();
    EXPECT_TRUE(store.Load());
    EXPECT_EQ(store.GetAddrMgr()->GetCount(), 0u);
    std::vector<std::string> log = LogMessages();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "[   ] - Got the name of the Contacts folder: Contacts");
    EXPECT_EQ(log[1].rfind("[   ] - Got the StoreID of the Contact folder: 0000000050454C4C", 0), 0u) << log[1];
}

TEST_F(OlReadTest, EveryMappedPropertyReachesItsField) {
    std::vector<std::string> values;
    for (size_t i = 0; i < sizeof(kMappedTexts) / sizeof(kMappedTexts[0]); ++i)
        values.push_back(std::string(kMappedTexts[i].szProperty) + "=v" + std::to_string(i));
    values.insert(values.end(), {"Anniversary=40000.75", "Birthday=29222.5", "Gender=2", "Suffix=Jr.",
                                 "PagerNumber=555-1", "MailingAddressCity=Mailtown", "Email1DisplayName=Anna B"});
    const std::string sEntryID = AddItem("contact", values);
    AddItem("contact", {"FirstName=Second"});

    OlAddrUtil store;
    ASSERT_TRUE(store.Load());
    ASSERT_TRUE(store.Load()) << "a reload starts from an empty list";
    ASSERT_EQ(store.GetAddrMgr()->GetCount(), 2u);
    const CommAddr* pAddr = Record(store, 0);
    for (size_t i = 0; i < sizeof(kMappedTexts) / sizeof(kMappedTexts[0]); ++i)
        EXPECT_STREQ(FieldText(pAddr, kMappedTexts[i].nField), ("v" + std::to_string(i)).c_str())
            << kMappedTexts[i].szProperty;
    EXPECT_EQ(pAddr->dtAnniversary, 40000.75);
    EXPECT_EQ(pAddr->dtBirthday, 29222.5);
    EXPECT_EQ(pAddr->nSourceType, 3);
    EXPECT_STREQ(pAddr->szSuffix, "") << "Suffix is never read from Outlook";
    EXPECT_EQ(pAddr->nGender, 0);

    // The block keeps what has no field, and where the item came from.
    const OlContactData* pData = Block(pAddr);
    EXPECT_EQ(sEntryID, pData->EntryID);
    EXPECT_EQ(pData->Gender, 2);
    EXPECT_STREQ(pData->PagerNumber, "555-1");
    EXPECT_STREQ(pData->MailingAddressCity, "Mailtown");
    EXPECT_STREQ(pData->Email1DisplayName, "Anna B");
    EXPECT_STREQ(pData->FolderName, "Contacts");
    EXPECT_EQ(std::string(pData->StoreID).rfind("0000000050454C4C", 0), 0u);
    EXPECT_STREQ(pData->Suffix, "");
    EXPECT_NE(pData->CreationTime, 0.0);
    EXPECT_EQ(pAddr->dtCreationTime, pData->CreationTime);
    EXPECT_EQ(pAddr->dtLastModificationTime, pData->LastModificationTime);

    // Order follows the folder; an unset date reads as Outlook reports it.
    EXPECT_STREQ(Record(store, 1)->szFirstName, "Second");
    EXPECT_EQ(Record(store, 1)->dtBirthday, 949998.0);
}

TEST_F(OlReadTest, LongValuesAreCutToTheBlockAndTheField) {
    struct Case {
        const char* szProperty;
        std::string sValue;
        size_t nField;
        size_t nFieldLength;
        size_t nBlock;  // offset in the block
        size_t nBlockLength;
    };
    const std::string sAccents = [] {
        std::string s;
        for (int i = 0; i < 20; ++i) s += "\xc3\xa9";  // 40 bytes
        return s;
    }();
    const Case cases[] = {
        {"FirstName", Repeat('f', 50), FIELD(szFirstName), 31, offsetof(OlContactData, FirstName), 50},
        {"LastName", sAccents, FIELD(szLastName), 30, offsetof(OlContactData, LastName), 40},
        {"Body", Repeat('b', 5000), FIELD(szNote), 2047, offsetof(OlContactData, Body), 2047},
        {"Initials", "ABCDEFGH", FIELD(szPrefix), 7, offsetof(OlContactData, Initials), 7},
        {"BusinessAddressPostalCode", Repeat('9', 20), FIELD(szWorkPostal), 11,
         offsetof(OlContactData, BusinessAddressPostalCode), 11},
    };
    std::vector<std::string> values;
    for (const Case& c : cases) values.push_back(std::string(c.szProperty) + "=" + c.sValue);
    AddItem("contact", values);
    Outlook({"folder-name", Repeat('n', 40)});

    OlAddrUtil store;
    ClearLog();
    ASSERT_TRUE(store.Load());
    const CommAddr* pAddr = Record(store, 0);
    ASSERT_NE(pAddr, nullptr);
    const char* pBlock = static_cast<const char*>(pAddr->pSideData);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szProperty);
        EXPECT_EQ(std::string(FieldText(pAddr, c.nField)), c.sValue.substr(0, c.nFieldLength));
        EXPECT_EQ(std::string(pBlock + c.nBlock), c.sValue.substr(0, c.nBlockLength));
    }
    EXPECT_STREQ(Block(pAddr)->FolderName, Repeat('n', 30).c_str());
    EXPECT_EQ(LogMessages().at(0), "[   ] - Got the name of the Contacts folder: " + Repeat('n', 30));
}

TEST_F(OlReadTest, ADistributionListIsARecordAndSubfoldersAreNotRead) {
    AddItem("dl", {"DLName=Team", "Member=Anna <a@x>", "Member=Bob <b@x>"});
    Outlook({"--folder", "Old", "add", "contact", "FirstName=Hidden"});
    AddItem("contact", {"FirstName=Anna"});

    OlAddrUtil store;
    ASSERT_TRUE(store.Load());
    ASSERT_EQ(store.GetAddrMgr()->GetCount(), 2u);
    const CommAddr* pList = Record(store, 0);
    EXPECT_EQ(pList->nSourceType, 3);
    EXPECT_STREQ(pList->szFirstName, "");
    EXPECT_STREQ(pList->szLastName, "");
    EXPECT_STREQ(pList->szEmail, "");
    EXPECT_EQ(pList->dtBirthday, 0.0) << "a property the item lacks leaves the date zero";
    EXPECT_NE(Block(pList)->EntryID[0], '\0');
    EXPECT_STREQ(Record(store, 1)->szFirstName, "Anna");
}

TEST_F(OlReadTest, ReadFailures) {
    struct Case {
        const char* szFail;
        bool bLoaded;
        DWORD nRecords;
        const char* szError;  // the one level-0 line, or none
    };
    const Case cases[] = {
        {"Name", true, 3, "[!!!] - Failed to get the name of the Contact folder. hr=0x80020009"},
        {"StoreID", true, 3, "[!!!] - Failed to get the StoreID of the Contact folder. hr=0x80020009"},
        {"Items", false, 0, "[!!!] - Failed to get the \"Items\" property of the Contact folder. hr=0x80020009"},
        {"Items:null", false, 0, "[!!!] - Failed to get the \"Items\" property of the Contact folder. hr=0x0"},
        {"GetFirst", true, 0, nullptr},
        {"GetNext#2", true, 2, nullptr},
        {"GetNext:null#1", true, 1, nullptr},
        {"FirstName", true, 3, nullptr},
    };
    for (const char* sz : {"Anna", "Bob", "Carl"}) AddItem("contact", {std::string("FirstName=") + sz, "LastName=L"});
    OlAddrUtil store;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szFail);
        ASSERT_TRUE(store.Load());
        ClearLog();
        m_Hooks.SetFail(c.szFail);
        EXPECT_EQ(store.Load(), c.bLoaded);
        m_Hooks.SetFail(nullptr);
        EXPECT_EQ(store.GetAddrMgr()->GetCount(), c.nRecords);
        std::vector<std::string> errors;
        for (const std::string& s : LogMessages())
            if (s.rfind("[!!!]", 0) == 0) errors.push_back(s);
        EXPECT_EQ(errors, c.szError ? std::vector<std::string>{c.szError} : std::vector<std::string>{});
        if (c.nRecords > 0) {
            EXPECT_STREQ(Record(store, 0)->szLastName, "L");
            EXPECT_STREQ(Record(store, 0)->szFirstName, strcmp(c.szFail, "FirstName") == 0 ? "" : "Anna");
        }
    }
}

}  // namespace
