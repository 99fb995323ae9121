#include <chrono>
#include <cstdint>
#include <cstring>
#include <utility>

#include "protocol/Frames.h"
#include "protocol/Line.h"
#include "protocol/ResetSequence.h"
#include "protocol/TimerResolution.h"
#include "protocol/Workers.h"

namespace {

constexpr unsigned kProbeTimerResolutionMs = 2;
constexpr std::chrono::milliseconds kPauseBeforeIdentify{50};
// A port that fails outright answers at once; without a pause the probe loop would spin a
// core until the window's time limit stops it.
constexpr std::chrono::milliseconds kPauseAfterFailedAttempt{100};

enum class ProbeOutcome { Synchronised, Stopped, NotSent, PortLost, ResetFailed };

// The reset, when there is one, follows the first probe attempt and comes right before the
// next probe: the bootloader listens only for a while after a reset.
ProbeOutcome ProbeUntilSynchronised(bootproto::Line& line, const DetectionThreadParam& param) {
    constexpr bootproto::Exchange kExchange{bootproto::ExchangeKind::Probe};
    const bootproto::ResetSequence* reset = param.reset;
    const auto sleep = [&line](std::chrono::milliseconds wait) { line.Sleep(wait); };
    while (param.stop.load() == 0) {
        const char probe = static_cast<char>(bootproto::kProbe);
        const unsigned long written = line.Send(kExchange, &probe, 1);
        if (written == 0) return ProbeOutcome::NotSent;
        // A port that went away fails every later attempt the same way: waiting out the
        // window's time limit would only end in blaming the board.
        if (line.Lost(written)) return ProbeOutcome::PortLost;

        std::uint8_t reply[bootproto::kProbeReplyLength] = {};
        const unsigned long received = line.Receive(kExchange, reply, sizeof reply);
        if (line.Lost(received)) return ProbeOutcome::PortLost;
        const bool readFailed = received == bootproto::Line::kFailure;
        if (!readFailed && bootproto::ProbeSynchronised(reply, received)) {
            line.DropInput();
            return ProbeOutcome::Synchronised;
        }
        if (readFailed || written == bootproto::Line::kFailure) {
            line.Sleep(kPauseAfterFailedAttempt);
        }
        if (reset != nullptr &&
            !bootproto::PlayResetSequence(*std::exchange(reset, nullptr), line, sleep)) {
            return ProbeOutcome::ResetFailed;
        }
    }
    return ProbeOutcome::Stopped;
}

DetectionResult Identify(bootproto::Line& line, unsigned char deviceId[2]) {
    constexpr bootproto::Exchange kExchange{bootproto::ExchangeKind::Identify};
    char request[sizeof bootproto::kIdentifyRequest];
    for (std::size_t i = 0; i < sizeof request; ++i) {
        request[i] = static_cast<char>(bootproto::kIdentifyRequest[i]);
    }
    const unsigned long written = line.Send(kExchange, request, sizeof request);
    if (line.Lost(written)) return DetectionResult::PortLost;
    if (written != sizeof request) return DetectionResult::WriteError;

    char reply[bootproto::kIdentifyReplyLength];
    const unsigned long received = line.Receive(kExchange, reply, sizeof reply);
    if (line.Lost(received)) return DetectionResult::PortLost;
    if (received != sizeof reply) return DetectionResult::Timeout;
    // A board answers with its id between two other bytes, never with the request itself.
    static_assert(sizeof reply == sizeof request);
    if (std::memcmp(reply, request, sizeof reply) == 0) return DetectionResult::AdapterEcho;
    deviceId[0] = static_cast<unsigned char>(reply[1]);
    deviceId[1] = static_cast<unsigned char>(reply[2]);
    return DetectionResult::Synchronised;
}

}  // namespace

DetectionResult Detect(bootproto::Line& line, const DetectionThreadParam& param,
                       unsigned char deviceId[2]) {
    platform::ScopedTimerResolution timerResolution(kProbeTimerResolutionMs);
    line.UseExchangeTimeouts();
    line.DropInput();

    const ProbeOutcome outcome = ProbeUntilSynchronised(line, param);
    if (outcome == ProbeOutcome::NotSent) return DetectionResult::Timeout;
    if (outcome == ProbeOutcome::PortLost) return DetectionResult::PortLost;
    if (outcome == ProbeOutcome::ResetFailed) return DetectionResult::ResetFailed;
    // Tested again after a synchronised attempt: a stop always wins.
    if (param.stop.load() != 0) return DetectionResult::Stopped;
    timerResolution.Restore();

    // Let the trailing probe replies arrive, then drop them before identifying.
    line.UseExchangeTimeouts();
    line.Sleep(kPauseBeforeIdentify);
    line.DropInput();
    return Identify(line, deviceId);
}

unsigned DetectionWorker(const EngineContext& engine) {
    MessageTarget* window = engine.detection.notifyWindow;
    const DetectionResult result = Detect(engine.line, engine.detection, engine.deviceId);
    window->Post(kMsgDetectionFinished, Code(result), 0);
    return 0;
}
