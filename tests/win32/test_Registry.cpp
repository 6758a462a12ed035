// Registry reading over .reg text files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "platform/win32/WinReg.h"

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void WriteRegistry(const std::string& text) {
        std::ofstream out(m_file, std::ios::binary | std::ios::trunc);
        out << text;
    }
    TempDir m_dir{"pellmark_reg"};
    std::string m_file = m_dir.File("test.reg");
    ScopedEnv m_registry{"PELLMARK_REGISTRY", m_file};
};

const char kGoodFile[] =
    "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
    "\r\n"
    "; a comment line\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE]\r\n"
    "@=\"/opt/office/OUTLOOK.EXE\"\r\n"
    "\"Path\"=\"/opt/office/\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n"
    "\"Escapes\"=\"C:\\\\Program Files\\\\\\\"Q\\\"\"\r\n"
    "\"Count\"=dword:0000002a\r\n"
    "\"Bytes\"=hex:01,02,\\\r\n"
    "  ff\r\n"
    "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
    "\"Wide\"=hex(1):e9,00,3d,d8,00,de,00,d8,41,00,00,00\r\n"  // e-acute, U+1F600, a lone surrogate
    "\"Empty\"=\"\"\r\n"
    "\"Gone\"=\"x\"\r\n"
    "\"Gone\"=-\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\Deep\\Er\\Key]\n"  // LF alone is accepted too
    "@=\"deep\"\n";

struct Query {
    const char* szKey;
    const char* szValue;
    LONG lResult;
    DWORD dwType;
    std::string data;  // with the NUL of texts
};

TEST_F(RegistryTest, ReadsValuesOfEveryKind) {
    WriteRegistry(kGoodFile);
    const Query queries[] = {
        {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE", nullptr, ERROR_SUCCESS, REG_SZ,
         std::string("/opt/office/OUTLOOK.EXE", 24)},
        {"software\\microsoft\\windows\\currentversion\\app paths\\outlook.exe", "path", ERROR_SUCCESS, REG_SZ,
         std::string("/opt/office/", 13)},
        {"Software\\Test", "Escapes", ERROR_SUCCESS, REG_SZ, std::string("C:\\Program Files\\\"Q\"", 21)},
        {"Software\\Test", "Count", ERROR_SUCCESS, REG_DWORD, std::string("\x2a\0\0\0", 4)},
        {"Software\\Test", "Bytes", ERROR_SUCCESS, REG_BINARY, std::string("\x01\x02\xff", 3)},
        {"Software\\Test", "Expand", ERROR_SUCCESS, REG_EXPAND_SZ, std::string("%A%", 4)},
        {"Software\\Test", "Wide", ERROR_SUCCESS, REG_SZ, std::string("\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD" "A", 11)},
        {"Software\\Test", "Empty", ERROR_SUCCESS, REG_SZ, std::string("", 1)},
        {"Software\\Test", "Gone", ERROR_FILE_NOT_FOUND, 0, ""},
        {"Software\\Test", "", ERROR_FILE_NOT_FOUND, 0, ""},  // no default value set
        {"Software\\Test\\", "Count", ERROR_SUCCESS, REG_DWORD, std::string("\x2a\0\0\0", 4)},
    };
    for (const auto& q : queries) {
        SCOPED_TRACE(std::string(q.szKey) + " / " + (q.szValue ? q.szValue : "@"));
        HKEY hKey = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, q.szKey, 0, KEY_READ, &hKey), ERROR_SUCCESS);
        DWORD dwType = 99;
        BYTE data[64];
        DWORD cb = sizeof(data);
        EXPECT_EQ(RegQueryValueExA(hKey, q.szValue, nullptr, &dwType, data, &cb), q.lResult);
        if (q.lResult == ERROR_SUCCESS) {
            EXPECT_EQ(dwType, q.dwType);
            EXPECT_EQ(std::string(reinterpret_cast<char*>(data), cb), q.data);
        }
        EXPECT_EQ(RegCloseKey(hKey), ERROR_SUCCESS);
    }
}

TEST_F(RegistryTest, OpensKeysRelativeToOpenKeysAndParentsOfKeys) {
    WriteRegistry(kGoodFile);
    HKEY hDeep = nullptr, hKey = nullptr;
    // "Deep" has no section of its own but a key below it.
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Deep", 0, KEY_READ, &hDeep), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(hDeep, "er\\KEY", 0, KEY_QUERY_VALUE, &hKey), ERROR_SUCCESS);
    char szValue[16];
    DWORD cb = sizeof(szValue);
    EXPECT_EQ(RegQueryValueExA(hKey, "", nullptr, nullptr, reinterpret_cast<LPBYTE>(szValue), &cb), ERROR_SUCCESS);
    EXPECT_STREQ(szValue, "deep");
    RegCloseKey(hKey);
    RegCloseKey(hDeep);

    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Deep\\Other", 0, KEY_READ, &hKey), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Deep", 0, KEY_READ, &hKey), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Dee", 0, KEY_READ, &hKey), ERROR_FILE_NOT_FOUND);
    // Read-only: asking to write is refused.
    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Deep", 0, KEY_READ | 0x0002u, &hKey), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, ValueLargerThanBufferGivesMoreDataAndLeavesBufferAlone) {
    WriteRegistry(kGoodFile);
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Test", 0, KEY_READ, &hKey), ERROR_SUCCESS);

    DWORD cb = 0;  // size query without a buffer
    EXPECT_EQ(RegQueryValueExA(hKey, "Escapes", nullptr, nullptr, nullptr, &cb), ERROR_SUCCESS);
    EXPECT_EQ(cb, 21u);

    char buf[32];
    memset(buf, '#', sizeof(buf));
    cb = 20;  // one byte short: the NUL does not fit
    EXPECT_EQ(RegQueryValueExA(hKey, "Escapes", nullptr, nullptr, reinterpret_cast<LPBYTE>(buf), &cb),
              ERROR_MORE_DATA);
    EXPECT_EQ(cb, 21u);
    EXPECT_EQ(std::string(buf, sizeof(buf)), std::string(sizeof(buf), '#'));

    cb = 21;
    EXPECT_EQ(RegQueryValueExA(hKey, "Escapes", nullptr, nullptr, reinterpret_cast<LPBYTE>(buf), &cb),
              ERROR_SUCCESS);
    EXPECT_STREQ(buf, "C:\\Program Files\\\"Q\"");
    EXPECT_EQ(buf[21], '#');
    RegCloseKey(hKey);
}

