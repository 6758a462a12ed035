#include "app/ui/Dump.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Apputil.h"
#include "app/ui/ClickLabel.h"
#include "app/ui/Debug.h"
#include "app/ui/Logo.h"
#include "app/ui/Skins.h"
#include "common/misc/WinUtil.h"

TfmDump::TfmDump(QWidget* pOwner) : QDialog(pOwner), m_pOwner(pOwner) {
    setObjectName(QStringLiteral("fmDump"));
    setWindowTitle(QStringLiteral("Handle Pellmark Exception"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    Label1 = new QLabel(QStringLiteral("We're sorry that an unhandled exception occurred in Pellmark. "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont fntBold = Label1->font();
    fntBold.setBold(true);
    Label1->setFont(fntBold);

    Label2 = new QLabel(QStringLiteral("Please contact us at:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    lblSupport = new CxClickLabel(this);
    lblSupport->setObjectName(QStringLiteral("lblSupport"));
    lblSupport->setText(QStringLiteral(PELLMARK_SUPPORT_EMAIL));
    QFont fntLink = lblSupport->font();
    fntLink.setUnderline(true);
    lblSupport->setFont(fntLink);
    lblSupport->setStyleSheet(QStringLiteral("QLabel { color: #0000ff; }"));
    connect(lblSupport, &CxClickLabel::clicked, this, &TfmDump::lblSupportClick);

    auto* grpInfo = new QGroupBox(QStringLiteral(" Debug Information "), this);
    grpInfo->setObjectName(QStringLiteral("grpInfo"));
    auto* lblInfo = new QLabel(
        QStringLiteral("It is very appreciated if you can include the debug information in your error report."),
        grpInfo);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setWordWrap(true);
    auto* gridInfo = new QGridLayout(grpInfo);
    gridInfo->addWidget(lblInfo, 0, 0, 1, 3);
    AddLogPathRows(grpInfo, gridInfo, 1, &edtFolder, &btnFolder, &edtFile, &btnFile);
    connect(btnFolder, &QPushButton::clicked, this, &TfmDump::btnFolderClick);
    connect(btnFile, &QPushButton::clicked, this, &TfmDump::btnFileClick);

    btnDebug = new QPushButton(QStringLiteral("&Debug Options"), this);
    btnDebug->setObjectName(QStringLiteral("btnDebug"));
    btnExit = new QPushButton(QStringLiteral("Exit Program Now"), this);
    btnExit->setObjectName(QStringLiteral("btnExit"));
    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnDebug->setFixedHeight(27);
    btnExit->setFixedHeight(27);
    btnOK->setFixedSize(80, 27);
    connect(btnDebug, &QPushButton::clicked, this, &TfmDump::btnDebugClick);
    connect(btnExit, &QPushButton::clicked, this, &TfmDump::btnExitClick);
    connect(btnOK, &QPushButton::clicked, this, &TfmDump::btnOKClick);

    imgText = new CxClickLabel(this);
    imgText->setObjectName(QStringLiteral("imgText"));
    imgText->setPixmap(PellmarkBanner(
        QStringLiteral("Answers to common questions and the newest version are on the Pellmark web page. "
                       "Click here to visit it."),
        440, 56));
    connect(imgText, &CxClickLabel::clicked, this, &TfmDump::imgTextClick);

    auto* rowSupport = new QHBoxLayout();
    rowSupport->addWidget(Label2);
    rowSupport->addWidget(lblSupport);
    rowSupport->addStretch(1);
    auto* rowButtons = new QHBoxLayout();
    rowButtons->addWidget(btnDebug);
    rowButtons->addStretch(1);
    rowButtons->addWidget(btnExit);
    rowButtons->addWidget(btnOK);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(Label1);
    layout->addLayout(rowSupport);
    layout->addWidget(grpInfo);
    layout->addLayout(rowButtons);
    layout->addWidget(imgText);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ApplySkin(this);
    ExchangeData(false);
}

bool TfmDump::ExchangeData(bool bFromControls) {
    if (!bFromControls) LoadLogPathBoxes(edtFolder, btnFolder, edtFile, btnFile);
    return true;
}

void TfmDump::btnOKClick() { accept(); }

void TfmDump::btnFolderClick() { RunProgram(edtFolder->text().toUtf8().constData()); }

void TfmDump::btnFileClick() { OpenLogFile(this, edtFile->text()); }

void TfmDump::imgTextClick() { OpenWebPage(); }

void TfmDump::btnDebugClick() { ShowDebugDialog(this); }

void TfmDump::lblSupportClick() {
    RunProgram("mailto:" PELLMARK_SUPPORT_EMAIL "?subject=Pellmark Error Report");
}

void TfmDump::btnExitClick() {
    // The owner may be a dialog of the main window: the window to close is
    // the topmost one above it. Without an owner, the program's main window.
    QWidget* pMain = m_pOwner;
    while (pMain != nullptr && pMain->parentWidget() != nullptr) pMain = pMain->parentWidget();
    if (pMain == nullptr) {
        for (QWidget* pTop : QApplication::topLevelWidgets())
            if (qobject_cast<QMainWindow*>(pTop) != nullptr) pMain = pTop;
    }
    reject();
    // Queued, so the main window closes through its own close handling once
    // this dialog's loop has ended, as a posted WM_CLOSE would.
    if (pMain != nullptr) QMetaObject::invokeMethod(pMain, "close", Qt::QueuedConnection);
}

void ShowErrorReport(QWidget* pOwner) {
    TfmDump dlg(pOwner);
    dlg.exec();
}
