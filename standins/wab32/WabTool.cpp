// wabtool: lists and edits an address book file of the stand-in address book
// library, so that a user or a test can prepare and inspect one.
#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/vcard/CxVCard.h"
#include "platform/wab/WabDefs.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinTime.h"
#include "standins/wab32/WabFile.h"

namespace {

const char* const kUsage =
    "usage: wabtool FILE COMMAND [ARGUMENTS]\n"
    "Lists and edits an address book file (.wab). FILE \"\" is the default address book.\n"
    "\n"
    "commands:\n"
    "  list                        print every entry: its id, its kind, then one\n"
    "                              line per property, \"  NAME = VALUE\"\n"
    "  add PROP=VALUE...           add a contact (mail user); prints its id\n"
    "  adddl NAME [PROP=VALUE...]  add a distribution list called NAME; prints its id\n"
    "  set ID PROP=VALUE...        change properties of entry ID; \"PROP=\" removes one\n"
    "  delete ID                   delete entry ID\n"
    "  import VCF                  add every contact of the vCard file VCF as a new\n"
    "                              entry; prints how many, and the file's problems\n"
    "  export VCF [3.0|4.0]        write every contact to the vCard file VCF\n"
    "                              (version 3.0 unless 4.0 is given)\n"
    "\n"
    "PROP is a property name (PR_GIVEN_NAME or GIVEN_NAME) or a tag (0x3A06001E).\n"
    "The tag's type says how VALUE is read:\n"
    "  text (001E)     as written; \\n, \\t and \\\\ stand for a new line, a tab, a backslash\n"
    "  date (0040)     YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS (UTC), or @N for N 100-ns\n"
    "                  intervals since 1601-01-01\n"
    "  number (0003)   decimal\n"
    "  binary (0102)   hexadecimal digits\n"
    "list prints values the same way. list, set and delete need an existing file;\n"
    "add, adddl and import create it. Exit status: 0 done, 1 failed, 2 usage error.\n";

struct CTagName {
    const char* szName;
    ULONG ulTag;
};

#define TAG(x) {#x, x}
const CTagName kTags[] = {
    TAG(PR_ENTRYID), TAG(PR_OBJECT_TYPE), TAG(PR_DISPLAY_NAME), TAG(PR_EMAIL_ADDRESS), TAG(PR_COMMENT),
    TAG(PR_ACCOUNT), TAG(PR_CALLBACK_TELEPHONE_NUMBER), TAG(PR_GIVEN_NAME), TAG(PR_GOVERNMENT_ID_NUMBER),
    TAG(PR_BUSINESS_TELEPHONE_NUMBER), TAG(PR_HOME_TELEPHONE_NUMBER), TAG(PR_INITIALS), TAG(PR_KEYWORD),
    TAG(PR_LANGUAGE), TAG(PR_LOCATION), TAG(PR_MHS_COMMON_NAME), TAG(PR_ORGANIZATIONAL_ID_NUMBER),
    TAG(PR_SURNAME), TAG(PR_COMPANY_NAME), TAG(PR_TITLE), TAG(PR_DEPARTMENT_NAME),
    TAG(PR_PRIMARY_TELEPHONE_NUMBER), TAG(PR_BUSINESS2_TELEPHONE_NUMBER), TAG(PR_MOBILE_TELEPHONE_NUMBER),
    TAG(PR_RADIO_TELEPHONE_NUMBER), TAG(PR_CAR_TELEPHONE_NUMBER), TAG(PR_OTHER_TELEPHONE_NUMBER),
    TAG(PR_PAGER_TELEPHONE_NUMBER), TAG(PR_PRIMARY_FAX_NUMBER), TAG(PR_BUSINESS_FAX_NUMBER),
    TAG(PR_HOME_FAX_NUMBER), TAG(PR_BUSINESS_ADDRESS_COUNTRY), TAG(PR_BUSINESS_ADDRESS_CITY),
    TAG(PR_BUSINESS_ADDRESS_STATE_OR_PROVINCE), TAG(PR_BUSINESS_ADDRESS_STREET),
    TAG(PR_BUSINESS_ADDRESS_POSTAL_CODE), TAG(PR_ASSISTANT_TELEPHONE_NUMBER), TAG(PR_HOME2_TELEPHONE_NUMBER),
    TAG(PR_ASSISTANT), TAG(PR_WEDDING_ANNIVERSARY), TAG(PR_BIRTHDAY), TAG(PR_HOBBIES), TAG(PR_MIDDLE_NAME),
    TAG(PR_PROFESSION), TAG(PR_SPOUSE_NAME), TAG(PR_CUSTOMER_ID), TAG(PR_FTP_SITE), TAG(PR_MANAGER_NAME),
    TAG(PR_NICKNAME), TAG(PR_BUSINESS_HOME_PAGE), TAG(PR_HOME_ADDRESS_CITY), TAG(PR_HOME_ADDRESS_COUNTRY),
    TAG(PR_HOME_ADDRESS_POSTAL_CODE), TAG(PR_HOME_ADDRESS_STATE_OR_PROVINCE), TAG(PR_HOME_ADDRESS_STREET),
    TAG(PR_OTHER_ADDRESS_CITY), TAG(PR_OTHER_ADDRESS_COUNTRY), TAG(PR_OTHER_ADDRESS_POSTAL_CODE),
    TAG(PR_OTHER_ADDRESS_STATE_OR_PROVINCE), TAG(PR_OTHER_ADDRESS_STREET),
};
#undef TAG

const int64_t kTicksPerSecond = 10000000;
// Days from 1601-01-01 to 1970-01-01.
const int64_t kDays1601To1970 = 134774;

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t* py, int64_t* pm, int64_t* pd) {
    z += 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    *pd = doy - (153 * mp + 2) / 5 + 1;
    *pm = mp < 10 ? mp + 3 : mp - 9;
    *py = yoe + era * 400 + (*pm <= 2);
}

