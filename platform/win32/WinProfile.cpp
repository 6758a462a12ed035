#include "platform/win32/WinProfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/AsciiCase.h"
#include "platform/win32/TextCopy.h"
#include "platform/win32/WinFileIo.h"

namespace {

// Read-modify-write of a file is serialized within the process.
std::mutex s_writeLock;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

enum class LineKind { Other, Section, Key };

struct Line {
    std::string strText;  // as in the file, without its line end
    LineKind kind = LineKind::Other;
    std::string strName;   // section or key name, trimmed
    std::string strValue;  // key's value, trimmed, quotes removed
    bool bHasEquals = false;  // a key line with '=': the only kind listed
};

void Classify(Line& line) {
    std::string t = Trim(line.strText);
    if (t.empty() || t[0] == ';') return;
    if (t[0] == '[') {
        size_t close = t.find(']');
        line.kind = LineKind::Section;
        line.strName = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        return;
    }
    line.kind = LineKind::Key;
    size_t eq = t.find('=');
    line.strName = Trim(t.substr(0, eq));
    if (eq == std::string::npos) return;
    line.bHasEquals = true;
    std::string v = Trim(t.substr(eq + 1));
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    line.strValue = v;
}

// False when the file exists but cannot be read.
bool ReadLines(const char* szPath, std::vector<Line>& lines, bool& bExists) {
    lines.clear();
    bExists = false;
    FILE* fp = fopen(szPath, "rb");
    if (!fp) return errno == ENOENT;
    bExists = true;
    std::string content;
    char buf[16384];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), fp)) > 0) content.append(buf, n);
    bool bOk = !ferror(fp);
    fclose(fp);
    // CR LF, LF and a lone CR all end a line, as on Windows; so does a NUL
    // byte, which would otherwise hide what follows it in a listing.
    static const char kLineEnds[] = {'\r', '\n', '\0'};
    const std::string ends(kLineEnds, sizeof(kLineEnds));
    size_t i = 0;
    while (i < content.size()) {
        size_t j = content.find_first_of(ends, i);
        if (j == std::string::npos) j = content.size();
        Line line;
        line.strText = content.substr(i, j - i);
        Classify(line);
        lines.push_back(std::move(line));
        i = j + (content.compare(j, 2, "\r\n") == 0 ? 2 : 1);
    }
    return bOk;
}

// Index of the first section line of that name, or -1.
long FindSection(const std::vector<Line>& lines, const std::string& section) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == LineKind::Section && EqualNoCase(lines[i].strName, section)) return (long)i;
    return -1;
}

// End (one past the last line) of the section starting at nSection.
size_t SectionEnd(const std::vector<Line>& lines, size_t nSection) {
    size_t i = nSection + 1;
    while (i < lines.size() && lines[i].kind != LineKind::Section) ++i;
    return i;
}

// Copies a NUL-separated list ending in two NULs, cut to fit.
DWORD CopyList(const std::vector<std::string>& items, LPSTR lpBuf, DWORD nSize) {
    if (nSize < 2) {
        lpBuf[0] = '\0';
        return 0;
    }
    size_t pos = 0;
    for (const auto& item : items) {
        if (item.empty()) continue;
        size_t nRoom = nSize - 2 - pos;  // room for the item, keeping two NULs
        size_t nFit = Utf8FitLength(item.c_str(), nRoom);
        memcpy(lpBuf + pos, item.data(), nFit);
        pos += nFit;
        if (nFit < item.size()) {
            lpBuf[pos] = '\0';
            lpBuf[pos + 1] = '\0';
            return nSize - 2;
        }
        lpBuf[pos++] = '\0';
        if (pos > nSize - 2) {
            lpBuf[nSize - 2] = '\0';
            lpBuf[nSize - 1] = '\0';
            return nSize - 2;
        }
    }
    lpBuf[pos] = '\0';
    if (pos == 0) lpBuf[1] = '\0';
    return (DWORD)pos;
}

bool HasLineBreak(const char* sz) { return sz && strpbrk(sz, "\r\n") != nullptr; }

