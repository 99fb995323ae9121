#include "ui/WindowMessageEvent.h"

bool WindowMessageEvent::IsWindowMessage(const QEvent* event) {
    // Qt's event queue orders the post before the delivery, but its own locks are invisible to
    // thread checkers; taking ours makes the order explicit.
    std::lock_guard<std::mutex> guard(PostingMutex());
    const auto type = static_cast<unsigned>(event->type());
    return type >= kMsgDetectionFinished && type <= kMsgBlockFinished;
}

std::mutex& WindowMessageEvent::PostingMutex() {
    static std::mutex mutex;
    return mutex;
}
