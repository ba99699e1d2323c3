// Reads an XML file back, validated against a schema, into a plain tree of elements, so that tests
// can check the structure a writer produced: element names, attribute values and the order of
// children.
#pragma once

#include <xercesc/dom/DOM.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/HandlerBase.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/TransService.hpp>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace orv_testing {

/// One element: its name, its attributes in document order and its child elements in order.
struct XmlNode {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<XmlNode> children;

    /// The value of attribute `attribute`, or nothing when the element lacks it.
    std::optional<std::string> Attribute(const std::string& attribute) const {
        const auto found = std::find_if(attributes.begin(), attributes.end(),
                                        [&](const auto& pair) { return pair.first == attribute; });
        return found == attributes.end() ? std::nullopt : std::optional(found->second);
    }
};

namespace detail {

inline std::string Transcode(const XMLCh* text) {
    // UTF-8 out, so that names with non-ASCII bytes come back as they were written.
    xercesc::TranscodeToStr utf8(text, "UTF-8");
    return std::string(reinterpret_cast<const char*>(utf8.str()), utf8.length());
}

inline XmlNode ToNode(const xercesc::DOMElement& element) {
    XmlNode node{Transcode(element.getTagName()), {}, {}};
    const xercesc::DOMNamedNodeMap* attributes = element.getAttributes();
    for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
        node.attributes.emplace_back(Transcode(attributes->item(i)->getNodeName()),
                                     Transcode(attributes->item(i)->getNodeValue()));
    }
    for (auto* child = element.getFirstElementChild(); child;
         child = child->getNextElementSibling()) {
        node.children.push_back(ToNode(*child));
    }
    return node;
}

// Stops the parse at the first error, a schema violation included.
struct ThrowOnError : xercesc::HandlerBase {
    void error(const xercesc::SAXParseException& e) override { throw e; }
};

} // namespace detail

/// Parses the file at `path`, validated against the XML schema at `schema`, and returns its root
/// element. Throws std::runtime_error ("path:line:column: message") when the file is missing,
/// not well-formed or not valid.
inline XmlNode ReadXmlFile(const std::string& path, const std::string& schema) {
    // Xerces takes a path without a drive letter for a relative one on Windows, where the
    // /-rooted paths of a build made on Linux and run under Wine have none: it gets absolute ones.
    const std::string file = std::filesystem::absolute(path).string();
    const std::string schemaFile = std::filesystem::absolute(schema).string();
    xercesc::XMLPlatformUtils::Initialize();
    XmlNode root;
    std::string error;
    {
        xercesc::XercesDOMParser parser;
        detail::ThrowOnError errors;
        parser.setErrorHandler(&errors);
        parser.setValidationScheme(xercesc::XercesDOMParser::Val_Always);
        parser.setDoNamespaces(true);
        parser.setDoSchema(true);
        parser.setValidationSchemaFullChecking(true);
        xercesc::TranscodeFromStr wide(reinterpret_cast<const XMLByte*>(schemaFile.data()),
                                       schemaFile.size(), "UTF-8");
        const std::basic_string<XMLCh> location(wide.str(), wide.length());
        parser.setExternalNoNamespaceSchemaLocation(location.c_str());
        try {
            parser.parse(file.c_str());
            root = detail::ToNode(*parser.getDocument()->getDocumentElement());
        } catch (const xercesc::SAXParseException& e) {
            error = path + ":" + std::to_string(e.getLineNumber()) + ":" +
                    std::to_string(e.getColumnNumber()) + ": " + detail::Transcode(e.getMessage());
        } catch (const xercesc::XMLException& e) {
            error = path + ": " + detail::Transcode(e.getMessage());
        }
    }
    xercesc::XMLPlatformUtils::Terminate();
    if (!error.empty()) {
        throw std::runtime_error(error);
    }
    return root;
}

} // namespace orv_testing
