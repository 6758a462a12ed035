// Library loading as the WAB store does it, and local memory blocks.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32/WinLibrary.h"
#include "support/StandinHooks.h"

namespace {

// The file a loaded library came from, found through one of its symbols.
std::string LoadedFrom(HMODULE h) {
    void* p = dlsym(h, "WABOpen");
    Dl_info info;
    if (p == nullptr || dladdr(p, &info) == 0 || info.dli_fname == nullptr) return std::string();
    return info.dli_fname;
}

}  // namespace

TEST(WinLibrary, BareNameIsFoundBesideTheProgramInAnyCase) {
    // The file is wab32.so: every spelling of the Windows name must reach it.
    for (const char* szName : {"WAB32.DLL", "wab32.dll", "Wab32.Dll", "wab32.so", "WAB32.SO"}) {
        SCOPED_TRACE(szName);
        HMODULE h = LoadLibraryA(szName);
        ASSERT_NE(h, nullptr);
        EXPECT_NE(GetProcAddress(h, "WABOpen"), nullptr);
        EXPECT_EQ(LoadedFrom(h), ProgramFolder() + "wab32.so");
        EXPECT_TRUE(FreeLibrary(h));
    }
}

TEST(WinLibrary, PathsAndMissingNames) {
    HMODULE h = LoadLibraryA((ProgramFolder() + "wab32.so").c_str());
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetProcAddress(h, "NoSuchEntryPoint"), nullptr);
    EXPECT_EQ(GetProcAddress(h, nullptr), nullptr);
    EXPECT_TRUE(FreeLibrary(h));

    // A path is taken as it is: no case folding, no ".DLL" mapping.
    EXPECT_EQ(LoadLibraryA((ProgramFolder() + "WAB32.DLL").c_str()), nullptr);
    EXPECT_EQ(LoadLibraryA("/nonexistent/wab32.so"), nullptr);
    EXPECT_EQ(LoadLibraryA("NOSUCHLIB.DLL"), nullptr);
    EXPECT_EQ(LoadLibraryA(""), nullptr);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST(WinLibrary, LocalAllocZeroFillsOnRequest) {
    unsigned char* p = static_cast<unsigned char*>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, 4096));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 4096; ++i) ASSERT_EQ(p[i], 0) << i;
    EXPECT_EQ(LocalFree(p), nullptr);

    HLOCAL pEmpty1 = LocalAlloc(LPTR, 0);
    HLOCAL pEmpty2 = LocalAlloc(LMEM_FIXED, 0);
    EXPECT_NE(pEmpty1, nullptr);
    EXPECT_NE(pEmpty1, pEmpty2);
    EXPECT_EQ(LocalFree(pEmpty1), nullptr);
    EXPECT_EQ(LocalFree(pEmpty2), nullptr);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}
