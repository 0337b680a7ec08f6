#include "CliCommands.h"

#include "QtTextCodec.h"
#include "document/CZOKDoc.h"
#include "document/SectionGrid.h"
#include "document/ZOKView.h"
#include "editing/GridEditor.h"
#include "framework/AppPath.h"
#include "framework/RecordingServices.h"
#include "grid/MemoryGrid.h"
#include "text/SjisText.h"

#include <optional>

namespace zok2 {

namespace {

const char* const kUsage =
    "usage: zok2-cli [--root DIR] [--mode NAME] sections FILE\n"
    "       zok2-cli [--root DIR] [--mode NAME] dump FILE [SECTION ...]\n"
    "       zok2-cli [--root DIR] [--mode NAME] paste FILE SECTION ROW COLUMN < text\n";

class StderrMessageBox : public IMessageBox {
public:
    explicit StderrMessageBox(std::string& err) : m_err(err) {}
    void Show(const std::string& text) override { m_err += text + "\n"; }
    Answer Ask(const std::string& text) override
    {
        m_err += text + "\n";
        return Answer::Cancel;
    }

private:
    std::string& m_err;
};

class HeadlessView : public IZOKView {
public:
    void OnUpdate(CView*, long) override {}
    CMSFlexGrid* Grid() override { return &grid; }
    MemoryGrid grid;
};

CliResult UsageError(const std::string& reason)
{
    CliResult result;
    result.status = 2;
    result.err = reason + "\n" + kUsage;
    return result;
}

bool HasTab(const CZOKDoc& doc, std::size_t section) { return !doc.sections[section].empty(); }

// The section with a tab whose definition name is `utf8Name`, or -1.
int FindSection(const CZOKDoc& doc, const std::string& utf8Name)
{
    const std::string name = Utf8ToSjis(utf8Name);
    for (std::size_t i = 0; i < doc.sections.size(); ++i) {
        if (HasTab(doc, i) && doc.definitionNames[i] == name) return static_cast<int>(i);
    }
    return -1;
}

bool ParsePositive(const std::string& text, int* value)
{
    if (text.empty() || text.size() > 9) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    *value = text::ReadDec(text);
    return *value >= 1;
}

void DumpSection(CZOKDoc& doc, HeadlessView& view, int section, std::string& out)
{
    FillSectionGrid(doc, view.grid, section, 1, 1);
    const MemoryGrid& grid = view.grid;
    std::string sjis = "[" + doc.definitionNames[static_cast<std::size_t>(section)] + "]\n";
    for (int r = 0; r < grid.RowCount(); ++r) {
        for (int c = 0; c < grid.ColumnCount(); ++c) {
            if (c > 0) sjis += '\t';
            if (r > 0 || c > 0) sjis += grid.CellText(r, c);
        }
        sjis += '\n';
    }
    out += SjisToUtf8(sjis);
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::string& defaultRoot,
                 const std::function<std::string()>& readInput)
{
    std::string root = defaultRoot;
    std::optional<std::string> mode;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        if (args[i] == "--root" || args[i] == "--mode") {
            if (i + 1 >= args.size()) return UsageError(args[i] + " needs a value");
            (args[i] == "--root" ? root : mode.emplace()) = args[i + 1];
            ++i;
        } else {
            break;
        }
    }
    if (i >= args.size()) return UsageError("no command given");
    const std::string command = args[i++];
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    if (command != "sections" && command != "dump" && command != "paste") return UsageError("unknown command: " + command);
    if (rest.empty()) return UsageError("no FILE given");
    if (command == "sections" && rest.size() != 1) return UsageError("sections takes one FILE");
    if (command == "paste" && rest.size() != 4) return UsageError("paste takes FILE SECTION ROW COLUMN");

    if (!root.empty() && root.back() != '/') root += '/';
    SetProgramPath(root + "zok2");

    CliResult result;
    StderrMessageBox messageBox(result.err);
    QtFileNameCodec fileNames;
    Services services;
    services.messageBox = &messageBox;
    services.fileNames = &fileNames;
    CZOKDoc doc(services);
    if (mode) doc.modeOverride = Utf8ToSjis(*mode);
    HeadlessView view;
    doc.AddView(&view);

    if (!doc.OnOpenDocument(rest[0])) {
        result.status = 1;
        return result;
    }

    if (command == "sections") {
        std::string sjis;
        for (std::size_t s = 0; s < doc.sections.size(); ++s) {
            if (!HasTab(doc, s)) continue;
            sjis += text::FormatDec(static_cast<std::int64_t>(s)) + "\t" + doc.definitionNames[s] + "\t" +
                    text::FormatDec(static_cast<std::int64_t>(doc.RowLabels(static_cast<int>(s)).size())) + "\t" +
                    text::FormatDec(static_cast<std::int64_t>(doc.sections[s].size()));
            if (doc.IsCompressedSection(static_cast<int>(s))) sjis += "\tcompressed";
            sjis += "\n";
        }
        result.out = SjisToUtf8(sjis);
        return result;
    }

    if (command == "dump") {
        std::vector<int> chosen;
        if (rest.size() == 1) {
            for (std::size_t s = 0; s < doc.sections.size(); ++s) {
                if (HasTab(doc, s)) chosen.push_back(static_cast<int>(s));
            }
        } else {
            for (std::size_t n = 1; n < rest.size(); ++n) {
                int section = FindSection(doc, rest[n]);
                if (section < 0) return UsageError("unknown section: " + rest[n]);
                chosen.push_back(section);
            }
        }
        for (std::size_t n = 0; n < chosen.size(); ++n) {
            if (n > 0) result.out += "\n";
            DumpSection(doc, view, chosen[n], result.out);
        }
        return result;
    }

    // paste
    const int section = FindSection(doc, rest[1]);
    if (section < 0) return UsageError("unknown section: " + rest[1]);
    int row = 0, column = 0;
    if (!ParsePositive(rest[2], &row) || !ParsePositive(rest[3], &column)) {
        return UsageError("ROW and COLUMN are numbers from 1");
    }
    FillSectionGrid(doc, view.grid, section, 1, 1);
    if (row >= view.grid.RowCount() || column >= view.grid.ColumnCount()) {
        return UsageError("ROW or COLUMN lies outside section " + rest[1]);
    }
    if (doc.IsCompressedSection(section)) return UsageError("section " + rest[1] + " is compressed and cannot be edited");
    view.grid.SetCurrentRow(row);
    view.grid.SetCurrentColumn(column);

    RecordingClipboard clipboard;
    const std::string input = readInput ? readInput() : std::string();
    if (!input.empty()) clipboard.SetText(Utf8ToSjis(input));
    GridEditor editor(doc, view.grid, clipboard);
    editor.SetCurrentSection(section);
    editor.Paste();
    if (!doc.DoFileSave()) result.status = 1;
    return result;
}

}  // namespace zok2
