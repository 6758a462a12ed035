#include "app/ui/UiSeams.h"

#include <QColorDialog>
#include <QFileDialog>
#include <deque>

namespace {

std::deque<QMessageBox::StandardButton> s_nextAnswers;
std::vector<CxMessageBox::Shown> s_shownBoxes;

std::deque<QString> s_nextFileNames;
std::vector<CxFileDialog::Shown> s_shownFileDialogs;

std::deque<QColor> s_nextColors;
std::vector<CxColorDialog::Shown> s_shownColorDialogs;

QMessageBox::Icon ToQtIcon(CxMessageBox::Icon nIcon) {
    switch (nIcon) {
        case CxMessageBox::Error: return QMessageBox::Critical;
        case CxMessageBox::Warning: return QMessageBox::Warning;
        case CxMessageBox::Question: return QMessageBox::Question;
        case CxMessageBox::Information: break;
    }
    return QMessageBox::Information;
}

}  // namespace

QMessageBox::StandardButton CxMessageBox::Show(QWidget* pParent, Icon nIcon, const QString& szCaption,
                                               const QString& szText, QMessageBox::StandardButtons nButtons,
                                               QMessageBox::StandardButton nDefault) {
    QMessageBox::StandardButton nAnswer;
    if (!s_nextAnswers.empty()) {
        nAnswer = s_nextAnswers.front();
        s_nextAnswers.pop_front();
    } else {
        QMessageBox box(pParent);
        box.setIcon(ToQtIcon(nIcon));
        box.setWindowTitle(szCaption);
        // Contact names may hold '<' or '&': never read them as markup.
        box.setTextFormat(Qt::PlainText);
        box.setText(szText);
        box.setStandardButtons(nButtons);
        if (nDefault != QMessageBox::NoButton) box.setDefaultButton(nDefault);
        nAnswer = static_cast<QMessageBox::StandardButton>(box.exec());
    }
    s_shownBoxes.push_back(Shown{szCaption, szText, nIcon, nButtons, nAnswer});
    return nAnswer;
}

void CxMessageBox::setNextAnswer(QMessageBox::StandardButton nAnswer) { s_nextAnswers.push_back(nAnswer); }
int CxMessageBox::pendingAnswers() { return static_cast<int>(s_nextAnswers.size()); }
const std::vector<CxMessageBox::Shown>& CxMessageBox::shown() { return s_shownBoxes; }
void CxMessageBox::clear() {
    s_nextAnswers.clear();
    s_shownBoxes.clear();
}

QString CxFileDialog::GetOpenFileName(QWidget* pParent, const QString& szTitle, const QString& szInitial,
                                      const QString& szFilters) {
    QString szResult;
    if (!s_nextFileNames.empty()) {
        szResult = s_nextFileNames.front();
        s_nextFileNames.pop_front();
    } else {
        szResult = QFileDialog::getOpenFileName(pParent, szTitle, szInitial, szFilters);
    }
    s_shownFileDialogs.push_back(Shown{szTitle, szFilters, szInitial, szResult});
    return szResult;
}

void CxFileDialog::setNextFileName(const QString& szName) { s_nextFileNames.push_back(szName); }
int CxFileDialog::pendingAnswers() { return static_cast<int>(s_nextFileNames.size()); }
const std::vector<CxFileDialog::Shown>& CxFileDialog::shown() { return s_shownFileDialogs; }
void CxFileDialog::clear() {
    s_nextFileNames.clear();
    s_shownFileDialogs.clear();
}

QColor CxColorDialog::GetColor(QWidget* pParent, const QColor& crInitial) {
    QColor crResult;
    if (!s_nextColors.empty()) {
        crResult = s_nextColors.front();
        s_nextColors.pop_front();
    } else {
        crResult = QColorDialog::getColor(crInitial, pParent);
    }
    s_shownColorDialogs.push_back(Shown{crInitial, crResult});
    return crResult;
}

void CxColorDialog::setNextColor(const QColor& crColor) { s_nextColors.push_back(crColor); }
int CxColorDialog::pendingAnswers() { return static_cast<int>(s_nextColors.size()); }
const std::vector<CxColorDialog::Shown>& CxColorDialog::shown() { return s_shownColorDialogs; }
void CxColorDialog::clear() {
    s_nextColors.clear();
    s_shownColorDialogs.clear();
}
