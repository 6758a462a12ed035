// The stand-in address book library driven through its interfaces, loaded
// the way the WAB store loads it.
#include <sqlite3.h>
#include <stdlib.h>

#include <functional>
#include <string>
#include <vector>

#include "wab32/fixtures/WabStandinFixture.h"

namespace {

SPropValue TimeValue(ULONG ulTag, uint64_t nTicks) {
    SPropValue value = {};
    value.ulPropTag = ulTag;
    value.Value.ft.dwLowDateTime = DWORD(nTicks);
    value.Value.ft.dwHighDateTime = DWORD(nTicks >> 32);
    return value;
}

const SPropValue* FindProp(LPSPropValue pProps, ULONG cValues, ULONG ulTag) {
    for (ULONG i = 0; i < cValues; ++i)
        if (pProps[i].ulPropTag == ulTag) return &pProps[i];
    return nullptr;
}

}  // namespace

TEST_F(WabStandinTest, NamedFileIsCreatedAndDefaultBookLivesInTheDataHome) {
    {
        CTestBook book;
        OpenPab(book, Path("new.wab"));
        EXPECT_EQ(AddContact(book, "Ann Lee", "ann@example.org"), S_OK);
    }
    EXPECT_TRUE(FileExists(Path("new.wab")));
    {
        CTestBook book;
        OpenPab(book, Path("new.wab"));
        ASSERT_EQ(ListRows(book).size(), 1u);
    }

    // No parameter block, a none name and an empty name all open one default
    // book under $XDG_DATA_HOME, created with its folders on first use.
    std::string sHome = Path("home");
    ScopedEnv home("XDG_DATA_HOME", sHome);
    std::string sDefault = sHome + "/tessaro/PELLMARK/addressbook.wab";
    {
        CTestBook book;
        ASSERT_EQ(m_pfnWABOpen(&book.pAdrBook, &book.pWabObject, nullptr, 0), S_OK);
        EXPECT_TRUE(FileExists(sDefault));
    }
    {
        CTestBook book;
        OpenPab(book, "");
        EXPECT_EQ(AddContact(book, "Bo", "bo@example.org"), S_OK);
    }
    {
        CTestBook book;
        WAB_PARAM wp = {};
        wp.cbSize = sizeof(wp);
        ASSERT_EQ(m_pfnWABOpen(&book.pAdrBook, &book.pWabObject, &wp, 0), S_OK);
        ULONG cb = 0;
        LPENTRYID pId = nullptr;
        ASSERT_EQ(book.pAdrBook->GetPAB(&cb, &pId), S_OK);
        ASSERT_EQ(book.pAdrBook->OpenEntry(cb, pId, nullptr, 0, &cb, reinterpret_cast<LPUNKNOWN*>(&book.pPab)), S_OK);
        book.pWabObject->FreeBuffer(pId);
        std::vector<CRowInfo> rows = ListRows(book);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].sName, "Bo");
    }
    // The data home follows the program's rule: a relative $XDG_DATA_HOME is
    // ignored for $HOME/.local/share, and with neither there is no default.
    {
        ScopedEnv homeVar("HOME", Path("user"));
        home.Set("relative/data");
        CTestBook book;
        ASSERT_EQ(m_pfnWABOpen(&book.pAdrBook, &book.pWabObject, nullptr, 0), S_OK);
        EXPECT_TRUE(FileExists(Path("user") + "/.local/share/tessaro/PELLMARK/addressbook.wab"));
        EXPECT_FALSE(FileExists("relative"));
        book.Close();
        homeVar.Set(nullptr);
        EXPECT_EQ(m_pfnWABOpen(&book.pAdrBook, &book.pWabObject, nullptr, 0), MAPI_E_NO_ACCESS);
        EXPECT_EQ(book.pAdrBook, nullptr);
        home.Set(nullptr);
        EXPECT_EQ(m_pfnWABOpen(&book.pAdrBook, &book.pWabObject, nullptr, 0), MAPI_E_NO_ACCESS);
        EXPECT_FALSE(FileExists("/.local/share/tessaro/PELLMARK/addressbook.wab"));
    }

    // A file in a folder that does not exist cannot be created.
    CTestBook book;
    EXPECT_EQ(Open(book, Path("missing/dir/x.wab")), MAPI_E_CALL_FAILED);
    EXPECT_EQ(book.pAdrBook, nullptr);
}

