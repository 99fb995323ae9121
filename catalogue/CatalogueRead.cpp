#include <new>
#include <xercesc/dom/DOMException.hpp>
#include <xercesc/util/XMLException.hpp>

#include "catalogue/Catalogue.h"
#include "catalogue/XmlDocument.h"

DeviceCatalogue::DeviceCatalogue(std::string path, std::unique_ptr<CXmlDocument> document)
    : path_(std::move(path)), document_(std::move(document)) {}

DeviceCatalogue::~DeviceCatalogue() = default;

std::shared_ptr<const DeviceCatalogue> DeviceCatalogue::Read(const std::string& path,
                                                             std::string* error) {
    std::string why;
    try {
        auto document = std::make_unique<CXmlDocument>();
        if (document->Load(path) == 1) {
            return std::shared_ptr<const DeviceCatalogue>(
                new DeviceCatalogue(path, std::move(document)));
        }
        why =
            document->LastError().empty() ? path + " is no well-formed XML" : document->LastError();
    } catch (const xercesc::DOMException&) {
        why = "the catalogue cannot be searched";
    } catch (const xercesc::XMLException&) {
        why = "the catalogue cannot be searched";
    } catch (const std::bad_alloc&) {
        why = "not enough memory for the catalogue";
    }
    if (error != nullptr) *error = why;
    return nullptr;
}
