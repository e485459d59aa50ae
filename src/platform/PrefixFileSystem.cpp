#include "platform/PrefixFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "platform/FileTree.h"
#include "platform/FileVersion.h"
#include "platform/Wildcard.h"

namespace kestrane::files {

namespace fs = std::filesystem;

namespace {

// Splits "C:\a\b*.txt" into "C:\a\" and "b*.txt".
bool splitLast(std::string_view path, std::string_view& folder, std::string_view& name) {
    auto sep = path.find_last_of("\\/");
    if (sep == std::string_view::npos)
        return false;
    folder = path.substr(0, sep + 1);
    name = path.substr(sep + 1);
    return !name.empty();
}

bool isFolder(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> realPath(const std::string& p) {
    char* r = ::realpath(p.c_str(), nullptr);
    if (!r)
        return std::nullopt;
    std::string out(r);
    std::free(r);
    return out;
}

bool isInside(const std::string& c, const std::string& r) {
    return c.size() >= r.size() && c.compare(0, r.size(), r) == 0 && (c.size() == r.size() || c[r.size()] == '/');
}

Error systemError(ErrorKind kind, const std::string& what, int err) {
    return makeError(kind, what + ": " + std::strerror(err));
}

}  // namespace

PrefixFileSystem::PrefixFileSystem(fs::path prefix) : m_paths(std::move(prefix)) {}

PrefixFileSystem::~PrefixFileSystem() { closeFolder(); }

void PrefixFileSystem::beginAction() {
    m_paths.beginAction();
    m_realFolders.clear();
}

void PrefixFileSystem::endAction() {
    m_paths.endAction();
    m_realFolders.clear();
    closeFolder();
}

void PrefixFileSystem::closeFolder() {
    if (m_openFolderFd >= 0)
        ::close(m_openFolderFd);
    m_openFolderFd = -1;
    m_openFolder.clear();
}

int PrefixFileSystem::lstatIn(const std::string& realFolder, const std::string& name, struct stat& st) {
    if (!m_paths.inAction())
        return ::lstat((realFolder + '/' + name).c_str(), &st);
    if (m_openFolderFd < 0 || m_openFolder != realFolder) {
        closeFolder();
        m_openFolderFd = ::open(realFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_openFolderFd < 0)
            return ::lstat((realFolder + '/' + name).c_str(), &st);
        m_openFolder = realFolder;
    }
    return ::fstatat(m_openFolderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW);
}

std::optional<std::string> PrefixFileSystem::realFolder(const std::string& hostFolder) {
    if (!m_paths.inAction())
        return realPath(hostFolder);
    auto it = m_realFolders.find(hostFolder);
    if (it == m_realFolders.end())
        it = m_realFolders.emplace(hostFolder, realPath(hostFolder)).first;
    return it->second;
}

void PrefixFileSystem::listFolder(std::vector<std::string>& list, std::string_view folder, std::string_view pattern) {
    list.clear();
    const std::string full = std::string(folder) + std::string(pattern);
    std::string_view dir, pat;
    if (!splitLast(full, dir, pat))
        return;
    auto host = m_paths.toHost(dir);
    if (!host || !isFolder(*host))
        return;
    const std::u16string p = foldName(pat);
    if (matchesFolded(u".", p))
        list.emplace_back(".");
    if (matchesFolded(u"..", p))
        list.emplace_back("..");
    auto listing = m_paths.listing(*host);
    // "*" and "*.*" match every name.
    const bool everything = pat == "*" || pat == "*.*";
    // A name holding '\\' cannot be named by a Windows path: folder + name
    // would be read as other folders and another file.
    for (const auto& e : listing->entries())
        if (!e.removed && e.name.find('\\') == std::string::npos && (everything || matchesFolded(foldName(e.name), p)))
            list.push_back(e.name);
}

std::optional<PrefixFileSystem::Match> PrefixFileSystem::firstMatch(std::string_view path) {
    std::string_view dir, pat;
    if (!splitLast(path, dir, pat))
        return std::nullopt;
    auto host = m_paths.toHost(dir);
    if (!host || !isFolder(*host))
        return std::nullopt;
    const std::u16string p = foldName(pat);
    if (matchesFolded(u".", p))
        return Match{*host, "."};
    if (matchesFolded(u"..", p))
        return Match{*host, ".."};
    auto listing = m_paths.listing(*host);
    if (!hasWildcards(pat)) {
        const FolderEntry* e = listing->find(pat);
        return e ? std::optional<Match>(Match{*host, e->name}) : std::nullopt;
    }
    for (const auto& e : listing->entries())
        if (!e.removed && matchesFolded(foldName(e.name), p))
            return Match{*host, e.name};
    return std::nullopt;
}

std::int64_t PrefixFileSystem::fileSize(std::string_view path) {
    auto m = firstMatch(path);
    if (!m)
        return -1;
    struct stat st {};
    if (::stat((m->folder / m->name).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return 0;
    return static_cast<std::int64_t>(st.st_size);
}

std::optional<EntryType> PrefixFileSystem::entryType(std::string_view path) {
    if (hasWildcards(path))
        return std::nullopt;
    if (m_paths.inAction())
        return m_paths.entryType(path);  // from the cached listings
    auto host = m_paths.toHost(path);
    if (!host)
        return std::nullopt;
    struct stat st {};
    if (::stat(host->c_str(), &st) != 0)
        return std::nullopt;
    if (S_ISDIR(st.st_mode))
        return EntryType::Folder;
    return S_ISREG(st.st_mode) ? EntryType::File : EntryType::Other;
}

bool PrefixFileSystem::fileExists(std::string_view path) {
    auto t = entryType(path);
    return t && *t != EntryType::Folder;
}

bool PrefixFileSystem::pathExists(std::string_view path) { return entryType(path).has_value(); }

bool PrefixFileSystem::folderExists(std::string_view path) {
    auto t = entryType(path);
    return t && *t == EntryType::Folder;
}

Result<std::string> PrefixFileSystem::deletionTarget(std::string_view path, std::string& hostPath, struct stat& st) {
    auto host = m_paths.toHostText(path);
    if (!host)
        return makeError(ErrorKind::NotFound, "not a path of this prefix: " + std::string(path));
    hostPath = *host;
    const auto slash = host->rfind('/');
    if (slash == std::string::npos || slash + 1 == host->size())
        return makeError(ErrorKind::NotFound, "no such file or folder: " + std::string(path));
    const std::string name = host->substr(slash + 1);
    auto realParent = realFolder(slash == 0 ? std::string("/") : host->substr(0, slash));
    if (!realParent || name == "." || name == "..")
        return makeError(ErrorKind::NotFound, "no such file or folder: " + std::string(path));
    auto realDriveC = realFolder(m_paths.driveC().native());
    if (!realDriveC)
        return makeError(ErrorKind::NotFound, "the prefix has no drive_c");
    if (!isInside(*realParent, *realDriveC))
        return makeError(ErrorKind::AccessDenied, "outside the prefix's drive_c, not deleted: " + std::string(path));
    if (lstatIn(*realParent, name, st) != 0)
        return systemError(ErrorKind::NotFound, std::string(path), errno);
    return *realParent + '/' + name;
}

bool PrefixFileSystem::isLink(std::string_view path) {
    auto host = m_paths.toHost(path);
    struct stat st {};
    return host && ::lstat(host->c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool PrefixFileSystem::insideDriveC(std::string_view path) {
    auto host = m_paths.toHostText(path);
    if (!host)
        return false;
    auto real = realFolder(*host);
    auto realDriveC = realFolder(m_paths.driveC().native());
    return real && realDriveC && isInside(*real, *realDriveC);
}

std::optional<std::string> PrefixFileSystem::readFile(std::string_view path, std::size_t limit) {
    auto host = m_paths.toHost(path);
    if (!host)
        return std::nullopt;
    int fd = ::open(host->c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    std::optional<std::string> out;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        std::string bytes(std::min<std::size_t>(limit, static_cast<std::size_t>(st.st_size)), '\0');
        std::size_t got = 0;
        while (got < bytes.size()) {
            ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        out = std::move(bytes);
    }
    ::close(fd);
    return out;
}

std::uint64_t PrefixFileSystem::fileVersion(std::string_view path) {
    auto host = m_paths.toHost(path);
    return host ? fileVersionNumber(*host) : 0;
}

Result<std::string> PrefixFileSystem::fileDeletionTarget(std::string_view path, std::string& hostPath,
                                                          struct stat& st) {
    auto target = entryDeletionTarget(path, hostPath, st);
    if (target && S_ISDIR(st.st_mode))
        return makeError(ErrorKind::Failure, "a folder, not a file: " + std::string(path));
    return target;
}

Result<std::string> PrefixFileSystem::entryDeletionTarget(std::string_view path, std::string& hostPath,
                                                           struct stat& st) {
    auto target = deletionTarget(path, hostPath, st);
    if (!target)
        return target;
    // A link is removed itself; one that names a folder is not offered, so
    // that no list shows a folder outside the prefix as if it were in it.
    struct stat followed {};
    if (S_ISLNK(st.st_mode) && ::stat(target->c_str(), &followed) == 0 && S_ISDIR(followed.st_mode))
        return makeError(ErrorKind::Failure, "a link to a folder: " + std::string(path));
    return target;
}

bool PrefixFileSystem::deletable(std::string_view path) {
    std::string host;
    struct stat st {};
    return entryDeletionTarget(path, host, st).ok();
}

std::optional<std::int64_t> PrefixFileSystem::deletableSize(std::string_view path) {
    std::string host;
    struct stat st {};
    auto target = entryDeletionTarget(path, host, st);
    if (!target)
        return std::nullopt;
    // A folder shows the bytes of the files in it, as what its deletion frees.
    if (S_ISDIR(st.st_mode))
        return treeSize(*target);
    // The size of this very entry: a name that holds '*' or '?' is a name
    // here, not a pattern. A link shows what it names, as Wine shows it.
    if (S_ISLNK(st.st_mode)) {
        struct stat followed {};
        if (::stat(target->c_str(), &followed) != 0)
            return 0;
        st = followed;
    }
    return static_cast<std::int64_t>(st.st_size);
}

Status PrefixFileSystem::deleteFile(std::string_view path) {
    std::string host;
    struct stat st {};
    auto target = fileDeletionTarget(path, host, st);
    if (!target)
        return target.error();
    if (::unlink(target->c_str()) != 0)
        return systemError(ErrorKind::Failure, std::string(path), errno);
    m_paths.entryRemoved(fs::path(host), false);
    return {};
}

Status PrefixFileSystem::deleteEntry(std::string_view path) {
    std::string host;
    struct stat st {};
    auto target = entryDeletionTarget(path, host, st);
    if (!target)
        return target.error();
    if (!S_ISDIR(st.st_mode))
        return deleteFile(path);
    closeFolder();
    const bool removed = removeTree(*target);
    m_paths.entryRemoved(fs::path(host), true);
    m_realFolders.clear();  // a removed folder resolves no more
    if (!removed)
        return makeError(ErrorKind::Failure, "not everything in the folder could be removed: " + std::string(path));
    return {};
}

Status PrefixFileSystem::removeFolder(std::string_view path) {
    std::string host;
    struct stat st {};
    auto target = deletionTarget(path, host, st);
    if (!target)
        return target.error();
    if (S_ISLNK(st.st_mode))
        return makeError(ErrorKind::AccessDenied, "a link, not removed: " + std::string(path));
    if (!S_ISDIR(st.st_mode))
        return makeError(ErrorKind::Failure, "not a folder: " + std::string(path));
    if (::rmdir(target->c_str()) != 0)
        return systemError(ErrorKind::Failure, std::string(path), errno);
    m_paths.entryRemoved(fs::path(host), true);
    m_realFolders.clear();  // a removed folder resolves no more
    closeFolder();
    return {};
}

Status PrefixFileSystem::createFolders(std::string_view path) {
    auto host = m_paths.toHost(path);
    if (!host)
        return makeError(ErrorKind::NotFound, "not a path of this prefix: " + std::string(path));
    std::error_code ec;
    fs::create_directories(*host, ec);
    m_paths.forgetCache();  // rare: simpler than patching the listings
    if (ec)
        return makeError(ErrorKind::Failure, std::string(path) + ": " + ec.message());
    return {};
}

}  // namespace kestrane::files
