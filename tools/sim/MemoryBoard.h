#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "protocol/Line.h"
#include "tools/sim/BoardBootloader.h"
#include "tools/sim/BoardDevice.h"
#include "tools/sim/FrameAssembler.h"
#include "tools/sim/VirtualBoard.h"

namespace board {

struct MemoryBoardSetup {
    unsigned baud = 115200;  // both ends' speed: 10 bit times a byte each way
    std::chrono::microseconds rowProgramTime{2000};
    std::chrono::milliseconds listenWindow{0};  // as the virtual board's
    std::optional<SerialModemLine> resetLine;   // the line that holds the chip in reset
    bool resetLineInverted = false;             // released, not asserted, holds it
    bool modemLines = true;                     // false: driving a line fails, as on a pty
    BoardFaults faults;
};

// The virtual board's bootloader on a line held in memory, with a clock of its own: every
// byte takes its time on the line, every wait passes at once, and a test runs the same way
// every time, on one thread, without a pseudo-terminal.
class MemoryBoard final : public bootproto::Line {
public:
    using Clock = bootproto::LineClock;

    MemoryBoard(BoardDevice device, std::uint8_t firmwareMajor, std::uint8_t firmwareMinor,
                MemoryBoardSetup setup);

    bool WentAway() const override { return gone_; }
    unsigned long QueuedInput() override;
    void DropInput() override;
    void UseExchangeTimeouts() override;
    unsigned long Baud() const override { return setup_.baud; }
    Clock::time_point Now() const override { return now_; }
    void Sleep(std::chrono::milliseconds duration) override { now_ += duration; }
    bool Drive(SerialModemLine line, bool asserted) override;

    // A modem line driven by the host, at the line's time since the board was made.
    struct LineChange {
        Clock::duration at;
        SerialModemLine line;
        bool asserted;
        bool operator==(const LineChange&) const = default;
    };
    const std::vector<LineChange>& LineChanges() const { return lineChanges_; }
    std::size_t RowsProgrammed() const { return bootloader_.RowsProgrammed(); }
    // Whole row frames the board took in, programmed or not.
    std::size_t RowFramesTaken() const { return rowFrames_; }
    std::optional<std::uint16_t> Word(std::uint32_t address) const;
    Clock::duration Elapsed() const { return now_ - start_; }

private:
    unsigned long Write(const void* bytes, unsigned long count) override;
    unsigned long Read(void* bytes, unsigned long count) override;

    struct Timed {
        Clock::time_point at;
        std::uint8_t byte;
    };
    // The board takes every byte that has reached it by `until`.
    void Deliver(Clock::time_point until);
    void Take(const Timed& received);
    void Send(const std::vector<std::uint8_t>& bytes, Clock::time_point ready);
    // When the next byte reaches the host, after the board took what came before it.
    std::optional<Clock::time_point> NextForHost();
    bool Cut() const { return cutAt_ && now_ >= *cutAt_; }

    MemoryBoardSetup setup_;
    std::chrono::nanoseconds byteTime_;
    std::chrono::nanoseconds frameGap_;
    Clock::time_point start_;
    Clock::time_point now_;
    BoardBootloader bootloader_;
    FrameAssembler assembler_;
    std::deque<Timed> toBoard_;
    std::multimap<Clock::time_point, std::uint8_t> toHost_;  // equal times keep their order
    Clock::time_point hostLineFree_;
    Clock::time_point boardLineFree_;
    Clock::time_point lastByte_;
    std::optional<Clock::time_point> cutAt_;
    std::size_t rowFrames_ = 0;
    bool stalled_ = false;
    bool gone_ = false;
    std::vector<LineChange> lineChanges_;
    // Read time-outs as the port has them after opening, then as set for the exchanges.
    std::chrono::milliseconds readInterval_{4};
    std::chrono::milliseconds readPerByte_{1};
    std::chrono::milliseconds readConstant_{4};
};

}  // namespace board
