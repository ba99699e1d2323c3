// Output helpers shared by the commands: numbers that read back to the same double, JSON written
// through nlohmann-json, aligned columns, and one-line error texts.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Orv::UnitsTool {

/// Room for any double written by WriteNumber.
constexpr std::size_t e_MaxNumberLength = 32;

/// Writes `value` at `first` in the shortest form that reads back to the same double ("nan",
/// "inf", "-inf" for the others); returns the end. `first` has room for e_MaxNumberLength chars.
char* WriteNumber(char* first, double value);
/// `value` in the shortest form that reads back to the same double.
std::string FormatNumber(double value);

/// The outcome of reading a number.
enum class e_NumberRead { e_Ok, e_NotANumber, e_OutOfRange };
/// Reads the whole of `text` as a number in the C locale, whatever the host's locale: an optional
/// sign, digits with an optional "." and exponent, or inf, infinity and nan in any case.
e_NumberRead ReadNumber(std::string_view text, double& value);

/// `text` made printable on one line: control bytes become \xNN, longer texts are cut at
/// `maxLength` bytes with "..." after them.
std::string OneLine(std::string_view text, std::size_t maxLength = 1000);

/// Writes an error or warning to `err` as one line: "orvunits: [warning: ]message", or under
/// --json one JSON object, {"error": message, "status": status} or {"warning": message}.
void ReportLine(std::ostream& err, bool json, std::string_view message, int status);
/// A warning, as ReportLine writes it.
void ReportWarning(std::ostream& err, bool json, std::string_view message);

/// Writes one JSON document to a stream once its outermost array or object ends: two blanks of
/// indentation per level, a newline after it, numbers as WriteNumber writes them (so a whole
/// number has no ".0", and -0 keeps its sign), and U+FFFD for bytes of strings that are not
/// UTF-8. A document that an exception interrupts writes nothing.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out);
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;
    ~JsonWriter();

    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    /// The name of the next member of the current object.
    JsonWriter& Key(std::string_view name);
    JsonWriter& String(std::string_view value);
    /// A number; null for infinities and NaN, which JSON cannot hold.
    JsonWriter& Number(double value);
    JsonWriter& Integer(long long value);
    /// A finite number already written as text, such as WriteNumber writes.
    JsonWriter& NumberText(std::string_view text);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();
    /// A member whose value is a string.
    JsonWriter& Member(std::string_view name, std::string_view value);
    /// A member whose value is an array of strings.
    JsonWriter& Member(std::string_view name, const std::vector<std::string>& values);

private:
    // Starts a value: the separator, the indentation and the pending key.
    void BeforeValue();
    JsonWriter& Begin(char open);
    JsonWriter& End(char close);
    JsonWriter& Raw(std::string_view text);

    struct Level {
        bool object;
        std::size_t count;
    };
    std::ostream& m_out;
    std::string m_text;
    std::vector<Level> m_levels;
    std::string m_key;
};

/// A table of text cells, one row per line, with columns padded to the widest cell (counted in
/// UTF-8 characters) and two blanks between them; the last column is not padded.
using Rows = std::vector<std::vector<std::string>>;
void PrintColumns(std::ostream& out, const Rows& rows, std::string_view indent = {});

/// Joins `items` with `separator`; "-" for an empty list.
std::string JoinOrDash(const std::vector<std::string>& items, std::string_view separator = " ");

} // namespace Orv::UnitsTool
