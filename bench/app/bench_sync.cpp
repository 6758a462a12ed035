// Synchronization runs over 10,000 contacts a side in the stand-in stores:
// mode 1 and mode 2 with 1,000 new contacts ticked, and mode 3 with half of
// the pairs differing and the WAB-wins rule. Each run ends with the refresh
// of the comparison (the list widgets are measured with the main window).
// Beside each run, the same store writes made directly, so the driver's own
// share is the difference.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/SyncDriver.h"
#include "app/fixtures/SyncStores.h"
#include "common/misc/CxDebugUtil.h"
#include "common/oe/WabAddr.h"
#include "standins/wab32/WabFile.h"

namespace {

namespace fs = std::filesystem;

std::string g_sDir;

// Contact n; bOther gives a different work phone (a differing pair).
CommAddr Contact(int n, bool bOther = false) {
    char szFirst[32], szLast[32], szEmail[64];
    snprintf(szFirst, sizeof(szFirst), "First%05d", n);
    snprintf(szLast, sizeof(szLast), "Last%05d", n);
    snprintf(szEmail, sizeof(szEmail), "person%05d@example.com", n);
    CommAddr a = MakeContact(szFirst, szLast, szEmail, bOther ? "+1 555 0999" : "+1 555 0100",
                             "Met at the spring fair; prefers e-mail.");
    CopyText(a.szCompany, "Example Trading");
    CopyText(a.szWorkCity, "Portsmouth");
    a.nSourceType = 3;
    return a;
}

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
    return props;
}

// The default address book of a data home, filled in one batch.
bool MakeBook(const std::string& sHome, int nFirst, int nCount) {
    SyncStores stores(sHome);  // points the data home there
    { CxWab wab; wab.Open(nullptr); }  // creates the default book's file
    std::string sFile;
    for (auto& e : fs::recursive_directory_iterator(sHome))
        if (e.path().extension() == ".wab") sFile = e.path().string();
    if (sFile.empty()) return false;
    CWabFile file;
    bool bOk = file.Open(sFile, false) == CWabFile::OPEN_OK && file.BeginBatch();
    for (int i = nFirst; bOk && i < nFirst + nCount; ++i) {
        int64_t nId = 0;
        bOk = file.Save(&nId, MAPI_MAILUSER, StoredValues(Contact(i)), {}, false) == CWabFile::SAVE_OK;
    }
    return bOk && file.CommitBatch();
}

// The Outlook Contacts file of a data home; every n with bDiffer(n) differs.
bool MakeOutlook(const std::string& sHome, int nFirst, int nCount, bool bHalfDiffer) {
    SyncStores stores(sHome);
    if (!stores.Open()) return false;
    for (int i = nFirst; i < nFirst + nCount; ++i) {
        CommAddr a = Contact(i, bHalfDiffer && i % 2 == 0);
        if (!stores.Outlook()->SyncContact(&a)) return false;
    }
    return true;
}

// A prepared pair of stores, copied afresh for each run.
struct Prepared {
    std::string sTemplate;
    bool bOk = false;
};

Prepared Prepare(const char* szName, int nOlFirst, bool bHalfDiffer) {
    Prepared p;
    p.sTemplate = g_sDir + szName + "/";
    fs::create_directories(p.sTemplate);
    p.bOk = MakeBook(p.sTemplate, 0, 10000) && MakeOutlook(p.sTemplate, nOlFirst, 10000, bHalfDiffer);
    return p;
}

std::string FreshCopy(const Prepared& p) {
    const std::string sHome = g_sDir + "run/";
    fs::remove_all(sHome);
    fs::copy(p.sTemplate, sHome, fs::copy_options::recursive);
    return sHome;
}

class Rows : public SyncRows {
public:
    void Fill(CommAddrMgr* pMgr) {
        m_rows = SyncStores::Records(pMgr);
        m_ticks.assign(m_rows.size(), false);
        for (size_t i = 0; i < m_rows.size(); ++i) m_ticks[i] = m_rows[i]->nStatus != ADDR_STATUS_SAME;
    }
    int GetRowCount() override { return (int)m_rows.size(); }
    CommAddr* GetRecord(int nRow) override { return m_rows[(size_t)nRow]; }
    bool IsTicked(int nRow) override { return m_ticks[(size_t)nRow]; }
    void Untick(int nRow) override { m_ticks[(size_t)nRow] = false; }
    std::vector<CommAddr*> m_rows;
    std::vector<bool> m_ticks;
};

