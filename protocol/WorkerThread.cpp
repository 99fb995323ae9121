#include <system_error>
#include <utility>

#include "protocol/Workers.h"

bool WorkerThread::Start(std::function<void()> body) {
    Join();
    try {
        thread_ = std::thread(std::move(body));
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}
