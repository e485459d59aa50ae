#pragma once
// A stand-in for a wineserver serving a prefix: the server folder where
// Debian's wine puts it (named in <prefix>/wineserver, under $TMPDIR), and a
// child process that holds the write lock on byte 0 of its `lock` file, as a
// running server does. TMPDIR is restored when the object dies.

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace kestrane::test {

class FakeWineServer {
public:
    explicit FakeWineServer(const std::filesystem::path& prefix);
    ~FakeWineServer();
    FakeWineServer(const FakeWineServer&) = delete;
    FakeWineServer& operator=(const FakeWineServer&) = delete;

    // Ends the server; its lock file stays, as after a real server's exit.
    void stop();
    pid_t pid() const { return m_pid; }
    const std::filesystem::path& serverFolder() const { return m_serverFolder; }

private:
    std::filesystem::path m_tmp;
    std::filesystem::path m_serverFolder;
    std::string m_savedTmpdir;
    bool m_hadTmpdir = false;
    pid_t m_pid = -1;
};

}  // namespace kestrane::test
