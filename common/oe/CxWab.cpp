#include "common/oe/CxWab.h"

#include <cstring>
#include <new>

#include "common/misc/CxAssert.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinLibrary.h"
#include "platform/win32/WinReg.h"

namespace {

const char kWabDllPathKey[] = "Software\\Microsoft\\WAB\\DLLPath";
const char kWabDllName[] = "WAB32.DLL";

// Columns of the contents table: the identifier is read from the second,
// the object type from the third.
SizedSPropTagArray(3, s_ContentsColumns) = {3, {PR_DISPLAY_NAME, PR_ENTRYID, PR_OBJECT_TYPE}};
SizedSPropTagArray(2, s_CreateTemplates) = {2, {PR_DEF_CREATE_MAILUSER, PR_DEF_CREATE_DL}};

// The object type of a contents table row, 0 when the row lacks the column.
ULONG RowObjectType(const SRow& row) {
    if (row.lpProps == nullptr || row.cValues < 3) return 0;
    if (row.lpProps[2].ulPropTag != PR_OBJECT_TYPE) return 0;
    return row.lpProps[2].Value.ul;
}

bool IsZero(const FILETIME& ft) { return ft.dwLowDateTime == 0 && ft.dwHighDateTime == 0; }

}  // namespace

// ---------------------------------------------------------------------------
// CxWab

CxWab::CxWab(const char* szWabFile)
    : m_pAddrMgr(nullptr),
      m_pRootFolder(nullptr),
      m_bDllLoaded(false),
      m_hWabDll(nullptr),
      m_lpfnWABOpen(nullptr),
      m_lpAdrBook(nullptr),
      m_lpWABObject(nullptr),
      m_lpMailUser(nullptr),
      m_lpProps(nullptr),
      m_cValues(0) {
    m_szWabFile[0] = '\0';

    // The library's path from the registry; any value type is taken as text.
    char szDllPath[MAX_PATH];
    memset(szDllPath, 0, sizeof(szDllPath));
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWabDllPathKey, 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
        DWORD dwType = 0;
        DWORD cbData = sizeof(szDllPath);
        if (RegQueryValueExA(hKey, nullptr, nullptr, &dwType, reinterpret_cast<LPBYTE>(szDllPath), &cbData) !=
            ERROR_SUCCESS)
            szDllPath[0] = '\0';
        // A value that fills the buffer without a NUL is cut, not overrun.
        szDllPath[sizeof(szDllPath) - 1] = '\0';
        RegCloseKey(hKey);
    }

    m_hWabDll = LoadLibraryA(szDllPath[0] != '\0' ? szDllPath : kWabDllName);
    if (m_hWabDll != nullptr) {
        m_lpfnWABOpen = reinterpret_cast<LPWABOPEN>(GetProcAddress(m_hWabDll, "WABOpen"));
        m_bDllLoaded = true;
    }

    m_pAddrMgr = new CommAddrMgr();

    if (szWabFile != nullptr) Open(szWabFile);
}

CxWab::~CxWab() {
    Close();
    if (m_bDllLoaded && m_hWabDll != nullptr) FreeLibrary(m_hWabDll);
    m_hWabDll = nullptr;
    m_lpfnWABOpen = nullptr;
    m_bDllLoaded = false;
    delete m_pAddrMgr;
    m_pAddrMgr = nullptr;
}

