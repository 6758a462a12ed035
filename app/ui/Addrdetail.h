// The contact detail view: one contact record on four tabbed pages. It only
// displays; nothing typed into it reaches the record or a store.
#pragma once

#include <QDialog>

#include "common/model/CommAddr.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

class TfmAddrDetail : public QDialog {
    Q_OBJECT
public:
    explicit TfmAddrDetail(QWidget* pOwner = nullptr);

    // Keeps pAddr (not owned; it must outlive the dialog) and fills the
    // controls from it; returns what ExchangeData(false) returns.
    bool SetAddr(const CommAddr* pAddr);
    // Load direction (false): copies the record into the controls; true.
    // Store direction (true): does nothing; true. False with no record set.
    bool ExchangeData(bool bSave);

public slots:
    // Hands the home page to the shell when the box holds any text.
    void btnGoClick();

private:
    const CommAddr* m_pAddr = nullptr;

    QTabWidget* pcDetail;
    QTabWidget* pcAddress;
    QLineEdit *edtFirst, *edtLast, *edtCompany, *edtTitle;
    QLineEdit *edtBusiTel, *edtHomeTel, *edtMobileTel, *edtOtherTel, *edtEmail, *edtFax, *edtPager, *edtMainTel;
    QLineEdit* edtBirthday;
    QCheckBox* cbPrivate;
    QLineEdit* edtCategory;
    QPlainTextEdit *memBusiStreet, *memHomeStreet, *memOtherStreet;
    QLineEdit *edtBusiCity, *edtBusiState, *edtBusiPostal, *edtBusiCountry;
    QLineEdit *edtHomeCity, *edtHomeState, *edtHomePostal, *edtHomeCountry;
    QLineEdit *edtOtherCity, *edtOtherState, *edtOtherPostal, *edtOtherCountry;
    QPlainTextEdit* memNotes;
    QLineEdit* edtCustom[9];
    QLineEdit *edtIM1, *edtIM2, *edtHomepage;
    QPushButton* btnGo;
    QPushButton* btnClose;
};
