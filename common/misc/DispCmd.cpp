#include "common/misc/DispCmd.h"

#include <string>

#include "common/misc/CxDebugUtil.h"
#include "platform/com/WinNls.h"

// Longest text sent by PutStringProperty, in UTF-16 units, with its NUL.
#define DISPCMD_PUT_TEXT_MAX 20480

// A value this close to zero stands for "no date".
static const float s_fNoDate = 1e-5f;

CDispCmd::CDispCmd(IDispatch* pDisp) : m_pDisp(pDisp) {
    if (m_pDisp != nullptr) m_pDisp->AddRef();
}

CDispCmd::~CDispCmd() {
    if (m_pDisp != nullptr) {
        m_pDisp->Release();
        m_pDisp = nullptr;
    }
}

HRESULT CDispCmd::InvokeByName(LPCOLESTR szName, WORD wFlags, DISPPARAMS* pParams, VARIANT* pResult) {
    if (m_pDisp == nullptr) return E_INVALIDARG;
    if (szName == nullptr || szName[0] == 0) return E_INVALIDARG;

    LPOLESTR szNames[1] = {const_cast<LPOLESTR>(szName)};
    DISPID nId = DISPID_UNKNOWN;
    HRESULT hr = m_pDisp->GetIDsOfNames(IID_NULL, szNames, 1, LOCALE_USER_DEFAULT, &nId);
    if (FAILED(hr)) {
        // The name as UTF-8 for the log; a lone surrogate becomes U+FFFD.
        int nLen = WideCharToMultiByte(CP_UTF8, 0, szName, -1, nullptr, 0, nullptr, nullptr);
        std::string sName(nLen > 0 ? (size_t)nLen : 1, '\0');
        if (nLen > 0) WideCharToMultiByte(CP_UTF8, 0, szName, -1, &sName[0], nLen, nullptr, nullptr);
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__,
                          "Failed to call IDispatch->GetIDsOfNames, Name=%s, hr=0x%08x", sName.c_str(), (unsigned)hr);
        return hr;
    }
    return m_pDisp->Invoke(nId, IID_NULL, LOCALE_SYSTEM_DEFAULT, wFlags, pParams, pResult, nullptr, nullptr);
}

HRESULT CDispCmd::CallMethod(LPCOLESTR szName, VARIANT* pArgs, UINT nArgs, VARIANT* pResult, WORD wFlags,
                             DISPID* pNamedIds, UINT nNamed) {
    DISPPARAMS params;
    params.rgvarg = pArgs;
    params.rgdispidNamedArgs = pNamedIds;
    params.cArgs = nArgs;
    params.cNamedArgs = nNamed;
    return InvokeByName(szName, wFlags, &params, pResult);
}

HRESULT CDispCmd::GetProperty(LPCOLESTR szName, VARIANT* pResult) {
    DISPPARAMS params = {nullptr, nullptr, 0, 0};
    return InvokeByName(szName, DISPATCH_PROPERTYGET, &params, pResult);
}

HRESULT CDispCmd::PutProperty(LPCOLESTR szName, VARIANT* pValue) {
    DISPID nNamed = DISPID_PROPERTYPUT;
    DISPPARAMS params;
    params.rgvarg = pValue;
    params.rgdispidNamedArgs = &nNamed;
    params.cArgs = 1;
    params.cNamedArgs = 1;
    return InvokeByName(szName, DISPATCH_PROPERTYPUT, &params, nullptr);
}

