#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "protocol/ResetSequence.h"

namespace {

using namespace std::chrono_literals;
using bootproto::ModemLines;
using bootproto::ParseResetSequence;
using bootproto::ResetSequence;

constexpr SerialModemLine kDtr = SerialModemLine::Dtr;
constexpr SerialModemLine kRts = SerialModemLine::Rts;

// One line change as the board saw it: which pin, which level, and when.
struct LineEvent {
    SerialModemLine line;
    bool asserted;
    std::chrono::milliseconds at;
    bool operator==(const LineEvent&) const = default;
};

// Modem lines in memory with a clock that only the player's sleeps move.
class LineRecorder : public ModemLines {
public:
    bool Drive(SerialModemLine line, bool asserted) override {
        if (events.size() == failAt) return false;
        events.push_back({line, asserted, now});
        return true;
    }
    void Sleep(std::chrono::milliseconds wait) { now += wait; }

    std::vector<LineEvent> events;
    std::chrono::milliseconds now{0};
    std::size_t failAt = SIZE_MAX;
};

std::vector<LineEvent> Played(const std::string& text) {
    std::string error;
    const std::optional<ResetSequence> sequence = ParseResetSequence(text, &error);
    EXPECT_TRUE(sequence) << error;
    LineRecorder lines;
    if (sequence) {
        EXPECT_TRUE(PlayResetSequence(*sequence, lines, [&](auto wait) { lines.Sleep(wait); }));
    }
    return lines.events;
}

struct PlayCase {
    const char* text;
    std::vector<LineEvent> events;
};

TEST(ResetSequenceTest, PlaysEachLineLevelAtItsTime) {
    const PlayCase cases[] = {
        {"dtr", {{kDtr, true, 0ms}, {kDtr, false, 100ms}}},
        {"rts", {{kRts, true, 0ms}, {kRts, false, 100ms}}},
        {"dtr-inverted", {{kDtr, false, 0ms}, {kDtr, true, 100ms}}},
        {"rts-inverted", {{kRts, false, 0ms}, {kRts, true, 100ms}}},
        {"DTR", {{kDtr, true, 0ms}, {kDtr, false, 100ms}}},
        {"dtr=0,rts=1,wait=50,dtr=1", {{kDtr, false, 0ms}, {kRts, true, 0ms}, {kDtr, true, 50ms}}},
        {"wait=20,dtr=1,wait=0,dtr=0", {{kDtr, true, 20ms}, {kDtr, false, 20ms}}},
        {"dtr,wait=30,rts-inverted",
         {{kDtr, true, 0ms}, {kDtr, false, 100ms}, {kRts, false, 130ms}, {kRts, true, 230ms}}},
    };
    for (const PlayCase& row : cases) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(Played(row.text), row.events);
    }
}

TEST(ResetSequenceTest, RefusesTextThatIsNoSequence) {
    const char* cases[] = {"",     "dsr",      "dtr=2",      "dtr=",     "rts=on",
                           "wait", "wait=-1",  "wait=10001", "wait=5ms", "dtr,,rts",
                           "dtr,", "wait=100", "dtr-invert", "=1",       "dtr=1 "};
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        std::string error;
        EXPECT_FALSE(ParseResetSequence(text, &error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(ResetSequenceTest, StopsAtTheFirstLineThatCannotBeDriven) {
    const auto sequence = ParseResetSequence("dtr=1,wait=10,rts=0,wait=10,dtr=0", nullptr);
    ASSERT_TRUE(sequence);
    LineRecorder lines;
    lines.failAt = 1;
    EXPECT_FALSE(PlayResetSequence(*sequence, lines, [&](auto wait) { lines.Sleep(wait); }));
    EXPECT_EQ(lines.events, (std::vector<LineEvent>{{kDtr, true, 0ms}}));
    EXPECT_EQ(lines.now, 10ms) << "nothing after the failed line is played";
}

}  // namespace
