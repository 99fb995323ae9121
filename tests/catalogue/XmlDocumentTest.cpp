#include <gtest/gtest.h>

#include <chrono>

#include "catalogue/XmlDocument.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::TempDir;

const char* kTwoDevices = R"(<?xml version="1.0"?>
<list>
  <device id="0x0001" name="outer">
    <memcode startaddress="0x0" empty=""><device id="0x0002"/></memcode>
  </device>
  <device id="0x0003"/>
</list>)";

TEST(XmlDocument, ElementCopySearchesThatSubtreeOnly) {
    TempDir dir;
    CXmlDocument catalogue;
    ASSERT_EQ(catalogue.Load(dir.Write("c.xml", kTwoDevices).string()), 1);
    EXPECT_EQ(catalogue.CountElements("device"), 3);
    EXPECT_EQ(catalogue.CountElements(nullptr), 0);
    EXPECT_EQ(catalogue.FindElements(nullptr), nullptr);

    auto* first = static_cast<xercesc::DOMElement*>(catalogue.FindElements("device")->item(0));
    CXmlDocument device(first);
    EXPECT_EQ(device.CountElements("device"), 2);
    EXPECT_EQ(device.CountElements("memcode"), 1);
    EXPECT_EQ(device.GetAttributeText("name"), "outer");
    EXPECT_EQ(device.GetAttributeText("id", device.FindElements("device")->item(1)), "0x0002");
}

TEST(XmlDocument, AttributeTextRecordsWhyItIsMissing) {
    TempDir dir;
    CXmlDocument catalogue;
    ASSERT_EQ(catalogue.Load(dir.Write("c.xml", kTwoDevices).string()), 1);
    xercesc::DOMNode* memcode = catalogue.FindElements("memcode")->item(0);

    EXPECT_EQ(catalogue.GetAttributeText("absent", memcode), "");
    EXPECT_EQ(catalogue.LastError(), "Node does not contain an attribute named absent");
    catalogue.GetAttributeText("startaddress", memcode);
    EXPECT_EQ(catalogue.GetAttributeText("empty", memcode), "");
    EXPECT_EQ(catalogue.LastError(), "Node does not contain an attribute named absent");

    EXPECT_EQ(catalogue.GetAttributeText("id", memcode->getFirstChild()->getOwnerDocument()), "");
    EXPECT_EQ(catalogue.LastError(), "Node does not contain attributes");
}

TEST(XmlDocument, NullElementGivesAnEmptyDocument) {
    CXmlDocument document(nullptr);
    EXPECT_EQ(document.LastError(), "Unable to set NULL node");
    EXPECT_EQ(document.CountElements("ROOT"), 1);
}

TEST(XmlDocument, FailedLoadKeepsTheEarlierDocumentAndSecondLoadReplacesIt) {
    TempDir dir;
    CXmlDocument document;
    ASSERT_EQ(document.Load(dir.Write("a.xml", kTwoDevices).string()), 1);

    testing::internal::CaptureStdout();
    EXPECT_EQ(document.Load(dir.Write("bad.xml", "<list><device></list>").string()), -1);
    EXPECT_EQ(document.Load((dir.path() / "missing.xml").string()), -1);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("Unexpected Exception \n"), std::string::npos) << printed;
    EXPECT_EQ(document.CountElements("device"), 3);

    ASSERT_EQ(document.Load(dir.Write("b.xml", "<other><device/></other>").string()), 1);
    EXPECT_EQ(document.CountElements("device"), 1);
    EXPECT_EQ(document.CountElements("other"), 1);
}

// Catalogues may come from anyone: nothing outside the file is fetched and entity
// expansion is bounded, so each of these fails quickly instead of leaking or hanging.
TEST(XmlDocument, HostileCataloguesFailFast) {
    TempDir dir;
    dir.Write("near.txt", "secret");
    const std::string laughs =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE l [\n<!ENTITY a \"lol\">\n"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
        "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">\n"
        "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">\n"
        "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">\n"
        "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">\n"
        "<!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">\n"
        "<!ENTITY i \"&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;\">\n]>\n";
    const std::vector<std::string> hostile = {
        laughs + "<l><device id=\"&i;\"/></l>",
        laughs + "<l>&i;</l>",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE l [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n"
        "<l><device id=\"0x0001\">&x;</device></l>",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE l [<!ENTITY x SYSTEM \"near.txt\">]>\n<l>&x;</l>",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE l SYSTEM \"http://192.0.2.1/list.dtd\">\n<l/>",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE l [<!ENTITY % p SYSTEM \"http://192.0.2.1/p\"> %p;]>"
        "\n<l/>",
    };
    testing::internal::CaptureStdout();
    for (std::size_t i = 0; i < hostile.size(); ++i) {
        const auto started = std::chrono::steady_clock::now();
        CXmlDocument document;
        EXPECT_EQ(document.Load(dir.Write("h.xml", hostile[i]).string()), -1) << "case " << i;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    }
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Unexpected Exception \n"),
              std::string::npos);
}

TEST(XmlDocument, ValidatingWithoutGrammarStillLoads) {
    TempDir dir;
    CXmlDocument document;
    const std::string withInternalSubset =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE l [<!ENTITY v \"0x0101\">]>\n"
        "<l xmlns:x=\"urn:example\"><device id=\"&v;\" x:note=\"n\"/></l>";
    ASSERT_EQ(document.Load(dir.Write("ok.xml", withInternalSubset).string()), 1);
    EXPECT_EQ(document.GetAttributeText("id", document.FindElements("device")->item(0)), "0x0101");
}

}  // namespace
