#include "app/ui/Confalert.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <vector>

#include "app/ui/Skins.h"
#include "common/model/CommAddrMgr.h"

namespace {

struct Column {
    const char* szCaption;
    int nWidth;
    int nFieldId;  // 0: the store's name
};

const Column s_columns[] = {
    {"Software", 120, 0},      {"First Name", 80, 1}, {"Last Name", 80, 3}, {"Email", 100, 37},
    {"Business Phone", 90, 25}, {"Home Phone", 90, 24}, {"Company", 100, 53}, {"Title", 60, 55},
};
const int s_nColumns = sizeof(s_columns) / sizeof(s_columns[0]);

// The longest value a tooltip line shows; longer ones (notes) are cut.
const int s_nTipValueLen = 60;

// The text of one field, "" when it has no text form.
QString FieldText(const CommAddr* pAddr, int nFieldId) {
    CommAddrField field;
    if (!CommAddrMgr::GetFieldInfo(nFieldId, &field)) return QString();
    std::vector<char> buf(static_cast<size_t>(field.nSize > 255 ? field.nSize : 255) + 1);
    if (!CommAddrMgr::GetFieldText(pAddr, &field, buf.data(), static_cast<DWORD>(buf.size()))) return QString();
    return QString::fromUtf8(buf.data());
}

QString TipValue(QString szValue) {
    szValue.replace(QLatin1String("\r\n"), QLatin1String(" "));
    szValue.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (szValue.size() > s_nTipValueLen) szValue = szValue.left(s_nTipValueLen) + QStringLiteral("...");
    return QLatin1Char('"') + szValue + QLatin1Char('"');
}

}  // namespace

