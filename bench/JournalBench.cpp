// What the journal of unsaved edits adds to what the user waits for: a typed
// edit, a paste of a million lines and an import of a million cells, each with
// the journal off and on in the same run; and how often a burst of typed edits
// makes the journal durable.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QDir>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "BigSet.h"
#include "app/JournalKeeper.h"
#include "document/CZOKDoc.h"
#include "document/HeadlessView.h"
#include "document/SectionGrid.h"
#include "editing/GridEditor.h"
#include "exchange/TableImport.h"
#include "exchange/TableText.h"
#include "framework/AppPath.h"
#include "framework/RecordingServices.h"
#include "journal/JournalWriter.h"
#include "qt/QtServices.h"
#include "view/CZOKView.h"

namespace zok2::bench {

namespace {

// Journals go to a folder of the benchmark's own.
void UseOwnStateFolder()
{
    static const std::string folder = [] {
        const std::string path = QDir::tempPath().toStdString() + "/zok2-bench-state-" + std::to_string(QCoreApplication::applicationPid());
        QDir().mkpath(QString::fromStdString(path));
        setenv("XDG_STATE_HOME", path.c_str(), 1);
        return path;
    }();
}

struct Journaled {
    Journaled(const std::string& root, const std::string& binary, bool journal)
    {
        UseOwnStateFolder();
        SetProgramPath(root + "zok2");
        doc.AddView(&view);
        doc.LoadDocument(binary);
        FillSectionGrid(doc, view.grid, 0, 1, 1);
        editor.SetCurrentSection(0);
        keeper.SetEnabled(journal);
        doc.valuesChanged = [this](const EditRegion& region) { keeper.Changed(region); };
    }
    ~Journaled()
    {
        keeper.Drop();
        doc.valuesChanged = nullptr;
        doc.RemoveView(&view);
    }
    CZOKDoc doc;
    HeadlessView view;
    RecordingClipboard clipboard;
    GridEditor editor{doc, view.grid, clipboard};
    JournalKeeper keeper{doc};
};

void BM_TypedEdit(benchmark::State& state)
{
    const BigSet& set = GetTallSet(1000000);
    Journaled j(set.root, set.binaryPath, state.range(0) != 0);
    int row = 1;
    j.view.grid.SetCurrentColumn(1);
    for (auto _ : state) {
        j.view.grid.SetCurrentRow(row);
        j.editor.CommitCellText(std::to_string(row % 200));
        row = row % 1000 + 1;
    }
    j.keeper.Flush();
    if (state.range(0) != 0 && state.iterations() > 1 && !j.keeper.Writer()) state.SkipWithError("nothing journaled");
}
BENCHMARK(BM_TypedEdit)->ArgName("journal")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A typed edit as the user makes it: a digit on the grid opens the in-place
// edit, Return stores it, the grid shows it. Two windows on the same file, the
// journal off in one and on in the other, take turns.
struct TypingWindow {
    TypingWindow(const BigSet& set, const std::string& binary) : view(doc, clipboard)
    {
        UseOwnStateFolder();
        SetProgramPath(set.root + "zok2");
        view.resize(1280, 800);
        view.show();
        doc.valuesChanged = [this](const EditRegion& region) { keeper.Changed(region); };
        opened = doc.OnOpenDocument(binary);
        view.ShowSection(0, 1, 1);
        view.GridWidget().setFocus();
        QCoreApplication::processEvents();
    }
    ~TypingWindow()
    {
        keeper.Drop();
        doc.valuesChanged = nullptr;
    }
    CZOKDoc doc;
    QtClipboard clipboard;
    CZOKView view;
    JournalKeeper keeper{doc};
    bool opened = false;
};

void BM_TypedEditInTheWindow(benchmark::State& state)
{
    const BigSet& set = GetTallSet(1000000);
    // Kept for the whole run: never destroyed after the application they live in.
    // Each on a copy of its own: a journal is one window's, and the other benchmarks journal the original.
    const std::filesystem::path original(set.binaryPath);
    std::string copies[2];
    for (int i = 0; i < 2; ++i) {
        copies[i] = (original.parent_path() / ("copy" + std::to_string(i) + "-" + original.filename().string())).string();
        std::filesystem::copy_file(original, copies[i], std::filesystem::copy_options::overwrite_existing);
    }
    static auto* windows = new std::unique_ptr<TypingWindow>[2]{std::make_unique<TypingWindow>(set, copies[0]),
                                                                std::make_unique<TypingWindow>(set, copies[1])};
    // Which window journals changes every 50 edits: the windows differ in what
    // they cost (the second paints over the first), the journal's share does not.
    double seconds[2] = {0, 0};  // without, with the journal
    int step = 0;
    for (auto _ : state) {
        const int journaled = (step / 50) % 2;
        for (int side = 0; side < 2; ++side) {
            TypingWindow& w = *windows[side];
            if (!w.opened) state.SkipWithError("open failed");
            w.keeper.SetEnabled(side == journaled);
            QtFlexGrid& grid = w.view.GridWidget();
            grid.SetCurrentRow(1 + step % 500);
            grid.SetCurrentColumn(1);
            const QString digit = QString::number(step % 10);
            const auto start = std::chrono::steady_clock::now();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + step % 10, Qt::NoModifier, digit);
            QApplication::sendEvent(&grid, &press);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(&w.view.CellEdit(), &enter);
            QCoreApplication::processEvents();
            seconds[side == journaled ? 1 : 0] += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        ++step;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["without_journal_us"] = seconds[0] / n * 1e6;
    state.counters["with_journal_us"] = seconds[1] / n * 1e6;
    state.counters["ratio"] = seconds[0] > 0 ? seconds[1] / seconds[0] : 0;
    for (int side = 0; side < 2; ++side) {
        if (state.iterations() > 100 && !windows[side]->keeper.Writer()) state.SkipWithError("a window journaled nothing");
    }
}
BENCHMARK(BM_TypedEditInTheWindow)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_PasteMillionLines(benchmark::State& state)
{
    const BigSet& set = GetTallSet(1000000);
    Journaled j(set.root, set.binaryPath, state.range(0) != 0);
    std::string text;
    for (int r = 0; r < 1000000; ++r) text += std::to_string(r % 200) + "\r\n";
    j.clipboard.SetText(text);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        j.keeper.Flush();  // the previous paste's journal written before this one is timed
        j.view.grid.SetCurrentRow(1);
        j.view.grid.SetCurrentColumn(1);
        j.clipboard.SetText(std::to_string(round++ % 7) + "\r\n" + text);
        state.ResumeTiming();
        j.editor.Paste();
    }
    j.keeper.Flush();
    if (state.range(0) != 0 && !j.keeper.Writer()) state.SkipWithError("nothing journaled");
    if (j.keeper.Writer()) state.counters["journal_MB"] = static_cast<double>(j.keeper.Writer()->BytesWritten()) / 1e6;
}
BENCHMARK(BM_PasteMillionLines)->ArgName("journal")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_ImportMillionCells(benchmark::State& state)
{
    const BigSet& set = GetBigSet(1, 125000);
    Journaled j(set.root, set.binaryPath, state.range(0) != 0);
    // The table's export with every value changed, and back: a million cells stored each time.
    exchange::Rows changed, unchanged;
    std::string reason;
    exchange::ReadTsv(ChangedExport(j.doc), &changed, &reason);
    exchange::ReadTsv(exchange::WriteTsv(exchange::ExportRows(j.doc, 0)), &unchanged, &reason);
    int round = 0;
    std::size_t stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        j.keeper.Flush();  // the previous import's journal written before this one is timed
        state.ResumeTiming();
        stored = exchange::ImportRows(j.doc, 0, round++ % 2 == 0 ? changed : unchanged).changes.size();
    }
    j.keeper.Flush();
    if (state.range(0) != 0 && !j.keeper.Writer()) state.SkipWithError("nothing journaled");
    state.counters["stored"] = static_cast<double>(stored);
}
BENCHMARK(BM_ImportMillionCells)->ArgName("journal")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(4);

// Typed edits for three seconds, one every 2 ms: the journal is made durable at most once a second.
void BM_SyncsOfABurst(benchmark::State& state)
{
    const BigSet& set = GetTallSet(1000000);
    for (auto _ : state) {
        Journaled j(set.root, set.binaryPath, true);
        j.view.grid.SetCurrentColumn(1);
        const auto start = std::chrono::steady_clock::now();
        int row = 1, edits = 0;
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(3)) {
            j.view.grid.SetCurrentRow(row);
            j.editor.CommitCellText(std::to_string(row % 200));
            row = row % 1000 + 1;
            ++edits;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (!j.keeper.Writer()) state.SkipWithError("nothing journaled");
        const int syncs = j.keeper.Writer() ? j.keeper.Writer()->Syncs() : 0;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["edits"] = edits;
        state.counters["syncs_per_second"] = syncs / seconds;
    }
}
BENCHMARK(BM_SyncsOfABurst)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

}  // namespace zok2::bench
