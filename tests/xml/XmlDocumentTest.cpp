#include "XmlReadBack.h"

#include <units/xml/XmlDocument.h>

#include <gtest/gtest.h>
#include <xercesc/framework/MemBufInputSource.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

namespace XML = Orv::Pim::Core::Service::XML;
using orv_testing::ReadXmlFile;

// A file in the temporary folder named after the running test, so that tests running side by
// side never share one; removed at the end of the test.
struct TempFile {
    explicit TempFile(const std::string& suffix = ".xml")
        : path(::testing::TempDir() + "orv_xml_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + suffix) {
        std::remove(path.c_str());
    }
    ~TempFile() { std::remove(path.c_str()); }
    const std::string path;
};

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void ExpectXmllintAccepts(const std::string& path) {
    if (!orv_testing::HaveXmlLint()) {
        GTEST_SKIP() << "xmllint, a Linux program, is not installed or this is Windows";
    }
    EXPECT_TRUE(orv_testing::XmlLintAccepts(path)) << path;
}

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

TEST(XmlDocument, WritesDeclarationAndIndentedElementsInCreationOrder) {
    TempFile file;
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

    document.write(file.path.c_str(), nullptr, nullptr);

    EXPECT_EQ(ReadBytes(file.path), kDeclaration + "<UnitCatalog>\n"
                                                   "  <Dimension baseUnit=\"m\" name=\"Length\">\n"
                                                   "    <Measurement name=\"Depth\"/>\n"
                                                   "    <Measurement name=\"Altitude\"/>\n"
                                                   "    <Unit name=\"ft\">\n"
                                                   "      <Alias name=\"foot\"/>\n"
                                                   "    </Unit>\n"
                                                   "  </Dimension>\n"
                                                   "  <UnitSystem name=\"Metric\"/>\n"
                                                   "</UnitCatalog>\n");
    ExpectXmllintAccepts(file.path);
}

// Non-ASCII text is written as UTF-8 bytes, not as references; setting an attribute again
// replaces its value.
TEST(XmlDocument, AttributeValuesSurviveARoundTripThroughAParser) {
    TempFile file;
    const std::vector<std::string> values = {"a & b",
                                             "x < y > z",
                                             "say \"hi\"",
                                             "it's",
                                             "tab\there",
                                             "two\nlines",
                                             "cr\rhere",
                                             "",
                                             "caf\xc3\xa9 \xe4\xb8\xad \xf0\x9f\x98\x80",
                                             "&amp; is not re-read as &"};
    XML::XMLDocument document("Ma\xc3\x9f");
    for (const std::string& value : values) {
        XML::XMLElement(*document.m_pRoot, "V").setAttribute("v", value.c_str());
    }
    {
        XML::XMLElement replaced(*document.m_pRoot, "V");
        replaced.setAttribute("v", "first");
        replaced.setAttribute("v", "second");
    }
    document.write(file.path.c_str(), nullptr, nullptr);

    const std::string text = ReadBytes(file.path);
    for (const char* written : {"v=\"x &lt; y &gt; z\"", "v=\"say &quot;hi&quot;\"",
                                "v=\"it&apos;s\"", "caf\xc3\xa9 \xe4\xb8\xad \xf0\x9f\x98\x80"}) {
        EXPECT_NE(text.find(written), std::string::npos) << written << " in " << text;
    }
    const orv_testing::XmlNode root = ReadXmlFile(file.path);
    EXPECT_EQ(root.name, "Ma\xc3\x9f");
    ASSERT_EQ(root.children.size(), values.size() + 1);
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(root.children[i].Attribute("v"), values[i]) << "value " << i;
    }
    EXPECT_EQ(root.children.back().attributes,
              (std::vector<std::pair<std::string, std::string>>{{"v", "second"}}));
    ExpectXmllintAccepts(file.path);
}

TEST(XmlDocument, RefusesInvalidNamesAndValuesWithAClearMessageAndStaysUsable) {
    XML::XMLDocument document("Root");
    XML::XMLElement& root = *document.m_pRoot;
    XML::XMLElement good(root, "Good");
    const std::vector<std::pair<std::function<void()>, std::string>> refusals = {
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
        std::string message = "(nothing thrown)";
        try {
            action();
        } catch (const std::runtime_error& e) {
            message = e.what();
        }
        EXPECT_NE(message.find(fragment), std::string::npos) << message;
    }

    // Nothing half-made was left behind: the document holds the one good element only.
    TempFile file;
    document.write(file.path.c_str(), nullptr, nullptr);
    EXPECT_EQ(ReadBytes(file.path), kDeclaration + "<Root>\n  <Good/>\n</Root>\n");
}

