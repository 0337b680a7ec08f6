// Pastes of 10,000 and 1,000,000 lines and their undo (both must grow linearly),
// and saving one edit into the large binary beside the backup copy alone.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "BigSet.h"
#include "document/CZOKDoc.h"
#include "exchange/TableImport.h"
#include "exchange/TableText.h"
#include "document/HeadlessView.h"
#include "document/SectionGrid.h"
#include "editing/GridEditor.h"
#include "framework/AppPath.h"
#include "framework/FileSystem.h"
#include "framework/RecordingServices.h"

namespace zok2::bench {

namespace {

constexpr int kTallRows = 1000000;

struct EditFixture {
    explicit EditFixture(const BigSet& set, const std::string& binary)
    {
        SetProgramPath(set.root + "zok2");
        doc.AddView(&view);
        doc.LoadDocument(binary);
        FillSectionGrid(doc, view.grid, 0, 1, 1);
        editor.SetCurrentSection(0);
    }
    ~EditFixture() { doc.RemoveView(&view); }
    CZOKDoc doc;
    HeadlessView view;
    RecordingClipboard clipboard;
    GridEditor editor{doc, view.grid, clipboard};
};

std::string Lines(std::int64_t count)
{
    std::string text;
    for (std::int64_t r = 0; r < count; ++r) text += std::to_string(r % 200) + "\r\n";
    return text;
}

void PasteLines(benchmark::State& state, bool undo)
{
    EditFixture f(GetTallSet(kTallRows), GetTallSet(kTallRows).binaryPath);
    const std::int64_t lines = state.range(0);
    f.clipboard.SetText(Lines(lines));
    for (auto _ : state) {
        state.PauseTiming();
        f.view.grid.SetCurrentRow(1);
        f.view.grid.SetCurrentColumn(1);
        if (undo) f.editor.Paste();
        state.ResumeTiming();
        if (undo) {
            f.editor.Undo();
        } else {
            f.editor.Paste();
        }
    }
    state.counters["ns_per_line"] = benchmark::Counter(static_cast<double>(lines) * static_cast<double>(state.iterations()),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PasteLines(benchmark::State& state) { PasteLines(state, false); }
void BM_UndoPasteLines(benchmark::State& state) { PasteLines(state, true); }
BENCHMARK(BM_PasteLines)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_UndoPasteLines)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

// One edited cell: the ".bak" copy plus the cell's bytes; nothing else is rewritten.
void BM_SaveOneEdit(benchmark::State& state)
{
    const BigSet& set = GetBigSet();
    const std::string copy = set.root + "save-copy.bin";
    std::filesystem::copy_file(set.binaryPath, copy, std::filesystem::copy_options::overwrite_existing);
    EditFixture f(set, copy);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.editor.CommitCellText(std::to_string(++n % 100));
        state.ResumeTiming();
        if (!f.doc.OnSaveDocument(copy)) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveOneEdit)->Unit(benchmark::kMillisecond);

// The ".bak" copy alone, the floor of any save that patches the file.
void BM_BackupCopyOnly(benchmark::State& state)
{
    const std::string& path = GetBigSet().binaryPath;
    for (auto _ : state) {
        if (!fs::CopyFileReplacing(path, path + ".bak")) state.SkipWithError("copy failed");
    }
}
BENCHMARK(BM_BackupCopyOnly)->Unit(benchmark::kMillisecond);

// A set of many tables whose every column file the save rewrites: the folder is
// scanned for leftovers once a save, so the cost grows with the tables, not with
// their square.
void BM_SaveSettingsOfManyTables(benchmark::State& state)
{
    const BigSet& set = GetManyDefinitions(static_cast<int>(state.range(0)), false);
    SetProgramPath(set.root + "zok2");
    CZOKDoc doc;
    if (!doc.LoadDocument(set.binaryPath)) state.SkipWithError("open failed");
    int width = 1000;
    for (auto _ : state) {
        state.PauseTiming();
        ++width;
        for (Section& columns : doc.sections) {
            for (ColumnDefinition& d : columns) d[ColumnField::width] = std::to_string(width);
        }
        state.ResumeTiming();
        if (!doc.SaveSettings()) state.SkipWithError("a column file was kept");
    }
    state.counters["tables"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_SaveSettingsOfManyTables)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// ---- a table of a million cells as text ----

// Export: the texts of 100,000 x 10 cells written as TSV, beside snprintf of the same values.
void BM_ExportMillionCells(benchmark::State& state)
{
    const BigSet& set = GetBigSet(1, 125000);  // 8 columns x 125,000 rows
    SetProgramPath(set.root + "zok2");
    CZOKDoc doc;
    if (!doc.LoadDocument(set.binaryPath)) state.SkipWithError("open failed");
    std::size_t bytes = 0;
    for (auto _ : state) bytes = exchange::WriteTsv(exchange::ExportRows(doc, 0)).size();
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ExportMillionCells)->Unit(benchmark::kMillisecond);

void BM_ExportFloor(benchmark::State& state)
{
    std::vector<std::uint32_t> values(1000000);
    std::mt19937 rng(1);
    for (auto& v : values) v = static_cast<std::uint32_t>(rng());
    for (auto _ : state) {
        std::string text;
        char buffer[16];
        for (std::size_t i = 0; i < values.size(); ++i) {
            const int n = std::snprintf(buffer, sizeof buffer, "%u", values[i]);
            text.append(buffer, static_cast<std::size_t>(n));
            text += (i + 1) % 8 ? '\t' : '\n';
        }
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ExportFloor)->Unit(benchmark::kMillisecond);

// Import: the table's own export with every text changed (its last digit's
// lowest bit flipped, so each keeps its column's form and limits), read and stored, beside strtoul of the
// same texts; and the unchanged export, which is compared and stores nothing.
void ImportText(benchmark::State& state, bool changed)
{
    const BigSet& set = GetBigSet(1, 125000);
    SetProgramPath(set.root + "zok2");
    CZOKDoc doc;
    if (!doc.LoadDocument(set.binaryPath)) state.SkipWithError("open failed");
    const std::string text = changed ? ChangedExport(doc) : exchange::WriteTsv(exchange::ExportRows(doc, 0));
    std::string reason;
    int stored = 0;
    for (auto _ : state) {
        if (changed) {
            state.PauseTiming();
            doc.LoadDocument(set.binaryPath);
            state.ResumeTiming();
        }
        exchange::Rows read;
        exchange::ReadTsv(text, &read, &reason);
        stored = static_cast<int>(exchange::ImportRows(doc, 0, read).changes.size());
    }
    state.counters["stored"] = stored;
}
void BM_ImportMillionCells(benchmark::State& state) { ImportText(state, true); }
void BM_ImportUnchangedMillionCells(benchmark::State& state) { ImportText(state, false); }
BENCHMARK(BM_ImportMillionCells)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportUnchangedMillionCells)->Unit(benchmark::kMillisecond);

// strtoul (base 0: "0X" is hexadecimal) of every value text of the changed export.
void BM_ImportFloor(benchmark::State& state)
{
    const BigSet& set = GetBigSet(1, 125000);
    SetProgramPath(set.root + "zok2");
    CZOKDoc doc;
    if (!doc.LoadDocument(set.binaryPath)) state.SkipWithError("open failed");
    const std::string text = ChangedExport(doc);
    std::vector<std::uint32_t> values(1000000);
    for (auto _ : state) {
        std::size_t count = 0;
        const char* p = std::strchr(text.c_str(), '\n') + 1;
        while (*p != '\0') {
            p = std::strchr(p, '\t');  // past the row label
            while (*p == '\t') {
                char* end = nullptr;
                values[count++ % values.size()] = static_cast<std::uint32_t>(std::strtoul(p + 1, &end, 0));
                p = end;
            }
            ++p;  // the line end
        }
        benchmark::DoNotOptimize(values.data());
        state.counters["values"] = static_cast<double>(count);
    }
}
BENCHMARK(BM_ImportFloor)->Unit(benchmark::kMillisecond);

// ---- one edit saved into a 512 MB binary, beside the plain way of doing the same ----

constexpr std::int64_t kLargeBytes = std::int64_t{512} << 20;

// A one-table set over a 512 MB file of real (not sparse) bytes.
const BigSet& GetLargeFile()
{
    static BigSet* set = [] {
        auto* made = new BigSet;
        char pattern[] = "/tmp/zok2-large-XXXXXX";
        made->root = std::string(mkdtemp(pattern)) + "/";
        made->setFolder = made->root + "Settings/large/";
        std::filesystem::create_directories(made->setFolder);
        std::ofstream(made->root + "zok2.ini", std::ios::binary) << "[Setting]\r\nmode=large\r\n";
        std::ofstream(made->setFolder + "t.idn", std::ios::binary) << "a\r\nb\r\nc\r\nd\r\n";
        std::ofstream(made->setFolder + "t.ini", std::ios::binary) << "1000000,V,2,100000,,16\r\n";
        made->binaryPath = made->root + "large.bin";
        std::ofstream out(made->binaryPath, std::ios::binary);
        std::string block(1 << 20, '\0');
        for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + 7);
        for (std::int64_t written = 0; written < kLargeBytes; written += static_cast<std::int64_t>(block.size())) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
        return made;
    }();
    return *set;
}

// The floor: the system copies the file into its backup (copy_file_range), the
// backup is flushed, the two bytes are written and flushed.
void BM_SaveLargeFloor(benchmark::State& state)
{
    const BigSet& set = GetLargeFile();
    const std::string backup = set.binaryPath + ".floor.bak";
    for (auto _ : state) {
        const int in = ::open(set.binaryPath.c_str(), O_RDWR);
        const int out = ::open(backup.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        loff_t from = 0, to = 0;
        for (std::int64_t left = kLargeBytes; left > 0;) {
            const ssize_t done = ::copy_file_range(in, &from, out, &to, static_cast<std::size_t>(left), 0);
            if (done <= 0) {
                state.SkipWithError("copy_file_range failed");
                break;
            }
            left -= done;
        }
        ::fsync(out);
        ::close(out);
        const char bytes[2] = {0x12, 0x34};
        if (::pwrite(in, bytes, 2, 0x1000000) != 2) state.SkipWithError("write failed");
        ::fsync(in);
        ::close(in);
    }
}
BENCHMARK(BM_SaveLargeFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Ctrl+S after one edit: the settings, the check that the file is the one opened,
// the ".bak" copy and the patch, everything flushed.
void BM_SaveLargeOneEdit(benchmark::State& state)
{
    const BigSet& set = GetLargeFile();
    EditFixture f(set, set.binaryPath);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.editor.CommitCellText(std::to_string(++n % 100));
        state.ResumeTiming();
        if (!f.doc.OnSaveDocument(set.binaryPath)) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveLargeOneEdit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

}  // namespace zok2::bench
