// Pastes of 10,000 and 1,000,000 lines and their undo (both must grow linearly),
// and saving one edit into the large binary beside the backup copy alone.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "BigSet.h"
#include "document/CZOKDoc.h"
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

}  // namespace

}  // namespace zok2::bench
