#include "platform/IniFile.h"

#include "platform/Text.h"

namespace kestrane::ini {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

std::optional<std::string> Section::value(std::string_view key) const {
    const std::string wanted = text::asciiLower(key);
    for (const auto& [k, v] : entries)
        if (text::asciiLower(k) == wanted)
            return v;
    return std::nullopt;
}

std::vector<Section> parse(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<Section> sections;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        std::string_view line = trimmed(text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
        pos = end == std::string_view::npos ? text.size() : end + 1;
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            auto close = line.find(']');
            if (close == std::string_view::npos)
                continue;
            sections.push_back({std::string(trimmed(line.substr(1, close - 1))), {}});
            continue;
        }
        auto eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        if (sections.empty())
            sections.push_back({"", {}});
        sections.back().entries.emplace_back(std::string(trimmed(line.substr(0, eq))),
                                             std::string(trimmed(line.substr(eq + 1))));
    }
    return sections;
}

}  // namespace kestrane::ini
