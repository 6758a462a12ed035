#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "common/misc/DispCmd.h"
#include "tests/outlook/fixtures/OlTestEnv.h"

namespace {

// An automation object that records how it was called and answers every
// call with the integer 5.
class RecordingDispatch : public IDispatch {
public:
    HRESULT QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++m_nRef; }
    ULONG Release() override { return --m_nRef; }
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override {
        m_bNullIid = riid == IID_NULL;
        m_nNames = cNames;
        m_lcidNames = lcid;
        m_sName = rgszNames[0];
        rgDispId[0] = 42;
        return S_OK;
    }
    HRESULT Invoke(DISPID id, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pParams, VARIANT* pResult,
                   EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
        m_nId = id;
        m_bNullIid = m_bNullIid && riid == IID_NULL;
        m_lcidInvoke = lcid;
        m_wFlags = wFlags;
        m_nArgs = pParams->cArgs;
        m_nNamed = pParams->cNamedArgs;
        m_nNamedId = m_nNamed > 0 ? pParams->rgdispidNamedArgs[0] : 0;
        m_vtArg = m_nArgs > 0 ? V_VT(&pParams->rgvarg[0]) : (VARTYPE)VT_EMPTY;
        m_bResult = pResult != nullptr;
        m_bExtras = pExcepInfo != nullptr || puArgErr != nullptr;
        if (pResult != nullptr) {
            V_VT(pResult) = VT_I4;
            V_I4(pResult) = 5;
        }
        return S_OK;
    }

    ULONG m_nRef = 1;
    bool m_bNullIid = false;
    UINT m_nNames = 0;
    LCID m_lcidNames = 0, m_lcidInvoke = 0;
    std::u16string m_sName;
    DISPID m_nId = 0, m_nNamedId = 0;
    WORD m_wFlags = 0;
    UINT m_nArgs = 99, m_nNamed = 99;
    VARTYPE m_vtArg = VT_EMPTY;
    bool m_bResult = false, m_bExtras = true;
};

TEST(DispCmdCalls, EachCallResolvesInTheUserLocaleAndInvokesInTheSystemLocale) {
    struct Case {
        const char* szCall;
        WORD wFlags;
        UINT nArgs, nNamed;
        DISPID nNamedId;
        VARTYPE vtArg;
        bool bResult;
    };
    const Case cases[] = {
        {"get", DISPATCH_PROPERTYGET, 0, 0, 0, VT_EMPTY, true},
        {"put text", DISPATCH_PROPERTYPUT, 1, 1, DISPID_PROPERTYPUT, VT_BSTR, false},
        {"put long", DISPATCH_PROPERTYPUT, 1, 1, DISPID_PROPERTYPUT, VT_I4, false},
        {"put date", DISPATCH_PROPERTYPUT, 1, 1, DISPID_PROPERTYPUT, VT_DATE, false},
        {"method", DISPATCH_METHOD, 1, 0, 0, VT_I4, true},
    };
    RecordingDispatch obj;
    {
        CDispCmd cmd(&obj);
        EXPECT_EQ(obj.m_nRef, 2u) << "the wrapper holds a reference of its own";
        for (const Case& c : cases) {
            SCOPED_TRACE(c.szCall);
            const std::string sCall = c.szCall;
            VARIANT arg, result;
            VariantInit(&arg);
            VariantInit(&result);
            V_VT(&arg) = VT_I4;
            V_I4(&arg) = 10;
            LONG n = 0;
            HRESULT hr = sCall == "get"        ? cmd.GetLongProperty(u"Count", &n)
                         : sCall == "put text" ? cmd.PutStringProperty(u"Count", "x")
                         : sCall == "put long" ? cmd.PutLongProperty(u"Count", 0)
                         : sCall == "put date" ? cmd.PutDateProperty(u"Count", 2.0)
                                               : cmd.CallMethod(u"Count", &arg, 1, &result);
            EXPECT_EQ(hr, 0);
            EXPECT_TRUE(obj.m_sName == u"Count");
            EXPECT_EQ(obj.m_nNames, 1u);
            EXPECT_EQ(obj.m_lcidNames, (LCID)LOCALE_USER_DEFAULT);
            EXPECT_EQ(obj.m_lcidInvoke, (LCID)LOCALE_SYSTEM_DEFAULT);
            EXPECT_TRUE(obj.m_bNullIid);
            EXPECT_EQ(obj.m_nId, 42);
            EXPECT_EQ(obj.m_wFlags, c.wFlags);
            EXPECT_EQ(obj.m_nArgs, c.nArgs);
            EXPECT_EQ(obj.m_nNamed, c.nNamed);
            EXPECT_EQ(obj.m_nNamedId, c.nNamedId);
            EXPECT_EQ(obj.m_vtArg, c.vtArg);
            EXPECT_EQ(obj.m_bResult, c.bResult);
            EXPECT_FALSE(obj.m_bExtras) << "no exception information or argument index is asked for";
            if (sCall == "get") {
                EXPECT_EQ(n, 5);
            }
            if (sCall == "method") {
                EXPECT_EQ(V_I4(&result), 5);
            }
        }
    }
    EXPECT_EQ(obj.m_nRef, 1u) << "and gives it back once";
}

