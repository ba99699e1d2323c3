#include <units/interfaces/Xml.h>

#include <gtest/gtest.h>
#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/HandlerBase.hpp>
#include <xercesc/util/TransService.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace XML = Orv::Pim::Core::Service::XML;

// A file in the test's temporary folder, named after the running test so that tests running
// side by side never share one; removed at the end of the test.
class TempFile {
public:
    explicit TempFile(const std::string& suffix = ".xml") {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = ::testing::TempDir() + "orv_xml_" + info->test_suite_name() + "_" + info->name() +
                 suffix;
        std::remove(m_path.c_str());
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const char* c_str() const { return m_path.c_str(); }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool Exists(const std::string& path) {
    return std::ifstream(path).good();
}

std::string Utf8(const XMLCh* text) {
    if (text == nullptr || *text == 0) {
        return {};
    }
    xercesc::TranscodeToStr narrow(text, "UTF-8");
    return std::string(reinterpret_cast<const char*>(narrow.str()), narrow.length());
}

std::basic_string<XMLCh> Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    xercesc::TranscodeFromStr wide(reinterpret_cast<const XMLByte*>(utf8.data()), utf8.size(),
                                   "UTF-8");
    return std::basic_string<XMLCh>(wide.str(), wide.length());
}

// Reads a file back with an independent parser, failing the test on any error.
class Parsed {
public:
    explicit Parsed(const std::string& path) {
        m_parser.setErrorHandler(&m_errors);
        xercesc::LocalFileInputSource source(Wide(path).c_str());
        Parse(source);
    }
    explicit Parsed(const std::string& text, bool /*fromMemory*/) {
        m_parser.setErrorHandler(&m_errors);
        xercesc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(text.data()),
                                          text.size(), "in-memory");
        Parse(source);
    }
    xercesc::DOMDocument* Document() { return m_parser.getDocument(); }
    xercesc::DOMElement* Root() { return Document()->getDocumentElement(); }

private:
    void Parse(const xercesc::InputSource& source) {
        try {
            m_parser.parse(source);
        } catch (const xercesc::SAXParseException& e) {
            throw std::runtime_error("parse error at line " + std::to_string(e.getLineNumber()) +
                                     ": " + Utf8(e.getMessage()));
        }
    }

    xercesc::HandlerBase m_errors; // throws on every error
    xercesc::XercesDOMParser m_parser;
};

std::vector<xercesc::DOMElement*> ChildElements(xercesc::DOMElement* parent) {
    std::vector<xercesc::DOMElement*> children;
    for (auto* child = parent->getFirstElementChild(); child != nullptr;
         child = child->getNextElementSibling()) {
        children.push_back(child);
    }
    return children;
}

std::string Attribute(xercesc::DOMElement* element, const char* name) {
    return Utf8(element->getAttribute(Wide(name).c_str()));
}

// Runs xmllint on `path`; skips the test when the tool is not installed.
void ExpectXmllintAccepts(const std::string& path) {
    if (std::system("xmllint --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "xmllint is not installed";
    }
    const std::string command = "xmllint --noout '" + path + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

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

    document.write(file.c_str(), nullptr, nullptr);

    EXPECT_EQ(ReadBytes(file.path()), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                      "<UnitCatalog>\n"
                                      "  <Dimension baseUnit=\"m\" name=\"Length\">\n"
                                      "    <Measurement name=\"Depth\"/>\n"
                                      "    <Measurement name=\"Altitude\"/>\n"
                                      "    <Unit name=\"ft\">\n"
                                      "      <Alias name=\"foot\"/>\n"
                                      "    </Unit>\n"
                                      "  </Dimension>\n"
                                      "  <UnitSystem name=\"Metric\"/>\n"
                                      "</UnitCatalog>\n");
    ExpectXmllintAccepts(file.path());
}

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
    {
        XML::XMLElement values_parent(*document.m_pRoot, "Values");
        for (const std::string& value : values) {
            XML::XMLElement(values_parent, "V").setAttribute("v", value.c_str());
        }
        XML::XMLElement replaced(values_parent, "Replaced");
        replaced.setAttribute("v", "first");
        replaced.setAttribute("v", "second");
    }
    document.write(file.c_str(), nullptr, nullptr);

    const std::string text = ReadBytes(file.path());
    EXPECT_NE(text.find("v=\"x &lt; y &gt; z\""), std::string::npos) << text;
    EXPECT_NE(text.find("v=\"say &quot;hi&quot;\""), std::string::npos) << text;
    EXPECT_NE(text.find("v=\"it&apos;s\""), std::string::npos) << text;
    // Non-ASCII text is written as UTF-8 bytes, not as references.
    EXPECT_NE(text.find("caf\xc3\xa9 \xe4\xb8\xad \xf0\x9f\x98\x80"), std::string::npos) << text;

    Parsed parsed(file.path());
    EXPECT_EQ(Utf8(parsed.Root()->getTagName()), "Ma\xc3\x9f");
    auto children = ChildElements(ChildElements(parsed.Root()).at(0));
    ASSERT_EQ(children.size(), values.size() + 1);
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(Attribute(children[i], "v"), values[i]) << "value " << i;
    }
    EXPECT_EQ(Attribute(children.back(), "v"), "second");
    EXPECT_EQ(children.back()->getAttributes()->getLength(), 1u);
    ExpectXmllintAccepts(file.path());
}

