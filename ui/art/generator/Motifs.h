#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>

#include "Palette.h"

// Shapes shared by several pictures. Every function draws into the box or around the centre it
// is given, so the same motif scales from a 16-pixel icon to the splash.
namespace art {

// A packaged chip: dark body, silver pins on two or four sides, a pin-1 mark.
struct ChipShape {
    int pinsPerSide = 4;
    bool pinsOnAllSides = true;
    qreal pinLength = 3;
    QColor pin = palette::kPin;
};
void DrawChip(QPainter& painter, const QRectF& body, const ChipShape& shape);

// A lightning bolt filling `box`.
void DrawBolt(QPainter& painter, const QRectF& box, const QColor& fill);

// A straight arrow from `tail` to `tip`.
void DrawArrow(QPainter& painter, QPointF tail, QPointF tip, qreal shaftWidth, qreal headWidth,
               qreal headLength, const QColor& colour);

// An arc of a circle ending in an arrowhead. Angles in degrees, counter-clockwise from 3 o'clock.
void DrawArcArrow(QPainter& painter, QPointF centre, qreal radius, qreal startAngle, qreal sweep,
                  qreal width, const QColor& colour);

// A green circuit board with traces, pads and mounting holes.
void DrawBoard(QPainter& painter, const QRectF& box);

// A page with a folded corner and `lines` lines of text.
void DrawDocument(QPainter& painter, const QRectF& box, int lines);

// The letters H, E and X built from straight strokes, sharp at small sizes; `stroke` thick.
void DrawHexLetters(QPainter& painter, QPointF topLeft, qreal height, qreal stroke,
                    const QColor& colour);

}  // namespace art
