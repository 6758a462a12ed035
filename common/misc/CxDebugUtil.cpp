#include "common/misc/CxDebugUtil.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/misc/CxFile.h"
#include "platform/com/WinNls.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinTime.h"

CxDebugUtil g_DebugUtil;

namespace {

const size_t kMessageSize = 40960;

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const char16_t* p) {
    int n = WideCharToMultiByte(CP_UTF8, 0, p, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string out((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, p, -1, &out[0], n, nullptr, nullptr);
    out.resize((size_t)n - 1);  // without the NUL
    return out;
}

// One conversion handed to snprintf with its single argument.
template <typename T>
void AppendFormatted(std::string& out, const std::string& conversion, T value) {
    char szSmall[128];
    int n = snprintf(szSmall, sizeof(szSmall), conversion.c_str(), value);
    if (n < 0) return;
    if ((size_t)n < sizeof(szSmall)) {
        out.append(szSmall, (size_t)n);
        return;
    }
    std::vector<char> big((size_t)n + 1);
    snprintf(big.data(), big.size(), conversion.c_str(), value);
    out.append(big.data(), (size_t)n);
}

}  // namespace

size_t FormatDebugText(char* szBuf, size_t nSize, const char* szFormat, va_list args) {
    if (!szBuf || nSize == 0) return 0;
    std::string out;
    const char* p = szFormat ? szFormat : "";
    va_list ap;
    va_copy(ap, args);
    while (*p && out.size() < nSize) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        const char* start = p++;
        if (*p == '%') {
            out += '%';
            ++p;
            continue;
        }
        // flags, width, precision; '*' takes an int argument, written into the
        // conversion as digits so snprintf sees one argument only.
        std::string conversion = "%";
        while (*p && strchr("-+ #0'", *p)) conversion += *p++;
        int nWidth = -1, nPrecision = -1;
        bool bLeft = conversion.find('-') != std::string::npos;
        if (*p == '*') {
            nWidth = va_arg(ap, int);
            if (nWidth < 0) {
                bLeft = true;
                conversion += '-';
                nWidth = -nWidth;
            }
            conversion += std::to_string(nWidth);
            ++p;
        } else {
            if (*p >= '0' && *p <= '9') nWidth = 0;
            while (*p >= '0' && *p <= '9') {
                nWidth = nWidth * 10 + (*p - '0');
                conversion += *p++;
            }
        }
        if (*p == '.') {
            conversion += *p++;
            if (*p == '*') {
                nPrecision = va_arg(ap, int);
                if (nPrecision < 0) {
                    conversion.pop_back();
                    nPrecision = -1;
                } else {
                    conversion += std::to_string(nPrecision);
                }
                ++p;
            } else {
                nPrecision = 0;
                while (*p >= '0' && *p <= '9') {
                    nPrecision = nPrecision * 10 + (*p - '0');
                    conversion += *p++;
                }
            }
        }
        std::string length;
        while (*p && strchr("hljztL", *p)) length += *p++;
        char conv = *p;
        if (!conv) {
            out.append(start);
            break;
        }
        ++p;
        if (conv == 'S' || (conv == 's' && length == "l")) {
            const char16_t* ws = va_arg(ap, const char16_t*);
            std::string text = ws ? Utf16ToUtf8(ws) : std::string("(null)");
            if (nPrecision >= 0) text.resize(Utf8FitLength(text.c_str(), (size_t)nPrecision));
            // Width counts bytes here, like %s.
            size_t nPad = nWidth > 0 && (size_t)nWidth > text.size() ? (size_t)nWidth - text.size() : 0;
            if (!bLeft) out.append(nPad, ' ');
            out += text;
            if (bLeft) out.append(nPad, ' ');
            continue;
        }
        conversion += length;
        conversion += conv;
        switch (conv) {
            case 'd':
            case 'i':
            case 'u':
            case 'o':
            case 'x':
            case 'X':
                if (length == "ll" || length == "j")
                    AppendFormatted(out, conversion, va_arg(ap, long long));
                else if (length == "l" || length == "z" || length == "t")
                    AppendFormatted(out, conversion, va_arg(ap, long));
                else
                    AppendFormatted(out, conversion, va_arg(ap, int));
                break;
            case 'c':
                AppendFormatted(out, "%c", va_arg(ap, int));
                break;
            case 'e':
            case 'E':
            case 'f':
            case 'F':
            case 'g':
            case 'G':
            case 'a':
            case 'A':
                if (length == "L")
                    AppendFormatted(out, conversion, va_arg(ap, long double));
                else
                    AppendFormatted(out, conversion, va_arg(ap, double));
                break;
            case 's': {
                const char* s = va_arg(ap, const char*);
                AppendFormatted(out, conversion, s ? s : "(null)");
                break;
            }
            case 'p':
                AppendFormatted(out, "%p", va_arg(ap, void*));
                break;
            default:
                // Unknown conversions (and %n, which would write to memory)
                // are copied as written, taking no argument.
                out.append(start, (size_t)(p - start));
                break;
        }
    }
    va_end(ap);
    return CopyTextN(szBuf, nSize, out.data(), out.size());
}

