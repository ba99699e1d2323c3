#include "XercesSupport.h"

#include <cstddef>
#include <cstdint>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

namespace {

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsHighSurrogate(std::uint32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(std::uint32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

// Converted by hand: Xerces' own transcoders are made anew for every string, which costs more
// than reading the rest of a catalogue.
std::string ToUtf8(const XMLCh* text) {
    std::string out;
    if (text == nullptr) {
        return out;
    }
    // Catalogue text is nearly all ASCII: copied as it is up to the first other unit, in one
    // allocation, and encoded from there on.
    std::size_t length = 0;
    std::size_t ascii = 0;
    for (; text[length] != 0; ++length) {
        ascii += ascii == length && text[length] < 0x80;
    }
    out.reserve(length + (length - ascii) * 2);
    out.resize(ascii);
    for (std::size_t i = 0; i < ascii; ++i) {
        out[i] = static_cast<char>(text[i]);
    }
    for (const XMLCh* at = text + ascii; *at != 0; ++at) {
        std::uint32_t c = static_cast<std::uint16_t>(*at);
        if (IsHighSurrogate(c) && IsLowSurrogate(static_cast<std::uint16_t>(at[1]))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<std::uint16_t>(at[1]) - 0xDC00);
            ++at;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = 0xFFFD; // a lone surrogate, which a well-formed text cannot hold
        }
        AppendUtf8(out, c);
    }
    return out;
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
