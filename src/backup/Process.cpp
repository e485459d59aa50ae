#include "backup/Process.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kestrane::backup {

namespace {

std::vector<char*> argv(const std::filesystem::path& program, const std::vector<std::string>& args,
                        std::vector<std::string>& storage) {
    storage.clear();
    storage.push_back(program.string());
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> out;
    for (auto& s : storage)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

Error failure(const std::filesystem::path& program, const char* what, int err) {
    return makeError(ErrorKind::Failure, program.string() + ": " + what + ": " + std::strerror(err));
}

// A program is started by its full path only: a bare or relative name would
// be looked for in the folder it starts in, which lies inside the prefix.
Status checkProgram(const std::filesystem::path& program) {
    if (program.empty())
        return makeError(ErrorKind::NotFound, "the program's registry editor was not found");
    if (!program.is_absolute())
        return makeError(ErrorKind::Failure, program.string() + ": not started, its path is not a full path");
    return {};
}

}  // namespace

Result<Process> Process::start(const std::filesystem::path& program, const std::vector<std::string>& args,
                               const std::filesystem::path& folder) {
    if (Status usable = checkProgram(program); !usable)
        return usable.error();
    // The error output goes to an unnamed temporary file: a pipe that
    // nobody reads while the program runs could fill up and stop it.
    char tmpl[] = "/tmp/kestrane-stderr-XXXXXX";
    const int errorFd = ::mkstemp(tmpl);
    if (errorFd < 0)
        return failure(program, "cannot make a temporary file", errno);
    ::unlink(tmpl);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errorFd, 2);
    posix_spawn_file_actions_addclose(&actions, errorFd);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<std::string> storage;
    auto av = argv(program, args, storage);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, av.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        ::close(errorFd);
        return failure(program, "cannot start", rc);
    }
    return Process(pid, errorFd);
}

Status Process::startDetached(const std::filesystem::path& program, const std::vector<std::string>& args,
                              const std::filesystem::path& folder) {
    if (Status usable = checkProgram(program); !usable)
        return usable;
    if (::access(program.c_str(), X_OK) != 0)
        return failure(program, "cannot start", errno);
    std::vector<std::string> storage;
    auto av = argv(program, args, storage);
    // A child that starts the program in a session of its own and ends at
    // once: the program is nobody's child to wait for.
    const pid_t child = ::fork();
    if (child < 0)
        return failure(program, "cannot start", errno);
    if (child == 0) {
        ::setsid();
        if (::fork() == 0) {
            if (::chdir(folder.c_str()) != 0)
                ::_exit(127);
            ::execve(program.c_str(), av.data(), environ);
            ::_exit(127);
        }
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return {};
}

Process::Process(Process&& other) noexcept : m_pid(other.m_pid), m_errorFd(other.m_errorFd) {
    other.m_pid = -1;
    other.m_errorFd = -1;
}

Process::~Process() {
    if (m_pid > 0) {
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (m_errorFd >= 0)
        ::close(m_errorFd);
}

Result<Finished> Process::wait() {
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0) {
        if (errno != EINTR)
            return makeError(ErrorKind::Failure, std::string("cannot wait for the program: ") + std::strerror(errno));
    }
    m_pid = -1;
    Finished f;
    f.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (m_errorFd >= 0) {
        ::lseek(m_errorFd, 0, SEEK_SET);
        char buf[4096];
        ssize_t n;
        while ((n = ::read(m_errorFd, buf, sizeof buf)) > 0 && f.errorOutput.size() < 65536)
            f.errorOutput.append(buf, static_cast<std::size_t>(n));
        ::close(m_errorFd);
        m_errorFd = -1;
    }
    return f;
}

}  // namespace kestrane::backup
