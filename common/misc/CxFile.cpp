#include "common/misc/CxFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win32/WinFileIo.h"

CxFile::CxFile() : m_fp(nullptr) {}

CxFile::~CxFile() { Close(); }

bool CxFile::Open(const char* szPath, const char* szMode) {
    Close();
    if (!szPath || !*szPath || !szMode || !*szMode) return false;
    m_fp = fopen(szPath, szMode);
    return m_fp != nullptr;
}

bool CxFile::Close() {
    if (m_fp) {
        fclose(m_fp);
        m_fp = nullptr;
    }
    return true;
}

bool CxFile::Flush() {
    if (!m_fp) return false;
    return fflush(m_fp) == 0 && WinFileSync(fileno(m_fp)) == 0;
}

bool CxFile::ReadBytes(void* pDst, size_t nLen) { return fread(pDst, 1, nLen, m_fp) == nLen; }

bool CxFile::WriteBytes(const void* pSrc, size_t nLen) {
    // Straight to the descriptor through the file layer, so every write can
    // be failed or interrupted by a test; nothing waits in the stream.
    const char* p = static_cast<const char*>(pSrc);
    while (nLen > 0) {
        ssize_t n = WinFileWrite(fileno(m_fp), p, nLen);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        nLen -= (size_t)n;
    }
    return true;
}

bool CxFile::ReadString(char* szBuf, size_t nBufSize, int* pnLength) {
    if (!m_fp || !szBuf) return false;
    int32_t nLength;
    if (!ReadBytes(&nLength, sizeof(nLength))) return false;
    if (nLength > 0) {
        if ((size_t)nLength >= nBufSize) return false;
        // Read aside first, so a file that ends inside the text leaves the
        // destination as it was.
        std::vector<char> text((size_t)nLength);
        if (!ReadBytes(text.data(), text.size())) return false;
        memcpy(szBuf, text.data(), text.size());
        szBuf[nLength] = '\0';
    }
    if (pnLength) *pnLength = nLength;
    return true;
}

bool CxFile::ReadInt(int* pnValue) {
    if (!m_fp || !pnValue) return false;
    int32_t n;
    if (!ReadBytes(&n, sizeof(n))) return false;
    *pnValue = n;
    return true;
}

bool CxFile::ReadDouble(double* pdValue) {
    if (!m_fp || !pdValue) return false;
    double d;
    if (!ReadBytes(&d, sizeof(d))) return false;
    *pdValue = d;
    return true;
}

bool CxFile::WriteString(const char* szText) {
    if (!m_fp) return false;
    size_t nLen = szText ? strlen(szText) : 0;
    if (nLen > 0x7FFFFFFF) return false;
    int32_t n = (int32_t)nLen;
    return WriteBytes(&n, sizeof(n)) && WriteBytes(szText, nLen);
}

bool CxFile::WriteInt(int nValue) {
    if (!m_fp) return false;
    int32_t n = nValue;
    return WriteBytes(&n, sizeof(n));
}

bool CxFile::WriteDouble(double dValue) {
    if (!m_fp) return false;
    return WriteBytes(&dValue, sizeof(dValue));
}

bool CxFile::WriteLine(const char* szText) {
    if (!m_fp) return false;
    return WriteBytes(szText ? szText : "", szText ? strlen(szText) : 0) && WriteBytes("\r\n", 2);
}

long CxFile::GetFileSize(const char* szPath) {
    if (!szPath || !*szPath) return -1;
    FILE* fp = fopen(szPath, "rb");
    if (!fp) return -1;
    struct stat st;
    long nSize = (fstat(fileno(fp), &st) == 0 && S_ISREG(st.st_mode)) ? (long)st.st_size : -1;
    fclose(fp);
    return nSize;
}
