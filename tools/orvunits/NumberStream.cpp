#include "NumberStream.h"

#include "Output.h"
#include "Session.h"

#include <units/UnitConverter.h>

#include <cmath>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace Orv::UnitsTool {

namespace {

constexpr std::size_t e_BlockSize = std::size_t{1} << 20;
// No number needs more characters than this; a longer token is refused before it fills memory.
constexpr std::size_t e_MaxTokenLength = 4096;

bool IsBlank(char c) {
    return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Where the reader is in the whole input, for error messages.
struct Position {
    std::size_t blockStart = 0; // offset in the input of the block's first byte
    std::size_t line = 1;
    std::size_t lineStart = 0; // offset in the input of the current line's first byte
};

// "<before> '<token>' at line L, column C<after>".
InputError Refusal(std::string_view token, const Position& position, std::size_t offsetInBlock,
                   const char* before, const char* after = "") {
    const std::size_t column = position.blockStart + offsetInBlock - position.lineStart + 1;
    return InputError(std::string(before) + " '" + OneLine(token, 40) + "' at line " +
                      std::to_string(position.line) + ", column " + std::to_string(column) + after);
}

// The position of `offset` in `block`, counted from the block's start at `start`.
Position PositionIn(const std::string& block, std::size_t offset, Position start) {
    for (std::size_t i = 0; i < offset; ++i) {
        if (block[i] == '\n') {
            ++start.line;
            start.lineStart = start.blockStart + i + 1;
        }
    }
    return start;
}

// Writes the converted numbers of one block, each after the white space that came before it.
class BlockWriter {
public:
    BlockWriter(std::ostream& out, bool json) : m_out(out), m_bJson(json) {}

    void Begin() {
        if (m_bJson) {
            m_text += '[';
        }
    }

    void Write(const std::string& block, const std::vector<std::size_t>& gapStarts,
               const std::vector<std::size_t>& tokenStarts, const std::vector<double>& values,
               std::size_t trailingStart, std::size_t trailingEnd) {
        char number[e_MaxNumberLength];
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (m_bJson) {
                m_text += m_bAnyWritten ? ",\n  " : "\n  ";
                m_bAnyWritten = true;
                // JSON cannot hold infinities and NaN, which come only from such inputs.
                if (std::isfinite(values[i])) {
                    m_text.append(number, WriteNumber(number, values[i]));
                } else {
                    m_text += "null";
                }
            } else {
                m_text.append(block, gapStarts[i], tokenStarts[i] - gapStarts[i]);
                m_text.append(number, WriteNumber(number, values[i]));
            }
        }
        if (!m_bJson) {
            m_text.append(block, trailingStart, trailingEnd - trailingStart);
        }
        Flush();
    }

    void End() {
        if (m_bJson) {
            m_text += m_bAnyWritten ? "\n]\n" : "]\n";
        }
        Flush();
    }

private:
    void Flush() {
        m_out.write(m_text.data(), static_cast<std::streamsize>(m_text.size()));
        m_text.clear();
    }

    std::ostream& m_out;
    bool m_bJson;
    bool m_bAnyWritten = false;
    std::string m_text;
};

} // namespace

std::size_t ConvertNumberStream(std::istream& in, std::ostream& out,
                                const Orv::Pim::Core::Service::Units::UnitConverter& converter,
                                bool json) {
    BlockWriter writer(out, json);
    writer.Begin();

    std::string block;
    std::vector<double> values;
    std::vector<double> results;
    std::vector<std::size_t> gapStarts;   // where the white space before each number starts
    std::vector<std::size_t> tokenStarts; // where each number starts
    Position position;
    std::size_t gapStart = 0;
    // Converts the values of the block in one go and checks each result against its value; at
    // the first that is refused, writes those before it, closes a JSON array and throws.
    const auto convert = [&](const Position& blockStart) {
        results = values;
        converter.Convert(results);
        for (std::size_t k = 0; k < values.size(); ++k) {
            results[k] = ConvertedValue(values[k], results[k], [&](const char* problem) {
                results.resize(k);
                writer.Write(block, gapStarts, tokenStarts, results, gapStarts[k], gapStarts[k]);
                writer.End();
                const std::size_t start = tokenStarts[k];
                const std::size_t end = k + 1 < values.size() ? gapStarts[k + 1] : gapStart;
                return Refusal(std::string_view(block).substr(start, end - start),
                               PositionIn(block, start, blockStart), start, "converting",
                               (" " + std::string(problem)).c_str());
            });
        }
    };
    std::size_t count = 0;
    bool atEnd = false;

    while (!atEnd) {
        // The block keeps the unfinished token of the previous one at its start.
        const std::size_t carried = block.size();
        block.resize(carried + e_BlockSize);
        in.read(&block[carried], static_cast<std::streamsize>(e_BlockSize));
        block.resize(carried + static_cast<std::size_t>(in.gcount()));
        if (in.bad()) {
            throw InputError("cannot read the standard input");
        }
        atEnd = !in;
        const Position blockStart = position;

        values.clear();
        gapStarts.clear();
        tokenStarts.clear();
        const std::size_t size = block.size();
        std::size_t i = 0;
        gapStart = 0;
        while (true) {
            for (; i < size && IsBlank(block[i]); ++i) {
                if (block[i] == '\n') {
                    ++position.line;
                    position.lineStart = position.blockStart + i + 1;
                }
            }
            if (i == size) {
                break;
            }
            const std::size_t start = i;
            while (i < size && !IsBlank(block[i])) {
                ++i;
            }
            const std::string_view token(block.data() + start, i - start);
            if (i == size && !atEnd) {
                // The token may go on in the next block.
                if (token.size() > e_MaxTokenLength) {
                    throw Refusal(token, position, start, "bad number");
                }
                i = start;
                break;
            }
            double value = 0.0;
            const e_NumberRead read = token.size() > e_MaxTokenLength ? e_NumberRead::e_NotANumber
                                                                      : ReadNumber(token, value);
            if (read != e_NumberRead::e_Ok) {
                // Write what came before the bad token, then refuse it.
                convert(blockStart);
                writer.Write(block, gapStarts, tokenStarts, results, gapStart, gapStart);
                writer.End();
                throw Refusal(token, position, start,
                              read == e_NumberRead::e_OutOfRange ? "number out of range"
                                                                 : "bad number");
            }
            gapStarts.push_back(gapStart);
            tokenStarts.push_back(start);
            values.push_back(value);
            gapStart = i;
        }

        convert(blockStart);
        writer.Write(block, gapStarts, tokenStarts, results, gapStart, i);
        count += values.size();

        block.erase(0, i);
        position.blockStart += i;
    }
    writer.End();
    return count;
}

} // namespace Orv::UnitsTool
