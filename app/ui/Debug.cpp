#include "app/ui/Debug.h"

#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Apputil.h"
#include "app/ui/ClickLabel.h"
#include "app/ui/Logo.h"
#include "app/ui/Skins.h"
#include "app/ui/UiSeams.h"
#include "common/misc/CxDebugUtil.h"
#include "common/misc/WinUtil.h"

namespace {

const char* const s_szLevels[] = {
    "Critical - Only log critical error information.",
    "High - Log high level debug information.",
    "Low - Log very detail debug information.",
};
const int s_nLevelValues[] = {LOG_CRITICAL, LOG_HIGH, LOG_LOW};

}  // namespace

void MakePathBox(QLineEdit* edt) {
    edt->setReadOnly(true);
    edt->setStyleSheet(QStringLiteral("QLineEdit { background: #c0dcc0; }"));
}

void AddLogPathRows(QWidget* pParent, QGridLayout* grid, int nRow, QLineEdit** pEdtFolder, QPushButton** pBtnFolder,
                    QLineEdit** pEdtFile, QPushButton** pBtnFile) {
    const char* const names[2][2] = {{"edtFolder", "btnFolder"}, {"edtFile", "btnFile"}};
    const char* const captions[2] = {"Log Folder:", "Log File:"};
    QLineEdit** edits[2] = {pEdtFolder, pEdtFile};
    QPushButton** buttons[2] = {pBtnFolder, pBtnFile};
    for (int i = 0; i < 2; ++i) {
        auto* edt = new QLineEdit(pParent);
        edt->setObjectName(QString::fromLatin1(names[i][0]));
        MakePathBox(edt);
        auto* btn = new QPushButton(QStringLiteral("..."), pParent);
        btn->setObjectName(QString::fromLatin1(names[i][1]));
        btn->setFixedWidth(28);
        btn->setProperty("narrow", true);
        grid->addWidget(new QLabel(QString::fromLatin1(captions[i]), pParent), nRow + i, 0);
        grid->addWidget(edt, nRow + i, 1);
        grid->addWidget(btn, nRow + i, 2);
        *edits[i] = edt;
        *buttons[i] = btn;
    }
}

void LoadLogPathBoxes(QLineEdit* edtFolder, QPushButton* btnFolder, QLineEdit* edtFile, QPushButton* btnFile) {
    char szFolder[MAX_PATH];
    if (GetDataFolder(szFolder)) {
        const QString szPath = QString::fromUtf8(szFolder);
        edtFolder->setText(szPath);
        edtFile->setText(szPath + QStringLiteral("appdebug.log"));
        edtFolder->setCursorPosition(0);
        edtFile->setCursorPosition(0);
        btnFolder->setEnabled(true);
        btnFile->setEnabled(true);
    } else {
        edtFolder->clear();
        edtFile->clear();
        btnFolder->setEnabled(false);
        btnFile->setEnabled(false);
    }
}

void OpenLogFile(QWidget* pOwner, const QString& szFile) {
    const QByteArray szName = szFile.toUtf8();
    if (access(szName.constData(), F_OK) != 0) {
        CxMessageBox::Show(pOwner, CxMessageBox::Information, QStringLiteral("Error"),
                           QStringLiteral("Debug log file doesn't exist"));
        return;
    }
    RunProgram(szName.constData());
}

TfmDebug::TfmDebug(QWidget* pOwner) : QDialog(pOwner) {
    setObjectName(QStringLiteral("fmDebug"));
    setWindowTitle(QStringLiteral("Pellmark Debug Log Options"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    imgText = new CxClickLabel(this);
    imgText->setObjectName(QStringLiteral("imgText"));
    imgText->setPixmap(PellmarkBanner(QStringLiteral("The debug log records what Pellmark does, so that a problem can "
                                                     "be traced. Click here to visit the Pellmark web page."),
                                      420, 64));
    connect(imgText, &CxClickLabel::clicked, this, &TfmDebug::imgTextClick);

    cbEnable = new QCheckBox(QStringLiteral("Enable Debug Log"), this);
    cbEnable->setObjectName(QStringLiteral("cbEnable"));

    auto* lblLevel = new QLabel(QStringLiteral("Set Debug Level:"), this);
    lblLevel->setObjectName(QStringLiteral("lblLevel"));
    cbxLevel = new QComboBox(this);
    cbxLevel->setObjectName(QStringLiteral("cbxLevel"));
    cbxLevel->setEditable(false);
    lblLevel->setBuddy(cbxLevel);

    auto* grpInfo = new QGroupBox(QStringLiteral(" Debug Information "), this);
    grpInfo->setObjectName(QStringLiteral("grpInfo"));
    auto* gridInfo = new QGridLayout(grpInfo);
    AddLogPathRows(grpInfo, gridInfo, 0, &edtFolder, &btnFolder, &edtFile, &btnFile);
    connect(btnFolder, &QPushButton::clicked, this, &TfmDebug::btnFolderClick);
    connect(btnFile, &QPushButton::clicked, this, &TfmDebug::btnFileClick);

    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton* btn : {btnOK, btnCancel}) btn->setFixedSize(80, 27);
    connect(btnOK, &QPushButton::clicked, this, &TfmDebug::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* rowLevel = new QHBoxLayout();
    rowLevel->addWidget(lblLevel);
    rowLevel->addWidget(cbxLevel, 1);
    auto* rowButtons = new QHBoxLayout();
    rowButtons->addStretch(1);
    rowButtons->addWidget(btnOK);
    rowButtons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(imgText);
    layout->addWidget(cbEnable);
    layout->addLayout(rowLevel);
    layout->addWidget(grpInfo);
    layout->addLayout(rowButtons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ApplySkin(this);
    ExchangeData(false);
}

bool TfmDebug::ExchangeData(bool bFromControls) {
    if (!bFromControls) {
        LoadLogPathBoxes(edtFolder, btnFolder, edtFile, btnFile);
        cbEnable->setChecked(g_Settings.EnableDebug);
        cbxLevel->clear();
        for (int i = 0; i < 3; ++i) cbxLevel->addItem(QString::fromLatin1(s_szLevels[i]), s_nLevelValues[i]);
        cbxLevel->setCurrentIndex(g_Settings.LogLevel == 0 ? 0 : g_Settings.LogLevel == 1 ? 1 : 2);
        return true;
    }
    g_Settings.EnableDebug = cbEnable->isChecked();
    const int nIndex = cbxLevel->currentIndex();
    g_Settings.LogLevel = nIndex == 0 ? 0 : nIndex == 1 ? 1 : 3;
    g_DebugUtil.Enable(g_Settings.EnableDebug);
    g_DebugUtil.SetLevel(g_Settings.LogLevel);
    return true;
}

void TfmDebug::btnOKClick() {
    if (ExchangeData(true)) accept();
}

void TfmDebug::btnFolderClick() { RunProgram(edtFolder->text().toUtf8().constData()); }

void TfmDebug::btnFileClick() { OpenLogFile(this, edtFile->text()); }

void TfmDebug::imgTextClick() { OpenWebPage(); }

int ShowDebugDialog(QWidget* pOwner) {
    TfmDebug dlg(pOwner);
    return dlg.exec();
}
