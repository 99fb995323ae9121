#include "Wordmark.h"

#include <QPainterPathStroker>
#include <QRectF>

#include "Palette.h"

namespace art {
namespace {

// Proportions of the letters, in x-heights.
constexpr qreal kStroke = 0.2;
constexpr qreal kAscender = 1.42;
constexpr qreal kGap = 0.13;
constexpr qreal kBowlWidth = 1.0;
constexpr qreal kVWidth = 0.92;
constexpr qreal kRWidth = 0.56;
constexpr qreal kNWidth = 0.88;
// Round letters reach a little past the baseline and x-height so they look as tall as the stems.
constexpr qreal kOvershoot = 0.02;

struct Pen {
    qreal h;
    qreal s;
    QPainterPath ink;

    // Adds a centre line, stroked with flat ends.
    void Stroke(const QPainterPath& centre, Qt::PenJoinStyle join = Qt::RoundJoin) {
        QPainterPathStroker stroker;
        stroker.setWidth(s);
        stroker.setCapStyle(Qt::FlatCap);
        stroker.setJoinStyle(join);
        ink = ink.united(stroker.createStroke(centre));
    }

    // A ring whose outer edge spans [left, left + width] and the x-height band.
    QRectF BowlCentreLine(qreal left, qreal width) const {
        const qreal over = h * kOvershoot;
        return QRectF(left + s / 2 - over, -h + s / 2 - over, width - s + 2 * over,
                      h - s + 2 * over);
    }

    void Bowl(qreal left, qreal width) {
        QPainterPath ring;
        ring.addEllipse(BowlCentreLine(left, width));
        Stroke(ring);
    }

    void Stem(qreal x, qreal top, qreal bottom) {
        QPainterPath line;
        line.moveTo(x + s / 2, top);
        line.lineTo(x + s / 2, bottom);
        Stroke(line);
    }

    void V(qreal left, qreal width) {
        // Stroked as a chevron, then trimmed flat at the x-height and the baseline.
        QPainterPath chevron;
        chevron.moveTo(left + s * 0.55, -h - s);
        chevron.lineTo(left + width / 2, 0 + s * 0.35);
        chevron.lineTo(left + width - s * 0.55, -h - s);
        QPainterPathStroker stroker;
        stroker.setWidth(s * 1.08);
        stroker.setCapStyle(Qt::FlatCap);
        stroker.setJoinStyle(Qt::MiterJoin);
        stroker.setMiterLimit(8);
        QPainterPath band;
        band.addRect(QRectF(left - s, -h, width + 2 * s, h));
        ink = ink.united(stroker.createStroke(chevron).intersected(band));
    }

    void A(qreal left, qreal width) {
        Bowl(left, width);
        Stem(left + width - s, -h, 0);
    }

    void D(qreal left, qreal width) {
        Bowl(left, width);
        Stem(left + width - s, -h * kAscender, 0);
    }

    void R(qreal left, qreal width) {
        Stem(left, -h, 0);
        // The shoulder: the upper-left quarter of an arch, carried a little past the top.
        const qreal archWidth = width * 1.55;
        const QRectF arch(left + s / 2, -h + s / 2, archWidth - s, h * 1.1);
        QPainterPath shoulder;
        shoulder.arcMoveTo(arch, 180);
        shoulder.arcTo(arch, 180, -118);
        Stroke(shoulder);
    }

    void E(qreal left, qreal width) {
        const QRectF ring = BowlCentreLine(left, width);
        QPainterPath open;
        open.arcMoveTo(ring, 0);
        open.arcTo(ring, 0, 318);
        Stroke(open);
        QPainterPath bar;
        bar.moveTo(left + s * 0.5, ring.center().y());
        bar.lineTo(ring.right() + s / 2, ring.center().y());
        Stroke(bar, Qt::MiterJoin);
    }

    void N(qreal left, qreal width) {
        Stem(left, -h, 0);
        const QRectF arch(left + s / 2, -h + s / 2, width - s, h * 1.05);
        QPainterPath top;
        top.moveTo(left + s / 2, arch.center().y());
        top.arcTo(arch, 180, -180);
        top.lineTo(arch.right(), 0);
        Stroke(top);
    }
};

struct Wordmark {
    QPainterPath ink;
    QPointF lastBowlCentre;
};

Wordmark LayOut(QPointF origin, qreal xHeight) {
    Pen pen{xHeight, xHeight * kStroke, {}};
    const qreal gap = xHeight * kGap;
    qreal x = 0;
    pen.V(x, xHeight * kVWidth);
    x += xHeight * kVWidth + gap * 0.7;
    pen.A(x, xHeight * kBowlWidth);
    x += xHeight * kBowlWidth + gap;
    pen.R(x, xHeight * kRWidth);
    // The arm of the r leaves open space below it; tuck the d in a little.
    x += xHeight * kRWidth + gap * 0.5;
    pen.D(x, xHeight * kBowlWidth);
    x += xHeight * kBowlWidth + gap;
    pen.E(x, xHeight * kBowlWidth);
    x += xHeight * kBowlWidth + gap;
    pen.N(x, xHeight * kNWidth);
    x += xHeight * kNWidth + gap;
    pen.Bowl(x, xHeight * kBowlWidth);
    QPainterPath placed = pen.ink.simplified();
    placed.translate(origin);
    placed.setFillRule(Qt::WindingFill);
    return {placed, origin + QPointF(x + xHeight * kBowlWidth / 2, -xHeight / 2)};
}

}  // namespace

QPainterPath WordmarkPath(QPointF origin, qreal xHeight) {
    return LayOut(origin, xHeight).ink;
}

void DrawWordmark(QPainter& painter, QPointF origin, qreal xHeight, const QColor& ink) {
    const Wordmark mark = LayOut(origin, xHeight);
    painter.fillPath(mark.ink, ink);
    const qreal radius = xHeight * 0.15;
    QPainterPath dot;
    dot.addEllipse(mark.lastBowlCentre, radius, radius);
    painter.fillPath(dot, palette::kFlash);
}

}  // namespace art
