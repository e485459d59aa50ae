// Valve's KeyValues text (libraryfolders.vdf, appmanifest_*.acf). What the
// reader accepts is a tree no deeper than its limit that, written again with
// every key and text quoted (line breaks and tabs as they are, or escaped as
// \n and \t), reads back to the same tree; find() gives the
// first entry of a key in any capitals. What it refuses gets an error of kind
// Malformed naming the file and a line of the text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "platform/Text.h"
#include "platform/VdfFile.h"

using namespace kestrane;
using namespace kestrane::vdf;
using fuzz::shown;

namespace {

// Quoted with \\ and \" only, or with line breaks and tabs escaped too.
void quote(std::string& out, std::string_view s, bool escapeAll) {
    out += '"';
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (escapeAll && c == '\n')
            out += "\\n";
        else if (escapeAll && c == '\t')
            out += "\\t";
        else
            out += c;
    }
    out += '"';
}

void write(const Node& object, std::string& out, int indent, bool escapeAll) {
    for (const Entry& e : object.entries()) {
        out.append(static_cast<std::size_t>(indent), '\t');
        quote(out, e.key, escapeAll);
        if (e.value.isText()) {
            out += "\t\t";
            quote(out, e.value.text(), escapeAll);
            out += '\n';
        } else {
            out += '\n';
            out.append(static_cast<std::size_t>(indent), '\t');
            out += "{\n";
            write(e.value, out, indent + 1, escapeAll);
            out.append(static_cast<std::size_t>(indent), '\t');
            out += "}\n";
        }
    }
}

bool same(const Node& a, const Node& b) {
    if (a.isText() != b.isText())
        return false;
    if (a.isText())
        return a.text() == b.text();
    if (a.entries().size() != b.entries().size())
        return false;
    for (std::size_t i = 0; i < a.entries().size(); ++i)
        if (a.entries()[i].key != b.entries()[i].key || !same(a.entries()[i].value, b.entries()[i].value))
            return false;
    return true;
}

// Depth of nested objects below this one; checks find() on the way.
int depthOf(const Node& node) {
    if (node.isText()) {
        KESTRANE_CHECK(node.entries().empty(), "a text with entries");
        KESTRANE_CHECK(node.find("x") == nullptr, "find() in a text found something");
        return 0;
    }
    KESTRANE_CHECK(node.text().empty(), "an object with a text");
    int deepest = 0;
    const auto& entries = node.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i < 16) {
            const Node* found = node.find(text::asciiLower(entries[i].key));
            std::size_t first = 0;
            while (text::asciiLower(entries[first].key) != text::asciiLower(entries[i].key))
                ++first;
            KESTRANE_CHECK(found == &entries[first].value, "find() of " + shown(entries[i].key) +
                                                               " is not the first entry of that key");
            auto text = node.textOf(entries[i].key);
            KESTRANE_CHECK(text.has_value() == entries[first].value.isText() &&
                               (!text || *text == entries[first].value.text()),
                           "textOf() of " + shown(entries[i].key));
        }
        if (entries[i].value.isObject()) {
            int d = 1 + depthOf(entries[i].value);
            deepest = d > deepest ? d : deepest;
        }
    }
    return deepest;
}

void checkError(const Error& error, std::string_view text, const std::string& fileName) {
    KESTRANE_CHECK(error.kind == ErrorKind::Malformed, error.message);
    const std::string lead = fileName.empty() ? "line " : fileName + ", line ";
    KESTRANE_CHECK(error.message.rfind(lead, 0) == 0, "the error names no line: " + error.message);
    std::size_t digits = 0;
    unsigned long long line = 0;
    while (lead.size() + digits < error.message.size() && error.message[lead.size() + digits] >= '0' &&
           error.message[lead.size() + digits] <= '9' && digits < 12)
        line = line * 10 + static_cast<unsigned>(error.message[lead.size() + digits++] - '0');
    std::size_t lines = 1;
    for (char c : text)
        lines += c == '\n';
    KESTRANE_CHECK(digits > 0 && line >= 1 && line <= lines,
                   "the error names a line the text does not have (" + std::to_string(lines) + " lines): " +
                       error.message);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    auto tree = parse(input, size % 2 ? "fuzz.vdf" : "");
    if (!tree.ok()) {
        checkError(tree.error(), input, size % 2 ? "fuzz.vdf" : "");
        return 0;
    }
    const Node& root = tree.value();
    KESTRANE_CHECK(root.isObject(), "the whole text is not an object");
    const int depth = depthOf(root);
    KESTRANE_CHECK(depth <= kMaxDepth, "objects nested " + std::to_string(depth) + " deep were accepted");

    for (bool escapeAll : {false, true}) {
        std::string written;
        write(root, written, 0, escapeAll);
        auto again = parse(written, "written.vdf");
        KESTRANE_CHECK(again.ok(), "the tree written again cannot be read: " +
                                       (again.ok() ? std::string() : again.error().message) + "\n" +
                                       shown(written, 2000));
        KESTRANE_CHECK(same(root, again.value()),
                       "the tree written again reads back differently:\n" + shown(written, 2000));
    }
    return 0;
}