bool CxWab::Open(const char* szWabFile) {
    Close();
    if (m_lpfnWABOpen == nullptr) return false;

    if (szWabFile == nullptr || szWabFile[0] == '\0')
        m_szWabFile[0] = '\0';
    else if (szWabFile != m_szWabFile)  // reopening by the stored name copies nothing
        CopyText(m_szWabFile, szWabFile);

    WAB_PARAM wp;
    memset(&wp, 0, sizeof(wp));
    wp.cbSize = sizeof(WAB_PARAM);
    wp.hwnd = nullptr;
    wp.szFileName = m_szWabFile;
    wp.ulFlags = 0;

    HRESULT hr = m_lpfnWABOpen(&m_lpAdrBook, &m_lpWABObject, &wp, 0);
    if (FAILED(hr) || m_lpAdrBook == nullptr || m_lpWABObject == nullptr) {
        Close();
        return false;
    }

    ULONG cbPabID = 0;
    LPENTRYID lpPabID = nullptr;
    hr = m_lpAdrBook->GetPAB(&cbPabID, &lpPabID);
    if (FAILED(hr) || lpPabID == nullptr) {
        m_lpWABObject->FreeBuffer(lpPabID);
        Close();
        return false;
    }

    ULONG ulObjType = 0;
    LPUNKNOWN lpUnk = nullptr;
    hr = m_lpAdrBook->OpenEntry(cbPabID, lpPabID, nullptr, 0, &ulObjType, &lpUnk);
    m_lpWABObject->FreeBuffer(lpPabID);
    if (FAILED(hr) || lpUnk == nullptr) {
        if (lpUnk != nullptr) lpUnk->Release();
        Close();
        return false;
    }

    m_pRootFolder = new CxWabFolder(this, static_cast<LPABCONT>(lpUnk));
    return LoadContents();
}

bool CxWab::LoadContents() {
    LPMAPITABLE lpTable = nullptr;
    HRESULT hr = m_pRootFolder->GetContainer()->GetContentsTable(0, &lpTable);
    if (FAILED(hr) || lpTable == nullptr) {
        if (lpTable != nullptr) lpTable->Release();
        // A damaged book is closed: writing into it would hide what it held.
        if (hr == MAPI_E_CORRUPT_DATA) {
            Close();
            return false;
        }
        // Without a table the store stays open and usable for writing.
        return true;
    }

    if (FAILED(lpTable->SetColumns(reinterpret_cast<LPSPropTagArray>(&s_ContentsColumns), 0)) ||
        FAILED(lpTable->SeekRow(BOOKMARK_BEGINNING, 0, nullptr))) {
        lpTable->Release();
        Close();
        return false;
    }

    bool bOk = true;
    for (;;) {
        LPSRowSet lpRows = nullptr;
        hr = lpTable->QueryRows(1, 0, &lpRows);
        if (FAILED(hr)) {
            FreeRows(lpRows);
            bOk = false;
            break;
        }
        if (lpRows == nullptr) break;
        if (lpRows->cRows == 0) {
            FreeRows(lpRows);
            break;
        }
        if (RowObjectType(lpRows->aRow[0]) == MAPI_MAILUSER) {
            WabAddr* pRecord = new WabAddr();
            // An entry that cannot be opened or read is left out rather than
            // listed as an empty contact.
            if (ReadEntry(pRecord, lpRows, 0))
                m_pRootFolder->AddRecord(pRecord);
            else
                delete pRecord;
        }
        FreeRows(lpRows);
    }
    lpTable->Release();

    if (!bOk) {
        Close();
        return false;
    }
    return true;
}

void CxWab::Close() {
    if (m_pAddrMgr != nullptr) m_pAddrMgr->RemoveAll();

    // The folder's entries and container go before the address book that
    // made them.
    delete m_pRootFolder;
    m_pRootFolder = nullptr;
    m_lpMailUser = nullptr;  // belonged to the folder's records

    if (m_lpProps != nullptr && m_lpWABObject != nullptr) m_lpWABObject->FreeBuffer(m_lpProps);
    m_lpProps = nullptr;
    m_cValues = 0;

    if (m_lpAdrBook != nullptr) {
        m_lpAdrBook->Release();
        m_lpAdrBook = nullptr;
    }
    if (m_lpWABObject != nullptr) {
        m_lpWABObject->Release();
        m_lpWABObject = nullptr;
    }
}

