// The program's logo: two address cards joined by two turning arrows on a
// blue tile. Drawn in code; pellmark.svg beside this file is the same
// picture for the installed icon.
#pragma once

#include <QPixmap>

// The logo as a square picture of nSize × nSize pixels (at least 1), on a
// transparent ground outside the tile's rounded corners.
QPixmap PellmarkLogo(int nSize);
