#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/outlook/OlAddr.h"
#include "platform/win32/TextCopy.h"
#include "tests/outlook/fixtures/OlTestEnv.h"

namespace {

// A record as the address book side makes it: zero-filled, with a block of
// its own kind (not Outlook's) as side data.
struct WabRecord {
    WabRecord(const char* szFirst, const char* szLast, const char* szEmail) : pAddr(new CommAddr()) {
        CopyText(pAddr->szFirstName, szFirst);
        CopyText(pAddr->szLastName, szLast);
        CopyText(pAddr->szEmail, szEmail);
        pAddr->nSourceType = 4;
        pAddr->pSideData = malloc(64);
        memset(pAddr->pSideData, 'w', 64);
        pAddr->nSideDataSize = 64;
        pWabBlock = pAddr->pSideData;
    }
    ~WabRecord() { free(pWabBlock); }
    std::unique_ptr<CommAddr> pAddr;
    void* pWabBlock;
};

// A copy of list record i (from 0), sharing its block.
std::unique_ptr<CommAddr> CopyOfRecord(OlAddrUtil& store, int i) {
    CommAddr* p = store.GetAddrMgr()->GetFirst();
    while (p != nullptr && i-- > 0) p = store.GetAddrMgr()->GetNext();
    if (p == nullptr) return nullptr;
    std::unique_ptr<CommAddr> pCopy(new CommAddr);
    memcpy(pCopy.get(), p, sizeof(CommAddr));
    return pCopy;
}

CommAddr* LastRecord(OlAddrUtil& store) {
    CommAddr* pLast = nullptr;
    for (CommAddr* p = store.GetAddrMgr()->GetFirst(); p != nullptr; p = store.GetAddrMgr()->GetNext()) pLast = p;
    return pLast;
}

std::vector<std::string> Errors(const std::vector<std::string>& log) {
    std::vector<std::string> errors;
    for (const std::string& s : log)
        if (s.rfind("[!!!]", 0) == 0) errors.push_back(s);
    return errors;
}

class OlWriteTest : public OlTestEnv {
protected:
    void SetUp() override {
        OlTestEnv::SetUp();
        m_sAnnaID = AddItem("contact", {"FirstName=Anna", "LastName=Berg", "Email1Address=anna@x",
                                        "BusinessTelephoneNumber=111", "Email2Address=keep@x", "Birthday=29222.5",
                                        "MailingAddressCity=Mailtown", "Gender=2"});
    }
    std::unique_ptr<OlAddrUtil> LoadedStore() {
        auto pStore = std::make_unique<OlAddrUtil>();
        EXPECT_TRUE(pStore->Load());
        ClearLog();
        m_Hooks.ResetCounts();
        return pStore;
    }
    std::string m_sAnnaID;
};

TEST_F(OlWriteTest, AnUpdateNeverClearsAValue) {
    auto pStore = LoadedStore();
    // From a record read from Outlook: its block's other members go back as
    // they were, empty fields and an empty date send nothing.
    auto pAddr = CopyOfRecord(*pStore, 0);
    pAddr->szEmail2[0] = '\0';
    pAddr->dtBirthday = 0.0;
    CopyText(pAddr->szWorkPhone, "222");
    EXPECT_TRUE(pStore->UpdateContact(pAddr.get(), 0));
    auto item = ShowItem(1);
    EXPECT_EQ(item["BusinessTelephoneNumber"], "222");
    EXPECT_EQ(item["Email2Address"], "keep@x");
    EXPECT_EQ(item["Birthday"], "1980-01-02 12:00:00");
    EXPECT_EQ(item["MailingAddressCity"], "Mailtown");
    EXPECT_EQ(item["Gender"], "2");

    // From a record without an Outlook block: only the fields with values,
    // and "Gender" as 0.
    WabRecord wab("Anna", "Berg", "anna@x");
    CopyText(wab.pAddr->szHomePhone, "333");
    EXPECT_TRUE(pStore->UpdateContact(wab.pAddr.get(), 0));
    item = ShowItem(1);
    EXPECT_EQ(item["HomeTelephoneNumber"], "333");
    EXPECT_EQ(item["BusinessTelephoneNumber"], "222");
    EXPECT_EQ(item["Email2Address"], "keep@x");
    EXPECT_EQ(item["MailingAddressCity"], "Mailtown");
    EXPECT_EQ(item["Gender"], "0");
    EXPECT_EQ(wab.pAddr->pSideData, wab.pWabBlock) << "an update leaves the record alone";
}

TEST_F(OlWriteTest, DatesThatMeanNoDateAreNotSent) {
    struct Case {
        double dtBirthday;
        const char* szExpected;
    };
    const Case cases[] = {
        {0.0, "1980-01-02 12:00:00"},
        {-109205.0, "1980-01-02 12:00:00"},  // 1 January 1601: the address book's "none"
        {949998.0, "4501-01-01 00:00:00"},
        {36526.25, "2000-01-01 06:00:00"},
    };
    auto pStore = LoadedStore();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dtBirthday);
        Outlook({"change", "1", "Birthday=29222.5"});
        WabRecord wab("Anna", "Berg", "anna@x");
        wab.pAddr->dtBirthday = c.dtBirthday;
        wab.pAddr->dtAnniversary = c.dtBirthday;
        EXPECT_TRUE(pStore->UpdateContact(wab.pAddr.get(), 0));
        auto item = ShowItem(1);
        EXPECT_EQ(item["Birthday"], c.szExpected);
        EXPECT_EQ(item.count("Anniversary"), c.dtBirthday == 949998.0 || c.dtBirthday == 36526.25 ? 1u : 0u);
    }
}

