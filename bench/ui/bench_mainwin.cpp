// The main window with 10,000 contacts a side in the stand-ins, on the
// offscreen platform: LoadContacts from the stores' creation to both lists
// filled, compared and ticked; and the refresh after a run (both lists
// refilled from memory, compared, default ticks). Half the contacts are the
// same on both sides, a quarter differ, a quarter are on one side only.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "app/ui/Main.h"
#include "common/oe/CxWab.h"
#include "common/outlook/OlAddr.h"
#include "platform/com/ComApi.h"
#include "platform/win32/TextCopy.h"

namespace {

const int kContacts = 10000;

void MakeRecord(CommAddr* pAddr, int n, bool bOutlook) {
    memset(pAddr, 0, sizeof(CommAddr));
    char sz[64];
    snprintf(sz, sizeof(sz), "First%05d", n);
    CopyText(pAddr->szFirstName, sz);
    snprintf(sz, sizeof(sz), "Last%05d", n);
    CopyText(pAddr->szLastName, sz);
    snprintf(sz, sizeof(sz), "person%05d@example.com", n);
    CopyText(pAddr->szEmail, sz);
    CopyText(pAddr->szWorkPhone, bOutlook && n % 4 == 1 ? "+1 555 0999" : "+1 555 0100");
    CopyText(pAddr->szHomePhone, "+1 555 0199");
    CopyText(pAddr->szCompany, "Example Trading");
    CopyText(pAddr->szTitle, "Buyer");
    CopyText(pAddr->szNote, "Met at the spring fair; prefers e-mail.");
}

// Fills both stores once; the data home is kept between runs.
bool Seed() {
    const char* szHome = getenv("XDG_DATA_HOME");
    const std::string sMark = std::string(szHome) + "/seeded";
    if (std::filesystem::exists(sMark)) return true;
    auto pAddr = std::make_unique<CommAddr>();
    {
        CxWab wab;
        if (!wab.Open("")) return false;
        for (int n = 0; n < kContacts; ++n) {
            MakeRecord(pAddr.get(), n % 4 == 3 ? n + 100000 : n, false);
            if (!wab.AddAddr(pAddr.get())) return false;
        }
    }
    {
        OlAddrUtil ol;
        for (int n = 0; n < kContacts; ++n) {
            MakeRecord(pAddr.get(), n % 4 == 2 ? n + 200000 : n, true);
            if (!ol.SyncContact(pAddr.get())) return false;
        }
    }
    FILE* f = fopen(sMark.c_str(), "w");
    if (f) fclose(f);
    return true;
}

void BM_LoadContacts(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto pForm = std::make_unique<TfmMain>();
        state.ResumeTiming();
        pForm->LoadContacts();
        state.PauseTiming();
        if (pForm->GetWabList()->topLevelItemCount() != kContacts) state.SkipWithError("WAB list not filled");
        pForm.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadContacts)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RefreshAfterRun(benchmark::State& state) {
    auto pForm = std::make_unique<TfmMain>();
    pForm->LoadContacts();
    for (auto _ : state) {
        pForm->FillWabList(false);
        pForm->FillOutlookList(false);
        pForm->CompareContacts();
    }
}
BENCHMARK(BM_RefreshAfterRun)->Unit(benchmark::kMillisecond)->Iterations(5);

// The parts of the refresh, to see where the time goes.
void BM_RefreshParts(benchmark::State& state) {
    auto pForm = std::make_unique<TfmMain>();
    pForm->LoadContacts();
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0: pForm->FillWabList(false); break;                        // one list refilled
        case 1: pForm->GetWabStore()->GetAddrMgr()->CompareWith(pForm->GetOlStore()->GetAddrMgr()); break;
        case 2: pForm->rbtnAddrSyncClick(); break;                       // default ticks, both lists
        }
    }
}
BENCHMARK(BM_RefreshParts)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string sHome = std::filesystem::temp_directory_path().string() + "/pellmark-bench-mainwin";
    if (getenv("PELLMARK_BENCH_HOME")) sHome = getenv("PELLMARK_BENCH_HOME");
    std::filesystem::create_directories(sHome);
    setenv("XDG_DATA_HOME", sHome.c_str(), 1);
    setenv("HOME", sHome.c_str(), 1);
    unsetenv("PELLMARK_REGISTRY");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    QApplication app(argc, argv);
    if (!Seed()) {
        fprintf(stderr, "could not prepare the stores\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CoUninitialize();
    return 0;
}
