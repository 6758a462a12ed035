#include "common/oe/WabAddr.h"

#include <cstdio>
#include <cstring>

#include "platform/win32/TextCopy.h"
#include "platform/win32/WinTime.h"

namespace {

#define WAB_TEXT(tag, member, commId, commMember, read)                                         \
    {tag, offsetof(WabAddr, member), sizeof(WabAddr::member), commId, offsetof(CommAddr, commMember), \
     sizeof(CommAddr::commMember), read}

// "No date" values of the common record: the empty date, what reading gives
// for an entry without a date (1 January 1601, 00:00) and Outlook's
// 1 January 4501.
const double kNoDateEmpty = 0.0;
const double kNoDate1601 = -109205.0;
const double kNoDate4501 = 949998.0;

char* WabText(WabAddr* p, const WabAddrField& f) { return reinterpret_cast<char*>(p) + f.nWabOffset; }
const char* WabText(const WabAddr* p, const WabAddrField& f) {
    return reinterpret_cast<const char*>(p) + f.nWabOffset;
}
char* CommText(CommAddr* p, const WabAddrField& f) { return reinterpret_cast<char*>(p) + f.nCommOffset; }
const char* CommText(const CommAddr* p, const WabAddrField& f) {
    return reinterpret_cast<const char*>(p) + f.nCommOffset;
}

size_t Carried(const WabAddrField& f) { return (f.nWabSize < f.nCommSize ? f.nWabSize : f.nCommSize) - 1; }

// Copies a fixed-buffer text, reading no further than its buffer even when a
// record arrives without its terminating NUL.
void CopyFixed(char* szDst, size_t nDstSize, const char* szSrc, size_t nSrcSize) {
    CopyTextN(szDst, nDstSize, szSrc, strnlen(szSrc, nSrcSize));
}

double FileTimeToDate(const FILETIME& ft) {
    SYSTEMTIME st;
    double dt = 0.0;
    if (!FileTimeToSystemTime(&ft, &st)) return 0.0;
    if (!SystemTimeToVariantTime(&st, &dt)) return 0.0;
    return dt;
}

FILETIME DateToFileTime(double dt) {
    FILETIME ft = {0, 0};
    if (dt == kNoDateEmpty || dt == kNoDate1601 || dt == kNoDate4501) return ft;
    SYSTEMTIME st;
    FILETIME ftOut;
    if (!VariantTimeToSystemTime(dt, &st)) return ft;
    if (!SystemTimeToFileTime(&st, &ftOut)) return ft;
    return ftOut;
}

}  // namespace

