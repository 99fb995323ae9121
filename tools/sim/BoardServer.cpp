#include "tools/sim/BoardServer.h"

#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/sim/HexDump.h"

namespace board {

namespace {

// A frame whose bytes stop arriving for this long is dropped, so the next byte starts a
// new frame: at least 250 ms, or 100 bit times on a slow line.
std::chrono::nanoseconds FrameGap(const BoardOptions& options) {
    const std::chrono::nanoseconds bits{options.lineTiming ? 100'000'000'000 / options.baud : 0};
    return std::max<std::chrono::nanoseconds>(std::chrono::milliseconds(250), bits);
}

constexpr std::chrono::milliseconds kReplyArrival{50};
constexpr std::chrono::milliseconds kLastReplyGrace{500};
constexpr std::chrono::milliseconds kPollStep{1};
// How often a board whose user program talks looks whether it has started.
constexpr std::chrono::milliseconds kTalkCheck{20};

timespec ToTimespec(std::chrono::nanoseconds span) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(span);
    return {static_cast<time_t>(seconds.count()), static_cast<long>((span - seconds).count())};
}

}  // namespace

BoardServer::BoardServer(const BoardOptions& options, BoardDevice device,
                         std::unique_ptr<PseudoTerminal> terminal, std::unique_ptr<PortLink> link,
                         std::FILE* log, int wakeFd)
    : options_(options),
      started_(Clock::now()),
      byteTime_(options.lineTiming ? 10'000'000'000 / options.baud : 0),
      frameGap_(FrameGap(options)),
      devicePath_(terminal->SlavePath()),
      terminal_(std::move(terminal)),
      link_(std::move(link)),
      comNumber_(link_ ? options.comNumber : 0),
      wakeFd_(wakeFd),
      log_(log, comNumber_ != 0 ? "COM" + std::to_string(comNumber_.load()) : devicePath_),
      bootloader_(std::move(*device.memory),
                  {device.identity.idHigh, device.identity.idLow, options.firmwareMajor,
                   options.firmwareMinor},
                  options.faults, options.listenWindow, started_) {
    if (options.faults.stallAfterProbes == 0 || options.faults.stallAfterRows == 0) {
        terminal_->StopHostOutput();
    }
    thread_ = std::thread([this] { Serve(); });
}

BoardServer::~BoardServer() {
    stop_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(wakeFd_, &one, sizeof one);
    thread_.join();
    close(wakeFd_);
    link_.reset();
    terminal_.reset();
}

void BoardServer::Reset() {
    std::lock_guard lock(mutex_);
    DiscardPartialFrame();
    bootloader_.Reset(Clock::now());
}

void BoardServer::SetModemLine(SerialModemLine line, bool asserted) {
    if (options_.resetLine != line) return;
    std::lock_guard lock(mutex_);
    const bool held = asserted != options_.resetLineInverted;
    if (held) DiscardPartialFrame();
    bootloader_.HoldInReset(held, Clock::now());
}

bool BoardServer::UserProgramRunning() const {
    std::lock_guard lock(mutex_);
    return bootloader_.UserProgramRunning(Clock::now());
}

std::vector<ReceivedFrame> BoardServer::Frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

std::size_t BoardServer::RowsProgrammed() const {
    std::lock_guard lock(mutex_);
    return bootloader_.RowsProgrammed();
}

std::optional<std::uint16_t> BoardServer::Word(std::uint32_t address) const {
    std::lock_guard lock(mutex_);
    return bootloader_.Memory().Word(address);
}

bool BoardServer::InsideBootloader(std::uint32_t address) const {
    std::lock_guard lock(mutex_);
    return bootloader_.Memory().InsideBootloader(address);
}

void BoardServer::Serve() {
    // Replies are paced to the microsecond; the default 50 us of timer slack would add up
    // over thousands of rows.
    if (options_.lineTiming) prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    while (!stop_) {
        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {lineOpen_ ? terminal_->Master() : -1, POLLIN, 0}};
        bool pending;
        {
            std::lock_guard lock(mutex_);
            pending = assembler_.Pending();
        }
        std::optional<Clock::time_point> wake = Talk();
        if (pending)
            wake = std::min(wake.value_or(Clock::time_point::max()), lastByte_ + frameGap_);
        timespec left{};
        if (wake) left = ToTimespec(std::max<Clock::duration>(*wake - Clock::now(), {}));
        ppoll(fds, 2, wake ? &left : nullptr, nullptr);
        if (stop_) break;
        if (fds[1].revents & POLLIN) {
            ReadLine();
        } else if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            lineOpen_ = false;  // cannot happen while the board holds the slave; never spin
        } else if (pending && Clock::now() >= lastByte_ + frameGap_) {
            std::lock_guard lock(mutex_);
            DiscardPartialFrame();
        }
    }
}

