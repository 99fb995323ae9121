#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#include "tools/sim/BoardBootloader.h"
#include "tools/sim/BoardDevice.h"
#include "tools/sim/FrameAssembler.h"
#include "tools/sim/FrameLog.h"
#include "tools/sim/PortLink.h"
#include "tools/sim/PseudoTerminal.h"
#include "tools/sim/VirtualBoard.h"

namespace board {

// Serves the bootloader on the master side of the pseudo-terminal from its own thread,
// pacing replies like a real line when asked to.
class BoardServer : public VirtualBoard {
public:
    using Clock = std::chrono::steady_clock;

    // Takes ownership of the terminal, the link, the log file and the wake descriptor.
    BoardServer(const BoardOptions& options, BoardDevice device,
                std::unique_ptr<PseudoTerminal> terminal, std::unique_ptr<PortLink> link,
                std::FILE* log, int wakeFd);
    ~BoardServer() override;

    std::string DevicePath() const override { return devicePath_; }
    int ComNumber() const override { return comNumber_; }
    void Reset() override;
    void SetModemLine(SerialModemLine line, bool asserted) override;
    bool UserProgramRunning() const override;
    std::vector<ReceivedFrame> Frames() const override;
    std::size_t RowsProgrammed() const override;
    std::optional<std::uint16_t> Word(std::uint32_t address) const override;
    bool InsideBootloader(std::uint32_t address) const override;
    bool DumpHex(const std::string& path) const override;

private:
    void Serve();
    void ReadLine();
    void Respond(const BoardResponse& response, Clock::time_point frameEnd, bool whileReceiving);
    // Sends `reply` once `ready` has passed (paced with line timing); false when the board
    // stops meanwhile.
    bool SendAt(const std::vector<std::uint8_t>& reply, Clock::time_point ready,
                bool whileReceiving);
    void Send(const std::uint8_t* bytes, std::size_t count);
    bool WaitUntil(Clock::time_point deadline);  // false when the board stops
    void CutLine();
    // Sends the user program's text when it is due; when the next one is due, if ever.
    std::optional<Clock::time_point> Talk();
    // Callers hold `mutex_`.
    void Record(std::vector<std::uint8_t> bytes, Clock::time_point firstByte);
    void DiscardPartialFrame();

    const BoardOptions options_;
    const Clock::time_point started_;
    const std::chrono::nanoseconds byteTime_;
    const std::chrono::nanoseconds frameGap_;
    const std::string devicePath_;
    std::unique_ptr<PseudoTerminal> terminal_;
    std::unique_ptr<PortLink> link_;
    std::atomic<int> comNumber_;
    const int wakeFd_;
    std::atomic<bool> stop_{false};

    mutable std::mutex mutex_;
    FrameLog log_;
    BoardBootloader bootloader_;
    FrameAssembler assembler_;
    Clock::time_point frameStart_;
    std::vector<ReceivedFrame> frames_;

    // Used by the serving thread only.
    bool lineOpen_ = true;
    Clock::time_point lastByte_;
    Clock::time_point receiveLineFree_;
    Clock::time_point sendLineFree_;
    std::optional<Clock::time_point> talkingSince_;
    Clock::time_point nextTalk_;
    std::thread thread_;
};

}  // namespace board
