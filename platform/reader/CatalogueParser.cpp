// Parses a catalogue with Xerces-C's SAX2 reader, validating it against the schema built into
// the library. SAX keeps memory flat and never recurses per nesting level, so deep or huge inputs
// cost time in proportion to their size and nothing more.
#include "CatalogueText.h"
#include "EmbeddedTexts.h"
#include "XercesSupport.h"

#include <units/xml/XmlDocument.h>

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLUni.hpp>
#include <xercesc/validators/common/Grammar.hpp>

#include <cstddef>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

namespace {

namespace xml = xercesc;

/// Thrown from a handler callback to end the parse at once; caught around `parse`.
struct StopParsing {};

/// Entity references a catalogue may expand: the predefined ones need none, so this only bounds
/// what a DOCTYPE could declare before it is refused.
constexpr XMLSize_t kEntityExpansionLimit = 100;

int ToInt(XMLFileLoc value) {
    constexpr XMLFileLoc kMax = 0x7fffffff;
    return static_cast<int>(value > kMax ? kMax : value);
}

/// How deep elements may nest. A catalogue needs four levels; Xerces spends time in proportion
/// to the depth on every element, so a hostile depth is cut off early.
constexpr std::size_t kMaxDepth = 32;

/// The kinds of element the handler keeps track of; anything else is `Other`.
enum class Kind { Root, Dimension, Measurement, Unit, Alias, UnitSystem, Mapping, Other };

/// Finds where an element's start tag begins. Xerces reports positions just after the tag's
/// closing '>', so the handler walks back to the '<' (which an attribute value cannot contain) in
/// the raw text, and counts lines and columns forward from the previous element, which keeps the
/// whole walk linear in the size of the text.
class TagLocator {
public:
    explicit TagLocator(const std::string& bytes) : m_bytes(bytes) {
        // Raw offsets only match an ASCII-compatible encoding; for UTF-16 and UTF-32 texts the
        // handler keeps Xerces' own positions.
        m_usable = !(bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0' ||
                                           static_cast<unsigned char>(bytes[0]) >= 0xFE));
    }

    bool Usable() const { return m_usable; }

    /// Sets `at` to the position of the last '<' before `endOffset`; false when there is none
    /// after the previous element's '<'.
    bool StartOfTag(std::size_t endOffset, Position& at) {
        if (endOffset > m_bytes.size()) {
            return false;
        }
        std::size_t start = endOffset;
        while (start > m_floor && m_bytes[start - 1] != '<') {
            --start;
        }
        if (start == m_floor) {
            return false;
        }
        m_floor = start;
        at = PositionOf(start - 1);
        return true;
    }

    /// The position of the byte at `offset`, which is at or after the last one asked for.
    Position PositionOf(std::size_t offset) {
        Advance(offset);
        return {m_line, m_column};
    }

private:
    void Advance(std::size_t to) {
        for (; m_offset < to; ++m_offset) {
            const auto c = static_cast<unsigned char>(m_bytes[m_offset]);
            if (c == '\n' ||
                (c == '\r' && (m_offset + 1 == m_bytes.size() || m_bytes[m_offset + 1] != '\n'))) {
                ++m_line;
                m_column = 1;
            } else if ((c & 0xC0) != 0x80 && c != '\r') {
                // One column per character: UTF-8 continuation bytes do not count; a four-byte
                // sequence is two UTF-16 units in Xerces' count, as its lead byte shows.
                m_column += c >= 0xF0 ? 2 : 1;
            }
        }
    }

    const std::string& m_bytes;
    bool m_usable = true;
    std::size_t m_offset = 0; // where m_line and m_column were counted up to
    std::size_t m_floor = 0;  // just after the previous element's '<'
    int m_line = 1;
    int m_column = 1;
};

/// The offset of a document type declaration in the prolog of `bytes`, if it has one. Xerces
/// tells the handler of a DOCTYPE only when it has a subset, so the prolog is scanned here too;
/// for the encodings whose markup is not ASCII the handler's check is all there is.
std::optional<std::size_t> FindDoctype(const std::string& bytes) {
    std::size_t at = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (;;) {
        at = bytes.find_first_not_of(" \t\r\n", at);
        if (at == std::string::npos) {
            return std::nullopt;
        }
        const char* end = nullptr;
        if (bytes.compare(at, 2, "<?") == 0) {
            end = "?>";
        } else if (bytes.compare(at, 4, "<!--") == 0) {
            end = "-->";
        } else if (bytes.compare(at, 9, "<!DOCTYPE") == 0) {
            return at;
        } else {
            return std::nullopt;
        }
        at = bytes.find(end, at + 2);
        if (at == std::string::npos) {
            return std::nullopt;
        }
        at += std::char_traits<char>::length(end);
    }
}

