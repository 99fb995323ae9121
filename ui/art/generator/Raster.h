#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSize>

namespace art {

// An image of `size` filled with `fill`; transparent when `fill` has no alpha.
QImage NewImage(QSize size, const QColor& fill);

// Turns on anti-aliasing and smooth scaling for everything the painter draws.
void UseSmoothPainting(QPainter& painter);

// Flattens `layer` (transparent background) into an opaque image on magenta, the colour the
// transparent picture control leaves out. Edges are blended against `edgeBackdrop` (the dialog's
// own colour) rather than magenta, so no pink fringe shows; nearly empty edge pixels become
// magenta so that no grey halo is left either.
QImage KeyOnMagenta(const QImage& layer, const QColor& edgeBackdrop);

// Flattens `layer` onto a solid background; the result has no alpha channel.
QImage Flatten(const QImage& layer, const QColor& background);

// The layer in shades of grey, lightened and faded: a greyed-out control.
QImage Greyed(const QImage& layer);

// The layer with every colour scaled by `factor` (below 1 darkens).
QImage Shaded(const QImage& layer, qreal factor);

}  // namespace art
