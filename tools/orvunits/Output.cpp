#include "Output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <ostream>
#include <system_error>
#include <utility>

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

constexpr char e_HexDigits[] = "0123456789abcdef";

} // namespace

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

void ReportLine(std::ostream& err, bool json, std::string_view message, int status) {
    if (json) {
        nlohmann::ordered_json line = {{"error", std::string(message)}, {"status", status}};
        err << line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    } else {
        err << "orvunits: " << OneLine(message) << '\n';
    }
}

void ReportWarning(std::ostream& err, bool json, std::string_view message) {
    if (json) {
        nlohmann::ordered_json line = {{"warning", std::string(message)}};
        err << line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    } else {
        err << "orvunits: warning: " << OneLine(message) << '\n';
    }
}

JsonWriter::JsonWriter(std::ostream& out) : m_out(out) {}

JsonWriter::~JsonWriter() = default;

void JsonWriter::BeforeValue() {
    if (m_levels.empty()) {
        return;
    }
    Level& level = m_levels.back();
    m_text += level.count++ > 0 ? ",\n" : "\n";
    m_text.append(2 * m_levels.size(), ' ');
    if (level.object) {
        // nlohmann-json escapes the text, replacing bytes that are not UTF-8.
        m_text += nlohmann::json(std::exchange(m_key, {}))
                      .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        m_text += ": ";
    }
}

JsonWriter& JsonWriter::Begin(char open) {
    BeforeValue();
    m_text += open;
    m_levels.push_back({open == '{', 0});
    return *this;
}

JsonWriter& JsonWriter::End(char close) {
    const bool empty = m_levels.back().count == 0;
    m_levels.pop_back();
    if (!empty) {
        m_text += '\n';
        m_text.append(2 * m_levels.size(), ' ');
    }
    m_text += close;
    return Raw({});
}

// A value with nothing open around it ends the document, which is written at once.
JsonWriter& JsonWriter::Raw(std::string_view text) {
    m_text += text;
    if (m_levels.empty()) {
        m_out << m_text << '\n';
        m_text.clear();
    }
    return *this;
}

JsonWriter& JsonWriter::BeginObject() {
    return Begin('{');
}

JsonWriter& JsonWriter::EndObject() {
    return End('}');
}

JsonWriter& JsonWriter::BeginArray() {
    return Begin('[');
}

JsonWriter& JsonWriter::EndArray() {
    return End(']');
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    m_key = name;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view value) {
    BeforeValue();
    return Raw(nlohmann::json(std::string(value))
                   .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

// JSON cannot hold infinities and NaN.
JsonWriter& JsonWriter::Number(double value) {
    if (!std::isfinite(value)) {
        return Null();
    }
    BeforeValue();
    char number[e_MaxNumberLength];
    return Raw(
        std::string_view(number, static_cast<std::size_t>(WriteNumber(number, value) - number)));
}

JsonWriter& JsonWriter::NumberText(std::string_view text) {
    BeforeValue();
    return Raw(text);
}

JsonWriter& JsonWriter::Integer(long long value) {
    BeforeValue();
    return Raw(std::to_string(value));
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    return Raw(value ? "true" : "false");
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    return Raw("null");
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
            // Names come from the catalogue: never write a control character to a terminal.
            line += OneLine(row[c], std::string::npos);
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
