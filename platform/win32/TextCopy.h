// Copies of 8-bit (UTF-8) text into fixed buffers. A cut never ends inside a
// multi-byte character, so a shortened name is still valid text.
#pragma once

#include <cstddef>

// The length in bytes of the longest prefix of szText that has at most
// nMaxBytes bytes, stops at the terminating NUL, and does not end inside a
// UTF-8 character. A missing text has length 0.
size_t Utf8FitLength(const char* szText, size_t nMaxBytes);

// Same for a text of known length that need not be terminated.
size_t Utf8FitLengthN(const char* pText, size_t nLength, size_t nMaxBytes);

// Copies at most nDstSize - 1 bytes of szSrc into szDst and terminates it.
// A missing source gives an empty text; a zero-sized destination is left
// alone. Returns the number of bytes copied, without the NUL.
size_t CopyText(char* szDst, size_t nDstSize, const char* szSrc);

// The same for a source of known length (which need not be terminated).
size_t CopyTextN(char* szDst, size_t nDstSize, const char* pSrc, size_t nSrcLength);

// Copies into a character array, taking its size from the type.
template <size_t N>
size_t CopyText(char (&szDst)[N], const char* szSrc) {
    return CopyText(szDst, N, szSrc);
}
