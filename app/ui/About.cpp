#include "app/ui/About.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Apputil.h"
#include "app/ui/Logo.h"
#include "app/ui/Skins.h"

namespace {

// The logo banner: the logo on the left, the product's name beside it.
QPixmap LogoBanner() {
    QPixmap pm(360, 80);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(8, 8, PellmarkLogo(64));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(34);
    p.setFont(f);
    p.setPen(QColor(0x1c, 0x4e, 0x9c));
    p.drawText(QRect(88, 8, 264, 44), Qt::AlignLeft | Qt::AlignVCenter, "Pellmark");
    f.setBold(false);
    f.setPixelSize(13);
    p.setFont(f);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawText(QRect(90, 50, 264, 22), Qt::AlignLeft | Qt::AlignVCenter, "Contacts between WAB and Outlook");
    return pm;
}

}  // namespace

TfmAbout::TfmAbout(QWidget* pOwner) : QDialog(pOwner) {
    setObjectName("fmAbout");
    setWindowTitle("About Pellmark");
    setModal(true);

    imgLogo = new QLabel(this);
    imgLogo->setObjectName("imgLogo");
    imgLogo->setPixmap(LogoBanner());
    imgLogo->setCursor(Qt::PointingHandCursor);
    imgLogo->setToolTip(PELLMARK_WEB_PAGE_URL);
    imgLogo->installEventFilter(this);

    Label2 = new QLabel(QString::fromUtf8("Pellmark, copyright \u00a9 2026 Tessaro. All rights reserved."), this);
    Label2->setObjectName("Label2");

    static const char* const kWarning[4] = {
        "Warning: Pellmark is protected by copyright law and international treaties.",
        "Copying or distributing this program, or any part of it, without the",
        "written permission of Tessaro is not allowed and may lead to civil",
        "claims and criminal prosecution.",
    };
    auto* pWarning = new QVBoxLayout;
    pWarning->setSpacing(0);
    for (int i = 0; i < 4; ++i) {
        lblWarning[i] = new QLabel(kWarning[i], this);
        lblWarning[i]->setObjectName(QString("lblWarning%1").arg(i + 1));
        pWarning->addWidget(lblWarning[i]);
    }

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch();
    pButtons->addWidget(btnOK);

    auto* v = new QVBoxLayout(this);
    v->addWidget(imgLogo, 0, Qt::AlignHCenter);
    v->addSpacing(6);
    v->addWidget(Label2);
    v->addSpacing(6);
    v->addLayout(pWarning);
    v->addSpacing(6);
    v->addLayout(pButtons);
    v->setSizeConstraint(QLayout::SetFixedSize);

    ApplySkin(this);
}

void TfmAbout::imgLogoClick() { OpenWebPage(); }

bool TfmAbout::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pWatched == imgLogo && pEvent->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(pEvent)->button() == Qt::LeftButton) {
        imgLogoClick();
        return true;
    }
    return QDialog::eventFilter(pWatched, pEvent);
}
