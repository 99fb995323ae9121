#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>

namespace art {

// The maker's name "vardeno" as a geometric lowercase wordmark, drawn from circles and straight
// strokes so that it needs no font. `origin` is the left end of the baseline; `xHeight` sets the
// size. The path is filled with the winding rule.
QPainterPath WordmarkPath(QPointF origin, qreal xHeight);

// The wordmark in `ink`, with an amber light in its last letter, the maker's signature detail.
void DrawWordmark(QPainter& painter, QPointF origin, qreal xHeight, const QColor& ink);

}  // namespace art