CxDebugUtil::CxDebugUtil() : m_nLevel(0), m_bEnable(false) {
    CopyText(m_szFileName, "appdebug.log");
    CopyText(m_szFolder, "./");
}

CxDebugUtil::~CxDebugUtil() {}

void CxDebugUtil::SetFolder(const char* szFolder) {
    if (!szFolder) return;
    std::lock_guard<std::mutex> lock(m_csLock);
    CopyText(m_szFolder, szFolder);
}

void CxDebugUtil::SetLevel(int nLevel) { m_nLevel = nLevel < 0 ? 0 : (nLevel > 3 ? 3 : nLevel); }

void CxDebugUtil::Enable(bool bEnable) { m_bEnable = bEnable; }

void CxDebugUtil::Print(int nLevel, const char* szFile, int nLine, const char* szFormat, ...) {
    va_list args;
    va_start(args, szFormat);
    PrintV(nLevel, szFile, nLine, szFormat, args);
    va_end(args);
}

void CxDebugUtil::PrintV(int nLevel, const char* szFile, int nLine, const char* szFormat, va_list args) {
    if (nLevel != 0 && !(m_bEnable && nLevel <= m_nLevel)) return;
    std::vector<char> message(kMessageSize);
    FormatDebugText(message.data(), message.size(), szFormat, args);
    Write(nLevel, szFile, nLine, message.data());
}

void CxDebugUtil::Write(int nLevel, const char* szFile, int nLine, const char* szText) {
    const char* szMarker = nLevel == 0 ? "!!!" : "   ";
    char szSource[256];
    if (!szFile) {
        CopyText(szSource, "<null>");
    } else {
        const char* szName = szFile;
        for (const char* q = szFile; *q; ++q)
            if (*q == '/' || *q == '\\') szName = q + 1;
        CopyText(szSource, szName);
    }
    SYSTEMTIME st;
    GetLocalTime(&st);
    unsigned nThread = (unsigned)syscall(SYS_gettid);
    const char* szMessage = szText ? szText : "";

    std::vector<char> line(strlen(szMessage) + 400);
    snprintf(line.data(), line.size(), "[%04d/%02d/%02d %02d:%02d:%02d][%-20s(%-4d)][%05x][%s] - %s", st.wYear,
             st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, szSource, nLine, nThread, szMarker, szMessage);

    std::lock_guard<std::mutex> lock(m_csLock);
    // A path that would not fit with ".old.log" added is not cut into some
    // other file's name: the line is dropped.
    std::string path = std::string(m_szFolder) + m_szFileName;
    std::string oldPath = path + ".old.log";
    if (oldPath.size() >= 260) return;

    const char* szMode = "ab";
    if (CxFile::GetFileSize(path.c_str()) > LOG_ROTATE_SIZE) {
        // Moving the full log aside replaces an older copy in one step. A log
        // that cannot be moved is appended to rather than emptied, so its
        // lines are not lost.
        if (rename(path.c_str(), oldPath.c_str()) == 0) szMode = "wb";
    }
    CxFile file;
    if (file.Open(path.c_str(), szMode)) {
        file.WriteLine(line.data());
        file.Close();
    }
}
