#include "app/VCardTransfer.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "common/misc/CxDebugUtil.h"
#include "common/model/CommAddrIndex.h"
#include "common/model/CommAddrMgr.h"
#include "common/oe/CxWab.h"
#include "common/outlook/OlAddr.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinTime.h"

namespace {

// Problems of the file listed in the report; the rest are counted.
const size_t kReportIssues = 5;

double Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    double dt = 0;
    SystemTimeToVariantTime(&st, &dt);
    return dt;
}

std::string BaseName(const char* szPath) {
    const char* p = strrchr(szPath, '/');
    return p ? p + 1 : szPath;
}

}  // namespace

VCardTransfer::VCardTransfer(CxWab* pWab, OlAddrUtil* pOl, SyncHistoryMgr* pHistory)
    : m_pWab(pWab), m_pOl(pOl), m_pHistory(pHistory) {}

CommAddrMgr* VCardTransfer::OpenList(int nStore) const {
    if (nStore == VCARD_STORE_WAB) return m_pWab && m_pWab->IsOpen() ? m_pWab->GetAddrMgr() : nullptr;
    if (nStore == VCARD_STORE_OUTLOOK) return m_pOl && m_pOl->GetContactFolder() ? m_pOl->GetAddrMgr() : nullptr;
    return nullptr;
}

bool VCardTransfer::Write(int nStore, CommAddr* pAddr, CommAddr* pFound) {
    if (nStore == VCARD_STORE_OUTLOOK) return m_pOl->SyncContact(pAddr);  // keeps its list in step itself
    if (pFound == nullptr) return m_pWab->AddAddr(pAddr);
    if (!m_pWab->SaveAddr(pAddr)) return false;
    // The address book's list record takes the values written, as Outlook's
    // does, so the refreshed list shows them; it keeps its own side data.
    void* pSideData = pFound->pSideData;
    const DWORD nSideDataSize = pFound->nSideDataSize;
    const INT nSourceType = pFound->nSourceType;
    memcpy(pFound, pAddr, sizeof(CommAddr));
    pFound->pSideData = pSideData;
    pFound->nSideDataSize = nSideDataSize;
    pFound->nSourceType = nSourceType;
    pFound->pMatch = nullptr;
    return true;
}

bool VCardTransfer::Import(const char* szPath, int nStore, VCardImportResult& result,
                           const std::function<void(int)>& fnProgress) {
    result = VCardImportResult();
    CommAddrMgr* pMgr = OpenList(nStore);
    if (pMgr == nullptr) {
        result.szError = std::string("The ") + StoreName(nStore) + " contacts are not open.";
        return false;
    }
    const std::string sName = BaseName(szPath ? szPath : "");
    std::vector<CommAddr> addrs;
    if (!CxVCard::ReadFile(szPath, addrs, result.report)) {
        result.szError = "The file \"" + sName + "\" could not be read: " + result.report.szError + ".";
        return false;
    }
    if (result.report.nCards == 0) {
        result.szError = "The file \"" + sName + "\" holds no vCard contacts.";
        return false;
    }
    for (const CxVCardIssue& issue : result.report.issues)
        g_DebugUtil.Print(LOG_HIGH, __FILE__, __LINE__, "vCard import from \"%s\": %s", sName.c_str(),
                          CxVCard::FormatIssue(issue).c_str());

    result.bRead = true;
    result.nSkipped = result.report.nSkipped;
    result.nCut = result.report.nCut;
    result.nLeftOut = result.report.nUnplaced;

    SyncHistoryRec rec;
    memset(&rec, 0, sizeof(rec));
    rec.dtStart = Now();
    // Cards of one contact (same identity) written one after the other would
    // make a new address book entry that cannot be updated before the book is
    // read again; the file's last card of each contact is the one written.
    std::unordered_map<std::string, size_t> lastCard;
    std::vector<std::string> keys(addrs.size());
    for (size_t i = 0; i < addrs.size(); ++i) {
        pMgr->MakeContactKey(&addrs[i], &keys[i]);
        lastCard[keys[i]] = i;
    }

    // The store's list by identity, answering as FindAddr's walk does (the
    // first equal counterpart, else the last differing one). Each identity
    // of the file is looked up once, before anything is written for it, so
    // the index taken now stays right through the import.
    const CommAddrIndex listIndex(pMgr);

    const size_t nCount = addrs.size();
    int nLastPercent = -1;
    for (size_t i = 0; i < nCount; ++i) {
        CommAddr* pAddr = &addrs[i];
        if (lastCard[keys[i]] != i) {
            ++result.nDuplicates;
            continue;
        }
        CommAddr* pFound = nullptr;
        const int nFound = listIndex.Find(keys[i], pAddr, &pFound);
        if (nFound == ADDR_FOUND_SAME) {
            ++result.nUnchanged;
        } else if (Write(nStore, pAddr, nFound == ADDR_FOUND_DIFF ? pFound : nullptr)) {
            ++(nFound == ADDR_FOUND_DIFF ? result.nUpdated : result.nAdded);
        } else {
            ++result.nFailed;
            g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__, "vCard import: could not write \"%s %s\" <%s> to %s.",
                              pAddr->szFirstName, pAddr->szLastName, pAddr->szEmail, StoreName(nStore));
        }
        const int nPercent = (int)((i + 1) * 100 / nCount);
        if (fnProgress && nPercent != nLastPercent) fnProgress(nPercent);
        nLastPercent = nPercent;
    }

    rec.dtEnd = Now();
    rec.nRecordCount = result.nAdded + result.nUpdated;
    CopyText(rec.szDescription, HistoryText(szPath, nStore).c_str());
    m_pHistory->AppendRecord(&rec);
    m_pHistory->Save();
    return true;
}

