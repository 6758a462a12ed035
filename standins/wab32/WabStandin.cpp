// The stand-in address book library: WABOpen and the objects it hands out,
// over an address book file (WabFile.h). Test controls: WabStandin.h.
#include "standins/wab32/WabStandin.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/wab/WabApi.h"
#include "standins/FailList.h"
#include "standins/wab32/WabFile.h"

#define WAB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// ---- Counters and failures -------------------------------------------------

std::atomic<long> g_nLiveObjects{0};
std::atomic<long> g_nBadFrees{0};
std::mutex g_Mutex;  // guards everything below
std::unordered_map<void*, std::vector<void*>> g_Buffers;  // buffer -> its AllocateMore blocks
std::map<std::string, long> g_CallCounts;

// The calls a test can make fail, and the forms each can be narrowed to.
const char* const kCallNames[] = {"wabopen",   "getpab",    "openentry",   "getcontentstable", "setcolumns",
                                  "seekrow",   "queryrows", "getprops",    "templates",        "createentry",
                                  "setprops",  "savechanges", "allocatebuffer", "allocatemore"};
const char* const kQualifiers[][2] = {{"openentry", "container"}, {"openentry", "read"},
                                      {"openentry", "mapi_modify"}, {"getprops", "entry"},
                                      {"getprops", "container"},    {"templates", "missing"},
                                      {"templates", "swapped"}};

bool IsKnownFail(const std::string& sName, const std::string& sQualifier) {
    for (const char* szName : kCallNames)
        if (sName == szName && sQualifier.empty()) return true;
    for (const auto& q : kQualifiers)
        if (sName == q[0] && sQualifier == q[1]) return true;
    return false;
}

CFailList g_FailList(IsKnownFail);

// Counts the call and tells whether it is to fail.
bool ShouldFail(const char* szCall, const char* szQualifier = "") {
    std::lock_guard<std::mutex> lock(g_Mutex);
    ++g_CallCounts[szCall];
    return g_FailList.Hit(szCall, {"", szQualifier}) >= 0;
}

// ---- Buffers -----------------------------------------------------------------