// A path that cannot be written, and an encoding that does not exist, are refused with a message
// naming the path; no file is left behind.
TEST(XmlDocument, UnwritablePathsAndUnknownEncodingsThrowAMessageNamingThePath) {
    XML::XMLDocument document("Root");
    TempFile file;
    const std::pair<std::string, const char*> cases[] = {
        {::testing::TempDir() + "orv_xml_no_such_folder/out.xml", nullptr},
        {file.path, "NO-SUCH-ENCODING"}};
    for (const auto& [path, encoding] : cases) {
        try {
            document.write(path.c_str(), nullptr, encoding);
            ADD_FAILURE() << "no exception for " << path;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
        EXPECT_FALSE(std::ifstream(path).good()) << path;
    }
}

// A character that the encoding lacks becomes a reference; UTF-16 starts with a byte order mark.
TEST(XmlDocument, WritesInTheRequestedEncoding) {
    TempFile file;
    XML::XMLDocument document("Root");
    XML::XMLElement(*document.m_pRoot, "E").setAttribute("v", "caf\xc3\xa9 \xe2\x82\xac");

    document.write(file.path.c_str(), nullptr, "ISO-8859-1");
    EXPECT_EQ(ReadBytes(file.path), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                                    "<Root>\n  <E v=\"caf\xe9 &#x20AC;\"/>\n</Root>\n");
    EXPECT_EQ(ReadXmlFile(file.path).children.at(0).Attribute("v"), "caf\xc3\xa9 \xe2\x82\xac");
    ExpectXmllintAccepts(file.path);

    document.write(file.path.c_str(), nullptr, "UTF-16");
    const std::string wide = ReadBytes(file.path);
    EXPECT_TRUE(wide.rfind("\xFF\xFE", 0) == 0 || wide.rfind("\xFE\xFF", 0) == 0);
    EXPECT_EQ(ReadXmlFile(file.path).children.at(0).Attribute("v"), "caf\xc3\xa9 \xe2\x82\xac");
    ExpectXmllintAccepts(file.path);
}

// Mixed content is written inline so that no whitespace is added to it; element-only content is
// indented. A CDATA section holding its own end marker is split in two.
TEST(XmlDocument, WritesAnotherDocumentKeepingTextAndCommentsAsTheyAre) {
    XML::Initialise::Init();
    const std::string source = "<?xml version=\"1.0\"?>\n<!--head-->\n"
                               "<r><p>one &amp; <b>two</b> &lt;three&gt;</p><q><?pi data?></q></r>";
    xercesc::XercesDOMParser parser;
    parser.parse(xercesc::MemBufInputSource(reinterpret_cast<const XMLByte*>(source.data()),
                                            source.size(), "in-memory"));
    xercesc::DOMDocument* foreign = parser.getDocument();
    const XMLCh cdata[] = {'x', ']', ']', '>', 'y', 0}; // can only be made through the DOM
    foreign->getDocumentElement()->getLastChild()->appendChild(foreign->createCDATASection(cdata));
    TempFile file;

    XML::XMLDocument("Unused").write(file.path.c_str(), foreign, nullptr);

    EXPECT_EQ(ReadBytes(file.path), kDeclaration +
                                        "<!--head-->\n"
                                        "<r>\n"
                                        "  <p>one &amp; <b>two</b> &lt;three&gt;</p>\n"
                                        "  <q><?pi data?><![CDATA[x]]]]><![CDATA[>y]]></q>\n"
                                        "</r>\n");
    ExpectXmllintAccepts(file.path);
}

TEST(XmlInitialise, MayBeCalledAnyNumberOfTimesFromManyThreads) {
    std::vector<std::thread> threads;
    std::vector<std::string> texts(4);
    for (std::size_t t = 0; t < texts.size(); ++t) {
        threads.emplace_back([t, &texts] {
            for (int i = 0; i < 50; ++i) {
                XML::Initialise::Init();
            }
            XML::XMLDocument document("Root");
            TempFile file("_" + std::to_string(t) + ".xml");
            document.write(file.path.c_str(), nullptr, nullptr);
            texts[t] = ReadBytes(file.path);
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(texts, std::vector<std::string>(4, kDeclaration + "<Root/>\n"));
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
