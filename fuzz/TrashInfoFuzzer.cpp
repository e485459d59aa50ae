// The Path= line of a freedesktop.org .trashinfo record. The result is the
// first Path= line's value with its %XX escapes decoded (a % not followed by
// two hex digits stays as it is): as it is when absolute, else below the top
// folder of the Trash's file system; empty when no line names a path. So a
// record of a Trash never names a relative path, nor a path outside the top
// folder's text unless the record itself wrote an absolute one.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "platform/RecycleBin.h"
#include "platform/Text.h"

using namespace kestrane;
using fuzz::shown;
namespace fs = std::filesystem;

namespace {

// The decoded value of the first line starting "Path=", or nothing.
bool firstPath(std::string_view record, std::string& decoded) {
    std::size_t start = 0;
    for (;;) {
        std::size_t end = record.find('\n', start);
        std::string_view line = record.substr(start, end == std::string_view::npos ? record.size() - start : end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() >= 5 && line.substr(0, 5) == "Path=") {
            decoded.clear();
            std::string_view v = line.substr(5);
            std::size_t i = 0;
            while (i < v.size()) {
                if (v[i] == '%' && v.size() - i >= 3 && kestrane::text::hexDigit(v[i + 1]) >= 0 && kestrane::text::hexDigit(v[i + 2]) >= 0) {
                    decoded += static_cast<char>(kestrane::text::hexDigit(v[i + 1]) * 16 + kestrane::text::hexDigit(v[i + 2]));
                    i += 3;
                } else {
                    decoded += v[i++];
                }
            }
            return true;
        }
        if (end == std::string_view::npos)
            return false;
        start = end + 1;
    }
}

void check(std::string_view record, const fs::path& top) {
    const fs::path result = files::trashInfoPath(record, top);
    std::string decoded;
    const bool named = firstPath(record, decoded);
    if (!named || decoded.empty()) {
        KESTRANE_CHECK(result.empty(), "a record naming no path gave " + shown(result.native()));
        return;
    }
    KESTRANE_CHECK(!result.empty() && result.is_absolute(), "a path that is not absolute: " + shown(result.native()));
    if (decoded.front() == '/') {
        KESTRANE_CHECK(result.native() == decoded,
                       "absolute Path " + shown(decoded) + " came back as " + shown(result.native()));
        return;
    }
    std::string under = top.native();
    if (under.back() != '/')
        under += '/';
    KESTRANE_CHECK(result.native() == under + decoded, "relative Path " + shown(decoded) + " below " +
                                                           shown(top.native()) + " came back as " +
                                                           shown(result.native()));
    KESTRANE_CHECK(result.native().rfind(under, 0) == 0, "not below the top folder: " + shown(result.native()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view record(reinterpret_cast<const char*>(data), size);
    check(record, "/media/usb");
    check(record, "/");
    check(record, "/mnt/disk with blanks/");
    return 0;
}
