#include "RawScan.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

Position TextPositions::At(std::size_t offset) {
    offset = std::min(offset, m_bytes.size());
    // Whole lines are skipped with memchr; only the bytes after the last line break are counted
    // one by one. A carriage return other than the one of a CR LF pair is a line break on its
    // own, and takes the careful walk below.
    const char* const text = m_bytes.data();
    while (m_offset < offset) {
        const void* newline = std::memchr(text + m_offset, '\n', offset - m_offset);
        if (newline == nullptr) {
            break;
        }
        const auto next = static_cast<std::size_t>(static_cast<const char*>(newline) - text);
        if (next > m_offset && std::memchr(text + m_offset, '\r', next - m_offset - 1) != nullptr) {
            break;
        }
        ++m_line;
        m_column = 1;
        m_offset = next + 1;
    }
    for (; m_offset < offset; ++m_offset) {
        const auto c = static_cast<unsigned char>(m_bytes[m_offset]);
        if (c == '\n' ||
            (c == '\r' && (m_offset + 1 == m_bytes.size() || m_bytes[m_offset + 1] != '\n'))) {
            ++m_line;
            m_column = 1;
        } else if ((c & 0xC0) != 0x80 && c != '\r') {
            // UTF-8 continuation bytes do not count; a four-byte sequence is two UTF-16 units.
            m_column += c >= 0xF0 ? 2 : 1;
        }
    }
    return {m_line, m_column};
}

bool IsAsciiCompatible(const std::string& bytes) {
    return !(bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0' ||
                                   static_cast<unsigned char>(bytes[0]) >= 0xFE));
}

namespace {

bool StartsWith(const std::string& bytes, std::size_t at, const char* prefix) {
    return bytes.compare(at, std::strlen(prefix), prefix) == 0;
}

/// Where the prolog's DOCTYPE starts, if it has one, skipping the declaration, processing
/// instructions, comments and white space before it.
std::optional<std::size_t> FindDoctype(const std::string& bytes, std::size_t at) {
    for (;;) {
        at = bytes.find_first_not_of(" \t\r\n", at);
        if (at == std::string::npos) {
            return std::nullopt;
        }
        const char* end = nullptr;
        if (StartsWith(bytes, at, "<?")) {
            end = "?>";
        } else if (StartsWith(bytes, at, "<!--")) {
            end = "-->";
        } else if (StartsWith(bytes, at, "<!DOCTYPE")) {
            return at;
        } else {
            return std::nullopt;
        }
        at = bytes.find(end, at + 2);
        if (at == std::string::npos) {
            return std::nullopt;
        }
        at += std::strlen(end);
    }
}

/// True when the text is to be UTF-8: it declares no encoding, or declares UTF-8.
bool DeclaresUtf8(const std::string& bytes, std::size_t start) {
    if (!StartsWith(bytes, start, "<?xml")) {
        return true;
    }
    const std::size_t end = bytes.find("?>", start);
    const std::size_t encoding = bytes.find("encoding", start);
    if (encoding == std::string::npos || encoding > end) {
        return true;
    }
    const std::size_t open = bytes.find_first_of("\"'", encoding);
    const std::size_t close = open == std::string::npos ? open : bytes.find(bytes[open], open + 1);
    if (close == std::string::npos || close > end) {
        return true; // the parser reports the broken declaration
    }
    std::string name = bytes.substr(open + 1, close - open - 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name == "utf-8" || name == "utf8";
}

/// The offset of the first byte that does not begin or continue a well-formed UTF-8 sequence.
std::optional<std::size_t> FindBadUtf8(const std::string& bytes) {
    const auto* text = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size;) {
        // ASCII, nearly all of a catalogue, is passed eight bytes at a time.
        std::uint64_t word = 0;
        if (i + sizeof word <= size) {
            std::memcpy(&word, text + i, sizeof word);
            if ((word & 0x8080808080808080u) == 0) {
                i += sizeof word;
                continue;
            }
        }
        const unsigned char c = text[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        // Lead bytes, and the range of the byte after each: no overlong forms, no surrogates,
        // nothing above U+10FFFF.
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return i;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const bool inRange = k == 1
                                     ? (i + k < size && text[i + k] >= low && text[i + k] <= high)
                                     : (i + k < size && (text[i + k] & 0xC0) == 0x80);
            if (!inRange) {
                return i;
            }
        }
        i += length;
    }
    return std::nullopt;
}

/// The name of the attribute whose value opens with the quote at `quote`.
std::string AttributeNameBefore(const std::string& bytes, std::size_t quote) {
    std::size_t end = bytes.find_last_not_of(" \t\r\n=", quote == 0 ? 0 : quote - 1);
    if (end == std::string::npos) {
        return std::string();
    }
    std::size_t start = end;
    while (start > 0 && std::strchr(" \t\r\n<\"'", bytes[start - 1]) == nullptr) {
        --start;
    }
    return bytes.substr(start, std::min<std::size_t>(end + 1 - start, 40));
}

/// The first attribute value longer than `longest`, or the first element past the `mostElements`
/// of a catalogue, walking the markup: comments, processing instructions and character data
/// sections are skipped, and quotes count only inside tags.
std::optional<RawFault> FindMarkupFault(const std::string& bytes, std::size_t longest,
                                        std::size_t mostElements) {
    const std::size_t size = bytes.size();
    std::size_t elements = 0;
    for (std::size_t i = bytes.find('<'); i != std::string::npos; i = bytes.find('<', i)) {
        const char* skipTo = StartsWith(bytes, i, "<!--")        ? "-->"
                             : StartsWith(bytes, i, "<![CDATA[") ? "]]>"
                             : StartsWith(bytes, i, "<?")        ? "?>"
                                                                 : nullptr;
        if (skipTo != nullptr) {
            i = bytes.find(skipTo, i + 2);
            if (i == std::string::npos) {
                return std::nullopt;
            }
            continue;
        }
        if (i + 1 < size && bytes[i + 1] != '/' && ++elements > mostElements) {
            return RawFault{i, "the catalogue has more than " + std::to_string(mostElements) +
                                   " elements"};
        }
        for (++i; i < size && bytes[i] != '>' && bytes[i] != '<'; ++i) {
            if (bytes[i] != '"' && bytes[i] != '\'') {
                continue;
            }
            const std::size_t close = bytes.find(bytes[i], i + 1);
            const std::size_t length = (close == std::string::npos ? size : close) - i - 1;
            if (length > longest) {
                return RawFault{i + 1, "the value of the attribute " +
                                           AttributeNameBefore(bytes, i) + " is " +
                                           std::to_string(length) + " bytes long; at most " +
                                           std::to_string(longest) + " are allowed"};
            }
            if (close == std::string::npos) {
                return std::nullopt;
            }
            i = close;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<RawFault> ScanRawText(const std::string& bytes, const CatalogueLimits& limits) {
    const std::size_t start = StartsWith(bytes, 0, "\xEF\xBB\xBF") ? 3 : 0;
    if (const auto doctype = FindDoctype(bytes, start)) {
        return RawFault{*doctype,
                        "a document type declaration (DOCTYPE) is not allowed in a catalogue"};
    }
    if (DeclaresUtf8(bytes, start)) {
        if (const auto bad = FindBadUtf8(bytes)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(bytes[*bad]));
            return RawFault{*bad, std::string("the byte ") + hex +
                                      " is not valid UTF-8, the encoding of the catalogue"};
        }
    }
    return FindMarkupFault(bytes, limits.maxAttributeLength, limits.maxElements);
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