class View : public SyncView {
public:
    explicit View(SyncStores* pStores) : m_pStores(pStores) {}
    void SetProgress(int) override {}
    void ShowProgress(bool) override {}
    void SetHourglass(bool) override {}
    void ShowMessage(const char* szText, bool bError) override {
        m_sBox = szText;
        m_bError = bError;
    }
    int AskConflict(const CommAddr*, const CommAddr*, SyncConflictAnswer*) override { return SYNC_MODAL_CANCEL; }
    void Refresh() override { m_pStores->Compare(); }
    SyncStores* m_pStores;
    std::string m_sBox;
    bool m_bError = false;
};

// One run per iteration on fresh copies; bDirect makes the same writes
// without the driver instead.
void Run(benchmark::State& state, const Prepared& prepared, int nMode, int nExpected, bool bDirect) {
    if (!prepared.bOk) {
        state.SkipWithError("could not prepare the stores");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        const std::string sHome = FreshCopy(prepared);
        auto pStores = std::make_unique<SyncStores>(sHome);
        if (!pStores->Open()) {
            state.SkipWithError("could not open the stores");
            return;
        }
        pStores->Compare();
        Rows wabRows, olRows;
        wabRows.Fill(pStores->Wab()->GetAddrMgr());
        olRows.Fill(pStores->Outlook()->GetAddrMgr());
        AppSettings settings;
        memset(&settings, 0, sizeof(settings));
        settings.ConfAction = CONF_WAB_WINS;
        SyncHistoryMgr history;
        View view(pStores.get());
        state.ResumeTiming();
        int nDone = 0;
        if (bDirect) {
            // The writes the run makes, in the same order, and the refresh.
            if (nMode == SYNC_OL_TO_WAB) {
                for (int i = 0; i < olRows.GetRowCount(); ++i)
                    if (olRows.IsTicked(i) && pStores->Wab()->SaveAddr(olRows.GetRecord(i))) ++nDone;
            } else {
                for (int i = 0; i < wabRows.GetRowCount(); ++i)
                    if (wabRows.IsTicked(i) && pStores->Outlook()->SyncContact(wabRows.GetRecord(i))) ++nDone;
            }
            pStores->Compare();
        } else {
            SyncDriver driver(pStores->Wab(), pStores->Outlook(), &wabRows, &olRows, &view, &settings, &history);
            driver.Synchronize(nMode);
            nDone = driver.GetUpdatedCount();
        }
        state.PauseTiming();
        if (nDone != nExpected) {
            state.SkipWithError(("updated " + std::to_string(nDone)).c_str());
            return;
        }
        pStores.reset();
        state.ResumeTiming();
    }
}

const Prepared& OneWay() {
    static Prepared s = Prepare("oneway", 1000, false);  // 1,000 only in WAB, 1,000 only in Outlook
    return s;
}
const Prepared& TwoWay() {
    static Prepared s = Prepare("twoway", 0, true);  // 5,000 differing pairs
    return s;
}

void BM_Mode1Run(benchmark::State& state) { Run(state, OneWay(), SYNC_WAB_TO_OL, 1000, false); }
void BM_Mode1StoreWrites(benchmark::State& state) { Run(state, OneWay(), SYNC_WAB_TO_OL, 1000, true); }
void BM_Mode2Run(benchmark::State& state) { Run(state, OneWay(), SYNC_OL_TO_WAB, 1000, false); }
void BM_Mode2StoreWrites(benchmark::State& state) { Run(state, OneWay(), SYNC_OL_TO_WAB, 1000, true); }
void BM_Mode3Run(benchmark::State& state) { Run(state, TwoWay(), SYNC_ALL, 5000, false); }
// Mode 3 with the WAB-wins rule writes each differing WAB contact to Outlook.
void BM_Mode3StoreWrites(benchmark::State& state) { Run(state, TwoWay(), SYNC_WAB_TO_OL, 5000, true); }

BENCHMARK(BM_Mode1Run)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Mode1StoreWrites)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Mode2Run)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Mode2StoreWrites)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Mode3Run)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Mode3StoreWrites)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    char szTemplate[] = "/tmp/pellmark-bench-sync-XXXXXX";
    if (mkdtemp(szTemplate) == nullptr) return 1;
    g_sDir = std::string(szTemplate) + "/";
    g_DebugUtil.SetFolder(g_sDir.c_str());
    g_DebugUtil.Enable(false);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(g_sDir, ec);
    return 0;
}
