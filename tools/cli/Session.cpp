#include "tools/cli/Session.h"

#include <cstdint>
#include <cstdio>

#include "catalogue/Catalogue.h"
#include "protocol/Frames.h"
#include "protocol/Workers.h"
#include "tools/cli/CauseLines.h"
#include "tools/cli/EventLoop.h"
#include "tools/cli/ExitStatus.h"
#include "tools/cli/StopSignals.h"
#include "tools/cli/WorkingPath.h"
#include "tools/cli/WriteInputs.h"

namespace {

// Shows on a terminal how long the detection has waited.
class DetectionWatch : public LoopObserver {
public:
    DetectionWatch(ConsoleOutput& output, std::uint32_t limit) : output_(output), limit_(limit) {}

    void BeforeDispatch(const WindowMessage&) override {}

    void AfterTick() override {
        char line[96];
        std::snprintf(line, sizeof line, "waiting for the bootloader: %u of %u s", ++seconds_,
                      limit_);
        output_.Transient(line);
    }

private:
    ConsoleOutput& output_;
    std::uint32_t limit_;
    std::uint32_t seconds_ = 0;
};

EngineContext TracedEngine(EngineContext engine, bootproto::LineTrace* trace) {
    engine.trace = trace;
    return engine;
}

}  // namespace

Session::Session(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app)
    : options_(options),
      output_(output),
      app_(app),
      boxes_(output, options.proceedOnError),
      window_(output, app_, boxes_),
      trace_(output.Trace() != nullptr
                 ? std::make_unique<bootproto::LineTrace>(options.port, *output.Trace())
                 : nullptr),
      // Nothing is open yet: the first reconnect opens the port without closing it first.
      control_(window_, TracedEngine(app_.Engine(), trace_.get()), PortAtStart::Closed) {}

Session::~Session() {
    control_.Shutdown();
    if (control_.PortOpen()) app_.m_serialPort.ClosePort();
}

int Session::Configure() {
    std::string error;
    if (!SetWorkingPath(options_.workdir, app_, error)) {
        output_.Error("pelorant-cli: " + error);
        return kExitUsage;
    }
    if (!ParsePortName(options_.port, port_)) {
        output_.Error("pelorant-cli: '" + options_.port +
                      "' names no port (COMn or a device path)");
        return kExitUsage;
    }
    // A catalogue that cannot be read would fail only after the board answered.
    if (const int status = CheckCatalogueReadable(CataloguePath(app_), output_);
        status != kExitOk) {
        return status;
    }
    app_.m_comNumber = port_.comNumber;
    app_.m_baudRate = static_cast<int>(options_.baud);
    control_.SetDevicePath(port_.devicePath);
    control_.SetDetectionLimit(options_.detectTimeout);
    return kExitOk;
}

int Session::Connect() {
    if (const int status = Configure(); status != kExitOk) return status;

    control_.OnReconnectCommand();
    if (!control_.Busy()) {
        if (control_.LastReconnect().stage == ReconnectStage::PortNotOpened) {
            output_.Error("pelorant-cli: " +
                          DescribeOpenFailure(port_, app_.m_serialPort, options_.baud));
            return kExitPortNotOpened;
        }
        return kExitDetectionFailed;
    }
    DetectionWatch watch(output_, options_.detectTimeout);
    RunWhileBusy(control_, window_, watch);

    if (control_.PortOpen()) return kExitOk;
    if (const int signal = StopSignal(); signal != 0) {
        output_.Error(std::string("pelorant-cli: stopped by ") + StopSignalName(signal) +
                      " during the detection; " + port_.text + " is released");
        return kExitSignalBase + signal;
    }
    if (const ReconnectOutcome& reconnect = control_.LastReconnect();
        reconnect.stage == ReconnectStage::Finished &&
        reconnect.detection.detection != DetectionResult::Synchronised) {
        return ReportFailedDetection(reconnect.detection.detection);
    }
    const std::string identifier =
        bootproto::IdentifierText(app_.m_deviceId[0], app_.m_deviceId[1]);
    output_.Error("    cause: " + IdentificationFailure(identifier));
    return kExitIdentificationFailed;
}

// Why the identification failed, found again after its box: the catalogue lookup gives the
// same answer twice, and when it succeeds it was the version request that failed. The
// lookup's own words say what is wrong with an entry or a file.
std::string Session::IdentificationFailure(const std::string& identifier) const {
    CDeviceInfo scratch;
    std::string name;
    std::string detail;
    const std::string catalogue = CataloguePath(app_);
    const CatalogueLookup found = LookupDevice(catalogue, identifier, scratch, name, &detail);
    if (found == CatalogueLookup::Found) {
        return IdentificationCause(IdentifyResult::FirmwareFailed, identifier, catalogue);
    }
    return IdentificationCause(IdentifyRefusal(found), identifier, catalogue,
                               found == CatalogueLookup::DeviceNotFound ? std::string() : detail);
}

int Session::ReportFailedDetection(DetectionResult result) {
    std::string reason;
    if (result == DetectionResult::Stopped) {
        reason = "no bootloader answered on " + port_.text + " within " +
                 std::to_string(options_.detectTimeout) +
                 " s: reset the board while pelorant-cli waits, and check the baud rate";
    } else if (result == DetectionResult::Timeout) {
        reason = "Timeout expired: the line went quiet during the detection";
    } else if (result == DetectionResult::WriteError) {
        reason = "Writing error: the identification request did not go out";
    } else if (result == DetectionResult::PortLost) {
        reason = "the port " + port_.text + " went away (adapter unplugged or line hung up)";
    } else {
        reason = "Unknown error (" + std::to_string(Code(result)) + ")";
    }
    output_.Error("pelorant-cli: detection failed: " + reason);
    return kExitDetectionFailed;
}
