// The address book file layer on its own: saves grouped into one batch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standins/wab32/WabFile.h"
#include "wab32/fixtures/WabStandinFixture.h"

namespace {

std::vector<CWabProp> Contact(const char* szName, const char* szEmail) {
    CWabProp name, email;
    name.ulTag = PR_DISPLAY_NAME;
    name.sText = szName;
    email.ulTag = PR_EMAIL_ADDRESS;
    email.sText = szEmail;
    return {name, email};
}

size_t EntryCount(const std::string& sFile) {
    CWabFile file;
    std::vector<CWabEntryRow> rows;
    if (file.Open(sFile, false) != CWabFile::OPEN_OK || !file.ListEntries(rows)) return size_t(-1);
    return rows.size();
}

}  // namespace

class WabFileTest : public WabStandinTest {};

// A refused save inside a batch undoes only itself, and nothing of the batch
// is stored before it is committed.
TEST_F(WabFileTest, BatchStoresEverythingAtCommitAndSkipsARefusedSave) {
    const std::string sFile = Path("batch.wab");
    CWabFile file;
    ASSERT_EQ(file.Open(sFile, true), CWabFile::OPEN_OK);
    ASSERT_TRUE(file.BeginBatch());
    int64_t nAnn = 0, nDup = 0, nBo = 0;
    EXPECT_EQ(file.Save(&nAnn, MAPI_MAILUSER, Contact("Ann", "ann@example.org"), {}, true), CWabFile::SAVE_OK);
    EXPECT_EQ(file.Save(&nDup, MAPI_MAILUSER, Contact("ANN", "ann@example.org"), {}, true),
              CWabFile::SAVE_DUPLICATE);
    EXPECT_EQ(file.Save(&nBo, MAPI_MAILUSER, Contact("Bo", "bo@example.org"), {}, true), CWabFile::SAVE_OK);
    EXPECT_EQ(nDup, 0);
    EXPECT_NE(nAnn, nBo);
    EXPECT_EQ(EntryCount(sFile), 0u);
    ASSERT_TRUE(file.CommitBatch());
    EXPECT_EQ(EntryCount(sFile), 2u);

    // After the batch, each save is its own transaction again.
    int64_t nCy = 0;
    EXPECT_EQ(file.Save(&nCy, MAPI_MAILUSER, Contact("Cy", "cy@example.org"), {}, true), CWabFile::SAVE_OK);
    EXPECT_EQ(EntryCount(sFile), 3u);
}
