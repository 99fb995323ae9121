#pragma once

#include <string>
#include <string_view>

// The SHA-256 of `bytes` as 64 lower-case hex digits: what names a HEX file in a write's
// records, so that every board of a run can be shown to have had the same file.
std::string Sha256Hex(std::string_view bytes);