TEST_F(WabStandinTest, FileThatIsNotOursFailsAndStaysAsItWas) {
    // A foreign SQLite database, which SQLite itself would happily open.
    std::string sForeign = Path("foreign.wab");
    sqlite3* pDb = nullptr;
    ASSERT_EQ(sqlite3_open(sForeign.c_str(), &pDb), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(pDb, "CREATE TABLE t(x); INSERT INTO t VALUES(1);", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(pDb);

    WriteFileBytes(Path("text.wab"), "Name,E-mail\r\nAnn,ann@example.org\r\n");
    WriteFileBytes(Path("header.wab"), std::string("SQLite format 3\0", 16) + std::string(200, 'x'));

    for (const char* szName : {"foreign.wab", "text.wab", "header.wab"}) {
        SCOPED_TRACE(szName);
        std::string sBefore = ReadFileBytes(Path(szName));
        CTestBook book;
        book.pAdrBook = reinterpret_cast<LPADRBOOK>(1);  // must be cleared
        EXPECT_EQ(Open(book, Path(szName)), MAPI_E_CORRUPT_DATA);
        EXPECT_EQ(book.pAdrBook, nullptr);
        EXPECT_EQ(book.pWabObject, nullptr);
        EXPECT_EQ(ReadFileBytes(Path(szName)), sBefore);
        EXPECT_FALSE(FileExists(Path(szName) + "-journal"));
    }
}

TEST_F(WabStandinTest, TableListsEveryEntryInOrderAndEntriesKeepTypedValues) {
    const uint64_t nBirthday = 116444736000000000ull;  // 1970-01-01
    const BYTE abBlob[] = {0, 1, 2, 0xFF};
    {
        CTestBook book;
        OpenPab(book, Path("a.wab"));
        SPropValue blob = {};
        blob.ulPropTag = PROP_TAG(PT_BINARY, 0x6001);
        blob.Value.bin.cb = sizeof(abBlob);
        blob.Value.bin.lpb = const_cast<LPBYTE>(abBlob);
        SPropValue number = {};
        number.ulPropTag = PROP_TAG(PT_LONG, 0x6002);
        number.Value.l = -7;
        ASSERT_EQ(AddEntry(book, MAPI_MAILUSER,
                           {TextValue(PR_DISPLAY_NAME, "Ann Lee"), TextValue(PR_GIVEN_NAME, "Ann"),
                            TimeValue(PR_BIRTHDAY, nBirthday), blob, number}),
                  S_OK);
        ASSERT_EQ(AddEntry(book, MAPI_DISTLIST, {TextValue(PR_DISPLAY_NAME, "Friends")}), S_OK);
        ASSERT_EQ(AddContact(book, "Bo Berg", nullptr), S_OK);
    }

    CTestBook book;
    OpenPab(book, Path("a.wab"));
    std::vector<CRowInfo> rows = ListRows(book);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].sName, "Ann Lee");
    EXPECT_EQ(rows[0].ulObjType, MAPI_MAILUSER);
    EXPECT_EQ(rows[1].sName, "Friends");
    EXPECT_EQ(rows[1].ulObjType, MAPI_DISTLIST);
    EXPECT_EQ(rows[2].sName, "Bo Berg");

    // A query past the end keeps giving an empty row set.
    LPMAPITABLE pTable = nullptr;
    ASSERT_EQ(book.pPab->GetContentsTable(0, &pTable), S_OK);
    LONG nSought = 0;
    ASSERT_EQ(pTable->SeekRow(BOOKMARK_END, 0, &nSought), S_OK);
    for (int i = 0; i < 2; ++i) {
        LPSRowSet pRows = nullptr;
        ASSERT_EQ(pTable->QueryRows(1, 0, &pRows), S_OK);
        ASSERT_NE(pRows, nullptr);
        EXPECT_EQ(pRows->cRows, 0u);
        book.pWabObject->FreeBuffer(pRows);
    }
    pTable->Release();

    // Every property of an entry, each with its type.
    std::string sId = rows[0].sEntryId;
    ULONG ulType = 0;
    LPUNKNOWN pUnk = nullptr;
    ASSERT_EQ(book.pAdrBook->OpenEntry(ULONG(sId.size()), reinterpret_cast<LPENTRYID>(&sId[0]), nullptr, 0, &ulType,
                                       &pUnk),
              S_OK);
    EXPECT_EQ(ulType, MAPI_MAILUSER);
    LPMAILUSER pEntry = static_cast<LPMAILUSER>(pUnk);
    ULONG cValues = 0;
    LPSPropValue pProps = nullptr;
    ASSERT_EQ(pEntry->GetProps(nullptr, 0, &cValues, &pProps), S_OK);
    const SPropValue* pValue = FindProp(pProps, cValues, PR_GIVEN_NAME);
    ASSERT_NE(pValue, nullptr);
    EXPECT_STREQ(pValue->Value.lpszA, "Ann");
    pValue = FindProp(pProps, cValues, PR_BIRTHDAY);
    ASSERT_NE(pValue, nullptr);
    EXPECT_EQ((uint64_t(pValue->Value.ft.dwHighDateTime) << 32) | pValue->Value.ft.dwLowDateTime, nBirthday);
    pValue = FindProp(pProps, cValues, PROP_TAG(PT_BINARY, 0x6001));
    ASSERT_NE(pValue, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(pValue->Value.bin.lpb), pValue->Value.bin.cb),
              std::string(reinterpret_cast<const char*>(abBlob), sizeof(abBlob)));
    pValue = FindProp(pProps, cValues, PROP_TAG(PT_LONG, 0x6002));
    ASSERT_NE(pValue, nullptr);
    EXPECT_EQ(pValue->Value.l, -7);
    pValue = FindProp(pProps, cValues, PR_ENTRYID);
    ASSERT_NE(pValue, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(pValue->Value.bin.lpb), pValue->Value.bin.cb), sId);
    EXPECT_EQ(FindProp(pProps, cValues, PR_SURNAME), nullptr);
    book.pWabObject->FreeBuffer(pProps);

    // Asked-for tags come back in the asked order, a missing one as PT_ERROR.
    SizedSPropTagArray(2, tags) = {2, {PR_SURNAME, PR_GIVEN_NAME}};
    ASSERT_EQ(pEntry->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &cValues, &pProps),
              MAPI_W_ERRORS_RETURNED);
    ASSERT_EQ(cValues, 2u);
    EXPECT_EQ(pProps[0].ulPropTag, PROP_TAG(PT_ERROR, PROP_ID(PR_SURNAME)));
    EXPECT_EQ(pProps[1].ulPropTag, PR_GIVEN_NAME);
    book.pWabObject->FreeBuffer(pProps);
    pEntry->Release();

    // Identifiers that are not ours, and the container asked for its templates.
    BYTE abBad[20] = {};
    EXPECT_EQ(book.pAdrBook->OpenEntry(sizeof(abBad), reinterpret_cast<LPENTRYID>(abBad), nullptr, 0, &ulType, &pUnk),
              MAPI_E_UNKNOWN_ENTRYID);
    EXPECT_EQ(pUnk, nullptr);
    SizedSPropTagArray(2, templates) = {2, {PR_DEF_CREATE_MAILUSER, PR_DEF_CREATE_DL}};
    ASSERT_EQ(book.pPab->GetProps(reinterpret_cast<LPSPropTagArray>(&templates), 0, &cValues, &pProps), S_OK);
    ASSERT_EQ(cValues, 2u);
    EXPECT_EQ(pProps[0].ulPropTag, PR_DEF_CREATE_MAILUSER);
    EXPECT_EQ(pProps[1].ulPropTag, PR_DEF_CREATE_DL);
    EXPECT_NE(std::string(reinterpret_cast<char*>(pProps[0].Value.bin.lpb), pProps[0].Value.bin.cb),
              std::string(reinterpret_cast<char*>(pProps[1].Value.bin.lpb), pProps[1].Value.bin.cb));
    LPMAPIPROP pNew = nullptr;
    EXPECT_EQ(book.pPab->CreateEntry(sizeof(abBad), reinterpret_cast<LPENTRYID>(abBad), 0, &pNew),
              MAPI_E_INVALID_ENTRYID);
    EXPECT_EQ(pNew, nullptr);
    book.pWabObject->FreeBuffer(pProps);
}

