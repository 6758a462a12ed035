// Address book data types, property tags, flags and result codes, with the
// values of the MAPI standard. Only what the WAB store and the stand-in
// address book use is declared.
#pragma once

#include "platform/com/ComErrors.h"
#include "platform/win32/WinTypes.h"

// ---- Results ---------------------------------------------------------------

typedef LONG SCODE;

#define HR_FAILED(hr) FAILED(hr)

#define MAPI_E_CALL_FAILED ((HRESULT)0x80004005)
#define MAPI_E_NOT_ENOUGH_MEMORY ((HRESULT)0x8007000E)
#define MAPI_E_INVALID_PARAMETER ((HRESULT)0x80070057)
#define MAPI_E_INTERFACE_NOT_SUPPORTED ((HRESULT)0x80004002)
#define MAPI_E_NO_ACCESS ((HRESULT)0x80070005)
#define MAPI_E_NO_SUPPORT ((HRESULT)0x80040102)
#define MAPI_E_UNKNOWN_FLAGS ((HRESULT)0x80040106)
#define MAPI_E_INVALID_ENTRYID ((HRESULT)0x80040107)
#define MAPI_E_OBJECT_DELETED ((HRESULT)0x8004010A)
#define MAPI_E_NOT_FOUND ((HRESULT)0x8004010F)
#define MAPI_E_CORRUPT_DATA ((HRESULT)0x8004011B)
#define MAPI_E_UNKNOWN_ENTRYID ((HRESULT)0x80040201)
#define MAPI_E_COLLISION ((HRESULT)0x80040604)
// Success, but some of the asked-for properties came back as PT_ERROR values.
#define MAPI_W_ERRORS_RETURNED ((HRESULT)0x00040380)

// ---- Property tags ---------------------------------------------------------

#define PROP_TAG(ulPropType, ulPropID) ((((ULONG)(ulPropID)) << 16) | ((ULONG)(ulPropType)))
#define PROP_TYPE(ulPropTag) (((ULONG)(ulPropTag)) & 0xFFFFu)
#define PROP_ID(ulPropTag) (((ULONG)(ulPropTag)) >> 16)
#define CHANGE_PROP_TYPE(ulPropTag, ulPropType) ((((ULONG)(ulPropTag)) & 0xFFFF0000u) | ((ULONG)(ulPropType)))

#define PT_UNSPECIFIED 0x0000u
#define PT_NULL 0x0001u
#define PT_LONG 0x0003u
#define PT_ERROR 0x000Au
#define PT_STRING8 0x001Eu
#define PT_SYSTIME 0x0040u
#define PT_BINARY 0x0102u

// Identification of objects and table columns.
#define PR_ENTRYID 0x0FFF0102u
#define PR_OBJECT_TYPE 0x0FFE0003u
#define PR_DISPLAY_NAME 0x3001001Eu

// The containers' creation templates.
#define PR_DEF_CREATE_DL 0x36110102u
#define PR_DEF_CREATE_MAILUSER 0x36120102u

// Contact properties.
#define PR_EMAIL_ADDRESS 0x3003001Eu
#define PR_COMMENT 0x3004001Eu
#define PR_ACCOUNT 0x3A00001Eu
#define PR_CALLBACK_TELEPHONE_NUMBER 0x3A02001Eu
#define PR_GIVEN_NAME 0x3A06001Eu
#define PR_GOVERNMENT_ID_NUMBER 0x3A07001Eu
#define PR_BUSINESS_TELEPHONE_NUMBER 0x3A08001Eu
#define PR_HOME_TELEPHONE_NUMBER 0x3A09001Eu
#define PR_INITIALS 0x3A0A001Eu
#define PR_KEYWORD 0x3A0B001Eu
#define PR_LANGUAGE 0x3A0C001Eu
#define PR_LOCATION 0x3A0D001Eu
#define PR_MHS_COMMON_NAME 0x3A0F001Eu
#define PR_ORGANIZATIONAL_ID_NUMBER 0x3A10001Eu
#define PR_SURNAME 0x3A11001Eu
#define PR_COMPANY_NAME 0x3A16001Eu
#define PR_TITLE 0x3A17001Eu
#define PR_DEPARTMENT_NAME 0x3A18001Eu
#define PR_PRIMARY_TELEPHONE_NUMBER 0x3A1A001Eu
#define PR_BUSINESS2_TELEPHONE_NUMBER 0x3A1B001Eu
#define PR_MOBILE_TELEPHONE_NUMBER 0x3A1C001Eu
#define PR_RADIO_TELEPHONE_NUMBER 0x3A1D001Eu
#define PR_CAR_TELEPHONE_NUMBER 0x3A1E001Eu
#define PR_OTHER_TELEPHONE_NUMBER 0x3A1F001Eu
#define PR_PAGER_TELEPHONE_NUMBER 0x3A21001Eu
#define PR_PRIMARY_FAX_NUMBER 0x3A23001Eu
#define PR_BUSINESS_FAX_NUMBER 0x3A24001Eu
#define PR_HOME_FAX_NUMBER 0x3A25001Eu
#define PR_BUSINESS_ADDRESS_COUNTRY 0x3A26001Eu
#define PR_BUSINESS_ADDRESS_CITY 0x3A27001Eu
#define PR_BUSINESS_ADDRESS_STATE_OR_PROVINCE 0x3A28001Eu
#define PR_BUSINESS_ADDRESS_STREET 0x3A29001Eu
#define PR_BUSINESS_ADDRESS_POSTAL_CODE 0x3A2A001Eu
#define PR_ASSISTANT_TELEPHONE_NUMBER 0x3A2E001Eu
#define PR_HOME2_TELEPHONE_NUMBER 0x3A2F001Eu
#define PR_ASSISTANT 0x3A30001Eu
#define PR_WEDDING_ANNIVERSARY 0x3A410040u
#define PR_BIRTHDAY 0x3A420040u
#define PR_HOBBIES 0x3A43001Eu
#define PR_MIDDLE_NAME 0x3A44001Eu
#define PR_PROFESSION 0x3A46001Eu
#define PR_SPOUSE_NAME 0x3A48001Eu
#define PR_CUSTOMER_ID 0x3A4A001Eu
#define PR_FTP_SITE 0x3A4C001Eu
#define PR_MANAGER_NAME 0x3A4E001Eu
#define PR_NICKNAME 0x3A4F001Eu
#define PR_BUSINESS_HOME_PAGE 0x3A51001Eu
#define PR_HOME_ADDRESS_CITY 0x3A59001Eu
#define PR_HOME_ADDRESS_COUNTRY 0x3A5A001Eu
#define PR_HOME_ADDRESS_POSTAL_CODE 0x3A5B001Eu
#define PR_HOME_ADDRESS_STATE_OR_PROVINCE 0x3A5C001Eu
#define PR_HOME_ADDRESS_STREET 0x3A5D001Eu
#define PR_OTHER_ADDRESS_CITY 0x3A5F001Eu
#define PR_OTHER_ADDRESS_COUNTRY 0x3A60001Eu
#define PR_OTHER_ADDRESS_POSTAL_CODE 0x3A61001Eu
#define PR_OTHER_ADDRESS_STATE_OR_PROVINCE 0x3A62001Eu
#define PR_OTHER_ADDRESS_STREET 0x3A63001Eu

