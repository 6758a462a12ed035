#include "common/misc/CxDateTime.h"

#include <cstdio>

#include "common/misc/CxAssert.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinTime.h"

// Outlook stores "no date" as 1 January 4501; no real date lies that far.
static const WORD s_wNoDateYear = 4501;

CxDateTime::CxDateTime() : m_dtVariant(0.0), m_st{}, m_bValid(FALSE) {
    GetLocalTime(&m_st);
    Convert(1);
}

CxDateTime::~CxDateTime() {}

void CxDateTime::SetVariantTime(double dt) {
    m_dtVariant = dt;
    Convert(0);
}

void CxDateTime::Convert(int nDirection) {
    if (nDirection == 0) {
        SYSTEMTIME st;
        m_bValid = VariantTimeToSystemTime(m_dtVariant, &st) ? TRUE : FALSE;
        if (m_bValid) m_st = st;
    } else if (nDirection == 1) {
        SYSTEMTIME st = m_st;
        double dt = 0.0;
        m_bValid = SystemTimeToVariantTime(&st, &dt) ? TRUE : FALSE;
        if (m_bValid) m_dtVariant = dt;
    } else {
        m_bValid = FALSE;
        CX_ASSERT(nDirection==0||nDirection==1);
    }
}

void CxDateTime::FormatDate(char* szBuf, DWORD nBufLen) const {
    CX_ASSERT(szBuf!=NULL);
    char szText[32] = "";
    if (m_st.wYear < s_wNoDateYear) {
        snprintf(szText, sizeof(szText), "%02d/%02d/%04d", m_st.wMonth, m_st.wDay, m_st.wYear);
    }
    CopyText(szBuf, nBufLen, szText);
}

void CxDateTime::FormatTime(char* szBuf, DWORD nBufLen) const {
    CX_ASSERT(szBuf!=NULL);
    char szText[32];
    snprintf(szText, sizeof(szText), "%02d:%02d:%02d", m_st.wHour, m_st.wMinute, m_st.wSecond);
    CopyText(szBuf, nBufLen, szText);
}

void CxDateTime::FormatDateTime(char* szBuf, DWORD nBufLen) const {
    CX_ASSERT(szBuf!=NULL);
    char szDate[32];
    char szTime[32];
    char szText[72];
    FormatDate(szDate, sizeof(szDate));
    FormatTime(szTime, sizeof(szTime));
    snprintf(szText, sizeof(szText), "%s %s", szDate, szTime);
    CopyText(szBuf, nBufLen, szText);
}
