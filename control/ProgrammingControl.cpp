#include "control/ProgrammingControl.h"

CProgrammingControl::CProgrammingControl(IProgrammingWindow& window, const EngineContext& engine)
    : window_(window), engine_(engine) {}

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
    if (detectionThread_.Joinable()) {
        engine_.detection.stop = 1;
        window_.KillDetectionTimer();
        detectionThread_.Join();
    }
    if (rowWriterThread_.Joinable()) {
        // The writer keeps an end request made mid-block, so one request is enough.
        m_writeJob.abandon = true;
        SetWriterCommand(2);
        rowWriterThread_.Join();
    }
}

void CProgrammingControl::RequestDetectionStop() {
    if (!detectionThread_.Joinable()) return;
    engine_.detection.stop = 1;
    window_.KillDetectionTimer();
}

bool CProgrammingControl::WorkerRunning() const {
    return detectionAlive_ || rowWriterAlive_;
}

void CProgrammingControl::SetWriterCommand(std::int32_t command) {
    std::lock_guard<std::mutex> guard(m_writeJob.lock);
    m_writeJob.command = command;
}

void CProgrammingControl::RestoreIdleCommands() {
    m_enableOpen = 1;
    m_enableRun = 1;
    m_enableReload = 1;
    m_enableReconnect = 1;
    window_.UpdateControlStates();
}

// After a lost link only reconnect leads on.
void CProgrammingControl::LeaveOnlyReconnectEnabled() {
    m_enableOpen = 0;
    m_enableRun = 0;
    m_enableReload = 0;
    m_enableWrite = 0;
    m_enableReconnect = 1;
    window_.UpdateControlStates();
}
