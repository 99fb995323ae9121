// Placing template controls that the style or the font makes larger than their dialog units.

#include <gtest/gtest.h>

#include <vector>

#include "ui/TemplateLayout.h"

using namespace dialog;

namespace {

struct LayoutCase {
    const char* name;
    std::vector<ControlPlace> controls;
    std::vector<QRect> expected;
    QSize dialog;
};

ControlPlace At(QRect place, QSize needed = {}, Anchor anchor = Anchor::Left) {
    return ControlPlace{place, needed, anchor, false, false};
}

ControlPlace Frame(QRect place) {
    return ControlPlace{place, {}, Anchor::Left, true, false};
}

const LayoutCase kCases[] = {
    {"nothing grows: every control stays at its template place",
     {At({10, 10, 50, 16}), At({70, 10, 50, 16}, {40, 12})},
     {{10, 10, 50, 16}, {70, 10, 50, 16}},
     {200, 100}},
    {"a check box wider than its place pushes its right neighbour, keeping a small gap",
     {At({10, 10, 50, 16}, {66, 16}), At({63, 10, 40, 16}), At({63, 40, 40, 16})},
     {{10, 10, 66, 16}, {78, 10, 40, 16}, {78, 40, 40, 16}},
     {200, 100}},
    {"growth that still fits moves nothing",
     {At({10, 10, 50, 16}, {60, 16}), At({100, 10, 40, 16})},
     {{10, 10, 60, 16}, {100, 10, 40, 16}},
     {200, 100}},
    {"a taller drop-down pushes the rows below it, labels beside them too, and its frame grows",
     {Frame({5, 5, 150, 60}), At({60, 10, 80, 20}, {80, 36}), At({10, 36, 40, 13}),
      At({60, 36, 80, 20}), At({100, 80, 50, 20})},
     {{5, 5, 150, 76}, {60, 10, 80, 36}, {10, 48, 40, 13}, {60, 48, 80, 20}, {100, 92, 50, 20}},
     {200, 112}},
    {"a right-aligned label grows to its left",
     {At({100, 10, 40, 13}, {52, 13}, Anchor::Right)},
     {{88, 10, 52, 13}},
     {200, 100}},
    {"an image button takes its image's size, even a smaller one",
     {ControlPlace{{10, 10, 51, 42}, {47, 42}, Anchor::Left, false, true}},
     {{10, 10, 47, 42}},
     {200, 100}},
    {"controls the template lays over each other stay so; the dialog keeps a bottom margin",
     {At({0, 0, 200, 100}), At({20, 70, 100, 20}, {120, 24})},
     {{0, 0, 200, 100}, {20, 70, 120, 24}},
     {200, 104}},
    {"a picture running past the popup's edge does not widen it",
     {At({0, 0, 210, 104})},
     {{0, 0, 210, 104}},
     {200, 100}},
};

TEST(TemplateLayout, GrowsControlsAndMovesWhatTheyWouldCover) {
    for (const LayoutCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const PlacedDialog placed = PlaceControls(c.controls, QSize(200, 100));
        EXPECT_EQ(placed.places, c.expected);
        EXPECT_EQ(placed.size, c.dialog);
    }
}

}  // namespace
