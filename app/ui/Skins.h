// The three looks of the program's forms, as Qt style sheets: "BlueGlass"
// (the default), "WinXP" and "MacOS".
#pragma once

#include <QString>

class QWidget;

#define SKIN_BLUEGLASS "BlueGlass"
#define SKIN_WINXP "WinXP"
#define SKIN_MACOS "MacOS"

// The style sheet of a style; an unknown name gives "BlueGlass".
QString SkinStyleSheet(const QString& szStyle);

// Gives pWidget (a form or a single control) and its children the style,
// and records its name in the widget's "skin" property. Call it once per
// widget, before it is shown: Qt does not reliably repaint a form's own
// ground when its sheet is replaced later, so the skins are not switchable
// at run time. A control inside a skinned form may take another style.
void ApplySkin(QWidget* pWidget, const QString& szStyle = QStringLiteral(SKIN_BLUEGLASS));
