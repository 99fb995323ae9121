#include "tools/sim/FrameLog.h"

#include <utility>

namespace board {

using bootproto::Exchange;
using bootproto::ExchangeKind;
using bootproto::TraceDirection;

FrameLog::FrameLog(std::FILE* stream, std::string port) : stream_(stream), port_(std::move(port)) {}

FrameLog::~FrameLog() {
    if (stream_) std::fclose(stream_);
}

void FrameLog::Received(const std::vector<std::uint8_t>& frame, Clock::time_point firstByte) {
    last_ = bootproto::ExchangeOfFrame(frame.data(), frame.size(), rowFrames_);
    if (last_.kind == ExchangeKind::Row) ++rowFrames_;
    Write(firstByte, TraceDirection::HostToBoard, last_, frame);
}

void FrameLog::Replied(const std::vector<std::uint8_t>& reply, Clock::time_point sent,
                       bool whileReceiving) {
    Exchange exchange = last_;
    if (whileReceiving) {
        exchange = Exchange{ExchangeKind::Stray};
    } else if (exchange.kind == ExchangeKind::Row) {
        exchange.kind = ExchangeKind::Ack;
    }
    Write(sent, TraceDirection::BoardToHost, exchange, reply);
}

void FrameLog::Write(Clock::time_point at, TraceDirection direction, const Exchange& exchange,
                     const std::vector<std::uint8_t>& bytes) {
    if (!stream_) return;
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(at.time_since_epoch()).count();
    const std::string line = bootproto::FormatTraceLine(
        static_cast<std::uint64_t>(micros), port_, direction, exchange, bytes.data(), bytes.size());
    std::fputs(line.c_str(), stream_);
    std::fflush(stream_);
}

}  // namespace board
