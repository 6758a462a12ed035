// The program's logo: two address cards joined by two turning arrows on a
// blue tile. Drawn in code; pellmark.svg beside this file is the same
// picture for the installed icon.
#pragma once

#include <QPixmap>

// The logo as a square picture of nSize × nSize pixels (at least 1), on a
// transparent ground outside the tile's rounded corners.
QPixmap PellmarkLogo(int nSize);

// A picture of szText beside the logo on a pale rounded panel, nWidth ×
// nHeight pixels, the text wrapped to fit: the explanatory pictures of the
// dialogs.
QPixmap PellmarkBanner(const QString& szText, int nWidth, int nHeight);
