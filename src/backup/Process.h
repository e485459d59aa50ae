#pragma once
// A program run in a folder of its own, as the backups run the registry
// editor: waited for with what it wrote to its error output, or started
// and left to run (its own process group, not the program's child).

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/Result.h"

namespace kestrane::backup {

struct Finished {
    int exitCode = -1;  // the exit status; -1 when a signal ended it
    std::string errorOutput;
};

class Process {
public:
    // Starts `program` with `args` in `folder`; its standard input is
    // /dev/null, its error output is kept for wait().
    static Result<Process> start(const std::filesystem::path& program, const std::vector<std::string>& args,
                                 const std::filesystem::path& folder);
    // Starts it and returns at once; the program goes on after we end.
    static Status startDetached(const std::filesystem::path& program, const std::vector<std::string>& args,
                                const std::filesystem::path& folder);

    Process(Process&& other) noexcept;
    Process& operator=(Process&&) = delete;
    Process(const Process&) = delete;
    ~Process();

    // Waits until it has ended.
    Result<Finished> wait();

private:
    Process(pid_t pid, int errorFd) : m_pid(pid), m_errorFd(errorFd) {}

    pid_t m_pid = -1;
    int m_errorFd = -1;
};

}  // namespace kestrane::backup
