#pragma once
// Windows wildcard patterns for file names: '*' is any run of characters,
// '?' one character, case does not matter. A pattern ending in ".*" also
// matches a name without a dot (so "*.*" matches every name), and one ending
// in "." matches a name without a dot.

#include <string>
#include <string_view>

namespace kestrane::files {

bool hasWildcards(std::string_view pattern);

// A name folded for comparison: UTF-16 units mapped to lower case.
std::u16string foldName(std::string_view name);

bool matchesWildcard(std::string_view name, std::string_view pattern);
// The same on folded name and pattern, for callers that match many names.
bool matchesFolded(std::u16string_view name, std::u16string_view pattern);

}  // namespace kestrane::files
