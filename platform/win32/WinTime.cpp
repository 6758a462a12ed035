#include "platform/win32/WinTime.h"

#include <cmath>
#include <ctime>
#include <mutex>
#include <sys/time.h>

namespace {

// Days from 1 January 1970 of a proleptic Gregorian date (month 1 to 12).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t* py, int64_t* pm, int64_t* pd) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    *pd = doy - (153 * mp + 2) / 5 + 1;
    *pm = mp + (mp < 10 ? 3 : -9);
    *py = yoe + era * 400 + (*pm <= 2);
}

const int64_t kOleEpoch = DaysFromCivil(1899, 12, 30);  // OLE day 0
const int64_t kFileEpoch = DaysFromCivil(1601, 1, 1);   // FILETIME day 0
const double kOleMin = -657434.0;                        // 1 January 100
const double kOleMax = 2958465.0;                        // 31 December 9999

// Fills the date fields of st from days since 1970 and returns false when the
// year leaves the range SYSTEMTIME can hold.
bool FillDate(int64_t nUnixDay, SYSTEMTIME* st) {
    int64_t y, m, d;
    CivilFromDays(nUnixDay, &y, &m, &d);
    if (y < 1 || y > 30827) return false;
    st->wYear = static_cast<WORD>(y);
    st->wMonth = static_cast<WORD>(m);
    st->wDay = static_cast<WORD>(d);
    // 1 January 1970 was a Thursday (4).
    st->wDayOfWeek = static_cast<WORD>(((nUnixDay % 7) + 7 + 4) % 7);
    return true;
}

std::mutex g_clockLock;
bool g_bFixed = false;
SYSTEMTIME g_stFixed;

}  // namespace

void SetFixedLocalTime(const SYSTEMTIME* pst) {
    std::lock_guard<std::mutex> lock(g_clockLock);
    g_bFixed = pst != nullptr;
    if (pst) g_stFixed = *pst;
}

void GetLocalTime(LPSYSTEMTIME lpSystemTime) {
    if (!lpSystemTime) return;
    {
        std::lock_guard<std::mutex> lock(g_clockLock);
        if (g_bFixed) {
            *lpSystemTime = g_stFixed;
            return;
        }
    }
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    struct tm tmLocal;
    time_t t = tv.tv_sec;
    localtime_r(&t, &tmLocal);
    lpSystemTime->wYear = static_cast<WORD>(tmLocal.tm_year + 1900);
    lpSystemTime->wMonth = static_cast<WORD>(tmLocal.tm_mon + 1);
    lpSystemTime->wDayOfWeek = static_cast<WORD>(tmLocal.tm_wday);
    lpSystemTime->wDay = static_cast<WORD>(tmLocal.tm_mday);
    lpSystemTime->wHour = static_cast<WORD>(tmLocal.tm_hour);
    lpSystemTime->wMinute = static_cast<WORD>(tmLocal.tm_min);
    lpSystemTime->wSecond = static_cast<WORD>(tmLocal.tm_sec);
    lpSystemTime->wMilliseconds = static_cast<WORD>(tv.tv_usec / 1000);
}

INT SystemTimeToVariantTime(LPSYSTEMTIME lpSystemTime, double* pvtime) {
    if (!lpSystemTime || !pvtime) return 0;
    const SYSTEMTIME& st = *lpSystemTime;
    if (st.wMonth > 12 || st.wDay > 31) return 0;
    // Month 0 and day 0 roll back, days past the month's end roll forward.
    int64_t y = st.wYear, m = static_cast<int64_t>(st.wMonth) - 1;
    // As on Windows, years 0 to 99 are two-digit years.
    if (y < 50)
        y += 2000;
    else if (y < 100)
        y += 1900;
    y += (m < 0) ? -1 : 0;
    m = (m < 0) ? 11 : m;
    int64_t nSeconds = static_cast<int64_t>(st.wHour) * 3600 + st.wMinute * 60 + st.wSecond;
    int64_t nDay = DaysFromCivil(y, m + 1, 1) + (static_cast<int64_t>(st.wDay) - 1) + nSeconds / 86400 - kOleEpoch;
    nSeconds %= 86400;
    const double dFrac = static_cast<double>(nSeconds) / 86400.0;
    const double dValue = nDay >= 0 ? static_cast<double>(nDay) + dFrac : static_cast<double>(nDay) - dFrac;
    if (nDay < static_cast<int64_t>(kOleMin) || nDay > static_cast<int64_t>(kOleMax)) return 0;
    *pvtime = dValue;
    return 1;
}

