#include "saving/SettingsWriter.h"

#include "definitions/ColumnParser.h"
#include "definitions/DefinitionText.h"
#include "text/LineReader.h"
#include "text/SjisText.h"

namespace zok2 {

namespace {

constexpr const char* kLineEnd = "\r\n";

// The grammar has no escapes: a description keeps ",", "//" and a backslash
// before "n" as their full-width forms, so it reads back as one field, not as a
// comment or a line break.
std::string WrittenDescription(const std::string& description)
{
    std::string out;
    out.reserve(description.size());
    for (std::size_t i = 0; i < description.size();) {
        const std::size_t n = text::CharLength(description, i);
        const char c = description[i];
        const char next = i + 1 < description.size() ? description[i + 1] : '\0';
        if (n == 2) {
            out.append(description, i, 2);
        } else if (c == '\r' && next == '\n') {
            out += "\\n";
            ++i;
        } else if (c == '\r' || c == '\n') {
            out += "\\n";
        } else if (c == ',') {
            out += "\x81\x43";  // "，"
        } else if (c == '/' && next == '/') {
            out += "\x81\x5E\x81\x5E";  // "／／"
            ++i;
        } else if (c == '\\' && next == 'n') {
            out += "\x81\x5F";  // "＼"
        } else {
            out += c;
        }
        i += n;
    }
    return out;
}

}  // namespace

std::string WrittenColumnLine(const ColumnDefinition& d, std::size_t labelCount, const DefinitionTables& tables)
{
    const std::string& size = d[ColumnField::size];
    const std::string& stride = d[ColumnField::stride];
    std::string fields[10];
    fields[0] = text::FormatHex(text::ReadHex(d[ColumnField::address]) - tables.addressCorrection);
    fields[1] = d[ColumnField::caption];
    fields[2] = size == "1" ? std::string() : size;
    if (d.HasBitSize()) {
        fields[3] = stride == "1" ? std::string() : stride;
    } else {
        fields[3] = stride == text::FormatDec(text::ReadDec(size)) ? std::string() : stride;
    }
    const std::string& rowCount = d[ColumnField::rowCount];
    fields[4] = rowCount == text::FormatDec(static_cast<std::int64_t>(labelCount)) ? std::string() : rowCount;
    fields[5] = d[ColumnField::radix] == "-10" ? std::string() : d[ColumnField::radix];
    fields[6] = d[ColumnField::limit];
    fields[7] = d[ColumnField::width] == "0" ? std::string() : d[ColumnField::width];
    fields[8] = WrittenDescription(d[ColumnField::description]);
    if (!d[ColumnField::listIndex].empty()) {
        const std::int32_t index = text::ReadDec(d[ColumnField::listIndex]);
        if (index >= 0 && static_cast<std::size_t>(index) < tables.lists.size()) {
            const TextList& items = tables.lists[static_cast<std::size_t>(index)];
            for (std::size_t j = 0; j < items.size(); ++j) {
                if (j) fields[9] += "|";
                fields[9] += items[j];
            }
        }
    }
    std::string line = fields[0];
    for (int f = 1; f < 10; ++f) line += "," + fields[f];
    // A last field ending in "/" would make "//" with the comment: an eleventh,
    // ignored field keeps them apart.
    if (!d[ColumnField::comment].empty() && line.back() == '/') line += ",";
    return line + d[ColumnField::comment];
}

RewrittenFile RewriteColumnFile(std::string_view content, const Section& columns, std::size_t labelCount,
                                const DefinitionTables& tables)
{
    RewrittenFile out;
    std::size_t k = 0;
    for (std::string_view piece : text::LinePieces(content, text::kColumnBuffer)) {
        auto [code, comment] = StripComment(piece);
        if ((code.empty() || code == " ") && !comment.empty()) {
            out.content += comment + kLineEnd;
        } else if (IsColumnLine(code)) {
            if (k < columns.size()) {
                const std::string line = WrittenColumnLine(columns[k++], labelCount, tables);
                // The parser reads a line in pieces of at most 4999 bytes, its line feed included.
                if (line.size() + 1 > text::kColumnBuffer - 1) out.lineTooLong = true;
                out.content += line + kLineEnd;
            }
        } else {
            out.content += code + comment + kLineEnd;
        }
    }
    return out;
}

}  // namespace zok2
