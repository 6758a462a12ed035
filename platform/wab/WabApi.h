// The address book interfaces handed out by the WAB library's WABOpen, as
// plain abstract classes. Only the operations the WAB store calls are
// declared. Every result is an HRESULT; a negative one is a failure.
//
// Memory: every buffer a call hands out (identifiers, property arrays, row
// sets) comes from IWABObject::AllocateBuffer and is freed with
// IWABObject::FreeBuffer. A row set's rows each carry their own value array,
// freed separately before the row set.
//
// References: every object starts with one reference, owned by the caller
// that received it; Release drops one and the last one destroys the object.
// Objects stay usable after the IAddrBook and IWABObject that made them are
// released.
#pragma once

#include "platform/com/Unknwn.h"
#include "platform/wab/WabDefs.h"

// Buffers exchanged with the library.
class IWABObject : public IUnknown {
public:
    virtual HRESULT AllocateBuffer(ULONG cbSize, LPVOID* lppBuffer) = 0;
    // A buffer freed together with lpObject (a buffer from AllocateBuffer).
    virtual HRESULT AllocateMore(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer) = 0;
    // Frees a buffer from AllocateBuffer and everything allocated onto it.
    // A null buffer is accepted and does nothing.
    virtual HRESULT FreeBuffer(LPVOID lpBuffer) = 0;
};
typedef IWABObject* LPWABOBJECT;

// An object with properties: an entry (mail user or distribution list) or a
// container.
class IMAPIProp : public IUnknown {
public:
    // Stores the changes made with SetProps; until then nothing is stored.
    virtual HRESULT SaveChanges(ULONG ulFlags) = 0;
    // lpPropTagArray none: every property. Otherwise one value per asked tag,
    // in that order; a missing one comes back as PROP_TAG(PT_ERROR, id) and
    // the result is MAPI_W_ERRORS_RETURNED. The array is one buffer.
    virtual HRESULT GetProps(LPSPropTagArray lpPropTagArray, ULONG ulFlags, ULONG* lpcValues,
                             LPSPropValue* lppPropArray) = 0;
    // lppProblems may be none; when given it receives none (no problems).
    virtual HRESULT SetProps(ULONG cValues, LPSPropValue lpPropArray, LPSPropProblemArray* lppProblems) = 0;
};
typedef IMAPIProp* LPMAPIPROP;

// An entry: a mail user, or a distribution list (PR_OBJECT_TYPE MAPI_DISTLIST)
// through the same interface.
class IMailUser : public IMAPIProp {};
typedef IMailUser* LPMAILUSER;
typedef IMailUser IDistList;
typedef IDistList* LPDISTLIST;

class IMAPITable : public IUnknown {
public:
    virtual HRESULT SetColumns(LPSPropTagArray lpPropTagArray, ULONG ulFlags) = 0;
    virtual HRESULT SeekRow(BOOKMARK bkOrigin, LONG lRowCount, LONG* lplRowsSought) = 0;
    // At most lRowCount rows from the current position; at the end of the
    // table a row set with no rows.
    virtual HRESULT QueryRows(LONG lRowCount, ULONG ulFlags, LPSRowSet* lppRows) = 0;
};
typedef IMAPITable* LPMAPITABLE;

class IABContainer : public IMAPIProp {
public:
    // Rows of the container's entries, by default with the columns
    // PR_DISPLAY_NAME, PR_ENTRYID, PR_OBJECT_TYPE.
    virtual HRESULT GetContentsTable(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    // lpEntryID is a creation template's identifier (PR_DEF_CREATE_MAILUSER,
    // PR_DEF_CREATE_DL). The new entry is stored by its SaveChanges.
    virtual HRESULT CreateEntry(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulCreateFlags,
                                LPMAPIPROP* lppMAPIPropEntry) = 0;
};
typedef IABContainer* LPABCONT;

class IAddrBook : public IUnknown {
public:
    // Opens a container or an entry; lppUnk receives an IABContainer or an
    // IMailUser according to *lpulObjType. Flags 0 opens for reading,
    // MAPI_MODIFY for changing.
    virtual HRESULT OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags,
                              ULONG* lpulObjType, LPUNKNOWN* lppUnk) = 0;
    // The personal address book container's identifier, in a buffer to be
    // freed with IWABObject::FreeBuffer.
    virtual HRESULT GetPAB(ULONG* lpcbEntryID, LPENTRYID* lppEntryID) = 0;
};
typedef IAddrBook* LPADRBOOK;

// The library's entry point, looked up by the name "WABOpen".
typedef HRESULT (*LPWABOPEN)(LPADRBOOK* lppAdrBook, LPWABOBJECT* lppWABObject, LPWAB_PARAM lpWP,
                             DWORD Reserved2);
