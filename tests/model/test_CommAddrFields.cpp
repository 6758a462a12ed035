#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/model/CommAddrMgr.h"
#include "platform/win32/WinTime.h"

namespace {

CommAddrField Row(int nFieldId) {
    CommAddrField row{};
    EXPECT_TRUE(CommAddrMgr::GetFieldInfo(nFieldId, &row)) << nFieldId;
    return row;
}

// The text of one field with a buffer one byte longer than the field.
bool FieldText(const CommAddr& addr, int nFieldId, std::string* pText, DWORD nBufLen = 0) {
    CommAddrField row = Row(nFieldId);
    std::vector<char> buf(nBufLen ? nBufLen : row.nSize + 1, 'x');
    const bool bOk = CommAddrMgr::GetFieldText(&addr, &row, buf.data(), static_cast<DWORD>(buf.size()));
    *pText = buf.data();
    return bOk;
}

TEST(CommAddrFieldTable, RowsDescribeTheMembersInDeclarationOrder) {
    // Ids in the order their members are declared.
    const std::vector<int> declared = {
        1,  3,  2,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23,
        24, 25, 26, 28, 27, 29, 31, 30, 32, 33, 34, 35, 36, 37, 38, 39, 41, 40, 42, 43, 44, 45, 46,
        47, 48, 49, 50, 51, 52, 53, 55, 54, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 67, 66, 68,
        69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90};

    CommAddr addr{};
    const char* pBase = reinterpret_cast<const char*>(&addr);
    std::vector<std::pair<size_t, int>> byOffset;
    for (int i = 0; i < COMMADDR_FIELD_COUNT; ++i) {
        const CommAddrField& row = CommAddrFieldTable[i];
        EXPECT_EQ(row.nFieldId, i + 1);
        byOffset.push_back({static_cast<const char*>(GetFieldMember(&addr, row.nFieldId)) - pBase, row.nFieldId});
    }
    std::sort(byOffset.begin(), byOffset.end());

    // Each member starts where the one before it ends, or after the unnamed
    // tenth custom slot, or after padding that aligns a number.
    std::vector<int> order;
    size_t nEnd = 0;
    int nPrevId = 0;
    for (const auto& [nOffset, nId] : byOffset) {
        const CommAddrField& row = CommAddrFieldTable[nId - 1];
        const size_t nGap = nOffset - nEnd;
        EXPECT_GE(nOffset, nEnd) << "field " << nId << " overlaps";
        if (nPrevId == 52) {
            EXPECT_EQ(nGap, 64u) << "after field " << nPrevId;
        } else if (row.nType == FIELD_TEXT) {
            EXPECT_EQ(nGap, 0u) << "before field " << nId;
        } else {
            EXPECT_LT(nGap, 8u) << "before field " << nId;
        }
        order.push_back(nId);
        nEnd = nOffset + row.nSize;
        nPrevId = nId;
    }
    EXPECT_EQ(order, declared);
    EXPECT_LT(offsetof(CommAddr, pSideData) - (nEnd + 64), 8u);  // the tenth label slot, then padding
}

TEST(CommAddrFieldTable, NamesTypesAndSizes) {
    struct Case {
        int nId;
        const char* szName;
        int nType;
        int nSize;
    } cases[] = {
        {1, "First Name", FIELD_TEXT, 32},      {8, "Gender", FIELD_GENDER, 4},
        {9, "(Work) Street", FIELD_TEXT, 256},  {17, "(Home) Postal", FIELD_TEXT, 16},
        {27, "Other Phone", FIELD_TEXT, 24},    {40, "Personal Home Page", FIELD_TEXT, 256},
        {43, "Note", FIELD_TEXT, 8192},         {52, "Custom 9", FIELD_TEXT, 64},
        {54, "Department", FIELD_TEXT, 32},     {60, "Assistant Phone", FIELD_TEXT, 24},
        {62, "Children's Names", FIELD_TEXT, 32}, {66, "Anniversary", FIELD_DATE, 8},
        {75, "Category", FIELD_TEXT, 256},      {77, "Last Modification Time", FIELD_DATE, 8},
        {78, "Source Type", FIELD_INT, 4},      {79, "Status", FIELD_INT, 4},
        {80, "ID", FIELD_TEXT, 64},             {81, "Private", FIELD_INT, 4},
        {82, "Custom Label 1", FIELD_TEXT, 64}, {90, "Custom Label 9", FIELD_TEXT, 64},
    };
    for (const Case& c : cases) {
        CommAddrField row = Row(c.nId);
        EXPECT_EQ(row.nFieldId, c.nId);
        EXPECT_STREQ(row.szName, c.szName);
        EXPECT_EQ(row.nType, c.nType) << c.szName;
        EXPECT_EQ(row.nSize, c.nSize) << c.szName;
    }
}

TEST(CommAddrFieldTable, GetFieldInfoRejectsUnknownIdsAndLeavesTheRowAlone) {
    CommAddrField row;
    memset(&row, 0x5A, sizeof(row));
    const CommAddrField before = row;
    EXPECT_FALSE(CommAddrMgr::GetFieldInfo(0, &row));
    EXPECT_FALSE(CommAddrMgr::GetFieldInfo(91, &row));
    EXPECT_EQ(memcmp(&row, &before, sizeof(row)), 0);
    EXPECT_FALSE(CommAddrMgr::GetFieldInfo(1, nullptr));
}

TEST(GetFieldText, NeedsABufferLongerThanTheField) {
    CommAddr addr{};
    const std::string sEmail(63, 'e');
    memcpy(addr.szEmail, sEmail.c_str(), 64);
    CommAddrField row = Row(37);
    char szBuf[65];
    memset(szBuf, 'x', sizeof(szBuf));
    EXPECT_FALSE(CommAddrMgr::GetFieldText(&addr, &row, szBuf, 64));
    EXPECT_EQ(szBuf[0], 'x');
    EXPECT_EQ(szBuf[63], 'x');
    EXPECT_TRUE(CommAddrMgr::GetFieldText(&addr, &row, szBuf, 65));
    EXPECT_EQ(std::string(szBuf), sEmail);

    EXPECT_FALSE(CommAddrMgr::GetFieldText(nullptr, &row, szBuf, 65));
    EXPECT_FALSE(CommAddrMgr::GetFieldText(&addr, nullptr, szBuf, 65));
    EXPECT_FALSE(CommAddrMgr::GetFieldText(&addr, &row, nullptr, 65));
    row.nSize = -1;  // compared unsigned: no buffer is long enough
    EXPECT_FALSE(CommAddrMgr::GetFieldText(&addr, &row, szBuf, 65));
}

TEST(GetFieldText, FieldsWithoutATextForm) {
    CommAddr addr{};
    strcpy(addr.szEmail2, "two@example.com");
    strcpy(addr.szEmail3, "three@example.com");
    strcpy(addr.szSpouseName, "Pat");
    strcpy(addr.szChildrenNames, "Kim");
    strcpy(addr.szID, "id");
    addr.nStatus = 2;
    addr.nPrivate = 1;
    addr.nGender = 1;
    std::string s;
    for (int nId : {38, 39, 61, 62, 79, 80, 81}) {
        EXPECT_FALSE(FieldText(addr, nId, &s)) << nId;
        EXPECT_EQ(s, "") << nId;
    }
    EXPECT_TRUE(FieldText(addr, 8, &s));
    EXPECT_EQ(s, "");

    // Ids outside the table, through a made-up row.
    for (int nId : {0, 91}) {
        CommAddrField row{nId, "", FIELD_TEXT, 4};
        char szBuf[8] = "xxxxxxx";
        EXPECT_FALSE(CommAddrMgr::GetFieldText(&addr, &row, szBuf, sizeof(szBuf))) << nId;
        EXPECT_STREQ(szBuf, "");
    }
}

TEST(GetFieldText, CopiesTextMembersWhole) {
    CommAddr addr{};
    strcpy(addr.szFirstName, "Ren\xC3\xA9\xC3\xA9");
    strcpy(addr.szCustom[8], "ninth");
    strcpy(addr.szCustomLabel[0], "label");
    strcpy(addr.szHobby, "chess");
    strcpy(addr.szNote, "line 1\r\nline 2");
    std::string s;
    struct Case {
        int nId;
        const char* szText;
    } cases[] = {{1, "Ren\xC3\xA9\xC3\xA9"}, {52, "ninth"}, {82, "label"}, {64, "chess"},
                 {43, "line 1\r\nline 2"},   {3, ""}};
    for (const Case& c : cases) {
        EXPECT_TRUE(FieldText(addr, c.nId, &s)) << c.nId;
        EXPECT_EQ(s, c.szText) << c.nId;
    }
}

TEST(GetFieldText, NeverReadsPastAnUnterminatedMember) {
    CommAddr addr{};
    memset(addr.szFirstName, 'a', sizeof(addr.szFirstName));
    strcpy(addr.szLastName, "Smith");
    std::string s;
    EXPECT_TRUE(FieldText(addr, 1, &s));
    EXPECT_EQ(s, std::string(32, 'a'));
}

TEST(GetFieldText, SourceTypeNames) {
    CommAddr addr{};
    std::string s;
    struct Case {
        int nValue;
        const char* szName;
    } cases[] = {{1, "Palm"}, {2, "Palm(4.1.2 and aboves)"}, {3, "Outlook"}, {4, "Windows Address Book"},
                 {10, "Endora"}, {15, "Kestrelbook"}};
    for (const Case& c : cases) {
        addr.nSourceType = c.nValue;
        EXPECT_TRUE(FieldText(addr, 78, &s, 64)) << c.nValue;
        EXPECT_EQ(s, c.szName);
    }
    addr.nSourceType = 4;
    EXPECT_TRUE(FieldText(addr, 78, &s));  // five bytes: cut to four
    EXPECT_EQ(s, "Wind");
    for (int nValue : {0, 16, -1}) {
        addr.nSourceType = nValue;
        EXPECT_FALSE(FieldText(addr, 78, &s, 64)) << nValue;
        EXPECT_EQ(s, "");
    }
}

TEST(GetFieldText, DatesAreShownAndCut) {
    SYSTEMTIME stNow{};
    stNow.wYear = 2026;
    stNow.wMonth = 12;
    stNow.wDay = 11;
    stNow.wHour = 8;
    SetFixedLocalTime(&stNow);
    CommAddr addr{};
    addr.dtBirthday = 29222.5;
    addr.dtAnniversary = 949998.0;
    addr.dtCreationTime = 48014.25;
    addr.dtLastModificationTime = 1e7;  // cannot be converted: the current time shows
    std::string s;
    struct Case {
        int nId;
        DWORD nBufLen;
        const char* szText;
    } cases[] = {
        {67, 64, "01/02/1980 12:00:00"}, {66, 64, " 00:00:00"}, {76, 64, "06/15/2031 06:00:00"},
        {77, 64, "12/11/2026 08:00:00"}, {67, 9, "01/02/19"},    {66, 9, " 00:00:0"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(FieldText(addr, c.nId, &s, c.nBufLen)) << c.nId;
        EXPECT_EQ(s, c.szText) << c.nId;
    }
    addr.dtBirthday = 0.0;
    EXPECT_TRUE(FieldText(addr, 67, &s, 20));
    EXPECT_EQ(s, "12/30/1899 00:00:00");
    SetFixedLocalTime(nullptr);
}

}  // namespace
