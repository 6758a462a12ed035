#include "common/outlook/OlAddr.h"

#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/misc/CxDebugUtil.h"
#include "platform/win32/TextCopy.h"

// Outlook's number of the default Contacts folder ("GetDefaultFolder") and
// of a contact item ("Items.Add").
#define OL_FOLDER_CONTACTS 10
#define OL_CONTACT_ITEM 2

// The date the address book side reads for a contact without one
// (1 January 1601 00:00); like 0.0 it means "no date" and is never sent.
static const double s_dtNoDate1601 = -109205.0;

namespace {

enum PropKind { PROP_TEXT, PROP_DATE, PROP_LONG };

// A block member that travels as the item property of the same name.
struct ItemProp {
    LPCOLESTR szName;
    PropKind nKind;
    size_t nOffset;
    size_t nSize;
};

#define OL_PROP(kind, member) {u"" #member, kind, offsetof(OlContactData, member), sizeof(OlContactData::member)}
#define OL_TEXT(member) OL_PROP(PROP_TEXT, member)
#define OL_DATE(member) OL_PROP(PROP_DATE, member)
#define OL_LONG(member) OL_PROP(PROP_LONG, member)

// The members from Account to Body in block order, without Suffix: what is
// read from an item after its EntryID, and what is written to one.
const ItemProp s_ItemProps[] = {
    OL_TEXT(Account),
    OL_DATE(Anniversary),
    OL_TEXT(AssistantName),
    OL_TEXT(AssistantTelephoneNumber),
    OL_DATE(Birthday),
    OL_TEXT(Business2TelephoneNumber),
    OL_TEXT(BusinessAddressCity),
    OL_TEXT(BusinessAddressCountry),
    OL_TEXT(BusinessAddressPostalCode),
    OL_TEXT(BusinessAddressPostOfficeBox),
    OL_TEXT(BusinessAddressState),
    OL_TEXT(BusinessAddressStreet),
    OL_TEXT(BusinessFaxNumber),
    OL_TEXT(BusinessHomePage),
    OL_TEXT(BusinessTelephoneNumber),
    OL_TEXT(CallbackTelephoneNumber),
    OL_TEXT(CarTelephoneNumber),
    OL_TEXT(CompanyMainTelephoneNumber),
    OL_TEXT(CompanyName),
    OL_TEXT(ComputerNetworkName),
    OL_TEXT(CustomerID),
    OL_TEXT(Department),
    OL_TEXT(Email1Address),
    OL_TEXT(Email1AddressType),
    OL_TEXT(Email1DisplayName),
    OL_TEXT(Email2Address),
    OL_TEXT(Email2AddressType),
    OL_TEXT(Email2DisplayName),
    OL_TEXT(Email3Address),
    OL_TEXT(Email3AddressType),
    OL_TEXT(Email3DisplayName),
    OL_TEXT(FirstName),
    OL_TEXT(FTPSite),
    OL_TEXT(FullName),
    OL_LONG(Gender),
    OL_TEXT(Hobby),
    OL_TEXT(Home2TelephoneNumber),
    OL_TEXT(HomeAddressCity),
    OL_TEXT(HomeAddressCountry),
    OL_TEXT(HomeAddressPostalCode),
    OL_TEXT(HomeAddressPostOfficeBox),
    OL_TEXT(HomeAddressState),
    OL_TEXT(HomeAddressStreet),
    OL_TEXT(HomeFaxNumber),
    OL_TEXT(HomeTelephoneNumber),
    OL_TEXT(IMAddress),
    OL_TEXT(Initials),
    OL_TEXT(ISDNNumber),
    OL_TEXT(JobTitle),
    OL_TEXT(Language),
    OL_TEXT(LastName),
    OL_TEXT(MailingAddressCity),
    OL_TEXT(MailingAddressCountry),
    OL_TEXT(MailingAddressPostalCode),
    OL_TEXT(MailingAddressPostOfficeBox),
    OL_TEXT(MailingAddressState),
    OL_TEXT(MailingAddressStreet),
    OL_TEXT(ManagerName),
    OL_TEXT(MiddleName),
    OL_TEXT(MobileTelephoneNumber),
    OL_TEXT(NickName),
    OL_TEXT(OtherAddressCity),
    OL_TEXT(OtherAddressCountry),
    OL_TEXT(OtherAddressPostalCode),
    OL_TEXT(OtherAddressPostOfficeBox),
    OL_TEXT(OtherAddressState),
    OL_TEXT(OtherAddressStreet),
    OL_TEXT(OtherTelephoneNumber),
    OL_TEXT(PagerNumber),
    OL_TEXT(PersonalHomePage),
    OL_TEXT(PrimaryTelephoneNumber),
    OL_TEXT(Profession),
    OL_TEXT(RadioTelephoneNumber),
    OL_TEXT(Spouse),
    OL_TEXT(WebPage),
    OL_TEXT(Body),
};

// Read after the members above.
const ItemProp s_ReadLastProps[] = {
    OL_DATE(CreationTime),
    OL_DATE(LastModificationTime),
    OL_TEXT(Categories),
};

// A block member and the record field it carries. A text is cut to the
// smaller of the two widths less one; a date is copied unchanged.
struct FieldMap {
    PropKind nKind;
    size_t nDataOffset;
    size_t nDataSize;
    size_t nAddrOffset;
    size_t nAddrSize;
    bool bToOutlook;  // also copied from the record into the block
};

#define OL_MAP(kind, member, field, out)                                                              \
    {kind, offsetof(OlContactData, member), sizeof(OlContactData::member), offsetof(CommAddr, field), \
     sizeof(CommAddr::field), out}
#define MAP_TEXT(member, field) OL_MAP(PROP_TEXT, member, field, true)
#define MAP_DATE(member, field) OL_MAP(PROP_DATE, member, field, true)

const FieldMap s_FieldMap[] = {
    MAP_TEXT(Account, szAccount),
    MAP_DATE(Anniversary, dtAnniversary),
    MAP_TEXT(AssistantName, szAssistantName),
    MAP_TEXT(AssistantTelephoneNumber, szAssistantPhone),
    MAP_DATE(Birthday, dtBirthday),
    MAP_TEXT(BusinessAddressCity, szWorkCity),
    MAP_TEXT(BusinessAddressCountry, szWorkCountry),
    MAP_TEXT(BusinessAddressPostalCode, szWorkPostal),
    MAP_TEXT(BusinessAddressState, szWorkState),
    MAP_TEXT(BusinessAddressStreet, szWorkStreet),
    MAP_TEXT(BusinessFaxNumber, szWorkFax),
    MAP_TEXT(BusinessHomePage, szWorkHomePage),
    MAP_TEXT(BusinessTelephoneNumber, szWorkPhone),
    MAP_TEXT(CallbackTelephoneNumber, szCallbackPhone),
    MAP_TEXT(CarTelephoneNumber, szCarPhone),
    MAP_TEXT(CompanyName, szCompany),
    MAP_TEXT(CustomerID, szCustomerID),
    MAP_TEXT(Department, szDepartment),
    MAP_TEXT(Email1Address, szEmail),
    MAP_TEXT(Email2Address, szEmail2),
    MAP_TEXT(Email3Address, szEmail3),
    MAP_TEXT(FirstName, szFirstName),
    MAP_TEXT(FTPSite, szFtpSite),
    MAP_TEXT(FullName, szDisplayName),
    MAP_TEXT(Hobby, szHobby),
    MAP_TEXT(HomeAddressCity, szHomeCity),
    MAP_TEXT(HomeAddressCountry, szHomeCountry),
    MAP_TEXT(HomeAddressPostalCode, szHomePostal),
    MAP_TEXT(HomeAddressState, szHomeState),
    MAP_TEXT(HomeAddressStreet, szHomeStreet),
    MAP_TEXT(HomeFaxNumber, szHomeFax),
    MAP_TEXT(HomeTelephoneNumber, szHomePhone),
    MAP_TEXT(IMAddress, szIM1),
    MAP_TEXT(Initials, szPrefix),
    MAP_TEXT(JobTitle, szTitle),
    MAP_TEXT(Language, szLanguage),
    MAP_TEXT(LastName, szLastName),
    MAP_TEXT(ManagerName, szManagerName),
    MAP_TEXT(MiddleName, szMiddleName),
    MAP_TEXT(MobileTelephoneNumber, szMobilePhone),
    MAP_TEXT(NickName, szNickName),
    MAP_TEXT(OtherAddressCity, szOtherCity),
    MAP_TEXT(OtherAddressCountry, szOtherCountry),
    MAP_TEXT(OtherAddressPostalCode, szOtherPostal),
    MAP_TEXT(OtherAddressState, szOtherState),
    MAP_TEXT(OtherAddressStreet, szOtherStreet),
    MAP_TEXT(OtherTelephoneNumber, szOtherPhone),
    MAP_TEXT(PersonalHomePage, szPersonalHomePage),
    MAP_TEXT(PrimaryTelephoneNumber, szPrimaryPhone),
    MAP_TEXT(Profession, szProfession),
    MAP_TEXT(RadioTelephoneNumber, szRadioPhone),
    MAP_TEXT(Spouse, szSpouseName),
    MAP_TEXT(Body, szNote),
    // Outlook keeps these itself; a record never sends them.
    OL_MAP(PROP_DATE, CreationTime, dtCreationTime, false),
    OL_MAP(PROP_DATE, LastModificationTime, dtLastModificationTime, false),
    MAP_TEXT(Categories, szCategory),
    // Carried between record and block only; Outlook never sees it.
    MAP_TEXT(Suffix, szSuffix),
};

void CopyMapped(PropKind nKind, void* pDst, size_t nDstSize, const void* pSrc, size_t nSrcSize) {
    if (nKind == PROP_DATE) {
        memcpy(pDst, pSrc, sizeof(double));
        return;
    }
    CopyText(static_cast<char*>(pDst), nDstSize < nSrcSize ? nDstSize : nSrcSize, static_cast<const char*>(pSrc));
}

char* MemberAt(OlContactData* pData, const ItemProp& prop) {
    return reinterpret_cast<char*>(pData) + prop.nOffset;
}

const char* MemberAt(const OlContactData* pData, const ItemProp& prop) {
    return reinterpret_cast<const char*>(pData) + prop.nOffset;
}

void ReadItemProp(CDispCmd& item, const ItemProp& prop, OlContactData* pData) {
    char* p = MemberAt(pData, prop);
    switch (prop.nKind) {
    case PROP_TEXT:
        item.GetStringProperty(prop.szName, p, static_cast<int>(prop.nSize));
        break;
    case PROP_DATE:
        item.GetDateProperty(prop.szName, reinterpret_cast<double*>(p));
        break;
    case PROP_LONG:
        item.GetLongProperty(prop.szName, reinterpret_cast<LONG*>(p));
        break;
    }
}

void WriteItemProp(CDispCmd& item, const ItemProp& prop, const OlContactData* pData) {
    const char* p = MemberAt(pData, prop);
    switch (prop.nKind) {
    case PROP_TEXT:
        item.PutStringProperty(prop.szName, p);
        break;
    case PROP_DATE: {
        double dt;
        memcpy(&dt, p, sizeof(dt));
        if (dt != s_dtNoDate1601) item.PutDateProperty(prop.szName, dt);
        break;
    }
    case PROP_LONG: {
        LONG n;
        memcpy(&n, p, sizeof(n));
        item.PutLongProperty(prop.szName, n);
        break;
    }
    }
}

// A one-argument VT_I4 call that should give an object; the item or none.
HRESULT CallForObject(CDispCmd& cmd, LPCOLESTR szName, LONG nArg, IDispatch** ppDisp) {
    VARIANT arg;
    VariantInit(&arg);
    V_VT(&arg) = VT_I4;
    V_I4(&arg) = nArg;
    VARIANT result;
    VariantInit(&result);
    *ppDisp = nullptr;
    HRESULT hr = cmd.CallMethod(szName, &arg, 1, &result);
    if (SUCCEEDED(hr) && V_VT(&result) == VT_DISPATCH) {
        *ppDisp = V_DISPATCH(&result);  // the call's reference passes on
        return hr;
    }
    VariantClear(&result);
    return hr;
}

}  // namespace