void BoardServer::ReadLine() {
    std::uint8_t buffer[512];
    const ssize_t received = read(terminal_->Master(), buffer, sizeof buffer);
    if (received <= 0) {
        if (received == 0 || (errno != EAGAIN && errno != EINTR)) lineOpen_ = false;
        return;
    }
    const Clock::time_point now = Clock::now();
    lastByte_ = now;
    for (ssize_t i = 0; i < received && lineOpen_ && !stop_; ++i) {
        // On a real line the byte is complete one byte time after the line is free.
        receiveLineFree_ = std::max(now, receiveLineFree_) + byteTime_;
        if (options_.faults.echo) Respond({{buffer[i]}}, receiveLineFree_, true);
        BoardResponse response;
        bool whileReceiving = false;
        {
            std::lock_guard lock(mutex_);
            if (!assembler_.Pending()) frameStart_ = now;
            auto frame = assembler_.Feed(buffer[i]);
            if (!frame) {
                response.reply = bootloader_.WhileReceiving(assembler_.Partial());
                whileReceiving = true;
            } else {
                Record(*frame, frameStart_);
                response = bootloader_.Handle(*frame, receiveLineFree_);
            }
        }
        Respond(response, receiveLineFree_, whileReceiving);
    }
}

void BoardServer::Respond(const BoardResponse& response, Clock::time_point frameEnd,
                          bool whileReceiving) {
    if (!options_.lineTiming) {
        Send(response.reply.data(), response.reply.size());
    } else {
        const Clock::time_point ready =
            frameEnd + (response.rowProgrammed ? options_.rowProgramTime : Clock::duration{});
        for (std::uint8_t byte : response.reply) {
            sendLineFree_ = std::max(ready, sendLineFree_) + byteTime_;
            if (!WaitUntil(sendLineFree_)) return;
            Send(&byte, 1);
        }
    }
    if (!response.reply.empty()) {
        std::lock_guard lock(mutex_);
        log_.Replied(response.reply, Clock::now(), whileReceiving);
    }
    if (response.stallInput) terminal_->StopHostOutput();
    if (response.cutLine) CutLine();
}

std::optional<BoardServer::Clock::time_point> BoardServer::Talk() {
    if (options_.programSays.empty() || !lineOpen_) return std::nullopt;
    const Clock::time_point now = Clock::now();
    std::optional<Clock::time_point> since;
    {
        std::lock_guard lock(mutex_);
        since = bootloader_.UserProgramStart(now);
    }
    if (since != talkingSince_) {
        talkingSince_ = since;
        if (since) nextTalk_ = *since + options_.talkEvery;
    }
    if (!since) return now + kTalkCheck;
    if (now >= nextTalk_) {
        const std::string line = options_.programSays + "\r\n";
        Send(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
        nextTalk_ = std::max(nextTalk_ + options_.talkEvery, now);
    }
    // A reset stops the program at any time.
    return std::min(nextTalk_, now + kTalkCheck);
}

void BoardServer::Send(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = write(terminal_->Master(), bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;  // the host's input is full: the rest is lost, as on a line
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
}

bool BoardServer::WaitUntil(Clock::time_point deadline) {
    while (!stop_) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return true;
        const timespec left = ToTimespec(deadline - now);
        pollfd wake{wakeFd_, POLLIN, 0};
        ppoll(&wake, 1, &left, nullptr);
    }
    return false;
}

void BoardServer::CutLine() {
    // Let the host take the last reply first (for a while), so only what follows is lost.
    // The reply reaches the host's side a moment after it was written: wait to see it
    // there, then for the host to read it.
    const Clock::time_point seenBy = Clock::now() + kReplyArrival;
    while (terminal_->UnreadByHost() == 0 && Clock::now() < seenBy &&
           WaitUntil(Clock::now() + kPollStep)) {
    }
    const Clock::time_point takenBy = Clock::now() + kLastReplyGrace;
    while (terminal_->UnreadByHost() > 0 && Clock::now() < takenBy &&
           WaitUntil(Clock::now() + kPollStep)) {
    }
    comNumber_ = 0;
    if (link_) link_->Remove();
    terminal_->Close();
    lineOpen_ = false;
}

void BoardServer::Record(std::vector<std::uint8_t> bytes, Clock::time_point firstByte) {
    log_.Received(bytes, firstByte);
    frames_.push_back(ReceivedFrame{std::chrono::duration<double>(firstByte - started_).count(),
                                    std::move(bytes)});
}

void BoardServer::DiscardPartialFrame() {
    if (assembler_.Pending()) Record(assembler_.Discard(), frameStart_);
}

bool BoardServer::DumpHex(const std::string& path) const {
    std::string text;
    {
        std::lock_guard lock(mutex_);
        text = FormatIntelHex(bootloader_.Memory());
    }
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace board
