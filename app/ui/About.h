// The about dialog: the logo (a click opens the product's web page), the
// ownership notice and the legal warning. It reads and changes no settings.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget* pOwner = nullptr);

public slots:
    // Opens the product's web page.
    void imgLogoClick();

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    QLabel* imgLogo;
    QLabel* Label2;
    QLabel* lblWarning[4];
    QPushButton* btnOK;
};
