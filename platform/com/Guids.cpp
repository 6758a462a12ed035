// Interface identifiers and the text form of GUIDs.
#include "platform/com/ComApi.h"

#include <cstdio>

const IID IID_NULL = {0x00000000, 0x0000, 0x0000, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}};
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IRunnableObject = {0x00000126, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

int HexValue(OLECHAR c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Reads nDigits hex digits at lpsz[nPos]; false on anything else.
bool ReadHex(LPCOLESTR lpsz, int nPos, int nDigits, ULONGLONG* pValue) {
    ULONGLONG v = 0;
    for (int i = 0; i < nDigits; ++i) {
        int d = HexValue(lpsz[nPos + i]);
        if (d < 0) return false;
        v = (v << 4) | (ULONGLONG)d;
    }
    *pValue = v;
    return true;
}

}  // namespace

HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
    if (lpsz == nullptr || pclsid == nullptr) return E_INVALIDARG;
    // {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}: 38 characters, then the end.
    for (int i = 0; i < 38; ++i)
        if (lpsz[i] == 0) return CO_E_CLASSSTRING;
    if (lpsz[38] != 0 || lpsz[0] != u'{' || lpsz[37] != u'}' || lpsz[9] != u'-' || lpsz[14] != u'-' ||
        lpsz[19] != u'-' || lpsz[24] != u'-')
        return CO_E_CLASSSTRING;
    ULONGLONG v1, v2, v3, v4, v5;
    if (!ReadHex(lpsz, 1, 8, &v1) || !ReadHex(lpsz, 10, 4, &v2) || !ReadHex(lpsz, 15, 4, &v3) ||
        !ReadHex(lpsz, 20, 4, &v4) || !ReadHex(lpsz, 25, 12, &v5))
        return CO_E_CLASSSTRING;
    GUID g;
    g.Data1 = (DWORD)v1;
    g.Data2 = (WORD)v2;
    g.Data3 = (WORD)v3;
    g.Data4[0] = (BYTE)(v4 >> 8);
    g.Data4[1] = (BYTE)v4;
    for (int i = 0; i < 6; ++i) g.Data4[2 + i] = (BYTE)(v5 >> (8 * (5 - i)));
    *pclsid = g;
    return S_OK;
}

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
    if (lpsz == nullptr || cchMax < 39) return 0;
    char sz[40];
    snprintf(sz, sizeof(sz), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", (unsigned)rguid.Data1,
             (unsigned)rguid.Data2, (unsigned)rguid.Data3, rguid.Data4[0], rguid.Data4[1], rguid.Data4[2],
             rguid.Data4[3], rguid.Data4[4], rguid.Data4[5], rguid.Data4[6], rguid.Data4[7]);
    for (int i = 0; i < 39; ++i) lpsz[i] = (OLECHAR)(unsigned char)sz[i];
    return 39;
}
