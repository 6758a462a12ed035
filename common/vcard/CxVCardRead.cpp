// The vCard reader: lines to properties, properties to cards, cards to records.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <unordered_map>
#include <string>
#include <vector>

#include "common/vcard/CxVCard.h"
#include "common/vcard/VCardMap.h"
#include "common/vcard/VCardText.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinTime.h"

using namespace vcardtext;
using vcardmap::FieldMap;

constexpr size_t CxVCardReport::kMaxIssues;

namespace {

struct Param {
    std::string szName;  // upper case; "TYPE" for a 2.1 value without a name
    std::vector<std::string> values;
};

struct Prop {
    std::string szGroup;  // upper case, or empty
    std::string szName;   // upper case
    std::vector<Param> params;
    std::string szValue;  // raw, still encoded and escaped
    int nLine = 0;

    const Param* Find(const char* szParam) const {
        for (const Param& p : params)
            if (p.szName == szParam) return &p;
        return nullptr;
    }
    std::string First(const char* szParam) const {
        const Param* p = Find(szParam);
        return p && !p->values.empty() ? p->values[0] : std::string();
    }
};

// A value waiting for a field: the fields it may go to, in order of choice.
struct Candidate {
    std::vector<int> chain;          // key fields of the slots it may fill
    std::vector<std::string> parts;  // the value, or the components of a structured one
    int nExplicit = 0;               // the field named by X-PELLMARK-FIELD, if any
    bool bPref = false;
    int nLine = 0;
    std::string szName;
};

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

class Reader {
public:
    Reader(std::vector<CommAddr>& addrs, CxVCardReport& report, const CxVCardLimits& limits)
        : m_addrs(addrs), m_report(report), m_limits(limits) {}

    void Run(const char* p, size_t n);

private:
    std::vector<CommAddr>& m_addrs;
    CxVCardReport& m_report;
    const CxVCardLimits& m_limits;

    const char* m_p = nullptr;
    size_t m_n = 0;
    size_t m_pos = 0;
    int m_nLine = 0;  // number of the last physical line taken

    bool m_bInCard = false;
    int m_nCard = 0;
    int m_nCardLine = 0;
    int m_nVersion = 30;
    std::vector<Prop> m_props;
    bool m_bLimitNoted = false;
    CommAddr* m_pRec = nullptr;  // the record being filled, the last of m_addrs

    void Issue(int nCard, int nLine, const std::string& szText);
    bool NextPhysical(std::string& line);
    bool PeekContinuation() const;
    bool PeekIsCardLine() const;
    bool ParseLine(const std::string& line, Prop& prop);
    void BeginCard(int nLine);
    void EndCard();

