#include <cstdio>

#include "serial/SystemError.h"

namespace lunvik {

void RecordFailure(CSerialPort& port, const char* operation, bool opening) {
    const long code = LastSystemError();
    char reason[160];
    SystemErrorText(code, reason, sizeof reason);
    port.lastFailure = CauseOfSystemError(code, opening);
    port.lastSystemError = code;
    std::snprintf(port.lastFailureText, sizeof port.lastFailureText, "%s failed: %s",
                  operation != nullptr ? operation : "", reason);
    RestoreSystemError(code);
}

void ClearFailure(CSerialPort& port) {
    port.lastFailure = SerialFailure::None;
    port.lastSystemError = 0;
    port.lastFailureText[0] = '\0';
}

void RecordModemLineFailure(CSerialPort& port, const char* operation, bool noModemLines) {
    RecordFailure(port, operation, false);
    if (!noModemLines) return;
    const long code = LastSystemError();
    char reason[120];
    SystemErrorText(code, reason, sizeof reason);
    port.lastFailure = SerialFailure::NoModemLines;
    std::snprintf(port.lastFailureText, sizeof port.lastFailureText,
                  "%s failed: the port has no modem lines (%s)", operation, reason);
    RestoreSystemError(code);
}

}  // namespace lunvik
