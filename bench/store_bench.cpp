// One save into a store file whose given name is repeated over and over (a damaged or hostile
// file), by the file's size: the time a save holds the store lock should grow with the size,
// not with its square.
#include "settings/record_writer.h"
#include "settings/settings_store.h"

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

void SaveIntoRepeatedNames(benchmark::State& state) {
    std::string dir = (fs::temp_directory_path() / "tessle-bench-XXXXXX").string();
    if (!mkdtemp(dir.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    store::setDirectory(dir);
    fs::create_directories(dir + "/KORVANEL");
    const std::string path = dir + "/KORVANEL/Tessle.ini";
    std::string repeated = "[General]\n";
    while (repeated.size() + 8 <= static_cast<std::size_t>(state.range(0))) repeated += "PType=1\n";
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << repeated;
        state.ResumeTiming();
        benchmark::DoNotOptimize(store::saveToFile("Tessle", "PType", 2));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
    fs::remove_all(dir);
}
BENCHMARK(SaveIntoRepeatedNames)
    ->RangeMultiplier(4)
    ->Range(16 << 10, 1 << 20)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
