#include "NumberStream.h"

#include "Output.h"
#include "Session.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <future>
#include <istream>
#include <memory>
#include <mutex>
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
    std::unique_ptr<char[]> out; // its numbers converted, each after the white space before it
    std::size_t outSize = 0;
    std::size_t outCapacity = 0;
    std::size_t count = 0; // the numbers converted
    // The newlines before the end of what was converted, and the offset just after the last.
    std::size_t lines = 0;
    std::size_t lastLineStart = std::string::npos;
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
    std::vector<ShortResult> shorts;

    // Ready for another part of the input, keeping the memory of its strings.
    void Clear() {
        text.clear();
        outSize = 0;
        count = 0;
        lines = 0;
        lastLineStart = std::string::npos;
        refused = false;
        before = after = "";
        tokens.clear();
        numbers.clear();
    }
    // Room for `size` chars of output, uninitialised: the output is written over it once.
    char* Reserve(std::size_t size) {
        if (size > outCapacity) {
            out.reset(new char[size]);
            outCapacity = size;
        }
        return out.get();
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
    const char* const data = text.data();
    std::size_t lines = 0;
    std::size_t lastLineStart = std::string::npos;
    for (std::size_t i = 0; i < size;) {
        for (; i < size && IsBlank(data[i]); ++i) {
            if (data[i] == '\n') {
                ++lines;
                lastLineStart = i + 1;
            }
        }
        if (i == size) {
            break;
        }
        const std::size_t start = i;
        for (; i < size && !IsBlank(data[i]); ++i) {
        }
        const std::string_view token(data + start, i - start);
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
    block.shorts.resize(numbers.size());
    converter.Convert(tokens.data(), numbers.data(), results.data(), results.size(),
                      block.shorts.data());
    std::size_t count = results.size();
    for (std::size_t k = 0; k < count; ++k) {
        const double value = numbers[k].value;
        if (results[k] == 0.0 && value == 0.0) {
            results[k] = std::copysign(0.0, value);
        } else if (const char* problem = ConversionProblem(value, results[k])) {
            // A refused result comes before any bad token after it.
            block.refused = true;
            block.refusedStart = static_cast<std::size_t>(tokens[k].data() - data);
            block.refusedEnd = block.refusedStart + tokens[k].size();
            block.before = "converting";
            block.after = problem;
            count = k;
            // The lines counted past it are counted again up to it.
            lines = static_cast<std::size_t>(std::count(data, data + block.refusedStart, '\n'));
            const auto last = std::string_view(data, block.refusedStart).rfind('\n');
            lastLineStart = last == std::string_view::npos ? last : last + 1;
        }
    }
    block.lines = lines;
    block.lastLineStart = lastLineStart;

    // Each number takes at most e_MaxNumberLength chars and, in JSON, ",\n  " before it; the
    // white space copied is at most the text.
    char* const first =
        block.Reserve(size + count * (e_MaxNumberLength + (json ? 4 : 0)) + e_MaxNumberLength);
    char* out = first;
    std::size_t written = 0; // the end of the last token written
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t start = static_cast<std::size_t>(tokens[k].data() - data);
        if (json) {
            out = std::copy_n(",\n  ", 4, out);
            if (!std::isfinite(results[k])) {
                // JSON cannot hold infinities and NaN, which come only from such input.
                out = std::copy_n("null", 4, out);
                continue;
            }
        } else {
            // Mostly one blank: a loop is quicker than a call for so few.
            for (std::size_t i = written; i < start; ++i) {
                *out++ = data[i];
            }
        }
        out = converter.Write(out, tokens[k], results[k], block.shorts[k]);
        written = start + tokens[k].size();
    }
    if (!json && !block.refused) {
        out = std::copy(data + written, data + size, out);
    }
    block.outSize = static_cast<std::size_t>(out - first);
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
        std::string_view out(block.out.get(), block.outSize);
        if (m_bJson && !m_bAnyWritten && !out.empty()) {
            out.remove_prefix(1); // the first element has no comma before it
        }
        m_bAnyWritten = m_bAnyWritten || block.count > 0;
        m_out.write(out.data(), static_cast<std::streamsize>(out.size()));
        m_count += block.count;
        m_line += block.lines;
        if (block.lastLineStart != std::string::npos) {
            m_lineStart = m_blockStart + block.lastLineStart;
        }
        const std::string& text = block.text;
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
    if (threads == 1) {
        Block block;
        while (reader.Next(block)) {
            Convert(block, converter, json);
            writer.Write(block);
        }
        return writer.End();
    }
    // Each thread reads the next block, converts it and writes it when the blocks before it have
    // been written: reading and writing, which are serial, overlap the others' converting.
    std::mutex reading;
    std::mutex writing;
    std::condition_variable turns;
    std::size_t nextRead = 0;
    std::size_t nextWrite = 0;
    std::exception_ptr error; // the first failure in the order of the input, which stops all
    const auto work = [&] {
        Block block;
        for (;;) {
            // A failure to read, convert or write a block is thrown in its turn, after the blocks
            // before it have been written, as on one thread.
            std::exception_ptr failure;
            std::size_t index = 0;
            {
                const std::lock_guard<std::mutex> lock(reading);
                try {
                    if (!reader.Next(block)) {
                        return;
                    }
                } catch (...) {
                    failure = std::current_exception();
                }
                index = nextRead++;
            }
            if (!failure) {
                try {
                    Convert(block, converter, json);
                } catch (...) {
                    failure = std::current_exception();
                }
            }
            std::unique_lock<std::mutex> lock(writing);
            turns.wait(lock, [&] { return error || nextWrite == index; });
            if (error) {
                return;
            }
            if (!failure) {
                try {
                    writer.Write(block);
                } catch (...) {
                    failure = std::current_exception();
                }
            }
            error = failure;
            ++nextWrite;
            turns.notify_all();
            if (error) {
                return;
            }
        }
    };
    std::vector<std::future<void>> others;
    for (unsigned j = 1; j < threads; ++j) {
        others.push_back(std::async(std::launch::async, work));
    }
    work();
    for (std::future<void>& other : others) {
        other.get();
    }
    if (error) {
        std::rethrow_exception(error);
    }
    return writer.End();
}

} // namespace Orv::UnitsTool
