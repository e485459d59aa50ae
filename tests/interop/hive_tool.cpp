// hive_tool: small commands the Wine interoperability test runs against a
// prefix through our registry store.
//
//   hive_tool roundtrip PREFIX   each hive read and written back must give the file's bytes
//   hive_tool touch PREFIX       set and delete a value in each hive, then save
//   hive_tool edit PREFIX OP...  change the registry and save; OP is one of
//                                  delvalue KEY NAME | deltree KEY |
//                                  setsz KEY NAME TEXT | setdword KEY NAME NUMBER
//                                KEY is HKLM\path or HKCU\path
//   hive_tool dump PREFIX        every key and value, one per line, for comparing registries
//   hive_tool links PREFIX       the link keys, as .reg key names
//   hive_tool running PREFIX     exit 0 when a wineserver serves the prefix

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Hive.h"
#include "platform/RegFile.h"
#include "platform/RegistryStore.h"
#include "platform/WineServer.h"
#include "support/KillDuringSave.h"

using namespace kestrane;
using namespace kestrane::reg;

namespace {

int failWith(const std::string& message) {
    std::cerr << "hive_tool: " << message << '\n';
    return 1;
}

std::string readAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t lineOf(const std::string& text, std::size_t offset) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i)
        line += text[i] == '\n';
    return line;
}

int roundtrip(const std::string& prefix) {
    int status = 0;
    for (const char* name : {"system.reg", "user.reg"}) {
        const std::string file = prefix + "/" + name;
        const std::string bytes = readAll(file);
        auto hive = Hive::parse(bytes, file);
        if (!hive)
            return failWith(hive.error().message);
        const std::string again = hive.value()->serialize();
        if (again == bytes) {
            std::cout << name << ": identical (" << bytes.size() << " bytes)\n";
            continue;
        }
        std::size_t at = 0;
        while (at < bytes.size() && at < again.size() && bytes[at] == again[at])
            ++at;
        std::cout << name << ": differs from line " << lineOf(bytes, at) << " (file " << bytes.size()
                  << " bytes, written " << again.size() << " bytes)\n";
        status = 1;
    }
    return status;
}

bool splitKey(const std::string& key, Root& root, std::string& path) {
    const auto sep = key.find('\\');
    auto parsed = parseRootName(key.substr(0, sep));
    if (!parsed)
        return false;
    root = *parsed;
    path = sep == std::string::npos ? "" : key.substr(sep + 1);
    return true;
}

int touch(RegistryStore& store) {
    const std::pair<Root, const char*> keys[] = {
        {Root::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion"},
        {Root::CurrentUser, "Control Panel\\Desktop"},
    };
    for (const auto& [root, path] : keys) {
        auto key = store.openKey(root, path, KEY_ALL_ACCESS);
        if (!key)
            return failWith(std::string(path) + ": " + key.error().message);
        if (auto s = store.setValue(*key, Value::dword("KestraneTouch", 1)); !s)
            return failWith(s.error().message);
        if (auto s = store.deleteValue(*key, "KestraneTouch"); !s)
            return failWith(s.error().message);
    }
    if (auto s = store.save(); !s)
        return failWith(s.error().message);
    return 0;
}

int edit(RegistryStore& store, const std::vector<std::string>& ops) {
    for (std::size_t i = 0; i < ops.size();) {
        const std::string& op = ops[i];
        const std::size_t argc = op == "deltree" ? 1 : op == "delvalue" ? 2 : (op == "setsz" || op == "setdword") ? 3 : 0;
        if (argc == 0 || i + argc >= ops.size())
            return failWith("bad operation " + op);
        Root root;
        std::string path;
        if (!splitKey(ops[i + 1], root, path))
            return failWith("bad key " + ops[i + 1]);
        Status s;
        if (op == "deltree") {
            s = deleteTree(store, root, path);
        } else if (op == "delvalue") {
            auto key = store.openKey(root, path, KEY_ALL_ACCESS);
            s = key ? store.deleteValue(*key, ops[i + 2]) : Status(key.error());
        } else {
            auto key = store.createKey(root, path);
            if (!key)
                return failWith(ops[i + 1] + ": " + key.error().message);
            s = store.setValue(*key, op == "setsz" ? Value::string(ops[i + 2], ops[i + 3])
                                                   : Value::dword(ops[i + 2], static_cast<std::uint32_t>(
                                                                                   std::stoul(ops[i + 3], nullptr, 0))));
        }
        if (!s)
            return failWith(op + " " + ops[i + 1] + ": " + s.error().message);
        i += argc + 1;
    }
    if (auto s = store.save(); !s)
        return failWith(s.error().message);
    return 0;
}

constexpr char kDigits[] = "0123456789abcdef";

void dumpKey(const Key* key, const std::string& name) {
    if (key->isLink()) {
        std::cout << '[' << name << "] link\n";
        return;
    }
    std::cout << '[' << name << "]\n";
    for (const Value& v : key->values()) {
        std::cout << "  \"";
        for (char c : v.name)
            std::cout << (c == '\n' ? std::string("\\n") : std::string(1, c));
        std::cout << "\"=" << std::hex << v.type << ':';
        for (char c : v.data)
            std::cout << kDigits[static_cast<unsigned char>(c) >> 4] << kDigits[c & 0xF];
        std::cout << std::dec << '\n';
    }
    for (const Key* sub : key->subkeys())
        dumpKey(sub, name + '\\' + std::string(sub->name()));
}

void listLinks(const Key* key, const std::string& name) {
    if (key->isLink()) {
        std::cout << name << '\n';
        return;
    }
    for (const Key* sub : key->subkeys())
        listLinks(sub, name + '\\' + std::string(sub->name()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return failWith("usage: hive_tool roundtrip|touch|edit|dump|links|running|kill-saves PREFIX [...]");
    const std::string command = argv[1];
    const std::string prefix = argv[2];
    if (command == "roundtrip")
        return roundtrip(prefix);
    if (command == "running")
        return runningWineServer(prefix) ? 0 : 1;
    if (command == "kill-saves" && argc == 4) {
        const int trials = std::atoi(argv[3]);
        kestrane::test::KillTrials r = kestrane::test::killDuringSave(prefix, trials, 20261209);
        std::cout << "    " << r.trials << " kills over a save of " << r.saveMilliseconds << " ms: " << r.old
                  << " left the old hive, " << r.fresh << " the new one (" << r.finished
                  << " after the save had ended); " << r.leftovers << " temporary files left, "
                  << r.removedAtStart << " removed by the next start\n";
        if (!r.failure.empty())
            return failWith(r.failure);
        // Some kills must have fallen inside the write: they leave its temporary file.
        return r.trials == trials && r.old + r.fresh == trials && r.old > 0 && r.fresh > 0 && r.leftovers > 0 &&
                       r.removedAtStart == r.leftovers
                   ? 0
                   : 1;
    }

    auto store = RegistryStore::openPrefix(prefix);
    if (!store)
        return failWith(store.error().message);
    RegistryStore& s = *store.value();
    if (command == "touch")
        return touch(s);
    if (command == "edit")
        return edit(s, std::vector<std::string>(argv + 3, argv + argc));
    if (command == "dump" || command == "links") {
        const auto show = command == "dump" ? dumpKey : listLinks;
        show(s.machineHive().root(), "HKEY_LOCAL_MACHINE");
        show(s.userHive().root(), "HKEY_USERS\\S-1-5-21-0-0-0-1000");
        return 0;
    }
    return failWith("unknown command " + command);
}