OlAddrUtil::OlAddrUtil() : m_pContactFolder(nullptr), m_pAddrMgr(nullptr) {
    // The base constructor has taken the first use; this takes the second
    // and opens the folder.
    Init();
}

OlAddrUtil::~OlAddrUtil() { Term(); }

bool OlAddrUtil::Load() {
    Clear();
    if (m_pContactFolder == nullptr) return false;
    return ReadFolder(m_pContactFolder->GetDispatch());
}

void OlAddrUtil::Clear() {
    if (m_pAddrMgr != nullptr) m_pAddrMgr->RemoveAll();
    OlBaseUtil::Clear();
}

void OlAddrUtil::Init() {
    if (m_pAddrMgr == nullptr) m_pAddrMgr = new CommAddrMgr;
    m_pContactFolder = nullptr;
    Connect();
}

void OlAddrUtil::Term() {
    Clear();
    delete m_pAddrMgr;
    m_pAddrMgr = nullptr;
    Disconnect();
}

bool OlAddrUtil::Connect() {
    if (!OlBaseUtil::Connect()) return false;

    VARIANT arg;
    VariantInit(&arg);
    V_VT(&arg) = VT_I4;
    V_I4(&arg) = OL_FOLDER_CONTACTS;
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = m_pNameSpace != nullptr ? m_pNameSpace->CallMethod(u"GetDefaultFolder", &arg, 1, &result)
                                         : E_INVALIDARG;
    if (SUCCEEDED(hr) && V_VT(&result) == VT_DISPATCH) {
        // A null folder gives a wrapper whose every call fails cleanly.
        CDispCmd* pFolder = new CDispCmd(V_DISPATCH(&result));
        VariantClear(&result);  // the wrapper holds its own reference
        delete m_pContactFolder;
        m_pContactFolder = pFolder;
        return true;
    } else {
        VariantClear(&result);
    }
    Disconnect();
    return false;
}

