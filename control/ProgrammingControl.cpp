#include "control/ProgrammingControl.h"

CProgrammingControl::CProgrammingControl(IProgrammingWindow& window, const EngineContext& engine,
                                         PortAtStart port)
    : window_(window), engine_(engine), shownDevice_(engine.device.name), detection_(engine) {
    if (port == PortAtStart::Closed) {
        portOpen_ = false;
        commands_ = CommandStates{.open = false, .run = false};
    }
}

CProgrammingControl::~CProgrammingControl() {
    Shutdown();
}

bool CProgrammingControl::Dispatch(const WindowMessage& message) {
    switch (message.message) {
        case kMsgDetectionFinished:
            OnDetectionFinished(static_cast<DetectionResult>(message.wParam));
            return true;
        case kMsgRowWritten:
            OnRowWritten();
            return true;
        case kMsgWriteFinished:
            OnWriteFinished(message.wParam);
            return true;
        case kMsgBlockFinished:
            OnBlockFinished();
            return true;
        default:
            return false;
    }
}

void CProgrammingControl::Shutdown() {
    if (detection_.Started()) {
        window_.KillDetectionTimer();
        detection_.Stop();
    }
    if (rowWriterThread_.Joinable()) {
        // The writer keeps an end request made mid-block, so one request is enough.
        writeJob_.abandon = true;
        SetWriterCommand(2);
        rowWriterThread_.Join();
    }
}

void CProgrammingControl::RequestDetectionStop() {
    if (!detection_.Started()) return;
    detection_.RequestStop();
    window_.KillDetectionTimer();
}

bool CProgrammingControl::WorkerRunning() const {
    return detection_.WorkerAlive() || rowWriterAlive_;
}

void CProgrammingControl::SetWriterCommand(std::int32_t command) {
    std::lock_guard<std::mutex> guard(writeJob_.lock);
    writeJob_.command = command;
}

void CProgrammingControl::RestoreIdleCommands() {
    commands_.open = true;
    commands_.run = true;
    commands_.reload = true;
    commands_.reconnect = true;
    window_.UpdateControlStates();
}

// After a lost link only reconnect leads on.
void CProgrammingControl::LeaveOnlyReconnectEnabled() {
    commands_.open = false;
    commands_.run = false;
    commands_.reload = false;
    commands_.write = false;
    commands_.reconnect = true;
    window_.UpdateControlStates();
}
