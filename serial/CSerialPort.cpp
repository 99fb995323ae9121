#include "serial/CSerialPort.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "serial/ModeText.h"
#include "serial/PortDirectory.h"
#include "serial/PosixSerial.h"
#include "serial/SystemError.h"

// The POSIX side of CSerialPort: its operations on a tty (the Windows side is
// Win32SerialPort.cpp). `handle` holds the descriptor plus one: 0 stays "null" (never opened, or
// closed) and -1 stays "invalid" (a failed open), and neither can name a real descriptor.
namespace {

SerialHandle HandleFor(int fd) {
    return static_cast<SerialHandle>(fd) + 1;
}

int DescriptorOf(SerialHandle handle) {
    if (handle <= 0 || handle > static_cast<SerialHandle>(INT_MAX) + 1) return -1;
    return static_cast<int>(handle - 1);
}

// A result of exactly the failure value would read as a failure: never move that much at once.
unsigned long LimitCount(unsigned long count) {
    return count < CSerialPort::kFailure ? count : CSerialPort::kFailure - 1;
}

// The hook takes a writable text; copied into a local buffer, which leaves errno alone.
void ReportFailure(CSerialPort& port, const char* operation) {
    lunvik::RecordFailure(port, operation, false);
    char name[32];
    std::snprintf(name, sizeof name, "%s", operation);
    port.ProcessErrorMessage(name);
}

// The configuration steps after a successful open. A failed step is reported to the error
// hook and ends the configuration; the port stays open with whatever settings it kept.
void Configure(CSerialPort& port, int fd, const char* modeText) {
    if (port.SetTimeouts(4, 1, 4, 0, 0) == CSerialPort::kFailure) return;
    // The event mask has nothing to do here: the library never waits for port events.
    if (!lunvik::posix::ReadLineSettings(fd, port.lineSettings)) {
        ReportFailure(port, "GetCommState()");
        return;
    }
    port.lineSettings.rtsEnable = true;
    port.lineSettings.abortOnError = false;
    if (!lunvik::ParseModeText(modeText, port.lineSettings)) {
        ReportFailure(port, "BuildCommDCB()");
        return;
    }
    if (!lunvik::posix::ApplyLineSettings(fd, port.lineSettings)) {
        ReportFailure(port, "SetCommState()");
    }
}

int OpenPort(CSerialPort& port, const std::string& device, unsigned long portNumber,
             unsigned int baud, char parity, unsigned int dataBits, unsigned int stopBits) {
    // Opening over a port this object still holds would lose that descriptor (and its lock,
    // which would then keep the port busy until the process ends): refuse and keep it.
    if (lunvik::posix::IsOpen(DescriptorOf(port.handle))) {
        errno = EBUSY;
        lunvik::RecordFailure(port, "open()", true);
        return 0;
    }
    port.portNumber = portNumber;
    char modeText[64];
    std::snprintf(modeText, sizeof modeText, "baud=%d parity=%c data=%d stop=%d",
                  static_cast<int>(baud), parity, static_cast<int>(dataBits),
                  static_cast<int>(stopBits));
    const int fd = lunvik::posix::OpenExclusive(device.c_str());
    if (fd < 0) {
        lunvik::RecordFailure(port, "open()", true);
        port.handle = kInvalidSerialHandle;
        return 0;
    }
    lunvik::ClearFailure(port);
    port.handle = HandleFor(fd);
    lunvik::posix::RequestLowLatency(fd);
    Configure(port, fd, modeText);
    if (!lunvik::posix::Purge(fd)) ReportFailure(port, "PurgeComm()");
    return 1;
}

}  // namespace

int CSerialPort::InitPort(unsigned int number, unsigned int baud, char parity,
                          unsigned int dataBits, unsigned int stopBits, unsigned long eventMask,
                          unsigned int bufferSize) {
    // "\\.\COM<n>" names resolve through the port directory. The event mask and buffer size
    // have no effect: the driver's own queues apply and no one waits for port events.
    (void)eventMask;
    (void)bufferSize;
    return OpenPort(*this, lunvik::ResolveComPort(number), number, baud, parity, dataBits,
                    stopBits);
}

int CSerialPort::InitPort(const char* devicePath, unsigned int baud, char parity,
                          unsigned int dataBits, unsigned int stopBits, unsigned long eventMask,
                          unsigned int bufferSize) {
    (void)eventMask;
    (void)bufferSize;
    return OpenPort(*this, devicePath != nullptr ? devicePath : "", 0, baud, parity, dataBits,
                    stopBits);
}

unsigned long CSerialPort::SetTimeouts(unsigned long readInterval, unsigned long readTotalPerByte,
                                       unsigned long readTotalConstant,
                                       unsigned long writeTotalPerByte,
                                       unsigned long writeTotalConstant) {
    timeouts = SerialTimeouts{readInterval, readTotalPerByte, readTotalConstant, writeTotalPerByte,
                              writeTotalConstant};
    // The time-outs are applied by every read and write; a port that is not open refuses them.
    if (!lunvik::posix::IsOpen(DescriptorOf(handle))) {
        ReportFailure(*this, "SetCommTimeouts()");
        return kFailure;
    }
    return 0;
}

unsigned long CSerialPort::ReadFromPort(char* buffer, unsigned long count) {
    unsigned long done = 0;
    if (buffer == nullptr && count != 0) {
        errno = EFAULT;
        ReportFailure(*this, "ReadFile()");
        return kFailure;
    }
    if (!lunvik::posix::Read(DescriptorOf(handle), buffer, LimitCount(count), timeouts, done)) {
        ReportFailure(*this, "ReadFile()");
        return kFailure;
    }
    return done;
}

unsigned long CSerialPort::WriteToPort(char* buffer, unsigned long count) {
    unsigned long done = 0;
    if (buffer == nullptr && count != 0) {
        errno = EFAULT;
        ReportFailure(*this, "WriteFile()");
        return kFailure;
    }
    if (!lunvik::posix::Write(DescriptorOf(handle), buffer, LimitCount(count), timeouts, done)) {
        ReportFailure(*this, "WriteFile()");
        return kFailure;
    }
    return done;
}

unsigned long CSerialPort::CleanPort() {
    if (!lunvik::posix::Purge(DescriptorOf(handle))) {
        ReportFailure(*this, "PurgeComm()");
        return kFailure;
    }
    return 0;
}

unsigned long CSerialPort::ClosePort() {
    // Callers close after a failed open as a matter of course: refusing to close what is
    // not open keeps the open's cause instead of replacing it.
    const int fd = DescriptorOf(handle);
    if (fd < 0) return kFailure;
    if (!lunvik::posix::Close(fd)) {
        lunvik::RecordFailure(*this, "close()", false);
        return kFailure;
    }
    handle = kNullSerialHandle;
    return 0;
}

unsigned long CSerialPort::SetModemLine(SerialModemLine line, bool asserted) {
    if (lunvik::posix::SetModemLine(DescriptorOf(handle), line, asserted)) return 0;
    const bool noModemLines = errno == ENOTTY;
    lunvik::RecordModemLineFailure(*this, lunvik::posix::ModemLineOperation(line, asserted),
                                   noModemLines);
    return kFailure;
}