TEST_F(OlWriteTest, UpdateAddressesThePositionPlusOne) {
    AddItem("contact", {"FirstName=Bob", "LastName=Cole"});
    auto pStore = LoadedStore();
    WabRecord wab("Anna", "Berg", "anna@x");
    CopyText(wab.pAddr->szMobilePhone, "777");
    EXPECT_TRUE(pStore->UpdateContact(wab.pAddr.get(), 0));
    EXPECT_EQ(ShowItem(1)["MobileTelephoneNumber"], "777");
    EXPECT_EQ(ShowItem(2).count("MobileTelephoneNumber"), 0u);
    EXPECT_TRUE(Errors(LogMessages()).empty());

    EXPECT_FALSE(pStore->UpdateContact(wab.pAddr.get(), 2));
    EXPECT_EQ(Errors(LogMessages()),
              std::vector<std::string>{"[!!!] - Failed to get the Contact item by index: 3. hr=0x8002000b"});
    ClearLog();
    m_Hooks.ResetCounts();
    EXPECT_FALSE(pStore->UpdateContact(wab.pAddr.get(), -1));
    EXPECT_FALSE(pStore->UpdateContact(nullptr, 0));
    EXPECT_EQ(m_Hooks.CallCount(nullptr), 0);
    EXPECT_TRUE(LogMessages().empty());
}

TEST_F(OlWriteTest, AnUpdateNeverOverwritesADifferentContact) {
    AddItem("contact", {"FirstName=Bob", "LastName=Cole", "Email1Address=bob@x", "BusinessTelephoneNumber=123"});
    AddItem("contact", {"FirstName=Carl", "LastName=Dahl", "BusinessTelephoneNumber=456"});
    auto pStore = LoadedStore();
    // Someone deletes Anna in Outlook: every later item moves up by one.
    Outlook({"delete", m_sAnnaID});

    // A record read from Outlook names its contact by its own block.
    auto pAnna = CopyOfRecord(*pStore, 0);
    CopyText(pAnna->szWorkPhone, "999");
    EXPECT_FALSE(pStore->UpdateContact(pAnna.get(), 0));
    EXPECT_EQ(ShowItem(1)["BusinessTelephoneNumber"], "123") << "Bob was overwritten";
    EXPECT_EQ(Errors(LogMessages()), std::vector<std::string>{"[!!!] - The Contact item at index: 1 is not the "
                                                              "contact read there, it was not updated."});

    // A record from the address book is checked against the list record.
    WabRecord wab("Bob", "Cole", "bob@x");
    CopyText(wab.pAddr->szWorkPhone, "999");
    m_Hooks.ResetCounts();
    EXPECT_FALSE(pStore->SyncContact(wab.pAddr.get()));
    EXPECT_EQ(m_Hooks.CallCount("Save"), 0);
    EXPECT_EQ(ShowItem(2)["BusinessTelephoneNumber"], "456") << "Carl was overwritten";
    EXPECT_STREQ(CopyOfRecord(*pStore, 1)->szWorkPhone, "123") << "the list claims a write that did not happen";
}

