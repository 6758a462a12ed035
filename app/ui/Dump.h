// The error report shown when an exception escapes start-up, the first load
// or a synchronization run: an apology, the support address, where the
// debug log is, and a way to end the program.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class CxClickLabel;

// The product's support address (a build may define another).
#ifndef PELLMARK_SUPPORT_EMAIL
#define PELLMARK_SUPPORT_EMAIL "support@tessaro.com"
#endif

class TfmDump : public QDialog {
    Q_OBJECT
public:
    // pOwner is the main window, or a form it owns; "Exit Program Now" asks
    // the topmost window above pOwner to close.
    explicit TfmDump(QWidget* pOwner = nullptr);

    // False fills the path boxes; the dialog stores nothing. Returns true.
    bool ExchangeData(bool bFromControls);

    QLabel* Label1;
    QLabel* Label2;
    CxClickLabel* lblSupport;
    QLineEdit* edtFolder;
    QPushButton* btnFolder;
    QLineEdit* edtFile;
    QPushButton* btnFile;
    QPushButton* btnDebug;
    QPushButton* btnExit;
    QPushButton* btnOK;
    CxClickLabel* imgText;

private slots:
    void btnOKClick();
    void btnFolderClick();
    void btnFileClick();
    void imgTextClick();
    void btnDebugClick();
    void btnExitClick();
    void lblSupportClick();

private:
    QWidget* m_pOwner;
};

// Shows the error report modally, owned by pOwner (may be none), and
// destroys it.
void ShowErrorReport(QWidget* pOwner);