// One contact item of the stand-in, wrapped.
class DispCmdTest : public OlTestEnv {
protected:
    void SetUp() override {
        OlTestEnv::SetUp();
        AddItem("contact", {"FirstName=Anna", "Gender=2", "Birthday=29222.5"});
        IDispatch* pItem = FirstContactItem();
        ASSERT_NE(pItem, nullptr);
        m_pItem.reset(new CDispCmd(pItem));
        pItem->Release();  // the wrapper keeps its own reference
        ClearLog();
        m_Hooks.ResetCounts();
    }
    void TearDown() override {
        m_pItem.reset();
        OlTestEnv::TearDown();
    }
    std::string Text(LPCOLESTR szName, int nBufLen = 4096) {
        std::string s(nBufLen, '#');
        EXPECT_EQ(m_pItem->GetStringProperty(szName, &s[0], nBufLen), 0);
        return s.c_str();
    }
    double Date(LPCOLESTR szName) {
        double dt = -1.0;
        EXPECT_EQ(m_pItem->GetDateProperty(szName, &dt), 0);
        return dt;
    }
    std::unique_ptr<CDispCmd> m_pItem;
};

TEST_F(DispCmdTest, WithoutObjectOrNameNothingIsCalled) {
    CDispCmd none(nullptr);
    EXPECT_EQ(none.GetDispatch(), nullptr);
    char szBuf[8] = "keep";
    LONG n = 7;
    double dt = 1.5;
    IDispatch* pDisp = reinterpret_cast<IDispatch*>(&n);
    VARIANT var;
    VariantInit(&var);
    EXPECT_EQ(none.InvokeByName(u"FirstName", DISPATCH_PROPERTYGET, nullptr, &var), E_INVALIDARG);
    EXPECT_EQ(none.CallMethod(u"Save", nullptr, 0, nullptr), E_INVALIDARG);
    EXPECT_EQ(none.GetProperty(u"FirstName", &var), E_INVALIDARG);
    EXPECT_EQ(none.GetStringProperty(u"FirstName", szBuf, sizeof(szBuf)), E_INVALIDARG);
    EXPECT_EQ(none.GetLongProperty(u"Gender", &n), E_INVALIDARG);
    EXPECT_EQ(none.GetDateProperty(u"Birthday", &dt), E_INVALIDARG);
    EXPECT_EQ(none.GetDispatchProperty(u"Items", &pDisp), E_INVALIDARG);
    EXPECT_EQ(none.PutStringProperty(u"FirstName", "Bob"), E_INVALIDARG);
    EXPECT_EQ(none.PutLongProperty(u"Gender", 1), E_INVALIDARG);
    EXPECT_EQ(none.PutDateProperty(u"Birthday", 2.0), E_INVALIDARG);
    EXPECT_STREQ(szBuf, "keep");
    EXPECT_EQ(n, 7);
    EXPECT_EQ(dt, 1.5);
    EXPECT_EQ(pDisp, nullptr);
    EXPECT_EQ(V_VT(&var), VT_EMPTY);

    // An empty or missing name is refused before any lookup.
    EXPECT_EQ(m_pItem->GetStringProperty(u"", szBuf, sizeof(szBuf)), E_INVALIDARG);
    EXPECT_EQ(m_pItem->GetProperty(nullptr, &var), E_INVALIDARG);
    EXPECT_EQ(m_pItem->PutLongProperty(u"", 1), E_INVALIDARG);
    EXPECT_EQ(m_Hooks.CallCount(nullptr), 0);
    EXPECT_EQ(m_Hooks.CallCount("GetIDsOfNames"), 0);
    EXPECT_TRUE(LogMessages().empty());
}

