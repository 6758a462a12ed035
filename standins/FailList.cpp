// The failure-list parser and matcher both stand-ins compile in.
#include "standins/FailList.h"

#include <cerrno>
#include <cstdlib>

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    return s;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

}  // namespace

bool CFailList::Set(const char* szList, std::string* psError) {
    std::vector<Entry> entries;
    std::string sAll = szList != nullptr ? szList : "";
    size_t nPos = 0;
    while (nPos <= sAll.size()) {
        size_t nComma = sAll.find(',', nPos);
        if (nComma == std::string::npos) nComma = sAll.size();
        std::string sItem = Trim(sAll.substr(nPos, nComma - nPos));
        nPos = nComma + 1;
        if (sItem.empty()) continue;
        Entry e;
        bool bOk = true;
        std::string sRest = sItem;
        size_t nHash = sRest.find('#');
        if (nHash != std::string::npos) {
            std::string sNum = sRest.substr(nHash + 1);
            char* pEnd = nullptr;
            errno = 0;
            e.nNth = strtol(sNum.c_str(), &pEnd, 10);
            bOk = !sNum.empty() && sNum[0] >= '0' && sNum[0] <= '9' && *pEnd == '\0' && errno == 0 && e.nNth > 0;
            sRest = sRest.substr(0, nHash);
        }
        size_t nColon = sRest.find(':');
        e.sName = Lower(Trim(sRest.substr(0, nColon)));
        if (nColon != std::string::npos) {
            e.sQualifier = Lower(Trim(sRest.substr(nColon + 1)));
            bOk = bOk && !e.sQualifier.empty();
        }
        bOk = bOk && !e.sName.empty() && m_pfnKnown(e.sName, e.sQualifier);
        if (!bOk) {
            if (psError != nullptr) *psError = sItem;
            return false;
        }
        entries.push_back(e);
    }
    m_Entries = entries;
    return true;
}

int CFailList::Hit(const char* szName, std::initializer_list<const char*> qualifiers) {
    if (m_Entries.empty()) return -1;
    std::string sName = Lower(szName);
    int nHit = -1;
    for (Entry& e : m_Entries) {
        if (e.sName != sName) continue;
        int nIndex = 0;
        for (const char* szQual : qualifiers) {
            if (Lower(szQual) == e.sQualifier) break;
            ++nIndex;
        }
        if (nIndex == (int)qualifiers.size()) continue;
        ++e.nSeen;
        if (nHit < 0 && (e.nNth == 0 || e.nNth == e.nSeen)) nHit = nIndex;
    }
    return nHit;
}
