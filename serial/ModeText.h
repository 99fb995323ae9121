#pragma once

#include "serial/CSerialPort.h"

namespace lunvik {

// Fills speed, parity, data and stop bits of `settings` from a mode text such as
// "baud=9600 parity=N data=8 stop=1", the way the Win32 BuildCommDCB reads it. On a bad
// text `settings` is left untouched and false is returned.
bool ParseModeText(const char* text, SerialLineSettings& settings);

}  // namespace lunvik
