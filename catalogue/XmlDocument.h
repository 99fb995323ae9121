#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include <xercesc/dom/DOM.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/HandlerBase.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>

// A private DOM document whose root is a copy of one element (or of a parsed file's root),
// searched by tag name. An object built from another document's element searches exactly
// that element's subtree. Texts cross this layer as UTF-8.
class CXmlDocument {
public:
    CXmlDocument();
    // A copy of `element` becomes the root; a null element leaves an empty document.
    explicit CXmlDocument(const xercesc::DOMElement* element);
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    // 1 when the file was parsed and its root copied in; -1 otherwise (the document stays).
    // Only a regular file of at most kLargestFile bytes is read, and entity references may
    // expand to kEntityByteBudget bytes in all: a hostile file is refused quickly and small.
    int Load(const std::string& path);

    static constexpr std::size_t kLargestFile = 256u << 10;
    static constexpr std::size_t kEntityByteBudget = 1u << 20;
    // Catalogues this small never need more expansions; billion-laughs documents hit it.
    static constexpr std::size_t kEntityExpansionLimit = 100;
    // All elements named `tagName` in the document, root included, in document order.
    // The list lives until the document is rebuilt or the object destroyed.
    xercesc::DOMNodeList* FindElements(const char* tagName);
    int CountElements(const char* tagName);
    // The line of the loaded file on which each element named `tagName` begins (where its
    // start tag ends), in the order FindElements lists them; empty for a document built from
    // an element.
    std::vector<std::uint64_t> ElementLines(const char* tagName) const;
    // The attribute's value, or empty text when the node has none (lastError says why).
    std::string GetAttributeText(const char* name, const xercesc::DOMNode* element = nullptr);

    const std::string& LastError() const { return lastError; }

private:
    // Refuses every external entity and DTD, so a catalogue never pulls in another file
    // or anything from the network.
    class RefusingEntityResolver : public xercesc::XMLEntityResolver {
    public:
        xercesc::InputSource* resolveEntity(
            xercesc::XMLResourceIdentifier* resourceIdentifier) override;
    };

    class BudgetedParser;

    xercesc::DOMDocument* CreateEmptyDocument();
    int ImportElement(const xercesc::DOMElement* element);
    void CreateParser();

    bool platformReady = false;
    xercesc::DOMImplementation* implementation = nullptr;
    xercesc::DOMDocument* document = nullptr;
    xercesc::DOMElement* root = nullptr;
    std::string lastError;
    std::unique_ptr<xercesc::SecurityManager> securityManager;
    std::unique_ptr<RefusingEntityResolver> entityResolver;
    std::unique_ptr<xercesc::HandlerBase> errorHandler;
    std::unique_ptr<BudgetedParser> parser;
    // Every element of the loaded file in document order: its name and its line.
    std::vector<std::pair<std::u16string, std::uint64_t>> elementLines;
};
