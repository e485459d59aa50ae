// regedit: exports and imports the registry of a Wine prefix as .reg files.

#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "RegeditCommand.h"
#include "TerminalPrompter.h"

int main(int argc, char** argv) {
    using namespace kestrane::regedit;
    const std::vector<std::string> args(argv + 1, argv + argc);
    auto env = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    TerminalPrompter prompter(std::cin, std::cout, ::isatty(STDIN_FILENO) == 1);
    RegeditCommand command(std::cout, std::cerr, prompter, Environment{env("WINEPREFIX"), env("HOME")});
    return command.run(args);
}