bool CxWab::ReadEntry(WabAddr* pRecord, LPSRowSet lpRowAB, int index) {
    CX_ASSERT(pRecord!=NULL);
    CX_ASSERT(lpRowAB!=NULL);
    CX_ASSERT(index>=0&&index<(int)lpRowAB->cRows);

    const SRow& row = lpRowAB->aRow[index];
    if (RowObjectType(row) != MAPI_MAILUSER) return false;
    const SPropValue& idValue = row.lpProps[1];
    if (idValue.ulPropTag != PR_ENTRYID || idValue.Value.bin.cb == 0 || idValue.Value.bin.lpb == nullptr)
        return false;
    const ULONG cbEntryID = idValue.Value.bin.cb;
    LPENTRYID lpEntryID = reinterpret_cast<LPENTRYID>(idValue.Value.bin.lpb);

    ULONG ulObjType = 0;
    LPUNKNOWN lpUnk = nullptr;
    HRESULT hr = m_lpAdrBook->OpenEntry(cbEntryID, lpEntryID, nullptr, 0, &ulObjType, &lpUnk);
    if (FAILED(hr) || lpUnk == nullptr) {
        if (lpUnk != nullptr) lpUnk->Release();
        return false;
    }
    LPMAILUSER lpMailUser = static_cast<LPMAILUSER>(lpUnk);

    m_lpProps = nullptr;
    m_cValues = 0;
    hr = lpMailUser->GetProps(nullptr, 0, &m_cValues, &m_lpProps);
    if (FAILED(hr) || m_lpProps == nullptr) {
        m_lpWABObject->FreeBuffer(m_lpProps);
        m_lpProps = nullptr;
        m_cValues = 0;
        lpMailUser->Release();
        return false;
    }

    FillWabAddr(pRecord);

    pRecord->lpEntryID = static_cast<LPENTRYID>(LocalAlloc(LMEM_ZEROINIT, cbEntryID));
    if (pRecord->lpEntryID != nullptr) {
        memcpy(pRecord->lpEntryID, lpEntryID, cbEntryID);
        pRecord->cbEntryID = cbEntryID;
    }
    pRecord->lpMailUser = lpMailUser;

    m_lpWABObject->FreeBuffer(m_lpProps);
    m_lpProps = nullptr;
    m_cValues = 0;
    return true;
}

void CxWab::FillWabAddr(WabAddr* pRecord) {
    if (pRecord == nullptr) return;
    memset(pRecord, 0, sizeof(*pRecord));
    if (m_lpProps == nullptr) return;
    for (ULONG i = 0; i < m_cValues; ++i) {
        const SPropValue& v = m_lpProps[i];
        size_t nSize = 0;
        char* szMember = GetPropField(pRecord, v.ulPropTag, &nSize);
        if (szMember != nullptr)
            CopyText(szMember, nSize, v.Value.lpszA);
        else if (v.ulPropTag == PR_BIRTHDAY)
            pRecord->ftBirthday = v.Value.ft;
        else if (v.ulPropTag == PR_WEDDING_ANNIVERSARY)
            pRecord->ftWeddingAnniversary = v.Value.ft;
    }
}

char* CxWab::GetPropField(WabAddr* pRecord, ULONG ulPropTag, size_t* pnSize) {
    if (pRecord == nullptr) return nullptr;
    const WabAddrField* pField = FindWabAddrField(ulPropTag);
    if (pField == nullptr) return nullptr;
    if (pnSize != nullptr) *pnSize = pField->nWabSize;
    return reinterpret_cast<char*>(pRecord) + pField->nWabOffset;
}

void CxWab::FreeRows(LPSRowSet lpRows) {
    if (lpRows == nullptr || m_lpWABObject == nullptr) return;
    for (ULONG i = 0; i < lpRows->cRows; ++i) m_lpWABObject->FreeBuffer(lpRows->aRow[i].lpProps);
    m_lpWABObject->FreeBuffer(lpRows);
}

bool CxWab::SaveAddr(CommAddr* pAddr) {
    if (pAddr == nullptr) return false;
    WabAddr* pWabAddr = nullptr;
    switch (FindWabAddr(pAddr, &pWabAddr)) {
    case ADDR_NOT_FOUND:
        return AddAddr(pAddr);
    case ADDR_FOUND_DIFF:
        return UpdateAddr(pAddr, pWabAddr);
    default:
        return false;  // an equal counterpart: nothing to write
    }
}

