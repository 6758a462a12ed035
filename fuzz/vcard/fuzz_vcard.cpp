// The vCard reader on any bytes: it must not crash, hang or leak, and every
// record it gives must come back unchanged when written and read again, in
// both versions.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/vcard/CxVCard.h"

namespace {

bool SameRecord(const CommAddr& a, const CommAddr& b) {
    for (int id = 1; id <= COMMADDR_FIELD_COUNT; ++id) {
        const CommAddrField& f = CommAddrFieldTable[id - 1];
        const void* pa = GetFieldMember(&a, id);
        const void* pb = GetFieldMember(&b, id);
        bool bSame = f.nType == FIELD_TEXT ? strcmp(static_cast<const char*>(pa), static_cast<const char*>(pb)) == 0
                                           : memcmp(pa, pb, size_t(f.nSize)) == 0;
        if (!bSame) {
            fprintf(stderr, "field %d \"%s\" differs after a round trip\n", id, f.szName);
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CxVCardLimits limits;
    limits.nMaxRecords = 64;  // keeps the records' memory small
    std::vector<CommAddr> addrs;
    CxVCardReport report;
    CxVCard::Read(reinterpret_cast<const char*>(pData), nSize, addrs, report, limits);
    if (report.issues.size() > CxVCardReport::kMaxIssues) abort();
    for (int nVersion : {VCARD_VERSION_30, VCARD_VERSION_40}) {
        std::string data;
        for (const CommAddr& a : addrs) CxVCard::Write(a, nVersion, data);
        std::vector<CommAddr> again;
        CxVCardReport report2;
        CxVCard::Read(data.data(), data.size(), again, report2, limits);
        if (again.size() != addrs.size()) {
            fprintf(stderr, "%zu records read back as %zu\n", addrs.size(), again.size());
            abort();
        }
        for (size_t i = 0; i < addrs.size(); ++i)
            if (!SameRecord(addrs[i], again[i])) abort();
    }
    return 0;
}