// Display name and middle name are written but not read back; the display
// name's "%s %s" fallback is built separately.
constexpr WabAddrField g_WabAddrFields[WAB_ADDR_TEXT_COUNT] = {
    WAB_TEXT(PR_DISPLAY_NAME, szDisplayName, 7, szDisplayName, false),
    WAB_TEXT(PR_EMAIL_ADDRESS, szEmailAddress, 37, szEmail, true),
    WAB_TEXT(PR_GIVEN_NAME, szGivenName, 1, szFirstName, true),
    WAB_TEXT(PR_MIDDLE_NAME, szMiddleName, 2, szMiddleName, false),
    WAB_TEXT(PR_SURNAME, szSurname, 3, szLastName, true),
    WAB_TEXT(PR_COMPANY_NAME, szCompanyName, 53, szCompany, true),
    WAB_TEXT(PR_TITLE, szTitle, 55, szTitle, true),
    WAB_TEXT(PR_DEPARTMENT_NAME, szDepartmentName, 54, szDepartment, true),
    WAB_TEXT(PR_COMMENT, szComment, 43, szNote, true),
    WAB_TEXT(PR_CALLBACK_TELEPHONE_NUMBER, szCallbackPhone, 29, szCallbackPhone, true),
    WAB_TEXT(PR_BUSINESS_TELEPHONE_NUMBER, szBusinessPhone, 25, szWorkPhone, true),
    WAB_TEXT(PR_HOME_TELEPHONE_NUMBER, szHomePhone, 24, szHomePhone, true),
    WAB_TEXT(PR_PRIMARY_TELEPHONE_NUMBER, szPrimaryPhone, 28, szPrimaryPhone, true),
    WAB_TEXT(PR_RADIO_TELEPHONE_NUMBER, szRadioPhone, 31, szRadioPhone, true),
    WAB_TEXT(PR_MOBILE_TELEPHONE_NUMBER, szMobilePhone, 26, szMobilePhone, true),
    WAB_TEXT(PR_CAR_TELEPHONE_NUMBER, szCarPhone, 30, szCarPhone, true),
    WAB_TEXT(PR_OTHER_TELEPHONE_NUMBER, szOtherPhone, 27, szOtherPhone, true),
    WAB_TEXT(PR_PAGER_TELEPHONE_NUMBER, szPagerPhone, 36, szPager, true),
    WAB_TEXT(PR_PRIMARY_FAX_NUMBER, szPrimaryFax, 34, szWorkFax, true),
    WAB_TEXT(PR_HOME_FAX_NUMBER, szHomeFax, 35, szHomeFax, true),
    WAB_TEXT(PR_BUSINESS_HOME_PAGE, szBusinessHomePage, 41, szWorkHomePage, true),
    WAB_TEXT(PR_BUSINESS_ADDRESS_COUNTRY, szBusinessCountry, 13, szWorkCountry, true),
    WAB_TEXT(PR_BUSINESS_ADDRESS_STATE_OR_PROVINCE, szBusinessState, 11, szWorkState, true),
    WAB_TEXT(PR_BUSINESS_ADDRESS_CITY, szBusinessCity, 10, szWorkCity, true),
    WAB_TEXT(PR_BUSINESS_ADDRESS_STREET, szBusinessStreet, 9, szWorkStreet, true),
    WAB_TEXT(PR_BUSINESS_ADDRESS_POSTAL_CODE, szBusinessPostal, 12, szWorkPostal, true),
    WAB_TEXT(PR_HOME_ADDRESS_COUNTRY, szHomeCountry, 18, szHomeCountry, true),
    WAB_TEXT(PR_HOME_ADDRESS_STATE_OR_PROVINCE, szHomeState, 16, szHomeState, true),
    WAB_TEXT(PR_HOME_ADDRESS_CITY, szHomeCity, 15, szHomeCity, true),
    WAB_TEXT(PR_HOME_ADDRESS_STREET, szHomeStreet, 14, szHomeStreet, true),
    WAB_TEXT(PR_HOME_ADDRESS_POSTAL_CODE, szHomePostal, 17, szHomePostal, true),
    WAB_TEXT(PR_OTHER_ADDRESS_COUNTRY, szOtherCountry, 23, szOtherCountry, true),
    WAB_TEXT(PR_OTHER_ADDRESS_STATE_OR_PROVINCE, szOtherState, 21, szOtherState, true),
    WAB_TEXT(PR_OTHER_ADDRESS_CITY, szOtherCity, 20, szOtherCity, true),
    WAB_TEXT(PR_OTHER_ADDRESS_STREET, szOtherStreet, 19, szOtherStreet, true),
    WAB_TEXT(PR_OTHER_ADDRESS_POSTAL_CODE, szOtherPostal, 22, szOtherPostal, true),
    WAB_TEXT(PR_ACCOUNT, szAccount, 65, szAccount, true),
    WAB_TEXT(PR_GOVERNMENT_ID_NUMBER, szGovernmentID, 73, szGovernmentID, true),
    WAB_TEXT(PR_INITIALS, szInitials, 4, szPrefix, true),
    WAB_TEXT(PR_KEYWORD, szKeyword, 68, szKeyword, true),
    WAB_TEXT(PR_LANGUAGE, szLanguage, 69, szLanguage, true),
    WAB_TEXT(PR_LOCATION, szLocation, 70, szLocation, true),
    WAB_TEXT(PR_MHS_COMMON_NAME, szMHSCommonName, 71, szMHSCommonName, true),
    WAB_TEXT(PR_ORGANIZATIONAL_ID_NUMBER, szOrganizationalID, 74, szOrganizationID, true),
    WAB_TEXT(PR_BUSINESS2_TELEPHONE_NUMBER, szBusiness2Phone, 32, szWorkPhone2, true),
    WAB_TEXT(PR_HOME2_TELEPHONE_NUMBER, szHome2Phone, 33, szHomePhone2, true),
    WAB_TEXT(PR_ASSISTANT_TELEPHONE_NUMBER, szAssistantPhone, 60, szAssistantPhone, true),
    WAB_TEXT(PR_ASSISTANT, szAssistant, 59, szAssistantName, true),
    WAB_TEXT(PR_HOBBIES, szHobbies, 64, szHobby, true),
    WAB_TEXT(PR_PROFESSION, szProfession, 63, szProfession, true),
    WAB_TEXT(PR_CUSTOMER_ID, szCustomerID, 72, szCustomerID, true),
    WAB_TEXT(PR_FTP_SITE, szFtpSite, 42, szFtpSite, true),
    WAB_TEXT(PR_MANAGER_NAME, szManagerName, 58, szManagerName, true),
    WAB_TEXT(PR_NICKNAME, szNickname, 6, szNickName, true),
    WAB_TEXT(PR_SPOUSE_NAME, szSpouseName, 61, szSpouseName, true),
};
// A row left out would leave an empty row (tag 0) at the end.
static_assert(g_WabAddrFields[WAB_ADDR_TEXT_COUNT - 1].ulPropTag == PR_SPOUSE_NAME, "one row per text member");

