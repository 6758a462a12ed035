// Version blocks from Windows PE files (the RT_VERSION resource) and from
// our own ELF executables (the PELLMARK_VERSION_SECTION section).
#include "platform/win32/WinVersion.h"

#include <elf.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const size_t kValueOffset = 40;  // header (6) + key (32) + padding (2)
const size_t kMinBlock = kValueOffset + sizeof(VS_FIXEDFILEINFO);

// Bounded reads at file offsets; every read that would pass the end fails.
class FileReader {
public:
    explicit FileReader(const char* szPath) : m_fp(fopen(szPath, "rb")) {
        if (m_fp && fseek(m_fp, 0, SEEK_END) == 0) {
            long n = ftell(m_fp);
            m_nSize = n > 0 ? (unsigned long long)n : 0;
        }
    }
    ~FileReader() {
        if (m_fp) fclose(m_fp);
    }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool Read(unsigned long long nOffset, void* pDst, size_t nLen) {
        if (!m_fp || nOffset > m_nSize || nLen > m_nSize - nOffset) return false;
        if (fseek(m_fp, (long)nOffset, SEEK_SET) != 0) return false;
        return fread(pDst, 1, nLen, m_fp) == nLen;
    }
    template <typename T>
    bool ReadValue(unsigned long long nOffset, T& value) {
        return Read(nOffset, &value, sizeof(T));
    }

private:
    FILE* m_fp;
    unsigned long long m_nSize = 0;
};

// A block is valid when it holds a VS_VERSIONINFO header with the key
// "VS_VERSION_INFO" and a fixed record with the right signature, all within
// its stated length, which itself fits in nAvailable bytes.
bool IsValidBlock(const BYTE* p, size_t nAvailable) {
    if (!p || nAvailable < kMinBlock) return false;
    WORD wLength, wValueLength;
    memcpy(&wLength, p, 2);
    memcpy(&wValueLength, p + 2, 2);
    if (wLength < kMinBlock || wLength > nAvailable || wValueLength != sizeof(VS_FIXEDFILEINFO)) return false;
    static const char16_t kKey[] = u"VS_VERSION_INFO";
    if (memcmp(p + 6, kKey, sizeof(kKey)) != 0) return false;
    DWORD dwSignature;
    memcpy(&dwSignature, p + kValueOffset, 4);
    return dwSignature == VS_FFI_SIGNATURE;
}

// Reads the block found at nOffset (at most nAvailable bytes there).
bool ReadBlockAt(FileReader& file, unsigned long long nOffset, unsigned long long nAvailable,
                 std::vector<BYTE>& block) {
    if (nAvailable < kMinBlock) return false;
    WORD wLength;
    if (!file.ReadValue(nOffset, wLength) || wLength < kMinBlock || wLength > nAvailable) return false;
    block.resize(wLength);
    if (!file.Read(nOffset, block.data(), wLength)) return false;
    return IsValidBlock(block.data(), block.size());
}

template <typename Ehdr, typename Shdr>
bool FindElfBlock(FileReader& file, std::vector<BYTE>& block) {
    Ehdr eh;
    if (!file.ReadValue(0, eh) || eh.e_shoff == 0 || eh.e_shentsize != sizeof(Shdr)) return false;
    unsigned long long nSections = eh.e_shnum;
    unsigned nStrIndex = eh.e_shstrndx;
    if (nSections == 0 || nStrIndex == SHN_XINDEX) {
        // Extended numbering keeps the real values in section 0.
        Shdr s0;
        if (!file.ReadValue(eh.e_shoff, s0)) return false;
        if (nSections == 0) nSections = s0.sh_size;
        if (nStrIndex == SHN_XINDEX) nStrIndex = s0.sh_link;
    }
    if (nSections > 65536 || nStrIndex >= nSections) return false;
    Shdr strtab;
    if (!file.ReadValue(eh.e_shoff + (unsigned long long)nStrIndex * sizeof(Shdr), strtab)) return false;
    static const char kName[] = PELLMARK_VERSION_SECTION;
    for (unsigned long long i = 0; i < nSections; ++i) {
        Shdr sh;
        if (!file.ReadValue(eh.e_shoff + i * sizeof(Shdr), sh)) return false;
        if (sh.sh_type == SHT_NOBITS || sh.sh_name >= strtab.sh_size ||
            strtab.sh_size - sh.sh_name < sizeof(kName))
            continue;
        char szName[sizeof(kName)];
        if (!file.Read(strtab.sh_offset + sh.sh_name, szName, sizeof(szName))) continue;
        if (memcmp(szName, kName, sizeof(kName)) != 0) continue;
        return ReadBlockAt(file, sh.sh_offset, sh.sh_size, block);
    }
    return false;
}

struct PeSection {
    DWORD dwVirtualSize, dwVirtualAddress, dwRawSize, dwRawOffset;
};

bool RvaToOffset(const std::vector<PeSection>& sections, DWORD dwRva, unsigned long long& nOffset,
                 unsigned long long& nAvailable) {
    for (const auto& s : sections) {
        DWORD dwSpan = s.dwRawSize;
        if (dwRva >= s.dwVirtualAddress && dwRva - s.dwVirtualAddress < dwSpan) {
            DWORD dwDelta = dwRva - s.dwVirtualAddress;
            nOffset = (unsigned long long)s.dwRawOffset + dwDelta;
            nAvailable = dwSpan - dwDelta;
            return true;
        }
    }
    return false;
}

