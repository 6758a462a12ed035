#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "olstandin/fixtures/OlTestUtil.h"
#include "support/ScopedEnv.h"

namespace {

using Automation = OlStandinTest;

TEST_F(Automation, StartsAndOpensAnEmptyContactsFolder) {
    IDispatch* pApp = nullptr;
    ASSERT_EQ(CreateApplication(&pApp), S_OK);
    EXPECT_GT(m_Hooks.LiveObjects(), 0);
    OlVar ns, folder, mapi, ten;
    OlVar::Text(&mapi.v, u"mapi");  // Outlook takes the name in any case
    ASSERT_EQ(Method(pApp, u"GetNameSpace", {&mapi.v}, &ns.v), S_OK);
    ASSERT_EQ(ns.v.vt, VT_DISPATCH);
    OlVar::I4(&ten.v, 10);
    ASSERT_EQ(Method(ns.v.pdispVal, u"GetDefaultFolder", {&ten.v}, &folder.v), S_OK);
    ASSERT_EQ(folder.v.vt, VT_DISPATCH);
    pApp->Release();
    VariantClear(&ns.v);

    IDispatch* pFolder = folder.v.pdispVal;
    EXPECT_EQ(GetText(pFolder, u"Name"), u"Contacts");
    EXPECT_FALSE(GetText(pFolder, u"StoreID").empty());
    OlVar items, first;
    ASSERT_EQ(Get(pFolder, u"items", &items.v), S_OK);  // names ignore case
    ASSERT_EQ(items.v.vt, VT_DISPATCH);
    EXPECT_EQ(GetLong(items.v.pdispVal, u"Count"), 0);
    // An empty folder has no first item: success, and no object.
    EXPECT_EQ(Method(items.v.pdispVal, u"GetFirst", {}, &first.v), S_OK);
    EXPECT_EQ(first.v.vt, VT_EMPTY);
    VariantClear(&items.v);
    VariantClear(&folder.v);
    EXPECT_EQ(m_Hooks.LiveObjects(), 0);
}

TEST_F(Automation, AnswersBadCallsWithWindowsCodes) {
    IDispatch* pItems = OpenItems();
    ASSERT_NE(pItems, nullptr);
    IDispatch* pItem = AddItem(pItems, 2);
    ASSERT_NE(pItem, nullptr);
    ASSERT_EQ(Method(pItem, u"Save", {}, nullptr), S_OK);

    struct Case {
        const char* szWhat;
        IDispatch* pObject;
        const char16_t* szName;
        WORD wFlags;
        VARTYPE vtArg;  // VT_EMPTY: no argument
        long nArg;
        HRESULT hr;
    };
    const Case kCases[] = {
        {"unknown name", pItems, u"Remove", DISPATCH_METHOD, VT_EMPTY, 0, DISP_E_UNKNOWNNAME},
        {"contact property on a collection", pItems, u"FirstName", DISPATCH_PROPERTYGET, VT_EMPTY, 0,
         DISP_E_UNKNOWNNAME},
        {"index as text", pItems, u"Item", DISPATCH_METHOD, VT_BSTR, 0, DISP_E_TYPEMISMATCH},
        {"index 0", pItems, u"Item", DISPATCH_METHOD, VT_I4, 0, DISP_E_BADINDEX},
        {"index past the end", pItems, u"Item", DISPATCH_METHOD, VT_I4, 2, DISP_E_BADINDEX},
        {"negative index", pItems, u"Item", DISPATCH_METHOD, VT_I4, -1, DISP_E_BADINDEX},
        {"no index", pItems, u"Item", DISPATCH_METHOD, VT_EMPTY, 0, DISP_E_BADPARAMCOUNT},
        {"item type as text", pItems, u"Add", DISPATCH_METHOD, VT_BSTR, 0, DISP_E_TYPEMISMATCH},
        {"property called as a method only", pItems, u"GetFirst", DISPATCH_PROPERTYGET, VT_EMPTY, 0,
         DISP_E_MEMBERNOTFOUND},
        {"text put as a number", pItem, u"FirstName", DISPATCH_PROPERTYPUT, VT_I4, 5, DISP_E_TYPEMISMATCH},
        {"date put as text", pItem, u"Birthday", DISPATCH_PROPERTYPUT, VT_BSTR, 0, DISP_E_TYPEMISMATCH},
        {"read-only EntryID", pItem, u"EntryID", DISPATCH_PROPERTYPUT, VT_BSTR, 0, DISP_E_MEMBERNOTFOUND},
        {"read-only CreationTime", pItem, u"CreationTime", DISPATCH_PROPERTYPUT, VT_DATE, 0, DISP_E_MEMBERNOTFOUND},
        {"put on a method", pItem, u"Save", DISPATCH_PROPERTYPUT, VT_I4, 0, DISP_E_MEMBERNOTFOUND},
    };
    for (const Case& c : kCases) {
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR psz = const_cast<LPOLESTR>(c.szName);
        HRESULT hr = c.pObject->GetIDsOfNames(IID_NULL, &psz, 1, LOCALE_USER_DEFAULT, &id);
        if (SUCCEEDED(hr)) {
            VARIANT arg;
            VariantInit(&arg);
            if (c.vtArg == VT_BSTR)
                OlVar::Text(&arg, u"1");
            else if (c.vtArg != VT_EMPTY) {
                arg.vt = c.vtArg;
                arg.lVal = c.nArg;
            }
            DISPID idPut = DISPID_PROPERTYPUT;
            bool bPut = c.wFlags == DISPATCH_PROPERTYPUT;
            DISPPARAMS params = {&arg, bPut ? &idPut : nullptr, c.vtArg == VT_EMPTY ? 0u : 1u, bPut ? 1u : 0u};
            OlVar result;
            hr = c.pObject->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, c.wFlags, &params, &result.v, nullptr,
                                   nullptr);
            EXPECT_EQ(result.v.vt, VT_EMPTY) << c.szWhat;
            VariantClear(&arg);
        } else {
            EXPECT_EQ(id, DISPID_UNKNOWN) << c.szWhat;
        }
        EXPECT_EQ(hr, c.hr) << c.szWhat;
    }

