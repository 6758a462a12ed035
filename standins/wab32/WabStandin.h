// Test controls of the stand-in address book library (wab32.so), exported
// with C names. Tests reach them through the loader in
// tests/support/StandinHooks.h, which keeps the library loaded so that its
// counters stay valid when the code under test frees its handle.
//
// Making calls fail
// -----------------
// WabStandinSetFail takes a failure list in the form both stand-ins share
// (standins/FailList.h): comma-separated entries "Name[:Qualifier][#N]",
// names and qualifiers without regard to case. Each listed call then fails
// with the result shown below. An empty or null list clears every failure; a
// list with an unknown entry is refused whole. The environment variable
// PELLMARK_WAB_FAIL, when set, holds the same kind of list and replaces the
// current one each time WABOpen runs; an unknown entry there makes WABOpen
// fail with MAPI_E_INVALID_PARAMETER.
//
//   name                    fails                                    with
//   WABOpen                 WABOpen (nothing is opened or created)   MAPI_E_CALL_FAILED
//   GetPAB                  IAddrBook::GetPAB                        MAPI_E_CALL_FAILED
//   OpenEntry               every IAddrBook::OpenEntry               MAPI_E_NOT_FOUND
//   OpenEntry:Container     opening a container                      MAPI_E_NOT_FOUND
//   OpenEntry:Read          opening an entry with flags 0            MAPI_E_NOT_FOUND
//   OpenEntry:MAPI_MODIFY   opening an entry with MAPI_MODIFY        MAPI_E_NOT_FOUND
//   GetContentsTable        IABContainer::GetContentsTable           MAPI_E_CALL_FAILED
//   SetColumns              IMAPITable::SetColumns                   MAPI_E_CALL_FAILED
//   SeekRow                 IMAPITable::SeekRow                      MAPI_E_CALL_FAILED
//   QueryRows               IMAPITable::QueryRows                    MAPI_E_CALL_FAILED
//   GetProps                every GetProps                           MAPI_E_CALL_FAILED
//   GetProps:Entry          GetProps on an entry                     MAPI_E_CALL_FAILED
//   GetProps:Container      GetProps on a container                  MAPI_E_CALL_FAILED
//   Templates:Missing       container GetProps succeeds, but both    MAPI_W_ERRORS_RETURNED
//                           creation templates come back as PT_ERROR (a success)
//   Templates:Swapped       container GetProps gives the two         S_OK
//                           templates in the other order
//   CreateEntry             IABContainer::CreateEntry                MAPI_E_CALL_FAILED
//   SetProps                SetProps on an entry                     MAPI_E_CALL_FAILED
//   SaveChanges             SaveChanges on an entry                  MAPI_E_CALL_FAILED
//   AllocateBuffer          IWABObject::AllocateBuffer               MAPI_E_NOT_ENOUGH_MEMORY
//   AllocateMore            IWABObject::AllocateMore                 MAPI_E_NOT_ENOUGH_MEMORY
//
// A bare name covers all its ":" forms. "NAME#N" fails only the N-th call
// (from 1) that NAME matches, counted from when the list was set; for example
// "QueryRows#3" lets two row queries through and fails the third.
// Allocation failures also hit the library's own buffers (rows, property
// arrays), whose calls then fail with MAPI_E_NOT_ENOUGH_MEMORY.
//
// Behaviour the store relies on, without any failure set
// ------------------------------------------------------
// - OpenEntry on an identifier that no longer exists: MAPI_E_NOT_FOUND; on
//   bytes that are not an identifier of this library: MAPI_E_UNKNOWN_ENTRYID.
// - SetProps on an entry opened with flags 0: MAPI_E_NO_ACCESS.
// - SaveChanges of a new mail user created with CREATE_CHECK_DUP_LOOSE (or
//   _STRICT) whose PR_DISPLAY_NAME and PR_EMAIL_ADDRESS equal an existing
//   mail user's (ignoring ASCII case; a missing value counts as empty):
//   MAPI_E_COLLISION, nothing stored.
// - SaveChanges of an existing entry deleted meanwhile: MAPI_E_OBJECT_DELETED.
#pragma once

extern "C" {

// Objects of the library that are alive now (address books, WAB objects,
// containers, tables, entries).
long WabStandinLiveObjects(void);

// Buffers from AllocateBuffer not yet freed (AllocateMore blocks go with
// their parent and are not counted apart).
long WabStandinOutstandingBuffers(void);

// FreeBuffer calls on a pointer that was not an outstanding buffer (a double
// free, or a block from AllocateMore). Such a call does nothing.
long WabStandinBadFrees(void);

// How many times the named call ran since the library was loaded (the names
// of the table above without the ":" forms, plus "FreeBuffer").
long WabStandinCallCount(const char* szCall);

// Sets the failing calls (see above). Returns 0, or -1 when a name is
// unknown, in which case nothing changes.
int WabStandinSetFail(const char* szCalls);

}  // extern "C"