bool CxWab::AddAddr(CommAddr* pAddr) {
    if (pAddr == nullptr) return false;
    if (m_pRootFolder == nullptr || m_lpWABObject == nullptr) return false;

    WabAddr* pRecord = new WabAddr();
    CommAddrToWabAddr(pAddr, pRecord);

    ULONG cbTemplate = 0;
    LPENTRYID lpTemplate = nullptr;
    if (!GetCreateTemplate(MAPI_MAILUSER, &cbTemplate, &lpTemplate, m_pRootFolder)) {
        delete pRecord;
        return false;
    }

    LPMAPIPROP lpEntry = nullptr;
    HRESULT hr = m_pRootFolder->GetContainer()->CreateEntry(cbTemplate, lpTemplate, CREATE_CHECK_DUP_LOOSE, &lpEntry);
    m_lpWABObject->FreeBuffer(lpTemplate);
    if (FAILED(hr) || lpEntry == nullptr) {
        if (lpEntry != nullptr) lpEntry->Release();
        delete pRecord;
        return false;
    }
    LPMAILUSER lpMailUser = static_cast<LPMAILUSER>(lpEntry);

    // Listed only once the address book has stored it; a refused entry (a
    // duplicate, for one) must not show up as written.
    if (!WriteProps(pRecord, lpMailUser)) {
        lpMailUser->Release();
        delete pRecord;
        return false;
    }

    m_lpMailUser = lpMailUser;
    pRecord->lpMailUser = lpMailUser;  // the identifier of a new entry is not read back
    m_pRootFolder->AddRecord(pRecord);
    return true;
}

int CxWab::FindWabAddr(CommAddr* pAddr, WabAddr** ppWabAddr) {
    if (ppWabAddr != nullptr) *ppWabAddr = nullptr;
    if (pAddr == nullptr || m_pAddrMgr == nullptr) return -1;
    CommAddr* pFound = nullptr;
    int nPos = 0;
    int nResult = m_pAddrMgr->FindAddr(pAddr, &pFound, &nPos);
    if (pFound != nullptr && ppWabAddr != nullptr && pFound->pSideData != nullptr &&
        pFound->nSideDataSize == sizeof(WabAddr))
        *ppWabAddr = static_cast<WabAddr*>(pFound->pSideData);
    return nResult;
}

bool CxWab::UpdateAddr(CommAddr* pAddr, WabAddr* pWabAddr) {
    if (pAddr == nullptr || pWabAddr == nullptr || pWabAddr->lpEntryID == nullptr || pWabAddr->cbEntryID == 0)
        return false;
    if (m_lpAdrBook == nullptr) return false;

    m_lpMailUser = nullptr;
    ULONG ulObjType = 0;
    LPUNKNOWN lpUnk = nullptr;
    HRESULT hr = m_lpAdrBook->OpenEntry(pWabAddr->cbEntryID, pWabAddr->lpEntryID, nullptr, MAPI_MODIFY, &ulObjType,
                                        &lpUnk);
    if (FAILED(hr) || lpUnk == nullptr) {
        if (lpUnk != nullptr) lpUnk->Release();
        return false;
    }
    m_lpMailUser = static_cast<LPMAILUSER>(lpUnk);

    WabAddr staging;
    memset(&staging, 0, sizeof(staging));
    CommAddrToWabAddr(pAddr, &staging);
    bool bWritten = WriteProps(&staging, m_lpMailUser);

    // The entry opened for changing is this update's alone.
    m_lpMailUser->Release();
    m_lpMailUser = nullptr;
    return bWritten;
}

