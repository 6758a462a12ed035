#include "common/outlook/OlComm.h"


#include "common/misc/CxDebugUtil.h"

bool OlBaseUtil::s_bStarted = false;
DWORD OlBaseUtil::s_nUseCount = 0;
CDispCmd* OlBaseUtil::s_pApp = nullptr;
CDispCmd* OlBaseUtil::s_pNameSpace = nullptr;
IUnknown* OlBaseUtil::s_pUnknown = nullptr;

// Outlook may be reached in-process, as a local server or remotely.
static const DWORD s_nClsContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

OlBaseUtil::OlBaseUtil() : m_pApp(nullptr), m_pNameSpace(nullptr), m_pUnknown(nullptr) {
    if (s_bStarted) {
        m_pApp = s_pApp;
        m_pNameSpace = s_pNameSpace;
        m_pUnknown = s_pUnknown;
    }
    // Runs the base Init: a derived object takes its second use in its own
    // constructor.
    Init();
}

OlBaseUtil::~OlBaseUtil() {
    Clear();
    Term();
}

bool OlBaseUtil::Load() {
    Clear();
    return true;
}

void OlBaseUtil::Clear() {}

void OlBaseUtil::Init() { Connect(); }

void OlBaseUtil::Term() {
    Clear();
    Disconnect();
}

bool OlBaseUtil::Connect() {
    ++s_nUseCount;
    if (s_bStarted) {
        m_pApp = s_pApp;
        m_pNameSpace = s_pNameSpace;
        m_pUnknown = s_pUnknown;
        return true;
    }

    g_DebugUtil.Print(LOG_MEDIUM, __FILE__, __LINE__, "Outlook automation started.");

    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(u"Outlook.Application", &clsid);
    if (FAILED(hr)) {
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__,
                          "Can not get the CLSID of Outlook.Application, hr=0x%08x", hr);
        Disconnect();
        return false;
    }
    g_DebugUtil.Print(LOG_MEDIUM, __FILE__, __LINE__, "Get Outlook.Application CLSID succeeded.");

    void* pv = nullptr;
    hr = CoCreateInstance(clsid, nullptr, s_nClsContext, IID_IUnknown, &pv);
    s_pUnknown = SUCCEEDED(hr) ? static_cast<IUnknown*>(pv) : nullptr;
    if (FAILED(hr) || s_pUnknown == nullptr) {
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__, "Failed to execute CoCreateInstance, hr=0x%08x", hr);
        Disconnect();
        return false;
    }
    g_DebugUtil.Print(LOG_MEDIUM, __FILE__, __LINE__, "CoCreateInstance succeeded.");

    hr = OleRun(s_pUnknown);
    if (FAILED(hr)) {
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__, "Failed to execute OleRun, hr=0x%08x", hr);
        Disconnect();
        return false;
    }
    g_DebugUtil.Print(LOG_MEDIUM, __FILE__, __LINE__, "Microsoft Outlook started successfully.");

    pv = nullptr;
    hr = s_pUnknown->QueryInterface(IID_IDispatch, &pv);
    IDispatch* pAppDisp = SUCCEEDED(hr) ? static_cast<IDispatch*>(pv) : nullptr;
    if (FAILED(hr) || pAppDisp == nullptr) {
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__,
                          "Failed to query IDispatch interface of Outlook App, hr=0x%08x", hr);
        Disconnect();
        return false;
    }
    g_DebugUtil.Print(LOG_MEDIUM, __FILE__, __LINE__, "Got Outlook IDispatch interface successfully.");

    // The wrapper takes its own reference; the query's one is given back.
    s_pApp = new CDispCmd(pAppDisp);
    pAppDisp->Release();

    VARIANT arg;
    VariantInit(&arg);
    V_VT(&arg) = VT_BSTR;
    V_BSTR(&arg) = SysAllocString(u"MAPI");
    VARIANT result;
    VariantInit(&result);
    hr = s_pApp->CallMethod(u"GetNameSpace", &arg, 1, &result);
    SysFreeString(V_BSTR(&arg));
    if (FAILED(hr) || V_VT(&result) != VT_DISPATCH || V_DISPATCH(&result) == nullptr) {
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__,
                          "Failed to call Outlook.Application GetNameSpace method, hr=0x%08x", hr);
        VariantClear(&result);
        Disconnect();
        return false;
    }
    g_DebugUtil.Print(LOG_MEDIUM, __FILE__, __LINE__, "Get Outlook MAPI namespace object successfully.");

    s_pNameSpace = new CDispCmd(V_DISPATCH(&result));
    VariantClear(&result);  // the call's own reference to the namespace

    s_bStarted = true;
    m_pApp = s_pApp;
    m_pNameSpace = s_pNameSpace;
    m_pUnknown = s_pUnknown;
    g_DebugUtil.Print(LOG_MEDIUM, __FILE__, __LINE__, "Outlook Automation Succeeded.");
    return true;
}

void OlBaseUtil::Disconnect() {
    if (s_nUseCount == 0) return;
    if (--s_nUseCount > 0) return;

    delete s_pNameSpace;
    delete s_pApp;
    if (s_pUnknown != nullptr) s_pUnknown->Release();
    s_pNameSpace = nullptr;
    s_pApp = nullptr;
    s_pUnknown = nullptr;
    m_pApp = nullptr;
    m_pNameSpace = nullptr;
    m_pUnknown = nullptr;
    s_bStarted = false;
    s_nUseCount = 0;
}
