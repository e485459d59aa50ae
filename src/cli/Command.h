#pragma once
// A subcommand of kestrane-cli: it adds its options to the parser and runs
// against the streams it is given, so that tests run it in-process.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "results/Category.h"

namespace CLI {
class App;
}

namespace kestrane::cli {

enum ExitStatus : int {
    kExitOk = 0,
    kExitFailure = 1,
    kExitUsage = 2,
    kExitPrefix = 3,   // prefix missing or unreadable
    kExitRefused = 4,  // refused to write: Wine runs, or a hive changed on disk
};

struct Io {
    std::ostream& out;
    std::ostream& err;
    bool terminal = false;  // err is a terminal: show the progress there
};

// The options every command shares.
struct GlobalOptions {
    std::string prefix;
    bool demo = false;
    bool demoReset = false;
    bool pace = false;
    // The categories the model runs; builtCategories() unless a test swaps them.
    std::function<std::vector<Category>()> categories = builtCategories;
};

class Command {
public:
    virtual ~Command() = default;
    virtual void addTo(CLI::App& app) = 0;
    // Whether the parser chose this command.
    virtual bool chosen() const = 0;
    virtual int execute(const GlobalOptions& options, Io& io) = 0;
};

}  // namespace kestrane::cli
