// XML documents: the exact text they write, what they refuse, and Xerces' life in the process.
#include "OrvTesting.h"
#include "XmlReadBack.h"

#include <units/xml/XmlDocument.h>

#include <xercesc/framework/MemBufInputSource.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace {

namespace XML = Orv::Pim::Core::Service::XML;

struct StringSink final : XML::IXmlSink {
    std::string text;
    void Write(const char* data, std::size_t size) override { text.append(data, size); }
};

std::string TextOf(XML::XMLDocument& document, const char* encoding = nullptr,
                   xercesc::DOMDocument* other = nullptr) {
    StringSink sink;
    document.write(sink, other, encoding);
    return sink.text;
}

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// Attributes come sorted by name, as Xerces keeps them.
TEST(XmlDocument, WritesTheDeclarationThenElementsIndentedInCreationOrder) {
    XML::XMLDocument document("UnitCatalog");
    {
        XML::XMLElement dimension(*document.m_pRoot, "Dimension");
        dimension.setAttribute("name", "Length");
        dimension.setAttribute("baseUnit", "m");
        XML::XMLElement(dimension, "Measurement").setAttribute("name", "Depth");
        XML::XMLElement(dimension, "Measurement").setAttribute("name", "Altitude");
        XML::XMLElement unit(dimension, "Unit");
        unit.setAttribute("name", "ft");
        XML::XMLElement(unit, "Alias").setAttribute("name", "foot");
    }
    XML::XMLElement(*document.m_pRoot, "UnitSystem").setAttribute("name", "Metric");

    EXPECT_EQ(TextOf(document), kDeclaration + "<UnitCatalog>\n"
                                               "  <Dimension baseUnit=\"m\" name=\"Length\">\n"
                                               "    <Measurement name=\"Depth\"/>\n"
                                               "    <Measurement name=\"Altitude\"/>\n"
                                               "    <Unit name=\"ft\">\n"
                                               "      <Alias name=\"foot\"/>\n"
                                               "    </Unit>\n"
                                               "  </Dimension>\n"
                                               "  <UnitSystem name=\"Metric\"/>\n"
                                               "</UnitCatalog>\n");
}

// Markup characters and the white space a parser would normalise become references; other text,
// UTF-8 included, stays as it is. Setting an attribute again replaces its value.
TEST(XmlDocument, EscapesMarkupAndWhiteSpaceThatAParserWouldChangeInAttributeValues) {
    const std::pair<std::string, std::string> values[] = {
        {"a & b", "a &amp; b"},
        {"x < y > z", "x &lt; y &gt; z"},
        {"say \"hi\", it's", "say &quot;hi&quot;, it&apos;s"},
        {"tab\tlf\ncr\r", "tab&#x9;lf&#xA;cr&#xD;"},
        {"", ""},
        {"caf\xc3\xa9 \xf0\x9f\x98\x80", "caf\xc3\xa9 \xf0\x9f\x98\x80"},
        {"&amp;", "&amp;amp;"},
    };
    XML::XMLDocument document("Ma\xc3\x9f");
    std::string expected = kDeclaration + "<Ma\xc3\x9f>\n";
    for (const auto& [value, written] : values) {
        XML::XMLElement(*document.m_pRoot, "V").setAttribute("v", value.c_str());
        expected += "  <V v=\"" + written + "\"/>\n";
    }
    {
        XML::XMLElement replaced(*document.m_pRoot, "V");
        replaced.setAttribute("v", "first");
        replaced.setAttribute("v", "second");
    }
    EXPECT_EQ(TextOf(document), expected + "  <V v=\"second\"/>\n</Ma\xc3\x9f>\n");
}

// A character that the encoding lacks becomes a reference; UTF-16 starts with a byte order mark.
TEST(XmlDocument, WritesInTheRequestedEncoding) {
    XML::XMLDocument document("Root");
    XML::XMLElement(*document.m_pRoot, "E").setAttribute("v", "caf\xc3\xa9 \xe2\x82\xac");

    EXPECT_EQ(TextOf(document, "ISO-8859-1"), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                                              "<Root>\n  <E v=\"caf\xe9 &#x20AC;\"/>\n</Root>\n");
    EXPECT_EQ(TextOf(document, "UTF-16").substr(0, 4), std::string("\xFF\xFE<\0", 4));
}

