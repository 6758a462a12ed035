// The WAB store against the stand-in library: opening an address book of
// 10,000 contacts (every entry opened and read), and adding 1,000 contacts,
// each stored by its own synced transaction. The library is found through the
// registry file beside the program.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/oe/CxWab.h"
#include "common/oe/WabAddr.h"
#include "platform/win32/TextCopy.h"
#include "standins/wab32/WabFile.h"
#include "support/TempDir.h"

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

// The run's own folder, removed when the program ends; ends with '/'.
const std::string& TempFolder() {
    static TempDir s_Dir("bench_wab");
    return s_Dir.Path();
}

// What the store writes for a contact: every non-empty text and each date
// that is set.
std::vector<CWabProp> StoredValues(const CommAddr& addr) {
    WabAddr wab;
    memset(&wab, 0, sizeof(wab));
    CommAddrToWabAddr(&addr, &wab);
    std::vector<CWabProp> props;
    for (const WabAddrField& f : g_WabAddrFields) {
        const char* szText = reinterpret_cast<const char*>(&wab) + f.nWabOffset;
        if (*szText == '\0') continue;
        CWabProp prop;
        prop.ulTag = f.ulPropTag;
        prop.sText = szText;
        props.push_back(prop);
    }
    for (const auto& date : {std::make_pair(PR_BIRTHDAY, wab.ftBirthday),
                             std::make_pair(PR_WEDDING_ANNIVERSARY, wab.ftWeddingAnniversary)}) {
        if (date.second.dwLowDateTime == 0 && date.second.dwHighDateTime == 0) continue;
        CWabProp prop;
        prop.ulTag = date.first;
        prop.nValue = int64_t((uint64_t(date.second.dwHighDateTime) << 32) | date.second.dwLowDateTime);
        props.push_back(prop);
    }
    return props;
}

// An address book of nCount contacts, prepared once per run through the
// stand-in's file layer in one transaction: adding them one by one through
// the store would sync the file 10,000 times.
std::string BookOf(int nCount) {
    std::string sFile = TempFolder() + "book" + std::to_string(nCount) + ".wab";
    if (!fs::exists(sFile)) {
        CWabFile file;
        bool bOk = file.Open(sFile, true) == CWabFile::OPEN_OK && file.BeginBatch();
        for (int i = 0; bOk && i < nCount; ++i) {
            int64_t nId = 0;
            bOk = file.Save(&nId, MAPI_MAILUSER, StoredValues(*MakeContact(i, "")), {}, false) == CWabFile::SAVE_OK;
        }
        // A book left short is reported by the benchmark's count check.
        if (bOk) file.CommitBatch();
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
        const std::string sFile = TempFolder() + "add" + std::to_string(nRun++) + ".wab";
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
