// The XML contract: where a written document's text goes. The XML library writes its documents
// (units/xml/XmlDocument.h) to a file or to any sink, so that callers can keep or compare the
// exact text.
#pragma once

#include <cstddef>

namespace Orv::Pim::Core::Service::XML {

/// Receives the bytes of a written document, in order, in pieces of any size.
class IXmlSink {
public:
    virtual ~IXmlSink() = default;
    /// Takes the next `size` bytes of the text. May throw; the writer then stops.
    virtual void Write(const char* data, std::size_t size) = 0;

protected:
    IXmlSink() = default;
    IXmlSink(const IXmlSink&) = default;
    IXmlSink& operator=(const IXmlSink&) = default;
};

} // namespace Orv::Pim::Core::Service::XML
