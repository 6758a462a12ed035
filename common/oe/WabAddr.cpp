#include "common/oe/WabAddr.h"

#include <cstdio>
#include <cstring>

#include "platform/win32/TextCopy.h"
#include "platform/win32/WinTime.h"

namespace {

#define WAB_TEXT(tag, member, commId, commMember, read, write)                                  \
    {tag, offsetof(WabAddr, member), sizeof(WabAddr::member), commId, offsetof(CommAddr, commMember), \
     sizeof(CommAddr::commMember), read, write}

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

namespace {

// Display name and middle name are written but not read back; the display
// name's "%s %s" fallback is built separately.
const WabAddrField s_Fields[] = {
    WAB_TEXT(PR_DISPLAY_NAME, szDisplayName, 7, szDisplayName, false, true),
    WAB_TEXT(PR_EMAIL_ADDRESS, szEmailAddress, 37, szEmail, true, true),
    WAB_TEXT(PR_GIVEN_NAME, szGivenName, 1, szFirstName, true, true),
    WAB_TEXT(PR_MIDDLE_NAME, szMiddleName, 2, szMiddleName, false, true),
    WAB_TEXT(PR_SURNAME, szSurname, 3, szLastName, true, true),
    WAB_TEXT(PR_COMPANY_NAME, szCompanyName, 53, szCompany, true, true),
    WAB_TEXT(PR_TITLE, szTitle, 55, szTitle, true, true),
    WAB_TEXT(PR_DEPARTMENT_NAME, szDepartmentName, 54, szDepartment, true, true),
    WAB_TEXT(PR_COMMENT, szComment, 43, szNote, true, true),
    WAB_TEXT(PR_CALLBACK_TELEPHONE_NUMBER, szCallbackPhone, 29, szCallbackPhone, true, true),
    WAB_TEXT(PR_BUSINESS_TELEPHONE_NUMBER, szBusinessPhone, 25, szWorkPhone, true, true),
    WAB_TEXT(PR_HOME_TELEPHONE_NUMBER, szHomePhone, 24, szHomePhone, true, true),
    WAB_TEXT(PR_PRIMARY_TELEPHONE_NUMBER, szPrimaryPhone, 28, szPrimaryPhone, true, true),
    WAB_TEXT(PR_RADIO_TELEPHONE_NUMBER, szRadioPhone, 31, szRadioPhone, true, true),
    WAB_TEXT(PR_MOBILE_TELEPHONE_NUMBER, szMobilePhone, 26, szMobilePhone, true, true),
    WAB_TEXT(PR_CAR_TELEPHONE_NUMBER, szCarPhone, 30, szCarPhone, true, true),
    WAB_TEXT(PR_OTHER_TELEPHONE_NUMBER, szOtherPhone, 27, szOtherPhone, true, true),
    WAB_TEXT(PR_PAGER_TELEPHONE_NUMBER, szPagerPhone, 36, szPager, true, true),
    WAB_TEXT(PR_PRIMARY_FAX_NUMBER, szPrimaryFax, 34, szWorkFax, true, true),
    WAB_TEXT(PR_HOME_FAX_NUMBER, szHomeFax, 35, szHomeFax, true, true),
    WAB_TEXT(PR_BUSINESS_HOME_PAGE, szBusinessHomePage, 41, szWorkHomePage, true, true),
    WAB_TEXT(PR_BUSINESS_ADDRESS_COUNTRY, szBusinessCountry, 13, szWorkCountry, true, true),
    WAB_TEXT(PR_BUSINESS_ADDRESS_STATE_OR_PROVINCE, szBusinessState, 11, szWorkState, true, true),
    WAB_TEXT(PR_BUSINESS_ADDRESS_CITY, szBusinessCity, 10, szWorkCity, true, true),
    WAB_TEXT(PR_BUSINESS_ADDRESS_STREET, szBusinessStreet, 9, szWorkStreet, true, true),
    WAB_TEXT(PR_BUSINESS_ADDRESS_POSTAL_CODE, szBusinessPostal, 12, szWorkPostal, true, true),
    WAB_TEXT(PR_HOME_ADDRESS_COUNTRY, szHomeCountry, 18, szHomeCountry, true, true),
    WAB_TEXT(PR_HOME_ADDRESS_STATE_OR_PROVINCE, szHomeState, 16, szHomeState, true, true),
    WAB_TEXT(PR_HOME_ADDRESS_CITY, szHomeCity, 15, szHomeCity, true, true),
    WAB_TEXT(PR_HOME_ADDRESS_STREET, szHomeStreet, 14, szHomeStreet, true, true),
    WAB_TEXT(PR_HOME_ADDRESS_POSTAL_CODE, szHomePostal, 17, szHomePostal, true, true),
    WAB_TEXT(PR_OTHER_ADDRESS_COUNTRY, szOtherCountry, 23, szOtherCountry, true, true),
    WAB_TEXT(PR_OTHER_ADDRESS_STATE_OR_PROVINCE, szOtherState, 21, szOtherState, true, true),
    WAB_TEXT(PR_OTHER_ADDRESS_CITY, szOtherCity, 20, szOtherCity, true, true),
    WAB_TEXT(PR_OTHER_ADDRESS_STREET, szOtherStreet, 19, szOtherStreet, true, true),
    WAB_TEXT(PR_OTHER_ADDRESS_POSTAL_CODE, szOtherPostal, 22, szOtherPostal, true, true),
    WAB_TEXT(PR_ACCOUNT, szAccount, 65, szAccount, true, true),
    WAB_TEXT(PR_GOVERNMENT_ID_NUMBER, szGovernmentID, 73, szGovernmentID, true, true),
    WAB_TEXT(PR_INITIALS, szInitials, 4, szPrefix, true, true),
    WAB_TEXT(PR_KEYWORD, szKeyword, 68, szKeyword, true, true),
    WAB_TEXT(PR_LANGUAGE, szLanguage, 69, szLanguage, true, true),
    WAB_TEXT(PR_LOCATION, szLocation, 70, szLocation, true, true),
    WAB_TEXT(PR_MHS_COMMON_NAME, szMHSCommonName, 71, szMHSCommonName, true, true),
    WAB_TEXT(PR_ORGANIZATIONAL_ID_NUMBER, szOrganizationalID, 74, szOrganizationID, true, true),
    WAB_TEXT(PR_BUSINESS2_TELEPHONE_NUMBER, szBusiness2Phone, 32, szWorkPhone2, true, true),
    WAB_TEXT(PR_HOME2_TELEPHONE_NUMBER, szHome2Phone, 33, szHomePhone2, true, true),
    WAB_TEXT(PR_ASSISTANT_TELEPHONE_NUMBER, szAssistantPhone, 60, szAssistantPhone, true, true),
    WAB_TEXT(PR_ASSISTANT, szAssistant, 59, szAssistantName, true, true),
    WAB_TEXT(PR_HOBBIES, szHobbies, 64, szHobby, true, true),
    WAB_TEXT(PR_PROFESSION, szProfession, 63, szProfession, true, true),
    WAB_TEXT(PR_CUSTOMER_ID, szCustomerID, 72, szCustomerID, true, true),
    WAB_TEXT(PR_FTP_SITE, szFtpSite, 42, szFtpSite, true, true),
    WAB_TEXT(PR_MANAGER_NAME, szManagerName, 58, szManagerName, true, true),
    WAB_TEXT(PR_NICKNAME, szNickname, 6, szNickName, true, true),
    WAB_TEXT(PR_SPOUSE_NAME, szSpouseName, 61, szSpouseName, true, true),
};
static_assert(sizeof(s_Fields) / sizeof(s_Fields[0]) == WAB_ADDR_TEXT_COUNT, "one row per text member");

}  // namespace

const WabAddrField* const g_WabAddrFields = s_Fields;
const size_t g_nWabAddrFieldCount = WAB_ADDR_TEXT_COUNT;

const WabAddrField* FindWabAddrField(ULONG ulPropTag) {
    for (size_t i = 0; i < g_nWabAddrFieldCount; ++i)
        if (g_WabAddrFields[i].ulPropTag == ulPropTag) return &g_WabAddrFields[i];
    return nullptr;
}

void WabAddrToCommAddr(const WabAddr* pWabAddr, CommAddr* pAddr) {
    if (pWabAddr == nullptr || pAddr == nullptr) return;
    for (size_t i = 0; i < g_nWabAddrFieldCount; ++i) {
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
    for (size_t i = 0; i < g_nWabAddrFieldCount; ++i) {
        const WabAddrField& f = g_WabAddrFields[i];
        if (!f.bWrite) continue;
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
