// Reading cards: the standards' examples, cards as common exporters write
// them, line forms and encodings, and bad input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/vcard/CxVCard.h"
#include "common/vcard/VCardText.h"
#include "platform/win32/WinTime.h"

namespace {

struct ReadResult {
    std::vector<CommAddr> addrs;
    CxVCardReport report;
    // The issues as "card:line text", one per line, for messages.
    std::string Issues() const {
        std::string s;
        for (const CxVCardIssue& i : report.issues)
            s += std::to_string(i.nCard) + ":" + std::to_string(i.nLine) + " " + i.szText + "\n";
        return s;
    }
    bool HasIssue(int nCard, int nLine, const char* szPart) const {
        for (const CxVCardIssue& i : report.issues)
            if (i.nCard == nCard && i.nLine == nLine && i.szText.find(szPart) != std::string::npos) return true;
        return false;
    }
};

ReadResult ReadText(const std::string& s, const CxVCardLimits& limits = CxVCardLimits()) {
    ReadResult r;
    CxVCard::Read(s.data(), s.size(), r.addrs, r.report, limits);
    return r;
}

std::string Date(double dt) {
    SYSTEMTIME st;
    if (!VariantTimeToSystemTime(dt, &st)) return "none";
    char buf[32];
    snprintf(buf, sizeof(buf), "%04u-%02u-%02u %02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute);
    return buf;
}

TEST(VCardRead, Rfc2426AuthorCards) {
    ReadResult r = ReadText(
        "BEGIN:vCard\r\n"
        "VERSION:3.0\r\n"
        "FN:Frank Dawson\r\n"
        "ORG:Lotus Development Corporation\r\n"
        "ADR;TYPE=WORK,POSTAL,PARCEL:;;6544 Battleford Drive\r\n"
        " ;Raleigh;NC;27613-3502;U.S.A.\r\n"
        "TEL;TYPE=VOICE,MSG,WORK:+1-919-676-9515\r\n"
        "TEL;TYPE=FAX,WORK:+1-919-676-9564\r\n"
        "EMAIL;TYPE=INTERNET,PREF:Frank_Dawson@Lotus.com\r\n"
        "EMAIL;TYPE=INTERNET:fdawson@earthlink.net\r\n"
        "URL:http://home.earthlink.net/~fdawson\r\n"
        "END:vCard\r\n"
        "\r\n"
        "BEGIN:vCard\r\n"
        "VERSION:3.0\r\n"
        "FN:Tim Howes\r\n"
        "ORG:Netscape Communications Corp.\r\n"
        "ADR;TYPE=WORK:;;501 E. Middlefield Rd.;Mountain View;\r\n"
        " CA; 94043;U.S.A.\r\n"
        "TEL;TYPE=VOICE,MSG,WORK:+1-415-937-3419\r\n"
        "TEL;TYPE=FAX,WORK:+1-415-528-4164\r\n"
        "EMAIL;TYPE=INTERNET:howes@netscape.com\r\n"
        "END:vCard\r\n");
    EXPECT_EQ(r.Issues(), "");
    ASSERT_EQ(r.addrs.size(), 2u);
    const CommAddr& f = r.addrs[0];
    EXPECT_STREQ(f.szDisplayName, "Frank Dawson");
    EXPECT_STREQ(f.szCompany, "Lotus Development Corporation");
    EXPECT_STREQ(f.szWorkStreet, "6544 Battleford Drive");
    EXPECT_STREQ(f.szWorkCity, "Raleigh");
    EXPECT_STREQ(f.szWorkState, "NC");
    EXPECT_STREQ(f.szWorkPostal, "27613-3502");
    EXPECT_STREQ(f.szWorkCountry, "U.S.A.");
    EXPECT_STREQ(f.szWorkPhone, "+1-919-676-9515");
    EXPECT_STREQ(f.szWorkFax, "+1-919-676-9564");
    EXPECT_STREQ(f.szEmail, "Frank_Dawson@Lotus.com");
    EXPECT_STREQ(f.szEmail2, "fdawson@earthlink.net");
    EXPECT_STREQ(f.szPersonalHomePage, "http://home.earthlink.net/~fdawson");
    const CommAddr& t = r.addrs[1];
    EXPECT_STREQ(t.szWorkStreet, "501 E. Middlefield Rd.");
    EXPECT_STREQ(t.szWorkState, "CA");
    EXPECT_STREQ(t.szWorkPostal, " 94043");
    EXPECT_STREQ(t.szEmail, "howes@netscape.com");
}

TEST(VCardRead, Rfc6350Example) {
    ReadResult r = ReadText(
        "BEGIN:VCARD\r\n"
        "VERSION:4.0\r\n"
        "FN:Simon Perreault\r\n"
        "N:Perreault;Simon;;;ing. jr,M.Sc.\r\n"
        "BDAY:--0203\r\n"
        "ANNIVERSARY:20090808T1430-0500\r\n"
        "GENDER:M\r\n"
        "LANG;PREF=1:fr\r\n"
        "LANG;PREF=2:en\r\n"
        "ORG;TYPE=work:Viagenie\r\n"
        "ADR;TYPE=work:;Suite D2-630;2875 Laurier;\r\n"
        " Quebec;QC;G1V 2M2;Canada\r\n"
        "TEL;VALUE=uri;TYPE=\"work,voice\";PREF=1:tel:+1-418-656-9254;ext=102\r\n"
        "TEL;VALUE=uri;TYPE=\"work,cell,voice,video,text\":tel:+1-418-262-6501\r\n"
        "EMAIL;TYPE=work:simon.perreault@viagenie.ca\r\n"
        "GEO;TYPE=work:geo:46.772673,-71.282945\r\n"
        "KEY;TYPE=work;VALUE=uri:\r\n"
        " http://www.viagenie.ca/simon.perreault/simon.asc\r\n"
        "TZ:-0500\r\n"
        "URL;TYPE=home:http://nomis80.org\r\n"
        "END:VCARD\r\n");
    ASSERT_EQ(r.addrs.size(), 1u);
    const CommAddr& a = r.addrs[0];
    EXPECT_STREQ(a.szDisplayName, "Simon Perreault");
    EXPECT_STREQ(a.szLastName, "Perreault");
    EXPECT_STREQ(a.szFirstName, "Simon");
    EXPECT_STREQ(a.szSuffix, "ing. jr,M.Sc.");
    EXPECT_EQ(a.dtBirthday, 0.0);  // no year: nothing the record can hold
    EXPECT_TRUE(r.HasIssue(1, 5, "not a date with a year")) << r.Issues();
    EXPECT_EQ(Date(a.dtAnniversary), "2009-08-08 14:30");
    EXPECT_STREQ(a.szLanguage, "fr");
    EXPECT_EQ(r.report.nUnplaced, 1);
    EXPECT_STREQ(a.szCompany, "Viagenie");
    EXPECT_STREQ(a.szWorkStreet, "2875 Laurier\r\nSuite D2-630");
    EXPECT_STREQ(a.szWorkCity, "Quebec");
    EXPECT_STREQ(a.szWorkPostal, "G1V 2M2");
    EXPECT_STREQ(a.szWorkPhone, "+1-418-656-9254;ext=102");
    EXPECT_STREQ(a.szMobilePhone, "+1-418-262-6501");
    EXPECT_STREQ(a.szEmail, "simon.perreault@viagenie.ca");
    EXPECT_STREQ(a.szPersonalHomePage, "http://nomis80.org");
}

TEST(VCardRead, PhoneExportWithGroupsLabelsTypeListsAndAPhoto) {
    ReadResult r = ReadText(
        "BEGIN:VCARD\n"
        "VERSION:3.0\n"
        "PRODID:-//Example Phone//EN\n"
        "N:Appleseed;Johnny;;;\n"
        "FN:Johnny Appleseed\n"
        "ORG:Fruit Inc.;\n"
        "EMAIL;type=INTERNET;type=WORK:ja@fruit.example\n"
        "EMAIL;type=INTERNET;type=HOME;type=pref:johnny@example.com\n"
        "TEL;type=CELL;type=VOICE;type=pref:+1 555 0100\n"
        "TEL;type=HOME;type=VOICE:+1 555 0101\n"
        "TEL;type=WORK;type=FAX:+1 555 0102\n"
        "item1.TEL:+1 555 0103\n"
        "item1.X-ABLabel:_$!<Pager>!$_\n"
        "item2.ADR;type=HOME;type=pref:;;1 Orchard Way;Cupertino;CA;95014;United States\n"
        "item2.X-ABADR:us\n"
        "item3.URL;type=pref:http://example.com/johnny\n"
        "item3.X-ABLabel:_$!<HomePage>!$_\n"
        "item4.X-ABRELATEDNAMES;type=pref:Jane Appleseed\n"
        "item4.X-ABLabel:_$!<Spouse>!$_\n"
        "item5.X-ABDATE;type=pref:2001-06-15\n"
        "item5.X-ABLabel:_$!<Anniversary>!$_\n"
        "item6.EMAIL;type=INTERNET:other@example.com\n"
        "item6.X-ABLabel:Custom label\n"
        "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDA\n"
        "  UUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQU\n"
        "  FBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQU=\n"
        "BDAY;value=date:1975-04-01\n"
        "NOTE:Line one\\nLine two\n"
        "CATEGORIES:friends,work\n"
        "END:VCARD\n");
    EXPECT_EQ(r.Issues(), "");
    ASSERT_EQ(r.addrs.size(), 1u);
    const CommAddr& a = r.addrs[0];
    EXPECT_STREQ(a.szCompany, "Fruit Inc.");
    EXPECT_STREQ(a.szEmail, "johnny@example.com");  // the preferred address comes first
    EXPECT_STREQ(a.szEmail2, "ja@fruit.example");
    EXPECT_STREQ(a.szEmail3, "other@example.com");
    EXPECT_STREQ(a.szMobilePhone, "+1 555 0100");
    EXPECT_STREQ(a.szHomePhone, "+1 555 0101");
    EXPECT_STREQ(a.szWorkFax, "+1 555 0102");
    EXPECT_STREQ(a.szPager, "+1 555 0103");
    EXPECT_STREQ(a.szHomeStreet, "1 Orchard Way");
    EXPECT_STREQ(a.szHomeCountry, "United States");
    EXPECT_STREQ(a.szPersonalHomePage, "http://example.com/johnny");
    EXPECT_STREQ(a.szSpouseName, "Jane Appleseed");
    EXPECT_EQ(Date(a.dtAnniversary), "2001-06-15 00:00");
    EXPECT_EQ(Date(a.dtBirthday), "1975-04-01 00:00");
    EXPECT_STREQ(a.szNote, "Line one\r\nLine two");
    EXPECT_STREQ(a.szCategory, "friends, work");
}

TEST(VCardRead, Version21QuotedPrintableCharsetsAndBareTypes) {
    ReadResult r = ReadText(
        "BEGIN:VCARD\r\n"
        "VERSION:2.1\r\n"
        "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen;;;\r\n"
        "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:J=C3=BCrgen M=C3=BCller\r\n"
        "TEL;WORK;VOICE:+49 30 1234\r\n"
        "TEL;CELL:+49 170 5555\r\n"
        "TEL;HOME;FAX:+49 30 9999\r\n"
        "EMAIL;PREF;INTERNET:juergen@example.de\r\n"
        "ADR;HOME;CHARSET=WINDOWS-1252;ENCODING=QUOTED-PRINTABLE:;;Stra=DFe 1=0D=0AHinterhaus;K=F6ln;;50667;=80-Land\r\n"
        "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Erste Zeile=0D=0AZweite Zeile, die =\r\n"
        "umgebrochen wurde =E2=82=AC\r\n"
        "TITLE:Leiter IT\\Netz\r\n"
        "ORG:Firma \\; GmbH\r\n"
        "PHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n"
        " /9j/4AAQSkZJRgABAQAAAQABAAD\r\n"
        " /2wBDAAgGBgcGBQgHBwcJCQgK\r\n"
        "\r\n"
        "END:VCARD\r\n");
    EXPECT_EQ(r.Issues(), "");
    ASSERT_EQ(r.addrs.size(), 1u);
    const CommAddr& a = r.addrs[0];
    EXPECT_STREQ(a.szLastName, "Müller");
    EXPECT_STREQ(a.szFirstName, "Jürgen");
    EXPECT_STREQ(a.szDisplayName, "Jürgen Müller");
    EXPECT_STREQ(a.szWorkPhone, "+49 30 1234");
    EXPECT_STREQ(a.szMobilePhone, "+49 170 5555");
    EXPECT_STREQ(a.szHomeFax, "+49 30 9999");
    EXPECT_STREQ(a.szEmail, "juergen@example.de");
    EXPECT_STREQ(a.szHomeStreet, "Straße 1\r\nHinterhaus");
    EXPECT_STREQ(a.szHomeCity, "Köln");
    EXPECT_STREQ(a.szHomeCountry, "€-Land");
    EXPECT_STREQ(a.szNote, "Erste Zeile\r\nZweite Zeile, die umgebrochen wurde €");
    EXPECT_STREQ(a.szTitle, "Leiter IT\\Netz");  // 2.1 has no \N escape
    EXPECT_STREQ(a.szCompany, "Firma ; GmbH");
}

// One card in every line form and encoding a file may come in.
TEST(VCardRead, LineEndsByteOrderMarksAndUtf16) {
    const std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zoë 語\r\nNOTE:a\\nb\r\nEND:VCARD\r\n";
    auto replace = [](std::string s, const std::string& from, const std::string& to) {
        for (size_t p = 0; (p = s.find(from, p)) != std::string::npos; p += to.size()) s.replace(p, from.size(), to);
        return s;
    };
    auto utf16 = [](const std::string& s, bool bBig) {
        std::u16string u;
        for (size_t i = 0; i < s.size();) {
            unsigned char c = s[i];
            unsigned cp;
            int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
            cp = n == 1 ? c : n == 2 ? c & 0x1F : c & 0x0F;
            for (int k = 1; k < n; ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
            u += static_cast<char16_t>(cp);
            i += n;
        }
        std::string out = bBig ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t ch : u) {
            char hi = static_cast<char>(ch >> 8), lo = static_cast<char>(ch & 0xFF);
            out += bBig ? hi : lo;
            out += bBig ? lo : hi;
        }
        return out;
    };
    struct {
        const char* szName;
        std::string data;
    } cases[] = {
        {"CR LF", card},
        {"LF", replace(card, "\r\n", "\n")},
        {"CR", replace(card, "\r\n", "\r")},
        {"UTF-8 mark", "\xEF\xBB\xBF" + card},
        {"UTF-16 little endian", utf16(card, false)},
        {"UTF-16 big endian", utf16(card, true)},
    };
    for (auto& c : cases) {
        ReadResult r = ReadText(c.data);
        ASSERT_EQ(r.addrs.size(), 1u) << c.szName << "\n" << r.Issues();
        EXPECT_STREQ(r.addrs[0].szDisplayName, "Zoë 語") << c.szName;
        EXPECT_STREQ(r.addrs[0].szNote, "a\r\nb") << c.szName;
        EXPECT_EQ(r.Issues(), "") << c.szName;
    }
}

TEST(VCardRead, TooLongValuesAreCutOnACharacterAndCounted) {
    std::string name;
    for (int i = 0; i < 40; ++i) name += "é";
    ReadResult r = ReadText("BEGIN:VCARD\nVERSION:3.0\nFN:" + name + "\nN:" + name + ";x\nEND:VCARD\n");
    ASSERT_EQ(r.addrs.size(), 1u);
    EXPECT_EQ(strlen(r.addrs[0].szDisplayName), 30u);
    EXPECT_TRUE(vcardtext::IsUtf8(r.addrs[0].szDisplayName));
    EXPECT_EQ(r.report.nCut, 2);
    EXPECT_TRUE(r.HasIssue(1, 3, "cut to 30 bytes")) << r.Issues();
}

// Bad input: each case keeps every readable card and names the card and the
// line of the problem.
TEST(VCardRead, BadInputIsReportedAndTheReadableCardsKept) {
    const std::string good = "BEGIN:VCARD\nVERSION:3.0\nFN:Good\nEND:VCARD\n";
    struct {
        const char* szName;
        std::string data;
        size_t nRecords;
        int nCard, nLine;
        const char* szIssue;
    } cases[] = {
        {"malformed line", "BEGIN:VCARD\nVERSION:3.0\nFN:A\nthis is no property\nEMAIL:a@x\nEND:VCARD\n", 1, 1, 4,
         "not a property"},
        {"bad parameter", "BEGIN:VCARD\nFN;TYPE=\"open:A\nEMAIL:a@x\nEND:VCARD\n", 1, 1, 2, "not a property"},
        {"END missing before the next card", "BEGIN:VCARD\nFN:A\n" + good, 2, 1, 1, "END:VCARD is missing"},
        {"END missing at the end", good + "BEGIN:VCARD\nFN:B\nNOTE:cut off he", 2, 2, 5, "END:VCARD is missing"},
        {"END without BEGIN", good + "END:VCARD\n", 1, 0, 5, "outside a card"},
        {"binary garbage", std::string("\x00\xff\xfe\x01garbage\x02\n", 13) + good + "\x7f\x80\x81", 1, 0, 1,
         "outside a card"},
        {"invalid UTF-8", "BEGIN:VCARD\nVERSION:3.0\nFN:Caf\xe9\nEND:VCARD\n", 1, 1, 3, "not valid UTF-8"},
        {"unknown charset, UTF-8 text", "BEGIN:VCARD\nVERSION:2.1\nFN;CHARSET=KOI8-R:Иван\nEND:VCARD\n", 1, 1, 3,
         "value kept as written"},
        {"unknown charset, other text", "BEGIN:VCARD\nVERSION:2.1\nFN;CHARSET=KOI8-R:\xe9\xf7\nTITLE:x\nEND:VCARD\n", 1,
         1, 3, "unknown character set \"KOI8-R\"; skipped"},
        {"bad base64", "BEGIN:VCARD\nFN;ENCODING=b:!!!\nTITLE:x\nEND:VCARD\n", 1, 1, 2, "bad base64"},
        {"bad date", "BEGIN:VCARD\nFN:A\nBDAY:yesterday\nEND:VCARD\n", 1, 1, 3, "not a date"},
        {"impossible date", "BEGIN:VCARD\nFN:A\nBDAY:2001-02-29\nEND:VCARD\n", 1, 1, 3, "not a date"},
        {"bad number", "BEGIN:VCARD\nFN:A\nX-PELLMARK-GENDER:99999999999\nEND:VCARD\n", 1, 1, 3, "not a whole number"},
        {"empty card", "BEGIN:VCARD\nVERSION:3.0\nEND:VCARD\n" + good, 1, 1, 1, "no contact data"},
        {"card of unknown properties", "BEGIN:VCARD\nX-FOO:bar\nGEO:1,2\nEND:VCARD\n" + good, 1, 1, 1,
         "no contact data"},
        {"unknown version", "BEGIN:VCARD\nVERSION:9.9\nFN:A\nEND:VCARD\n", 1, 1, 2, "unknown vCard version"},
        {"more phones than fields",
         "BEGIN:VCARD\nFN:A\nTEL;TYPE=CELL:1\nTEL;TYPE=CELL:2\nTEL;TYPE=CELL:3\nEND:VCARD\n", 1, 1, 5,
         "no free field"},
    };
    for (auto& c : cases) {
        ReadResult r = ReadText(c.data);
        EXPECT_EQ(r.addrs.size(), c.nRecords) << c.szName << "\n" << r.Issues();
        EXPECT_TRUE(r.HasIssue(c.nCard, c.nLine, c.szIssue)) << c.szName << "\n" << r.Issues();
    }
}

TEST(VCardRead, AMegabyteValueIsCutAndAMegabytePhotoSkipped) {
    std::string note, photo;
    while (note.size() < 1024 * 1024) note += "ü\\n";
    while (photo.size() < 1024 * 1024) photo += "\r\n QUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFB";
    ReadResult r = ReadText("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Big\r\nPHOTO;ENCODING=b;TYPE=JPEG:" + photo +
                            "\r\nNOTE:" + note + "\r\nEND:VCARD\r\n");
    ASSERT_EQ(r.addrs.size(), 1u);
    EXPECT_EQ(r.report.nCut, 1);
    EXPECT_LE(strlen(r.addrs[0].szNote), 8191u);
    EXPECT_GT(strlen(r.addrs[0].szNote), 8180u);
    EXPECT_TRUE(vcardtext::IsUtf8(r.addrs[0].szNote));
}

TEST(VCardRead, AMillionEmptyCardsAreCountedWithABoundedReport) {
    std::string data;
    data.reserve(25 * 1000000 + 64);
    for (int i = 0; i < 1000000; ++i) data += "BEGIN:VCARD\r\nEND:VCARD\r\n";
    data += "BEGIN:VCARD\r\nFN:Last\r\nEND:VCARD\r\n";
    ReadResult r = ReadText(data);
    ASSERT_EQ(r.addrs.size(), 1u);
    EXPECT_STREQ(r.addrs[0].szDisplayName, "Last");
    EXPECT_EQ(r.report.nCards, 1000001);
    EXPECT_EQ(r.report.nSkipped, 1000000);
    EXPECT_EQ(r.report.issues.size(), CxVCardReport::kMaxIssues);
    EXPECT_EQ(r.report.nIssuesLeftOut, 1000000 - static_cast<int>(CxVCardReport::kMaxIssues));
}

TEST(VCardRead, LimitsOnRecordsAndFileSize) {
    std::string data;
    for (int i = 0; i < 5; ++i) data += "BEGIN:VCARD\nFN:N" + std::to_string(i) + "\nEND:VCARD\n";
    CxVCardLimits limits;
    limits.nMaxRecords = 3;
    ReadResult r = ReadText(data, limits);
    EXPECT_EQ(r.addrs.size(), 3u);
    EXPECT_EQ(r.report.nSkipped, 2);
    EXPECT_TRUE(r.HasIssue(4, 10, "more than 3 contacts")) << r.Issues();

    limits.nMaxFileBytes = 10;
    r = ReadText(data, limits);
    EXPECT_TRUE(r.report.bFailed);
    EXPECT_TRUE(r.addrs.empty());

    std::vector<CommAddr> addrs;
    CxVCardReport report;
    EXPECT_FALSE(CxVCard::ReadFile("/nonexistent-folder/x.vcf", addrs, report));
    EXPECT_NE(report.szError, "");
}

}  // namespace
