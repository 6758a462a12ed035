#include "support/StandinHooks.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>

std::string ProgramFolder() {
    char szExe[PATH_MAX] = {0};
    ssize_t n = readlink("/proc/self/exe", szExe, sizeof(szExe) - 1);
    std::string sPath = n > 0 ? std::string(szExe, (size_t)n) : std::string();
    size_t nSlash = sPath.rfind('/');
    return nSlash == std::string::npos ? std::string("./") : sPath.substr(0, nSlash + 1);
}

bool LoadStandinHooks(const char* szFile, std::initializer_list<std::pair<void**, const char*>> hooks) {
    void* h = dlopen((ProgramFolder() + szFile).c_str(), RTLD_NOW);
    if (h == nullptr) return false;
    bool bAll = true;
    for (const auto& hook : hooks) {
        *hook.first = dlsym(h, hook.second);
        bAll = bAll && *hook.first != nullptr;
    }
    return bAll;
}

// The hooks are plain function pointers; dlsym fills them through void**.
#define HOOK(member, name) {reinterpret_cast<void**>(&member), name}

bool OlStandinHooks::Load() {
    return LoadStandinHooks("olstandin.so",
                            {HOOK(LiveObjects, "OlStandinLiveObjects"), HOOK(pfnSetFail, "OlStandinSetFail"),
                             HOOK(CallCount, "OlStandinCallCount"), HOOK(Destroyed, "OlStandinDestroyed"),
                             HOOK(ResetCounts, "OlStandinResetCounts"), HOOK(DataFile, "OlStandinDataFile"),
                             HOOK(SetFixedTime, "OlStandinSetFixedTime"), HOOK(Command, "OlStandinCommand")});
}

bool WabStandinHooks::Load() {
    return LoadStandinHooks("wab32.so", {HOOK(WABOpen, "WABOpen"), HOOK(LiveObjects, "WabStandinLiveObjects"),
                                         HOOK(OutstandingBuffers, "WabStandinOutstandingBuffers"),
                                         HOOK(BadFrees, "WabStandinBadFrees"),
                                         HOOK(CallCount, "WabStandinCallCount"),
                                         HOOK(pfnSetFail, "WabStandinSetFail")});
}

bool OlStandinHooks::SetFail(const char* szList) {
    bool bOk = pfnSetFail != nullptr && pfnSetFail(szList);
    EXPECT_TRUE(bOk) << "the stand-in Outlook refused the failure list \"" << (szList ? szList : "") << "\"";
    return bOk;
}

bool WabStandinHooks::SetFail(const char* szList) {
    bool bOk = pfnSetFail != nullptr && pfnSetFail(szList) == 0;
    EXPECT_TRUE(bOk) << "the stand-in address book refused the failure list \"" << (szList ? szList : "") << "\"";
    return bOk;
}
