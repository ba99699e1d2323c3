#include "CatalogueFile.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/TransService.hpp>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace CatalogueData {

namespace {

using xercesc::DOMElement;

std::string Utf8(const XMLCh* text) {
    if (text == nullptr || *text == 0) {
        return {};
    }
    xercesc::TranscodeToStr narrow(text, "UTF-8");
    return std::string(reinterpret_cast<const char*>(narrow.str()), narrow.length());
}

std::basic_string<XMLCh> Wide(const std::string& utf8) {
    xercesc::TranscodeFromStr wide(reinterpret_cast<const XMLByte*>(utf8.data()), utf8.size(),
                                   "UTF-8");
    return std::basic_string<XMLCh>(wide.str(), wide.length());
}

// `path` made absolute for Xerces, which on Windows takes a path without a drive letter, such as
// the /-rooted paths of a build made on Linux and run under Wine, for a relative one.
std::basic_string<XMLCh> FilePath(const std::string& path) {
    return Wide(std::filesystem::absolute(path).string());
}

// Collects every error as "line:column: message" instead of throwing.
struct CollectingErrorHandler : xercesc::ErrorHandler {
    std::vector<std::string> messages;

    void warning(const xercesc::SAXParseException&) override {}
    void error(const xercesc::SAXParseException& e) override { fatalError(e); }
    void fatalError(const xercesc::SAXParseException& e) override {
        messages.push_back(std::to_string(e.getLineNumber()) + ":" +
                           std::to_string(e.getColumnNumber()) + ": " + Utf8(e.getMessage()));
    }
    void resetErrors() override { messages.clear(); }
};

// Parses `path`, validating it against the catalogue schema, and hands the document's root (null
// when there are errors) to `use`, all while Xerces is initialised.
std::vector<std::string> Parse(const std::string& path,
                               const std::function<void(const DOMElement*)>& use) {
    struct Session { // Xerces counts nested initialisations
        Session() { xercesc::XMLPlatformUtils::Initialize(); }
        ~Session() { xercesc::XMLPlatformUtils::Terminate(); }
    } session;
    CollectingErrorHandler errors;
    xercesc::XercesDOMParser parser;
    parser.setErrorHandler(&errors);
    parser.setValidationScheme(xercesc::XercesDOMParser::Val_Always);
    parser.setDoNamespaces(true);
    parser.setDoSchema(true);
    parser.setValidationSchemaFullChecking(true);
    parser.setExternalNoNamespaceSchemaLocation(FilePath(ORV_CATALOGUE_SCHEMA).c_str());
    xercesc::LocalFileInputSource source(FilePath(path).c_str());
    parser.parse(source);
    use(errors.messages.empty() ? parser.getDocument()->getDocumentElement() : nullptr);
    return errors.messages;
}

std::optional<std::string> Attribute(const DOMElement& element, const char* name) {
    const xercesc::DOMAttr* node = element.getAttributeNode(Wide(name).c_str());
    return node == nullptr ? std::nullopt : std::optional<std::string>(Utf8(node->getValue()));
}

std::string NameOf(const DOMElement& element) {
    return Attribute(element, "name").value_or("");
}

std::vector<const DOMElement*> Children(const DOMElement& parent) {
    std::vector<const DOMElement*> children;
    for (auto* child = parent.getFirstElementChild(); child;
         child = child->getNextElementSibling()) {
        children.push_back(child);
    }
    return children;
}

} // namespace

std::vector<std::string> SchemaErrors(const std::string& path) {
    return Parse(path, [](const DOMElement*) {});
}

long double UnitEntry::ToBase(long double x) const {
    const auto value = [](const std::optional<std::string>& text, long double otherwise) {
        return text ? std::strtold(text->c_str(), nullptr) : otherwise;
    };
    return (value(A, 0.0L) + value(B, 1.0L) * x) / (value(C, 1.0L) + value(D, 0.0L) * x);
}

CatalogueFile CatalogueFile::Load(const std::string& path) {
    // The schema leaves only the elements and attributes of the format to read.
    CatalogueFile file;
    const auto errors = Parse(path, [&](const DOMElement* root) {
        if (root == nullptr) {
            return;
        }
        for (const DOMElement* parent : Children(*root)) {
            if (Utf8(parent->getTagName()) == "UnitSystem") {
                file.systems.push_back({NameOf(*parent), {}});
                for (const DOMElement* mapping : Children(*parent)) {
                    file.systems.back().mappings.emplace_back(*Attribute(*mapping, "measurement"),
                                                              Attribute(*mapping, "unit"));
                }
                continue;
            }
            const std::string dimension = NameOf(*parent);
            file.dimensions.push_back({dimension, Attribute(*parent, "baseUnit").value_or("")});
            for (const DOMElement* child : Children(*parent)) {
                if (Utf8(child->getTagName()) == "Measurement") {
                    std::istringstream units(Attribute(*child, "units").value_or(""));
                    file.measurements.push_back({NameOf(*child), dimension, {}});
                    for (std::string symbol; units >> symbol;) {
                        file.measurements.back().units.push_back(symbol);
                    }
                    continue;
                }
                const auto attribute = [&](const char* name) { return Attribute(*child, name); };
                file.units.push_back({NameOf(*child), *attribute("desc"), dimension, false,
                                      attribute("A"), attribute("B"), attribute("C"),
                                      attribute("D"), attribute("scale"), attribute("offset")});
                for (const DOMElement* alias : Children(*child)) {
                    file.units.push_back(file.units.back());
                    file.units.back().symbol = NameOf(*alias);
                    file.units.back().desc = *Attribute(*alias, "desc");
                    file.units.back().isAlias = true;
                }
            }
        }
    });
    if (!errors.empty()) {
        throw std::runtime_error(path + ": " + errors.front());
    }
    return file;
}

const CatalogueFile& DefaultCatalogue() {
    static const CatalogueFile file = CatalogueFile::Load(ORV_DEFAULT_CATALOGUE);
    return file;
}

} // namespace CatalogueData
