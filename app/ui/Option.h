// The options dialog: list colours, the wizard switch, the e-mail filter,
// the rule for conflicting records and the WAB file. It edits g_Settings in
// memory; the settings file is written at exit.
#pragma once

#include <QDialog>

#include "app/Apputil.h"

class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QRadioButton;
class WabFileChoice;

class TfmOption : public QDialog {
    Q_OBJECT
public:
    explicit TfmOption(QWidget* pOwner = nullptr);

    // Load (false): g_Settings into the controls; true. Store (true): the
    // check boxes and colours, then the conflict rule, then the WAB file;
    // false when the WAB file is rejected, with the earlier settings already
    // changed.
    bool ExchangeData(bool bSave);

    // The colour a panel shows.
    static COLORREF PanelColor(const QFrame* pPanel);

public slots:
    // Stores the controls and closes with OK only when that succeeds.
    void btnOKClick();
    // Each runs the colour dialog on its panel's colour; a confirmed colour
    // becomes the panel's.
    void pnlSameColorClick();
    void pnlDiffColorClick();
    void pnlNewColorClick();

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void ChoosePanelColor(QFrame* pPanel);
    static void SetPanelColor(QFrame* pPanel, COLORREF crColor);

    QCheckBox* cbShowWizard;
    QCheckBox* cbShowColor;
    QFrame* pnlSameColor;
    QFrame* pnlDiffColor;
    QFrame* pnlNewColor;
    QCheckBox* cbEmailOnly;
    QRadioButton *rbtnO2W, *rbtnW2O, *rbtnRemind, *rbtnNothing;
    QRadioButton *rbtnWABDef, *rbtnWABSpec;
    QLineEdit* edtWABFile;
    QPushButton* btnWABBrowse;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    WabFileChoice* m_pWabChoice;
};
