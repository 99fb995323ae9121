#pragma once

// The three memories in block order: code, data EEPROM, configuration.
inline constexpr const char* kMemoryNames[3] = {"program flash", "data EEPROM", "configuration"};
inline constexpr const char* kMemoryKeys[3] = {"code", "eeprom", "config"};
