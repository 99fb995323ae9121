#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "control/DetectionTexts.h"
#include "control/ProgrammingControl.h"

namespace {

constexpr std::chrono::milliseconds kReopenDelay{500};

}  // namespace

void CProgrammingControl::OnReconnectCommand() {
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
    window_.UpdateControlStates();
    busy_ = true;
    reconnect_ = ReconnectOutcome{};

    if (!ReopenPort() || !StartDetection()) {
        LeaveOnlyReconnectEnabled();
        busy_ = false;
        window_.SetStatusLamp(kLampRed);
        window_.SetStatusText("not connected");
        engine_.port.ClosePort();
        portOpen_ = false;
    }
    window_.RefreshCursor();
}

bool CProgrammingControl::ReopenPort() {
    if (OpenEnginePort(engine_, devicePath_)) return true;
    reconnect_.stage = ReconnectStage::PortNotOpened;
    // A port given by its device path is named by that path.
    window_.MessageBoxes().Show(ConfiguringFailedText(EnginePortName(engine_, devicePath_),
                                                      engine_.baudRate, kReconnectProgramName),
                                kConfiguringFailedCaption, BoxIcon::Error, BoxButtons::Ok);
    window_.AddLogLine(kDetectionStartedLog, "failed");
    return false;
}

bool CProgrammingControl::StartDetection() {
    window_.ShowStatusLamp(false);
    window_.ShowStatusText(false);
    window_.ShowProgressBar(false);
    window_.ShowStatusLamp(true);
    window_.SetStatusText("reset (restart) your dsPIC platform");
    window_.ShowStatusText(true);
    window_.ShowProgressBar(true);
    window_.SetStatusLamp(kLampGrey);

    // The range first: a position set before it would be clamped into the last write's range.
    progress_.SetRange(1, detectionTicks_);
    progress_.SetPosition(0);
    progress_.step = 1;
    window_.ShowProgress(progress_);

    if (!detection_.Start(window_.Target(), detectionTicks_)) {
        reconnect_.stage = ReconnectStage::NotStarted;
        window_.MessageBoxes().Show(kDetectionNotStartedText, kDetectionNotStartedCaption,
                                    BoxIcon::Error, BoxButtons::Ok);
        window_.AddLogLine(kDetectionStartedLog, "failed");
        return false;
    }
    reconnect_.stage = ReconnectStage::Detecting;
    window_.ShowProgressGroup(true);
    window_.AddLogLine(kDetectionStartedLog, "ok");
    window_.StartDetectionTimer();
    return true;
}

void CProgrammingControl::OnDetectionTimer() {
    if (detection_.Tick()) {
        window_.KillDetectionTimer();
    } else {
        progress_.Step();
        window_.ShowProgress(progress_);
    }
}

void CProgrammingControl::OnDetectionFinished(DetectionResult result) {
    if (!detection_.Started()) return;
    window_.KillDetectionTimer();
    const DetectionOutcome outcome = detection_.Finish(result);
    reconnect_ = ReconnectOutcome{ReconnectStage::Finished, outcome};

    busy_ = false;
    window_.RefreshCursor();
    commands_.reconnect = true;
    commands_.open = false;
    commands_.write = false;
    commands_.run = false;

    if (!outcome.identification) {
        window_.SetStatusLamp(kLampRed);
        engine_.port.ClosePort();
        portOpen_ = false;
        window_.AddLogLine(kDetectionFinishedLog, "failed");
        window_.ShowProgressBar(false);
        window_.SetStatusText("not connected");
        window_.UpdateControlStates();
        return;
    }

    if (!outcome.Identified()) {
        window_.MessageBoxes().Show(IdentificationFailedCodeText(Code(*outcome.identification)),
                                    kIdentificationFailedCaption, BoxIcon::Error, BoxButtons::Ok);
        window_.AddLogLine(kDetectionFinishedLog, "failed");
        window_.ShowProgressBar(false);
        window_.SetStatusLamp(kLampRed);
        engine_.port.ClosePort();
        portOpen_ = false;
        window_.UpdateControlStates();
        return;
    }

    window_.ShowProgressBar(false);
    window_.SetStatusLamp(kLampGreen);
    window_.SetStatusText("ready");
    window_.AddLogLine(kDetectionFinishedLog, "ok");
    portOpen_ = true;

    if (!hexPath_.empty() && shownDevice_ == engine_.device.name) {
        if (hexLoaded_ &&
            LoadHexImage(engine_.device, hexPath_, hexStamp_, window_.MessageBoxes())) {
            window_.UpdateBlockChecks();
            commands_.write = true;
            commands_.reload = true;
        } else {
            commands_.write = false;
        }
    } else {
        hexLoaded_ = false;
        commands_.write = false;
    }
    commands_.run = true;
    commands_.open = true;
    ShowDeviceRanges();
    shownDevice_ = engine_.device.name;
    window_.ShowVersions();
    window_.UpdateControlStates();
}

void CProgrammingControl::ShowDeviceRanges() {
    for (int block = kBlockCode; block <= kBlockConfig; ++block) {
        const CMemoryImage& image = engine_.device.images[block];
        if (!image.present) continue;
        char label[48];
        std::snprintf(label, sizeof label, "(0x%04X - 0x%04X)", image.GetStart(), image.GetEnd());
        window_.SetRangeLabel(block, label);
        window_.ShowBlockControls(block);
    }
}
