// The version-resource reader: the input is a program file (PE or ELF).
#include <cstring>
#include <vector>

#include "FuzzFile.h"
#include "platform/win32/WinVersion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static FuzzFile s_File("OUTLOOK.EXE");
    s_File.Write(pData, nSize);
    const char* szPath = s_File.Path().c_str();

    DWORD dwHandle = 99;
    DWORD dwSize = GetFileVersionInfoSizeA(szPath, &dwHandle);
    FUZZ_CHECK(dwHandle == 0);
    if (dwSize == 0) return 0;
    FUZZ_CHECK(dwSize <= nSize);
    std::vector<BYTE> block(dwSize + 16, 0xC3);
    FUZZ_CHECK(!GetFileVersionInfoA(szPath, 0, dwSize - 1, block.data()));  // never a cut block
    for (BYTE b : block) FUZZ_CHECK(b == 0xC3);
    FUZZ_CHECK(GetFileVersionInfoA(szPath, 0, dwSize, block.data()));
    for (size_t i = dwSize; i < block.size(); ++i) FUZZ_CHECK(block[i] == 0xC3);

    LPVOID p = nullptr;
    UINT nLen = 0;
    if (VerQueryValueA(block.data(), "\\", &p, &nLen)) {
        FUZZ_CHECK(nLen == sizeof(VS_FIXEDFILEINFO));
        const BYTE* pb = static_cast<const BYTE*>(p);
        FUZZ_CHECK(pb >= block.data() && pb + nLen <= block.data() + dwSize);
        VS_FIXEDFILEINFO info;
        memcpy(&info, p, sizeof(info));
        FUZZ_CHECK(info.dwSignature == VS_FFI_SIGNATURE);
    }
    FUZZ_CHECK(!VerQueryValueA(block.data(), "\\StringFileInfo", &p, &nLen));
    return 0;
}
