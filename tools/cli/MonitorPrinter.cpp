#include "tools/cli/MonitorPrinter.h"

#include <cstdio>

namespace {

constexpr std::size_t kHexBytesPerLine = 16;

}  // namespace

void MonitorPrinter::StartLine(std::string& text, double seconds) {
    if (lineOpen_) return;
    lineOpen_ = true;
    bytesOnLine_ = 0;
    if (!timestamps_) return;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%9.3f] ", seconds);
    text += stamp;
}

void MonitorPrinter::EndLine(std::string& text) {
    text += '\n';
    lineOpen_ = false;
}

std::string MonitorPrinter::Feed(const char* bytes, std::size_t count, double seconds) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        char escaped[8];
        if (hex_) {
            StartLine(text, seconds);
            std::snprintf(escaped, sizeof escaped, bytesOnLine_ == 0 ? "%02X" : " %02X", byte);
            text += escaped;
            if (++bytesOnLine_ == kHexBytesPerLine) EndLine(text);
            continue;
        }
        const bool lineFeedOfCrLf = byte == '\n' && afterCarriageReturn_;
        afterCarriageReturn_ = byte == '\r';
        if (lineFeedOfCrLf) continue;
        if (byte == '\r' || byte == '\n') {
            // An empty line is a line too: it gets its time stamp.
            StartLine(text, seconds);
            EndLine(text);
            continue;
        }
        StartLine(text, seconds);
        if (byte == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            text += static_cast<char>(byte);
        } else {
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text;
}

std::string MonitorPrinter::Finish() {
    std::string text;
    if (lineOpen_) EndLine(text);
    return text;
}
