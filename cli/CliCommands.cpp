#include "CliCommands.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "checksum/ChecksumFile.h"
#include "document/CZOKDoc.h"
#include "document/HeadlessView.h"
#include "document/SectionGrid.h"
#include "editing/GridEditor.h"
#include "framework/AppPath.h"
#include "framework/DataPlaces.h"
#include "framework/RecordingServices.h"
#include "qt/SjisCodec.h"
#include "compare/Reference.h"
#include "exchange/TableImport.h"
#include "exchange/TableText.h"
#include "framework/File.h"
#include "framework/FileSystem.h"
#include "framework/System.h"
#include "sets/RecordSizes.h"
#include "sets/SetCheck.h"
#include "patch/PatchFile.h"
#include "patch/Patches.h"
#include "search/CellFacts.h"
#include "search/CellSearch.h"
#include "text/SjisText.h"

namespace zok2 {

namespace {

const char* const kUsage =
    "usage: zok2-cli [--root DIR] [--mode NAME] sections FILE\n"
    "       zok2-cli [--root DIR] [--mode NAME] dump FILE [SECTION ...]\n"
    "       zok2-cli [--root DIR] [--mode NAME] paste FILE SECTION ROW COLUMN < text\n"
    "       zok2-cli [--root DIR] [--mode NAME] find [--section NAME] [--whole] [--value] FILE TEXT\n"
    "       zok2-cli [--root DIR] [--mode NAME] info FILE SECTION ROW COLUMN\n"
    "       zok2-cli [--root DIR] [--mode NAME] diff REFERENCE FILE [SECTION ...]\n"
    "       zok2-cli [--root DIR] [--mode NAME] export [--format tsv|csv|json] FILE DIR [SECTION ...]\n"
    "       zok2-cli [--root DIR] [--mode NAME] import FILE DIR|TABLEFILE ...\n"
    "       zok2-cli patch --format ips|bps REFERENCE FILE OUT\n"
    "       zok2-cli [--root DIR] [--mode NAME] apply PATCH FILE [OUT]\n"
    "       zok2-cli [--root DIR] [--mode NAME] check [FILE]\n"
    "       zok2-cli [--root DIR] [--mode NAME] sums [--fix] FILE\n"
    "       zok2-cli strides FILE OFFSET LENGTH\n"
    "       zok2-cli journal list | show FILE\n"
    "       zok2-cli --help | --version\n"
    "Without --root, the profile and the definition sets are those the window uses.\n";

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


// The opened document with its headless view and the messages it showed.
struct Session {
    explicit Session(CliResult& result) : messageBox(result.err)
    {
        services.messageBox = &messageBox;
        services.fileNames = &fileNames;
        doc = std::make_unique<CZOKDoc>(services);
        doc->AddView(&view);
    }
    ~Session() { doc->RemoveView(&view); }

