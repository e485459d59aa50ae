#include "platform/FileTree.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kestrane::files {

namespace {

struct Entry {
    std::string name;
    bool folder = false;
    std::int64_t size = 0;  // of a regular file
};

struct Level {
    std::vector<Entry> entries;
    std::size_t next = 0;
    dev_t dev = 0;
    ino_t ino = 0;
};

constexpr int kOpenFolder = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The entries of the open folder (the descriptor stays open), each with its
// own type: a link is a link, whatever it names.
bool readLevel(int fd, Level& level) {
    struct stat self {};
    if (::fstat(fd, &self) != 0)
        return false;
    level.dev = self.st_dev;
    level.ino = self.st_ino;
    int copy = ::dup(fd);
    if (copy < 0)
        return false;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return false;
    }
    while (dirent* d = ::readdir(dir)) {
        const std::string name = d->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        level.entries.push_back({name, S_ISDIR(st.st_mode), S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_size) : 0});
    }
    ::closedir(dir);
    return true;
}

// Walks the folder's tree; `removing` removes as it goes. The bytes of
// regular files are added to `bytes`.
bool walk(const std::filesystem::path& folder, bool removing, std::int64_t& bytes) {
    int fd = ::open(folder.c_str(), kOpenFolder);
    if (fd < 0)
        return false;
    std::vector<Level> stack(1);
    bool ok = readLevel(fd, stack.back());
    while (ok && !stack.empty()) {
        Level& top = stack.back();
        if (top.next < top.entries.size()) {
            const Entry& e = top.entries[top.next++];
            if (!e.folder) {
                bytes += e.size;
                if (removing && ::unlinkat(fd, e.name.c_str(), 0) != 0)
                    ok = false;
                continue;
            }
            int child = ::openat(fd, e.name.c_str(), kOpenFolder);
            if (child < 0) {
                ok = false;
                continue;
            }
            ::close(fd);
            fd = child;
            stack.emplace_back();
            ok = readLevel(fd, stack.back());
            continue;
        }
        // This folder is done: back to its parent, which must be the one we came from.
        stack.pop_back();
        if (stack.empty())
            break;
        int parent = ::openat(fd, "..", kOpenFolder);
        struct stat st {};
        if (parent < 0 || ::fstat(parent, &st) != 0 || st.st_dev != stack.back().dev || st.st_ino != stack.back().ino) {
            if (parent >= 0)
                ::close(parent);
            ok = false;
            break;
        }
        ::close(fd);
        fd = parent;
        const Level& up = stack.back();
        if (removing && ::unlinkat(fd, up.entries[up.next - 1].name.c_str(), AT_REMOVEDIR) != 0)
            ok = false;
    }
    ::close(fd);
    return ok;
}

}  // namespace

std::int64_t treeSize(const std::filesystem::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return 0;
    if (S_ISREG(st.st_mode))
        return static_cast<std::int64_t>(st.st_size);
    if (!S_ISDIR(st.st_mode))
        return 0;
    std::int64_t bytes = 0;
    walk(path, false, bytes);
    return bytes;
}

bool removeTree(const std::filesystem::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT;  // nothing left to remove
    if (!S_ISDIR(st.st_mode))
        return ::unlink(path.c_str()) == 0;
    std::int64_t bytes = 0;
    return walk(path, true, bytes) && ::rmdir(path.c_str()) == 0;
}

}  // namespace kestrane::files
