// BSTR and VARIANT handling.
#include "platform/com/OleAuto.h"

#include <cstdlib>
#include <cstring>

namespace {

// The 32-bit byte count stored just before a BSTR's first character.
UINT* LengthPrefix(BSTR bstr) { return reinterpret_cast<UINT*>(reinterpret_cast<char*>(bstr) - sizeof(UINT)); }

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* pch, UINT ui) {
    // Keep the byte count representable in 32 bits.
    if (ui >= 0x7FFFFFF0u / sizeof(OLECHAR)) return nullptr;
    size_t nBytes = (size_t)ui * sizeof(OLECHAR);
    char* pBlock = static_cast<char*>(malloc(sizeof(UINT) + nBytes + sizeof(OLECHAR)));
    if (pBlock == nullptr) return nullptr;
    UINT nLen = (UINT)nBytes;
    memcpy(pBlock, &nLen, sizeof(UINT));
    BSTR bstr = reinterpret_cast<BSTR>(pBlock + sizeof(UINT));
    if (pch != nullptr)
        memcpy(bstr, pch, nBytes);
    else
        memset(bstr, 0, nBytes);
    bstr[ui] = 0;
    return bstr;
}

BSTR SysAllocString(const OLECHAR* psz) {
    if (psz == nullptr) return nullptr;
    UINT n = 0;
    while (psz[n] != 0) ++n;
    return SysAllocStringLen(psz, n);
}

void SysFreeString(BSTR bstrString) {
    if (bstrString == nullptr) return;
    free(LengthPrefix(bstrString));
}

UINT SysStringByteLen(BSTR bstr) {
    if (bstr == nullptr) return 0;
    UINT n;
    memcpy(&n, LengthPrefix(bstr), sizeof(UINT));
    return n;
}

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr) / sizeof(OLECHAR); }

void VariantInit(VARIANTARG* pvarg) {
    if (pvarg == nullptr) return;
    memset(pvarg, 0, sizeof(*pvarg));
    pvarg->vt = VT_EMPTY;
}

namespace {

bool IsKnownType(VARTYPE vt) {
    if (vt & VT_BYREF) return true;  // references are not owned by the variant
    switch (vt) {
        case VT_EMPTY: case VT_NULL: case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY:
        case VT_DATE: case VT_BSTR: case VT_DISPATCH: case VT_ERROR: case VT_BOOL: case VT_UNKNOWN:
        case VT_UI4: case VT_INT:
            return true;
        default:
            return false;
    }
}

}  // namespace

HRESULT VariantClear(VARIANTARG* pvarg) {
    if (pvarg == nullptr) return E_INVALIDARG;
    if (!IsKnownType(pvarg->vt)) return DISP_E_BADVARTYPE;
    switch (pvarg->vt) {
        case VT_BSTR:
            SysFreeString(pvarg->bstrVal);
            break;
        case VT_DISPATCH:
            if (pvarg->pdispVal != nullptr) pvarg->pdispVal->Release();
            break;
        case VT_UNKNOWN:
            if (pvarg->punkVal != nullptr) pvarg->punkVal->Release();
            break;
        default:
            break;
    }
    VariantInit(pvarg);
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
    if (pvargDest == nullptr || pvargSrc == nullptr) return E_INVALIDARG;
    if (pvargDest == pvargSrc) return S_OK;
    if (!IsKnownType(pvargSrc->vt)) return DISP_E_BADVARTYPE;
    HRESULT hr = VariantClear(pvargDest);
    if (FAILED(hr)) return hr;
    VARIANT v = *pvargSrc;
    if (v.vt == VT_BSTR && v.bstrVal != nullptr) {
        v.bstrVal = SysAllocStringLen(pvargSrc->bstrVal, SysStringLen(pvargSrc->bstrVal));
        if (v.bstrVal == nullptr) return E_OUTOFMEMORY;
    } else if (v.vt == VT_DISPATCH && v.pdispVal != nullptr) {
        v.pdispVal->AddRef();
    } else if (v.vt == VT_UNKNOWN && v.punkVal != nullptr) {
        v.punkVal->AddRef();
    }
    *pvargDest = v;
    return S_OK;
}
