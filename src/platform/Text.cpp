#include "platform/Text.h"

#include <bit>
#include <cstring>

namespace kestrane::text {

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

namespace {

// Decodes one code point at s[i], advancing i. Invalid bytes are taken as
// Latin-1 characters so that no input is rejected.
char32_t decodeOne(std::string_view s, std::size_t& i) {
    auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len = (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + static_cast<std::size_t>(len) > s.size()) {
        ++i;
        return b0;
    }
    char32_t cp = b0 & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return b0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += static_cast<std::size_t>(len);
    return cp;
}

}  // namespace

std::u16string toUtf16(std::string_view utf8) {
    std::u16string out;
    appendUtf16(out, utf8);
    return out;
}

void appendUtf16(std::u16string& out, std::string_view utf8) {
    out.reserve(out.size() + utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            out += static_cast<char16_t>(utf8[i++]);
            continue;
        }
        char32_t cp = decodeOne(utf8, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
}

std::string toUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < utf8.size();)
        n += decodeOne(utf8, i) >= 0x10000 ? 2 : 1;
    return n;
}

char16_t foldUnit(char16_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? static_cast<char16_t>(c + 32) : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 32);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 80);
    if (c >= 0x100 && c <= 0x17F) {  // Latin Extended-A: mostly upper/lower pairs
        bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c == 0x130 ? u'i' : c;
        if (c == 0x178)
            return 0xFF;
        if (oddPairs)
            return (c & 1) ? static_cast<char16_t>(c + 1) : c;
        return (c & 1) ? c : static_cast<char16_t>(c + 1);
    }
    if (c >= 0xFF21 && c <= 0xFF3A)  // full-width Latin
        return static_cast<char16_t>(c + 32);
    return c;
}

int compareNames(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        auto ca = static_cast<unsigned char>(a[i]);
        auto cb = static_cast<unsigned char>(b[j]);
        if (ca < 0x80 && cb < 0x80) {  // fast path: ASCII
            int fa = (ca >= 'A' && ca <= 'Z') ? ca + 32 : ca;
            int fb = (cb >= 'A' && cb <= 'Z') ? cb + 32 : cb;
            if (fa != fb)
                return fa - fb;
            ++i;
            ++j;
            continue;
        }
        char32_t pa = decodeOne(a, i);
        char32_t pb = decodeOne(b, j);
        char32_t fa = pa < 0x10000 ? foldUnit(static_cast<char16_t>(pa)) : pa;
        char32_t fb = pb < 0x10000 ? foldUnit(static_cast<char16_t>(pb)) : pb;
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}

void appendUtf16LE(std::string& bytes, std::u16string_view units) {
    const std::size_t at = bytes.size();
    bytes.resize(at + units.size() * 2);
    char* out = bytes.data() + at;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, units.data(), units.size() * 2);
    } else {
        for (char16_t u : units) {
            *out++ = static_cast<char>(u & 0xFF);
            *out++ = static_cast<char>(u >> 8);
        }
    }
}

void appendUtf8AsUtf16LE(std::string& bytes, std::string_view utf8) {
    bytes.reserve(bytes.size() + utf8.size() * 2);
    std::size_t i = 0;
    while (i < utf8.size()) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            bytes += utf8[i++];
            bytes += '\0';
            continue;
        }
        std::u16string units;
        const std::size_t start = i;
        while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) >= 0x80)
            ++i;
        appendUtf16(units, utf8.substr(start, i - start));
        appendUtf16LE(bytes, units);
    }
}

std::u16string fromUtf16LE(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return out;
}

}  // namespace kestrane::text
