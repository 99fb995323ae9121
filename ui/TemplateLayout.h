#pragma once

#include <QRect>
#include <QSize>
#include <vector>

// Places a template's controls when the desktop's style needs more room than the dialog
// units give: a control grows to the size it needs (never below its template size), and
// whatever the template put to its right or below it moves along, so that controls the
// template keeps apart stay apart. Frames (group boxes) grow around what they framed, and
// the dialog grows around everything.
namespace dialog {

// Which side of its template place a growing control keeps.
enum class Anchor { Left, Right, Centre };

struct ControlPlace {
    QRect place;   // the template's place, in pixels
    QSize needed;  // the size the control needs; below the template size counts as the template
    Anchor anchor = Anchor::Left;
    bool frame = false;      // frames its neighbours instead of standing beside them
    bool exactSize = false;  // takes `needed` as it is (an image's size), smaller or not
};

struct PlacedDialog {
    std::vector<QRect> places;  // in the order of the controls given
    QSize size;
};

PlacedDialog PlaceControls(const std::vector<ControlPlace>& controls, QSize dialogSize);

}  // namespace dialog
