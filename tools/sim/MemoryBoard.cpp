#include "tools/sim/MemoryBoard.h"

#include <algorithm>
#include <utility>

namespace board {

namespace {

// Far from the clock's zero, so that no time computed before the start can underflow.
constexpr std::chrono::hours kStart{1};

std::chrono::nanoseconds ByteTime(unsigned baud) {
    return std::chrono::nanoseconds(baud != 0 ? 10'000'000'000 / baud : 0);
}

// As the virtual board: an incomplete frame is dropped after 250 ms, or 100 bit times.
std::chrono::nanoseconds FrameGap(unsigned baud) {
    const std::chrono::nanoseconds bits{baud != 0 ? 100'000'000'000 / baud : 0};
    return std::max<std::chrono::nanoseconds>(std::chrono::milliseconds(250), bits);
}

}  // namespace

MemoryBoard::MemoryBoard(BoardDevice device, std::uint8_t firmwareMajor, std::uint8_t firmwareMinor,
                         MemoryBoardSetup setup)
    : setup_(std::move(setup)),
      byteTime_(ByteTime(setup_.baud)),
      frameGap_(FrameGap(setup_.baud)),
      start_(Clock::time_point{} + kStart),
      now_(start_),
      bootloader_(std::move(*device.memory),
                  {device.identity.idHigh, device.identity.idLow, firmwareMajor, firmwareMinor},
                  setup_.faults, setup_.listenWindow, start_),
      hostLineFree_(start_),
      boardLineFree_(start_),
      lastByte_(start_) {}

std::optional<std::uint16_t> MemoryBoard::Word(std::uint32_t address) const {
    return bootloader_.Memory().Word(address);
}

void MemoryBoard::UseExchangeTimeouts() {
    readInterval_ = readPerByte_ = readConstant_ = std::chrono::milliseconds(100);
}

bool MemoryBoard::Drive(SerialModemLine line, bool asserted) {
    if (!setup_.modemLines) return false;
    lineChanges_.push_back({now_ - start_, line, asserted});
    if (setup_.resetLine != line) return true;
    Deliver(now_);
    const bool held = asserted != setup_.resetLineInverted;
    if (held) assembler_.Discard();
    bootloader_.HoldInReset(held, now_);
    return true;
}

unsigned long MemoryBoard::Write(const void* bytes, unsigned long count) {
    Deliver(now_);
    if (Cut()) {
        gone_ = true;
        return kFailure;
    }
    if (stalled_) return 0;
    const auto* data = static_cast<const std::uint8_t*>(bytes);
    for (unsigned long i = 0; i < count; ++i) {
        hostLineFree_ = std::max(now_, hostLineFree_) + byteTime_;
        toBoard_.push_back({hostLineFree_, data[i]});
    }
    return count;
}

unsigned long MemoryBoard::Read(void* bytes, unsigned long count) {
    auto* data = static_cast<std::uint8_t*>(bytes);
    const Clock::time_point total = now_ + readConstant_ + readPerByte_ * count;
    unsigned long got = 0;
    Clock::time_point last = now_;
    while (got < count) {
        Clock::time_point limit = total;
        if (got > 0) limit = std::min(limit, last + readInterval_);
        const std::optional<Clock::time_point> next = NextForHost();
        if (cutAt_ && (!next || *next >= *cutAt_) && *cutAt_ <= limit) {
            now_ = std::max(now_, *cutAt_);
            gone_ = got == 0;
            return got == 0 ? kFailure : got;
        }
        if (!next || *next > limit) {
            now_ = std::max(now_, limit);
            break;
        }
        now_ = std::max(now_, *next);
        data[got++] = toHost_.begin()->second;
        toHost_.erase(toHost_.begin());
        last = now_;
    }
    return got;
}

unsigned long MemoryBoard::QueuedInput() {
    Deliver(now_);
    const auto waiting = std::distance(toHost_.begin(), toHost_.upper_bound(now_));
    if (waiting == 0 && Cut()) {
        gone_ = true;
        return kFailure;
    }
    return static_cast<unsigned long>(waiting);
}

void MemoryBoard::DropInput() {
    Deliver(now_);
    toHost_.erase(toHost_.begin(), toHost_.upper_bound(now_));
}

void MemoryBoard::Deliver(Clock::time_point until) {
    while (!toBoard_.empty() && toBoard_.front().at <= until) {
        const Timed received = toBoard_.front();
        toBoard_.pop_front();
        Take(received);
    }
}

std::optional<MemoryBoard::Clock::time_point> MemoryBoard::NextForHost() {
    for (;;) {
        const bool hostWaiting = !toHost_.empty();
        if (!toBoard_.empty() && (!hostWaiting || toBoard_.front().at <= toHost_.begin()->first)) {
            Deliver(toBoard_.front().at);
            continue;
        }
        if (!hostWaiting) return std::nullopt;
        return toHost_.begin()->first;
    }
}

void MemoryBoard::Take(const Timed& received) {
    if (cutAt_ && received.at >= *cutAt_) return;
    if (setup_.faults.echo) Send({received.byte}, received.at);
    if (assembler_.Pending() && received.at > lastByte_ + frameGap_) assembler_.Discard();
    lastByte_ = received.at;
    if (!assembler_.Pending() && bootloader_.Drops(received.byte)) return;
    const auto frame = assembler_.Feed(received.byte);
    if (!frame) {
        Send(bootloader_.WhileReceiving(assembler_.Partial()), received.at);
        return;
    }
    if (frame->front() == bootproto::kWriteRow) ++rowFrames_;
    const BoardResponse response = bootloader_.Handle(*frame, received.at);
    if (response.stallInput) stalled_ = true;
    Send(response.reply,
         received.at + (response.rowProgrammed ? setup_.rowProgramTime : Clock::duration{}));
    if (!response.trailer.empty()) Send(response.trailer, boardLineFree_ + kTrailerDelay);
    if (response.cutLine) cutAt_ = std::max(boardLineFree_, received.at);
}

void MemoryBoard::Send(const std::vector<std::uint8_t>& bytes, Clock::time_point ready) {
    for (const std::uint8_t byte : bytes) {
        boardLineFree_ = std::max(ready, boardLineFree_) + byteTime_;
        toHost_.emplace(boardLineFree_, byte);
    }
}

}  // namespace board
