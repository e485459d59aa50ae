#pragma once
// A reader of Valve's KeyValues text, the format of Steam's libraryfolders.vdf
// and appmanifest_<appid>.acf: keys followed by a value, which is either a
// text or an object of further keys in braces. Keys and texts are quoted
// ("a b") or bare (ab); quoted ones may hold \" \\ \n and \t. A // starts a
// comment to the end of the line; CR LF or LF; a UTF-8 byte-order mark is
// skipped. A [$CONDITION] after a value, or between a key and its object, is
// skipped and the entry kept whatever the condition says; Steam's own files
// do not use them.
//
// Malformed text gives an error of kind Malformed naming the line, never an
// exception. Objects nested more than kMaxDepth deep are refused, so that a
// hostile file cannot exhaust the stack.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace kestrane::vdf {

inline constexpr int kMaxDepth = 64;

struct Entry;

// A value: a text, or an object holding its entries in file order (keys may
// repeat, as they may in the files).
class Node {
public:
    Node();  // an empty object
    static Node makeText(std::string text);
    static Node makeObject(std::vector<Entry> entries);

    bool isText() const { return m_isText; }
    bool isObject() const { return !m_isText; }

    // The text; empty for an object.
    const std::string& text() const { return m_text; }
    // The entries; empty for a text.
    const std::vector<Entry>& entries() const { return m_entries; }

    // The value of the first entry of that key, keys compared without regard
    // to ASCII case as Steam compares them; nothing for a text or a missing key.
    const Node* find(std::string_view key) const;
    // The text of the first entry of that key, when it is a text.
    std::optional<std::string> textOf(std::string_view key) const;

private:
    bool m_isText = false;
    std::string m_text;
    std::vector<Entry> m_entries;
};

struct Entry {
    std::string key;
    Node value;
};

// The whole text as one object holding the top-level entries. The error
// message starts with the file's name (when given) and the line.
Result<Node> parse(std::string_view text, const std::string& fileName = "");

}  // namespace kestrane::vdf
