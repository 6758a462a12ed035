#include "standins/outlook/OlCommand.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/vcard/CxVCard.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinTime.h"
#include "standins/outlook/OlFailures.h"
#include "standins/outlook/OlStore.h"

namespace {

const char* const kUsage =
    "usage: OUTLOOK.EXE [--file PATH] [--folder NAME] COMMAND ...\n"
    "  list                          the folder's items in order: position, kind, EntryID, name, e-mail\n"
    "  show ITEM                     every property of an item, one Name=Value a line\n"
    "  add contact|dl [Name=Value]...  a new item; prints its position and EntryID\n"
    "  change ITEM Name=Value...     sets properties (an empty value clears one)\n"
    "  delete ITEM                   removes an item\n"
    "  folder-name [NAME]            shows or sets the Contacts folder's name\n"
    "  import VCF                    adds every contact of the vCard file VCF; prints how many,\n"
    "                                and the file's problems on the error output\n"
    "  export VCF [3.0|4.0]          writes every contact to the vCard file VCF (version 3.0\n"
    "                                unless 4.0 is given)\n"
    "  help\n"
    "ITEM is a position (from 1) or an EntryID. --file names the Contacts file (default: the one\n"
    "the automation server opens); --folder a subfolder of Contacts, which the automation\n"
    "interface does not show. Dates are YYYY-MM-DD[ HH:MM[:SS]] or an OLE date number; \\n in a\n"
    "value is a line break, \\\\ a backslash. A distribution list takes Member=TEXT, once per member.\n";

std::string Unescape(const std::string& s) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'n' || s[i + 1] == '\\')) {
            r.push_back(s[i + 1] == 'n' ? '\n' : '\\');
            ++i;
        } else {
            r.push_back(s[i]);
        }
    }
    return r;
}

std::string Escape(const std::string& s) {
    std::string r;
    for (char c : s) {
        if (c == '\n')
            r += "\\n";
        else if (c == '\\')
            r += "\\\\";
        else if (c != '\r')
            r.push_back(c);
    }
    return r;
}

std::string FormatDate(double dt) {
    SYSTEMTIME st;
    char sz[40];
    if (!VariantTimeToSystemTime(dt, &st)) {
        snprintf(sz, sizeof(sz), "%.6f", dt);
        return sz;
    }
    snprintf(sz, sizeof(sz), "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
             st.wSecond);
    return sz;
}

bool ParseDate(const std::string& s, double* pdt) {
    char* pEnd = nullptr;
    double d = strtod(s.c_str(), &pEnd);
    if (!s.empty() && pEnd != nullptr && *pEnd == '\0' && s.find('-', 1) == std::string::npos) {
        *pdt = d;
        return true;
    }
    unsigned y = 0, mo = 0, da = 0, h = 0, mi = 0, se = 0;
    int n = sscanf(s.c_str(), "%u-%u-%u %u:%u:%u", &y, &mo, &da, &h, &mi, &se);
    if (n != 3 && n != 5 && n != 6) return false;
    if (mo < 1 || da < 1 || h > 23 || mi > 59 || se > 59) return false;
    SYSTEMTIME st = {(WORD)y, (WORD)mo, 0, (WORD)da, (WORD)h, (WORD)mi, (WORD)se, 0};
    return SystemTimeToVariantTime(&st, pdt) != 0;
}

std::string Text(const OlItemRecord& r, const char* szName) {
    auto it = r.props.find(szName);
    return it == r.props.end() ? std::string() : OlToUtf8(it->second.sText);
}

std::string DisplayName(const OlItemRecord& r) {
    if (r.nKind == OL_DISTLIST_ITEM) return Text(r, "DLName");
    std::string s = Text(r, "FullName");
    if (!s.empty()) return s;
    s = Text(r, "FirstName");
    std::string sLast = Text(r, "LastName");
    if (!s.empty() && !sLast.empty()) s += " ";
    return s + sLast;
}