TEST(XmlDocument, RefusesInvalidNamesAndValuesWithAClearMessageAndStaysUsable) {
    XML::XMLDocument document("Root");
    auto expectRefused = [](auto&& action, const std::string& fragment) {
        try {
            action();
            ADD_FAILURE() << "no exception; expected one mentioning " << fragment;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
        }
    };
    expectRefused([&] { XML::XMLElement(*document.m_pRoot, "1st"); }, "'1st'");
    expectRefused([&] { XML::XMLElement(*document.m_pRoot, "a b"); }, "'a b'");
    expectRefused([&] { XML::XMLElement(*document.m_pRoot, ""); }, "element name");
    expectRefused([&] { XML::XMLElement(*document.m_pRoot, nullptr); }, "null");
    expectRefused([&] { XML::XMLElement(*document.m_pRoot, "bad\xff"); }, "UTF-8");
    expectRefused([] { XML::XMLDocument("<Root>"); }, "'<Root>'");

    XML::XMLElement element(*document.m_pRoot, "Good");
    expectRefused([&] { element.setAttribute("x=y", "v"); }, "'x=y'");
    expectRefused([&] { element.setAttribute("ok", "\x01"); }, "U+0001");
    expectRefused([&] { element.setAttribute("ok", nullptr); }, "'ok'");
    expectRefused([&] { element.setAttribute("ok", "\xc3"); }, "UTF-8");

    // Nothing half-made was left behind: the document holds the one good element only.
    TempFile file;
    document.write(file.c_str(), nullptr, nullptr);
    EXPECT_EQ(ReadBytes(file.path()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root>\n  <Good/>\n</Root>\n");
}

TEST(XmlDocument, UnwritablePathThrowsAMessageNamingThePath) {
    XML::XMLDocument document("Root");
    const std::string path = ::testing::TempDir() + "orv_xml_no_such_folder/out.xml";
    try {
        document.write(path.c_str(), nullptr, nullptr);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    EXPECT_FALSE(Exists(path));
}

TEST(XmlDocument, WritesInTheRequestedEncodingWithReferencesForMissingCharacters) {
    TempFile file;
    XML::XMLDocument document("Root");
    XML::XMLElement(*document.m_pRoot, "E").setAttribute("v", "caf\xc3\xa9 \xe2\x82\xac");
    document.write(file.c_str(), nullptr, "ISO-8859-1");

    const std::string text = ReadBytes(file.path());
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n", 0), 0u) << text;
    // é exists in Latin-1 and is one byte; € does not and becomes a reference.
    EXPECT_NE(text.find("caf\xe9 &#x20AC;"), std::string::npos) << text;
    Parsed parsed(file.path());
    EXPECT_EQ(Attribute(ChildElements(parsed.Root()).at(0), "v"), "caf\xc3\xa9 \xe2\x82\xac");
    ExpectXmllintAccepts(file.path());

    // UTF-16 needs a byte order mark; a reader must find the same value.
    document.write(file.c_str(), nullptr, "UTF-16");
    const std::string wide = ReadBytes(file.path());
    ASSERT_GE(wide.size(), 2u);
    EXPECT_TRUE(wide.compare(0, 2, "\xFF\xFE") == 0 || wide.compare(0, 2, "\xFE\xFF") == 0);
    Parsed reparsed(file.path());
    EXPECT_EQ(Attribute(ChildElements(reparsed.Root()).at(0), "v"), "caf\xc3\xa9 \xe2\x82\xac");
    ExpectXmllintAccepts(file.path());

    // An unknown encoding is refused before the file is opened.
    TempFile other("_other.xml");
    try {
        document.write(other.c_str(), nullptr, "NO-SUCH-ENCODING");
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(other.path()), std::string::npos) << e.what();
    }
    EXPECT_FALSE(Exists(other.path()));
}

TEST(XmlDocument, WritesAnotherDocumentKeepingTextAndCommentsAsTheyAre) {
    XML::Initialise::Init();
    const std::string source = "<?xml version=\"1.0\"?>\n"
                               "<!--head-->\n"
                               "<r><p>one &amp; <b>two</b> &lt;three&gt;</p><q><?pi data?></q></r>";
    Parsed foreign(source, true);
    // A section holding its own end marker can only be made through the DOM.
    xercesc::DOMNode* q = foreign.Root()->getLastChild();
    q->appendChild(foreign.Document()->createCDATASection(Wide("x]]>y").c_str()));
    TempFile file;
    XML::XMLDocument unused("Unused");
    unused.write(file.c_str(), foreign.Document(), nullptr);

    // Mixed content is written inline so no whitespace is added to it; element-only content
    // is indented.
    EXPECT_EQ(ReadBytes(file.path()), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                      "<!--head-->\n"
                                      "<r>\n"
                                      "  <p>one &amp; <b>two</b> &lt;three&gt;</p>\n"
                                      "  <q><?pi data?><![CDATA[x]]]]><![CDATA[>y]]></q>\n"
                                      "</r>\n");
    Parsed reread(file.path());
    auto children = ChildElements(reread.Root());
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(Utf8(children[0]->getTextContent()), "one & two <three>");
    EXPECT_EQ(Utf8(children[1]->getTextContent()), "x]]>y");
    ExpectXmllintAccepts(file.path());
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
            XML::XMLElement(*document.m_pRoot, "Thread").setAttribute("n", "x");
            TempFile file("_" + std::to_string(t) + ".xml");
            document.write(file.c_str(), nullptr, nullptr);
            texts[t] = ReadBytes(file.path());
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (const std::string& text : texts) {
        EXPECT_EQ(text, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root>\n"
                        "  <Thread n=\"x\"/>\n</Root>\n");
    }
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
