#pragma once
// The window's command line: --prefix DIR, --demo, --help. Arguments that
// begin with a single dash are the toolkit's own ("-platform offscreen")
// and are left to it.

#include <string>
#include <vector>

#include "computer/Computer.h"

namespace kestrane::app {

struct CommandLine {
    PrefixRequest prefix;
    bool help = false;
    std::string error;  // empty when the line is good

    // The arguments without the program name.
    static CommandLine parse(const std::vector<std::string>& args);
    static const char* helpText();
};

}  // namespace kestrane::app
