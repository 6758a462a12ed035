// A doubly linked list of untyped element pointers with a movable cursor.
// The list never owns its elements: whoever adds an element frees it.
// Nodes carry their position; sequential access through the cursor costs one
// step per call.
#pragma once

#include "platform/win32/WinTypes.h"

struct CxListNode {
    void* pData;         // the element
    DWORD nIndex;        // position, 0 for the head
    CxListNode* pPrev;
    CxListNode* pNext;
};

class CxList {
public:
    CxList();
    ~CxList();  // deletes the nodes, never the elements

    CxList(const CxList&) = delete;
    CxList& operator=(const CxList&) = delete;

    // Appends pData at the tail and makes it the cursor; false for a missing
    // element or when memory for the node runs out (nothing changes then).
    bool Add(void* pData);

    // Unlinks the first node holding pData (the element is not freed); the
    // cursor moves to the node that followed it. After removing the tail the
    // cursor is on no node: GetNext gives none, GetPrev and GetAt still work.
    // False when no node holds it.
    bool Remove(void* pData);

    // Deletes every node (not the elements) and zeroes the list.
    void RemoveAll();

    // Each returns an element and moves the cursor there. GetFirst and
    // GetLast give none on an empty list; GetNext and GetPrev give none at
    // the ends and GetAt for an index not below the count, leaving the
    // cursor where it was.
    void* GetFirst();
    void* GetLast();
    void* GetNext();
    void* GetPrev();
    void* GetAt(DWORD nIndex);

    DWORD GetCount() const { return m_nCount; }

    // The first node, from the head, whose element is pData, or none.
    CxListNode* FindNode(const void* pData) const;

private:
    CxListNode* m_pHead;
    CxListNode* m_pTail;
    CxListNode* m_pCurr;
    DWORD m_nCount;
    DWORD m_nFindIndex;
};
