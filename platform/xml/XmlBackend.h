// What the XML library asks of its Xerces-C module (XercesBackend.cpp), which it loads on first
// use: the document operations, on Xerces' own DOM objects. Each throws std::runtime_error with
// the message that the public operation documents.
#pragma once

#include <units/xml/XmlDocument.h>

namespace Orv::Pim::Core::Service::XML::Detail {

struct Backend {
    /// Initialises Xerces-C once per process.
    void (*initialise)();
    /// A new document whose root element is `rootName`.
    void (*createDocument)(char const* rootName, xercesc_3_2::DOMDocument*& document,
                           xercesc_3_2::DOMElement*& root);
    /// Frees a document made by createDocument.
    void (*releaseDocument)(xercesc_3_2::DOMDocument* document);
    /// Appends a new child element `name` to `parent`.
    xercesc_3_2::DOMElement* (*appendElement)(xercesc_3_2::DOMElement* parent, char const* name);
    void (*setAttribute)(xercesc_3_2::DOMElement* element, char const* name, char const* value);
    /// Writes the text of `document`, encoded in `encoding` (UTF-8 when null), to `sink`.
    void (*write)(IXmlSink& sink, xercesc_3_2::DOMDocument const* document, char const* encoding);
};

/// The module's entry point, exported with C linkage under the name kBackendEntry.
using BackendEntry = Backend const*();
constexpr char kBackendEntry[] = "orv_xml_backend";

} // namespace Orv::Pim::Core::Service::XML::Detail
