// Address books that carry our marks but not our contents: a schema made by
// someone else, a damaged file, ids a foreign writer chose. None is trusted,
// none is written to by mistake.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standins/wab32/WabFile.h"
#include "support/SqliteFile.h"
#include "wab32/fixtures/WabStandinFixture.h"

namespace {

class WabForeignFile : public WabStandinTest {
protected:
    // A book of two contacts written by the file layer.
    std::string MakeBook(const char* szName) {
        std::string sFile = Path(szName);
        CWabFile file;
        EXPECT_EQ(file.Open(sFile, true), CWabFile::OPEN_OK);
        for (const char* szContact : {"Ann", "Bob"}) {
            CWabProp name;
            name.ulTag = PR_DISPLAY_NAME;
            name.sText = szContact;
            int64_t nId = 0;
            EXPECT_EQ(file.Save(&nId, true, MAPI_MAILUSER, {name}, {}, false), CWabFile::SAVE_OK);
        }
        return sFile;
    }
};

// Marks and header are right, the rest is not ours or not readable: the
// file is refused as it is, byte for byte, before any of it is used.
TEST_F(WabForeignFile, RefusedUntouchedWhenNotExactlyOursOrDamaged) {
    struct Case {
        const char* szWhat;
        const char* szSql;      // run on the book, or null
        const char* szDamaged;  // the table or index whose root page is broken, or null
        CWabFile::OpenResult expected;
    } const cases[] = {
        {"entries as an endless view",
         "DROP TABLE entries; CREATE VIEW entries(id, objtype) AS WITH RECURSIVE r(x) AS"
         " (SELECT 1 UNION ALL SELECT x + 1 FROM r) SELECT x, 6 FROM r;",
         nullptr, CWabFile::OPEN_NOT_OURS},
        {"a trigger", "CREATE TRIGGER t AFTER INSERT ON entries BEGIN DELETE FROM props; END;", nullptr,
         CWabFile::OPEN_NOT_OURS},
        {"another table", "CREATE TABLE notes(x);", nullptr, CWabFile::OPEN_NOT_OURS},
        {"a column less", "ALTER TABLE entries DROP COLUMN objtype;", nullptr, CWabFile::OPEN_NOT_OURS},
        {"damaged properties", nullptr, "props", CWabFile::OPEN_DAMAGED},
        {"damaged entries", nullptr, "entries", CWabFile::OPEN_DAMAGED},
        {"damaged index", nullptr, "props_value", CWabFile::OPEN_DAMAGED},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szWhat);
        std::string sFile = MakeBook(("book" + std::to_string(n++) + ".wab").c_str());
        if (c.szSql != nullptr) {
            ASSERT_TRUE(SqliteExec(sFile, c.szSql));
        }
        if (c.szDamaged != nullptr) {
            ASSERT_TRUE(SqliteDamageRootPage(sFile, c.szDamaged));
        }
        std::string sBefore = ReadFileBytes(sFile);

        CWabFile file;
        EXPECT_EQ(file.Open(sFile, true), c.expected) << file.Error();
        CTestBook book;
        EXPECT_EQ(Open(book, sFile), MAPI_E_CORRUPT_DATA);
        EXPECT_EQ(book.pAdrBook, nullptr);
        EXPECT_EQ(ReadFileBytes(sFile), sBefore);
        EXPECT_FALSE(FileExists(sFile + "-journal"));
    }
}

// An entry a foreign writer stored with id 0 is an entry like any other:
// saving it updates it in place instead of adding a copy.
TEST_F(WabForeignFile, EntryWithIdZeroIsUpdatedInPlace) {
    std::string sFile = MakeBook("zero.wab");
    ASSERT_TRUE(SqliteExec(sFile, "DELETE FROM props WHERE entry=2; DELETE FROM entries WHERE id=2;"
                                  "UPDATE entries SET id=0; UPDATE props SET entry=0;"));
    CTestBook book;
    OpenPab(book, sFile);
    std::vector<CRowInfo> rows = ListRows(book);
    ASSERT_EQ(rows.size(), 1u);
    ULONG ulType = 0;
    LPMAILUSER pUser = nullptr;
    ASSERT_EQ(book.pAdrBook->OpenEntry(ULONG(rows[0].sEntryId.size()),
                                       reinterpret_cast<LPENTRYID>(&rows[0].sEntryId[0]), nullptr, MAPI_MODIFY,
                                       &ulType, reinterpret_cast<LPUNKNOWN*>(&pUser)),
              S_OK);
    SPropValue name = TextValue(PR_DISPLAY_NAME, "Ann Two");
    EXPECT_EQ(pUser->SetProps(1, &name, nullptr), S_OK);
    EXPECT_EQ(pUser->SaveChanges(0), S_OK);
    pUser->Release();
    book.Close();

    CTestBook again;
    OpenPab(again, sFile);
    rows = ListRows(again);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].sName, "Ann Two");
}

}  // namespace
