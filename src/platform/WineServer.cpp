#include "platform/WineServer.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kestrane::reg {

namespace fs = std::filesystem;

namespace {

std::optional<pid_t> lockHolder(const fs::path& lockFile) {
    int fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 1;
    std::optional<pid_t> holder;
    if (::fcntl(fd, F_GETLK, &fl) == 0 && fl.l_type != F_UNLCK)
        holder = fl.l_pid;
    ::close(fd);
    return holder;
}

}  // namespace

std::optional<pid_t> runningWineServer(const fs::path& prefix) {
    struct stat st {};
    if (::stat(prefix.c_str(), &st) != 0)
        return std::nullopt;
    char name[64];
    std::snprintf(name, sizeof name, "server-%lx-%lx", static_cast<unsigned long>(st.st_dev),
                  static_cast<unsigned long>(st.st_ino));

    std::vector<fs::path> parents;
    parents.push_back(fs::path("/tmp") / (".wine-" + std::to_string(::getuid())));
    // Debian's build keeps the server folder under a name it writes into the prefix.
    std::ifstream named(prefix / "wineserver");
    std::string folder;
    if (named && std::getline(named, folder) && !folder.empty() && folder.find('/') == std::string::npos) {
        const char* tmp = std::getenv("TMPDIR");
        parents.push_back(fs::path(tmp && *tmp ? tmp : "/tmp") / folder);
    }
    for (const auto& parent : parents)
        if (auto pid = lockHolder(parent / name / "lock"))
            return pid;
    return std::nullopt;
}

}  // namespace kestrane::reg
