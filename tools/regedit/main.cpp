// regedit: exports and imports the registry of a Wine prefix as .reg files.
// Its questions are dialog windows when a display is available, text on the
// terminal otherwise.

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "RegeditCommand.h"
#include "TerminalPrompter.h"

#ifdef KESTRANE_REGEDIT_DIALOGS
#include <QApplication>

#include "DialogPrompter.h"
#endif

namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return std::string(value ? value : "");
}

}  // namespace

int main(int argc, char** argv) {
    // A hive written past the file size limit fails with an error, not the program.
    std::signal(SIGXFSZ, SIG_IGN);
    using namespace kestrane::regedit;
    const std::vector<std::string> args(argv + 1, argv + argc);
    TerminalPrompter terminal(std::cin, std::cout, ::isatty(STDIN_FILENO) == 1);
    Prompter* prompter = &terminal;
#ifdef KESTRANE_REGEDIT_DIALOGS
    int qtArgc = 1;  // the application keeps a reference to it
    std::unique_ptr<QApplication> app;
    DialogPrompter dialogs;
    if (!env("DISPLAY").empty() || !env("WAYLAND_DISPLAY").empty()) {
        app = std::make_unique<QApplication>(qtArgc, argv);
        prompter = &dialogs;
    }
#endif
    RegeditCommand command(std::cout, std::cerr, *prompter, Environment{env("WINEPREFIX"), env("HOME")});
    return command.run(args);
}