    StderrMessageBox messageBox;
    QtFileNameCodec fileNames;
    Services services;
    HeadlessView view;
    std::unique_ptr<CZOKDoc> doc;
};

// The section with a tab whose definition is named `name` (UTF-8), or -1.
int FindSection(const CZOKDoc& doc, const std::string& name)
{
    for (int s : doc.TabSections()) {
        if (doc.SectionName(s) == name) return s;
    }
    return -1;
}

// The sections named by names[from...] (every tab's when none is named); false
// with the unknown name in *unknown.
bool NamedSections(const CZOKDoc& doc, const std::vector<std::string>& names, std::size_t from, std::vector<int>* sections,
                   std::string* unknown)
{
    for (std::size_t i = from; i < names.size(); ++i) {
        const int section = FindSection(doc, names[i]);
        if (section < 0) {
            *unknown = names[i];
            return false;
        }
        sections->push_back(section);
    }
    if (sections->empty()) *sections = doc.TabSections();
    return true;
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

void RunSections(const CZOKDoc& doc, CliResult& result)
{
    for (int s : doc.TabSections()) {
        result.out += text::FormatDec(s) + "\t" + doc.SectionName(s) + "\t" +
                      text::FormatDec(static_cast<std::int64_t>(doc.RowLabels(s).size())) + "\t" +
                      text::FormatDec(static_cast<std::int64_t>(doc.sections[static_cast<std::size_t>(s)].size()));
        if (doc.IsCompressedSection(s)) result.out += "\tcompressed";
        result.out += "\n";
    }
}

void DumpSection(CZOKDoc& doc, MemoryGrid& grid, int section, std::string& out)
{
    FillSectionGrid(doc, grid, section, 1, 1);
    out += "[" + doc.SectionName(section) + "]\n";
    std::string sjis;
    for (int r = 0; r < grid.RowCount(); ++r) {
        for (int c = 0; c < grid.ColumnCount(); ++c) {
            if (c > 0) sjis += '\t';
            if (r > 0 || c > 0) sjis += grid.CellText(r, c);
        }
        sjis += '\n';
    }
    out += SjisToUtf8(sjis);
}

CliResult RunDump(Session& session, const std::vector<std::string>& names, CliResult& result)
{
    std::vector<int> chosen;
    std::string unknown;
    if (!NamedSections(*session.doc, names, 0, &chosen, &unknown)) return UsageError("unknown section: " + unknown);
    for (std::size_t n = 0; n < chosen.size(); ++n) {
        if (n > 0) result.out += "\n";
        DumpSection(*session.doc, session.view.grid, chosen[n], result.out);
    }
    return result;
}

// The checksums a save wrote, named for the user.
void NoteChecksums(const CZOKDoc& doc, CliResult& result)
{
    if (doc.ChecksumsUpdated().empty()) return;
    std::string names;
    for (const std::string& name : doc.ChecksumsUpdated()) names += (names.empty() ? "" : ", ") + SjisToUtf8(name);
    result.err += "checksums updated: " + names + "\n";
}

CliResult RunPaste(Session& session, const std::vector<std::string>& rest, const std::function<std::string()>& readInput,
                   CliResult& result)
{
    CZOKDoc& doc = *session.doc;
    const int section = FindSection(doc, rest[1]);
    if (section < 0) return UsageError("unknown section: " + rest[1]);
    int row = 0, column = 0;
    if (!ParsePositive(rest[2], &row) || !ParsePositive(rest[3], &column)) return UsageError("ROW and COLUMN are numbers from 1");
    MemoryGrid& grid = session.view.grid;
    FillSectionGrid(doc, grid, section, 1, 1);
    // Refused where the window's paste is disabled or could change nothing.
    if (row >= grid.RowCount() || column >= grid.ColumnCount()) {
        return UsageError("ROW or COLUMN lies outside section " + rest[1], false);
    }
    if (doc.IsCompressedSection(section)) return UsageError("section " + rest[1] + " is compressed and cannot be edited", false);
    if (!doc.HasData(section, column - 1, row - 1)) return UsageError("the cell at ROW and COLUMN holds no value (--)", false);
    if (!doc.IsEditable(section, column - 1, row - 1)) {
        return UsageError("the cell at ROW and COLUMN lies past the end of the file and cannot be edited", false);
    }
    grid.SetCurrentRow(row);
    grid.SetCurrentColumn(column);

    RecordingClipboard clipboard;
    const std::string input = readInput ? readInput() : std::string();
    if (!input.empty()) clipboard.SetText(Utf8ToSjis(input));
    GridEditor editor(doc, grid, clipboard);
    editor.SetCurrentSection(section);
    editor.Paste();
    if (editor.SkippedCells() > 0) {
        result.err += "warning: " + text::FormatDec(editor.SkippedCells()) +
                      " read-only cells (past the end of the file) were left unchanged\n";
    }
    // What the paste rules stored other than as written, as the window's note says it.
    const GridEditor::InputReport& taken = editor.LastInput();
    if (taken.notNumbers > 0) {
        result.err += "warning: " + text::FormatDec(taken.notNumbers) +
                      " texts were no plain numbers and were stored as what could be read of them (0 without digits)\n";
    }
    if (taken.clamped > 0) result.err += "warning: " + text::FormatDec(taken.clamped) + " values were moved into their column's range\n";
    if (taken.cut > 0) result.err += "warning: " + text::FormatDec(taken.cut) + " values were cut to their column's size\n";
    if (!doc.DoFileSave() || doc.SettingsWereKept()) result.status = 1;
    NoteChecksums(doc, result);
    return result;
}

struct FindOptions {
    std::string section;
    bool whole = false, valueOnly = false;
};

// One hit a line: table, grid row, grid column, row label, caption, text shown, offset.
CliResult RunFind(Session& session, const FindOptions& options, const std::string& text, CliResult& result)
{
    CZOKDoc& doc = *session.doc;
    search::SearchQuery query;
    query.text = Utf8ToSjis(text);
    query.whole = options.whole;
    query.valueOnly = options.valueOnly;
    if (!options.section.empty()) {
        query.onlySection = FindSection(doc, options.section);
        if (query.onlySection < 0) return UsageError("unknown section: " + options.section);
    }
    if (options.valueOnly && !search::ReadSearchNumber(query.text)) return UsageError("--value needs a TEXT that is a number");
    const search::CellSearch finder(doc, query);
    for (const search::SearchHit& hit : finder.All(static_cast<std::size_t>(-1))) {
        const auto& columns = doc.sections[static_cast<std::size_t>(hit.section)];
        std::string label, caption, shown, offset;
        if (hit.row > 0) label = std::string(doc.RowLabels(hit.section)[static_cast<std::size_t>(hit.row - 1)]);
        if (hit.column > 0) caption = columns[static_cast<std::size_t>(hit.column - 1)][ColumnField::caption];
        if (hit.row == 0) {
            shown = caption;
        } else if (hit.column == 0) {
            shown = label;
        } else {
            shown = doc.DisplayText(hit.section, hit.column - 1, hit.row - 1);
            if (const ColumnLayout* layout = doc.LayoutOf(hit.section, hit.column - 1)) offset = search::OffsetText(layout->Offset(hit.row - 1));
        }
        result.out += doc.SectionName(hit.section) + "\t" + text::FormatDec(hit.row) + "\t" + text::FormatDec(hit.column) + "\t" +
                      SjisToUtf8(label) + "\t" + SjisToUtf8(caption) + "\t" + SjisToUtf8(shown) + "\t" + offset + "\n";
    }
    if (result.out.empty()) result.status = 1;
    return result;
}

// The facts of one cell, "key: value" a line.
CliResult RunInfo(Session& session, const std::vector<std::string>& rest, CliResult& result)
{
    CZOKDoc& doc = *session.doc;
    const int section = FindSection(doc, rest[1]);
    if (section < 0) return UsageError("unknown section: " + rest[1]);
    int row = 0, column = 0;
    if (!ParsePositive(rest[2], &row) || !ParsePositive(rest[3], &column)) return UsageError("ROW and COLUMN are numbers from 1");
    const std::optional<search::CellFacts> facts = search::DescribeCell(doc, section, row, column);
    if (!facts) return UsageError("ROW or COLUMN lies outside section " + rest[1], false);
    static const char* const kStates[] = {"editable", "none", "compressed", "past-end"};
    const bool valued = facts->state != search::CellState::None;
    const bool placed = facts->offset >= 0;
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", facts->value);
    result.out += "table: " + facts->table + "\n";
    result.out += "row: " + SjisToUtf8(facts->rowLabel) + "\n";
    result.out += "caption: " + SjisToUtf8(facts->caption) + "\n";
    result.out += std::string("state: ") + kStates[static_cast<int>(facts->state)] + "\n";
    result.out += "offset: " + (placed ? search::OffsetText(facts->offset) : std::string()) + "\n";
    result.out += "size: " + (facts->bit >= 0 ? "bit " + text::FormatDec(facts->bit) : text::FormatDec(facts->byteCount)) + "\n";
    result.out += "bytes: " + search::HexPairs(facts->bytes) + "\n";
    result.out += "hex: " + (valued ? std::string(hex) : std::string()) + "\n";
    result.out += "signed: " + (valued ? text::FormatDec(facts->signedValue) : std::string()) + "\n";
    result.out += "unsigned: " + (valued ? text::FormatDec(static_cast<std::int64_t>(facts->value)) : std::string()) + "\n";
    return result;
}

// The cells whose values differ between REFERENCE and FILE, one a line.
CliResult RunDiff(Session& session, const std::vector<std::string>& rest, CliResult& result)
{
    CZOKDoc& doc = *session.doc;
    std::vector<int> chosen;
    std::string unknown;
    if (!NamedSections(doc, rest, 2, &chosen, &unknown)) return UsageError("unknown section: " + unknown);
    const std::unique_ptr<CZOKDoc> reference = compare::OpenReference(doc, rest[0]);
    if (!reference) {
        result.status = 1;
        result.err += rest[0] + ": the reference could not be read\n";
        return result;
    }
    std::vector<search::SearchHit> cells;
    for (int section : chosen) {
        const std::vector<search::SearchHit> some = compare::DifferingCells(doc, *reference, section);
        cells.insert(cells.end(), some.begin(), some.end());
    }
    for (const search::SearchHit& cell : cells) {
        const std::string label(compare::RowLabelOf(doc, *reference, cell.section, cell.row));
        const std::string& caption = doc.sections[static_cast<std::size_t>(cell.section)][static_cast<std::size_t>(cell.column - 1)][ColumnField::caption];
        std::string offset;
        if (const ColumnLayout* layout = doc.LayoutOf(cell.section, cell.column - 1)) offset = search::OffsetText(layout->Offset(cell.row - 1));
        auto shown = [&](const CZOKDoc& d) {
            // A cell past the end of its file holds nothing there.
            const bool held = d.HasData(cell.section, cell.column - 1, cell.row - 1) &&
                              (d.IsCompressedSection(cell.section) || d.IsEditable(cell.section, cell.column - 1, cell.row - 1));
            return held ? SjisToUtf8(d.DisplayText(cell.section, cell.column - 1, cell.row - 1)) : std::string();
        };
        result.out += doc.SectionName(cell.section) + "\t" + text::FormatDec(cell.row) + "\t" + text::FormatDec(cell.column) + "\t" +
                      SjisToUtf8(label) + "\t" + SjisToUtf8(caption) + "\t" + shown(*reference) + "\t" + shown(doc) + "\t" + offset + "\n";
    }
    if (!cells.empty()) result.status = 1;
    return result;
}


// One file a table, named after it, in DIR.
CliResult RunExport(Session& session, const std::string& format, const std::vector<std::string>& rest, CliResult& result)
{
    CZOKDoc& doc = *session.doc;
    std::vector<int> chosen;
    std::string unknown;
    if (!NamedSections(doc, rest, 2, &chosen, &unknown)) return UsageError("unknown section: " + unknown);
    std::error_code error;
    std::filesystem::create_directories(fs::sys::PathOf(rest[1]), error);
    if (!fs::IsFolder(rest[1])) return FileError(rest[1], error ? error.message() : "not a folder");
    for (int section : chosen) {
        const exchange::Rows rows = exchange::ConvertCells(exchange::ExportRows(doc, section), SjisToUtf8);
        const std::string text = format == "csv" ? exchange::WriteCsv(rows) : format == "json" ? exchange::WriteJson(rows) : exchange::WriteTsv(rows);
        const std::string path = rest[1] + "/" + doc.SectionName(section) + "." + format;
        std::string reason;
        if (!fs::WriteFileAtomically(path, text, &reason)) return FileError(path, reason);
    }
    return result;
}

// Table files matched to their tables by name, checked whole: when every file
// fits its table, only the texts that changed are stored, then the file is saved;
// otherwise nothing is stored and every problem is named.
CliResult RunImport(Session& session, const std::vector<std::string>& rest, CliResult& result)
{
    CZOKDoc& doc = *session.doc;
    std::vector<std::string> files;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        if (fs::IsFolder(rest[i])) {
            for (const char* extension : {".tsv", ".csv", ".json"}) {
                for (const std::string& name : fs::FindFilesWithExtension(rest[i], extension)) files.push_back(rest[i] + "/" + name);
            }
        } else {
            files.push_back(rest[i]);
        }
    }
    std::vector<std::pair<std::string, exchange::TableImport>> checked;
    bool accepted = true;
    for (const std::string& path : files) {
        const std::string name = fs::sys::TextOf(fs::sys::PathOf(path).stem());
        const std::string extension = fs::sys::TextOf(fs::sys::PathOf(path).extension());
        const int section = FindSection(doc, name);
        if (section < 0) return UsageError(path + ": no table is named " + name);
        if (doc.IsCompressedSection(section)) {
            result.err += "note: " + path + ": table " + name + " is compressed and cannot be edited; skipped\n";
            continue;
        }
        std::string text, reason;
        if (!fs::ReadFile(path, text, &reason)) return FileError(path, reason);
        exchange::Rows rows;
        if (!exchange::ReadTable(extension, text, &rows, &reason)) return UsageError(path + ": " + reason + "; nothing was stored", false);
        exchange::TableImport check = exchange::CheckImport(doc, section, exchange::ConvertCells(std::move(rows), Utf8ToSjis));
        const std::string where = path + ": table " + name + ": ";
        if (check.refusal.kind != exchange::ImportRefusal::Kind::None) {
            result.err += where + exchange::DescribeRefusal(check.refusal, SjisToUtf8) + "\n";
        }
        for (const exchange::ImportProblem& problem : check.problems) result.err += where + exchange::DescribeProblem(problem, SjisToUtf8) + "\n";
        if (check.problemCount > check.problems.size()) {
            result.err += where + "and " + text::FormatDec(static_cast<std::int64_t>(check.problemCount - check.problems.size())) + " more problems\n";
        }
        accepted = accepted && check.Accepted();
        checked.emplace_back(path, std::move(check));
    }
    if (!accepted) {
        result.status = 2;
        result.err += "nothing was stored\n";
        return result;
    }
    for (const auto& [path, check] : checked) {
        exchange::ApplyImport(doc, check);
        if (check.matchedByName) result.err += "note: " + path + ": the rows were matched by name (their order differs from the table's)\n";
        if (check.readOnly > 0) {
            result.err += "warning: " + path + ": " + text::FormatDec(static_cast<std::int64_t>(check.readOnly)) +
                          " read-only cells (past the end of the file) were left unchanged\n";
        }
    }
    if (!doc.IsModified()) return result;  // nothing changed: nothing to save
    if (!doc.DoFileSave() || doc.SettingsWereKept()) result.status = 1;
    NoteChecksums(doc, result);
    return result;
}


// A patch from REFERENCE to FILE, byte for byte (no definition set is needed).
// Record sizes proposed for the bytes of FILE from OFFSET (hexadecimal), LENGTH
// bytes (hexadecimal, at most 1 MiB): stride, how well it fits, whole records.
CliResult RunStrides(const std::vector<std::string>& args)
{
    if (args.size() != 3) return UsageError("strides takes FILE OFFSET LENGTH");
    auto hex = [](const std::string& text, std::uint64_t* value) {
        if (text.empty() || text.size() > 16) return false;
        std::size_t at = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0 ? 2 : 0;
        if (at == text.size()) return false;
        std::uint64_t v = 0;
        for (; at < text.size(); ++at) {
            const char c = text[at];
            const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (digit < 0) return false;
            v = v * 16 + static_cast<std::uint64_t>(digit);
        }
        *value = v;
        return true;
    };
    std::uint64_t offset = 0, length = 0;
    if (!hex(args[1], &offset)) return UsageError("OFFSET is hexadecimal: " + args[1]);
    if (!hex(args[2], &length) || length < 4 || length > (1u << 20)) return UsageError("LENGTH is hexadecimal, 4 to 100000 (1 MiB): " + args[2]);
    fs::File file;
    if (!file.Open(args[0], fs::File::Mode::Read)) return FileError(args[0], file.Reason());
    if (offset >= static_cast<std::uint64_t>(file.Size()) || length > static_cast<std::uint64_t>(file.Size()) - offset) {
        return UsageError(args[0] + ": the range lies past the end of the file (" + std::to_string(file.Size()) + " bytes)");
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (file.ReadAt(static_cast<std::int64_t>(offset), bytes.data(), bytes.size()) != static_cast<std::int64_t>(bytes.size())) {
        return FileError(args[0], file.Reason().empty() ? "cannot read the range" : file.Reason());
    }
    CliResult result;
    for (const sets::RecordSize& size : sets::ProposeRecordSizes(bytes)) {
        char score[16];
        std::snprintf(score, sizeof score, "%.3f", size.score);
        result.out += text::FormatHex(static_cast<std::uint32_t>(size.stride)) + "\t" + score + "\t" + std::to_string(size.records) + "\n";
    }
    return result;
}

std::string PlaceNoteText(const PlaceNote& note)
{
    std::string text;
    switch (note.kind) {
    case PlaceNote::Kind::CannotCreateFolder: text = "cannot create " + note.path + "; settings are not saved"; break;
    case PlaceNote::Kind::CannotWriteProfile: text = "cannot write the profile " + note.path + "; settings are not saved"; break;
    case PlaceNote::Kind::ProfileMoved: text = "the program's folder cannot be written; its profile is kept in " + note.path; break;
    }
    return note.reason.empty() ? text : text + " (" + note.reason + ")";
}

}  // namespace

CliResult UsageError(const std::string& reason, bool withUsage)
{
    CliResult result;
    result.status = 2;
    result.err = reason + "\n" + (withUsage ? kUsage : "");
    return result;
}

CliResult FileError(const std::string& path, const std::string& reason)
{
    CliResult result;
    result.status = 1;
    result.err = path + ": " + reason + "\n";
    return result;
}

CliResult RunCli(const std::vector<std::string>& args, const std::string& defaultRoot,
                 const std::function<std::string()>& readInput)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) return CliResult{0, kUsage, ""};
    if (args.size() == 1 && args[0] == "--version") return CliResult{0, std::string("zok2-cli ") + ZOK2_VERSION + "\n", ""};
    std::string root;  // "" without --root: the places the window uses
    std::optional<std::string> mode;
    std::size_t i = 0;
    for (; i < args.size() && (args[i] == "--root" || args[i] == "--mode"); i += 2) {
        if (i + 1 >= args.size()) return UsageError(args[i] + " needs a value");
        (args[i] == "--root" ? root : mode.emplace()) = args[i + 1];
    }
    if (i >= args.size()) return UsageError("no command given");
    const std::string command = args[i++];
    std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    // Patches work on bytes alone: no definition set, no document.
    if (command == "patch") return RunPatch(rest);
    // A patch applied with a set named keeps the set's checksums right; without one it is bytes alone.
    if (command == "apply" && root.empty() && !mode) return RunApply(rest, nullptr, CliResult{});
    if (command == "strides") return RunStrides(rest);
    if (command == "journal") return RunJournal(rest);
    if (command != "sections" && command != "dump" && command != "paste" && command != "find" && command != "info" && command != "diff" &&
        command != "export" && command != "import" && command != "check" && command != "sums" && command != "apply") {
        return UsageError("unknown command: " + command);
    }
    FindOptions find;
    while (command == "find" && !rest.empty() && rest[0].rfind("--", 0) == 0) {
        if (rest[0] == "--whole") {
            find.whole = true;
        } else if (rest[0] == "--value") {
            find.valueOnly = true;
        } else if (rest[0] == "--section" && rest.size() > 1) {
            find.section = rest[1];
            rest.erase(rest.begin());
        } else {
            return UsageError("unknown option of find: " + rest[0]);
        }
        rest.erase(rest.begin());
    }
    std::string format = "tsv";
    if (command == "export" && rest.size() >= 2 && rest[0] == "--format") {
        format = rest[1];
        if (format != "tsv" && format != "csv" && format != "json") return UsageError("--format is tsv, csv or json");
        rest.erase(rest.begin(), rest.begin() + 2);
    }
    if (command == "check" && rest.size() > 1) return UsageError("check takes at most one FILE");
    const bool fix = command == "sums" && !rest.empty() && rest[0] == "--fix";
    if (fix) rest.erase(rest.begin());
    if (command == "sums" && rest.size() != 1) return UsageError("sums takes [--fix] FILE");
    if (rest.empty() && command != "check") return UsageError("no FILE given");
    if (command == "export" && rest.size() < 2) return UsageError("export takes FILE DIR [SECTION ...]");
    if (command == "import" && rest.size() < 2) return UsageError("import takes FILE DIR|TABLEFILE ...");
    if (command == "sections" && rest.size() != 1) return UsageError("sections takes one FILE");
    if (command == "paste" && rest.size() != 4) return UsageError("paste takes FILE SECTION ROW COLUMN");
    if (command == "find" && (rest.size() != 2 || rest[1].empty())) return UsageError("find takes FILE TEXT");
    if (command == "info" && rest.size() != 4) return UsageError("info takes FILE SECTION ROW COLUMN");
    if (command == "diff" && rest.size() < 2) return UsageError("diff takes REFERENCE FILE [SECTION ...]");
    if (command == "apply" && rest.size() != 2 && rest.size() != 3) return UsageError("apply takes PATCH FILE [OUT]");
    // diff opens FILE, apply the file patched; a reference is read as FILE is.
    const std::string opened = command == "diff" || command == "apply" ? rest[1] : rest.empty() ? std::string() : rest[0];

