// UTF-16 <-> UTF-8 conversion with the Windows calling conventions.
#include "platform/com/WinNls.h"

#include <cstring>

namespace {

bool IsUtf8CodePage(UINT nCodePage) {
    return nCodePage == CP_ACP || nCodePage == CP_OEMCP || nCodePage == CP_THREAD_ACP || nCodePage == CP_UTF8;
}

const char32_t kReplacement = 0xFFFD;

// Encodes one code point; returns its byte count (1..4).
int EncodeUtf8(char32_t c, unsigned char* p) {
    if (c < 0x80) {
        p[0] = (unsigned char)c;
        return 1;
    }
    if (c < 0x800) {
        p[0] = (unsigned char)(0xC0 | (c >> 6));
        p[1] = (unsigned char)(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        p[0] = (unsigned char)(0xE0 | (c >> 12));
        p[1] = (unsigned char)(0x80 | ((c >> 6) & 0x3F));
        p[2] = (unsigned char)(0x80 | (c & 0x3F));
        return 3;
    }
    p[0] = (unsigned char)(0xF0 | (c >> 18));
    p[1] = (unsigned char)(0x80 | ((c >> 12) & 0x3F));
    p[2] = (unsigned char)(0x80 | ((c >> 6) & 0x3F));
    p[3] = (unsigned char)(0x80 | (c & 0x3F));
    return 4;
}

// Decodes one UTF-8 sequence starting at p[i] (n bytes in all); advances i.
// A malformed or cut sequence gives U+FFFD and consumes one byte.
char32_t DecodeUtf8(const unsigned char* p, int n, int* pi) {
    int i = *pi;
    unsigned char b = p[i];
    int nMore;
    char32_t c, nMin;
    if (b < 0x80) {
        *pi = i + 1;
        return b;
    } else if ((b & 0xE0) == 0xC0) {
        nMore = 1; c = b & 0x1F; nMin = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        nMore = 2; c = b & 0x0F; nMin = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        nMore = 3; c = b & 0x07; nMin = 0x10000;
    } else {
        *pi = i + 1;
        return kReplacement;
    }
    if (i + nMore >= n) {  // cut short by the end of the input
        *pi = i + 1;
        return kReplacement;
    }
    for (int k = 1; k <= nMore; ++k) {
        if ((p[i + k] & 0xC0) != 0x80) {
            *pi = i + 1;
            return kReplacement;
        }
        c = (c << 6) | (p[i + k] & 0x3F);
    }
    if (c < nMin || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        *pi = i + 1;
        return kReplacement;
    }
    *pi = i + 1 + nMore;
    return c;
}

}  // namespace

UINT GetACP() { return CP_UTF8; }

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCSTR lpDefaultChar, BOOL* lpUsedDefaultChar) {
    (void)dwFlags;
    (void)lpDefaultChar;
    if (!IsUtf8CodePage(CodePage) || lpWideCharStr == nullptr || cchWideChar == 0 || cchWideChar < -1 ||
        cbMultiByte < 0 || (cbMultiByte > 0 && lpMultiByteStr == nullptr))
        return 0;
    int nIn = cchWideChar;
    if (nIn == -1) {
        nIn = 0;
        while (lpWideCharStr[nIn] != 0) ++nIn;
        ++nIn;  // the NUL is converted too
    }
    if (lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = FALSE;
    int nOut = 0;
    for (int i = 0; i < nIn;) {
        char32_t c = lpWideCharStr[i++];
        if (c >= 0xD800 && c <= 0xDBFF && i < nIn && lpWideCharStr[i] >= 0xDC00 && lpWideCharStr[i] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (lpWideCharStr[i++] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
            if (lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = TRUE;
        }
        unsigned char buf[4];
        int nLen = EncodeUtf8(c, buf);
        if (cbMultiByte > 0) {
            if (nOut + nLen > cbMultiByte) {
                // Only whole characters; the rest of the buffer is cleared.
                memset(lpMultiByteStr + nOut, 0, (size_t)(cbMultiByte - nOut));
                return 0;
            }
            memcpy(lpMultiByteStr + nOut, buf, (size_t)nLen);
        }
        nOut += nLen;
    }
    return nOut;
}

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar) {
    (void)dwFlags;
    if (!IsUtf8CodePage(CodePage) || lpMultiByteStr == nullptr || cbMultiByte == 0 || cbMultiByte < -1 ||
        cchWideChar < 0 || (cchWideChar > 0 && lpWideCharStr == nullptr))
        return 0;
    int nIn = cbMultiByte == -1 ? (int)strlen(lpMultiByteStr) + 1 : cbMultiByte;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
    int nOut = 0;
    for (int i = 0; i < nIn;) {
        char32_t c = DecodeUtf8(p, nIn, &i);
        WCHAR units[2];
        int nLen = 1;
        if (c >= 0x10000) {
            units[0] = (WCHAR)(0xD800 + ((c - 0x10000) >> 10));
            units[1] = (WCHAR)(0xDC00 + ((c - 0x10000) & 0x3FF));
            nLen = 2;
        } else {
            units[0] = (WCHAR)c;
        }
        if (cchWideChar > 0) {
            if (nOut + nLen > cchWideChar) {
                for (int k = nOut; k < cchWideChar; ++k) lpWideCharStr[k] = 0;
                return 0;
            }
            for (int k = 0; k < nLen; ++k) lpWideCharStr[nOut + k] = units[k];
        }
        nOut += nLen;
    }
    return nOut;
}
