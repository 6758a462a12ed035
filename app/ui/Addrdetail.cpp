#include "app/ui/Addrdetail.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstring>

#include "app/ui/Skins.h"
#include "common/misc/WinUtil.h"

namespace {

// A record's fixed-width text, which need not end with a NUL at its last byte.
template <size_t N>
QString FieldText(const char (&sz)[N]) {
    return QString::fromUtf8(sz, (qsizetype)strnlen(sz, N));
}

QLineEdit* NewEdit(QWidget* pParent, const char* szName) {
    auto* p = new QLineEdit(pParent);
    p->setObjectName(szName);
    return p;
}

QPlainTextEdit* NewMemo(QWidget* pParent, const char* szName) {
    auto* p = new QPlainTextEdit(pParent);
    p->setObjectName(szName);
    p->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    p->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return p;
}

// One "Label: [box]" row of a grid, at the given row and column pair.
void AddRow(QGridLayout* pGrid, int nRow, int nCol, const char* szLabel, QWidget* pBox) {
    auto* pLabel = new QLabel(QString::fromUtf8(szLabel));
    pLabel->setBuddy(pBox);
    // A label sits level with a one-line box, at the top of a multi-line one.
    const bool bMultiLine = qobject_cast<QPlainTextEdit*>(pBox) != nullptr;
    pGrid->addWidget(pLabel, nRow, nCol * 2, Qt::AlignLeft | (bMultiLine ? Qt::AlignTop : Qt::AlignVCenter));
    pGrid->addWidget(pBox, nRow, nCol * 2 + 1);
}

}  // namespace