bool FindPeBlock(FileReader& file, std::vector<BYTE>& block) {
    DWORD dwPeOffset, dwSig;
    if (!file.ReadValue(0x3C, dwPeOffset) || !file.ReadValue(dwPeOffset, dwSig) || dwSig != 0x00004550u)
        return false;
    unsigned long long nCoff = (unsigned long long)dwPeOffset + 4;
    WORD wSections, wOptSize, wMagic;
    if (!file.ReadValue(nCoff + 2, wSections) || !file.ReadValue(nCoff + 16, wOptSize)) return false;
    unsigned long long nOpt = nCoff + 20;
    if (!file.ReadValue(nOpt, wMagic)) return false;
    unsigned long long nDirCountAt;
    if (wMagic == 0x10b)
        nDirCountAt = 92;
    else if (wMagic == 0x20b)
        nDirCountAt = 108;
    else
        return false;
    DWORD dwDirCount, dwRsrcRva, dwRsrcSize;
    if (nDirCountAt + 4 + 3 * 8 > wOptSize || !file.ReadValue(nOpt + nDirCountAt, dwDirCount) || dwDirCount < 3)
        return false;
    unsigned long long nRsrcDir = nOpt + nDirCountAt + 4 + 2 * 8;
    if (!file.ReadValue(nRsrcDir, dwRsrcRva) || !file.ReadValue(nRsrcDir + 4, dwRsrcSize) || dwRsrcRva == 0)
        return false;

    std::vector<PeSection> sections;
    unsigned long long nSectionTable = nOpt + wOptSize;
    for (WORD i = 0; i < wSections; ++i) {
        PeSection s;
        unsigned long long at = nSectionTable + i * 40ull;
        if (!file.ReadValue(at + 8, s.dwVirtualSize) || !file.ReadValue(at + 12, s.dwVirtualAddress) ||
            !file.ReadValue(at + 16, s.dwRawSize) || !file.ReadValue(at + 20, s.dwRawOffset))
            return false;
        sections.push_back(s);
    }

    // Walk type RT_VERSION (16), then its first name, then its first language.
    unsigned long long nRsrcBase, nRsrcAvail;
    if (!RvaToOffset(sections, dwRsrcRva, nRsrcBase, nRsrcAvail)) return false;
    DWORD dwDir = 0;  // offset of the current directory within the resources
    for (int nLevel = 0; nLevel < 3; ++nLevel) {
        WORD wNamed, wIds;
        if (dwDir + 16ull > nRsrcAvail || !file.ReadValue(nRsrcBase + dwDir + 12, wNamed) ||
            !file.ReadValue(nRsrcBase + dwDir + 14, wIds))
            return false;
        unsigned nEntries = (unsigned)wNamed + wIds;
        bool bFound = false;
        DWORD dwNext = 0;
        for (unsigned e = 0; e < nEntries && !bFound; ++e) {
            unsigned long long at = dwDir + 16ull + e * 8ull;
            DWORD dwName, dwData;
            if (at + 8 > nRsrcAvail || !file.ReadValue(nRsrcBase + at, dwName) ||
                !file.ReadValue(nRsrcBase + at + 4, dwData))
                return false;
            if (nLevel == 0 && dwName != 16) continue;
            bool bSubdir = (dwData & 0x80000000u) != 0;
            if (bSubdir != (nLevel < 2)) return false;
            dwNext = dwData & 0x7FFFFFFFu;
            bFound = true;
        }
        if (!bFound) return false;
        dwDir = dwNext;
    }
    DWORD dwDataRva, dwDataSize;
    if (dwDir + 16ull > nRsrcAvail || !file.ReadValue(nRsrcBase + dwDir, dwDataRva) ||
        !file.ReadValue(nRsrcBase + dwDir + 4, dwDataSize))
        return false;
    unsigned long long nData, nDataAvail;
    if (!RvaToOffset(sections, dwDataRva, nData, nDataAvail)) return false;
    return ReadBlockAt(file, nData, dwDataSize < nDataAvail ? dwDataSize : nDataAvail, block);
}

bool FindVersionBlock(const char* szPath, std::vector<BYTE>& block) {
    if (!szPath || !*szPath) return false;
    FileReader file(szPath);
    unsigned char magic[6];
    if (!file.Read(0, magic, sizeof(magic))) return false;
    if (magic[0] == 'M' && magic[1] == 'Z') return FindPeBlock(file, block);
    if (memcmp(magic, ELFMAG, SELFMAG) == 0 && magic[EI_DATA] == ELFDATA2LSB) {
        if (magic[EI_CLASS] == ELFCLASS64) return FindElfBlock<Elf64_Ehdr, Elf64_Shdr>(file, block);
        if (magic[EI_CLASS] == ELFCLASS32) return FindElfBlock<Elf32_Ehdr, Elf32_Shdr>(file, block);
    }
    return false;
}

}  // namespace

DWORD GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle) {
    if (lpdwHandle) *lpdwHandle = 0;
    std::vector<BYTE> block;
    if (!FindVersionBlock(lptstrFilename, block)) return 0;
    return (DWORD)block.size();
}

BOOL GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData) {
    (void)dwHandle;
    if (!lpData) return FALSE;
    std::vector<BYTE> block;
    if (!FindVersionBlock(lptstrFilename, block) || dwLen < block.size()) return FALSE;
    memcpy(lpData, block.data(), block.size());
    return TRUE;
}

BOOL VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen) {
    if (!pBlock || !lpSubBlock || !lplpBuffer || !puLen) return FALSE;
    if (strcmp(lpSubBlock, "\\") != 0) return FALSE;
    const BYTE* p = static_cast<const BYTE*>(pBlock);
    WORD wLength;
    memcpy(&wLength, p, 2);
    if (!IsValidBlock(p, wLength)) return FALSE;
    *lplpBuffer = const_cast<BYTE*>(p + kValueOffset);
    *puLen = sizeof(VS_FIXEDFILEINFO);
    return TRUE;
}
