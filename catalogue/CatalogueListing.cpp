#include <algorithm>
#include <cctype>
#include <new>
#include <xercesc/util/XMLException.hpp>

#include "catalogue/Catalogue.h"
#include "catalogue/XmlDocument.h"

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::optional<std::vector<CatalogueEntry>> ReadDeviceList(const std::string& cataloguePath) {
    CXmlDocument catalogue;
    if (catalogue.Load(cataloguePath) != 1) return std::nullopt;
    std::vector<CatalogueEntry> entries;
    const int count = catalogue.CountElements("device");
    xercesc::DOMNodeList* devices = catalogue.FindElements("device");
    for (int i = 0; i < count; ++i) {
        const xercesc::DOMNode* device = devices->item(static_cast<XMLSize_t>(i));
        entries.push_back(CatalogueEntry{catalogue.GetAttributeText("id", device),
                                         catalogue.GetAttributeText("name", device)});
    }
    return entries;
}

}  // namespace

std::optional<std::vector<CatalogueEntry>> ListCatalogueDevices(const std::string& cataloguePath) {
    try {
        return ReadDeviceList(cataloguePath);
    } catch (const xercesc::DOMException&) {
    } catch (const xercesc::XMLException&) {
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}

std::optional<std::string> ResolveDeviceIdentifier(const std::string& cataloguePath,
                                                   const std::string& idOrName) {
    const auto entries = ListCatalogueDevices(cataloguePath);
    if (!entries) return std::nullopt;
    // An exact identifier wins over a name, as the lookup itself compares identifiers.
    for (const CatalogueEntry& entry : *entries) {
        if (!entry.id.empty() && entry.id == idOrName) return entry.id;
    }
    for (const CatalogueEntry& entry : *entries) {
        if (!entry.id.empty() && SameIgnoringCase(entry.name, idOrName)) return entry.id;
    }
    return std::nullopt;
}
