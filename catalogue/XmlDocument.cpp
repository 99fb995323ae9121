#include "catalogue/XmlDocument.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <mutex>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/internal/XMLScanner.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/validators/DTD/DTDEntityDecl.hpp>

#include "common/RegularFile.h"

using namespace xercesc;

namespace {

// Xerces counts initialisations, but the count itself is not guarded.
std::mutex& PlatformMutex() {
    static std::mutex mutex;
    return mutex;
}

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

// Thrown from inside the parse when an entity could expand beyond the budget.
struct EntityBudgetExceeded {};

// Reads the whole of a regular file of at most `limit` bytes. A FIFO or a terminal is refused
// at once instead of blocking the program.
bool ReadBoundedFile(const std::string& path, std::size_t limit, std::string& contents,
                     std::string& reason) {
    FileStamp stamp;
    const FilePtr file = OpenRegularFile(path, stamp, reason);
    if (!file) return false;
    const std::string tooLarge = path + " is larger than " + std::to_string(limit) + " bytes";
    if (static_cast<std::uint64_t>(stamp.size) > limit) {
        reason = tooLarge;
        return false;
    }
    contents.clear();
    char buffer[65536];
    // The file may grow while it is read: the limit holds for what is read, not what was seen.
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get())) {
        if (contents.size() + got > limit) {
            reason = tooLarge;
            return false;
        }
        contents.append(buffer, got);
    }
    if (std::ferror(file.get())) {
        reason = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// Copies `source` into `target` as its root element. The root keeps the source's namespace,
// so that a prefixed name stays a legal name.
void CopyAsRoot(DOMDocument* target, const DOMElement* source) {
    auto* imported = static_cast<DOMElement*>(target->importNode(source, true));
    auto* rootElement = static_cast<DOMElement*>(target->renameNode(
        target->getDocumentElement(), imported->getNamespaceURI(), imported->getTagName()));
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

// Refuses any entity whose value is longer than the budget's share of one expansion. The
// security manager bounds the number of expansions; with every value bounded as well, all
// expansions together stay within the byte budget, in attribute values as in content.
class CXmlDocument::BudgetedParser : public XercesDOMParser {
public:
    BudgetedParser() : XercesDOMParser(nullptr, XMLPlatformUtils::fgMemoryManager) {}

    void entityDecl(const DTDEntityDecl& declaration, const bool isPEDecl,
                    const bool isIgnored) override {
        if (declaration.getValueLen() > kEntityByteBudget / kEntityExpansionLimit) {
            throw EntityBudgetExceeded{};
        }
        XercesDOMParser::entityDecl(declaration, isPEDecl, isIgnored);
    }

    // Notes each element's name and line as the parse meets it, which is document order.
    void startElement(const XMLElementDecl& declaration, const unsigned int urlId,
                      const XMLCh* const prefix, const RefVectorOf<XMLAttr>& attributes,
                      const XMLSize_t attributeCount, const bool isEmpty,
                      const bool isRoot) override {
        XercesDOMParser::startElement(declaration, urlId, prefix, attributes, attributeCount,
                                      isEmpty, isRoot);
        const Locator* locator = getScanner()->getLocator();
        starts.emplace_back(std::u16string(declaration.getFullName()),
                            locator == nullptr ? 0 : locator->getLineNumber());
    }

    std::vector<std::pair<std::u16string, std::uint64_t>> starts;
};

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
    // Every copy is made before the private document is replaced, so that a DOM error on
    // the way leaves the object as it was.
    DOMDocument* temporary = CreateEmptyDocument();
    DOMDocument* rebuilt = nullptr;
    bool failed = false;
    try {
        CopyAsRoot(temporary, element);
        rebuilt = CreateEmptyDocument();
        CopyAsRoot(rebuilt, temporary->getDocumentElement());
    } catch (const DOMException& error) {
        lastError = Utf8(error.getMessage());
        failed = true;
    } catch (const XMLException& error) {
        lastError = Utf8(error.getMessage());
        failed = true;
    }
    temporary->release();
    if (failed) {
        if (rebuilt != nullptr) rebuilt->release();
        return -1;
    }
    document->release();
    document = rebuilt;
    root = document->getDocumentElement();
    return 1;
}

void CXmlDocument::CreateParser() {
    parser = std::make_unique<BudgetedParser>();
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
    std::string contents;
    if (!ReadBoundedFile(path, kLargestFile, contents, lastError)) return -1;
    if (!parser) CreateParser();
    try {
        const MemBufInputSource source(reinterpret_cast<const XMLByte*>(contents.data()),
                                       contents.size(), Utf16Text(path.c_str()).get());
        parser->starts.clear();
        parser->parse(source);
    } catch (const EntityBudgetExceeded&) {
        parser.reset();  // stopped inside a parse: the next load starts from a fresh parser
        lastError = "an entity is longer than " +
                    std::to_string(kEntityByteBudget / kEntityExpansionLimit) +
                    " bytes: its expansions could pass " + std::to_string(kEntityByteBudget) +
                    " bytes";
        std::cout << "Exception message is: \n" << lastError << "\n";
        return -1;
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
    const int imported = ImportElement(parsed == nullptr ? nullptr : parsed->getDocumentElement());
    if (imported == 1) elementLines = std::move(parser->starts);
    return imported;
}

std::vector<std::uint64_t> CXmlDocument::ElementLines(const char* tagName) const {
    std::vector<std::uint64_t> lines;
    if (tagName == nullptr) return lines;
    const std::u16string name(Utf16Text(tagName).get());
    for (const auto& [element, line] : elementLines) {
        if (element == name) lines.push_back(line);
    }
    return lines;
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