TfmAddrDetail::TfmAddrDetail(QWidget* pOwner) : QDialog(pOwner) {
    setObjectName("fmAddrDetail");
    setWindowTitle("Contact detail information");
    setModal(true);
    resize(560, 470);

    pcDetail = new QTabWidget(this);
    pcDetail->setObjectName("pcDetail");

    // "General": name, telephone numbers, birthday, private flag, category.
    auto* tsGeneral = new QWidget;
    tsGeneral->setObjectName("tsGeneral");
    {
        auto* pName = new QGroupBox(" Name ", tsGeneral);
        pName->setObjectName("gbName");
        auto* g = new QGridLayout(pName);
        AddRow(g, 0, 0, "First Name:", edtFirst = NewEdit(pName, "edtFirst"));
        AddRow(g, 0, 1, "Last Name:", edtLast = NewEdit(pName, "edtLast"));
        AddRow(g, 1, 0, "Company:", edtCompany = NewEdit(pName, "edtCompany"));
        AddRow(g, 1, 1, "Job Title:", edtTitle = NewEdit(pName, "edtTitle"));

        auto* pTel = new QGroupBox(" Telephone Numbers ", tsGeneral);
        pTel->setObjectName("gbTelephone");
        auto* t = new QGridLayout(pTel);
        AddRow(t, 0, 0, "Business:", edtBusiTel = NewEdit(pTel, "edtBusiTel"));
        AddRow(t, 1, 0, "Home:", edtHomeTel = NewEdit(pTel, "edtHomeTel"));
        AddRow(t, 2, 0, "Mobile:", edtMobileTel = NewEdit(pTel, "edtMobileTel"));
        AddRow(t, 3, 0, "Other:", edtOtherTel = NewEdit(pTel, "edtOtherTel"));
        AddRow(t, 0, 1, "Email:", edtEmail = NewEdit(pTel, "edtEmail"));
        AddRow(t, 1, 1, "Fax:", edtFax = NewEdit(pTel, "edtFax"));
        AddRow(t, 2, 1, "Pager:", edtPager = NewEdit(pTel, "edtPager"));
        AddRow(t, 3, 1, "Main:", edtMainTel = NewEdit(pTel, "edtMainTel"));

        auto* pBirth = new QGroupBox(" Birthday ", tsGeneral);
        pBirth->setObjectName("gbBirthday");
        auto* b = new QHBoxLayout(pBirth);
        b->addWidget(edtBirthday = NewEdit(pBirth, "edtBirthday"));

        cbPrivate = new QCheckBox("Private", tsGeneral);
        cbPrivate->setObjectName("cbPrivate");
        auto* pCat = new QGridLayout;
        AddRow(pCat, 0, 0, "Category:", edtCategory = NewEdit(tsGeneral, "edtCategory"));

        auto* pBottom = new QHBoxLayout;
        pBottom->addWidget(pBirth, 1);
        auto* pRight = new QVBoxLayout;
        pRight->addWidget(cbPrivate);
        pRight->addLayout(pCat);
        pBottom->addLayout(pRight, 2);

        auto* v = new QVBoxLayout(tsGeneral);
        v->addWidget(pName);
        v->addWidget(pTel);
        v->addLayout(pBottom);
        v->addStretch();
    }

    // "Address": one sub-page per address, "Business" first.
    auto* tsAddress = new QWidget;
    tsAddress->setObjectName("tsAddress");
    {
        pcAddress = new QTabWidget(tsAddress);
        pcAddress->setObjectName("pcAddress");
        struct AddrPage {
            const char* szTab;
            const char* szPage;
            QPlainTextEdit** ppStreet;
            const char* szStreet;
            QLineEdit** ppBox[4];
            const char* szBox[4];
        } pages[] = {
            {"Business", "tsBusiness", &memBusiStreet, "memBusiStreet",
             {&edtBusiCity, &edtBusiState, &edtBusiPostal, &edtBusiCountry},
             {"edtBusiCity", "edtBusiState", "edtBusiPostal", "edtBusiCountry"}},
            {"Home", "tsHome", &memHomeStreet, "memHomeStreet",
             {&edtHomeCity, &edtHomeState, &edtHomePostal, &edtHomeCountry},
             {"edtHomeCity", "edtHomeState", "edtHomePostal", "edtHomeCountry"}},
            {"Other", "tsOtherAddr", &memOtherStreet, "memOtherStreet",
             {&edtOtherCity, &edtOtherState, &edtOtherPostal, &edtOtherCountry},
             {"edtOtherCity", "edtOtherState", "edtOtherPostal", "edtOtherCountry"}},
        };
        static const char* const kLabels[] = {"City:", "State:", "Postal Code:", "Country:"};
        for (AddrPage& p : pages) {
            auto* pPage = new QWidget;
            pPage->setObjectName(p.szPage);
            auto* g = new QGridLayout(pPage);
            *p.ppStreet = NewMemo(pPage, p.szStreet);
            (*p.ppStreet)->setFixedHeight(90);
            AddRow(g, 0, 0, "Street:", *p.ppStreet);
            for (int i = 0; i < 4; ++i) AddRow(g, i + 1, 0, kLabels[i], *p.ppBox[i] = NewEdit(pPage, p.szBox[i]));
            g->setRowStretch(5, 1);
            pcAddress->addTab(pPage, p.szTab);
        }
        pcAddress->setCurrentIndex(0);
        auto* v = new QVBoxLayout(tsAddress);
        v->addWidget(pcAddress);
    }

    // "Notes".
    auto* tsNotes = new QWidget;
    tsNotes->setObjectName("tsNotes");
    {
        memNotes = NewMemo(tsNotes, "memNotes");
        auto* v = new QVBoxLayout(tsNotes);
        v->addWidget(memNotes);
    }

    // "Other Information": custom fields, instant messaging and the home page.
    auto* tsOther = new QWidget;
    tsOther->setObjectName("tsOther");
    {
        auto* pCustom = new QGroupBox(" Custom Fields ", tsOther);
        pCustom->setObjectName("gbCustom");
        auto* g = new QGridLayout(pCustom);
        for (int i = 0; i < 9; ++i) {
            char szName[16], szLabel[16];
            snprintf(szName, sizeof(szName), "edtCustom%d", i + 1);
            snprintf(szLabel, sizeof(szLabel), "Custom %d:", i + 1);
            edtCustom[i] = NewEdit(pCustom, szName);
            AddRow(g, i % 5, i / 5, szLabel, edtCustom[i]);
        }

        // "&&" shows a plain ampersand in a group title.
        auto* pChat = new QGroupBox(" Chat && Web ", tsOther);
        pChat->setObjectName("gbChatWeb");
        auto* c = new QGridLayout(pChat);
        AddRow(c, 0, 0, "IM 1:", edtIM1 = NewEdit(pChat, "edtIM1"));
        AddRow(c, 0, 1, "IM 2:", edtIM2 = NewEdit(pChat, "edtIM2"));
        auto* pHome = new QHBoxLayout;
        pHome->addWidget(edtHomepage = NewEdit(pChat, "edtHomepage"));
        btnGo = new QPushButton(">>", pChat);
        btnGo->setObjectName("btnGo");
        btnGo->setFixedWidth(40);
        btnGo->setAutoDefault(false);
        pHome->addWidget(btnGo);
        auto* pLabel = new QLabel("Home Page:");
        pLabel->setBuddy(edtHomepage);
        c->addWidget(pLabel, 1, 0);
        c->addLayout(pHome, 1, 1, 1, 3);
        connect(btnGo, &QPushButton::clicked, this, &TfmAddrDetail::btnGoClick);

        auto* v = new QVBoxLayout(tsOther);
        v->addWidget(pCustom);
        v->addWidget(pChat);
        v->addStretch();
    }

    pcDetail->addTab(tsGeneral, "General");
    pcDetail->addTab(tsAddress, "Address");
    pcDetail->addTab(tsNotes, "Notes");
    pcDetail->addTab(tsOther, "Other Information");
    pcDetail->setCurrentIndex(0);

    // The pages after "General" take no input. Their boxes are read-only
    // rather than greyed out, so a long street or note can still be scrolled
    // and copied, and ">>" still opens the home page.
    for (QWidget* pPage : {tsAddress, tsNotes, tsOther}) {
        for (QLineEdit* p : pPage->findChildren<QLineEdit*>()) p->setReadOnly(true);
        for (QPlainTextEdit* p : pPage->findChildren<QPlainTextEdit*>()) p->setReadOnly(true);
    }

    btnClose = new QPushButton("&Close", this);
    btnClose->setObjectName("btnClose");
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch();
    pButtons->addWidget(btnClose);
    auto* v = new QVBoxLayout(this);
    v->addWidget(pcDetail);
    v->addLayout(pButtons);

    ApplySkin(this);
}

