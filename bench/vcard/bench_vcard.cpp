// vCard speed: reading and writing 10,000 cards (everyday contacts, and
// contacts with all 90 fields), and importing 10,000 new contacts into each
// stand-in through its tool's import command, program start included.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/vcard/CxVCard.h"
#include "vcard/fixtures/RecordGen.h"

namespace {

namespace fs = std::filesystem;

const int kCards = 10000;

std::string MakeFile(bool bFull) {
    std::string data;
    for (int n = 0; n < kCards; ++n)
        CxVCard::Write(bFull ? MakeTestRecord(n) : MakeSimpleRecord(n), VCARD_VERSION_30, data);
    return data;
}

void BM_ReadCards(benchmark::State& state) {
    std::string data = MakeFile(state.range(0) != 0);
    for (auto _ : state) {
        std::vector<CommAddr> addrs;
        addrs.reserve(kCards);
        CxVCardReport report;
        CxVCard::Read(data.data(), data.size(), addrs, report);
        if (addrs.size() != size_t(kCards)) state.SkipWithError("cards lost");
        benchmark::DoNotOptimize(addrs.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
    state.SetLabel(state.range(0) ? "all fields" : "everyday fields");
}
BENCHMARK(BM_ReadCards)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_WriteCards(benchmark::State& state) {
    std::vector<CommAddr> addrs;
    for (int n = 0; n < kCards; ++n) addrs.push_back(state.range(0) ? MakeTestRecord(n) : MakeSimpleRecord(n));
    for (auto _ : state) {
        std::string data;
        for (const CommAddr& a : addrs) CxVCard::Write(a, VCARD_VERSION_30, data);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetLabel(state.range(0) ? "all fields" : "everyday fields");
}
BENCHMARK(BM_WriteCards)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

std::string ProgramFolder() {
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec).parent_path().string() + "/";
}

// Runs one tool's import of 10,000 new contacts into a fresh store per round.
void RunImport(benchmark::State& state, const std::string& sCommand) {
    std::string sDir = fs::temp_directory_path().string() + "/bench_vcard_" + std::to_string(getpid());
    fs::create_directories(sDir);
    std::string sVcf = sDir + "/contacts.vcf";
    std::string data = MakeFile(false);
    FILE* f = fopen(sVcf.c_str(), "wb");
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
    int nRound = 0;
    for (auto _ : state) {
        std::string sStore = sDir + "/store" + std::to_string(nRound++);
        std::string sLine = "XDG_DATA_HOME='" + sDir + "' " + sCommand;
        for (const char* szFrom : {"STORE", "VCF"}) {
            size_t p = sLine.find(szFrom);
            sLine.replace(p, strlen(szFrom), szFrom[0] == 'S' ? sStore : sVcf);
        }
        if (system((sLine + " > /dev/null").c_str()) != 0) state.SkipWithError("import failed");
    }
    fs::remove_all(sDir);
}

void BM_ImportIntoWab(benchmark::State& state) {
    RunImport(state, "'" + ProgramFolder() + "wabtool' 'STORE.wab' import 'VCF'");
}
BENCHMARK(BM_ImportIntoWab)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ImportIntoOutlook(benchmark::State& state) {
    RunImport(state, "'" + ProgramFolder() + "OUTLOOK.EXE' --file 'STORE.db' import 'VCF'");
}
BENCHMARK(BM_ImportIntoOutlook)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
