#pragma once

#include <optional>
#include <string>
#include <vector>

#include "device/DeviceInfo.h"

// Catalogue lookup result codes.
inline constexpr int kCatalogueFound = 0;
inline constexpr int kCatalogueNoBootloader = -2;
inline constexpr int kCatalogueProtectedMissing = -3;
inline constexpr int kCatalogueDeviceNotFound = -5;
inline constexpr int kCatalogueUnreadable = -6;
inline constexpr int kCatalogueProtectedNotOnRows = -7;
inline constexpr int kCatalogueProtectedOutside = -8;

// Finds the device with `identifier` ("0x" and four upper-case hex digits) and fills
// `device` in place (not its name). `name` receives the device's name on success.
int LookupDevice(const std::string& cataloguePath, const std::string& identifier,
                 CDeviceInfo& device, std::string& name);

struct CatalogueEntry {
    std::string id;
    std::string name;
};

// The devices of the catalogue in document order; empty when the file does not load.
std::optional<std::vector<CatalogueEntry>> ListCatalogueDevices(const std::string& cataloguePath);
// The identifier of the device named by `idOrName` (an exact id, or a name compared
// without regard to case); empty when none matches.
std::optional<std::string> ResolveDeviceIdentifier(const std::string& cataloguePath,
                                                   const std::string& idOrName);
