#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/win32/TextCopy.h"

namespace {

TEST(TextCopy, CutsAtCharacterBoundaries) {
    // "Zoë Łukasz" has a two-byte ë (bytes 2-3) and a two-byte Ł (5-6);
    // "€" is three bytes and "😀" four.
    struct Case {
        const char* szSrc;
        size_t nDstSize;
        const char* szExpected;
    } cases[] = {
        {"Anna", 10, "Anna"},
        {"Anna", 5, "Anna"},
        {"Anna", 4, "Ann"},
        {"Anna", 1, ""},
        {"Zo\xC3\xAB", 4, "Zo"},            // ë would be cut in half
        {"Zo\xC3\xAB", 5, "Zo\xC3\xAB"},
        {"a\xE2\x82\xAC", 3, "a"},          // € needs three bytes
        {"a\xE2\x82\xAC", 4, "a"},
        {"a\xE2\x82\xAC", 5, "a\xE2\x82\xAC"},
        {"\xF0\x9F\x98\x80x", 4, ""},
        {"\xF0\x9F\x98\x80x", 5, "\xF0\x9F\x98\x80"},
        {"", 8, ""},
        {nullptr, 8, ""},
    };
    for (const Case& c : cases) {
        char buf[16];
        memset(buf, 'X', sizeof buf);
        const size_t n = CopyText(buf, c.nDstSize, c.szSrc);
        EXPECT_STREQ(buf, c.szExpected) << (c.szSrc ? c.szSrc : "(null)") << " into " << c.nDstSize;
        EXPECT_EQ(n, strlen(c.szExpected));
        EXPECT_EQ(buf[c.nDstSize], 'X') << "wrote past the destination";
    }
}

TEST(TextCopy, FitLengthWithoutALimitTakesTheWholeText) {
    EXPECT_EQ(Utf8FitLength("abc", SIZE_MAX), 3u);
}

TEST(TextCopy, ZeroSizedDestinationIsLeftAlone) {
    char c = 'X';
    EXPECT_EQ(CopyText(&c, 0, "abc"), 0u);
    EXPECT_EQ(c, 'X');
}

TEST(TextCopy, KnownLengthSourceNeedsNoTerminator) {
    const char src[4] = {'a', 'b', 'c', 'd'};
    char buf[8];
    EXPECT_EQ(CopyTextN(buf, sizeof buf, src, 3), 3u);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(CopyTextN(buf, 3, src, 4), 2u);
    EXPECT_STREQ(buf, "ab");
}

TEST(TextCopy, MalformedTextIsCutWhereItStands) {
    // A run of continuation bytes without a lead byte is not UTF-8; the cut
    // must still stay inside the buffer.
    const std::string s(20, '\x80');
    char buf[8];
    EXPECT_EQ(CopyText(buf, sizeof buf, s.c_str()), 7u);
}

}  // namespace
