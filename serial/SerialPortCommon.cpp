// The parts of CSerialPort that are the same on every platform.
#include <algorithm>
#include <cstdio>

#include "serial/CSerialPort.h"
#include "serial/SystemError.h"

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
