// Registry over a .reg text file, read afresh at every key opening.
#include "platform/win32/WinReg.h"

#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/win32/AsciiCase.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinModule.h"

namespace {

struct RegValue {
    std::string strName;  // "" is the default value
    DWORD dwType;
    std::vector<BYTE> data;
};

struct RegKeyData {
    std::string strPath;  // full path from the root, e.g. "HKEY_LOCAL_MACHINE\SOFTWARE\X"
    std::vector<RegValue> values;
};

// An open key: a snapshot of its values when it was opened.
struct OpenKey {
    RegKeyData key;
};

// Keys handed out and not yet closed, so a stale or foreign handle is refused
// instead of being read.
std::mutex s_openLock;
std::unordered_set<OpenKey*> s_openKeys;

const struct {
    HKEY hKey;
    const char* szName;
} kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, "HKEY_USERS"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
};

// Joins key path parts with single backslashes, dropping empty parts, so
// "A\\B\" and "A\B" name the same key.
std::string NormalizePath(const std::string& strPath) {
    std::string out;
    size_t i = 0;
    while (i < strPath.size()) {
        size_t j = strPath.find('\\', i);
        if (j == std::string::npos) j = strPath.size();
        if (j > i) {
            if (!out.empty()) out += '\\';
            out.append(strPath, i, j - i);
        }
        i = j + 1;
    }
    return out;
}

bool IsKnownRoot(const std::string& strPath) {
    std::string strRoot = strPath.substr(0, strPath.find('\\'));
    for (const auto& r : kRoots)
        if (EqualNoCase(strRoot, r.szName)) return true;
    return false;
}

// True when strKey is strAncestor or lies below it.
bool IsAtOrBelow(const std::string& strKey, const std::string& strAncestor) {
    if (strKey.size() < strAncestor.size()) return false;
    if (!EqualNoCase(strKey.substr(0, strAncestor.size()), strAncestor)) return false;
    return strKey.size() == strAncestor.size() || strKey[strAncestor.size()] == '\\';
}

void TrimRight(std::string& s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.pop_back();
}

// A quoted text starting at s[i] == '"'; moves i past the closing quote.
bool ParseQuoted(const std::string& s, size_t& i, std::string& out) {
    out.clear();
    ++i;
    while (i < s.size()) {
        char c = s[i++];
        if (c == '"') return true;
        if (c == '\\') {
            if (i >= s.size()) return false;
            char e = s[i++];
            if (e != '\\' && e != '"') return false;
            out += e;
        } else {
            out += c;
        }
    }
    return false;
}

bool ParseHexBytes(const std::string& s, std::vector<BYTE>& out) {
    out.clear();
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        if (i >= s.size()) break;
        size_t j = i;
        while (j < s.size() && isxdigit((unsigned char)s[j])) ++j;
        if (j - i != 2) return false;
        out.push_back((BYTE)strtoul(s.substr(i, 2).c_str(), nullptr, 16));
        i = j;
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        if (i < s.size()) {
            if (s[i] != ',') return false;
            ++i;
        }
    }
    return true;
}

// The value's data after '='. False for anything that is not a valid value.
bool ParseData(const std::string& s, RegValue& v, bool& bDelete) {
    bDelete = false;
    if (s == "-") {
        bDelete = true;
        return true;
    }
    if (!s.empty() && s[0] == '"') {
        size_t i = 0;
        std::string text;
        if (!ParseQuoted(s, i, text)) return false;
        std::string rest = s.substr(i);
        TrimRight(rest);
        if (!rest.empty()) return false;
        v.dwType = REG_SZ;
        v.data.assign(text.begin(), text.end());
        v.data.push_back(0);
        return true;
    }
    if (s.compare(0, 6, "dword:") == 0) {
        std::string digits = s.substr(6);
        if (digits.size() != 8) return false;
        for (char c : digits)
            if (!isxdigit((unsigned char)c)) return false;
        DWORD dw = (DWORD)strtoul(digits.c_str(), nullptr, 16);
        v.dwType = REG_DWORD;
        v.data.resize(4);
        memcpy(v.data.data(), &dw, 4);
        return true;
    }
    if (s.compare(0, 4, "hex:") == 0) {
        v.dwType = REG_BINARY;
        return ParseHexBytes(s.substr(4), v.data);
    }
    if (s.compare(0, 4, "hex(") == 0) {
        size_t close = s.find("):");
        if (close == std::string::npos || close == 4) return false;
        std::string type = s.substr(4, close - 4);
        for (char c : type)
            if (!isxdigit((unsigned char)c)) return false;
        v.dwType = (DWORD)strtoul(type.c_str(), nullptr, 16);
        if (!ParseHexBytes(s.substr(close + 2), v.data)) return false;
        // An expandable or plain text stored as hex is UTF-16 in the file:
        // hand it out as 8-bit text like every other text.
        if (v.dwType == REG_SZ || v.dwType == REG_EXPAND_SZ) {
            std::string text;
            size_t nUnits = v.data.size() / 2;
            auto unit = [&v](size_t k) { return (unsigned)(v.data[2 * k] | (v.data[2 * k + 1] << 8)); };
            for (size_t k = 0; k < nUnits; ++k) {
                unsigned u = unit(k);
                if (u == 0) break;
                // A surrogate pair is one character; a lone surrogate has no
                // UTF-8 form and becomes U+FFFD.
                if (u >= 0xD800 && u <= 0xDBFF && k + 1 < nUnits && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
                    u = 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00);
                    ++k;
                } else if (u >= 0xD800 && u <= 0xDFFF) {
                    u = 0xFFFD;
                }
                if (u < 0x80) {
                    text += (char)u;
                } else if (u < 0x800) {
                    text += (char)(0xC0 | (u >> 6));
                    text += (char)(0x80 | (u & 0x3F));
                } else if (u < 0x10000) {
                    text += (char)(0xE0 | (u >> 12));
                    text += (char)(0x80 | ((u >> 6) & 0x3F));
                    text += (char)(0x80 | (u & 0x3F));
                } else {
                    text += (char)(0xF0 | (u >> 18));
                    text += (char)(0x80 | ((u >> 12) & 0x3F));
                    text += (char)(0x80 | ((u >> 6) & 0x3F));
                    text += (char)(0x80 | (u & 0x3F));
                }
            }
            v.data.assign(text.begin(), text.end());
            v.data.push_back(0);
        }
        return true;
    }
    return false;
}