    bool DecodeValue(const Prop& prop, std::string& out);
    void AddCandidates(const Prop& prop, const std::map<std::string, std::string>& labels,
                       std::vector<Candidate>& cands);
    bool Place(const Candidate& c, int nKeyField);
    bool IsFree(int nField) const;
    bool SetField(const FieldMap& row, const std::string& szValue, const Candidate& c);
};

void Reader::Issue(int nCard, int nLine, const std::string& szText) {
    if (m_report.issues.size() < CxVCardReport::kMaxIssues)
        m_report.issues.push_back({nCard, nLine, szText});
    else
        ++m_report.nIssuesLeftOut;
}

// Takes the next physical line without its line end (CR LF, LF or a lone CR).
bool Reader::NextPhysical(std::string& line) {
    if (m_pos >= m_n) return false;
    const char* start = m_p + m_pos;
    size_t nLeft = m_n - m_pos;
    size_t len = 0;
    while (len < nLeft && start[len] != '\n' && start[len] != '\r') ++len;
    line.assign(start, len);
    m_pos += len;
    if (m_pos < m_n && m_p[m_pos] == '\r') ++m_pos;
    if (m_pos < m_n && m_p[m_pos] == '\n') ++m_pos;
    ++m_nLine;
    return true;
}

bool Reader::PeekContinuation() const { return m_pos < m_n && (m_p[m_pos] == ' ' || m_p[m_pos] == '\t'); }

// Whether the next physical line opens or closes a card (a quoted-printable
// value that wrongly ends in "=" must not swallow it).
bool Reader::PeekIsCardLine() const {
    size_t nLeft = m_n - m_pos;
    auto starts = [&](const char* sz) {
        size_t k = strlen(sz);
        if (nLeft < k) return false;
        for (size_t i = 0; i < k; ++i)
            if ((m_p[m_pos + i] & ~0x20) != (sz[i] & ~0x20)) return false;
        return true;
    };
    return starts("END:VCARD") || starts("BEGIN:VCARD");
}

bool Reader::ParseLine(const std::string& line, Prop& prop) {
    size_t i = 0, n = line.size();
    size_t nNameStart = 0;
    while (i < n && (IsNameChar(line[i]) || line[i] == '.')) ++i;
    if (i == nNameStart || i == n || (line[i] != ':' && line[i] != ';')) return false;
    std::string szFull = Upper(line.substr(0, i));
    size_t nDot = szFull.rfind('.');
    if (nDot != std::string::npos) {
        prop.szGroup = szFull.substr(0, nDot);
        prop.szName = szFull.substr(nDot + 1);
    } else {
        prop.szName = szFull;
    }
    if (prop.szName.empty()) return false;
    while (i < n && line[i] == ';') {
        ++i;
        size_t nStart = i;
        while (i < n && line[i] != '=' && line[i] != ';' && line[i] != ':') ++i;
        std::string szParam = Upper(line.substr(nStart, i - nStart));
        Param param;
        if (i < n && line[i] == '=') {
            param.szName = szParam;
            ++i;
            std::string szValue;
            bool bDone = false;
            while (!bDone) {
                szValue.clear();
                if (i < n && line[i] == '"') {
                    ++i;
                    while (i < n && line[i] != '"') {
                        // ^n, ^' and ^^ stand for a line break, a quote and a caret.
                        if (line[i] == '^' && i + 1 < n && (line[i + 1] == 'n' || line[i + 1] == '\'' || line[i + 1] == '^')) {
                            char d = line[i + 1];
                            szValue += d == 'n' ? '\n' : d == '\'' ? '"' : '^';
                            i += 2;
                        } else {
                            szValue += line[i++];
                        }
                    }
                    if (i < n) ++i;
                }
                while (i < n && line[i] != ',' && line[i] != ';' && line[i] != ':') szValue += line[i++];
                param.values.push_back(szValue);
                if (i < n && line[i] == ',')
                    ++i;
                else
                    bDone = true;
            }
        } else {
            if (szParam.empty()) continue;
            // vCard 2.1 writes types and the encoding without a name.
            if (szParam == "QUOTED-PRINTABLE" || szParam == "BASE64" || szParam == "8BIT" || szParam == "7BIT")
                param.szName = "ENCODING";
            else
                param.szName = "TYPE";
            param.values.push_back(szParam);
        }
        if (param.szName == "TYPE" || param.szName == "ENCODING")
            for (std::string& v : param.values) v = Upper(v);
        prop.params.push_back(std::move(param));
    }
    if (i >= n || line[i] != ':') return false;
    prop.szValue = line.substr(i + 1);
    return true;
}

void Reader::BeginCard(int nLine) {
    ++m_report.nCards;
    m_nCard = m_report.nCards;
    m_nCardLine = nLine;
    m_bInCard = true;
    m_nVersion = 30;
    m_props.clear();
}

void Reader::Run(const char* p, size_t n) {
    m_p = p;
    m_n = n;
    std::string line, next;
    while (NextPhysical(line)) {
        int nLine = m_nLine;
        while (PeekContinuation()) {
            NextPhysical(next);
            line.append(next, 1, std::string::npos);
        }
        size_t nFirst = line.find_first_not_of(" \t");
        if (nFirst == std::string::npos) continue;
        Prop prop;
        prop.nLine = nLine;
        bool bParsed = ParseLine(line, prop);
        if (bParsed) {
            // A quoted-printable value ending in "=" goes on in the next line.
            std::string szEnc = prop.First("ENCODING");
            if (szEnc == "QUOTED-PRINTABLE") {
                while (!prop.szValue.empty() && prop.szValue.back() == '=' && m_pos < m_n && !PeekIsCardLine()) {
                    prop.szValue.pop_back();
                    NextPhysical(next);
                    prop.szValue += next;
                }
            }
        }
        std::string szValueUpper = bParsed ? Upper(prop.szValue) : std::string();
        size_t nEnd = szValueUpper.find_last_not_of(" \t");
        szValueUpper.erase(nEnd == std::string::npos ? 0 : nEnd + 1);
        bool bBegin = bParsed && prop.szName == "BEGIN" && szValueUpper == "VCARD";
        bool bEnd = bParsed && prop.szName == "END" && szValueUpper == "VCARD";
        if (!m_bInCard) {
            if (bBegin)
                BeginCard(nLine);
            else
                Issue(0, nLine, "text outside a card; skipped");
            continue;
        }
        if (bBegin) {
            Issue(m_nCard, m_nCardLine, "END:VCARD is missing; the card ends where the next one begins");
            EndCard();
            BeginCard(nLine);
            continue;
        }
        if (bEnd) {
            EndCard();
            continue;
        }
        if (!bParsed) {
            Issue(m_nCard, nLine, "line is not a property; skipped");
            continue;
        }
        if (prop.szName == "VERSION") {
            std::string v = prop.szValue;
            if (v == "2.1")
                m_nVersion = 21;
            else if (v == "3.0")
                m_nVersion = 30;
            else if (v == "4.0")
                m_nVersion = 40;
            else
                Issue(m_nCard, nLine, "unknown vCard version \"" + v.substr(0, 20) + "\"; read as 3.0");
            continue;
        }
        m_props.push_back(std::move(prop));
    }
    if (m_bInCard) {
        Issue(m_nCard, m_nCardLine, "END:VCARD is missing at the end of the file");
        EndCard();
    }
}

// Transfer encoding, character set and line ends; false when the value
// cannot be read.
bool Reader::DecodeValue(const Prop& prop, std::string& out) {
    std::string szEnc = prop.First("ENCODING");
    std::string raw;
    if (szEnc == "QUOTED-PRINTABLE") {
        raw = DecodeQuotedPrintable(prop.szValue);
    } else if (szEnc == "B" || szEnc == "BASE64") {
        if (!DecodeBase64(prop.szValue, raw)) {
            Issue(m_nCard, prop.nLine, prop.szName + ": bad base64 value; skipped");
            return false;
        }
    } else {
        raw = prop.szValue;
    }
    std::string szCharset = prop.First("CHARSET");
    if (!szCharset.empty() && !IsUtf8Charset(szCharset)) {
        if (ConvertToUtf8(szCharset, raw, out)) {
            out = NormalizeLineEnds(out);
            return true;
        }
        if (IsUtf8(raw)) {
            Issue(m_nCard, prop.nLine,
                  prop.szName + ": unknown character set \"" + szCharset.substr(0, 40) + "\"; value kept as written");
            out = NormalizeLineEnds(raw);
            return true;
        }
        Issue(m_nCard, prop.nLine,
              prop.szName + ": unknown character set \"" + szCharset.substr(0, 40) + "\"; skipped");
        return false;
    }
    if (IsUtf8(raw)) {
        out = NormalizeLineEnds(raw);
        return true;
    }
    // Not UTF-8: most likely an old Windows program's text.
    Issue(m_nCard, prop.nLine, prop.szName + ": value is not valid UTF-8; read as Windows-1252");
    ConvertToUtf8("WINDOWS-1252", raw, out);
    out = NormalizeLineEnds(out);
    return true;
}

struct TypeSet {
    std::vector<std::string> v;
    bool Has(const char* sz) const {
        for (const std::string& s : v)
            if (s == sz) return true;
        return false;
    }
};

// A group label as Apple's exporters write it ("_$!<Mobile>!$_") or as a
// user typed it, to the types it stands for.
void AddLabelTypes(const std::string& szLabel, TypeSet& types) {
    std::string s = Upper(szLabel);
    if (s.size() > 8 && s.compare(0, 4, "_$!<") == 0 && s.compare(s.size() - 4, 4, ">!$_") == 0)
        s = s.substr(4, s.size() - 8);
    struct LabelTypes {
        const char* szLabel;
        const char* szTypes[2];
    };
    static const LabelTypes kLabels[] = {
        {"MOBILE", {"CELL", nullptr}},      {"CELL", {"CELL", nullptr}},       {"IPHONE", {"CELL", nullptr}},
        {"HOME", {"HOME", nullptr}},        {"WORK", {"WORK", nullptr}},       {"HOMEPAGE", {"HOME", nullptr}},
        {"MAIN", {"PREF", nullptr}},        {"PAGER", {"PAGER", nullptr}},     {"HOMEFAX", {"HOME", "FAX"}},
        {"WORKFAX", {"WORK", "FAX"}},       {"OTHERFAX", {"FAX", nullptr}},    {"FAX", {"FAX", nullptr}},
        {"OTHER", {"OTHER", nullptr}},      {"ASSISTANT", {"X-ASSISTANT", nullptr}},
        {"CAR", {"CAR", nullptr}},          {"CALLBACK", {"X-CALLBACK", nullptr}}, {"RADIO", {"X-RADIO", nullptr}},
        {"ANNIVERSARY", {"ANNIVERSARY", nullptr}}, {"SPOUSE", {"SPOUSE", nullptr}}, {"PARTNER", {"SPOUSE", nullptr}},
        {"MANAGER", {"MANAGER", nullptr}},  {"CHILD", {"CHILD", nullptr}},
    };
    for (const LabelTypes& l : kLabels)
        if (s == l.szLabel)
            for (const char* t : l.szTypes)
                if (t) types.v.push_back(t);
}

// Single-field properties other programs write, beside the table's own.
struct Alias {
    const char* szName;
    int nField;
};
const Alias kAliases[] = {
    {"X-MS-MANAGER", 58},       {"X-EVOLUTION-MANAGER", 58},   {"X-KADDRESSBOOK-X-MANAGERSNAME", 58},
    {"X-MS-ASSISTANT", 59},     {"X-EVOLUTION-ASSISTANT", 59}, {"X-KADDRESSBOOK-X-ASSISTANTSNAME", 59},
    {"X-MS-SPOUSE", 61},        {"X-EVOLUTION-SPOUSE", 61},    {"X-KADDRESSBOOK-X-SPOUSESNAME", 61},
    {"X-ANNIVERSARY", 66},      {"ANNIVERSARY", 66},           {"X-MS-ANNIVERSARY", 66},
    {"X-EVOLUTION-ANNIVERSARY", 66}, {"X-KADDRESSBOOK-X-ANNIVERSARY", 66},
    {"HOBBY", 64},              {"LANG", 69},                  {"X-SPOUSE", 61},
    {"X-KADDRESSBOOK-X-PROFESSION", 63}, {"X-KADDRESSBOOK-X-OFFICE", 70},
};

// The row of a property that fills one field, by its name: the table's own
// names and the aliases.
const FieldMap* SingleFieldProperty(const std::string& name) {
    static const std::unordered_map<std::string, const FieldMap*> s_Map = [] {
        std::unordered_map<std::string, const FieldMap*> map;
        size_t nRows;
        const FieldMap* rows = vcardmap::Rows(&nRows);
        for (size_t i = 0; i < nRows; ++i)
            if (rows[i].nPart < 0 && strcmp(rows[i].szProp30, "TEL") && strcmp(rows[i].szProp30, "EMAIL") &&
                strcmp(rows[i].szProp30, "URL") && strcmp(rows[i].szProp30, "IMPP")) {
                map.emplace(rows[i].szProp30, &rows[i]);
                if (strcmp(rows[i].szProp40, "RELATED")) map.emplace(rows[i].szProp40, &rows[i]);
            }
        for (const Alias& a : kAliases) map.emplace(a.szName, vcardmap::RowOf(a.nField));
        return map;
    }();
    auto it = s_Map.find(name);
    return it == s_Map.end() ? nullptr : it->second;
}

bool IsImProperty(const std::string& s) {
    static const char* const kIm[] = {"IMPP", "X-AIM", "X-JABBER", "X-ICQ", "X-MSN", "X-YAHOO", "X-SKYPE",
                                      "X-SKYPE-USERNAME", "X-GOOGLE-TALK", "X-GADUGADU", "X-QQ", "X-GROUPWISE"};
    for (const char* sz : kIm)
        if (s == sz) return true;
    return false;
}

// The fields a telephone number may go to, by its types.
std::vector<int> TelChain(const TypeSet& t, bool bPref) {
    if (t.Has("FAX")) return t.Has("HOME") ? std::vector<int>{35, 34} : std::vector<int>{34, 35};
    if (t.Has("PAGER")) return {36, 27};
    if (t.Has("CELL")) return {26, 27};
    if (t.Has("CAR")) return {30, 27};
    if (t.Has("X-RADIO")) return {31, 27};
    if (t.Has("X-CALLBACK")) return {29, 27};
    if (t.Has("X-ASSISTANT")) return {60, 27};
    if (t.Has("HOME")) return {24, 33, 27};
    if (t.Has("WORK")) return {25, 32, 27};
    if (bPref || t.Has("MAIN")) return {28, 27};
    return {27, 28};
}

void Reader::AddCandidates(const Prop& prop, const std::map<std::string, std::string>& labels,
                           std::vector<Candidate>& cands) {
    const std::string& name = prop.szName;
    TypeSet types;
    for (const Param& p : prop.params)
        if (p.szName == "TYPE")
            for (const std::string& v : p.values)
                for (const std::string& part : SplitEscaped(v, ',')) types.v.push_back(Upper(part));
    if (!prop.szGroup.empty()) {
        auto it = labels.find(prop.szGroup);
        if (it != labels.end()) AddLabelTypes(it->second, types);
    }

    Candidate c;
    c.nLine = prop.nLine;
    c.szName = name;
    c.bPref = types.Has("PREF") || prop.Find("PREF") != nullptr;
    std::string szExplicit = prop.First("X-PELLMARK-FIELD");
    if (!szExplicit.empty()) c.nExplicit = atoi(szExplicit.c_str());

    bool bStructured = false;
    bool bList = false;
    if (name == "N") {
        c.chain = {3};
        bStructured = true;
    } else if (name == "ORG") {
        c.chain = {53};
        bStructured = true;
    } else if (name == "ADR") {
        if (types.Has("HOME"))
            c.chain = {14, 19};
        else if (types.Has("WORK"))
            c.chain = {9, 19};
        else
            c.chain = {19, 14, 9};
        bStructured = true;
    } else if (name == "TEL") {
        c.chain = TelChain(types, c.bPref);
    } else if (name == "EMAIL") {
        c.chain = {37, 38, 39};
    } else if (name == "URL") {
        c.chain = types.Has("WORK") ? std::vector<int>{41, 40} : std::vector<int>{40, 41};
    } else if (IsImProperty(name)) {
        c.chain = {56, 57};
    } else if (name == "RELATED") {
        if (types.Has("SPOUSE"))
            c.chain = {61};
        else if (types.Has("CHILD"))
            c.chain = {62};
        else
            return;
    } else if (name == "X-ABRELATEDNAMES") {
        if (types.Has("SPOUSE"))
            c.chain = {61};
        else if (types.Has("MANAGER"))
            c.chain = {58};
        else if (types.Has("X-ASSISTANT"))
            c.chain = {59};
        else if (types.Has("CHILD"))
            c.chain = {62};
        else
            return;
    } else if (name == "X-ABDATE") {
        if (!types.Has("ANNIVERSARY")) return;
        c.chain = {66};
    } else {
        const FieldMap* pRow = SingleFieldProperty(name);
        if (pRow == nullptr) return;  // a property the record has no field for
        c.chain = {pRow->nField};
        bList = pRow->nKind == vcardmap::VK_LIST;
    }

    std::string szValue;
    if (!DecodeValue(prop, szValue)) return;
    bool bFull = m_nVersion != 21;
    if (bStructured) {
        for (const std::string& s : SplitEscaped(szValue, ';')) c.parts.push_back(Unescape(s, bFull));
        if (name == "ADR") {
            // The record has one street: the street, then the extended address
            // and the post office box on lines of their own.
            c.parts.resize(7);
            std::string szStreet = c.parts[2];
            for (int k : {1, 0})
                if (!c.parts[k].empty()) szStreet += (szStreet.empty() ? "" : "\r\n") + c.parts[k];
            c.parts[2] = szStreet;
            c.parts.resize(7);
        } else if (name == "ORG" && c.parts.size() > 2) {
            for (size_t k = 2; k < c.parts.size(); ++k)
                if (!c.parts[k].empty()) c.parts[1] += (c.parts[1].empty() ? "" : ", ") + c.parts[k];
            c.parts.resize(2);
        }
    } else if (bList || name == "NICKNAME" || name == "CATEGORIES") {
        std::string szJoined;
        for (const std::string& s : SplitEscaped(szValue, ',')) {
            std::string item = Unescape(s, bFull);
            if (item.empty()) continue;
            if (!szJoined.empty()) szJoined += ", ";
            szJoined += item;
        }
        c.parts.push_back(szJoined);
    } else {
        std::string s = Unescape(szValue, bFull);
        // A number written as a URI ("tel:+1-555-0100").
        if (name == "TEL" && Upper(prop.First("VALUE")) == "URI" && Upper(s.substr(0, 4)) == "TEL:") s.erase(0, 4);
        c.parts.push_back(s);
    }
    bool bAny = false;
    for (const std::string& s : c.parts) bAny = bAny || !s.empty();
    if (bAny) cands.push_back(std::move(c));
}

bool Reader::IsFree(int nField) const {
    const FieldMap* row = vcardmap::RowOf(nField);
    const void* pMember = GetFieldMember(m_pRec, nField);
    if (row->nKind == vcardmap::VK_DATE) return *static_cast<const double*>(pMember) == 0.0;
    if (row->nKind == vcardmap::VK_INT) return *static_cast<const INT*>(pMember) == 0;
    return *static_cast<const char*>(pMember) == '\0';
}

int DaysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
    return kDays[m - 1];
}

