// The debug settings dialog: switches the debug log on or off and sets its
// level, and shows where the log is kept.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class CxClickLabel;

class TfmDebug : public QDialog {
    Q_OBJECT
public:
    explicit TfmDebug(QWidget* pOwner = nullptr);

    // False: settings into the controls (the path boxes, cbEnable from
    // EnableDebug, the level list with LogLevel's entry selected: 0 the
    // first, 1 the second, any other the third). True: EnableDebug and
    // LogLevel (0, 1 or 3) from the controls, applied to the running log at
    // once. Returns true.
    bool ExchangeData(bool bFromControls);

    CxClickLabel* imgText;
    QCheckBox* cbEnable;
    QComboBox* cbxLevel;
    QLineEdit* edtFolder;
    QPushButton* btnFolder;
    QLineEdit* edtFile;
    QPushButton* btnFile;
    QPushButton* btnOK;
    QPushButton* btnCancel;

private slots:
    void btnOKClick();
    void btnFolderClick();
    void btnFileClick();
    void imgTextClick();
};

// Shows the debug settings modally, owned by pOwner (may be none), and
// destroys them. Returns the dialog's result (QDialog::Accepted after OK).
int ShowDebugDialog(QWidget* pOwner);

// The log folder and file boxes shared by the debug dialogs: fills them from
// the data folder ("<folder>appdebug.log" for the file), or, when the data
// folder cannot be had, leaves both empty and disables both buttons.
void LoadLogPathBoxes(QLineEdit* edtFolder, QPushButton* btnFolder, QLineEdit* edtFile, QPushButton* btnFile);
// The file button of those dialogs: opens szFile with the shell, or tells
// the user "Debug log file doesn't exist" when there is no such file.
void OpenLogFile(QWidget* pOwner, const QString& szFile);
// The read-only look of the path boxes (money green).
void MakePathBox(QLineEdit* edt);
// The "Log Folder:" and "Log File:" rows of those dialogs, made as children
// of pParent and put into grid at rows nRow and nRow + 1: a label, a path box
// (MakePathBox) and a narrow "..." button each, named edtFolder, btnFolder,
// edtFile and btnFile and returned through the last four arguments.
void AddLogPathRows(QWidget* pParent, QGridLayout* grid, int nRow, QLineEdit** pEdtFolder, QPushButton** pBtnFolder,
                    QLineEdit** pEdtFile, QPushButton** pBtnFile);
