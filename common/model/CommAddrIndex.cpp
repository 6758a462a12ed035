#include "common/model/CommAddrIndex.h"

CommAddrIndex::CommAddrIndex(CommAddrMgr* pMgr) : m_pMgr(pMgr) {
    if (pMgr == nullptr) return;
    m_groups.reserve(pMgr->GetCount());
    std::string sKey;
    for (CommAddr* p = pMgr->GetFirst(); p != nullptr; p = pMgr->GetNext()) {
        pMgr->MakeContactKey(p, &sKey);
        m_groups[sKey].push_back(p);
    }
}

int CommAddrIndex::Find(const CommAddr* pAddr, CommAddr** ppFound) const {
    if (pAddr == nullptr) return -1;
    if (m_pMgr == nullptr) return ADDR_NOT_FOUND;
    std::string sKey;
    m_pMgr->MakeContactKey(pAddr, &sKey);
    return Find(sKey, pAddr, ppFound);
}

int CommAddrIndex::Find(const std::string& sKey, const CommAddr* pAddr, CommAddr** ppFound) const {
    if (pAddr == nullptr) return -1;
    if (m_pMgr == nullptr) return ADDR_NOT_FOUND;
    auto it = m_groups.find(sKey);
    if (it == m_groups.end()) return ADDR_NOT_FOUND;
    // The walk stops at the first equal counterpart, else reports the last.
    CommAddr* pFound = it->second.back();
    int nResult = ADDR_FOUND_DIFF;
    for (CommAddr* q : it->second) {
        if (q == pAddr || m_pMgr->IsSameContent(pAddr, q)) {
            pFound = q;
            nResult = ADDR_FOUND_SAME;
            break;
        }
    }
    if (ppFound) *ppFound = pFound;
    return nResult;
}
