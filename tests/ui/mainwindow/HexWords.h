#pragma once

#include <cstdint>
#include <filesystem>
#include <map>

// The words an Intel HEX file of the dsPIC tool chain puts at each word address (the byte
// address halved, little-endian), read independently of the program's own reader.
std::map<std::uint32_t, std::uint16_t> ReadHexWords(const std::filesystem::path& path);
