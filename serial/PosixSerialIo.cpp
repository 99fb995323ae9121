#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <optional>

#include "serial/PosixHandle.h"
#include "serial/SerialBackend.h"

// Reading, writing and purging a tty under the Win32 time-out rules.
namespace lunvik::os {

using posix::OpenDescriptorOf;

namespace {

using Clock = std::chrono::steady_clock;
// No value: that bound does not apply (a time-out of 0 in the Windows meaning).
using Deadline = std::optional<Clock::time_point>;

// Longer bounds than this (about 34 years) are treated as this, so the clock cannot overflow.
constexpr std::uint64_t kLongestWaitMs = 1ULL << 40;

std::uint64_t TotalMs(unsigned long perByte, unsigned long count, unsigned long constant) {
    std::uint64_t total = constant;
    if (perByte != 0 && count > (kLongestWaitMs - total) / perByte) return kLongestWaitMs;
    total += static_cast<std::uint64_t>(perByte) * count;
    return std::min(total, kLongestWaitMs);
}

Deadline After(std::uint64_t ms) {
    if (ms == 0) return std::nullopt;
    return Clock::now() + std::chrono::milliseconds(std::min(ms, kLongestWaitMs));
}

Deadline Earlier(Deadline a, Deadline b) {
    if (!a) return b;
    if (!b) return a;
    return std::min(*a, *b);
}

// Waits until `fd` is ready for `events`, hung up or in error; `revents` tells which.
// Returns 1 when one of these happened, 0 when `deadline` has passed, -1 on failure.
int WaitFor(int fd, short events, Deadline deadline, short& revents) {
    while (true) {
        int timeoutMs = -1;
        if (deadline) {
            const auto now = Clock::now();
            if (now >= *deadline) return 0;
            // Rounded up, so that poll never wakes before the deadline and spins.
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - now);
            timeoutMs = static_cast<int>(std::min<std::int64_t>(left.count(), INT_MAX));
        }
        struct pollfd entry {
            fd, events, 0
        };
        const int result = ::poll(&entry, 1, timeoutMs);
        if (result < 0 && errno != EINTR) return -1;
        if (result <= 0) continue;
        if ((entry.revents & POLLNVAL) != 0) {
            errno = EBADF;
            return -1;
        }
        revents = entry.revents;
        return 1;
    }
}

// Waits until the bytes queued for sending have left the port, up to `deadline`;
// `pending` gets the bytes still queued when the deadline passed.
bool Drain(int fd, Deadline deadline, unsigned long& pending) {
    pending = 0;
    if (!deadline) {
        while (::tcdrain(fd) != 0) {
            if (errno != EINTR) return false;
        }
        return true;
    }
    while (true) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0) return false;
        if (queued <= 0) return true;
        if (Clock::now() >= *deadline) {
            pending = static_cast<unsigned long>(queued);
            return true;
        }
        // The queue gives no wake-up when it empties: look again shortly.
        ::poll(nullptr, 0, 1);
    }
}

// A pseudo-terminal hands written bytes straight to its peer (TIOCOUTQ says 0), and
// flushing its output would destroy what the peer has not read yet, bytes that are
// already sent as far as we are concerned. So output is flushed only when some is
// still queued here.
bool PurgeDescriptor(int fd) {
    int queued = 0;
    const bool outputQueued = ::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued > 0;
    return ::tcflush(fd, outputQueued ? TCIOFLUSH : TCIFLUSH) == 0;
}

}  // namespace

bool Purge(SerialHandle handle) {
    const int fd = OpenDescriptorOf(handle);
    return fd >= 0 && PurgeDescriptor(fd);
}

bool QueuedInput(SerialHandle handle, unsigned long& count) {
    const int fd = OpenDescriptorOf(handle);
    int queued = 0;
    if (fd < 0 || ::ioctl(fd, TIOCINQ, &queued) != 0) return false;
    count = queued > 0 ? static_cast<unsigned long>(queued) : 0;
    return true;
}

bool Read(SerialHandle handle, char* buffer, unsigned long count, const SerialTimeouts& timeouts,
          unsigned long& done) {
    done = 0;
    const int fd = OpenDescriptorOf(handle);
    if (fd < 0) return false;
    const Deadline total =
        After(TotalMs(timeouts.readTotalPerByte, count, timeouts.readTotalConstant));
    Deadline gap;  // the interval bound runs from the last received byte
    bool hungUp = false;
    while (done < count) {
        const ssize_t got = ::read(fd, buffer + done, count - done);
        if (got > 0) {
            done += static_cast<unsigned long>(got);
            gap = After(timeouts.readInterval);
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        // A raw tty reports "nothing yet" as 0 or EAGAIN; anything else is a failure.
        if (hungUp || (got < 0 && errno != EAGAIN)) {
            if (hungUp) errno = EIO;
            // Hand over what arrived before the line failed; the next call reports it.
            return done > 0;
        }
        short revents = 0;
        const int ready = WaitFor(fd, POLLIN, Earlier(total, gap), revents);
        if (ready == 0) return true;
        if (ready < 0) return false;
        hungUp = (revents & (POLLHUP | POLLERR)) != 0;
    }
    return true;
}

bool Write(SerialHandle handle, const char* buffer, unsigned long count,
           const SerialTimeouts& timeouts, unsigned long& done) {
    done = 0;
    const int fd = OpenDescriptorOf(handle);
    if (fd < 0 || !PurgeDescriptor(fd)) return false;
    const Deadline total =
        After(TotalMs(timeouts.writeTotalPerByte, count, timeouts.writeTotalConstant));
    unsigned long queued = 0;
    while (queued < count) {
        const ssize_t put = ::write(fd, buffer + queued, count - queued);
        if (put > 0) {
            queued += static_cast<unsigned long>(put);
            continue;
        }
        if (put < 0 && errno == EINTR) continue;
        if (put == 0 || errno != EAGAIN) {
            if (put == 0) errno = EIO;
            return false;
        }
        short revents = 0;
        const int ready = WaitFor(fd, POLLOUT, total, revents);
        if (ready < 0) return false;
        if (ready == 0) break;
    }
    unsigned long pending = 0;
    if (!Drain(fd, total, pending)) return false;
    done = queued - std::min(pending, queued);
    return true;
}

}  // namespace lunvik::os
