#include "app/ui/Skins.h"

#include <QVariant>
#include <QWidget>

namespace {

// Blue gradients on a pale blue ground, glassy buttons.
const char* const s_szBlueGlass = R"(
QDialog, QMainWindow { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f4f8fe, stop:1 #dce8f7); }
QWidget { color: #0b2447; }
QLabel { background: transparent; }
QPushButton[narrow="true"] { padding: 0px; }
QPushButton {
    color: #0b2447; border: 1px solid #4a7ebb; border-radius: 3px; padding: 2px 8px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f7fbff, stop:0.49 #d7e8fb, stop:0.5 #b9d5f4, stop:1 #d4e6fa);
}
QPushButton:hover { border-color: #2a5f9e; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:0.49 #e3f0fd, stop:0.5 #c6def8, stop:1 #e2effc); }
QPushButton:pressed { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #a9c9ee, stop:1 #d4e6fa); }
QPushButton:default { border: 2px solid #2a5f9e; }
QPushButton:disabled { color: #8a9bb0; border-color: #a9bcd4; }
QGroupBox { border: 1px solid #7fa7d9; border-radius: 4px; margin-top: 8px; padding-top: 4px; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; color: #1c4e9c; }
QMenuBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e9f2fd, stop:1 #c3daf5); border-bottom: 1px solid #7fa7d9; }
QMenuBar::item { background: transparent; padding: 3px 8px; }
QMenuBar::item:selected { background: #a9c9ee; border-radius: 2px; }
QMenu { background: #f7fbff; border: 1px solid #4a7ebb; }
QMenu::item { padding: 3px 24px 3px 24px; }
QMenu::item:selected { background: #c6def8; color: #0b2447; }
QMenu::separator { height: 1px; background: #a9bcd4; margin: 3px 6px; }
QTabWidget::pane { border: 1px solid #7fa7d9; background: #f4f8fe; }
QTabBar::tab { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e9f2fd, stop:1 #c3daf5);
               border: 1px solid #7fa7d9; border-bottom: none; padding: 4px 12px; margin-right: 2px;
               border-top-left-radius: 4px; border-top-right-radius: 4px; }
QTabBar::tab:selected { background: #f4f8fe; }
QHeaderView::section { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f7fbff, stop:1 #cfe2f8);
                       border: none; border-right: 1px solid #a9bcd4; border-bottom: 1px solid #7fa7d9; padding: 2px 4px; }
QStatusBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #dce8f7, stop:1 #c3daf5); border-top: 1px solid #7fa7d9; }
QProgressBar { border: 1px solid #4a7ebb; border-radius: 3px; background: #ffffff; text-align: center; }
QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #8fc1f5, stop:1 #2f6db5); }
QLineEdit, QComboBox { border: 1px solid #7fa7d9; border-radius: 2px; padding: 1px 3px; background: #ffffff; }
QComboBox QAbstractItemView { background: #ffffff; selection-background-color: #c6def8; selection-color: #0b2447; }
)";

// The sand-coloured ground and rounded, orange-lit buttons of Windows XP.
const char* const s_szWinXP = R"(
QDialog, QMainWindow { background: #ece9d8; }
QWidget { color: #000000; }
QLabel { background: transparent; }
QPushButton[narrow="true"] { padding: 0px; }
QPushButton {
    color: #000000; border: 1px solid #003c74; border-radius: 3px; padding: 2px 8px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:0.85 #ece9d8, stop:1 #d6d0c5);
}
QPushButton:hover { border: 1px solid #e59700; }
QPushButton:pressed { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #d6d0c5, stop:1 #f0efe8); }
QPushButton:default { border: 2px solid #316ac5; }
QPushButton:disabled { color: #aca899; border-color: #c9c7ba; }
QGroupBox { border: 1px solid #d0d0bf; border-radius: 4px; margin-top: 8px; padding-top: 4px; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; color: #0046d5; }
QMenuBar { background: #ece9d8; border-bottom: 1px solid #aca899; }
QMenuBar::item { background: transparent; padding: 3px 8px; }
QMenuBar::item:selected { background: #316ac5; color: #ffffff; }
QMenu { background: #ffffff; border: 1px solid #aca899; }
QMenu::item { padding: 3px 24px 3px 24px; }
QMenu::item:selected { background: #316ac5; color: #ffffff; }
QMenu::separator { height: 1px; background: #aca899; margin: 3px 6px; }
QTabWidget::pane { border: 1px solid #919b9c; background: #fcfcfe; }
QTabBar::tab { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #ecebe5);
               border: 1px solid #919b9c; border-bottom: none; padding: 4px 12px; margin-right: 2px;
               border-top-left-radius: 3px; border-top-right-radius: 3px; }
QTabBar::tab:selected { background: #fcfcfe; border-top: 2px solid #ffc83c; }
QHeaderView::section { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #ebeadb);
                       border: none; border-right: 1px solid #d6d2c2; border-bottom: 2px solid #d6d2c2; padding: 2px 4px; }
QStatusBar { background: #ece9d8; border-top: 1px solid #aca899; }
QProgressBar { border: 1px solid #686868; border-radius: 3px; background: #ffffff; text-align: center; }
QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #a8f0a8, stop:0.5 #2fc43a, stop:1 #a8f0a8);
                      width: 8px; margin: 1px; }
QLineEdit, QComboBox { border: 1px solid #7f9db9; padding: 1px 3px; background: #ffffff; }
QComboBox QAbstractItemView { background: #ffffff; selection-background-color: #316ac5; selection-color: #ffffff; }
)";

// Light grey ground, pill-shaped buttons and an aqua default button.
const char* const s_szMacOS = R"(
QDialog, QMainWindow { background: #ececec; }
QWidget { color: #1d1d1f; }
QLabel { background: transparent; }
QPushButton[narrow="true"] { padding: 0px; }
QPushButton {
    color: #1d1d1f; border: 1px solid #9a9a9a; border-radius: 9px; padding: 2px 10px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #dedede);
}
QPushButton:hover { border-color: #6f6f6f; }
QPushButton:pressed { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #cfcfcf, stop:1 #e8e8e8); }
QPushButton:default { color: #ffffff; border: 1px solid #2a6fd6;
                      background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #7ab8fb, stop:0.5 #3d8ff5, stop:1 #1f74e8); }
QPushButton:disabled { color: #a0a0a0; border-color: #c4c4c4; background: #f2f2f2; }
QGroupBox { border: 1px solid #c2c2c2; border-radius: 6px; margin-top: 8px; padding-top: 4px; background: #e4e4e4; }
QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 2px; color: #1d1d1f; }
QMenuBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f8f8f8, stop:1 #dcdcdc); border-bottom: 1px solid #b0b0b0; }
QMenuBar::item { background: transparent; padding: 3px 10px; }
QMenuBar::item:selected { background: #3d8ff5; color: #ffffff; }
QMenu { background: #f7f7f7; border: 1px solid #b0b0b0; border-radius: 4px; }
QMenu::item { padding: 3px 24px 3px 24px; }
QMenu::item:selected { background: #3d8ff5; color: #ffffff; }
QMenu::separator { height: 1px; background: #d0d0d0; margin: 3px 6px; }
QTabWidget::pane { border: 1px solid #b0b0b0; border-radius: 4px; background: #f0f0f0; }
QTabBar::tab { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #e0e0e0);
               border: 1px solid #a8a8a8; padding: 3px 14px; }
QTabBar::tab:first { border-top-left-radius: 8px; border-bottom-left-radius: 8px; }
QTabBar::tab:last { border-top-right-radius: 8px; border-bottom-right-radius: 8px; }
QTabBar::tab:selected { color: #ffffff; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #7ab8fb, stop:1 #1f74e8); }
QHeaderView::section { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #e6e6e6);
                       border: none; border-right: 1px solid #d0d0d0; border-bottom: 1px solid #b0b0b0; padding: 2px 4px; }
QStatusBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e8e8e8, stop:1 #d4d4d4); border-top: 1px solid #b0b0b0; }
QProgressBar { border: 1px solid #9a9a9a; border-radius: 6px; background: #ffffff; text-align: center; }
QProgressBar::chunk { border-radius: 5px; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #9ccbfc, stop:1 #2f7fe6); }
QLineEdit, QComboBox { border: 1px solid #a8a8a8; border-radius: 3px; padding: 1px 3px; background: #ffffff; }
QComboBox QAbstractItemView { background: #ffffff; selection-background-color: #3d8ff5; selection-color: #ffffff; }
)";

}  // namespace

QString SkinStyleSheet(const QString& szStyle) {
    if (szStyle == QLatin1String(SKIN_WINXP)) return QString::fromLatin1(s_szWinXP);
    if (szStyle == QLatin1String(SKIN_MACOS)) return QString::fromLatin1(s_szMacOS);
    return QString::fromLatin1(s_szBlueGlass);
}

void ApplySkin(QWidget* pWidget, const QString& szStyle) {
    if (pWidget == nullptr) return;
    const QString szName = (szStyle == QLatin1String(SKIN_WINXP) || szStyle == QLatin1String(SKIN_MACOS))
                               ? szStyle
                               : QStringLiteral(SKIN_BLUEGLASS);
    pWidget->setProperty("skin", szName);
    pWidget->setStyleSheet(SkinStyleSheet(szName));
}
