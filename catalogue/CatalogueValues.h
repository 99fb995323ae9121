#pragma once

#include <cstdint>
#include <string>

// Attribute values of the device catalogue, read the forgiving way the format allows:
// leading blanks skipped, reading stops at the first unexpected character, no digits is 0.
// Values beyond the 32-bit range saturate.

// Hexadecimal with an optional 0x or 0X prefix.
std::uint32_t ParseCatalogueHex(const std::string& text);
// Signed decimal with an optional sign.
std::int32_t ParseCatalogueDecimal(const std::string& text);
