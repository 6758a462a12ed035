// The contact detail view: which field lands in which box, what is never
// shown, that nothing typed reaches the record, and the home page button.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <cstring>
#include <string>
#include <vector>

#include "app/ui/Addrdetail.h"
#include "platform/win32/WinShell.h"

namespace {

std::vector<std::string> g_opened;

HINSTANCE RecordShell(HWND, LPCSTR, LPCSTR lpFile, LPCSTR, LPCSTR, INT) {
    g_opened.push_back(lpFile ? lpFile : "<null>");
    return reinterpret_cast<HINSTANCE>(42);
}

class AddrDetailTest : public ::testing::Test {
protected:
    void SetUp() override {
        memset(&m_addr, 0, sizeof(m_addr));
        g_opened.clear();
        m_pfnOld = SetShellExecuteHandler(RecordShell);
    }
    void TearDown() override { SetShellExecuteHandler(m_pfnOld); }

    template <typename T>
    T* Find(const char* szName) {
        T* p = m_form.findChild<T*>(szName);
        EXPECT_NE(p, nullptr) << szName;
        return p;
    }
    QString Text(const char* szName) {
        if (auto* e = m_form.findChild<QLineEdit*>(szName)) return e->text();
        if (auto* m = m_form.findChild<QPlainTextEdit*>(szName)) return m->toPlainText();
        ADD_FAILURE() << "no box " << szName;
        return QString();
    }

