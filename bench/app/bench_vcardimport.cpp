// vCard import of 10,000 contacts into each stand-in store: new contacts into
// an empty store, and the same file again into the store that now holds them
// all (every record looked up, nothing written). The file is read inside the
// timing; reading alone is measured with the vCard library.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/VCardTransfer.h"
#include "app/fixtures/SyncStores.h"
#include "common/misc/CxDebugUtil.h"

namespace {

namespace fs = std::filesystem;

const int kCards = 10000;
std::string g_sDir;
std::string g_sFile;

bool MakeFile() {
    std::vector<CommAddr> addrs;
    std::vector<const CommAddr*> ptrs;
    addrs.reserve(kCards);
    for (int i = 0; i < kCards; ++i) {
        char szFirst[32], szLast[32], szEmail[64];
        snprintf(szFirst, sizeof(szFirst), "First%05d", i);
        snprintf(szLast, sizeof(szLast), "Last%05d", i);
        snprintf(szEmail, sizeof(szEmail), "person%05d@example.com", i);
        addrs.push_back(MakeContact(szFirst, szLast, szEmail, "+1 555 0100", "Met at the spring fair; prefers e-mail."));
        CopyText(addrs.back().szCompany, "Example Trading");
        CopyText(addrs.back().szWorkCity, "Portsmouth");
    }
    for (const CommAddr& a : addrs) ptrs.push_back(&a);
    g_sFile = g_sDir + "contacts.vcf";
    std::string sError;
    return CxVCard::WriteFile(g_sFile.c_str(), ptrs, VCARD_VERSION_30, sError);
}

// bAgain: the store already holds the file's contacts.
void Import(benchmark::State& state, int nStore, bool bAgain) {
    int nRun = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string sHome = g_sDir + "run" + std::to_string(nRun++) + "/";
        fs::create_directories(sHome);
        auto pStores = std::make_unique<SyncStores>(sHome);
        SyncHistoryMgr history;
        VCardImportResult result;
        if (!pStores->Open()) {
            state.SkipWithError("could not open the stores");
            return;
        }
        VCardTransfer transfer(pStores->Wab(), pStores->Outlook(), &history);
        if (bAgain && !(transfer.Import(g_sFile.c_str(), nStore, result) && result.nAdded == kCards)) {
            state.SkipWithError("could not fill the store");
            return;
        }
        state.ResumeTiming();
        const bool bOk = transfer.Import(g_sFile.c_str(), nStore, result);
        state.PauseTiming();
        if (!bOk || (bAgain ? result.nUnchanged : result.nAdded) != kCards) {
            state.SkipWithError("the import did not do what it should");
            return;
        }
        pStores.reset();
        fs::remove_all(sHome);
        state.ResumeTiming();
    }
}

void BM_ImportNewIntoWab(benchmark::State& state) { Import(state, VCARD_STORE_WAB, false); }
void BM_ImportNewIntoOutlook(benchmark::State& state) { Import(state, VCARD_STORE_OUTLOOK, false); }
void BM_ImportAgainIntoWab(benchmark::State& state) { Import(state, VCARD_STORE_WAB, true); }
void BM_ImportAgainIntoOutlook(benchmark::State& state) { Import(state, VCARD_STORE_OUTLOOK, true); }

BENCHMARK(BM_ImportNewIntoWab)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportNewIntoOutlook)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportAgainIntoWab)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportAgainIntoOutlook)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    char szTemplate[] = "/tmp/pellmark-bench-vcardimport-XXXXXX";
    if (mkdtemp(szTemplate) == nullptr) return 1;
    g_sDir = std::string(szTemplate) + "/";
    g_DebugUtil.SetFolder(g_sDir.c_str());
    g_DebugUtil.Enable(false);
    if (MakeFile()) benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(g_sDir, ec);
    return 0;
}
