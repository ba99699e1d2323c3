#include "XmlSerialiser.h"

#include "XmlText.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufFormatTarget.hpp>
#include <xercesc/framework/XMLFormatter.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <stdexcept>

namespace Orv::Pim::Core::Service::XML::Detail {

namespace {

using xercesc::DOMNode;
using xercesc::XMLFormatter;

XmlString Literal(char const* ascii) {
    XmlString result;
    for (; *ascii != 0; ++ascii) {
        result.push_back(static_cast<XMLCh>(*ascii));
    }
    return result;
}

XmlString Chars(XMLCh const* text) {
    return text == nullptr ? XmlString() : XmlString(text);
}

void RequireXmlCharacters(XmlString const& text, char const* where) {
    const std::size_t bad = FindInvalidCharacter(text);
    if (bad != XmlString::npos) {
        throw std::runtime_error(std::string(where) + " holds the character " +
                                 DescribeCharacter(text, bad) + ", which XML cannot carry");
    }
}

// Whether the children of `element` may be laid out on lines of their own without changing
// the document's content.
bool HasOnlyMarkupChildren(DOMNode const& element) {
    for (DOMNode const* child = element.getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        switch (child->getNodeType()) {
        case DOMNode::ELEMENT_NODE:
        case DOMNode::COMMENT_NODE:
        case DOMNode::PROCESSING_INSTRUCTION_NODE:
            break;
        default:
            return false;
        }
    }
    return true;
}

class Writer {
public:
    explicit Writer(XMLFormatter& formatter) : m_formatter(formatter) {}

    void Document(xercesc::DOMDocument const& document, XmlString const& encoding) {
        Markup(Literal("<?xml version=\"1.0\" encoding=\""));
        Markup(encoding);
        Markup(Literal("\"?>"));
        for (DOMNode const* child = document.getFirstChild(); child != nullptr;
             child = child->getNextSibling()) {
            NewLine(0);
            Node(*child, 0, true);
        }
        Markup(Literal("\n"));
    }

private:
    void Node(DOMNode const& node, int depth, bool indented) {
        switch (node.getNodeType()) {
        case DOMNode::ELEMENT_NODE:
            Element(node, depth, indented);
            break;
        case DOMNode::TEXT_NODE:
            Content(Checked(node.getNodeValue(), "A text node"), XMLFormatter::CharEscapes);
            break;
        case DOMNode::CDATA_SECTION_NODE:
            CData(Checked(node.getNodeValue(), "A CDATA section"));
            break;
        case DOMNode::ENTITY_REFERENCE_NODE:
            Markup(Literal("&"));
            Name(node.getNodeName());
            Markup(Literal(";"));
            break;
        case DOMNode::COMMENT_NODE:
            Comment(Checked(node.getNodeValue(), "A comment"));
            break;
        case DOMNode::PROCESSING_INSTRUCTION_NODE:
            ProcessingInstruction(node);
            break;
        case DOMNode::DOCUMENT_TYPE_NODE:
            DocumentType(static_cast<xercesc::DOMDocumentType const&>(node));
            break;
        default:
            // Attributes are written with their element; documents, fragments, entities and
            // notations cannot occur as children here.
            break;
        }
    }

    void Element(DOMNode const& element, int depth, bool indented) {
        Markup(Literal("<"));
        Name(element.getNodeName());
        if (xercesc::DOMNamedNodeMap const* attributes = element.getAttributes()) {
            for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
                DOMNode const* attribute = attributes->item(i);
                Markup(Literal(" "));
                Name(attribute->getNodeName());
                Markup(Literal("=\""));
                AttributeValue(Checked(attribute->getNodeValue(), "An attribute value"));
                Markup(Literal("\""));
            }
        }
        if (element.getFirstChild() == nullptr) {
            Markup(Literal("/>"));
            return;
        }
        Markup(Literal(">"));
        const bool indentChildren = indented && HasOnlyMarkupChildren(element);
        for (DOMNode const* child = element.getFirstChild(); child != nullptr;
             child = child->getNextSibling()) {
            if (indentChildren) {
                NewLine(depth + 1);
            }
            Node(*child, depth + 1, indentChildren);
        }
        if (indentChildren) {
            NewLine(depth);
        }
        Markup(Literal("</"));
        Name(element.getNodeName());
        Markup(Literal(">"));
    }

    // "]]>" cannot occur inside a section, so it is split across two.
    void CData(XmlString const& text) {
        const XmlString end = Literal("]]>");
        std::size_t start = 0;
        for (std::size_t found = text.find(end); found != XmlString::npos;
             found = text.find(end, start)) {
            Markup(Literal("<![CDATA["));
            Markup(text.substr(start, found + 2 - start));
            Markup(Literal("]]>"));
            start = found + 2;
        }
        Markup(Literal("<![CDATA["));
        Markup(text.substr(start));
        Markup(Literal("]]>"));
    }

