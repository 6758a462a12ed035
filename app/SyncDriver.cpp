#include "app/SyncDriver.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/misc/CxDebugUtil.h"
#include "common/model/CommAddrIndex.h"
#include "common/model/CommAddrMgr.h"
#include "common/oe/CxWab.h"
#include "common/outlook/OlAddr.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinTime.h"

namespace {

double Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    double dt = 0;
    SystemTimeToVariantTime(&st, &dt);
    return dt;
}

// True when pAddr has an equal counterpart in pMgr: a store that declined to
// write it had nothing to write.
bool HasEqualCounterpart(CommAddrMgr* pMgr, const CommAddr* pAddr) {
    return pMgr != nullptr && pMgr->FindAddr(pAddr, nullptr, nullptr) == ADDR_FOUND_SAME;
}

}  // namespace

// One store's contact list indexed by identity for a two-way run. The index
// is taken at the start of the run; writes change records in place (same
// identity) or append new ones, and an identity that gained a record since
// is looked up by FindAddr itself.
class ContactIndex {
public:
    explicit ContactIndex(CommAddrMgr* pMgr) : m_index(pMgr), m_nCount(pMgr ? pMgr->GetCount() : 0) {}

    // FindAddr's result and found record for pAddr.
    int Find(const CommAddr* pAddr, CommAddr** ppFound) {
        CommAddrMgr* pMgr = m_index.GetAddrMgr();
        if (pMgr == nullptr) return ADDR_NOT_FOUND;
        pMgr->MakeContactKey(pAddr, &m_sKey);
        if (m_grown.count(m_sKey) != 0) return pMgr->FindAddr(pAddr, ppFound, nullptr);
        return m_index.Find(m_sKey, pAddr, ppFound);
    }

    // After a write of pAddr into the list: when the list grew, pAddr's
    // identity has a record the index does not hold.
    void AfterWrite(const CommAddr* pAddr) {
        CommAddrMgr* pMgr = m_index.GetAddrMgr();
        if (pMgr == nullptr || pMgr->GetCount() == m_nCount) return;
        m_nCount = pMgr->GetCount();
        pMgr->MakeContactKey(pAddr, &m_sKey);
        m_grown.insert(m_sKey);
    }

private:
    CommAddrIndex m_index;
    DWORD m_nCount;
    std::unordered_set<std::string> m_grown;
    std::string m_sKey;
};

const char* SyncModeDescription(int nMode) {
    switch (nMode) {
    case SYNC_WAB_TO_OL:
        return "Transfer contact information from WAB to Outlook.";
    case SYNC_OL_TO_WAB:
        return "Transfer contact information from Outlook to WAB.";
    case SYNC_ALL:
        return "Perform two way contact synchronization between Outlook and WAB.";
    default:
        return "";
    }
}

SyncDriver::SyncDriver(CxWab* pWab, OlAddrUtil* pOl, SyncRows* pWabRows, SyncRows* pOlRows, SyncView* pView,
                       AppSettings* pSettings, SyncHistoryMgr* pHistory)
    : m_pWab(pWab),
      m_pOl(pOl),
      m_pWabRows(pWabRows),
      m_pOlRows(pOlRows),
      m_pView(pView),
      m_pSettings(pSettings),
      m_pHistory(pHistory),
      m_dStep(0),
      m_nUpdated(0),
      m_nFailed(0),
      m_bWritten(false),
      m_bAsk(true),
      m_nAction(CONF_WAB_WINS),
      m_bHistory(false),
      m_bTwoWay(false),
      m_pWabIndex(nullptr),
      m_pOlIndex(nullptr) {
    memset(&m_rec, 0, sizeof(m_rec));
}

void SyncDriver::Synchronize(int nMode) {
    m_nUpdated = m_nFailed = 0;
    m_bWritten = m_bHistory = false;
    if (m_pWab == nullptr || m_pOl == nullptr) return;
    if (nMode != SYNC_WAB_TO_OL && nMode != SYNC_OL_TO_WAB && nMode != SYNC_ALL) return;
    try {
        Run(nMode);
    } catch (...) {
        m_pWabIndex = m_pOlIndex = nullptr;
        // The caller shows the error report; the window must not stay busy.
        m_pView->ShowProgress(false);
        m_pView->SetHourglass(false);
        throw;
    }
}

