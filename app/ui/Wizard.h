// The first-run wizard: the installed Outlook's version, the WAB file choice,
// the switch that brings the wizard back at start, and the debug settings.
// It edits g_Settings in memory; the settings file is written at exit.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class WabFileChoice;

class TfmWizard : public QDialog {
    Q_OBJECT
public:
    // Builds the controls and runs the load direction.
    explicit TfmWizard(QWidget* pOwner = nullptr);

    // Load (false): the Outlook version (blue) or "Not Found." (red), the WAB
    // file choice and cbShow from ShowWizard; true. Store (true): the WAB
    // file, then ShowWizard from cbShow; false, storing nothing, when the
    // WAB file is rejected.
    bool ExchangeData(bool bSave);

public slots:
    void btnOKClick();
    // Opens the debug settings dialog.
    void btnDebugClick();

private:
    QLabel* imgText;
    QLabel* lblOLVer;
    QRadioButton *rbtnWABDef, *rbtnWABSpec;
    QLineEdit* edtWABFile;
    QPushButton* btnWABBrowse;
    QCheckBox* cbShow;
    QPushButton* btnDebug;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    WabFileChoice* m_pWabChoice;
};
