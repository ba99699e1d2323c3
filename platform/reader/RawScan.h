// What the reader checks in a catalogue's raw bytes before the XML parser sees them: a document
// type declaration, bytes that are not UTF-8, attribute values too long to be worth parsing and
// more elements than a catalogue may have.
// Each is found in one pass and placed at its real line and column, which the parser cannot do
// for a bad byte (it decodes ahead in blocks) and which costs it time and memory to find for a
// huge value.
#pragma once

#include <units/reader/XmlUnitReader.h>

#include <cstddef>
#include <optional>
#include <string>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

/// Where something is: 1-based line and column, columns counted in UTF-16 units as the XML
/// parser counts them.
struct Position {
    int line = 0;
    int column = 0;
};

/// Line and column of byte offsets of one text, counted forward from the last offset asked for,
/// so that a walk through the text in order costs time linear in its size.
class TextPositions {
public:
    explicit TextPositions(const std::string& bytes) : m_bytes(bytes) {}

    /// The position of the byte at `offset`, which is at or after the last one asked for.
    Position At(std::size_t offset);

private:
    const std::string& m_bytes;
    std::size_t m_offset = 0;
    int m_line = 1;
    int m_column = 1;
};

/// True when the text's markup is ASCII, so that raw offsets mean something (not UTF-16 or
/// UTF-32).
bool IsAsciiCompatible(const std::string& bytes);

/// The first fault of the raw text, for a text whose markup is ASCII: a DOCTYPE, a byte that is
/// not UTF-8 in a text that declares no other encoding, an attribute value longer than the
/// limit, or the first element past the limit of elements.
struct RawFault {
    std::size_t offset;
    std::string message;
};
std::optional<RawFault> ScanRawText(const std::string& bytes, const CatalogueLimits& limits);

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
