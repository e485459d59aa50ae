// Registry editor files (.reg) through the reader and the import, into a
// registry of two empty hives. A file that is refused changes nothing. A
// file that imports imports a second time to the same registry; when it
// neither deletes anything nor gives one value two different data (and does
// not go through HKEY_CLASSES_ROOT, whose writes land where the key already
// is), the second import changes nothing at all, not even a time stamp.
// The export of the result reads again, and imported into empty hives gives
// the same registry and the same export.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "platform/Hive.h"
#include "platform/RegFile.h"
#include "platform/RegistryStore.h"
#include "platform/Text.h"

using namespace kestrane;
using namespace kestrane::reg;
using fuzz::shown;

namespace {

// Each time stamp a second after the one before: a key touched again never
// keeps its old text.
std::uint64_t g_ticks = 0;
std::uint64_t tickingClock() { return 0x1d0000000000000ULL + (++g_ticks) * 10000000ULL; }

std::unique_ptr<RegistryStore> emptyStore() {
    auto machine = Hive::empty("REGISTRY\\Machine");
    auto user = Hive::empty("REGISTRY\\User\\S-1-5-21-0-0-0-1000");
    machine->setClock(tickingClock);
    user->setClock(tickingClock);
    machine->markSaved();
    user->markSaved();
    return RegistryStore::fromHives(std::move(machine), std::move(user));
}

std::string hives(RegistryStore& store) {
    return store.machineHive().serialize() + "\n=== user.reg\n" + store.userHive().serialize();
}

// The hives' text without time stamps: the seconds after a key line and the
// #time= lines.
std::string withoutTimes(const std::string& text) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        if (line.substr(0, 6) == "#time=")
            continue;
        if (!line.empty() && line.front() == '[') {
            std::size_t close = line.rfind(']');
            if (close != std::string_view::npos)
                line = line.substr(0, close + 1);
        }
        out += line;
        out += '\n';
    }
    return out;
}

std::u16string folded(std::string_view name) {
    std::u16string units = text::toUtf16(name);
    for (auto& c : units)
        c = text::foldUnit(c);
    return units;
}

bool throughClassesRoot(const std::vector<RegOperation>& ops) {
    for (const RegOperation& op : ops) {
        std::string_view root = std::string_view(op.key).substr(0, op.key.find('\\'));
        if (parseRootName(root) == Root::ClassesRoot)
            return true;
    }
    return false;
}

// No [-key], no "name"=-, and no value name (whatever its key) set to two
// different data: then nothing the file does undoes another part of it.
bool neverUndoesItself(const std::vector<RegOperation>& ops) {
    std::map<std::u16string, std::pair<std::uint32_t, std::string>> set;
    for (const RegOperation& op : ops) {
        if (op.kind == RegOperation::Kind::DeleteTree || op.kind == RegOperation::Kind::DeleteValue)
            return false;
        if (op.kind != RegOperation::Kind::SetValue)
            continue;
        auto [it, fresh] = set.try_emplace(folded(op.value.name), op.value.type, op.value.data);
        if (!fresh && (it->second.first != op.value.type || it->second.second != op.value.data))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    auto store = emptyStore();
    auto parsed = parseRegFile(input, "fuzz.reg");
    ImportReport first;
    Status imported = importRegistry(*store, input, "fuzz.reg", &first);
    if (!parsed.ok()) {
        KESTRANE_CHECK(parsed.error().kind == ErrorKind::Malformed, parsed.error().message);
        KESTRANE_CHECK(parsed.error().message.rfind("fuzz.reg", 0) == 0, parsed.error().message);
        KESTRANE_CHECK(!imported.ok(), "a file the reader refuses was imported");
        KESTRANE_CHECK(imported.error().message == parsed.error().message,
                       "import: " + imported.error().message + "\nreader: " + parsed.error().message);
    }
    if (!imported.ok()) {
        KESTRANE_CHECK(!store->changed(), "a refused import changed the registry (" + imported.error().message +
                                              "):\n" + shown(hives(*store), 3000));
        return 0;
    }
    const std::vector<RegOperation>& ops = parsed.value();
    KESTRANE_CHECK(first.belowLinks == 0, "a link key in hives that hold none");

    const std::string once = hives(*store);
    store->machineHive().markSaved();
    store->userHive().markSaved();
    ImportReport second;
    Status again = importRegistry(*store, input, "fuzz.reg", &second);
    KESTRANE_CHECK(again.ok(), "a file that imported once is refused the second time: " + again.error().message);
    KESTRANE_CHECK(second.keys == first.keys && second.valuesSet == first.valuesSet &&
                       second.otherRoots == first.otherRoots,
                   "the second import reports other keys or values");
    const std::string twice = hives(*store);
    if (!throughClassesRoot(ops)) {
        KESTRANE_CHECK(withoutTimes(twice) == withoutTimes(once),
                       "the second import gives another registry:\nonce:\n" + shown(once, 3000) + "\ntwice:\n" +
                           shown(twice, 3000));
        if (neverUndoesItself(ops)) {
            KESTRANE_CHECK(!store->changed(), "the second import of a file that never undoes itself changed "
                                              "the registry:\nonce:\n" + shown(once, 3000) + "\ntwice:\n" +
                                                  shown(twice, 3000));
            KESTRANE_CHECK(twice == once, "the second import rewrote keys:\nonce:\n" + shown(once, 3000) +
                                              "\ntwice:\n" + shown(twice, 3000));
        }
    }

    const std::string exported = exportRegistry(*store);
    auto reread = parseRegFile(exported, "export.reg");
    KESTRANE_CHECK(reread.ok(), "the export cannot be read: " + (reread.ok() ? std::string() : reread.error().message) +
                                    "\n" + shown(exported, 3000));
    auto copy = emptyStore();
    Status restored = importRegistry(*copy, exported, "export.reg");
    KESTRANE_CHECK(restored.ok(), "the export cannot be imported: " + restored.error().message);
    KESTRANE_CHECK(withoutTimes(hives(*copy)) == withoutTimes(twice),
                   "the export imported into empty hives gives another registry:\noriginal:\n" + shown(twice, 3000) +
                       "\nfrom the export:\n" + shown(hives(*copy), 3000));
    KESTRANE_CHECK(exportRegistry(*copy) == exported, "the export of the copy differs from the original's export");
    return 0;
}
