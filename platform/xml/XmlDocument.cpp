// The XML library's public classes. Everything they do happens in the Xerces-C module, which is
// loaded on first use, so that merely linking this library loads no XML parser.
#include "../ModuleLoader.h"
#include "XmlBackend.h"

#include <units/xml/XmlDocument.h>

namespace Orv::Pim::Core::Service::XML {

namespace {

// An address inside this library, to find the module beside it.
const char kAnchor = 0;

Detail::Backend const& TheBackend() {
    // Loaded once, by the first caller, even when several threads come at once.
    static Detail::Backend const* const backend =
        Service::Detail::LoadModuleEntry<Detail::BackendEntry>(&kAnchor, ORV_XML_BACKEND_FILE,
                                                               Detail::kBackendEntry)();
    return *backend;
}

} // namespace

void Initialise::Init() {
    TheBackend().initialise();
}

XMLElement::XMLElement(xercesc_3_2::DOMElement* element) : m_pElement(element) {}

XMLElement::XMLElement(XMLElement& parent, char const* name)
    : m_pElement(TheBackend().appendElement(parent.m_pElement, name)) {}

// The element belongs to its document; the handle only points at it.
XMLElement::~XMLElement() = default;

void XMLElement::setAttribute(char const* name, char const* value) {
    TheBackend().setAttribute(m_pElement, name, value);
}

XMLDocument::XMLDocument(char const* rootName) : m_pRoot(nullptr), m_pDocument(nullptr) {
    xercesc_3_2::DOMElement* root = nullptr;
    TheBackend().createDocument(rootName, m_pDocument, root);
    try {
        m_pRoot = new XMLElement(root);
    } catch (...) {
        TheBackend().releaseDocument(m_pDocument);
        throw;
    }
}

XMLDocument::~XMLDocument() {
    delete m_pRoot;
    TheBackend().releaseDocument(m_pDocument);
}

void XMLDocument::write(char const* path, xercesc_3_2::DOMDocument* document,
                        char const* encoding) {
    TheBackend().write(path, document != nullptr ? document : m_pDocument, encoding);
}

} // namespace Orv::Pim::Core::Service::XML