HRESULT CDispCmd::GetStringProperty(LPCOLESTR szName, char* szBuf, int nBufLen) {
    // No place for even the terminating NUL counts as no place at all.
    if (szBuf == nullptr || nBufLen <= 0) return 1;

    VARIANT var;
    VariantInit(&var);
    HRESULT hr = GetProperty(szName, &var);
    if (FAILED(hr)) return hr;
    if (V_VT(&var) != VT_BSTR) {
        VariantClear(&var);
        return 1;
    }
    if (V_BSTR(&var) == nullptr || nBufLen == 1) {
        szBuf[0] = '\0';
    } else {
        // Converting into all but the last byte keeps a cut on a character
        // boundary: the converter writes only whole characters and pads the
        // rest with NUL bytes when the text does not fit.
        WideCharToMultiByte(GetACP(), 0, V_BSTR(&var), -1, szBuf, nBufLen - 1, nullptr, nullptr);
    }
    szBuf[nBufLen - 1] = '\0';
    VariantClear(&var);
    return 0;
}

HRESULT CDispCmd::GetLongProperty(LPCOLESTR szName, LONG* pnValue) {
    if (pnValue == nullptr) return 1;

    VARIANT var;
    VariantInit(&var);
    HRESULT hr = GetProperty(szName, &var);
    if (FAILED(hr)) return hr;
    if (V_VT(&var) != VT_I4) {
        VariantClear(&var);
        return 1;
    }
    *pnValue = V_I4(&var);
    VariantClear(&var);
    return 0;
}

HRESULT CDispCmd::GetDateProperty(LPCOLESTR szName, double* pdtValue) {
    if (pdtValue == nullptr) return 1;

    VARIANT var;
    VariantInit(&var);
    HRESULT hr = GetProperty(szName, &var);
    if (FAILED(hr)) return hr;
    if (V_VT(&var) != VT_DATE) {
        VariantClear(&var);
        return 1;
    }
    *pdtValue = V_DATE(&var);
    VariantClear(&var);
    return 0;
}

HRESULT CDispCmd::GetDispatchProperty(LPCOLESTR szName, IDispatch** ppDisp) {
    if (ppDisp == nullptr) return 1;
    *ppDisp = nullptr;

    VARIANT var;
    VariantInit(&var);
    HRESULT hr = GetProperty(szName, &var);
    if (FAILED(hr)) return hr;
    if (V_VT(&var) != VT_DISPATCH) {
        VariantClear(&var);
        return 1;
    }
    // The variant's reference passes to the caller, so it is not cleared.
    *ppDisp = V_DISPATCH(&var);
    return 0;
}

HRESULT CDispCmd::PutStringProperty(LPCOLESTR szName, const char* szValue) {
    if (szValue == nullptr || szValue[0] == '\0') return 0;

    // Converting into all but the last unit cuts a long text on a character
    // boundary (never half a surrogate pair); the last unit is the NUL.
    WCHAR wszValue[DISPCMD_PUT_TEXT_MAX];
    wszValue[0] = 0;
    MultiByteToWideChar(GetACP(), 0, szValue, -1, wszValue, DISPCMD_PUT_TEXT_MAX - 1);
    wszValue[DISPCMD_PUT_TEXT_MAX - 1] = 0;
    // A conversion that produced nothing from a non-empty text must not be
    // sent: an empty value would clear the property.
    if (wszValue[0] == 0) return E_INVALIDARG;

    BSTR bstr = SysAllocString(wszValue);
    if (bstr == nullptr) return E_OUTOFMEMORY;
    VARIANT var;
    VariantInit(&var);
    V_VT(&var) = VT_BSTR;
    V_BSTR(&var) = bstr;
    HRESULT hr = PutProperty(szName, &var);
    SysFreeString(bstr);
    return hr;
}

HRESULT CDispCmd::PutLongProperty(LPCOLESTR szName, LONG nValue) {
    VARIANT var;
    VariantInit(&var);
    V_VT(&var) = VT_I4;
    V_I4(&var) = nValue;
    return PutProperty(szName, &var);
}

HRESULT CDispCmd::PutDateProperty(LPCOLESTR szName, double dtValue) {
    if (dtValue > -s_fNoDate && dtValue < s_fNoDate) return 0;

    VARIANT var;
    VariantInit(&var);
    V_VT(&var) = VT_DATE;
    V_DATE(&var) = dtValue;
    return PutProperty(szName, &var);
}
