#pragma once
// The registry editor of a Wine prefix: exports the whole registry to a .reg
// file (/e FILE) and imports one (/i FILE or FILE after a confirmation, /s
// FILE without; --answered /i FILE with the questions answered for the
// program's own restore). Runs against the streams and the prompter it is given.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "Prompter.h"

namespace kestrane::regedit {

// The title of the registry editor's windows.
inline constexpr const char* kTitle = "Registry Editor";

enum ExitStatus : int {
    kExitOk = 0,
    kExitFailure = 1,  // the file, the prefix or the save failed, or the user said no
    kExitUsage = 2,
};

struct Environment {
    std::string winePrefix;  // $WINEPREFIX
    std::string home;        // $HOME
};

class RegeditCommand {
public:
    RegeditCommand(std::ostream& out, std::ostream& err, Prompter& prompter, Environment env)
        : m_out(out), m_err(err), m_prompter(prompter), m_env(std::move(env)) {}

    // One command line without the program name; returns the exit status.
    int run(const std::vector<std::string>& args);

private:
    int exportTo(const std::filesystem::path& prefix, const std::string& file);
    int importFrom(const std::filesystem::path& prefix, const std::string& file, bool silent, Prompter& prompter);
    int fail(const std::string& message);
    int usage(const std::string& problem);

    std::ostream& m_out;
    std::ostream& m_err;
    Prompter& m_prompter;
    Environment m_env;
};

}  // namespace kestrane::regedit