bool CxWab::GetCreateTemplate(ULONG ulObjType, ULONG* lpcbEntryID, LPENTRYID* lppEntryID, CxWabFolder* pFolder) {
    if (lpcbEntryID == nullptr || lppEntryID == nullptr) return false;
    *lpcbEntryID = 0;
    *lppEntryID = nullptr;
    if (pFolder == nullptr) pFolder = m_pRootFolder;
    if (pFolder == nullptr || pFolder->GetContainer() == nullptr || m_lpWABObject == nullptr) return false;

    ULONG cValues = 0;
    LPSPropValue lpValues = nullptr;
    HRESULT hr = pFolder->GetContainer()->GetProps(reinterpret_cast<LPSPropTagArray>(&s_CreateTemplates), 0,
                                                   &cValues, &lpValues);
    bool bOk = false;
    if (SUCCEEDED(hr) && lpValues != nullptr && cValues >= 2 && lpValues[0].ulPropTag == PR_DEF_CREATE_MAILUSER &&
        lpValues[1].ulPropTag == PR_DEF_CREATE_DL) {
        const SBinary& bin = (ulObjType == MAPI_DISTLIST) ? lpValues[1].Value.bin : lpValues[0].Value.bin;
        LPVOID lpBuffer = nullptr;
        if (bin.cb != 0 && bin.lpb != nullptr && SUCCEEDED(m_lpWABObject->AllocateBuffer(bin.cb, &lpBuffer)) &&
            lpBuffer != nullptr) {
            memcpy(lpBuffer, bin.lpb, bin.cb);
            *lpcbEntryID = bin.cb;
            *lppEntryID = static_cast<LPENTRYID>(lpBuffer);
            bOk = true;
        }
    }
    m_lpWABObject->FreeBuffer(lpValues);
    return bOk;
}

bool CxWab::WriteProps(WabAddr* pRecord, LPMAILUSER lpMailUser) {
    if (lpMailUser == nullptr) lpMailUser = m_lpMailUser;
    if (pRecord == nullptr || lpMailUser == nullptr) return false;

    // Empty texts and zero dates are left out, so a write never clears a
    // property the entry already has.
    SPropValue values[WAB_ADDR_TEXT_COUNT + 2];
    memset(values, 0, sizeof(values));
    ULONG cValues = 0;
    for (size_t i = 0; i < WAB_ADDR_TEXT_COUNT; ++i) {
        char* szText = reinterpret_cast<char*>(pRecord) + g_WabAddrFields[i].nWabOffset;
        if (szText[0] == '\0') continue;
        values[cValues].ulPropTag = g_WabAddrFields[i].ulPropTag;
        values[cValues].Value.lpszA = szText;
        ++cValues;
    }
    if (!IsZero(pRecord->ftBirthday)) {
        values[cValues].ulPropTag = PR_BIRTHDAY;
        values[cValues].Value.ft = pRecord->ftBirthday;
        ++cValues;
    }
    if (!IsZero(pRecord->ftWeddingAnniversary)) {
        values[cValues].ulPropTag = PR_WEDDING_ANNIVERSARY;
        values[cValues].Value.ft = pRecord->ftWeddingAnniversary;
        ++cValues;
    }

    if (FAILED(lpMailUser->SetProps(cValues, values, nullptr))) return false;
    return SUCCEEDED(lpMailUser->SaveChanges(0));
}

// ---------------------------------------------------------------------------
// CxWabFolder

CxWabFolder::CxWabFolder(CxWab* pWab, LPABCONT pContainer) : m_pWab(pWab), m_pAddrList(nullptr), m_lpContainer(pContainer) {
    CX_ASSERT(pWab!=NULL);
    CX_ASSERT(pContainer!=NULL);
    m_pAddrList = new CxList();
}

CxWabFolder::~CxWabFolder() {
    Clear();
    if (m_lpContainer != nullptr) m_lpContainer->Release();
    m_lpContainer = nullptr;
    delete m_pAddrList;
    m_pAddrList = nullptr;
}

bool CxWabFolder::AddRecord(WabAddr* pRecord) {
    if (pRecord == nullptr) return false;
    m_pAddrList->Add(pRecord);

    CommAddr addr;
    memset(&addr, 0, sizeof(addr));
    WabAddrToCommAddr(pRecord, &addr);
    addr.nSourceType = SOURCE_TYPE_WAB;
    addr.pSideData = pRecord;
    addr.nSideDataSize = sizeof(WabAddr);
    return m_pWab->GetAddrMgr()->AddCopy(&addr) != nullptr;
}

void CxWabFolder::Clear() {
    for (void* p = m_pAddrList->GetFirst(); p != nullptr; p = m_pAddrList->GetNext()) {
        WabAddr* pRecord = static_cast<WabAddr*>(p);
        if (pRecord->lpEntryID != nullptr) LocalFree(pRecord->lpEntryID);
        if (pRecord->lpMailUser != nullptr) pRecord->lpMailUser->Release();
        delete pRecord;
    }
    m_pAddrList->RemoveAll();
}
