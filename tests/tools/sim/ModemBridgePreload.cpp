// Loaded with LD_PRELOAD into a program under test. A pseudo-terminal has no modem lines: the
// program's TIOCMBIS and TIOCMBIC on one fail with ENOTTY. Here they succeed instead, and
// each line change goes as a datagram "<pty path> dtr=1" to the socket named by
// $PELORANT_MODEM_BRIDGE, where the test hands it to the virtual board. Everything else
// reaches the system untouched.
//
// The call returns only once the relay answers that the board has the level, as an adapter's
// returns once its line has changed: the program's next byte must find the board already
// out of reset, however busy the relay is.
#include <dlfcn.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using IoctlFunction = int (*)(int, unsigned long, void*);

// A relay that never answers leaves the line's level unknown: the call fails then.
constexpr int kAnswerWaitMs = 5000;

// Sends `message` from a socket of its own (bound to an automatic abstract name, so the
// relay can answer it) and waits for the answer.
bool Send(const char* socketPath, const std::string& message) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::strlen(socketPath) >= sizeof address.sun_path) return false;
    std::strcpy(address.sun_path, socketPath);
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const sockaddr_un automatic{AF_UNIX, {}};
    bool done = bind(fd, reinterpret_cast<const sockaddr*>(&automatic), sizeof(sa_family_t)) == 0;
    done = done && sendto(fd, message.data(), message.size(), 0,
                          reinterpret_cast<const sockaddr*>(&address),
                          sizeof address) == static_cast<ssize_t>(message.size());
    pollfd answer{fd, POLLIN, 0};
    done = done && poll(&answer, 1, kAnswerWaitMs) == 1;
    char reply[8];
    done = done && recv(fd, reply, sizeof reply, 0) >= 0;
    close(fd);
    return done;
}

// The pty's path when `fd` is one, else empty.
std::string PseudoTerminalPath(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[256] = {};
    const ssize_t length = readlink(link, path, sizeof path - 1);
    if (length <= 0) return {};
    const std::string device(path, static_cast<std::size_t>(length));
    return device.starts_with("/dev/pts/") ? device : std::string();
}

bool Bridge(int fd, unsigned long request, const void* argument) {
    const char* socketPath = std::getenv("PELORANT_MODEM_BRIDGE");
    if (socketPath == nullptr || argument == nullptr) return false;
    const std::string device = PseudoTerminalPath(fd);
    if (device.empty()) return false;
    const int bits = *static_cast<const int*>(argument);
    const char* level = request == TIOCMBIS ? "=1" : "=0";
    bool sent = true;
    if (bits & TIOCM_DTR) sent = sent && Send(socketPath, device + " dtr" + level);
    if (bits & TIOCM_RTS) sent = sent && Send(socketPath, device + " rts" + level);
    return sent;
}

}  // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
    static const auto next = reinterpret_cast<IoctlFunction>(dlsym(RTLD_NEXT, "ioctl"));
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    const int result = next(fd, request, argument);
    if (result == 0 || errno != ENOTTY || (request != TIOCMBIS && request != TIOCMBIC)) {
        return result;
    }
    const int error = errno;
    if (Bridge(fd, request, argument)) return 0;
    errno = error;
    return result;
}
