// The line trace's one format, shared by pelorant-cli --trace and pelorant-sim --frame-log.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/LineTrace.h"

namespace {

using bootproto::Exchange;
using bootproto::ExchangeKind;
using bootproto::TraceDirection;

TEST(LineTraceTest, EachLineHasTimePortDirectionExchangeAndBytes) {
    struct Case {
        TraceDirection direction;
        Exchange exchange;
        std::vector<std::uint8_t> bytes;
        bool failed;
        std::string line;
    };
    const auto toBoard = TraceDirection::HostToBoard;
    const auto toHost = TraceDirection::BoardToHost;
    const std::vector<Case> cases = {
        {toBoard, {ExchangeKind::Probe}, {0x55}, false, "17 COM33 H>B probe: 55\n"},
        {toHost, {ExchangeKind::Probe}, {}, false, "17 COM33 B>H probe: none\n"},
        {toBoard,
         {ExchangeKind::Identify},
         {0x01, 0xFF, 0, 0},
         false,
         "17 COM33 H>B identify: 01 FF 00 00\n"},
        {toHost, {ExchangeKind::Version}, {1, 4, 0x55}, false, "17 COM33 B>H version: 01 04 55\n"},
        {toBoard, {ExchangeKind::SyncCheck}, {0x33}, false, "17 COM33 H>B sync check: 33\n"},
        {toBoard, {ExchangeKind::Run}, {0x0F}, true, "17 COM33 H>B run: failed\n"},
        {toBoard,
         {ExchangeKind::Row, 4, 0x100},
         {0x02, 0x00, 0x01, 0x00},
         false,
         "17 COM33 H>B row 4 at 0x000100: 02 00 01 00\n"},
        {toHost,
         {ExchangeKind::Ack, 4, 0x7FFC00},
         {0xEE},
         false,
         "17 COM33 B>H ack row 4 at 0x7FFC00: EE\n"},
        {toHost, {ExchangeKind::Stray}, {0x55}, false, "17 COM33 B>H stray: 55\n"},
        {toHost, {ExchangeKind::Unknown}, {0xAB}, false, "17 COM33 B>H unknown: AB\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bootproto::FormatTraceLine(17, "COM33", c.direction, c.exchange, c.bytes.data(),
                                             c.bytes.size(), c.failed),
                  c.line);
    }
}

// A board sees only frames: it names each by its command byte.
TEST(LineTraceTest, AFrameIsNamedByItsCommandByte) {
    struct Case {
        std::vector<std::uint8_t> frame;
        std::string name;
    };
    const std::vector<Case> cases = {
        {{0x55}, "probe"},
        {{0x01, 0xFF, 0x00, 0x00}, "identify"},
        {{0x03}, "version"},
        {{0x33}, "sync check"},
        {{0x0F}, "run"},
        {{0x02, 0x7F, 0xFC, 0x00, 0x21}, "row 9 at 0x7FFC00"},
        {{0x02, 0x00}, "row 9 at 0x000000"},  // dropped before its address was complete
        {{0x99}, "unknown"},
        {{}, "unknown"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            bootproto::ExchangeName(bootproto::ExchangeOfFrame(c.frame.data(), c.frame.size(), 9)),
            c.name);
    }
}

}  // namespace
