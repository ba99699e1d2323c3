// A strict JSON syntax check, enough to tell that the tool's output parses.
#include "ToolTesting.h"

#include <cctype>
#include <cstddef>

namespace orv_tool_testing {

namespace {

class JsonChecker {
public:
    explicit JsonChecker(const std::string& text) : m_text(text) {}

    bool Check() {
        SkipBlanks();
        if (!Value()) {
            return false;
        }
        SkipBlanks();
        return m_pos == m_text.size();
    }

private:
    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }

    void SkipBlanks() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\n' || Peek() == '\t' || Peek() == '\r')) {
            ++m_pos;
        }
    }

    bool Literal(const char* word) {
        const std::string expected(word);
        if (m_text.compare(m_pos, expected.size(), expected) != 0) {
            return false;
        }
        m_pos += expected.size();
        return true;
    }

    bool Value() {
        if (++m_depth > 200) {
            return false;
        }
        bool ok = false;
        switch (Peek()) {
        case '{':
            ok = Object();
            break;
        case '[':
            ok = Array();
            break;
        case '"':
            ok = String();
            break;
        case 't':
            ok = Literal("true");
            break;
        case 'f':
            ok = Literal("false");
            break;
        case 'n':
            ok = Literal("null");
            break;
        default:
            ok = Number();
        }
        --m_depth;
        return ok;
    }

    bool Object() {
        ++m_pos;
        SkipBlanks();
        if (Peek() == '}') {
            ++m_pos;
            return true;
        }
        while (true) {
            SkipBlanks();
            if (Peek() != '"' || !String()) {
                return false;
            }
            SkipBlanks();
            if (Peek() != ':') {
                return false;
            }
            ++m_pos;
            SkipBlanks();
            if (!Value()) {
                return false;
            }
            SkipBlanks();
            if (Peek() == '}') {
                ++m_pos;
                return true;
            }
            if (Peek() != ',') {
                return false;
            }
            ++m_pos;
        }
    }

    bool Array() {
        ++m_pos;
        SkipBlanks();
        if (Peek() == ']') {
            ++m_pos;
            return true;
        }
        while (true) {
            SkipBlanks();
            if (!Value()) {
                return false;
            }
            SkipBlanks();
            if (Peek() == ']') {
                ++m_pos;
                return true;
            }
            if (Peek() != ',') {
                return false;
            }
            ++m_pos;
        }
    }

    bool String() {
        ++m_pos;
        while (!AtEnd()) {
            const auto c = static_cast<unsigned char>(m_text[m_pos++]);
            if (c == '"') {
                return true;
            }
            if (c < 0x20) {
                return false;
            }
            if (c == '\\') {
                const char escape = Peek();
                ++m_pos;
                if (escape == 'u') {
                    for (int i = 0; i < 4; ++i, ++m_pos) {
                        if (!std::isxdigit(static_cast<unsigned char>(Peek()))) {
                            return false;
                        }
                    }
                } else if (std::string("\"\\/bfnrt").find(escape) == std::string::npos ||
                           escape == '\0') {
                    return false;
                }
            }
        }
        return false;
    }

    bool Digits() {
        const std::size_t start = m_pos;
        while (std::isdigit(static_cast<unsigned char>(Peek()))) {
            ++m_pos;
        }
        return m_pos > start;
    }

    bool Number() {
        if (Peek() == '-') {
            ++m_pos;
        }
        if (Peek() == '0') {
            ++m_pos;
        } else if (!Digits()) {
            return false;
        }
        if (Peek() == '.') {
            ++m_pos;
            if (!Digits()) {
                return false;
            }
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++m_pos;
            if (Peek() == '+' || Peek() == '-') {
                ++m_pos;
            }
            if (!Digits()) {
                return false;
            }
        }
        return true;
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
    int m_depth = 0;
};

} // namespace

bool IsValidJson(const std::string& text) {
    return JsonChecker(text).Check();
}

} // namespace orv_tool_testing