TEST_F(WabStandinTest, ChangesReachTheFileOnlyOnSaveChanges) {
    std::string sFile = Path("s.wab");
    CTestBook writer, reader;
    OpenPab(writer, sFile);
    OpenPab(reader, sFile);

    // A new entry with values set but never saved leaves nothing behind.
    SizedSPropTagArray(2, tags) = {2, {PR_DEF_CREATE_MAILUSER, PR_DEF_CREATE_DL}};
    ULONG cValues = 0;
    LPSPropValue pTemplates = nullptr;
    ASSERT_EQ(writer.pPab->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &cValues, &pTemplates), S_OK);
    LPMAPIPROP pNew = nullptr;
    ASSERT_EQ(writer.pPab->CreateEntry(pTemplates[0].Value.bin.cb,
                                       reinterpret_cast<LPENTRYID>(pTemplates[0].Value.bin.lpb),
                                       CREATE_CHECK_DUP_LOOSE, &pNew),
              S_OK);
    writer.pWabObject->FreeBuffer(pTemplates);
    SPropValue name = TextValue(PR_DISPLAY_NAME, "Unsaved");
    ASSERT_EQ(pNew->SetProps(1, &name, nullptr), S_OK);
    pNew->Release();
    EXPECT_TRUE(ListRows(reader).empty());

    ASSERT_EQ(AddEntry(writer, MAPI_MAILUSER,
                       {TextValue(PR_DISPLAY_NAME, "Ann"), TextValue(PR_COMPANY_NAME, "Old Co")}),
              S_OK);
    std::string sId = ListRows(reader).at(0).sEntryId;

    // An entry opened for reading refuses changes.
    ULONG ulType = 0;
    LPUNKNOWN pUnk = nullptr;
    ASSERT_EQ(writer.pAdrBook->OpenEntry(ULONG(sId.size()), reinterpret_cast<LPENTRYID>(&sId[0]), nullptr, 0,
                                         &ulType, &pUnk),
              S_OK);
    SPropValue company = TextValue(PR_COMPANY_NAME, "New Co");
    EXPECT_EQ(static_cast<LPMAILUSER>(pUnk)->SetProps(1, &company, nullptr), MAPI_E_NO_ACCESS);
    EXPECT_EQ(static_cast<LPMAILUSER>(pUnk)->SaveChanges(0), MAPI_E_NO_ACCESS);
    pUnk->Release();

    // Opened for changing: the file changes at SaveChanges, other values kept.
    ASSERT_EQ(writer.pAdrBook->OpenEntry(ULONG(sId.size()), reinterpret_cast<LPENTRYID>(&sId[0]), nullptr,
                                         MAPI_MODIFY, &ulType, &pUnk),
              S_OK);
    LPMAILUSER pEntry = static_cast<LPMAILUSER>(pUnk);
    ASSERT_EQ(pEntry->SetProps(1, &company, nullptr), S_OK);
    EXPECT_EQ(EntryText(reader, sId, PR_COMPANY_NAME), "Old Co");

    // A failed save stores nothing; the next one stores the change.
    ASSERT_EQ(m_Hooks.pfnSetFail("SaveChanges#1"), 0);
    EXPECT_EQ(pEntry->SaveChanges(0), MAPI_E_CALL_FAILED);
    EXPECT_EQ(EntryText(reader, sId, PR_COMPANY_NAME), "Old Co");
    EXPECT_EQ(pEntry->SaveChanges(0), S_OK);
    EXPECT_EQ(EntryText(reader, sId, PR_COMPANY_NAME), "New Co");
    EXPECT_EQ(EntryText(reader, sId, PR_DISPLAY_NAME), "Ann");

    // A value that cannot be stored refuses the whole call.
    SPropValue bad[2] = {TextValue(PR_SURNAME, "Lee"), TextValue(PR_GIVEN_NAME, nullptr)};
    EXPECT_EQ(pEntry->SetProps(2, bad, nullptr), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(pEntry->SaveChanges(0), S_OK);
    EXPECT_EQ(EntryText(reader, sId, PR_SURNAME), "<none>");
    pEntry->Release();
}

