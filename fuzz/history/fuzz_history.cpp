// The history reader on any bytes as "synchis.dat": Load must not crash,
// hang or leak, must never change the file it read, and the records it gives
// must come back unchanged when saved and loaded again. A file it does not
// call damaged is one the program wrote: saving it again gives its bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "app/Apputil.h"
#include "app/SyncHistory.h"

namespace {

// The data folder lives in a scratch folder; the path is the history file
// the manager reads.
const std::string& HistoryPath() {
    static FuzzFile s_Home("unused");
    static std::string s_sPath = [] {
        setenv("XDG_DATA_HOME", s_Home.Dir().c_str(), 1);
        char szFolder[MAX_PATH];
        FUZZ_CHECK(GetDataFolder(szFolder));
        return std::string(szFolder) + "synchis.dat";
    }();
    return s_sPath;
}

void WriteAll(const std::string& sPath, const uint8_t* pData, size_t nSize) {
    FILE* f = fopen(sPath.c_str(), "wb");
    FUZZ_CHECK(f != nullptr);
    FUZZ_CHECK(nSize == 0 || fwrite(pData, 1, nSize, f) == nSize);
    fclose(f);
}

std::string ReadAll(const std::string& sPath) {
    std::string s;
    FILE* f = fopen(sPath.c_str(), "rb");
    FUZZ_CHECK(f != nullptr);
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) s.append(buf, n);
    fclose(f);
    return s;
}

std::vector<SyncHistoryRec> Records(SyncHistoryMgr& mgr) {
    std::vector<SyncHistoryRec> recs;
    for (SyncHistoryRec* p = mgr.GetFirst(); p; p = mgr.GetNext()) recs.push_back(*p);
    return recs;
}

bool Same(const SyncHistoryRec& a, const SyncHistoryRec& b) {
    return strcmp(a.szDescription, b.szDescription) == 0 && memcmp(&a.dtStart, &b.dtStart, sizeof(double)) == 0 &&
           memcmp(&a.dtEnd, &b.dtEnd, sizeof(double)) == 0 && a.nRecordCount == b.nRecordCount &&
           memcmp(a.nReserved, b.nReserved, sizeof(a.nReserved)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    const std::string& sPath = HistoryPath();
    WriteAll(sPath, pData, nSize);
    std::vector<SyncHistoryRec> recs;
    bool bDamaged;
    {
        SyncHistoryMgr mgr;
        FUZZ_CHECK(mgr.Load());
        FUZZ_CHECK(ReadAll(sPath) == std::string(reinterpret_cast<const char*>(pData), nSize));
        recs = Records(mgr);
        bDamaged = mgr.IsDamaged();
        // Every record takes at least 104 bytes of the file.
        FUZZ_CHECK(recs.size() * 104 <= nSize);
        for (const SyncHistoryRec& r : recs) FUZZ_CHECK(strlen(r.szDescription) < sizeof(r.szDescription));
        FUZZ_CHECK(mgr.Save());
    }
    SyncHistoryMgr again;
    FUZZ_CHECK(again.Load());
    std::vector<SyncHistoryRec> back = Records(again);
    FUZZ_CHECK(back.size() == recs.size());
    size_t nExpected = 4;
    for (size_t i = 0; i < recs.size(); ++i) {
        FUZZ_CHECK(Same(recs[i], back[i]));
        nExpected += 104 + strlen(recs[i].szDescription);
    }
    FUZZ_CHECK(ReadAll(sPath).size() == nExpected);
    FUZZ_CHECK(again.IsDamaged() == false);
    if (!bDamaged) FUZZ_CHECK(ReadAll(sPath) == std::string(reinterpret_cast<const char*>(pData), nSize));
    return 0;
}
