// Cookie files as Wine and Windows write them. The sites found are exactly
// the third lines of the records ended by a line "*" (one CR before the LF
// dropped), each once, in file order: pieces of the file, nothing invented.
// The keyword test is the plain substring search over the keyword table.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "scan/privacy/PrivacyScanners.h"

using namespace kestrane;
using fuzz::shown;

namespace {

// The file's lines, each without its LF and one CR before it.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> expectedSites(std::string_view text) {
    std::vector<std::string> sites;
    std::size_t recordStart = 0;
    const auto lines = linesOf(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != "*")
            continue;
        if (i - recordStart >= 3) {
            std::string site(lines[recordStart + 2]);
            if (!site.empty() && std::find(sites.begin(), sites.end(), site) == sites.end())
                sites.push_back(site);
        }
        recordStart = i + 1;
    }
    return sites;
}

bool keywordBySearch(std::string_view text) {
    for (std::string_view k : cookieKeywords())
        if (text.find(k) != std::string_view::npos)
            return true;
    return false;
}

std::string listed(const std::vector<std::string>& sites) {
    std::string s;
    for (const auto& site : sites)
        s += "  " + shown(site, 120) + "\n";
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const auto& keywords = cookieKeywords();
    KESTRANE_CHECK(keywords.size() == 192, "the keyword table holds " + std::to_string(keywords.size()));
    for (std::string_view k : keywords)
        KESTRANE_CHECK(!k.empty() && hasCookieKeyword(k), "keyword " + shown(k) + " does not find itself");
    KESTRANE_CHECK(!hasCookieKeyword(""), "the empty text holds a keyword");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> sites = cookieSites(input);
    for (const std::string& site : sites) {
        KESTRANE_CHECK(!site.empty(), "an empty site");
        KESTRANE_CHECK(site.find('\n') == std::string::npos, "a site spans lines: " + shown(site));
        KESTRANE_CHECK(input.find(site) != std::string_view::npos, "a site that is not in the file: " + shown(site));
    }
    const std::vector<std::string> expected = expectedSites(input);
    KESTRANE_CHECK(sites == expected, "sites found:\n" + listed(sites) + "expected:\n" + listed(expected));

    const bool found = hasCookieKeyword(input);
    KESTRANE_CHECK(found == keywordBySearch(input), "keyword test differs from the search of the table");
    // A text holding a keyword still holds it inside a longer text.
    if (found && size > 0)
        KESTRANE_CHECK(hasCookieKeyword(std::string(input.substr(size / 2)) + "|" + std::string(input)),
                       "a keyword is lost in a longer text");
    for (const std::string& site : sites)
        KESTRANE_CHECK(hasCookieKeyword(site) == keywordBySearch(site), "keyword test of " + shown(site));
    return 0;
}
