#include "platform/RecycleBin.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "platform/FileTree.h"
#include "platform/FileVersion.h"
#include "platform/Text.h"
#include "platform/WinPath.h"

namespace kestrane::files {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr std::size_t kMaxRecord = 64 * 1024;

// A real folder (not a link to somewhere else).
bool isRealFolder(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A record of at most kMaxRecord bytes: a regular file, not a link.
std::optional<std::string> readRecord(const fs::path& file) {
    int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    std::optional<std::string> out;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) <= kMaxRecord) {
        std::string text(static_cast<std::size_t>(st.st_size), '\0');
        ssize_t n = ::read(fd, text.data(), text.size());
        if (n >= 0) {
            text.resize(static_cast<std::size_t>(n));
            out = std::move(text);
        }
    }
    ::close(fd);
    return out;
}

bool isInside(const fs::path& child, const fs::path& root) {
    const std::string& c = child.native();
    const std::string& r = root.native();
    return c.size() >= r.size() && c.compare(0, r.size(), r) == 0 && (c.size() == r.size() || c[r.size()] == '/');
}

fs::path realOrNormal(const fs::path& p) {
    std::error_code ec;
    fs::path c = fs::weakly_canonical(p, ec);
    return ec ? p.lexically_normal() : c;
}

// The top folder of the file system holding `trash`, for the records'
// relative paths: the parent of ".Trash-UID", or of ".Trash" for
// ".Trash/UID"; the root for the home Trash, whose paths are absolute.
fs::path topFolderOf(const fs::path& trash) {
    const std::string name = trash.filename().string();
    if (name.rfind(".Trash-", 0) == 0)
        return trash.parent_path();
    if (trash.parent_path().filename() == ".Trash")
        return trash.parent_path().parent_path();
    return "/";
}

int hexValue(char c) { return text::hexDigit(c); }

}  // namespace

fs::path trashInfoPath(std::string_view record, const fs::path& topFolder) {
    std::size_t pos = 0;
    while (pos <= record.size()) {
        std::size_t end = record.find('\n', pos);
        std::string_view line = record.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.substr(0, 5) == "Path=") {
            std::string decoded;
            std::string_view v = line.substr(5);
            for (std::size_t i = 0; i < v.size(); ++i) {
                if (v[i] == '%' && i + 2 < v.size() && hexValue(v[i + 1]) >= 0 && hexValue(v[i + 2]) >= 0) {
                    decoded += static_cast<char>(hexValue(v[i + 1]) * 16 + hexValue(v[i + 2]));
                    i += 2;
                } else {
                    decoded += v[i];
                }
            }
            if (decoded.empty())
                return {};
            fs::path p(decoded);
            return p.is_absolute() ? p : topFolder / p;
        }
        if (end == std::string_view::npos)
            break;
        pos = end + 1;
    }
    return {};
}

RecycleBin::RecycleBin(fs::path prefix, std::vector<fs::path> trashFolders)
    : m_prefix(fs::absolute(prefix).lexically_normal()), m_realPrefix(realOrNormal(m_prefix)),
      m_trashFolders(std::move(trashFolders)) {}

fs::path RecycleBin::homeTrash() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/')
        return fs::path(data) / "Trash";
    const char* home = std::getenv("HOME");
    return fs::path(home ? home : "") / ".local/share/Trash";
}

std::vector<fs::path> RecycleBin::trashFoldersFor(const fs::path& prefix) {
    std::vector<fs::path> folders{homeTrash()};
    struct stat pst {};
    struct stat hst {};
    const fs::path real = realOrNormal(prefix);
    fs::path homeSide = homeTrash();
    while (!homeSide.empty() && ::stat(homeSide.c_str(), &hst) != 0 && homeSide != homeSide.root_path())
        homeSide = homeSide.parent_path();
    if (::stat(real.c_str(), &pst) != 0 || pst.st_dev == hst.st_dev)
        return folders;
    // The top of the prefix's file system: the last folder up on the same device.
    fs::path top = real;
    for (fs::path up = top.parent_path(); up != top; top = up, up = up.parent_path()) {
        struct stat ust {};
        if (::stat(up.c_str(), &ust) != 0 || ust.st_dev != pst.st_dev)
            break;
    }
    const std::string uid = std::to_string(::getuid());
    folders.push_back(top / (".Trash-" + uid));
    folders.push_back(top / ".Trash" / uid);
    return folders;
}