// ---- Object types (PR_OBJECT_TYPE, OpenEntry's object type) ---------------

#define MAPI_ABCONT 4u
#define MAPI_MAILUSER 6u
#define MAPI_DISTLIST 8u

// ---- Flags -----------------------------------------------------------------

#define MAPI_MODIFY 0x00000001u             // OpenEntry: open for changing
#define CREATE_CHECK_DUP_STRICT 0x00000001u // CreateEntry duplicate checks
#define CREATE_CHECK_DUP_LOOSE 0x00000002u
#define CREATE_REPLACE 0x00000004u

typedef ULONG BOOKMARK;
#define BOOKMARK_BEGINNING ((BOOKMARK)0)
#define BOOKMARK_CURRENT ((BOOKMARK)1)
#define BOOKMARK_END ((BOOKMARK)2)

// ---- Structures ------------------------------------------------------------

typedef ULONG* LPULONG;
typedef const IID* LPCIID;

// An entry identifier: four flag bytes and the provider's bytes. Its length
// always travels beside it.
struct ENTRYID {
    BYTE abFlags[4];
    BYTE ab[1];
};
typedef ENTRYID* LPENTRYID;

struct SBinary {
    ULONG cb;
    LPBYTE lpb;
};
typedef SBinary* LPSBinary;

union PV {
    SHORT i;
    LONG l;
    ULONG ul;
    LPSTR lpszA;      // PT_STRING8
    FILETIME ft;      // PT_SYSTIME
    SBinary bin;      // PT_BINARY
    SCODE err;        // PT_ERROR
    LONG x;           // PT_NULL
    LONGLONG li;
};

struct SPropValue {
    ULONG ulPropTag;
    ULONG dwAlignPad;
    union PV Value;
};
typedef SPropValue* LPSPropValue;

struct SPropTagArray {
    ULONG cValues;
    ULONG aulPropTag[1];
};
typedef SPropTagArray* LPSPropTagArray;

// A tag array of fixed size, for constant column sets:
//   SizedSPropTagArray(3, s_Columns) = {3, {PR_DISPLAY_NAME, PR_ENTRYID, PR_OBJECT_TYPE}};
//   ... (LPSPropTagArray)&s_Columns ...
#define SizedSPropTagArray(n, name) \
    struct _SPropTagArray_##name {  \
        ULONG cValues;              \
        ULONG aulPropTag[n];        \
    } name

struct SPropProblem {
    ULONG ulIndex;
    ULONG ulPropTag;
    SCODE scode;
};
struct SPropProblemArray {
    ULONG cProblem;
    SPropProblem aProblem[1];
};
typedef SPropProblemArray* LPSPropProblemArray;

struct SRow {
    ULONG ulAdrEntryPad;
    ULONG cValues;
    LPSPropValue lpProps;
};
typedef SRow* LPSRow;

// cRows rows follow each other; a row set of 0 rows ends a table.
struct SRowSet {
    ULONG cRows;
    SRow aRow[1];
};
typedef SRowSet* LPSRowSet;

// The parameter block of WABOpen. On the 32-bit platform it is 32 bytes; set
// cbSize to sizeof(WAB_PARAM), which is what this build's layout holds.
struct WAB_PARAM {
    ULONG cbSize;
    HWND hwnd;
    LPSTR szFileName;  // the .wab file; none or empty: the default address book
    ULONG ulFlags;
    GUID guidPSExt;
};
typedef WAB_PARAM* LPWAB_PARAM;

static_assert(sizeof(WAB_PARAM) == 4 * sizeof(void*) + 16 || sizeof(void*) == 8,
              "WAB_PARAM is 32 bytes with 32-bit pointers");
static_assert(sizeof(SPropValue) == 16 || sizeof(void*) == 8, "SPropValue layout");