TEST_F(RegistryTest, MalformedFilesFailTheOpen) {
    const char* kHeader = "Windows Registry Editor Version 5.00\r\n";
    const struct {
        const char* szName;
        std::string text;
    } cases[] = {
        {"empty file", ""},
        {"no header", "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n\"A\"=\"1\"\r\n"},
        {"other header", "Windows Registry Editor Version 9.00\r\n[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n"},
        {"value before any key", std::string(kHeader) + "\"A\"=\"1\"\r\n"},
        {"unterminated text", std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n\"A\"=\"1\r\n"},
        {"unknown escape", std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n\"A\"=\"\\n\"\r\n"},
        {"text after the value", std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n\"A\"=\"1\"x\r\n"},
        {"short dword", std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n\"A\"=dword:2a\r\n"},
        {"bad hex", std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n\"A\"=hex:1,zz\r\n"},
        {"hex continued past the end", std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n\"A\"=hex:01,\\"},
        {"unknown root", std::string(kHeader) + "[HKEY_NOWHERE\\Software\\Test]\r\n"},
        {"unclosed key", std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\Software\\Test\r\n"},
        {"no equals sign", std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n\"A\" \"1\"\r\n"},
        {"bare word", std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\nA=1\r\n"},
        {"NUL byte", std::string(kHeader) + std::string("[HKEY_LOCAL_MACHINE\\Software\\Test]\0\r\n", 38)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        WriteRegistry(c.text);
        HKEY hKey = reinterpret_cast<HKEY>(0x1234);
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Test", 0, KEY_READ, &hKey), ERROR_BAD_FORMAT);
        EXPECT_EQ(hKey, reinterpret_cast<HKEY>(0x1234));
    }
}

TEST_F(RegistryTest, FileIsReadAtEachOpenAndOpenKeysKeepTheirValues) {
    HKEY hKey = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Test", 0, KEY_READ, &hKey), ERROR_FILE_NOT_FOUND);

    WriteRegistry("Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n\"A\"=\"one\"\r\n");
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Test", 0, KEY_READ, &hKey), ERROR_SUCCESS);
    WriteRegistry("Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n\"A\"=\"two\"\r\n");

    char buf[8];
    DWORD cb = sizeof(buf);
    ASSERT_EQ(RegQueryValueExA(hKey, "A", nullptr, nullptr, reinterpret_cast<LPBYTE>(buf), &cb), ERROR_SUCCESS);
    EXPECT_STREQ(buf, "one");
    RegCloseKey(hKey);

    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Test", 0, KEY_READ, &hKey), ERROR_SUCCESS);
    cb = sizeof(buf);
    ASSERT_EQ(RegQueryValueExA(hKey, "A", nullptr, nullptr, reinterpret_cast<LPBYTE>(buf), &cb), ERROR_SUCCESS);
    EXPECT_STREQ(buf, "two");
    RegCloseKey(hKey);
}

TEST_F(RegistryTest, ClosedOrForeignHandlesAreRefused) {
    WriteRegistry(kGoodFile);
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Test", 0, KEY_READ, &hKey), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(hKey), ERROR_SUCCESS);
    DWORD cb = 0;
    EXPECT_EQ(RegQueryValueExA(hKey, "Count", nullptr, nullptr, nullptr, &cb), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(hKey), ERROR_INVALID_HANDLE);
    HKEY hChild = nullptr;
    EXPECT_EQ(RegOpenKeyExA(hKey, "X", 0, KEY_READ, &hChild), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(nullptr, "Software", 0, KEY_READ, &hChild), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, FileIsNamedByTheVariableElseBesideTheProgram) {
    char szPath[4096];
    ASSERT_TRUE(GetRegistryFilePath(szPath, sizeof(szPath)));
    EXPECT_EQ(std::string(szPath), m_file);

    m_registry.Set(nullptr);
    ASSERT_TRUE(GetRegistryFilePath(szPath, sizeof(szPath)));
    std::string expected = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/pellmark.reg";
    EXPECT_EQ(std::string(szPath), expected);
    EXPECT_FALSE(GetRegistryFilePath(szPath, 5));
}

}  // namespace
