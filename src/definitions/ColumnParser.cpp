// The column-file grammar: field rules, inline value lists, COMPRESS_INFO and
// the address correction.
#include "definitions/DefinitionText.h"
#include "document/CZOKDoc.h"
#include "framework/AppPath.h"
#include "framework/FileSystem.h"
#include "text/LineReader.h"
#include "text/SjisText.h"

namespace zok2 {

namespace {

enum class LineFate { Keep, Drop, Divert };

bool StartsWithDot(const std::string& s) { return !s.empty() && s[0] == '.'; }

}  // namespace

void CZOKDoc::ParseColumnFiles(const std::string& folder)
{
    // Address correction for the opened file's extension.
    std::string extension = GetAppPath(PathPart::ExtensionOnly, GetPathName());
    if (!extension.empty()) extension.erase(0, 1);
    addressCorrection = 0;
    if (!extension.empty()) {
        std::string correction = Profile().GetString("File Address Correction", FileNames().ToSjis(extension));
        if (!correction.empty()) addressCorrection = text::ReadHex(correction);
    }

    const std::size_t discovered = definitionNames.size();
    for (std::size_t i = 0; i < definitionNames.size(); ++i) {
        Section section;
        std::string content;
        std::string path;
        // Entries added for inline value lists have no files of their own.
        bool opened = i < discovered && fs::ReadFile(path = DefinitionFilePath(folder, definitionNames[i], ".ini"), content);
        if (opened) {
            m_columnFileSnapshots[path] = content;
            const std::size_t labelCount = lists[i].size();
            for (std::string_view piece : text::LinePieces(content, text::kColumnBuffer)) {
                auto [code, comment] = StripComment(piece);
                if (code.empty() || text::FindChar(code, ',') == text::npos) continue;

                ColumnDefinition d;
                d[ColumnField::comment] = comment;
                LineFate fate = LineFate::Keep;
                std::string rest = code;
                for (int k = 1; k <= 10 && fate == LineFate::Keep; ++k) {
                    auto split = SplitAtFirst(rest, ',');
                    std::string field = std::move(split.first);
                    rest = std::move(split.second);
                    const std::string& size = d[ColumnField::size];
                    switch (static_cast<ColumnField>(k)) {
                    case ColumnField::address:
                        if (field.empty()) {
                            fate = LineFate::Drop;
                        } else if (field == "COMPRESS_INFO") {
                            ParseCompressInfo(rest, static_cast<int>(i));
                            fate = LineFate::Divert;
                        } else {
                            d[ColumnField::address] = text::FormatHex(text::ReadHex(field) + addressCorrection);
                        }
                        break;
                    case ColumnField::caption:
                        if (field.empty()) fate = LineFate::Drop;
                        d[ColumnField::caption] = field;
                        break;
                    case ColumnField::size:
                        if (field.empty()) {
                            field = "1";
                        } else if (StartsWithDot(field)) {
                            int bit = text::ReadDec(std::string_view(field).substr(1));
                            if (bit < 0) field = ".0";
                            if (bit > 7) field = ".7";
                        } else {
                            int bytes = text::ReadDec(field);
                            if (bytes <= 0) field = "1";
                            if (bytes > 4) field = "4";
                        }
                        d[ColumnField::size] = field;
                        break;
                    case ColumnField::stride:
                        if (field.empty()) {
                            field = StartsWithDot(size) ? std::string("1") : size;
                        } else if (StartsWithDot(field) && !StartsWithDot(size)) {
                            field = size;  // only bit columns take a stride in bits
                        } else {
                            field = text::ToUpperAscii(field);
                        }
                        d[ColumnField::stride] = field;
                        break;
                    case ColumnField::rowCount: {
                        std::int64_t rows = text::ReadDec(field);
                        if (!(rows > 0 && static_cast<std::uint64_t>(rows) <= labelCount)) {
                            field = text::FormatUnsigned(static_cast<std::uint32_t>(labelCount));
                        }
                        d[ColumnField::rowCount] = field;
                        break;
                    }
                    case ColumnField::radix: {
                        int radix = text::ReadDec(field);
                        if (field.empty() || (radix != -10 && radix != 0 && radix != 10 && radix != 16)) field = "-10";
                        d[ColumnField::radix] = field;
                        break;
                    }
                    case ColumnField::limit:
                        if (StartsWithDot(size)) {
                            field.clear();
                        } else if (text::FindChar(field, '|') != text::npos) {
                            // the range form is kept as written
                        } else if (StartsWithDot(field)) {
                            std::int64_t maxLength = 2 * static_cast<std::int64_t>(text::ReadDec(size)) + 1;
                            if (static_cast<std::int64_t>(field.size()) > maxLength) field.clear();
                        } else {
                            field.clear();
                        }
                        d[ColumnField::limit] = field;
                        break;
                    case ColumnField::width: {
                        int width = text::ReadDec(field);
                        if (!(width > 0 && width < 50000)) field = "0";
                        d[ColumnField::width] = field;
                        break;
                    }
                    case ColumnField::description:
                        d[ColumnField::description] = text::ReplaceAll(field, "\\n", "\r\n");
                        break;
                    case ColumnField::listIndex:
                        if (field.empty()) {
                            if (d[ColumnField::radix] == "0") d[ColumnField::radix] = "-10";
                        } else {
                            StringList items;
                            std::string remaining = field;
                            while (!remaining.empty()) {
                                auto item = SplitAtFirst(remaining, '|');
                                if (text::EndsWith(item.first, ".idn") || text::FindChar(item.first, ' ') != text::npos) {
                                    items.push_back(item.first);
                                }
                                remaining = std::move(item.second);
                            }
                            d[ColumnField::listIndex] = text::FormatDec(static_cast<std::int64_t>(lists.size()));
                            lists.push_back(std::move(items));
                            definitionNames.emplace_back();
                        }
                        break;
                    default:
                        break;
                    }
                }
                if (fate == LineFate::Keep) section.push_back(std::move(d));
            }
        }
        sections.push_back(std::move(section));
    }
}

void CZOKDoc::ParseCompressInfo(const std::string& parameters, int sectionIndex)
{
    StringList record;
    std::string remaining = parameters;
    while (!remaining.empty()) {
        auto piece = SplitAtFirst(remaining, ',');
        if (piece.first.empty()) return;  // an empty parameter discards the whole record
        record.push_back(std::move(piece.first));
        remaining = std::move(piece.second);
    }
    if (record.empty()) return;
    compressionRecords.push_back(std::move(record));
    compressionMap.emplace(sectionIndex, static_cast<std::int32_t>(compressionRecords.size() - 1));
}

}  // namespace zok2
