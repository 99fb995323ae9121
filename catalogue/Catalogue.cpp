#include "catalogue/Catalogue.h"

#include <array>
#include <cstdint>

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

// A protected range must cover whole rows of the memory it sits in.
bool CoversWholeRows(std::uint32_t first, std::uint32_t last, std::int32_t instructionsPerRow) {
    const std::int64_t rowUnits = 2 * std::int64_t{instructionsPerRow};
    if (rowUnits <= 0) return false;
    return first % rowUnits == 0 && (std::int64_t{last} + 2) % rowUnits == 0;
}

int MarkProtectedRanges(CXmlDocument& memory, CMemoryImage& image) {
    const int count = memory.CountElements("protected");
    DOMNodeList* ranges = memory.FindElements("protected");
    const std::int32_t instructionsPerRow =
        ParseCatalogueDecimal(memory.GetAttributeText("instructionxrow"));
    for (int j = 0; j < count; ++j) {
        const DOMElement* range = AsElement(ranges->item(static_cast<XMLSize_t>(j)));
        if (range == nullptr) return kCatalogueProtectedMissing;
        const std::uint32_t first =
            ParseCatalogueHex(memory.GetAttributeText("startaddress", range));
        const std::uint32_t last = ParseCatalogueHex(memory.GetAttributeText("endaddress", range));
        if (!CoversWholeRows(first, last, instructionsPerRow)) return kCatalogueProtectedNotOnRows;
        if (image.MarkProtected(first, last) < 0) return kCatalogueProtectedOutside;
    }
    return kCatalogueFound;
}

// Fills one image from its memory element; a reversed or oversized range is refused as an
// unreadable catalogue before the image is touched.
int ReadMemory(CXmlDocument& device, const char* tagName, const std::string& rowsPerPage,
               CMemoryImage& image, CDeviceInfo& info, bool isCode) {
    const DOMElement* element = FirstElement(device, tagName);
    if (element == nullptr) {
        image.present = false;
        return kCatalogueFound;
    }
    const std::uint32_t start = ParseCatalogueHex(device.GetAttributeText("startaddress", element));
    const std::uint32_t end = ParseCatalogueHex(device.GetAttributeText("endaddress", element));
    const std::int32_t instructionsPerRow =
        ParseCatalogueDecimal(device.GetAttributeText("instructionxrow", element));
    if (end < start || end > kLastProgramAddress) return kCatalogueUnreadable;
    image.present = true;
    image.instructionsPerRow = instructionsPerRow;
    image.rowsPerPage = ParseCatalogueDecimal(rowsPerPage);
    image.SetRange(start, end);

    CXmlDocument memory(element);
    if (isCode) {
        const DOMElement* bootloader = FirstElement(memory, "bootloader");
        if (bootloader == nullptr) return kCatalogueNoBootloader;
        info.bootStart = ParseCatalogueHex(memory.GetAttributeText("startaddress", bootloader));
        info.bootEnd = ParseCatalogueHex(memory.GetAttributeText("endaddress", bootloader));
    }
    return MarkProtectedRanges(memory, image);
}

}  // namespace

int LookupDevice(const std::string& cataloguePath, const std::string& identifier,
                 CDeviceInfo& device, std::string& name) {
    CXmlDocument catalogue;
    if (catalogue.Load(cataloguePath) != 1) return kCatalogueUnreadable;
    const DOMElement* found = FindDevice(catalogue, identifier);
    if (found == nullptr) return kCatalogueDeviceNotFound;

    std::string deviceName = catalogue.GetAttributeText("name", found);
    if (deviceName.size() > kLongestName) return kCatalogueUnreadable;
    const std::string rowsPerPage = catalogue.GetAttributeText("rowsxpage", found);

    CXmlDocument deviceDocument(found);
    static constexpr std::array<const char*, 3> kMemories = {"memcode", "memdata", "memconfig"};
    for (int k = 0; k < 3; ++k) {
        const int result = ReadMemory(deviceDocument, kMemories[k], rowsPerPage, device.images[k],
                                      device, k == CDeviceInfo::kCode);
        if (result != kCatalogueFound) return result;
    }
    name = std::move(deviceName);
    return kCatalogueFound;
}