// Reads "YYYY-MM-DD" or "YYYYMMDD", with an optional time ("Thh:mm:ss",
// "Thhmmss", seconds optional, fraction and zone ignored).
bool ParseDate(const std::string& s, double* pDate) {
    size_t i = 0, n = s.size();
    auto digits = [&](int k, int* pOut) {
        if (n - i < static_cast<size_t>(k)) return false;
        int v = 0;
        for (int j = 0; j < k; ++j) {
            char c = s[i + j];
            if (c < '0' || c > '9') return false;
            v = v * 10 + (c - '0');
        }
        *pOut = v;
        i += k;
        return true;
    };
    int y, m, d, hh = 0, mm = 0, ss = 0;
    if (!digits(4, &y)) return false;
    bool bExtended = i < n && s[i] == '-';
    if (bExtended) ++i;
    if (!digits(2, &m)) return false;
    if (bExtended) {
        if (i >= n || s[i] != '-') return false;
        ++i;
    }
    if (!digits(2, &d)) return false;
    if (i < n && (s[i] == 'T' || s[i] == 't')) {
        ++i;
        if (!digits(2, &hh)) return false;
        bool bColon = i < n && s[i] == ':';
        if (bColon) ++i;
        if (!digits(2, &mm)) return false;
        if (i < n && (s[i] == ':' || (!bColon && s[i] >= '0' && s[i] <= '9'))) {
            if (s[i] == ':') ++i;
            if (!digits(2, &ss)) return false;
        }
        if (i < n && (s[i] == '.' || s[i] == ',')) {
            ++i;
            while (i < n && s[i] >= '0' && s[i] <= '9') ++i;
        }
        if (i < n && (s[i] == 'Z' || s[i] == 'z'))
            ++i;
        else if (i < n && (s[i] == '+' || s[i] == '-')) {
            ++i;
            while (i < n && ((s[i] >= '0' && s[i] <= '9') || s[i] == ':')) ++i;
        }
    }
    if (i != n) return false;
    if (y < 100 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m) || hh > 23 || mm > 59 || ss > 59)
        return false;
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    st.wHour = static_cast<WORD>(hh);
    st.wMinute = static_cast<WORD>(mm);
    st.wSecond = static_cast<WORD>(ss);
    return SystemTimeToVariantTime(&st, pDate) != 0;
}

