#pragma once
// What the harnesses share: a property check that stops the run with a
// message, so that libFuzzer keeps the input that broke it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace kestrane::fuzz {

[[noreturn]] inline void propertyFailed(const char* file, int line, const char* what, const std::string& detail) {
    std::fprintf(stderr, "\n==== property failed at %s:%d: %s\n", file, line, what);
    if (!detail.empty())
        std::fprintf(stderr, "%s\n", detail.c_str());
    std::fflush(stderr);
    std::abort();
}

// Bytes shown with C escapes, for the failure messages.
inline std::string shown(std::string_view bytes, std::size_t limit = 400) {
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    if (bytes.size() > limit)
        out += "...";
    return out + "\"";
}

}  // namespace kestrane::fuzz

// CHECK(condition, detail): detail is a std::string built only on failure.
#define KESTRANE_CHECK(cond, detail)                                                  \
    do {                                                                               \
        if (!(cond))                                                                   \
            ::kestrane::fuzz::propertyFailed(__FILE__, __LINE__, #cond, (detail));     \
    } while (0)
