#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/misc/CxDateTime.h"
#include "platform/win32/WinTime.h"

namespace {

SYSTEMTIME MakeTime(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s) {
    SYSTEMTIME st{};
    st.wYear = y;
    st.wMonth = mo;
    st.wDay = d;
    st.wHour = h;
    st.wMinute = mi;
    st.wSecond = s;
    return st;
}

// Fixes the local clock for one test.
class CxDateTimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_stNow = MakeTime(2026, 12, 11, 9, 30, 15);
        SetFixedLocalTime(&m_stNow);
    }
    void TearDown() override { SetFixedLocalTime(nullptr); }

    static std::string Text(const CxDateTime& dt, DWORD nLen = 64) {
        char szBuf[64];
        memset(szBuf, 'x', sizeof(szBuf));
        dt.FormatDateTime(szBuf, nLen);
        return szBuf;
    }

    SYSTEMTIME m_stNow;
};

TEST_F(CxDateTimeTest, StartsAtTheLocalTime) {
    CxDateTime dt;
    EXPECT_TRUE(dt.m_bValid);
    EXPECT_EQ(dt.m_st.wYear, 2026);
    EXPECT_EQ(dt.m_st.wSecond, 15);
    EXPECT_DOUBLE_EQ(dt.m_dtVariant, 46367.0 + (9 * 3600 + 30 * 60 + 15) / 86400.0);
    EXPECT_EQ(Text(dt), "12/11/2026 09:30:15");
}

TEST_F(CxDateTimeTest, FormatsDatesAndHidesOnlyOutlooksNoDate) {
    struct Case {
        double dt;
        const char* szText;
    } cases[] = {
        {0.0, "12/30/1899 00:00:00"},
        {29222.5, "01/02/1980 12:00:00"},
        {38053.0, "03/07/2004 00:00:00"},
        {-1.25, "12/29/1899 06:00:00"},
        {47848.75, "12/31/2030 18:00:00"},
        {48014.0, "06/15/2031 00:00:00"},          // later than 2030 still shows
        {949997.5, "12/31/4500 12:00:00"},
        {949998.0, " 00:00:00"},                   // 1 January 4501, "no date"
        {2958465.0, " 00:00:00"},
    };
    for (const Case& c : cases) {
        CxDateTime dt;
        dt.SetVariantTime(c.dt);
        EXPECT_TRUE(dt.m_bValid) << c.dt;
        EXPECT_EQ(Text(dt), c.szText) << c.dt;
    }
}

TEST_F(CxDateTimeTest, CutsToTheBufferLength) {
    CxDateTime dt;
    dt.SetVariantTime(38053.0);
    EXPECT_EQ(Text(dt, 9), "03/07/20");
    EXPECT_EQ(Text(dt, 1), "");
    char szBuf[4];
    dt.FormatDate(szBuf, sizeof(szBuf));
    EXPECT_STREQ(szBuf, "03/");
    dt.FormatTime(szBuf, sizeof(szBuf));
    EXPECT_STREQ(szBuf, "00:");
}

TEST_F(CxDateTimeTest, AFailedConversionKeepsTheTargetAndClearsValid) {
    CxDateTime dt;
    dt.SetVariantTime(2958466.0);  // a day past 31 December 9999
    EXPECT_FALSE(dt.m_bValid);
    EXPECT_EQ(Text(dt), "12/11/2026 09:30:15");

    dt.SetVariantTime(29222.5);
    dt.m_st.wMonth = 13;
    dt.Convert(1);
    EXPECT_FALSE(dt.m_bValid);
    EXPECT_EQ(dt.m_dtVariant, 29222.5);

    dt.m_st = MakeTime(2004, 3, 7, 6, 0, 0);
    dt.Convert(1);
    EXPECT_TRUE(dt.m_bValid);
    EXPECT_EQ(dt.m_dtVariant, 38053.25);
}

TEST(CxDateTimeDeathTest, ProgrammingErrorsStopWithTheirCondition) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    CxDateTime dt;
    EXPECT_DEATH(dt.Convert(2), "Assertion failed: nDirection==0\\|\\|nDirection==1, file common/misc/CxDateTime, line");
    EXPECT_DEATH(dt.FormatDate(nullptr, 10), "Assertion failed: szBuf!=NULL, file common/misc/CxDateTime, line");
    EXPECT_DEATH(dt.FormatTime(nullptr, 10), "Assertion failed: szBuf!=NULL, file common/misc/CxDateTime, line");
}

}  // namespace
