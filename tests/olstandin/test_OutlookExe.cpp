#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "common/vcard/CxVCard.h"
#include "olstandin/fixtures/OlTestUtil.h"
#include "platform/win32/TextCopy.h"
#include "vcard/fixtures/RecordGen.h"
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

// import and export: a vCard file fills the Contacts folder, automation sees
// the contacts, and an export reads back to the same records.
TEST_F(OutlookExe, ImportAndExportWorkOnTheSameVCardFiles) {
    std::vector<CommAddr> in;
    std::vector<const CommAddr*> ptrs;
    for (int n = 0; n < 3; ++n) in.push_back(MakeSimpleRecord(n));
    CopyText(in[2].szEmail2, "second@example.org");
    CopyText(in[2].szSuffix, "Jr.");
    for (CommAddr& a : in) ptrs.push_back(&a);
    std::string sIn = m_sHome + "/in.vcf", sOutFile = m_sHome + "/out.vcf";
    std::string sError;
    ASSERT_TRUE(CxVCard::WriteFile(sIn.c_str(), ptrs, VCARD_VERSION_30, sError)) << sError;
    std::ofstream(sIn, std::ios::app) << "BEGIN:VCARD\r\nVERSION:3.0\r\nEND:VCARD\r\n";

    std::string sOut;
    ASSERT_EQ(RunOutlookExe("import '" + sIn + "'", &sOut), 0) << sOut;
    EXPECT_NE(sOut.find("card 4, line "), std::string::npos) << sOut;
    EXPECT_NE(sOut.find("imported 3 contacts; 1 cards skipped, 0 values cut\n"), std::string::npos) << sOut;

    IDispatch* pItems = OpenItems();
    ASSERT_NE(pItems, nullptr);
    EXPECT_EQ(GetLong(pItems, u"Count"), 3);
    IDispatch* pItem = ItemAt(pItems, 1);
    ASSERT_NE(pItem, nullptr);
    EXPECT_EQ(GetText(pItem, u"LastName"), u"M\u00fcller0");
    EXPECT_EQ(GetText(pItem, u"Body"), u"Met at the fair; likes tea,\r\nnot coffee.");
    pItem->Release();
    pItems->Release();

    ASSERT_EQ(RunOutlookExe("export '" + sOutFile + "' 4.0", &sOut), 0) << sOut;
    EXPECT_EQ(sOut, "exported 3 contacts\n");
    std::vector<CommAddr> out;
    CxVCardReport report;
    ASSERT_TRUE(CxVCard::ReadFile(sOutFile.c_str(), out, report));
    ASSERT_EQ(out.size(), in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        EXPECT_EQ(out[i].nSourceType, SOURCE_TYPE_OUTLOOK);
        EXPECT_NE(out[i].dtCreationTime, 0.0);
        out[i].nSourceType = 0;
        out[i].dtCreationTime = out[i].dtLastModificationTime = 0.0;
        EXPECT_EQ(FirstDifference(in[i], out[i]), "") << i;
    }

    // A file that cannot be read changes nothing; bad arguments are usage errors.
    EXPECT_EQ(RunOutlookExe("import '" + m_sHome + "/missing.vcf'", &sOut), 1) << sOut;
    EXPECT_EQ(RunOutlookExe("import", &sOut), 2);
    EXPECT_EQ(RunOutlookExe("export x.vcf 2.1", &sOut), 2);
    ASSERT_EQ(RunOutlookExe("list", &sOut), 0);
    EXPECT_EQ(std::count(sOut.begin(), sOut.end(), '\n'), 3);
}

}  // namespace
