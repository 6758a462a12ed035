// A contact list indexed by identity, answering as CommAddrMgr::FindAddr does
// without walking the whole list for every lookup.
#pragma once

#include "common/model/CommAddrMgr.h"

#include <string>
#include <unordered_map>
#include <vector>

class CommAddrIndex {
public:
    // Groups pMgr's records by MakeContactKey, in list order (this moves the
    // list cursor). A missing list gives an index that finds nothing. The
    // index holds pointers: records changed in place stay right (content is
    // compared live), but records added or removed later are not seen.
    explicit CommAddrIndex(CommAddrMgr* pMgr);

    CommAddrIndex(const CommAddrIndex&) = delete;
    CommAddrIndex& operator=(const CommAddrIndex&) = delete;

    // FindAddr's result for pAddr over the indexed records: ADDR_FOUND_SAME
    // with *ppFound the first record that is pAddr itself or has equal
    // content (IsSameContent), else ADDR_FOUND_DIFF with *ppFound the last
    // record of pAddr's identity, else ADDR_NOT_FOUND with *ppFound
    // untouched; -1 when pAddr is missing. ppFound may be missing.
    int Find(const CommAddr* pAddr, CommAddr** ppFound) const;

    // The same, for a caller that already holds pAddr's key (MakeContactKey
    // of the indexed list).
    int Find(const std::string& sKey, const CommAddr* pAddr, CommAddr** ppFound) const;

    // The list indexed, or none.
    CommAddrMgr* GetAddrMgr() const { return m_pMgr; }

private:
    CommAddrMgr* m_pMgr;
    std::unordered_map<std::string, std::vector<CommAddr*>> m_groups;
};
