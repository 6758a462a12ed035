// The WAB file choice that the options dialog and the first-run wizard share:
// "Default WAB File" or "Specific WAB File" with a name box and a browse
// button, loaded from and stored into the setting WabName.
#pragma once

#include <QObject>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// Whether szPath may become WabName: a readable regular file whose path fits
// in WabName whole (at most 255 bytes). A file that is not an address book is
// accepted; the store reports it when it is opened.
bool IsUsableWabFile(const QByteArray& szPath);

class WabFileChoice : public QObject {
    Q_OBJECT
public:
    // Builds the group box "gbWabOptions" captioned szCaption, a child of
    // pDialog for the dialog to lay out: "Default WAB File" (rbtnWABDef) above
    // "Specific WAB File" (rbtnWABSpec), the name box (edtWABFile, at least
    // 260 wide) and a 30-wide "..." button (btnWABBrowse, not auto-default)
    // beside the second; connects the radio buttons and the browse button.
    WabFileChoice(QWidget* pDialog, const char* szCaption);

    // The controls built, owned by the dialog.
    QGroupBox* GetGroupBox() const { return m_gbWab; }
    QRadioButton* GetDefaultButton() const { return m_rbtnDef; }
    QRadioButton* GetSpecificButton() const { return m_rbtnSpec; }
    QLineEdit* GetFileBox() const { return m_edtFile; }
    QPushButton* GetBrowseButton() const { return m_btnBrowse; }

    // Ticks "Specific WAB File" with WabName in the box when WabName is not
    // empty, else "Default WAB File"; runs the ticked button's handler.
    void Load();
    // "Default WAB File": WabName emptied; true. Otherwise the box must name
    // a usable file: WabName takes it whole; true. Else "Invalid WAB file
    // name" is shown, the focus goes to the box, WabName is left alone; false.
    bool Store();

    // "Default WAB File": the box and the button disabled, the box silver.
    void rbtnWABDefClick();
    // "Specific WAB File": both enabled, the box in the window colour.
    void rbtnWABSpecClick();
    // The file-open dialog on the box's text; a chosen file replaces it.
    void btnWABBrowseClick();

private:
    QWidget* m_pDialog;
    QGroupBox* m_gbWab;
    QRadioButton* m_rbtnDef;
    QRadioButton* m_rbtnSpec;
    QLineEdit* m_edtFile;
    QPushButton* m_btnBrowse;
};
