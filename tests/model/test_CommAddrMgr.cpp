#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/model/CommAddrIndex.h"
#include "common/model/CommAddrMgr.h"
#include "model/fixtures/CompareWithWalk.h"
#include "platform/win32/TextCopy.h"

namespace {

CommAddr Contact(const char* szFirst, const char* szLast, const char* szEmail = "") {
    CommAddr addr{};
    CopyText(addr.szFirstName, szFirst);
    CopyText(addr.szLastName, szLast);
    CopyText(addr.szEmail, szEmail);
    return addr;
}

// The address of a temporary, for the length of the full expression.
const CommAddr* Ptr(const CommAddr& addr) { return &addr; }

TEST(CompareText, LineBreaksCaseAndLength) {
    CommAddrMgr mgr;
    struct Case {
        const char* szA;
        const char* szB;
        int nResult;
    } cases[] = {
        {"ab\r\nc", "abc", 0},
        {"abc\n", "abc\r", 0},
        {"abc\r\n", "abc", 1},
        {"abc", "abc\r\n", -1},
        {"\r\nabc", "abc", 0},
        {"a\r\n\r\nb\n", "ab\r", 0},
        {"a\r\nb", "ab\n", -1},  // only one has a trailing break
        {"\r", "\n\n", 0},
        {"\r\n", "", 1},
        {"", "", 0},
        {"anna", "ANNA", 0},
        {"Smith", "smith", 0},
        {"a b", "ab", -1},       // spaces count
        {"ab ", "ab", 1},
        {"abc", "abd", -1},
        {"b", "a\r\n", 1},
        {"\xC3\xA9", "\xC3\x89", 1},  // only a to z change case; bytes compare signed
        {"\xC3", "a", -1},
        {"[", "{", -1},          // '{' is not upper-cased to '['
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mgr.CompareText(c.szA, c.szB), c.nResult) << '"' << c.szA << "\" vs \"" << c.szB << '"';
    }
    EXPECT_EQ(mgr.CompareText(nullptr, "a"), -1);
    EXPECT_EQ(mgr.CompareText("a", nullptr), -1);
    EXPECT_EQ(mgr.CompareText(nullptr, nullptr), -1);
}

TEST(FieldsEqual, IdentityAndContentUnderTheDefaultLists) {
    CommAddrMgr mgr;
    const CommAddr anna = Contact("anna", "Smith");
    CommAddr other = Contact("ANNA", "smith");
    EXPECT_TRUE(mgr.IsSameContact(&anna, &other));
    EXPECT_FALSE(mgr.IsSameContact(&anna, Ptr(Contact("Smith", "anna"))));  // swapped names
    EXPECT_FALSE(mgr.IsSameContact(&anna, Ptr(Contact("anna", "Smith", "a@example.com"))));

    CommAddr a = anna;
    CommAddr b = anna;
    strcpy(a.szNote, "line 1\r\nline 2");
    strcpy(b.szNote, "line 1\nline 2");
    EXPECT_TRUE(mgr.IsSameContent(&a, &b));
    strcpy(b.szNote, "line 1\r\nline 2\r\n");
    EXPECT_FALSE(mgr.IsSameContent(&a, &b));

    // Fields outside the comparison list never make records differ.
    b = a;
    strcpy(b.szDepartment, "Sales");
    strcpy(b.szEmail2, "second@example.com");
    b.dtBirthday = 29222.5;
    b.nStatus = ADDR_STATUS_DIFF;
    b.pMatch = &b;
    EXPECT_TRUE(mgr.IsSameContent(&a, &b));
    EXPECT_TRUE(mgr.IsSameContact(&a, &b));

    strcpy(b.szOtherStreet, "1 Main Street");
    EXPECT_FALSE(mgr.IsSameContent(&a, &b));
}

