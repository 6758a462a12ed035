// The common contact record both stores are read into, and its field table.
// A record is a plain fixed-layout structure: created zero-filled, copied byte
// for byte, compared field by field. Every text holds at most its width - 1
// bytes and a NUL; writers cut longer values (never inside a character).
#pragma once

#include "platform/win32/WinTypes.h"

// "Status" of a record after a comparison with the other store's list.
#define ADDR_STATUS_SAME 0
#define ADDR_STATUS_NEW 1
#define ADDR_STATUS_DIFF 2

// "Source Type" codes the two readers set.
#define SOURCE_TYPE_OUTLOOK 3
#define SOURCE_TYPE_WAB 4

// Field type codes of CommAddrField::nType.
#define FIELD_TEXT 1
#define FIELD_GENDER 4
#define FIELD_INT 5
#define FIELD_DATE 6

#define COMMADDR_FIELD_COUNT 90
#define COMMADDR_CUSTOM_SLOTS 10

struct CommAddr {
    char szFirstName[32];       // 1
    char szLastName[32];        // 3
    char szMiddleName[32];      // 2
    char szPrefix[32];          // 4
    char szSuffix[32];          // 5
    char szNickName[32];        // 6
    char szDisplayName[32];     // 7
    INT nGender;                // 8
    char szWorkStreet[256];     // 9
    char szWorkCity[32];        // 10
    char szWorkState[32];       // 11
    char szWorkPostal[16];      // 12
    char szWorkCountry[32];     // 13
    char szHomeStreet[256];     // 14
    char szHomeCity[32];        // 15
    char szHomeState[32];       // 16
    char szHomePostal[16];      // 17
    char szHomeCountry[32];     // 18
    char szOtherStreet[256];    // 19
    char szOtherCity[32];       // 20
    char szOtherState[32];      // 21
    char szOtherPostal[16];     // 22
    char szOtherCountry[32];    // 23
    char szHomePhone[24];       // 24
    char szWorkPhone[24];       // 25
    char szMobilePhone[24];     // 26
    char szPrimaryPhone[24];    // 28
    char szOtherPhone[24];      // 27
    char szCallbackPhone[24];   // 29
    char szRadioPhone[24];      // 31
    char szCarPhone[24];        // 30
    char szWorkPhone2[24];      // 32
    char szHomePhone2[24];      // 33
    char szWorkFax[24];         // 34
    char szHomeFax[24];         // 35
    char szPager[24];           // 36
    char szEmail[64];           // 37
    char szEmail2[64];          // 38
    char szEmail3[64];          // 39
    char szWorkHomePage[256];   // 41
    char szPersonalHomePage[256];  // 40
    char szFtpSite[256];        // 42
    char szNote[8192];          // 43
    char szCustom[COMMADDR_CUSTOM_SLOTS][64];  // 44 to 52 in slots 0 to 8
    char szCompany[64];         // 53
    char szTitle[32];           // 55
    char szDepartment[32];      // 54
    char szIM1[32];             // 56
    char szIM2[32];             // 57
    char szManagerName[32];     // 58
    char szAssistantName[32];   // 59
    char szAssistantPhone[24];  // 60
    char szSpouseName[32];      // 61
    char szChildrenNames[32];   // 62
    char szProfession[64];      // 63
    char szHobby[64];           // 64
    char szAccount[32];         // 65
    double dtBirthday;          // 67
    double dtAnniversary;       // 66
    char szKeyword[64];         // 68
    char szLanguage[64];        // 69
    char szLocation[64];        // 70
    char szMHSCommonName[32];   // 71
    char szCustomerID[32];      // 72
    char szGovernmentID[32];    // 73
    char szOrganizationID[32];  // 74
    char szCategory[256];       // 75
    double dtCreationTime;      // 76
    double dtLastModificationTime;  // 77
    INT nSourceType;            // 78
    INT nStatus;                // 79
    char szID[64];              // 80
    INT nPrivate;               // 81
    char szCustomLabel[COMMADDR_CUSTOM_SLOTS][64];  // 82 to 90 in slots 0 to 8
    void* pSideData;            // owned block of the producing store, or none
    DWORD nSideDataSize;        // its size; owned only when both are non-zero
    CommAddr* pMatch;           // counterpart in the other list, not owned
};

// One row of CommAddrFieldTable.
struct CommAddrField {
    INT nFieldId;
    char szName[32];
    INT nType;
    INT nSize;
};

// The constant table, one row for each field id 1 to 90.
extern const CommAddrField CommAddrFieldTable[COMMADDR_FIELD_COUNT];

// Field ids the code names (the table row's nFieldId; the members above
// carry every id in their comments).
#define FIELD_ID_FIRST_NAME 1
#define FIELD_ID_LAST_NAME 3
#define FIELD_ID_GENDER 8
#define FIELD_ID_EMAIL 37
#define FIELD_ID_ANNIVERSARY 66
#define FIELD_ID_BIRTHDAY 67
#define FIELD_ID_CREATION_TIME 76
#define FIELD_ID_LAST_MODIFICATION_TIME 77
#define FIELD_ID_SOURCE_TYPE 78

// The member that holds field nFieldId of pAddr (its row's nSize bytes), or
// none for a missing record or an id outside 1 to 90.
const void* GetFieldMember(const CommAddr* pAddr, int nFieldId);
void* GetFieldMember(CommAddr* pAddr, int nFieldId);
