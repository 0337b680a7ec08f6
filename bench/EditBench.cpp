// A paste of 10,000 cells, its undo and its redo, and saving one edit into the 16 MiB binary.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "BigSet.h"
#include "document/CZOKDoc.h"
#include "document/SectionGrid.h"
#include "document/ZOKView.h"
#include "editing/GridEditor.h"
#include "framework/AppPath.h"
#include "framework/FileSystem.h"
#include "framework/RecordingServices.h"
#include "grid/MemoryGrid.h"

namespace zok2::bench {

namespace {

class BenchView : public IZOKView {
public:
    void OnUpdate(CView*, long) override {}
    CMSFlexGrid* Grid() override { return &grid; }
    MemoryGrid grid;
};

// 1,250 rows by 8 columns of decimal text.
std::string PasteText()
{
    std::string text;
    for (int r = 0; r < 1250; ++r) {
        for (int c = 0; c < 8; ++c) text += std::to_string((r * 8 + c) % 200) + (c < 7 ? "\t" : "\r\n");
    }
    return text;
}

struct EditFixture {
    EditFixture()
    {
        const BigSet& set = GetBigSet();
        SetProgramPath(set.root + "zok2");
        doc.AddView(&view);
        doc.LoadDocument(set.binaryPath);
        FillSectionGrid(doc, view.grid, 0, 1, 1);
        clipboard.SetText(PasteText());
    }
    CZOKDoc doc;
    BenchView view;
    RecordingClipboard clipboard;
};

enum class Step { Paste, Undo, Redo };

void RunEdit(benchmark::State& state, Step step)
{
    EditFixture f;
    GridEditor editor(f.doc, f.view.grid, f.clipboard);
    editor.SetCurrentSection(0);
    for (auto _ : state) {
        state.PauseTiming();
        if (step != Step::Paste) editor.Paste();
        if (step == Step::Redo) editor.Undo();
        f.view.grid.SetCurrentRow(1);
        f.view.grid.SetCurrentColumn(1);
        state.ResumeTiming();
        switch (step) {
        case Step::Paste: editor.Paste(); break;
        case Step::Undo: editor.Undo(); break;
        case Step::Redo: editor.Redo(); break;
        }
    }
    state.counters["cells"] = 10000;
}

void BM_Paste10000(benchmark::State& state) { RunEdit(state, Step::Paste); }
void BM_Undo10000(benchmark::State& state) { RunEdit(state, Step::Undo); }
void BM_Redo10000(benchmark::State& state) { RunEdit(state, Step::Redo); }
BENCHMARK(BM_Paste10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Undo10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redo10000)->Unit(benchmark::kMillisecond);

// One edited cell: the ".bak" copy plus the cell's bytes; nothing else is rewritten.
void BM_SaveOneEdit(benchmark::State& state)
{
    EditFixture f;
    const std::string copy = GetBigSet().root + "save-copy.bin";
    std::filesystem::copy_file(GetBigSet().binaryPath, copy, std::filesystem::copy_options::overwrite_existing);
    f.doc.LoadDocument(copy);
    FillSectionGrid(f.doc, f.view.grid, 0, 1, 1);
    GridEditor editor(f.doc, f.view.grid, f.clipboard);
    editor.SetCurrentSection(0);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editor.CommitCellText(std::to_string(++n % 100));
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
