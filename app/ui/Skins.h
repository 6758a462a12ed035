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
// and records its name in the widget's "skin" property.
void ApplySkin(QWidget* pWidget, const QString& szStyle = QStringLiteral(SKIN_BLUEGLASS));