// Applies Name=Value arguments to a record; false (reason on err) for an
// unknown name or a bad value.
bool ApplyValues(OlItemRecord* pRecord, const std::vector<std::string>& args, size_t nFirst, FILE* err) {
    for (size_t i = nFirst; i < args.size(); ++i) {
        size_t nEq = args[i].find('=');
        if (nEq == std::string::npos || nEq == 0) {
            fprintf(err, "OUTLOOK.EXE: expected Name=Value, got \"%s\"\n", args[i].c_str());
            return false;
        }
        std::string sName = args[i].substr(0, nEq);
        std::string sValue = Unescape(args[i].substr(nEq + 1));
        if (pRecord->nKind == OL_DISTLIST_ITEM && strcasecmp(sName.c_str(), "Member") == 0) {
            OlPropValue& v = pRecord->props[OL_DL_MEMBERS];
            v.nKind = OL_PROP_TEXT;
            if (!v.sText.empty()) v.sText += u"\n";
            v.sText += OlToUtf16(sValue);
            continue;
        }
        const OlPropDef* pDef = FindOlItemProp(pRecord->nKind, sName.c_str());
        if (pDef == nullptr) {
            fprintf(err, "OUTLOOK.EXE: a %s has no property \"%s\"\n",
                    pRecord->nKind == OL_DISTLIST_ITEM ? "distribution list" : "contact", sName.c_str());
            return false;
        }
        if (sValue.empty()) {
            pRecord->props.erase(pDef->szName);
            continue;
        }
        OlPropValue v;
        v.nKind = pDef->nKind;
        if (pDef->nKind == OL_PROP_TEXT) {
            v.sText = OlToUtf16(sValue);
        } else if (pDef->nKind == OL_PROP_DATE) {
            if (!ParseDate(sValue, &v.dValue)) {
                fprintf(err, "OUTLOOK.EXE: \"%s\" is not a date\n", sValue.c_str());
                return false;
            }
        } else {
            char* pEnd = nullptr;
            v.nValue = strtol(sValue.c_str(), &pEnd, 10);
            if (pEnd == nullptr || *pEnd != '\0') {
                fprintf(err, "OUTLOOK.EXE: \"%s\" is not a number\n", sValue.c_str());
                return false;
            }
        }
        pRecord->props[pDef->szName] = v;
    }
    return true;
}

// The id of ITEM (a position from 1 or an EntryID) in the folder, or 0.
long long FindItem(OlStore& store, const std::string& sFolder, const std::string& sItem) {
    char* pEnd = nullptr;
    long n = strtol(sItem.c_str(), &pEnd, 10);
    if (!sItem.empty() && pEnd != nullptr && *pEnd == '\0') return store.ItemIdAt(sFolder, n);
    long long nId = store.ItemIdByEntryID(sItem);
    OlItemRecord r;
    return nId != 0 && store.LoadItem(nId, &r) && r.sFolder == sFolder ? nId : 0;
}

long PositionOf(OlStore& store, const std::string& sFolder, long long nId) {
    std::vector<long long> ids = store.ItemIds(sFolder);
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == nId) return (long)i + 1;
    return 0;
}

// The contact record's fields and the contact properties that hold them, as
// the Outlook store maps them (and the suffix, which the stand-in keeps).
struct FieldProp {
    int nField;
    const char* szProp;
};
const FieldProp kFieldProps[] = {
    {65, "Account"}, {66, "Anniversary"}, {59, "AssistantName"}, {60, "AssistantTelephoneNumber"},
    {67, "Birthday"}, {10, "BusinessAddressCity"}, {13, "BusinessAddressCountry"},
    {12, "BusinessAddressPostalCode"}, {11, "BusinessAddressState"}, {9, "BusinessAddressStreet"},
    {34, "BusinessFaxNumber"}, {41, "BusinessHomePage"}, {25, "BusinessTelephoneNumber"},
    {29, "CallbackTelephoneNumber"}, {30, "CarTelephoneNumber"}, {53, "CompanyName"}, {72, "CustomerID"},
    {54, "Department"}, {37, "Email1Address"}, {38, "Email2Address"}, {39, "Email3Address"}, {1, "FirstName"},
    {42, "FTPSite"}, {7, "FullName"}, {64, "Hobby"}, {15, "HomeAddressCity"}, {18, "HomeAddressCountry"},
    {17, "HomeAddressPostalCode"}, {16, "HomeAddressState"}, {14, "HomeAddressStreet"}, {35, "HomeFaxNumber"},
    {24, "HomeTelephoneNumber"}, {56, "IMAddress"}, {4, "Initials"}, {55, "JobTitle"}, {69, "Language"},
    {3, "LastName"}, {58, "ManagerName"}, {2, "MiddleName"}, {26, "MobileTelephoneNumber"}, {6, "NickName"},
    {20, "OtherAddressCity"}, {23, "OtherAddressCountry"}, {22, "OtherAddressPostalCode"},
    {21, "OtherAddressState"}, {19, "OtherAddressStreet"}, {27, "OtherTelephoneNumber"}, {36, "PagerNumber"},
    {40, "PersonalHomePage"}, {28, "PrimaryTelephoneNumber"}, {63, "Profession"}, {31, "RadioTelephoneNumber"},
    {61, "Spouse"}, {43, "Body"}, {75, "Categories"}, {5, "Suffix"},
};

