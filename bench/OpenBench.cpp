// The whole reopen a user waits for (freeing the previous document included),
// beside an honest floor: the same bytes the open needs, read with plain
// positioned reads, and beside a naive byte-by-byte reader.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <vector>

#include "BigSet.h"
#include "binary/CellLayout.h"
#include "document/CZOKDoc.h"
#include "framework/AppPath.h"

namespace zok2::bench {

namespace {

constexpr long long kPage = 1 << 16;

std::size_t CountCells(const CZOKDoc& doc)
{
    std::size_t cells = 0;
    for (const auto& section : doc.values) cells += section.Rows() * section.Columns();
    return cells;
}

std::size_t StringBytes(const std::string& s) { return sizeof(std::string) + (s.capacity() > 15 ? s.capacity() + 1 : 0); }

// What the loaded document holds in memory: values, row labels and lists, definitions.
std::size_t DocumentBytes(const CZOKDoc& doc)
{
    std::size_t bytes = 0;
    for (const auto& table : doc.values) bytes += table.MemoryBytes();
    for (const auto& list : doc.lists) bytes += list.MemoryBytes();
    for (const auto& section : doc.sections) {
        bytes += sizeof(section) + section.capacity() * sizeof(ColumnDefinition);
        for (const auto& d : section) {
            for (const auto& f : d.fields) bytes += StringBytes(f) - sizeof(std::string);
        }
    }
    for (const auto& name : doc.definitionNames) bytes += StringBytes(name);
    return bytes;
}

void Reopen(benchmark::State& state, const BigSet& set)
{
    SetProgramPath(set.root + "zok2");
    CZOKDoc doc;
    if (!doc.LoadDocument(set.binaryPath)) state.SkipWithError("open failed");
    for (auto _ : state) {
        // Opening again empties the document first: the user waits for that too.
        if (!doc.LoadDocument(set.binaryPath)) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc.values.data());
    }
    const std::size_t cells = CountCells(doc);
    state.counters["cells"] = static_cast<double>(cells);
    state.counters["bytes_per_cell"] = static_cast<double>(DocumentBytes(doc)) / static_cast<double>(cells);
}

void BM_Reopen(benchmark::State& state) { Reopen(state, GetBigSet()); }
BENCHMARK(BM_Reopen)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Reopen16M(benchmark::State& state) { Reopen(state, GetBigSet(64, 32000)); }
BENCHMARK(BM_Reopen16M)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The floor: every page of the binary that the open touches and every file of
// the set (and the profile) read once with plain read calls.
void BM_HonestFloor(benchmark::State& state)
{
    const BigSet& set = GetBigSet();
    SetProgramPath(set.root + "zok2");
    CZOKDoc doc;
    doc.LoadDocument(set.binaryPath);
    std::set<long long> pages;
    for (std::size_t s = 0; s < doc.sections.size(); ++s) {
        if (doc.IsCompressedSection(static_cast<int>(s))) continue;
        for (const ColumnDefinition& d : doc.sections[s]) {
            const ColumnLayout layout(d);
            for (std::int64_t r = 0; r < layout.rowCount; ++r) {
                pages.insert(layout.Offset(r) / kPage);
                pages.insert((layout.Offset(r) + layout.SpanBytes() - 1) / kPage);
            }
        }
    }
    for (auto [from, to] : set.compressedBytes) {
        for (long long p = from / kPage; p <= (to - 1) / kPage; ++p) pages.insert(p);
    }
    std::vector<std::string> files{set.root + "zok2.ini"};
    for (const auto& entry : std::filesystem::directory_iterator(set.setFolder)) files.push_back(entry.path().string());
    std::vector<char> buffer(kPage);
    std::string text;
    for (auto _ : state) {
        const int fd = ::open(set.binaryPath.c_str(), O_RDONLY);
        for (long long page : pages) benchmark::DoNotOptimize(::pread(fd, buffer.data(), buffer.size(), page * kPage));
        ::close(fd);
        for (const std::string& path : files) {
            const int f = ::open(path.c_str(), O_RDONLY);
            text.resize(static_cast<std::size_t>(std::filesystem::file_size(path)));
            benchmark::DoNotOptimize(::read(f, text.data(), text.size()));
            ::close(f);
        }
    }
    state.counters["pages"] = static_cast<double>(pages.size());
}
BENCHMARK(BM_HonestFloor)->Unit(benchmark::kMillisecond);

// The same plain cells read with one positioned stdio read per byte.
void BM_NaiveStdioReader(benchmark::State& state)
{
    const BigSet& set = GetBigSet();
    SetProgramPath(set.root + "zok2");
    CZOKDoc doc;
    doc.LoadDocument(set.binaryPath);
    for (auto _ : state) {
        std::FILE* f = std::fopen(set.binaryPath.c_str(), "rb");
        std::uint64_t sum = 0;
        for (std::size_t s = 0; s < doc.sections.size(); ++s) {
            if (doc.IsCompressedSection(static_cast<int>(s))) continue;
            for (const ColumnDefinition& d : doc.sections[s]) {
                const ColumnLayout layout(d);
                for (std::int64_t r = 0; r < layout.rowCount; ++r) {
                    for (int i = 0; i < layout.SpanBytes(); ++i) {
                        std::fseek(f, static_cast<long>(layout.Offset(r) + i), SEEK_SET);
                        sum += static_cast<unsigned>(std::fgetc(f));
                    }
                }
            }
        }
        std::fclose(f);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_NaiveStdioReader)->Unit(benchmark::kMillisecond);

// A set copied from Windows (names in capitals) opens as fast as one in lower case.
void BM_OpenManyDefinitions(benchmark::State& state)
{
    const BigSet& set = GetManyDefinitions(2000, state.range(0) != 0);
    SetProgramPath(set.root + "zok2");
    CZOKDoc doc;
    for (auto _ : state) {
        if (!doc.LoadDocument(set.binaryPath)) state.SkipWithError("open failed");
    }
    state.SetLabel(state.range(0) ? "NAME.IDN" : "name.idn");
}
BENCHMARK(BM_OpenManyDefinitions)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace zok2::bench
