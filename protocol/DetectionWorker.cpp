#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>
#include <utility>

#include "protocol/Frames.h"
#include "protocol/LineCheck.h"
#include "protocol/ResetSequence.h"
#include "protocol/TimerResolution.h"
#include "protocol/Workers.h"

namespace {

constexpr unsigned kProbeTimerResolutionMs = 2;
constexpr std::chrono::milliseconds kPauseBeforeIdentify{50};
// A port that fails outright answers at once; without a pause the probe loop would spin a
// core until the window's time limit stops it.
constexpr std::chrono::milliseconds kPauseAfterFailedAttempt{100};

void SetExchangeTimeouts(CSerialPort& port) {
    port.SetTimeouts(100, 100, 100, 100, 100);
}

enum class ProbeOutcome { Synchronised, Stopped, NotSent, PortLost, ResetFailed };

bool PlayReset(CSerialPort& port, const bootproto::ResetSequence& sequence) {
    bootproto::PortModemLines lines(port);
    return bootproto::PlayResetSequence(
        sequence, lines, [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); });
}

// The reset, when there is one, follows the first probe attempt and comes right before the
// next probe: the bootloader listens only for a while after a reset.
ProbeOutcome ProbeUntilSynchronised(CSerialPort& port, const DetectionThreadParam& param,
                                    bootproto::LineTrace* trace) {
    using bootproto::TraceDirection;
    constexpr bootproto::Exchange kExchange{bootproto::ExchangeKind::Probe};
    const bootproto::ResetSequence* reset = param.reset;
    while (param.stop.load() == 0) {
        char probe = static_cast<char>(bootproto::kProbe);
        const unsigned long written = port.WriteToPort(&probe, 1);
        bootproto::Trace(trace, TraceDirection::HostToBoard, kExchange, &probe, written);
        if (written == 0) return ProbeOutcome::NotSent;
        // A port that went away fails every later attempt the same way: waiting out the
        // window's time limit would only end in blaming the board.
        if (bootproto::PortLost(port, written)) return ProbeOutcome::PortLost;

        std::uint8_t reply[bootproto::kProbeReplyLength] = {};
        const unsigned long received =
            port.ReadFromPort(reinterpret_cast<char*>(reply), bootproto::kProbeReplyLength);
        bootproto::Trace(trace, TraceDirection::BoardToHost, kExchange, reply, received);
        if (bootproto::PortLost(port, received)) return ProbeOutcome::PortLost;
        const bool readFailed = received == CSerialPort::kFailure;
        if (!readFailed && bootproto::ProbeSynchronised(reply, received)) {
            port.CleanPort();
            return ProbeOutcome::Synchronised;
        }
        if (readFailed || written == CSerialPort::kFailure) {
            std::this_thread::sleep_for(kPauseAfterFailedAttempt);
        }
        if (reset != nullptr && !PlayReset(port, *std::exchange(reset, nullptr))) {
            return ProbeOutcome::ResetFailed;
        }
    }
    return ProbeOutcome::Stopped;
}

DetectionResult Identify(CSerialPort& port, unsigned char deviceId[2],
                         bootproto::LineTrace* trace) {
    using bootproto::TraceDirection;
    constexpr bootproto::Exchange kExchange{bootproto::ExchangeKind::Identify};
    char request[sizeof bootproto::kIdentifyRequest];
    for (std::size_t i = 0; i < sizeof request; ++i) {
        request[i] = static_cast<char>(bootproto::kIdentifyRequest[i]);
    }
    const unsigned long written = port.WriteToPort(request, sizeof request);
    bootproto::Trace(trace, TraceDirection::HostToBoard, kExchange, request, written);
    if (bootproto::PortLost(port, written)) return DetectionResult::PortLost;
    if (written != sizeof request) return DetectionResult::WriteError;

    char reply[bootproto::kIdentifyReplyLength];
    const unsigned long received = port.ReadFromPort(reply, sizeof reply);
    bootproto::Trace(trace, TraceDirection::BoardToHost, kExchange, reply, received);
    if (bootproto::PortLost(port, received)) return DetectionResult::PortLost;
    if (received != sizeof reply) return DetectionResult::Timeout;
    // A board answers with its id between two other bytes, never with the request itself.
    static_assert(sizeof reply == sizeof request);
    if (std::memcmp(reply, request, sizeof reply) == 0) return DetectionResult::AdapterEcho;
    deviceId[0] = static_cast<unsigned char>(reply[1]);
    deviceId[1] = static_cast<unsigned char>(reply[2]);
    return DetectionResult::Synchronised;
}

DetectionResult Detect(const EngineContext& engine) {
    CSerialPort& port = engine.port;
    const DetectionThreadParam& param = engine.detection;
    platform::ScopedTimerResolution timerResolution(kProbeTimerResolutionMs);
    SetExchangeTimeouts(port);
    port.CleanPort();

    const ProbeOutcome outcome = ProbeUntilSynchronised(port, param, engine.trace);
    if (outcome == ProbeOutcome::NotSent) return DetectionResult::Timeout;
    if (outcome == ProbeOutcome::PortLost) return DetectionResult::PortLost;
    if (outcome == ProbeOutcome::ResetFailed) return DetectionResult::ResetFailed;
    // Tested again after a synchronised attempt: a stop always wins.
    if (param.stop.load() != 0) return DetectionResult::Stopped;
    timerResolution.Restore();

    // Let the trailing probe replies arrive, then drop them before identifying.
    SetExchangeTimeouts(port);
    std::this_thread::sleep_for(kPauseBeforeIdentify);
    port.CleanPort();
    return Identify(port, engine.deviceId, engine.trace);
}

}  // namespace

unsigned DetectionWorker(const EngineContext& engine) {
    MessageTarget* window = engine.detection.notifyWindow;
    const DetectionResult result = Detect(engine);
    window->Post(kMsgDetectionFinished, Code(result), 0);
    return 0;
}