// Outlook's "no date" (1 January 4501) and later.
bool IsDate(double dt) { return dt != 0.0 && dt < OL_NO_DATE; }

void RecordToItem(const CommAddr& a, OlItemRecord* pItem) {
    for (const FieldProp& f : kFieldProps) {
        const OlPropDef* pDef = FindOlItemProp(OL_CONTACT_ITEM, f.szProp);
        if (pDef == nullptr) continue;
        const void* p = GetFieldMember(&a, f.nField);
        OlPropValue v;
        v.nKind = pDef->nKind;
        if (pDef->nKind == OL_PROP_DATE) {
            v.dValue = *static_cast<const double*>(p);
            if (!IsDate(v.dValue)) continue;
        } else {
            const char* sz = static_cast<const char*>(p);
            if (*sz == '\0') continue;
            v.sText = OlToUtf16(sz);
        }
        pItem->props[pDef->szName] = v;
    }
}

void ItemToRecord(const OlItemRecord& r, CommAddr* pAddr) {
    memset(pAddr, 0, sizeof(*pAddr));
    for (const FieldProp& f : kFieldProps) {
        auto it = r.props.find(f.szProp);
        if (it == r.props.end()) continue;
        void* p = GetFieldMember(pAddr, f.nField);
        if (it->second.nKind == OL_PROP_DATE) {
            if (IsDate(it->second.dValue)) *static_cast<double*>(p) = it->second.dValue;
        } else if (it->second.nKind == OL_PROP_TEXT) {
            CopyText(static_cast<char*>(p), size_t(CommAddrFieldTable[f.nField - 1].nSize),
                     OlToUtf8(it->second.sText).c_str());
        }
    }
    if (IsDate(r.dtCreated)) pAddr->dtCreationTime = r.dtCreated;
    if (IsDate(r.dtModified)) pAddr->dtLastModificationTime = r.dtModified;
    pAddr->nSourceType = SOURCE_TYPE_OUTLOOK;
}

// Reads the whole vCard file and prints its problems; false when it cannot
// be read at all.
bool ReadVcf(const std::string& sVcf, std::vector<CommAddr>& addrs, CxVCardReport& report, FILE* err) {
    CxVCard::ReadFile(sVcf.c_str(), addrs, report);
    if (report.bFailed) {
        fprintf(err, "OUTLOOK.EXE: %s: %s\n", sVcf.c_str(), report.szError.c_str());
        return false;
    }
    for (const CxVCardIssue& issue : report.issues)
        fprintf(err, "OUTLOOK.EXE: %s: %s\n", sVcf.c_str(), CxVCard::FormatIssue(issue).c_str());
    if (report.nIssuesLeftOut > 0) fprintf(err, "OUTLOOK.EXE: %s: %d more problems\n", sVcf.c_str(), report.nIssuesLeftOut);
    return true;
}

