#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSize>

namespace art {

// The pixels per logical pixel the art is drawn at: 1 for the images themselves, 2 for their
// "@2x" copies for high-DPI screens. Every image NewImage makes carries it as its device pixel
// ratio, so one drawing in logical pixels gives both.
class ScopedRenderScale {
public:
    explicit ScopedRenderScale(int scale);
    ~ScopedRenderScale();
    ScopedRenderScale(const ScopedRenderScale&) = delete;
    ScopedRenderScale& operator=(const ScopedRenderScale&) = delete;

private:
    int previous_;
};

// An image of logical `size` at the present render scale, filled with `fill`; transparent when
// `fill` has no alpha.
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
