#include "app/ui/WabFileChoice.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <cstring>

#include "app/Apputil.h"
#include "app/ui/UiSeams.h"
#include "platform/win32/TextCopy.h"

namespace {

// What the file-open dialog is given: the initial name of at most 259 bytes
// (never cut inside a character).
const size_t kInitialNameMax = 259;

}  // namespace

bool IsUsableWabFile(const QByteArray& szPath) {
    if (szPath.isEmpty() || (size_t)szPath.size() >= sizeof(g_Settings.WabName)) return false;
    if (strlen(szPath.constData()) != (size_t)szPath.size()) return false;  // an embedded NUL
    struct stat st;
    if (stat(szPath.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return access(szPath.constData(), R_OK) == 0;
}

WabFileChoice::WabFileChoice(QWidget* pDialog, const char* szCaption) : QObject(pDialog), m_pDialog(pDialog) {
    m_gbWab = new QGroupBox(QString::fromUtf8(szCaption), pDialog);
    m_gbWab->setObjectName("gbWabOptions");
    auto* g = new QGridLayout(m_gbWab);
    m_rbtnDef = new QRadioButton("Default WAB File", m_gbWab);
    m_rbtnDef->setObjectName("rbtnWABDef");
    m_rbtnSpec = new QRadioButton("Specific WAB File", m_gbWab);
    m_rbtnSpec->setObjectName("rbtnWABSpec");
    m_edtFile = new QLineEdit(m_gbWab);
    m_edtFile->setObjectName("edtWABFile");
    m_edtFile->setMinimumWidth(260);
    m_btnBrowse = new QPushButton("...", m_gbWab);
    m_btnBrowse->setObjectName("btnWABBrowse");
    m_btnBrowse->setFixedWidth(30);
    m_btnBrowse->setAutoDefault(false);
    g->addWidget(m_rbtnDef, 0, 0);
    g->addWidget(m_rbtnSpec, 1, 0);
    g->addWidget(m_edtFile, 1, 1);
    g->addWidget(m_btnBrowse, 1, 2);
    connect(m_rbtnDef, &QRadioButton::clicked, this, &WabFileChoice::rbtnWABDefClick);
    connect(m_rbtnSpec, &QRadioButton::clicked, this, &WabFileChoice::rbtnWABSpecClick);
    connect(m_btnBrowse, &QPushButton::clicked, this, &WabFileChoice::btnWABBrowseClick);
}

void WabFileChoice::Load() {
    char szName[sizeof(g_Settings.WabName)];
    CopyText(szName, g_Settings.WabName);
    if (szName[0] != '\0') {
        m_rbtnSpec->setChecked(true);
        rbtnWABSpecClick();
        m_edtFile->setText(QString::fromUtf8(szName));
    } else {
        m_rbtnDef->setChecked(true);
        rbtnWABDefClick();
    }
}

bool WabFileChoice::Store() {
    if (m_rbtnDef->isChecked()) {
        g_Settings.WabName[0] = '\0';
        return true;
    }
    QByteArray szPath = m_edtFile->text().toUtf8();
    if (!IsUsableWabFile(szPath)) {
        CxMessageBox::Show(m_pDialog, CxMessageBox::Error, "Error", "Invalid WAB file name");
        m_edtFile->setFocus();
        return false;
    }
    memcpy(g_Settings.WabName, szPath.constData(), (size_t)szPath.size() + 1);
    return true;
}

void WabFileChoice::rbtnWABDefClick() {
    m_edtFile->setEnabled(false);
    m_edtFile->setStyleSheet("QLineEdit { background: #c0c0c0; }");
    m_btnBrowse->setEnabled(false);
}

void WabFileChoice::rbtnWABSpecClick() {
    m_edtFile->setEnabled(true);
    m_edtFile->setStyleSheet(
        QString("QLineEdit { background: %1; }").arg(QApplication::palette().color(QPalette::Base).name()));
    m_btnBrowse->setEnabled(true);
}

void WabFileChoice::btnWABBrowseClick() {
    QByteArray szInitial = m_edtFile->text().toUtf8();
    szInitial.truncate((qsizetype)Utf8FitLengthN(szInitial.constData(), (size_t)szInitial.size(), kInitialNameMax));
    // "*" is what "*.*" means on Windows: every file, with or without a dot.
    QString szFile = CxFileDialog::GetOpenFileName(m_pDialog, "Open Windows Address Book File",
                                                   QString::fromUtf8(szInitial),
                                                   "Windows Address Book File (*.wab);;All Files(*)");
    if (!szFile.isEmpty()) m_edtFile->setText(szFile);
}
