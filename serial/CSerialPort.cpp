// CSerialPort's operations, the same on every platform: the argument checks, the open and
// configure sequence and what each failure reports. The system calls are the platform's
// (SerialBackend.h).
#include "serial/CSerialPort.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "serial/ModeText.h"
#include "serial/SerialBackend.h"
#include "serial/SystemError.h"

namespace {

// A result of exactly the failure value would read as a failure: never move that much at once.
unsigned long LimitCount(unsigned long count) {
    return count < CSerialPort::kFailure ? count : CSerialPort::kFailure - 1;
}

// The hook takes a writable text; copied into a local buffer, which leaves the system error
// alone.
void ReportFailure(CSerialPort& port, const char* operation) {
    lunvik::RecordFailure(port, operation, false);
    char name[32];
    std::snprintf(name, sizeof name, "%s", operation);
    port.ProcessErrorMessage(name);
}

// The configuration steps after a successful open. A failed step is reported to the error
// hook and ends the configuration; the port stays open with whatever settings it kept.
void Configure(CSerialPort& port, const char* modeText, unsigned long eventMask) {
    if (port.SetTimeouts(4, 1, 4, 0, 0) == CSerialPort::kFailure) return;
    if (!lunvik::os::SetEventMask(port.handle, eventMask)) {
        ReportFailure(port, "SetCommMask()");
        return;
    }
    if (!lunvik::os::ReadLineSettings(port.handle, port.lineSettings)) {
        ReportFailure(port, "GetCommState()");
        return;
    }
    port.lineSettings.rtsEnable = true;
    port.lineSettings.abortOnError = false;
    if (!lunvik::ParseModeText(modeText, port.lineSettings)) {
        ReportFailure(port, "BuildCommDCB()");
        return;
    }
    if (!lunvik::os::ApplyLineSettings(port.handle, port.lineSettings)) {
        ReportFailure(port, "SetCommState()");
    }
}

int OpenPort(CSerialPort& port, const std::string& device, unsigned long portNumber,
             unsigned int baud, char parity, unsigned int dataBits, unsigned int stopBits,
             unsigned long eventMask) {
    // Opening over a port this object still holds would lose that handle (and on POSIX its
    // lock, which would then keep the port busy until the process ends): refuse and keep it.
    if (lunvik::os::IsOpen(port.handle)) {
        lunvik::SetBusyError();
        lunvik::RecordFailure(port, lunvik::os::kOpenCall, true);
        return 0;
    }
    port.portNumber = portNumber;
    char modeText[64];
    std::snprintf(modeText, sizeof modeText, "baud=%d parity=%c data=%d stop=%d",
                  static_cast<int>(baud), parity, static_cast<int>(dataBits),
                  static_cast<int>(stopBits));
    const SerialHandle handle = lunvik::os::OpenExclusive(device.c_str());
    if (handle == kInvalidSerialHandle) {
        lunvik::RecordFailure(port, lunvik::os::kOpenCall, true);
        port.handle = kInvalidSerialHandle;
        return 0;
    }
    lunvik::ClearFailure(port);
    port.handle = handle;
    Configure(port, modeText, eventMask);
    if (!lunvik::os::Purge(handle)) ReportFailure(port, "PurgeComm()");
    return 1;
}

}  // namespace

CSerialPort::CSerialPort()
    : logStream(nullptr),
      handle(kNullSerialHandle),
      timeouts(),
      lineSettings(),
      portNumber(0),
      lastFailure(SerialFailure::None),
      lastSystemError(0),
      lastFailureText() {}

CSerialPort::~CSerialPort() = default;

CSerialPort& CSerialPort::operator=(const CSerialPort& other) = default;

int CSerialPort::InitPort(unsigned int number, unsigned int baud, char parity,
                          unsigned int dataBits, unsigned int stopBits, unsigned long eventMask,
                          unsigned int bufferSize) {
    // The driver's own queue sizes apply.
    (void)bufferSize;
    return OpenPort(*this, lunvik::os::ComPortDevice(number), number, baud, parity, dataBits,
                    stopBits, eventMask);
}

