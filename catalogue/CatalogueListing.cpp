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

}  // namespace

std::vector<CatalogueEntry> DeviceCatalogue::Devices() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::vector<CatalogueEntry> entries;
    const int count = document_->CountElements("device");
    xercesc::DOMNodeList* devices = document_->FindElements("device");
    for (int i = 0; i < count; ++i) {
        const xercesc::DOMNode* device = devices->item(static_cast<XMLSize_t>(i));
        entries.push_back(CatalogueEntry{document_->GetAttributeText("id", device),
                                         document_->GetAttributeText("name", device)});
    }
    return entries;
}

std::optional<std::string> DeviceCatalogue::Resolve(const std::string& idOrName) const {
    const std::vector<CatalogueEntry> entries = Devices();
    // An exact identifier wins over a name, as the lookup itself compares identifiers.
    for (const CatalogueEntry& entry : entries) {
        if (!entry.id.empty() && entry.id == idOrName) return entry.id;
    }
    for (const CatalogueEntry& entry : entries) {
        if (!entry.id.empty() && SameIgnoringCase(entry.name, idOrName)) return entry.id;
    }
    return std::nullopt;
}

std::optional<std::vector<CatalogueEntry>> ListCatalogueDevices(const std::string& cataloguePath) {
    const auto catalogue = DeviceCatalogue::Read(cataloguePath);
    if (!catalogue) return std::nullopt;
    try {
        return catalogue->Devices();
    } catch (const xercesc::DOMException&) {
    } catch (const xercesc::XMLException&) {
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}

std::optional<std::string> ResolveDeviceIdentifier(const std::string& cataloguePath,
                                                   const std::string& idOrName) {
    const auto catalogue = DeviceCatalogue::Read(cataloguePath);
    if (!catalogue) return std::nullopt;
    try {
        return catalogue->Resolve(idOrName);
    } catch (const xercesc::DOMException&) {
    } catch (const xercesc::XMLException&) {
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}
