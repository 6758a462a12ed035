// One store's list of contact records, with the rules that decide whether a
// record of the other store is the same contact (identity fields) and whether
// its contents are equal (comparison fields).
#pragma once

#include "common/model/CommAddr.h"
#include "common/misc/CxList.h"

#include <string>

// Results of CommAddrMgr::FindAddr (-1 when no record is given).
#define ADDR_FOUND_SAME 1
#define ADDR_NOT_FOUND 2
#define ADDR_FOUND_DIFF 3

class CommAddrMgr {
public:
    // An empty list with the default identity and comparison fields.
    CommAddrMgr();
    ~CommAddrMgr();  // frees every record

    CommAddrMgr(const CommAddrMgr&) = delete;
    CommAddrMgr& operator=(const CommAddrMgr&) = delete;

    // Frees every record (FreeAddr) and empties the list.
    void RemoveAll();

    // Appends a deep copy of pAddr (its owned side data duplicated into a
    // block from malloc); returns the copy, or none when pAddr is missing or
    // memory runs out. When only the side data cannot be copied the copy
    // owns none (pointer and size zero).
    CommAddr* AddCopy(const CommAddr* pAddr);

    // Frees a record made by AddCopy and, with free, the side data it owns.
    static void FreeAddr(CommAddr* pAddr);

    // The first or next record, or none; they move the list cursor.
    CommAddr* GetFirst();
    CommAddr* GetNext();

    DWORD GetCount() const { return m_pList->GetCount(); }

    // Looks for pAddr's counterpart in this list, walking it in order.
    // Returns -1 when pAddr is missing (outputs untouched); ADDR_FOUND_SAME
    // at the first equal counterpart (or pAddr itself), with *pnPos its
    // position; ADDR_FOUND_DIFF when only differing counterparts exist,
    // reporting the last of them; ADDR_NOT_FOUND with *ppFound untouched and
    // *pnPos the number of records. Either output may be missing.
    int FindAddr(const CommAddr* pAddr, CommAddr** ppFound, int* pnPos);

    // Sets "Status" and pMatch of every record of this list against pOther,
    // exactly as FindAddr in pOther would for each record, using an index of
    // pOther's identity fields. False when pOther is missing.
    bool CompareWith(CommAddrMgr* pOther);

    // Install an identity or comparison list (at most 90 ids); a missing list
    // or a zero count installs the default one.
    void SetKeyFields(const DWORD* pnFields, DWORD nCount);
    void SetCompareFields(const DWORD* pnFields, DWORD nCount);

    // A key for an index of this list by identity: two records get the same
    // key exactly when IsSameContact holds for them.
    void MakeContactKey(const CommAddr* pAddr, std::string* psKey) const;

    // The comparison list in use and its length.
    const DWORD* GetCompareFields(DWORD* pnCount) const {
        if (pnCount) *pnCount = m_nCmpFieldCount;
        return m_nCmpField;
    }

    // FieldsEqual over the identity list, or over the comparison list.
    bool IsSameContact(const CommAddr* pA, const CommAddr* pB) const;
    bool IsSameContent(const CommAddr* pA, const CommAddr* pB) const;

    // True when the records agree on every listed field; false for a missing
    // record or list, or a zero count. Fields that are not compared never
    // make records differ.
    bool FieldsEqual(const CommAddr* pA, const CommAddr* pB, const DWORD* pnFields, DWORD nCount) const;

    // -1, 0 or +1. Runs of CR and LF are skipped, letters compared without
    // case (unless m_bCaseSensitive); a text that has only line breaks left
    // when the other has ended is the longer. A missing text gives -1.
    int CompareText(const char* szA, const char* szB) const;

    // Copies the table row of nFieldId into *pField; false when pField is
    // missing or no row has the id (then *pField is untouched).
    static bool GetFieldInfo(int nFieldId, CommAddrField* pField);

    // Writes the text form of one field of pAddr into szBuf; only the row's
    // id and size are used. nBufLen must be greater than the row's nSize,
    // else false and szBuf untouched. Texts are copied whole, dates shown as
    // "mm/dd/yyyy hh:mm:ss" (a date that cannot be converted shows the
    // current time), "Source Type" by its name; dates and names are cut to
    // the buffer. False, with the buffer empty, for fields that have no text
    // form and for a source type outside 1 to 15; "Gender" gives an empty
    // text and true.
    static bool GetFieldText(const CommAddr* pAddr, const CommAddrField* pField, char* szBuf, DWORD nBufLen);

private:
    CxList* m_pList;
    DWORD m_nKeyField[COMMADDR_FIELD_COUNT];
    DWORD m_nKeyFieldCount;
    DWORD m_nCmpField[COMMADDR_FIELD_COUNT];
    DWORD m_nCmpFieldCount;
    BYTE m_bCaseSensitive;
};
