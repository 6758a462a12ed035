#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/com/WinNls.h"

namespace {

struct ConvCase {
    const char16_t* wsz;
    const char* sz;
};

// Both directions, one to four bytes per character, a surrogate pair.
const ConvCase kPairs[] = {
    {u"", ""},
    {u"Anna", "Anna"},
    {u"M\u00fcller", "M\xc3\xbcller"},
    {u"\u20ac 5", "\xe2\x82\xac 5"},
    {u"\U0001F600!", "\xf0\x9f\x98\x80!"},
};

TEST(WinNls, ConvertsBothWaysWithTheTerminator) {
    EXPECT_EQ(GetACP(), 65001u);
    for (const ConvCase& c : kPairs) {
        char sz[32];
        int n = WideCharToMultiByte(GetACP(), 0, c.wsz, -1, sz, sizeof(sz), nullptr, nullptr);
        EXPECT_EQ(n, (int)strlen(c.sz) + 1) << c.sz;
        EXPECT_STREQ(sz, c.sz);
        EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, c.wsz, -1, nullptr, 0, nullptr, nullptr), n);

        WCHAR wsz[32];
        int nw = MultiByteToWideChar(CP_ACP, 0, c.sz, -1, wsz, 32);
        EXPECT_EQ(nw, (int)std::u16string(c.wsz).size() + 1) << c.sz;
        EXPECT_EQ(std::u16string(wsz), std::u16string(c.wsz));
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, c.sz, -1, nullptr, 0), nw);
    }
}

TEST(WinNls, CutKeepsWholeCharactersAndClearsTheRest) {
    // "ab€" needs 5 bytes and a NUL; 4 bytes hold "ab" and two NULs, never
    // the first byte of the euro sign.
    char sz[8];
    memset(sz, 'x', sizeof(sz));
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"ab\u20ac", -1, sz, 4, nullptr, nullptr), 0);
    EXPECT_EQ(std::string(sz, 4), std::string("ab\0\0", 4));
    EXPECT_EQ(sz[4], 'x');  // nothing past the given size

    // A surrogate pair is not split either.
    WCHAR wsz[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xf0\x9f\x98\x80", -1, wsz, 2), 0);
    EXPECT_EQ(wsz[0], u'a');
    EXPECT_EQ(wsz[1], 0);
    EXPECT_EQ(wsz[2], u'x');
}

TEST(WinNls, MalformedInputBecomesReplacementCharacters) {
    WCHAR wsz[16];
    // A lone continuation byte, an overlong "/", a cut sequence at the end.
    int n = MultiByteToWideChar(CP_UTF8, 0, "a\x80" "b\xc0\xaf" "c\xe2\x82", -1, wsz, 16);
    EXPECT_EQ(std::u16string(wsz, (size_t)n - 1), u"a\ufffdb\ufffd\ufffdc\ufffd\ufffd");

    char sz[16];
    BOOL bDefault = FALSE;
    const WCHAR wszLone[] = {u'a', 0xD800, u'b', 0};
    n = WideCharToMultiByte(CP_UTF8, 0, wszLone, -1, sz, sizeof(sz), nullptr, &bDefault);
    EXPECT_STREQ(sz, "a\xef\xbf\xbd" "b");
    EXPECT_TRUE(bDefault);
}

TEST(WinNls, RejectsBadArguments) {
    char sz[4];
    WCHAR wsz[4];
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"a", -1, sz, 4, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, nullptr, -1, sz, 4, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 0, sz, 4, nullptr, nullptr), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", -1, nullptr, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -2, wsz, 4), 0);
    // A counted input without a NUL converts just those characters.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 2, wsz, 4), 2);
    EXPECT_EQ(wsz[1], u'b');
}

}  // namespace