constexpr const char* kDoctypeRefused =
    "a document type declaration (DOCTYPE) is not allowed in a catalogue";

/// Collects the elements and the problems of one parse.
class CatalogueHandler : public xml::DefaultHandler {
public:
    CatalogueHandler(ParsedCatalogue& result, const std::string& bytes, std::string source)
        : m_result(result), m_tags(bytes), m_source(std::move(source)) {}

    void SetReader(xml::SAX2XMLReader* reader) { m_reader = reader; }

    void setDocumentLocator(const xml::Locator* const locator) override { m_locator = locator; }

    void startElement(const XMLCh* const uri, const XMLCh* const localname,
                      const XMLCh* const /*qname*/, const xml::Attributes& attributes) override {
        if (m_stack.size() >= kMaxDepth) {
            m_result.incomplete = true;
            Add(LocatorPosition(),
                "elements are nested more than " + std::to_string(kMaxDepth) + " levels deep");
            throw StopParsing{};
        }
        const Kind parent = m_stack.empty() ? Kind::Other : m_stack.back();
        const Kind kind =
            m_stack.empty() ? RootKind(uri, localname) : ChildKind(parent, uri, localname);
        m_stack.push_back(kind);
        if (kind == Kind::Other || kind == Kind::Root) {
            return;
        }
        const Position at = ElementPosition();
        CatalogueText& text = m_result.text;
        switch (kind) {
        case Kind::Dimension: {
            DimensionElement element{at, {}, {}, {}, false};
            ForEachAttribute(attributes, [&](const std::string& name, std::string value) {
                if (name == "name") {
                    element.name = std::move(value);
                } else if (name == "baseUnit") {
                    element.baseUnit = std::move(value);
                } else if (name == "signature") {
                    element.signature = std::move(value);
                } else if (name == "preferred") {
                    element.preferred = IsTrue(value);
                }
            });
            text.dimensions.push_back(std::move(element));
            break;
        }
        case Kind::Measurement: {
            MeasurementElement element{at, {}, CurrentDimension(), {}};
            ForEachAttribute(attributes, [&](const std::string& name, std::string value) {
                if (name == "name") {
                    element.name = std::move(value);
                } else if (name == "units") {
                    element.units = std::move(value);
                }
            });
            text.measurements.push_back(std::move(element));
            break;
        }
        case Kind::Unit:
        case Kind::Alias: {
            UnitElement element;
            element.at = at;
            element.dimension = CurrentDimension();
            if (kind == Kind::Alias) {
                element.parent = m_currentUnit;
            }
            ForEachAttribute(attributes, [&](const std::string& name, std::string value) {
                SetUnitAttribute(element, name, std::move(value));
            });
            if (kind == Kind::Unit) {
                m_currentUnit = static_cast<int>(text.units.size());
            }
            text.units.push_back(std::move(element));
            break;
        }
        case Kind::UnitSystem: {
            UnitSystemElement element{at, {}};
            ForEachAttribute(attributes, [&](const std::string& name, std::string value) {
                if (name == "name") {
                    element.name = std::move(value);
                }
            });
            text.systems.push_back(std::move(element));
            break;
        }
        case Kind::Mapping: {
            MappingElement element{at, text.systems.back().name, {}, {}};
            ForEachAttribute(attributes, [&](const std::string& name, std::string value) {
                if (name == "measurement") {
                    element.measurement = std::move(value);
                } else if (name == "unit") {
                    element.unit = std::move(value);
                }
            });
            text.mappings.push_back(std::move(element));
            break;
        }
        case Kind::Root:
        case Kind::Other:
            break;
        }
    }

    void endElement(const XMLCh* const, const XMLCh* const, const XMLCh* const) override {
        if (!m_stack.empty()) {
            m_stack.pop_back();
        }
    }

    // A DOCTYPE could declare entities or pull in an external subset; a catalogue needs neither,
    // so the parse stops before Xerces reads any of it.
    void startDTD(const XMLCh* const, const XMLCh* const, const XMLCh* const) override {
        m_result.incomplete = true;
        Add(LocatorPosition(),
            "a document type declaration (DOCTYPE) is not allowed in a catalogue");
        throw StopParsing{};
    }

    // Nothing outside the catalogue text is ever read: no external entity, DTD or schema.
    xml::InputSource* resolveEntity(const XMLCh* const /*publicId*/,
                                    const XMLCh* const systemId) override {
        m_result.incomplete = true;
        Add(LocatorPosition(), "the external resource \"" + ToUtf8(systemId) +
                                   "\" is refused: a catalogue may not refer to other files");
        throw StopParsing{};
    }