// Writes all lines to a temporary file beside szPath and renames it over
// szPath, so the file is always either the old or the new one.
bool ReplaceFile(const char* szPath, const std::vector<Line>& lines, bool bExists) {
    std::string content;
    for (const auto& line : lines) {
        content += line.strText;
        content += "\r\n";
    }
    mode_t mode = 0666;
    if (bExists) {
        struct stat st;
        if (stat(szPath, &st) != 0 || access(szPath, W_OK) != 0) return false;
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode &= ~mask;
    }
    std::string tmp = std::string(szPath) + ".XXXXXX";
    int fd = mkstemp(&tmp[0]);
    if (fd < 0) return false;
    bool bOk = fchmod(fd, mode) == 0;
    size_t off = 0;
    while (bOk && off < content.size()) {
        ssize_t n = WinFileWrite(fd, content.data() + off, content.size() - off);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) bOk = false;
        else off += (size_t)n;
    }
    bOk = bOk && WinFileSync(fd) == 0;
    bOk = (close(fd) == 0) && bOk;
    if (bOk && WinFileRename(tmp.c_str(), szPath) != 0) bOk = false;
    if (!bOk) unlink(tmp.c_str());
    return bOk;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName) {
    if (!lpReturnedString || nSize == 0) return 0;
    std::vector<Line> lines;
    bool bExists = false;
    if (lpFileName && *lpFileName) ReadLines(lpFileName, lines, bExists);

    if (!lpAppName) {
        std::vector<std::string> names;
        for (const auto& line : lines)
            if (line.kind == LineKind::Section) names.push_back(line.strName);
        return CopyList(names, lpReturnedString, nSize);
    }
    long nSection = FindSection(lines, Trim(lpAppName));
    if (!lpKeyName) {
        std::vector<std::string> names;
        if (nSection >= 0)
            for (size_t i = nSection + 1; i < SectionEnd(lines, nSection); ++i)
                if (lines[i].kind == LineKind::Key && lines[i].bHasEquals) names.push_back(lines[i].strName);
        return CopyList(names, lpReturnedString, nSize);
    }
    std::string key = Trim(lpKeyName);
    if (nSection >= 0) {
        size_t nEnd = SectionEnd(lines, nSection);
        for (size_t i = nSection + 1; i < nEnd; ++i)
            if (lines[i].kind == LineKind::Key && EqualNoCase(lines[i].strName, key))
                return (DWORD)CopyText(lpReturnedString, nSize, lines[i].strValue.c_str());
    }
    std::string def = lpDefault ? lpDefault : "";
    while (!def.empty() && IsBlank(def.back())) def.pop_back();
    return (DWORD)CopyText(lpReturnedString, nSize, def.c_str());
}

BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName) {
    if (!lpAppName || !lpFileName || !*lpFileName) return FALSE;
    if (HasLineBreak(lpAppName) || HasLineBreak(lpKeyName) || HasLineBreak(lpString)) return FALSE;
    if (strchr(lpAppName, ']') || (lpKeyName && strchr(lpKeyName, '='))) return FALSE;
    std::string section = Trim(lpAppName);
    std::string key = lpKeyName ? Trim(lpKeyName) : std::string();
    // A key line starting with '[' would read back as a section, one with ';'
    // as a comment.
    if (!key.empty() && (key[0] == '[' || key[0] == ';')) return FALSE;

    std::lock_guard<std::mutex> lock(s_writeLock);
    std::vector<Line> lines;
    bool bExists = false;
    if (!ReadLines(lpFileName, lines, bExists)) return FALSE;

    long nSection = FindSection(lines, section);
    if (!lpKeyName) {
        if (nSection < 0) return TRUE;
        lines.erase(lines.begin() + nSection, lines.begin() + SectionEnd(lines, nSection));
        return ReplaceFile(lpFileName, lines, bExists) ? TRUE : FALSE;
    }
    Line newLine;
    if (lpString) {
        newLine.strText = key + "=" + lpString;
        Classify(newLine);
    }
    if (nSection < 0) {
        if (!lpString) return TRUE;
        // Drop blank lines at the end; the new section follows directly, with
        // no blank line, as Windows writes it.
        while (!lines.empty() && Trim(lines.back().strText).empty()) lines.pop_back();
        Line head;
        head.strText = "[" + section + "]";
        Classify(head);
        lines.push_back(head);
        lines.push_back(newLine);
        return ReplaceFile(lpFileName, lines, bExists) ? TRUE : FALSE;
    }
    size_t nEnd = SectionEnd(lines, nSection);
    for (size_t i = nSection + 1; i < nEnd; ++i) {
        if (lines[i].kind == LineKind::Key && EqualNoCase(lines[i].strName, key)) {
            if (lpString)
                lines[i] = newLine;
            else
                lines.erase(lines.begin() + i);
            return ReplaceFile(lpFileName, lines, bExists) ? TRUE : FALSE;
        }
    }
    if (!lpString) return TRUE;
    // After the section's last non-blank line, so blank lines before the
    // next section stay where they are.
    size_t nAt = nEnd;
    while (nAt > (size_t)nSection + 1 && Trim(lines[nAt - 1].strText).empty()) --nAt;
    lines.insert(lines.begin() + nAt, newLine);
    return ReplaceFile(lpFileName, lines, bExists) ? TRUE : FALSE;
}
