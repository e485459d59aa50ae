#include "platform/TextOps.h"

#include <charconv>
#include <cstdint>
#include <stdexcept>
#include <system_error>

namespace kestrane::text {

namespace {

std::int64_t parseCount(std::string_view s) {
    const auto bad = [&] { return std::invalid_argument("'" + std::string(s) + "' is not a valid integer value"); };
    std::string_view digits = s;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);  // from_chars takes '-' but not '+'
        if (!digits.empty() && digits.front() == '-')
            throw bad();
    }
    std::int64_t n = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
        throw bad();
    return n;
}

std::string twoDecimals(double v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
    if (ec != std::errc())
        return "0.00";
    return std::string(buf, end);
}

}  // namespace

std::string sizeText(std::string_view byteCount) {
    const std::int64_t n = parseCount(byteCount);
    constexpr std::int64_t kGB = 1073741824;
    constexpr std::int64_t kMB = 1048576;
    constexpr std::int64_t kKB = 1024;
    const auto dn = static_cast<double>(n);
    if (n / kGB != 0)
        return twoDecimals(dn / static_cast<double>(kGB)) + " GB";
    if (n / kMB != 0)
        return twoDecimals(dn / static_cast<double>(kMB)) + " MB";
    if (n / kKB != 0)
        return twoDecimals(dn / static_cast<double>(kKB)) + " KB";
    return std::to_string(n) + " bytes";
}

std::string removeSubstring(std::string_view pattern, std::string_view text) {
    std::size_t pos = pattern.empty() ? std::string_view::npos : text.find(pattern);
    if (pos == std::string_view::npos)
        return std::string(text);
    // Each removal may join pieces into a new occurrence: removed again, as
    // a search from the start after every removal finds it.
    std::string out(text);
    for (; pos != std::string::npos; pos = out.find(pattern, pos >= pattern.size() ? pos - pattern.size() + 1 : 0))
        out.erase(pos, pattern.size());
    return out;
}

void splitText(std::string_view text, char separator, std::vector<std::string>& list) {
    list.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        auto pos = text.find(separator, start);
        if (pos == std::string_view::npos) {
            list.emplace_back(text.substr(start));
            break;
        }
        list.emplace_back(text.substr(start, pos - start));
        start = pos + 1;
    }
}

}  // namespace kestrane::text
