// The hive reader (system.reg, user.reg as Wine writes them). A file it
// accepts is written back byte for byte when nothing changed; a file that
// holds a key twice, or keys in another order than Wine's, is written with
// the sections merged and in order, and that text is then its own fixed
// point. Either way the text reads back to the same keys
// and values, and so does the text written after every key was rewritten as
// Wine writes keys. A file it refuses gets an error naming the file and line.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "platform/Hive.h"
#include "platform/Text.h"

using namespace kestrane;
using namespace kestrane::reg;
using fuzz::shown;

namespace {

struct KeyState {
    std::string path;
    bool link = false;
    bool hasClass = false;
    std::vector<Value> values;
};

bool sameValues(const std::vector<Value>& a, const std::vector<Value>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].type != b[i].type || a[i].data != b[i].data)
            return false;
    return true;
}

// Paths compare without regard to case: a key implied by its subkeys' lines
// is named as the first of those lines, and a file whose keys are put in
// order again may start with another spelling.
bool operator==(const KeyState& a, const KeyState& b) {
    return text::equalNames(a.path, b.path) && a.link == b.link && a.hasClass == b.hasClass &&
           sameValues(a.values, b.values);
}

std::string describe(const KeyState& k) {
    std::string s = "[" + k.path + "]" + (k.link ? " link" : "") + (k.hasClass ? " class" : "") + "\n";
    for (const Value& v : k.values)
        s += "  " + shown(v.name, 60) + " type " + std::to_string(v.type) + " " + shown(v.data, 80) + "\n";
    return s;
}

// Every key depth first with its values; the values the key decodes for a
// visit must be those it decodes to keep.
void collect(const Key* key, std::vector<KeyState>& out) {
    KeyState state;
    state.path = key->path();
    state.link = key->isLink();
    state.hasClass = key->hasClass();
    state.values = key->values();
    std::vector<Value> visited;
    key->forEachValue([&](const Value& v) { visited.push_back(v); });
    KESTRANE_CHECK(sameValues(visited, state.values), "forEachValue differs from values() in " + describe(state));
    for (std::size_t i = 1; i < state.values.size(); ++i)
        KESTRANE_CHECK(text::compareNames(state.values[i - 1].name, state.values[i].name) < 0,
                       "values out of order or repeated in " + describe(state));
    for (std::size_t i = 1; i < key->subkeys().size(); ++i)
        KESTRANE_CHECK(text::compareNames(key->subkeys()[i - 1]->name(), key->subkeys()[i]->name()) < 0,
                       "subkeys out of order or repeated below " + shown(state.path));
    out.push_back(std::move(state));
    for (const Key* sub : key->subkeys()) {
        KESTRANE_CHECK(sub->parent() == key, "a subkey's parent is another key: " + shown(sub->path()));
        collect(sub, out);
    }
}

std::vector<KeyState> snapshot(const Hive& hive) {
    std::vector<KeyState> keys;
    collect(hive.root(), keys);
    return keys;
}

void expectSame(const std::vector<KeyState>& a, const std::vector<KeyState>& b, const char* what) {
    if (a == b)
        return;
    std::string detail = what;
    for (std::size_t i = 0; i < a.size() || i < b.size(); ++i) {
        if (i < a.size() && i < b.size() && a[i] == b[i])
            continue;
        detail += "\nfirst difference, key " + std::to_string(i) + ":\n";
        detail += i < a.size() ? describe(a[i]) : "(none)\n";
        detail += "against\n";
        detail += i < b.size() ? describe(b[i]) : "(none)\n";
        break;
    }
    KESTRANE_CHECK(a == b, detail);
}

// The key a key line names, as the reader itself decodes the line: the
// line alone in a file of its own.
std::vector<std::string> keyOfLine(std::string_view line) {
    std::string file = "WINE REGISTRY Version 2\n";
    file += line;
    auto mini = Hive::parse(file, "line");
    KESTRANE_CHECK(mini.ok(), "a key line of an accepted file is refused alone: " + shown(line) + "\n" +
                                  (mini.ok() ? std::string() : mini.error().message));
    std::vector<std::string> path;
    const Key* k = mini.value()->root();
    while (k->subkeys().size() == 1) {
        k = k->subkeys().front();
        path.emplace_back(k->name());
    }
    KESTRANE_CHECK(k->subkeys().empty(), "one key line made a branching tree: " + shown(line));
    return path;
}

