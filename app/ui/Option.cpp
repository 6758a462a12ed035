#include "app/ui/Option.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/ui/Skins.h"
#include "app/ui/UiSeams.h"
#include "app/ui/WabFileChoice.h"

namespace {

QColor ToQColor(COLORREF cr) { return QColor(cr & 0xFF, (cr >> 8) & 0xFF, (cr >> 16) & 0xFF); }

COLORREF FromQColor(const QColor& c) {
    return (COLORREF)c.red() | ((COLORREF)c.green() << 8) | ((COLORREF)c.blue() << 16);
}

QRadioButton* NewRadio(QWidget* pParent, const char* szName, const char* szCaption) {
    auto* p = new QRadioButton(QString::fromUtf8(szCaption), pParent);
    p->setObjectName(szName);
    return p;
}

}  // namespace

TfmOption::TfmOption(QWidget* pOwner) : QDialog(pOwner) {
    setObjectName("fmOption");
    setWindowTitle("Pellmark Options");
    setModal(true);

    cbShowWizard = new QCheckBox("Show Synchronizer Wizard at startup.", this);
    cbShowWizard->setObjectName("cbShowWizard");
    cbShowColor = new QCheckBox("Show records in different colors", this);
    cbShowColor->setObjectName("cbShowColor");

    auto* pColors = new QGridLayout;
    struct {
        QFrame** ppPanel;
        const char* szName;
        const char* szLabel;
    } panels[] = {{&pnlSameColor, "pnlSameColor", "Same records:"},
                  {&pnlDiffColor, "pnlDiffColor", "Different records:"},
                  {&pnlNewColor, "pnlNewColor", "New records:"}};
    int nCol = 0;
    for (auto& p : panels) {
        auto* pPanel = new QFrame(this);
        pPanel->setObjectName(p.szName);
        pPanel->setFrameShape(QFrame::Box);
        pPanel->setFixedSize(40, 20);
        pPanel->setCursor(Qt::PointingHandCursor);
        pPanel->installEventFilter(this);
        *p.ppPanel = pPanel;
        pColors->addWidget(new QLabel(p.szLabel, this), 0, nCol);
        pColors->addWidget(pPanel, 0, nCol + 1);
        nCol += 2;
    }
    pColors->setColumnStretch(nCol, 1);
    pColors->setContentsMargins(20, 0, 0, 0);

    cbEmailOnly = new QCheckBox("Only Sync Contact record that has email addresses", this);
    cbEmailOnly->setObjectName("cbEmailOnly");

    auto* gbConflict = new QGroupBox(" How to handle conflict records", this);
    gbConflict->setObjectName("gbConflict");
    {
        auto* g = new QGridLayout(gbConflict);
        g->addWidget(rbtnO2W = NewRadio(gbConflict, "rbtnO2W", "Outlook  overwrites WAB"), 0, 0);
        g->addWidget(rbtnW2O = NewRadio(gbConflict, "rbtnW2O", "WAB overwrites Outlook"), 0, 1);
        g->addWidget(rbtnRemind = NewRadio(gbConflict, "rbtnRemind", "Remind me"), 1, 0);
        g->addWidget(rbtnNothing = NewRadio(gbConflict, "rbtnNothing", "Do Nothing"), 1, 1);
    }

    m_pWabChoice = new WabFileChoice(this, " More WAB Options ");
    QGroupBox* gbWab = m_pWabChoice->GetGroupBox();
    rbtnWABDef = m_pWabChoice->GetDefaultButton();
    rbtnWABSpec = m_pWabChoice->GetSpecificButton();
    edtWABFile = m_pWabChoice->GetFileBox();
    btnWABBrowse = m_pWabChoice->GetBrowseButton();

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    connect(btnOK, &QPushButton::clicked, this, &TfmOption::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch();
    pButtons->addWidget(btnOK);
    pButtons->addWidget(btnCancel);

    auto* v = new QVBoxLayout(this);
    v->addWidget(cbShowWizard);
    v->addWidget(cbShowColor);
    v->addLayout(pColors);
    v->addWidget(cbEmailOnly);
    v->addWidget(gbConflict);
    v->addWidget(gbWab);
    v->addStretch();
    v->addLayout(pButtons);
    v->setSizeConstraint(QLayout::SetFixedSize);

    ApplySkin(this);
}

bool TfmOption::ExchangeData(bool bSave) {
    AppSettings& s = g_Settings;
    if (!bSave) {
        cbShowWizard->setChecked(s.ShowWizard);
        cbShowColor->setChecked(s.ShowColor);
        cbEmailOnly->setChecked(s.AddrEmailOnly);
        SetPanelColor(pnlSameColor, s.SameColor);
        SetPanelColor(pnlDiffColor, s.DiffColor);
        SetPanelColor(pnlNewColor, s.NewColor);
        switch (s.ConfAction) {
            case CONF_WAB_WINS: rbtnW2O->setChecked(true); break;
            case CONF_OL_WINS: rbtnO2W->setChecked(true); break;
            case CONF_REMIND: rbtnRemind->setChecked(true); break;
            default: rbtnNothing->setChecked(true); break;
        }
        m_pWabChoice->Load();
        return true;
    }

    s.ShowWizard = cbShowWizard->isChecked();
    s.ShowColor = cbShowColor->isChecked();
    s.AddrEmailOnly = cbEmailOnly->isChecked();
    s.SameColor = PanelColor(pnlSameColor);
    s.DiffColor = PanelColor(pnlDiffColor);
    s.NewColor = PanelColor(pnlNewColor);

    s.ActionAlways = true;
    if (rbtnW2O->isChecked()) {
        s.ConfAction = CONF_WAB_WINS;
    } else if (rbtnO2W->isChecked()) {
        s.ConfAction = CONF_OL_WINS;
    } else if (rbtnNothing->isChecked()) {
        s.ConfAction = CONF_DO_NOTHING;
    } else {
        s.ConfAction = CONF_REMIND;
        s.ActionAlways = false;
    }

    // What was stored above stays stored when the file is rejected.
    return m_pWabChoice->Store();
}

void TfmOption::btnOKClick() {
    if (ExchangeData(true)) accept();
}

COLORREF TfmOption::PanelColor(const QFrame* pPanel) { return (COLORREF)pPanel->property("color").toUInt(); }

void TfmOption::SetPanelColor(QFrame* pPanel, COLORREF crColor) {
    pPanel->setProperty("color", (uint)crColor);
    pPanel->setStyleSheet(QString("QFrame { background: %1; border: 1px solid #404040; }")
                              .arg(ToQColor(crColor).name()));
}

void TfmOption::ChoosePanelColor(QFrame* pPanel) {
    QColor c = CxColorDialog::GetColor(this, ToQColor(PanelColor(pPanel)));
    if (c.isValid()) SetPanelColor(pPanel, FromQColor(c));
}

void TfmOption::pnlSameColorClick() { ChoosePanelColor(pnlSameColor); }
void TfmOption::pnlDiffColorClick() { ChoosePanelColor(pnlDiffColor); }
void TfmOption::pnlNewColorClick() { ChoosePanelColor(pnlNewColor); }

bool TfmOption::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pEvent->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(pEvent)->button() == Qt::LeftButton) {
        if (pWatched == pnlSameColor) {
            pnlSameColorClick();
            return true;
        }
        if (pWatched == pnlDiffColor) {
            pnlDiffColorClick();
            return true;
        }
        if (pWatched == pnlNewColor) {
            pnlNewColorClick();
            return true;
        }
    }
    return QDialog::eventFilter(pWatched, pEvent);
}
