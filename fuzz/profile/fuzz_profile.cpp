// The private-profile reader and writer: the input is the settings file.
// Reads every section and key, into buffers of several sizes; writes a key
// and replaces one, and checks that every other key reads as before.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "platform/win32/WinProfile.h"

namespace {

const size_t kBig = 1 << 16;

// A NUL-separated list (sections or keys) as its names.
std::vector<std::string> List(const char* szSection, const std::string& sFile) {
    std::vector<char> buf(kBig);
    DWORD n = GetPrivateProfileStringA(szSection, nullptr, "", buf.data(), (DWORD)buf.size(), sFile.c_str());
    FUZZ_CHECK(n < buf.size());
    std::vector<std::string> names;
    for (const char* p = buf.data(); *p != '\0' && p < buf.data() + n; p += strlen(p) + 1) names.push_back(p);
    return names;
}

std::string Value(const std::string& sSection, const std::string& sKey, const std::string& sFile) {
    std::vector<char> buf(kBig);
    DWORD n = GetPrivateProfileStringA(sSection.c_str(), sKey.c_str(), "\x01", buf.data(), (DWORD)buf.size(),
                                       sFile.c_str());
    FUZZ_CHECK(n < buf.size() && buf[n] == '\0' && strlen(buf.data()) == n);
    return std::string(buf.data(), n);
}

// Every key of every section, by section and key as listed (first one wins).
std::map<std::pair<std::string, std::string>, std::string> ReadAll(const std::string& sFile) {
    std::map<std::pair<std::string, std::string>, std::string> all;
    for (const std::string& sSection : List(nullptr, sFile))
        for (const std::string& sKey : List(sSection.c_str(), sFile))
            all.emplace(std::make_pair(sSection, sKey), Value(sSection, sKey, sFile));
    return all;
}

// Names as the reader compares them: blanks around them dropped, ASCII
// case ignored.
std::string Trimmed(const std::string& s) {
    const char* const kBlanks = " \t\r\v\f";
    size_t b = s.find_first_not_of(kBlanks);
    return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(kBlanks) - b + 1);
}

bool SameName(const std::string& sA, const std::string& sB) {
    std::string a = Trimmed(sA), b = Trimmed(sB);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Reads with small buffers: never past the buffer, always terminated, the
// text a prefix of the whole one.
void ReadCut(const std::string& sSection, const std::string& sKey, const std::string& sWhole,
             const std::string& sFile) {
    for (DWORD nSize : {1u, 2u, 3u, 5u, 16u}) {
        char buf[32];
        memset(buf, 0x5A, sizeof(buf));
        DWORD n = GetPrivateProfileStringA(sSection.c_str(), sKey.c_str(), "", buf, nSize, sFile.c_str());
        FUZZ_CHECK(n < nSize && buf[n] == '\0');
        FUZZ_CHECK(sWhole.compare(0, n, buf, n) == 0);
        for (size_t i = nSize; i < sizeof(buf); ++i) FUZZ_CHECK(buf[i] == 0x5A);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static FuzzFile s_File("tessaro.ini");
    const std::string& sFile = s_File.Path();
    s_File.Write(pData, nSize);

    auto before = ReadAll(sFile);
    for (const auto& it : before) ReadCut(it.first.first, it.first.second, it.second, sFile);

    // A new key in the first section (or a new section), then a changed
    // value of an existing key: everything else must survive both writes.
    std::string sSection = before.empty() ? "Fuzz" : before.begin()->first.first;
    const std::string sNewKey = "PellmarkFuzzKey";
    if (!WritePrivateProfileStringA(sSection.c_str(), sNewKey.c_str(), "new value", sFile.c_str())) return 0;
    FUZZ_CHECK(Value(sSection, sNewKey, sFile) == "new value");
    std::string sChanged;
    // (A listed name may hold what a write refuses, a lone CR for one.)
    if (!before.empty() &&
        WritePrivateProfileStringA(sSection.c_str(), before.begin()->first.second.c_str(), "changed", sFile.c_str())) {
        sChanged = before.begin()->first.second;
        FUZZ_CHECK(Value(sSection, sChanged, sFile) == "changed");
    }
    for (const auto& it : before) {
        bool bWritten = SameName(it.first.first, sSection) &&
                        (SameName(it.first.second, sNewKey) || (!sChanged.empty() && SameName(it.first.second, sChanged)));
        if (bWritten) continue;
        FUZZ_CHECK(Value(it.first.first, it.first.second, sFile) == it.second);
    }
    return 0;
}
