#include "app/SyncHistory.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Apputil.h"
#include "common/misc/CxFile.h"
#include "common/misc/CxList.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinFileIo.h"

SyncHistoryMgr g_SyncHistory;

SyncHistoryMgr::SyncHistoryMgr() : m_pList(new CxList()), m_pFile(new CxFile()), m_bDamaged(false) { m_szFile[0] = '\0'; }

SyncHistoryMgr::~SyncHistoryMgr() {
    RemoveAll();
    delete m_pList;
    delete m_pFile;
}

bool SyncHistoryMgr::MakePath() {
    char szFolder[MAX_PATH];
    if (!GetDataFolder(szFolder)) return false;
    int n = snprintf(m_szFile, sizeof(m_szFile), "%ssynchis.dat", szFolder);
    if (n < 0 || (size_t)n >= sizeof(m_szFile)) {
        m_szFile[0] = '\0';
        return false;
    }
    return true;
}

bool SyncHistoryMgr::Load() {
    m_bDamaged = false;
    if (!MakePath()) return false;
    if (!m_pFile->Open(m_szFile, "rb")) {
        m_bDamaged = access(m_szFile, F_OK) == 0;
        return false;
    }
    int nCount = 0;
    // The bytes the records read take, to tell a whole file from one with
    // bytes after its records.
    long nRead = 4;
    m_bDamaged = !m_pFile->ReadInt(&nCount);
    if (!m_bDamaged) {
        // The count is unsigned; a damaged one ends at the first record that
        // cannot be read, so the loop never outruns the file.
        for (DWORD i = 0; i < (DWORD)nCount; ++i) {
            SyncHistoryRec rec;
            memset(&rec, 0, sizeof(rec));
            if (!ReadRecord(&rec)) {
                m_bDamaged = true;
                break;
            }
            nRead += 104 + (long)strlen(AppendRecord(&rec)->szDescription);
        }
    }
    m_pFile->Close();
    if (!m_bDamaged && CxFile::GetFileSize(m_szFile) != nRead) m_bDamaged = true;
    return true;
}

bool SyncHistoryMgr::Save() {
    if (!MakePath()) return false;
    // A new file beside the old one, renamed over it once it is whole.
    std::string tmp = std::string(m_szFile) + ".XXXXXX";
    int fd = mkstemp(&tmp[0]);
    if (fd < 0) return false;
    close(fd);
    bool bOk = m_pFile->Open(tmp.c_str(), "wb") && m_pFile->WriteInt((int)m_pList->GetCount());
    for (SyncHistoryRec* pRec = GetFirst(); bOk && pRec; pRec = GetNext()) bOk = WriteRecord(pRec);
    bOk = bOk && m_pFile->Flush();
    m_pFile->Close();
    if (bOk && WinFileRename(tmp.c_str(), m_szFile) != 0) bOk = false;
    if (!bOk) unlink(tmp.c_str());
    return bOk;
}

SyncHistoryRec* SyncHistoryMgr::AppendRecord(const SyncHistoryRec* pRec) {
    if (!pRec) return nullptr;
    SyncHistoryRec* pCopy = new SyncHistoryRec(*pRec);
    // Cut at a character boundary in case the source is not terminated.
    CopyTextN(pCopy->szDescription, sizeof(pCopy->szDescription), pRec->szDescription,
              strnlen(pRec->szDescription, sizeof(pRec->szDescription)));
    for (auto& sz : pCopy->szReserved) sz[0] = sz[1] = '\0';
    m_pList->Add(pCopy);
    return pCopy;
}

void SyncHistoryMgr::DeleteRecord(SyncHistoryRec* pRec) {
    if (pRec && m_pList->Remove(pRec)) delete pRec;
}

void SyncHistoryMgr::RemoveAll() {
    for (void* p = m_pList->GetFirst(); p; p = m_pList->GetNext()) delete static_cast<SyncHistoryRec*>(p);
    m_pList->RemoveAll();
}

SyncHistoryRec* SyncHistoryMgr::GetFirst() { return static_cast<SyncHistoryRec*>(m_pList->GetFirst()); }

SyncHistoryRec* SyncHistoryMgr::GetNext() { return static_cast<SyncHistoryRec*>(m_pList->GetNext()); }

DWORD SyncHistoryMgr::GetCount() const { return m_pList->GetCount(); }

bool SyncHistoryMgr::ReadRecord(SyncHistoryRec* pRec) {
    if (!pRec) return false;
    // ReadString refuses a text that does not fit before reading it, so a
    // huge length neither allocates nor overruns; a negative one is refused
    // here.
    int nLength = 0;
    if (!m_pFile->ReadString(pRec->szDescription, &nLength) || nLength < 0) return false;
    if (nLength == 0) pRec->szDescription[0] = '\0';
    if (!m_pFile->ReadDouble(&pRec->dtStart) || !m_pFile->ReadDouble(&pRec->dtEnd) ||
        !m_pFile->ReadInt(&pRec->nRecordCount))
        return false;
    for (int& n : pRec->nReserved)
        if (!m_pFile->ReadInt(&n)) return false;
    // The program only ever writes empty reserved texts.
    for (auto& sz : pRec->szReserved) {
        int nReservedLength = -1;
        if (!m_pFile->ReadInt(&nReservedLength) || nReservedLength != 0) return false;
        sz[0] = '\0';
    }
    return true;
}

bool SyncHistoryMgr::WriteRecord(const SyncHistoryRec* pRec) {
    if (!pRec) return false;
    char szDescription[sizeof(pRec->szDescription)];
    CopyTextN(szDescription, sizeof(szDescription), pRec->szDescription,
              strnlen(pRec->szDescription, sizeof(pRec->szDescription)));
    bool bOk = m_pFile->WriteString(szDescription) && m_pFile->WriteDouble(pRec->dtStart) &&
               m_pFile->WriteDouble(pRec->dtEnd) && m_pFile->WriteInt(pRec->nRecordCount);
    for (int n : pRec->nReserved) bOk = bOk && m_pFile->WriteInt(n);
    for (int i = 0; i < 10; ++i) bOk = bOk && m_pFile->WriteInt(0);
    return bOk;
}
