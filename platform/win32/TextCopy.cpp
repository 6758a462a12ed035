#include "platform/win32/TextCopy.h"

#include <cstring>

size_t Utf8FitLengthN(const char* pText, size_t nLength, size_t nMaxBytes) {
    if (!pText || nLength <= nMaxBytes) return pText ? nLength : 0;
    size_t n = nMaxBytes;
    // Back up over continuation bytes (10xxxxxx) to the character's lead
    // byte, which is then left out. At most three steps: a longer run is not
    // UTF-8 and is cut where it stands.
    size_t nSteps = 0;
    while (n > 0 && nSteps < 4 && (static_cast<unsigned char>(pText[n]) & 0xC0) == 0x80) {
        --n;
        ++nSteps;
    }
    if (nSteps == 4) return nMaxBytes;
    return n;
}

size_t Utf8FitLength(const char* szText, size_t nMaxBytes) {
    if (!szText) return 0;
    // Reads no further than the byte after the limit, which tells whether the
    // cut falls inside a character.
    size_t nLength = strnlen(szText, nMaxBytes);
    if (nLength == nMaxBytes && szText[nMaxBytes] != '\0') ++nLength;
    return Utf8FitLengthN(szText, nLength, nMaxBytes);
}

size_t CopyTextN(char* szDst, size_t nDstSize, const char* pSrc, size_t nSrcLength) {
    if (!szDst || nDstSize == 0) return 0;
    const size_t n = Utf8FitLengthN(pSrc, nSrcLength, nDstSize - 1);
    if (n) memmove(szDst, pSrc, n);
    szDst[n] = '\0';
    return n;
}

size_t CopyText(char* szDst, size_t nDstSize, const char* szSrc) {
    if (!szDst || nDstSize == 0) return 0;
    const size_t n = Utf8FitLength(szSrc, nDstSize - 1);
    if (n) memmove(szDst, szSrc, n);
    szDst[n] = '\0';
    return n;
}
