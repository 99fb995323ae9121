#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "tools/sim/BoardMemory.h"
#include "tools/sim/BoardReplies.h"
#include "tools/sim/VirtualBoard.h"

namespace board {

// What the bootloader does with one received frame.
struct BoardResponse {
    std::vector<std::uint8_t> reply;
    // Goes out a while after `reply` (kTrailerDelay), as a late second answer.
    std::vector<std::uint8_t> trailer{};
    bool rowProgrammed = false;  // the reply waits for the row's programming time
    bool cutLine = false;        // close the line once the reply is out
    bool stallInput = false;     // take no more bytes from the host once the reply is out
};

// Long enough for the host's probe read to have ended (its bytes 100 ms apart at most), short
// enough to come before a host that waits 50 ms after that read; well after the wait of a
// host that only listens a moment after a row.
inline constexpr std::chrono::milliseconds kTrailerDelay{125};

struct BoardIdentity {
    std::uint8_t idHigh = 0;
    std::uint8_t idLow = 0;
    std::uint8_t firmwareMajor = 0;
    std::uint8_t firmwareMinor = 0;
};

// The chip's side of the bootloader exchanges, without any I/O: frames in, replies out.
class BoardBootloader {
public:
    using Clock = std::chrono::steady_clock;

    BoardBootloader(BoardMemory memory, BoardIdentity identity, BoardFaults faults,
                    std::chrono::milliseconds listenWindow, Clock::time_point now);

    BoardResponse Handle(const std::vector<std::uint8_t>& frame, Clock::time_point at);
    // What goes out while a frame is still coming in, after its first `received` bytes.
    std::vector<std::uint8_t> WhileReceiving(const std::vector<std::uint8_t>& partial) const;
    void Reset(Clock::time_point now);
    // After a reset that a fault plays, the fresh bootloader drops every byte but the probe.
    bool Drops(std::uint8_t byte) const { return awaitingProbe_ && byte != bootproto::kProbe; }
    // Held in reset the chip answers nothing; released, it starts again as after Reset().
    void HoldInReset(bool held, Clock::time_point now);
    bool UserProgramRunning(Clock::time_point now) const;
    // When the running user program started; empty while the bootloader runs.
    std::optional<Clock::time_point> UserProgramStart(Clock::time_point now) const;
    std::size_t RowsProgrammed() const { return rowsProgrammed_; }
    const BoardMemory& Memory() const { return memory_; }

private:
    BoardResponse HandleIdentify(const std::vector<std::uint8_t>& frame) const;
    BoardResponse HandleRow(const std::vector<std::uint8_t>& frame, Clock::time_point at);
    BoardResponse ProbeReply();

    BoardMemory memory_;
    BoardIdentity identity_;
    BoardFaults faults_;
    std::chrono::milliseconds listenWindow_;
    Clock::time_point resetTime_;
    bool probed_ = false;
    bool runCommandReceived_ = false;
    Clock::time_point runCommandTime_;
    bool heldInReset_ = false;
    bool awaitingProbe_ = false;
    int rowFramesSeen_ = 0;
    int probesSeen_ = 0;
    std::size_t rowsProgrammed_ = 0;
};

}  // namespace board