bool VCardTransfer::Export(int nStore, const char* szPath, std::string& szError, int* pnCount) {
    if (pnCount) *pnCount = 0;
    CommAddrMgr* pMgr = OpenList(nStore);
    if (pMgr == nullptr) {
        szError = std::string("The ") + StoreName(nStore) + " contacts are not open.";
        return false;
    }
    std::vector<const CommAddr*> addrs;
    addrs.reserve(pMgr->GetCount());
    for (CommAddr* p = pMgr->GetFirst(); p != nullptr; p = pMgr->GetNext()) addrs.push_back(p);
    if (!CxVCard::WriteFile(szPath, addrs, VCARD_VERSION_30, szError)) return false;
    if (pnCount) *pnCount = (int)addrs.size();
    return true;
}

std::string VCardTransfer::HistoryText(const char* szPath, int nStore) {
    const std::string sHead = "Import contacts from ";
    const std::string sTail = std::string(" into ") + StoreName(nStore) + ".";
    const std::string sName = BaseName(szPath ? szPath : "");
    const size_t nRoom = sizeof(SyncHistoryRec::szDescription) - 1 - sHead.size() - sTail.size();
    return sHead + sName.substr(0, Utf8FitLength(sName.c_str(), nRoom)) + sTail;
}

std::string VCardTransfer::ReportText(const VCardImportResult& r, int nStore) {
    std::string s = "vCard import into ";
    s += StoreName(nStore);
    s += r.nFailed ? " finished with errors." : " finished.";
    s += "\r\n\r\nAdded: " + std::to_string(r.nAdded) + "\r\nUpdated: " + std::to_string(r.nUpdated) +
         "\r\nUnchanged: " + std::to_string(r.nUnchanged) +
         "\r\nSkipped as unreadable: " + std::to_string(r.nSkipped) + "\r\nValues cut: " + std::to_string(r.nCut);
    if (r.nLeftOut) s += "\r\nValues left out: " + std::to_string(r.nLeftOut);
    if (r.nDuplicates) s += "\r\nDuplicates in the file (last card kept): " + std::to_string(r.nDuplicates);
    if (r.nFailed) {
        s += "\r\nCould not be written: " + std::to_string(r.nFailed) +
             "\r\n\r\nThe debug log names the contacts that could not be written.";
    }
    const auto& issues = r.report.issues;
    if (!issues.empty()) {
        s += "\r\n\r\nProblems in the file:";
        for (size_t i = 0; i < issues.size() && i < kReportIssues; ++i) s += "\r\n" + CxVCard::FormatIssue(issues[i]);
        const size_t nMore = issues.size() - std::min(issues.size(), kReportIssues) + r.report.nIssuesLeftOut;
        if (nMore) s += "\r\n... and " + std::to_string(nMore) + " more.";
    }
    return s;
}
