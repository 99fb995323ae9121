// Plays a reset sequence on a port, as the detection does: the test's stand-in for a host
// program that drives the modem lines. Usage: reset-player DEVICE SEQUENCE.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "protocol/ResetSequence.h"
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
    bootproto::PortModemLines lines(port);
    const bool played = bootproto::PlayResetSequence(
        *sequence, lines,
        [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); });
    if (!played) std::fprintf(stderr, "%s\n", port.LastFailureText());
    port.ClosePort();
    return played ? 0 : 1;
}
