// Helpers shared by the fuzzers: the input written to a scratch file that the
// reader under test opens by name, and a check that fails loudly.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

// A scratch file in a folder of its own (on /dev/shm when there is one),
// removed with the folder at exit. Each Write replaces the file's bytes.
class FuzzFile {
public:
    explicit FuzzFile(const char* szName) {
        std::string sTemplate = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
        sTemplate += "/pellmark_fuzz_XXXXXX";
        if (mkdtemp(&sTemplate[0]) == nullptr) abort();
        m_sDir = sTemplate;
        m_sPath = m_sDir + "/" + szName;
    }
    ~FuzzFile() {
        std::error_code ec;
        std::filesystem::remove_all(m_sDir, ec);
    }
    const std::string& Path() const { return m_sPath; }
    const std::string& Dir() const { return m_sDir; }
    // Replaces the file's bytes (removing what a reader may have left beside it).
    void Write(const uint8_t* pData, size_t nSize) const {
        for (const char* szSuffix : {"-journal", "-wal", "-shm", ".tmp"}) remove((m_sPath + szSuffix).c_str());
        FILE* f = fopen(m_sPath.c_str(), "wb");
        if (f == nullptr) abort();
        if (nSize > 0 && fwrite(pData, 1, nSize, f) != nSize) abort();
        fclose(f);
    }
    std::string Read() const {
        std::string s;
        FILE* f = fopen(m_sPath.c_str(), "rb");
        if (f == nullptr) return "<none>";
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), f)) > 0) s.append(buf, n);
        fclose(f);
        return s;
    }

private:
    std::string m_sDir, m_sPath;
};

// A broken promise of the reader: reported, then the fuzzer stops with the
// input that broke it.
#define FUZZ_CHECK(cond)                                                                 \
    do {                                                                                 \
        if (!(cond)) {                                                                   \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);     \
            abort();                                                                     \
        }                                                                                \
    } while (false)