TEST(FieldsEqual, ComparesByKindOfFieldAndRejectsMissingInput) {
    CommAddrMgr mgr;
    CommAddr a{};
    CommAddr b{};
    const DWORD dates[] = {66, 67};
    b.dtAnniversary = 1e-9;
    EXPECT_FALSE(mgr.FieldsEqual(&a, &b, dates, 2));
    b.dtAnniversary = -0.0;
    EXPECT_TRUE(mgr.FieldsEqual(&a, &b, dates, 2));
    a.dtBirthday = b.dtBirthday = NAN;
    EXPECT_FALSE(mgr.FieldsEqual(&a, &a, dates, 2));

    // Ids that are not compared, including ones past the table.
    const DWORD ignored[] = {8, 62, 63, 64, 71, 72, 75, 76, 77, 78, 79, 80, 81, 0, 91, 1000};
    memset(&a, 'a', offsetof(CommAddr, pSideData));
    EXPECT_TRUE(mgr.FieldsEqual(&a, &b, ignored, sizeof(ignored) / sizeof(ignored[0])));
    const DWORD texts[] = {2, 44, 52, 61, 65, 70, 82, 90};
    for (DWORD nId : texts) {
        CommAddr c{};
        static_cast<char*>(GetFieldMember(&c, static_cast<int>(nId)))[0] = 'x';
        EXPECT_FALSE(mgr.FieldsEqual(&c, &b, &nId, 1)) << nId;
    }

    EXPECT_FALSE(mgr.FieldsEqual(nullptr, &b, texts, 1));
    EXPECT_FALSE(mgr.FieldsEqual(&b, nullptr, texts, 1));
    EXPECT_FALSE(mgr.FieldsEqual(&b, &b, nullptr, 1));
    EXPECT_FALSE(mgr.FieldsEqual(&b, &b, texts, 0));
}

TEST(FieldsEqual, AnUnterminatedMemberIsComparedOnlyToItsWidth) {
    CommAddrMgr mgr;
    CommAddr a{};
    CommAddr b{};
    memset(a.szFirstName, 'a', sizeof(a.szFirstName));
    memset(b.szFirstName, 'a', sizeof(b.szFirstName));
    strcpy(a.szLastName, "one");
    strcpy(b.szLastName, "two");
    const DWORD first[] = {1};
    EXPECT_TRUE(mgr.FieldsEqual(&a, &b, first, 1));
}

TEST(SetFields, ListsAreInstalledOrResetToTheDefaults) {
    CommAddrMgr mgr;
    const CommAddr a = Contact("Ann", "Lee", "ann@example.com");
    CommAddr b = a;
    strcpy(b.szFirstName, "Anne");
    const DWORD lastOnly[] = {3};
    mgr.SetKeyFields(lastOnly, 1);
    EXPECT_TRUE(mgr.IsSameContact(&a, &b));
    mgr.SetKeyFields(lastOnly, 0);
    EXPECT_FALSE(mgr.IsSameContact(&a, &b));
    mgr.SetKeyFields(lastOnly, 1);
    mgr.SetKeyFields(nullptr, 5);
    EXPECT_FALSE(mgr.IsSameContact(&a, &b));

    // A list longer than the 90 slots is cut to 90.
    std::vector<DWORD> many(200, 3);
    many[0] = 1;
    mgr.SetCompareFields(many.data(), static_cast<DWORD>(many.size()));
    EXPECT_FALSE(mgr.IsSameContent(&a, &b));
    many[0] = 3;
    many[150] = 1;
    mgr.SetCompareFields(many.data(), static_cast<DWORD>(many.size()));
    EXPECT_TRUE(mgr.IsSameContent(&a, &b));
}

TEST(AddCopy, CopiesDeeplyAndFreesWhatItOwns) {
    CommAddrMgr mgr;
    EXPECT_EQ(mgr.AddCopy(nullptr), nullptr);
    CommAddr src = Contact("Ann", "Lee");
    char side[5] = "wab!";
    src.pSideData = side;
    src.nSideDataSize = sizeof(side);
    src.nStatus = ADDR_STATUS_DIFF;
    src.pMatch = &src;
    CommAddr* pCopy = mgr.AddCopy(&src);
    ASSERT_NE(pCopy, nullptr);
    EXPECT_NE(pCopy->pSideData, side);
    EXPECT_EQ(memcmp(pCopy->pSideData, side, sizeof(side)), 0);
    EXPECT_EQ(pCopy->nStatus, ADDR_STATUS_DIFF);
    EXPECT_EQ(pCopy->pMatch, &src);
    EXPECT_EQ(memcmp(pCopy, &src, offsetof(CommAddr, pSideData)), 0);
    side[0] = 'X';
    EXPECT_EQ(static_cast<char*>(pCopy->pSideData)[0], 'w');

    // A pointer without a size is not owned: copied as it is, never freed.
    CommAddr borrowed = Contact("Bo", "Ma");
    borrowed.pSideData = side;
    CommAddr* pBorrowed = mgr.AddCopy(&borrowed);
    ASSERT_NE(pBorrowed, nullptr);
    EXPECT_EQ(pBorrowed->pSideData, side);

    EXPECT_EQ(mgr.GetFirst(), pCopy);
    EXPECT_EQ(mgr.GetNext(), pBorrowed);
    EXPECT_EQ(mgr.GetNext(), nullptr);
    EXPECT_EQ(mgr.GetCount(), 2u);
    mgr.RemoveAll();  // the sanitizer build proves the owned block is freed once
    EXPECT_EQ(mgr.GetFirst(), nullptr);
    EXPECT_EQ(mgr.AddCopy(&src)->nSideDataSize, sizeof(side));
    CommAddrMgr::FreeAddr(nullptr);
}

