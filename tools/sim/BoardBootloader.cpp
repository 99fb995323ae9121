#include "tools/sim/BoardBootloader.h"

#include <numeric>
#include <utility>

#include "tools/sim/BoardReplies.h"

namespace board {

namespace {

constexpr std::size_t kRowHeaderLength = 5;

std::uint8_t RefusalFor(RowCheck check) {
    switch (check) {
        case RowCheck::BadLength:
            return board::kRefusedLength;
        case RowCheck::Outside:
            return board::kRefusedOutside;
        case RowCheck::Misaligned:
            return board::kRefusedMisaligned;
        case RowCheck::IntoBootloader:
            return board::kRefusedBootloader;
        case RowCheck::Accepted:
            break;
    }
    return bootproto::kAck;
}

// No answer: the line is cut instead.
BoardResponse Vanish() {
    BoardResponse response;
    response.cutLine = true;
    return response;
}

std::uint32_t FrameAddress(const std::vector<std::uint8_t>& frame) {
    return std::uint32_t{frame[1]} << 16 | std::uint32_t{frame[2]} << 8 | frame[3];
}

}  // namespace

BoardBootloader::BoardBootloader(BoardMemory memory, BoardIdentity identity, BoardFaults faults,
                                 std::chrono::milliseconds listenWindow, Clock::time_point now)
    : memory_(std::move(memory)),
      identity_(identity),
      faults_(faults),
      listenWindow_(listenWindow),
      resetTime_(now) {}

void BoardBootloader::Reset(Clock::time_point now) {
    resetTime_ = now;
    probed_ = false;
    runCommandReceived_ = false;
}

void BoardBootloader::HoldInReset(bool held, Clock::time_point now) {
    if (heldInReset_ && !held) Reset(now);
    heldInReset_ = held;
}

bool BoardBootloader::UserProgramRunning(Clock::time_point now) const {
    return UserProgramStart(now).has_value();
}

std::optional<BoardBootloader::Clock::time_point> BoardBootloader::UserProgramStart(
    Clock::time_point now) const {
    if (heldInReset_) return std::nullopt;
    if (runCommandReceived_) return runCommandTime_;
    const Clock::time_point windowEnd = resetTime_ + listenWindow_;
    if (listenWindow_.count() > 0 && !probed_ && now >= windowEnd) return windowEnd;
    return std::nullopt;
}

BoardResponse BoardBootloader::Handle(const std::vector<std::uint8_t>& frame,
                                      Clock::time_point at) {
    if (faults_.silent || heldInReset_ || UserProgramRunning(at)) return {};
    switch (frame.front()) {
        case bootproto::kProbe:
            return ProbeReply();
        case bootproto::kIdentify:
            return HandleIdentify(frame);
        case bootproto::kFirmwareVersion:
            if (faults_.vanishAtVersion) return Vanish();
            return {{identity_.firmwareMajor, identity_.firmwareMinor,
                     faults_.badVersionAck ? board::kBadVersionAck : bootproto::kAck}};
        case bootproto::kSyncCheck:
            if (faults_.vanishAtSync) return Vanish();
            if (faults_.noSync) return {};
            return {{bootproto::kSyncReply}};
        case bootproto::kWriteRow:
            return HandleRow(frame);
        case bootproto::kRunUserProgram:
            runCommandReceived_ = true;
            runCommandTime_ = at;
            return {};
        default:
            return {};
    }
}

BoardResponse BoardBootloader::ProbeReply() {
    const int probe = probesSeen_++;
    BoardResponse response;
    if (probe == faults_.vanishAtProbe) {
        response.cutLine = true;
        return response;
    }
    response.stallInput = probe + 1 == faults_.stallAfterProbes;
    if (faults_.noiseOnlyProbe) {
        response.reply = {0x8A, 0x00, 0xAA, 0xF3};
        return response;
    }
    probed_ = true;
    response.reply = faults_.noisyProbe
                         ? std::vector<std::uint8_t>{0x8A, 0x00, bootproto::kAck, 0xF3}
                         : std::vector<std::uint8_t>{bootproto::kAck};
    return response;
}

std::vector<std::uint8_t> BoardBootloader::WhileReceiving(
    const std::vector<std::uint8_t>& partial) const {
    const bool rowHeaderIn =
        partial.size() == kRowHeaderLength && partial.front() == bootproto::kWriteRow;
    if (rowHeaderIn && rowFramesSeen_ == faults_.strayInRow) return {bootproto::kAck};
    return {};
}

BoardResponse BoardBootloader::HandleIdentify(const std::vector<std::uint8_t>& frame) const {
    if (FrameAddress(frame) != board::kDeviceIdAddress) return {{board::kRefusedUnknownRead}};
    std::vector<std::uint8_t> reply{board::kIdentifyFiller, identity_.idHigh, identity_.idLow,
                                    bootproto::kAck};
    if (faults_.shortIdentify) reply.pop_back();
    if (faults_.noisyIdentify)
        reply.insert(reply.begin(), board::kIdentifyNoise.begin(), board::kIdentifyNoise.end());
    return {reply};
}

BoardResponse BoardBootloader::HandleRow(const std::vector<std::uint8_t>& frame) {
    const int row = rowFramesSeen_++;
    BoardResponse response;
    response.cutLine = row == faults_.cutAfterRow;
    if (row == faults_.ignoreRow) return response;
    if (row == faults_.refuseRow || row == faults_.strayInRow) {
        response.reply = {board::kRefusedByFault};
        return response;
    }
    if (frame.size() <= kRowHeaderLength) {
        response.reply = {board::kRefusedLength};
        return response;
    }
    if (std::accumulate(frame.begin() + 1, frame.end(), 0u) % 256 != 0) {
        response.reply = {board::kRefusedChecksum};
        return response;
    }
    const std::uint32_t address = FrameAddress(frame);
    const RowCheck check = memory_.CheckRow(address, frame[kRowHeaderLength - 1]);
    if (check != RowCheck::Accepted) {
        response.reply = {RefusalFor(check)};
        return response;
    }
    memory_.ProgramRow(address, frame.data() + kRowHeaderLength,
                       frame.size() - kRowHeaderLength - 1);
    ++rowsProgrammed_;
    response.stallInput = row + 1 == faults_.stallAfterRows;
    response.reply = {bootproto::kAck};
    response.rowProgrammed = true;
    return response;
}

}  // namespace board
