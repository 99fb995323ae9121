#pragma once

#include <QEvent>
#include <cstdint>
#include <mutex>

#include "common/WindowMessages.h"

// A window message (WM_USER+1 .. WM_USER+4) delivered as a Qt event whose type is the
// message number, 1025 .. 1028.
class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(unsigned message, std::intptr_t wParam, std::intptr_t lParam)
        : QEvent(static_cast<QEvent::Type>(message)), wParam_(wParam), lParam_(lParam) {}

    unsigned Message() const { return static_cast<unsigned>(type()); }
    std::intptr_t WParam() const { return wParam_; }
    std::intptr_t LParam() const { return lParam_; }

    // Whether `event` is a window message. Ask before reading anything else of the event: the
    // answer is given under the lock the posting threads hold, so the receiver sees the event
    // as its poster made it.
    static bool IsWindowMessage(const QEvent* event);

    // Held by a posting thread while it makes and posts an event.
    static std::mutex& PostingMutex();

private:
    std::intptr_t wParam_;
    std::intptr_t lParam_;
};
