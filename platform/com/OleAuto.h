// Automation: BSTR, VARIANT, DISPPARAMS, EXCEPINFO and IDispatch.
#pragma once

#include "platform/com/Unknwn.h"

// A BSTR points at UTF-16 text that is preceded by its length in bytes (a
// 32-bit count) and followed by a NUL. A null BSTR is an empty text.
typedef OLECHAR* BSTR;
typedef BSTR* LPBSTR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;

// A new BSTR holding the NUL-terminated text (none for a null text or when
// memory runs out).
BSTR SysAllocString(const OLECHAR* psz);
// A new BSTR of ui characters, copied from pch when given, else zero-filled.
BSTR SysAllocStringLen(const OLECHAR* pch, UINT ui);
// Frees a BSTR from SysAllocString*; null is ignored.
void SysFreeString(BSTR bstrString);
// The length in characters (0 for null), not counting the NUL.
UINT SysStringLen(BSTR bstr);
// The length in bytes.
UINT SysStringByteLen(BSTR bstr);

typedef USHORT VARTYPE;
typedef SHORT VARIANT_BOOL;
typedef LONG SCODE;
typedef LONG DISPID;
typedef DISPID MEMBERID;
typedef DWORD LCID;

#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_UI4 = 19,
    VT_INT = 22,
    VT_BYREF = 0x4000
};

class IDispatch;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        SHORT iVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        DATE date;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        void* byref;
    };
};
typedef VARIANT VARIANTARG;
typedef VARIANT* LPVARIANT;
typedef VARIANT* LPVARIANTARG;

#define V_VT(p) ((p)->vt)
#define V_I4(p) ((p)->lVal)
#define V_BOOL(p) ((p)->boolVal)
#define V_DATE(p) ((p)->date)
#define V_BSTR(p) ((p)->bstrVal)
#define V_DISPATCH(p) ((p)->pdispVal)
#define V_UNKNOWN(p) ((p)->punkVal)

// Makes the variant VT_EMPTY without looking at what it held.
void VariantInit(VARIANTARG* pvarg);
// Frees what the variant holds (a BSTR is freed, an object released) and makes
// it VT_EMPTY. E_INVALIDARG without a variant; DISP_E_BADVARTYPE for a type
// this layer does not know (the variant is left alone).
HRESULT VariantClear(VARIANTARG* pvarg);
// Clears pvargDest, then copies pvargSrc into it: a BSTR is duplicated, an
// object gets a reference of its own.
HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc);

#define DISPID_UNKNOWN ((DISPID)-1)
#define DISPID_VALUE ((DISPID)0)
#define DISPID_PROPERTYPUT ((DISPID)-3)

#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4
#define DISPATCH_PROPERTYPUTREF 0x8

#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_USER_DEFAULT 0x0400

// Arguments of a call, in automation order: rgvarg[0] is the last argument.
struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};
typedef EXCEPINFO* LPEXCEPINFO;

// Type information is not offered by this layer's objects.
class ITypeInfo;

class IDispatch : public IUnknown {
public:
    virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    // Resolves names to identifiers: DISP_E_UNKNOWNNAME for a name the object
    // does not know (that identifier is DISPID_UNKNOWN).
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) = 0;
    // Calls the member. pVarResult (may be null) must be initialised; it
    // receives the result, which the caller then owns.
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                           VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;
};
typedef IDispatch* LPDISPATCH;
