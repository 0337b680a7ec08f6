#include "sets/SetWriting.h"

#include "definitions/ColumnParser.h"
#include "definitions/DefinitionText.h"
#include "framework/FileSystem.h"
#include "framework/System.h"
#include "text/SjisText.h"

namespace zok2::sets {

namespace {

struct RawLine {
    std::string_view text;  // without its line end
    std::string_view end;   // "\r\n", "\n" or "" (the last line)
};

std::vector<RawLine> RawLines(std::string_view content)
{
    std::vector<RawLine> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t lf = content.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.push_back({content.substr(start), {}});
            break;
        }
        const std::size_t stop = lf > start && content[lf - 1] == '\r' ? lf - 1 : lf;
        lines.push_back({content.substr(start, stop - start), content.substr(stop, lf + 1 - stop)});
        start = lf + 1;
    }
    return lines;
}

std::string Hex(std::uint32_t value) { return text::FormatHex(value); }

}  // namespace

std::optional<std::string> ChangeColumnLine(std::string_view content, ColumnChange change, int index, const std::string& line)
{
    const std::vector<RawLine> lines = RawLines(content);
    std::string_view lineEnd = "\r\n";
    for (const RawLine& raw : lines) {
        if (!raw.end.empty()) {
            lineEnd = raw.end;
            break;
        }
    }
    // Where the columns start: after the comments and blank lines heading the file.
    std::size_t firstColumn = lines.size();
    std::vector<std::size_t> columns;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (IsColumnLine(StripComment(lines[i].text).first)) {
            if (columns.empty()) firstColumn = i;
            columns.push_back(i);
        }
    }
    if (index < -1 || index >= static_cast<int>(columns.size()) || (index == -1 && change != ColumnChange::InsertAfter)) return std::nullopt;
    std::size_t insertAt = index < 0 ? std::min(firstColumn, lines.size()) : columns[static_cast<std::size_t>(index)];
    std::string out;
    out.reserve(content.size() + line.size() + 2);
    for (std::size_t i = 0; i <= lines.size(); ++i) {
        if (change == ColumnChange::InsertAfter && index < 0 && i == insertAt) out.append(line).append(lineEnd);
        if (i == lines.size()) break;
        const RawLine& raw = lines[i];
        const bool target = index >= 0 && i == insertAt;
        if (target && change == ColumnChange::Remove) continue;
        if (target && change == ColumnChange::Replace) {
            out.append(line).append(raw.end.empty() ? std::string_view() : raw.end);
            continue;
        }
        out.append(raw.text).append(raw.end);
        if (target && change == ColumnChange::InsertAfter) {
            if (raw.end.empty()) out.append(lineEnd);  // the last line gets its end first
            out.append(line).append(raw.end.empty() ? std::string_view() : raw.end);
        }
    }
    return out;
}

TableFiles MakeTableFiles(const NewTable& table, std::uint32_t addressCorrection)
{
    TableFiles files;
    std::vector<std::string> labels = table.labels;
    if (labels.empty()) {
        // Numbered in hexadecimal, as wide as the last number needs (at least two digits).
        const std::size_t last = table.records > 0 ? table.records - 1 : 0;
        int digits = 2;
        while (digits < 8 && (last >> (4 * digits)) != 0) ++digits;
        for (std::size_t i = 0; i < table.records; ++i) labels.push_back(text::FormatHexPadded(static_cast<std::uint32_t>(i), digits));
    }
    for (const std::string& label : labels) files.rowNames += label + "\r\n";
    // The written form: fields at their default left empty.
    const int size = table.size < 1 ? 1 : table.size > 4 ? 4 : table.size;
    const std::string stride = table.recordSize == static_cast<std::uint32_t>(size) ? std::string() : Hex(table.recordSize);
    const std::string radix = table.radix == -10 ? std::string() : std::to_string(table.radix);
    files.columns = Hex(table.address - addressCorrection) + "," + table.caption + "," +
                    (size == 1 ? std::string() : std::to_string(size)) + "," + stride + ",," + radix + ",,,,\r\n";
    return files;
}

bool WriteNewTable(const std::string& folder, const NewTable& table, std::uint32_t addressCorrection, std::string* reason)
{
    auto fail = [&](const std::string& why) {
        if (reason) *reason = why;
        return false;
    };
    if (table.name.empty()) return fail("the table has no name");
    for (char c : table.name) {
        if (fs::sys::IsSeparator(c) || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|') {
            return fail("a table's name cannot hold \"" + std::string(1, c) + "\"");
        }
    }
    if (table.caption.empty()) return fail("the first column has no caption");
    const fs::FolderIndex index(folder);
    for (const char* extension : {".idn", ".ini"}) {
        const std::string file = table.name + extension;
        if (fs::Exists(folder + index.Resolve(file))) return fail("the set has " + index.Resolve(file) + " already");
    }
    const TableFiles files = MakeTableFiles(table, addressCorrection);
    std::string why;
    // The column file first: without its row-name file it is never read.
    if (!fs::WriteFileAtomically(folder + table.name + ".ini", files.columns, &why)) return fail(why);
    if (!fs::WriteFileAtomically(folder + table.name + ".idn", files.rowNames, &why)) {
        fs::sys::Remove(folder + table.name + ".ini");
        return fail(why);
    }
    return true;
}

}  // namespace zok2::sets
