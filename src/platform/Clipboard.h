#pragma once
// The desktop clipboard as the privacy scan sees it: text, a picture, and
// the list of copied files. The window's implementation sits on Qt; the
// command line has none.

#include <optional>
#include <string>
#include <vector>

namespace kestrane::files {

struct ClipboardContents {
    std::optional<std::string> text;  // UTF-8; nothing when the clipboard holds no text
    bool picture = false;             // a bitmap or another picture format
    std::vector<std::string> files;   // copied files, as Windows paths of the prefix
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // What the clipboard holds now; nothing when it cannot be read.
    virtual std::optional<ClipboardContents> read() = 0;
    // Empties the clipboard (all formats).
    virtual void clear() = 0;
};

}  // namespace kestrane::files
