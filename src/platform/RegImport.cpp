// The registry editor file importer: a parsed file applied to the store,
// after everything that can be checked was checked.

#include <optional>

#include "platform/Hive.h"
#include "platform/RegFile.h"
#include "platform/RegFileFormat.h"
#include "platform/Text.h"

namespace kestrane::reg {

using namespace regformat;

namespace {

// Where a key of the file lands in the store.
struct Target {
    bool apply = false;
    Root root = Root::CurrentUser;
    std::string path;
};

// Whether the path meets a link key on its way (the key itself included).
bool throughLink(const Key* key, const std::vector<std::string_view>& parts, std::size_t from) {
    for (std::size_t i = from; key; ++i) {
        if (key->isLink())
            return true;
        if (i == parts.size())
            break;
        key = key->findSubkey(parts[i]);
    }
    return false;
}

bool holdsLink(const Key* key) {
    if (!key)
        return false;
    if (key->isLink())
        return true;
    return std::any_of(key->subkeys().begin(), key->subkeys().end(), [](const Key* k) { return holdsLink(k); });
}

Target resolve(RegistryStore& store, const std::string& name, ImportReport& report, bool count) {
    Target t;
    std::vector<std::string_view> parts = splitPath(name);
    std::size_t from = 1;
    auto other = [&](std::string root) {
        if (count && std::find(report.otherRoots.begin(), report.otherRoots.end(), root) == report.otherRoots.end())
            report.otherRoots.push_back(std::move(root));
        return t;
    };
    const std::string_view root = parts.front();
    if (text::equalNames(root, "HKEY_USERS") || text::equalNames(root, "HKU")) {
        if (parts.size() == 1)
            return t;  // the parent of the users' hives: nothing to do
        if (!text::equalNames(parts[1], kUserSid))
            return other("HKEY_USERS\\" + std::string(parts[1]));
        t.root = Root::CurrentUser;
        from = 2;
    } else if (auto r = parseRootName(root)) {
        t.root = *r;
    } else {
        return other(text::asciiLower(root) == "hkcc" ? "HKEY_CURRENT_CONFIG" : std::string(root));
    }
    t.path = joinPath(parts, from);

    bool linked = false;
    if (t.root == Root::ClassesRoot) {
        std::vector<std::string_view> full = {"Software", "Classes"};
        full.insert(full.end(), parts.begin() + static_cast<std::ptrdiff_t>(from), parts.end());
        linked = throughLink(store.machineHive().root(), full, 0) || throughLink(store.userHive().root(), full, 0);
    } else {
        Hive& hive = t.root == Root::LocalMachine ? store.machineHive() : store.userHive();
        linked = throughLink(hive.root(), parts, from);
    }
    if (linked) {
        if (count)
            ++report.belowLinks;
        return t;
    }
    t.apply = true;
    return t;
}

Error importError(const std::string& fileName, std::size_t line, const std::string& what) {
    return makeError(ErrorKind::Failure, fileName + ", line " + std::to_string(line) + ": " + what);
}

Status deleteBelow(RegistryStore& store, Root root, const std::string& path) {
    auto key = store.openKey(root, path, KEY_READ);
    if (!key)
        return key.error();
    for (const std::string& name : store.subkeyNames(*key))
        if (auto s = deleteBelow(store, root, path + '\\' + name); !s)
            return s;
    return store.deleteKey(root, path);
}

}  // namespace

Status deleteTree(RegistryStore& store, Root root, std::string_view path) {
    const std::string keyPath(path);
    auto key = store.openKey(root, keyPath, KEY_READ);
    if (!key)
        return key.error();
    if (splitPath(keyPath).empty())
        return makeError(ErrorKind::AccessDenied, "A root key cannot be deleted.");
    if (holdsLink(key->user) || holdsLink(key->machine))
        return makeError(ErrorKind::AccessDenied, std::string(rootName(root)) + '\\' + keyPath +
                                                      " holds a link key, which is never changed.");
    return deleteBelow(store, root, keyPath);
}

Status importRegistry(RegistryStore& store, const std::string& fileBytes, const std::string& fileName,
                      ImportReport* report) {
    auto parsed = parseRegFile(fileBytes, fileName);
    if (!parsed)
        return parsed.error();
    return importRegistry(store, parsed.value(), fileName, report);
}

Status importRegistry(RegistryStore& store, const std::vector<RegOperation>& ops, const std::string& fileName,
                      ImportReport* report) {
    ImportReport local;
    ImportReport& rep = report ? *report : local;
    rep = ImportReport{};

    // Check everything that can be checked before the first change.
    std::vector<Target> targets(ops.size());
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const RegOperation& op = ops[i];
        if (op.kind != RegOperation::Kind::OpenKey && op.kind != RegOperation::Kind::DeleteTree)
            continue;
        Target& t = targets[i] = resolve(store, op.key, rep, true);
        if (!t.apply)
            continue;
        if (op.kind == RegOperation::Kind::DeleteTree && t.path.empty())
            return importError(fileName, op.line, "a root key cannot be deleted. Nothing was imported.");
        if (!store.writable(t.root))
            return importError(fileName, op.line, op.key + " cannot be written: the hive file is read-only. "
                                                           "Nothing was imported.");
        if (op.kind == RegOperation::Kind::DeleteTree)
            if (auto key = store.openKey(t.root, t.path, KEY_READ);
                key && (holdsLink(key->user) || holdsLink(key->machine)))
                return importError(fileName, op.line, op.key + " holds a link key, which is never changed. "
                                                               "Nothing was imported.");
    }

    std::optional<KeyHandle> current;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const RegOperation& op = ops[i];
        const Target& t = targets[i];
        switch (op.kind) {
        case RegOperation::Kind::OpenKey: {
            current.reset();
            if (!t.apply)
                break;
            auto key = store.createKey(t.root, t.path);
            if (!key)
                return importError(fileName, op.line, "cannot create " + op.key + ": " + key.error().message);
            current = std::move(key.value());
            ++rep.keys;
            break;
        }
        case RegOperation::Kind::DeleteTree:
            current.reset();
            if (!t.apply || !store.keyExists(t.root, t.path))
                break;
            if (auto s = deleteTree(store, t.root, t.path); !s)
                return importError(fileName, op.line, "cannot delete " + op.key + ": " + s.error().message);
            ++rep.treesDeleted;
            break;
        case RegOperation::Kind::SetValue: {
            if (!current)
                break;
            // An equal value is left alone, so that restoring a backup
            // rewrites only what differs.
            auto old = store.queryValue(*current, op.value.name);
            if (!old || old->type != op.value.type || old->data != op.value.data)
                if (auto s = store.setValue(*current, op.value); !s)
                    return importError(fileName, op.line, "cannot set a value of " + op.key + ": " + s.error().message);
            ++rep.valuesSet;
            break;
        }
        case RegOperation::Kind::DeleteValue:
            if (!current)
                break;
            if (auto s = store.deleteValue(*current, op.value.name); s)
                ++rep.valuesDeleted;
            else if (s.error().kind != ErrorKind::NotFound)
                return importError(fileName, op.line, "cannot delete a value of " + op.key + ": " + s.error().message);
            break;
        }
    }
    return {};
}

}  // namespace kestrane::reg
