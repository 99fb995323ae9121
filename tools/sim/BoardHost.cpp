// pelorant-board-host: virtual boards for programs that run under Wine and cannot open
// pseudo-terminals themselves (the Windows test programs). Each connection gets a board of
// its own, mapped into the Wine prefix as a COM port; see tools/sim/BoardHostWire.h.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <list>
#include <memory>
#include <string>
#include <thread>

#include "tools/sim/BoardSession.h"

namespace {

constexpr const char* kUsage =
    "Usage: pelorant-board-host [--wine-prefix DIR]\n"
    "Serves virtual boards to programs running in the Wine prefix DIR (default: $WINEPREFIX)\n"
    "over TCP on 127.0.0.1. The first line on standard output is \"127.0.0.1:<port>\", the\n"
    "value the programs expect in PELORANT_BOARD_HOST. Each connection gets a board of its\n"
    "own as a COM port of the prefix until it closes. SIGINT or SIGTERM stops every board.\n";

struct Session {
    int socket;
    std::atomic<bool> done{false};
    std::thread thread;
};

int Fail(const std::string& message) {
    std::cerr << "pelorant-board-host: " << message << '\n';
    return 1;
}

int Listen(std::string* address) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) return -1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof local;
    if (bind(listener, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        listen(listener, 16) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&local), &size) != 0) {
        close(listener);
        return -1;
    }
    *address = "127.0.0.1:" + std::to_string(ntohs(local.sin_port));
    return listener;
}

void Reap(std::list<Session>& sessions) {
    for (auto session = sessions.begin(); session != sessions.end();) {
        if (!session->done) {
            ++session;
            continue;
        }
        session->thread.join();
        close(session->socket);
        session = sessions.erase(session);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const char* fromEnvironment = std::getenv("WINEPREFIX");
    std::string prefixDirectory = fromEnvironment ? fromEnvironment : "";
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (argument == "--wine-prefix" && i + 1 < argc) {
            prefixDirectory = argv[++i];
            continue;
        }
        std::cerr << kUsage;
        return 2;
    }
    if (prefixDirectory.empty()) return Fail("no Wine prefix: give --wine-prefix or WINEPREFIX");
    const boardhost::WinePrefix prefix(prefixDirectory);

    // Blocked before any thread starts, so that only the signal descriptor sees them.
    sigset_t handled;
    sigemptyset(&handled);
    for (int number : {SIGINT, SIGTERM, SIGPIPE}) sigaddset(&handled, number);
    pthread_sigmask(SIG_BLOCK, &handled, nullptr);
    const int signals = signalfd(-1, &handled, SFD_CLOEXEC);
    std::string address;
    const int listener = Listen(&address);
    if (signals < 0 || listener < 0) return Fail(std::string("cannot listen: ") + strerror(errno));
    std::cout << address << std::endl;

    std::list<Session> sessions;
    for (;;) {
        pollfd fds[2] = {{signals, POLLIN, 0}, {listener, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[0].revents & POLLIN) break;
        if (!(fds[1].revents & POLLIN)) continue;
        const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        Reap(sessions);
        Session& session = sessions.emplace_back();
        session.socket = connection;
        session.thread = std::thread([&session, &prefix] {
            boardhost::ServeBoardSession(session.socket, prefix);
            // The program sees the end at once; the descriptor is closed when reaped.
            shutdown(session.socket, SHUT_RDWR);
            session.done = true;
        });
    }
    // Every session sees its connection end, stops its board and removes its port.
    for (Session& session : sessions) shutdown(session.socket, SHUT_RDWR);
    for (Session& session : sessions) {
        session.thread.join();
        close(session.socket);
    }
    close(listener);
    close(signals);
    return 0;
}