int CSerialPort::InitPort(const char* devicePath, unsigned int baud, char parity,
                          unsigned int dataBits, unsigned int stopBits, unsigned long eventMask,
                          unsigned int bufferSize) {
    (void)bufferSize;
    return OpenPort(*this, devicePath != nullptr ? devicePath : "", 0, baud, parity, dataBits,
                    stopBits, eventMask);
}

unsigned long CSerialPort::SetTimeouts(unsigned long readInterval, unsigned long readTotalPerByte,
                                       unsigned long readTotalConstant,
                                       unsigned long writeTotalPerByte,
                                       unsigned long writeTotalConstant) {
    timeouts = SerialTimeouts{readInterval, readTotalPerByte, readTotalConstant, writeTotalPerByte,
                              writeTotalConstant};
    if (!lunvik::os::ApplyTimeouts(handle, timeouts)) {
        ReportFailure(*this, "SetCommTimeouts()");
        return kFailure;
    }
    return 0;
}

unsigned long CSerialPort::ReadFromPort(char* buffer, unsigned long count) {
    unsigned long done = 0;
    if (buffer == nullptr && count != 0) {
        lunvik::SetBadBufferError();
        ReportFailure(*this, "ReadFile()");
        return kFailure;
    }
    if (!lunvik::os::Read(handle, buffer, LimitCount(count), timeouts, done)) {
        ReportFailure(*this, "ReadFile()");
        return kFailure;
    }
    return done;
}

unsigned long CSerialPort::WriteToPort(char* buffer, unsigned long count) {
    unsigned long done = 0;
    if (buffer == nullptr && count != 0) {
        lunvik::SetBadBufferError();
        ReportFailure(*this, "WriteFile()");
        return kFailure;
    }
    if (!lunvik::os::Write(handle, buffer, LimitCount(count), timeouts, done)) {
        ReportFailure(*this, "WriteFile()");
        return kFailure;
    }
    return done;
}

unsigned long CSerialPort::QueuedInput() {
    unsigned long count = 0;
    if (!lunvik::os::QueuedInput(handle, count)) {
        ReportFailure(*this, "ClearCommError()");
        return kFailure;
    }
    return LimitCount(count);
}

unsigned long CSerialPort::CleanPort() {
    if (!lunvik::os::Purge(handle)) {
        ReportFailure(*this, "PurgeComm()");
        return kFailure;
    }
    return 0;
}

unsigned long CSerialPort::ClosePort() {
    // Callers close after a failed open as a matter of course: refusing to close what is
    // not open keeps the open's cause instead of replacing it.
    if (!lunvik::os::NamesPort(handle)) return kFailure;
    if (!lunvik::os::Close(handle)) {
        lunvik::RecordFailure(*this, lunvik::os::kCloseCall, false);
        return kFailure;
    }
    handle = kNullSerialHandle;
    return 0;
}

unsigned long CSerialPort::SetModemLine(SerialModemLine line, bool asserted) {
    if (lunvik::os::SetModemLine(handle, line, asserted)) return 0;
    lunvik::RecordModemLineFailure(*this, lunvik::os::ModemLineOperation(line, asserted),
                                   lunvik::os::LacksModemLines());
    return kFailure;
}

void CSerialPort::ProcessErrorMessage(char* operation) {
    const long error = lunvik::LastSystemError();
    char reason[128];
    lunvik::SystemErrorText(error, reason, sizeof reason);
    // Composed and dropped: the callers report failures in their own words. The text is
    // there to be looked at in a debugger.
    char message[200];
    std::snprintf(message, sizeof message, "%s failed with the following error: \n%s\nPort #: %d\n",
                  operation != nullptr ? operation : "", reason, static_cast<int>(portNumber));
    lunvik::RestoreSystemError(error);
}

void CSerialPort::Log(char* text) {
    if (logStream == nullptr) return;
    char clock[9] = "00:00:00";
    lunvik::LocalClockText(clock);
    char line[260];
    const int length =
        std::snprintf(line, sizeof line, "%s \t - \t %s\n", clock, text != nullptr ? text : "");
    if (length <= 0) return;
    const std::size_t size = std::min(static_cast<std::size_t>(length), sizeof line - 1);
    std::fwrite(line, 1, size, logStream);
}
