#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "common/WindowMessages.h"
#include "control/ProgrammingSession.h"

// The lamp's states as the recorder keeps them.
inline constexpr int kLampRed = static_cast<int>(Lamp::Red);
inline constexpr int kLampGrey = static_cast<int>(Lamp::Grey);
inline constexpr int kLampGreen = static_cast<int>(Lamp::Green);

struct ShownBox {
    BoxKind kind;
    std::string text;
    std::string caption;
    BoxIcon icon;
    BoxButtons buttons;
    std::string cause;
    int lamp;  // the lamp's state while the box was up
};

// An observer that records what a session tells it and keeps the state a window would show.
// Its questions are answered from a queue (No when it is empty).
class SessionRecorder : public ISessionObserver {
public:
    void Follow(const ProgrammingSession& session) { session_ = &session; }

    void OnLogLine(const std::string& message, bool ok) override;
    void OnChanged(SessionChange change) override;
    BoxAnswer OnBox(const SessionBox& box) override;

    std::vector<std::string> calls;  // "Log(message|ok)", "Blocks", "Box(caption)", ...
    std::vector<std::pair<std::string, std::string>> log;
    std::vector<std::string> statusTexts;  // every status text shown, in order
    std::vector<ShownBox> boxes;
    std::deque<BoxAnswer> answers;
    MessageQueue queue;  // where the session's workers post

    std::string status;
    int lamp = -1;
    bool barVisible = false;
    std::uint32_t barPosition = 0;
    std::array<std::string, 3> ranges{};  // of the memories the device has
    std::array<bool, 3> visible{};        // the device has the memory
    std::string deviceName;
    bool timerRunning = false;

private:
    const ProgrammingSession* session_ = nullptr;
};
