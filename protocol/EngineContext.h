#pragma once

#include <atomic>
#include <cstdint>

#include "common/WindowMessages.h"
#include "device/DeviceInfo.h"
#include "serial/CSerialPort.h"

namespace bootproto {
class Line;
struct ResetSequence;
}  // namespace bootproto

// The block handed to the detection worker.
struct DetectionThreadParam {
    MessageTarget* notifyWindow = nullptr;
    std::atomic<std::uint8_t> stop{0};  // set by the window, polled by the worker
    // Played on the modem lines after the first probe attempt; none: the user resets the board.
    const bootproto::ResetSequence* reset = nullptr;
};

// What the workers and the programming control act on. The application object owns every
// part and hands this view of them to whoever runs the engine (window, CLI, tests), so the
// core never reaches for a global.
struct EngineContext {
    CSerialPort& port;      // opened and closed by the control
    bootproto::Line& line;  // every exchange with the board: the port, traced or not
    int& comNumber;         // the port the reconnect opens as COM<n>
    int& baudRate;
    DetectionThreadParam& detection;
    unsigned char (&deviceId)[2];         // stored by the detection worker
    unsigned char (&firmwareVersion)[3];  // stored by the identification
    CDeviceInfo& device;
    const char* workingPath;  // the catalogue's folder followed by one '/'
};
