// The check of a set beside what `zok2-cli sections` does with the same set:
// open it (discover, read and parse every file, load the binary).
#include <benchmark/benchmark.h>

#include "BigSet.h"
#include "document/CZOKDoc.h"
#include "framework/AppPath.h"
#include "framework/FileSystem.h"
#include "sets/RecordSizes.h"
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

namespace zok2::bench {

namespace {

std::string Selection(std::size_t size)
{
    std::string bytes(size, '\0');
    unsigned state = 1;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = i % 37 < 8 ? "RECORD:\x01"[i % 37] : static_cast<char>((state >> 16) & 0x0F);
    }
    return bytes;
}

// Proposing record sizes for a selection in the byte pane: 16 to 256 KiB, to show it linear.
void BM_ProposeRecordSizes(benchmark::State& state)
{
    const std::string bytes = Selection(static_cast<std::size_t>(state.range(0)) << 10);
    std::size_t best = 0;
    for (auto _ : state) best = sets::ProposeRecordSizes(bytes).front().stride;
    state.counters["best"] = static_cast<double>(best);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ProposeRecordSizes)->Arg(16)->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace zok2::bench
