#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "olstandin/fixtures/OlTestUtil.h"
#include "platform/win32/WinReg.h"
#include "platform/win32/WinVersion.h"

namespace {

using OutlookExe = OlStandinTest;

TEST_F(OutlookExe, CommandLineEditsWhatAutomationSees) {
    std::string sOut;
    ASSERT_EQ(RunOutlookExe("add contact FirstName=Anna LastName=Berg Email1Address=anna@example.org "
                            "Birthday=1980-05-06 'Body=two\\nlines' Gender=1",
                            &sOut),
              0)
        << sOut;
    EXPECT_EQ(sOut.compare(0, 2, "1\t"), 0) << sOut;  // position, then the EntryID
    std::string sEntryID = sOut.substr(2, sOut.size() - 3);
    ASSERT_EQ(RunOutlookExe("add dl DLName=Team Member=anna@example.org Member=bert@example.org", &sOut), 0) << sOut;
    ASSERT_EQ(RunOutlookExe("--folder Archive add contact FirstName=Old", &sOut), 0) << sOut;
    ASSERT_EQ(RunOutlookExe("change " + sEntryID + " FirstName=\xc3\x84nne", &sOut), 0) << sOut;

    ASSERT_EQ(RunOutlookExe("list", &sOut), 0);
    std::istringstream lines(sOut);
    std::string sLine;
    std::getline(lines, sLine);
    EXPECT_EQ(sLine, "1\tcontact\t" + sEntryID + "\t\xc3\x84nne Berg\tanna@example.org");
    std::getline(lines, sLine);
    EXPECT_EQ(sLine.compare(0, 5, "2\tdl\t"), 0) << sLine;
    EXPECT_FALSE(std::getline(lines, sLine)) << "subfolder items are listed only with --folder";

    // Automation sees the Contacts folder only, with the values as written.
    IDispatch* pItems = OpenItems();
    ASSERT_NE(pItems, nullptr);
    EXPECT_EQ(GetLong(pItems, u"Count"), 2);
    IDispatch* pItem = ItemAt(pItems, 1);
    ASSERT_NE(pItem, nullptr);
    EXPECT_EQ(GetText(pItem, u"FirstName"), u"\u00c4nne");
    EXPECT_EQ(GetText(pItem, u"Body"), u"two\nlines");
    EXPECT_EQ(GetLong(pItem, u"Gender"), 1);
    OlVar birthday;
    ASSERT_EQ(Get(pItem, u"Birthday", &birthday.v), S_OK);
    EXPECT_EQ(birthday.v.date, 29347.0);  // 6 May 1980
    pItem->Release();
    IDispatch* pList = ItemAt(pItems, 2);
    ASSERT_NE(pList, nullptr);
    EXPECT_EQ(GetText(pList, u"DLName"), u"Team");
    EXPECT_EQ(GetLong(pList, u"MemberCount"), 2);
    pList->Release();
    // And the command line sees what automation saved.
    IDispatch* pNew = AddItem(pItems, 2);
    ASSERT_NE(pNew, nullptr);
    PutText(pNew, u"LastName", u"Cole");
    ASSERT_EQ(Method(pNew, u"Save", {}, nullptr), S_OK);
    pNew->Release();
    pItems->Release();
    ASSERT_EQ(RunOutlookExe("show 3", &sOut), 0);
    EXPECT_NE(sOut.find("\nLastName=Cole\n"), std::string::npos) << sOut;

    ASSERT_EQ(RunOutlookExe("delete 1", &sOut), 0) << sOut;
    ASSERT_EQ(RunOutlookExe("list", &sOut), 0);
    EXPECT_EQ(sOut.compare(0, 5, "1\tdl\t"), 0) << sOut;
}

TEST_F(OutlookExe, RejectsBadCommandLines) {
    struct Case {
        const char* szArgs;
        int nExit;
    };
    const Case kCases[] = {
        {"", 2},
        {"frobnicate", 2},
        {"add contact NoSuchProperty=1", 2},
        {"add dl FirstName=x", 2},  // a contact property on a list
        {"add contact Birthday=yesterday", 2},
        {"add contact Gender=male", 2},
        {"change 1 FirstName=x", 1},  // no such item
        {"delete 0", 1},
        {"help", 0},
    };
    std::string sOut;
    for (const Case& c : kCases) EXPECT_EQ(RunOutlookExe(c.szArgs, &sOut), c.nExit) << c.szArgs << "\n" << sOut;
    ASSERT_EQ(RunOutlookExe("list", &sOut), 0);
    EXPECT_EQ(sOut, "");  // nothing was written by the rejected lines
}

TEST_F(OutlookExe, CarriesItsVersionWhereTheRegistrySaysItIs) {
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE",
                            0, KEY_READ, &hKey),
              ERROR_SUCCESS);
    char szPath[MAX_PATH];
    DWORD cb = sizeof(szPath);
    ASSERT_EQ(RegQueryValueExA(hKey, "Path", nullptr, nullptr, reinterpret_cast<LPBYTE>(szPath), &cb),
              ERROR_SUCCESS);
    RegCloseKey(hKey);
    std::string sExe = std::string(szPath) + "OUTLOOK.EXE";
    DWORD dwSize = GetFileVersionInfoSizeA(sExe.c_str(), nullptr);
    ASSERT_GT(dwSize, 0u) << sExe;
    std::string block(dwSize, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(sExe.c_str(), 0, dwSize, &block[0]));
    VS_FIXEDFILEINFO* pInfo = nullptr;
    UINT nLen = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<LPVOID*>(&pInfo), &nLen));
    EXPECT_EQ(pInfo->dwFileVersionMS, (11u << 16) | 0u);
    EXPECT_EQ(pInfo->dwFileVersionLS, (8312u << 16) | 0u);
}