    CliResult result;
    const std::string programFolder = defaultRoot.empty() || defaultRoot.back() == '/' ? defaultRoot : defaultRoot + "/";
    const DataPlaces places = UsePlaces(root, programFolder + "zok2-cli", ZOK2_BUNDLED_RELATIVE);
    for (const PlaceNote& note : PreparePlaces(places, programFolder)) result.err += "note: " + PlaceNoteText(note) + "\n";

    Session session(result);
    if (command == "check") return RunCheck(*session.doc, mode, rest, std::move(result));
    if (mode) session.doc->modeOverride = *mode;  // a folder name, as the file system spells it
    // The result takes the address correction of where it goes.
    if (command == "apply") session.doc->correctionPathOverride = rest.back();
    if (!session.doc->OnOpenDocument(opened)) {
        result.status = 1;
        return result;
    }
    if (command == "sections") {
        RunSections(*session.doc, result);
        return result;
    }
    if (command == "apply") {
        // Only the set's rules are needed; the file is let go, so that it can be replaced (Windows
        // refuses to replace a file that is open).
        const checksum::SetRules rules = checksum::ReadSetRules(session.doc->definitionFolder, session.doc->addressCorrection);
        session.doc->ClearContents();
        return RunApply(rest, &rules, std::move(result));
    }
    if (command == "sums") {
        CliResult sums = RunSums(*session.doc, opened, fix);
        sums.err = result.err + sums.err;
        return sums;
    }
    if (command == "dump") return RunDump(session, std::vector<std::string>(rest.begin() + 1, rest.end()), result);
    if (command == "find") return RunFind(session, find, rest[1], result);
    if (command == "info") return RunInfo(session, rest, result);
    if (command == "diff") return RunDiff(session, rest, result);
    if (command == "export") return RunExport(session, format, rest, result);
    if (command == "import") return RunImport(session, rest, result);
    return RunPaste(session, rest, readInput, result);
}

}  // namespace zok2
