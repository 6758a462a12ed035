// WABOpen on a file the user picked. The first input byte chooses the mode;
// the rest is the file. Bit 0 stamps the address book marks into the header
// (a damaged or hand-made book that passes the marker check); bit 1 adds an
// entry after reading. A file WABOpen refuses must be left byte for byte;
// a book it opens must read through without a crash, a hang or a leak.
#include <cstring>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "platform/wab/WabApi.h"
#include "standins/wab32/WabStandin.h"

extern "C" HRESULT WABOpen(LPADRBOOK* lppAdrBook, LPWABOBJECT* lppWABObject, LPWAB_PARAM lpWP, DWORD);

namespace {

void ReadEntry(LPADRBOOK pBook, LPWABOBJECT pWab, const SPropValue& id) {
    if (id.ulPropTag != PR_ENTRYID) return;
    ULONG ulType = 0;
    LPUNKNOWN pUnk = nullptr;
    if (FAILED(pBook->OpenEntry(id.Value.bin.cb, reinterpret_cast<LPENTRYID>(id.Value.bin.lpb), nullptr, 0, &ulType,
                                &pUnk)))
        return;
    LPMAILUSER pUser = static_cast<LPMAILUSER>(pUnk);
    ULONG cValues = 0;
    LPSPropValue pValues = nullptr;
    if (SUCCEEDED(pUser->GetProps(nullptr, 0, &cValues, &pValues))) pWab->FreeBuffer(pValues);
    pUnk->Release();
}

void AddEntry(LPABCONT pPab, LPWABOBJECT pWab) {
    SPropTagArray tags = {1, {PR_DEF_CREATE_MAILUSER}};
    ULONG cValues = 0;
    LPSPropValue pValues = nullptr;
    if (FAILED(pPab->GetProps(&tags, 0, &cValues, &pValues))) return;
    LPMAPIPROP pEntry = nullptr;
    if (cValues == 1 && pValues[0].ulPropTag == PR_DEF_CREATE_MAILUSER &&
        SUCCEEDED(pPab->CreateEntry(pValues[0].Value.bin.cb, reinterpret_cast<LPENTRYID>(pValues[0].Value.bin.lpb),
                                    CREATE_CHECK_DUP_LOOSE, &pEntry))) {
        SPropValue name;
        memset(&name, 0, sizeof(name));
        name.ulPropTag = PR_DISPLAY_NAME;
        name.Value.lpszA = const_cast<char*>("Fuzz Entry");
        if (SUCCEEDED(pEntry->SetProps(1, &name, nullptr))) pEntry->SaveChanges(0);
        pEntry->Release();
    }
    pWab->FreeBuffer(pValues);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static FuzzFile s_File("book.wab");
    if (nSize < 1) return 0;
    const uint8_t nMode = pData[0];
    std::string sBytes(reinterpret_cast<const char*>(pData + 1), nSize - 1);
    if ((nMode & 1) != 0 && sBytes.size() >= 100) {
        memcpy(&sBytes[0], "SQLite format 3", 16);
        memcpy(&sBytes[60], "\0\0\0\1", 4);   // schema version 1
        memcpy(&sBytes[68], "PWAB", 4);       // application id
    }
    s_File.Write(reinterpret_cast<const uint8_t*>(sBytes.data()), sBytes.size());

    WAB_PARAM wp;
    memset(&wp, 0, sizeof(wp));
    wp.cbSize = sizeof(wp);
    std::string sPath = s_File.Path();
    wp.szFileName = &sPath[0];
    LPADRBOOK pBook = nullptr;
    LPWABOBJECT pWab = nullptr;
    HRESULT hr = WABOpen(&pBook, &pWab, &wp, 0);
    if (FAILED(hr)) {
        FUZZ_CHECK(pBook == nullptr && pWab == nullptr);
        if (!sBytes.empty()) FUZZ_CHECK(s_File.Read() == sBytes);
        return 0;
    }

    ULONG cbPab = 0;
    LPENTRYID pPabId = nullptr;
    LPABCONT pPab = nullptr;
    if (SUCCEEDED(pBook->GetPAB(&cbPab, &pPabId))) {
        ULONG ulType = 0;
        LPUNKNOWN pUnk = nullptr;
        if (SUCCEEDED(pBook->OpenEntry(cbPab, pPabId, nullptr, 0, &ulType, &pUnk)))
            pPab = static_cast<LPABCONT>(pUnk);
        pWab->FreeBuffer(pPabId);
    }
    if (pPab != nullptr) {
        LPMAPITABLE pTable = nullptr;
        if (SUCCEEDED(pPab->GetContentsTable(0, &pTable))) {
            int nRows = 0;
            for (;;) {
                LPSRowSet pRows = nullptr;
                if (FAILED(pTable->QueryRows(16, 0, &pRows)) || pRows == nullptr) break;
                ULONG cRows = pRows->cRows;
                for (ULONG i = 0; i < cRows; ++i) {
                    for (ULONG j = 0; j < pRows->aRow[i].cValues && nRows < 64; ++j)
                        ReadEntry(pBook, pWab, pRows->aRow[i].lpProps[j]);
                    ++nRows;
                    pWab->FreeBuffer(pRows->aRow[i].lpProps);
                }
                pWab->FreeBuffer(pRows);
                if (cRows == 0) break;
            }
            pTable->Release();
        }
        if ((nMode & 2) != 0) AddEntry(pPab, pWab);
        pPab->Release();
    }
    pBook->Release();
    pWab->Release();
    FUZZ_CHECK(WabStandinOutstandingBuffers() == 0 && WabStandinLiveObjects() == 0);
    return 0;
}
