#include "tools/cli/BoardSession.h"

#include <chrono>

#include "control/CauseTexts.h"
#include "control/ExitStatus.h"
#include "protocol/Frames.h"
#include "tools/cli/StopSignals.h"
#include "tools/cli/WorkingPath.h"
#include "tools/cli/WriteInputs.h"

namespace {

// How soon a stop signal is seen while nothing else happens, and how often the detection's
// clock is looked at.
constexpr std::chrono::milliseconds kSignalLook{100};
constexpr std::chrono::milliseconds kTimerPeriod{1000};

EngineContext TracedEngine(CBootloaderApp& app, bootproto::LineTrace* trace) {
    app.m_line.SetTrace(trace);
    return app.Engine();
}

}  // namespace

BoardSession::BoardSession(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app,
                           std::shared_ptr<const DeviceCatalogue> catalogue)
    : options_(options),
      output_(output),
      app_(app),
      catalogue_(std::move(catalogue)),
      observer_(output, options.proceedOnError),
      trace_(output.Trace() != nullptr
                 ? std::make_unique<bootproto::LineTrace>(options.port, *output.Trace())
                 : nullptr),
      // Nothing is open yet: the first reconnect opens the port without closing it first.
      session_(TracedEngine(app_, trace_.get()), observer_, queue_, PortAtStart::Closed) {
    observer_.Follow(session_);
}

BoardSession::~BoardSession() {
    session_.Shutdown();
    if (session_.PortOpen()) app_.m_serialPort.ClosePort();
}

int BoardSession::Fail(int status, const std::string& what, const std::string& cause) {
    if (!what.empty()) output_.Error("pelorant-cli: " + what);
    if (!cause.empty()) output_.Error("    cause: " + cause);
    if (reason_.empty()) reason_ = cause.empty() ? what : cause;
    return status;
}

int BoardSession::Because(int status, const std::string& reason) {
    if (reason_.empty()) reason_ = reason;
    return status;
}

int BoardSession::Configure() {
    std::string error;
    if (!SetWorkingPath(options_.workdir, app_, error)) return Fail(kExitUsage, error);
    if (!ParsePortName(options_.port, port_)) {
        return Fail(kExitUsage, "'" + options_.port + "' names no port (COMn or a device path)");
    }
    // A catalogue that cannot be read would fail only after the board answered.
    if (!catalogue_) catalogue_ = ReadCatalogue(CataloguePath(app_), output_);
    if (!catalogue_) {
        reason_ = "cannot read the device catalogue " + CataloguePath(app_);
        return kExitIdentificationFailed;
    }
    session_.SetCatalogue(catalogue_);
    app_.m_comNumber = port_.comNumber;
    app_.m_baudRate = static_cast<int>(options_.baud);
    session_.SetDevicePath(port_.devicePath);
    session_.SetDetectionLimit(options_.detectTimeout);
    session_.SetResetSequence(options_.reset);
    return kExitOk;
}

int BoardSession::Connect() {
    if (const int status = Configure(); status != kExitOk) return status;

    session_.Reconnect();
    WaitWhileBusy();
    if (session_.PortOpen()) return kExitOk;

    const ReconnectOutcome& reconnect = session_.LastReconnect();
    switch (reconnect.stage) {
        case ReconnectStage::PortNotOpened:
            return Fail(kExitPortNotOpened,
                        DescribeOpenFailure(port_, app_.m_serialPort, options_.baud));
        case ReconnectStage::NotStarted:
            return Fail(kExitDetectionFailed, "the detection could not be started");
        case ReconnectStage::None:
        case ReconnectStage::Detecting:
        case ReconnectStage::Finished:
            break;
    }
    if (const int status = Stopped("during the detection"); status != 0) return status;
    const DetectionOutcome& detection = reconnect.detection;
    if (!detection.identification) {
        // A reset that could not be played says why, in the serial library's words.
        const bool resetFailed = detection.detection == DetectionResult::ResetFailed;
        return Fail(kExitDetectionFailed,
                    "detection failed: " + DetectionCause(detection.detection, port_.text,
                                                          options_.detectTimeout,
                                                          options_.reset.has_value()),
                    resetFailed ? app_.m_serialPort.LastFailureText() : std::string());
    }
    // The identification's box has printed its cause; it is the board's reason too.
    const std::string identifier =
        bootproto::IdentifierText(app_.m_deviceId[0], app_.m_deviceId[1]);
    return Because(kExitIdentificationFailed,
                   IdentificationCause(*detection.identification, identifier, CataloguePath(app_),
                                       *detection.identification == IdentifyResult::DeviceNotFound
                                           ? std::string()
                                           : detection.catalogueCause));
}

void BoardSession::WaitWhileBusy() {
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextTick = Clock::now() + kTimerPeriod;
    bool stopRequested = false;
    while (session_.Busy()) {
        if (!stopRequested && StopSignal() != 0) {
            stopRequested = true;
            session_.Stop();
            continue;
        }
        if (const auto message = queue_.Wait(kSignalLook)) {
            session_.Dispatch(*message);
            continue;
        }
        if (!session_.TimerWanted()) {
            nextTick = Clock::now() + kTimerPeriod;
        } else if (Clock::now() >= nextTick) {
            nextTick += kTimerPeriod;
            session_.OnTimer();
        }
    }
}

int BoardSession::Stopped(const std::string& where) {
    const int signal = StopSignal();
    if (signal == 0) return 0;
    return Fail(kExitSignalBase + signal, std::string("stopped by ") + StopSignalName(signal) +
                                              " " + where + "; " + port_.text + " is released");
}
