// The places a user of the window waits, each beside its floor in the same run:
// - opening a set of many small tables in the window, beside the same open with
//   no window (as zok2-cli opens); a one-table set gives each side's start;
// - Ctrl+C, Ctrl+V, Ctrl+Z and Ctrl+Y of 100,000 x 10 cells, beside snprintf
//   (copy) or snprintf and strtoul (the others) of the same cells;
// - one cursor move with five list columns over a 5,000-entry list, beside the
//   same table shown in hexadecimal.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>

#include "BigSet.h"
#include "document/CZOKDoc.h"
#include "document/HeadlessView.h"
#include "editing/GridEditor.h"
#include "framework/AppPath.h"
#include "qt/QtServices.h"
#include "view/CZOKView.h"
#include "app/InfoLine.h"

namespace zok2::bench {

namespace {

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string NewRoot(const std::string& mode)
{
    char pattern[] = "/tmp/zok2-waits-XXXXXX";
    const std::string root = std::string(mkdtemp(pattern)) + "/";
    std::filesystem::create_directories(root + "Settings/" + mode);
    Write(root + "zok2.ini", "[Setting]\r\nmode=" + mode + "\r\n");
    return root;
}

// ---- opening many tables ----

void OpenTables(benchmark::State& state, bool window)
{
    const BigSet& set = GetManyDefinitions(static_cast<int>(state.range(0)), false);
    SetProgramPath(set.root + "zok2");
    CZOKDoc doc;
    HeadlessView headless;
    QtClipboard clipboard;
    std::unique_ptr<CZOKView> view;
    if (window) {
        view = std::make_unique<CZOKView>(doc, clipboard);
        view->resize(1280, 800);
        view->show();
    } else {
        doc.AddView(&headless);
    }
    QCoreApplication::processEvents();
    for (auto _ : state) {
        if (!doc.OnOpenDocument(set.binaryPath)) state.SkipWithError("open failed");
        // The window's open ends when its first screen is painted.
        if (view) view->repaint();
    }
    if (!window) doc.RemoveView(&headless);
    state.counters["tables"] = static_cast<double>(state.range(0));
}

void BM_OpenTablesWithoutWindow(benchmark::State& state) { OpenTables(state, false); }
void BM_OpenTablesInWindow(benchmark::State& state) { OpenTables(state, true); }
BENCHMARK(BM_OpenTablesWithoutWindow)->Arg(1)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenTablesInWindow)->Arg(1)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- the clipboard commands on 100,000 x 10 cells ----

constexpr int kRows = 100000, kColumns = 10;

struct WideWindow {
    WideWindow() : view(doc, clipboard)
    {
        const std::string root = NewRoot("wide");
        std::string labels;
        for (int r = 0; r < kRows; ++r) labels += "row " + std::to_string(r) + "\r\n";
        Write(root + "Settings/wide/wide.idn", labels);
        Write(root + "Settings/wide/wide.ini",
              "0,A,1,20\r\n1,B,2,20,,16\r\n3,C,3,20,,10\r\n6,D,4,20,,10\r\nA,E,1,20,,-10\r\nB,F,2,20,,-10\r\n"
              "D,G,4,20,,16\r\n11,H,1,20,,16,.0F\r\n12,I,2,20\r\n14,J,4,20,,10\r\n");
        std::vector<char> bytes(static_cast<std::size_t>(kRows) * 0x20);
        std::mt19937 rng(7);
        for (char& b : bytes) b = static_cast<char>(rng());
        binary = root + "wide.bin";
        std::ofstream(binary, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        SetProgramPath(root + "zok2");
        view.resize(1280, 800);
        view.show();
        QCoreApplication::processEvents();
        opened = doc.OnOpenDocument(binary);
        QCoreApplication::processEvents();
        view.GridWidget().setFocus();
    }
    void SelectAll()
    {
        QtFlexGrid& grid = view.GridWidget();
        grid.SetCurrentRow(1);
        grid.SetCurrentColumn(1);
        grid.SetSelEndRow(kRows);
        grid.SetSelEndColumn(kColumns);
    }
    CZOKDoc doc;
    QtClipboard clipboard;
    CZOKView view;
    std::string binary;
    bool opened = false;
};

// Kept for the whole run; never destroyed after the application it lives in.
WideWindow& Wide()
{
    static WideWindow* window = new WideWindow;
    return *window;
}

std::vector<std::uint32_t> FloorValues()
{
    std::vector<std::uint32_t> values(static_cast<std::size_t>(kRows) * kColumns);
    std::mt19937 rng(9);
    for (auto& v : values) v = static_cast<std::uint32_t>(rng());
    return values;
}

// Copy's floor: every cell formatted with snprintf into one text.
void BM_CopyFloor(benchmark::State& state)
{
    const std::vector<std::uint32_t> values = FloorValues();
    for (auto _ : state) {
        std::string text;
        text.reserve(values.size() * 8);
        char buffer[16];
        for (std::size_t i = 0; i < values.size(); ++i) {
            const int n = std::snprintf(buffer, sizeof buffer, (i % 2) ? "%u" : "0X%08X", values[i]);
            text.append(buffer, static_cast<std::size_t>(n));
            text += (i + 1) % kColumns ? '\t' : '\n';
        }
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_CopyFloor)->Unit(benchmark::kMillisecond);

// The other commands' floor: every cell formatted (the undo record) and every cell parsed back.
void BM_FormatAndParseFloor(benchmark::State& state)
{
    const std::vector<std::uint32_t> values = FloorValues();
    std::vector<std::uint32_t> parsed(values.size());
    for (auto _ : state) {
        std::string text;
        text.reserve(values.size() * 8);
        char buffer[16];
        for (std::size_t i = 0; i < values.size(); ++i) {
            const int n = std::snprintf(buffer, sizeof buffer, "%u", values[i]);
            text.append(buffer, static_cast<std::size_t>(n));
            text += (i + 1) % kColumns ? '\t' : '\n';
        }
        const char* p = text.c_str();
        for (std::size_t i = 0; i < parsed.size(); ++i) {
            char* end = nullptr;
            parsed[i] = static_cast<std::uint32_t>(std::strtoul(p, &end, 10));
            p = end + 1;
        }
        benchmark::DoNotOptimize(parsed.data());
    }
}
BENCHMARK(BM_FormatAndParseFloor)->Unit(benchmark::kMillisecond);

// What the user waits for after the key: the command and its repaint.
void Settle(WideWindow& w)
{
    QCoreApplication::processEvents();
    w.view.GridWidget().repaint();
}

void BM_CopyAllCells(benchmark::State& state)
{
    WideWindow& w = Wide();
    if (!w.opened) state.SkipWithError("open failed");
    w.SelectAll();
    for (auto _ : state) {
        w.view.Copy();
        Settle(w);
    }
}
BENCHMARK(BM_CopyAllCells)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PasteAllCells(benchmark::State& state)
{
    WideWindow& w = Wide();
    w.SelectAll();
    w.view.Copy();
    for (auto _ : state) {
        w.SelectAll();
        w.view.Paste();
        Settle(w);
    }
}
BENCHMARK(BM_PasteAllCells)->Unit(benchmark::kMillisecond)->UseRealTime();

// Ctrl+Z after a paste of every cell, or Ctrl+Y after its undo.
void UndoOrRedoAllCells(benchmark::State& state, bool redo)
{
    WideWindow& w = Wide();
    w.SelectAll();
    w.view.Copy();
    for (auto _ : state) {
        state.PauseTiming();
        w.SelectAll();
        w.view.Paste();
        if (redo) w.view.Undo();
        Settle(w);
        state.ResumeTiming();
        if (redo) {
            w.view.Redo();
        } else {
            w.view.Undo();
        }
        Settle(w);
    }
}

void BM_UndoAllCells(benchmark::State& state) { UndoOrRedoAllCells(state, false); }
void BM_RedoAllCells(benchmark::State& state) { UndoOrRedoAllCells(state, true); }
BENCHMARK(BM_UndoAllCells)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RedoAllCells)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- a cursor move over list columns ----

struct ListWindow {
    ListWindow() : view(doc, clipboard)
    {
        const std::string root = NewRoot("lists");
        std::string entries;
        for (int i = 0; i < 5000; ++i) {
            char line[48];
            std::snprintf(line, sizeof line, "%X entry %d\r\n", i, i);
            entries += line;
        }
        Write(root + "Settings/lists/names.idn", entries);
        std::string labels;
        for (int r = 0; r < 1000; ++r) labels += "row " + std::to_string(r) + "\r\n";
        Write(root + "Settings/lists/table.idn", labels);
        std::string ini;
        for (int c = 0; c < 5; ++c) ini += std::to_string(c * 2) + ",L" + std::to_string(c) + ",2,10,,0,,,,names.idn\r\n";
        Write(root + "Settings/lists/table.ini", ini);
        std::vector<char> bytes(0x10 * 1000);
        std::mt19937 rng(3);
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            const int v = static_cast<int>(rng() % 5000);
            bytes[i] = static_cast<char>(v & 0xFF);
            bytes[i + 1] = static_cast<char>(v >> 8);
        }
        const std::string binary = root + "table.bin";
        std::ofstream(binary, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        SetProgramPath(root + "zok2");
        view.resize(1280, 800);
        view.show();
        QCoreApplication::processEvents();
        opened = doc.OnOpenDocument(binary);
        QCoreApplication::processEvents();
        view.GridWidget().setFocus();
    }
    CZOKDoc doc;
    QtClipboard clipboard;
    CZOKView view;
    bool opened = false;
};

ListWindow& Lists()
{
    static ListWindow* window = new ListWindow;
    return *window;
}

void CursorMoves(benchmark::State& state, const char* radix, int infoLine = 0)
{
    ListWindow& w = Lists();
    // As the window's status bar does: the information line after every move, shown.
    InfoLine line;
    line.resize(800, 20);
    if (infoLine == 1) line.show();
    w.view.stateChanged = [&] {
        if (infoLine == 1) {
            line.SetText(w.view.InfoLine());
            line.repaint();
        } else if (infoLine == 2) {
            benchmark::DoNotOptimize(w.view.InfoLine());  // the text alone, not drawn
        }
    };
    if (!w.opened) state.SkipWithError("open failed");
    // The table's section (the list's own definition, without columns, has no tab).
    const int section = w.view.TabItems().empty() ? 0 : w.view.TabItems().front().section;
    if (w.doc.sections[static_cast<std::size_t>(section)].size() != 5) state.SkipWithError("the table is not shown");
    for (ColumnDefinition& d : w.doc.sections[static_cast<std::size_t>(section)]) d[ColumnField::radix] = radix;
    w.view.ShowSection(section, 1, 1);
    QtFlexGrid& grid = w.view.GridWidget();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        // Down from the last row on screen: every move scrolls, so every list cell on screen is drawn again.
        if (grid.CurrentRow() >= grid.RowCount() - 1) {
            state.PauseTiming();
            grid.SetCurrentRow(1);
            grid.SetFirstVisibleRow(1);
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
        while (grid.RowVisible(grid.CurrentRow() + 1) && grid.CurrentRow() + 1 < grid.RowCount() - 1) grid.SetCurrentRow(grid.CurrentRow() + 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(&grid, &press);
        QCoreApplication::processEvents();
        grid.repaint();
    }
    w.view.stateChanged = nullptr;  // the label goes with this function
}

void BM_CursorMoveHex(benchmark::State& state) { CursorMoves(state, "16", static_cast<int>(state.range(0))); }
void BM_CursorMoveLists(benchmark::State& state) { CursorMoves(state, "0"); }
BENCHMARK(BM_CursorMoveHex)->ArgName("infoline")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CursorMoveLists)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

}  // namespace zok2::bench
