#include "standins/wab32/WabStandin.h"

#include "platform/wab/WabApi.h"

extern "C" __attribute__((visibility("default"))) HRESULT WABOpen(LPADRBOOK* lppAdrBook, LPWABOBJECT* lppWABObject,
                                                                  LPWAB_PARAM, DWORD) {
    if (lppAdrBook) *lppAdrBook = nullptr;
    if (lppWABObject) *lppWABObject = nullptr;
    return MAPI_E_CALL_FAILED;
}
extern "C" long WabStandinLiveObjects(void) { return 0; }
extern "C" long WabStandinOutstandingBuffers(void) { return 0; }
extern "C" long WabStandinBadFrees(void) { return 0; }
extern "C" long WabStandinCallCount(const char*) { return 0; }
extern "C" int WabStandinSetFail(const char*) { return 0; }
