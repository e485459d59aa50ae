// The history and temporary Internet files walks over a browser folder of
// 100,000 files in 500 folders, unpaced, beside `find` over the same folders.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "computer/Computer.h"
#include "platform/FileSystem.h"
#include "scan/FileList.h"
#include "scan/privacy/PrivacyScanners.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFolders = 500;
constexpr int kFilesPerFolder = 200;

// A prefix whose cache and history folders each hold 500 folders of 200 files.
const fs::path& benchPrefix() {
    static const fs::path prefix = [] {
        fs::path p = fs::temp_directory_path() / "kestrane-bench-privacy-v1";
        if (fs::exists(p / "ready"))
            return p;  // made by an earlier run
        fs::remove_all(p);
        fs::create_directories(p / "dosdevices");
        fs::create_symlink("../drive_c", p / "dosdevices" / "c:");
        std::ofstream(p / "system.reg", std::ios::binary)
            << "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n"
               "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1796791980\n\"SystemRoot\"=\"C:\\\\windows\"\n";
        std::ofstream(p / "user.reg", std::ios::binary)
            << "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
               "#arch=win64\n\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n"
               "\"Cache\"=\"C:\\\\users\\\\me\\\\INetCache\"\n\"History\"=\"C:\\\\users\\\\me\\\\History\"\n";
        for (const char* top : {"drive_c/users/me/INetCache/Content.IE5", "drive_c/users/me/History/History.IE5"})
            for (int f = 0; f < kFolders; ++f) {
                char dir[64];
                std::snprintf(dir, sizeof dir, "/F%07d", f);
                fs::path folder = p / top;
                folder += dir;
                fs::create_directories(folder);
                for (int i = 0; i < kFilesPerFolder; ++i)
                    std::ofstream(folder / ("page" + std::to_string(i) + "[1].htm")) << "x";
            }
        std::ofstream(p / "ready") << "";
        return p;
    }();
    return prefix;
}

class NoPause : public kestrane::Pacer {
public:
    void pause(int) override {}
};

void walk(benchmark::State& state, void (*action)(kestrane::ScanContext&, kestrane::ResultList&)) {
    NoPause pacer;
    auto computer = kestrane::Computer::open(benchPrefix(), pacer);
    if (!computer.ok()) {
        state.SkipWithError(computer.error().message.c_str());
        return;
    }
    std::size_t rows = 0;
    for (auto _ : state) {
        kestrane::ResultList list("list", kestrane::fileListColumns());
        kestrane::files::FileAction a(computer.value()->files());
        action(computer.value()->context(), list);
        rows = list.count();
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_TemporaryInternetFiles(benchmark::State& state) { walk(state, kestrane::tempie); }
void BM_History(benchmark::State& state) { walk(state, kestrane::history); }

// What `find` takes to list the same files with their sizes.
void BM_FindOverTheSameFolders(benchmark::State& state) {
    const std::string command = "find '" + (benchPrefix() / "drive_c/users/me/INetCache/Content.IE5").string() +
                                "' -type f -printf '%s %p\\n' > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("find failed");
}

}  // namespace

BENCHMARK(BM_TemporaryInternetFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_History)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindOverTheSameFolders)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