    CommAddr m_addr;
    TfmAddrDetail m_form;
    PFN_SHELLEXECUTE m_pfnOld = nullptr;
};

TEST_F(AddrDetailTest, EveryShownFieldLandsInItsBox) {
    // Each field gets a text that names it, so a swapped pair shows up.
    struct {
        int nField;
        const char* szBox;
    } const kMap[] = {
        {1, "edtFirst"},        {3, "edtLast"},          {53, "edtCompany"},      {55, "edtTitle"},
        {25, "edtBusiTel"},     {24, "edtHomeTel"},      {26, "edtMobileTel"},    {27, "edtOtherTel"},
        {37, "edtEmail"},       {34, "edtFax"},          {36, "edtPager"},        {28, "edtMainTel"},
        {75, "edtCategory"},    {9, "memBusiStreet"},    {10, "edtBusiCity"},     {11, "edtBusiState"},
        {12, "edtBusiPostal"},  {13, "edtBusiCountry"},  {14, "memHomeStreet"},   {15, "edtHomeCity"},
        {16, "edtHomeState"},   {17, "edtHomePostal"},   {18, "edtHomeCountry"},  {19, "memOtherStreet"},
        {20, "edtOtherCity"},   {21, "edtOtherState"},   {22, "edtOtherPostal"},  {23, "edtOtherCountry"},
        {43, "memNotes"},       {44, "edtCustom1"},      {48, "edtCustom5"},      {52, "edtCustom9"},
        {56, "edtIM1"},         {57, "edtIM2"},          {41, "edtHomepage"},
    };
    for (const auto& m : kMap) {
        char* p = static_cast<char*>(GetFieldMember(&m_addr, m.nField));
        ASSERT_NE(p, nullptr);
        snprintf(p, 16, "f%d", m.nField);
    }
    strcpy(m_addr.szNote, "line one\r\nline two, ü");
    ASSERT_TRUE(m_form.SetAddr(&m_addr));
    for (const auto& m : kMap) {
        if (m.nField == 43) continue;
        EXPECT_EQ(Text(m.szBox).toStdString(), "f" + std::to_string(m.nField)) << m.szBox;
    }
    EXPECT_EQ(Text("memNotes"), QString::fromUtf8("line one\r\nline two, ü").replace("\r\n", "\n"));
    EXPECT_EQ(Text("edtBirthday"), "");
}

TEST_F(AddrDetailTest, PersonalHomePageAndDatesAreShownNowhere) {
    strcpy(m_addr.szPersonalHomePage, "http://personal.example/");
    m_addr.dtBirthday = 36526.5;  // 1/1/2000 12:00
    m_addr.dtAnniversary = 40000;
    m_addr.dtCreationTime = 41000;
    m_addr.dtLastModificationTime = 42000;
    ASSERT_TRUE(m_form.SetAddr(&m_addr));
    for (QLineEdit* e : m_form.findChildren<QLineEdit*>()) EXPECT_EQ(e->text(), "") << e->objectName().toStdString();
    for (QPlainTextEdit* m : m_form.findChildren<QPlainTextEdit*>())
        EXPECT_EQ(m->toPlainText(), "") << m->objectName().toStdString();
}

TEST_F(AddrDetailTest, PrivateFlagTicksTheBox) {
    auto* cb = Find<QCheckBox>("cbPrivate");
    for (int nPrivate : {0, 1, 0}) {
        m_addr.nPrivate = nPrivate;
        ASSERT_TRUE(m_form.SetAddr(&m_addr));
        EXPECT_EQ(cb->isChecked(), nPrivate != 0);
    }
}

TEST_F(AddrDetailTest, OtherStreetAloneShowsOnOtherWithBusinessInFront) {
    strcpy(m_addr.szOtherStreet, "7 Side Lane");
    ASSERT_TRUE(m_form.SetAddr(&m_addr));
    auto* pc = Find<QTabWidget>("pcDetail");
    auto* pcAddr = Find<QTabWidget>("pcAddress");
    ASSERT_EQ(pc->count(), 4);
    EXPECT_EQ(pc->tabText(0), "General");
    EXPECT_EQ(pc->tabText(1), "Address");
    EXPECT_EQ(pc->tabText(2), "Notes");
    EXPECT_EQ(pc->tabText(3), "Other Information");
    EXPECT_EQ(pc->currentIndex(), 0);
    ASSERT_EQ(pcAddr->count(), 3);
    EXPECT_EQ(pcAddr->tabText(0), "Business");
    EXPECT_EQ(pcAddr->tabText(1), "Home");
    EXPECT_EQ(pcAddr->tabText(2), "Other");
    EXPECT_EQ(pcAddr->currentIndex(), 0);
    EXPECT_EQ(Text("memOtherStreet"), "7 Side Lane");
    EXPECT_EQ(pcAddr->widget(2), Find<QPlainTextEdit>("memOtherStreet")->parentWidget());
    EXPECT_EQ(Text("memBusiStreet"), "");
    EXPECT_EQ(Text("memHomeStreet"), "");
}

TEST_F(AddrDetailTest, OnlyTheGeneralPageTakesInputAndEditingLeavesTheRecord) {
    strcpy(m_addr.szFirstName, "Anna");
    strcpy(m_addr.szNote, "note");
    ASSERT_TRUE(m_form.SetAddr(&m_addr));
    auto* pc = Find<QTabWidget>("pcDetail");
    for (int i = 1; i < pc->count(); ++i) {
        for (QLineEdit* e : pc->widget(i)->findChildren<QLineEdit*>())
            EXPECT_TRUE(e->isReadOnly()) << e->objectName().toStdString();
        for (QPlainTextEdit* m : pc->widget(i)->findChildren<QPlainTextEdit*>())
            EXPECT_TRUE(m->isReadOnly()) << m->objectName().toStdString();
    }
    EXPECT_FALSE(Find<QLineEdit>("edtFirst")->isReadOnly());

    CommAddr before;
    memcpy(&before, &m_addr, sizeof(before));
    Find<QLineEdit>("edtFirst")->setText("Changed");
    Find<QCheckBox>("cbPrivate")->setChecked(true);
    EXPECT_TRUE(m_form.ExchangeData(true));
    Find<QPushButton>("btnClose")->click();
    EXPECT_EQ(m_form.result(), QDialog::Rejected);
    EXPECT_EQ(memcmp(&before, &m_addr, sizeof(before)), 0);
}

TEST_F(AddrDetailTest, NoRecordMeansNoExchange) {
    EXPECT_FALSE(m_form.ExchangeData(false));
    EXPECT_FALSE(m_form.ExchangeData(true));
    EXPECT_FALSE(m_form.SetAddr(nullptr));
}

TEST_F(AddrDetailTest, GoOpensTheHomePageOnlyWhenThereIsOne) {
    auto* btn = Find<QPushButton>("btnGo");
    ASSERT_TRUE(m_form.SetAddr(&m_addr));
    btn->click();
    EXPECT_TRUE(g_opened.empty());

    strcpy(m_addr.szWorkHomePage, "https://anna.example/");
    ASSERT_TRUE(m_form.SetAddr(&m_addr));
    btn->click();
    EXPECT_EQ(g_opened, std::vector<std::string>{"https://anna.example/"});
}

}  // namespace