HRESULT AllocBuffer(ULONG cbSize, LPVOID* lppBuffer) {
    if (lppBuffer == nullptr) return MAPI_E_INVALID_PARAMETER;
    *lppBuffer = nullptr;
    if (ShouldFail("AllocateBuffer")) return MAPI_E_NOT_ENOUGH_MEMORY;
    void* p = calloc(1, cbSize == 0 ? 1 : cbSize);
    if (p == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
    std::lock_guard<std::mutex> lock(g_Mutex);
    g_Buffers[p];
    *lppBuffer = p;
    return S_OK;
}

HRESULT AllocMore(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer) {
    if (lppBuffer == nullptr) return MAPI_E_INVALID_PARAMETER;
    *lppBuffer = nullptr;
    if (ShouldFail("AllocateMore")) return MAPI_E_NOT_ENOUGH_MEMORY;
    std::lock_guard<std::mutex> lock(g_Mutex);
    auto it = g_Buffers.find(lpObject);
    if (it == g_Buffers.end()) return MAPI_E_INVALID_PARAMETER;
    void* p = calloc(1, cbSize == 0 ? 1 : cbSize);
    if (p == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
    it->second.push_back(p);
    *lppBuffer = p;
    return S_OK;
}

HRESULT FreeBuf(LPVOID lpBuffer) {
    std::lock_guard<std::mutex> lock(g_Mutex);
    ++g_CallCounts["FreeBuffer"];
    if (lpBuffer == nullptr) return S_OK;
    auto it = g_Buffers.find(lpBuffer);
    if (it == g_Buffers.end()) {
        ++g_nBadFrees;
        return MAPI_E_INVALID_PARAMETER;
    }
    for (void* p : it->second) free(p);
    free(it->first);
    g_Buffers.erase(it);
    return S_OK;
}

// A copy of props as one value array (strings and binaries allocated onto
// it), for GetProps and table rows.
HRESULT MakePropArray(const std::vector<CWabProp>& props, ULONG* lpcValues, LPSPropValue* lppArray) {
    LPVOID pArray = nullptr;
    HRESULT hr = AllocBuffer(ULONG(sizeof(SPropValue) * (props.empty() ? 1 : props.size())), &pArray);
    if (FAILED(hr)) return hr;
    LPSPropValue pValues = static_cast<LPSPropValue>(pArray);
    for (size_t i = 0; i < props.size(); ++i) {
        const CWabProp& prop = props[i];
        SPropValue& value = pValues[i];
        value.ulPropTag = prop.ulTag;
        switch (PROP_TYPE(prop.ulTag)) {
        case PT_STRING8:
        case PT_BINARY: {
            LPVOID pData = nullptr;
            hr = AllocMore(ULONG(prop.sText.size() + 1), pArray, &pData);
            if (FAILED(hr)) {
                FreeBuf(pArray);
                return hr;
            }
            memcpy(pData, prop.sText.data(), prop.sText.size());
            if (PROP_TYPE(prop.ulTag) == PT_STRING8) {
                value.Value.lpszA = static_cast<LPSTR>(pData);
            } else {
                value.Value.bin.cb = ULONG(prop.sText.size());
                value.Value.bin.lpb = static_cast<LPBYTE>(pData);
            }
            break;
        }
        case PT_SYSTIME:
            value.Value.ft.dwLowDateTime = DWORD(uint64_t(prop.nValue));
            value.Value.ft.dwHighDateTime = DWORD(uint64_t(prop.nValue) >> 32);
            break;
        case PT_ERROR:
            value.Value.err = SCODE(prop.nValue);
            break;
        default:
            value.Value.l = LONG(prop.nValue);
            break;
        }
    }
    *lpcValues = ULONG(props.size());
    *lppArray = pValues;
    return S_OK;
}

CWabProp ErrorProp(ULONG ulTag) {
    CWabProp prop;
    prop.ulTag = CHANGE_PROP_TYPE(ulTag, PT_ERROR);
    prop.nValue = MAPI_E_NOT_FOUND;
    return prop;
}

// The values asked for by lpTags (PT_UNSPECIFIED matches any type), missing
// ones as PT_ERROR; every value when lpTags is none.
HRESULT SelectProps(const std::vector<CWabProp>& all, LPSPropTagArray lpTags, ULONG* lpcValues,
                    LPSPropValue* lppArray) {
    if (lpcValues == nullptr || lppArray == nullptr) return MAPI_E_INVALID_PARAMETER;
    *lpcValues = 0;
    *lppArray = nullptr;
    if (lpTags == nullptr) return MakePropArray(all, lpcValues, lppArray);
    std::vector<CWabProp> chosen;
    bool bMissing = false;
    for (ULONG i = 0; i < lpTags->cValues; ++i) {
        ULONG ulTag = lpTags->aulPropTag[i];
        const CWabProp* pFound = nullptr;
        for (const CWabProp& prop : all)
            if (PROP_ID(prop.ulTag) == PROP_ID(ulTag) &&
                (PROP_TYPE(ulTag) == PT_UNSPECIFIED || PROP_TYPE(ulTag) == PROP_TYPE(prop.ulTag)))
                pFound = &prop;
        if (pFound != nullptr) {
            chosen.push_back(*pFound);
        } else {
            chosen.push_back(ErrorProp(ulTag));
            bMissing = true;
        }
    }
    HRESULT hr = MakePropArray(chosen, lpcValues, lppArray);
    return FAILED(hr) ? hr : bMissing ? MAPI_W_ERRORS_RETURNED : S_OK;
}

// ---- Identifiers -------------------------------------------------------------

// 4 flag bytes, "PWAB", a kind byte and 3 zero bytes, and a 64-bit number:
// the entry's row, or a template's object type.
enum IdKind { ID_NONE = 0, ID_CONTAINER = 1, ID_ENTRY = 2, ID_TEMPLATE = 3 };
const ULONG kIdSize = 20;

std::string MakeId(IdKind kind, int64_t nValue) {
    std::string s(kIdSize, '\0');
    memcpy(&s[4], "PWAB", 4);
    s[8] = char(kind);
    for (int i = 0; i < 8; ++i) s[12 + i] = char(uint64_t(nValue) >> (8 * i));
    return s;
}

IdKind ParseId(ULONG cb, const void* p, int64_t* pnValue) {
    *pnValue = 0;
    if (p == nullptr || cb != kIdSize) return ID_NONE;
    const unsigned char* pb = static_cast<const unsigned char*>(p);
    if (memcmp(pb + 4, "PWAB", 4) != 0 || pb[8] < ID_CONTAINER || pb[8] > ID_TEMPLATE) return ID_NONE;
    uint64_t n = 0;
    for (int i = 0; i < 8; ++i) n |= uint64_t(pb[12 + i]) << (8 * i);
    *pnValue = int64_t(n);
    return IdKind(pb[8]);
}

CWabProp BinaryProp(ULONG ulTag, const std::string& sBytes) {
    CWabProp prop;
    prop.ulTag = ulTag;
    prop.sText = sBytes;
    return prop;
}

CWabProp LongProp(ULONG ulTag, int64_t n) {
    CWabProp prop;
    prop.ulTag = ulTag;
    prop.nValue = n;
    return prop;
}

// ---- Objects -----------------------------------------------------------------

// One opened address book file, shared by every object made from it, so that
// objects outlive the IAddrBook and IWABObject that made them.
struct CSession {
    CWabFile file;
};
typedef std::shared_ptr<CSession> SessionPtr;

template <class I>
class CObject : public I {
public:
    explicit CObject(SessionPtr pSession) : m_pSession(std::move(pSession)) { ++g_nLiveObjects; }
    virtual ~CObject() { --g_nLiveObjects; }
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
        if (ppvObject == nullptr) return MAPI_E_INVALID_PARAMETER;
        *ppvObject = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
        AddRef();
        *ppvObject = static_cast<IUnknown*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return ++m_nRefs; }
    ULONG Release() override {
        ULONG n = --m_nRefs;
        if (n == 0) delete this;
        return n;
    }

protected:
    SessionPtr m_pSession;

private:
    std::atomic<ULONG> m_nRefs{1};
};

class CWabObject : public CObject<IWABObject> {
public:
    using CObject::CObject;
    HRESULT AllocateBuffer(ULONG cbSize, LPVOID* lppBuffer) override { return AllocBuffer(cbSize, lppBuffer); }
    HRESULT AllocateMore(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer) override {
        return AllocMore(cbSize, lpObject, lppBuffer);
    }
    HRESULT FreeBuffer(LPVOID lpBuffer) override { return FreeBuf(lpBuffer); }
};

// A mail user or distribution list, stored (m_nId) or new (m_bNew until its
// first save; any id read from the file, 0 included, is a stored entry).
// Values set are held here until SaveChanges writes them.
class CEntry : public CObject<IMailUser> {
public:
    CEntry(SessionPtr pSession, bool bNew, int64_t nId, ULONG ulObjType, bool bWritable, ULONG ulCreateFlags,
           std::vector<CWabProp> props)
        : CObject(std::move(pSession)),
          m_bNew(bNew),
          m_nId(nId),
          m_ulObjType(ulObjType),
          m_bWritable(bWritable),
          m_ulCreateFlags(ulCreateFlags),
          m_Props(std::move(props)) {}

    HRESULT GetProps(LPSPropTagArray lpPropTagArray, ULONG, ULONG* lpcValues, LPSPropValue* lppPropArray) override {
        if (lpcValues != nullptr) *lpcValues = 0;
        if (lppPropArray != nullptr) *lppPropArray = nullptr;
        if (ShouldFail("GetProps", "Entry")) return MAPI_E_CALL_FAILED;
        std::vector<CWabProp> all;
        if (!m_bNew) all.push_back(BinaryProp(PR_ENTRYID, MakeId(ID_ENTRY, m_nId)));
        all.push_back(LongProp(PR_OBJECT_TYPE, m_ulObjType));
        all.insert(all.end(), m_Props.begin(), m_Props.end());
        return SelectProps(all, lpPropTagArray, lpcValues, lppPropArray);
    }

    HRESULT SetProps(ULONG cValues, LPSPropValue lpPropArray, LPSPropProblemArray* lppProblems) override {
        if (lppProblems != nullptr) *lppProblems = nullptr;
        if (ShouldFail("SetProps")) return MAPI_E_CALL_FAILED;
        if (!m_bWritable) return MAPI_E_NO_ACCESS;
        if (cValues > 0 && lpPropArray == nullptr) return MAPI_E_INVALID_PARAMETER;
        std::vector<CWabProp> values;
        for (ULONG i = 0; i < cValues; ++i) {
            const SPropValue& value = lpPropArray[i];
            if (value.ulPropTag == PR_ENTRYID || value.ulPropTag == PR_OBJECT_TYPE) continue;  // computed
            CWabProp prop;
            prop.ulTag = value.ulPropTag;
            switch (PROP_TYPE(value.ulPropTag)) {
            case PT_STRING8:
                if (value.Value.lpszA == nullptr) return MAPI_E_INVALID_PARAMETER;
                prop.sText = value.Value.lpszA;
                break;
            case PT_BINARY:
                if (value.Value.bin.cb > 0 && value.Value.bin.lpb == nullptr) return MAPI_E_INVALID_PARAMETER;
                if (value.Value.bin.cb > 0)
                    prop.sText.assign(reinterpret_cast<const char*>(value.Value.bin.lpb), value.Value.bin.cb);
                break;
            case PT_SYSTIME:
                prop.nValue = int64_t((uint64_t(value.Value.ft.dwHighDateTime) << 32) | value.Value.ft.dwLowDateTime);
                break;
            case PT_LONG:
                prop.nValue = value.Value.l;
                break;
            default:
                return MAPI_E_INVALID_PARAMETER;
            }
            values.push_back(prop);
        }
        // Nothing is changed unless every value was acceptable.
        for (const CWabProp& prop : values) {
            bool bReplaced = false;
            for (CWabProp& old : m_Props)
                if (PROP_ID(old.ulTag) == PROP_ID(prop.ulTag)) {
                    old = prop;
                    bReplaced = true;
                }
            if (!bReplaced) m_Props.push_back(prop);
            m_Changed.insert(PROP_ID(prop.ulTag));
        }
        return S_OK;
    }

    HRESULT SaveChanges(ULONG) override {
        if (ShouldFail("SaveChanges")) return MAPI_E_CALL_FAILED;
        if (!m_bWritable) return MAPI_E_NO_ACCESS;
        if (!m_bNew && m_Changed.empty()) return S_OK;
        std::vector<CWabProp> changed;
        for (const CWabProp& prop : m_Props)
            if (m_Changed.count(PROP_ID(prop.ulTag))) changed.push_back(prop);
        int64_t nId = m_nId;
        bool bCheckDup = (m_ulCreateFlags & (CREATE_CHECK_DUP_LOOSE | CREATE_CHECK_DUP_STRICT)) != 0;
        switch (m_pSession->file.Save(&nId, m_bNew, m_ulObjType, changed, {}, bCheckDup)) {
        case CWabFile::SAVE_OK:
            m_nId = nId;
            m_bNew = false;
            m_Changed.clear();
            return S_OK;
        case CWabFile::SAVE_DUPLICATE:
            return MAPI_E_COLLISION;
        case CWabFile::SAVE_DELETED:
            return MAPI_E_OBJECT_DELETED;
        default:
            return MAPI_E_CALL_FAILED;
        }
    }

private:
    bool m_bNew;
    int64_t m_nId;
    ULONG m_ulObjType;
    bool m_bWritable;
    ULONG m_ulCreateFlags;
    std::vector<CWabProp> m_Props;
    std::set<ULONG> m_Changed;  // property identifiers set since the last save
};

class CTable : public CObject<IMAPITable> {
public:
    CTable(SessionPtr pSession, std::vector<CWabEntryRow> rows)
        : CObject(std::move(pSession)),
          m_Rows(std::move(rows)),
          m_Columns{PR_DISPLAY_NAME, PR_ENTRYID, PR_OBJECT_TYPE} {}

    HRESULT SetColumns(LPSPropTagArray lpPropTagArray, ULONG) override {
        if (ShouldFail("SetColumns")) return MAPI_E_CALL_FAILED;
        if (lpPropTagArray == nullptr || lpPropTagArray->cValues == 0) return MAPI_E_INVALID_PARAMETER;
        m_Columns.assign(lpPropTagArray->aulPropTag, lpPropTagArray->aulPropTag + lpPropTagArray->cValues);
        return S_OK;
    }

    HRESULT SeekRow(BOOKMARK bkOrigin, LONG lRowCount, LONG* lplRowsSought) override {
        if (lplRowsSought != nullptr) *lplRowsSought = 0;
        if (ShouldFail("SeekRow")) return MAPI_E_CALL_FAILED;
        long nFrom;
        switch (bkOrigin) {
        case BOOKMARK_BEGINNING: nFrom = 0; break;
        case BOOKMARK_CURRENT: nFrom = long(m_nPos); break;
        case BOOKMARK_END: nFrom = long(m_Rows.size()); break;
        default: return MAPI_E_INVALID_PARAMETER;
        }
        long nTo = nFrom + lRowCount;
        if (nTo < 0) nTo = 0;
        if (nTo > long(m_Rows.size())) nTo = long(m_Rows.size());
        if (lplRowsSought != nullptr) *lplRowsSought = LONG(nTo - nFrom);
        m_nPos = size_t(nTo);
        return S_OK;
    }

    HRESULT QueryRows(LONG lRowCount, ULONG, LPSRowSet* lppRows) override {
        if (lppRows == nullptr) return MAPI_E_INVALID_PARAMETER;
        *lppRows = nullptr;
        if (ShouldFail("QueryRows")) return MAPI_E_CALL_FAILED;
        if (lRowCount <= 0) return MAPI_E_INVALID_PARAMETER;
        size_t nCount = std::min(size_t(lRowCount), m_Rows.size() - m_nPos);
        LPVOID pSet = nullptr;
        HRESULT hr = AllocBuffer(ULONG(offsetof(SRowSet, aRow) + sizeof(SRow) * (nCount ? nCount : 1)), &pSet);
        if (FAILED(hr)) return hr;
        LPSRowSet pRows = static_cast<LPSRowSet>(pSet);
        for (size_t i = 0; i < nCount; ++i) {
            std::vector<CWabProp> values;
            hr = RowValues(m_Rows[m_nPos + i], values);
            if (SUCCEEDED(hr)) hr = MakePropArray(values, &pRows->aRow[i].cValues, &pRows->aRow[i].lpProps);
            if (FAILED(hr)) {
                for (size_t j = 0; j < i; ++j) FreeBuf(pRows->aRow[j].lpProps);
                FreeBuf(pSet);
                return hr;
            }
            pRows->cRows = ULONG(i + 1);
        }
        m_nPos += nCount;
        *lppRows = pRows;
        return S_OK;
    }

private:
    HRESULT RowValues(const CWabEntryRow& row, std::vector<CWabProp>& values) {
        std::vector<CWabProp> stored;
        if (!m_pSession->file.LoadProps(row.nId, stored))
            return m_pSession->file.Damaged() ? MAPI_E_CORRUPT_DATA : MAPI_E_CALL_FAILED;
        stored.push_back(BinaryProp(PR_ENTRYID, MakeId(ID_ENTRY, row.nId)));
        stored.push_back(LongProp(PR_OBJECT_TYPE, row.ulObjType));
        for (ULONG ulTag : m_Columns) {
            const CWabProp* pFound = nullptr;
            for (const CWabProp& prop : stored)
                if (PROP_ID(prop.ulTag) == PROP_ID(ulTag) &&
                    (PROP_TYPE(ulTag) == PT_UNSPECIFIED || PROP_TYPE(ulTag) == PROP_TYPE(prop.ulTag)))
                    pFound = &prop;
            values.push_back(pFound != nullptr ? *pFound : ErrorProp(ulTag));
        }
        return S_OK;
    }

    std::vector<CWabEntryRow> m_Rows;  // the entries when the table was made
    std::vector<ULONG> m_Columns;
    size_t m_nPos = 0;
};

// The personal address book, the one container of a file.
class CContainer : public CObject<IABContainer> {
public:
    using CObject::CObject;

    HRESULT GetProps(LPSPropTagArray lpPropTagArray, ULONG, ULONG* lpcValues, LPSPropValue* lppPropArray) override {
        if (lpcValues != nullptr) *lpcValues = 0;
        if (lppPropArray != nullptr) *lppPropArray = nullptr;
        if (ShouldFail("GetProps", "Container")) return MAPI_E_CALL_FAILED;
        std::vector<CWabProp> all;
        all.push_back(LongProp(PR_OBJECT_TYPE, MAPI_ABCONT));
        all.push_back(BinaryProp(PR_ENTRYID, MakeId(ID_CONTAINER, 0)));
        CWabProp name;
        name.ulTag = PR_DISPLAY_NAME;
        name.sText = "Contacts";
        all.push_back(name);
        if (!ShouldFail("Templates", "Missing")) {
            all.push_back(BinaryProp(PR_DEF_CREATE_DL, MakeId(ID_TEMPLATE, MAPI_DISTLIST)));
            all.push_back(BinaryProp(PR_DEF_CREATE_MAILUSER, MakeId(ID_TEMPLATE, MAPI_MAILUSER)));
        }
        HRESULT hr = SelectProps(all, lpPropTagArray, lpcValues, lppPropArray);
        if (SUCCEEDED(hr) && ShouldFail("Templates", "Swapped")) {
            LPSPropValue pValues = *lppPropArray;
            for (ULONG i = 0; i < *lpcValues; ++i)
                if (pValues[i].ulPropTag == PR_DEF_CREATE_MAILUSER)
                    for (ULONG j = 0; j < *lpcValues; ++j)
                        if (pValues[j].ulPropTag == PR_DEF_CREATE_DL) {
                            std::swap(pValues[i], pValues[j]);
                            return hr;
                        }
        }
        return hr;
    }

    HRESULT SetProps(ULONG, LPSPropValue, LPSPropProblemArray* lppProblems) override {
        if (lppProblems != nullptr) *lppProblems = nullptr;
        return MAPI_E_NO_ACCESS;
    }
    HRESULT SaveChanges(ULONG) override { return MAPI_E_NO_ACCESS; }

    HRESULT GetContentsTable(ULONG, LPMAPITABLE* lppTable) override {
        if (lppTable == nullptr) return MAPI_E_INVALID_PARAMETER;
        *lppTable = nullptr;
        if (ShouldFail("GetContentsTable")) return MAPI_E_CALL_FAILED;
        std::vector<CWabEntryRow> rows;
        if (!m_pSession->file.ListEntries(rows))
            return m_pSession->file.Damaged() ? MAPI_E_CORRUPT_DATA : MAPI_E_CALL_FAILED;
        *lppTable = new CTable(m_pSession, std::move(rows));
        return S_OK;
    }

    HRESULT CreateEntry(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulCreateFlags,
                        LPMAPIPROP* lppMAPIPropEntry) override {
        if (lppMAPIPropEntry == nullptr) return MAPI_E_INVALID_PARAMETER;
        *lppMAPIPropEntry = nullptr;
        if (ShouldFail("CreateEntry")) return MAPI_E_CALL_FAILED;
        int64_t nType = 0;
        if (ParseId(cbEntryID, lpEntryID, &nType) != ID_TEMPLATE ||
            (nType != MAPI_MAILUSER && nType != MAPI_DISTLIST))
            return MAPI_E_INVALID_ENTRYID;
        *lppMAPIPropEntry = new CEntry(m_pSession, true, 0, ULONG(nType), true, ulCreateFlags, {});
        return S_OK;
    }
};

class CAddrBook : public CObject<IAddrBook> {
public:
    using CObject::CObject;

    HRESULT OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID, ULONG ulFlags, ULONG* lpulObjType,
                      LPUNKNOWN* lppUnk) override {
        if (lpulObjType != nullptr) *lpulObjType = 0;
        if (lppUnk == nullptr) return MAPI_E_INVALID_PARAMETER;
        *lppUnk = nullptr;
        int64_t nValue = 0;
        IdKind kind = (cbEntryID == 0 || lpEntryID == nullptr) ? ID_CONTAINER
                                                               : ParseId(cbEntryID, lpEntryID, &nValue);
        const char* szQualifier = kind == ID_CONTAINER         ? "Container"
                                  : (ulFlags & MAPI_MODIFY) != 0 ? "MAPI_MODIFY"
                                                                 : "Read";
        if (ShouldFail("OpenEntry", szQualifier)) return MAPI_E_NOT_FOUND;
        if (kind == ID_CONTAINER) {
            if (lpulObjType != nullptr) *lpulObjType = MAPI_ABCONT;
            *lppUnk = static_cast<IABContainer*>(new CContainer(m_pSession));
            return S_OK;
        }
        if (kind != ID_ENTRY) return MAPI_E_UNKNOWN_ENTRYID;
        ULONG ulType = 0;
        bool bExists = false;
        std::vector<CWabProp> props;
        if (!m_pSession->file.GetEntryType(nValue, &ulType, &bExists)) return MAPI_E_CALL_FAILED;
        if (!bExists) return MAPI_E_NOT_FOUND;
        if (!m_pSession->file.LoadProps(nValue, props)) return MAPI_E_CALL_FAILED;
        if (lpulObjType != nullptr) *lpulObjType = ulType;
        *lppUnk = static_cast<IMailUser*>(
            new CEntry(m_pSession, false, nValue, ulType, (ulFlags & MAPI_MODIFY) != 0, 0, std::move(props)));
        return S_OK;
    }

    HRESULT GetPAB(ULONG* lpcbEntryID, LPENTRYID* lppEntryID) override {
        if (lpcbEntryID == nullptr || lppEntryID == nullptr) return MAPI_E_INVALID_PARAMETER;
        *lpcbEntryID = 0;
        *lppEntryID = nullptr;
        if (ShouldFail("GetPAB")) return MAPI_E_CALL_FAILED;
        std::string sId = MakeId(ID_CONTAINER, 0);
        LPVOID p = nullptr;
        HRESULT hr = AllocBuffer(ULONG(sId.size()), &p);
        if (FAILED(hr)) return hr;
        memcpy(p, sId.data(), sId.size());
        *lpcbEntryID = ULONG(sId.size());
        *lppEntryID = static_cast<LPENTRYID>(p);
        return S_OK;
    }
};

}  // namespace

