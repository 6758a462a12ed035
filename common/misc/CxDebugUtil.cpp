#include "common/misc/CxDebugUtil.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/misc/CxFile.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinTime.h"

CxDebugUtil g_DebugUtil;

namespace {

const size_t kMessageSize = 40960;

}  // namespace

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
    // One byte more than a message keeps: the byte after the cut tells
    // whether the cut falls inside a character, and then it moves back.
    std::vector<char> message(kMessageSize + 1);
    int n = -1;
    if (szFormat) n = vsnprintf(message.data(), message.size(), szFormat, args);
    message[n < 0 ? 0 : Utf8FitLength(message.data(), kMessageSize - 1)] = '\0';
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