    void warning(const xml::SAXParseException&) override {}

    void error(const xml::SAXParseException& exception) override { Add(exception); }

    void fatalError(const xml::SAXParseException& exception) override {
        m_result.incomplete = true;
        Add(exception);
    }

private:
    Kind RootKind(const XMLCh* uri, const XMLCh* localname) const {
        return IsNamed(uri, localname, "UnitCatalog") ? Kind::Root : Kind::Other;
    }

    Kind ChildKind(Kind parent, const XMLCh* uri, const XMLCh* localname) const {
        switch (parent) {
        case Kind::Root:
            if (IsNamed(uri, localname, "Dimension")) {
                return Kind::Dimension;
            }
            return IsNamed(uri, localname, "UnitSystem") ? Kind::UnitSystem : Kind::Other;
        case Kind::Dimension:
            if (IsNamed(uri, localname, "Measurement")) {
                return Kind::Measurement;
            }
            return IsNamed(uri, localname, "Unit") ? Kind::Unit : Kind::Other;
        case Kind::Unit:
            return IsNamed(uri, localname, "Alias") ? Kind::Alias : Kind::Other;
        case Kind::UnitSystem:
            return IsNamed(uri, localname, "UnitMapping") ? Kind::Mapping : Kind::Other;
        default:
            return Kind::Other;
        }
    }

    static bool IsNamed(const XMLCh* uri, const XMLCh* localname, const char* name) {
        return (uri == nullptr || *uri == 0) && ToUtf8(localname) == name;
    }

    std::string CurrentDimension() const {
        return m_result.text.dimensions.empty() ? std::string()
                                                : m_result.text.dimensions.back().name;
    }

    static void SetUnitAttribute(UnitElement& element, const std::string& name, std::string value) {
        if (name == "name") {
            element.symbol = std::move(value);
        } else if (name == "desc") {
            element.desc = std::move(value);
        } else if (name == "scale") {
            element.scale = std::move(value);
        } else if (name == "offset") {
            element.offset = std::move(value);
        } else if (name == "A") {
            element.A = std::move(value);
        } else if (name == "B") {
            element.B = std::move(value);
        } else if (name == "C") {
            element.C = std::move(value);
        } else if (name == "D") {
            element.D = std::move(value);
        } else if (name == "prefixes") {
            element.prefixes = IsTrue(value);
        }
    }

    /// An xs:boolean the schema has let through: "true", "1", "false" or "0".
    static bool IsTrue(const std::string& value) {
        const std::size_t first = value.find_first_not_of(" \t\r\n");
        const std::size_t last = value.find_last_not_of(" \t\r\n");
        const std::string word =
            first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
        return word == "true" || word == "1";
    }

    /// Calls `use(name, value)` for each attribute without a namespace.
    template <typename Use>
    static void ForEachAttribute(const xml::Attributes& attributes, Use use) {
        for (XMLSize_t i = 0; i < attributes.getLength(); ++i) {
            const XMLCh* uri = attributes.getURI(i);
            if (uri != nullptr && *uri != 0) {
                continue;
            }
            use(ToUtf8(attributes.getLocalName(i)), ToUtf8(attributes.getValue(i)));
        }
    }

    Position LocatorPosition() const {
        if (m_locator == nullptr) {
            return {};
        }
        return {ToInt(m_locator->getLineNumber()), ToInt(m_locator->getColumnNumber())};
    }

    Position ElementPosition() {
        Position at;
        if (m_tags.Usable() && m_reader != nullptr &&
            m_tags.StartOfTag(m_reader->getSrcOffset(), at)) {
            return at;
        }
        return LocatorPosition();
    }

    void Add(const xml::SAXParseException& exception) {
        Add({ToInt(exception.getLineNumber()), ToInt(exception.getColumnNumber())},
            ToUtf8(exception.getMessage()));
    }

    void Add(Position at, std::string message) {
        std::vector<CatalogueProblem>& problems = m_result.problems;
        if (problems.size() + 1 >= kMaxProblems) {
            problems.push_back({m_source, at.line, at.column, std::move(message)});
            problems.push_back(
                {m_source, at.line, at.column, "too many problems; the check stopped here"});
            m_result.incomplete = true;
            throw StopParsing{};
        }
        problems.push_back({m_source, at.line, at.column, std::move(message)});
    }

    ParsedCatalogue& m_result;
    TagLocator m_tags;
    std::string m_source;
    xml::SAX2XMLReader* m_reader = nullptr;
    const xml::Locator* m_locator = nullptr;
    std::vector<Kind> m_stack;
    int m_currentUnit = -1;
};