TfmConfAlert::TfmConfAlert(QWidget* pOwner) : QDialog(pOwner), m_nAction(3), m_bThisSync(false), m_bAllFuture(false) {
    setObjectName(QStringLiteral("fmConfAlert"));
    setWindowTitle(QStringLiteral("Conflict Records Alert"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(514, 326);
    // The places are those of a small dialog font; a larger one would push
    // the long captions past the right edge.
    QFont fnt = font();
    fnt.setPixelSize(11);
    setFont(fnt);

    Label1 = new QLabel(QStringLiteral("Conflict records found  in the synchronization, please select the action to "
                                       "handle the conflicts."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setGeometry(17, 44, 514 - 17 - 16, 26);

    lvAddr = new QTreeWidget(this);
    lvAddr->setObjectName(QStringLiteral("lvAddr"));
    lvAddr->setGeometry(16, 70, 478, 90);
    lvAddr->setRootIsDecorated(false);
    lvAddr->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvAddr->setSelectionMode(QAbstractItemView::SingleSelection);
    lvAddr->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvAddr->setColumnCount(s_nColumns);
    QStringList captions;
    for (const Column& col : s_columns) captions << QString::fromLatin1(col.szCaption);
    lvAddr->setHeaderLabels(captions);
    lvAddr->header()->setStretchLastSection(false);
    for (int i = 0; i < s_nColumns; ++i) lvAddr->setColumnWidth(i, s_columns[i].nWidth);

    rbtnW2O = new QRadioButton(QStringLiteral("WAB overwrites Outlook Contact"), this);
    rbtnW2O->setObjectName(QStringLiteral("rbtnW2O"));
    rbtnW2O->move(23, 181);
    rbtnO2W = new QRadioButton(QStringLiteral("Outlook Contact overwrites WAB"), this);
    rbtnO2W->setObjectName(QStringLiteral("rbtnO2W"));
    rbtnO2W->move(272, 182);
    rbtnNothing = new QRadioButton(QStringLiteral("Do Nothing"), this);
    rbtnNothing->setObjectName(QStringLiteral("rbtnNothing"));
    rbtnNothing->move(23, 207);
    auto* grpAction = new QButtonGroup(this);
    for (QRadioButton* rbtn : {rbtnW2O, rbtnO2W, rbtnNothing}) {
        grpAction->addButton(rbtn);
        rbtn->adjustSize();
    }

    cbThis = new QCheckBox(QStringLiteral("Apply this rule to this synchronization"), this);
    cbThis->setObjectName(QStringLiteral("cbThis"));
    cbThis->move(25, 235);
    cbThis->adjustSize();
    cbAll = new QCheckBox(QStringLiteral("Apply this rule to all future synchronizations"), this);
    cbAll->setObjectName(QStringLiteral("cbAll"));
    // The two long captions share one line: a size smaller keeps them apart.
    QFont fntSmall = font();
    fntSmall.setPixelSize(10);
    cbThis->setFont(fntSmall);
    cbAll->setFont(fntSmall);
    cbThis->adjustSize();
    cbAll->adjustSize();
    // Its long caption would run past the right edge at 273 with the fonts
    // of this platform: it moves left just as far as it must.
    cbAll->move(qMin(273, width() - 8 - cbAll->width()), 237);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(139, 276, 80, 27);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(282, 276, 80, 27);
    connect(btnOK, &QPushButton::clicked, this, &TfmConfAlert::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfmConfAlert::btnCancelClick);

    ApplySkin(this);
    // The skin's sheet changes the buttons' metrics: size them after it.
    for (QRadioButton* rbtn : {rbtnW2O, rbtnO2W, rbtnNothing}) {
        ApplySkin(rbtn, QStringLiteral(SKIN_WINXP));
        rbtn->setFont(font());
        rbtn->adjustSize();
    }
    ExchangeData(false);
}

void TfmConfAlert::SetContacts(const CommAddr* pWabAddr, const CommAddr* pOlAddr) {
    if (pWabAddr == nullptr || pOlAddr == nullptr) return;
    lvAddr->setUpdatesEnabled(false);
    lvAddr->clear();

    // Differences by the same rules as the lists' comparison (line breaks
    // and letter case do not count), over the comparison fields.
    CommAddrMgr cmp;
    DWORD nCmpCount = 0;
    const DWORD* pnCmpFields = cmp.GetCompareFields(&nCmpCount);
    QStringList lines;
    for (DWORD i = 0; i < nCmpCount; ++i) {
        const DWORD nId = pnCmpFields[i];
        if (cmp.FieldsEqual(pWabAddr, pOlAddr, &nId, 1)) continue;
        CommAddrField field;
        if (!CommAddrMgr::GetFieldInfo(static_cast<int>(nId), &field)) continue;
        lines << QStringLiteral("%1: WAB %2, Outlook %3")
                     .arg(QString::fromUtf8(field.szName), TipValue(FieldText(pWabAddr, static_cast<int>(nId))),
                          TipValue(FieldText(pOlAddr, static_cast<int>(nId))));
    }
    const QString szTip = lines.isEmpty() ? QStringLiteral("The compared fields are equal.")
                                          : QStringLiteral("Differs in:\n") + lines.join(QLatin1Char('\n'));

    const CommAddr* pAddrs[2] = {pWabAddr, pOlAddr};
    const char* szNames[2] = {"WAB", "Outlook"};
    QTreeWidgetItem* pRows[2];
    for (int r = 0; r < 2; ++r) {
        pRows[r] = new QTreeWidgetItem(lvAddr);
        pRows[r]->setText(0, QString::fromLatin1(szNames[r]));
        for (int c = 1; c < s_nColumns; ++c) pRows[r]->setText(c, FieldText(pAddrs[r], s_columns[c].nFieldId));
        for (int c = 0; c < s_nColumns; ++c) pRows[r]->setToolTip(c, szTip);
    }
    for (int c = 1; c < s_nColumns; ++c) {
        const DWORD nId = static_cast<DWORD>(s_columns[c].nFieldId);
        if (cmp.FieldsEqual(pWabAddr, pOlAddr, &nId, 1)) continue;
        for (QTreeWidgetItem* pRow : pRows) {
            QFont fnt = lvAddr->font();
            fnt.setBold(true);
            pRow->setFont(c, fnt);
            pRow->setBackground(c, QColor(0xff, 0xf0, 0xb0));
        }
    }
    lvAddr->setUpdatesEnabled(true);
}

bool TfmConfAlert::ExchangeData(bool bFromControls) {
    if (!bFromControls) {
        if (m_nAction == 1)
            rbtnW2O->setChecked(true);
        else if (m_nAction == 2)
            rbtnO2W->setChecked(true);
        else
            rbtnNothing->setChecked(true);
        return true;
    }
    m_nAction = rbtnW2O->isChecked() ? 1 : rbtnO2W->isChecked() ? 2 : 3;
    m_bThisSync = cbThis->isChecked();
    m_bAllFuture = cbAll->isChecked();
    return true;
}

void TfmConfAlert::btnOKClick() {
    if (ExchangeData(true)) done(CONFALERT_OK);
}

void TfmConfAlert::btnCancelClick() { done(CONFALERT_CANCEL); }

void TfmConfAlert::reject() { done(CONFALERT_CANCEL); }
