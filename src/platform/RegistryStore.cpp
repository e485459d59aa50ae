#include "platform/RegistryStore.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Text.h"
#include "platform/WineServer.h"

namespace kestrane::reg {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kClasses = "Software\\Classes";

std::string classesPath(std::string_view path) {
    std::string p(kClasses);
    if (!path.empty()) {
        p += '\\';
        p += path;
    }
    return p;
}

std::string_view trimSlashes(std::string_view path) {
    while (!path.empty() && path.front() == '\\')
        path.remove_prefix(1);
    while (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    return path;
}

}  // namespace

struct RegistryStore::FileState {
    bool known = false;
    ino_t ino = 0;
    off_t size = 0;
    struct timespec mtime {};
    mode_t mode = 0644;

    static FileState of(const fs::path& file) {
        FileState s;
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0) {
            s.known = true;
            s.ino = st.st_ino;
            s.size = st.st_size;
            s.mtime = st.st_mtim;
            s.mode = st.st_mode & 07777;
        }
        return s;
    }
    bool sameAs(const FileState& o) const {
        return known == o.known && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec;
    }
};

RegistryStore::~RegistryStore() = default;

bool needsWrite(std::uint32_t access) { return (access & 0x00000026u) != 0; }  // set value, create subkey, link

std::string_view rootName(Root root) {
    switch (root) {
    case Root::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case Root::CurrentUser: return "HKEY_CURRENT_USER";
    case Root::LocalMachine: return "HKEY_LOCAL_MACHINE";
    }
    return "";
}

std::optional<Root> parseRootName(std::string_view name) {
    if (text::equalNames(name, "HKEY_CLASSES_ROOT") || text::equalNames(name, "HKCR"))
        return Root::ClassesRoot;
    if (text::equalNames(name, "HKEY_CURRENT_USER") || text::equalNames(name, "HKCU"))
        return Root::CurrentUser;
    if (text::equalNames(name, "HKEY_LOCAL_MACHINE") || text::equalNames(name, "HKLM"))
        return Root::LocalMachine;
    return std::nullopt;
}

Result<std::unique_ptr<RegistryStore>> RegistryStore::openPrefix(const fs::path& prefix) {
    std::error_code ec;
    if (!fs::is_directory(prefix, ec))
        return makeError(ErrorKind::NotFound, "The Wine prefix " + prefix.string() + " does not exist.");
    const fs::path systemFile = prefix / "system.reg";
    const fs::path userFile = prefix / "user.reg";
    // What an interrupted save of ours left beside the hives goes first.
    if (::access(prefix.c_str(), W_OK) == 0) {
        removeInterruptedSaves(systemFile);
        removeInterruptedSaves(userFile);
    }
    auto machine = Hive::load(systemFile.string());
    if (!machine)
        return machine.error();
    auto user = Hive::load(userFile.string());
    if (!user)
        return user.error();
    auto store = fromHives(std::move(machine.value()), std::move(user.value()));
    store->m_prefix = prefix;
    store->m_machineState = std::make_unique<FileState>(FileState::of(systemFile));
    store->m_userState = std::make_unique<FileState>(FileState::of(userFile));
    // A hive we may not replace opens read-only: the file and the folder it
    // really lies in (a linked hive is replaced where the link leads).
    auto replaceable = [](const fs::path& file) {
        std::error_code error;
        fs::path real = fs::canonical(file, error);
        return !error && ::access(real.parent_path().c_str(), W_OK) == 0 && ::access(real.c_str(), W_OK) == 0;
    };
    store->m_machineReadOnly = !replaceable(systemFile);
    store->m_userReadOnly = !replaceable(userFile);
    return store;
}

Status RegistryStore::reload() {
    if (m_prefix.empty())
        return makeError(ErrorKind::NotFound, "the registry was not read from a prefix");
    auto fresh = openPrefix(m_prefix);
    if (!fresh)
        return fresh.error();
    RegistryStore& f = *fresh.value();
    std::swap(m_machine, f.m_machine);
    std::swap(m_user, f.m_user);
    std::swap(m_machineState, f.m_machineState);
    std::swap(m_userState, f.m_userState);
    m_machineReadOnly = f.m_machineReadOnly;
    m_userReadOnly = f.m_userReadOnly;
    return {};
}

