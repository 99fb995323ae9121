#include "tools/sim/BoardSession.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tools/sim/BoardHostWire.h"
#include "tools/sim/ModemLineCommand.h"
#include "tools/sim/SimCommandLine.h"
#include "tools/sim/VirtualBoard.h"

namespace boardhost {

namespace {

class Connection {
public:
    explicit Connection(int socket) : socket_(socket) {}

    std::optional<std::string> ReadLine() {
        for (;;) {
            if (auto line = buffer_.Take()) return line;
            char chunk[512];
            const ssize_t got = read(socket_, chunk, sizeof chunk);
            if (got <= 0) return std::nullopt;
            buffer_.Append(chunk, static_cast<std::size_t>(got));
        }
    }

    bool Send(const std::string& text) {
        std::size_t sent = 0;
        while (sent < text.size()) {
            const ssize_t put = send(socket_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
            if (put <= 0) return false;
            sent += static_cast<std::size_t>(put);
        }
        return true;
    }

private:
    int socket_;
    LineBuffer buffer_;
};

std::optional<std::uint32_t> Address(const std::string& request, const char* name) {
    const std::string prefix = std::string(name) + ' ';
    if (request.rfind(prefix, 0) != 0) return std::nullopt;
    char* stop = nullptr;
    const unsigned long value = std::strtoul(request.c_str() + prefix.size(), &stop, 0);
    if (stop == request.c_str() + prefix.size() || *stop != '\0') return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::string Answer(VirtualBoard& board, const std::string& request, const WinePrefix& prefix) {
    if (request == kReset) {
        board.Reset();
        return "ok\n";
    }
    if (const auto level = board::ParseModemLineCommand(request)) {
        board.SetModemLine(level->line, level->asserted);
        return "ok\n";
    }
    if (request == kRunning) return board.UserProgramRunning() ? "ok 1\n" : "ok 0\n";
    if (request == kRows) return "ok " + std::to_string(board.RowsProgrammed()) + '\n';
    if (request == kFrames) {
        const std::vector<ReceivedFrame> frames = board.Frames();
        std::string answer = "ok " + std::to_string(frames.size()) + '\n';
        for (const ReceivedFrame& frame : frames) answer += FrameLine(frame) + '\n';
        return answer;
    }
    if (const auto address = Address(request, kWord)) {
        const auto word = board.Word(*address);
        return word ? "ok " + std::to_string(*word) + '\n' : "ok none\n";
    }
    if (const auto address = Address(request, kInsideBootloader)) {
        return board.InsideBootloader(*address) ? "ok 1\n" : "ok 0\n";
    }
    const std::string dump = std::string(kDump) + ' ';
    if (request.rfind(dump, 0) == 0) {
        const std::string path = prefix.LinuxPath(request.substr(dump.size()));
        return board.DumpHex(path) ? "ok\n" : "error cannot write the dump " + path + '\n';
    }
    return "error unknown request \"" + request + "\"\n";
}

}  // namespace

void ServeBoardSession(int socket, const WinePrefix& prefix) {
    Connection connection(socket);
    std::vector<std::string> arguments;
    for (;;) {
        const auto line = connection.ReadLine();
        if (!line) return;
        if (line->empty()) break;
        arguments.push_back(*line);
    }
    std::string error;
    auto options = board::ParseSimCommandLine(arguments, &error);
    if (!options) {
        connection.Send("error " + error + '\n');
        return;
    }
    BoardOptions& wanted = options->board;
    wanted.cataloguePath = prefix.LinuxPath(wanted.cataloguePath);
    if (!wanted.frameLogPath.empty()) wanted.frameLogPath = prefix.LinuxPath(wanted.frameLogPath);
    // The board is reached through the prefix's port, not through the Linux port directory.
    int com = wanted.comNumber;
    wanted.comNumber = 0;
    std::unique_ptr<VirtualBoard> board = VirtualBoard::Start(wanted, &error);
    std::unique_ptr<board::PortLink> link;
    if (board) link = prefix.MapPort(com, board->DevicePath(), &error);
    if (!link) {
        connection.Send("error " + error + '\n');
        return;
    }
    if (!connection.Send("ok " + std::to_string(com) + '\n')) return;
    while (const auto request = connection.ReadLine()) {
        if (*request == kStop) break;
        if (!connection.Send(Answer(*board, *request, prefix))) break;
    }
    link.reset();
    board.reset();
    connection.Send("ok\n");
}

}  // namespace boardhost