bool ParseTag(const std::string& sName, ULONG* pulTag) {
    for (const CTagName& t : kTags)
        if (sName == t.szName || sName == t.szName + 3) {
            *pulTag = t.ulTag;
            return true;
        }
    if (sName.size() > 2 && sName[0] == '0' && (sName[1] == 'x' || sName[1] == 'X')) {
        char* pEnd = nullptr;
        errno = 0;
        unsigned long n = strtoul(sName.c_str() + 2, &pEnd, 16);
        if (*pEnd == '\0' && errno == 0 && n <= 0xFFFFFFFFul) {
            *pulTag = ULONG(n);
            return true;
        }
    }
    return false;
}

std::string TagName(ULONG ulTag) {
    for (const CTagName& t : kTags)
        if (t.ulTag == ulTag) return t.szName;
    char sz[16];
    snprintf(sz, sizeof(sz), "0x%08X", unsigned(ulTag));
    return sz;
}

std::string Unescape(const std::string& s) {
    std::string sOut;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[++i];
            sOut += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
        } else {
            sOut += s[i];
        }
    }
    return sOut;
}

std::string Escape(const std::string& s) {
    std::string sOut;
    for (char c : s) {
        if (c == '\n') sOut += "\\n";
        else if (c == '\t') sOut += "\\t";
        else if (c == '\r') sOut += "\\r";
        else if (c == '\\') sOut += "\\\\";
        else sOut += c;
    }
    return sOut;
}

