// kestrane-cli: scans and repairs a Wine prefix from the command line.

#include <csignal>
#include <exception>
#include <iostream>

#include <unistd.h>

#include "cli/Cli.h"

int main(int argc, char** argv) {
    // A hive written past the file size limit fails with an error, not the program.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        kestrane::cli::Io io{std::cout, std::cerr, isatty(STDERR_FILENO) == 1};
        kestrane::cli::Cli cli(io);
        return cli.run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "kestrane-cli: " << e.what() << "\n";
        return kestrane::cli::kExitFailure;
    }
}
