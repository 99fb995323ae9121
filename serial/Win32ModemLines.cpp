// The modem control lines of a COM port, through EscapeCommFunction.
#include "serial/SerialBackend.h"
#include "serial/Win32Handle.h"

namespace lunvik::os {

bool SetModemLine(SerialHandle handle, SerialModemLine line, bool asserted) {
    const bool dtr = line == SerialModemLine::Dtr;
    const DWORD function = dtr ? (asserted ? SETDTR : CLRDTR) : (asserted ? SETRTS : CLRRTS);
    HANDLE port = win32::PortHandleOf(handle);
    return port != nullptr && EscapeCommFunction(port, function);
}

// Drivers of ports without modem lines (virtual ports, Wine's pseudo-terminals) refuse the
// function itself.
bool LacksModemLines() {
    const DWORD error = GetLastError();
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_INVALID_PARAMETER;
}

const char* ModemLineOperation(SerialModemLine line, bool asserted) {
    if (line == SerialModemLine::Dtr) {
        return asserted ? "EscapeCommFunction(SETDTR)" : "EscapeCommFunction(CLRDTR)";
    }
    return asserted ? "EscapeCommFunction(SETRTS)" : "EscapeCommFunction(CLRRTS)";
}

}  // namespace lunvik::os
