#pragma once

#include "common/Version.h"

// The maker's addresses and the program's version, kept in one place.
// The maker's real addresses are not known to us: reserved example.com names stand in.
namespace product {
inline constexpr const char* kMakerWebAddress = "www.example.com";
inline constexpr const char* kMakerWebUrl = "https://www.example.com/";
inline constexpr const char* kMakerEmail = "support@example.com";
inline constexpr const char* kSoftwareVersion = PELORANT_VERSION_MAJOR_MINOR;
inline constexpr const char* kProgramName = "Pelorant";
inline constexpr const char* kCatalogueFileName = "qor_dspiclist.xml";
inline constexpr const char* kSettingsKey = "SOFTWARE\\Vardeno\\dsPicBootloader";
}  // namespace product
