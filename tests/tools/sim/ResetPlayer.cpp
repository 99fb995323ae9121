// Plays a reset sequence on a port, as the detection does: the test's stand-in for a host
// program that drives the modem lines. Usage: reset-player DEVICE SEQUENCE.
#include <chrono>
#include <cstdio>
#include <string>

#include "protocol/ResetSequence.h"
#include "protocol/SerialLine.h"
#include "serial/CSerialPort.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    std::string error;
    const auto sequence = bootproto::ParseResetSequence(argv[2], &error);
    if (!sequence) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    CSerialPort port;
    if (port.InitPort(argv[1], 115200, 'N', 8, 1, 9, 512) != 1) {
        std::fprintf(stderr, "%s\n", port.LastFailureText());
        return 3;
    }
    bootproto::SerialLine line(port);
    const bool played = bootproto::PlayResetSequence(
        *sequence, line, [&line](std::chrono::milliseconds wait) { line.Sleep(wait); });
    if (!played) std::fprintf(stderr, "%s\n", port.LastFailureText());
    port.ClosePort();
    return played ? 0 : 1;
}
