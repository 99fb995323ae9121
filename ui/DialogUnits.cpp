#include "ui/DialogUnits.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

namespace {

// MulDiv for the small non-negative and negative values of a layout: rounds half away
// from zero.
int ScaleRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

}  // namespace

QFont DialogFont() {
    // The templates were drawn for an 8-point face of 6 x 13 base units; the first of these
    // that is installed keeps them as drawn, the desktop's own face is the last resort.
    QFont font = QApplication::font();
    const QStringList installed = QFontDatabase::families();
    for (const char* family : {"Tahoma", "DejaVu Sans Condensed"}) {
        if (installed.contains(QLatin1String(family))) {
            font.setFamily(QLatin1String(family));
            break;
        }
    }
    font.setPointSize(8);
    return font;
}

DialogBaseUnits MeasureBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{(letters / 26 + 1) / 2, metrics.height()};
}

int DialogUnitsToPixelsX(int units, DialogBaseUnits base) {
    return ScaleRounded(units, base.x, 4);
}

int DialogUnitsToPixelsY(int units, DialogBaseUnits base) {
    return ScaleRounded(units, base.y, 8);
}

QRect DialogUnitsToPixels(const QRect& units, DialogBaseUnits base) {
    return QRect(DialogUnitsToPixelsX(units.x(), base), DialogUnitsToPixelsY(units.y(), base),
                 DialogUnitsToPixelsX(units.width(), base),
                 DialogUnitsToPixelsY(units.height(), base));
}
