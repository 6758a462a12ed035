// Version records of PE files and of our own executables; module file names.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "platform/win32/WinModule.h"
#include "platform/win32/WinVersion.h"

PELLMARK_VERSION_INFO(11, 0, 8312, 7);

namespace {

void Put16(std::vector<BYTE>& b, size_t at, WORD v) { memcpy(&b[at], &v, 2); }
void Put32(std::vector<BYTE>& b, size_t at, DWORD v) { memcpy(&b[at], &v, 4); }

// A minimal PE image: headers, one ".rsrc" section holding the resource
// tree type 16 (RT_VERSION) / id 1 / language 0x409 and a VS_VERSIONINFO
// block whose fixed record has the given version.
std::vector<BYTE> MakePe(bool bPe32Plus, DWORD dwMS, DWORD dwLS) {
    const size_t kPe = 0x40, kSectionFile = 0x200;
    const DWORD kSectionRva = 0x1000;
    const WORD wOptSize = bPe32Plus ? 240 : 224;
    std::vector<BYTE> b(kSectionFile + 0x200, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, kPe);
    memcpy(&b[kPe], "PE\0\0", 4);
    size_t coff = kPe + 4;
    Put16(b, coff, bPe32Plus ? 0x8664 : 0x14c);
    Put16(b, coff + 2, 1);  // sections
    Put16(b, coff + 16, wOptSize);
    size_t opt = coff + 20;
    Put16(b, opt, bPe32Plus ? 0x20b : 0x10b);
    size_t dirs = opt + (bPe32Plus ? 108 : 92);
    Put32(b, dirs, 16);  // data directory count
    Put32(b, dirs + 4 + 2 * 8, kSectionRva);
    Put32(b, dirs + 4 + 2 * 8 + 4, 0x200);
    size_t sec = opt + wOptSize;
    memcpy(&b[sec], ".rsrc\0\0\0", 8);
    Put32(b, sec + 8, 0x200);
    Put32(b, sec + 12, kSectionRva);
    Put32(b, sec + 16, 0x200);
    Put32(b, sec + 20, kSectionFile);

    size_t r = kSectionFile;  // three directories of one entry each
    Put16(b, r + 14, 1);
    Put32(b, r + 16, 16);
    Put32(b, r + 20, 0x80000000u | 0x18);
    Put16(b, r + 0x18 + 14, 1);
    Put32(b, r + 0x18 + 16, 1);
    Put32(b, r + 0x18 + 20, 0x80000000u | 0x30);
    Put16(b, r + 0x30 + 14, 1);
    Put32(b, r + 0x30 + 16, 0x409);
    Put32(b, r + 0x30 + 20, 0x48);
    const DWORD kBlock = 0x60;  // data entry at 0x48, block at 0x60
    const WORD wBlockLen = 92 + 40;  // a child block after the record
    Put32(b, r + 0x48, kSectionRva + kBlock);
    Put32(b, r + 0x48 + 4, wBlockLen);
    PellmarkVersionInfo info = MakePellmarkVersionInfo(0, 0, 0, 0, VFT_APP);
    info.wLength = wBlockLen;
    info.Value.dwFileVersionMS = dwMS;
    info.Value.dwFileVersionLS = dwLS;
    memcpy(&b[r + kBlock], &info, sizeof(info));
    return b;
}

class VersionTest : public ::testing::Test {
protected:
    std::string WriteFile(const std::string& name, const std::vector<BYTE>& bytes) {
        std::string path = m_dir.File(name);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }
    TempDir m_dir{"pellmark_ver"};
};

// The file's fixed record, or none; checks the calls agree on the way.
bool ReadRecord(const std::string& path, VS_FIXEDFILEINFO& out) {
    DWORD dwHandle = 99;
    DWORD dwSize = GetFileVersionInfoSizeA(path.c_str(), &dwHandle);
    EXPECT_EQ(dwHandle, 0u);
    if (dwSize == 0) return false;
    std::vector<DWORD> block(dwSize / 4 + 1);
    EXPECT_FALSE(GetFileVersionInfoA(path.c_str(), 0, dwSize - 1, block.data()));  // never a cut block
    if (!GetFileVersionInfoA(path.c_str(), 0, dwSize, block.data())) return false;
    LPVOID p = nullptr;
    UINT nLen = 0;
    EXPECT_FALSE(VerQueryValueA(block.data(), "\\StringFileInfo", &p, &nLen));
    if (!VerQueryValueA(block.data(), "\\", &p, &nLen)) return false;
    EXPECT_EQ(nLen, sizeof(VS_FIXEDFILEINFO));
    memcpy(&out, p, sizeof(out));
    return true;
}

TEST_F(VersionTest, ReadsTheRecordOfPeFiles) {
    for (bool bPlus : {false, true}) {
        SCOPED_TRACE(bPlus ? "PE32+" : "PE32");
        VS_FIXEDFILEINFO info;
        ASSERT_TRUE(ReadRecord(WriteFile("a.exe", MakePe(bPlus, 0x000B0000, 0x20780000)), info));
        EXPECT_EQ(info.dwSignature, VS_FFI_SIGNATURE);
        EXPECT_EQ(info.dwFileVersionMS, 0x000B0000u);
        EXPECT_EQ(info.dwFileVersionLS, 0x20780000u);
    }
}

TEST_F(VersionTest, ReadsTheRecordOurExecutablesEmbed) {
    char szExe[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, szExe, sizeof(szExe)), 0u);
    VS_FIXEDFILEINFO info;
    ASSERT_TRUE(ReadRecord(szExe, info));
    EXPECT_EQ(info.dwFileVersionMS, (11u << 16) | 0u);
    EXPECT_EQ(info.dwFileVersionLS, (8312u << 16) | 7u);
    EXPECT_EQ(info.dwFileType, VFT_APP);
}