bool ParseDate(const std::string& s, int64_t* pnTicks) {
    if (!s.empty() && s[0] == '@') {
        char* pEnd = nullptr;
        errno = 0;
        long long n = strtoll(s.c_str() + 1, &pEnd, 10);
        if (s.size() == 1 || *pEnd != '\0' || errno != 0) return false;
        *pnTicks = n;
        return true;
    }
    int y, mo, d, h = 0, mi = 0, se = 0;
    char cEnd = 0;
    int n = sscanf(s.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &se, &cEnd);
    if (n != 3 && n != 6) return false;
    if (n == 3 && s.size() != 10) return false;
    if (y < 1601 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || se > 59 || h < 0 || mi < 0 ||
        se < 0)
        return false;
    int64_t y2, m2, d2;
    int64_t nDays = DaysFromCivil(y, mo, d);
    CivilFromDays(nDays, &y2, &m2, &d2);
    if (m2 != mo) return false;  // no 31 February
    int64_t nSeconds = (nDays + kDays1601To1970) * 86400 + h * 3600 + mi * 60 + se;
    *pnTicks = nSeconds * kTicksPerSecond;
    return true;
}

std::string FormatDate(int64_t nTicks) {
    char sz[48];
    if (nTicks < 0 || nTicks % kTicksPerSecond != 0) {
        snprintf(sz, sizeof(sz), "@%" PRId64, nTicks);
        return sz;
    }
    int64_t nSeconds = nTicks / kTicksPerSecond;
    int64_t y, m, d;
    CivilFromDays(nSeconds / 86400 - kDays1601To1970, &y, &m, &d);
    int64_t s = nSeconds % 86400;
    snprintf(sz, sizeof(sz), "%04d-%02d-%02dT%02d:%02d:%02d", int(y), int(m), int(d), int(s / 3600),
             int(s / 60 % 60), int(s % 60));
    return sz;
}

std::string FormatValue(const CWabProp& prop) {
    switch (PROP_TYPE(prop.ulTag)) {
    case PT_STRING8: return Escape(prop.sText);
    case PT_SYSTIME: return FormatDate(prop.nValue);
    case PT_BINARY: {
        std::string s;
        char sz[3];
        for (unsigned char c : prop.sText) {
            snprintf(sz, sizeof(sz), "%02X", unsigned(c));
            s += sz;
        }
        return s;
    }
    default: return std::to_string(prop.nValue);
    }
}

// "PROP=VALUE": a value to set, or (empty VALUE) an identifier to remove.
bool ParseAssignment(const std::string& sArg, std::vector<CWabProp>& props, std::vector<ULONG>& removeIds) {
    size_t nEq = sArg.find('=');
    if (nEq == std::string::npos || nEq == 0) {
        fprintf(stderr, "wabtool: \"%s\" is not PROP=VALUE\n", sArg.c_str());
        return false;
    }
    std::string sName = sArg.substr(0, nEq), sValue = sArg.substr(nEq + 1);
    CWabProp prop;
    if (!ParseTag(sName, &prop.ulTag)) {
        fprintf(stderr, "wabtool: unknown property \"%s\"\n", sName.c_str());
        return false;
    }
    if (prop.ulTag == PR_ENTRYID || prop.ulTag == PR_OBJECT_TYPE) {
        fprintf(stderr, "wabtool: %s cannot be set\n", sName.c_str());
        return false;
    }
    if (sValue.empty()) {
        removeIds.push_back(PROP_ID(prop.ulTag));
        return true;
    }
    bool bOk = true;
    switch (PROP_TYPE(prop.ulTag)) {
    case PT_STRING8: prop.sText = Unescape(sValue); break;
    case PT_SYSTIME: bOk = ParseDate(sValue, &prop.nValue); break;
    case PT_LONG: {
        char* pEnd = nullptr;
        errno = 0;
        long n = strtol(sValue.c_str(), &pEnd, 10);
        bOk = *pEnd == '\0' && errno == 0 && n >= INT32_MIN && n <= INT32_MAX;
        prop.nValue = n;
        break;
    }
    case PT_BINARY:
        bOk = sValue.size() % 2 == 0;
        for (size_t i = 0; bOk && i < sValue.size(); i += 2) {
            char* pEnd = nullptr;
            std::string sByte = sValue.substr(i, 2);
            long n = strtol(sByte.c_str(), &pEnd, 16);
            bOk = *pEnd == '\0' && isxdigit(static_cast<unsigned char>(sByte[0]));
            prop.sText += char(n);
        }
        break;
    default:
        fprintf(stderr, "wabtool: %s: only text, date, number and binary properties are kept\n", sName.c_str());
        return false;
    }
    if (!bOk) {
        fprintf(stderr, "wabtool: bad value for %s: \"%s\"\n", sName.c_str(), sValue.c_str());
        return false;
    }
    // A later assignment of the same property wins.
    for (size_t i = 0; i < props.size(); ++i)
        if (PROP_ID(props[i].ulTag) == PROP_ID(prop.ulTag)) props.erase(props.begin() + long(i--));
    props.push_back(prop);
    return true;
}

