// The vCard writer: one card per record, every property from the field table.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/vcard/CxVCard.h"
#include "common/vcard/VCardMap.h"
#include "common/vcard/VCardText.h"
#include "platform/win32/WinTime.h"

using namespace vcardtext;
using vcardmap::FieldMap;

namespace {

const char* Text(const CommAddr& a, int nField) { return static_cast<const char*>(GetFieldMember(&a, nField)); }

bool IsSet(const CommAddr& a, const FieldMap& row) {
    const void* p = GetFieldMember(&a, row.nField);
    if (row.nKind == vcardmap::VK_DATE) return *static_cast<const double*>(p) != 0.0;
    if (row.nKind == vcardmap::VK_INT) return *static_cast<const INT*>(p) != 0;
    return *static_cast<const char*>(p) != '\0';
}

// The property name and parameters of a row for the version.
std::string Head(const FieldMap& row, int nVersion) {
    bool b40 = nVersion == VCARD_VERSION_40;
    std::string s = b40 ? row.szProp40 : row.szProp30;
    if (row.szTypes == nullptr || (!b40 && strncmp(row.szProp30, "X-", 2) == 0)) return s;
    std::string szTypes;
    bool bPref = false;
    for (const std::string& t : SplitEscaped(row.szTypes, ',')) {
        if (b40 && t == "INTERNET") continue;
        if (b40 && t == "PREF") {
            bPref = true;
            continue;
        }
        if (!szTypes.empty()) szTypes += ',';
        std::string v = t;
        if (b40)
            for (char& c : v)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        szTypes += v;
    }
    if (!szTypes.empty()) s += ";TYPE=" + szTypes;
    if (bPref) s += ";PREF=1";
    if (b40 && !strcmp(row.szProp40, "RELATED")) s += ";VALUE=text";
    return s;
}

std::string FormatDate(double dt, int nVersion) {
    SYSTEMTIME st;
    if (!VariantTimeToSystemTime(dt, &st)) return std::string();
    char buf[40];
    bool bTime = st.wHour || st.wMinute || st.wSecond;
    if (nVersion == VCARD_VERSION_40) {
        if (bTime)
            snprintf(buf, sizeof(buf), "%04u%02u%02uT%02u%02u%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                     st.wSecond);
        else
            snprintf(buf, sizeof(buf), "%04u%02u%02u", st.wYear, st.wMonth, st.wDay);
    } else {
        if (bTime)
            snprintf(buf, sizeof(buf), "%04u-%02u-%02uT%02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour,
                     st.wMinute, st.wSecond);
        else
            snprintf(buf, sizeof(buf), "%04u-%02u-%02u", st.wYear, st.wMonth, st.wDay);
    }
    return buf;
}

// A list held as "a, b" is written as a vCard list; any other text as one
// escaped value, so that it reads back unchanged.
void AppendList(const char* sz, std::string& out) {
    std::vector<std::string> items;
    std::string cur;
    for (const char* p = sz;; ++p) {
        if (*p == ',' || *p == '\0') {
            items.push_back(cur);
            cur.clear();
            if (*p == '\0') break;
            if (p[1] == ' ') ++p;
        } else {
            cur += *p;
        }
    }
    std::string szJoined;
    bool bCanonical = true;
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string& s = items[i];
        if (s.empty() || s.front() == ' ' || s.back() == ' ') bCanonical = false;
        szJoined += (i ? ", " : "") + s;
    }
    if (!bCanonical || szJoined != sz) {
        AppendEscaped(sz, out);
        return;
    }
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ',';
        AppendEscaped(items[i].c_str(), out);
    }
}

// A name for FN when the record has no display name: the names, else the
// company, else the e-mail address.
std::string ComposedName(const CommAddr& a) {
    std::string s;
    for (int f : {4, 1, 2, 3, 5})
        if (*Text(a, f)) s += (s.empty() ? "" : " ") + std::string(Text(a, f));
    if (s.empty()) s = a.szCompany;
    if (s.empty()) s = a.szEmail;
    return s;
}

}  // namespace

std::string CxVCard::FormatIssue(const CxVCardIssue& issue) {
    std::string s;
    if (issue.nCard > 0) s = "card " + std::to_string(issue.nCard) + ", ";
    return s + "line " + std::to_string(issue.nLine) + ": " + issue.szText;
}

void CxVCard::AppendFolded(const std::string& szLine, std::string& out) {
    const size_t kMax = 75;
    size_t i = 0, n = szLine.size();
    bool bFirst = true;
    while (true) {
        size_t nRoom = bFirst ? kMax : kMax - 1;
        size_t len = n - i;
        if (len > nRoom) {
            len = nRoom;
            // Back up to the start of a UTF-8 character.
            while (len > 0 && (static_cast<unsigned char>(szLine[i + len]) & 0xC0) == 0x80) --len;
            if (len == 0) len = nRoom;
        }
        if (!bFirst) out += ' ';
        out.append(szLine, i, len);
        out += "\r\n";
        i += len;
        bFirst = false;
        if (i >= n) break;
    }
}