void OlAddrUtil::Disconnect() {
    delete m_pContactFolder;
    m_pContactFolder = nullptr;
    OlBaseUtil::Disconnect();
}

const OlContactData* OlAddrUtil::GetContactData(const CommAddr* pAddr) {
    if (pAddr == nullptr || pAddr->pSideData == nullptr || pAddr->nSideDataSize != sizeof(OlContactData))
        return nullptr;
    return static_cast<const OlContactData*>(pAddr->pSideData);
}

CDispCmd* OlAddrUtil::GetFolderItems(CDispCmd* pFolder) {
    IDispatch* pItems = nullptr;
    HRESULT hr = pFolder->GetDispatchProperty(u"Items", &pItems);
    if (FAILED(hr) || pItems == nullptr) {
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__,
                          "Failed to get the \"Items\" property of the Contact folder. hr=0x%x", hr);
        if (pItems != nullptr) pItems->Release();
        return nullptr;
    }
    CDispCmd* pCmd = new CDispCmd(pItems);
    pItems->Release();  // the wrapper holds its own reference
    return pCmd;
}

bool OlAddrUtil::ReadFolder(IDispatch* pFolder) {
    if (m_pAddrMgr == nullptr) return false;
    CDispCmd folder(pFolder);
    char szName[31] = "";
    char szStoreID[1023] = "";

    HRESULT hr = folder.GetStringProperty(u"Name", szName, sizeof(szName));
    if (FAILED(hr))
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__,
                          "Failed to get the name of the Contact folder. hr=0x%x", hr);
    else
        g_DebugUtil.Print(LOG_MEDIUM, __FILE__, __LINE__, "Got the name of the Contacts folder: %s", szName);

    hr = folder.GetStringProperty(u"StoreID", szStoreID, sizeof(szStoreID));
    if (FAILED(hr))
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__,
                          "Failed to get the StoreID of the Contact folder. hr=0x%x", hr);
    else
        g_DebugUtil.Print(LOG_MEDIUM, __FILE__, __LINE__, "Got the StoreID of the Contact folder: %s", szStoreID);

    std::unique_ptr<CDispCmd> pItems(GetFolderItems(&folder));
    if (!pItems) return false;

    // The working block and record are reused for every item; the list's
    // AddCopy makes each record's own copy of the block.
    std::unique_ptr<OlContactData> pData(new OlContactData);
    std::unique_ptr<CommAddr> pAddr(new CommAddr);

    VARIANT item;
    VariantInit(&item);
    hr = pItems->CallMethod(u"GetFirst", nullptr, 0, &item);
    while (SUCCEEDED(hr) && V_VT(&item) == VT_DISPATCH && V_DISPATCH(&item) != nullptr) {
        memset(pData.get(), 0, sizeof(OlContactData));
        CopyText(pData->FolderName, szName);
        CopyText(pData->StoreID, szStoreID);
        ReadContactItem(V_DISPATCH(&item), pData.get());

        memset(pAddr.get(), 0, sizeof(CommAddr));
        ContactDataToAddr(pData.get(), pAddr.get());
        pAddr->pSideData = pData.get();
        pAddr->nSideDataSize = sizeof(OlContactData);
        pAddr->nSourceType = SOURCE_TYPE_OUTLOOK;
        m_pAddrMgr->AddCopy(pAddr.get());

        VariantClear(&item);  // releases the item
        hr = pItems->CallMethod(u"GetNext", nullptr, 0, &item);
    }
    VariantClear(&item);
    return true;
}

