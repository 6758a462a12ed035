// The stand-in Outlook on Contacts files it did not write, or that a damaged
// disk handed back: it refuses or reports them, never crashes, and changes
// nothing in a file that is not its own.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>

#include "olstandin/fixtures/OlTestUtil.h"
#include "support/SqliteFile.h"

namespace {

std::string Bytes(const std::string& sPath) {
    std::ifstream in(sPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return in ? ss.str() : "<none>";
}

bool Exists(const std::string& sPath) {
    struct stat st;
    return stat(sPath.c_str(), &st) == 0;
}

class OlContactsFile : public OlStandinTest {
protected:
    std::string ContactsFile() const { return m_sHome + "/OlStandin/contacts.db"; }
    // A Contacts file with two contacts, written by the stand-in itself.
    void MakeTwoContacts() {
        std::string sOut;
        ASSERT_EQ(RunOutlookExe("add contact FirstName=Anna LastName=Berg", &sOut), 0) << sOut;
        ASSERT_EQ(RunOutlookExe("add contact FirstName=Bert LastName=Cole", &sOut), 0) << sOut;
    }
};

// Values the schema forbids but a foreign writer can leave: every reader of
// those columns gets empty text instead of crashing the program that loaded
// the server.
TEST_F(OlContactsFile, NullTextColumnsReadAsEmpty) {
    const char* const kNulls[] = {
        "UPDATE items SET entry_id=NULL, folder=NULL",
        "UPDATE meta SET value=NULL",
        "INSERT INTO meta(key, value) VALUES('folder_name', NULL)",
    };
    for (const char* szSql : kNulls) {
        SCOPED_TRACE(szSql);
        MakeTwoContacts();
        ASSERT_TRUE(SqliteExecWithoutNotNull(ContactsFile(), szSql));
        std::string sOut;
        int rc = RunOutlookExe("list", &sOut);
        EXPECT_TRUE(rc == 0 || rc == 1) << rc << " " << sOut;

        IDispatch* pFolder = OpenContacts();
        ASSERT_NE(pFolder, nullptr);
        GetText(pFolder, u"Name");
        OlVar items, first;
        ASSERT_EQ(Get(pFolder, u"Items", &items.v), S_OK);
        pFolder->Release();
        EXPECT_EQ(Method(items.v.pdispVal, u"GetFirst", {}, &first.v), S_OK);
        remove(ContactsFile().c_str());
    }
}

// A table that stops on damage is an error, never a shorter list or a
// contact without its names.
TEST_F(OlContactsFile, DamagedTablesAreReportedNotCut) {
    for (const char* szTable : {"props", "items"}) {
        SCOPED_TRACE(szTable);
        MakeTwoContacts();
        ASSERT_TRUE(SqliteDamageRootPage(ContactsFile(), szTable));
        std::string sOut;
        EXPECT_EQ(RunOutlookExe("list", &sOut), 1) << sOut;
        EXPECT_NE(sOut.find("cannot read"), std::string::npos) << sOut;

        IDispatch* pItems = OpenItems();
        ASSERT_NE(pItems, nullptr);
        OlVar first, item, index;
        EXPECT_EQ(Method(pItems, u"GetFirst", {}, &first.v), DISP_E_EXCEPTION);
        EXPECT_EQ(first.v.vt, VT_EMPTY);
        if (std::string(szTable) == "props") {
            OlVar::I4(&index.v, 1);
            EXPECT_EQ(Method(pItems, u"Item", {&index.v}, &item.v), DISP_E_EXCEPTION);
        }
        pItems->Release();
        remove(ContactsFile().c_str());
    }
}

// A file that is not a Contacts file is refused before anything is written:
// same bytes, no journal beside it.
TEST_F(OlContactsFile, ForeignFilesAreRefusedUntouched) {
    const std::string sFile = m_sHome + "/foreign.db";
    struct Case {
        const char* szWhat;
        const char* szSql;  // null: a text file
    } const cases[] = {
        {"another program's database", "CREATE TABLE entries(id INTEGER PRIMARY KEY, objtype INTEGER);"
                                       "INSERT INTO entries VALUES(1, 6);"},
        {"our tables and a view",
         "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
         "CREATE TABLE items(id INTEGER PRIMARY KEY, folder TEXT NOT NULL DEFAULT '', kind INTEGER NOT NULL,"
         "  seq INTEGER NOT NULL, entry_id TEXT NOT NULL UNIQUE, created REAL NOT NULL, modified REAL NOT NULL);"
         "CREATE INDEX items_order ON items(folder, seq);"
         "CREATE TABLE props(item_id INTEGER NOT NULL REFERENCES items(id) ON DELETE CASCADE, name TEXT NOT NULL,"
         "  value, PRIMARY KEY(item_id, name)) WITHOUT ROWID;"
         "CREATE VIEW forever AS WITH RECURSIVE r(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM r) SELECT x FROM r;"},
        {"a text file", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szWhat);
        remove(sFile.c_str());
        if (c.szSql != nullptr) {
            ASSERT_TRUE(SqliteExec(sFile, c.szSql));
        } else {
            std::ofstream(sFile) << "FirstName=Anna\r\nLastName=Berg\r\n";
        }
        std::string sBefore = Bytes(sFile), sOut;
        EXPECT_EQ(RunOutlookExe("--file '" + sFile + "' list", &sOut), 1) << sOut;
        EXPECT_NE(sOut.find("not a Contacts file"), std::string::npos) << sOut;
        EXPECT_EQ(Bytes(sFile), sBefore);
        EXPECT_FALSE(Exists(sFile + "-wal"));
    }
}

}  // namespace