std::unique_ptr<RegistryStore> RegistryStore::fromHives(std::unique_ptr<Hive> machine, std::unique_ptr<Hive> user) {
    std::unique_ptr<RegistryStore> store(new RegistryStore());
    store->m_machine = std::move(machine);
    store->m_user = std::move(user);
    return store;
}

Key* RegistryStore::resolve(Hive& hive, std::string_view path) const { return hive.find(trimSlashes(path)); }

bool RegistryStore::writable(Root root) const {
    switch (root) {
    case Root::CurrentUser: return !m_userReadOnly;
    case Root::LocalMachine: return !m_machineReadOnly;
    case Root::ClassesRoot: return !m_userReadOnly && !m_machineReadOnly;
    }
    return false;
}

void RegistryStore::setReadOnly(Root root, bool readOnly) {
    if (root != Root::LocalMachine)
        m_userReadOnly = readOnly;
    if (root != Root::CurrentUser)
        m_machineReadOnly = readOnly;
}

Result<KeyHandle> RegistryStore::openKey(Root root, std::string_view path, std::uint32_t access) const {
    path = trimSlashes(path);
    KeyHandle h;
    h.root = root;
    h.path = std::string(path);
    switch (root) {
    case Root::CurrentUser: h.user = resolve(*m_user, path); break;
    case Root::LocalMachine: h.machine = resolve(*m_machine, path); break;
    case Root::ClassesRoot:
        h.user = resolve(*m_user, classesPath(path));
        h.machine = resolve(*m_machine, classesPath(path));
        break;
    }
    return opened(h, access);
}

Result<KeyHandle> RegistryStore::opened(KeyHandle h, std::uint32_t access) const {
    if (!h.primary())
        return makeError(ErrorKind::NotFound, "The system cannot find the file specified.");
    h.writable = (!h.user || !m_userReadOnly) && (!h.machine || !m_machineReadOnly);
    if (needsWrite(access) && !h.writable)
        return makeError(ErrorKind::AccessDenied, "Access is denied.");
    return h;
}

Result<KeyHandle> RegistryStore::openSubkey(const KeyHandle& parent, std::string_view name,
                                           std::uint32_t access) const {
    KeyHandle h;
    h.root = parent.root;
    h.path = parent.path.empty() ? std::string(name) : parent.path + '\\' + std::string(name);
    for (auto [from, to] : {std::pair{parent.user, &h.user}, std::pair{parent.machine, &h.machine}})
        if (from && !from->isLink() && !from->deleted())
            *to = from->findSubkey(name);
    return opened(h, access);
}

bool RegistryStore::keyExists(Root root, std::string_view path) const { return openKey(root, path, KEY_READ).ok(); }

Result<KeyHandle> RegistryStore::createKey(Root root, std::string_view path) {
    path = trimSlashes(path);
    if (auto existing = openKey(root, path, KEY_READ)) {
        if (!existing->writable)
            return makeError(ErrorKind::AccessDenied, "Access is denied.");
        return existing;
    }
    // New keys under HKEY_CLASSES_ROOT go to the machine's classes.
    const bool inUser = root == Root::CurrentUser;
    Hive& hive = inUser ? *m_user : *m_machine;
    if (inUser ? m_userReadOnly : m_machineReadOnly)
        return makeError(ErrorKind::AccessDenied, "Access is denied.");
    std::string full = root == Root::ClassesRoot ? classesPath(path) : std::string(path);
    Key* k = hive.root();
    std::size_t start = 0;
    while (k && start <= full.size()) {
        std::size_t sep = full.find('\\', start);
        std::string_view comp =
            std::string_view(full).substr(start, sep == std::string::npos ? std::string::npos : sep - start);
        if (!comp.empty()) {
            if (k->isLink())
                return makeError(ErrorKind::AccessDenied, "Access is denied.");
            Key* next = k->findSubkey(comp);
            k = next ? next : k->createSubkey(comp);
        }
        if (sep == std::string::npos)
            break;
        start = sep + 1;
    }
    if (!k)
        return makeError(ErrorKind::Failure, "The parameter is incorrect.");
    KeyHandle h;
    h.root = root;
    h.path = std::string(path);
    (inUser ? h.user : h.machine) = k;
    h.writable = true;
    return h;
}

