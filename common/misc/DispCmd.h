// Calls by member name on an automation object (IDispatch): method calls,
// property reads and writes, and typed shortcuts for text, 32-bit integers,
// dates and object references.
//
// Every call resolves the name first; identifiers are never cached. Results
// are status codes: negative is a COM failure (the object's, or E_INVALIDARG
// from the wrapper when it has no object or no name), 0 success, 1 a call that
// succeeded without a value of the expected type (or with no place to put it).
// Only a failed name lookup is written to the debug log (level 0).
//
// Texts on the program side are 8-bit text in the ANSI code page (UTF-8).
#pragma once

#include "platform/com/Com.h"

class CDispCmd {
public:
    // Holds a reference of its own on pDisp (which may be null).
    explicit CDispCmd(IDispatch* pDisp);
    // Releases that reference.
    ~CDispCmd();

    CDispCmd(const CDispCmd&) = delete;
    CDispCmd& operator=(const CDispCmd&) = delete;

    // The wrapped object, without an added reference.
    IDispatch* GetDispatch() const { return m_pDisp; }

    // Resolves szName (user default locale) and invokes it (system default
    // locale) with the given flags, parameters and result (may be null).
    HRESULT InvokeByName(LPCOLESTR szName, WORD wFlags, DISPPARAMS* pParams, VARIANT* pResult);

    // Arguments in automation order (the last one first). A result variant
    // must be initialised by the caller, who clears it afterwards.
    HRESULT CallMethod(LPCOLESTR szName, VARIANT* pArgs, UINT nArgs, VARIANT* pResult,
                       WORD wFlags = DISPATCH_METHOD, DISPID* pNamedIds = nullptr, UINT nNamed = 0);
    HRESULT GetProperty(LPCOLESTR szName, VARIANT* pResult);
    HRESULT PutProperty(LPCOLESTR szName, VARIANT* pValue);

    // Typed reads: 0 with the value stored; 1 when the property is not of the
    // type (the output is then untouched) or there is no output (nothing is
    // called); a negative code when the call failed (output untouched).
    // Text: at most nBufLen - 1 bytes survive, never a split character.
    HRESULT GetStringProperty(LPCOLESTR szName, char* szBuf, int nBufLen);
    HRESULT GetLongProperty(LPCOLESTR szName, LONG* pnValue);
    HRESULT GetDateProperty(LPCOLESTR szName, double* pdtValue);
    // *ppDisp is set to null first; on 0 it may still be null. The caller
    // owns the returned reference and releases it.
    HRESULT GetDispatchProperty(LPCOLESTR szName, IDispatch** ppDisp);

    // Typed writes. A null or empty text is not sent (0, the property keeps
    // its value); at most 20,479 UTF-16 characters are sent. A date within
    // 1e-5 of zero means "no date" and is not sent (0). An integer is always
    // sent, 0 included.
    HRESULT PutStringProperty(LPCOLESTR szName, const char* szValue);
    HRESULT PutLongProperty(LPCOLESTR szName, LONG nValue);
    HRESULT PutDateProperty(LPCOLESTR szName, double dtValue);

private:
    IDispatch* m_pDisp;
};
