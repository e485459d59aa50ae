#include "platform/SingleInstance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrane::files {

namespace fs = std::filesystem;

fs::path SingleInstance::runtimeFolder() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && *xdg == '/')
        return xdg;
    fs::path fallback = "/tmp/kestrane-" + std::to_string(::getuid());
    ::mkdir(fallback.c_str(), 0700);  // fails harmlessly when it exists
    return fallback;
}

SingleInstance::SingleInstance(const fs::path& folder, std::string_view name) {
    // A folder that is not ours (another user made it first) is not trusted.
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return;
    const fs::path file = folder / std::string(name);
    m_fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0)
        return;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        m_state = State::Owned;
        return;
    }
    m_state = errno == EWOULDBLOCK ? State::Taken : State::Unavailable;
    ::close(m_fd);
    m_fd = -1;
}

SingleInstance::~SingleInstance() {
    if (m_fd >= 0)
        ::close(m_fd);
}

}  // namespace kestrane::files
