// Parses a catalogue with Xerces-C's SAX2 reader, validating it against the schema built into
// the library. SAX keeps memory flat and never recurses per nesting level, so deep or huge inputs
// cost time in proportion to their size and nothing more; the limits of the reader bound the
// rest (see CatalogueLimits).
#include "CatalogueText.h"
#include "EmbeddedTexts.h"
#include "XercesSupport.h"

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/framework/XMLGrammarPoolImpl.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLUni.hpp>
#include <xercesc/validators/common/Grammar.hpp>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <mutex>
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
    explicit TagLocator(const std::string& bytes)
        : m_bytes(bytes), m_positions(bytes), m_usable(IsAsciiCompatible(bytes)) {}

    /// Sets `at` to the position of the last '<' before `endOffset`; false when there is none
    /// after the previous element's '<', or when raw offsets do not match the text's encoding.
    bool StartOfTag(std::size_t endOffset, Position& at) {
        if (!m_usable || endOffset > m_bytes.size()) {
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
        at = m_positions.At(start - 1);
        return true;
    }

private:
    const std::string& m_bytes;
    TextPositions m_positions;
    bool m_usable;
    std::size_t m_floor = 0; // just after the previous element's '<'
};

/// The first control character of `text` (UTF-8): C0, DEL or C1; 0 when it has none.
unsigned ControlCharacterIn(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            return c;
        }
        if (c == 0xC2 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next <= 0x9F) {
                return next;
            }
        }
    }
    return 0;
}

std::size_t DigitsIn(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; }));
}

std::size_t SymbolsIn(const std::string& list) {
    std::size_t count = 0;
    bool inSymbol = false;
    for (const char c : list) {
        const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        count += !blank && !inSymbol;
        inSymbol = !blank;
    }
    return count;
}

/// Collects the elements and the problems of one parse.
class CatalogueHandler : public xml::DefaultHandler {
public:
    CatalogueHandler(ParsedCatalogue& result, const std::string& bytes, std::string source,
                     const CatalogueLimits& limits)
        : m_result(result), m_tags(bytes), m_source(std::move(source)), m_limits(limits) {}

    void SetReader(xml::SAX2XMLReader* reader) { m_reader = reader; }

    void setDocumentLocator(const xml::Locator* const locator) override { m_locator = locator; }

