#include "tools/sim/BoardHostWire.h"

#include <cstdio>
#include <cstdlib>

namespace boardhost {

namespace {

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> LineBuffer::Take() {
    const auto end = pending_.find('\n');
    if (end == std::string::npos) return std::nullopt;
    std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string FrameLine(const ReceivedFrame& frame) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.6f ", frame.seconds);
    std::string line = seconds;
    static const char kDigits[] = "0123456789ABCDEF";
    for (const std::uint8_t byte : frame.bytes) {
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
    }
    return line;
}

std::optional<ReceivedFrame> ParseFrameLine(const std::string& line) {
    const auto space = line.find(' ');
    if (space == std::string::npos || (line.size() - space - 1) % 2 != 0) return std::nullopt;
    ReceivedFrame frame;
    char* stop = nullptr;
    frame.seconds = std::strtod(line.c_str(), &stop);
    if (stop != line.c_str() + space) return std::nullopt;
    for (std::size_t at = space + 1; at < line.size(); at += 2) {
        const auto high = HexDigit(line[at]);
        const auto low = HexDigit(line[at + 1]);
        if (!high || !low) return std::nullopt;
        frame.bytes.push_back(static_cast<std::uint8_t>(*high << 4 | *low));
    }
    return frame;
}

}  // namespace boardhost