TEST_F(WabStandinTest, LooseDuplicateCheckRefusesOnlyAnEqualNewMailUser) {
    struct Case {
        const char* szName;
        const char* szEmail;
        ULONG ulObjType;
        ULONG ulFlags;
        HRESULT hrExpected;
    };
    const Case cases[] = {
        {"Ann Lee", "ann@example.org", MAPI_MAILUSER, CREATE_CHECK_DUP_LOOSE, MAPI_E_COLLISION},
        {"ANN LEE", "Ann@Example.org", MAPI_MAILUSER, CREATE_CHECK_DUP_LOOSE, MAPI_E_COLLISION},
        {"Ann Lee", "ann@other.org", MAPI_MAILUSER, CREATE_CHECK_DUP_LOOSE, S_OK},
        {"Ann Le", "ann@example.org", MAPI_MAILUSER, CREATE_CHECK_DUP_LOOSE, S_OK},
        {"Ann Lee", "ann@example.org", MAPI_MAILUSER, 0, S_OK},
        {"Ann Lee", "ann@example.org", MAPI_DISTLIST, CREATE_CHECK_DUP_LOOSE, S_OK},
        {"Bo", nullptr, MAPI_MAILUSER, CREATE_CHECK_DUP_LOOSE, MAPI_E_COLLISION},  // both without e-mail
        {nullptr, nullptr, MAPI_MAILUSER, CREATE_CHECK_DUP_LOOSE, MAPI_E_COLLISION},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.szName ? c.szName : "-") + " / " + (c.szEmail ? c.szEmail : "-"));
        std::string sFile = Path("dup.wab");
        unlink(sFile.c_str());
        CTestBook book;
        OpenPab(book, sFile);
        ASSERT_EQ(AddContact(book, "Ann Lee", "ann@example.org", 0), S_OK);
        ASSERT_EQ(AddContact(book, "Bo", nullptr, 0), S_OK);
        ASSERT_EQ(AddContact(book, nullptr, nullptr, 0), S_OK);
        std::vector<SPropValue> values;
        if (c.szName) values.push_back(TextValue(PR_DISPLAY_NAME, c.szName));
        if (c.szEmail) values.push_back(TextValue(PR_EMAIL_ADDRESS, c.szEmail));
        EXPECT_EQ(AddEntry(book, c.ulObjType, values, c.ulFlags), c.hrExpected);
        EXPECT_EQ(ListRows(book).size(), c.hrExpected == S_OK ? 4u : 3u);
    }
}