bool ParseId(const char* sz, int64_t* pnId) {
    char* pEnd = nullptr;
    errno = 0;
    long long n = strtoll(sz, &pEnd, 10);
    if (*sz == '\0' || *pEnd != '\0' || errno != 0 || n <= 0) return false;
    *pnId = n;
    return true;
}

int Usage() {
    fputs(kUsage, stderr);
    return 2;
}

int List(CWabFile& file) {
    std::vector<CWabEntryRow> rows;
    if (!file.ListEntries(rows)) return 1;
    for (const CWabEntryRow& row : rows) {
        std::vector<CWabProp> props;
        if (!file.LoadProps(row.nId, props)) return 1;
        const char* szKind = row.ulObjType == MAPI_MAILUSER ? "MAILUSER"
                             : row.ulObjType == MAPI_DISTLIST ? "DISTLIST"
                                                              : "OTHER";
        printf("%" PRId64 " %s\n", row.nId, szKind);
        for (const CWabProp& prop : props) printf("  %s = %s\n", TagName(prop.ulTag).c_str(), FormatValue(prop).c_str());
    }
    return 0;
}

// The contact record's fields and the properties that hold them, as the
// address book store maps them.
struct CFieldTag {
    int nField;
    ULONG ulTag;
};
const CFieldTag kFieldTags[] = {
    {7, PR_DISPLAY_NAME}, {37, PR_EMAIL_ADDRESS}, {1, PR_GIVEN_NAME}, {2, PR_MIDDLE_NAME}, {3, PR_SURNAME},
    {53, PR_COMPANY_NAME}, {55, PR_TITLE}, {54, PR_DEPARTMENT_NAME}, {43, PR_COMMENT},
    {29, PR_CALLBACK_TELEPHONE_NUMBER}, {25, PR_BUSINESS_TELEPHONE_NUMBER}, {24, PR_HOME_TELEPHONE_NUMBER},
    {28, PR_PRIMARY_TELEPHONE_NUMBER}, {31, PR_RADIO_TELEPHONE_NUMBER}, {26, PR_MOBILE_TELEPHONE_NUMBER},
    {30, PR_CAR_TELEPHONE_NUMBER}, {27, PR_OTHER_TELEPHONE_NUMBER}, {36, PR_PAGER_TELEPHONE_NUMBER},
    {34, PR_PRIMARY_FAX_NUMBER}, {35, PR_HOME_FAX_NUMBER}, {41, PR_BUSINESS_HOME_PAGE},
    {13, PR_BUSINESS_ADDRESS_COUNTRY}, {11, PR_BUSINESS_ADDRESS_STATE_OR_PROVINCE}, {10, PR_BUSINESS_ADDRESS_CITY},
    {9, PR_BUSINESS_ADDRESS_STREET}, {12, PR_BUSINESS_ADDRESS_POSTAL_CODE}, {18, PR_HOME_ADDRESS_COUNTRY},
    {16, PR_HOME_ADDRESS_STATE_OR_PROVINCE}, {15, PR_HOME_ADDRESS_CITY}, {14, PR_HOME_ADDRESS_STREET},
    {17, PR_HOME_ADDRESS_POSTAL_CODE}, {23, PR_OTHER_ADDRESS_COUNTRY}, {21, PR_OTHER_ADDRESS_STATE_OR_PROVINCE},
    {20, PR_OTHER_ADDRESS_CITY}, {19, PR_OTHER_ADDRESS_STREET}, {22, PR_OTHER_ADDRESS_POSTAL_CODE},
    {65, PR_ACCOUNT}, {73, PR_GOVERNMENT_ID_NUMBER}, {4, PR_INITIALS}, {68, PR_KEYWORD}, {69, PR_LANGUAGE},
    {70, PR_LOCATION}, {71, PR_MHS_COMMON_NAME}, {74, PR_ORGANIZATIONAL_ID_NUMBER},
    {32, PR_BUSINESS2_TELEPHONE_NUMBER}, {33, PR_HOME2_TELEPHONE_NUMBER}, {60, PR_ASSISTANT_TELEPHONE_NUMBER},
    {59, PR_ASSISTANT}, {64, PR_HOBBIES}, {63, PR_PROFESSION}, {72, PR_CUSTOMER_ID}, {42, PR_FTP_SITE},
    {58, PR_MANAGER_NAME}, {6, PR_NICKNAME}, {61, PR_SPOUSE_NAME},
    {67, PR_BIRTHDAY}, {66, PR_WEDDING_ANNIVERSARY},
};

