// The comparison of two contact lists: the pairwise walk against the index,
// at 1,000 and 10,000 records a side.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "common/model/CommAddrMgr.h"
#include "model/fixtures/CompareWithWalk.h"

namespace {

enum Scenario { ALL_MATCHED, NONE_MATCHED, HALF_DIFFERENT };

CommAddr Record(int n, const char* szPrefix) {
    CommAddr addr{};
    snprintf(addr.szFirstName, sizeof(addr.szFirstName), "%sFirst%d", szPrefix, n);
    snprintf(addr.szLastName, sizeof(addr.szLastName), "Last%d", n);
    snprintf(addr.szEmail, sizeof(addr.szEmail), "user%d@example.com", n);
    snprintf(addr.szWorkPhone, sizeof(addr.szWorkPhone), "+1 555 %07d", n);
    snprintf(addr.szWorkStreet, sizeof(addr.szWorkStreet), "%d Main Street", n);
    snprintf(addr.szNote, sizeof(addr.szNote), "Met at the fair.\r\nCustomer number %d.", n);
    addr.nSourceType = SOURCE_TYPE_WAB;
    return addr;
}

// Two lists of n records; the second in reverse order so that matches are
// spread over the whole walk.
void Fill(int n, Scenario scenario, CommAddrMgr* pWab, CommAddrMgr* pOl) {
    for (int i = 0; i < n; ++i) {
        CommAddr addr = Record(i, "");
        pWab->AddCopy(&addr);
    }
    for (int i = n - 1; i >= 0; --i) {
        CommAddr addr = Record(i, scenario == NONE_MATCHED ? "X" : "");
        addr.nSourceType = SOURCE_TYPE_OUTLOOK;
        if (scenario == HALF_DIFFERENT && i % 2 == 1) {
            snprintf(addr.szNote, sizeof(addr.szNote), "Met at the fair.\nCustomer number %d, moved.", i);
        } else {
            snprintf(addr.szNote, sizeof(addr.szNote), "Met at the fair.\nCustomer number %d.", i);
        }
        pOl->AddCopy(&addr);
    }
}

template <bool bIndexed>
void BM_CompareWith(benchmark::State& state) {
    CommAddrMgr wab;
    CommAddrMgr ol;
    Fill(static_cast<int>(state.range(0)), static_cast<Scenario>(state.range(1)), &wab, &ol);
    for (auto _ : state) {
        const bool bOk = bIndexed ? wab.CompareWith(&ol) : CompareWithWalk(&wab, &ol);
        benchmark::DoNotOptimize(bOk);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"records", "scenario"});
    for (int n : {1000, 10000})
        for (int s : {ALL_MATCHED, NONE_MATCHED, HALF_DIFFERENT}) b->Args({n, s});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK_TEMPLATE(BM_CompareWith, false)->Name("Walk")->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_CompareWith, true)->Name("Index")->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