    void startElement(const XMLCh* const uri, const XMLCh* const localname,
                      const XMLCh* const /*qname*/, const xml::Attributes& attributes) override {
        // Counted here too for texts in an encoding that the raw scan does not read.
        if (++m_elements > m_limits.maxElements) {
            Refuse(LocatorPosition(), "the catalogue has more than " +
                                          std::to_string(m_limits.maxElements) + " elements");
        }
        if (m_stack.size() >= kMaxDepth) {
            Refuse(LocatorPosition(),
                   "elements are nested more than " + std::to_string(kMaxDepth) + " levels deep");
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
            ForEachAttribute(attributes, at, [&](const std::string& name, std::string value) {
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
            MeasurementElement element{at, {}, CurrentDimension(), {}, false};
            ForEachAttribute(attributes, at, [&](const std::string& name, std::string value) {
                if (name == "name") {
                    element.name = std::move(value);
                } else if (name == "units") {
                    if (SymbolsIn(value) > m_limits.maxSymbolsPerList) {
                        Refuse(at, "the measurement offers more than " +
                                       std::to_string(m_limits.maxSymbolsPerList) + " units");
                    }
                    element.units = std::move(value);
                } else if (name == "override") {
                    element.overrides = IsTrue(value);
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
            ForEachAttribute(attributes, at, [&](const std::string& name, std::string value) {
                if (std::optional<std::string>* coefficient = CoefficientOf(element, name)) {
                    CountDigits(at, name, value);
                    *coefficient = std::move(value);
                } else if (name == "name") {
                    element.symbol = std::move(value);
                } else if (name == "desc") {
                    element.desc = std::move(value);
                } else if (name == "prefixes") {
                    element.prefixes = IsTrue(value);
                } else if (name == "override") {
                    element.overrides = IsTrue(value);
                }
            });
            if (kind == Kind::Unit) {
                m_currentUnit = static_cast<int>(text.units.size());
            }
            text.units.push_back(std::move(element));
            break;
        }
        case Kind::UnitSystem: {
            UnitSystemElement element{at, {}};
            ForEachAttribute(attributes, at, [&](const std::string& name, std::string value) {
                if (name == "name") {
                    element.name = std::move(value);
                }
            });
            text.systems.push_back(std::move(element));
            break;
        }
        case Kind::Mapping: {
            MappingElement element{at, text.systems.back().name, {}, {}, false};
            ForEachAttribute(attributes, at, [&](const std::string& name, std::string value) {
                if (name == "measurement") {
                    element.measurement = std::move(value);
                } else if (name == "unit") {
                    element.unit = std::move(value);
                } else if (name == "override") {
                    element.overrides = IsTrue(value);
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
        Refuse(LocatorPosition(),
               "a document type declaration (DOCTYPE) is not allowed in a catalogue");
    }

    // Nothing outside the catalogue text is ever read: no external entity, DTD or schema.
    xml::InputSource* resolveEntity(const XMLCh* const /*publicId*/,
                                    const XMLCh* const systemId) override {
        Refuse(LocatorPosition(), "the external resource \"" + ToUtf8(systemId) +
                                      "\" is refused: a catalogue may not refer to other files");
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

    // Compared unit by unit: the names are ASCII, and transcoding each would allocate.
    static bool IsNamed(const XMLCh* uri, const XMLCh* localname, const char* name) {
        if (uri != nullptr && *uri != 0) {
            return false;
        }
        for (; *name != 0; ++name, ++localname) {
            if (*localname != static_cast<XMLCh>(*name)) {
                return false;
            }
        }
        return *localname == 0;
    }

    std::string CurrentDimension() const {
        return m_result.text.dimensions.empty() ? std::string()
                                                : m_result.text.dimensions.back().name;
    }

    /// An xs:boolean the schema has let through: "true", "1", "false" or "0".
    static bool IsTrue(const std::string& value) {
        const std::size_t first = value.find_first_not_of(" \t\r\n");
        const std::size_t last = value.find_last_not_of(" \t\r\n");
        const std::string word =
            first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
        return word == "true" || word == "1";
    }

    static std::optional<std::string>* CoefficientOf(UnitElement& element,
                                                     const std::string& name) {
        return name == "scale"    ? &element.scale
               : name == "offset" ? &element.offset
               : name == "A"      ? &element.A
               : name == "B"      ? &element.B
               : name == "C"      ? &element.C
               : name == "D"      ? &element.D
                                  : nullptr;
    }

    // Exact coefficients cost time and memory in their count of digits.
    void CountDigits(const Position& at, const std::string& name, const std::string& value) {
        const std::size_t digits = DigitsIn(value);
        if (digits > m_limits.maxCoefficientDigits) {
            Refuse(at, "the " + name + " of the unit has " + std::to_string(digits) +
                           " digits; at most " + std::to_string(m_limits.maxCoefficientDigits) +
                           " are allowed");
        }
        m_digits += digits;
        if (m_digits > m_limits.maxTotalDigits) {
            Refuse(at, "the coefficients of the catalogue have more than " +
                           std::to_string(m_limits.maxTotalDigits) + " digits in all");
        }
    }

    /// Calls `use(name, value)` for each attribute without a namespace of the element at `at`,
    /// after checking that the value is within the limits and holds no control character.
    template <typename Use>
    void ForEachAttribute(const xml::Attributes& attributes, const Position& at, Use use) {
        for (XMLSize_t i = 0; i < attributes.getLength(); ++i) {
            const XMLCh* uri = attributes.getURI(i);
            if (uri != nullptr && *uri != 0) {
                continue;
            }
            std::string name = ToUtf8(attributes.getLocalName(i));
            std::string value = ToUtf8(attributes.getValue(i));
            // The raw text was checked already unless its encoding is not ASCII-compatible.
            if (value.size() > m_limits.maxAttributeLength) {
                Refuse(at, "the value of the attribute " + name + " is " +
                               std::to_string(value.size()) + " bytes long; at most " +
                               std::to_string(m_limits.maxAttributeLength) + " are allowed");
            }
            // Names and descriptions are printed and compared; a control character (which XML
            // 1.1 can carry as a reference) would reach terminals and logs as it is.
            if (const unsigned control = ControlCharacterIn(value)) {
                char code[16];
                std::snprintf(code, sizeof code, "U+%04X", control);
                Add(at, "the attribute " + name + " holds the control character " + code +
                            ", which a catalogue may not carry");
            }
            use(name, std::move(value));
        }
    }

    /// Records a problem that ends the parse: what was read is then not checked further.
    [[noreturn]] void Refuse(const Position& at, std::string message) {
        m_result.incomplete = true;
        Add(at, std::move(message));
        throw StopParsing{};
    }

    Position LocatorPosition() const {
        if (m_locator == nullptr) {
            return {};
        }
        return {ToInt(m_locator->getLineNumber()), ToInt(m_locator->getColumnNumber())};
    }

    Position ElementPosition() {
        Position at;
        if (m_reader != nullptr && m_tags.StartOfTag(m_reader->getSrcOffset(), at)) {
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
        if (problems.size() + 1 >= m_limits.maxProblems) {
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
    const CatalogueLimits& m_limits;
    std::size_t m_digits = 0;   // of all coefficients so far
    std::size_t m_elements = 0; // start tags so far
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

/// Xerces-C for this module, initialised on first use and terminated when the module is unloaded,
/// at the latest at process exit, with the catalogue schema compiled once into a grammar pool
/// that every parse shares. Xerces counts its initialisations, so the XML library or a host that
/// uses Xerces on its own keeps it alive for itself; only the last termination frees what Xerces
/// keeps.
class Xerces {
public:
    /// The one instance, made by the first caller even when several threads come at once.
    static const Xerces& Get() {
        static const Xerces xerces;
        return xerces;
    }

    /// Held from making a reader until it is destroyed: parsers that used the pool in several
    /// threads at once lost memory inside the XML library (the leak checker found it), so the
    /// parses of a process take turns.
    std::unique_lock<std::mutex> Turn() const { return std::unique_lock<std::mutex>(m_turn); }

    /// A reader that validates against the schema of the pool.
    std::unique_ptr<xml::SAX2XMLReader> NewReader() const {
        return std::unique_ptr<xml::SAX2XMLReader>(xml::XMLReaderFactory::createXMLReader(
            xml::XMLPlatformUtils::fgMemoryManager, m_grammars.get()));
    }

    Xerces(const Xerces&) = delete;
    Xerces& operator=(const Xerces&) = delete;

private:
    Xerces() {
        try {
            xml::XMLPlatformUtils::Initialize();
        } catch (const xml::XMLException& exception) {
            throw std::runtime_error("Cannot initialise the XML parser: " +
                                     ToUtf8(exception.getMessage()));
        }
        try {
            LoadSchema();
        } catch (...) {
            m_grammars.reset();
            xml::XMLPlatformUtils::Terminate();
            throw;
        }
    }

    ~Xerces() {
        m_grammars.reset();
        xml::XMLPlatformUtils::Terminate();
    }

    // Compiling the schema costs as much as reading a small catalogue; it is done once, and the
    // pool is then locked, so that parses in several threads only read it.
    void LoadSchema() {
        m_grammars =
            std::make_unique<xml::XMLGrammarPoolImpl>(xml::XMLPlatformUtils::fgMemoryManager);
        const std::unique_ptr<xml::SAX2XMLReader> reader = NewReader();
        xml::SecurityManager security;
        Configure(*reader, security);
        SchemaErrors errors;
        reader->setErrorHandler(&errors);
        reader->setEntityResolver(&errors);
        const xml::MemBufInputSource schema(reinterpret_cast<const XMLByte*>(kCatalogueSchema),
                                            kCatalogueSchemaSize, "UnitCatalog.xsd");
        if (reader->loadGrammar(schema, xml::Grammar::SchemaGrammarType, true) == nullptr) {
            throw std::logic_error(
                "The catalogue schema built into the reader library did not load.");
        }
        m_grammars->lockPool();
    }

    std::unique_ptr<xml::XMLGrammarPoolImpl> m_grammars;
    mutable std::mutex m_turn;
};

} // namespace

ParsedCatalogue ParseCatalogue(const std::string& bytes, const std::string& source,
                               const CatalogueLimits& limits) {
    ParsedCatalogue result;
    if (IsAsciiCompatible(bytes)) {
        if (const std::optional<RawFault> fault = ScanRawText(bytes, limits)) {
            const Position at = TextPositions(bytes).At(fault->offset);
            result.problems.push_back({source, at.line, at.column, fault->message});
            result.incomplete = true;
            return result;
        }
    }
    const std::unique_lock<std::mutex> turn = Xerces::Get().Turn();
    const std::unique_ptr<xml::SAX2XMLReader> reader = Xerces::Get().NewReader();
    xml::SecurityManager security;
    Configure(*reader, security);

    CatalogueHandler handler(result, bytes, source, limits);
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
