// Reads an XML file back into a plain tree of elements, so that tests can check the structure a
// writer produced: element names, attribute values and the order of children.
#pragma once

#include <xercesc/dom/DOM.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/HandlerBase.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLString.hpp>

#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace orv_testing {

/// One element: its name, its attributes by name and its child elements in document order.
struct XmlNode {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<XmlNode> children;

    /// The value of attribute `attribute`, or nothing when the element lacks it.
    std::optional<std::string> Attribute(const std::string& attribute) const {
        for (const auto& [key, value] : attributes) {
            if (key == attribute) {
                return value;
            }
        }
        return std::nullopt;
    }

    /// The names of the child elements, in document order.
    std::vector<std::string> ChildNames() const {
        std::vector<std::string> names;
        for (const XmlNode& child : children) {
            names.push_back(child.name);
        }
        return names;
    }

    /// The children named `childName`, in document order.
    std::vector<const XmlNode*> Children(const std::string& childName) const {
        std::vector<const XmlNode*> found;
        for (const XmlNode& child : children) {
            if (child.name == childName) {
                found.push_back(&child);
            }
        }
        return found;
    }

    /// The first child named `childName` whose attribute "name" is `nameValue`, or null.
    const XmlNode* Named(const std::string& childName, const std::string& nameValue) const {
        for (const XmlNode& child : children) {
            if (child.name == childName && child.Attribute("name") == nameValue) {
                return &child;
            }
        }
        return nullptr;
    }
};

namespace detail {

inline std::string Transcode(const XMLCh* text) {
    // UTF-8 out, so that names with non-ASCII bytes come back as they were written.
    xercesc::TranscodeToStr utf8(text, "UTF-8");
    return std::string(reinterpret_cast<const char*>(utf8.str()), utf8.length());
}

inline XmlNode ToNode(const xercesc::DOMElement& element) {
    XmlNode node;
    node.name = Transcode(element.getTagName());
    const xercesc::DOMNamedNodeMap* attributes = element.getAttributes();
    for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
        const xercesc::DOMNode* attribute = attributes->item(i);
        node.attributes.emplace_back(Transcode(attribute->getNodeName()),
                                     Transcode(attribute->getNodeValue()));
    }
    for (const xercesc::DOMElement* child = element.getFirstElementChild(); child != nullptr;
         child = child->getNextElementSibling()) {
        node.children.push_back(ToNode(*child));
    }
    return node;
}

} // namespace detail

/// Parses the file at `path` (well-formedness only, no schema) and returns its root element.
/// Throws std::runtime_error when the file is missing or not well-formed.
inline XmlNode ReadXmlFile(const std::string& path) {
    xercesc::XMLPlatformUtils::Initialize();
    XmlNode root;
    std::string error;
    {
        xercesc::XercesDOMParser parser;
        parser.setValidationScheme(xercesc::XercesDOMParser::Val_Never);
        parser.setDoNamespaces(false);
        xercesc::HandlerBase errors;
        parser.setErrorHandler(&errors);
        try {
            parser.parse(path.c_str());
            const xercesc::DOMDocument* document = parser.getDocument();
            if (document == nullptr || document->getDocumentElement() == nullptr) {
                error = "no document element in " + path;
            } else {
                root = detail::ToNode(*document->getDocumentElement());
            }
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

/// True when xmllint is on the PATH.
inline bool HaveXmlLint() {
    return std::system("xmllint --version > /dev/null 2>&1") == 0;
}

/// True when `xmllint --noout` accepts the file at `path`.
inline bool XmlLintAccepts(const std::string& path) {
    const std::string command = "xmllint --noout '" + path + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

} // namespace orv_testing