int Export(OlStore& store, const std::string& sFolder, const std::string& sVcf, int nVersion, FILE* out, FILE* err) {
    std::vector<CommAddr> addrs;
    for (long long nId : store.ItemIds(sFolder)) {
        OlItemRecord r;
        if (!store.LoadItem(nId, &r) || r.nKind != OL_CONTACT_ITEM) continue;
        addrs.emplace_back();
        ItemToRecord(r, &addrs.back());
    }
    std::vector<const CommAddr*> ptrs;
    for (const CommAddr& a : addrs) ptrs.push_back(&a);
    std::string sError;
    if (!CxVCard::WriteFile(sVcf.c_str(), ptrs, nVersion, sError)) {
        fprintf(err, "OUTLOOK.EXE: %s: %s\n", sVcf.c_str(), sError.c_str());
        return 1;
    }
    fprintf(out, "exported %zu contacts\n", addrs.size());
    return 0;
}

}  // namespace

int RunOlCommand(int argc, const char* const* argv, FILE* out, FILE* err) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(argv[i] != nullptr ? argv[i] : "");
    std::string sFile, sFolder;
    size_t nArg = 0;
    while (nArg < args.size() && args[nArg].compare(0, 2, "--") == 0) {
        if ((args[nArg] == "--file" || args[nArg] == "--folder") && nArg + 1 < args.size()) {
            (args[nArg] == "--file" ? sFile : sFolder) = args[nArg + 1];
            nArg += 2;
        } else if (args[nArg] == "--help") {
            fputs(kUsage, out);
            return 0;
        } else {
            fprintf(err, "OUTLOOK.EXE: unknown option \"%s\"\n%s", args[nArg].c_str(), kUsage);
            return 2;
        }
    }
    if (nArg >= args.size()) {
        fputs(kUsage, err);
        return 2;
    }
    std::string sCommand = args[nArg++];
    if (sCommand == "help") {
        fputs(kUsage, out);
        return 0;
    }
    bool bImport = sCommand == "import" && nArg + 1 == args.size();
    bool bExport = sCommand == "export" && (nArg + 1 == args.size() || nArg + 2 == args.size());
    int nVersion = VCARD_VERSION_30;
    if (bExport && nArg + 2 == args.size()) {
        if (args[nArg + 1] != "3.0" && args[nArg + 1] != "4.0") {
            fprintf(err, "OUTLOOK.EXE: bad command line\n%s", kUsage);
            return 2;
        }
        if (args[nArg + 1] == "4.0") nVersion = VCARD_VERSION_40;
    }
    // A vCard file is read whole before the Contacts file is opened, so that
    // one that cannot be read leaves the contacts untouched.
    std::vector<CommAddr> vcfAddrs;
    CxVCardReport vcfReport;
    if (bImport && !ReadVcf(args[nArg], vcfAddrs, vcfReport, err)) return 1;

    if (sFile.empty()) sFile = OlDefaultStorePath();
    std::string sError;
    std::shared_ptr<OlStore> pStore = OlStore::Open(sFile, &sError);
    if (!pStore) {
        fprintf(err, "OUTLOOK.EXE: cannot open \"%s\": %s\n", sFile.c_str(), sError.c_str());
        return 1;
    }
    OlStore& store = *pStore;

    if (bImport) {
        for (const CommAddr& a : vcfAddrs) {
            OlItemRecord r;
            r.sFolder = sFolder;
            r.nKind = OL_CONTACT_ITEM;
            r.dtCreated = OlNow();
            RecordToItem(a, &r);
            if (!store.SaveItem(&r, r.dtCreated)) {
                fprintf(err, "OUTLOOK.EXE: cannot write \"%s\"\n", sFile.c_str());
                return 1;
            }
        }
        fprintf(out, "imported %zu contacts; %d cards skipped, %d values cut\n", vcfAddrs.size(), vcfReport.nSkipped,
                vcfReport.nCut);
        return 0;
    }
    if (bExport) return Export(store, sFolder, args[nArg], nVersion, out, err);
    if (sCommand == "list" && nArg == args.size()) {
        bool bFailed = false;
        std::vector<long long> ids = store.ItemIds(sFolder, &bFailed);
        for (size_t i = 0; !bFailed && i < ids.size(); ++i) {
            OlItemRecord r;
            if (!store.LoadItem(ids[i], &r, &bFailed)) continue;
            fprintf(out, "%zu\t%s\t%s\t%s\t%s\n", i + 1, r.nKind == OL_DISTLIST_ITEM ? "dl" : "contact",
                    r.sEntryID.c_str(), Escape(DisplayName(r)).c_str(), Escape(Text(r, "Email1Address")).c_str());
        }
        if (bFailed) {
            fprintf(err, "OUTLOOK.EXE: cannot read \"%s\"\n", sFile.c_str());
            return 1;
        }
        return 0;
    }
    if (sCommand == "show" && nArg + 1 == args.size()) {
        OlItemRecord r;
        long long nId = FindItem(store, sFolder, args[nArg]);
        if (nId == 0 || !store.LoadItem(nId, &r)) {
            fprintf(err, "OUTLOOK.EXE: no item \"%s\"\n", args[nArg].c_str());
            return 1;
        }
        fprintf(out, "Kind=%s\nEntryID=%s\nCreationTime=%s\nLastModificationTime=%s\n",
                r.nKind == OL_DISTLIST_ITEM ? "dl" : "contact", r.sEntryID.c_str(), FormatDate(r.dtCreated).c_str(),
                FormatDate(r.dtModified).c_str());
        size_t n = 0;
        const OlPropDef* pDefs = OlItemProps(r.nKind, &n);
        for (size_t i = 0; i < n; ++i) {
            auto it = r.props.find(pDefs[i].szName);
            if (it == r.props.end()) continue;
            const OlPropValue& v = it->second;
            std::string sValue = v.nKind == OL_PROP_TEXT   ? Escape(OlToUtf8(v.sText))
                                 : v.nKind == OL_PROP_DATE ? FormatDate(v.dValue)
                                                           : std::to_string(v.nValue);
            fprintf(out, "%s=%s\n", pDefs[i].szName, sValue.c_str());
        }
        return 0;
    }
    if (sCommand == "add" && nArg < args.size() && (args[nArg] == "contact" || args[nArg] == "dl")) {
        OlItemRecord r;
        r.sFolder = sFolder;
        r.nKind = args[nArg] == "dl" ? OL_DISTLIST_ITEM : OL_CONTACT_ITEM;
        r.dtCreated = OlNow();
        if (!ApplyValues(&r, args, nArg + 1, err)) return 2;
        if (!store.SaveItem(&r, r.dtCreated)) {
            fprintf(err, "OUTLOOK.EXE: cannot write \"%s\"\n", sFile.c_str());
            return 1;
        }
        fprintf(out, "%ld\t%s\n", PositionOf(store, sFolder, r.nId), r.sEntryID.c_str());
        return 0;
    }
    if (sCommand == "change" && nArg + 1 < args.size()) {
        OlItemRecord r;
        long long nId = FindItem(store, sFolder, args[nArg]);
        if (nId == 0 || !store.LoadItem(nId, &r)) {
            fprintf(err, "OUTLOOK.EXE: no item \"%s\"\n", args[nArg].c_str());
            return 1;
        }
        if (!ApplyValues(&r, args, nArg + 1, err)) return 2;
        if (!store.SaveItem(&r, OlNow())) {
            fprintf(err, "OUTLOOK.EXE: cannot write \"%s\"\n", sFile.c_str());
            return 1;
        }
        return 0;
    }
    if (sCommand == "delete" && nArg + 1 == args.size()) {
        long long nId = FindItem(store, sFolder, args[nArg]);
        if (nId == 0 || !store.DeleteItem(nId)) {
            fprintf(err, "OUTLOOK.EXE: no item \"%s\"\n", args[nArg].c_str());
            return 1;
        }
        return 0;
    }
    if (sCommand == "folder-name" && nArg + 1 >= args.size()) {
        if (nArg == args.size()) {
            fprintf(out, "%s\n", store.FolderName().c_str());
            return 0;
        }
        if (args[nArg].empty() || !store.SetFolderName(args[nArg])) {
            fprintf(err, "OUTLOOK.EXE: cannot set the folder name\n");
            return 1;
        }
        return 0;
    }
    fprintf(err, "OUTLOOK.EXE: bad command line\n%s", kUsage);
    return 2;
}
