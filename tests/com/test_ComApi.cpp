#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/com/Com.h"
#include "support/ScopedEnv.h"
#include "support/StandinHooks.h"
#include "support/TempDir.h"

namespace {

const CLSID kOutlookClsid = {0x0006F03A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Each test writes its own registry file and points PELLMARK_REGISTRY at it.
class ComApiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_Dir.Path().empty());
        m_sDir = m_Dir.Path().substr(0, m_Dir.Path().size() - 1);
        m_DataHome.Set(m_sDir.c_str());
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    }
    void TearDown() override { CoUninitialize(); }
    // A registry with ProgID "Test.Class" -> sClsid -> sLibrary.
    void WriteRegistry(const std::string& sClsid, const std::string& sLibrary) {
        std::string sPath = m_sDir + "/test.reg";
        std::ofstream f(sPath);
        f << "Windows Registry Editor Version 5.00\r\n\r\n"
          << "[HKEY_CLASSES_ROOT\\Test.Class\\CLSID]\r\n@=\"" << sClsid << "\"\r\n\r\n";
        if (!sLibrary.empty())
            f << "[HKEY_CLASSES_ROOT\\CLSID\\" << sClsid << "\\InprocServer32]\r\n@=\"" << sLibrary << "\"\r\n";
        f.close();
        m_Registry.Set(sPath.c_str());
    }
    TempDir m_Dir{"comapi"};
    ScopedEnv m_DataHome{"XDG_DATA_HOME", nullptr};
    ScopedEnv m_Registry{"PELLMARK_REGISTRY", nullptr};
    std::string m_sDir;  // without the last '/'
};

TEST(Guid, TextFormRoundTripsAndRejectsMalformedText) {
    WCHAR wsz[39];
    ASSERT_EQ(StringFromGUID2(IID_IDispatch, wsz, 39), 39);
    EXPECT_EQ(std::u16string(wsz), u"{00020400-0000-0000-C000-000000000046}");
    EXPECT_EQ(StringFromGUID2(IID_IDispatch, wsz, 38), 0);
    CLSID clsid;
    ASSERT_EQ(CLSIDFromString(u"{0006f03a-0000-0000-c000-000000000046}", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, kOutlookClsid));
    for (const char16_t* bad : {u"0006F03A-0000-0000-C000-000000000046", u"{0006F03A-0000-0000-C000-00000000004}",
                                u"{0006F03A-0000-0000-C000-000000000046}x", u"{0006F03A+0000-0000-C000-000000000046}",
                                u"{0006F03G-0000-0000-C000-000000000046}", u""})
        EXPECT_EQ(CLSIDFromString(bad, &clsid), CO_E_CLASSSTRING) << (const void*)bad;
    // The well-known interface identifiers.
    ASSERT_EQ(StringFromGUID2(IID_IUnknown, wsz, 39), 39);
    EXPECT_EQ(std::u16string(wsz), u"{00000000-0000-0000-C000-000000000046}");
    ASSERT_EQ(StringFromGUID2(IID_IClassFactory, wsz, 39), 39);
    EXPECT_EQ(std::u16string(wsz), u"{00000001-0000-0000-C000-000000000046}");
}

TEST(Apartment, InitialisationNestsPerMode) {
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    CoUninitialize();
    CoUninitialize();
    // Without initialisation nothing can be created.
    IUnknown* p = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(CoCreateInstance(kOutlookClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, (void**)&p),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(p, nullptr);
}

TEST_F(ComApiTest, ProgIdLookupReadsTheRegistry) {
    CLSID clsid;
    WriteRegistry("{0006F03A-0000-0000-C000-000000000046}", "");
    ASSERT_EQ(CLSIDFromProgID(u"Test.Class", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, kOutlookClsid));
    EXPECT_EQ(CLSIDFromProgID(u"test.class", &clsid), S_OK);  // keys ignore case
    EXPECT_EQ(CLSIDFromProgID(u"Other.Class", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID(u"", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID(nullptr, &clsid), E_INVALIDARG);
    WriteRegistry("not a class", "");
    EXPECT_EQ(CLSIDFromProgID(u"Test.Class", &clsid), CO_E_CLASSSTRING);
    m_Registry.Set((m_sDir + "/missing.reg").c_str());
    EXPECT_EQ(CLSIDFromProgID(u"Test.Class", &clsid), CO_E_CLASSSTRING);
}

struct CreateCase {
    const char* szLibrary;  // "" = no InprocServer32 key; "@" = the stand-in
    DWORD dwContext;
    HRESULT hrExpected;
};

TEST_F(ComApiTest, CreationReportsEachMissingPiece) {
    const CreateCase kCases[] = {
        {"", CLSCTX_INPROC_SERVER, REGDB_E_CLASSNOTREG},
        {"/nonexistent/lib.so", CLSCTX_INPROC_SERVER, HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)},
        {"libm.so.6", CLSCTX_INPROC_SERVER, CO_E_ERRORINDLL},  // loads, but is no server
        {"@", CLSCTX_LOCAL_SERVER, REGDB_E_CLASSNOTREG},
        {"@", 21, S_OK},  // in-process, local and remote server
    };
    for (const CreateCase& c : kCases) {
        std::string sLib = std::string(c.szLibrary) == "@" ? ProgramFolder() + "olstandin.so" : c.szLibrary;
        WriteRegistry("{0006F03A-0000-0000-C000-000000000046}", sLib);
        IUnknown* p = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(CoCreateInstance(kOutlookClsid, nullptr, c.dwContext, IID_IUnknown, (void**)&p), c.hrExpected)
            << c.szLibrary;
        if (c.hrExpected == S_OK) {
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->Release(), 0u);
        } else {
            EXPECT_EQ(p, nullptr) << c.szLibrary;
        }
    }
    // A class the library does not serve.
    WriteRegistry("{11111111-2222-3333-4444-555555555555}", ProgramFolder() + "olstandin.so");
    const CLSID other = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
    IUnknown* p = nullptr;
    EXPECT_EQ(CoCreateInstance(other, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, (void**)&p),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(CoCreateInstance(kOutlookClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr), E_POINTER);
}

// An object with no running state and one whose Run fails.
class Plain : public IUnknown {
public:
    HRESULT QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
};

class Runnable : public IRunnableObject {
public:
    int m_nRuns = 0;
    ULONG m_nRef = 1;
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        *ppv = IsEqualIID(riid, IID_IRunnableObject) ? this : nullptr;
        if (*ppv == nullptr) return E_NOINTERFACE;
        ++m_nRef;
        return S_OK;
    }
    ULONG AddRef() override { return ++m_nRef; }
    ULONG Release() override { return --m_nRef; }
    HRESULT GetRunningClass(LPCLSID) override { return E_NOTIMPL; }
    HRESULT Run(LPBINDCTX) override {
        ++m_nRuns;
        return E_FAIL;
    }
    BOOL IsRunning() override { return FALSE; }
    HRESULT LockRunning(BOOL, BOOL) override { return S_OK; }
    HRESULT SetContainedObject(BOOL) override { return S_OK; }
};

TEST(OleRun, RunsObjectsThatHaveARunningState) {
    Plain plain;
    EXPECT_EQ(OleRun(&plain), S_OK);
    Runnable runnable;
    EXPECT_EQ(OleRun(&runnable), E_FAIL);
    EXPECT_EQ(runnable.m_nRuns, 1);
    EXPECT_EQ(runnable.m_nRef, 1u);  // the interface it asked for is given back
    EXPECT_EQ(OleRun(nullptr), E_INVALIDARG);
}

}  // namespace