// An OLE date to 100-ns ticks since 1601 and back; false outside the range.
bool DateToTicks(double dt, int64_t* pnTicks) {
    SYSTEMTIME st;
    FILETIME ft;
    if (!VariantTimeToSystemTime(dt, &st) || !SystemTimeToFileTime(&st, &ft)) return false;
    *pnTicks = int64_t((uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
    return true;
}

double TicksToDate(int64_t nTicks) {
    FILETIME ft = {DWORD(uint64_t(nTicks) & 0xFFFFFFFFu), DWORD(uint64_t(nTicks) >> 32)};
    SYSTEMTIME st;
    double dt = 0.0;
    if (nTicks <= 0 || !FileTimeToSystemTime(&ft, &st) || !SystemTimeToVariantTime(&st, &dt)) return 0.0;
    return dt;
}

std::vector<CWabProp> RecordToProps(const CommAddr& a) {
    std::vector<CWabProp> props;
    for (const CFieldTag& f : kFieldTags) {
        CWabProp prop;
        prop.ulTag = f.ulTag;
        const void* p = GetFieldMember(&a, f.nField);
        if (PROP_TYPE(f.ulTag) == PT_SYSTIME) {
            double dt = *static_cast<const double*>(p);
            if (dt == 0.0 || !DateToTicks(dt, &prop.nValue)) continue;
        } else {
            prop.sText = static_cast<const char*>(p);
            if (prop.sText.empty()) continue;
        }
        props.push_back(prop);
    }
    if (a.szDisplayName[0] == '\0') {
        // As the address book store names a contact without a display name.
        std::string sName = std::string(a.szFirstName) + " " + a.szLastName;
        size_t a0 = sName.find_first_not_of(' '), a1 = sName.find_last_not_of(' ');
        CWabProp prop;
        prop.ulTag = PR_DISPLAY_NAME;
        prop.sText = a0 == std::string::npos ? std::string() : sName.substr(a0, a1 - a0 + 1);
        if (!prop.sText.empty()) props.push_back(prop);
    }
    return props;
}

void PropsToRecord(const std::vector<CWabProp>& props, CommAddr* pAddr) {
    memset(pAddr, 0, sizeof(*pAddr));
    pAddr->nSourceType = SOURCE_TYPE_WAB;
    for (const CWabProp& prop : props)
        for (const CFieldTag& f : kFieldTags) {
            if (f.ulTag != prop.ulTag) continue;
            void* p = GetFieldMember(pAddr, f.nField);
            if (PROP_TYPE(f.ulTag) == PT_SYSTIME)
                *static_cast<double*>(p) = TicksToDate(prop.nValue);
            else
                CopyText(static_cast<char*>(p), size_t(CommAddrFieldTable[f.nField - 1].nSize), prop.sText.c_str());
        }
}

// Reads the whole vCard file and prints its problems; false when it cannot
// be read at all.
bool ReadVcf(const std::string& sVcf, std::vector<CommAddr>& addrs, CxVCardReport& report) {
    CxVCard::ReadFile(sVcf.c_str(), addrs, report);
    if (report.bFailed) {
        fprintf(stderr, "wabtool: %s: %s\n", sVcf.c_str(), report.szError.c_str());
        return false;
    }
    for (const CxVCardIssue& issue : report.issues)
        fprintf(stderr, "wabtool: %s: %s\n", sVcf.c_str(), CxVCard::FormatIssue(issue).c_str());
    if (report.nIssuesLeftOut > 0)
        fprintf(stderr, "wabtool: %s: %d more problems\n", sVcf.c_str(), report.nIssuesLeftOut);
    return true;
}

// Adds every contact read in one batch.
int Import(CWabFile& file, const std::vector<CommAddr>& addrs, const CxVCardReport& report) {
    if (!file.BeginBatch()) {
        fprintf(stderr, "wabtool: %s\n", file.Error().c_str());
        return 1;
    }
    for (const CommAddr& a : addrs) {
        int64_t nId = 0;
        if (file.Save(&nId, MAPI_MAILUSER, RecordToProps(a), {}, false) != CWabFile::SAVE_OK) {
            fprintf(stderr, "wabtool: %s\n", file.Error().c_str());
            return 1;
        }
    }
    if (!file.CommitBatch()) {
        fprintf(stderr, "wabtool: %s\n", file.Error().c_str());
        return 1;
    }
    printf("imported %zu contacts; %d cards skipped, %d values cut\n", addrs.size(), report.nSkipped, report.nCut);
    return 0;
}

int Export(CWabFile& file, const std::string& sVcf, int nVersion) {
    std::vector<CWabEntryRow> rows;
    if (!file.ListEntries(rows)) {
        fprintf(stderr, "wabtool: %s\n", file.Error().c_str());
        return 1;
    }
    std::vector<CommAddr> addrs;
    addrs.reserve(rows.size());
    for (const CWabEntryRow& row : rows) {
        if (row.ulObjType != MAPI_MAILUSER) continue;
        std::vector<CWabProp> props;
        if (!file.LoadProps(row.nId, props)) {
            fprintf(stderr, "wabtool: %s\n", file.Error().c_str());
            return 1;
        }
        addrs.emplace_back();
        PropsToRecord(props, &addrs.back());
    }
    std::vector<const CommAddr*> ptrs;
    for (const CommAddr& a : addrs) ptrs.push_back(&a);
    std::string sError;
    if (!CxVCard::WriteFile(sVcf.c_str(), ptrs, nVersion, sError)) {
        fprintf(stderr, "wabtool: %s: %s\n", sVcf.c_str(), sError.c_str());
        return 1;
    }
    printf("exported %zu contacts\n", addrs.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    std::string sFile = argv[1], sCommand = argv[2];
    std::vector<std::string> args(argv + 3, argv + argc);

    bool bCreate = sCommand == "add" || sCommand == "adddl" || sCommand == "import";
    if (!bCreate && sCommand != "list" && sCommand != "set" && sCommand != "delete" && sCommand != "export")
        return Usage();
    int nVersion = VCARD_VERSION_30;
    if (sCommand == "export" && args.size() == 2) {
        if (args[1] != "3.0" && args[1] != "4.0") return Usage();
        nVersion = args[1] == "4.0" ? VCARD_VERSION_40 : VCARD_VERSION_30;
    }
    if ((sCommand == "import" && args.size() != 1) || (sCommand == "export" && (args.empty() || args.size() > 2)))
        return Usage();
    if ((sCommand == "list" && !args.empty()) || (sCommand == "delete" && args.size() != 1) ||
        (sCommand == "set" && args.size() < 2) || (sCommand == "adddl" && args.empty()) ||
        (sCommand == "add" && args.empty()))
        return Usage();

    // Parse everything before touching the file.
    int64_t nId = 0;
    std::vector<CWabProp> props;
    std::vector<ULONG> removeIds;
    size_t nFirstProp = 0;
    if (sCommand == "set" || sCommand == "delete") {
        if (!ParseId(args[0].c_str(), &nId)) {
            fprintf(stderr, "wabtool: \"%s\" is not an entry id\n", args[0].c_str());
            return 2;
        }
        nFirstProp = 1;
    }
    if (sCommand == "adddl") {
        CWabProp name;
        name.ulTag = PR_DISPLAY_NAME;
        name.sText = Unescape(args[0]);
        props.push_back(name);
        nFirstProp = 1;
    }
    if (sCommand != "list" && sCommand != "delete" && sCommand != "import" && sCommand != "export")
        for (size_t i = nFirstProp; i < args.size(); ++i)
            if (!ParseAssignment(args[i], props, removeIds)) return 2;

    // A vCard file is read whole before the address book is opened, so that
    // one that cannot be read leaves the address book untouched.
    std::vector<CommAddr> vcfAddrs;
    CxVCardReport vcfReport;
    if (sCommand == "import" && !ReadVcf(args[0], vcfAddrs, vcfReport)) return 1;

    if (sFile.empty()) {
        sFile = CWabFile::DefaultPath();
        if (sFile.empty()) {
            fprintf(stderr, "wabtool: no data home: set XDG_DATA_HOME or HOME\n");
            return 1;
        }
        if (bCreate && !CWabFile::MakeParentFolders(sFile)) {
            fprintf(stderr, "wabtool: cannot create the folder of %s\n", sFile.c_str());
            return 1;
        }
    }
    CWabFile file;
    if (file.Open(sFile, bCreate) != CWabFile::OPEN_OK) {
        fprintf(stderr, "wabtool: %s\n", file.Error().c_str());
        return 1;
    }

    if (sCommand == "import") return Import(file, vcfAddrs, vcfReport);
    if (sCommand == "export") return Export(file, args[0], nVersion);
    if (sCommand == "list") return List(file) == 0 ? 0 : (fprintf(stderr, "wabtool: %s\n", file.Error().c_str()), 1);

    if (sCommand == "delete") {
        bool bExisted = false;
        if (!file.Delete(nId, &bExisted)) {
            fprintf(stderr, "wabtool: %s\n", file.Error().c_str());
            return 1;
        }
        if (!bExisted) {
            fprintf(stderr, "wabtool: no entry %" PRId64 "\n", nId);
            return 1;
        }
        return 0;
    }

    ULONG ulType = sCommand == "adddl" ? MAPI_DISTLIST : MAPI_MAILUSER;
    if (sCommand == "set") {
        bool bExists = false;
        if (!file.GetEntryType(nId, &ulType, &bExists) || !bExists) {
            fprintf(stderr, "wabtool: no entry %" PRId64 "\n", nId);
            return 1;
        }
    }
    CWabFile::SaveResult result = file.Save(&nId, sCommand != "set", ulType, props, removeIds, false);
    if (result != CWabFile::SAVE_OK) {
        fprintf(stderr, "wabtool: %s\n", result == CWabFile::SAVE_DELETED ? "the entry is gone" : file.Error().c_str());
        return 1;
    }
    if (bCreate) printf("%" PRId64 "\n", nId);
    return 0;
}