// The hive's order of keys: depth first, subkeys in the registry's name order.
bool before(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (int c = text::compareNames(a[i], b[i]); c != 0)
            return c < 0;
    return a.size() < b.size();
}

// Whether the file's key lines (lines whose first character after blanks is
// '[') come in the hive's order, each key once: the order in which the hive
// writes its keys back. Wine writes its files so; a file that holds a key
// twice, or whose keys were put in another order, is written back merged
// and in order.
bool keysInHiveOrder(std::string_view text) {
    std::vector<std::string> last;
    bool first = true;
    std::size_t pos = text.find('\n');  // line 1 is the header
    while (pos != std::string_view::npos && pos < text.size()) {
        std::size_t start = pos + 1;
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        std::size_t q = 0;
        while (q < line.size() && (line[q] == ' ' || line[q] == '\t'))
            ++q;
        if (q < line.size() && line[q] == '[') {
            std::vector<std::string> key = keyOfLine(line);
            if (!first && !before(last, key))
                return false;
            last = std::move(key);
            first = false;
        }
        pos = end;
    }
    return true;
}

std::uint64_t fixedClock() { return 0x1dd87992a8b4b72ULL; }

void rewriteEveryKey(Key* key) {
    if (!key->isLink())
        for (Value& v : key->values())
            (void)key->setValue(std::move(v));  // only a name too long for the registry is refused
    for (Key* sub : key->subkeys())
        rewriteEveryKey(sub);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    auto parsed = Hive::parse(input, "fuzz.reg");
    if (!parsed.ok()) {
        KESTRANE_CHECK(parsed.error().kind == ErrorKind::Malformed, parsed.error().message);
        KESTRANE_CHECK(parsed.error().message.rfind("fuzz.reg, line ", 0) == 0,
                       "the error names no file and line: " + parsed.error().message);
        return 0;
    }
    Hive& hive = *parsed.value();
    KESTRANE_CHECK(!hive.dirty(), "a hive just read is dirty");
    const std::vector<KeyState> keys = snapshot(hive);
    KESTRANE_CHECK(keys.size() == hive.keyCount(), "keys reached from the root: " + std::to_string(keys.size()) +
                                                       ", keys held: " + std::to_string(hive.keyCount()));

    const std::string written = hive.serialize();
    const bool inOrder = keysInHiveOrder(input);
    if (inOrder)
        KESTRANE_CHECK(written == input, "an unchanged hive is written back differently:\n" + shown(written, 2000));

    auto again = Hive::parse(written, "again.reg");
    KESTRANE_CHECK(again.ok(), "what was written cannot be read: " +
                                   (again.ok() ? std::string() : again.error().message) + "\n" + shown(written, 2000));
    KESTRANE_CHECK(again.value()->keyCount() == hive.keyCount(),
                   "key count " + std::to_string(hive.keyCount()) + " read back as " +
                       std::to_string(again.value()->keyCount()));
    expectSame(keys, snapshot(*again.value()), "the written hive reads back to other keys or values");
    if (!inOrder)
        KESTRANE_CHECK(again.value()->serialize() == written, "the merged, ordered text is not written back as it was");

    hive.setClock(fixedClock);
    rewriteEveryKey(hive.root());
    const std::string rewritten = hive.serialize();
    auto third = Hive::parse(rewritten, "rewritten.reg");
    KESTRANE_CHECK(third.ok(), "the rewritten hive cannot be read: " +
                                   (third.ok() ? std::string() : third.error().message) + "\n" +
                                   shown(rewritten, 2000));
    KESTRANE_CHECK(third.value()->keyCount() == hive.keyCount(), "rewriting changed the key count");
    expectSame(keys, snapshot(*third.value()), "keys rewritten as Wine writes them read back differently");
    return 0;
}
