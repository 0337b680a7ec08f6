// The window's costs on the offscreen platform: showing a section and painting
// its first screen, beside the honest floor of formatting every value of the
// section with snprintf; a full repaint; a paste and an undo of 10,000 cells,
// counting the repaints they cause; and what the grid holds per cell.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>

#include "app/ColumnEditor.h"
#include "document/CZOKDoc.h"
#include "framework/AppPath.h"
#include "qt/QtServices.h"
#include "view/BytePane.h"
#include "view/CZOKView.h"

namespace zok2::bench {

namespace {

constexpr int kColumns = 10;

struct WideSet {
    std::string root, binary;
    std::vector<std::uint32_t> values;  // what the floor formats: one value per cell
};

// One section of `rows` rows and ten columns of every size and radix.
const WideSet& GetWideSet(int rows)
{
    static std::map<int, WideSet> sets;
    auto found = sets.find(rows);
    if (found != sets.end()) return found->second;
    WideSet set;
    char pattern[] = "/tmp/zok2-guibench-XXXXXX";
    set.root = std::string(mkdtemp(pattern)) + "/";
    std::filesystem::create_directories(set.root + "Settings/wide");
    std::ofstream(set.root + "zok2.ini", std::ios::binary) << "[Setting]\r\nmode=wide\r\n";
    std::string labels;
    for (int r = 0; r < rows; ++r) labels += "\x83\x8C\x83\x52\x81\x5B\x83\x68 " + std::to_string(r) + "\r\n";  // "レコード n"
    std::ofstream(set.root + "Settings/wide/wide.idn", std::ios::binary) << labels;
    std::ofstream(set.root + "Settings/wide/wide.ini", std::ios::binary)
        << "0,A,1,20\r\n1,B,2,20,,16\r\n3,C,3,20,,10\r\n6,D,4,20,,10\r\nA,E,1,20,,-10\r\nB,F,2,20,,-10\r\n"
           "D,G,4,20,,16\r\n11,H,1,20,,16,.0F\r\n12,I,2,20\r\n14,J,4,20,,10\r\n";
    std::vector<char> bytes(static_cast<std::size_t>(rows) * 0x20);
    std::mt19937 rng(7);
    for (char& b : bytes) b = static_cast<char>(rng());
    set.binary = set.root + "wide.bin";
    std::ofstream(set.binary, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    set.values.resize(static_cast<std::size_t>(rows) * kColumns);
    for (auto& v : set.values) v = static_cast<std::uint32_t>(rng());
    return sets.emplace(rows, std::move(set)).first->second;
}

// A document and its view on screen, opened once per size.
struct Window {
    explicit Window(const WideSet& set) : view(doc, clipboard)
    {
        SetProgramPath(set.root + "zok2");
        view.resize(1280, 800);
        view.show();
        QCoreApplication::processEvents();
        opened = doc.OnOpenDocument(set.binary);
        QCoreApplication::processEvents();
    }
    CZOKDoc doc;
    QtClipboard clipboard;
    CZOKView view;
    bool opened = false;
};

Window& GetWindow(int rows)
{
    // Kept for the whole run: never destroyed after the application they live in.
    static auto* windows = new std::map<int, std::unique_ptr<Window>>;
    auto& window = (*windows)[rows];
    if (!window) window = std::make_unique<Window>(GetWideSet(rows));
    return *window;
}

}  // namespace

// The floor: every value of the section formatted once with snprintf, as the
// columns show them (decimal and hexadecimal).
void BM_FormatFloor(benchmark::State& state)
{
    const WideSet& set = GetWideSet(static_cast<int>(state.range(0)));
    char buffer[16];
    for (auto _ : state) {
        for (std::size_t i = 0; i < set.values.size(); ++i) {
            std::snprintf(buffer, sizeof buffer, (i % 2) ? "%u" : "%X", set.values[i]);
            benchmark::DoNotOptimize(buffer);
        }
    }
    state.counters["cells"] = static_cast<double>(set.values.size());
}
BENCHMARK(BM_FormatFloor)->Arg(100000)->Unit(benchmark::kMillisecond);

// What the user waits for on a tab switch: the section shown (the previous one
// cleared) and its first screen painted.
void BM_ShowSectionAndPaint(benchmark::State& state)
{
    Window& window = GetWindow(static_cast<int>(state.range(0)));
    if (!window.opened) state.SkipWithError("open failed");
    for (auto _ : state) {
        window.view.ShowSection(0, 1, 1);
        window.view.GridWidget().repaint();
    }
    const double cells = static_cast<double>(state.range(0)) * kColumns;
    state.counters["cells"] = cells;
    state.counters["grid_bytes_per_cell"] = static_cast<double>(window.view.GridWidget().MemoryBytes()) / cells;
}
BENCHMARK(BM_ShowSectionAndPaint)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A full repaint; with "marks", after an edit every cell on screen is compared
// with the value as saved (the edited-cell marks).
void BM_FullRepaint(benchmark::State& state)
{
    Window& window = GetWindow(100000);
    window.view.ShowSection(0, 1, 1);
    if (state.range(0) == 1 && !window.doc.IsModified()) {
        QtFlexGrid& grid = window.view.GridWidget();
        grid.SetCurrentRow(2);
        grid.SetCurrentColumn(2);
        window.view.Editor().CommitCellText("0x1234");
    }
    for (auto _ : state) window.view.GridWidget().repaint();
}
BENCHMARK(BM_FullRepaint)->ArgName("marks")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A paste of 1,000 lines of ten cells and its undo, each with the repaint it causes.
void BM_Paste10kCells(benchmark::State& state)
{
    Window& window = GetWindow(100000);
    window.view.ShowSection(0, 1, 1);
    std::string text;
    for (int r = 0; r < 1000; ++r) {
        for (int c = 0; c < kColumns; ++c) text += std::to_string((r + c) % 100) + (c + 1 < kColumns ? "\t" : "\r\n");
    }
    window.clipboard.SetText(text);
    QtFlexGrid& grid = window.view.GridWidget();
    QCoreApplication::processEvents();
    const bool undo = state.range(0) == 1;
    int paints = 0, commands = 0;
    for (auto _ : state) {
        if (undo) {
            state.PauseTiming();
            window.view.Paste();
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
        const int before = grid.Paints();
        if (undo) {
            window.view.Undo();
        } else {
            grid.SetCurrentRow(1);
            grid.SetCurrentColumn(1);
            window.view.Paste();
        }
        QCoreApplication::processEvents();
        paints += grid.Paints() - before;
        ++commands;
    }
    state.counters["paints_per_command"] = commands ? static_cast<double>(paints) / commands : 0;
}
BENCHMARK(BM_Paste10kCells)->ArgName("undo")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace zok2::bench

namespace zok2::bench {

namespace {

// The keys a user presses on a table of a million rows, in two windows side by
// side, 1,800 pixels wide so that every column shows in both: one without the
// byte pane, one with it. The two take turns key by key, so the machine's noise
// falls on both alike; the counters give each one's time a key and the ratio.
// The bytes are random: about a hundred Shift-JIS characters a page. Going on
// ("onward") nearly every page shows characters the pane has never drawn;
// going back and forth over twenty pages ("revisit") shows the cost once they are known.
// The pane draws every character it can show on a thread of its own once it is
// shown; the keys start when that is done ("sheet_ms": how long it took).
struct PanePair {
    PanePair() : plain(GetWideSet(1000000)), withPane(GetWideSet(1000000))
    {
        for (Window* w : {&plain, &withPane}) w->view.resize(1800, 800);
        const auto start = std::chrono::steady_clock::now();
        withPane.view.SetBytePaneShown(true);
        QCoreApplication::processEvents();
        withPane.view.Bytes().WaitForSheet();
        sheetMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    Window plain, withPane;
    double sheetMs = 0;
};

void Keys(benchmark::State& state, Qt::Key key)
{
    const bool revisit = state.range(0) == 1;
    int step = 0;
    static auto* pair = new PanePair;  // kept for the whole run
    Window* windows[2] = {&pair->plain, &pair->withPane};
    for (Window* w : windows) {
        if (!w->opened) state.SkipWithError("open failed");
        w->view.ShowSection(0, 1, 1);
        w->view.GridWidget().setFocus();
    }
    QCoreApplication::processEvents();
    double seconds[2] = {0, 0};
    const std::int64_t readBefore = pair->withPane.view.Bytes().BytesRead();
    for (auto _ : state) {
        for (int side = 0; side < 2; ++side) {
            Window& w = *windows[side];
            QtFlexGrid& grid = w.view.GridWidget();
            if (grid.CurrentRow() >= grid.RowCount() - 100) {
                w.view.ShowSection(0, 1, 1);
                QCoreApplication::processEvents();
            }
            Qt::Key pressed = key;
            if (revisit && key == Qt::Key_PageDown && (step / 2 / 20) % 2 == 1) pressed = Qt::Key_PageUp;
            if (revisit && key == Qt::Key_Down && (step / 2 / 200) % 2 == 1) pressed = Qt::Key_Up;
            ++step;
            const auto start = std::chrono::steady_clock::now();
            QKeyEvent press(QEvent::KeyPress, pressed, Qt::NoModifier);
            QApplication::sendEvent(&grid, &press);
            QCoreApplication::processEvents();
            seconds[side] += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["without_pane_us"] = seconds[0] / n * 1e6;
    state.counters["with_pane_us"] = seconds[1] / n * 1e6;
    state.counters["ratio"] = seconds[0] > 0 ? seconds[1] / seconds[0] : 0;
    state.counters["sheet_ms"] = pair->sheetMs;
    state.counters["pane_bytes_read"] = static_cast<double>(pair->withPane.view.Bytes().BytesRead() - readBefore) / n;
}

void BM_MillionRowsCursorDown(benchmark::State& state) { Keys(state, Qt::Key_Down); }
void BM_MillionRowsPageDown(benchmark::State& state) { Keys(state, Qt::Key_PageDown); }
BENCHMARK(BM_MillionRowsCursorDown)->ArgName("revisit")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MillionRowsPageDown)->ArgName("revisit")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A typed change of a column in the column editor on a million rows: the
// grid shows the table as the line would read it, beside a plain repaint.
void BM_ColumnPreview(benchmark::State& state)
{
    Window& window = GetWindow(1000000);
    if (!window.opened) state.SkipWithError("open failed");
    window.view.resize(1280, 800);
    window.view.ShowSection(0, 2, 1);
    QCoreApplication::processEvents();
    static auto* editor = new ColumnEditor(window.doc, window.view, nullptr);  // kept for the whole run
    if (state.range(0) == 1 && !editor->Reset()) state.SkipWithError("no column");
    int step = 0;
    for (auto _ : state) {
        if (state.range(0) == 1) {
            // The address moved by one byte and back: each time the column reads other bytes.
            editor->FieldEdit(ColumnEditor::kAddress).setText(QString::number(1 + (step++ % 2), 16));
        }
        window.view.GridWidget().repaint();
    }
    if (state.range(0) == 1) editor->reject();
}
BENCHMARK(BM_ColumnPreview)->ArgName("preview")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

}  // namespace zok2::bench


int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

