// A date-time value held both as an OLE Automation date and broken down.
#pragma once

#include "platform/win32/WinTypes.h"

class CxDateTime {
public:
    // Starts at the current local time.
    CxDateTime();
    virtual ~CxDateTime();

    // Stores dt and converts it to m_st.
    void SetVariantTime(double dt);

    // 0: m_dtVariant to m_st; 1: m_st to m_dtVariant. m_bValid tells whether
    // the conversion succeeded; on failure the target keeps its value. Any
    // other direction is a programming error.
    void Convert(int nDirection);

    // "mm/dd/yyyy", "hh:mm:ss" and both separated by a space, at most
    // nBufLen - 1 characters. A year of 4501 or later is Outlook's "no
    // date" and gives an empty date text. A missing buffer is a programming
    // error and stops the program.
    void FormatDate(char* szBuf, DWORD nBufLen) const;
    void FormatTime(char* szBuf, DWORD nBufLen) const;
    void FormatDateTime(char* szBuf, DWORD nBufLen) const;

    double m_dtVariant;
    SYSTEMTIME m_st;
    BOOL m_bValid;
};
