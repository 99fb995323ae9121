// Windows programs cannot open pseudo-terminals: their boards are served by
// pelorant-board-host on the Linux side of Wine and reached as COM ports.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <mutex>

#include "tools/sim/BoardHostWire.h"
#include "tools/sim/ModemLineCommand.h"
#include "tools/sim/SimCommandLine.h"
#include "tools/sim/VirtualBoard.h"

namespace {

using boardhost::LineBuffer;

bool WinsockReady() {
    static const bool ready = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

SOCKET ConnectTo(const std::string& address, std::string* error) {
    const auto colon = address.rfind(':');
    if (colon == std::string::npos) {
        *error = std::string(boardhost::kHostVariable) + " is not <host>:<port>: " + address;
        return INVALID_SOCKET;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(address.substr(0, colon).c_str(), address.substr(colon + 1).c_str(), &hints,
                    &found) != 0) {
        *error = "cannot resolve the board host " + address;
        return INVALID_SOCKET;
    }
    SOCKET connection = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    if (connection != INVALID_SOCKET &&
        connect(connection, found->ai_addr, static_cast<int>(found->ai_addrlen)) != 0) {
        closesocket(connection);
        connection = INVALID_SOCKET;
    }
    freeaddrinfo(found);
    if (connection == INVALID_SOCKET) *error = "cannot reach the board host at " + address;
    return connection;
}

class RemoteBoard : public VirtualBoard {
public:
    RemoteBoard(SOCKET connection, int comNumber, LineBuffer buffer)
        : connection_(connection), comNumber_(comNumber), buffer_(std::move(buffer)) {}
    // As on Linux, the port is gone once the board is.
    ~RemoteBoard() override {
        Request(boardhost::kStop);
        closesocket(connection_);
    }

    std::string DevicePath() const override { return "\\\\.\\COM" + std::to_string(comNumber_); }
    int ComNumber() const override { return comNumber_; }
    void Reset() override { Request(boardhost::kReset); }
    void SetModemLine(SerialModemLine line, bool asserted) override {
        Request(board::ModemLineCommand({line, asserted}));
    }
    bool UserProgramRunning() const override { return Request(boardhost::kRunning) == "1"; }
    std::size_t RowsProgrammed() const override {
        const auto rows = Request(boardhost::kRows);
        return rows ? std::strtoull(rows->c_str(), nullptr, 10) : 0;
    }
    std::optional<std::uint16_t> Word(std::uint32_t address) const override {
        const auto word = Request(std::string(boardhost::kWord) + ' ' + std::to_string(address));
        if (!word || *word == "none") return std::nullopt;
        return static_cast<std::uint16_t>(std::strtoul(word->c_str(), nullptr, 10));
    }
    bool InsideBootloader(std::uint32_t address) const override {
        return Request(std::string(boardhost::kInsideBootloader) + ' ' + std::to_string(address)) ==
               "1";
    }
    bool DumpHex(const std::string& path) const override {
        return Request(std::string(boardhost::kDump) + ' ' + path).has_value();
    }
    std::vector<ReceivedFrame> Frames() const override {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<ReceivedFrame> frames;
        const auto count = Exchange(boardhost::kFrames);
        if (!count) return frames;
        for (auto left = std::strtoull(count->c_str(), nullptr, 10); left > 0; --left) {
            const auto line = ReadLine();
            const auto frame = line ? boardhost::ParseFrameLine(*line) : std::nullopt;
            if (!frame) break;
            frames.push_back(*frame);
        }
        return frames;
    }

    // What follows "ok" in the host's answer (empty for a bare "ok"); empty when it failed.
    static std::optional<std::string> OkValue(const std::optional<std::string>& answer) {
        if (!answer || answer->rfind("ok", 0) != 0) return std::nullopt;
        return answer->size() > 3 ? answer->substr(3) : std::string();
    }

    static std::optional<std::string> ReadLineFrom(SOCKET connection, LineBuffer& buffer) {
        for (;;) {
            if (auto line = buffer.Take()) return line;
            char chunk[4096];
            const int got = recv(connection, chunk, sizeof chunk, 0);
            if (got <= 0) return std::nullopt;
            buffer.Append(chunk, static_cast<std::size_t>(got));
        }
    }

    static bool SendAll(SOCKET connection, const std::string& text) {
        std::size_t sent = 0;
        while (sent < text.size()) {
            const int put =
                send(connection, text.data() + sent, static_cast<int>(text.size() - sent), 0);
            if (put <= 0) return false;
            sent += static_cast<std::size_t>(put);
        }
        return true;
    }

private:
    std::optional<std::string> Request(const std::string& request) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return Exchange(request);
    }
    // Callers hold `mutex_`.
    std::optional<std::string> Exchange(const std::string& request) const {
        if (!SendAll(connection_, request + '\n')) return std::nullopt;
        return OkValue(ReadLine());
    }
    std::optional<std::string> ReadLine() const { return ReadLineFrom(connection_, buffer_); }

    const SOCKET connection_;
    const int comNumber_;
    mutable std::mutex mutex_;
    mutable LineBuffer buffer_;
};

}  // namespace

std::unique_ptr<VirtualBoard> VirtualBoard::Start(const BoardOptions& options, std::string* error) {
    std::string ignored;
    std::string& failure = error ? *error : ignored;
    const char* host = std::getenv(boardhost::kHostVariable);
    if (host == nullptr || *host == '\0') {
        failure = std::string("no board host: run pelorant-board-host and set ") +
                  boardhost::kHostVariable + " (scripts/test-windows.sh does both)";
        return nullptr;
    }
    if (!WinsockReady()) {
        failure = "cannot start Winsock";
        return nullptr;
    }
    const SOCKET connection = ConnectTo(host, &failure);
    if (connection == INVALID_SOCKET) return nullptr;
    std::string request;
    for (const std::string& argument : board::BoardArguments(options)) request += argument + '\n';
    LineBuffer buffer;
    const auto answer = RemoteBoard::SendAll(connection, request + '\n')
                            ? RemoteBoard::ReadLineFrom(connection, buffer)
                            : std::nullopt;
    const auto com = RemoteBoard::OkValue(answer);
    if (!com) {
        failure = !answer                           ? "the board host closed the connection"
                  : answer->rfind("error ", 0) == 0 ? "the board host: " + answer->substr(6)
                                                    : "the board host answered " + *answer;
        closesocket(connection);
        return nullptr;
    }
    return std::make_unique<RemoteBoard>(connection, std::atoi(com->c_str()), std::move(buffer));
}
