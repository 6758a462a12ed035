#include "common/misc/CxList.h"

#include <new>

#include "common/misc/CxAssert.h"

CxList::CxList() : m_pHead(nullptr), m_pTail(nullptr), m_pCurr(nullptr), m_nCount(0), m_nFindIndex(0) {}

CxList::~CxList() { RemoveAll(); }

bool CxList::Add(void* pData) {
    if (pData == nullptr) return false;
    // AddCopy reports running out of memory through its result.
    CxListNode* pContainer = new (std::nothrow) CxListNode;
    if (pContainer == nullptr) return false;
    pContainer->pData = pData;
    pContainer->nIndex = m_nCount;
    pContainer->pPrev = m_pTail;
    pContainer->pNext = nullptr;
    if (m_pTail == nullptr) {
        m_pHead = pContainer;
    } else {
        m_pTail->pNext = pContainer;
    }
    m_pTail = pContainer;
    m_pCurr = pContainer;
    m_nFindIndex = pContainer->nIndex;
    m_nCount++;
    return true;
}

bool CxList::Remove(void* pData) {
    CxListNode* pNode = FindNode(pData);
    if (pNode == nullptr) return false;
    if (pNode->pPrev != nullptr) pNode->pPrev->pNext = pNode->pNext;
    if (pNode->pNext != nullptr) pNode->pNext->pPrev = pNode->pPrev;
    for (CxListNode* p = pNode->pNext; p != nullptr; p = p->pNext) p->nIndex--;
    // The following node takes the removed node's place, so the cursor keeps
    // the invariant; after removing the tail it is on no node.
    m_pCurr = pNode->pNext;
    m_nFindIndex = pNode->nIndex;
    if (pNode == m_pHead) m_pHead = pNode->pNext;
    if (pNode == m_pTail) m_pTail = pNode->pPrev;
    m_nCount--;
    delete pNode;
    return true;
}

void CxList::RemoveAll() {
    CxListNode* p = m_pHead;
    while (p != nullptr) {
        CxListNode* pNext = p->pNext;
        delete p;
        p = pNext;
    }
    m_pHead = m_pTail = m_pCurr = nullptr;
    m_nCount = 0;
    m_nFindIndex = 0;
}

void* CxList::GetFirst() {
    m_nFindIndex = 0;
    m_pCurr = m_pHead;
    return m_pCurr != nullptr ? m_pCurr->pData : nullptr;
}

void* CxList::GetLast() {
    m_nFindIndex = m_nCount > 0 ? m_nCount - 1 : 0;
    m_pCurr = m_pTail;
    return m_pCurr != nullptr ? m_pCurr->pData : nullptr;
}

void* CxList::GetNext() {
    if (m_nFindIndex < m_nCount - 1 && m_nCount > 0) return GetAt(m_nFindIndex + 1);
    return nullptr;
}

void* CxList::GetPrev() {
    if (m_nFindIndex > 0) return GetAt(m_nFindIndex - 1);
    return nullptr;
}

void* CxList::GetAt(DWORD nIndex) {
    if (nIndex >= m_nCount) return nullptr;
    if (m_pCurr == nullptr) {
        // No cursor (after removing the tail): start from the nearer end.
        if (nIndex < m_nCount / 2) {
            m_pCurr = m_pHead;
        } else {
            m_pCurr = m_pTail;
        }
        m_nFindIndex = m_pCurr->nIndex;
    }
    CX_ASSERT(m_pCurr->nIndex==m_nFindIndex);
    CxListNode* p = m_pCurr;
    if (nIndex > m_nFindIndex) {
        while (p->nIndex != nIndex) p = p->pNext;
    } else {
        while (p->nIndex != nIndex) p = p->pPrev;
    }
    m_pCurr = p;
    m_nFindIndex = nIndex;
    return p->pData;
}

CxListNode* CxList::FindNode(const void* pData) const {
    for (CxListNode* p = m_pHead; p != nullptr; p = p->pNext) {
        if (p->pData == pData) return p;
    }
    return nullptr;
}
