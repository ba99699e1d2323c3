// Turns a Xerces DOM document into the bytes of an XML file.
#pragma once

#include <string>

namespace xercesc_3_2 {
class DOMDocument;
} // namespace xercesc_3_2

namespace Orv::Pim::Core::Service::XML::Detail {

/// The text of `document` encoded in `encoding` (an encoding name Xerces knows): an XML
/// declaration naming the encoding, then the document's nodes, one per line. An element whose
/// children are all elements, comments or processing instructions has them indented by two
/// blanks per level; an element holding text is written on one line exactly as it is, so that
/// no whitespace is added to its content. Attributes follow the DOM's order, which Xerces keeps
/// sorted by name. A document in UTF-16 starts with a byte order mark. Special characters are
/// escaped as character or entity references; characters the encoding cannot carry in text become
/// character references. Throws std::runtime_error for an unknown encoding, for a character XML
/// cannot carry, and for a name the encoding cannot carry.
std::string Serialise(xercesc_3_2::DOMDocument const& document, char const* encoding);

} // namespace Orv::Pim::Core::Service::XML::Detail