TEST_F(OlWriteTest, SyncUpdatesADifferingCounterpartInPlace) {
    auto pStore = LoadedStore();
    CommAddr* pListAddr = pStore->GetAddrMgr()->GetFirst();
    void* pOutlookBlock = pListAddr->pSideData;

    WabRecord same("anna", "BERG", "anna@x");
    CopyText(same.pAddr->szWorkPhone, "111");
    EXPECT_FALSE(pStore->SyncContact(same.pAddr.get()));
    EXPECT_EQ(m_Hooks.CallCount("Save"), 0);

    WabRecord diff("Anna", "Berg", "anna@x");
    CopyText(diff.pAddr->szWorkPhone, "222");
    CopyText(diff.pAddr->szCompany, "Acme");
    EXPECT_TRUE(pStore->SyncContact(diff.pAddr.get()));
    auto item = ShowItem(1);
    EXPECT_EQ(item["BusinessTelephoneNumber"], "222");
    EXPECT_EQ(item["CompanyName"], "Acme");
    EXPECT_EQ(item["Email2Address"], "keep@x");
    EXPECT_EQ(pStore->GetAddrMgr()->GetCount(), 1u);
    EXPECT_STREQ(pListAddr->szWorkPhone, "222");
    EXPECT_EQ(pListAddr->nSourceType, 4);
    EXPECT_EQ(pListAddr->pSideData, pOutlookBlock) << "the list record keeps its own block";
    EXPECT_EQ(pListAddr->nSideDataSize, sizeof(OlContactData));
    EXPECT_FALSE(pStore->SyncContact(diff.pAddr.get())) << "now equal";
}

TEST_F(OlWriteTest, SyncAddsAContactWithoutCounterpart) {
    auto pStore = LoadedStore();
    WabRecord wab("Carl", "Dahl", "carl@x");
    CopyText(wab.pAddr->szPrefix, "Dr.Prof.XY");
    CopyText(wab.pAddr->szNote, Repeat('n', 3000).c_str());
    CopyText(wab.pAddr->szSuffix, "Jr.");
    CopyText(wab.pAddr->szEmail2, "carl2@x");
    wab.pAddr->dtCreationTime = 1234.0;
    wab.pAddr->dtLastModificationTime = 1234.0;
    wab.pAddr->dtBirthday = -109205.0;
    EXPECT_TRUE(pStore->SyncContact(wab.pAddr.get()));
    EXPECT_EQ(wab.pAddr->pSideData, wab.pWabBlock) << "the caller's record is not changed";

    auto item = ShowItem(2);
    EXPECT_EQ(item["FirstName"], "Carl");
    EXPECT_EQ(item["Email2Address"], "carl2@x");
    EXPECT_EQ(item["Initials"], "Dr.Prof");
    EXPECT_EQ(item["Body"], Repeat('n', 2047));
    EXPECT_EQ(item["Gender"], "0");
    EXPECT_EQ(item.count("Suffix"), 0u);
    EXPECT_EQ(item.count("Birthday"), 0u);
    EXPECT_NE(item["CreationTime"].rfind("1903", 0), 0u) << "Outlook keeps its own creation time";

    ASSERT_EQ(pStore->GetAddrMgr()->GetCount(), 2u);
    CommAddr* pNew = LastRecord(*pStore);
    EXPECT_STREQ(pNew->szFirstName, "Carl");
    ASSERT_EQ(pNew->nSideDataSize, sizeof(OlContactData));
    const OlContactData* pData = static_cast<const OlContactData*>(pNew->pSideData);
    EXPECT_NE(pNew->pSideData, wab.pWabBlock);
    EXPECT_STREQ(pData->FirstName, "Carl");
    EXPECT_STREQ(pData->Initials, "Dr.Prof");
    EXPECT_STREQ(pData->Suffix, "Jr.");
    EXPECT_EQ(pData->CreationTime, 0.0);
    EXPECT_EQ(item["EntryID"], pData->EntryID) << "the new record names its contact";
    EXPECT_FALSE(pStore->SyncContact(wab.pAddr.get())) << "now equal";
}