    void Comment(XmlString const& text) {
        if (text.find(Literal("--")) != XmlString::npos || (!text.empty() && text.back() == u'-')) {
            throw std::runtime_error("A comment holds \"--\" or ends in \"-\", which XML "
                                     "comments cannot carry");
        }
        Markup(Literal("<!--"));
        Content(text, XMLFormatter::NoEscapes);
        Markup(Literal("-->"));
    }

    void ProcessingInstruction(DOMNode const& node) {
        const XmlString data = Checked(node.getNodeValue(), "A processing instruction");
        if (data.find(Literal("?>")) != XmlString::npos) {
            throw std::runtime_error("A processing instruction holds \"?>\"");
        }
        Markup(Literal("<?"));
        Name(node.getNodeName());
        if (!data.empty()) {
            Markup(Literal(" "));
            Markup(data);
        }
        Markup(Literal("?>"));
    }

    void DocumentType(xercesc::DOMDocumentType const& type) {
        Markup(Literal("<!DOCTYPE "));
        Name(type.getName());
        const XmlString publicId = Chars(type.getPublicId());
        const XmlString systemId = Chars(type.getSystemId());
        if (!publicId.empty()) {
            Markup(Literal(" PUBLIC \"") + publicId + Literal("\" \"") + systemId + Literal("\""));
        } else if (!systemId.empty()) {
            Markup(Literal(" SYSTEM \"") + systemId + Literal("\""));
        }
        const XmlString subset = Chars(type.getInternalSubset());
        if (!subset.empty()) {
            Markup(Literal(" [") + subset + Literal("]"));
        }
        Markup(Literal(">"));
    }

    static XmlString Checked(XMLCh const* text, char const* where) {
        XmlString result = Chars(text);
        RequireXmlCharacters(result, where);
        return result;
    }

    void NewLine(int depth) { Markup(Literal("\n") + XmlString(2 * std::size_t(depth), u' ')); }

    // Markup and names have no reference form: a character the encoding lacks is an error.
    void Markup(XmlString const& text) {
        Format(text, XMLFormatter::NoEscapes, XMLFormatter::UnRep_Fail);
    }
    void Name(XMLCh const* name) { Markup(Chars(name)); }
    // Content: a character the encoding lacks becomes a character reference.
    void Content(XmlString const& text, XMLFormatter::EscapeFlags escapes) {
        Format(text, escapes, XMLFormatter::UnRep_CharRef);
    }

    // The formatter's attribute escapes cover & < " and the white space that a parser would
    // normalise (tab, line feed, carriage return); > and ' are escaped as well, so that a value
    // can be copied into markup of either quote style.
    void AttributeValue(XmlString const& value) {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= value.size(); ++i) {
            if (i == value.size() || value[i] == u'>' || value[i] == u'\'') {
                Content(value.substr(start, i - start), XMLFormatter::AttrEscapes);
                if (i < value.size()) {
                    Markup(Literal(value[i] == u'>' ? "&gt;" : "&apos;"));
                }
                start = i + 1;
            }
        }
    }

    void Format(XmlString const& text, XMLFormatter::EscapeFlags escapes,
                XMLFormatter::UnRepFlags unrepresentable) {
        if (!text.empty()) {
            m_formatter.formatBuf(text.data(), text.size(), escapes, unrepresentable);
        }
    }

    XMLFormatter& m_formatter;
};

} // namespace

std::string Serialise(xercesc::DOMDocument const& document, char const* encoding) {
    const XmlString encodingName = FromUtf8(encoding, "The encoding name");
    xercesc::MemBufFormatTarget target;
    try {
        XMLFormatter formatter(encodingName.c_str(), &target, XMLFormatter::NoEscapes,
                               XMLFormatter::UnRep_Fail);
        Writer(formatter).Document(document, encodingName);
    } catch (const xercesc::XMLException& e) {
        throw std::runtime_error("cannot encode the document in " + std::string(encoding) + ": " +
                                 MessageOf(e));
    }
    std::string bytes(reinterpret_cast<char const*>(target.getRawBuffer()), target.getLen());
    // A file in UTF-16 ("UTF-16" in any letter case; labels that name a byte order take none)
    // must begin with a byte order mark; the declaration's first character shows which byte
    // order the transcoder chose.
    if (xercesc::XMLString::compareIStringASCII(encodingName.c_str(),
                                                xercesc::XMLUni::fgUTF16EncodingString) == 0 &&
        bytes.size() >= 2) {
        if (bytes[0] == '<' && bytes[1] == '\0') {
            bytes.insert(0, "\xFF\xFE", 2);
        } else if (bytes[0] == '\0' && bytes[1] == '<') {
            bytes.insert(0, "\xFE\xFF", 2);
        }
    }
    return bytes;
}

} // namespace Orv::Pim::Core::Service::XML::Detail