INT VariantTimeToSystemTime(double vtime, LPSYSTEMTIME lpSystemTime) {
    if (!lpSystemTime || std::isnan(vtime)) return 0;
    if (vtime <= kOleMin - 1.0 || vtime >= kOleMax + 1.0) return 0;
    const double dDay = std::trunc(vtime);
    const double dFrac = std::fabs(vtime - dDay);
    // Round to the nearest second, a half second upward; the small allowance
    // keeps values such as 12:00:00.5 from falling just short through the
    // binary fraction.
    int64_t nSeconds = static_cast<int64_t>(std::floor(dFrac * 86400.0 + 0.5 + 1e-6));
    int64_t nDay = static_cast<int64_t>(dDay);
    if (nSeconds >= 86400) {
        nSeconds -= 86400;
        ++nDay;
    }
    SYSTEMTIME st;
    if (!FillDate(nDay + kOleEpoch, &st) || st.wYear > 9999) return 0;
    st.wHour = static_cast<WORD>(nSeconds / 3600);
    st.wMinute = static_cast<WORD>((nSeconds / 60) % 60);
    st.wSecond = static_cast<WORD>(nSeconds % 60);
    st.wMilliseconds = 0;
    *lpSystemTime = st;
    return 1;
}

BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime) {
    if (!lpFileTime || !lpSystemTime) return FALSE;
    const uint64_t v = (static_cast<uint64_t>(lpFileTime->dwHighDateTime) << 32) | lpFileTime->dwLowDateTime;
    if (v >= 0x8000000000000000ull) return FALSE;
    const uint64_t kTicksPerDay = 864000000000ull;
    const int64_t nDay = static_cast<int64_t>(v / kTicksPerDay);
    const uint64_t nRest = v % kTicksPerDay;
    SYSTEMTIME st;
    if (!FillDate(nDay + kFileEpoch, &st)) return FALSE;
    const uint64_t nMs = nRest / 10000;
    st.wHour = static_cast<WORD>(nMs / 3600000);
    st.wMinute = static_cast<WORD>((nMs / 60000) % 60);
    st.wSecond = static_cast<WORD>((nMs / 1000) % 60);
    st.wMilliseconds = static_cast<WORD>(nMs % 1000);
    *lpSystemTime = st;
    return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime) {
    if (!lpSystemTime || !lpFileTime) return FALSE;
    const SYSTEMTIME& st = *lpSystemTime;
    if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
        st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 || st.wMilliseconds > 999)
        return FALSE;
    const int64_t nDay = DaysFromCivil(st.wYear, st.wMonth, st.wDay);
    int64_t y, m, d;
    CivilFromDays(nDay, &y, &m, &d);
    if (d != st.wDay) return FALSE;  // 30 February and the like
    const uint64_t nMs = ((static_cast<uint64_t>(nDay - kFileEpoch) * 24 + st.wHour) * 60 + st.wMinute) * 60000ull +
                         st.wSecond * 1000ull + st.wMilliseconds;
    const uint64_t v = nMs * 10000ull;
    lpFileTime->dwLowDateTime = static_cast<DWORD>(v & 0xFFFFFFFFu);
    lpFileTime->dwHighDateTime = static_cast<DWORD>(v >> 32);
    return TRUE;
}
