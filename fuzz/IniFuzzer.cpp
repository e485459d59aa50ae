// INI text (Firefox's profiles.ini). Every section name, key and value is a
// piece of the text, in file order: a key ahead of its '=' and its value,
// after its section's '['; names, keys and values are trimmed and hold no
// line break and no '=' in a key; a section read by value() gives the first
// entry of that key in any capitals.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "platform/IniFile.h"
#include "platform/Text.h"

using namespace kestrane;
using fuzz::shown;

namespace {

// Trimmed as the reader trims: no blank in front, no blank or CR at the end.
bool trimmed(std::string_view s) {
    return s.empty() || (s.front() != ' ' && s.front() != '\t' && s.back() != ' ' && s.back() != '\t' &&
                         s.back() != '\r');
}

// Finds `piece` at or after `cursor` and moves the cursor past it.
bool advance(std::string_view text, std::size_t& cursor, std::string_view piece) {
    std::size_t at = text.find(piece, cursor);
    if (at == std::string_view::npos)
        return false;
    cursor = at + piece.size();
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto sections = ini::parse(input);
    std::size_t cursor = 0;
    std::size_t equalSigns = 0;
    for (char c : input)
        equalSigns += c == '=';
    std::size_t entries = 0;
    for (std::size_t s = 0; s < sections.size(); ++s) {
        const ini::Section& section = sections[s];
        KESTRANE_CHECK(trimmed(section.name), "section name not trimmed: " + shown(section.name));
        KESTRANE_CHECK(section.name.find('\n') == std::string::npos, "a section name spans lines");
        KESTRANE_CHECK(section.name.find(']') == std::string::npos, "a section name holds its ']'");
        // The section before the first one written holds the entries above it.
        if (s > 0 || !section.name.empty() || section.entries.empty())
            KESTRANE_CHECK(advance(input, cursor, "[") && advance(input, cursor, section.name),
                           "section " + std::to_string(s) + " " + shown(section.name) + " is not in the text in order");
        std::size_t index = 0;
        for (const auto& [key, value] : section.entries) {
            ++entries;
            KESTRANE_CHECK(trimmed(key) && trimmed(value), "not trimmed: " + shown(key) + " = " + shown(value));
            KESTRANE_CHECK(key.find('=') == std::string::npos, "a key holds '=': " + shown(key));
            KESTRANE_CHECK(key.find('\n') == std::string::npos && value.find('\n') == std::string::npos,
                           "an entry spans lines: " + shown(key) + " = " + shown(value));
            KESTRANE_CHECK(key.empty() || (key.front() != ';' && key.front() != '#' && key.front() != '['),
                           "a comment or section line read as an entry: " + shown(key));
            KESTRANE_CHECK(advance(input, cursor, key) && advance(input, cursor, "=") && advance(input, cursor, value),
                           "entry " + shown(key) + " = " + shown(value) + " of section " + shown(section.name) +
                               " is not in the text in order");
            if (++index > 64)
                continue;  // value() is a linear search: the first entries are enough
            auto found = section.value(text::asciiLower(key));
            KESTRANE_CHECK(found.has_value(), "value() misses key " + shown(key));
            for (const auto& [k, v] : section.entries) {
                if (text::asciiLower(k) == text::asciiLower(key)) {
                    KESTRANE_CHECK(*found == v, "value() of " + shown(key) + " is not the first entry's");
                    break;
                }
            }
        }
    }
    KESTRANE_CHECK(entries <= equalSigns, "more entries than '=' in the text");
    return 0;
}
