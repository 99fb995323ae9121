#include "tools/cli/Monitor.h"

#include <cstdio>
#include <vector>

#include "control/ExitStatus.h"
#include "protocol/LineCheck.h"
#include "serial/CSerialPort.h"
#include "tools/cli/MonitorInput.h"
#include "tools/cli/MonitorPrinter.h"
#include "tools/cli/StopSignals.h"

namespace {

using Clock = std::chrono::steady_clock;

// A read returns once the line has been quiet for 10 ms after a byte, or after 50 ms: the
// monitor looks at the keyboard and the clock that often.
constexpr unsigned long kReadInterval = 10;
constexpr unsigned long kReadWait = 50;
constexpr unsigned long kWritePerByte = 10;
constexpr unsigned long kWriteConstant = 1000;
constexpr unsigned long kChunk = 256;

std::string Described(const PortName& port) {
    if (port.comNumber == 0) return port.text;
    const std::string device = ComPortDevice(port.comNumber);
    return device.empty() ? port.text : port.text + " (" + device + ")";
}

int OpenPort(CSerialPort& serial, const PortName& port, unsigned baud) {
    if (port.comNumber != 0) {
        return serial.InitPort(static_cast<unsigned>(port.comNumber), baud, 'N', 8, 1, 9, 512);
    }
    return serial.InitPort(port.devicePath.c_str(), baud, 'N', 8, 1, 9, 512);
}

// Sends each line with its line end. A write discards what the port has received and not
// yet read, so it follows right on a read: only bytes arriving in between are lost.
bool SendLines(CSerialPort& serial, const std::vector<std::string>& lines,
               const std::string& lineEnd) {
    for (const std::string& line : lines) {
        std::string bytes = line + lineEnd;
        const auto length = static_cast<unsigned long>(bytes.size());
        if (serial.WriteToPort(bytes.data(), length) != length) return false;
    }
    return true;
}

std::string Seconds(std::chrono::milliseconds span) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(span.count()) / 1000.0);
    return text;
}

}  // namespace

int RunMonitor(const PortName& port, unsigned baud, const MonitorOptions& options,
               ConsoleOutput& output) {
    const std::string name = Described(port);
    CSerialPort serial;
    if (OpenPort(serial, port, baud) != 1) {
        output.Error("pelorant-cli: " + DescribeOpenFailure(port, serial, baud));
        return kExitPortNotOpened;
    }
    serial.SetTimeouts(kReadInterval, 0, kReadWait, kWritePerByte, kWriteConstant);
    MonitorInput input(options.send);
    output.Note("pelorant-cli: monitoring " + name + " at " + std::to_string(baud) +
                " bit/s; Ctrl-C" + (input.IsTerminal() ? " or Ctrl-]" : "") + " ends" +
                (options.send ? "; each line typed is sent" : ""));

    MonitorPrinter printer(options.hex, options.timestamps);
    const Clock::time_point start = Clock::now();
    auto show = [&](const std::string& text) {
        if (text.empty()) return;
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
    };
    int status = kExitOk;
    std::string ending;
    for (;;) {
        if (StopSignal() != 0) {
            ending = std::string("monitor stopped by ") + StopSignalName(StopSignal());
            break;
        }
        if (options.duration && Clock::now() - start >= *options.duration) {
            ending = "monitor ended after " + Seconds(*options.duration);
            break;
        }
        char chunk[kChunk];
        const unsigned long received = serial.ReadFromPort(chunk, kChunk);
        if (received == CSerialPort::kFailure) {
            const bool gone = bootproto::PortWentAway(serial);
            show(printer.Finish());
            output.Error(
                "pelorant-cli: " + name +
                (gone ? " went away" : std::string(" failed: ") + serial.LastFailureText()) +
                "; monitor ended");
            status = kExitWriteFailed;
            break;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        show(printer.Feed(chunk, received, seconds));
        std::vector<std::string> lines;
        if (!input.Take(lines)) {
            // The terminal echoed the key where the cursor was.
            std::fputc('\n', stderr);
            ending = "monitor ended by Ctrl-]";
            break;
        }
        if (options.send && !SendLines(serial, lines, options.lineEnd)) {
            show(printer.Finish());
            output.Error("pelorant-cli: a line typed could not be sent to " + name +
                         "; monitor ended");
            status = kExitWriteFailed;
            break;
        }
    }
    show(printer.Finish());
    if (!ending.empty()) output.Note("pelorant-cli: " + ending);
    serial.ClosePort();
    return status;
}
