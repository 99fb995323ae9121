#pragma once

#include <QFont>
#include <QRect>

// Dialog templates are laid out in dialog units: a quarter of the dialog font's average
// character width horizontally and an eighth of its height vertically.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// The font every template uses: the desktop's sans-serif face at 8 points.
QFont DialogFont();

// Measured as Windows does: the average width of the 52 Latin letters, rounded, and the
// font's height.
DialogBaseUnits MeasureBaseUnits(const QFont& font);

int DialogUnitsToPixelsX(int units, DialogBaseUnits base);
int DialogUnitsToPixelsY(int units, DialogBaseUnits base);
QRect DialogUnitsToPixels(const QRect& units, DialogBaseUnits base);
