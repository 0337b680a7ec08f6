#include "definitions/ColumnParser.h"

#include <optional>

#include "definitions/DefinitionText.h"
#include "text/LineReader.h"
#include "text/SjisText.h"

namespace zok2 {

namespace {

enum class LineFate { Keep, Drop, Divert };

bool StartsWithDot(const std::string& s) { return !s.empty() && s[0] == '.'; }

TextList InlineListItems(const std::string& field)
{
    TextList items;
    std::string remaining = field;
    while (!remaining.empty()) {
        auto item = SplitAtFirst(remaining, '|');
        if (text::EndsWith(item.first, ".idn") || text::FindChar(item.first, ' ') != text::npos) items.push_back(item.first);
        remaining = std::move(item.second);
    }
    return items;
}

// Applies the rule of field k to `field`; fields before k are already stored in d.
LineFate ApplyFieldRule(int k, std::string field, std::string_view rest, ColumnDefinition& d, std::size_t labelCount,
                        int sectionIndex, DefinitionTables& tables)
{
    const std::string& size = d[ColumnField::size];
    switch (static_cast<ColumnField>(k)) {
    case ColumnField::address:
        if (field.empty()) return LineFate::Drop;
        if (field == "COMPRESS_INFO") {
            ParseCompressInfo(rest, sectionIndex, tables);
            return LineFate::Divert;
        }
        d[ColumnField::address] = text::FormatHex(text::ReadHex(field) + tables.addressCorrection);
        return LineFate::Keep;
    case ColumnField::caption:
        if (field.empty()) return LineFate::Drop;
        d[ColumnField::caption] = std::move(field);
        return LineFate::Keep;
    case ColumnField::size:
        if (field.empty()) {
            field = "1";
        } else if (StartsWithDot(field)) {
            const int bit = text::ReadDec(std::string_view(field).substr(1));
            if (bit < 0) field = ".0";
            if (bit > 7) field = ".7";
        } else {
            const int bytes = text::ReadDec(field);
            if (bytes <= 0) field = "1";
            if (bytes > 4) field = "4";
        }
        d[ColumnField::size] = std::move(field);
        return LineFate::Keep;
    case ColumnField::stride:
        if (field.empty()) {
            field = StartsWithDot(size) ? std::string("1") : size;
        } else if (StartsWithDot(field) && !StartsWithDot(size)) {
            field = size;  // only bit columns take a stride in bits
        } else {
            field = text::ToUpperAscii(field);
        }
        d[ColumnField::stride] = std::move(field);
        return LineFate::Keep;
    case ColumnField::rowCount: {
        const std::int64_t rows = text::ReadDec(field);
        if (!(rows > 0 && static_cast<std::uint64_t>(rows) <= labelCount)) {
            field = text::FormatUnsigned(static_cast<std::uint32_t>(labelCount));
        }
        d[ColumnField::rowCount] = std::move(field);
        return LineFate::Keep;
    }
    case ColumnField::radix: {
        const int radix = text::ReadDec(field);
        if (field.empty() || (radix != -10 && radix != 0 && radix != 10 && radix != 16)) field = "-10";
        d[ColumnField::radix] = std::move(field);
        return LineFate::Keep;
    }
    case ColumnField::limit:
        if (StartsWithDot(size)) {
            field.clear();
        } else if (text::FindChar(field, '|') != text::npos) {
            // the range form is kept as written
        } else if (StartsWithDot(field)) {
            const std::int64_t maxLength = 2 * static_cast<std::int64_t>(text::ReadDec(size)) + 1;
            if (static_cast<std::int64_t>(field.size()) > maxLength) field.clear();
        } else {
            field.clear();
        }
        d[ColumnField::limit] = std::move(field);
        return LineFate::Keep;
    case ColumnField::width: {
        const int width = text::ReadDec(field);
        if (!(width > 0 && width < 50000)) field = "0";
        d[ColumnField::width] = std::move(field);
        return LineFate::Keep;
    }
    case ColumnField::description:
        d[ColumnField::description] = text::ReplaceAll(field, "\\n", "\r\n");
        return LineFate::Keep;
    case ColumnField::listIndex:
        if (field.empty()) {
            if (d[ColumnField::radix] == "0") d[ColumnField::radix] = "-10";
        } else {
            d[ColumnField::listIndex] = text::FormatDec(static_cast<std::int64_t>(tables.lists.size()));
            tables.lists.push_back(InlineListItems(field));
            tables.definitionNames.emplace_back();
        }
        return LineFate::Keep;
    default:
        return LineFate::Keep;
    }
}

}  // namespace

std::optional<ColumnDefinition> ParseColumnLine(std::string_view piece, std::size_t labelCount, int sectionIndex, DefinitionTables& tables)
{
    auto [code, comment] = StripComment(piece);
    if (code.empty() || text::FindChar(code, ',') == text::npos) return std::nullopt;
    ColumnDefinition d;
    d[ColumnField::comment] = std::move(comment);
    LineFate fate = LineFate::Keep;
    std::string rest = std::move(code);
    for (int k = 1; k <= 10 && fate == LineFate::Keep; ++k) {
        auto [field, after] = SplitAtFirst(rest, ',');
        rest = std::move(after);
        fate = ApplyFieldRule(k, std::move(field), rest, d, labelCount, sectionIndex, tables);
    }
    if (fate != LineFate::Keep) return std::nullopt;
    return d;
}

Section ParseColumnFile(std::string_view content, int sectionIndex, DefinitionTables& tables)
{
    Section section;
    const std::size_t labelCount =
        static_cast<std::size_t>(sectionIndex) < tables.lists.size() ? tables.lists[static_cast<std::size_t>(sectionIndex)].size() : 0;
    for (std::string_view piece : text::LinePieces(content, text::kColumnBuffer)) {
        if (std::optional<ColumnDefinition> d = ParseColumnLine(piece, labelCount, sectionIndex, tables)) section.push_back(std::move(*d));
    }
    return section;
}

void ParseCompressInfo(std::string_view parameters, int sectionIndex, DefinitionTables& tables)
{
    StringList record;
    std::string remaining(parameters);
    while (!remaining.empty()) {
        auto piece = SplitAtFirst(remaining, ',');
        if (piece.first.empty()) return;  // an empty parameter discards the whole record
        record.push_back(std::move(piece.first));
        remaining = std::move(piece.second);
    }
    if (record.empty()) return;
    tables.compressionRecords.push_back(std::move(record));
    tables.compressionMap.emplace(sectionIndex, static_cast<std::int32_t>(tables.compressionRecords.size() - 1));
}

bool IsColumnLine(std::string_view code)
{
    if (text::FindChar(code, ',') == text::npos) return false;
    auto first = SplitAtFirst(code, ',');
    if (first.first.empty() || first.first == "COMPRESS_INFO") return false;
    return !SplitAtFirst(first.second, ',').first.empty();
}

}  // namespace zok2
