#include "app/ui/Wizard.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/Apputil.h"
#include "app/ui/Debug.h"
#include "app/ui/Logo.h"
#include "app/ui/Skins.h"
#include "app/ui/WabFileChoice.h"
#include "common/misc/WinUtil.h"

namespace {

const int kTextWidth = 440;
const int kTextHeight = 96;

// The wizard's explanatory picture: the logo beside a short welcome.
QPixmap WizardPicture() {
    QPixmap pm(kTextWidth, kTextHeight);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(12, 16, PellmarkLogo(64));
    QFont fTitle = p.font();
    fTitle.setBold(true);
    fTitle.setPointSizeF(fTitle.pointSizeF() * 1.2);
    p.setFont(fTitle);
    p.setPen(QColor(0x1c, 0x4e, 0x9c));
    p.drawText(QRect(90, 8, kTextWidth - 100, 24), Qt::AlignLeft | Qt::AlignVCenter, "Welcome to Pellmark");
    QFont fText = p.font();
    fText.setBold(false);
    fText.setPointSizeF(fTitle.pointSizeF() / 1.2);
    p.setFont(fText);
    p.setPen(Qt::black);
    p.drawText(QRect(90, 34, kTextWidth - 100, kTextHeight - 38), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
               "Check the Outlook version found below and choose the address book to synchronize with it. "
               "You can change these choices later under Tools, Options.");
    return pm;
}

void SetLabelColor(QLabel* pLabel, const QColor& c) {
    QPalette pal = pLabel->palette();
    pal.setColor(QPalette::WindowText, c);
    pLabel->setPalette(pal);
    pLabel->setStyleSheet(QString("QLabel { color: %1; }").arg(c.name()));
}

}  // namespace

TfmWizard::TfmWizard(QWidget* pOwner) : QDialog(pOwner) {
    setObjectName("fmWizard");
    setWindowTitle("Pellmark Wizard");
    setModal(true);

    imgText = new QLabel(this);
    imgText->setObjectName("imgText");
    imgText->setPixmap(WizardPicture());
    imgText->setFrameShape(QFrame::StyledPanel);

    auto* gbOutlook = new QGroupBox(" Outlook Options ", this);
    gbOutlook->setObjectName("gbOutlookOptions");
    {
        auto* g = new QGridLayout(gbOutlook);
        g->addWidget(new QLabel("Version:", gbOutlook), 0, 0);
        lblOLVer = new QLabel(gbOutlook);
        lblOLVer->setObjectName("lblOLVer");
        g->addWidget(lblOLVer, 0, 1);
        g->addWidget(new QLabel("Outlook Profile:", gbOutlook), 1, 0);
        g->addWidget(new QLabel("Default", gbOutlook), 1, 1);
        g->setColumnStretch(1, 1);
    }

    m_pWabChoice = new WabFileChoice(this, " WAB Options ");
    QGroupBox* gbWab = m_pWabChoice->GetGroupBox();
    rbtnWABDef = m_pWabChoice->GetDefaultButton();
    rbtnWABSpec = m_pWabChoice->GetSpecificButton();
    edtWABFile = m_pWabChoice->GetFileBox();
    btnWABBrowse = m_pWabChoice->GetBrowseButton();

    cbShow = new QCheckBox("Show this Synchronizer Wizard at software startup.", this);
    cbShow->setObjectName("cbShow");

    btnDebug = new QPushButton("&Debug Options", this);
    btnDebug->setObjectName("btnDebug");
    btnDebug->setAutoDefault(false);
    btnOK = new QPushButton("&OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    connect(btnDebug, &QPushButton::clicked, this, &TfmWizard::btnDebugClick);
    connect(btnOK, &QPushButton::clicked, this, &TfmWizard::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(btnDebug);
    pButtons->addStretch();
    pButtons->addWidget(btnOK);
    pButtons->addWidget(btnCancel);

    auto* v = new QVBoxLayout(this);
    v->addWidget(imgText);
    v->addWidget(gbOutlook);
    v->addWidget(gbWab);
    v->addWidget(cbShow);
    v->addLayout(pButtons);
    v->setSizeConstraint(QLayout::SetFixedSize);

    ApplySkin(this);
    ExchangeData(false);
}

bool TfmWizard::ExchangeData(bool bSave) {
    if (bSave) {
        if (!m_pWabChoice->Store()) return false;
        g_Settings.ShowWizard = cbShow->isChecked();
        return true;
    }
    char szVersion[64] = "";
    if (GetOutlookVersion(szVersion)) {
        lblOLVer->setText(QString::fromUtf8(szVersion));
        SetLabelColor(lblOLVer, Qt::blue);
    } else {
        lblOLVer->setText("Not Found.");
        SetLabelColor(lblOLVer, Qt::red);
    }
    m_pWabChoice->Load();
    cbShow->setChecked(g_Settings.ShowWizard);
    return true;
}

void TfmWizard::btnOKClick() {
    if (ExchangeData(true)) accept();
}

void TfmWizard::btnDebugClick() { ShowDebugDialog(this); }
