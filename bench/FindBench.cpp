// Find over sixteen million cells (40 tables x 40,000 rows x 10 columns), beside
// the plain scan of the same data in the same run: a loop comparing every 32-bit
// value, and memmem over the labels' text.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "compare/Reference.h"
#include "document/CZOKDoc.h"
#include "framework/FileSystem.h"
#include "patch/PatchFile.h"
#include "patch/Patches.h"
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
        // The reference: the same file with one byte in a hundred changed.
        for (std::size_t i = 0; i < bytes.size(); i += 100) bytes[i] = static_cast<char>(bytes[i] + 1);
        referencePath = root + "find.orig";
        Write(referencePath, bytes);
        SetProgramPath(root + "zok2");
        opened = doc.LoadDocument(binary);
    }
    CZOKDoc doc;
    std::string binary, referencePath;
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

// Marking the differences from a reference (both open): beside a plain
// comparison of the two value tables.
void BM_DiffFloor(benchmark::State& state)
{
    SixteenMillion& data = Data();
    static auto reference = compare::OpenReference(data.doc, data.referencePath);
    if (!reference) state.SkipWithError("no reference");
    for (auto _ : state) {
        std::size_t differing = 0;
        for (std::size_t s = 0; s < data.doc.values.size(); ++s) {
            const ValueTable& a = data.doc.values[s];
            const ValueTable& b = reference->values[s];
            for (std::size_t r = 0; r < a.Rows(); ++r) {
                for (std::size_t c = 0; c < a.Columns(); ++c) differing += a.Get(r, c) != b.Get(r, c);
            }
        }
        benchmark::DoNotOptimize(differing);
    }
}
BENCHMARK(BM_DiffFloor)->Unit(benchmark::kMillisecond);

void BM_DiffReference(benchmark::State& state)
{
    SixteenMillion& data = Data();
    static auto reference = compare::OpenReference(data.doc, data.referencePath);
    std::size_t cells = 0;
    for (auto _ : state) cells = compare::DifferingCells(data.doc, *reference).size();
    state.counters["differing"] = static_cast<double>(cells);
}
BENCHMARK(BM_DiffReference)->Unit(benchmark::kMillisecond);

// A patch of a 64 MiB file with one byte in a hundred changed, made and applied,
// beside reading the two files once.
struct PatchFiles {
    PatchFiles()
    {
        char pattern[] = "/tmp/zok2-patch-XXXXXX";
        const std::string root = std::string(mkdtemp(pattern)) + "/";
        std::string bytes(std::size_t{64} << 20, '\0');
        std::mt19937 rng(3);
        for (char& b : bytes) b = static_cast<char>(rng());
        source = root + "source.bin";
        Write(source, bytes);
        for (std::size_t i = 0; i < bytes.size(); i += 100) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
        target = root + "target.bin";
        Write(target, bytes);
        patchPath = root + "change.bps";
    }
    std::string source, target, patchPath;
};

// The BPS patch of the two files, written where the applying benchmarks read it.
void WritePatch(const PatchFiles& files)
{
    std::string a, b, patch;
    fs::ReadFile(files.source, a);
    fs::ReadFile(files.target, b);
    patch::CreateBps(a, b, &patch);
    fs::WriteFileAtomically(files.patchPath, patch);
}

PatchFiles& Files()
{
    static auto* files = new PatchFiles;
    return *files;
}

void BM_PatchFloor(benchmark::State& state)
{
    PatchFiles& files = Files();
    for (auto _ : state) {
        std::string a, b;
        fs::ReadFile(files.source, a);
        fs::ReadFile(files.target, b);
        benchmark::DoNotOptimize(a.data());
        benchmark::DoNotOptimize(b.data());
    }
}
BENCHMARK(BM_PatchFloor)->Unit(benchmark::kMillisecond);

void BM_CreateBps(benchmark::State& state)
{
    PatchFiles& files = Files();
    for (auto _ : state) {
        std::string a, b, patch;
        fs::ReadFile(files.source, a);
        fs::ReadFile(files.target, b);
        patch::CreateBps(a, b, &patch);
        if (!fs::WriteFileAtomically(files.patchPath, patch)) state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_CreateBps)->Unit(benchmark::kMillisecond);

void BM_ApplyBps(benchmark::State& state)
{
    PatchFiles& files = Files();
    WritePatch(files);
    for (auto _ : state) {
        std::string patchBytes, source, out;
        fs::ReadFile(files.patchPath, patchBytes);
        fs::ReadFile(files.source, source);
        if (!patch::ApplyBps(patchBytes, source, &out)) state.SkipWithError("apply failed");
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ApplyBps)->Unit(benchmark::kMillisecond);

// What zok2-cli apply waits for: the patch applied into a file beside the
// output, streamed through a window, flushed and put in the output's place;
// beside the floor of reading the patch and the source and writing the
// target's bytes into a file, flushed.
void BM_ApplyBpsToFile(benchmark::State& state)
{
    PatchFiles& files = Files();
    WritePatch(files);
    const std::string out = files.target + ".out";
    for (auto _ : state) {
        std::string patchBytes, source;
        fs::ReadFile(files.patchPath, patchBytes);
        fs::ReadFile(files.source, source);
        if (!patch::ApplyPatchToFile(patchBytes, source, out, false).Succeeded()) state.SkipWithError("apply failed");
    }
}
BENCHMARK(BM_ApplyBpsToFile)->Unit(benchmark::kMillisecond);

void BM_ApplyToFileFloor(benchmark::State& state)
{
    PatchFiles& files = Files();
    std::string target;
    fs::ReadFile(files.target, target);
    const std::string out = files.target + ".floor";
    for (auto _ : state) {
        std::string patchBytes, source;
        fs::ReadFile(files.patchPath, patchBytes);
        fs::ReadFile(files.source, source);
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (std::size_t at = 0; at < target.size();) {
            const ssize_t done = ::write(fd, target.data() + at, target.size() - at);
            if (done <= 0) break;
            at += static_cast<std::size_t>(done);
        }
        ::fsync(fd);
        ::close(fd);
    }
}
BENCHMARK(BM_ApplyToFileFloor)->Unit(benchmark::kMillisecond);

}  // namespace zok2::bench
