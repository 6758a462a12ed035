#include "common/model/CommAddrMgr.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/misc/CxDateTime.h"
#include "platform/win32/TextCopy.h"

// Identity: first name, last name, e-mail.
static const DWORD s_nDefaultKeyFields[] = {FIELD_ID_FIRST_NAME, FIELD_ID_LAST_NAME, FIELD_ID_EMAIL};

// Content: phones, e-mail, faxes, company, title, the three addresses, note.
static const DWORD s_nDefaultCmpFields[] = {24, 25, 26, 37, 34, 35, 53, 55, 13, 11, 12, 10,
                                            9,  18, 16, 17, 15, 14, 23, 21, 22, 20, 19, 43};

static const char* const s_szSourceTypeNames[] = {
    "Palm",  "Palm(4.1.2 and aboves)", "Outlook", "Windows Address Book", "MSN",
    "ICQ",   "Yahoo",                  "Google",  "Domino",               "Endora",
    "CSV",   "XML",                    "VCard",   "Database",             "Kestrelbook",
};

namespace {

enum FieldCompareKind { COMPARE_NONE, COMPARE_TEXT, COMPARE_DATE };

// How FieldsEqual compares a field id.
FieldCompareKind CompareKindOf(DWORD nFieldId) {
    if ((nFieldId >= 1 && nFieldId <= 7) || (nFieldId >= 9 && nFieldId <= 61) || nFieldId == 65 ||
        (nFieldId >= 68 && nFieldId <= 70) || (nFieldId >= 82 && nFieldId <= 90))
        return COMPARE_TEXT;
    if (nFieldId == FIELD_ID_ANNIVERSARY || nFieldId == FIELD_ID_BIRTHDAY) return COMPARE_DATE;
    return COMPARE_NONE;
}

// Whether GetFieldText copies the member text for this id.
bool IsCopiedText(int nFieldId) {
    if (nFieldId == 38 || nFieldId == 39 || nFieldId == 61 || nFieldId == 62 || nFieldId == 80) return false;
    return (nFieldId >= 1 && nFieldId <= 7) || (nFieldId >= 9 && nFieldId <= 65) ||
           (nFieldId >= 68 && nFieldId <= 75) || (nFieldId >= 82 && nFieldId <= 90);
}

// A text of at most n bytes: it ends at its NUL or after n bytes, so a
// member is never read past its width even when a writer left it
// unterminated.
struct TextSpan {
    const char* p;
    size_t n;
};

inline char At(TextSpan t, size_t i) { return i < t.n ? t.p[i] : '\0'; }

TextSpan MemberText(const CommAddr* pAddr, DWORD nFieldId) {
    const char* p = static_cast<const char*>(GetFieldMember(pAddr, static_cast<int>(nFieldId)));
    return TextSpan{p, static_cast<size_t>(CommAddrFieldTable[nFieldId - 1].nSize)};
}

double MemberDate(const CommAddr* pAddr, DWORD nFieldId) {
    double dt;
    memcpy(&dt, GetFieldMember(pAddr, static_cast<int>(nFieldId)), sizeof(dt));
    return dt;
}

inline bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// The C locale's toupper: only a to z change.
inline char UpperC(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The text comparison of CompareText.
int CompareSpans(TextSpan a, TextSpan b, bool bCaseSensitive) {
    size_t i = 0;
    size_t j = 0;
    while (At(a, i) != '\0' && At(b, j) != '\0') {
        while (IsLineBreak(At(a, i))) ++i;
        while (IsLineBreak(At(b, j))) ++j;
        char ca = At(a, i);
        char cb = At(b, j);
        if (!bCaseSensitive) {
            ca = UpperC(ca);
            cb = UpperC(cb);
        }
        const signed char sa = static_cast<signed char>(ca);
        const signed char sb = static_cast<signed char>(cb);
        if (sa > sb) return 1;
        if (sa < sb) return -1;
        if (ca == '\0') return 0;
        ++i;
        ++j;
    }
    if (At(a, i) != '\0') return 1;
    if (At(b, j) != '\0') return -1;
    return 0;
}

// Appends the form of a text under which two texts are equal exactly when
// CompareSpans gives 0: the characters other than CR and LF (upper-cased
// unless case counts), a NUL, and whether the text ends in a line break.
//
// Why: write a text as R0 c1 R1 ... ck Rk with runs Ri of CR/LF. The
// comparison pairs c1.., c2.. in turn, so any difference in k or in a pair
// ends it with non-zero. With equal k and pairs it reaches the position
// after ck in both: if both Rk are non-empty it skips them and meets NUL
// twice (0); if both are empty the loop ends with nothing left (0); if only
// one is empty that text has ended and the other still has characters
// (non-zero). Equality of these forms is an equivalence, as an index needs.
void AppendTextKey(std::string& sKey, TextSpan t, bool bCaseSensitive) {
    char cLast = '\0';
    for (size_t i = 0; At(t, i) != '\0'; ++i) {
        cLast = t.p[i];
        if (IsLineBreak(cLast)) continue;
        sKey.push_back(bCaseSensitive ? cLast : UpperC(cLast));
    }
    sKey.push_back('\0');
    sKey.push_back(IsLineBreak(cLast) ? '1' : '0');
}

// A key that equals no other record's: for records that cannot agree with
// any record on the fields (a NaN date, an empty field list).
void SetUniqueKey(std::string& sKey, const CommAddr* pAddr) {
    sKey.assign(1, '\x01');
    sKey.append(reinterpret_cast<const char*>(&pAddr), sizeof(pAddr));
}

// The key of a record over a field list: two records get the same key
// exactly when FieldsEqual holds for them with this list.
void MakeFieldsKey(std::string& sKey, const CommAddr* pAddr, const DWORD* pnFields, DWORD nCount,
                   bool bCaseSensitive) {
    sKey.assign(1, '\x02');
    if (nCount == 0) {
        SetUniqueKey(sKey, pAddr);
        return;
    }
    for (DWORD k = 0; k < nCount; ++k) {
        switch (CompareKindOf(pnFields[k])) {
        case COMPARE_TEXT:
            AppendTextKey(sKey, MemberText(pAddr, pnFields[k]), bCaseSensitive);
            break;
        case COMPARE_DATE: {
            double dt = MemberDate(pAddr, pnFields[k]);
            if (std::isnan(dt)) {
                SetUniqueKey(sKey, pAddr);
                return;
            }
            if (dt == 0.0) dt = 0.0;  // -0.0 equals 0.0
            sKey.append(reinterpret_cast<const char*>(&dt), sizeof(dt));
            break;
        }
        case COMPARE_NONE:
            break;
        }
    }
}

}  // namespace

CommAddrMgr::CommAddrMgr()
    : m_pList(new CxList), m_nKeyField{}, m_nKeyFieldCount(0), m_nCmpField{}, m_nCmpFieldCount(0),
      m_bCaseSensitive(0) {
    SetKeyFields(nullptr, 0);
    SetCompareFields(nullptr, 0);
}

CommAddrMgr::~CommAddrMgr() {
    RemoveAll();
    delete m_pList;
}

void CommAddrMgr::RemoveAll() {
    for (CommAddr* p = GetFirst(); p != nullptr; p = GetNext()) FreeAddr(p);
    m_pList->RemoveAll();
}

CommAddr* CommAddrMgr::AddCopy(const CommAddr* pAddr) {
    if (pAddr == nullptr) return nullptr;
    CommAddr* pCopy = new (std::nothrow) CommAddr;
    if (pCopy == nullptr) return nullptr;
    memcpy(pCopy, pAddr, sizeof(CommAddr));
    if (pAddr->pSideData != nullptr && pAddr->nSideDataSize != 0) {
        pCopy->pSideData = malloc(pAddr->nSideDataSize);
        if (pCopy->pSideData != nullptr) {
            memcpy(pCopy->pSideData, pAddr->pSideData, pAddr->nSideDataSize);
        } else {
            pCopy->nSideDataSize = 0;
        }
    }
    if (!m_pList->Add(pCopy)) {
        free(pCopy->pSideData);
        delete pCopy;
        return nullptr;
    }
    return pCopy;
}

void CommAddrMgr::FreeAddr(CommAddr* pAddr) {
    if (pAddr == nullptr) return;
    if (pAddr->pSideData != nullptr && pAddr->nSideDataSize != 0) free(pAddr->pSideData);
    delete pAddr;
}

CommAddr* CommAddrMgr::GetFirst() { return static_cast<CommAddr*>(m_pList->GetFirst()); }

CommAddr* CommAddrMgr::GetNext() { return static_cast<CommAddr*>(m_pList->GetNext()); }

int CommAddrMgr::FindAddr(const CommAddr* pAddr, CommAddr** ppFound, int* pnPos) {
    if (pAddr == nullptr) return -1;
    int nPos = 0;
    int nResult = ADDR_NOT_FOUND;
    int nSavedPos = -1;
    for (CommAddr* q = GetFirst(); q != nullptr; q = GetNext(), ++nPos) {
        if (q == pAddr) {
            if (ppFound) *ppFound = q;
            if (pnPos) *pnPos = nPos;
            return ADDR_FOUND_SAME;
        }
        if (IsSameContact(pAddr, q)) {
            if (ppFound) *ppFound = q;
            if (IsSameContent(pAddr, q)) {
                if (pnPos) *pnPos = nPos;
                return ADDR_FOUND_SAME;
            }
            nResult = ADDR_FOUND_DIFF;
            nSavedPos = nPos;
        }
    }
    if (pnPos) *pnPos = nSavedPos >= 0 ? nSavedPos : nPos;
    return nResult;
}

static void MarkRecord(CommAddr* pAddr, int nResult, CommAddr* pFound) {
    if (nResult == ADDR_NOT_FOUND) {
        pAddr->nStatus = ADDR_STATUS_NEW;
    } else if (nResult == ADDR_FOUND_DIFF) {
        pAddr->nStatus = ADDR_STATUS_DIFF;
    } else {
        pAddr->nStatus = ADDR_STATUS_SAME;
    }
    pAddr->pMatch = pFound;
}

// The records of a list in order, taken before marking so that comparing a
// manager with itself does not disturb the iteration.
static std::vector<CommAddr*> Snapshot(CommAddrMgr* pMgr) {
    std::vector<CommAddr*> records;
    records.reserve(pMgr->GetCount());
    for (CommAddr* p = pMgr->GetFirst(); p != nullptr; p = pMgr->GetNext()) records.push_back(p);
    return records;
}

namespace {

// The other list's records that share one identity, in list order. A large
// group also gets an index by content, built on first use.
struct IdentityGroup {
    std::vector<CommAddr*> members;
    std::unordered_map<std::string, size_t> firstByContent;  // content key -> first member
    bool bContentIndexed = false;
};

// Up to this many members a group is scanned with IsSameContent.
const size_t s_nScanLimit = 8;

}  // namespace

bool CommAddrMgr::CompareWith(CommAddrMgr* pOther) {
    if (pOther == nullptr) return false;
    // FindAddr of pOther decides with pOther's lists and case rule. Among the
    // records of one identity the walk stops at the first that is the record
    // itself or has equal content, else reports the last; so the first
    // content match (the record itself has its own content key) or the last
    // member gives the same answer.
    const bool bCase = pOther->m_bCaseSensitive != 0;
    std::unordered_map<std::string, IdentityGroup> groups;
    groups.reserve(pOther->GetCount());
    std::string sKey;
    for (CommAddr* q : Snapshot(pOther)) {
        MakeFieldsKey(sKey, q, pOther->m_nKeyField, pOther->m_nKeyFieldCount, bCase);
        groups[sKey].members.push_back(q);
    }

    std::string sContent;
    for (CommAddr* pAddr : Snapshot(this)) {
        MakeFieldsKey(sKey, pAddr, pOther->m_nKeyField, pOther->m_nKeyFieldCount, bCase);
        auto it = groups.find(sKey);
        if (it == groups.end()) {
            MarkRecord(pAddr, ADDR_NOT_FOUND, nullptr);
            continue;
        }
        IdentityGroup& group = it->second;
        CommAddr* pSame = nullptr;
        if (group.members.size() <= s_nScanLimit) {
            for (CommAddr* q : group.members) {
                if (q == pAddr || pOther->IsSameContent(pAddr, q)) {
                    pSame = q;
                    break;
                }
            }
        } else {
            if (!group.bContentIndexed) {
                for (size_t i = 0; i < group.members.size(); ++i) {
                    MakeFieldsKey(sContent, group.members[i], pOther->m_nCmpField, pOther->m_nCmpFieldCount, bCase);
                    group.firstByContent.emplace(sContent, i);
                }
                group.bContentIndexed = true;
            }
            MakeFieldsKey(sContent, pAddr, pOther->m_nCmpField, pOther->m_nCmpFieldCount, bCase);
            auto found = group.firstByContent.find(sContent);
            if (found != group.firstByContent.end()) pSame = group.members[found->second];
        }
        if (pSame != nullptr) {
            MarkRecord(pAddr, ADDR_FOUND_SAME, pSame);
        } else {
            MarkRecord(pAddr, ADDR_FOUND_DIFF, group.members.back());
        }
    }
    return true;
}

// Copies a field list (at most 90 ids) into pnDst, or the default list when
// none or an empty one is given; returns the count installed.
template <size_t N>
static DWORD InstallFields(DWORD* pnDst, const DWORD* pnFields, DWORD nCount, const DWORD (&nDefault)[N]) {
    if (pnFields == nullptr || nCount == 0) {
        pnFields = nDefault;
        nCount = static_cast<DWORD>(N);
    }
    if (nCount > COMMADDR_FIELD_COUNT) nCount = COMMADDR_FIELD_COUNT;
    memcpy(pnDst, pnFields, nCount * sizeof(DWORD));
    return nCount;
}

void CommAddrMgr::SetKeyFields(const DWORD* pnFields, DWORD nCount) {
    m_nKeyFieldCount = InstallFields(m_nKeyField, pnFields, nCount, s_nDefaultKeyFields);
}

void CommAddrMgr::SetCompareFields(const DWORD* pnFields, DWORD nCount) {
    m_nCmpFieldCount = InstallFields(m_nCmpField, pnFields, nCount, s_nDefaultCmpFields);
}

void CommAddrMgr::MakeContactKey(const CommAddr* pAddr, std::string* psKey) const {
    if (psKey == nullptr) return;
    MakeFieldsKey(*psKey, pAddr, m_nKeyField, m_nKeyFieldCount, m_bCaseSensitive != 0);
}

bool CommAddrMgr::IsSameContact(const CommAddr* pA, const CommAddr* pB) const {
    return FieldsEqual(pA, pB, m_nKeyField, m_nKeyFieldCount);
}

bool CommAddrMgr::IsSameContent(const CommAddr* pA, const CommAddr* pB) const {
    return FieldsEqual(pA, pB, m_nCmpField, m_nCmpFieldCount);
}

bool CommAddrMgr::FieldsEqual(const CommAddr* pA, const CommAddr* pB, const DWORD* pnFields, DWORD nCount) const {
    if (pA == nullptr || pB == nullptr || pnFields == nullptr || nCount == 0) return false;
    const bool bCase = m_bCaseSensitive != 0;
    for (DWORD k = 0; k < nCount; ++k) {
        const DWORD nId = pnFields[k];
        switch (CompareKindOf(nId)) {
        case COMPARE_TEXT:
            if (CompareSpans(MemberText(pA, nId), MemberText(pB, nId), bCase) != 0) return false;
            break;
        case COMPARE_DATE:
            if (!(MemberDate(pA, nId) == MemberDate(pB, nId))) return false;
            break;
        case COMPARE_NONE:
            break;
        }
    }
    return true;
}

int CommAddrMgr::CompareText(const char* szA, const char* szB) const {
    if (szA == nullptr || szB == nullptr) return -1;
    return CompareSpans(TextSpan{szA, SIZE_MAX}, TextSpan{szB, SIZE_MAX}, m_bCaseSensitive != 0);
}

bool CommAddrMgr::GetFieldInfo(int nFieldId, CommAddrField* pField) {
    if (pField == nullptr) return false;
    for (const CommAddrField& row : CommAddrFieldTable) {
        if (row.nFieldId == nFieldId) {
            *pField = row;
            return true;
        }
    }
    return false;
}

bool CommAddrMgr::GetFieldText(const CommAddr* pAddr, const CommAddrField* pField, char* szBuf, DWORD nBufLen) {
    if (pAddr == nullptr || pField == nullptr || szBuf == nullptr) return false;
    if (nBufLen <= static_cast<DWORD>(pField->nSize)) return false;
    szBuf[0] = '\0';
    szBuf[nBufLen - 1] = '\0';
    const int nId = pField->nFieldId;
    if (IsCopiedText(nId)) {
        const TextSpan t = MemberText(pAddr, static_cast<DWORD>(nId));
        CopyTextN(szBuf, nBufLen, t.p, strnlen(t.p, t.n));
        return true;
    }
    switch (nId) {
    case FIELD_ID_GENDER:
        return true;
    case FIELD_ID_ANNIVERSARY:
    case FIELD_ID_BIRTHDAY:
    case FIELD_ID_CREATION_TIME:
    case FIELD_ID_LAST_MODIFICATION_TIME: {
        CxDateTime dt;
        dt.SetVariantTime(MemberDate(pAddr, static_cast<DWORD>(nId)));
        dt.FormatDateTime(szBuf, nBufLen);
        return true;
    }
    case FIELD_ID_SOURCE_TYPE:
        if (pAddr->nSourceType < 1 || pAddr->nSourceType > 15) return false;
        CopyText(szBuf, nBufLen, s_szSourceTypeNames[pAddr->nSourceType - 1]);
        return true;
    default:
        return false;
    }
}