WAB_EXPORT HRESULT WABOpen(LPADRBOOK* lppAdrBook, LPWABOBJECT* lppWABObject, LPWAB_PARAM lpWP, DWORD) {
    if (lppAdrBook != nullptr) *lppAdrBook = nullptr;
    if (lppWABObject != nullptr) *lppWABObject = nullptr;
    if (const char* szFail = getenv("PELLMARK_WAB_FAIL")) {
        if (WabStandinSetFail(szFail) != 0) return MAPI_E_INVALID_PARAMETER;
    }
    if (lppAdrBook == nullptr || lppWABObject == nullptr) return MAPI_E_INVALID_PARAMETER;
    if (ShouldFail("WABOpen")) return MAPI_E_CALL_FAILED;

    // A block too short to hold a file name asks for the default book.
    std::string sFile;
    if (lpWP != nullptr && lpWP->cbSize >= offsetof(WAB_PARAM, szFileName) + sizeof(LPSTR) &&
        lpWP->szFileName != nullptr)
        sFile = lpWP->szFileName;
    if (sFile.empty()) {
        sFile = CWabFile::DefaultPath();
        if (sFile.empty() || !CWabFile::MakeParentFolders(sFile)) return MAPI_E_NO_ACCESS;
    }

    SessionPtr pSession = std::make_shared<CSession>();
    switch (pSession->file.Open(sFile, true)) {
    case CWabFile::OPEN_OK: break;
    case CWabFile::OPEN_NOT_OURS:
    case CWabFile::OPEN_DAMAGED: return MAPI_E_CORRUPT_DATA;
    default: return MAPI_E_CALL_FAILED;
    }
    *lppAdrBook = new CAddrBook(pSession);
    *lppWABObject = new CWabObject(pSession);
    return S_OK;
}

WAB_EXPORT long WabStandinLiveObjects(void) { return g_nLiveObjects; }

WAB_EXPORT long WabStandinOutstandingBuffers(void) {
    std::lock_guard<std::mutex> lock(g_Mutex);
    return long(g_Buffers.size());
}

WAB_EXPORT long WabStandinBadFrees(void) { return g_nBadFrees; }

WAB_EXPORT long WabStandinCallCount(const char* szCall) {
    std::lock_guard<std::mutex> lock(g_Mutex);
    auto it = g_CallCounts.find(szCall != nullptr ? szCall : "");
    return it != g_CallCounts.end() ? it->second : 0;
}

WAB_EXPORT int WabStandinSetFail(const char* szCalls) {
    std::lock_guard<std::mutex> lock(g_Mutex);
    return g_FailList.Set(szCalls) ? 0 : -1;
}
