#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "control/Progress.h"

namespace {

struct ProgressCase {
    const char* name;
    std::function<void(Progress&)> act;
    Progress expected;
};

class ProgressTest : public ::testing::TestWithParam<ProgressCase> {};

// The one arithmetic of the bar every window renders.
TEST_P(ProgressTest, KeepsThePositionInsideTheRange) {
    const ProgressCase& c = GetParam();
    Progress progress;
    c.act(progress);
    EXPECT_EQ(progress.low, c.expected.low);
    EXPECT_EQ(progress.high, c.expected.high);
    EXPECT_EQ(progress.position, c.expected.position);
    EXPECT_EQ(progress.step, c.expected.step);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressTest,
    ::testing::Values(
        // The detection: ticks 1 … 44, a position of 0 is clamped to the first tick.
        ProgressCase{"detection_start",
                     [](Progress& p) {
                         p.SetRange(1, 44);
                         p.SetPosition(0);
                         p.step = 1;
                     },
                     {1, 44, 1, 1}},
        ProgressCase{"step_past_the_end_stops_there",
                     [](Progress& p) {
                         p.SetRange(0x100, 0x17E);
                         p.SetPosition(0x140);
                         p.step = 0x80;
                         p.Step();
                     },
                     {0x100, 0x17E, 0x17E, 0x80}},
        // A new range clamps the position of the last one into itself.
        ProgressCase{"new_range_clamps_the_old_position",
                     [](Progress& p) {
                         p.SetRange(0, 0x7FFE);
                         p.SetPosition(0x7000);
                         p.SetRange(1, 44);
                     },
                     {1, 44, 44, 10}},
        ProgressCase{"reversed_range_is_its_first_value",
                     [](Progress& p) {
                         p.SetRange(0x200, 0x100);
                         p.SetPosition(0x150);
                     },
                     {0x200, 0x200, 0x200, 10}},
        // Word addresses near the top of 32 bits: the step does not wrap to the start.
        ProgressCase{"step_at_the_top_of_32_bits",
                     [](Progress& p) {
                         p.SetRange(0xFFFFFF00u, 0xFFFFFFFFu);
                         p.SetPosition(0xFFFFFFF0u);
                         p.step = 0x80;
                         p.Step();
                     },
                     {0xFFFFFF00u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0x80}}),
    [](const auto& entry) { return std::string(entry.param.name); });

}  // namespace
