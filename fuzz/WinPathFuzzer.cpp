// Windows file names and paths as the scanners match them: the wildcard
// matcher against a plain dynamic-programming matcher of the same rules
// ('*' any run, '?' one unit, case folded, the ".*" and "." endings for
// names without a dot), "*" and "*.*" matching every name, a name without
// wildcards matching itself in any ASCII capitals; and the path splitter:
// a drive letter and components that are never "." or "..", never hold a
// separator, keep no trailing blank or dot, and split the same once joined.
// The input is a name and a pattern separated by a zero byte.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "platform/Wildcard.h"
#include "platform/WinPath.h"

using namespace kestrane;
using namespace kestrane::files;
using fuzz::shown;

namespace {

bool plainReference(std::u16string_view name, std::u16string_view pattern) {
    // matched[j]: the pattern read so far matches the first j units of the name.
    std::vector<char> matched(name.size() + 1, 0), next(name.size() + 1, 0);
    matched[0] = 1;
    for (char16_t p : pattern) {
        next[0] = p == u'*' && matched[0];
        for (std::size_t j = 1; j <= name.size(); ++j) {
            if (p == u'*')
                next[j] = matched[j] || next[j - 1];
            else
                next[j] = (p == u'?' || p == name[j - 1]) && matched[j - 1];
        }
        matched.swap(next);
    }
    return matched[name.size()];
}

bool reference(std::u16string_view name, std::u16string_view pattern) {
    if (plainReference(name, pattern))
        return true;
    if (name.find(u'.') != std::u16string_view::npos)
        return false;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == u".*")
        return plainReference(name, pattern.substr(0, pattern.size() - 2));
    if (pattern.size() >= 2 && pattern.back() == u'.')
        return plainReference(name, pattern.substr(0, pattern.size() - 1));
    return false;
}

std::string asciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

void checkWildcard(std::string_view name, std::string_view pattern) {
    const bool result = matchesWildcard(name, pattern);
    KESTRANE_CHECK(hasWildcards(pattern) == (pattern.find_first_of("*?") != std::string_view::npos),
                   "hasWildcards of " + shown(pattern));
    KESTRANE_CHECK(matchesWildcard(name, "*"), shown(name) + " does not match *");
    KESTRANE_CHECK(matchesWildcard(name, "*.*"), shown(name) + " does not match *.*");
    if (!hasWildcards(name))
        KESTRANE_CHECK(matchesWildcard(name, name) && matchesWildcard(asciiUpper(name), name),
                       shown(name) + " does not match itself");
    KESTRANE_CHECK(matchesWildcard(asciiUpper(name), pattern) == result &&
                       matchesWildcard(name, asciiUpper(pattern)) == result,
                   "capitals change whether " + shown(name) + " matches " + shown(pattern));
    const std::u16string n = foldName(name), p = foldName(pattern);
    KESTRANE_CHECK(matchesFolded(n, p) == result, "folded and unfolded matching differ");
    if (n.size() * p.size() <= (1u << 16))
        KESTRANE_CHECK(reference(n, p) == result, shown(name) + " against " + shown(pattern) + ": matcher says " +
                                                      (result ? "match" : "no match"));
}

std::string partsOf(const std::optional<WinPathParts>& parts) {
    if (!parts)
        return "(no path)";
    std::string s(1, parts->drive);
    s += ':';
    for (const auto& c : parts->components)
        s += " | " + shown(c, 60);
    return s;
}

bool operator==(const WinPathParts& a, const WinPathParts& b) {
    return a.drive == b.drive && a.components == b.components;
}

void checkSplit(std::string_view path) {
    const auto parts = splitWinPath(path);
    const bool hasDrive = path.size() >= 2 && path[1] == ':' &&
                          ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
    KESTRANE_CHECK(parts.has_value() == hasDrive, shown(path) + " gave " + partsOf(parts));
    if (!parts)
        return;
    KESTRANE_CHECK(parts->drive == (path[0] | 0x20), "drive of " + shown(path) + ": " + partsOf(parts));
    std::string joined = std::string(1, parts->drive) + ":";
    for (const std::string& c : parts->components) {
        KESTRANE_CHECK(!c.empty() && c != "." && c != "..", shown(path) + " gave " + partsOf(parts));
        KESTRANE_CHECK(c.find_first_of("\\/") == std::string::npos, shown(path) + " gave " + partsOf(parts));
        const bool onlyDotsAndBlanks = c.find_first_not_of(" .") == std::string::npos;
        KESTRANE_CHECK(onlyDotsAndBlanks || (c.back() != ' ' && c.back() != '.'),
                       "a trailing blank or dot kept: " + shown(path) + " gave " + partsOf(parts));
        joined += "\\" + c;
    }
    auto again = splitWinPath(joined);
    KESTRANE_CHECK(again && *again == *parts, shown(path) + " gave " + partsOf(parts) + ", joined again " +
                                                  partsOf(again));
    auto up = splitWinPath(std::string(path) + "\\..");
    WinPathParts expected = *parts;
    if (!expected.components.empty())
        expected.components.pop_back();
    KESTRANE_CHECK(up && *up == expected, shown(path) + "\\.. gave " + partsOf(up));
    auto here = splitWinPath(std::string(path) + "/.");
    KESTRANE_CHECK(here && *here == *parts, shown(path) + "/. gave " + partsOf(here));
    auto down = splitWinPath(std::string(path) + "/x");
    expected = *parts;
    expected.components.push_back("x");
    KESTRANE_CHECK(down && *down == expected, shown(path) + "/x gave " + partsOf(down));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = input.find('\0');
    const std::string_view name = input.substr(0, zero);
    const std::string_view pattern = zero == std::string_view::npos ? input : input.substr(zero + 1);
    checkWildcard(name, pattern);
    checkSplit(input);
    checkSplit(name);
    return 0;
}
