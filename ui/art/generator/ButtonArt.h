#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>

namespace art {

enum class ButtonState { Normal, Pressed, Focused, Disabled };

// Draws a button's symbol into a square box.
using GlyphPainter = void (*)(QPainter& painter, const QRectF& box);

// A 47 x 42 bitmap button on the dialog colour: a raised face with the symbol, in one state.
// Pressed sinks by one pixel and darkens, focused adds a blue ring, disabled greys out.
QImage ButtonImage(GlyphPainter glyph, ButtonState state);

}  // namespace art
