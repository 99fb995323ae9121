#include "control/ProgrammingSession.h"

namespace {

constexpr std::int32_t kEndWriter = 2;

}  // namespace

ProgrammingSession::ProgrammingSession(const EngineContext& engine, ISessionObserver& observer,
                                       MessageTarget& wake, PortAtStart port, const IClock& clock)
    : engine_(engine),
      observer_(observer),
      wake_(wake),
      shownDevice_(engine.device.name),
      detection_(engine, clock) {
    if (port == PortAtStart::Closed) {
        portOpen_ = false;
        commands_ = CommandStates{.open = false, .run = false};
    }
}

ProgrammingSession::~ProgrammingSession() {
    Shutdown();
}

bool ProgrammingSession::Dispatch(const WindowMessage& message) {
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

void ProgrammingSession::Shutdown() {
    if (detection_.Started()) {
        SetTimerWanted(false);
        detection_.Stop();
    }
    if (rowWriterThread_.Joinable()) {
        // The writer keeps an end request made mid-block, so one request is enough.
        writeJob_.abandon = true;
        SetWriterCommand(kEndWriter);
        rowWriterThread_.Join();
    }
}

bool ProgrammingSession::WorkerRunning() const {
    return detection_.WorkerAlive() || rowWriterAlive_;
}

bool ProgrammingSession::BlockOffered(int block) const {
    return IsBlockIndex(block) && hexLoaded_ && image_ && image_->Plan(block).filled;
}

bool ProgrammingSession::BlockChosen(int block) const {
    return BlockOffered(block) && chosen_[static_cast<std::size_t>(block)];
}

void ProgrammingSession::ChooseBlock(int block, bool chosen) {
    if (!IsBlockIndex(block) || busy_) return;
    const bool now = chosen && BlockOffered(block);
    if (chosen_[static_cast<std::size_t>(block)] == now) return;
    chosen_[static_cast<std::size_t>(block)] = now;
    Changed(SessionChange::Blocks);
}

void ProgrammingSession::SetWriterCommand(std::int32_t command) {
    ::SetWriterCommand(writeJob_, command);
}

void ProgrammingSession::SetStatus(Lamp lamp, const std::string& text) {
    status_.lamp = lamp;
    status_.text = text;
    Changed(SessionChange::Status);
}

void ProgrammingSession::SetLamp(Lamp lamp) {
    status_.lamp = lamp;
    Changed(SessionChange::Status);
}

void ProgrammingSession::SetStatusText(const std::string& text) {
    status_.text = text;
    Changed(SessionChange::Status);
}

void ProgrammingSession::ShowProgressGroup(bool show) {
    status_.lampVisible = show;
    status_.textVisible = show;
    status_.barVisible = show;
    Changed(SessionChange::Status);
}

void ProgrammingSession::ShowBar(bool show) {
    status_.barVisible = show;
    Changed(SessionChange::Status);
}

BoxAnswer ProgrammingSession::Box(BoxKind kind, const std::string& text, const std::string& caption,
                                  BoxButtons buttons, const std::string& cause, BoxIcon icon) {
    return observer_.OnBox(SessionBox{kind, text, caption, icon, buttons, cause});
}

void ProgrammingSession::SetBusy(bool busy) {
    busy_ = busy;
    Changed(SessionChange::Commands);
}

void ProgrammingSession::SetTimerWanted(bool wanted) {
    if (timerWanted_ == wanted) return;
    timerWanted_ = wanted;
    Changed(SessionChange::Timer);
}

void ProgrammingSession::RestoreIdleCommands() {
    commands_.open = true;
    commands_.run = true;
    commands_.reload = true;
    commands_.reconnect = true;
    Changed(SessionChange::Commands);
}

// After a lost link only reconnect leads on.
void ProgrammingSession::LeaveOnlyReconnectEnabled() {
    commands_.open = false;
    commands_.run = false;
    commands_.reload = false;
    commands_.write = false;
    commands_.reconnect = true;
    Changed(SessionChange::Commands);
}