/// Fails loudly if the schema built into the library does not load: that is a build fault, not a
/// fault of the catalogue being read.
class SchemaErrors : public xml::DefaultHandler {
public:
    void error(const xml::SAXParseException& exception) override { Fail(exception); }
    void fatalError(const xml::SAXParseException& exception) override { Fail(exception); }

private:
    [[noreturn]] static void Fail(const xml::SAXParseException& exception) {
        throw std::logic_error("The catalogue schema built into the reader library is invalid: " +
                               ToUtf8(exception.getMessage()));
    }
};

void Configure(xml::SAX2XMLReader& reader, xml::SecurityManager& security) {
    reader.setFeature(xml::XMLUni::fgSAX2CoreNameSpaces, true);
    reader.setFeature(xml::XMLUni::fgSAX2CoreValidation, true);
    reader.setFeature(xml::XMLUni::fgXercesDynamic, false);
    reader.setFeature(xml::XMLUni::fgXercesSchema, true);
    // The schema's keys (unique names, a base unit that exists) are checked after the parse, with
    // messages that give the position of both definitions instead of the end of the file.
    reader.setFeature(xml::XMLUni::fgXercesIdentityConstraintChecking, false);
    // Validate against the schema loaded from memory only; never follow schemaLocation hints.
    reader.setFeature(xml::XMLUni::fgXercesLoadSchema, false);
    reader.setFeature(xml::XMLUni::fgXercesUseCachedGrammarInParse, true);
    reader.setFeature(xml::XMLUni::fgXercesCacheGrammarFromParse, false);
    // No external DTD, no DTD validation, no resolution of any system identifier by Xerces.
    reader.setFeature(xml::XMLUni::fgXercesLoadExternalDTD, false);
    reader.setFeature(xml::XMLUni::fgXercesSkipDTDValidation, true);
    reader.setFeature(xml::XMLUni::fgXercesDisableDefaultEntityResolution, true);
    // Byte offsets of elements, to find where each start tag begins.
    reader.setFeature(xml::XMLUni::fgXercesCalculateSrcOfs, true);
    security.setEntityExpansionLimit(kEntityExpansionLimit);
    reader.setProperty(xml::XMLUni::fgXercesSecurityManager, &security);
}

} // namespace

ParsedCatalogue ParseCatalogue(const std::string& bytes, const std::string& source) {
    // The XML library owns Xerces' lifetime for the whole process: it initialises it once and
    // terminates it at exit.
    XML::Initialise::Init();
    ParsedCatalogue result;
    TagLocator positions(bytes);
    if (positions.Usable()) {
        if (const std::optional<std::size_t> doctype = FindDoctype(bytes)) {
            const Position at = positions.PositionOf(*doctype);
            result.problems.push_back({source, at.line, at.column, kDoctypeRefused});
            result.incomplete = true;
            return result;
        }
    }
    std::unique_ptr<xml::SAX2XMLReader> reader(xml::XMLReaderFactory::createXMLReader());
    xml::SecurityManager security;
    Configure(*reader, security);

    SchemaErrors schemaErrors;
    reader->setErrorHandler(&schemaErrors);
    reader->setEntityResolver(&schemaErrors);
    const xml::MemBufInputSource schema(reinterpret_cast<const XMLByte*>(kCatalogueSchema),
                                        kCatalogueSchemaSize, "UnitCatalog.xsd");
    if (reader->loadGrammar(schema, xml::Grammar::SchemaGrammarType, true) == nullptr) {
        throw std::logic_error("The catalogue schema built into the reader library did not load.");
    }

    CatalogueHandler handler(result, bytes, source);
    handler.SetReader(reader.get());
    reader->setContentHandler(&handler);
    reader->setErrorHandler(&handler);
    reader->setEntityResolver(&handler);
    reader->setLexicalHandler(&handler);
    const xml::MemBufInputSource input(reinterpret_cast<const XMLByte*>(bytes.data()), bytes.size(),
                                       source.c_str());
    try {
        reader->parse(input);
    } catch (const StopParsing&) {
        // The handler has recorded why.
    } catch (const xml::OutOfMemoryException&) {
        throw std::bad_alloc();
    } catch (const xml::SAXException& exception) {
        result.incomplete = true;
        result.problems.push_back({source, 0, 0, ToUtf8(exception.getMessage())});
    } catch (const xml::XMLException& exception) {
        result.incomplete = true;
        result.problems.push_back({source, 0, 0, ToUtf8(exception.getMessage())});
    }
    return result;
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