TEST_F(VersionTest, FilesWithoutAValidRecordHaveNone) {
    std::vector<BYTE> good = MakePe(false, 1, 2);
    auto corrupt = [&](size_t at, BYTE value) {
        std::vector<BYTE> b = good;
        b[at] = value;
        return b;
    };
    const struct {
        const char* szName;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"empty file", {}},
        {"text file", {'h', 'e', 'l', 'l', 'o', '\n'}},
        {"bad PE signature", corrupt(0x40, 'X')},
        {"bad record signature", corrupt(0x200 + 0x60 + 40, 0)},
        {"bad key", corrupt(0x200 + 0x60 + 6, 'v')},
        {"no RT_VERSION type", corrupt(0x200 + 16, 3)},
        {"leaf where a directory belongs", corrupt(0x200 + 23, 0)},
        {"resource offsets past the section", corrupt(0x200 + 22, 0x10)},
        {"block length past its data", corrupt(0x200 + 0x60, 0xFF)},
        {"cut in the headers", std::vector<BYTE>(good.begin(), good.begin() + 0x100)},
        {"cut in the resources", std::vector<BYTE>(good.begin(), good.begin() + 0x200 + 0x50)},
        {"cut in the block", std::vector<BYTE>(good.begin(), good.begin() + 0x200 + 0x80)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        VS_FIXEDFILEINFO info;
        EXPECT_FALSE(ReadRecord(WriteFile("bad.exe", c.bytes), info));
    }
    VS_FIXEDFILEINFO info;
    EXPECT_FALSE(ReadRecord(m_dir.File("missing.exe"), info));
    EXPECT_FALSE(ReadRecord("", info));
    EXPECT_EQ(GetFileVersionInfoSizeA(nullptr, nullptr), 0u);
}

TEST(ModuleFileName, ProgramAndLibraryPaths) {
    char szPath[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
    std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(std::string(szPath), exe);
    EXPECT_EQ(n, exe.size());

    // A cut path reports the whole buffer used, and stays terminated.
    char szShort[6];
    EXPECT_EQ(GetModuleFileNameA(nullptr, szShort, sizeof(szShort)), sizeof(szShort));
    EXPECT_EQ(std::string(szShort), exe.substr(0, 5));
    EXPECT_EQ(GetModuleFileNameA(nullptr, nullptr, 10), 0u);

    void* hLib = dlopen("libm.so.6", RTLD_NOW);
    ASSERT_NE(hLib, nullptr);
    ASSERT_GT(GetModuleFileNameA(hLib, szPath, sizeof(szPath)), 0u);
    EXPECT_EQ(szPath[0], '/');
    EXPECT_EQ(std::filesystem::path(szPath).filename().string().rfind("libm", 0), 0u) << szPath;
    // A library's file has no version record of ours.
    EXPECT_EQ(GetFileVersionInfoSizeA(szPath, nullptr), 0u);
    dlclose(hLib);
}

}  // namespace
