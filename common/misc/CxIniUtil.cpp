#include "common/misc/CxIniUtil.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "common/misc/WinUtil.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinProfile.h"

CxIniUtil g_IniFile("", "tessaro.ini");

namespace {

// Writes folder + name into szPath (260 bytes) only when it fits whole.
void JoinPath(char (&szPath)[260], const char* szFolder, const char* szName) {
    size_t nFolder = strlen(szFolder), nName = strlen(szName);
    if (nFolder + nName >= sizeof(szPath)) {
        szPath[0] = '\0';
        return;
    }
    memcpy(szPath, szFolder, nFolder);
    memcpy(szPath + nFolder, szName, nName + 1);
}

// atol on 32 bits: blanks, sign, digits; saturates instead of overflowing.
int ParseDecimal(const char* p) {
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool bNegative = false;
    if (*p == '+' || *p == '-') bNegative = *p++ == '-';
    long long n = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + (*p - '0');
        if (n > (long long)INT_MAX + 1) n = (long long)INT_MAX + 1;
    }
    if (bNegative) n = -n;
    if (n > INT_MAX) n = INT_MAX;
    return (int)n;
}

}  // namespace

CxIniUtil::CxIniUtil(const char* szFolder, const char* szFileName) {
    m_szSection[0] = '\0';
    m_szIniFile[0] = '\0';
    const char* szName = szFileName ? szFileName : "";
    if (szFolder && *szFolder) {
        JoinPath(m_szIniFile, szFolder, szName);
    } else {
        char szModule[260];
        GetModuleFolder(nullptr, szModule);
        JoinPath(m_szIniFile, szModule, szName);
    }
}

CxIniUtil::~CxIniUtil() {}

void CxIniUtil::SetIniFile(const char* szPath) {
    if (!szPath || !*szPath || strlen(szPath) >= sizeof(m_szIniFile)) return;
    CopyText(m_szIniFile, szPath);
}

const char* CxIniUtil::Section(const char* szSection) const {
    return szSection && *szSection ? szSection : m_szSection;
}

int CxIniUtil::ReadString(const char* szSection, const char* szKey, char* szBuf, int nSize, const char* szDefault) {
    if (!szKey || !*szKey || !szBuf || nSize <= 0) return 0;
    return (int)GetPrivateProfileStringA(Section(szSection), szKey, szDefault, szBuf, (DWORD)nSize, m_szIniFile);
}

int CxIniUtil::ReadInt(const char* szSection, const char* szKey, int nDefault) {
    char szValue[32];
    if (ReadString(szSection, szKey, szValue, sizeof(szValue), "") == 0) return nDefault;
    return ParseDecimal(szValue);
}

bool CxIniUtil::ReadBool(const char* szSection, const char* szKey, bool bDefault) {
    return ReadInt(szSection, szKey, bDefault ? 1 : 0) != 0;
}

int CxIniUtil::WriteString(const char* szSection, const char* szKey, const char* szText) {
    if (!szKey || !*szKey) return 0;
    return WritePrivateProfileStringA(Section(szSection), szKey, szText ? szText : "", m_szIniFile);
}

int CxIniUtil::WriteInt(const char* szSection, const char* szKey, int nValue) {
    char szValue[16];
    snprintf(szValue, sizeof(szValue), "%d", nValue);
    return WriteString(szSection, szKey, szValue);
}

int CxIniUtil::WriteBool(const char* szSection, const char* szKey, bool bValue) {
    return WriteInt(szSection, szKey, bValue ? 1 : 0);
}