void CxVCard::Write(const CommAddr& a, int nVersion, std::string& out) {
    if (nVersion != VCARD_VERSION_40) nVersion = VCARD_VERSION_30;
    out += "BEGIN:VCARD\r\n";
    out += nVersion == VCARD_VERSION_40 ? "VERSION:4.0\r\n" : "VERSION:3.0\r\n";
    size_t nRows;
    const FieldMap* rows = vcardmap::Rows(&nRows);
    std::string line;
    for (size_t i = 0; i < nRows; ++i) {
        const FieldMap& row = rows[i];
        line.clear();
        if (row.nPart >= 0) {
            // A structured property: written once, at its first row, with every part.
            if (i > 0 && rows[i - 1].nPart >= 0 && !strcmp(rows[i - 1].szProp30, row.szProp30) &&
                ((rows[i - 1].szTypes == nullptr && row.szTypes == nullptr) ||
                 (rows[i - 1].szTypes && row.szTypes && !strcmp(rows[i - 1].szTypes, row.szTypes))))
                continue;
            const std::vector<const FieldMap*>& slot = vcardmap::SlotRows(row.nField);
            bool bAny = false;
            int nParts = 0;
            for (const FieldMap* r : slot) {
                bAny = bAny || IsSet(a, *r);
                nParts = std::max(nParts, r->nPart + 1);
            }
            // N is required in 3.0; the others only when there is something to say.
            if (!bAny && !(nVersion == VCARD_VERSION_30 && !strcmp(row.szProp30, "N"))) continue;
            line = Head(row, nVersion) + ":";
            for (int k = 0; k < nParts; ++k) {
                if (k) line += ';';
                for (const FieldMap* r : slot)
                    if (r->nPart == k) AppendEscaped(Text(a, r->nField), line);
            }
            AppendFolded(line, out);
            continue;
        }
        if (row.nField == 7 && !IsSet(a, row)) {
            // FN is required: make one up, marked so that it reads back as none.
            line = "FN;X-PELLMARK-COMPOSED=TRUE:";
            AppendEscaped(ComposedName(a).c_str(), line);
            AppendFolded(line, out);
            continue;
        }
        if (!IsSet(a, row)) continue;
        line = Head(row, nVersion);
        // A second or third value of a kind names its field when a field
        // before it is empty, or a reader would move it up.
        for (int nPrev = row.nPrevSlot; nPrev; nPrev = vcardmap::RowOf(nPrev)->nPrevSlot)
            if (!IsSet(a, *vcardmap::RowOf(nPrev))) {
                line += ";X-PELLMARK-FIELD=" + std::to_string(row.nField);
                break;
            }
        line += ':';
        const void* p = GetFieldMember(&a, row.nField);
        switch (row.nKind) {
            case vcardmap::VK_DATE: {
                std::string s = FormatDate(*static_cast<const double*>(p), nVersion);
                if (s.empty()) continue;  // outside the dates a card can hold
                line += s;
                break;
            }
            case vcardmap::VK_INT: line += std::to_string(*static_cast<const INT*>(p)); break;
            case vcardmap::VK_LIST: AppendList(static_cast<const char*>(p), line); break;
            default: AppendEscaped(static_cast<const char*>(p), line);
        }
        AppendFolded(line, out);
    }
    out += "END:VCARD\r\n";
}

bool CxVCard::WriteFile(const char* szPath, const std::vector<const CommAddr*>& addrs, int nVersion,
                        std::string& szError) {
    if (szPath == nullptr || *szPath == '\0') {
        szError = "no file name";
        return false;
    }
    std::string data;
    for (const CommAddr* p : addrs)
        if (p) Write(*p, nVersion, data);
    std::string szTemp = std::string(szPath) + ".tmp";
    FILE* f = fopen(szTemp.c_str(), "wb");
    if (f == nullptr) {
        szError = std::string("cannot create the file: ") + strerror(errno);
        return false;
    }
    bool bOk = fwrite(data.data(), 1, data.size(), f) == data.size();
    bOk = (fflush(f) == 0) && bOk;
    bOk = (fclose(f) == 0) && bOk;
    if (!bOk || rename(szTemp.c_str(), szPath) != 0) {
        szError = std::string("cannot write the file: ") + strerror(errno);
        remove(szTemp.c_str());
        return false;
    }
    return true;
}
