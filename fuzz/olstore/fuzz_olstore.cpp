// The stand-in Outlook's Contacts file: the input is the file. A file the
// store refuses must be left byte for byte; one it opens must list and read
// every item and take a new one without a crash, a hang or a leak.
#include <string>

#include "FuzzFile.h"
#include "standins/outlook/OlStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static FuzzFile s_File("contacts.db");
    s_File.Write(pData, nSize);
    std::string sError;
    std::shared_ptr<OlStore> pStore = OlStore::Open(s_File.Path(), &sError);
    if (!pStore) {
        FUZZ_CHECK(!sError.empty());
        if (nSize > 0) FUZZ_CHECK(s_File.Read() == std::string(reinterpret_cast<const char*>(pData), nSize));
        return 0;
    }
    pStore->FolderName();
    pStore->StoreID();
    int nLoaded = 0;
    for (const std::string& sFolder : pStore->Folders()) {
        bool bFailed = false;
        for (long long nId : pStore->ItemIds(sFolder, &bFailed)) {
            if (++nLoaded > 64) break;
            OlItemRecord item;
            if (pStore->LoadItem(nId, &item, &bFailed)) FUZZ_CHECK(!bFailed && item.nId == nId);
        }
        pStore->Count(sFolder);
        pStore->ItemIdAt(sFolder, 1);
    }
    OlItemRecord item;
    OlPropValue name;
    name.sText = u"Fuzz";
    item.props["FirstName"] = name;
    if (pStore->SaveItem(&item, 45000.0)) {
        OlItemRecord back;
        bool bFailed = false;
        if (pStore->LoadItem(item.nId, &back, &bFailed)) FUZZ_CHECK(back.sEntryID == item.sEntryID);
        pStore->ItemIdByEntryID(item.sEntryID);
        pStore->DeleteItem(item.nId);
    }
    return 0;
}
