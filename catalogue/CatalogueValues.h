#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Attribute values of the device catalogue. A value is one whole number: blanks around it
// allowed, then digits and nothing else, within 32 bits. Anything else is no value: a number
// read only up to its first stray character ("-31744" or "0x0x7C00" as 0) would move a memory
// or the bootloader without a word.

// Hexadecimal with an optional 0x or 0X prefix.
std::optional<std::uint32_t> ParseCatalogueHex(const std::string& text);
// Signed decimal with an optional sign.
std::optional<std::int32_t> ParseCatalogueDecimal(const std::string& text);
