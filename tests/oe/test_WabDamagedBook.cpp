// A damaged address book is not opened: the store reports it and writes
// nothing into it, so the next open does not show an emptied book.
#include <fstream>
#include <sstream>

#include "common/oe/CxWab.h"
#include "oe/fixtures/WabTestEnv.h"
#include "support/SqliteFile.h"

namespace {

std::string Bytes(const std::string& sPath) {
    std::ifstream in(sPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

using WabDamagedBook = WabTest;

TEST_F(WabDamagedBook, OpenFailsAndNothingIsWritten) {
    for (const char* szTable : {"entries", "props"}) {
        SCOPED_TRACE(szTable);
        std::string sFile = Path(std::string(szTable) + ".wab");
        ASSERT_TRUE(m_Standin.AddEntry(sFile, MAPI_MAILUSER, {WabValue::Text(PR_DISPLAY_NAME, "Ann Lee")}));
        ASSERT_TRUE(SqliteDamageRootPage(sFile, szTable));
        std::string sBefore = Bytes(sFile);

        CxWab wab;
        EXPECT_FALSE(wab.Open(sFile.c_str()));
        EXPECT_EQ(wab.GetAddrMgr()->GetCount(), 0u);
        auto pAddr = NewAddr("Bob", "Ray", "bob@example.com");
        EXPECT_FALSE(wab.AddAddr(pAddr.get()));
        EXPECT_FALSE(wab.SaveAddr(pAddr.get()));
        wab.Close();
        EXPECT_EQ(Bytes(sFile), sBefore);
    }
}

}  // namespace
