// Peak memory of loading one hive, against the size of its file:
//   hive_load_peak FILE
// (registry_bench leaves its generated 75 MB hive in the temporary folder as
// kestrane-bench-system.reg). Run alone, so that nothing else is counted.
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>

#include "platform/Hive.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: hive_load_peak FILE\n");
        return 2;
    }
    auto hive = kestrane::reg::Hive::load(argv[1]);
    if (!hive.ok()) {
        std::fprintf(stderr, "%s\n", hive.error().message.c_str());
        return 1;
    }
    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    const double fileMB = static_cast<double>(std::filesystem::file_size(argv[1])) / 1e6;
    const double peakMB = static_cast<double>(ru.ru_maxrss) * 1024.0 / 1e6;
    std::printf("keys %zu, file %.1f MB, peak resident %.1f MB, ratio %.2f\n", hive.value()->keyCount(), fileMB,
                peakMB, peakMB / fileMB);
    return 0;
}
