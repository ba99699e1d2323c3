// The Xerces-C side of the XML library, built as a module that the library loads on first use.
#include "../ModuleLoader.h"
#include "XmlBackend.h"
#include "XmlSerialiser.h"
#include "XmlText.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLException.hpp>

#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <string>

namespace Orv::Pim::Core::Service::XML {

namespace {

using Detail::XmlString;

// When Xerces lives. It is initialised on first use and terminated during process exit, but
// only once no document of ours is left: Terminate frees every DOM node and all memory that
// Xerces manages, and documents may sit in objects of the host that are destroyed after our
// exit handler has run (statics made before the first Init, whose destructors run after
// handlers registered later). Each document therefore holds a count; the exit handler
// terminates when the count is zero, and otherwise the last document to go does. Never
// terminating would be safe too, but leak checkers would then report all that Xerces keeps.
// Xerces counts its own initialisations, so other code of the process that uses Xerces keeps
// it alive for itself.
struct XercesLifetime {
    std::mutex mutex;
    bool initialised = false;
    bool exitHandlerRegistered = false;
    bool exiting = false;
    std::size_t documents = 0;
};

// Constant-initialised, so it exists before any caller, and destroyed (if its destructor does
// anything at all) only after the exit handler, which is registered later.
XercesLifetime g_xerces;

void TerminateIfUnusedLocked() {
    if (g_xerces.initialised && g_xerces.exiting && g_xerces.documents == 0) {
        xercesc::XMLPlatformUtils::Terminate();
        g_xerces.initialised = false;
    }
}

void OnExit() {
    std::lock_guard<std::mutex> lock(g_xerces.mutex);
    g_xerces.exiting = true;
    TerminateIfUnusedLocked();
}

// Also after termination: a destructor that runs late in the exit may still need Xerces.
void InitialiseLocked() {
    if (g_xerces.initialised) {
        return;
    }
    try {
        xercesc::XMLPlatformUtils::Initialize();
    } catch (const xercesc::XMLException& e) {
        throw std::runtime_error("Cannot initialise the XML library: " + Detail::MessageOf(e));
    }
    g_xerces.initialised = true;
    if (!g_xerces.exitHandlerRegistered) {
        g_xerces.exitHandlerRegistered = std::atexit(OnExit) == 0;
    }
}

// Initialises Xerces if needed and counts one more document, in one step so that the exit
// handler cannot terminate in between.
void AcquireForDocument() {
    std::lock_guard<std::mutex> lock(g_xerces.mutex);
    InitialiseLocked();
    ++g_xerces.documents;
}

void ReleaseForDocument() {
    std::lock_guard<std::mutex> lock(g_xerces.mutex);
    --g_xerces.documents;
    TerminateIfUnusedLocked();
}

// Runs `action`, turning the exceptions of the DOM into std::runtime_error with `context`.
template <typename Action>
auto Guarded(std::string const& context, Action&& action) -> decltype(action()) {
    try {
        return action();
    } catch (const xercesc::DOMException& e) {
        throw std::runtime_error(context + ": " + Detail::MessageOf(e));
    } catch (const xercesc::XMLException& e) {
        throw std::runtime_error(context + ": " + Detail::MessageOf(e));
    }
}

std::string Quoted(char const* text) {
    return text == nullptr ? std::string("(null)") : "'" + std::string(text) + "'";
}

// The operations of the public classes, on Xerces' objects.

void InitialiseXerces() {
    std::lock_guard<std::mutex> lock(g_xerces.mutex);
    InitialiseLocked();
}

void CreateDocument(char const* rootName, xercesc::DOMDocument*& document,
                    xercesc::DOMElement*& root) {
    // Xerces must be ready before the name can be transcoded.
    AcquireForDocument();
    document = nullptr;
    try {
        const XmlString name = Detail::NameFromUtf8(rootName, "element");
        document = Guarded("Cannot create an XML document", [] {
            return xercesc::DOMImplementation::getImplementation()->createDocument();
        });
        root = Guarded("Cannot create the XML element " + Quoted(rootName),
                       [&] { return document->createElement(name.c_str()); });
        document->appendChild(root);
    } catch (...) {
        if (document != nullptr) {
            document->release();
            document = nullptr;
        }
        ReleaseForDocument();
        throw;
    }
}

void ReleaseDocument(xercesc::DOMDocument* document) {
    document->release();
    ReleaseForDocument();
}

xercesc::DOMElement* AppendElement(xercesc::DOMElement* parent, char const* name) {
    const XmlString elementName = Detail::NameFromUtf8(name, "element");
    return Guarded("Cannot add the XML element " + Quoted(name), [&] {
        xercesc::DOMElement* child = parent->getOwnerDocument()->createElement(elementName.c_str());
        parent->appendChild(child);
        return child;
    });
}

void SetAttribute(xercesc::DOMElement* element, char const* name, char const* value) {
    const XmlString attributeName = Detail::NameFromUtf8(name, "attribute");
    const XmlString attributeValue =
        Detail::FromUtf8(value, "The value of the XML attribute " + Quoted(name));
    // Refused here rather than when the document is written, so the caller learns which
    // attribute is at fault.
    const std::size_t bad = Detail::FindInvalidCharacter(attributeValue);
    if (bad != XmlString::npos) {
        throw std::runtime_error(
            "The value of the XML attribute " + Quoted(name) + " holds the character " +
            Detail::DescribeCharacter(attributeValue, bad) + ", which XML cannot carry");
    }
    Guarded("Cannot set the XML attribute " + Quoted(name),
            [&] { element->setAttribute(attributeName.c_str(), attributeValue.c_str()); });
}

void Write(IXmlSink& sink, xercesc::DOMDocument const* document, char const* encoding) {
    // The whole text is made before the sink gets any of it, so that a document that cannot be
    // written leaves nothing behind.
    const std::string bytes =
        Detail::Serialise(*document, encoding != nullptr ? encoding : "UTF-8");
    sink.Write(bytes.data(), bytes.size());
}

constexpr Detail::Backend kBackend = {InitialiseXerces, CreateDocument, ReleaseDocument,
                                      AppendElement,    SetAttribute,   Write};

} // namespace

} // namespace Orv::Pim::Core::Service::XML

ORV_MODULE_ENTRY Orv::Pim::Core::Service::XML::Detail::Backend const* orv_xml_backend() {
    return &Orv::Pim::Core::Service::XML::kBackend;
}
