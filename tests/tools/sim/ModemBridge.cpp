#include "tests/tools/sim/ModemBridge.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <optional>

namespace boardtest {

namespace {

std::string SocketPath(const testsupport::TempDir& dir) {
    return (dir.path() / "modem-lines").string();
}

int BindSocket(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return -1;
    std::strcpy(address.sun_path, path.c_str());
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// A preloaded library that is not the sanitizer's own runtime comes first in the library
// list; the address sanitizer refuses to start then unless told that this is meant.
std::string SanitizerOptions() {
    const char* given = std::getenv("ASAN_OPTIONS");
    const std::string options = given != nullptr ? given : "";
    return options + (options.empty() ? "" : ":") + "verify_asan_link_order=0";
}

}  // namespace

ModemBridge::ModemBridge(Delivery deliver)
    : deliver_(std::move(deliver)),
      socket_(BindSocket(SocketPath(dir_))),
      preload_("LD_PRELOAD", PELORANT_MODEM_BRIDGE_LIBRARY),
      path_("PELORANT_MODEM_BRIDGE", SocketPath(dir_)),
      sanitizer_("ASAN_OPTIONS", SanitizerOptions()),
      thread_([this] { Relay(); }) {}

ModemBridge::~ModemBridge() {
    stop_ = true;
    thread_.join();
    if (socket_ >= 0) close(socket_);
}

void ModemBridge::Relay() {
    // Once told to stop, what is still queued is relayed first.
    while (socket_ >= 0) {
        pollfd ready{socket_, POLLIN, 0};
        if (poll(&ready, 1, 20) <= 0) {
            if (stop_) return;
            continue;
        }
        char message[300];
        sockaddr_un sender{};
        socklen_t senderLength = sizeof sender;
        const ssize_t length = recvfrom(socket_, message, sizeof message, 0,
                                        reinterpret_cast<sockaddr*>(&sender), &senderLength);
        if (length <= 0) continue;
        const std::string text(message, static_cast<std::size_t>(length));
        const auto space = text.rfind(' ');
        if (space == std::string::npos) continue;
        if (const auto level = board::ParseModemLineCommand(text.substr(space + 1))) {
            deliver_(text.substr(0, space), *level);
        }
        // The sender waits for this, as a program waits for an adapter's line to change.
        sendto(socket_, "ok", 2, 0, reinterpret_cast<const sockaddr*>(&sender), senderLength);
    }
}

}  // namespace boardtest
