#pragma once
// A reader of INI text (Firefox's profiles.ini, Wine front ends'
// configuration): [sections] of key=value lines, in file order. Lines that
// are neither are ignored, as those programs ignore them; CR LF or LF; a
// UTF-8 byte-order mark is skipped. Keys compare without regard to ASCII
// case, as Windows' and Firefox's readers do.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrane::ini {

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;  // key, value (both trimmed), file order

    // The first entry of that key; nothing when there is none.
    std::optional<std::string> value(std::string_view key) const;
};

// The sections in file order; entries before the first section go into a
// section with an empty name.
std::vector<Section> parse(std::string_view text);

}  // namespace kestrane::ini