bool Reader::SetField(const FieldMap& row, const std::string& szValue, const Candidate& c) {
    void* pMember = GetFieldMember(m_pRec, row.nField);
    if (row.nKind == vcardmap::VK_DATE) {
        std::string s = szValue;
        size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
        s = a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
        double dt;
        if (!ParseDate(s, &dt)) {
            Issue(m_nCard, c.nLine, c.szName + ": \"" + s.substr(0, 40) + "\" is not a date with a year; skipped");
            return false;
        }
        *static_cast<double*>(pMember) = dt;
        return true;
    }
    if (row.nKind == vcardmap::VK_INT) {
        errno = 0;
        char* pEnd = nullptr;
        long v = strtol(szValue.c_str(), &pEnd, 10);
        if (szValue.empty() || *pEnd != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX) {
            Issue(m_nCard, c.nLine, c.szName + ": \"" + szValue.substr(0, 40) + "\" is not a whole number; skipped");
            return false;
        }
        *static_cast<INT*>(pMember) = static_cast<INT>(v);
        return true;
    }
    const CommAddrField& f = CommAddrFieldTable[row.nField - 1];
    size_t nCopied = CopyTextN(static_cast<char*>(pMember), static_cast<size_t>(f.nSize), szValue.data(), szValue.size());
    if (nCopied < szValue.size()) {
        ++m_report.nCut;
        Issue(m_nCard, c.nLine, c.szName + ": value cut to " + std::to_string(nCopied) + " bytes for \"" + f.szName + "\"");
    }
    return true;
}

