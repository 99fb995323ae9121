#include <chrono>
#include <string>
#include <thread>

#include "common/Product.h"
#include "control/CauseTexts.h"
#include "control/DetectionTexts.h"
#include "control/ProgrammingSession.h"
#include "protocol/Frames.h"

namespace {

constexpr std::chrono::milliseconds kReopenDelay{500};

}  // namespace

void ProgrammingSession::Reconnect() {
    if (busy_) return;
    if (portOpen_) {
        engine_.port.ClosePort();
        std::this_thread::sleep_for(kReopenDelay);
        portOpen_ = false;
    }
    commands_.run = false;
    commands_.reload = false;
    commands_.write = false;
    commands_.open = false;
    Changed(SessionChange::Commands);
    busy_ = true;
    reconnect_ = ReconnectOutcome{};

    if (!ReopenPort() || !StartDetection()) {
        LeaveOnlyReconnectEnabled();
        SetStatus(Lamp::Red, "not connected");
        engine_.port.ClosePort();
        portOpen_ = false;
        SetBusy(false);
        return;
    }
    Changed(SessionChange::Commands);
}

bool ProgrammingSession::ReopenPort() {
    if (OpenEnginePort(engine_, devicePath_)) return true;
    reconnect_.stage = ReconnectStage::PortNotOpened;
    // A port given by its device path is named by that path.
    Box(BoxKind::PortNotOpened,
        ConfiguringFailedText(EnginePortName(engine_, devicePath_), engine_.baudRate,
                              kReconnectProgramName),
        kConfiguringFailedCaption);
    Log(kDetectionStartedLog, false);
    return false;
}

bool ProgrammingSession::StartDetection() {
    status_.lampVisible = true;
    status_.textVisible = true;
    status_.barVisible = true;
    // With a reset sequence the tool resets the board; the user's hand is not asked for.
    SetStatus(Lamp::Grey, reset_ ? "resetting your dsPIC platform through the modem lines"
                                 : "reset (restart) your dsPIC platform");

    // The range first: a position set before it would be clamped into the last write's range.
    progress_.SetRange(1, detectionSeconds_);
    progress_.SetPosition(0);
    progress_.step = 1;
    Changed(SessionChange::Progress);

    if (!detection_.Start(wake_, detectionSeconds_, reset_ ? &*reset_ : nullptr)) {
        reconnect_.stage = ReconnectStage::NotStarted;
        Box(BoxKind::DetectionNotStarted, kDetectionNotStartedText, kDetectionNotStartedCaption);
        Log(kDetectionStartedLog, false);
        return false;
    }
    reconnect_.stage = ReconnectStage::Detecting;
    Log(kDetectionStartedLog, true);
    SetTimerWanted(true);
    return true;
}

void ProgrammingSession::OnTimer() {
    if (!detection_.Started() || !timerWanted_) return;
    const bool limitReached = detection_.Tick();
    // The bar starts at its first step and moves one a second.
    progress_.SetPosition(1 + detection_.SecondsWaited());
    Changed(SessionChange::Progress);
    if (limitReached) SetTimerWanted(false);
}

void ProgrammingSession::OnDetectionFinished(DetectionResult result) {
    if (!detection_.Started()) return;
    SetTimerWanted(false);
    const DetectionOutcome outcome = detection_.Finish(result);
    reconnect_ = ReconnectOutcome{ReconnectStage::Finished, outcome};

    busy_ = false;
    commands_.reconnect = true;
    commands_.open = false;
    commands_.write = false;
    commands_.run = false;

    if (!outcome.identification) {
        SetLamp(Lamp::Red);
        engine_.port.ClosePort();
        portOpen_ = false;
        Log(kDetectionFinishedLog, false);
        status_.barVisible = false;
        SetStatusText("not connected");
        Changed(SessionChange::Commands);
        return;
    }

    if (!outcome.Identified()) {
        const std::string identifier =
            bootproto::IdentifierText(engine_.deviceId[0], engine_.deviceId[1]);
        const std::string catalogue =
            std::string(engine_.workingPath) + product::kCatalogueFileName;
        const IdentifyResult identification = *outcome.identification;
        Box(BoxKind::IdentificationFailed, IdentificationFailedCodeText(identification),
            kIdentificationFailedCaption, BoxButtons::Ok,
            IdentificationCause(identification, identifier, catalogue,
                                identification == IdentifyResult::DeviceNotFound
                                    ? std::string()
                                    : outcome.catalogueCause));
        Log(kDetectionFinishedLog, false);
        ShowBar(false);
        // The reset hint would ask for a hand the board no longer needs: it answered.
        SetStatus(Lamp::Red, "identification failed");
        engine_.port.ClosePort();
        portOpen_ = false;
        Changed(SessionChange::Commands);
        return;
    }

    status_.barVisible = false;
    SetStatus(Lamp::Green, "ready");
    Log(kDetectionFinishedLog, true);
    portOpen_ = true;

    if (!hexPath_.empty() && shownDevice_ == engine_.device.name) {
        if (hexLoaded_) {
            ReloadAfterReconnect();
        } else {
            commands_.write = false;
        }
    } else {
        hexLoaded_ = false;
        commands_.write = false;
        Changed(SessionChange::Blocks);
    }
    commands_.run = true;
    commands_.open = true;
    shownDevice_ = engine_.device.name;
    Changed(SessionChange::Device);
    Changed(SessionChange::Commands);
}
