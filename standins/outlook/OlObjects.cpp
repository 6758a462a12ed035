#include "standins/outlook/OlObjects.h"

#include <atomic>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "standins/outlook/OlFailures.h"
#include "standins/outlook/OlStore.h"

const CLSID CLSID_OlStandinApplication = {0x0006F03A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

enum OlMemberType { OL_METHOD, OL_GET_TEXT, OL_GET_DATE, OL_GET_LONG, OL_GET_OBJECT };

struct OlMember {
    std::string sName;
    OlMemberType nType;
    bool bWritable;
};

// The members of one kind of object; a member's DISPID is its index + 1.
class OlMemberTable {
public:
    void Add(const std::string& sName, OlMemberType nType, bool bWritable = false) {
        m_Members.push_back({sName, nType, bWritable});
        m_Index[Lower(sName)] = (DISPID)m_Members.size();
    }
    DISPID Find(const std::string& sLowerName) const {
        auto it = m_Index.find(sLowerName);
        return it == m_Index.end() ? DISPID_UNKNOWN : it->second;
    }
    const OlMember* Get(DISPID id) const {
        return id >= 1 && (size_t)id <= m_Members.size() ? &m_Members[(size_t)id - 1] : nullptr;
    }
    static std::string Lower(std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
        return s;
    }

private:
    std::vector<OlMember> m_Members;
    std::unordered_map<std::string, DISPID> m_Index;
};

// A member name as lower-case ASCII; false for anything else, which no
// member is called.
bool LowerAsciiName(LPCOLESTR psz, std::string* ps) {
    if (psz == nullptr) return false;
    ps->clear();
    for (; *psz != 0; ++psz) {
        if (*psz >= 0x80) return false;
        char c = (char)*psz;
        ps->push_back(c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c);
    }
    return !ps->empty();
}

HRESULT FailureCode(EXCEPINFO* pExcepInfo) {
    if (pExcepInfo != nullptr) {
        *pExcepInfo = EXCEPINFO();
        pExcepInfo->bstrSource = SysAllocString(u"Outlook stand-in");
        pExcepInfo->bstrDescription = SysAllocString(u"The operation failed.");
        pExcepInfo->scode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
}

void SetText(VARIANT* pv, const std::u16string& s) {
    pv->vt = VT_BSTR;
    pv->bstrVal = SysAllocStringLen(s.data(), (UINT)s.size());
}

// The argument (automation order: 0 is the last) as a 32-bit integer; a
// reference to one is followed.
HRESULT ArgLong(DISPPARAMS* pParams, UINT nIndex, long* pn, UINT* puArgErr) {
    const VARIANT& v = pParams->rgvarg[nIndex];
    if (v.vt == VT_I4) {
        *pn = v.lVal;
        return S_OK;
    }
    if (v.vt == (VT_I4 | VT_BYREF) && v.byref != nullptr) {
        *pn = *static_cast<LONG*>(v.byref);
        return S_OK;
    }
    if (puArgErr != nullptr) *puArgErr = nIndex;
    return DISP_E_TYPEMISMATCH;
}

HRESULT ArgText(DISPPARAMS* pParams, UINT nIndex, std::u16string* ps, UINT* puArgErr) {
    const VARIANT& v = pParams->rgvarg[nIndex];
    BSTR b = nullptr;
    if (v.vt == VT_BSTR)
        b = v.bstrVal;
    else if (v.vt == (VT_BSTR | VT_BYREF) && v.byref != nullptr)
        b = *static_cast<BSTR*>(v.byref);
    else {
        if (puArgErr != nullptr) *puArgErr = nIndex;
        return DISP_E_TYPEMISMATCH;
    }
    ps->assign(b != nullptr ? b : u"", SysStringLen(b));
    return S_OK;
}

// Common IUnknown and IDispatch work of every stand-in object: reference
// counting, the live-object count, name lookup, argument checks and the
// failures a test asked for. Subclasses supply the members.
class OlDispatch : public IDispatch {
public:
    explicit OlDispatch(const char* szKind) : m_szKind(szKind) { OlObjectCreated(); }
    virtual ~OlDispatch() { OlObjectDestroyed(m_szKind); }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        *ppv = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++m_nRef; }
    ULONG Release() override {
        ULONG n = --m_nRef;
        if (n == 0) delete this;
        return n;
    }

    HRESULT GetTypeInfoCount(UINT* pctinfo) override {
        if (pctinfo == nullptr) return E_POINTER;
        *pctinfo = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
        if (ppTInfo != nullptr) *ppTInfo = nullptr;
        return DISP_E_BADINDEX;
    }

    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) override {
        OlCountCall("GetIDsOfNames");
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        if (rgszNames == nullptr || rgDispId == nullptr || cNames == 0) return E_INVALIDARG;
        // Named arguments are not offered, so only the member name can resolve.
        for (UINT i = 1; i < cNames; ++i) rgDispId[i] = DISPID_UNKNOWN;
        std::string sName;
        rgDispId[0] = LowerAsciiName(rgszNames[0], &sName) ? Table().Find(sName) : DISPID_UNKNOWN;
        return rgDispId[0] == DISPID_UNKNOWN || cNames > 1 ? DISP_E_UNKNOWNNAME : S_OK;
    }

    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        const OlMember* pMember = Table().Get(dispIdMember);
        if (pMember == nullptr) return DISP_E_MEMBERNOTFOUND;
        OlCountCall(pMember->sName);
        DISPPARAMS noParams = {nullptr, nullptr, 0, 0};
        DISPPARAMS* pParams = pDispParams != nullptr ? pDispParams : &noParams;
        if (pParams->cArgs > 0 && pParams->rgvarg == nullptr) return E_INVALIDARG;
        bool bPut = (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;

        if (bPut) {
            if (pMember->nType == OL_METHOD || !pMember->bWritable) return DISP_E_MEMBERNOTFOUND;
            if (pParams->cNamedArgs != 1 || pParams->rgdispidNamedArgs == nullptr ||
                pParams->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
                return DISP_E_PARAMNOTFOUND;
            if (pParams->cArgs != 1) return DISP_E_BADPARAMCOUNT;
            const VARIANT& v = pParams->rgvarg[0];
            VARTYPE vtWanted = pMember->nType == OL_GET_TEXT ? VT_BSTR : pMember->nType == OL_GET_DATE ? VT_DATE
                                                                                                        : VT_I4;
            if (v.vt != vtWanted) {
                if (puArgErr != nullptr) *puArgErr = 0;
                return DISP_E_TYPEMISMATCH;
            }
            if (OlCheckPutFail(pMember->sName)) return FailureCode(pExcepInfo);
            return PutProperty(*pMember, v);
        }

        bool bMethod = pMember->nType == OL_METHOD;
        if (bMethod ? (wFlags & DISPATCH_METHOD) == 0 : (wFlags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) == 0)
            return DISP_E_MEMBERNOTFOUND;
        if (pParams->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
        if (!bMethod && pParams->cArgs > 0) return DISP_E_BADPARAMCOUNT;

        VARIANT vResult;
        VariantInit(&vResult);
        HRESULT hr;
        switch (OlCheckFail(pMember->sName)) {
            case OL_FAIL_CODE:
                return FailureCode(pExcepInfo);
            case OL_FAIL_EMPTY:
                hr = S_OK;
                break;
            case OL_FAIL_NULL:
                vResult.vt = VT_DISPATCH;
                vResult.pdispVal = nullptr;
                hr = S_OK;
                break;
            default:
                hr = bMethod ? CallMethod(*pMember, pParams, &vResult, puArgErr) : GetProperty(*pMember, &vResult);
                break;
        }
        if (FAILED(hr)) {
            VariantClear(&vResult);
            return hr;
        }
        if (pVarResult != nullptr)
            *pVarResult = vResult;
        else
            VariantClear(&vResult);
        return hr;
    }

protected:
    virtual const OlMemberTable& Table() const = 0;
    virtual HRESULT GetProperty(const OlMember& member, VARIANT* pResult) = 0;
    virtual HRESULT PutProperty(const OlMember&, const VARIANT&) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT CallMethod(const OlMember&, DISPPARAMS*, VARIANT*, UINT*) { return DISP_E_MEMBERNOTFOUND; }

    static void SetObject(VARIANT* pv, OlDispatch* pObject) {
        pv->vt = VT_DISPATCH;
        pv->pdispVal = pObject;  // takes over the new object's reference
    }

private:
    const char* m_szKind;  // for the destruction trace
    std::atomic<ULONG> m_nRef{1};
};

// ---- contact and distribution-list items -----------------------------------

class OlItem : public OlDispatch {
public:
    OlItem(std::shared_ptr<OlStore> pStore, const OlItemRecord& record)
        : OlDispatch("Item"), m_pStore(pStore), m_Record(record) {}

protected:
    const OlMemberTable& Table() const override { return Members(m_Record.nKind); }

public:
    static const OlMemberTable& Members(int nKind) {
        static const OlMemberTable contact = MakeTable(OL_CONTACT_ITEM);
        static const OlMemberTable distList = MakeTable(OL_DISTLIST_ITEM);
        return nKind == OL_DISTLIST_ITEM ? distList : contact;
    }

protected:

    HRESULT GetProperty(const OlMember& m, VARIANT* pv) override {
        bool bList = m_Record.nKind == OL_DISTLIST_ITEM;
        if (m.sName == "EntryID") {
            SetText(pv, OlToUtf16(m_Record.sEntryID));
        } else if (m.sName == "CreationTime") {
            pv->vt = VT_DATE;
            pv->date = m_Record.dtCreated;
        } else if (m.sName == "LastModificationTime") {
            pv->vt = VT_DATE;
            pv->date = m_Record.dtModified;
        } else if (m.sName == "Class") {
            pv->vt = VT_I4;
            pv->lVal = bList ? OL_CLASS_DISTLIST : OL_CLASS_CONTACT;
        } else if (m.sName == "MessageClass") {
            SetText(pv, bList ? u"IPM.DistList" : u"IPM.Contact");
        } else if (m.sName == "MemberCount") {
            pv->vt = VT_I4;
            pv->lVal = MemberCount();
        } else {
            auto it = m_Record.props.find(m.sName);
            bool bSet = it != m_Record.props.end();
            if (m.nType == OL_GET_TEXT) {
                SetText(pv, bSet ? it->second.sText : std::u16string());
            } else if (m.nType == OL_GET_DATE) {
                pv->vt = VT_DATE;
                pv->date = bSet ? it->second.dValue : OL_NO_DATE;
            } else {
                pv->vt = VT_I4;
                pv->lVal = bSet ? (LONG)it->second.nValue : 0;
            }
        }
        if (pv->vt == VT_BSTR && pv->bstrVal == nullptr) return E_OUTOFMEMORY;
        return S_OK;
    }

    HRESULT PutProperty(const OlMember& m, const VARIANT& v) override {
        OlPropValue value;
        if (m.nType == OL_GET_TEXT) {
            value.nKind = OL_PROP_TEXT;
            value.sText.assign(v.bstrVal != nullptr ? v.bstrVal : u"", SysStringLen(v.bstrVal));
            if (value.sText.empty()) {
                m_Record.props.erase(m.sName);
                return S_OK;
            }
        } else if (m.nType == OL_GET_DATE) {
            value.nKind = OL_PROP_DATE;
            value.dValue = v.date;
        } else {
            value.nKind = OL_PROP_LONG;
            value.nValue = v.lVal;
        }
        m_Record.props[m.sName] = value;
        return S_OK;
    }

    HRESULT CallMethod(const OlMember& m, DISPPARAMS* pParams, VARIANT*, UINT*) override {
        if (pParams->cArgs != 0) return DISP_E_BADPARAMCOUNT;
        if (m.sName == "Save") {
            // Only here does an item reach the file.
            return m_pStore->SaveItem(&m_Record, OlNow()) ? S_OK : DISP_E_EXCEPTION;
        }
        // "Delete"
        if (m_Record.nId != 0 && !m_pStore->DeleteItem(m_Record.nId)) return DISP_E_EXCEPTION;
        m_Record.nId = 0;
        return S_OK;
    }

private:
    static OlMemberTable MakeTable(int nKind) {
        OlMemberTable t;
        size_t n = 0;
        const OlPropDef* pDefs = OlItemProps(nKind, &n);
        for (size_t i = 0; i < n; ++i) {
            if (std::string(pDefs[i].szName) == OL_DL_MEMBERS) continue;  // internal
            t.Add(pDefs[i].szName,
                  pDefs[i].nKind == OL_PROP_TEXT ? OL_GET_TEXT
                  : pDefs[i].nKind == OL_PROP_DATE ? OL_GET_DATE
                                                   : OL_GET_LONG,
                  true);
        }
        t.Add("EntryID", OL_GET_TEXT);
        t.Add("CreationTime", OL_GET_DATE);
        t.Add("LastModificationTime", OL_GET_DATE);
        t.Add("Class", OL_GET_LONG);
        t.Add("MessageClass", OL_GET_TEXT);
        if (nKind == OL_DISTLIST_ITEM) t.Add("MemberCount", OL_GET_LONG);
        t.Add("Save", OL_METHOD);
        t.Add("Delete", OL_METHOD);
        return t;
    }

    LONG MemberCount() const {
        auto it = m_Record.props.find(OL_DL_MEMBERS);
        if (it == m_Record.props.end() || it->second.sText.empty()) return 0;
        LONG n = 1;
        for (char16_t c : it->second.sText)
            if (c == u'\n') ++n;
        return n;
    }

    std::shared_ptr<OlStore> m_pStore;
    OlItemRecord m_Record;
};

// ---- the item collection of a folder ---------------------------------------

class OlItems : public OlDispatch {
public:
    OlItems(std::shared_ptr<OlStore> pStore, const std::string& sFolder)
        : OlDispatch("Items"), m_pStore(pStore), m_sFolder(sFolder) {}

protected:
    const OlMemberTable& Table() const override { return Members(); }

public:
    static const OlMemberTable& Members() {
        static const OlMemberTable t = [] {
            OlMemberTable m;
            m.Add("Count", OL_GET_LONG);
            m.Add("Item", OL_METHOD);
            m.Add("GetFirst", OL_METHOD);
            m.Add("GetNext", OL_METHOD);
            m.Add("Add", OL_METHOD);
            return m;
        }();
        return t;
    }

protected:

    HRESULT GetProperty(const OlMember&, VARIANT* pv) override {
        pv->vt = VT_I4;
        pv->lVal = m_pStore->Count(m_sFolder);
        return S_OK;
    }

    HRESULT CallMethod(const OlMember& m, DISPPARAMS* pParams, VARIANT* pv, UINT* puArgErr) override {
        if (m.sName == "GetFirst" || m.sName == "GetNext") {
            if (pParams->cArgs != 0) return DISP_E_BADPARAMCOUNT;
            bool bFailed = false;
            if (m.sName == "GetFirst" || !m_bEnumerating) {
                m_Ids = m_pStore->ItemIds(m_sFolder, &bFailed);
                m_nNext = 0;
                m_bEnumerating = !bFailed;
                if (bFailed) return DISP_E_EXCEPTION;
            }
            // Past the end there is no object: the result stays VT_EMPTY. An
            // item deleted meanwhile is passed over; one that cannot be read
            // is an error, not a gap.
            while (m_nNext < m_Ids.size()) {
                OlItemRecord record;
                if (m_pStore->LoadItem(m_Ids[m_nNext++], &record, &bFailed)) {
                    SetObject(pv, new OlItem(m_pStore, record));
                    break;
                }
                if (bFailed) return DISP_E_EXCEPTION;
            }
            return S_OK;
        }
        if (m.sName == "Item") {
            if (pParams->cArgs != 1) return DISP_E_BADPARAMCOUNT;
            long n = 0;
            HRESULT hr = ArgLong(pParams, 0, &n, puArgErr);
            if (FAILED(hr)) return hr;
            OlItemRecord record;
            long long nId = m_pStore->ItemIdAt(m_sFolder, n);
            bool bFailed = false;
            if (nId == 0) return DISP_E_BADINDEX;
            if (!m_pStore->LoadItem(nId, &record, &bFailed)) return bFailed ? DISP_E_EXCEPTION : DISP_E_BADINDEX;
            SetObject(pv, new OlItem(m_pStore, record));
            return S_OK;
        }
        // "Add": the type of item, a contact when none is given.
        if (pParams->cArgs > 1) return DISP_E_BADPARAMCOUNT;
        long nType = OL_CONTACT_ITEM;
        if (pParams->cArgs == 1) {
            HRESULT hr = ArgLong(pParams, 0, &nType, puArgErr);
            if (FAILED(hr)) return hr;
        }
        if (nType != OL_CONTACT_ITEM && nType != OL_DISTLIST_ITEM) return E_INVALIDARG;
        OlItemRecord record;
        record.sFolder = m_sFolder;
        record.nKind = (int)nType;
        record.nSeq = m_pStore->NextSeq();
        record.dtCreated = record.dtModified = OlNow();
        SetObject(pv, new OlItem(m_pStore, record));
        return S_OK;
    }

private:
    std::shared_ptr<OlStore> m_pStore;
    std::string m_sFolder;
    std::vector<long long> m_Ids;
    size_t m_nNext = 0;
    bool m_bEnumerating = false;
};

// ---- the Contacts folder ---------------------------------------------------

class OlFolder : public OlDispatch {
public:
    explicit OlFolder(std::shared_ptr<OlStore> pStore) : OlDispatch("Folder"), m_pStore(pStore) {}

protected:
    const OlMemberTable& Table() const override { return Members(); }

public:
    static const OlMemberTable& Members() {
        static const OlMemberTable t = [] {
            OlMemberTable m;
            m.Add("Name", OL_GET_TEXT);
            m.Add("StoreID", OL_GET_TEXT);
            m.Add("EntryID", OL_GET_TEXT);
            m.Add("Items", OL_GET_OBJECT);
            m.Add("DefaultItemType", OL_GET_LONG);
            return m;
        }();
        return t;
    }

protected:

    HRESULT GetProperty(const OlMember& m, VARIANT* pv) override {
        if (m.sName == "Items") {
            SetObject(pv, new OlItems(m_pStore, ""));
            return S_OK;
        }
        if (m.sName == "DefaultItemType") {
            pv->vt = VT_I4;
            pv->lVal = OL_CONTACT_ITEM;
            return S_OK;
        }
        std::string s = m.sName == "Name"      ? m_pStore->FolderName()
                        : m.sName == "StoreID" ? m_pStore->StoreID()
                                               : "00000000" + m_pStore->StoreID().substr(16) + "FFFFFFFF";
        SetText(pv, OlToUtf16(s));
        return pv->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::shared_ptr<OlStore> m_pStore;
};

// ---- the MAPI namespace ----------------------------------------------------

class OlNameSpace : public OlDispatch {
public:
    explicit OlNameSpace(std::shared_ptr<OlStore> pStore) : OlDispatch("NameSpace"), m_pStore(pStore) {}

protected:
    const OlMemberTable& Table() const override { return Members(); }

public:
    static const OlMemberTable& Members() {
        static const OlMemberTable t = [] {
            OlMemberTable m;
            m.Add("GetDefaultFolder", OL_METHOD);
            m.Add("Type", OL_GET_TEXT);
            return m;
        }();
        return t;
    }

protected:

    HRESULT GetProperty(const OlMember&, VARIANT* pv) override {
        SetText(pv, u"MAPI");
        return pv->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT CallMethod(const OlMember&, DISPPARAMS* pParams, VARIANT* pv, UINT* puArgErr) override {
        if (pParams->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        long nFolder = 0;
        HRESULT hr = ArgLong(pParams, 0, &nFolder, puArgErr);
        if (FAILED(hr)) return hr;
        // Only the Contacts folder exists here.
        if (nFolder != OL_FOLDER_CONTACTS) return E_INVALIDARG;
        SetObject(pv, new OlFolder(m_pStore));
        return S_OK;
    }

private:
    std::shared_ptr<OlStore> m_pStore;
};

// ---- the application -------------------------------------------------------

class OlApplication : public OlDispatch, public IRunnableObject {
public:
    explicit OlApplication(std::shared_ptr<OlStore> pStore) : OlDispatch("Application"), m_pStore(pStore) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        *ppv = nullptr;
        if (IsEqualIID(riid, IID_IUnknown)) {
            *ppv = static_cast<IDispatch*>(this);
        } else if (IsEqualIID(riid, IID_IDispatch)) {
            if (OlCheckFail("QueryInterface") != OL_FAIL_NONE) return E_NOINTERFACE;
            *ppv = static_cast<IDispatch*>(this);
        } else if (IsEqualIID(riid, IID_IRunnableObject)) {
            *ppv = static_cast<IRunnableObject*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return OlDispatch::AddRef(); }
    ULONG Release() override { return OlDispatch::Release(); }

    HRESULT GetRunningClass(LPCLSID lpClsid) override {
        if (lpClsid == nullptr) return E_INVALIDARG;
        *lpClsid = CLSID_OlStandinApplication;
        return S_OK;
    }
    HRESULT Run(LPBINDCTX) override {
        if (OlCheckFail("OleRun") != OL_FAIL_NONE) return E_FAIL;
        m_bRunning = true;
        return S_OK;
    }
    BOOL IsRunning() override { return m_bRunning ? TRUE : FALSE; }
    HRESULT LockRunning(BOOL, BOOL) override { return S_OK; }
    HRESULT SetContainedObject(BOOL) override { return S_OK; }

protected:
    const OlMemberTable& Table() const override { return Members(); }

public:
    static const OlMemberTable& Members() {
        static const OlMemberTable t = [] {
            OlMemberTable m;
            m.Add("GetNameSpace", OL_METHOD);
            m.Add("Name", OL_GET_TEXT);
            m.Add("Version", OL_GET_TEXT);
            return m;
        }();
        return t;
    }

protected:

    HRESULT GetProperty(const OlMember& m, VARIANT* pv) override {
        SetText(pv, m.sName == "Name" ? u"Outlook" : u"11.0.0.8312");
        return pv->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT CallMethod(const OlMember&, DISPPARAMS* pParams, VARIANT* pv, UINT* puArgErr) override {
        if (pParams->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        std::u16string sType;
        HRESULT hr = ArgText(pParams, 0, &sType, puArgErr);
        if (FAILED(hr)) return hr;
        if (OlMemberTable::Lower(OlToUtf8(sType)) != "mapi") return E_INVALIDARG;
        SetObject(pv, new OlNameSpace(m_pStore));
        return S_OK;
    }

private:
    std::shared_ptr<OlStore> m_pStore;
    bool m_bRunning = false;
};

// ---- the class factory -----------------------------------------------------

class OlClassFactory : public IClassFactory {
public:
    OlClassFactory() { OlObjectCreated(); }
    virtual ~OlClassFactory() { OlObjectDestroyed("ClassFactory"); }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_nRef; }
    ULONG Release() override {
        ULONG n = --m_nRef;
        if (n == 0) delete this;
        return n;
    }

    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        *ppv = nullptr;
        if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
        // A misspelt entry must not let a test pass without its failure.
        if (!OlReadFailEnvironment()) return E_INVALIDARG;
        if (OlCheckFail("Create") != OL_FAIL_NONE) return CO_E_SERVER_EXEC_FAILURE;
        std::string sError;
        std::shared_ptr<OlStore> pStore = OlStore::Open(OlDefaultStorePath(), &sError);
        if (!pStore) return CO_E_SERVER_EXEC_FAILURE;
        OlApplication* pApp = new OlApplication(pStore);
        HRESULT hr = pApp->QueryInterface(riid, ppv);
        pApp->Release();
        return hr;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }

private:
    std::atomic<ULONG> m_nRef{1};
};

}  // namespace

bool OlIsMemberName(const std::string& sLowerName) {
    for (const OlMemberTable* p : {&OlApplication::Members(), &OlNameSpace::Members(), &OlFolder::Members(),
                                   &OlItems::Members(), &OlItem::Members(OL_CONTACT_ITEM),
                                   &OlItem::Members(OL_DISTLIST_ITEM)})
        if (p->Find(sLowerName) != DISPID_UNKNOWN) return true;
    return false;
}

IClassFactory* NewOlClassFactory() { return new OlClassFactory(); }

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid,
                                                                              LPVOID* ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_OlStandinApplication)) return CLASS_E_CLASSNOTAVAILABLE;
    IClassFactory* pFactory = NewOlClassFactory();
    HRESULT hr = pFactory->QueryInterface(riid, ppv);
    pFactory->Release();
    return hr;
}
