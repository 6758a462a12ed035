// Loading the address book library, opening and closing the store, and what
// each failing step leaves behind.
#include <filesystem>

#include "common/oe/CxWab.h"
#include "oe/fixtures/WabTestEnv.h"

namespace {

class WabConnectionTest : public WabTest {
protected:
    // A contact that lists under its first name.
    bool AddContact(const std::string& sFile, const std::string& sFirst) {
        return m_Standin.AddEntry(sFile, MAPI_MAILUSER,
                                  {WabValue::Text(PR_DISPLAY_NAME, sFirst), WabValue::Text(PR_GIVEN_NAME, sFirst)});
    }

    static std::vector<std::string> FirstNames(CxWab& wab) {
        std::vector<std::string> names;
        for (CommAddr* p = wab.GetAddrMgr()->GetFirst(); p != nullptr; p = wab.GetAddrMgr()->GetNext())
            names.push_back(p->szFirstName);
        return names;
    }
};

TEST_F(WabConnectionTest, OpensNamedFileOrDefaultBook) {
    const std::string sFile = Path("named.wab");
    ASSERT_TRUE(AddContact(sFile, "Named"));
    ASSERT_TRUE(AddContact("", "Default"));

    CxWab wab;
    ASSERT_TRUE(wab.Open(sFile.c_str()));
    EXPECT_EQ(FirstNames(wab), std::vector<std::string>{"Named"});
    for (const char* szName : {static_cast<const char*>(nullptr), ""}) {
        ASSERT_TRUE(wab.Open(szName));
        EXPECT_EQ(FirstNames(wab), std::vector<std::string>{"Default"});
    }

    // Given a name, the constructor opens it at once.
    CxWab wabNamed(sFile.c_str());
    EXPECT_TRUE(wabNamed.IsOpen());
    EXPECT_EQ(FirstNames(wabNamed), std::vector<std::string>{"Named"});
}

TEST_F(WabConnectionTest, LongFileNameIsCutTo259Bytes) {
    const std::string sDir = Path("d");
    std::filesystem::create_directories(sDir);
    const std::string sCut = sDir + "/" + std::string(259 - sDir.size() - 1, 'f');
    ASSERT_EQ(sCut.size(), 259u);
    const std::string sLong = sCut + std::string(300 - 259, 'x');

    {
        CxWab wab;
        EXPECT_TRUE(wab.Open(sLong.c_str()));
        EXPECT_TRUE(wab.AddAddr(NewAddr("Cut", "Name", "cut@example.com").get()));
    }
    // The book went to the cut name: a new store finds the contact there.
    EXPECT_TRUE(std::filesystem::exists(sCut));
    CxWab wab(sCut.c_str());
    EXPECT_EQ(FirstNames(wab), std::vector<std::string>{"Cut"});
}

TEST_F(WabConnectionTest, LibraryFromRegistryOrFallback) {
    const std::string sFile = Path("a.wab");
    ASSERT_TRUE(AddContact(sFile, "Ann"));

    struct Case {
        const char* szWhat;
        bool bKey;
        std::string sValue;
        bool bAvailable;
    };
    const Case cases[] = {
        {"full path", true, StandinPath(), true},
        {"value missing: WAB32.DLL beside the program", false, "", true},
        {"value empty: WAB32.DLL beside the program", true, "", true},
        {"library that cannot load", true, Path("missing/wab32.so"), false},
        {"library without WABOpen", true, "libm.so.6", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szWhat);
        WriteRegistry(Path("case.reg"), c.bKey, c.sValue);
        CxWab wab;
        EXPECT_EQ(wab.IsAvailable(), c.bAvailable);
        EXPECT_EQ(wab.Open(sFile.c_str()), c.bAvailable);
        EXPECT_EQ(wab.GetAddrMgr()->GetCount(), c.bAvailable ? 1u : 0u);
        if (!c.bAvailable) {
            // The library is looked for once: a good registry now changes nothing.
            WriteRegistry(Path("case.reg"), true, StandinPath());
            EXPECT_FALSE(wab.Open(sFile.c_str()));
            EXPECT_FALSE(wab.IsOpen());
            EXPECT_FALSE(wab.AddAddr(NewAddr("New", "One", "").get()));
        }
    }
}

TEST_F(WabConnectionTest, OpeningAgainRebuildsTheList) {
    const std::string sFileA = Path("a.wab");
    const std::string sFileB = Path("b.wab");
    for (const char* sz : {"Ann", "Bob", "Cid"}) ASSERT_TRUE(AddContact(sFileA, sz));
    ASSERT_TRUE(AddContact(sFileB, "Dan"));

    CxWab wab;
    ASSERT_TRUE(wab.Open(sFileA.c_str()));
    const long nLive = m_Standin.LiveObjects();
    const long nBuffers = m_Standin.OutstandingBuffers();
    ASSERT_TRUE(wab.Open(sFileA.c_str()));
    EXPECT_EQ(FirstNames(wab), (std::vector<std::string>{"Ann", "Bob", "Cid"}));
    EXPECT_EQ(m_Standin.LiveObjects(), nLive);
    EXPECT_EQ(m_Standin.OutstandingBuffers(), nBuffers);

    ASSERT_TRUE(wab.Open(sFileB.c_str()));
    EXPECT_EQ(FirstNames(wab), std::vector<std::string>{"Dan"});

    wab.Close();
    EXPECT_FALSE(wab.IsOpen());
    EXPECT_EQ(wab.GetAddrMgr()->GetCount(), 0u);
    EXPECT_EQ(m_Standin.LiveObjects(), 0);
    EXPECT_EQ(m_Standin.OutstandingBuffers(), 0);
    wab.Close();  // closing a closed store does nothing
    EXPECT_EQ(m_Standin.BadFrees(), 0);
}

TEST_F(WabConnectionTest, ClosedStoreWritesNothing) {
    CxWab wab;
    wab.Close();
    auto pAddr = NewAddr("Ann", "Lee", "ann@example.com");
    EXPECT_FALSE(wab.SaveAddr(pAddr.get()));
    EXPECT_FALSE(wab.AddAddr(pAddr.get()));
    EXPECT_FALSE(wab.SaveAddr(nullptr));
    EXPECT_FALSE(wab.AddAddr(nullptr));
    EXPECT_EQ(wab.GetAddrMgr()->GetCount(), 0u);
}

// Each failing step of opening and loading, and the state it leaves.
TEST_F(WabConnectionTest, FailuresWhileOpening) {
    const std::string sFile = Path("a.wab");
    for (const char* sz : {"Ann", "Bob", "Cid"}) ASSERT_TRUE(AddContact(sFile, sz));

    struct Case {
        const char* szFail;
        bool bResult;
        bool bOpen;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"WABOpen", false, false, {}},
        {"GetPAB", false, false, {}},
        {"OpenEntry:Container", false, false, {}},
        // The store stays usable for writing, with an empty list.
        {"GetContentsTable", true, true, {}},
        {"SetColumns", false, false, {}},
        {"SeekRow", false, false, {}},
        // Records read before the failing query are dropped with the list.
        {"QueryRows#3", false, false, {}},
        // An entry that cannot be opened or read is left out.
        {"OpenEntry:Read#2", true, true, {"Ann", "Cid"}},
        {"GetProps:Entry#1", true, true, {"Bob", "Cid"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szFail);
        const std::string sCase = Path("case" + std::to_string(n++) + ".wab");
        std::filesystem::copy_file(sFile, sCase);
        CxWab wab;
        m_Standin.SetFail(c.szFail);
        EXPECT_EQ(wab.Open(sCase.c_str()), c.bResult);
        m_Standin.SetFail("");
        EXPECT_EQ(wab.IsOpen(), c.bOpen);
        EXPECT_EQ(FirstNames(wab), c.names);
        if (!c.bOpen) {
            EXPECT_EQ(m_Standin.LiveObjects(), 0);
            EXPECT_EQ(m_Standin.OutstandingBuffers(), 0);
        } else {
            EXPECT_TRUE(wab.AddAddr(NewAddr("New", "Contact", "").get()));
        }
    }
}

}  // namespace
