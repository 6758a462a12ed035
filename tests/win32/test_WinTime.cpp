#include <gtest/gtest.h>

#include "platform/win32/WinTime.h"

namespace {

struct DateCase {
    double dValue;
    int nYear, nMonth, nDay, nHour, nMinute, nSecond, nDayOfWeek;
};

// Expected dates worked out from the calendar: day 0 is Saturday
// 30 December 1899; 1980 starts 29221 days later (80 years, 19 leap days);
// 1601 and 4501 lie 109205 and 949998 days away (whole 400-year cycles of
// 146097 days plus the remainder).
const DateCase kDates[] = {
    {0.0, 1899, 12, 30, 0, 0, 0, 6},
    {1.0, 1899, 12, 31, 0, 0, 0, 0},
    {2.0, 1900, 1, 1, 0, 0, 0, 1},
    {29222.5, 1980, 1, 2, 12, 0, 0, 3},
    {-109205.0, 1601, 1, 1, 0, 0, 0, 1},
    {949998.0, 4501, 1, 1, 0, 0, 0, 6},
    {2958465.0, 9999, 12, 31, 0, 0, 0, 5},
    {2958465.5, 9999, 12, 31, 12, 0, 0, 5},
    {-657434.0, 100, 1, 1, 0, 0, 0, 5},
    {-1.25, 1899, 12, 29, 6, 0, 0, 5},
    {-1.75, 1899, 12, 29, 18, 0, 0, 5},
    {-0.5, 1899, 12, 30, 12, 0, 0, 6},
    {60.0, 1900, 2, 28, 0, 0, 0, 3},
    {61.0, 1900, 3, 1, 0, 0, 0, 4},  // 1900 was no leap year
    {36585.0, 2000, 2, 29, 0, 0, 0, 2},
    // Rounding to the nearest second, half a second upward, with the carry.
    {0.5 + 0.5 / 86400.0, 1899, 12, 30, 12, 0, 1, 6},
    {0.5 + 0.49 / 86400.0, 1899, 12, 30, 12, 0, 0, 6},
    {1.0 - 0.4 / 86400.0, 1899, 12, 31, 0, 0, 0, 0},
    {29222.0 + 3599.6 / 86400.0, 1980, 1, 2, 1, 0, 0, 3},
    {-1.0 - 86399.7 / 86400.0, 1899, 12, 30, 0, 0, 0, 6},
};

TEST(WinTime, VariantTimeToSystemTimeFollowsTheCalendar) {
    for (const DateCase& c : kDates) {
        SYSTEMTIME st;
        memset(&st, 0xEE, sizeof st);
        ASSERT_TRUE(VariantTimeToSystemTime(c.dValue, &st)) << c.dValue;
        EXPECT_EQ(st.wYear, c.nYear) << c.dValue;
        EXPECT_EQ(st.wMonth, c.nMonth) << c.dValue;
        EXPECT_EQ(st.wDay, c.nDay) << c.dValue;
        EXPECT_EQ(st.wHour, c.nHour) << c.dValue;
        EXPECT_EQ(st.wMinute, c.nMinute) << c.dValue;
        EXPECT_EQ(st.wSecond, c.nSecond) << c.dValue;
        EXPECT_EQ(st.wMilliseconds, 0) << c.dValue;
        EXPECT_EQ(st.wDayOfWeek, c.nDayOfWeek) << c.dValue;
    }
}

TEST(WinTime, VariantTimeOutsideTheRangeFails) {
    SYSTEMTIME st = {1, 2, 3, 4, 5, 6, 7, 8};
    const SYSTEMTIME before = st;
    for (double d : {2958466.0, -657435.0, 1e12, -1e12}) {
        EXPECT_FALSE(VariantTimeToSystemTime(d, &st)) << d;
        EXPECT_EQ(memcmp(&st, &before, sizeof st), 0);
    }
}

TEST(WinTime, SystemTimeToVariantTimeRoundTrips) {
    for (const DateCase& c : kDates) {
        SYSTEMTIME st;
        ASSERT_TRUE(VariantTimeToSystemTime(c.dValue, &st));
        double d = 12345.0;
        ASSERT_TRUE(SystemTimeToVariantTime(&st, &d));
        // The rounded second comes back, not the fraction of it.
        SYSTEMTIME again;
        ASSERT_TRUE(VariantTimeToSystemTime(d, &again));
        EXPECT_EQ(memcmp(&st, &again, sizeof st), 0) << c.dValue;
    }
    // Whole seconds come back as the very same double.
    for (double v : {0.0, 29222.5, -109205.0, 949998.0, 2958465.0, -657434.0, -1.25, -1.75}) {
        SYSTEMTIME parts;
        ASSERT_TRUE(VariantTimeToSystemTime(v, &parts));
        double d = 0;
        ASSERT_TRUE(SystemTimeToVariantTime(&parts, &d));
        EXPECT_EQ(d, v);
    }
    SYSTEMTIME st = {1899, 12, 0, 29, 6, 0, 0, 0};
    double d = 0;
    ASSERT_TRUE(SystemTimeToVariantTime(&st, &d));
    EXPECT_EQ(d, -1.25);
}

TEST(WinTime, SystemTimeToVariantTimeDropsMillisecondsAndRejectsBadParts) {
    SYSTEMTIME st = {1980, 1, 0, 2, 12, 0, 0, 999};
    double d = 0;
    ASSERT_TRUE(SystemTimeToVariantTime(&st, &d));
    EXPECT_EQ(d, 29222.5);

    // Years 0 to 99 are two-digit years: 0-49 in 2000-2049, 50-99 in 1950-1999.
    const struct {
        SYSTEMTIME st;
        double dExpected;
    } twoDigit[] = {
        {{0, 1, 0, 1, 0, 0, 0, 0}, 36526.0},     // 1 January 2000
        {{24, 2, 0, 29, 12, 0, 0, 0}, 45351.5},  // 29 February 2024, noon
        {{49, 12, 0, 31, 0, 0, 0, 0}, 54788.0},  // 31 December 2049
        {{50, 1, 0, 1, 0, 0, 0, 0}, 18264.0},    // 1 January 1950
        {{99, 12, 0, 31, 0, 0, 0, 0}, 36525.0},  // 31 December 1999
        {{0, 0, 0, 1, 0, 0, 0, 0}, 36495.0},     // month 0 of 2000: December 1999
    };
    for (const auto& c : twoDigit) {
        SYSTEMTIME in = c.st;
        d = 7.0;
        EXPECT_TRUE(SystemTimeToVariantTime(&in, &d)) << in.wYear;
        EXPECT_EQ(d, c.dExpected) << in.wYear;
    }

    const SYSTEMTIME bad[] = {
        {1980, 13, 0, 1, 0, 0, 0, 0},   // month above 12
        {1980, 1, 0, 32, 0, 0, 0, 0},   // day above 31
        {100, 1, 0, 0, 0, 0, 0, 0},     // day 0 of year 100: before 1 January 100
        {10000, 1, 0, 1, 0, 0, 0, 0},   // after 31 December 9999
    };
    for (SYSTEMTIME b : bad) {
        d = 7.0;
        EXPECT_FALSE(SystemTimeToVariantTime(&b, &d)) << b.wYear << "-" << b.wMonth << "-" << b.wDay;
        EXPECT_EQ(d, 7.0);
    }
}

TEST(WinTime, FileTimeRoundTrips) {
    SYSTEMTIME st = {1601, 1, 0, 1, 0, 0, 0, 0};
    FILETIME ft = {1, 1};
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    EXPECT_EQ(ft.dwLowDateTime, 0u);
    EXPECT_EQ(ft.dwHighDateTime, 0u);

    SYSTEMTIME in = {2011, 3, 0, 9, 14, 5, 9, 250};
    ASSERT_TRUE(SystemTimeToFileTime(&in, &ft));
    SYSTEMTIME out;
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &out));
    EXPECT_EQ(out.wYear, 2011);
    EXPECT_EQ(out.wMonth, 3);
    EXPECT_EQ(out.wDay, 9);
    EXPECT_EQ(out.wDayOfWeek, 3);  // a Wednesday
    EXPECT_EQ(out.wHour, 14);
    EXPECT_EQ(out.wMinute, 5);
    EXPECT_EQ(out.wSecond, 9);
    EXPECT_EQ(out.wMilliseconds, 250);

    SYSTEMTIME feb30 = {2011, 2, 0, 30, 0, 0, 0, 0};
    EXPECT_FALSE(SystemTimeToFileTime(&feb30, &ft));
    FILETIME huge = {0, 0x80000000u};
    EXPECT_FALSE(FileTimeToSystemTime(&huge, &out));
}

TEST(WinTime, FixedClock) {
    SYSTEMTIME fixed = {2011, 3, 3, 9, 14, 5, 9, 0};
    SetFixedLocalTime(&fixed);
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(memcmp(&now, &fixed, sizeof now), 0);
    SetFixedLocalTime(nullptr);
    GetLocalTime(&now);
    EXPECT_GE(now.wYear, 2024);
}

}  // namespace