// Mixed content is written inline so that no white space is added to it; element-only content is
// indented. A CDATA section holding its own end marker is split in two.
TEST(XmlDocument, WritesAnotherDocumentKeepingItsTextAsItIs) {
    XML::Initialise::Init();
    const std::string source = "<?xml version=\"1.0\"?>\n<!--head-->\n"
                               "<r><p>one &amp; <b>two</b> &lt;three&gt;</p><q><?pi data?></q></r>";
    xercesc::XercesDOMParser parser;
    parser.parse(xercesc::MemBufInputSource(reinterpret_cast<const XMLByte*>(source.data()),
                                            source.size(), "in-memory"));
    xercesc::DOMDocument* other = parser.getDocument();
    const XMLCh cdata[] = {'x', ']', ']', '>', 'y', 0}; // can only be made through the DOM
    other->getDocumentElement()->getLastChild()->appendChild(other->createCDATASection(cdata));
    XML::XMLDocument unused("Unused");

    EXPECT_EQ(TextOf(unused, nullptr, other),
              kDeclaration + "<!--head-->\n"
                             "<r>\n"
                             "  <p>one &amp; <b>two</b> &lt;three&gt;</p>\n"
                             "  <q><?pi data?><![CDATA[x]]]]><![CDATA[>y]]></q>\n"
                             "</r>\n");
}

TEST(XmlDocument, RefusesInvalidNamesAndValuesWithAClearMessageAndStaysUsable) {
    XML::XMLDocument document("Root");
    XML::XMLElement& root = *document.m_pRoot;
    XML::XMLElement good(root, "Good");
    const std::pair<std::function<void()>, std::string> refusals[] = {
        {[&] { XML::XMLElement(root, "1st"); }, "'1st'"},
        {[&] { XML::XMLElement(root, "a b"); }, "'a b'"},
        {[&] { XML::XMLElement(root, ""); }, "element name"},
        {[&] { XML::XMLElement(root, nullptr); }, "null"},
        {[&] { XML::XMLElement(root, "bad\xff"); }, "UTF-8"},
        {[] { XML::XMLDocument("<Root>"); }, "'<Root>'"},
        {[&] { good.setAttribute("x=y", "v"); }, "'x=y'"},
        {[&] { good.setAttribute("ok", "\x01"); }, "U+0001"},
        {[&] { good.setAttribute("ok", nullptr); }, "'ok'"},
        {[&] { good.setAttribute("ok", "\xc3"); }, "UTF-8"},
    };
    for (const auto& [action, fragment] : refusals) {
        const std::string message = orv_testing::MessageOf<std::runtime_error>(action);
        EXPECT_NE(message.find(fragment), std::string::npos) << message;
    }
    EXPECT_EQ(TextOf(document), kDeclaration + "<Root>\n  <Good/>\n</Root>\n");
}

// A path that cannot be written, and an encoding that does not exist, are refused with a message
// naming the path, and leave no file; a sink gets nothing of a text that cannot be made, and what
// a sink throws reaches the caller.
TEST(XmlDocument, ThrowsWhenTheTextCannotBeWrittenLeavingNothingBehind) {
    XML::XMLDocument document("Root");
    const std::pair<std::string, const char*> cases[] = {
        {::testing::TempDir() + "orv_xml_no_such_folder/out.xml", nullptr},
        {::testing::TempDir() + "orv_xml_unknown_encoding.xml", "NO-SUCH-ENCODING"}};
    for (const auto& [path, encoding] : cases) {
        std::remove(path.c_str()); // what an earlier run may have left
        const std::string message = orv_testing::MessageOf<std::runtime_error>(
            [&, file = path, how = encoding] { document.write(file.c_str(), nullptr, how); });
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_FALSE(std::ifstream(path).good()) << path;
    }
    StringSink untouched;
    EXPECT_THROW(document.write(untouched, nullptr, "NO-SUCH-ENCODING"), std::runtime_error);
    EXPECT_EQ(untouched.text, "");
    struct FullSink final : XML::IXmlSink {
        void Write(const char*, std::size_t) override { throw std::length_error("full"); }
    } full;
    EXPECT_THROW(document.write(full, nullptr, nullptr), std::length_error);
}

TEST(XmlInitialise, DocumentOutlivingTheExitHandlerIsReleasedSafely) {
    // A fresh process, so that the document's holder is made before anything initialises
    // Xerces: it is then destroyed after the exit handler that the first use registers.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static std::unique_ptr<XML::XMLDocument> late;
            late = std::make_unique<XML::XMLDocument>("Late");
            XML::XMLElement(*late->m_pRoot, "Child").setAttribute("a", "b");
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
