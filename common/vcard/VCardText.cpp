#include "common/vcard/VCardText.h"

#include <cstring>

namespace vcardtext {

bool IsUtf8(const char* p, size_t n) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(p);
    size_t i = 0;
    while (i < n) {
        unsigned c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t nMore;
        unsigned cp;
        if (c >= 0xC2 && c <= 0xDF) {
            nMore = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            nMore = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            nMore = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (n - i <= nMore) return false;
        for (size_t k = 1; k <= nMore; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if ((nMore == 2 && cp < 0x800) || (nMore == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += nMore + 1;
    }
    return true;
}

void AppendUtf8(unsigned c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

namespace {

// Windows-1252 at 0x80 to 0x9F; the five unassigned bytes map to the C1
// controls of the same value, as Windows itself converts them.
const unsigned short kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

enum Charset { CS_UNKNOWN, CS_UTF8, CS_ASCII, CS_LATIN1, CS_LATIN9, CS_CP1252 };

Charset FindCharset(const std::string& szName) {
    std::string s = Upper(szName);
    if (s == "UTF-8" || s == "UTF8") return CS_UTF8;
    if (s == "US-ASCII" || s == "ASCII") return CS_ASCII;
    if (s == "ISO-8859-1" || s == "ISO8859-1" || s == "LATIN1" || s == "LATIN-1" || s == "ISO_8859-1")
        return CS_LATIN1;
    if (s == "ISO-8859-15" || s == "ISO8859-15" || s == "LATIN9" || s == "LATIN-9") return CS_LATIN9;
    if (s == "WINDOWS-1252" || s == "CP1252" || s == "CP-1252" || s == "X-CP1252") return CS_CP1252;
    return CS_UNKNOWN;
}

unsigned Latin9(unsigned char c) {
    switch (c) {
        case 0xA4: return 0x20AC;
        case 0xA6: return 0x0160;
        case 0xA8: return 0x0161;
        case 0xB4: return 0x017D;
        case 0xB8: return 0x017E;
        case 0xBC: return 0x0152;
        case 0xBD: return 0x0153;
        case 0xBE: return 0x0178;
        default: return c;
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

bool IsKnownCharset(const std::string& szCharset) { return FindCharset(szCharset) != CS_UNKNOWN; }

bool IsUtf8Charset(const std::string& szCharset) { return FindCharset(szCharset) == CS_UTF8; }

bool ConvertToUtf8(const std::string& szCharset, const std::string& in, std::string& out) {
    Charset cs = FindCharset(szCharset);
    if (cs == CS_UNKNOWN) return false;
    if (cs == CS_UTF8) {
        out = in;
        return true;
    }
    out.clear();
    out.reserve(in.size() + in.size() / 4);
    for (char ch : in) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80 || cs == CS_ASCII) {
            // Bytes above 0x7F in "ASCII" text are read as Windows-1252, the
            // likeliest source of such a file.
            if (c >= 0x80 && c < 0xA0)
                AppendUtf8(kCp1252High[c - 0x80], out);
            else
                AppendUtf8(c, out);
        } else if (cs == CS_LATIN1) {
            AppendUtf8(c, out);
        } else if (cs == CS_LATIN9) {
            AppendUtf8(Latin9(c), out);
        } else {
            AppendUtf8(c < 0xA0 ? kCp1252High[c - 0x80] : c, out);
        }
    }
    return true;
}

std::string Utf16ToUtf8(const unsigned char* p, size_t n, bool bBigEndian) {
    std::string out;
    out.reserve(n);
    size_t nUnits = n / 2;
    auto unit = [&](size_t i) -> unsigned {
        return bBigEndian ? (p[2 * i] << 8 | p[2 * i + 1]) : (p[2 * i + 1] << 8 | p[2 * i]);
    };
    for (size_t i = 0; i < nUnits; ++i) {
        unsigned u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < nUnits) {
            unsigned v = unit(i + 1);
            if (v >= 0xDC00 && v <= 0xDFFF) {
                AppendUtf8(0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00), out);
                ++i;
                continue;
            }
        }
        AppendUtf8(u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u, out);
    }
    return out;
}

std::string DecodeQuotedPrintable(const std::string& in) {
    std::string out;
    out.reserve(in.size());
    size_t n = in.size();
    for (size_t i = 0; i < n; ++i) {
        char c = in[i];
        if (c != '=') {
            out += c;
            continue;
        }
        if (i + 2 < n && HexDigit(in[i + 1]) >= 0 && HexDigit(in[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(in[i + 1]) * 16 + HexDigit(in[i + 2]));
            i += 2;
        } else if (i + 1 == n) {
            // A soft break left at the very end.
        } else if (in[i + 1] == '\r' || in[i + 1] == '\n') {
            // A soft break kept inside the value: drop it with its line end.
            ++i;
            if (in[i] == '\r' && i + 1 < n && in[i + 1] == '\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

bool DecodeBase64(const std::string& in, std::string& out) {
    out.clear();
    unsigned nAcc = 0;
    int nBits = 0;
    for (char c : in) {
        int v;
        if (c >= 'A' && c <= 'Z') v = c - 'A';
        else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
        else if (c >= '0' && c <= '9') v = c - '0' + 52;
        else if (c == '+') v = 62;
        else if (c == '/') v = 63;
        else if (c == '=' || c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        else return false;
        nAcc = (nAcc << 6) | static_cast<unsigned>(v);
        nBits += 6;
        if (nBits >= 8) {
            nBits -= 8;
            out += static_cast<char>((nAcc >> nBits) & 0xFF);
        }
    }
    return true;
}

std::vector<std::string> SplitEscaped(const std::string& in, char cSep) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c == '\\' && i + 1 < in.size()) {
            parts.back() += c;
            parts.back() += in[++i];
        } else if (c == cSep) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

std::string Unescape(const std::string& in, bool bFull) {
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c != '\\' || i + 1 == in.size()) {
            out += c;
            continue;
        }
        char d = in[i + 1];
        if (d == ';' || d == ',' || d == '\\') {
            out += d;
            ++i;
        } else if (bFull && (d == 'n' || d == 'N')) {
            out += "\r\n";
            ++i;
        } else if (bFull && d == ':') {
            out += d;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string NormalizeLineEnds(const std::string& in) {
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < in.size() && in[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else if (c != '\0') {
            out += c;
        }
    }
    return out;
}

void AppendEscaped(const char* sz, std::string& out) {
    for (const char* p = sz; *p; ++p) {
        char c = *p;
        switch (c) {
            case '\\': out += "\\\\"; break;
            case ';': out += "\\;"; break;
            case ',': out += "\\,"; break;
            case '\r':
                out += "\\n";
                if (p[1] == '\n') ++p;
                break;
            case '\n': out += "\\n"; break;
            default: out += c;
        }
    }
}

}  // namespace vcardtext
