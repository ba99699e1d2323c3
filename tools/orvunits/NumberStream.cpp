#include "NumberStream.h"

#include "Output.h"
#include "Session.h"

#include <algorithm>
#include <future>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace Orv::UnitsTool {

namespace {

constexpr std::size_t e_BlockSize = std::size_t{1} << 20;
// No number needs more characters than this; a longer token is refused before it fills memory.
constexpr std::size_t e_MaxTokenLength = 4096;

bool IsBlank(char c) {
    return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// A part of the input that ends after a blank or at the end of the input (or inside a token too
// long to be a number), and what converting it gave. Blocks are converted independently, so any
// thread may convert any of them.
struct Block {
    std::string text;
    std::string out;       // its numbers converted, each after the white space before it
    std::size_t count = 0; // the numbers converted
    // A token refused, with what is said before and after it; the output stops before it.
    bool refused = false;
    std::size_t refusedStart = 0;
    std::size_t refusedEnd = 0;
    const char* before = "";
    const char* after = "";
    // Room for the work on its numbers, kept from one part of the input to the next.
    std::vector<std::string_view> tokens;
    std::vector<TypedNumber> numbers;
    std::vector<double> results;

    // Ready for another part of the input, keeping the memory of its strings.
    void Clear() {
        text.clear();
        out.clear();
        count = 0;
        refused = false;
        before = after = "";
        tokens.clear();
        numbers.clear();
    }
};

// Reads and converts the numbers of `block` into its output, up to the first token refused:
// each after the white space before it, or as a JSON array element after ",\n  " (the writer
// drops the comma of the array's first element).
void Convert(Block& block, const DecimalConverter& converter, bool json) {
    const std::string& text = block.text;
    std::vector<std::string_view>& tokens = block.tokens;
    std::vector<TypedNumber>& numbers = block.numbers;
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        for (; i < size && IsBlank(text[i]); ++i) {
        }
        if (i == size) {
            break;
        }
        const std::size_t start = i;
        for (; i < size && !IsBlank(text[i]); ++i) {
        }
        const std::string_view token(text.data() + start, i - start);
        TypedNumber number{};
        const e_NumberRead read =
            token.size() > e_MaxTokenLength ? e_NumberRead::e_NotANumber : ReadTyped(token, number);
        if (read != e_NumberRead::e_Ok) {
            block.refused = true;
            block.refusedStart = start;
            block.refusedEnd = i;
            block.before =
                read == e_NumberRead::e_OutOfRange ? "number out of range" : "bad number";
            break;
        }
        tokens.push_back(token);
        numbers.push_back(number);
    }

    std::vector<double>& results = block.results;
    results.resize(numbers.size());
    converter.Convert(tokens.data(), numbers.data(), results.data(), results.size());
    std::size_t count = results.size();
    for (std::size_t k = 0; k < count; ++k) {
        const double value = numbers[k].value;
        if (results[k] == 0.0 && value == 0.0) {
            results[k] = std::copysign(0.0, value);
        } else if (const char* problem = ConversionProblem(value, results[k])) {
            // A refused result comes before any bad token after it.
            block.refused = true;
            block.refusedStart = static_cast<std::size_t>(tokens[k].data() - text.data());
            block.refusedEnd = block.refusedStart + tokens[k].size();
            block.before = "converting";
            block.after = problem;
            count = k;
        }
    }

    std::string& out = block.out;
    out.reserve(text.size() + text.size() / 2);
    char number[e_MaxNumberLength];
    std::size_t written = 0; // the end of the last token written
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t start = static_cast<std::size_t>(tokens[k].data() - text.data());
        if (json) {
            out += ",\n  ";
            if (!std::isfinite(results[k])) {
                out +=
                    "null"; // JSON cannot hold infinities and NaN, which come only from such input
                continue;
            }
        } else {
            out.append(text, written, start - written);
        }
        out.append(number, converter.Write(number, tokens[k], results[k]));
        written = start + tokens[k].size();
    }
    if (!json && !block.refused) {
        out.append(text, written, std::string::npos);
    }
    block.count = count;
}

// Reads the blocks of the input: each as large as e_BlockSize and a token cut at its end, or
// the rest of the input.
class BlockReader {
public:
    explicit BlockReader(std::istream& in) : m_in(in) {}