bool TfmAddrDetail::SetAddr(const CommAddr* pAddr) {
    m_pAddr = pAddr;
    return ExchangeData(false);
}

bool TfmAddrDetail::ExchangeData(bool bSave) {
    if (m_pAddr == nullptr) return false;
    if (bSave) return true;
    const CommAddr& a = *m_pAddr;

    edtFirst->setText(FieldText(a.szFirstName));
    edtLast->setText(FieldText(a.szLastName));
    edtCompany->setText(FieldText(a.szCompany));
    edtTitle->setText(FieldText(a.szTitle));

    edtBusiTel->setText(FieldText(a.szWorkPhone));
    edtHomeTel->setText(FieldText(a.szHomePhone));
    edtMobileTel->setText(FieldText(a.szMobilePhone));
    edtOtherTel->setText(FieldText(a.szOtherPhone));
    edtEmail->setText(FieldText(a.szEmail));
    edtFax->setText(FieldText(a.szWorkFax));
    edtPager->setText(FieldText(a.szPager));
    edtMainTel->setText(FieldText(a.szPrimaryPhone));

    edtBirthday->clear();  // the birthday is not shown
    cbPrivate->setChecked(a.nPrivate != 0);
    edtCategory->setText(FieldText(a.szCategory));

    memBusiStreet->setPlainText(FieldText(a.szWorkStreet));
    edtBusiCity->setText(FieldText(a.szWorkCity));
    edtBusiState->setText(FieldText(a.szWorkState));
    edtBusiPostal->setText(FieldText(a.szWorkPostal));
    edtBusiCountry->setText(FieldText(a.szWorkCountry));

    memHomeStreet->setPlainText(FieldText(a.szHomeStreet));
    edtHomeCity->setText(FieldText(a.szHomeCity));
    edtHomeState->setText(FieldText(a.szHomeState));
    edtHomePostal->setText(FieldText(a.szHomePostal));
    edtHomeCountry->setText(FieldText(a.szHomeCountry));

    memOtherStreet->setPlainText(FieldText(a.szOtherStreet));
    edtOtherCity->setText(FieldText(a.szOtherCity));
    edtOtherState->setText(FieldText(a.szOtherState));
    edtOtherPostal->setText(FieldText(a.szOtherPostal));
    edtOtherCountry->setText(FieldText(a.szOtherCountry));

    memNotes->setPlainText(FieldText(a.szNote));

    for (int i = 0; i < 9; ++i) edtCustom[i]->setText(FieldText(a.szCustom[i]));
    edtIM1->setText(FieldText(a.szIM1));
    edtIM2->setText(FieldText(a.szIM2));
    edtHomepage->setText(FieldText(a.szWorkHomePage));
    return true;
}

void TfmAddrDetail::btnGoClick() {
    QByteArray url = edtHomepage->text().toUtf8();
    if (url.isEmpty()) return;
    RunProgram(url.constData());
}
