// Load and save throughput of the registry store on a large hive.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "LargeRegistry.h"
#include "platform/Hive.h"
#include "platform/RegistryStore.h"

namespace {

const std::string& largeText() {
    static const std::string text = kestrane::bench::largeRegistryText();
    return text;
}

std::string largeFile() {
    static const std::string path = [] {
        auto p = std::filesystem::temp_directory_path() / "kestrane-bench-system.reg";
        std::ofstream(p, std::ios::binary) << largeText();
        return p.string();
    }();
    return path;
}

void BM_HiveLoad(benchmark::State& state) {
    const std::string file = largeFile();
    std::size_t keys = 0;
    for (auto _ : state) {
        auto hive = kestrane::reg::Hive::load(file);
        if (!hive.ok())
            state.SkipWithError(hive.error().message.c_str());
        keys = hive.ok() ? hive.value()->keyCount() : 0;
        benchmark::DoNotOptimize(keys);
        state.PauseTiming();  // freeing is not loading
        hive = kestrane::Error{};
        state.ResumeTiming();
    }
    state.counters["keys"] = static_cast<double>(keys);
    state.counters["MB"] = static_cast<double>(largeText().size()) / 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * largeText().size()));
}
BENCHMARK(BM_HiveLoad)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_HiveSave(benchmark::State& state) {
    auto hive = kestrane::reg::Hive::load(largeFile());
    // Change one key in forty, so that the save writes both kinds of keys.
    int n = 0;
    std::vector<kestrane::reg::Key*> todo{hive.value()->root()};
    while (!todo.empty()) {
        auto* k = todo.back();
        todo.pop_back();
        for (auto* s : k->subkeys())
            todo.push_back(s);
        if (k->subkeys().empty() && ++n % 40 == 0)
            k->setValue(kestrane::reg::Value::dword("Touched", static_cast<std::uint32_t>(n)));
    }
    const std::string out = (std::filesystem::temp_directory_path() / "kestrane-bench-out.reg").string();
    for (auto _ : state) {
        std::string text = hive.value()->serialize();
        std::ofstream(out, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * largeText().size()));
    std::filesystem::remove(out);
}
BENCHMARK(BM_HiveSave)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

BENCHMARK_MAIN();