std::vector<std::string> RegistryStore::subkeyNames(const KeyHandle& key) const {
    std::vector<std::string> names;
    auto add = [&](Key* k) {
        if (!k || k->deleted() || k->isLink())
            return;
        for (Key* s : k->subkeys())
            names.emplace_back(s->name());
    };
    add(key.user);
    if (key.user && key.machine) {
        add(key.machine);
        std::stable_sort(names.begin(), names.end(),
                         [](const std::string& a, const std::string& b) { return text::compareNames(a, b) < 0; });
        names.erase(std::unique(names.begin(), names.end(),
                                [](const std::string& a, const std::string& b) { return text::equalNames(a, b); }),
                    names.end());
    } else {
        add(key.machine);
    }
    return names;
}

std::vector<std::string> RegistryStore::valueNames(const KeyHandle& key) const {
    std::vector<std::string> names;
    if (key.user && key.machine) {
        names = key.user->valueNames();
        for (auto& n : key.machine->valueNames())
            names.push_back(std::move(n));
        std::stable_sort(names.begin(), names.end(),
                         [](const std::string& a, const std::string& b) { return text::compareNames(a, b) < 0; });
        names.erase(std::unique(names.begin(), names.end(),
                                [](const std::string& a, const std::string& b) { return text::equalNames(a, b); }),
                    names.end());
    } else if (Key* k = key.primary()) {
        names = k->valueNames();
    }
    return names;
}

std::optional<Value> RegistryStore::queryValue(const KeyHandle& key, std::string_view name) const {
    if (key.user)
        if (auto v = key.user->value(name))
            return v;
    if (key.machine)
        return key.machine->value(name);
    return std::nullopt;
}

bool RegistryStore::isLink(const KeyHandle& key) const { return key.primary() && key.primary()->isLink(); }

void RegistryStore::record(Removal::Kind kind, const Key* key, std::vector<Value> values) {
    std::string path;
    for (const Key* k = key; k && k->parent(); k = k->parent())
        path.insert(0, (k->parent()->parent() ? "\\" : "") + std::string(k->name()));
    m_journal.push_back({kind, &key->hive() == m_machine.get(), std::move(path), std::move(values)});
}

Status RegistryStore::setValue(const KeyHandle& key, Value value) {
    Key* k = key.primary();
    if (!k || k->deleted())
        return makeError(ErrorKind::NotFound, "The key has been deleted.");
    if (!key.writable || k->isLink())
        return makeError(ErrorKind::AccessDenied, "Access is denied.");
    if (m_journaling) {
        if (auto old = k->value(value.name))
            record(Removal::Kind::Value, k, {std::move(*old)});
        else
            record(Removal::Kind::NewValue, k, {Value::string(value.name, "")});
    }
    if (!k->setValue(std::move(value)))
        return makeError(ErrorKind::Failure, "The value cannot be set.");
    return {};
}

Status RegistryStore::deleteValue(const KeyHandle& key, std::string_view name) {
    if (!key.writable || isLink(key))
        return makeError(ErrorKind::AccessDenied, "Access is denied.");
    bool deleted = false;
    if (m_journaling)
        for (Key* k : {key.user, key.machine})
            if (k)
                if (auto old = k->value(name))
                    record(Removal::Kind::Value, k, {std::move(*old)});
    if (key.user)
        deleted = key.user->deleteValue(name) || deleted;
    if (key.machine)
        deleted = key.machine->deleteValue(name) || deleted;
    if (!deleted)
        return makeError(ErrorKind::NotFound, "The system cannot find the file specified.");
    return {};
}

Status RegistryStore::deleteKey(Root root, std::string_view path) {
    path = trimSlashes(path);
    if (path.empty())
        return makeError(ErrorKind::AccessDenied, "Access is denied.");
    auto h = openKey(root, path, KEY_READ);
    if (!h)
        return h.error();
    if (!h->writable)
        return makeError(ErrorKind::AccessDenied, "Access is denied.");
    for (Key* k : {h->user, h->machine})
        if (k && (k->isLink() || !k->subkeys().empty()))
            return makeError(ErrorKind::AccessDenied, "Access is denied.");
    for (Key* k : {h->user, h->machine}) {
        if (!k)
            continue;
        if (m_journaling)
            record(Removal::Kind::Key, k, k->values());
        k->parent()->deleteSubkey(k->name());
    }
    return {};
}

bool RegistryStore::changed() const { return m_machine->dirty() || m_user->dirty(); }

