#include "app/ui/WabFileChoice.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
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

WabFileChoice::WabFileChoice(QWidget* pDialog, QRadioButton* rbtnWABDef, QRadioButton* rbtnWABSpec,
                             QLineEdit* edtWABFile, QPushButton* btnWABBrowse)
    : QObject(pDialog),
      m_pDialog(pDialog),
      m_rbtnDef(rbtnWABDef),
      m_rbtnSpec(rbtnWABSpec),
      m_edtFile(edtWABFile),
      m_btnBrowse(btnWABBrowse) {
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
