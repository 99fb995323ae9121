#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

// The application's own window messages keep their Win32 numbers.
constexpr unsigned WM_USER = 0x400;
constexpr unsigned kMsgDetectionFinished = WM_USER + 1;  // wParam: worker result code
constexpr unsigned kMsgRowWritten = WM_USER + 2;         // one row frame went out
constexpr unsigned kMsgWriteFinished = WM_USER + 3;      // wParam: 0 success, -1 failure
constexpr unsigned kMsgBlockFinished = WM_USER + 4;      // result is in WriteJob::result

struct WindowMessage {
    unsigned message = 0;
    std::intptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// What a worker thread knows of a window: somewhere to post to. Post must be
// callable from any thread and must never block on the receiver.
class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    virtual void Post(unsigned message, std::intptr_t wParam, std::intptr_t lParam) = 0;
};

// A thread-safe queue target for the command-line tool and the tests.
class MessageQueue : public MessageTarget {
public:
    void Post(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            queue_.push_back(WindowMessage{message, wParam, lParam});
        }
        ready_.notify_all();
    }

    // Waits up to `timeout` for the next message; empty when none came.
    std::optional<WindowMessage> Wait(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!ready_.wait_for(lock, timeout, [this] { return !queue_.empty(); })) {
            return std::nullopt;
        }
        WindowMessage front = queue_.front();
        queue_.pop_front();
        return front;
    }

    std::optional<WindowMessage> TryTake() { return Wait(std::chrono::milliseconds(0)); }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<WindowMessage> queue_;
};
