#include "ui/Contrast.h"

#include <cmath>

namespace {

// The smallest contrast ratio of normal text that the accessibility guidelines accept.
constexpr double kReadableContrast = 4.5;

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) +
           0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor& first, const QColor& second) {
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

bool IsDarkColour(const QColor& colour) {
    return ContrastRatio(colour, Qt::white) > ContrastRatio(colour, Qt::black);
}

QColor LinkColour(const QPalette& palette) {
    const QColor classic(0, 0, 255);
    const QColor window = palette.color(QPalette::Window);
    return ContrastRatio(classic, window) >= kReadableContrast ? classic
                                                               : palette.color(QPalette::Link);
}
