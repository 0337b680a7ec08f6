// A column line as the column editor takes it from the user: checked, read,
// written back in the settings writer's form and put into a column file. The
// written line reads back as the same column, the check of a line the reader
// drops says so with an error, and the changed file holds the column where it was.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "definitions/ColumnParser.h"
#include "saving/SettingsWriter.h"
#include "sets/SetCheck.h"
#include "sets/SetWriting.h"
#include "text/SjisText.h"

namespace {

using namespace zok2;

// The column's fields as they read, with a value list by its items rather than
// its index (a list without a usable item reads as no list: it shows nothing).
std::vector<std::string> Read(const ColumnDefinition& d, const DefinitionTables& tables)
{
    std::vector<std::string> fields(d.fields.begin(), d.fields.end());
    // A stride is read as its number (hexadecimal, or a bit count after a dot):
    // the writer leaves one equal to the size empty, and the size's text stands in.
    std::string& stride = fields[static_cast<std::size_t>(ColumnField::stride)];
    stride = !stride.empty() && stride[0] == '.' ? "." + std::to_string(text::ReadDec(std::string_view(stride).substr(1)))
                                                 : text::FormatHex(text::ReadHex(stride));
    const std::string& list = d[ColumnField::listIndex];
    if (!list.empty()) {
        const std::size_t index = static_cast<std::size_t>(std::atoi(list.c_str()));
        fields[static_cast<std::size_t>(ColumnField::listIndex)] = "list:";
        if (index < tables.lists.size()) {
            for (std::string_view item : tables.lists[index]) fields[static_cast<std::size_t>(ColumnField::listIndex)] += std::string(item) + "\n";
        }
        if (fields[static_cast<std::size_t>(ColumnField::listIndex)] == "list:") fields[static_cast<std::size_t>(ColumnField::listIndex)].clear();
    }
    // List display without a list is signed decimal, as the reader makes it (the writer
    // leaves a list without a usable item out, and the reader then shows the numbers).
    if (fields[static_cast<std::size_t>(ColumnField::listIndex)].empty() && fields[static_cast<std::size_t>(ColumnField::radix)] == "0") {
        fields[static_cast<std::size_t>(ColumnField::radix)] = "-10";
    }
    return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string folder = fuzz::ProcessFolder("columnline");
    const std::vector<std::string> parts = fuzz::Parts(std::string(reinterpret_cast<const char*>(data), size), 3);
    std::string line = parts[0];
    for (char& c : line) {
        if (c == '\r' || c == '\n') c = ' ';  // the editor's fields hold one line
    }
    const std::size_t labelCount = parts[1].empty() ? 0 : static_cast<unsigned char>(parts[1][0]);
    sets::SetCheckInput input;
    input.folder = folder;
    input.toSjis = [](const std::string& name) { return std::optional<std::string>(name); };
    const std::vector<sets::SetProblem> problems = sets::CheckColumnLine(input, "a.ini", line, labelCount);
    bool error = false, shiftJis = true;
    for (const sets::SetProblem& p : problems) {
        if (p.line != 1 || p.file != "a.ini") std::abort();
        error = error || p.severity == sets::Severity::Error;
        shiftJis = shiftJis && p.kind != sets::ProblemKind::NotShiftJis;
    }

    DefinitionTables tables;
    const std::optional<ColumnDefinition> parsed = ParseColumnLine(line, labelCount, 0, tables);
    const std::size_t comma = line.find(',');
    const std::size_t slashes = line.find("//");
    const bool columnLine = comma != std::string::npos && (slashes == std::string::npos || comma < slashes) && line.rfind("COMPRESS_INFO,", 0) != 0;
    if (!parsed) {
        if (columnLine && !error) std::abort();  // dropped without an error said
        return 0;
    }
    // The editor's fields come as Shift-JIS it can write; bytes that are none are not a line it writes.
    if (!shiftJis) return 0;
    // Nor does it take a size with more than its number ("1x"): the writer would leave out a stride
    // equal to the number, and the reader would then take the size's text for the stride.
    const std::string& typedSize = (*parsed)[ColumnField::size];
    const bool cleanSize = (typedSize.size() == 1 && typedSize[0] >= '1' && typedSize[0] <= '4') || (typedSize.size() == 2 && typedSize[0] == '.' && typedSize[1] >= '0' && typedSize[1] <= '7');
    if (!cleanSize) return 0;
    const std::string written = WrittenColumnLine(*parsed, labelCount, tables);
    DefinitionTables again;
    const std::optional<ColumnDefinition> reread = ParseColumnLine(written, labelCount, 0, again);
    if (!reread || Read(*reread, again) != Read(*parsed, tables)) std::abort();

    // Into a column file: the column stands where it was, the other lines kept.
    if (const std::optional<std::string> changed = sets::ChangeColumnLine(parts[2], sets::ColumnChange::Replace, 0, written)) {
        DefinitionTables before, after;
        before.lists.resize(1);
        after.lists.resize(1);
        const Section old = ParseColumnFile(parts[2], 0, before);
        const Section now = ParseColumnFile(*changed, 0, after);
        if (now.empty() || now.size() != old.size()) std::abort();
        for (std::size_t c = 1; c < now.size(); ++c) {
            if (Read(now[c], after) != Read(old[c], before)) std::abort();
        }
    }
    return 0;
}
