#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/DeviceInfo.h"

// The catalogue lookup's result. The numbers are the ones the identification passes on and
// the windows show.
enum class CatalogueLookup : int {
    Found = 0,
    NoBootloader = -2,
    ProtectedMissing = -3,
    DeviceNotFound = -5,
    Unreadable = -6,
    ProtectedNotOnRows = -7,
    ProtectedOutside = -8,
};

// Finds the device with `identifier` ("0x" and four upper-case hex digits) and fills
// `device` (not its name). `name` receives the device's name on success. A catalogue that
// could steer a write into the bootloader or outside the memories is refused: a bootloader
// range that is missing, reversed or not inside program flash, memories that overlap, a
// reversed protected range, a row size outside 1 to 63 instructions, a device without
// program flash. Only a device read in full replaces the memories and bootloader range of
// `device`; a memory the device does not have keeps no range. `cause`, when given, receives
// why a lookup was refused, in words.
CatalogueLookup LookupDevice(const std::string& cataloguePath, const std::string& identifier,
                             CDeviceInfo& device, std::string& name, std::string* cause = nullptr);

struct CatalogueEntry {
    std::string id;
    std::string name;
};

class CXmlDocument;

// The catalogue file read once and parsed once, for every lookup of one command: the boards
// of a write are identified against the document that was checked before any was detected,
// whatever happens to the file meanwhile. Lookups take turns (the document's searches build
// their node lists inside it), so boards on several threads may share one catalogue.
class DeviceCatalogue {
public:
    // None when `path` cannot be read or parsed; `error`, when given, then says why.
    static std::shared_ptr<const DeviceCatalogue> Read(const std::string& path,
                                                       std::string* error = nullptr);
    ~DeviceCatalogue();
    DeviceCatalogue(const DeviceCatalogue&) = delete;
    DeviceCatalogue& operator=(const DeviceCatalogue&) = delete;

    const std::string& Path() const { return path_; }
    // As LookupDevice below, on this document.
    CatalogueLookup Lookup(const std::string& identifier, CDeviceInfo& device, std::string& name,
                           std::string* cause = nullptr) const;
    // As ListCatalogueDevices and ResolveDeviceIdentifier below, on this document.
    std::vector<CatalogueEntry> Devices() const;
    std::optional<std::string> Resolve(const std::string& idOrName) const;

private:
    DeviceCatalogue(std::string path, std::unique_ptr<CXmlDocument> document);

    std::string path_;
    mutable std::mutex mutex_;
    std::unique_ptr<CXmlDocument> document_;
};

// The devices of the catalogue in document order; empty when the file does not load.
std::optional<std::vector<CatalogueEntry>> ListCatalogueDevices(const std::string& cataloguePath);
// The identifier of the device named by `idOrName` (an exact id, or a name compared
// without regard to case); empty when none matches.
std::optional<std::string> ResolveDeviceIdentifier(const std::string& cataloguePath,
                                                   const std::string& idOrName);
