#include "ui/TemplateLayout.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace dialog {
namespace {

// A control pushed away from a grown neighbour keeps the template's gap to it, up to this many
// pixels: enough to tell the two apart, without spreading the dialog more than needed.
constexpr int kKeptGap = 2;
// The most of a control's distance to the dialog's edge that the dialog keeps when it grows.
constexpr int kKeptMargin = 11;

// One direction of the layout: positions along it and the extent across it.
struct Span {
    int start;
    int end;  // exclusive
};

bool Overlap(Span a, Span b) {
    return a.start < b.end && b.start < a.end;
}

Span Along(const QRect& rect, bool horizontal) {
    return horizontal ? Span{rect.x(), rect.x() + rect.width()}
                      : Span{rect.y(), rect.y() + rect.height()};
}

// How far the template's positions along one direction move: a step function, never going
// back, so that whatever lies further on moves at least as far as what lies before it.
class Offsets {
public:
    void Set(int position, int offset) { steps_[position] = offset; }
    int At(int position) const {
        auto step = steps_.upper_bound(position);
        return step == steps_.begin() ? 0 : std::prev(step)->second;
    }

private:
    std::map<int, int> steps_;
};

// Moves the controls along one direction. `across` gives each control's extent in the other
// direction, to find the neighbours that stand in its way.
Offsets Push(const std::vector<ControlPlace>& controls, const std::vector<QSize>& sizes,
             const std::vector<Span>& across, bool horizontal, std::vector<int>& placedStart) {
    const auto length = [horizontal](QSize size) {
        return horizontal ? size.width() : size.height();
    };
    std::map<int, std::vector<std::size_t>> byStart;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (!controls[i].frame) byStart[Along(controls[i].place, horizontal).start].push_back(i);
    }
    Offsets offsets;
    int offset = 0;
    for (const auto& [start, group] : byStart) {
        for (const std::size_t c : group) {
            for (const auto& [earlierStart, earlier] : byStart) {
                if (earlierStart >= start) break;
                for (const std::size_t i : earlier) {
                    const Span template_i = Along(controls[i].place, horizontal);
                    if (template_i.end > start || !Overlap(across[i], across[c])) continue;
                    const int placedEnd = placedStart[i] + length(sizes[i]);
                    const int gap = std::min(start - template_i.end, kKeptGap);
                    offset = std::max(offset, placedEnd + gap - start);
                }
            }
        }
        offsets.Set(start, offset);
        for (const std::size_t c : group) {
            const int growth = length(sizes[c]) - length(controls[c].place.size());
            int shift = 0;
            if (horizontal && controls[c].anchor == Anchor::Right) shift = growth;
            if (horizontal && controls[c].anchor == Anchor::Centre) shift = growth / 2;
            placedStart[c] = start + offset - shift;
        }
    }
    return offsets;
}

bool Inside(const QRect& inner, const QRect& outer) {
    return outer.contains(inner);
}

}  // namespace

PlacedDialog PlaceControls(const std::vector<ControlPlace>& controls, QSize dialogSize) {
    const std::size_t count = controls.size();
    std::vector<QSize> sizes(count);
    for (std::size_t i = 0; i < count; ++i) {
        const ControlPlace& control = controls[i];
        if (control.frame) {
            sizes[i] = control.place.size();
        } else if (control.exactSize) {
            sizes[i] = control.needed;
        } else {
            sizes[i] = control.needed.expandedTo(control.place.size());
        }
    }

    std::vector<int> left(count);
    std::vector<int> top(count);
    std::vector<Span> rows(count);
    for (std::size_t i = 0; i < count; ++i) rows[i] = Along(controls[i].place, false);
    const Offsets offsetX = Push(controls, sizes, rows, true, left);
    std::vector<Span> columns(count);
    for (std::size_t i = 0; i < count; ++i) columns[i] = {left[i], left[i] + sizes[i].width()};
    const Offsets offsetY = Push(controls, sizes, columns, false, top);

    PlacedDialog placed{std::vector<QRect>(count), dialogSize};
    for (std::size_t i = 0; i < count; ++i) {
        if (!controls[i].frame) placed.places[i] = QRect(QPoint(left[i], top[i]), sizes[i]);
    }
    // A frame moves with its top-left corner and keeps its margins around what it framed.
    for (std::size_t f = 0; f < count; ++f) {
        if (!controls[f].frame) continue;
        const QRect frame = controls[f].place;
        const int x = frame.x() + offsetX.At(frame.x());
        const int y = frame.y() + offsetY.At(frame.y());
        int right = frame.x() + frame.width() + offsetX.At(frame.x() + frame.width() - 1);
        int bottom = frame.y() + frame.height() + offsetY.At(frame.y() + frame.height() - 1);
        for (std::size_t c = 0; c < count; ++c) {
            if (controls[c].frame || !Inside(controls[c].place, frame)) continue;
            const QRect inner = controls[c].place;
            right = std::max(right, placed.places[c].x() + placed.places[c].width() +
                                        (frame.x() + frame.width()) - (inner.x() + inner.width()));
            bottom =
                std::max(bottom, placed.places[c].y() + placed.places[c].height() +
                                     (frame.y() + frame.height()) - (inner.y() + inner.height()));
        }
        placed.places[f] = QRect(x, y, right - x, bottom - y);
    }
    // The dialog grows where a control would come closer to its right or bottom edge than
    // the template had it, up to a usual dialog margin. A control the template let run past
    // an edge (a picture filling a popup) still does.
    const auto grownEdge = [](int templateEnd, int placedEnd, int edge) {
        return templateEnd > edge ? edge : placedEnd + std::min(edge - templateEnd, kKeptMargin);
    };
    for (std::size_t c = 0; c < count; ++c) {
        const QRect inner = controls[c].place;
        const QRect& now = placed.places[c];
        placed.size = placed.size.expandedTo(QSize(
            grownEdge(inner.x() + inner.width(), now.x() + now.width(), dialogSize.width()),
            grownEdge(inner.y() + inner.height(), now.y() + now.height(), dialogSize.height())));
    }
    return placed;
}

}  // namespace dialog
