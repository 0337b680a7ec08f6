// Find over sixteen million cells (40 tables x 40,000 rows x 10 columns), beside
// the plain scan of the same data in the same run: a loop comparing every 32-bit
// value, and memmem over the labels' text.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "document/CZOKDoc.h"
#include "framework/AppPath.h"
#include "search/CellSearch.h"

namespace zok2::bench {

namespace {

constexpr int kTables = 40, kRows = 40000, kColumns = 10;

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

struct SixteenMillion {
    SixteenMillion()
    {
        char pattern[] = "/tmp/zok2-find-XXXXXX";
        const std::string root = std::string(mkdtemp(pattern)) + "/";
        std::filesystem::create_directories(root + "Settings/find");
        Write(root + "zok2.ini", "[Setting]\r\nmode=find\r\n");
        std::mt19937 rng(11);
        std::string labels;
        for (int r = 0; r < kRows; ++r) labels += "item " + std::to_string(rng() % 1000000) + "\r\n";
        constexpr std::size_t kTableBytes = static_cast<std::size_t>(kRows) * 0x10;
        for (int t = 0; t < kTables; ++t) {
            char name[16];
            std::snprintf(name, sizeof name, "t%02d", t);
            Write(root + "Settings/find/" + name + ".idn", labels);
            std::string ini;
            char line[64];
            for (int c = 0; c < kColumns; ++c) {
                const int size = c < 4 ? 1 : (c < 8 ? 2 : 4);
                const int offset = c < 4 ? c : (c < 8 ? 4 + (c - 4) * 2 : 12 + (c - 8) * 2);
                std::snprintf(line, sizeof line, "%zX,C%d,%d,10,,%s\r\n", kTableBytes * static_cast<std::size_t>(t) + static_cast<std::size_t>(offset), c,
                              c == 9 ? 2 : size, c % 3 == 0 ? "16" : (c % 3 == 1 ? "-10" : "10"));
                ini += line;
            }
            Write(root + "Settings/find/" + name + ".ini", ini);
        }
        std::string bytes(kTableBytes * kTables, '\0');
        for (char& b : bytes) b = static_cast<char>(rng());
        binary = root + "find.bin";
        Write(binary, bytes);
        SetProgramPath(root + "zok2");
        opened = doc.LoadDocument(binary);
    }
    CZOKDoc doc;
    std::string binary;
    bool opened = false;
};

SixteenMillion& Data()
{
    static auto* data = new SixteenMillion;
    return *data;
}

}  // namespace

// The floor: every value compared with a number, and the labels' text searched with memmem.
void BM_FindFloor(benchmark::State& state)
{
    SixteenMillion& data = Data();
    if (!data.opened) state.SkipWithError("open failed");
    std::string labelText;
    for (std::size_t s = 0; s < data.doc.sections.size(); ++s) {
        const TextList& labels = data.doc.RowLabels(static_cast<int>(s));
        for (std::size_t i = 0; i < labels.size(); ++i) labelText.append(labels[i]).push_back('\n');
    }
    for (auto _ : state) {
        std::size_t found = 0;
        for (const ValueTable& table : data.doc.values) {
            for (std::size_t r = 0; r < table.Rows(); ++r) {
                for (std::size_t c = 0; c < table.Columns(); ++c) found += table.Get(r, c) == 12345u;
            }
        }
        const char* at = labelText.data();
        const char* end = labelText.data() + labelText.size();
        while ((at = static_cast<const char*>(memmem(at, static_cast<std::size_t>(end - at), "item 12345", 10)))) {
            ++found;
            ++at;
        }
        benchmark::DoNotOptimize(found);
    }
    state.counters["cells"] = static_cast<double>(kTables) * kRows * kColumns;
}
BENCHMARK(BM_FindFloor)->Unit(benchmark::kMillisecond);

// Find-all of a number (cells by value, the whole shown text), of a label's word,
// and of a number as part of any shown text (every cell formatted).
void FindAll(benchmark::State& state, const std::string& text, bool whole)
{
    SixteenMillion& data = Data();
    search::SearchQuery query;
    query.text = text;
    query.whole = whole;
    std::size_t hits = 0;
    for (auto _ : state) {
        const search::CellSearch finder(data.doc, query);
        hits = finder.All(1000000).size();
    }
    state.counters["hits"] = static_cast<double>(hits);
}
void BM_FindAllNumberWhole(benchmark::State& state) { FindAll(state, "12345", true); }
void BM_FindAllWord(benchmark::State& state) { FindAll(state, "item 12345", false); }
void BM_FindAllNumberPart(benchmark::State& state) { FindAll(state, "12345", false); }
BENCHMARK(BM_FindAllNumberWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAllWord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAllNumberPart)->Unit(benchmark::kMillisecond)->Iterations(2);

// Find next of a text nowhere in the set: every table is looked at.
void BM_FindNextThroughEverything(benchmark::State& state)
{
    SixteenMillion& data = Data();
    search::SearchQuery query;
    query.text = "no such label";
    for (auto _ : state) {
        const search::CellSearch finder(data.doc, query);  // a new search: nothing of the last one is kept
        benchmark::DoNotOptimize(finder.Next({0, 1, 1}, true));
    }
}
BENCHMARK(BM_FindNextThroughEverything)->Unit(benchmark::kMillisecond);

}  // namespace zok2::bench
