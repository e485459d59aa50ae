// Writes the generated registry's keys, without the hive's header, to a
// file: the command line's benchmark appends them to a real prefix's
// system.reg. Usage: large_registry FILE [KEYS]
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "LargeRegistry.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: large_registry FILE [KEYS]\n");
        return 2;
    }
    const int keys = argc > 2 ? std::atoi(argv[2]) : 360000;
    std::string text = kestrane::bench::largeRegistryText(keys);
    text.erase(0, text.find("\n["));  // the keys only
    std::ofstream out(argv[1], std::ios::binary);
    out << text;
    return out ? 0 : 1;
}
