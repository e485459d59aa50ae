#include "support/FakeWineServer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TempPrefix.h"

namespace kestrane::test {

FakeWineServer::FakeWineServer(const std::filesystem::path& prefix) {
    m_tmp = makeTempDir("kestrane-tmpdir");
    if (const char* old = std::getenv("TMPDIR")) {
        m_hadTmpdir = true;
        m_savedTmpdir = old;
    }
    ::setenv("TMPDIR", m_tmp.c_str(), 1);
    writeFile(prefix / "wineserver", "wine-Fake01");
    struct stat st {};
    ::stat(prefix.c_str(), &st);
    char name[64];
    std::snprintf(name, sizeof name, "server-%lx-%lx", static_cast<unsigned long>(st.st_dev),
                  static_cast<unsigned long>(st.st_ino));
    m_serverFolder = m_tmp / "wine-Fake01" / name;
    std::filesystem::create_directories(m_serverFolder);
    const std::filesystem::path lock = m_serverFolder / "lock";

    int ready[2];
    if (::pipe(ready) != 0)
        return;
    m_pid = ::fork();
    if (m_pid == 0) {
        int fd = ::open(lock.c_str(), O_RDWR | O_CREAT, 0600);
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        fl.l_len = 1;
        ::fcntl(fd, F_SETLK, &fl);
        char c = 'x';
        (void)!::write(ready[1], &c, 1);
        ::pause();
        ::_exit(0);
    }
    char c;
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    ::close(ready[1]);
}

void FakeWineServer::stop() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

FakeWineServer::~FakeWineServer() {
    stop();
    if (m_hadTmpdir)
        ::setenv("TMPDIR", m_savedTmpdir.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    std::error_code ec;
    std::filesystem::remove_all(m_tmp, ec);
}

}  // namespace kestrane::test
