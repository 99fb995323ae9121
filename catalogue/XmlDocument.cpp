#include "catalogue/XmlDocument.h"

#include <cstring>
#include <iostream>
#include <mutex>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLException.hpp>

using namespace xercesc;

namespace {

// Xerces counts initialisations, but the count itself is not guarded.
std::mutex& PlatformMutex() {
    static std::mutex mutex;
    return mutex;
}

// Catalogues this small never need more; billion-laughs documents hit it at once.
constexpr XMLSize_t kEntityExpansionLimit = 100;

class Utf16Text {
public:
    explicit Utf16Text(const char* text)
        : transcoded(reinterpret_cast<const XMLByte*>(text), std::strlen(text), "UTF-8") {}
    const XMLCh* get() const { return transcoded.str(); }

private:
    TranscodeFromStr transcoded;
};

std::string Utf8(const XMLCh* text) {
    if (text == nullptr) return {};
    TranscodeToStr transcoded(text, "UTF-8");
    return reinterpret_cast<const char*>(transcoded.str());
}

// Copies `source` into `target` as its root element.
void CopyAsRoot(DOMDocument* target, const DOMElement* source) {
    auto* imported = static_cast<DOMElement*>(target->importNode(source, true));
    auto* rootElement = static_cast<DOMElement*>(
        target->renameNode(target->getDocumentElement(), nullptr, imported->getTagName()));
    DOMNamedNodeMap* attributes = imported->getAttributes();
    for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
        DOMNode* attribute = attributes->item(i);
        rootElement->setAttribute(attribute->getNodeName(), attribute->getNodeValue());
    }
    for (DOMNode* child = imported->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        DOMNode* copy = target->importNode(child, true);
        copy->normalize();
        rootElement->appendChild(copy);
    }
    rootElement->normalize();
}

}  // namespace

InputSource* CXmlDocument::RefusingEntityResolver::resolveEntity(XMLResourceIdentifier*) {
    throw SAXException("external entities and DTDs are not loaded");
}

CXmlDocument::CXmlDocument() {
    try {
        std::lock_guard<std::mutex> lock(PlatformMutex());
        XMLPlatformUtils::Initialize();
        platformReady = true;
    } catch (const XMLException& error) {
        lastError = Utf8(error.getMessage());
        return;
    }
    implementation = DOMImplementationRegistry::getDOMImplementation(Utf16Text("Core").get());
    document = CreateEmptyDocument();
    root = document->getDocumentElement();
}

CXmlDocument::CXmlDocument(const DOMElement* element) : CXmlDocument() {
    if (document == nullptr) return;
    if (element == nullptr) {
        lastError = "Unable to set NULL node";
        return;
    }
    ImportElement(element);
}

CXmlDocument::~CXmlDocument() {
    parser.reset();
    errorHandler.reset();
    entityResolver.reset();
    securityManager.reset();
    if (document != nullptr) document->release();
    if (platformReady) {
        std::lock_guard<std::mutex> lock(PlatformMutex());
        XMLPlatformUtils::Terminate();
    }
}

DOMDocument* CXmlDocument::CreateEmptyDocument() {
    DOMDocument* created = implementation->createDocument(nullptr, Utf16Text("ROOT").get(), nullptr,
                                                          XMLPlatformUtils::fgMemoryManager);
    created->setXmlVersion(Utf16Text("1.0").get());
    return created;
}

int CXmlDocument::ImportElement(const DOMElement* element) {
    if (element == nullptr) {
        lastError = "Error importing void node";
        return -1;
    }
    DOMDocument* temporary = CreateEmptyDocument();
    CopyAsRoot(temporary, element);
    document->release();
    document = CreateEmptyDocument();
    CopyAsRoot(document, temporary->getDocumentElement());
    root = document->getDocumentElement();
    temporary->release();
    return 1;
}

void CXmlDocument::CreateParser() {
    parser = std::make_unique<XercesDOMParser>(nullptr, XMLPlatformUtils::fgMemoryManager);
    parser->setValidationScheme(XercesDOMParser::Val_Always);
    parser->setDoNamespaces(true);
    parser->setLoadExternalDTD(false);
    parser->setDisableDefaultEntityResolution(true);
    entityResolver = std::make_unique<RefusingEntityResolver>();
    parser->setXMLEntityResolver(entityResolver.get());
    securityManager = std::make_unique<SecurityManager>();
    securityManager->setEntityExpansionLimit(kEntityExpansionLimit);
    parser->setSecurityManager(securityManager.get());
    errorHandler = std::make_unique<HandlerBase>();
    parser->setErrorHandler(errorHandler.get());
}

int CXmlDocument::Load(const std::string& path) {
    if (document == nullptr) return -1;
    if (!parser) CreateParser();
    try {
        parser->parse(path.c_str());
    } catch (const XMLException& error) {
        std::cout << "Exception message is: \n" << Utf8(error.getMessage()) << "\n";
        return -1;
    } catch (const DOMException& error) {
        std::cout << "Exception message is: \n" << Utf8(error.getMessage()) << "\n";
        return -1;
    } catch (...) {
        std::cout << "Unexpected Exception \n";
        return -1;
    }
    DOMDocument* parsed = parser->getDocument();
    return ImportElement(parsed == nullptr ? nullptr : parsed->getDocumentElement());
}

DOMNodeList* CXmlDocument::FindElements(const char* tagName) {
    if (tagName == nullptr || document == nullptr) return nullptr;
    return document->getElementsByTagName(Utf16Text(tagName).get());
}

int CXmlDocument::CountElements(const char* tagName) {
    DOMNodeList* list = FindElements(tagName);
    return list == nullptr ? 0 : static_cast<int>(list->getLength());
}

std::string CXmlDocument::GetAttributeText(const char* name, const DOMNode* element) {
    const DOMNode* node = element != nullptr ? element : root;
    if (node == nullptr || node->getAttributes() == nullptr) {
        lastError = "Node does not contain attributes";
        return {};
    }
    const DOMNode* attribute = node->getAttributes()->getNamedItem(Utf16Text(name).get());
    if (attribute == nullptr) {
        lastError = std::string("Node does not contain an attribute named ") + name;
        return {};
    }
    return Utf8(attribute->getNodeValue());
}