// A manager holding copies of the given records, in order.
class FindAddrTest : public ::testing::Test {
protected:
    CommAddr* Add(const CommAddr& addr) { return m_mgr.AddCopy(&addr); }
    int Find(const CommAddr& addr) {
        m_pFound = nullptr;
        m_nPos = -7;
        return m_mgr.FindAddr(&addr, &m_pFound, &m_nPos);
    }
    static CommAddr WithStreet(CommAddr addr, const char* szStreet) {
        CopyText(addr.szOtherStreet, szStreet);
        return addr;
    }

    CommAddrMgr m_mgr;
    CommAddr* m_pFound = nullptr;
    int m_nPos = -7;
    const CommAddr m_ann = Contact("Ann", "Lee", "ann@example.com");
};

TEST_F(FindAddrTest, MissingRecordAndNoCounterpart) {
    CommAddr* pFound = &const_cast<CommAddr&>(m_ann);
    int nPos = 42;
    EXPECT_EQ(m_mgr.FindAddr(nullptr, &pFound, &nPos), -1);
    EXPECT_EQ(pFound, &m_ann);
    EXPECT_EQ(nPos, 42);

    EXPECT_EQ(Find(m_ann), ADDR_NOT_FOUND);
    EXPECT_EQ(m_nPos, 0);
    for (const char* szFirst : {"A", "B", "C", "D", "E"}) Add(Contact(szFirst, "Lee", "ann@example.com"));
    EXPECT_EQ(Find(m_ann), ADDR_NOT_FOUND);
    EXPECT_EQ(m_nPos, 5);
    EXPECT_EQ(m_pFound, nullptr);
    EXPECT_EQ(m_mgr.FindAddr(&m_ann, nullptr, nullptr), ADDR_NOT_FOUND);
}

TEST_F(FindAddrTest, ReportsTheLastDifferingOrTheFirstEqualCounterpart) {
    Add(Contact("Bob", "Ray"));
    CommAddr* pDiff1 = Add(WithStreet(m_ann, "1 Elm"));
    Add(Contact("Cy", "Ng"));
    CommAddr* pDiff2 = Add(WithStreet(m_ann, "2 Elm"));
    Add(Contact("Di", "Ox"));
    EXPECT_EQ(Find(m_ann), ADDR_FOUND_DIFF);
    EXPECT_EQ(m_pFound, pDiff2);
    EXPECT_EQ(m_nPos, 3);

    // An equal counterpart wins, before or after the differing ones.
    CommAddr* pSame = Add(m_ann);
    EXPECT_EQ(Find(m_ann), ADDR_FOUND_SAME);
    EXPECT_EQ(m_pFound, pSame);
    EXPECT_EQ(m_nPos, 5);
    EXPECT_EQ(Find(*pDiff1), ADDR_FOUND_SAME);  // the very object, ahead of its twin
    EXPECT_EQ(m_pFound, pDiff1);
    EXPECT_EQ(m_nPos, 1);

    CommAddrMgr other;
    CommAddr* pFirstSame = other.AddCopy(&m_ann);
    other.AddCopy(pDiff1);
    other.AddCopy(&m_ann);
    CommAddr* pFound = nullptr;
    int nPos = -1;
    EXPECT_EQ(other.FindAddr(&m_ann, &pFound, &nPos), ADDR_FOUND_SAME);
    EXPECT_EQ(pFound, pFirstSame);
    EXPECT_EQ(nPos, 0);
}

