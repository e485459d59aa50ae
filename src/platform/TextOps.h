#pragma once
// The small text operations the scanners share: size text, remove
// substring and split text.

#include <string>
#include <string_view>
#include <vector>

namespace kestrane::text {

// A byte count as the views show it: "1.50 KB", "2.00 GB", "1023 bytes".
// The count is read as a 64-bit signed decimal number; a text that is not one
// raises std::invalid_argument. Two decimals, "." as separator, no grouping.
std::string sizeText(std::string_view byteCount);

// Removes every occurrence of pattern (case-sensitive), searching again from
// the start after each removal, so occurrences formed by a removal go too.
// An empty pattern leaves the text as it is.
std::string removeSubstring(std::string_view pattern, std::string_view text);

// Clears the list and adds the pieces between separators. Adjacent
// separators give an empty piece, a leading separator a leading empty piece;
// a trailing separator adds nothing; an empty text gives an empty list.
void splitText(std::string_view text, char separator, std::vector<std::string>& list);

}  // namespace kestrane::text
