// Writing the column settings back into the column files of the active set.
#include "definitions/DefinitionText.h"
#include "document/CZOKDoc.h"
#include "document/Messages.h"
#include "document/ZOKView.h"
#include "framework/AppPath.h"
#include "framework/FileSystem.h"
#include "text/LineReader.h"
#include "text/SjisText.h"

namespace zok2 {

namespace {

constexpr const char* kLineEnd = "\r\n";

// The grammar has no escapes for "," or "//": a description keeps them as
// their full-width forms, so it reads back as one field and not as a comment.
std::string WrittenDescription(const std::string& description)
{
    std::string out;
    out.reserve(description.size());
    for (std::size_t i = 0; i < description.size();) {
        const std::size_t n = text::CharLength(description, i);
        const char c = description[i];
        if (n == 2) {
            out.append(description, i, 2);
        } else if (c == '\r' && i + 1 < description.size() && description[i + 1] == '\n') {
            out += "\\n";
            ++i;
        } else if (c == '\r' || c == '\n') {
            out += "\\n";
        } else if (c == ',') {
            out += "\x81\x43";  // "，"
        } else if (c == '/' && i + 1 < description.size() && description[i + 1] == '/') {
            out += "\x81\x5E\x81\x5E";  // "／／"
            ++i;
        } else {
            out += c;
        }
        i += n;
    }
    return out;
}

bool IsColumnLine(const std::string& code)
{
    if (text::FindChar(code, ',') == text::npos) return false;
    auto first = SplitAtFirst(code, ',');
    if (first.first.empty() || first.first == "COMPRESS_INFO") return false;
    return !SplitAtFirst(first.second, ',').first.empty();
}

}  // namespace

bool CZOKDoc::SaveSettings()
{
    if (IZOKView* view = FirstView()) {
        view->SaveColumnWidths();
        view->StoreDescription();
    }
    bool allWritten = true;
    for (std::size_t i = 0; i < definitionNames.size() && i < sections.size(); ++i) {
        const Section& columns = sections[i];
        if (columns.empty()) continue;
        const std::string path = DefinitionFilePath(definitionFolder, definitionNames[i], ".ini");
        const std::string shownName = GetAppPath(PathPart::NameWithExtension, path);

        std::string content;
        const bool readable = fs::ReadFile(path, content);
        auto snapshot = m_columnFileSnapshots.find(path);
        if (!readable || (snapshot != m_columnFileSnapshots.end() && snapshot->second != content)) {
            // Edited (or removed) by someone else since the open: keep their version.
            MessageBox().Show(std::string(messages::kSettingsChangedOnDisk) + shownName);
            allWritten = false;
            continue;
        }

        const std::size_t labelCount = i < lists.size() ? lists[i].size() : 0;
        std::string out;
        std::size_t k = 0;
        for (std::string_view piece : text::LinePieces(content, text::kColumnBuffer)) {
            auto [code, comment] = StripComment(piece);
            if ((code.empty() || code == " ") && !comment.empty()) {
                out += comment + kLineEnd;
            } else if (IsColumnLine(code)) {
                if (k < columns.size()) out += WrittenColumnLine(columns[k++], labelCount) + kLineEnd;
            } else {
                out += code + comment + kLineEnd;
            }
        }
        if (out == content) continue;
        if (!fs::WriteFileAtomically(path, out)) {
            MessageBox().Show(std::string(messages::kCannotWriteSettings) + shownName);
            allWritten = false;
            continue;
        }
        m_columnFileSnapshots[path] = out;
    }
    return allWritten;
}

std::string CZOKDoc::WrittenColumnLine(const ColumnDefinition& d, std::size_t labelCount) const
{
    const std::string& size = d[ColumnField::size];
    const std::string& stride = d[ColumnField::stride];
    std::string fields[10];
    fields[0] = text::FormatHex(text::ReadHex(d[ColumnField::address]) - addressCorrection);
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
        if (index >= 0 && static_cast<std::size_t>(index) < lists.size()) {
            const StringList& items = lists[static_cast<std::size_t>(index)];
            for (std::size_t j = 0; j < items.size(); ++j) fields[9] += (j ? "|" : "") + items[j];
        }
    }
    std::string line = fields[0];
    for (int f = 1; f < 10; ++f) line += "," + fields[f];
    // A last field ending in "/" would make "//" with the comment: an eleventh,
    // ignored field keeps them apart.
    if (!d[ColumnField::comment].empty() && line.back() == '/') line += ",";
    return line + d[ColumnField::comment];
}

}  // namespace zok2
