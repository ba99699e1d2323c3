// The XML library's documents: built element by element and written, through Xerces-C, to a file
// or to any sink (units/interfaces/Xml.h).
#pragma once

#include <units/interfaces/Xml.h>
#include <units/xml/XmlExport.h>

namespace xercesc_3_2 {
class DOMDocument;
class DOMElement;
} // namespace xercesc_3_2

namespace Orv::Pim::Core::Service::XML {

/// Makes the XML library ready for use.
class ORV_XML_API Initialise {
public:
    /// Initialises Xerces-C once per process; any further call does nothing. Thread-safe.
    static void Init();
};

class XMLDocument;

/// A handle to one element of a document. Destroying the handle leaves the element in place.
class ORV_XML_API XMLElement {
public:
    /// Appends a new child element `name` to `parent`'s element, after its other children.
    XMLElement(XMLElement& parent, char const* name);
    XMLElement(const XMLElement&) = delete;
    XMLElement& operator=(const XMLElement&) = delete;
    ~XMLElement();

    /// Sets the attribute `name` to `value` on the element, replacing an earlier value.
    void setAttribute(char const* name, char const* value);

private:
    friend class XMLDocument;
    explicit XMLElement(xercesc_3_2::DOMElement* element);
    xercesc_3_2::DOMElement* m_pElement;
};

/// A document with one root element, built in memory until written.
class ORV_XML_API XMLDocument {
public:
    /// The root element; the document's first data member.
    XMLElement* m_pRoot;

    /// A new empty document whose root element is `rootName`. Throws std::runtime_error.
    explicit XMLDocument(char const* rootName);
    XMLDocument(const XMLDocument&) = delete;
    XMLDocument& operator=(const XMLDocument&) = delete;
    ~XMLDocument();

    /// Writes `document` (this document when null) to the file `path`, encoded in `encoding`
    /// (UTF-8 when null), with an XML declaration and indentation. Throws std::runtime_error
    /// naming the path when the file cannot be written; it then leaves no file.
    void write(char const* path, xercesc_3_2::DOMDocument* document, char const* encoding);
    /// Writes the same text to `sink`, in one piece once the whole text is made. Throws
    /// std::runtime_error, or what the sink throws; the sink gets nothing when the text fails.
    void write(IXmlSink& sink, xercesc_3_2::DOMDocument* document, char const* encoding);

private:
    xercesc_3_2::DOMDocument* m_pDocument;
};

} // namespace Orv::Pim::Core::Service::XML
