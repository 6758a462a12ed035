// Failure list, call counters, the live-object count and the exported hooks.
#include "standins/outlook/OlFailures.h"

#include <strings.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <mutex>
#include <vector>

#include "platform/win32/TextCopy.h"
#include "platform/win32/WinTime.h"
#include "standins/FailList.h"
#include "standins/outlook/OlCommand.h"
#include "standins/outlook/OlObjects.h"
#include "standins/outlook/OlProps.h"
#include "standins/outlook/OlStandin.h"
#include "standins/outlook/OlStore.h"

namespace {

std::mutex g_Lock;
bool IsKnownFail(const std::string& sName, const std::string& sQualifier);
CFailList g_HookList(IsKnownFail);
CFailList g_EnvList(IsKnownFail);
std::atomic<bool> g_bAnyFail{false};  // lets the common case skip the lock
std::unordered_map<std::string, long> g_Calls;  // by the name as called
long g_nAllCalls = 0;
std::atomic<long> g_nLiveObjects{0};
std::string g_sDestroyed;  // kinds destroyed since the last reset, comma-separated

// The entries the stand-in knows: the steps of creating the application
// (bare), every member of its objects (bare, ":empty" or ":null"), and
// "put" of a writable item property ("put" alone for every put).
bool IsKnownFail(const std::string& sName, const std::string& sQualifier) {
    if (sName == "create" || sName == "olerun" || sName == "queryinterface") return sQualifier.empty();
    if (sName == "put") {
        if (sQualifier.empty()) return true;
        if (strcasecmp(sQualifier.c_str(), OL_DL_MEMBERS) == 0) return false;  // internal, not a member
        return FindOlItemProp(OL_CONTACT_ITEM, sQualifier.c_str()) != nullptr ||
               FindOlItemProp(OL_DISTLIST_ITEM, sQualifier.c_str()) != nullptr;
    }
    if (!OlIsMemberName(sName)) return false;
    return sQualifier.empty() || sQualifier == "empty" || sQualifier == "null";
}

// The index in qualifiers of the first hit, the hook's list first (both
// count the call), or -1.
int CheckLists(const char* szName, std::initializer_list<const char*> qualifiers) {
    if (!g_bAnyFail.load()) return -1;
    std::lock_guard<std::mutex> lock(g_Lock);
    int nHook = g_HookList.Hit(szName, qualifiers);
    int nEnv = g_EnvList.Hit(szName, qualifiers);
    return nHook >= 0 ? nHook : nEnv;
}

}  // namespace

OlFailMode OlCheckFail(const std::string& sName) {
    static const OlFailMode s_Modes[] = {OL_FAIL_CODE, OL_FAIL_EMPTY, OL_FAIL_NULL};
    int n = CheckLists(sName.c_str(), {"", "empty", "null"});
    return n < 0 ? OL_FAIL_NONE : s_Modes[n];
}

bool OlCheckPutFail(const std::string& sName) { return CheckLists("put", {"", sName.c_str()}) >= 0; }

bool OlReadFailEnvironment() {
    std::string sError;
    std::lock_guard<std::mutex> lock(g_Lock);
    bool bOk = g_EnvList.Set(getenv("PELLMARK_OUTLOOK_FAIL"), &sError);
    if (!bOk) {
        g_EnvList.Set(nullptr);
        fprintf(stderr, "olstandin: PELLMARK_OUTLOOK_FAIL: unknown entry \"%s\"\n", sError.c_str());
    }
    g_bAnyFail = !g_HookList.Empty() || !g_EnvList.Empty();
    return bOk;
}

void OlCountCall(const std::string& sName) {
    std::lock_guard<std::mutex> lock(g_Lock);
    ++g_Calls[sName];
    if (sName != "GetIDsOfNames") ++g_nAllCalls;
}

void OlObjectCreated() { ++g_nLiveObjects; }
void OlObjectDestroyed(const char* szKind) {
    --g_nLiveObjects;
    std::lock_guard<std::mutex> lock(g_Lock);
    if (!g_sDestroyed.empty()) g_sDestroyed += ",";
    g_sDestroyed += szKind;
}

double OlNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    double dt = 0.0;
    SystemTimeToVariantTime(&st, &dt);
    return dt;
}

#define OL_EXPORT extern "C" __attribute__((visibility("default")))

OL_EXPORT long OlStandinLiveObjects(void) { return g_nLiveObjects.load(); }

OL_EXPORT bool OlStandinSetFail(const char* szList) {
    std::lock_guard<std::mutex> lock(g_Lock);
    bool bOk = g_HookList.Set(szList);
    g_bAnyFail = !g_HookList.Empty() || !g_EnvList.Empty();
    return bOk;
}

OL_EXPORT long OlStandinCallCount(const char* szName) {
    std::lock_guard<std::mutex> lock(g_Lock);
    if (szName == nullptr) return g_nAllCalls;
    long n = 0;
    for (const auto& it : g_Calls)
        if (strcasecmp(it.first.c_str(), szName) == 0) n += it.second;
    return n;
}

OL_EXPORT void OlStandinResetCounts(void) {
    std::lock_guard<std::mutex> lock(g_Lock);
    g_Calls.clear();
    g_nAllCalls = 0;
    g_sDestroyed.clear();
}

OL_EXPORT bool OlStandinDestroyed(char* szBuf, int nBufLen) {
    if (szBuf == nullptr || nBufLen <= 0) return false;
    std::lock_guard<std::mutex> lock(g_Lock);
    if (g_sDestroyed.size() >= (size_t)nBufLen) return false;
    CopyText(szBuf, (size_t)nBufLen, g_sDestroyed.c_str());
    return true;
}

OL_EXPORT bool OlStandinDataFile(char* szBuf, int nBufLen) {
    if (szBuf == nullptr || nBufLen <= 0) return false;
    std::string sPath = OlDefaultStorePath();
    if (sPath.empty() || sPath.size() >= (size_t)nBufLen) return false;
    CopyText(szBuf, (size_t)nBufLen, sPath.c_str());
    return true;
}

OL_EXPORT void OlStandinSetFixedTime(const SYSTEMTIME* pst) { SetFixedLocalTime(pst); }

OL_EXPORT int OlStandinCommand(int argc, const char* const* argv, FILE* out, FILE* err) {
    return RunOlCommand(argc, argv, out, err);
}