bool RecycleBin::insidePrefix(const fs::path& original) const {
    if (original.empty() || !original.is_absolute())
        return false;
    fs::path p = original.lexically_normal();
    // Through a drive link of the prefix: .../dosdevices/c:/rest.
    for (const fs::path& base : {m_prefix, m_realPrefix}) {
        fs::path rel = p.lexically_relative(base / "dosdevices");
        if (rel.empty() || rel.begin() == rel.end() || *rel.begin() == ".." || *rel.begin() == ".")
            continue;
        const fs::path drive = base / "dosdevices" / *rel.begin();
        std::error_code ec;
        fs::path target = fs::canonical(drive, ec);
        if (ec)
            return false;  // a drive the prefix does not have
        fs::path rest;
        for (auto it = std::next(rel.begin()); it != rel.end(); ++it)
            rest /= *it;
        p = target / rest;
        break;
    }
    return isInside(realOrNormal(p), m_realPrefix);
}

std::vector<TrashEntry> RecycleBin::entries() const {
    std::vector<TrashEntry> out;
    for (const fs::path& trash : m_trashFolders) {
        const fs::path info = trash / "info";
        const fs::path files = trash / "files";
        if (!isRealFolder(trash) || !isRealFolder(info) || !isRealFolder(files))
            continue;
        std::vector<std::string> names;
        std::error_code ec;
        for (fs::directory_iterator it(info, ec), end; !ec && it != end; it.increment(ec)) {
            std::string name = it->path().filename().string();
            if (name.size() > kInfoSuffix.size() && name.compare(name.size() - kInfoSuffix.size(), kInfoSuffix.size(),
                                                                 kInfoSuffix) == 0)
                names.push_back(std::move(name));
        }
        std::sort(names.begin(), names.end());
        const fs::path top = topFolderOf(trash);
        for (const auto& recordName : names) {
            auto record = readRecord(info / recordName);
            if (!record)
                continue;
            const std::string name = recordName.substr(0, recordName.size() - kInfoSuffix.size());
            struct stat st {};
            if (::lstat((files / name).c_str(), &st) != 0)
                continue;
            fs::path original = trashInfoPath(*record, top);
            if (insidePrefix(original))
                out.push_back({trash, name, std::move(original)});
        }
    }
    return out;
}

RecycleBinContents RecycleBin::query() const {
    RecycleBinContents c;
    for (const auto& e : entries()) {
        ++c.items;
        c.bytes += treeSize(e.trash / "files" / e.name);
    }
    return c;
}

Status RecycleBin::empty() {
    std::string failed;
    for (const auto& e : entries()) {
        const fs::path item = e.trash / "files" / e.name;
        // Links inside are removed themselves, never followed.
        if (!removeTree(item)) {
            if (failed.empty())
                failed = item.string() + ": not all of it could be removed";
            continue;
        }
        std::error_code ec;
        fs::remove(e.trash / "info" / (e.name + std::string(kInfoSuffix)), ec);
        if (ec && failed.empty())
            failed = item.string() + ": " + ec.message();
    }
    if (!failed.empty())
        return makeError(ErrorKind::Failure, "the recycle bin was not emptied: " + failed);
    return {};
}

std::uint64_t shellVersion(WinPath& paths) {
    auto dll = paths.toHost("C:\\windows\\system32\\shell32.dll");
    return dll ? fileVersionNumber(*dll) : 0;
}

}  // namespace kestrane::files