// Puts a value into the slot of nKeyField when every field of that slot is
// still empty.
bool Reader::Place(const Candidate& c, int nKeyField) {
    const std::vector<const FieldMap*>& rows = vcardmap::SlotRows(nKeyField);
    if (rows.empty()) return false;
    for (const FieldMap* r : rows)
        if (!IsFree(r->nField)) return false;
    for (const FieldMap* r : rows) {
        size_t nPart = r->nPart < 0 ? 0 : static_cast<size_t>(r->nPart);
        if (nPart < c.parts.size() && !c.parts[nPart].empty()) SetField(*r, c.parts[nPart], c);
    }
    return true;
}

void Reader::EndCard() {
    m_bInCard = false;
    if (m_addrs.size() >= m_limits.nMaxRecords) {
        ++m_report.nSkipped;
        if (!m_bLimitNoted) {
            m_bLimitNoted = true;
            Issue(m_nCard, m_nCardLine,
                  "more than " + std::to_string(m_limits.nMaxRecords) + " contacts; this card and the rest are skipped");
        }
        m_props.clear();
        return;
    }
    if (m_props.empty()) {
        ++m_report.nSkipped;
        Issue(m_nCard, m_nCardLine, "card has no contact data; skipped");
        return;
    }
    std::map<std::string, std::string> labels;
    for (const Prop& p : m_props)
        if (!p.szGroup.empty() && p.szName == "X-ABLABEL") {
            std::string szLabel;
            if (DecodeValue(p, szLabel)) labels[p.szGroup] = Unescape(szLabel, true);
        }
    std::vector<Candidate> cands;
    for (const Prop& p : m_props) {
        // A display name made up by the writer from the other names is not the contact's own.
        if (p.szName == "FN" && Upper(p.First("X-PELLMARK-COMPOSED")) == "TRUE") continue;
        AddCandidates(p, labels, cands);
    }
    m_props.clear();

    // Filled in place: a record is large, and a copy per card would cost
    // more than the reading.
    m_addrs.emplace_back();
    m_pRec = &m_addrs.back();
    memset(m_pRec, 0, sizeof(*m_pRec));
    std::vector<bool> placed(cands.size(), false);
    // First the values that name their field, then the preferred ones, then
    // the rest in the order of the card.
    for (size_t i = 0; i < cands.size(); ++i) {
        Candidate& c = cands[i];
        for (int k : c.chain)
            if (k == c.nExplicit && Place(c, k)) {
                placed[i] = true;
                break;
            }
    }
    for (int nPass = 0; nPass < 2; ++nPass)
        for (size_t i = 0; i < cands.size(); ++i) {
            if (placed[i] || (nPass == 0 && !cands[i].bPref)) continue;
            for (int k : cands[i].chain)
                if (Place(cands[i], k)) {
                    placed[i] = true;
                    break;
                }
            if (!placed[i] && nPass == 1) {
                ++m_report.nUnplaced;
                Issue(m_nCard, cands[i].nLine, cands[i].szName + ": no free field for one more value; skipped");
            }
        }
    bool bEmpty = true;
    for (int f = 1; f <= COMMADDR_FIELD_COUNT && bEmpty; ++f) bEmpty = IsFree(f);
    m_pRec = nullptr;
    if (bEmpty) {
        m_addrs.pop_back();
        ++m_report.nSkipped;
        Issue(m_nCard, m_nCardLine, "card has no contact data; skipped");
    }
}

}  // namespace

