// wabtool prepares and inspects address books that the library then reads,
// and sees what the library wrote.
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/vcard/CxVCard.h"
#include "platform/win32/TextCopy.h"
#include "vcard/fixtures/RecordGen.h"
#include "wab32/fixtures/WabStandinFixture.h"

namespace {

struct CToolResult {
    int nStatus = -1;
    std::string sOut;
};

std::string Quote(const std::string& s) {
    std::string sOut = "'";
    for (char c : s) sOut += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return sOut + "'";
}

// Runs wabtool from the program folder; stderr goes with stdout.
CToolResult RunTool(const std::vector<std::string>& args) {
    std::string sCommand = Quote(ProgramFolder() + "wabtool");
    for (const std::string& sArg : args) sCommand += " " + Quote(sArg);
    sCommand += " 2>&1";
    CToolResult result;
    FILE* pPipe = popen(sCommand.c_str(), "r");
    if (pPipe == nullptr) return result;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), pPipe)) > 0) result.sOut.append(buf, n);
    int nRaw = pclose(pPipe);
    result.nStatus = WIFEXITED(nRaw) ? WEXITSTATUS(nRaw) : -1;
    return result;
}

}  // namespace

class WabToolTest : public WabStandinTest {};

TEST_F(WabToolTest, ToolAndLibrarySeeTheSameEntries) {
    std::string sFile = Path("tool.wab");
    CToolResult r = RunTool({sFile, "add", "PR_DISPLAY_NAME=Ann Lee", "GIVEN_NAME=Ann", "PR_BIRTHDAY=1970-03-01",
                             "0x3A24001E=555-1234", "PR_COMMENT=line 1\\nline 2"});
    ASSERT_EQ(r.nStatus, 0) << r.sOut;
    EXPECT_EQ(r.sOut, "1\n");
    ASSERT_EQ(RunTool({sFile, "adddl", "Friends"}).sOut, "2\n");
    ASSERT_EQ(RunTool({sFile, "add", "PR_DISPLAY_NAME=Bo", "PR_WEDDING_ANNIVERSARY=@5"}).nStatus, 0);
    ASSERT_EQ(RunTool({sFile, "set", "1", "PR_SURNAME=Lee", "GIVEN_NAME=", "PR_COMMENT=x"}).nStatus, 0);

    {
        CTestBook book;
        OpenPab(book, sFile);
        std::vector<CRowInfo> rows = ListRows(book);
        ASSERT_EQ(rows.size(), 3u);
        EXPECT_EQ(rows[1].ulObjType, MAPI_DISTLIST);
        EXPECT_EQ(rows[1].sName, "Friends");
        EXPECT_EQ(EntryText(book, rows[0].sEntryId, PR_SURNAME), "Lee");
        EXPECT_EQ(EntryText(book, rows[0].sEntryId, PR_GIVEN_NAME), "<none>");
        EXPECT_EQ(EntryText(book, rows[0].sEntryId, PR_BUSINESS_FAX_NUMBER), "555-1234");

        // What the library writes, the tool lists.
        SPropValue note = TextValue(PR_COMMENT, "two\nlines");
        ASSERT_EQ(AddEntry(book, MAPI_MAILUSER, {TextValue(PR_DISPLAY_NAME, "Cy"), note}), S_OK);
    }

    r = RunTool({sFile, "list"});
    ASSERT_EQ(r.nStatus, 0) << r.sOut;
    EXPECT_EQ(r.sOut,
              "1 MAILUSER\n"
              "  PR_DISPLAY_NAME = Ann Lee\n"
              "  PR_COMMENT = x\n"
              "  PR_SURNAME = Lee\n"
              "  PR_BUSINESS_FAX_NUMBER = 555-1234\n"
              "  PR_BIRTHDAY = 1970-03-01T00:00:00\n"
              "2 DISTLIST\n"
              "  PR_DISPLAY_NAME = Friends\n"
              "3 MAILUSER\n"
              "  PR_DISPLAY_NAME = Bo\n"
              "  PR_WEDDING_ANNIVERSARY = @5\n"
              "4 MAILUSER\n"
              "  PR_DISPLAY_NAME = Cy\n"
              "  PR_COMMENT = two\\nlines\n");

    // An entry deleted by the tool while the library holds it open.
    CTestBook book;
    OpenPab(book, sFile);
    std::string sId = ListRows(book).at(2).sEntryId;
    ULONG ulType = 0;
    LPUNKNOWN pUnk = nullptr;
    ASSERT_EQ(book.pAdrBook->OpenEntry(ULONG(sId.size()), reinterpret_cast<LPENTRYID>(&sId[0]), nullptr, MAPI_MODIFY,
                                       &ulType, &pUnk),
              S_OK);
    ASSERT_EQ(RunTool({sFile, "delete", "3"}).nStatus, 0);
    EXPECT_EQ(RunTool({sFile, "delete", "3"}).nStatus, 1);
    SPropValue title = TextValue(PR_TITLE, "Dr");
    LPMAILUSER pEntry = static_cast<LPMAILUSER>(pUnk);
    ASSERT_EQ(pEntry->SetProps(1, &title, nullptr), S_OK);
    EXPECT_EQ(pEntry->SaveChanges(0), MAPI_E_OBJECT_DELETED);
    pEntry->Release();
    EXPECT_EQ(book.pAdrBook->OpenEntry(ULONG(sId.size()), reinterpret_cast<LPENTRYID>(&sId[0]), nullptr, 0, &ulType,
                                       &pUnk),
              MAPI_E_NOT_FOUND);
    EXPECT_EQ(ListRows(book).size(), 3u);
}

