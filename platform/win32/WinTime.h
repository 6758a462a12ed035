// Local time and the conversions between SYSTEMTIME, OLE Automation dates
// (days since 30 December 1899) and FILETIME, with Windows' results.
#pragma once

#include "platform/win32/WinTypes.h"

// The current local time, to the millisecond; the fixed clock when one is set.
void GetLocalTime(LPSYSTEMTIME lpSystemTime);

// Makes GetLocalTime return a fixed moment (tests, reproducible log lines);
// none returns to the real clock.
void SetFixedLocalTime(const SYSTEMTIME* pst);

// Date parts to an OLE date; milliseconds are dropped. Years 0 to 49 are
// read as 2000 to 2049, 50 to 99 as 1950 to 1999. Fails (0) for a month
// above 12, a day above 31, or a result outside 1 January 100 to
// 31 December 9999. Overflowing days, hours and minutes roll forward.
INT SystemTimeToVariantTime(LPSYSTEMTIME lpSystemTime, double* pvtime);

// An OLE date to date parts, rounded to the nearest second (milliseconds 0),
// day of week filled in. A negative date's integer part is the day, counted
// toward zero, and its fraction runs forward from that day's midnight.
// Fails (0) outside -657434.0 .. 2958465.0 plus the last day's hours.
INT VariantTimeToSystemTime(double vtime, LPSYSTEMTIME lpSystemTime);

// FILETIME (100 ns since 1 January 1601) to date parts and back. The first
// fails for values of 2^63 and more; the second for fields out of range.
BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime);
BOOL SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime);
