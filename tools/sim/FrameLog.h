#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "protocol/LineTrace.h"

namespace board {

// The board's frame log, in the format of the host's line trace (protocol/LineTrace.h): one
// line per frame received ("H>B", row frames in full, a frame dropped incomplete with the
// bytes that came) and one per reply sent ("B>H"), each named by its exchange. Row frames are
// numbered from 0 over the board's whole life. Callers serialise the calls.
class FrameLog {
public:
    using Clock = std::chrono::steady_clock;

    // Takes ownership of `stream` (null: nothing is logged). `port` names the board in each
    // line: its COM name when published, else its device path.
    FrameLog(std::FILE* stream, std::string port);
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    void Received(const std::vector<std::uint8_t>& frame, Clock::time_point firstByte);
    // A reply to the frame received last; `whileReceiving`: sent while a frame came in.
    void Replied(const std::vector<std::uint8_t>& reply, Clock::time_point sent,
                 bool whileReceiving);

private:
    void Write(Clock::time_point at, bootproto::TraceDirection direction,
               const bootproto::Exchange& exchange, const std::vector<std::uint8_t>& bytes);

    std::FILE* stream_;
    const std::string port_;
    std::uint32_t rowFrames_ = 0;
    bootproto::Exchange last_;
};

}  // namespace board