    // False at the end of the input.
    bool Next(Block& block) {
        if (m_bAtEnd) {
            return false;
        }
        block.Clear();
        std::string& text = block.text;
        text.swap(m_carried);
        const std::size_t carried = text.size();
        text.resize(carried + e_BlockSize);
        m_in.read(&text[carried], static_cast<std::streamsize>(e_BlockSize));
        text.resize(carried + static_cast<std::size_t>(m_in.gcount()));
        if (m_in.bad()) {
            throw InputError("cannot read the standard input");
        }
        m_bAtEnd = !m_in;
        if (!m_bAtEnd) {
            // The last token may go on in the next block, unless it is too long for a number.
            const auto blank = std::find_if(text.rbegin(), text.rend(), IsBlank);
            const auto end = static_cast<std::size_t>(text.rend() - blank);
            if (text.size() - end <= e_MaxTokenLength) {
                m_carried.assign(text, end, std::string::npos);
                text.resize(end);
            }
        }
        return true;
    }

private:
    std::istream& m_in;
    std::string m_carried;
    bool m_bAtEnd = false;
};

// Writes converted blocks in the order of the input, keeping the line and column of their
// starts for the refusal of a token.
class BlockWriter {
public:
    BlockWriter(std::ostream& out, bool json) : m_out(out), m_bJson(json) {
        if (m_bJson) {
            m_out << '[';
        }
    }

    // Writes what `block` converted; throws its refusal, after closing a JSON array.
    void Write(const Block& block) {
        std::string_view out = block.out;
        if (m_bJson && !m_bAnyWritten && !out.empty()) {
            out.remove_prefix(1); // the first element has no comma before it
        }
        m_bAnyWritten = m_bAnyWritten || block.count > 0;
        m_out.write(out.data(), static_cast<std::streamsize>(out.size()));
        m_count += block.count;
        const std::string& text = block.text;
        const std::size_t end = block.refused ? block.refusedStart : text.size();
        for (std::size_t i = 0; i < end; ++i) {
            if (text[i] == '\n') {
                ++m_line;
                m_lineStart = m_blockStart + i + 1;
            }
        }
        if (block.refused) {
            End();
            const std::size_t column = m_blockStart + block.refusedStart - m_lineStart + 1;
            const std::string_view token(text.data() + block.refusedStart,
                                         block.refusedEnd - block.refusedStart);
            throw InputError(std::string(block.before) + " '" + OneLine(token, 40) + "' at line " +
                             std::to_string(m_line) + ", column " + std::to_string(column) +
                             (*block.after != '\0' ? " " : "") + block.after);
        }
        m_blockStart += text.size();
    }

    // Closes a JSON array; returns the count of numbers written.
    std::size_t End() {
        if (m_bJson) {
            m_out << (m_bAnyWritten ? "\n]\n" : "]\n");
        }
        return m_count;
    }

private:
    std::ostream& m_out;
    bool m_bJson;
    bool m_bAnyWritten = false;
    std::size_t m_count = 0;
    std::size_t m_blockStart = 0; // offset in the input of the next block's first byte
    std::size_t m_line = 1;
    std::size_t m_lineStart = 0; // offset in the input of the current line's first byte
};

} // namespace

std::size_t ConvertNumberStream(std::istream& in, std::ostream& out,
                                const DecimalConverter& converter, bool json, unsigned threads) {
    if (threads == 0) {
        // More threads than this gain little over the reading and writing, which are serial.
        threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    }
    BlockReader reader(in);
    BlockWriter writer(out, json);
    // A batch of one block per thread: the first is converted here, the others alongside it.
    std::vector<Block> batch(threads);
    std::vector<std::future<void>> others;
    std::size_t size = reader.Next(batch[0]) ? 1 : 0;
    while (size > 0) {
        // Input of one block needs no other thread.
        while (size < threads && reader.Next(batch[size])) {
            ++size;
        }
        others.clear();
        for (std::size_t j = 1; j < size; ++j) {
            others.push_back(
                std::async(std::launch::async, [&, j] { Convert(batch[j], converter, json); }));
        }
        Convert(batch[0], converter, json);
        for (std::future<void>& other : others) {
            other.get();
        }
        for (std::size_t j = 0; j < size; ++j) {
            writer.Write(batch[j]);
        }
        size = reader.Next(batch[0]) ? 1 : 0;
    }
    return writer.End();
}

} // namespace Orv::UnitsTool