bool OlAddrUtil::ReadContactItem(IDispatch* pItem, OlContactData* pData) {
    if (pItem == nullptr || pData == nullptr) return false;
    CDispCmd item(pItem);
    // One byte short of the member, so at most 1022 characters.
    item.GetStringProperty(u"EntryID", pData->EntryID, sizeof(pData->EntryID) - 1);
    for (const ItemProp& prop : s_ItemProps) ReadItemProp(item, prop, pData);
    for (const ItemProp& prop : s_ReadLastProps) ReadItemProp(item, prop, pData);
    return true;
}

bool OlAddrUtil::ContactDataToAddr(const OlContactData* pData, CommAddr* pAddr) {
    if (pData == nullptr || pAddr == nullptr) return false;
    const char* pSrc = reinterpret_cast<const char*>(pData);
    char* pDst = reinterpret_cast<char*>(pAddr);
    for (const FieldMap& map : s_FieldMap)
        CopyMapped(map.nKind, pDst + map.nAddrOffset, map.nAddrSize, pSrc + map.nDataOffset, map.nDataSize);
    pAddr->nSourceType = SOURCE_TYPE_OUTLOOK;
    return true;
}

bool OlAddrUtil::AddrToContactData(const CommAddr* pAddr, OlContactData* pData) {
    if (pAddr == nullptr || pData == nullptr) return false;
    const char* pSrc = reinterpret_cast<const char*>(pAddr);
    char* pDst = reinterpret_cast<char*>(pData);
    for (const FieldMap& map : s_FieldMap) {
        if (map.bToOutlook)
            CopyMapped(map.nKind, pDst + map.nDataOffset, map.nDataSize, pSrc + map.nAddrOffset, map.nAddrSize);
    }
    return true;
}