TEST_F(WabStandinTest, ChosenCallsFail) {
    std::string sFile = Path("f.wab");
    {
        CTestBook book;
        OpenPab(book, sFile);
        ASSERT_EQ(AddContact(book, "Ann", "ann@example.org"), S_OK);
    }

    // Each case opens the book with nothing failing, then sets the list and
    // makes the call.
    struct Case {
        const char* szFail;
        HRESULT hrExpected;
        std::function<HRESULT(CTestBook&, const std::string& sId)> call;
    };
    auto openEntry = [](ULONG ulFlags) {
        return [ulFlags](CTestBook& book, const std::string& sId) {
            std::string s = sId;
            ULONG ulType = 0;
            LPUNKNOWN pUnk = nullptr;
            HRESULT hr = book.pAdrBook->OpenEntry(ULONG(s.size()), reinterpret_cast<LPENTRYID>(&s[0]), nullptr,
                                                  ulFlags, &ulType, &pUnk);
            if (pUnk != nullptr) pUnk->Release();
            return hr;
        };
    };
    auto openContainer = [](CTestBook& book, const std::string&) {
        ULONG ulType = 0;
        LPUNKNOWN pUnk = nullptr;
        HRESULT hr = book.pAdrBook->OpenEntry(0, nullptr, nullptr, 0, &ulType, &pUnk);
        if (pUnk != nullptr) pUnk->Release();
        return hr;
    };
    auto entryCall = [](std::function<HRESULT(LPMAILUSER, LPWABOBJECT)> fn) {
        return [fn](CTestBook& book, const std::string& sId) {
            std::string s = sId;
            ULONG ulType = 0;
            LPUNKNOWN pUnk = nullptr;
            HRESULT hr = book.pAdrBook->OpenEntry(ULONG(s.size()), reinterpret_cast<LPENTRYID>(&s[0]), nullptr,
                                                  MAPI_MODIFY, &ulType, &pUnk);
            if (FAILED(hr)) return hr;
            hr = fn(static_cast<LPMAILUSER>(pUnk), book.pWabObject);
            pUnk->Release();
            return hr;
        };
    };
    auto tableCall = [](std::function<HRESULT(LPMAPITABLE, LPWABOBJECT)> fn) {
        return [fn](CTestBook& book, const std::string&) {
            LPMAPITABLE pTable = nullptr;
            HRESULT hr = book.pPab->GetContentsTable(0, &pTable);
            if (FAILED(hr)) return hr;
            hr = fn(pTable, book.pWabObject);
            pTable->Release();
            return hr;
        };
    };
    auto getPab = [](CTestBook& book, const std::string&) {
        ULONG cb = 0;
        LPENTRYID pId = nullptr;
        HRESULT hr = book.pAdrBook->GetPAB(&cb, &pId);
        book.pWabObject->FreeBuffer(pId);
        return hr;
    };
    auto getAllProps = [](LPMAILUSER pEntry, LPWABOBJECT pWab) {
        ULONG c = 0;
        LPSPropValue p = nullptr;
        HRESULT hr = pEntry->GetProps(nullptr, 0, &c, &p);
        pWab->FreeBuffer(p);
        return hr;
    };
    SPropValue title = TextValue(PR_TITLE, "Dr");
    const Case cases[] = {
        {"GetPAB", MAPI_E_CALL_FAILED, getPab},
        {"AllocateBuffer", MAPI_E_NOT_ENOUGH_MEMORY, getPab},
        {"OpenEntry:Container", MAPI_E_NOT_FOUND, openContainer},
        {"OpenEntry:Container", S_OK, openEntry(0)},
        {"OpenEntry:Read", S_OK, openContainer},
        {"OpenEntry:Read", MAPI_E_NOT_FOUND, openEntry(0)},
        {"OpenEntry:Read", S_OK, openEntry(MAPI_MODIFY)},
        {"OpenEntry:MAPI_MODIFY", MAPI_E_NOT_FOUND, openEntry(MAPI_MODIFY)},
        {"OpenEntry:MAPI_MODIFY", S_OK, openEntry(0)},
        {"OpenEntry", MAPI_E_NOT_FOUND, openEntry(0)},
        {"GetContentsTable", MAPI_E_CALL_FAILED, tableCall([](LPMAPITABLE, LPWABOBJECT) { return S_OK; })},
        {"SetColumns", MAPI_E_CALL_FAILED, tableCall([](LPMAPITABLE t, LPWABOBJECT) {
             SizedSPropTagArray(1, cols) = {1, {PR_DISPLAY_NAME}};
             return t->SetColumns(reinterpret_cast<LPSPropTagArray>(&cols), 0);
         })},
        {"SeekRow", MAPI_E_CALL_FAILED,
         tableCall([](LPMAPITABLE t, LPWABOBJECT) { return t->SeekRow(BOOKMARK_BEGINNING, 0, nullptr); })},
        {"QueryRows", MAPI_E_CALL_FAILED, tableCall([](LPMAPITABLE t, LPWABOBJECT) {
             LPSRowSet p = nullptr;
             return t->QueryRows(1, 0, &p);
         })},
        {"AllocateMore", MAPI_E_NOT_ENOUGH_MEMORY, tableCall([](LPMAPITABLE t, LPWABOBJECT) {
             LPSRowSet p = nullptr;
             return t->QueryRows(1, 0, &p);  // the row's name and identifier
         })},
        {"GetProps:Entry", MAPI_E_CALL_FAILED, entryCall(getAllProps)},
        {"GetProps:Container", S_OK, entryCall(getAllProps)},
        {"GetProps", MAPI_E_CALL_FAILED, entryCall(getAllProps)},
        {"SetProps", MAPI_E_CALL_FAILED,
         entryCall([&](LPMAILUSER e, LPWABOBJECT) { return e->SetProps(1, &title, nullptr); })},
        {"SaveChanges", MAPI_E_CALL_FAILED, entryCall([&](LPMAILUSER e, LPWABOBJECT) {
             e->SetProps(1, &title, nullptr);
             return e->SaveChanges(0);
         })},
        {"CreateEntry", MAPI_E_CALL_FAILED, [this](CTestBook& book, const std::string&) {
             return AddContact(book, "New", "new@example.org");
         }},
        {"GetProps:Container", MAPI_E_CALL_FAILED, [this](CTestBook& book, const std::string&) {
             return AddContact(book, "New", "new@example.org");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szFail);
        CTestBook book;
        OpenPab(book, sFile);
        std::string sId = ListRows(book).at(0).sEntryId;
        ASSERT_EQ(m_Hooks.pfnSetFail(c.szFail), 0);
        EXPECT_EQ(c.call(book, sId), c.hrExpected);
        ASSERT_EQ(m_Hooks.pfnSetFail(""), 0);
    }

    // WABOpen itself, from the list and from the environment.
    CTestBook book;
    ASSERT_EQ(m_Hooks.pfnSetFail("WABOpen"), 0);
    EXPECT_EQ(Open(book, sFile), MAPI_E_CALL_FAILED);
    EXPECT_EQ(book.pAdrBook, nullptr);
    m_FailEnv.Set("GetPAB, QueryRows#2");
    ASSERT_EQ(Open(book, sFile), S_OK);  // the environment replaced the list
    EXPECT_EQ(getPab(book, ""), MAPI_E_CALL_FAILED);
    book.Close();
    m_FailEnv.Set("NoSuchCall");
    EXPECT_EQ(Open(book, sFile), MAPI_E_INVALID_PARAMETER);
    m_FailEnv.Set(nullptr);

    // "#N" fails the N-th matching call only; unknown names change nothing.
    for (const char* szBad : {"NoSuchCall", "OpenEntry:Nothing", "QueryRows#0", "QueryRows#x", "QueryRows#-1",
                              "QueryRows:", "GetProps:Read", ":Entry", "GetPAB,Bad", "GetPAB@2"})
        EXPECT_EQ(m_Hooks.pfnSetFail(szBad), -1) << szBad;
    ASSERT_EQ(m_Hooks.pfnSetFail(""), 0);
    OpenPab(book, sFile);
    ASSERT_EQ(m_Hooks.pfnSetFail("queryrows#2"), 0);  // names ignore case
    LPMAPITABLE pTable = nullptr;
    ASSERT_EQ(book.pPab->GetContentsTable(0, &pTable), S_OK);
    HRESULT results[3];
    for (HRESULT& hr : results) {
        LPSRowSet pRows = nullptr;
        hr = pTable->QueryRows(1, 0, &pRows);
        if (pRows != nullptr) {
            for (ULONG i = 0; i < pRows->cRows; ++i) book.pWabObject->FreeBuffer(pRows->aRow[i].lpProps);
            book.pWabObject->FreeBuffer(pRows);
        }
    }
    EXPECT_EQ(results[0], S_OK);
    EXPECT_EQ(results[1], MAPI_E_CALL_FAILED);
    EXPECT_EQ(results[2], S_OK);
    pTable->Release();
}

TEST_F(WabStandinTest, TemplatesCanBeMissingOrOutOfOrder) {
    CTestBook book;
    OpenPab(book, Path("t.wab"));
    SizedSPropTagArray(2, tags) = {2, {PR_DEF_CREATE_MAILUSER, PR_DEF_CREATE_DL}};
    ULONG cValues = 0;
    LPSPropValue pProps = nullptr;

    ASSERT_EQ(m_Hooks.pfnSetFail("Templates:Missing"), 0);
    ASSERT_EQ(book.pPab->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &cValues, &pProps),
              MAPI_W_ERRORS_RETURNED);
    ASSERT_EQ(cValues, 2u);
    EXPECT_EQ(pProps[0].ulPropTag, PROP_TAG(PT_ERROR, PROP_ID(PR_DEF_CREATE_MAILUSER)));
    EXPECT_EQ(pProps[1].ulPropTag, PROP_TAG(PT_ERROR, PROP_ID(PR_DEF_CREATE_DL)));
    book.pWabObject->FreeBuffer(pProps);

    ASSERT_EQ(m_Hooks.pfnSetFail("Templates:Swapped"), 0);
    ASSERT_EQ(book.pPab->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &cValues, &pProps), S_OK);
    ASSERT_EQ(cValues, 2u);
    EXPECT_EQ(pProps[0].ulPropTag, PR_DEF_CREATE_DL);
    EXPECT_EQ(pProps[1].ulPropTag, PR_DEF_CREATE_MAILUSER);
    book.pWabObject->FreeBuffer(pProps);
}

