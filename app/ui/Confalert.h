// The conflict dialog of a two-way run: the WAB and the Outlook version of a
// contact side by side, what to do with them, and whether the choice holds
// for the rest of the run or for all future runs. It only collects the
// answer; the synchronization driver applies it.
#pragma once

#include <QDialog>

#include "common/model/CommAddr.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;

// Modal results of the dialog.
#define CONFALERT_OK 1
#define CONFALERT_CANCEL 2  // Cancel, Escape or the close button

class TfmConfAlert : public QDialog {
    Q_OBJECT
public:
    // Action 3 (do nothing), both flags false.
    explicit TfmConfAlert(QWidget* pOwner = nullptr);

    // Shows the two contacts in lvAddr: a "WAB" row and an "Outlook" row,
    // cells whose values differ in bold on a tinted ground, and on every cell
    // a tooltip naming each comparison field in which the two differ, with
    // both values. Does nothing when either contact is missing.
    void SetContacts(const CommAddr* pWabAddr, const CommAddr* pOlAddr);

    // False: tick the radio button of m_nAction (1 W2O, 2 O2W, else Do
    // Nothing); the check boxes are left alone. True: m_nAction and both
    // flags from the controls. Returns true.
    bool ExchangeData(bool bFromControls);

    // 1: the WAB contact overwrites Outlook's; 2: the Outlook contact
    // overwrites the WAB's; 3: do nothing. Meaningful after OK.
    int GetAction() const { return m_nAction; }
    bool IsThisSync() const { return m_bThisSync; }
    bool IsAllFuture() const { return m_bAllFuture; }

    QLabel* Label1;
    QTreeWidget* lvAddr;
    QRadioButton* rbtnW2O;
    QRadioButton* rbtnO2W;
    QRadioButton* rbtnNothing;
    QCheckBox* cbThis;
    QCheckBox* cbAll;
    QPushButton* btnOK;
    QPushButton* btnCancel;

public slots:
    // Escape and the close button end here: modal result 2.
    void reject() override;

private slots:
    void btnOKClick();
    void btnCancelClick();

private:
    int m_nAction;
    bool m_bThisSync;
    bool m_bAllFuture;
};
