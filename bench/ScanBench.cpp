// The progressive registry analysis over the large generated registry,
// unpaced: values naming files that exist and files that do not.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "LargeRegistry.h"
#include "platform/LaunchProbe.h"
#include "platform/PrefixFileSystem.h"
#include "platform/RegistryStore.h"
#include "platform/SystemFolders.h"
#include "scan/registry/RegistryScanners.h"

namespace fs = std::filesystem;

namespace {

// A prefix whose system.reg is the large registry, with some of the files
// its values name.
const fs::path& benchPrefix() {
    static const fs::path prefix = [] {
        fs::path p = fs::temp_directory_path() / "kestrane-bench-prefix-v1";
        if (fs::exists(p / "ready"))
            return p;  // made by an earlier run
        fs::remove_all(p);
        fs::create_directories(p / "dosdevices");
        fs::create_symlink("../drive_c", p / "dosdevices" / "c:");
        std::string text = kestrane::bench::largeRegistryText();
        text += "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1796791980\n\"SystemRoot\"=\"C:\\\\windows\"\n";
        std::ofstream(p / "system.reg", std::ios::binary) << text;
        std::ofstream(p / "user.reg", std::ios::binary)
            << "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
               "#arch=win64\n";
        fs::create_directories(p / "drive_c/windows/system32");
        std::ofstream(p / "drive_c/windows/notepad.exe") << "x";
        for (int v = 0; v < 15; v += 2)
            for (int prod = 0; prod < 50; prod += 5) {
                char dir[128];
                std::snprintf(dir, sizeof dir, "drive_c/Program Files/Vendor%03d/Product%02d/bin", v, prod);
                fs::create_directories(p / dir);
                for (int i = 0; i < 400; i += 4) {
                    int k = v * 20000 + prod * 400 + i;
                    std::ofstream(p / dir / ("item" + std::to_string(k) + ".exe")) << "x";
                }
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

void BM_ProgressiveAnalysis(benchmark::State& state) {
    auto store = kestrane::reg::RegistryStore::openPrefix(benchPrefix());
    if (!store.ok()) {
        state.SkipWithError(store.error().message.c_str());
        return;
    }
    kestrane::files::PrefixFileSystem files(benchPrefix());
    auto folders = kestrane::files::SystemFolders::resolve(*store.value());
    kestrane::files::LaunchProbe probe(
        files, kestrane::files::LaunchProbe::prefixSearchFolders(*store.value(), folders.systemRoot));
    NoPause pacer;
    std::size_t rows = 0;
    for (auto _ : state) {
        kestrane::ScanContext ctx{*store.value(), &files, &probe, &folders, nullptr, pacer, {}};
        kestrane::ResultList list;
        kestrane::files::FileAction action(files);
        kestrane::Deep(ctx, list);
        rows = list.count();
    }
    state.counters["findings"] = static_cast<double>(rows);
}
BENCHMARK(BM_ProgressiveAnalysis)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace

BENCHMARK_MAIN();