TEST_F(OlWriteTest, AddContactHandsTheNewBlockToTheRecord) {
    auto pStore = LoadedStore();
    WabRecord wab("Dora", "Eck", "dora@x");
    CommAddr temp;
    memcpy(&temp, wab.pAddr.get(), sizeof(temp));
    ASSERT_TRUE(pStore->AddContact(&temp, nullptr));
    ASSERT_EQ(temp.nSideDataSize, sizeof(OlContactData));
    EXPECT_STREQ(static_cast<OlContactData*>(temp.pSideData)->FirstName, "Dora");
    free(temp.pSideData);
    EXPECT_EQ(pStore->GetAddrMgr()->GetCount(), 1u) << "AddContact alone does not touch the list";
    EXPECT_FALSE(pStore->AddContact(nullptr, nullptr));
}

TEST_F(OlWriteTest, AWriteThatDidNotHappenIsNotReportedAsDone) {
    struct Case {
        const char* szFail;
        bool bNew;  // a record without counterpart, else a differing one
        bool bWritten;
        const char* szError;
    };
    const Case cases[] = {
        {"Save", true, false, "[!!!] - Failed to call the \"Save\" method. hr=0x80020009"},
        {"Save", false, false, "[!!!] - Failed to call the \"Save\" method. hr=0x80020009"},
        {"Add", true, false, "[!!!] - Failed to call the \"Add\" method. hr=0x80020009"},
        {"Add:null", true, false, "[!!!] - Failed to call the \"Add\" method. hr=0x0"},
        {"Items", true, false, "[!!!] - Failed to get the \"Items\" property of the Contact folder. hr=0x80020009"},
        {"Items", false, false, "[!!!] - Failed to get the \"Items\" property of the Contact folder. hr=0x80020009"},
        {"Item", false, false, "[!!!] - Failed to get the Contact item by index: 1. hr=0x80020009"},
        {"put:HomeTelephoneNumber", true, true, nullptr},  // a failed put alone still saves the rest
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.szFail) + (c.bNew ? " new" : " diff"));
        auto pStore = LoadedStore();
        const std::string sBefore = Outlook({"list"});
        WabRecord wab(c.bNew ? "Erik" : "Anna", c.bNew ? "Falk" : "Berg", c.bNew ? "erik@x" : "anna@x");
        CopyText(wab.pAddr->szWorkPhone, "555");
        CopyText(wab.pAddr->szHomePhone, "666");
        m_Hooks.SetFail(c.szFail);
        EXPECT_EQ(pStore->SyncContact(wab.pAddr.get()), c.bWritten);
        m_Hooks.SetFail(nullptr);
        EXPECT_EQ(wab.pAddr->pSideData, wab.pWabBlock);
        EXPECT_EQ(Errors(LogMessages()), c.szError ? std::vector<std::string>{c.szError} : std::vector<std::string>{});
        EXPECT_EQ(pStore->GetAddrMgr()->GetCount(), c.bWritten && c.bNew ? 2u : 1u);
        if (!c.bWritten) {
            EXPECT_EQ(Outlook({"list"}), sBefore);
            EXPECT_STREQ(pStore->GetAddrMgr()->GetFirst()->szWorkPhone, "111");
            EXPECT_EQ(ShowItem(1)["BusinessTelephoneNumber"], "111");
        } else {
            EXPECT_EQ(ShowItem(2)["BusinessTelephoneNumber"], "555");
            EXPECT_EQ(ShowItem(2).count("HomeTelephoneNumber"), 0u);
            Outlook({"delete", "2"});
        }
    }
}

TEST_F(OlWriteTest, NothingIsWrittenWithoutRecordOrFolder) {
    m_Hooks.SetFail("GetDefaultFolder");
    OlAddrUtil store;
    m_Hooks.SetFail(nullptr);
    WabRecord wab("Erik", "Falk", "erik@x");
    EXPECT_FALSE(store.SyncContact(wab.pAddr.get()));
    EXPECT_FALSE(store.AddContact(wab.pAddr.get(), nullptr));
    EXPECT_FALSE(store.UpdateContact(wab.pAddr.get(), 0));
    EXPECT_FALSE(store.SyncContact(nullptr));
    EXPECT_EQ(Outlook({"list"}).find("Erik"), std::string::npos);
}

}  // namespace