void SyncDriver::Run(int nMode) {
    memset(&m_rec, 0, sizeof(m_rec));
    m_rec.dtStart = Now();
    m_pView->SetHourglass(true);
    m_pView->SetProgress(0);
    m_pView->ShowProgress(true);
    CopyText(m_rec.szDescription, SyncModeDescription(nMode));
    m_bTwoWay = nMode == SYNC_ALL;
    if (nMode == SYNC_ALL)
        RunTwoWay();
    else
        RunOneWay(nMode);
}

void SyncDriver::SetProgress(double dValue) { m_pView->SetProgress((int)dValue); }

void SyncDriver::RunOneWay(int nMode) {
    const bool bToOutlook = nMode == SYNC_WAB_TO_OL;
    SyncRows* pRows = bToOutlook ? m_pWabRows : m_pOlRows;
    const int nRows = pRows->GetRowCount();
    int nSelected = 0;
    for (int i = 0; i < nRows; ++i)
        if (pRows->IsTicked(i)) ++nSelected;
    if (nSelected == 0) {
        EarlyEnd(bToOutlook ? SYNC_TEXT_NO_WAB_ROW : SYNC_TEXT_NO_OL_ROW);
        return;
    }
    m_dStep = 100.0 / nSelected;
    for (int i = 0; i < nRows; ++i) {
        if (!pRows->IsTicked(i)) continue;
        CommAddr* pAddr = pRows->GetRecord(i);
        if (pAddr != nullptr) {
            if (bToOutlook)
                WriteToOutlook(pAddr);
            else
                WriteToWab(pAddr, false);
        }
        pRows->Untick(i);
        SetProgress(m_nUpdated * m_dStep);
    }
    EndRun();
}

void SyncDriver::RunTwoWay() {
    const int nOlRows = m_pOlRows->GetRowCount();
    const int nWabRows = m_pWabRows->GetRowCount();
    const int nSelected = nOlRows + nWabRows;
    if (nSelected == 0) {
        EarlyEnd(SYNC_TEXT_NO_ROWS);
        return;
    }
    m_dStep = 100.0 / nSelected;
    if (m_pSettings->ConfAction == CONF_OL_WINS || m_pSettings->ConfAction == CONF_WAB_WINS) {
        m_bAsk = false;
        m_nAction = m_pSettings->ConfAction;
    } else {
        m_bAsk = true;
        m_nAction = CONF_WAB_WINS;
    }
    ContactIndex wabIndex(m_pWab->GetAddrMgr());
    ContactIndex olIndex(m_pOl->GetAddrMgr());
    m_pWabIndex = &wabIndex;
    m_pOlIndex = &olIndex;
    RunTwoWayPasses(nOlRows, nWabRows);  // a cancelled conflict returns early
    m_pWabIndex = m_pOlIndex = nullptr;
    EndRun();
}

void SyncDriver::RunTwoWayPasses(int nOlRows, int nWabRows) {
    // The Outlook pass.
    for (int i = 0; i < nOlRows; ++i) {
        SetProgress((i + 1) * m_dStep);
        CommAddr* pOlAddr = m_pOlRows->GetRecord(i);
        if (pOlAddr == nullptr || pOlAddr->nStatus == ADDR_STATUS_SAME) continue;
        CommAddr* pWabAddr = nullptr;
        const int nFound = m_pWabIndex->Find(pOlAddr, &pWabAddr);
        if (nFound == ADDR_FOUND_SAME) continue;
        if (nFound == ADDR_NOT_FOUND) {
            WriteToWab(pOlAddr, true);
            continue;
        }
        if (!ConflictStep(pWabAddr, pOlAddr)) return;
        if (m_nAction != CONF_DO_NOTHING && pOlAddr->pMatch) pOlAddr->pMatch->nStatus = ADDR_STATUS_SAME;
        if (m_nAction == CONF_OL_WINS)
            WriteToWab(pOlAddr, false);
        else if (m_nAction == CONF_WAB_WINS && pOlAddr->pMatch)
            WriteToOutlook(pOlAddr->pMatch);
    }

    // The WAB pass.
    for (int j = 0; j < nWabRows; ++j) {
        SetProgress((nOlRows + j + 1) * m_dStep);
        CommAddr* pWabAddr = m_pWabRows->GetRecord(j);
        if (pWabAddr == nullptr || pWabAddr->nStatus == ADDR_STATUS_SAME) continue;
        CommAddr* pOlAddr = nullptr;
        const int nFound = m_pOlIndex->Find(pWabAddr, &pOlAddr);
        if (nFound == ADDR_FOUND_SAME) continue;
        if (nFound == ADDR_NOT_FOUND) {
            WriteToOutlook(pWabAddr);
            continue;
        }
        if (!ConflictStep(pWabAddr, pOlAddr)) return;
        if (m_nAction != CONF_DO_NOTHING && pWabAddr->pMatch) pWabAddr->pMatch->nStatus = ADDR_STATUS_SAME;
        if (m_nAction == CONF_OL_WINS && pWabAddr->pMatch)
            WriteToWab(pWabAddr->pMatch, false);
        else if (m_nAction == CONF_WAB_WINS)
            WriteToOutlook(pWabAddr);
    }
}

