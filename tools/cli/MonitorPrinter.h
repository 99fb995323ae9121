#pragma once

#include <cstddef>
#include <string>

// Turns what a board sends into the monitor's lines: text with every byte that is not
// printable ASCII escaped (\xHH, and \\ for the backslash), or hex, 16 bytes a line. CR, LF
// and CR LF end a text line. With timestamps each line starts with the seconds since the
// monitor started, taken when its first byte arrived.
class MonitorPrinter {
public:
    MonitorPrinter(bool hex, bool timestamps) : hex_(hex), timestamps_(timestamps) {}

    // The text to print for `count` bytes received `seconds` after the start.
    std::string Feed(const char* bytes, std::size_t count, double seconds);
    // Ends a line left open, so that what is printed next starts on a line of its own.
    std::string Finish();

private:
    void StartLine(std::string& text, double seconds);
    void EndLine(std::string& text);

    const bool hex_;
    const bool timestamps_;
    bool lineOpen_ = false;
    bool afterCarriageReturn_ = false;
    std::size_t bytesOnLine_ = 0;
};
