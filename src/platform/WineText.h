#pragma once
// Wine's escaping of names and string data in registry files.

#include <string>
#include <string_view>

namespace kestrane::reg::winetext {

// Appends UTF-16 units as Wine writes them: '\\', '"' (or '[' ']' in key
// names), control characters, and units above 127 as \x escapes with Wine's
// look-ahead rules.
void escape(std::string& out, std::u16string_view units, bool keyName);

// Reads an escaped string up to the closing quote (or ']' for a key name
// component, or '\\' + '\\' separator). Returns the number of characters
// consumed, not counting the terminator, or npos when no terminator is found.
// Raw UTF-8 is accepted.
std::size_t unescape(std::string_view in, char terminator, std::u16string& out);

}  // namespace kestrane::reg::winetext
