#include "Output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>
#include <system_error>

namespace Orv::UnitsTool {

char* WriteNumber(char* first, double value) {
    // to_chars writes the shortest text that reads back exactly, independent of the locale.
    const std::to_chars_result result = std::to_chars(first, first + e_MaxNumberLength, value);
    return result.ptr;
}

std::string FormatNumber(double value) {
    char buffer[e_MaxNumberLength];
    return std::string(buffer, WriteNumber(buffer, value));
}

e_NumberRead ReadNumber(std::string_view text, double& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    // from_chars takes a minus sign but no plus sign; "+-5" stays refused.
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-' && first[1] != '+') {
        ++first;
    }
    if (first == last) {
        return e_NumberRead::e_NotANumber;
    }
    double parsed = 0.0;
    const std::from_chars_result result = std::from_chars(first, last, parsed);
    if (result.ec == std::errc::result_out_of_range) {
        return e_NumberRead::e_OutOfRange;
    }
    if (result.ec != std::errc() || result.ptr != last) {
        return e_NumberRead::e_NotANumber;
    }
    value = parsed;
    return e_NumberRead::e_Ok;
}

namespace {

// The length of the valid UTF-8 sequence at `text[i]`, or 0 when the bytes there are not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(k) < 0x80 || byte(k) > 0xBF) {
            return 0;
        }
    }
    return length;
}

constexpr char e_HexDigits[] = "0123456789abcdef";

} // namespace

std::string JsonQuote(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text, i);
            if (length == 0) {
                quoted += "\\ufffd";
                ++i;
            } else {
                quoted.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        case '\b':
            quoted += "\\b";
            break;
        case '\f':
            quoted += "\\f";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                quoted += "\\u00";
                quoted += e_HexDigits[c >> 4];
                quoted += e_HexDigits[c & 0xF];
            } else {
                quoted += static_cast<char>(c);
            }
        }
        ++i;
    }
    quoted += '"';
    return quoted;
}

std::string OneLine(std::string_view text, std::size_t maxLength) {
    std::string line;
    const std::size_t kept = std::min(text.size(), maxLength);
    line.reserve(kept + 3);
    for (std::size_t i = 0; i < kept; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            line += "\\x";
            line += e_HexDigits[c >> 4];
            line += e_HexDigits[c & 0xF];
        } else {
            line += static_cast<char>(c);
        }
    }
    if (kept < text.size()) {
        line += "...";
    }
    return line;
}

JsonWriter::JsonWriter(std::ostream& out) : m_out(out) {}

void JsonWriter::NewLine() {
    m_out << '\n';
    for (std::size_t i = 0; i < m_levels.size(); ++i) {
        m_out << "  ";
    }
}

void JsonWriter::BeforeValue() {
    if (m_bAfterKey) {
        m_bAfterKey = false;
        return;
    }
    if (m_levels.empty()) {
        return;
    }
    Level& level = m_levels.back();
    if (!level.isEmpty) {
        m_out << ',';
    }
    level.isEmpty = false;
    NewLine();
}

JsonWriter& JsonWriter::BeginObject() {
    BeforeValue();
    m_out << '{';
    m_levels.push_back({true, true});
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    const bool wasEmpty = m_levels.back().isEmpty;
    m_levels.pop_back();
    if (!wasEmpty) {
        NewLine();
    }
    m_out << '}';
    if (m_levels.empty()) {
        m_out << '\n';
    }
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    BeforeValue();
    m_out << '[';
    m_levels.push_back({false, true});
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    const bool wasEmpty = m_levels.back().isEmpty;
    m_levels.pop_back();
    if (!wasEmpty) {
        NewLine();
    }
    m_out << ']';
    if (m_levels.empty()) {
        m_out << '\n';
    }
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    Level& level = m_levels.back();
    if (!level.isEmpty) {
        m_out << ',';
    }
    level.isEmpty = false;
    NewLine();
    m_out << JsonQuote(name) << ": ";
    m_bAfterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view value) {
    BeforeValue();
    m_out << JsonQuote(value);
    return *this;
}

JsonWriter& JsonWriter::Number(double value) {
    if (!std::isfinite(value)) {
        return Null();
    }
    BeforeValue();
    m_out << FormatNumber(value);
    return *this;
}

JsonWriter& JsonWriter::Integer(long long value) {
    BeforeValue();
    char buffer[24];
    m_out.write(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    m_out << (value ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    m_out << "null";
    return *this;
}

JsonWriter& JsonWriter::Member(std::string_view name, std::string_view value) {
    return Key(name).String(value);
}

JsonWriter& JsonWriter::Member(std::string_view name, const std::vector<std::string>& values) {
    Key(name).BeginArray();
    for (const std::string& value : values) {
        String(value);
    }
    return EndArray();
}

namespace {

// Characters, not bytes, so that symbols such as "°C" line up.
std::size_t DisplayWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace

void PrintColumns(std::ostream& out, const Rows& rows, std::string_view indent) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], DisplayWidth(row[c]));
        }
    }
    for (const auto& row : rows) {
        std::string line(indent);
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) {
                line.append(widths[c] - DisplayWidth(row[c]) + 2, ' ');
            }
        }
        // An empty last cell would leave the padding of the one before it.
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
}

std::string JoinOrDash(const std::vector<std::string>& items, std::string_view separator) {
    if (items.empty()) {
        return "-";
    }
    std::string joined = items.front();
    for (std::size_t i = 1; i < items.size(); ++i) {
        joined += separator;
        joined += items[i];
    }
    return joined;
}

} // namespace Orv::UnitsTool
