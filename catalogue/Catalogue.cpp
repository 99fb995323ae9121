#include "catalogue/Catalogue.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <map>
#include <new>
#include <optional>
#include <vector>
#include <xercesc/dom/DOMException.hpp>
#include <xercesc/util/XMLException.hpp>

#include "catalogue/CatalogueValues.h"
#include "catalogue/XmlDocument.h"

using xercesc::DOMElement;
using xercesc::DOMNode;
using xercesc::DOMNodeList;

namespace {

// The last word address of the dsPIC program space (24-bit program counter). A region
// beyond it is no dsPIC memory, and its cells would not fit in memory.
constexpr std::uint32_t kLastProgramAddress = 0xFFFFFF;
constexpr std::size_t kLongestName = sizeof(CDeviceInfo::name) - 1;
// A row travels in one frame whose length byte counts its 3-byte instructions and more:
// 64 instructions no longer fit.
constexpr std::int32_t kFewestInstructionsPerRow = 1;
constexpr std::int32_t kMostInstructionsPerRow = 63;

const DOMElement* AsElement(const DOMNode* node) {
    if (node == nullptr || node->getNodeType() != DOMNode::ELEMENT_NODE) return nullptr;
    return static_cast<const DOMElement*>(node);
}

const DOMElement* FirstElement(CXmlDocument& document, const char* tagName) {
    DOMNodeList* list = document.FindElements(tagName);
    return list == nullptr ? nullptr : AsElement(list->item(0));
}

const DOMElement* FindDevice(CXmlDocument& catalogue, const std::string& identifier) {
    const int count = catalogue.CountElements("device");
    DOMNodeList* devices = catalogue.FindElements("device");
    for (int i = 0; i < count; ++i) {
        const DOMElement* device = AsElement(devices->item(static_cast<XMLSize_t>(i)));
        if (device != nullptr && catalogue.GetAttributeText("id", device) == identifier) {
            return device;
        }
    }
    return nullptr;
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

std::string Range(std::uint32_t first, std::uint32_t last) {
    return Hex(first) + " - " + Hex(last);
}

// Why a lookup refused the catalogue, for whoever wants to say more than the code.
struct Refusal {
    CatalogueLookup code = CatalogueLookup::Found;
    std::string cause;
};

Refusal Refuse(CatalogueLookup code, std::string cause) {
    return Refusal{code, std::move(cause)};
}

// A protected range must cover whole rows of the memory it sits in.
bool CoversWholeRows(std::uint32_t first, std::uint32_t last, std::int32_t instructionsPerRow) {
    const std::int64_t rowUnits = 2 * std::int64_t{instructionsPerRow};
    if (rowUnits <= 0) return false;
    return first % rowUnits == 0 && (std::int64_t{last} + 2) % rowUnits == 0;
}

// A hexadecimal attribute of `element`, named in the refusal when it is missing or no whole
// number; `owner` names the element ("memcode", "the bootloader").
Refusal ReadHex(CXmlDocument& document, const DOMElement* element, const std::string& owner,
                const char* attribute, std::uint32_t& value) {
    const std::string text = document.GetAttributeText(attribute, element);
    if (text.find_first_not_of(" \t\n\r\v\f") == std::string::npos) {
        return Refuse(CatalogueLookup::Unreadable, owner + " lacks its " + attribute);
    }
    const std::optional<std::uint32_t> parsed = ParseCatalogueHex(text);
    if (!parsed) {
        return Refuse(CatalogueLookup::Unreadable, owner + " " + attribute + " \"" + text +
                                                       "\" is not a whole hexadecimal number");
    }
    value = *parsed;
    return {};
}

// The range an element gives with its startaddress and endaddress.
Refusal ReadRange(CXmlDocument& document, const DOMElement* element, const std::string& owner,
                  std::uint32_t& first, std::uint32_t& last) {
    if (Refusal refusal = ReadHex(document, element, owner, "startaddress", first);
        refusal.code != CatalogueLookup::Found) {
        return refusal;
    }
    return ReadHex(document, element, owner, "endaddress", last);
}

Refusal MarkProtectedRanges(CXmlDocument& memory, const char* tagName, CMemoryImage& image) {
    const int count = memory.CountElements("protected");
    DOMNodeList* ranges = memory.FindElements("protected");
    for (int j = 0; j < count; ++j) {
        const DOMElement* range = AsElement(ranges->item(static_cast<XMLSize_t>(j)));
        if (range == nullptr) {
            return Refuse(CatalogueLookup::ProtectedMissing,
                          std::string("a protected range of ") + tagName + " cannot be found");
        }
        std::uint32_t first = 0;
        std::uint32_t last = 0;
        if (Refusal refusal = ReadRange(
                memory, range, std::string("a protected range of ") + tagName, first, last);
            refusal.code != CatalogueLookup::Found) {
            return refusal;
        }
        const std::string where =
            std::string("protected range ") + Range(first, last) + " of " + tagName;
        if (!CoversWholeRows(first, last, image.instructionsPerRow)) {
            return Refuse(CatalogueLookup::ProtectedNotOnRows,
                          where + " does not cover whole rows");
        }
        // A reversed range would protect nothing while the catalogue means to protect.
        if (last < first) return Refuse(CatalogueLookup::Unreadable, where + " is reversed");
        if (image.MarkProtected(first, last) < 0) {
            return Refuse(
                CatalogueLookup::ProtectedOutside,
                where + " lies outside the memory " + Range(image.GetStart(), image.GetEnd()));
        }
    }
    return {};
}

// The bootloader must lie inside program flash: a range outside it, reversed or missing
// would let the reset vector jump elsewhere and rows of the real bootloader be sent. It must
// cover whole rows, too: a row it shares with the file's data is passed over, and that data
// would stay unwritten without a word.
Refusal ReadBootloader(CXmlDocument& memory, const CMemoryImage& code, CDeviceInfo& info) {
    const DOMElement* bootloader = FirstElement(memory, "bootloader");
    if (bootloader == nullptr) {
        return Refuse(CatalogueLookup::NoBootloader, "memcode has no bootloader element");
    }
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    if (Refusal refusal = ReadRange(memory, bootloader, "the bootloader", first, last);
        refusal.code != CatalogueLookup::Found) {
        return refusal;
    }
    if (last < first) {
        return Refuse(CatalogueLookup::Unreadable,
                      "the bootloader range " + Range(first, last) + " is reversed");
    }
    if (first < code.GetStart() || last > code.GetEnd()) {
        return Refuse(CatalogueLookup::Unreadable, "the bootloader range " + Range(first, last) +
                                                       " is not inside program flash " +
                                                       Range(code.GetStart(), code.GetEnd()));
    }
    if (!CoversWholeRows(first, last, code.instructionsPerRow)) {
        return Refuse(CatalogueLookup::Unreadable,
                      "the bootloader range " + Range(first, last) +
                          " does not begin and end on row boundaries (rows of " +
                          std::to_string(code.instructionsPerRow) + " instructions)");
    }
    info.bootStart = first;
    info.bootEnd = last;
    return {};
}

// Fills one image from its memory element; a range or row size the format cannot stand
// for is refused as an unreadable catalogue. A memory the device does not have keeps no
// range, so that nothing of a file can be placed in it.
Refusal ReadMemory(CXmlDocument& device, const char* tagName, std::int32_t rowsPerPage,
                   CMemoryImage& image, CDeviceInfo& info, bool isCode) {
    const DOMElement* element = FirstElement(device, tagName);
    if (element == nullptr) {
        // Program flash holds the reset vector and the bootloader: no device goes without.
        if (isCode) return Refuse(CatalogueLookup::Unreadable, "the device has no memcode");
        image.present = false;
        return {};
    }
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    if (Refusal refusal = ReadRange(device, element, tagName, start, end);
        refusal.code != CatalogueLookup::Found) {
        return refusal;
    }
    if (end < start || end > kLastProgramAddress) {
        return Refuse(CatalogueLookup::Unreadable,
                      std::string(tagName) + " range " + Range(start, end) + " is no dsPIC memory");
    }
    const std::string rowText = device.GetAttributeText("instructionxrow", element);
    if (rowText.empty()) {
        return Refuse(CatalogueLookup::Unreadable,
                      std::string(tagName) + " lacks its instructionxrow");
    }
    const std::optional<std::int32_t> instructionsPerRow = ParseCatalogueDecimal(rowText);
    if (!instructionsPerRow) {
        return Refuse(CatalogueLookup::Unreadable, std::string(tagName) + " instructionxrow \"" +
                                                       rowText + "\" is not a whole number");
    }
    if (*instructionsPerRow < kFewestInstructionsPerRow ||
        *instructionsPerRow > kMostInstructionsPerRow) {
        return Refuse(CatalogueLookup::Unreadable, std::string(tagName) + " instructionxrow " +
                                                       std::to_string(*instructionsPerRow) +
                                                       " is outside 1 to 63");
    }
    image.present = true;
    image.instructionsPerRow = *instructionsPerRow;
    image.rowsPerPage = rowsPerPage;
    image.SetRange(start, end);
    if (!image.cells)
        return Refuse(CatalogueLookup::Unreadable, "no memory for " + std::string(tagName));

    CXmlDocument memory(element);
    if (isCode) {
        if (Refusal refusal = ReadBootloader(memory, image, info);
            refusal.code != CatalogueLookup::Found) {
            return refusal;
        }
    }
    return MarkProtectedRanges(memory, tagName, image);
}

constexpr std::array<const char*, 3> kMemories = {"memcode", "memdata", "memconfig"};

// Memories overlapping one another, the extra cell beyond each end included, would let one
// file word land in two places.
Refusal CheckOverlap(const CDeviceInfo& device) {
    for (int a = 0; a < 3; ++a) {
        for (int b = a + 1; b < 3; ++b) {
            const CMemoryImage& x = device.images[a];
            const CMemoryImage& y = device.images[b];
            if (!x.present || !y.present) continue;
            if (x.GetStart() <= y.GetEnd() + std::uint64_t{1} &&
                y.GetStart() <= x.GetEnd() + std::uint64_t{1}) {
                return Refuse(CatalogueLookup::Unreadable,
                              std::string(kMemories[a]) + " and " + kMemories[b] + " overlap");
            }
        }
    }
    return {};
}

std::string LowerCase(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// Two devices with one id, or one name (as a name is looked up, without regard to case), would
// let a check show one device and a write of the same id use another: such a catalogue is
// refused, with both devices' lines.
Refusal CheckDistinctDevices(CXmlDocument& catalogue) {
    const int count = catalogue.CountElements("device");
    DOMNodeList* devices = catalogue.FindElements("device");
    const std::vector<std::uint64_t> lines = catalogue.ElementLines("device");
    const auto where = [&lines, count](int a, int b) {
        if (lines.size() != static_cast<std::size_t>(count)) {
            return "devices " + std::to_string(a + 1) + " and " + std::to_string(b + 1);
        }
        return "the devices on lines " + std::to_string(lines[static_cast<std::size_t>(a)]) +
               " and " + std::to_string(lines[static_cast<std::size_t>(b)]);
    };
    std::map<std::string, int> ids;
    std::map<std::string, int> names;
    for (int i = 0; i < count; ++i) {
        const DOMElement* device = AsElement(devices->item(static_cast<XMLSize_t>(i)));
        if (device == nullptr) continue;
        const std::string id = catalogue.GetAttributeText("id", device);
        const std::string name = catalogue.GetAttributeText("name", device);
        if (!id.empty()) {
            if (const auto [known, added] = ids.emplace(id, i); !added) {
                return Refuse(CatalogueLookup::Unreadable,
                              where(known->second, i) + " both have the id " + id);
            }
        }
        if (!name.empty()) {
            if (const auto [known, added] = names.emplace(LowerCase(name), i); !added) {
                return Refuse(CatalogueLookup::Unreadable,
                              where(known->second, i) + " are both named " + name);
            }
        }
    }
    return {};
}

Refusal LookupInto(CXmlDocument& catalogue, const std::string& identifier, CDeviceInfo& device,
                   std::string& name) {
    if (Refusal refusal = CheckDistinctDevices(catalogue); refusal.code != CatalogueLookup::Found) {
        return refusal;
    }
    const DOMElement* found = FindDevice(catalogue, identifier);
    if (found == nullptr) return Refuse(CatalogueLookup::DeviceNotFound, "no device " + identifier);

    std::string deviceName = catalogue.GetAttributeText("name", found);
    if (deviceName.size() > kLongestName) {
        return Refuse(CatalogueLookup::Unreadable, "the device name is longer than 259 characters");
    }
    // No operation reads rows per page; a missing value is 0, a damaged one a damaged device.
    const std::string pageText = catalogue.GetAttributeText("rowsxpage", found);
    const std::optional<std::int32_t> rowsPerPage =
        pageText.empty() ? std::optional<std::int32_t>(0) : ParseCatalogueDecimal(pageText);
    if (!rowsPerPage) {
        return Refuse(CatalogueLookup::Unreadable,
                      "the device's rowsxpage \"" + pageText + "\" is not a whole number");
    }

    CXmlDocument deviceDocument(found);
    for (int k = 0; k < 3; ++k) {
        Refusal refusal = ReadMemory(deviceDocument, kMemories[k], *rowsPerPage, device.images[k],
                                     device, k == kBlockCode);
        if (refusal.code != CatalogueLookup::Found) return refusal;
    }
    if (Refusal refusal = CheckOverlap(device); refusal.code != CatalogueLookup::Found)
        return refusal;
    name = std::move(deviceName);
    return {};
}

}  // namespace

CatalogueLookup DeviceCatalogue::Lookup(const std::string& identifier, CDeviceInfo& device,
                                        std::string& name, std::string* cause) const {
    // The device is read into a record of its own and handed over only when all of it was
    // sound: a refused device leaves no half-set memory behind.
    CDeviceInfo fresh;
    std::string freshName;
    Refusal refusal;
    try {
        const std::lock_guard<std::mutex> lock(mutex_);
        refusal = LookupInto(*document_, identifier, fresh, freshName);
    } catch (const xercesc::DOMException&) {
        refusal = Refuse(CatalogueLookup::Unreadable, "the catalogue cannot be searched");
    } catch (const xercesc::XMLException&) {
        refusal = Refuse(CatalogueLookup::Unreadable, "the catalogue cannot be searched");
    } catch (const std::bad_alloc&) {
        refusal = Refuse(CatalogueLookup::Unreadable, "not enough memory for the catalogue");
    }
    if (cause != nullptr) *cause = refusal.cause;
    if (refusal.code != CatalogueLookup::Found) return refusal.code;
    for (int k = 0; k < 3; ++k) device.images[k].Swap(fresh.images[k]);
    device.bootStart = fresh.bootStart;
    device.bootEnd = fresh.bootEnd;
    name = std::move(freshName);
    return CatalogueLookup::Found;
}

CatalogueLookup LookupDevice(const std::string& cataloguePath, const std::string& identifier,
                             CDeviceInfo& device, std::string& name, std::string* cause) {
    std::string error;
    const auto catalogue = DeviceCatalogue::Read(cataloguePath, &error);
    if (!catalogue) {
        if (cause != nullptr) *cause = error;
        return CatalogueLookup::Unreadable;
    }
    return catalogue->Lookup(identifier, device, name, cause);
}