Status RegistryStore::save() {
    if (!changed())
        return {};
    if (m_prefix.empty())
        return makeError(ErrorKind::Failure, "This registry has no files to be saved to.");
    struct Item {
        Hive* hive;
        fs::path file;
        FileState* state;
        bool readOnly;
    };
    Item items[] = {{m_machine.get(), m_prefix / "system.reg", m_machineState.get(), m_machineReadOnly},
                    {m_user.get(), m_prefix / "user.reg", m_userState.get(), m_userReadOnly}};
    // Check everything before writing anything.
    if (auto pid = runningWineServer(m_prefix))
        return makeError(ErrorKind::WineRunning,
                         "Wine is running on " + m_prefix.string() + " (wineserver pid " + std::to_string(*pid) +
                             "). Close all Wine programs of this prefix first; nothing was changed.");
    for (auto& item : items) {
        if (!item.hive->dirty())
            continue;
        if (item.readOnly)
            return makeError(ErrorKind::AccessDenied, item.file.string() + " cannot be written; nothing was changed.");
        if (!FileState::of(item.file).sameAs(*item.state))
            return makeError(ErrorKind::ChangedOnDisk, item.file.string() +
                                                           " changed on disk since it was read; nothing was "
                                                           "written. Scan again first.");
    }
    for (auto& item : items) {
        if (!item.hive->dirty())
            continue;
        if (auto s = saveHive(*item.hive, item.file.string(), *item.state); !s)
            return s;
        *item.state = FileState::of(item.file);
        item.hive->markSaved();
    }
    return {};
}

Status RegistryStore::saveHive(Hive& hive, const std::string& file, const FileState& state) {
    const std::string text = hive.serialize();
    auto failure = [&](const std::string& what, int error) {
        return makeError(ErrorKind::Failure, file + ": " + what + ": " + std::strerror(error));
    };
    // A linked hive is replaced where the link leads, so that the link stays.
    std::string target = file;
    struct stat lst {};
    if (::lstat(file.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        std::error_code ec;
        fs::path real = fs::canonical(file, ec);
        if (ec)
            return failure("cannot follow the link", ec.value());
        target = real.string();
    }
    // The new text goes to a temporary file beside the hive, locked while it
    // is ours: a save that was interrupted leaves an unlocked one, which the
    // next start removes.
    std::string tmp = target + std::string(kSaveMarker) + "XXXXXX";
    int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0)
        return failure("cannot create a temporary file", errno);
    (void)::flock(fd, LOCK_EX);
    auto abandon = [&](Error error) {
        ::unlink(tmp.c_str());
        ::close(fd);
        return error;
    };
    for (std::size_t done = 0; done < text.size();) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return abandon(failure("cannot write", n < 0 ? errno : ENOSPC));
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        return abandon(failure("cannot write", errno));
    (void)::fchmod(fd, state.known ? state.mode : 0644);
    if (::stat(target.c_str(), &lst) == 0)
        (void)::fchown(fd, lst.st_uid, lst.st_gid);
    if (runningWineServer(m_prefix))
        return abandon(makeError(ErrorKind::WineRunning, "Wine started on " + m_prefix.string() +
                                                             " while saving. Close all Wine programs of this "
                                                             "prefix first."));
    if (m_beforeReplace)
        m_beforeReplace(tmp);
    if (::rename(tmp.c_str(), target.c_str()) != 0)
        return abandon(failure("cannot replace the file", errno));
    if (int dfd = ::open(fs::path(target).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    ::close(fd);
    return {};
}

std::vector<fs::path> removeInterruptedSaves(const fs::path& hiveFile) {
    std::vector<fs::path> removed;
    std::error_code ec;
    fs::path real = fs::canonical(hiveFile, ec);
    if (ec)
        return removed;
    const std::string stem = real.filename().string() + std::string(kSaveMarker);
    for (const auto& entry : fs::directory_iterator(real.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        // mkstemp's six characters after the marker, nothing else.
        if (name.size() != stem.size() + 6 || name.compare(0, stem.size(), stem) != 0)
            continue;
        int fd = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st {};
        // A save still running holds its lock: only files nobody holds are left-overs.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::unlink(entry.path().c_str()) == 0)
            removed.push_back(entry.path());
        ::close(fd);
    }
    return removed;
}

}  // namespace kestrane::reg
