// The XML library's public classes. Everything they do happens in the Xerces-C module, which is
// loaded on first use, so that merely linking this library loads no XML parser.
#include "../ModuleLoader.h"
#include "XmlBackend.h"

#include <units/xml/XmlDocument.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <system_error>

#if defined(ORV_LINKED_MODULES)
// A static build links the module's code into the library.
ORV_MODULE_ENTRY Orv::Pim::Core::Service::XML::Detail::Backend const* orv_xml_backend();
#endif

namespace Orv::Pim::Core::Service::XML {

namespace {

// An address inside this library, to find the module beside it.
[[maybe_unused]] const char kAnchor = 0;

Detail::Backend const& TheBackend() {
#if defined(ORV_LINKED_MODULES)
    static Detail::Backend const* const backend = orv_xml_backend();
#else
    // Loaded once, by the first caller, even when several threads come at once.
    static Detail::Backend const* const backend =
        Service::Detail::LoadModuleEntry<Detail::BackendEntry>(&kAnchor, ORV_XML_BACKEND_FILE,
                                                               Detail::kBackendEntry)();
#endif
    return *backend;
}

std::runtime_error SystemError(int error) {
    return std::runtime_error(std::error_code(error, std::generic_category()).message());
}

// A file that is created when the first bytes come, so that a document whose text cannot be made
// leaves no file behind.
class FileSink final : public IXmlSink {
public:
    explicit FileSink(char const* path) : m_path(path) {}
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;
    ~FileSink() override {
        if (m_file != nullptr) {
            std::fclose(m_file);
        }
    }

    void Write(char const* data, std::size_t size) override {
        if (m_file == nullptr && (m_file = std::fopen(m_path, "wb")) == nullptr) {
            throw SystemError(errno);
        }
        if (std::fwrite(data, 1, size, m_file) != size) {
            throw SystemError(errno != 0 ? errno : EIO);
        }
    }

    // Closing flushes; a full disk may only show here.
    void Close() {
        std::FILE* file = m_file;
        m_file = nullptr;
        if (file != nullptr && std::fclose(file) != 0) {
            throw SystemError(errno);
        }
    }

private:
    char const* m_path;
    std::FILE* m_file = nullptr;
};

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
    if (path == nullptr) {
        throw std::runtime_error("Cannot write an XML file: the path is a null pointer");
    }
    FileSink file(path);
    try {
        write(file, document, encoding);
        file.Close();
    } catch (const std::runtime_error& e) {
        throw std::runtime_error("Cannot write the XML file '" + std::string(path) +
                                 "': " + e.what());
    }
}

void XMLDocument::write(IXmlSink& sink, xercesc_3_2::DOMDocument* document, char const* encoding) {
    TheBackend().write(sink, document != nullptr ? document : m_pDocument, encoding);
}

} // namespace Orv::Pim::Core::Service::XML