bool CxVCard::Read(const char* pData, size_t nSize, std::vector<CommAddr>& addrs, CxVCardReport& report,
                   const CxVCardLimits& limits) {
    if (nSize > limits.nMaxFileBytes) {
        report.bFailed = true;
        report.szError = "the file is larger than " + std::to_string(limits.nMaxFileBytes / (1024 * 1024)) + " MB";
        return false;
    }
    const unsigned char* u = reinterpret_cast<const unsigned char*>(pData);
    std::string converted;
    if (nSize >= 2 && ((u[0] == 0xFF && u[1] == 0xFE) || (u[0] == 0xFE && u[1] == 0xFF))) {
        converted = vcardtext::Utf16ToUtf8(u + 2, nSize - 2, u[0] == 0xFE);
        pData = converted.data();
        nSize = converted.size();
    } else if (nSize >= 3 && u[0] == 0xEF && u[1] == 0xBB && u[2] == 0xBF) {
        pData += 3;
        nSize -= 3;
    }
    // Room for the cards at once, so that the large records are not moved
    // as the list grows; a rough count, bounded.
    size_t nCards = 0;
    for (const char* p = pData; (p = static_cast<const char*>(memmem(p, pData + nSize - p, "BEGIN:VCARD", 11))) != nullptr; p += 11)
        ++nCards;
    addrs.reserve(addrs.size() + std::min(nCards, std::min(limits.nMaxRecords, size_t(20000))));
    Reader reader(addrs, report, limits);
    reader.Run(pData, nSize);
    return true;
}

bool CxVCard::ReadFile(const char* szPath, std::vector<CommAddr>& addrs, CxVCardReport& report,
                       const CxVCardLimits& limits) {
    FILE* f = szPath ? fopen(szPath, "rb") : nullptr;
    if (f == nullptr) {
        report.bFailed = true;
        report.szError = std::string("cannot open the file: ") + strerror(errno);
        return false;
    }
    std::string data;
    char buf[65536];
    size_t n;
    bool bTooLarge = false;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) {
        if (data.size() + n > limits.nMaxFileBytes) {
            bTooLarge = true;
            break;
        }
        data.append(buf, n);
    }
    bool bError = ferror(f) != 0;
    fclose(f);
    if (bError) {
        report.bFailed = true;
        report.szError = "cannot read the file";
        return false;
    }
    if (bTooLarge) {
        report.bFailed = true;
        report.szError = "the file is larger than " + std::to_string(limits.nMaxFileBytes / (1024 * 1024)) + " MB";
        return false;
    }
    return Read(data.data(), data.size(), addrs, report, limits);
}
