#pragma once
// kestrane-cli: the global options, the commands, and the exit status.

#include <memory>
#include <string>
#include <vector>

#include "cli/Command.h"

namespace kestrane::cli {

class Cli {
public:
    explicit Cli(Io io);
    ~Cli();

    GlobalOptions& options() { return m_options; }
    // Runs one command line (without the program name); returns the exit status.
    int run(const std::vector<std::string>& args);

private:
    Io m_io;
    GlobalOptions m_options;
    std::vector<std::unique_ptr<Command>> m_commands;
};

}  // namespace kestrane::cli
