#pragma once
// Text helpers shared by the store and the scanners. Program text is UTF-8;
// registry strings are UTF-16 units, as on Windows.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrane::text {

// UTF-8 <-> UTF-16. Lone surrogates survive the round trip (encoded as
// three-byte sequences), so nothing read from a hive is lost.
std::u16string toUtf16(std::string_view utf8);
void appendUtf16(std::u16string& out, std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);
void appendUtf8(std::string& out, char32_t cp);

// UTF-16 units as little-endian bytes (the registry's string data), and back
// (an odd last byte is dropped).
void appendUtf16LE(std::string& bytes, std::u16string_view units);
// UTF-8 text as UTF-16LE bytes, as appendUtf16LE(bytes, toUtf16(utf8)) gives them.
void appendUtf8AsUtf16LE(std::string& bytes, std::string_view utf8);
std::u16string fromUtf16LE(std::string_view bytes);

// Number of UTF-16 units the UTF-8 text takes.
std::size_t utf16Length(std::string_view utf8);

// The registry's case folding: one UTF-16 unit to its lower-case unit.
char16_t foldUnit(char16_t c);

// Wine's name order: units folded to lower case, then compared; a name that
// is a prefix of another comes first. Returns <0, 0, >0.
int compareNames(std::string_view a, std::string_view b);
inline bool equalNames(std::string_view a, std::string_view b) { return compareNames(a, b) == 0; }

// The value of a hexadecimal digit, -1 for any other character.
inline int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// ASCII-only lower case, for paths and patterns.
std::string asciiLower(std::string_view s);

}  // namespace kestrane::text
