// The WAB side's record of one address book entry, and the mapping between
// its members and the fields of the common contact record.
//
// A WabAddr holds the entry's values as the address book stores them, in
// fixed buffers (at most width - 1 bytes and a NUL), its entry identifier and
// the entry reference it was read through or created as. It is created
// zero-filled. Common records carry a byte copy of it as side data; the
// identifier and the reference seen through such a copy belong to the
// folder's own record (see CxWabFolder).
#pragma once

#include <cstddef>

#include "common/model/CommAddr.h"
#include "platform/wab/WabApi.h"
#include "platform/win32/WinTypes.h"

struct WabAddr {
    char szDisplayName[64];         // PR_DISPLAY_NAME
    char szEmailAddress[64];        // PR_EMAIL_ADDRESS
    char szGivenName[32];           // PR_GIVEN_NAME
    char szMiddleName[32];          // PR_MIDDLE_NAME
    char szSurname[32];             // PR_SURNAME
    char szCompanyName[32];         // PR_COMPANY_NAME
    char szTitle[32];               // PR_TITLE
    char szDepartmentName[64];      // PR_DEPARTMENT_NAME
    char szComment[2048];           // PR_COMMENT
    char szCallbackPhone[32];       // PR_CALLBACK_TELEPHONE_NUMBER
    char szBusinessPhone[32];       // PR_BUSINESS_TELEPHONE_NUMBER
    char szHomePhone[32];           // PR_HOME_TELEPHONE_NUMBER
    char szPrimaryPhone[32];        // PR_PRIMARY_TELEPHONE_NUMBER
    char szRadioPhone[32];          // PR_RADIO_TELEPHONE_NUMBER
    char szMobilePhone[32];         // PR_MOBILE_TELEPHONE_NUMBER
    char szCarPhone[32];            // PR_CAR_TELEPHONE_NUMBER
    char szOtherPhone[32];          // PR_OTHER_TELEPHONE_NUMBER
    char szPagerPhone[32];          // PR_PAGER_TELEPHONE_NUMBER
    char szPrimaryFax[32];          // PR_PRIMARY_FAX_NUMBER
    char szHomeFax[32];             // PR_HOME_FAX_NUMBER
    FILETIME ftBirthday;            // PR_BIRTHDAY
    char szBusinessHomePage[64];    // PR_BUSINESS_HOME_PAGE
    char szBusinessCountry[32];     // PR_BUSINESS_ADDRESS_COUNTRY
    char szBusinessState[32];       // PR_BUSINESS_ADDRESS_STATE_OR_PROVINCE
    char szBusinessCity[32];        // PR_BUSINESS_ADDRESS_CITY
    char szBusinessStreet[256];     // PR_BUSINESS_ADDRESS_STREET
    char szBusinessPostal[16];      // PR_BUSINESS_ADDRESS_POSTAL_CODE
    char szHomeCountry[32];         // PR_HOME_ADDRESS_COUNTRY
    char szHomeState[32];           // PR_HOME_ADDRESS_STATE_OR_PROVINCE
    char szHomeCity[32];            // PR_HOME_ADDRESS_CITY
    char szHomeStreet[256];         // PR_HOME_ADDRESS_STREET
    char szHomePostal[16];          // PR_HOME_ADDRESS_POSTAL_CODE
    char szOtherCountry[32];        // PR_OTHER_ADDRESS_COUNTRY
    char szOtherState[32];          // PR_OTHER_ADDRESS_STATE_OR_PROVINCE
    char szOtherCity[32];           // PR_OTHER_ADDRESS_CITY
    char szOtherStreet[256];        // PR_OTHER_ADDRESS_STREET
    char szOtherPostal[16];         // PR_OTHER_ADDRESS_POSTAL_CODE
    ULONG cbEntryID;                // byte count of lpEntryID; 0 when absent
    LPENTRYID lpEntryID;            // owned copy (LocalAlloc); absent for an entry created since opening
    char szAccount[32];             // PR_ACCOUNT
    char szGovernmentID[32];        // PR_GOVERNMENT_ID_NUMBER
    char szInitials[16];            // PR_INITIALS
    char szKeyword[64];             // PR_KEYWORD
    char szLanguage[8];             // PR_LANGUAGE
    char szLocation[32];            // PR_LOCATION
    char szMHSCommonName[32];       // PR_MHS_COMMON_NAME
    char szOrganizationalID[32];    // PR_ORGANIZATIONAL_ID_NUMBER
    char szBusiness2Phone[32];      // PR_BUSINESS2_TELEPHONE_NUMBER
    char szHome2Phone[32];          // PR_HOME2_TELEPHONE_NUMBER
    char szAssistantPhone[32];      // PR_ASSISTANT_TELEPHONE_NUMBER
    char szAssistant[32];           // PR_ASSISTANT
    char szHobbies[128];            // PR_HOBBIES
    char szProfession[32];          // PR_PROFESSION
    char szCustomerID[32];          // PR_CUSTOMER_ID
    char szFtpSite[256];            // PR_FTP_SITE
    char szManagerName[32];         // PR_MANAGER_NAME
    char szNickname[32];            // PR_NICKNAME
    FILETIME ftWeddingAnniversary;  // PR_WEDDING_ANNIVERSARY
    char szSpouseName[32];          // PR_SPOUSE_NAME
    LPMAILUSER lpMailUser;          // owned entry reference: as read, or as created
};

// One text member of WabAddr: its property tag, where it lies, and the common
// field it is carried to and from. Every member is written; carried texts
// keep at most min(nWabSize, nCommSize) - 1 bytes in both directions.
struct WabAddrField {
    ULONG ulPropTag;
    size_t nWabOffset;
    size_t nWabSize;
    int nCommFieldId;     // the common field's id
    size_t nCommOffset;
    size_t nCommSize;
    bool bRead;           // also carried from WAB into the common record
};

// Every text member of WabAddr, in member order.
constexpr size_t WAB_ADDR_TEXT_COUNT = 55;
extern const WabAddrField g_WabAddrFields[WAB_ADDR_TEXT_COUNT];

// The row of g_WabAddrFields for a property tag (type included), or none.
const WabAddrField* FindWabAddrField(ULONG ulPropTag);

// Fills a zero-filled common record from a WabAddr: the carried texts (not
// "Display Name", not "Middle Name"); when first and last name are both empty
// the display name goes into "First Name"; both dates converted without a
// time-zone shift (a zero date reads as 1 January 1601, -109205.0; a date
// that cannot be converted stays 0). Sets neither "Source Type" nor side data.
void WabAddrToCommAddr(const WabAddr* pWabAddr, CommAddr* pAddr);

// Fills a zero-filled WabAddr from a common record: the carried texts plus
// "Middle Name"; the display name is "Display Name", or "%s %s" of first and
// last name when that is empty. A date stays zero when it is a "no date"
// value (0, 1 January 1601 or 1 January 4501) or cannot be converted.
void CommAddrToWabAddr(const CommAddr* pAddr, WabAddr* pWabAddr);
