// A fresh temporary folder for one test, removed with everything in it when
// the object goes away, and a whole-file reader for checking bytes written.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class TempDir {
public:
    // A new folder below the test framework's temporary folder; szTag makes
    // leftovers easy to place.
    explicit TempDir(const char* szTag = "pellmark") {
        std::string tmpl = ::testing::TempDir() + szTag + "_XXXXXX";
        if (mkdtemp(&tmpl[0])) m_path = tmpl + "/";
        EXPECT_FALSE(m_path.empty()) << "cannot create " << tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending with a separator.
    const std::string& Path() const { return m_path; }
    // A name inside the folder.
    std::string File(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

// The file's bytes, or "<none>" when it cannot be opened.
inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<none>";
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}