TEST_F(FindAddrTest, CompareWithMarksStatusAndMatch) {
    CommAddrMgr wab;
    CommAddr* pSame = wab.AddCopy(&m_ann);
    CommAddr* pDiff = wab.AddCopy(Ptr(Contact("Bob", "Ray")));
    CommAddr* pNew = wab.AddCopy(Ptr(Contact("Cy", "Ng")));
    pNew->nStatus = ADDR_STATUS_SAME;
    pNew->pMatch = pSame;
    CommAddr* pOlSame = Add(m_ann);
    CommAddr* pOlDiff = Add(WithStreet(Contact("BOB", "ray"), "1 Elm"));
    CommAddr* pOlNew = Add(Contact("Di", "Ox"));

    EXPECT_FALSE(wab.CompareWith(nullptr));
    ASSERT_TRUE(wab.CompareWith(&m_mgr));
    EXPECT_EQ(pSame->nStatus, ADDR_STATUS_SAME);
    EXPECT_EQ(pSame->pMatch, pOlSame);
    EXPECT_EQ(pDiff->nStatus, ADDR_STATUS_DIFF);
    EXPECT_EQ(pDiff->pMatch, pOlDiff);
    EXPECT_EQ(pNew->nStatus, ADDR_STATUS_NEW);
    EXPECT_EQ(pNew->pMatch, nullptr);

    ASSERT_TRUE(m_mgr.CompareWith(&wab));
    EXPECT_EQ(pOlDiff->pMatch, pDiff);
    EXPECT_EQ(pOlNew->nStatus, ADDR_STATUS_NEW);

    // Against itself every record is its own equal counterpart, or an
    // earlier equal twin.
    ASSERT_TRUE(m_mgr.CompareWith(&m_mgr));
    for (CommAddr* p = m_mgr.GetFirst(); p; p = m_mgr.GetNext()) {
        EXPECT_EQ(p->nStatus, ADDR_STATUS_SAME);
        EXPECT_EQ(p->pMatch, p);
    }
}

// Identity and content texts from a tiny alphabet, so that many records
// collide, with case changes and CR, LF and CR LF runs anywhere, including at
// the start and the end.
std::string GeneratedText(std::mt19937& rng, const char* szLetters, int nMaxLength) {
    static const char* const breaks[] = {"\r", "\n", "\r\n", "\n\r", "\r\n\r\n", "\n\n"};
    const int nLetters = static_cast<int>(strlen(szLetters));
    const int nLength = std::uniform_int_distribution<int>(0, nMaxLength)(rng);
    std::string s;
    for (int i = 0; i <= nLength; ++i) {
        if (rng() % 3 == 0) s += breaks[rng() % 6];
        if (i < nLength) s += szLetters[rng() % nLetters];
    }
    return s;
}

struct GeneratedCase {
    const char* szName;
    const char* szLetters;
    int nMaxLength;
    int nNoteLength;
    bool bSomeUnique;  // every tenth record gets a last name of its own
    std::vector<DWORD> keyFields;  // empty: the defaults
    std::vector<DWORD> cmpFields;
    size_t nRecords;
};

void Generate(std::mt19937& rng, const GeneratedCase& c, CommAddrMgr* pMgr) {
    static const double dates[] = {0.0, -0.0, 29222.5, NAN};
    for (size_t i = 0; i < c.nRecords; ++i) {
        CommAddr addr{};
        CopyText(addr.szFirstName, GeneratedText(rng, c.szLetters, c.nMaxLength).c_str());
        std::string sLast = GeneratedText(rng, c.szLetters, c.nMaxLength);
        if (c.bSomeUnique && i % 10 == 0) sLast += std::to_string(rng());
        CopyText(addr.szLastName, sLast.c_str());
        CopyText(addr.szEmail, GeneratedText(rng, c.szLetters, c.nMaxLength).c_str());
        CopyText(addr.szNote, GeneratedText(rng, "aA", c.nNoteLength).c_str());
        CopyText(addr.szHomePhone, GeneratedText(rng, "12", 1).c_str());
        addr.dtBirthday = dates[rng() % 4];
        addr.dtAnniversary = dates[rng() % 4];
        addr.nStatus = 77;
        pMgr->AddCopy(&addr);
    }
    if (!c.keyFields.empty()) pMgr->SetKeyFields(c.keyFields.data(), static_cast<DWORD>(c.keyFields.size()));
    if (!c.cmpFields.empty()) pMgr->SetCompareFields(c.cmpFields.data(), static_cast<DWORD>(c.cmpFields.size()));
}

struct Mark {
    INT nStatus;
    CommAddr* pMatch;
    bool operator==(const Mark& o) const { return nStatus == o.nStatus && pMatch == o.pMatch; }
};

std::vector<Mark> Marks(CommAddrMgr& mgr) {
    std::vector<Mark> marks;
    for (CommAddr* p = mgr.GetFirst(); p; p = mgr.GetNext()) {
        marks.push_back({p->nStatus, p->pMatch});
        p->nStatus = 77;
        p->pMatch = nullptr;
    }
    return marks;
}

