#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "common/Product.h"
#include "control/ProgrammingControl.h"

namespace {

constexpr const char* kDetectionStarted = "Detection&Sync process started";
constexpr const char* kDetectionFinished = "Detection&Sync process finished";
constexpr std::chrono::milliseconds kReopenDelay{500};

}  // namespace

void CProgrammingControl::OnReconnectCommand() {
    if (m_busy) return;
    if (m_portOpen) {
        engine_.port.ClosePort();
        std::this_thread::sleep_for(kReopenDelay);
        m_portOpen = 0;
    }
    m_enableRun = 0;
    m_enableReload = 0;
    m_enableWrite = 0;
    m_enableOpen = 0;
    window_.UpdateControlStates();
    m_busy = 1;

    if (!ReopenPort() || !StartDetection()) {
        LeaveOnlyReconnectEnabled();
        m_busy = 0;
        window_.SetStatusLamp(kLampRed);
        window_.SetStatusText("not connected");
        engine_.port.ClosePort();
        m_portOpen = 0;
    }
    window_.RefreshCursor();
}

int CProgrammingControl::ReopenPort() {
    const unsigned baud = static_cast<unsigned>(engine_.baudRate);
    const int opened = m_devicePath.empty()
                           ? engine_.port.InitPort(static_cast<unsigned>(engine_.comNumber), baud,
                                                   'N', 8, 1, 9, 512)
                           : engine_.port.InitPort(m_devicePath.c_str(), baud, 'N', 8, 1, 9, 512);
    if (opened) return 1;

    // A port given by its device path is named by that path.
    const std::string portName =
        m_devicePath.empty() ? "COM" + std::to_string(engine_.comNumber) : m_devicePath;
    const std::string text = "Failed while configuring " + portName + " at " +
                             std::to_string(engine_.baudRate) +
                             " bps.\nCheck that the port is not used for another application\n"
                             "and restart vardeno 16bitPIC bootloader.";
    window_.MessageBoxes().Show(text, "configuring process failed", BoxIcon::Error, BoxButtons::Ok);
    window_.AddLogLine(kDetectionStarted, "failed");
    return 0;
}

int CProgrammingControl::StartDetection() {
    window_.ShowStatusLamp(false);
    window_.ShowStatusText(false);
    window_.ShowProgressBar(false);
    window_.ShowStatusLamp(true);
    window_.SetStatusText("reset (restart) your dsPIC platform");
    window_.ShowStatusText(true);
    window_.ShowProgressBar(true);
    window_.SetStatusLamp(kLampGrey);

    // The range first: a position set before it would be clamped into the last write's range.
    window_.SetProgressRange(1, m_detectionTicks);
    window_.SetProgressPosition(0);
    window_.SetProgressStep(1);
    detectionTicksElapsed_ = 0;

    DetectionThreadParam& param = engine_.detection;
    param.notifyWindow = &window_.Target();
    param.stop = 0;

    detectionAlive_ = true;
    const bool started = detectionThread_.Start([this] {
        DetectionWorker(engine_);
        detectionAlive_ = false;
    });
    if (!started) {
        detectionAlive_ = false;
        window_.MessageBoxes().Show("Unable to start dsPIC detection process", "detection failed",
                                    BoxIcon::Error, BoxButtons::Ok);
        window_.AddLogLine(kDetectionStarted, "failed");
        return 0;
    }
    window_.ShowProgressGroup(true);
    window_.AddLogLine(kDetectionStarted, "ok");
    window_.StartDetectionTimer();
    return 1;
}

// The control counts the ticks itself: the time limit must not depend on what a progress
// widget made of the ranges it was given before.
void CProgrammingControl::OnDetectionTimer() {
    if (++detectionTicksElapsed_ >= m_detectionTicks) {
        engine_.detection.stop = 1;
        window_.KillDetectionTimer();
    } else {
        window_.StepProgress();
    }
}

void CProgrammingControl::OnDetectionFinished(DetectionResult result) {
    if (!detectionThread_.Joinable()) return;
    window_.KillDetectionTimer();
    // The worker's message is its last act; joining it here is all but immediate.
    detectionThread_.Join();

    m_busy = 0;
    window_.RefreshCursor();
    m_enableReconnect = 1;
    m_enableOpen = 0;
    m_enableWrite = 0;
    m_enableRun = 0;

    if (result != DetectionResult::Synchronised) {
        window_.SetStatusLamp(kLampRed);
        engine_.port.ClosePort();
        m_portOpen = 0;
        window_.AddLogLine(kDetectionFinished, "failed");
        window_.ShowProgressBar(false);
        window_.SetStatusText("not connected");
        window_.UpdateControlStates();
        return;
    }

    const IdentifyResult identified = IdentifyDevice(engine_);
    if (identified != IdentifyResult::Identified) {
        const std::string text =
            "dsPIC identification failed.\nError code : " + std::to_string(Code(identified)) +
            ".\n\nIf problem persists contact vardeno at " + product::kMakerWebAddress;
        window_.MessageBoxes().Show(text, "dsPIC identification failed.", BoxIcon::Error,
                                    BoxButtons::Ok);
        window_.AddLogLine(kDetectionFinished, "failed");
        window_.ShowProgressBar(false);
        window_.SetStatusLamp(kLampRed);
        engine_.port.ClosePort();
        m_portOpen = 0;
        window_.UpdateControlStates();
        return;
    }

    window_.ShowProgressBar(false);
    window_.SetStatusLamp(kLampGreen);
    window_.SetStatusText("ready");
    window_.AddLogLine(kDetectionFinished, "ok");
    m_portOpen = 1;

    const std::string shownName = window_.DeviceNameLabel();
    if (!m_hexPath.empty() && shownName == engine_.device.name) {
        if (m_hexLoaded &&
            LoadHexImage(engine_.device, m_hexPath, m_hexStamp, window_.MessageBoxes())) {
            window_.UpdateBlockChecks();
            m_enableWrite = 1;
            m_enableReload = 1;
        } else {
            m_enableWrite = 0;
        }
    } else {
        m_hexLoaded = 0;
        m_enableWrite = 0;
    }
    m_enableRun = 1;
    m_enableOpen = 1;
    ShowDeviceRanges();
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
