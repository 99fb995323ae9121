// pelorant-sim: a virtual dsPIC board on a pseudo-terminal. See --help.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "tools/sim/ModemLineCommand.h"
#include "tools/sim/PortLink.h"
#include "tools/sim/SimCatalogue.h"
#include "tools/sim/SimCommandLine.h"
#include "tools/sim/VirtualBoard.h"

using board::ComNumberFree;
using board::DefaultCataloguePath;
using board::ParseSimCommandLine;
using board::SimCommandLine;
using board::SimHelpText;

namespace {

constexpr int kFirstAutomaticCom = 100;
constexpr int kLastAutomaticCom = 999;

// Scripts start the board with standard streams closed; the pseudo-terminal must never
// take descriptor 0, 1 or 2.
void EnsureStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) == -1) open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    }
}

int Fail(const std::string& message) {
    std::cerr << "pelorant-sim: " << message << '\n';
    return 1;
}

int ListDevices(const std::string& cataloguePath) {
    const auto devices = ListCatalogueDevices(cataloguePath);
    if (!devices) return Fail("cannot read the device catalogue " + cataloguePath);
    for (const CatalogueEntry& device : *devices)
        std::cout << device.id << ' ' << device.name << '\n';
    return 0;
}

std::unique_ptr<VirtualBoard> StartBoard(SimCommandLine& line, std::string& error) {
    if (line.comGiven) return VirtualBoard::Start(line.board, &error);
    for (int com = kFirstAutomaticCom; com <= kLastAutomaticCom; ++com) {
        if (!ComNumberFree(com)) continue;
        line.board.comNumber = com;
        auto board = VirtualBoard::Start(line.board, &error);
        // Another board may have taken the number in the meantime: try the next one.
        if (board || ComNumberFree(com)) return board;
    }
    error = "no free COM number between 100 and 999";
    return nullptr;
}

bool Dump(const VirtualBoard& board, const std::string& path) {
    if (path.empty()) {
        std::cerr << "pelorant-sim: no --dump file given\n";
        return false;
    }
    if (board.DumpHex(path)) return true;
    std::cerr << "pelorant-sim: cannot write the dump " << path << '\n';
    return false;
}

// Runs the commands of standard input and the signals until SIGINT or SIGTERM.
void Serve(VirtualBoard& board, const std::string& dumpPath, int signals) {
    bool inputOpen = true;
    std::string pending;
    for (;;) {
        pollfd fds[2] = {{signals, POLLIN, 0}, {inputOpen ? 0 : -1, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[0].revents & POLLIN) {
            signalfd_siginfo info{};
            if (read(signals, &info, sizeof info) == sizeof info) {
                if (info.ssi_signo != SIGUSR1) return;
                board.Reset();
            }
        }
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) {
            char chunk[256];
            const ssize_t got = read(0, chunk, sizeof chunk);
            if (got <= 0) {
                inputOpen = false;
                continue;
            }
            pending.append(chunk, static_cast<std::size_t>(got));
            for (auto end = pending.find('\n'); end != std::string::npos;
                 end = pending.find('\n')) {
                const std::string command = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (command == "reset") {
                    board.Reset();
                } else if (command == "dump") {
                    Dump(board, dumpPath);
                } else if (const auto level = board::ParseModemLineCommand(command)) {
                    board.SetModemLine(level->line, level->asserted);
                    // Said back once the line has the level: a relay standing in for an
                    // adapter answers the host only then.
                    std::cout << command << std::endl;
                } else if (!command.empty()) {
                    std::cerr << "pelorant-sim: unknown command \"" << command
                              << "\" (reset, dump, dtr=0|1, rts=0|1)\n";
                }
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    EnsureStandardDescriptors();
    signal(SIGPIPE, SIG_IGN);
    std::string error;
    auto line = ParseSimCommandLine({argv + 1, argv + argc}, &error);
    if (!line) {
        std::cerr << "pelorant-sim: " << error << "\nTry 'pelorant-sim --help'.\n";
        return 2;
    }
    if (line->showHelp) {
        std::cout << SimHelpText();
        return 0;
    }
    if (line->board.cataloguePath.empty()) line->board.cataloguePath = DefaultCataloguePath();
    if (line->listDevices) return ListDevices(line->board.cataloguePath);

    // Blocked before the board's thread starts, so that only the signal descriptor sees them.
    sigset_t handled;
    sigemptyset(&handled);
    for (int number : {SIGINT, SIGTERM, SIGUSR1}) sigaddset(&handled, number);
    pthread_sigmask(SIG_BLOCK, &handled, nullptr);
    const int signals = signalfd(-1, &handled, SFD_CLOEXEC);
    if (signals < 0) return Fail("cannot watch signals");

    auto board = StartBoard(*line, error);
    if (!board) return Fail(error);
    std::cout << "COM" << board->ComNumber() << ' ' << board->DevicePath() << std::endl;
    std::cerr << "pelorant-sim: playing " << line->board.device << " with firmware "
              << int{line->board.firmwareMajor} << '.' << int{line->board.firmwareMinor}
              << "; SIGUSR1 or \"reset\" resets it, SIGINT or SIGTERM stops it\n";

    Serve(*board, line->dumpPath, signals);
    const bool dumped = line->dumpPath.empty() || Dump(*board, line->dumpPath);
    board.reset();
    close(signals);
    return dumped ? 0 : 1;
}
