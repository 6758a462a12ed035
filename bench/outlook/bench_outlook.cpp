// Loading 10,000 contacts through the automation layer, and adding 1,000,
// against the stand-in Outlook in a private folder.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "common/misc/CxDebugUtil.h"
#include "common/outlook/OlAddr.h"
#include "platform/com/Com.h"
#include "platform/win32/TextCopy.h"
#include "support/StandinRegistry.h"
#include "support/TempDir.h"

namespace {

std::string g_sDir;

// Points the registry at the stand-in and the Contacts file at sFile.
void UseContactsFile(const std::string& sFile) {
    const std::string sReg = g_sDir + "bench.reg";
    StandinRegistry reg;
    reg.sContactsFile = sFile;
    reg.Write(sReg);
    setenv("PELLMARK_REGISTRY", sReg.c_str(), 1);
}

// A filled address book record for contact n.
void MakeRecord(CommAddr* pAddr, int n) {
    memset(pAddr, 0, sizeof(CommAddr));
    char sz[64];
    snprintf(sz, sizeof(sz), "First%05d", n);
    CopyText(pAddr->szFirstName, sz);
    snprintf(sz, sizeof(sz), "Last%05d", n);
    CopyText(pAddr->szLastName, sz);
    snprintf(sz, sizeof(sz), "person%05d@example.com", n);
    CopyText(pAddr->szEmail, sz);
    CopyText(pAddr->szWorkPhone, "+1 555 0100");
    CopyText(pAddr->szHomePhone, "+1 555 0199");
    CopyText(pAddr->szCompany, "Example Trading");
    CopyText(pAddr->szTitle, "Buyer");
    CopyText(pAddr->szWorkStreet, "1 Harbour Road");
    CopyText(pAddr->szWorkCity, "Portsmouth");
    CopyText(pAddr->szWorkPostal, "PO1 2AB");
    CopyText(pAddr->szWorkCountry, "United Kingdom");
    CopyText(pAddr->szNote, "Met at the spring fair; prefers e-mail.");
    pAddr->dtBirthday = 29222.5 + n % 365;
}

// Adds contacts [nFirst, nFirst + nCount) through the store; false on a failure.
bool AddContacts(OlAddrUtil& store, int nFirst, int nCount) {
    std::unique_ptr<CommAddr> pAddr(new CommAddr);
    for (int n = nFirst; n < nFirst + nCount; ++n) {
        MakeRecord(pAddr.get(), n);
        if (!store.SyncContact(pAddr.get())) return false;
    }
    return true;
}

void BM_Load10000Contacts(benchmark::State& state) {
    const std::string sFile = g_sDir + "load10000.db";
    UseContactsFile(sFile);
    if (!std::filesystem::exists(sFile)) {
        OlAddrUtil seed;
        if (!AddContacts(seed, 0, 10000)) {
            state.SkipWithError("could not prepare 10,000 contacts");
            return;
        }
    }
    OlAddrUtil store;
    for (auto _ : state) {
        if (!store.Load() || store.GetAddrMgr()->GetCount() != 10000) {
            state.SkipWithError("load failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_Load10000Contacts)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Add1000Contacts(benchmark::State& state) {
    int nRun = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string sFile = g_sDir + "add1000-" + std::to_string(nRun++) + ".db";
        UseContactsFile(sFile);
        auto pStore = std::make_unique<OlAddrUtil>();
        pStore->Load();
        state.ResumeTiming();
        if (!AddContacts(*pStore, 0, 1000)) {
            state.SkipWithError("add failed");
            return;
        }
        state.PauseTiming();
        pStore.reset();
        std::filesystem::remove(sFile);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_Add1000Contacts)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TempDir dir("pellmark-bench-outlook");
    if (dir.Path().empty()) return 1;
    g_sDir = dir.Path();
    unsetenv("PELLMARK_OUTLOOK_FAIL");
    g_DebugUtil.SetFolder(g_sDir.c_str());
    g_DebugUtil.Enable(false);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CoUninitialize();
    return 0;
}