TEST_F(OutlookExe, RegistryValueNamesAnotherContactsFile) {
    // The build's registrations plus the value that moves the file.
    std::ifstream in(ProgramFolder() + "pellmark.reg");
    std::stringstream reg;
    reg << in.rdbuf();
    std::string sFile = m_sHome + "/elsewhere.db";
    reg << "\r\n[HKEY_CURRENT_USER\\Software\\Pellmark\\OutlookStandin]\r\n\"ContactsFile\"=\"" << sFile << "\"\r\n";
    std::string sReg = m_sHome + "/test.reg";
    std::ofstream(sReg) << reg.str();
    m_Registry.Set(sReg.c_str());

    char szFile[1024];
    ASSERT_TRUE(m_Hooks.DataFile(szFile, sizeof(szFile)));
    EXPECT_EQ(std::string(szFile), sFile);
    IDispatch* pItems = OpenItems();
    ASSERT_NE(pItems, nullptr);
    IDispatch* pItem = AddItem(pItems, 2);
    ASSERT_NE(pItem, nullptr);
    ASSERT_EQ(Method(pItem, u"Save", {}, nullptr), S_OK);
    pItem->Release();
    pItems->Release();
    std::string sOut;
    ASSERT_EQ(RunOutlookExe("--file '" + sFile + "' list", &sOut), 0);
    EXPECT_EQ(sOut.compare(0, 2, "1\t"), 0) << sOut;
    m_Registry.Set(nullptr);
    ASSERT_EQ(RunOutlookExe("list", &sOut), 0);  // the default file is untouched
    EXPECT_EQ(sOut, "");

    // A file that is no Contacts file is refused, not read or overwritten.
    std::ofstream(sFile, std::ios::trunc) << "This is not a database, just text that happens to be here.\n";
    m_Registry.Set(sReg.c_str());
    IDispatch* pApp = nullptr;
    EXPECT_EQ(CreateApplication(&pApp), CO_E_SERVER_EXEC_FAILURE);
    EXPECT_EQ(pApp, nullptr);
    EXPECT_EQ(RunOutlookExe("list", &sOut), 1) << sOut;
    m_Registry.Set(nullptr);
    std::ifstream check(sFile);
    std::string sFirst;
    std::getline(check, sFirst);
    EXPECT_EQ(sFirst, "This is not a database, just text that happens to be here.");
}

}  // namespace
