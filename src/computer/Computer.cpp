#include "computer/Computer.h"

#include <cstdlib>
#include <unistd.h>
#include <system_error>

#include "backup/Optimizer.h"
#include "demo/DemoPrefix.h"
#include "platform/WineServer.h"
#include "platform/Wow64.h"

namespace kestrane {

namespace fs = std::filesystem;

namespace {

std::string envValue(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// The number of leading components `folder` shares with `path` when it holds
// it, else nothing.
std::optional<std::size_t> holds(const fs::path& folder, const fs::path& path) {
    std::size_t n = 0;
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p, ++n) {
        if (f->empty() && std::next(f) == folder.end()) break;  // a trailing separator
        if (p == path.end() || *p != *f) return std::nullopt;
    }
    return n;
}

fs::path resolved(const fs::path& p) {
    std::error_code ec;
    fs::path c = fs::weakly_canonical(p, ec);
    return ec ? p.lexically_normal() : c;
}

}  // namespace

fs::path registryEditor() {
    if (auto env = envValue("KESTRANE_REGEDIT"); !env.empty()) return fs::absolute(env);
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path dir = self.parent_path();
        for (const fs::path& candidate :
             {dir / "regedit", dir / "../lib/kestrane/regedit", dir / "../../tools/regedit/regedit",
              dir / "../../../tools/regedit/regedit"})
            if (::access(candidate.c_str(), X_OK) == 0) return candidate.lexically_normal();
    }
    return {};  // none: a backup or restore then says so
}

Result<fs::path> choosePrefix(const PrefixRequest& request) {
    if (request.demo || request.demoReset) {
        auto made = demo::ensureDemoPrefix(demo::defaultDemoPrefixPath(), request.demoReset);
        if (!made) return makeError(ErrorKind::Failure, "cannot make the demo prefix: " + made.error().message);
        return made.value();
    }
    if (!request.prefix.empty()) return fs::path(request.prefix);
    if (auto env = envValue("WINEPREFIX"); !env.empty()) return fs::path(env);
    if (auto home = envValue("HOME"); !home.empty()) return fs::path(home) / ".wine";
    return makeError(ErrorKind::NotFound, "no prefix: give --prefix DIR or set WINEPREFIX");
}

Result<std::unique_ptr<Computer>> Computer::open(const fs::path& prefix, Pacer& pacer) {
    std::error_code ec;
    if (!fs::is_directory(prefix, ec))
        return makeError(ErrorKind::NotFound, "the prefix " + prefix.string() + " does not exist");
    auto store = reg::RegistryStore::openPrefix(prefix);
    if (!store)
        return makeError(store.error().kind,
                         "cannot read the prefix " + prefix.string() + ": " + store.error().message);
    return std::unique_ptr<Computer>(new Computer(prefix, std::move(store.value()), pacer));
}

struct Computer::Wow64Half {
    files::SystemFolders folders;
    files::Wow64FileSystem redirected;
    files::LaunchProbe probe;
    Wow64Files view{&redirected, &probe, &folders};

    Wow64Half(reg::RegistryStore& store, files::FileSystem& native, const files::SystemFolders& nativeFolders)
        : folders(files::wow64Folders(store, nativeFolders)),
          redirected(native, nativeFolders.systemRoot),
          // system32 on the search path is syswow64 for a 32-bit program.
          probe(redirected, files::LaunchProbe::prefixSearchFolders(store, nativeFolders.systemRoot)) {}
};

Computer::Computer(fs::path prefix, std::unique_ptr<reg::RegistryStore> store, Pacer& pacer)
    : m_prefix(std::move(prefix)), m_store(std::move(store)),
      m_files(std::make_unique<files::PrefixFileSystem>(m_prefix)),
      // The demo keeps its recycle bin in a Trash of its own.
      m_recycleBin(m_prefix, demo::isDemoPrefix(m_prefix) ? std::vector<fs::path>{demo::demoTrashFolder(m_prefix)}
                                                          : files::RecycleBin::trashFoldersFor(m_prefix)),
      m_ctx{.store = *m_store,
            .files = m_files.get(),
            .folders = &m_folders,
            .recycleBin = &m_recycleBin,
            .pacer = pacer} {
    resolveFromRegistry();
    // The ignore lists live in "Kestrane Pro" under the program-files folder.
    auto ignoreFolder = m_files->paths().toHost(m_folders.programFiles + "\\Kestrane Pro");
    m_ignores = std::make_unique<IgnoreLists>(ignoreFolder ? *ignoreFolder : fs::path());
    if (ignoreFolder) m_ignores->load(ignoreCodes(builtCategories()));
    m_ctx.ignored = [this](std::string_view code, std::string_view text) { return m_ignores->ignored(code, text); };
    m_ctx.ignore = [this](std::string_view code, const std::string& value, const std::string& location) {
        return m_ignores->ignore(code, value, location);
    };
    m_backups = std::make_unique<backup::BackupFolder>(backup::BackupFolder::Setup{
        .prefix = m_prefix,
        .store = *m_store,
        .files = *m_files,
        .folder = m_folders.backupsFolder(),
        .regedit = registryEditor(),
        .clock = nullptr,
        .reloaded = [this] { afterReload(); },
    });
    m_ctx.backups = m_backups.get();
    m_undo = std::make_unique<backup::UndoFolder>(backup::UndoFolder::Setup{
        .prefix = m_prefix, .store = *m_store, .files = *m_files, .folder = m_folders.undoFolder(), .clock = nullptr});
    m_ctx.undo = m_undo.get();
    m_ctx.optimize = backup::optimize;
}

Computer::~Computer() = default;

void Computer::resolveFromRegistry() {
    m_folders = files::SystemFolders::resolve(*m_store);
    m_probe = std::make_unique<files::LaunchProbe>(
        *m_files, files::LaunchProbe::prefixSearchFolders(*m_store, m_folders.systemRoot));
    m_ctx.probe = m_probe.get();
    m_wow64 = reg::isWin64(*m_store) ? std::make_unique<Wow64Half>(*m_store, *m_files, m_folders) : nullptr;
    m_ctx.wow64 = m_wow64 ? &m_wow64->view : nullptr;
}

void Computer::afterReload() {
    resolveFromRegistry();
    m_files->paths().forgetCache();
}

void Computer::createProgramFolders() { m_folders.createProgramFolders(*m_files); }

std::optional<pid_t> Computer::wineServer() const { return reg::runningWineServer(m_prefix); }

std::string Computer::windowsPath(const fs::path& hostPath) {
    const fs::path host = resolved(hostPath);
    std::optional<char> best;
    std::size_t bestDepth = 0;
    fs::path bestRoot;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        auto root = m_files->paths().driveRoot(letter);
        if (!root) continue;
        fs::path r = resolved(*root);
        auto depth = holds(r, host);
        if (depth && (!best || *depth > bestDepth)) {
            best = letter;
            bestDepth = *depth;
            bestRoot = r;
        }
    }
    std::string out;
    fs::path rest;
    if (best) {
        out = std::string(1, static_cast<char>(*best - 'a' + 'A')) + ":";
        rest = host.lexically_relative(bestRoot);
        if (rest == ".") rest.clear();
    } else {
        out = "\\\\?\\unix";
        rest = host.relative_path();
    }
    for (const auto& part : rest)
        if (!part.empty()) out += "\\" + part.string();
    if (best && rest.empty()) out += "\\";
    return out;
}

}  // namespace kestrane
