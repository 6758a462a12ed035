// Writing cards: the round trip of every field, the line form, golden files.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/vcard/CxVCard.h"
#include "common/vcard/VCardText.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinTime.h"
#include "support/TempDir.h"
#include "vcard/fixtures/RecordGen.h"

namespace {

class RoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(RoundTrip, EveryFieldOfAGeneratedSetComesBack) {
    std::vector<CommAddr> in;
    for (int n = 0; n < 40; ++n) in.push_back(MakeTestRecord(n));
    std::string data;
    for (const CommAddr& a : in) CxVCard::Write(a, GetParam(), data);

    std::vector<CommAddr> out;
    CxVCardReport report;
    ASSERT_TRUE(CxVCard::Read(data.data(), data.size(), out, report));
    for (const CxVCardIssue& i : report.issues) ADD_FAILURE() << i.nCard << ":" << i.nLine << " " << i.szText;
    EXPECT_EQ(report.nCut, 0);
    EXPECT_EQ(report.nUnplaced, 0);
    ASSERT_EQ(out.size(), in.size());
    for (size_t k = 0; k < in.size(); ++k) EXPECT_EQ(FirstDifference(in[k], out[k]), "") << "record " << k;
}

INSTANTIATE_TEST_SUITE_P(Versions, RoundTrip, ::testing::Values(VCARD_VERSION_30, VCARD_VERSION_40));

TEST(VCardWrite, LinesAreFoldedAt75OctetsOnCharacterBoundariesWithCrLf) {
    CommAddr a;
    memset(&a, 0, sizeof(a));
    // Two-, three- and four-byte characters at every offset across the fold.
    std::string note;
    for (int i = 0; i < 300; ++i) note += i % 3 == 0 ? "é" : i % 3 == 1 ? "語" : "🙂";
    CopyText(a.szNote, note.c_str());
    CopyText(a.szFirstName, "Ann");
    std::string data;
    CxVCard::Write(a, VCARD_VERSION_30, data);

    size_t nLines = 0;
    for (size_t pos = 0; pos < data.size();) {
        size_t nEnd = data.find("\r\n", pos);
        ASSERT_NE(nEnd, std::string::npos);
        std::string line = data.substr(pos, nEnd - pos);
        EXPECT_LE(line.size(), 75u);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        EXPECT_TRUE(vcardtext::IsUtf8(line)) << "line " << nLines << " splits a character";
        pos = nEnd + 2;
        ++nLines;
    }
    EXPECT_GT(nLines, 15u);

    std::vector<CommAddr> out;
    CxVCardReport report;
    CxVCard::Read(data.data(), data.size(), out, report);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_STREQ(out[0].szNote, a.szNote);
}

// A fixed record in both versions, byte for byte.
CommAddr GoldenRecord() {
    CommAddr a;
    memset(&a, 0, sizeof(a));
    CopyText(a.szFirstName, "Zoë");
    CopyText(a.szLastName, "Ångström");
    CopyText(a.szPrefix, "Dr.");
    CopyText(a.szDisplayName, "Dr. Zoë Ångström");
    CopyText(a.szNickName, "Zo");
    CopyText(a.szCompany, "Nordlicht; Söhne, AB");
    CopyText(a.szDepartment, "Forschung");
    CopyText(a.szTitle, "Chemikerin");
    CopyText(a.szWorkStreet, "Kungsgatan 12\r\nPlan 3");
    CopyText(a.szWorkCity, "Göteborg");
    CopyText(a.szWorkPostal, "411 19");
    CopyText(a.szWorkCountry, "Sverige");
    CopyText(a.szWorkPhone, "+46 31 123 45 67");
    CopyText(a.szMobilePhone, "+46 70 765 43 21");
    CopyText(a.szWorkFax, "+46 31 123 45 68");
    CopyText(a.szEmail2, "zoe@nordlicht.example");
    CopyText(a.szWorkHomePage, "https://nordlicht.example/zoe");
    CopyText(a.szNote, "Prefers e-mail.\r\nSpeaks Swedish, German and English; call after 10:00 only, please, not earlier.");
    CopyText(a.szCategory, "Work, Kunden");
    SYSTEMTIME st = {};
    st.wYear = 1980;
    st.wMonth = 2;
    st.wDay = 29;
    SystemTimeToVariantTime(&st, &a.dtBirthday);
    a.nSourceType = SOURCE_TYPE_WAB;
    return a;
}

TEST(VCardWrite, MatchesTheGoldenFilesOfBothVersions) {
    TempDir dir;
    struct {
        int nVersion;
        const char* szFile;
    } cases[] = {{VCARD_VERSION_30, "golden30.vcf"}, {VCARD_VERSION_40, "golden40.vcf"}};
    CommAddr a = GoldenRecord();
    for (auto& c : cases) {
        std::string path = dir.File(c.szFile);
        std::string szError;
        ASSERT_TRUE(CxVCard::WriteFile(path.c_str(), {&a, &a}, c.nVersion, szError)) << szError;
        EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(std::string(VCARD_TEST_DATA) + "/" + c.szFile)) << c.szFile;
    }
}

TEST(VCardWrite, WriteFileFailsForAFolderThatDoesNotExist) {
    CommAddr a = GoldenRecord();
    std::string szError;
    EXPECT_FALSE(CxVCard::WriteFile("/nonexistent-folder/x.vcf", {&a}, VCARD_VERSION_30, szError));
    EXPECT_NE(szError, "");
}

}  // namespace
