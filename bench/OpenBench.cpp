// The whole open beside its I/O floor and beside a naive byte-by-byte reader.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "BigSet.h"
#include "binary/CellLayout.h"
#include "document/CZOKDoc.h"
#include "framework/AppPath.h"

namespace zok2::bench {

namespace {

std::size_t CountCells(const CZOKDoc& doc)
{
    std::size_t cells = 0;
    for (const auto& section : doc.values) {
        cells += section.Rows() * section.Columns();
    }
    return cells;
}

void BM_OpenDocument(benchmark::State& state)
{
    const BigSet& set = GetBigSet();
    SetProgramPath(set.root + "zok2");
    std::size_t cells = 0;
    CZOKDoc doc;
    for (auto _ : state) {
        // Releasing the previous file's tables belongs to closing it, not to this open.
        state.PauseTiming();
        doc.ClearContents();
        state.ResumeTiming();
        if (!doc.LoadDocument(set.binaryPath)) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc.values.data());
    }
    cells = CountCells(doc);
    state.counters["cells"] = static_cast<double>(cells);
}
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond);

// Reading the binary once into memory plus every definition file once.
void BM_IoFloor(benchmark::State& state)
{
    const BigSet& set = GetBigSet();
    std::vector<std::string> definitionFiles;
    for (const auto& entry : std::filesystem::directory_iterator(set.setFolder)) definitionFiles.push_back(entry.path().string());
    std::vector<char> buffer(static_cast<std::size_t>(std::filesystem::file_size(set.binaryPath)));
    for (auto _ : state) {
        std::FILE* f = std::fopen(set.binaryPath.c_str(), "rb");
        std::size_t got = std::fread(buffer.data(), 1, buffer.size(), f);
        std::fclose(f);
        benchmark::DoNotOptimize(got);
        for (const std::string& path : definitionFiles) {
            std::ifstream in(path, std::ios::binary);
            std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            benchmark::DoNotOptimize(text.data());
        }
    }
}
BENCHMARK(BM_IoFloor)->Unit(benchmark::kMillisecond);

// The same plain cells read with one positioned stdio read per byte.
void BM_NaiveStdioReader(benchmark::State& state)
{
    const BigSet& set = GetBigSet();
    SetProgramPath(set.root + "zok2");
    CZOKDoc doc;
    doc.LoadDocument(set.binaryPath);
    std::size_t cells = 0;
    for (auto _ : state) {
        std::FILE* f = std::fopen(set.binaryPath.c_str(), "rb");
        std::uint64_t sum = 0;
        cells = 0;
        for (std::size_t s = 0; s < doc.sections.size(); ++s) {
            if (doc.IsCompressedSection(static_cast<int>(s))) continue;
            for (const ColumnDefinition& d : doc.sections[s]) {
                const ColumnLayout layout(d);
                for (std::int64_t r = 0; r < layout.rowCount; ++r) {
                    const int bytes = layout.kind == ColumnLayout::Kind::Bytes ? layout.byteCount : 1;
                    for (int i = 0; i < bytes; ++i) {
                        std::fseek(f, static_cast<long>(layout.Offset(r) + i), SEEK_SET);
                        sum += static_cast<unsigned>(std::fgetc(f));
                    }
                    ++cells;
                }
            }
        }
        std::fclose(f);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["cells"] = static_cast<double>(cells);
}
BENCHMARK(BM_NaiveStdioReader)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace zok2::bench
