#pragma once

#include <QEvent>
#include <cstdint>

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

    static bool IsWindowMessage(const QEvent* event) {
        const auto type = static_cast<unsigned>(event->type());
        return type >= kMsgDetectionFinished && type <= kMsgBlockFinished;
    }

private:
    std::intptr_t wParam_;
    std::intptr_t lParam_;
};