bool SyncDriver::ConflictStep(CommAddr* pWabAddr, CommAddr* pOlAddr) {
    if (!m_bAsk) return true;
    SyncConflictAnswer answer = {CONF_DO_NOTHING, false, false};
    if (m_pView->AskConflict(pWabAddr, pOlAddr, &answer) != SYNC_MODAL_OK) {
        m_pSettings->ConfAction = CONF_DO_NOTHING;
        return false;
    }
    m_nAction = answer.nAction;
    if (answer.bThisSync) m_bAsk = false;
    if (answer.bAllFuture) {
        m_bAsk = false;
        if (m_nAction == CONF_WAB_WINS || m_nAction == CONF_OL_WINS) m_pSettings->ConfAction = m_nAction;
    }
    return true;
}

void SyncDriver::WriteToOutlook(CommAddr* pWabAddr) {
    const bool bWritten = m_pOl->SyncContact(pWabAddr);
    if (m_pOlIndex) m_pOlIndex->AfterWrite(pWabAddr);
    Count(bWritten, !bWritten && HasEqualCounterpart(m_pOl->GetAddrMgr(), pWabAddr), pWabAddr, true);
}

void SyncDriver::WriteToWab(CommAddr* pOlAddr, bool bAddOnly) {
    const bool bWritten = bAddOnly ? m_pWab->AddAddr(pOlAddr) : m_pWab->SaveAddr(pOlAddr);
    if (m_pWabIndex) m_pWabIndex->AfterWrite(pOlAddr);
    Count(bWritten, !bWritten && !bAddOnly && HasEqualCounterpart(m_pWab->GetAddrMgr(), pOlAddr), pOlAddr, false);
}

void SyncDriver::Count(bool bWritten, bool bEqual, const CommAddr* pAddr, bool bToOutlook) {
    // Two-way runs re-mark records as they go, so the lists are refreshed
    // after any write asked for, whether or not the store took it.
    if (bWritten || m_bTwoWay) m_bWritten = true;
    if (bWritten) {
        ++m_nUpdated;
    } else if (!bEqual) {
        ++m_nFailed;
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__, "Synchronization: could not write \"%s %s\" <%s> to %s.",
                          pAddr->szFirstName, pAddr->szLastName, pAddr->szEmail, bToOutlook ? "Outlook" : "WAB");
    }
}

void SyncDriver::EndRun() {
    m_pView->SetProgress(100);
    m_rec.dtEnd = Now();
    m_rec.nRecordCount = m_nUpdated;
    m_pHistory->AppendRecord(&m_rec);
    m_pHistory->Save();
    m_bHistory = true;
    if (m_bWritten) m_pView->Refresh();
    m_pView->ShowProgress(false);
    char szText[512];
    if (m_nFailed == 0)
        snprintf(szText, sizeof(szText), SYNC_TEXT_DONE, m_nUpdated);
    else
        snprintf(szText, sizeof(szText), SYNC_TEXT_FAILED, m_nUpdated, m_nFailed);
    m_pView->ShowMessage(szText, m_nFailed != 0);
    m_pView->SetHourglass(false);
}

void SyncDriver::EarlyEnd(const char* szText) {
    m_pView->ShowMessage(szText, true);
    m_pView->ShowProgress(false);
    m_pView->SetHourglass(false);
}
