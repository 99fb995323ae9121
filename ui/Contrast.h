#pragma once

#include <QColor>
#include <QPalette>

// Colour choices that keep the program's fixed colours readable on any theme's palette.

// Relative luminance of a colour as the accessibility guidelines define it, 0 (black) to 1.
double RelativeLuminance(const QColor& colour);

// Contrast ratio of two colours, 1 (none) to 21 (black on white).
double ContrastRatio(const QColor& first, const QColor& second);

// A window colour against which dark ink reads worse than light ink.
bool IsDarkColour(const QColor& colour);

// The link colour on `palette`'s window: the classic pure blue while it keeps a 4.5:1 contrast
// ratio there, else the palette's own link colour.
QColor LinkColour(const QPalette& palette);
