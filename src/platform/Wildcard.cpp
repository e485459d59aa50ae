#include "platform/Wildcard.h"

#include "platform/Text.h"

namespace kestrane::files {

namespace {

// '*' and '?' only; backtracks to the last '*'.
bool plainMatch(std::u16string_view name, std::u16string_view pattern) {
    std::size_t n = 0, p = 0;
    std::size_t starP = std::u16string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {  // before the literal test: a name may hold a '*'
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

}  // namespace

bool hasWildcards(std::string_view pattern) {
    // A plain loop: find_first_of searches the set once per character.
    for (char c : pattern)
        if (c == '*' || c == '?')
            return true;
    return false;
}

std::u16string foldName(std::string_view name) {
    std::u16string s = text::toUtf16(name);
    for (auto& c : s)
        c = text::foldUnit(c);
    return s;
}

bool matchesFolded(std::u16string_view name, std::u16string_view pattern) {
    if (plainMatch(name, pattern))
        return true;
    if (name.find(u'.') != std::u16string_view::npos)
        return false;  // the rules below are for names without a dot
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == u".*")
        return plainMatch(name, pattern.substr(0, pattern.size() - 2));
    if (pattern.size() >= 2 && pattern.back() == u'.')
        return plainMatch(name, pattern.substr(0, pattern.size() - 1));
    return false;
}

bool matchesWildcard(std::string_view name, std::string_view pattern) {
    return matchesFolded(foldName(name), foldName(pattern));
}

}  // namespace kestrane::files