TEST_F(DispCmdTest, UnknownNameIsLoggedWithTheLookupCode) {
    char szBuf[8] = "keep";
    EXPECT_EQ(m_pItem->GetStringProperty(u"NoSuchProperty", szBuf, sizeof(szBuf)), DISP_E_UNKNOWNNAME);
    EXPECT_STREQ(szBuf, "keep");
    EXPECT_EQ(m_Hooks.CallCount(nullptr), 0);  // no Invoke follows a failed lookup
    EXPECT_EQ(LogMessages(), std::vector<std::string>{
                                 "[!!!] - Failed to call IDispatch->GetIDsOfNames, Name=NoSuchProperty, hr=0x80020006"});
    // A wide name is written as UTF-8; a lone surrogate has no UTF-8 form.
    ClearLog();
    EXPECT_EQ(m_pItem->GetStringProperty(u"Gr\u00FC\u00DFe \U0001F600", szBuf, sizeof(szBuf)), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(m_pItem->GetStringProperty(u"a\xD800" u"b", szBuf, sizeof(szBuf)), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(LogMessages(),
              (std::vector<std::string>{"[!!!] - Failed to call IDispatch->GetIDsOfNames, Name=Gr\xC3\xBC\xC3\x9F"
                                        "e \xF0\x9F\x98\x80, hr=0x80020006",
                                        "[!!!] - Failed to call IDispatch->GetIDsOfNames, Name=a\xEF\xBF\xBD"
                                        "b, hr=0x80020006"}));
}

TEST_F(DispCmdTest, TextIsCutToTheBufferOnACharacterBoundary) {
    struct Case {
        const char* szValue;
        int nBufLen;
        const char* szExpected;
    };
    const Case cases[] = {
        {"abcdefghijkl", 8, "abcdefg"},             // 12 characters into 8 bytes
        {"abcdefg", 8, "abcdefg"},                  // exactly fills
        {"abcdef\xc3\xa9xy", 8, "abcdef"},          // é would end on the last byte
        {"abcde\xc3\xa9xy", 8, "abcde\xc3\xa9"},    // é fits whole
        {"\xe6\x97\xa5\xe6\x9c\xac", 5, "\xe6\x97\xa5"},  // two 3-byte characters, room for one
        {"abc", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szValue);
        ASSERT_EQ(m_pItem->PutStringProperty(u"FirstName", c.szValue), 0);
        char szBuf[16];
        memset(szBuf, '#', sizeof(szBuf));
        EXPECT_EQ(m_pItem->GetStringProperty(u"FirstName", szBuf, c.nBufLen), 0);
        EXPECT_STREQ(szBuf, c.szExpected);
        EXPECT_EQ(szBuf[c.nBufLen - 1], '\0');
        EXPECT_EQ(szBuf[c.nBufLen], '#') << "wrote past the buffer";
    }
    EXPECT_EQ(m_pItem->GetStringProperty(u"FirstName", nullptr, 8), 1);
}

TEST_F(DispCmdTest, AValueOfAnotherTypeOrAFailedCallLeavesTheOutputAlone) {
    char szBuf[8] = "keep";
    LONG n = 7;
    double dt = 1.5;
    IDispatch* pDisp = nullptr;
    EXPECT_EQ(m_pItem->GetStringProperty(u"Gender", szBuf, sizeof(szBuf)), 1);
    EXPECT_EQ(m_pItem->GetLongProperty(u"FirstName", &n), 1);
    EXPECT_EQ(m_pItem->GetDateProperty(u"FirstName", &dt), 1);
    EXPECT_EQ(m_pItem->GetDispatchProperty(u"FirstName", &pDisp), 1);
    // No place for the value: 1, whatever the property holds.
    EXPECT_EQ(m_pItem->GetDispatchProperty(u"FirstName", nullptr), 1);
    EXPECT_EQ(m_pItem->GetStringProperty(u"FirstName", nullptr, 8), 1);
    EXPECT_EQ(m_pItem->GetLongProperty(u"Gender", nullptr), 1);
    EXPECT_EQ(m_pItem->GetDateProperty(u"Birthday", nullptr), 1);

    m_Hooks.SetFail("FirstName,Gender,Birthday");
    EXPECT_EQ(m_pItem->GetStringProperty(u"FirstName", szBuf, sizeof(szBuf)), DISP_E_EXCEPTION);
    EXPECT_EQ(m_pItem->GetLongProperty(u"Gender", &n), DISP_E_EXCEPTION);
    EXPECT_EQ(m_pItem->GetDateProperty(u"Birthday", &dt), DISP_E_EXCEPTION);
    EXPECT_STREQ(szBuf, "keep");
    EXPECT_EQ(n, 7);
    EXPECT_EQ(dt, 1.5);
    EXPECT_EQ(pDisp, nullptr);
    EXPECT_TRUE(LogMessages().empty()) << "only a failed lookup is logged";
}

TEST_F(DispCmdTest, ReadsGiveTheValues) {
    LONG n = 0;
    EXPECT_EQ(Text(u"FirstName"), "Anna");
    EXPECT_EQ(m_pItem->GetLongProperty(u"Gender", &n), 0);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(Date(u"Birthday"), 29222.5);
}

TEST_F(DispCmdTest, AnEmptyTextIsNotSent) {
    EXPECT_EQ(m_pItem->PutStringProperty(u"FirstName", ""), 0);
    EXPECT_EQ(m_pItem->PutStringProperty(u"FirstName", nullptr), 0);
    EXPECT_EQ(m_Hooks.CallCount("FirstName"), 0);
    EXPECT_EQ(Text(u"FirstName"), "Anna");
}

TEST_F(DispCmdTest, ZeroIsSentAsAnInteger) {
    EXPECT_EQ(m_pItem->PutLongProperty(u"Gender", 0), 0);
    LONG n = 7;
    EXPECT_EQ(m_pItem->GetLongProperty(u"Gender", &n), 0);
    EXPECT_EQ(n, 0);
}

TEST_F(DispCmdTest, DatesNearZeroMeanNoDate) {
    struct Case {
        double dtValue;
        bool bSent;
    };
    const Case cases[] = {
        {0.0, false}, {0.000005, false}, {-0.000005, false},
        {0.00001, true}, {-0.00001, true}, {949998.0, true}, {-109205.0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dtValue);
        ASSERT_EQ(m_pItem->PutDateProperty(u"Birthday", 29222.5), 0);
        m_Hooks.ResetCounts();
        EXPECT_EQ(m_pItem->PutDateProperty(u"Birthday", c.dtValue), 0);
        EXPECT_EQ(m_Hooks.CallCount("Birthday"), c.bSent ? 1 : 0);
        EXPECT_EQ(Date(u"Birthday"), c.bSent ? c.dtValue : 29222.5);
    }
}

TEST_F(DispCmdTest, ALongTextIsSentCutTo20479Characters) {
    EXPECT_EQ(m_pItem->PutStringProperty(u"Body", Repeat('x', 25000).c_str()), 0);
    std::string sBody = Text(u"Body", 30000);
    EXPECT_EQ(sBody.size(), 20479u);
    EXPECT_TRUE(sBody == Repeat('x', 20479));
    // A cut never leaves half a surrogate pair: U+1F600 takes two units.
    std::string sEmoji = Repeat('y', 20478) + "\xf0\x9f\x98\x80";
    EXPECT_EQ(m_pItem->PutStringProperty(u"Body", sEmoji.c_str()), 0);
    sBody = Text(u"Body", 30000);
    EXPECT_EQ(sBody.size(), 20478u);
    EXPECT_TRUE(sBody == Repeat('y', 20478));
}

TEST_F(DispCmdTest, AnObjectResultMayBeNullWithSuccess) {
    IDispatch* pFolder = ContactsFolder();
    ASSERT_NE(pFolder, nullptr);
    CDispCmd folder(pFolder);
    pFolder->Release();

    IDispatch* pItems = reinterpret_cast<IDispatch*>(&folder);
    m_Hooks.SetFail("Items:null");
    EXPECT_EQ(folder.GetDispatchProperty(u"Items", &pItems), 0);
    EXPECT_EQ(pItems, nullptr);

    m_Hooks.SetFail("Items:empty");
    pItems = reinterpret_cast<IDispatch*>(&folder);
    EXPECT_EQ(folder.GetDispatchProperty(u"Items", &pItems), 1);
    EXPECT_EQ(pItems, nullptr);

    m_Hooks.SetFail(nullptr);
    EXPECT_EQ(folder.GetDispatchProperty(u"Items", &pItems), 0);
    ASSERT_NE(pItems, nullptr);
    pItems->Release();  // the caller's reference
}

}  // namespace