bool OlAddrUtil::WriteContactItem(IDispatch* pItem, const OlContactData* pData) {
    if (pItem == nullptr || pData == nullptr) return false;
    CDispCmd item(pItem);
    // Empty texts and empty dates are not sent, so no value is ever cleared.
    for (const ItemProp& prop : s_ItemProps) WriteItemProp(item, prop, pData);
    item.PutStringProperty(u"Categories", pData->Categories);

    HRESULT hr = item.CallMethod(u"Save", nullptr, 0, nullptr);
    if (FAILED(hr)) {
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__, "Failed to call the \"Save\" method. hr=0x%x", hr);
        return false;
    }
    return true;
}

bool OlAddrUtil::AddContact(CommAddr* pAddr, CDispCmd* pFolder) {
    if (pAddr == nullptr) return false;
    if (pFolder == nullptr) pFolder = m_pContactFolder;
    if (pFolder == nullptr) return false;

    std::unique_ptr<CDispCmd> pItems(GetFolderItems(pFolder));
    if (!pItems) return false;

    IDispatch* pItem = nullptr;
    HRESULT hr = CallForObject(*pItems, u"Add", OL_CONTACT_ITEM, &pItem);
    if (FAILED(hr) || pItem == nullptr) {
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__, "Failed to call the \"Add\" method. hr=0x%x", hr);
        return false;
    }

    // Side data is freed with free() by the contact list.
    OlContactData* pData = static_cast<OlContactData*>(calloc(1, sizeof(OlContactData)));
    if (pData == nullptr) {
        pItem->Release();
        return false;
    }
    AddrToContactData(pAddr, pData);
    bool bSaved = WriteContactItem(pItem, pData);
    if (bSaved) {
        // A saved item has its identifier, which later updates check.
        CDispCmd item(pItem);
        item.GetStringProperty(u"EntryID", pData->EntryID, sizeof(pData->EntryID) - 1);
        pAddr->pSideData = pData;
        pAddr->nSideDataSize = sizeof(OlContactData);
    } else {
        free(pData);
    }
    pItem->Release();
    return bSaved;
}