enum class LoadResult { Ok, Missing, BadFormat };

// Reads the whole file into its keys. A missing file is Missing; anything
// that is not valid .reg text is BadFormat.
LoadResult LoadRegistry(std::vector<RegKeyData>& keys) {
    keys.clear();
    char szPath[4096];
    if (!GetRegistryFilePath(szPath, sizeof(szPath))) return LoadResult::Missing;
    FILE* fp = fopen(szPath, "rb");
    if (!fp) return LoadResult::Missing;
    std::string content;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), fp)) > 0) content.append(buf, n);
    fclose(fp);
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);
    if (content.find('\0') != std::string::npos) return LoadResult::BadFormat;

    // Physical lines, joined where a hex list continues with a trailing '\'.
    std::vector<std::string> lines;
    {
        size_t i = 0;
        std::string pending;
        while (i <= content.size()) {
            size_t j = content.find('\n', i);
            if (j == std::string::npos) j = content.size();
            std::string line = content.substr(i, j - i);
            TrimRight(line);
            if (!pending.empty()) {
                size_t k = 0;
                while (k < line.size() && (line[k] == ' ' || line[k] == '\t')) ++k;
                line = pending + line.substr(k);
                pending.clear();
            }
            bool bHexLine = line.find("=hex") != std::string::npos;
            if (bHexLine && !line.empty() && line.back() == '\\') {
                line.pop_back();
                pending = line;
            } else {
                lines.push_back(line);
            }
            i = j + 1;
        }
        if (!pending.empty()) return LoadResult::BadFormat;
    }

    size_t first = 0;
    while (first < lines.size() && lines[first].empty()) ++first;
    if (first >= lines.size() ||
        (lines[first] != "Windows Registry Editor Version 5.00" && lines[first] != "REGEDIT4"))
        return LoadResult::BadFormat;

    RegKeyData* pCurrent = nullptr;
    bool bSkipKey = false;  // inside a "[-...]" section
    for (size_t li = first + 1; li < lines.size(); ++li) {
        const std::string& line = lines[li];
        size_t k = 0;
        while (k < line.size() && (line[k] == ' ' || line[k] == '\t')) ++k;
        if (k >= line.size() || line[k] == ';') continue;
        if (line[k] == '[') {
            if (line.back() != ']') return LoadResult::BadFormat;
            std::string name = line.substr(k + 1, line.size() - k - 2);
            bool bDeleteKey = !name.empty() && name[0] == '-';
            if (bDeleteKey) name.erase(0, 1);
            name = NormalizePath(name);
            if (name.empty() || !IsKnownRoot(name)) return LoadResult::BadFormat;
            if (bDeleteKey) {
                for (size_t q = 0; q < keys.size();)
                    if (IsAtOrBelow(keys[q].strPath, name))
                        keys.erase(keys.begin() + q);
                    else
                        ++q;
                pCurrent = nullptr;
                bSkipKey = true;
                continue;
            }
            bSkipKey = false;
            pCurrent = nullptr;
            for (auto& key : keys)
                if (EqualNoCase(key.strPath, name)) pCurrent = &key;
            if (!pCurrent) {
                keys.push_back(RegKeyData{name, {}});
                pCurrent = &keys.back();
            }
            continue;
        }
        if (bSkipKey) continue;
        if (!pCurrent) return LoadResult::BadFormat;  // a value before any key
        RegValue v;
        size_t i = k;
        if (line[i] == '@') {
            ++i;
        } else if (line[i] == '"') {
            if (!ParseQuoted(line, i, v.strName)) return LoadResult::BadFormat;
        } else {
            return LoadResult::BadFormat;
        }
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size() || line[i] != '=') return LoadResult::BadFormat;
        ++i;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        bool bDelete = false;
        if (!ParseData(line.substr(i), v, bDelete)) return LoadResult::BadFormat;
        auto& vals = pCurrent->values;
        for (size_t q = 0; q < vals.size(); ++q)
            if (EqualNoCase(vals[q].strName, v.strName)) {
                vals.erase(vals.begin() + q);
                break;
            }
        if (!bDelete) vals.push_back(std::move(v));
    }
    return LoadResult::Ok;
}