const WabAddrField* FindWabAddrField(ULONG ulPropTag) {
    for (size_t i = 0; i < WAB_ADDR_TEXT_COUNT; ++i)
        if (g_WabAddrFields[i].ulPropTag == ulPropTag) return &g_WabAddrFields[i];
    return nullptr;
}

void WabAddrToCommAddr(const WabAddr* pWabAddr, CommAddr* pAddr) {
    if (pWabAddr == nullptr || pAddr == nullptr) return;
    for (size_t i = 0; i < WAB_ADDR_TEXT_COUNT; ++i) {
        const WabAddrField& f = g_WabAddrFields[i];
        if (!f.bRead) continue;
        CopyFixed(CommText(pAddr, f), Carried(f) + 1, WabText(pWabAddr, f), f.nWabSize);
    }
    if (pAddr->szFirstName[0] == '\0' && pAddr->szLastName[0] == '\0')
        CopyFixed(pAddr->szFirstName, sizeof(pAddr->szFirstName), pWabAddr->szDisplayName,
                  sizeof(pWabAddr->szDisplayName));
    pAddr->dtBirthday = FileTimeToDate(pWabAddr->ftBirthday);
    pAddr->dtAnniversary = FileTimeToDate(pWabAddr->ftWeddingAnniversary);
}

void CommAddrToWabAddr(const CommAddr* pAddr, WabAddr* pWabAddr) {
    if (pAddr == nullptr || pWabAddr == nullptr) return;
    for (size_t i = 0; i < WAB_ADDR_TEXT_COUNT; ++i) {
        const WabAddrField& f = g_WabAddrFields[i];
        CopyFixed(WabText(pWabAddr, f), Carried(f) + 1, CommText(pAddr, f), f.nCommSize);
    }
    if (pAddr->szDisplayName[0] == '\0') {
        // Built in a buffer wide enough for both names, then cut to the
        // member without splitting a character.
        char szName[sizeof(pAddr->szFirstName) + sizeof(pAddr->szLastName) + 2];
        snprintf(szName, sizeof(szName), "%.*s %.*s", (int)strnlen(pAddr->szFirstName, sizeof(pAddr->szFirstName)),
                 pAddr->szFirstName, (int)strnlen(pAddr->szLastName, sizeof(pAddr->szLastName)), pAddr->szLastName);
        CopyText(pWabAddr->szDisplayName, szName);
    }
    pWabAddr->ftBirthday = DateToFileTime(pAddr->dtBirthday);
    pWabAddr->ftWeddingAnniversary = DateToFileTime(pAddr->dtAnniversary);
}
