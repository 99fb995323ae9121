#pragma once

#include <cstdio>
#include <string>

// The bootloader firmware's version as "major.minor". Its bytes are signed: 0xFF reads -1.
inline std::string FirmwareText(const unsigned char (&version)[3]) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d", static_cast<signed char>(version[0]),
                  static_cast<signed char>(version[1]));
    return text;
}