bool OlAddrUtil::UpdateContact(CommAddr* pAddr, int nPos) {
    if (pAddr == nullptr || nPos < 0 || nPos == INT_MAX) return false;
    if (m_pContactFolder == nullptr) return false;

    std::unique_ptr<CDispCmd> pItems(GetFolderItems(m_pContactFolder));
    if (!pItems) return false;

    const int nIndex = nPos + 1;
    IDispatch* pItem = nullptr;
    HRESULT hr = CallForObject(*pItems, u"Item", nIndex, &pItem);
    if (FAILED(hr) || pItem == nullptr) {
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__,
                          "Failed to get the Contact item by index: %d. hr=0x%x", nIndex, hr);
        return false;
    }

    // The item at the position must still be the contact that was read
    // there: a contact added or deleted in Outlook since then shifts the
    // positions. The record's own block names it; a record from the other
    // store has none, and then the list record at the position does.
    const OlContactData* pKnown = GetContactData(pAddr);
    if (pKnown == nullptr || pKnown->EntryID[0] == '\0') {
        CommAddr* pListAddr = m_pAddrMgr != nullptr ? m_pAddrMgr->GetFirst() : nullptr;
        for (int i = 0; pListAddr != nullptr && i < nPos; ++i) pListAddr = m_pAddrMgr->GetNext();
        pKnown = GetContactData(pListAddr);
    }
    CDispCmd item(pItem);
    pItem->Release();  // the wrapper holds its own reference
    if (pKnown != nullptr && pKnown->EntryID[0] != '\0') {
        char szEntryID[sizeof(pKnown->EntryID)] = "";
        item.GetStringProperty(u"EntryID", szEntryID, sizeof(szEntryID) - 1);
        if (strcmp(szEntryID, pKnown->EntryID) != 0) {
            g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__,
                              "The Contact item at index: %d is not the contact read there, it was not updated.",
                              nIndex);
            return false;
        }
    }

    OlContactData data;
    const OlContactData* pOwn = GetContactData(pAddr);
    if (pOwn != nullptr)
        data = *pOwn;
    else
        memset(&data, 0, sizeof(data));
    AddrToContactData(pAddr, &data);
    return WriteContactItem(item.GetDispatch(), &data);
}

bool OlAddrUtil::SyncContact(CommAddr* pAddr) {
    if (pAddr == nullptr || m_pAddrMgr == nullptr || m_pContactFolder == nullptr) return false;

    CommAddr* pFound = nullptr;
    int nPos = 0;
    const int nResult = m_pAddrMgr->FindAddr(pAddr, &pFound, &nPos);
    if (nResult == ADDR_FOUND_DIFF && pFound != nullptr) {
        if (!UpdateContact(pAddr, nPos)) return false;
        // The list record takes the values written; it keeps its own block.
        void* pSideData = pFound->pSideData;
        DWORD nSideDataSize = pFound->nSideDataSize;
        memcpy(pFound, pAddr, sizeof(CommAddr));
        pFound->pSideData = pSideData;
        pFound->nSideDataSize = nSideDataSize;
        return true;
    }
    if (nResult == ADDR_NOT_FOUND) {
        std::unique_ptr<CommAddr> pTemp(new CommAddr);
        memcpy(pTemp.get(), pAddr, sizeof(CommAddr));
        // On failure the copy still shares pAddr's side data: nothing to free.
        if (!AddContact(pTemp.get(), nullptr)) return false;
        m_pAddrMgr->AddCopy(pTemp.get());
        free(pTemp->pSideData);
        return true;
    }
    return false;  // an equal counterpart: nothing to write
}
