#include "platform/WineText.h"

#include "platform/Text.h"

namespace kestrane::reg::winetext {

namespace {

const char kHex[] = "0123456789abcdef";

bool isHexDigit(char16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void appendHex(std::string& out, unsigned v, int minDigits) {
    char buf[8];
    int n = 0;
    do {
        buf[n++] = kHex[v & 0xF];
        v >>= 4;
    } while (v);
    for (int k = n; k < minDigits; ++k)
        out += '0';
    while (n)
        out += buf[--n];
}

}  // namespace

void escape(std::string& out, std::u16string_view units, bool keyName) {
    // Control characters that have a letter of their own.
    static const char kLetters[32] = {0, 0, 0, 0, 0, 0, 0, 'a', 'b', 't', 'n', 'v', 'f', 'r', 0, 0,
                                      0, 0, 0, 0, 0, 0, 0, 0,   0,   0,   0,   'e', 0,   0,   0, 0};
    const char e0 = keyName ? '[' : '"';
    const char e1 = keyName ? ']' : '"';
    for (std::size_t i = 0; i < units.size(); ++i) {
        char16_t c = units[i];
        bool hasNext = i + 1 < units.size();
        if (c > 127) {
            out += "\\x";
            appendHex(out, c, hasNext && units[i + 1] < 128 && isHexDigit(units[i + 1]) ? 4 : 1);
        } else if (c < 32) {
            out += '\\';
            if (kLetters[c]) {
                out += kLetters[c];
            } else {
                bool octalNext = hasNext && units[i + 1] >= '0' && units[i + 1] <= '7';
                char buf[4];
                int n = 0;
                unsigned v = c;
                do {
                    buf[n++] = static_cast<char>('0' + (v & 7));
                    v >>= 3;
                } while (v);
                for (int k = n; octalNext && k < 3; ++k)
                    out += '0';
                while (n)
                    out += buf[--n];
            }
        } else {
            if (c == '\\' || c == e0 || c == e1)
                out += '\\';
            out += static_cast<char>(c);
        }
    }
}

std::size_t unescape(std::string_view in, char terminator, std::u16string& out) {
    std::size_t i = 0;
    const std::size_t n = in.size();
    while (i < n) {
        char c = in[i];
        if (c == terminator)
            return i;
        if (c == '\n')  // a CR that does not end the line is text, as Wine reads it
            return std::string_view::npos;
        if (c != '\\') {
            auto uc = static_cast<unsigned char>(c);
            if (uc < 0x80) {
                out += static_cast<char16_t>(uc);
                ++i;
            } else {  // raw UTF-8
                std::size_t j = i + 1;
                while (j < n && (static_cast<unsigned char>(in[j]) & 0xC0) == 0x80)
                    ++j;
                out += text::toUtf16(in.substr(i, j - i));
                i = j;
            }
            continue;
        }
        if (++i >= n)
            return std::string_view::npos;
        c = in[i++];
        switch (c) {
        case 'a': out += u'\a'; break;
        case 'b': out += u'\b'; break;
        case 'e': out += char16_t{27}; break;
        case 'f': out += u'\f'; break;
        case 'n': out += u'\n'; break;
        case 'r': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case 'v': out += u'\v'; break;
        case 'x': {
            unsigned v = 0;
            int digits = 0;
            while (digits < 4 && i < n && text::hexDigit(in[i]) >= 0) {
                v = v * 16 + static_cast<unsigned>(text::hexDigit(in[i++]));
                ++digits;
            }
            out += digits ? static_cast<char16_t>(v) : u'x';
            break;
        }
        case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': {
            unsigned v = static_cast<unsigned>(c - '0');
            for (int digits = 1; digits < 3 && i < n && in[i] >= '0' && in[i] <= '7'; ++digits)
                v = v * 8 + static_cast<unsigned>(in[i++] - '0');
            out += static_cast<char16_t>(v);
            break;
        }
        case '\n':
        case '\r':
            return std::string_view::npos;
        default:
            out += static_cast<char16_t>(static_cast<unsigned char>(c));
            break;
        }
    }
    return std::string_view::npos;
}

}  // namespace kestrane::reg::winetext