// The open key behind a handle; none for anything not handed out.
// The caller holds s_openLock.
OpenKey* AsOpenKey(HKEY hKey) {
    OpenKey* p = reinterpret_cast<OpenKey*>(hKey);
    return s_openKeys.count(p) ? p : nullptr;
}

const char* RootName(HKEY hKey) {
    for (const auto& r : kRoots)
        if (hKey == r.hKey) return r.szName;
    return nullptr;
}

}  // namespace

bool GetRegistryFilePath(char* szPath, size_t nSize) {
    if (!szPath || nSize == 0) return false;
    const char* szEnv = getenv("PELLMARK_REGISTRY");
    std::string path;
    if (szEnv && *szEnv) {
        path = szEnv;
    } else {
        char szExe[4096];
        DWORD n = GetModuleFileNameA(nullptr, szExe, sizeof(szExe));
        if (n == 0 || n >= sizeof(szExe)) return false;
        path = szExe;
        size_t slash = path.find_last_of('/');
        path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "pellmark.reg";
    }
    if (path.size() + 1 > nSize) return false;
    memcpy(szPath, path.c_str(), path.size() + 1);
    return true;
}

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult) {
    (void)ulOptions;
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    std::string base;
    if (const char* szRoot = RootName(hKey)) {
        base = szRoot;
    } else {
        std::lock_guard<std::mutex> lock(s_openLock);
        OpenKey* p = AsOpenKey(hKey);
        if (!p) return ERROR_INVALID_HANDLE;
        base = p->key.strPath;
    }
    // Read-only: only reading rights may be asked for.
    if (samDesired & ~(KEY_READ | 0x0300u /* WOW64 view flags */)) return ERROR_ACCESS_DENIED;

    std::string path = NormalizePath(base + "\\" + (lpSubKey ? lpSubKey : ""));
    std::vector<RegKeyData> keys;
    switch (LoadRegistry(keys)) {
        case LoadResult::Missing: return ERROR_FILE_NOT_FOUND;
        case LoadResult::BadFormat: return ERROR_BAD_FORMAT;
        case LoadResult::Ok: break;
    }
    const RegKeyData* pFound = nullptr;
    bool bExists = false;
    for (const auto& key : keys) {
        if (EqualNoCase(key.strPath, path)) pFound = &key;
        if (IsAtOrBelow(key.strPath, path)) bExists = true;
    }
    if (!bExists) return ERROR_FILE_NOT_FOUND;
    OpenKey* pKey = new OpenKey{pFound ? *pFound : RegKeyData{path, {}}};
    {
        std::lock_guard<std::mutex> lock(s_openLock);
        s_openKeys.insert(pKey);
    }
    *phkResult = reinterpret_cast<HKEY>(pKey);
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData) {
    (void)lpReserved;
    std::lock_guard<std::mutex> lock(s_openLock);
    OpenKey* p = AsOpenKey(hKey);
    if (!p) return ERROR_INVALID_HANDLE;
    if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
    std::string name = lpValueName ? lpValueName : "";
    for (const auto& v : p->key.values) {
        if (!EqualNoCase(v.strName, name)) continue;
        if (lpType) *lpType = v.dwType;
        DWORD dwSize = (DWORD)v.data.size();
        if (!lpData) {
            if (lpcbData) *lpcbData = dwSize;
            return ERROR_SUCCESS;
        }
        if (*lpcbData < dwSize) {
            *lpcbData = dwSize;
            return ERROR_MORE_DATA;
        }
        if (dwSize) memcpy(lpData, v.data.data(), dwSize);
        *lpcbData = dwSize;
        return ERROR_SUCCESS;
    }
    return ERROR_FILE_NOT_FOUND;
}

LONG RegCloseKey(HKEY hKey) {
    if (RootName(hKey)) return ERROR_SUCCESS;
    std::lock_guard<std::mutex> lock(s_openLock);
    OpenKey* p = AsOpenKey(hKey);
    if (!p) return ERROR_INVALID_HANDLE;
    s_openKeys.erase(p);
    delete p;
    return ERROR_SUCCESS;
}
