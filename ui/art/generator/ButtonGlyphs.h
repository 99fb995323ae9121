#pragma once

#include <QPainter>
#include <QRectF>

// The symbols of the five bitmap buttons, each drawn into a square box.
namespace art {

void DrawRunGlyph(QPainter& painter, const QRectF& box);
void DrawReconnectGlyph(QPainter& painter, const QRectF& box);
void DrawReloadGlyph(QPainter& painter, const QRectF& box);
void DrawOpenGlyph(QPainter& painter, const QRectF& box);
void DrawWriteGlyph(QPainter& painter, const QRectF& box);

}  // namespace art
