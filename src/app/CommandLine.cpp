#include "app/CommandLine.h"

namespace kestrane::app {

CommandLine CommandLine::parse(const std::vector<std::string>& args) {
    CommandLine line;
    bool prefixGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            line.help = true;
        } else if (a == "--demo") {
            line.prefix.demo = true;
        } else if (a == "--demo-reset") {
            line.prefix.demo = true;
            line.prefix.demoReset = true;
        } else if (a == "--prefix" || a.rfind("--prefix=", 0) == 0) {
            if (a == "--prefix") {
                if (i + 1 >= args.size()) {
                    line.error = "--prefix needs a folder";
                    return line;
                }
                line.prefix.prefix = args[++i];
            } else {
                line.prefix.prefix = a.substr(9);
            }
            prefixGiven = true;
            if (line.prefix.prefix.empty()) {
                line.error = "--prefix needs a folder";
                return line;
            }
        } else if (a.rfind("--", 0) == 0) {
            line.error = "unknown option " + a;
            return line;
        } else if (!a.empty() && a[0] == '-') {
            // The toolkit's option; a value of its own follows it.
            if (i + 1 < args.size() && !args[i + 1].empty() && args[i + 1][0] != '-') ++i;
        } else {
            line.error = "unexpected argument " + a;
            return line;
        }
    }
    if (prefixGiven && line.prefix.demo) line.error = "--prefix and --demo cannot be used together";
    return line;
}

const char* CommandLine::helpText() {
    return "Usage: kestrane [--prefix DIR | --demo | --demo-reset]\n"
           "Kestrane Professional: finds and removes stale registry entries and traces of use in a Wine prefix.\n"
           "\n"
           "  --prefix DIR  the Wine prefix to clean (default: $WINEPREFIX, else ~/.wine)\n"
           "  --demo        use the demo prefix, made on first use, with findings in every category\n"
           "  --demo-reset  make the demo prefix anew and use it\n"
           "  -h, --help    show this help and end\n";
}

}  // namespace kestrane::app