    // A put without the DISPID_PROPERTYPUT named argument, an identifier
    // nobody handed out, and a lookup for another interface.
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR psz = const_cast<LPOLESTR>(u"FirstName");
    ASSERT_EQ(pItem->GetIDsOfNames(IID_NULL, &psz, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    VARIANT arg;
    OlVar::Text(&arg, u"Anna");
    DISPPARAMS params = {&arg, nullptr, 1, 0};
    EXPECT_EQ(pItem->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr),
              DISP_E_PARAMNOTFOUND);
    VariantClear(&arg);
    EXPECT_EQ(pItem->Invoke(4711, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(pItem->GetIDsOfNames(IID_IDispatch, &psz, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNINTERFACE);
    pItem->Release();
    pItems->Release();
}

// Every contact property the Outlook store reads or writes, with the type it
// travels as.
struct PropCase {
    const char16_t* szName;
    VARTYPE vt;
};
const PropCase kContactProps[] = {
    {u"EntryID", VT_BSTR}, {u"Account", VT_BSTR}, {u"Anniversary", VT_DATE}, {u"AssistantName", VT_BSTR},
    {u"AssistantTelephoneNumber", VT_BSTR}, {u"Birthday", VT_DATE}, {u"Business2TelephoneNumber", VT_BSTR},
    {u"BusinessAddressCity", VT_BSTR}, {u"BusinessAddressCountry", VT_BSTR},
    {u"BusinessAddressPostalCode", VT_BSTR}, {u"BusinessAddressPostOfficeBox", VT_BSTR},
    {u"BusinessAddressState", VT_BSTR}, {u"BusinessAddressStreet", VT_BSTR}, {u"BusinessFaxNumber", VT_BSTR},
    {u"BusinessHomePage", VT_BSTR}, {u"BusinessTelephoneNumber", VT_BSTR}, {u"CallbackTelephoneNumber", VT_BSTR},
    {u"CarTelephoneNumber", VT_BSTR}, {u"CompanyMainTelephoneNumber", VT_BSTR}, {u"CompanyName", VT_BSTR},
    {u"ComputerNetworkName", VT_BSTR}, {u"CustomerID", VT_BSTR}, {u"Department", VT_BSTR},
    {u"Email1Address", VT_BSTR}, {u"Email1AddressType", VT_BSTR}, {u"Email1DisplayName", VT_BSTR},
    {u"Email2Address", VT_BSTR}, {u"Email2AddressType", VT_BSTR}, {u"Email2DisplayName", VT_BSTR},
    {u"Email3Address", VT_BSTR}, {u"Email3AddressType", VT_BSTR}, {u"Email3DisplayName", VT_BSTR},
    {u"FirstName", VT_BSTR}, {u"FTPSite", VT_BSTR}, {u"FullName", VT_BSTR}, {u"Gender", VT_I4},
    {u"Hobby", VT_BSTR}, {u"Home2TelephoneNumber", VT_BSTR}, {u"HomeAddressCity", VT_BSTR},
    {u"HomeAddressCountry", VT_BSTR}, {u"HomeAddressPostalCode", VT_BSTR}, {u"HomeAddressPostOfficeBox", VT_BSTR},
    {u"HomeAddressState", VT_BSTR}, {u"HomeAddressStreet", VT_BSTR}, {u"HomeFaxNumber", VT_BSTR},
    {u"HomeTelephoneNumber", VT_BSTR}, {u"IMAddress", VT_BSTR}, {u"Initials", VT_BSTR}, {u"ISDNNumber", VT_BSTR},
    {u"JobTitle", VT_BSTR}, {u"Language", VT_BSTR}, {u"LastName", VT_BSTR}, {u"MailingAddressCity", VT_BSTR},
    {u"MailingAddressCountry", VT_BSTR}, {u"MailingAddressPostalCode", VT_BSTR},
    {u"MailingAddressPostOfficeBox", VT_BSTR}, {u"MailingAddressState", VT_BSTR},
    {u"MailingAddressStreet", VT_BSTR}, {u"ManagerName", VT_BSTR}, {u"MiddleName", VT_BSTR},
    {u"MobileTelephoneNumber", VT_BSTR}, {u"NickName", VT_BSTR}, {u"OtherAddressCity", VT_BSTR},
    {u"OtherAddressCountry", VT_BSTR}, {u"OtherAddressPostalCode", VT_BSTR},
    {u"OtherAddressPostOfficeBox", VT_BSTR}, {u"OtherAddressState", VT_BSTR}, {u"OtherAddressStreet", VT_BSTR},
    {u"OtherTelephoneNumber", VT_BSTR}, {u"PagerNumber", VT_BSTR}, {u"PersonalHomePage", VT_BSTR},
    {u"PrimaryTelephoneNumber", VT_BSTR}, {u"Profession", VT_BSTR}, {u"RadioTelephoneNumber", VT_BSTR},
    {u"Spouse", VT_BSTR}, {u"Suffix", VT_BSTR}, {u"WebPage", VT_BSTR}, {u"Body", VT_BSTR},
    {u"Categories", VT_BSTR}, {u"CreationTime", VT_DATE}, {u"LastModificationTime", VT_DATE},
};

TEST_F(Automation, ContactPropertiesRoundTripThroughTheFile) {
    SYSTEMTIME stNow = {2024, 3, 0, 15, 10, 30, 0, 0};
    m_Hooks.SetFixedTime(&stNow);
    const double dtNow = 45366.4375;  // 15 March 2024 10:30

    IDispatch* pItems = OpenItems();
    ASSERT_NE(pItems, nullptr);
    IDispatch* pItem = AddItem(pItems, 2);
    ASSERT_NE(pItem, nullptr);
    // A new item: every property answers, texts empty, dates unset.
    for (const PropCase& c : kContactProps) {
        OlVar v;
        ASSERT_EQ(Get(pItem, c.szName, &v.v), S_OK) << (const void*)c.szName;
        ASSERT_EQ(v.v.vt, c.vt) << (const void*)c.szName;
        if (c.vt == VT_BSTR) {
            EXPECT_EQ(SysStringLen(v.v.bstrVal), 0u);
        } else if (c.vt == VT_I4) {
            EXPECT_EQ(v.v.lVal, 0);
        } else if (c.szName != std::u16string(u"CreationTime") &&
                   c.szName != std::u16string(u"LastModificationTime")) {
            EXPECT_EQ(v.v.date, 949998.0);
        }
    }
    // Texts travel as UTF-16 code units, whatever they hold.
    const std::u16string sOdd = {u'M', 0x00FC, 0xD83D, 0xDE00, 0xD800, u'x', 0, u'y'};
    for (const PropCase& c : kContactProps) {
        if (c.vt != VT_BSTR || c.szName == std::u16string(u"EntryID")) continue;
        ASSERT_EQ(PutText(pItem, c.szName, std::u16string(c.szName) + sOdd), S_OK) << (const void*)c.szName;
    }
    VARIANT v;
    OlVar::Date(&v, 29349.5);
    EXPECT_EQ(Put(pItem, u"Birthday", &v), S_OK);
    OlVar::Date(&v, -0.00001);
    EXPECT_EQ(Put(pItem, u"Anniversary", &v), S_OK);
    OlVar::I4(&v, 2);
    EXPECT_EQ(Put(pItem, u"Gender", &v), S_OK);
    EXPECT_EQ(GetText(pItem, u"EntryID"), u"");  // none until saved
    ASSERT_EQ(Method(pItem, u"Save", {}, nullptr), S_OK);
    std::u16string sEntryID = GetText(pItem, u"EntryID");
    EXPECT_EQ(sEntryID.size(), 48u);
    pItem->Release();
    pItems->Release();

    // A new application object reads it back from the file.
    pItems = OpenItems();
    ASSERT_NE(pItems, nullptr);
    ASSERT_EQ(GetLong(pItems, u"Count"), 1);
    pItem = ItemAt(pItems, 1);
    ASSERT_NE(pItem, nullptr);
    for (const PropCase& c : kContactProps) {
        if (c.vt != VT_BSTR || c.szName == std::u16string(u"EntryID")) continue;
        EXPECT_EQ(GetText(pItem, c.szName), std::u16string(c.szName) + sOdd) << (const void*)c.szName;
    }
    EXPECT_EQ(GetText(pItem, u"EntryID"), sEntryID);
    EXPECT_EQ(GetLong(pItem, u"Gender"), 2);
    struct DateCase {
        const char16_t* szName;
        double dt;
    } kDates[] = {{u"Birthday", 29349.5}, {u"Anniversary", -0.00001}, {u"CreationTime", dtNow},
                  {u"LastModificationTime", dtNow}};
    for (const DateCase& d : kDates) {
        OlVar date;
        ASSERT_EQ(Get(pItem, d.szName, &date.v), S_OK);
        EXPECT_EQ(date.v.vt, VT_DATE);
        EXPECT_EQ(date.v.date, d.dt) << (const void*)d.szName;
    }
    // An empty text clears a value; it is what the store never sends.
    EXPECT_EQ(PutText(pItem, u"FirstName", u""), S_OK);
    EXPECT_EQ(GetText(pItem, u"FirstName"), u"");
    pItem->Release();
    pItems->Release();
}

TEST_F(Automation, ItemsKeepCreationOrderAndAppearOnlyWhenSaved) {
    IDispatch* pItems = OpenItems();
    ASSERT_NE(pItems, nullptr);
    IDispatch* pFirst = AddItem(pItems, 2);
    IDispatch* pList = AddItem(pItems, 7);
    IDispatch* pLast = AddItem(pItems, 2);
    IDispatch* pLost = AddItem(pItems, 2);
    ASSERT_TRUE(pFirst && pList && pLast && pLost);
    PutText(pFirst, u"FirstName", u"first");
    PutText(pList, u"DLName", u"team");
    PutText(pLast, u"FirstName", u"last");
    PutText(pLost, u"FirstName", u"never saved");
    EXPECT_EQ(GetLong(pItems, u"Count"), 0);
    // Saved out of order, they still stand in the order they were made.
    ASSERT_EQ(Method(pLast, u"Save", {}, nullptr), S_OK);
    ASSERT_EQ(Method(pFirst, u"Save", {}, nullptr), S_OK);
    ASSERT_EQ(Method(pList, u"Save", {}, nullptr), S_OK);
    EXPECT_EQ(GetLong(pItems, u"Count"), 3);
    // A distribution list has no contact properties.
    OlVar missing;
    EXPECT_EQ(Get(pList, u"FirstName", &missing.v), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(GetLong(pList, u"Class"), 69);
    EXPECT_EQ(GetLong(pFirst, u"Class"), 40);
    for (IDispatch* p : {pFirst, pList, pLast, pLost}) p->Release();
    pItems->Release();

    pItems = OpenItems();
    ASSERT_NE(pItems, nullptr);
    const char16_t* kNames[] = {u"first", u"team", u"last"};
    OlVar item;
    ASSERT_EQ(Method(pItems, u"GetFirst", {}, &item.v), S_OK);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(item.v.vt, VT_DISPATCH) << i;
        IDispatch* pByIndex = ItemAt(pItems, i + 1);
        ASSERT_NE(pByIndex, nullptr);
        const char16_t* szProp = i == 1 ? u"DLName" : u"FirstName";
        EXPECT_EQ(GetText(item.v.pdispVal, szProp), kNames[i]);
        EXPECT_EQ(GetText(pByIndex, szProp), kNames[i]);
        pByIndex->Release();
        VariantClear(&item.v);
        ASSERT_EQ(Method(pItems, u"GetNext", {}, &item.v), S_OK);
    }
    EXPECT_EQ(item.v.vt, VT_EMPTY);  // past the end: no object
    pItems->Release();
}

TEST_F(Automation, ReleasingEveryReferenceLeavesNoObject) {
    IDispatch* pItems = OpenItems();
    ASSERT_NE(pItems, nullptr);
    IDispatch* pItem = AddItem(pItems, 2);
    ASSERT_NE(pItem, nullptr);
    long nLive = m_Hooks.LiveObjects();
    EXPECT_EQ(nLive, 2);  // the collection and the item; the rest are gone
    pItem->AddRef();
    EXPECT_EQ(pItem->Release(), 1u);
    EXPECT_EQ(m_Hooks.LiveObjects(), 2);
    EXPECT_EQ(pItem->Release(), 0u);
    EXPECT_EQ(pItems->Release(), 0u);
    EXPECT_EQ(m_Hooks.LiveObjects(), 0);
}

class FailureTest : public OlStandinTest {
public:
    using OlStandinTest::Get;
    using OlStandinTest::Method;
    using OlStandinTest::Put;
    using OlStandinTest::PutText;
    HRESULT Create(IDispatch** pp) { return CreateApplication(pp); }
};

std::string Step(const char* szStep, HRESULT hr) {
    char sz[64];
    snprintf(sz, sizeof(sz), "%s 0x%08x", szStep, (unsigned)hr);
    return sz;
}

// The calls of a start and one read and write, as the store makes them; the
// first that does not give what it should is reported as "step hr".
std::string RunSequence(FailureTest* t) {
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(u"Outlook.Application", &clsid);
    if (FAILED(hr)) return Step("CLSIDFromProgID", hr);
    IUnknown* pUnknown = nullptr;
    hr = CoCreateInstance(clsid, nullptr, 21, IID_IUnknown, reinterpret_cast<void**>(&pUnknown));
    if (FAILED(hr)) return Step("CoCreateInstance", hr);
    std::string sResult;
    IDispatch* pApp = nullptr;
    OlVar ns, folder, items, item, newItem, byIndex, text;
    VARIANT arg;
    auto Object = [&](const char* szStep, HRESULT h, OlVar& v) {
        if (FAILED(h)) sResult = Step(szStep, h);
        else if (v.v.vt != VT_DISPATCH || v.v.pdispVal == nullptr) sResult = std::string(szStep) + " no object";
        return sResult.empty();
    };
    if (FAILED(hr = OleRun(pUnknown))) sResult = Step("OleRun", hr);
    else if (FAILED(hr = pUnknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pApp))))
        sResult = Step("QueryInterface", hr);
    pUnknown->Release();
    if (!sResult.empty()) return sResult;
    OlVar::Text(&arg, u"MAPI");
    bool bOk = Object("GetNameSpace", t->Method(pApp, u"GetNameSpace", {&arg}, &ns.v), ns);
    pApp->Release();
    if (!bOk) return sResult;
    OlVar::I4(&arg, 10);
    if (!Object("GetDefaultFolder", t->Method(ns.v.pdispVal, u"GetDefaultFolder", {&arg}, &folder.v), folder))
        return sResult;
    if (FAILED(hr = t->Get(folder.v.pdispVal, u"Name", &text.v))) return Step("Name", hr);
    VariantClear(&text.v);
    if (FAILED(hr = t->Get(folder.v.pdispVal, u"StoreID", &text.v))) return Step("StoreID", hr);
    VariantClear(&text.v);
    if (!Object("Items", t->Get(folder.v.pdispVal, u"Items", &items.v), items)) return sResult;
    IDispatch* pItems = items.v.pdispVal;
    if (!Object("GetFirst", t->Method(pItems, u"GetFirst", {}, &item.v), item)) return sResult;
    VariantClear(&item.v);
    if (!Object("GetNext", t->Method(pItems, u"GetNext", {}, &item.v), item)) return sResult;
    if (FAILED(hr = t->Get(item.v.pdispVal, u"FirstName", &text.v))) return Step("FirstName", hr);
    OlVar::I4(&arg, 2);
    if (!Object("Add", t->Method(pItems, u"Add", {&arg}, &newItem.v), newItem)) return sResult;
    if (FAILED(hr = t->PutText(newItem.v.pdispVal, u"FirstName", u"new"))) return Step("put:FirstName", hr);
    if (FAILED(hr = t->Method(newItem.v.pdispVal, u"Save", {}, nullptr))) return Step("Save", hr);
    OlVar::I4(&arg, 1);
    if (!Object("Item", t->Method(pItems, u"Item", {&arg}, &byIndex.v), byIndex)) return sResult;
    return "done";
}

TEST_F(FailureTest, EachNamedCallFailsWhereTheStoreMakesIt) {
    // Two contacts for the enumeration to find.
    std::string sOut;
    ASSERT_EQ(RunOutlookExe("add contact FirstName=one", &sOut), 0) << sOut;
    ASSERT_EQ(RunOutlookExe("add contact FirstName=two", &sOut), 0) << sOut;
    ASSERT_EQ(RunSequence(this), "done");

    struct Case {
        const char* szFail;
        std::string sExpected;
    };
    const Case kCases[] = {
        {"Create", Step("CoCreateInstance", CO_E_SERVER_EXEC_FAILURE)},
        {"OleRun", Step("OleRun", E_FAIL)},
        {"QueryInterface", Step("QueryInterface", E_NOINTERFACE)},
        {"GetNameSpace", Step("GetNameSpace", DISP_E_EXCEPTION)},
        {"GetNameSpace:empty", "GetNameSpace no object"},
        {"getnamespace:null", "GetNameSpace no object"},
        {"GetDefaultFolder", Step("GetDefaultFolder", DISP_E_EXCEPTION)},
        {"Name", Step("Name", DISP_E_EXCEPTION)},
        {"StoreID", Step("StoreID", DISP_E_EXCEPTION)},
        {"Items", Step("Items", DISP_E_EXCEPTION)},
        {"Items:null", "Items no object"},
        {"GetFirst", Step("GetFirst", DISP_E_EXCEPTION)},
        {"GetNext:null", "GetNext no object"},
        {"FirstName", Step("FirstName", DISP_E_EXCEPTION)},
        {"Add", Step("Add", DISP_E_EXCEPTION)},
        {"Add:empty", "Add no object"},
        {"put:FirstName", Step("put:FirstName", DISP_E_EXCEPTION)},
        {"Save", Step("Save", DISP_E_EXCEPTION)},
        {"Item", Step("Item", DISP_E_EXCEPTION)},
        {" GetFirst#2 , Item#2 ", "done"},  // only a second "GetFirst" or "Item" call would fail
    };
    for (const Case& c : kCases) {
        m_Hooks.SetFail(c.szFail);
        EXPECT_EQ(RunSequence(this), c.sExpected) << c.szFail;
        EXPECT_EQ(m_Hooks.LiveObjects(), 0) << c.szFail;
    }
    m_Hooks.SetFail(nullptr);
    // Read at every creation from the environment as well.
    ScopedEnv fail("PELLMARK_OUTLOOK_FAIL", "GetDefaultFolder");
    EXPECT_EQ(RunSequence(this), Step("GetDefaultFolder", DISP_E_EXCEPTION));
    fail.Set(nullptr);
    EXPECT_EQ(RunSequence(this), "done");
}

// A misspelt or unknown entry must not let a test pass without its failure:
// the hook refuses the whole list, the environment's list stops the creation.
TEST_F(FailureTest, UnknownEntriesAreRefused) {
    std::string sOut;
    ASSERT_EQ(RunOutlookExe("add contact FirstName=one", &sOut), 0) << sOut;
    ASSERT_EQ(RunOutlookExe("add contact FirstName=two", &sOut), 0) << sOut;
    const char* const kBad[] = {"GetDefaultFolders", "Items:nul", "put:EntryID", "put:Members", "Create:empty",
                                "Save#0", "Save#", "Save#x", "Save#-1", "Save:", ":empty", "Item, Nothing"};
    for (const char* szList : kBad) {
        EXPECT_FALSE(m_Hooks.pfnSetFail(szList)) << szList;
        EXPECT_EQ(RunSequence(this), "done") << szList;  // the earlier list stays cleared
    }
    ASSERT_TRUE(m_Hooks.SetFail("Save"));
    EXPECT_FALSE(m_Hooks.pfnSetFail("Sav"));
    EXPECT_EQ(RunSequence(this), Step("Save", DISP_E_EXCEPTION));  // a refused list changes nothing
    m_Hooks.SetFail(nullptr);

    ScopedEnv fail("PELLMARK_OUTLOOK_FAIL", "GetDefaultFolder,Nothing");
    EXPECT_EQ(RunSequence(this), Step("CoCreateInstance", E_INVALIDARG));
}

TEST_F(FailureTest, FailedCallsChangeNothingAndCountsShowWhatWasCalled) {
    IDispatch* pItems = OpenItems();
    ASSERT_NE(pItems, nullptr);
    IDispatch* pItem = AddItem(pItems, 2);
    ASSERT_NE(pItem, nullptr);
    ASSERT_EQ(PutText(pItem, u"FirstName", u"Anna"), S_OK);
    m_Hooks.SetFail("put:FirstName,Save#1,Item#2");
    EXPECT_EQ(PutText(pItem, u"FirstName", u"Bert"), DISP_E_EXCEPTION);
    EXPECT_EQ(GetText(pItem, u"FirstName"), u"Anna");
    EXPECT_EQ(Method(pItem, u"Save", {}, nullptr), DISP_E_EXCEPTION);
    EXPECT_EQ(GetLong(pItems, u"Count"), 0);  // not in the file
    EXPECT_EQ(Method(pItem, u"Save", {}, nullptr), S_OK);
    EXPECT_EQ(GetLong(pItems, u"Count"), 1);
    // "#2": the second call fails, the first and third do not.
    for (HRESULT hrExpected : {S_OK, DISP_E_EXCEPTION, S_OK}) {
        OlVar index, result;
        OlVar::I4(&index.v, 1);
        EXPECT_EQ(Method(pItems, u"Item", {&index.v}, &result.v), hrExpected);
    }
    m_Hooks.SetFail("");

    m_Hooks.ResetCounts();
    EXPECT_EQ(GetText(pItem, u"FirstName"), u"Anna");
    EXPECT_EQ(GetText(pItem, u"LastName"), u"");
    OlVar none;
    EXPECT_EQ(Get(pItem, u"NoSuchName", &none.v), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(m_Hooks.CallCount("FirstName"), 1);
    EXPECT_EQ(m_Hooks.CallCount(nullptr), 2);  // Invoke calls only
    EXPECT_EQ(m_Hooks.CallCount("GetIDsOfNames"), 3);
    pItem->Release();
    pItems->Release();
}

}  // namespace