void ExpectIndexAgreesWithWalk(CommAddrMgr& mine, CommAddrMgr& other, const char* szWhat, bool bEveryOutcome) {
    ASSERT_TRUE(mine.CompareWith(&other));
    const std::vector<Mark> indexed = Marks(mine);
    ASSERT_TRUE(CompareWithWalk(&mine, &other));
    const std::vector<Mark> walked = Marks(mine);
    ASSERT_EQ(indexed.size(), walked.size());
    size_t nDiffer = 0;
    int nStatusCount[3] = {};
    for (size_t i = 0; i < walked.size(); ++i) {
        if (!(indexed[i] == walked[i]) && nDiffer++ < 5) {
            ADD_FAILURE() << szWhat << ": record " << i << " indexed " << indexed[i].nStatus << " walked "
                          << walked[i].nStatus;
        }
        if (walked[i].nStatus >= 0 && walked[i].nStatus < 3) nStatusCount[walked[i].nStatus]++;
    }
    EXPECT_EQ(nDiffer, 0u) << szWhat;
    // The generated data must reach every outcome, or the check proves little.
    if (!bEveryOutcome) return;
    EXPECT_GT(nStatusCount[ADDR_STATUS_SAME], 0) << szWhat;
    EXPECT_GT(nStatusCount[ADDR_STATUS_NEW], 0) << szWhat;
    EXPECT_GT(nStatusCount[ADDR_STATUS_DIFF], 0) << szWhat;
}

// The generated cases, each made into an address book list and an Outlook
// list from one seed.
const GeneratedCase kGeneratedCases[] = {
    {"large groups", "aA", 2, 2, true, {}, {}, 2500},
    {"small groups", "aAbBcC", 4, 1, false, {}, {}, 2500},
    {"dates in both lists", "aA", 2, 2, false, {1, 67}, {43, 66, 24}, 1500},
    {"repeated ids", "aAb", 2, 2, false, {37, 1, 37, 79}, {24, 8, 24}, 1500},
};

void GeneratePair(const GeneratedCase& c, CommAddrMgr* pWab, CommAddrMgr* pOl) {
    std::mt19937 rng(20261211);
    Generate(rng, c, pWab);
    Generate(rng, c, pOl);
}

TEST(CompareWith, IndexGivesTheWalksAnswersOnGeneratedRecords) {
    for (const GeneratedCase& c : kGeneratedCases) {
        CommAddrMgr wab;
        CommAddrMgr ol;
        GeneratePair(c, &wab, &ol);
        ExpectIndexAgreesWithWalk(wab, ol, c.szName, true);
        ExpectIndexAgreesWithWalk(ol, wab, c.szName, true);
        ExpectIndexAgreesWithWalk(wab, wab, c.szName, false);
    }
}

// The identity index answers every lookup as the walk does, for records of
// the other list and for the indexed list's own records.
TEST(CommAddrIndex, FindGivesFindAddrsAnswersOnGeneratedRecords) {
    for (const GeneratedCase& c : kGeneratedCases) {
        CommAddrMgr wab;
        CommAddrMgr ol;
        GeneratePair(c, &wab, &ol);
        const CommAddrIndex index(&ol);
        int nStatusCount[4] = {};
        for (CommAddrMgr* pFrom : {&wab, &ol}) {
            std::vector<CommAddr*> records;
            for (CommAddr* p = pFrom->GetFirst(); p; p = pFrom->GetNext()) records.push_back(p);
            for (CommAddr* pAddr : records) {
                CommAddr* pWalked = nullptr;
                CommAddr* pIndexed = nullptr;
                const int nWalked = ol.FindAddr(pAddr, &pWalked, nullptr);
                ASSERT_EQ(index.Find(pAddr, &pIndexed), nWalked) << c.szName;
                ASSERT_EQ(pIndexed, pWalked) << c.szName;
                nStatusCount[nWalked]++;
            }
        }
        EXPECT_GT(nStatusCount[ADDR_FOUND_SAME], 0) << c.szName;
        EXPECT_GT(nStatusCount[ADDR_NOT_FOUND], 0) << c.szName;
        EXPECT_GT(nStatusCount[ADDR_FOUND_DIFF], 0) << c.szName;
        EXPECT_EQ(index.Find(nullptr, nullptr), -1);
        EXPECT_EQ(CommAddrIndex(nullptr).Find(wab.GetFirst(), nullptr), ADDR_NOT_FOUND);
    }
}

}  // namespace
