#pragma once
// What the hive reader, the hive writer and the keys' lazy value decoding
// share: the line helpers of Wine's registry text and the value-line reader.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Hive.h"
#include "platform/Text.h"

namespace kestrane::reg {

// What a key holds once decoded (a key changed, or read for its values).
struct Key::Body {
    std::vector<Value> values;             // sorted by name
    std::vector<std::string> extraLines;   // "#class=...", "#link", unknown lines, with '\n'
};

}  // namespace kestrane::reg

namespace kestrane::reg::hiveformat {

constexpr std::uint64_t kTicksPerSecond = 10000000ULL;
constexpr std::uint64_t kTicks1601To1970 = 116444736000000000ULL;
constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The end of the line at p: the '\n', or end.
inline const char* lineEnd(const char* p, const char* end) {
    if (p >= end)
        return end;
    const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    return nl ? static_cast<const char*>(nl) : end;
}

// Keys are kept sorted in the registry's name order.
inline bool nameLess(const Key* k, std::string_view name) { return text::compareNames(k->name(), name) < 0; }

// Reads one value line (with its continuation lines) starting at `p`.
// Returns the position after the value's last line, or nullptr when the
// line cannot be read. With `out` null the value is only checked.
// `lines` gets the number of continuation lines consumed.
const char* parseValue(const char* p, const char* end, Value* out, std::uint32_t& lines, const char* eol = nullptr);

}  // namespace kestrane::reg::hiveformat
