// The WAB store against the stand-in library: opening an address book of
// 10,000 contacts (every entry opened and read), and adding 1,000 contacts.
// The library is found through the registry file beside the program.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/oe/CxWab.h"
#include "platform/win32/TextCopy.h"

namespace {

namespace fs = std::filesystem;

// A contact with the fields a typical entry has.
std::unique_ptr<CommAddr> MakeContact(int n, const char* szTag) {
    auto p = std::make_unique<CommAddr>();
    memset(p.get(), 0, sizeof(CommAddr));
    char sz[64];
    snprintf(sz, sizeof(sz), "First%s%d", szTag, n);
    CopyText(p->szFirstName, sz);
    snprintf(sz, sizeof(sz), "Last%d", n);
    CopyText(p->szLastName, sz);
    snprintf(sz, sizeof(sz), "user%s%d@example.com", szTag, n);
    CopyText(p->szEmail, sz);
    CopyText(p->szCompany, "Example Company Ltd");
    CopyText(p->szWorkPhone, "+1 555 0100");
    CopyText(p->szMobilePhone, "+1 555 0199");
    CopyText(p->szWorkStreet, "1 Main Street");
    CopyText(p->szWorkCity, "Springfield");
    CopyText(p->szNote, "A short note about this contact.");
    p->dtBirthday = 29222.0 + n % 3000;
    p->nSourceType = 3;
    return p;
}

// The run's own folder, removed when the program ends.
struct TempDir {
    std::string sPath;
    TempDir() {
        std::string sTemplate = (fs::temp_directory_path() / "bench_wab-XXXXXX").string();
        if (mkdtemp(&sTemplate[0]) != nullptr) sPath = sTemplate;
    }
    ~TempDir() {
        std::error_code ec;
        if (!sPath.empty()) fs::remove_all(sPath, ec);
    }
};

std::string TempFolder() {
    static TempDir s_Dir;
    return s_Dir.sPath;
}

// An address book of nCount contacts, built once per run.
std::string BookOf(int nCount) {
    std::string sFile = TempFolder() + "/book" + std::to_string(nCount) + ".wab";
    if (!fs::exists(sFile)) {
        CxWab wab(sFile.c_str());
        for (int i = 0; i < nCount; ++i) wab.AddAddr(MakeContact(i, "").get());
    }
    return sFile;
}

void BM_OpenBook(benchmark::State& state) {
    const int nCount = static_cast<int>(state.range(0));
    const std::string sFile = BookOf(nCount);
    CxWab wab;
    for (auto _ : state) {
        if (!wab.Open(sFile.c_str()) || wab.GetAddrMgr()->GetCount() != static_cast<DWORD>(nCount)) {
            state.SkipWithError("the address book did not open whole");
            break;
        }
    }
    state.counters["contacts"] = nCount;
}
BENCHMARK(BM_OpenBook)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_AddContacts(benchmark::State& state) {
    const int nCount = static_cast<int>(state.range(0));
    int nRun = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string sFile = TempFolder() + "/add" + std::to_string(nRun++) + ".wab";
        auto pWab = std::make_unique<CxWab>(sFile.c_str());
        std::vector<std::unique_ptr<CommAddr>> contacts;
        for (int i = 0; i < nCount; ++i) contacts.push_back(MakeContact(i, "New"));
        state.ResumeTiming();

        for (auto& p : contacts)
            if (!pWab->AddAddr(p.get())) {
                state.SkipWithError("a contact was not added");
                break;
            }

        state.PauseTiming();
        pWab.reset();
        fs::remove(sFile);
        state.ResumeTiming();
    }
    state.counters["contacts"] = nCount;
}
BENCHMARK(BM_AddContacts)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