TEST_F(WabToolTest, BadCommandsAndForeignFilesChangeNothing) {
    std::string sFile = Path("keep.wab");
    ASSERT_EQ(RunTool({sFile, "add", "PR_DISPLAY_NAME=Ann"}).nStatus, 0);
    std::string sBefore = ReadFileBytes(sFile);

    const std::vector<std::vector<std::string>> usage = {
        {},
        {sFile},
        {sFile, "frobnicate"},
        {sFile, "list", "extra"},
        {sFile, "add"},
        {sFile, "set", "1"},
        {sFile, "set", "one", "PR_TITLE=x"},
        {sFile, "set", "1", "PR_NO_SUCH=x"},
        {sFile, "set", "1", "PR_TITLE"},
        {sFile, "set", "1", "PR_BIRTHDAY=1970-02-30"},
        {sFile, "set", "1", "PR_ENTRYID=00"},
        {sFile, "delete"},
    };
    for (const auto& args : usage) {
        CToolResult r = RunTool(args);
        EXPECT_EQ(r.nStatus, 2) << (args.size() > 1 ? args[1] + " " + (args.size() > 2 ? args[2] : "") : "") << r.sOut;
    }
    EXPECT_NE(RunTool({}).sOut.find("usage: wabtool FILE COMMAND"), std::string::npos);
    EXPECT_EQ(RunTool({sFile, "set", "9", "PR_TITLE=x"}).nStatus, 1);
    EXPECT_EQ(ReadFileBytes(sFile), sBefore);

    // The tool neither creates a file just to list it nor touches one not ours.
    EXPECT_EQ(RunTool({Path("none.wab"), "list"}).nStatus, 1);
    EXPECT_FALSE(FileExists(Path("none.wab")));
    WriteFileBytes(Path("text.wab"), "not an address book\n");
    CToolResult r = RunTool({Path("text.wab"), "add", "PR_DISPLAY_NAME=Ann"});
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_NE(r.sOut.find("not an address book"), std::string::npos) << r.sOut;
    EXPECT_EQ(ReadFileBytes(Path("text.wab")), "not an address book\n");
}

// import and export: a vCard file fills an address book, and an export reads
// back to the same contacts.
TEST_F(WabToolTest, ImportAndExportWorkOnTheSameVCardFiles) {
    std::vector<CommAddr> in;
    std::vector<const CommAddr*> ptrs;
    for (int n = 0; n < 3; ++n) in.push_back(MakeSimpleRecord(n));
    CopyText(in[1].szNote, "Café\r\nZweite Zeile; mit Komma, und \\");
    for (CommAddr& a : in) {
        a.nSourceType = SOURCE_TYPE_WAB;
        ptrs.push_back(&a);
    }
    std::string sError;
    ASSERT_TRUE(CxVCard::WriteFile(Path("in.vcf").c_str(), ptrs, VCARD_VERSION_40, sError)) << sError;
    // A line of rubbish between the cards is reported and the rest imported.
    std::string sIn = ReadFileBytes(Path("in.vcf"));
    size_t nSecond = sIn.find("BEGIN:VCARD", 1);
    WriteFileBytes(Path("in.vcf"), sIn.substr(0, nSecond) + "rubbish\r\n" + sIn.substr(nSecond));
    int nRubbishLine = 1 + int(std::count(sIn.begin(), sIn.begin() + long(nSecond), '\n'));

    CToolResult r = RunTool({Path("book.wab"), "import", Path("in.vcf")});
    ASSERT_EQ(r.nStatus, 0) << r.sOut;
    EXPECT_NE(r.sOut.find("line " + std::to_string(nRubbishLine) + ": text outside a card"), std::string::npos)
        << r.sOut;
    EXPECT_NE(r.sOut.find("imported 3 contacts; 0 cards skipped, 0 values cut\n"), std::string::npos) << r.sOut;
    ASSERT_EQ(RunTool({Path("book.wab"), "export", Path("out.vcf")}).sOut, "exported 3 contacts\n");

    std::vector<CommAddr> out;
    CxVCardReport report;
    ASSERT_TRUE(CxVCard::ReadFile(Path("out.vcf").c_str(), out, report));
    ASSERT_EQ(out.size(), in.size());
    for (size_t i = 0; i < in.size(); ++i) EXPECT_EQ(FirstDifference(in[i], out[i]), "") << i;

    // The export imports again to the same file, in either version.
    for (const char* szVersion : {"3.0", "4.0"}) {
        std::string sBook = Path(szVersion) + ".wab";
        ASSERT_EQ(RunTool({sBook, "import", Path("out.vcf")}).nStatus, 0);
        ASSERT_EQ(RunTool({sBook, "export", Path("again.vcf"), szVersion}).nStatus, 0);
        ASSERT_EQ(RunTool({Path("book.wab"), "export", Path("first.vcf"), szVersion}).nStatus, 0);
        EXPECT_EQ(ReadFileBytes(Path("again.vcf")), ReadFileBytes(Path("first.vcf"))) << szVersion;
    }

    // A file that cannot be read creates no address book; bad arguments are usage errors.
    EXPECT_EQ(RunTool({Path("none.wab"), "import", Path("missing.vcf")}).nStatus, 1);
    EXPECT_FALSE(FileExists(Path("none.wab")));
    EXPECT_EQ(RunTool({Path("book.wab"), "import"}).nStatus, 2);
    EXPECT_EQ(RunTool({Path("book.wab"), "export", Path("x.vcf"), "5.0"}).nStatus, 2);
    EXPECT_EQ(RunTool({Path("book.wab"), "export", Path("no-folder/x.vcf")}).nStatus, 1);
}
