#include "json_check.h"

#include <cstring>

namespace testjson {
namespace {

class Checker {
public:
    explicit Checker(const std::string& text) : m_s(text) {}

    bool Document() {
        Space();
        if (!Value()) {
            return false;
        }
        Space();
        return m_i == m_s.size();
    }

private:
    bool Value() {
        if (m_i >= m_s.size() || ++m_depth > 64) {
            return false;
        }
        bool ok = false;
        switch (m_s[m_i]) {
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
            ok = Word("true");
            break;
        case 'f':
            ok = Word("false");
            break;
        case 'n':
            ok = Word("null");
            break;
        default:
            ok = Number();
        }
        --m_depth;
        return ok;
    }
    bool Object() {
        ++m_i;
        Space();
        if (Eat('}')) {
            return true;
        }
        do {
            Space();
            if (m_i >= m_s.size() || m_s[m_i] != '"' || !String()) {
                return false;
            }
            Space();
            if (!Eat(':')) {
                return false;
            }
            Space();
            if (!Value()) {
                return false;
            }
            Space();
        } while (Eat(','));
        return Eat('}');
    }
    bool Array() {
        ++m_i;
        Space();
        if (Eat(']')) {
            return true;
        }
        do {
            Space();
            if (!Value()) {
                return false;
            }
            Space();
        } while (Eat(','));
        return Eat(']');
    }
    bool String() {
        ++m_i;
        while (m_i < m_s.size()) {
            const unsigned char c = static_cast<unsigned char>(m_s[m_i]);
            if (c == '"') {
                ++m_i;
                return true;
            }
            if (c < 0x20) {
                return false;
            }
            if (c == '\\') {
                if (++m_i >= m_s.size()) {
                    return false;
                }
                const char e = m_s[m_i];
                if (e == 'u') {
                    for (int k = 1; k <= 4; ++k) {
                        if (m_i + k >= m_s.size() || !std::strchr("0123456789abcdefABCDEF", m_s[m_i + k])) {
                            return false;
                        }
                    }
                    m_i += 4;
                } else if (!std::strchr("\"\\/bfnrt", e)) {
                    return false;
                }
                ++m_i;
            } else if (c >= 0x80) {
                if (!Utf8Sequence()) {
                    return false;
                }
            } else {
                ++m_i;
            }
        }
        return false;
    }
    bool Utf8Sequence() {
        const unsigned char c = static_cast<unsigned char>(m_s[m_i]);
        const int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || c == 0xC0 || c == 0xC1) {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            if (m_i + k >= m_s.size() || (static_cast<unsigned char>(m_s[m_i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        m_i += static_cast<size_t>(extra) + 1;
        return true;
    }
    bool Number() {
        const size_t start = m_i;
        Eat('-');
        if (!Digits()) {
            return false;
        }
        if (m_s[start] == '-' ? m_s[start + 1] == '0' && m_i - start > 2
                              : m_s[start] == '0' && m_i - start > 1) {
            return false; // leading zero
        }
        if (Eat('.') && !Digits()) {
            return false;
        }
        if (Eat('e') || Eat('E')) {
            Eat('+') || Eat('-');
            return Digits();
        }
        return true;
    }
    bool Digits() {
        const size_t start = m_i;
        while (m_i < m_s.size() && m_s[m_i] >= '0' && m_s[m_i] <= '9') {
            ++m_i;
        }
        return m_i > start;
    }
    bool Word(const char* word) {
        const size_t n = std::strlen(word);
        if (m_s.compare(m_i, n, word) != 0) {
            return false;
        }
        m_i += n;
        return true;
    }
    bool Eat(char c) {
        if (m_i < m_s.size() && m_s[m_i] == c) {
            ++m_i;
            return true;
        }
        return false;
    }
    void Space() {
        while (m_i < m_s.size() && std::strchr(" \t\r\n", m_s[m_i]) != nullptr && m_s[m_i] != '\0') {
            ++m_i;
        }
    }

    const std::string& m_s;
    size_t m_i = 0;
    int m_depth = 0;
};

} // namespace

bool IsValidJson(const std::string& text) {
    return Checker(text).Document();
}

} // namespace testjson