TEST_F(WabStandinTest, BuffersAndObjectsAreCountedAndOutliveTheBook) {
    CTestBook book;
    OpenPab(book, Path("c.wab"));
    EXPECT_EQ(m_Hooks.LiveObjects(), 3);  // address book, WAB object, container

    // Blocks from AllocateMore go with their parent.
    LPVOID pParent = nullptr, pChild = nullptr;
    ASSERT_EQ(book.pWabObject->AllocateBuffer(16, &pParent), S_OK);
    ASSERT_EQ(book.pWabObject->AllocateMore(32, pParent, &pChild), S_OK);
    EXPECT_EQ(m_Hooks.OutstandingBuffers(), 1);
    EXPECT_EQ(book.pWabObject->FreeBuffer(pChild), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(book.pWabObject->FreeBuffer(pParent), S_OK);
    EXPECT_EQ(book.pWabObject->FreeBuffer(pParent), MAPI_E_INVALID_PARAMETER);  // freed twice
    EXPECT_EQ(book.pWabObject->FreeBuffer(nullptr), S_OK);
    EXPECT_EQ(m_Hooks.BadFrees() - m_nBadFreesBefore, 2);
    m_nBadFreesBefore = m_Hooks.BadFrees();
    EXPECT_EQ(m_Hooks.OutstandingBuffers(), 0);

    // The container still works after the book and the WAB object are gone,
    // as it does while the store closes.
    book.pAdrBook->Release();
    book.pWabObject->Release();
    book.pAdrBook = nullptr;
    book.pWabObject = nullptr;
    EXPECT_EQ(m_Hooks.LiveObjects(), 1);
    LPMAPITABLE pTable = nullptr;
    ASSERT_EQ(book.pPab->GetContentsTable(0, &pTable), S_OK);
    EXPECT_EQ(pTable->AddRef(), 2u);
    EXPECT_EQ(pTable->Release(), 1u);
    EXPECT_EQ(pTable->Release(), 0u);
    EXPECT_EQ(m_Hooks.LiveObjects(), 1);
}
