#include "common/model/CommAddr.h"

#include <cstddef>

// Every field as (id, name, type, member), in id order.
#define COMMADDR_FIELDS(X) \
    X(1, "First Name", FIELD_TEXT, szFirstName) \
    X(2, "Middle Name", FIELD_TEXT, szMiddleName) \
    X(3, "Last Name", FIELD_TEXT, szLastName) \
    X(4, "Prefix", FIELD_TEXT, szPrefix) \
    X(5, "Suffix", FIELD_TEXT, szSuffix) \
    X(6, "Nick Name", FIELD_TEXT, szNickName) \
    X(7, "Display Name", FIELD_TEXT, szDisplayName) \
    X(8, "Gender", FIELD_GENDER, nGender) \
    X(9, "(Work) Street", FIELD_TEXT, szWorkStreet) \
    X(10, "(Work) City", FIELD_TEXT, szWorkCity) \
    X(11, "(Work) State", FIELD_TEXT, szWorkState) \
    X(12, "(Work) Postal", FIELD_TEXT, szWorkPostal) \
    X(13, "(Work) Country", FIELD_TEXT, szWorkCountry) \
    X(14, "(Home) Street", FIELD_TEXT, szHomeStreet) \
    X(15, "(Home) City", FIELD_TEXT, szHomeCity) \
    X(16, "(Home) State", FIELD_TEXT, szHomeState) \
    X(17, "(Home) Postal", FIELD_TEXT, szHomePostal) \
    X(18, "(Home) Country", FIELD_TEXT, szHomeCountry) \
    X(19, "(Other) Street", FIELD_TEXT, szOtherStreet) \
    X(20, "(Other) City", FIELD_TEXT, szOtherCity) \
    X(21, "(Other) State", FIELD_TEXT, szOtherState) \
    X(22, "(Other) Postal", FIELD_TEXT, szOtherPostal) \
    X(23, "(Other) Country", FIELD_TEXT, szOtherCountry) \
    X(24, "Home Phone", FIELD_TEXT, szHomePhone) \
    X(25, "Work Phone", FIELD_TEXT, szWorkPhone) \
    X(26, "Mobile Phone", FIELD_TEXT, szMobilePhone) \
    X(27, "Other Phone", FIELD_TEXT, szOtherPhone) \
    X(28, "Primary Phone", FIELD_TEXT, szPrimaryPhone) \
    X(29, "Callback Phone", FIELD_TEXT, szCallbackPhone) \
    X(30, "Car Phone", FIELD_TEXT, szCarPhone) \
    X(31, "Radio Phone", FIELD_TEXT, szRadioPhone) \
    X(32, "Work Phone 2", FIELD_TEXT, szWorkPhone2) \
    X(33, "Home Phone 2", FIELD_TEXT, szHomePhone2) \
    X(34, "Work Fax", FIELD_TEXT, szWorkFax) \
    X(35, "Home Fax", FIELD_TEXT, szHomeFax) \
    X(36, "Pager", FIELD_TEXT, szPager) \
    X(37, "Email", FIELD_TEXT, szEmail) \
    X(38, "Email 2", FIELD_TEXT, szEmail2) \
    X(39, "Email 3", FIELD_TEXT, szEmail3) \
    X(40, "Personal Home Page", FIELD_TEXT, szPersonalHomePage) \
    X(41, "Work Home Page", FIELD_TEXT, szWorkHomePage) \
    X(42, "FTP Site", FIELD_TEXT, szFtpSite) \
    X(43, "Note", FIELD_TEXT, szNote) \
    X(44, "Custom 1", FIELD_TEXT, szCustom[0]) \
    X(45, "Custom 2", FIELD_TEXT, szCustom[1]) \
    X(46, "Custom 3", FIELD_TEXT, szCustom[2]) \
    X(47, "Custom 4", FIELD_TEXT, szCustom[3]) \
    X(48, "Custom 5", FIELD_TEXT, szCustom[4]) \
    X(49, "Custom 6", FIELD_TEXT, szCustom[5]) \
    X(50, "Custom 7", FIELD_TEXT, szCustom[6]) \
    X(51, "Custom 8", FIELD_TEXT, szCustom[7]) \
    X(52, "Custom 9", FIELD_TEXT, szCustom[8]) \
    X(53, "Company", FIELD_TEXT, szCompany) \
    X(54, "Department", FIELD_TEXT, szDepartment) \
    X(55, "Title", FIELD_TEXT, szTitle) \
    X(56, "IM 1", FIELD_TEXT, szIM1) \
    X(57, "IM 2", FIELD_TEXT, szIM2) \
    X(58, "Manager Name", FIELD_TEXT, szManagerName) \
    X(59, "Assistant Name", FIELD_TEXT, szAssistantName) \
    X(60, "Assistant Phone", FIELD_TEXT, szAssistantPhone) \
    X(61, "Spouse Name", FIELD_TEXT, szSpouseName) \
    X(62, "Children's Names", FIELD_TEXT, szChildrenNames) \
    X(63, "Profession", FIELD_TEXT, szProfession) \
    X(64, "Hobby", FIELD_TEXT, szHobby) \
    X(65, "Account", FIELD_TEXT, szAccount) \
    X(66, "Anniversary", FIELD_DATE, dtAnniversary) \
    X(67, "Birthday", FIELD_DATE, dtBirthday) \
    X(68, "Keyword", FIELD_TEXT, szKeyword) \
    X(69, "Language", FIELD_TEXT, szLanguage) \
    X(70, "Location", FIELD_TEXT, szLocation) \
    X(71, "MHS Common Name", FIELD_TEXT, szMHSCommonName) \
    X(72, "Customer ID", FIELD_TEXT, szCustomerID) \
    X(73, "Government ID", FIELD_TEXT, szGovernmentID) \
    X(74, "Organization ID", FIELD_TEXT, szOrganizationID) \
    X(75, "Category", FIELD_TEXT, szCategory) \
    X(76, "Creation Time", FIELD_DATE, dtCreationTime) \
    X(77, "Last Modification Time", FIELD_DATE, dtLastModificationTime) \
    X(78, "Source Type", FIELD_INT, nSourceType) \
    X(79, "Status", FIELD_INT, nStatus) \
    X(80, "ID", FIELD_TEXT, szID) \
    X(81, "Private", FIELD_INT, nPrivate) \
    X(82, "Custom Label 1", FIELD_TEXT, szCustomLabel[0]) \
    X(83, "Custom Label 2", FIELD_TEXT, szCustomLabel[1]) \
    X(84, "Custom Label 3", FIELD_TEXT, szCustomLabel[2]) \
    X(85, "Custom Label 4", FIELD_TEXT, szCustomLabel[3]) \
    X(86, "Custom Label 5", FIELD_TEXT, szCustomLabel[4]) \
    X(87, "Custom Label 6", FIELD_TEXT, szCustomLabel[5]) \
    X(88, "Custom Label 7", FIELD_TEXT, szCustomLabel[6]) \
    X(89, "Custom Label 8", FIELD_TEXT, szCustomLabel[7]) \
    X(90, "Custom Label 9", FIELD_TEXT, szCustomLabel[8])

#define COMMADDR_MEMBER_SIZE(member) static_cast<INT>(sizeof(static_cast<CommAddr*>(nullptr)->member))
#define COMMADDR_TABLE_ROW(id, name, type, member) {id, name, type, COMMADDR_MEMBER_SIZE(member)},
#define COMMADDR_OFFSET(id, name, type, member) offsetof(CommAddr, member),

const CommAddrField CommAddrFieldTable[COMMADDR_FIELD_COUNT] = {COMMADDR_FIELDS(COMMADDR_TABLE_ROW)};

// Offsets of the members, by field id - 1.
static const size_t s_nFieldOffset[COMMADDR_FIELD_COUNT] = {COMMADDR_FIELDS(COMMADDR_OFFSET)};

const void* GetFieldMember(const CommAddr* pAddr, int nFieldId) {
    if (pAddr == nullptr || nFieldId < 1 || nFieldId > COMMADDR_FIELD_COUNT) return nullptr;
    return reinterpret_cast<const char*>(pAddr) + s_nFieldOffset[nFieldId - 1];
}

void* GetFieldMember(CommAddr* pAddr, int nFieldId) {
    return const_cast<void*>(GetFieldMember(static_cast<const CommAddr*>(pAddr), nFieldId));
}
