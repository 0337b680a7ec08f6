// The check of a set beside what `zok2-cli sections` does with the same set:
// open it (discover, read and parse every file, load the binary).
#include <benchmark/benchmark.h>

#include "BigSet.h"
#include "document/CZOKDoc.h"
#include "framework/AppPath.h"
#include "framework/FileSystem.h"
#include "sets/SetCheck.h"

namespace zok2::bench {

namespace {

constexpr int kTables = 5000;

void BM_CheckSetOf5000Tables(benchmark::State& state)
{
    const BigSet& set = GetManyDefinitions(kTables, false);
    sets::SetCheckInput input;
    input.folder = set.setFolder;
    input.fileSize = fs::FileSize(set.binaryPath);
    input.toSjis = [](const std::string& name) { return std::optional<std::string>(name); };
    std::size_t problems = 0;
    for (auto _ : state) problems = sets::CheckSet(input).size();
    state.counters["problems"] = static_cast<double>(problems);
}
BENCHMARK(BM_CheckSetOf5000Tables)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenSetOf5000Tables(benchmark::State& state)
{
    const BigSet& set = GetManyDefinitions(kTables, false);
    SetProgramPath(set.root + "zok2");
    for (auto _ : state) {
        CZOKDoc doc;
        if (!doc.LoadDocument(set.binaryPath)) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc.sections.size());
    }
}
BENCHMARK(BM_OpenSetOf5000Tables)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

}  // namespace zok2::bench
