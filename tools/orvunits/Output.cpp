#include "Output.h"

#include <algorithm>
#include <charconv>
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

// The document being built: the arrays and objects not yet ended, innermost last, each with the
// name it will be filed under in its parent, and the name given for the next member.
struct JsonWriter::Document {
    struct Open {
        std::string name;
        nlohmann::ordered_json value;
    };

    explicit Document(std::ostream& stream) : out(stream) {}

    void Begin(nlohmann::ordered_json empty) {
        open.push_back({std::exchange(key, {}), std::move(empty)});
    }

    void End() {
        Open ended = std::move(open.back());
        open.pop_back();
        Put(std::move(ended.name), std::move(ended.value));
    }

    void Put(nlohmann::ordered_json value) { Put(std::exchange(key, {}), std::move(value)); }

    // A value with nothing open around it is the whole document, and is written at once.
    void Put(std::string name, nlohmann::ordered_json value) {
        if (open.empty()) {
            out << value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                << '\n';
        } else if (open.back().value.is_object()) {
            open.back().value[std::move(name)] = std::move(value);
        } else {
            open.back().value.push_back(std::move(value));
        }
    }

    std::ostream& out;
    std::vector<Open> open;
    std::string key;
};

JsonWriter::JsonWriter(std::ostream& out) : m_document(std::make_unique<Document>(out)) {}

JsonWriter::~JsonWriter() = default;

JsonWriter& JsonWriter::BeginObject() {
    m_document->Begin(nlohmann::ordered_json::object());
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    m_document->End();
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    m_document->Begin(nlohmann::ordered_json::array());
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    m_document->End();
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    m_document->key = name;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view value) {
    m_document->Put(std::string(value));
    return *this;
}

// nlohmann-json writes the shortest text that reads back as the same double, and null for the
// values JSON cannot hold.
JsonWriter& JsonWriter::Number(double value) {
    m_document->Put(value);
    return *this;
}

JsonWriter& JsonWriter::Integer(long long value) {
    m_document->Put(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    m_document->Put(value);
    return *this;
}

JsonWriter& JsonWriter::Null() {
    m_document->Put(nullptr);
    return *this;
}

JsonWriter& JsonWriter::Member(std::string_view name, std::string_view value) {
    return Key(name).String(value);
}

JsonWriter& JsonWriter::Member(std::string_view name, const std::vector<std::string>& values) {
    Key(name);
    m_document->Put(values);
    return *this;
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
