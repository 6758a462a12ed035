// Failure list, call counters, the live-object count and the exported hooks.
#include "standins/outlook/OlFailures.h"

#include <strings.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <mutex>
#include <vector>

#include "platform/win32/TextCopy.h"
#include "platform/win32/WinTime.h"
#include "standins/outlook/OlCommand.h"
#include "standins/outlook/OlStandin.h"
#include "standins/outlook/OlStore.h"

namespace {

struct FailEntry {
    std::string sName;  // lower case
    OlFailMode nMode = OL_FAIL_CODE;
    long nNth = 0;  // 0: every call
    long nSeen = 0;
};

std::mutex g_Lock;
std::vector<FailEntry> g_HookEntries;
std::vector<FailEntry> g_EnvEntries;
std::atomic<bool> g_bAnyFail{false};  // lets the common case skip the lock
std::unordered_map<std::string, long> g_Calls;  // by the name as called
long g_nAllCalls = 0;
std::atomic<long> g_nLiveObjects{0};
std::string g_sDestroyed;  // kinds destroyed since the last reset, comma-separated

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    return s;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

std::vector<FailEntry> ParseList(const char* szList) {
    std::vector<FailEntry> entries;
    if (szList == nullptr) return entries;
    std::string s(szList);
    size_t nPos = 0;
    while (nPos <= s.size()) {
        size_t nComma = s.find(',', nPos);
        std::string sItem = Trim(s.substr(nPos, nComma == std::string::npos ? std::string::npos : nComma - nPos));
        nPos = nComma == std::string::npos ? s.size() + 1 : nComma + 1;
        if (sItem.empty()) continue;
        FailEntry e;
        size_t nAt = sItem.rfind('@');
        if (nAt != std::string::npos) {
            e.nNth = atol(sItem.c_str() + nAt + 1);
            if (e.nNth < 1) e.nNth = 1;
            sItem = sItem.substr(0, nAt);
        }
        // "put:Name" keeps its colon; a mode comes after the last colon.
        size_t nColon = sItem.rfind(':');
        if (nColon != std::string::npos) {
            std::string sMode = Lower(sItem.substr(nColon + 1));
            if (sMode == "empty" || sMode == "null") {
                e.nMode = sMode == "empty" ? OL_FAIL_EMPTY : OL_FAIL_NULL;
                sItem = sItem.substr(0, nColon);
            }
        }
        e.sName = Lower(Trim(sItem));
        if (!e.sName.empty()) entries.push_back(e);
    }
    return entries;
}

OlFailMode CheckList(std::vector<FailEntry>& entries, const std::string& sLower) {
    OlFailMode nMode = OL_FAIL_NONE;
    for (FailEntry& e : entries) {
        if (e.sName != sLower) continue;
        ++e.nSeen;
        if (nMode == OL_FAIL_NONE && (e.nNth == 0 || e.nNth == e.nSeen)) nMode = e.nMode;
    }
    return nMode;
}

}  // namespace

OlFailMode OlCheckFail(const std::string& sName) {
    if (!g_bAnyFail.load()) return OL_FAIL_NONE;
    std::string sLower = Lower(sName);
    std::lock_guard<std::mutex> lock(g_Lock);
    OlFailMode nHook = CheckList(g_HookEntries, sLower);
    OlFailMode nEnv = CheckList(g_EnvEntries, sLower);
    return nHook != OL_FAIL_NONE ? nHook : nEnv;
}

void OlReadFailEnvironment() {
    std::vector<FailEntry> entries = ParseList(getenv("PELLMARK_OUTLOOK_FAIL"));
    std::lock_guard<std::mutex> lock(g_Lock);
    g_EnvEntries = entries;
    g_bAnyFail = !g_HookEntries.empty() || !g_EnvEntries.empty();
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

OL_EXPORT void OlStandinSetFail(const char* szList) {
    std::vector<FailEntry> entries = ParseList(szList);
    std::lock_guard<std::mutex> lock(g_Lock);
    g_HookEntries = entries;
    g_bAnyFail = !g_HookEntries.empty() || !g_EnvEntries.empty();
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
