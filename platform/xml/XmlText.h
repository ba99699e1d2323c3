// Strings between the UTF-8 of the XML library's callers and the UTF-16 of Xerces.
#pragma once

#include <xercesc/util/XercesDefs.hpp>

#include <string>

namespace Orv::Pim::Core::Service::XML::Detail {

using XmlString = std::basic_string<XMLCh>;

/// `text` (UTF-8) as Xerces characters. Throws std::runtime_error naming `what` when `text` is
/// null or not valid UTF-8.
XmlString FromUtf8(char const* text, std::string const& what);

/// Xerces characters as UTF-8; for messages.
std::string ToUtf8(XMLCh const* text);

/// `name` (UTF-8) as Xerces characters, checked to be an XML name. Throws std::runtime_error
/// naming `what` ("element", "attribute") and the offending name otherwise.
XmlString NameFromUtf8(char const* name, char const* what);

/// Position of the first character of `text` that XML 1.0 cannot carry (control characters
/// other than tab, line feed and carriage return, U+FFFE, U+FFFF, unpaired surrogates), or
/// npos.
std::size_t FindInvalidCharacter(XmlString const& text);

/// "U+0001": the code unit at `position` of `text`, for messages.
std::string DescribeCharacter(XmlString const& text, std::size_t position);

/// The message of a Xerces exception as UTF-8.
template <typename XercesException>
std::string MessageOf(XercesException const& exception) {
    return ToUtf8(exception.getMessage());
}

} // namespace Orv::Pim::Core::Service::XML::Detail
