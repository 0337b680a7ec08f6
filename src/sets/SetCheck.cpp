#include "sets/SetCheck.h"

#include <algorithm>
#include <map>
#include <set>

#include "checksum/ChecksumFile.h"
#include "definitions/DefinitionText.h"
#include "framework/FileSystem.h"
#include "text/LineReader.h"
#include "text/SjisText.h"

namespace zok2::sets {

namespace {

bool StartsWithDot(std::string_view s) { return !s.empty() && s[0] == '.'; }

// Whether the bytes are Shift-JIS (code page 932) text: single bytes below
// 0x80 or half-width katakana, or a lead byte with its trail byte.
bool IsShiftJis(std::string_view s)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) continue;
        if (!text::IsLeadByte(c) || i + 1 >= s.size()) return false;
        const auto t = static_cast<unsigned char>(s[++i]);
        if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
    }
    return true;
}

// One column line as the checker sees it: where it starts and what it covers.
struct Covered {
    int line = 0;
    std::string caption;
    std::uint32_t address = 0;
    int bytes = 0;   // 1 to 4, or 0 for a bit column
    int bit = -1;    // a bit column's bit
    std::string stride, limit;
};

class Checker {
public:
    explicit Checker(const SetCheckInput& input) : m_input(input), m_index(input.folder) {}

    std::vector<SetProblem> Run()
    {
        ListTables();
        const std::vector<std::string>& rowFiles = m_rowFiles;
        for (std::size_t i = 0; i < m_names.size(); ++i) CheckTable(static_cast<int>(i), rowFiles[i]);
        CheckFolder();
        CheckChecksumRules();
        return std::move(m_problems);
    }

    // One column line alone, as it would stand in a table's column file.
    std::vector<SetProblem> RunLine(const std::string& file, const std::string& line, std::size_t labelCount)
    {
        ListTables();
        if (!IsShiftJis(line)) Add(Severity::Error, ProblemKind::NotShiftJis, file, 1);
        CheckColumnLine(file, 1, line, labelCount);
        return std::move(m_problems);
    }

private:
    void ListTables()
    {
        m_rowFiles = m_index.FilesWithExtension(".idn");
        for (const std::string& file : m_rowFiles) {
            const std::string name = file.substr(0, file.size() - 4);
            m_names.push_back(name);
            if (m_input.toSjis) {
                if (std::optional<std::string> sjis = m_input.toSjis(name)) m_sjisNames.insert(*sjis);
            }
        }
    }

    // The checksum rules file, when the set has one: every line a rule can be read from.
    void CheckChecksumRules()
    {
        m_section = -1;
        const checksum::SetRules set = checksum::ReadSetRules(m_input.folder, m_input.addressCorrection);
        for (const checksum::RuleProblem& rule : set.rules.problems) {
            SetProblem& p = Add(Severity::Error, ProblemKind::ChecksumRuleUnusable, checksum::kRulesFile, rule.line);
            p.text = rule.text;
            p.detail = rule.what;
        }
    }

    SetProblem& Add(Severity severity, ProblemKind kind, const std::string& file, int line)
    {
        SetProblem problem;
        problem.severity = severity;
        problem.kind = kind;
        problem.file = file;
        problem.line = line;
        problem.section = m_section;
        m_problems.push_back(std::move(problem));
        return m_problems.back();
    }

    // The encoding of a whole file; false when it is not Shift-JIS at all.
    bool CheckText(const std::string& file, const std::string& content)
    {
        if (text::StartsWithByteOrderMark(content)) {
            Add(Severity::Error, ProblemKind::ByteOrderMark, file, 1);
            return false;
        }
        int line = 1;
        std::size_t start = 0;
        while (start <= content.size()) {
            std::size_t end = content.find('\n', start);
            if (end == std::string::npos) end = content.size();
            if (!IsShiftJis(std::string_view(content).substr(start, end - start))) Add(Severity::Error, ProblemKind::NotShiftJis, file, line);
            start = end + 1;
            ++line;
        }
        return true;
    }

    void CheckTable(int section, const std::string& rowFile)
    {
        m_section = section;
        std::string labels;
        std::size_t labelCount = 0;
        if (fs::ReadFile(m_input.folder + rowFile, labels) && CheckText(rowFile, labels)) labelCount = RowLabelsOf(labels).size();
        const std::string columnFile = m_index.Resolve(m_names[static_cast<std::size_t>(section)] + ".ini");
        std::string content;
        if (!fs::ReadFile(m_input.folder + columnFile, content) || !CheckText(columnFile, content)) return;
        m_column = 0;
        m_compressRecords = 0;
        m_covered.clear();
        // Pieces are views into the content: their line is the count of line ends before them.
        std::size_t counted = 0;
        int line = 1;
        for (std::string_view piece : text::LinePieces(content, text::kColumnBuffer)) {
            const std::size_t at = static_cast<std::size_t>(piece.data() - content.data());
            line += static_cast<int>(std::count(content.begin() + static_cast<std::ptrdiff_t>(counted), content.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
            counted = at;
            CheckColumnLine(columnFile, line, piece, labelCount);
        }
        m_section = -1;
    }

    void CheckColumnLine(const std::string& file, int line, std::string_view piece, std::size_t labelCount)
    {
        auto [code, comment] = StripComment(piece);
        if (code.empty()) return;
        if (text::FindChar(code, ',') == text::npos) {
            if (code.find_first_not_of(" \t\r") != std::string::npos) Add(Severity::Warning, ProblemKind::NoComma, file, line).text = code;
            return;
        }
        std::vector<std::string> fields;
        std::string rest = code;
        for (int k = 1; k <= 10; ++k) {
            auto [field, after] = SplitAtFirst(rest, ',');
            fields.push_back(std::move(field));
            rest = std::move(after);
            if (k == 1 && fields[0] == "COMPRESS_INFO") {
                CheckCompressInfo(file, line, rest);
                return;
            }
        }
        if (fields[0].empty()) {
            Add(Severity::Error, ProblemKind::NoAddress, file, line).caption = fields[1];
            return;
        }
        if (fields[1].empty()) {
            Add(Severity::Error, ProblemKind::NoCaption, file, line);
            return;
        }
        m_caption = fields[1];
        m_file = file;
        m_line = line;
        if (!rest.empty()) Report(Severity::Warning, ProblemKind::TextAfterTenthField).text = rest;

        Covered covered;
        covered.line = line;
        covered.caption = fields[1];
        covered.address = text::ReadHex(fields[0]) + m_input.addressCorrection;
        const std::string& size = fields[2];
        const bool bitColumn = StartsWithDot(size);
        if (bitColumn) {
            const int bit = text::ReadDec(std::string_view(size).substr(1));
            covered.bit = std::clamp(bit, 0, 7);
            if (bit < 0 || bit > 7) {
                SetProblem& p = Report(Severity::Error, ProblemKind::BitOutOfRange);
                p.text = size;
                p.value = covered.bit;
            }
        } else {
            const int bytes = size.empty() ? 1 : text::ReadDec(size);
            covered.bytes = std::clamp(bytes, 1, 4);
            if (!size.empty() && (bytes < 1 || bytes > 4)) {
                SetProblem& p = Report(Severity::Error, ProblemKind::SizeOutOfRange);
                p.text = size;
                p.value = covered.bytes;
            }
        }
        const std::string& stride = fields[3];
        if (StartsWithDot(stride) && !bitColumn) Report(Severity::Warning, ProblemKind::BitStrideOnByteColumn).text = stride;
        covered.stride = stride.empty() ? (bitColumn ? std::string("1") : size.empty() ? std::string("1") : std::to_string(covered.bytes))
                                        : (StartsWithDot(stride) && !bitColumn ? std::to_string(covered.bytes) : text::ToUpperAscii(stride));
        const std::string& rows = fields[4];
        const std::int64_t rowCount = text::ReadDec(rows);
        if (!rows.empty() && !(rowCount > 0 && static_cast<std::uint64_t>(rowCount) <= labelCount)) {
            SetProblem& p = Report(Severity::Warning, ProblemKind::RowsOutOfRange);
            p.text = rows;
            p.value = static_cast<std::int64_t>(labelCount);
        }
        const std::int64_t rowsRead = !rows.empty() && rowCount > 0 && static_cast<std::uint64_t>(rowCount) <= labelCount ? rowCount
                                                                                                                 : static_cast<std::int64_t>(labelCount);
        const std::string& radix = fields[5];
        const int radixValue = text::ReadDec(radix);
        if (!radix.empty() && radixValue != -10 && radixValue != 0 && radixValue != 10 && radixValue != 16) {
            Report(Severity::Warning, ProblemKind::UnknownDisplay).text = radix;
        } else if (!radix.empty() && radixValue == 0 && radix == "0" && fields[9].empty()) {
            Report(Severity::Warning, ProblemKind::ListDisplayWithoutList);
        }
        CheckLimit(fields[6], bitColumn, covered.bytes);
        covered.limit = bitColumn ? std::string() : fields[6];
        const std::string& width = fields[7];
        const int widthValue = text::ReadDec(width);
        if (!width.empty() && width != "0" && !(widthValue > 0 && widthValue < 50000)) Report(Severity::Warning, ProblemKind::WidthOutOfRange).text = width;
        if (!fields[9].empty()) CheckValueList(fields[9]);
        CheckOverlap(covered);
        if (m_input.fileSize && !m_compressed.count(m_section)) CheckEnd(covered, rowsRead);
        m_covered.push_back(std::move(covered));
        ++m_column;
    }

    SetProblem& Report(Severity severity, ProblemKind kind)
    {
        SetProblem& p = Add(severity, kind, m_file, m_line);
        p.caption = m_caption;
        p.column = m_column;
        return p;
    }

    void CheckLimit(const std::string& limit, bool bitColumn, int bytes)
    {
        if (limit.empty()) return;
        if (bitColumn) {
            Report(Severity::Warning, ProblemKind::LimitOnBitColumn).text = limit;
            return;
        }
        const std::size_t bar = text::FindChar(limit, '|');
        if (bar != text::npos) {
            const auto [low, high] = SplitHead(limit, bar);
            if (text::ReadHex(low) > text::ReadHex(high)) Report(Severity::Error, ProblemKind::RangeMinAboveMax).text = limit;
            return;
        }
        if (!StartsWithDot(limit)) {
            Report(Severity::Warning, ProblemKind::LimitNotMaskOrRange).text = limit;
            return;
        }
        if (static_cast<std::int64_t>(limit.size()) > 2 * static_cast<std::int64_t>(bytes) + 1) {
            Report(Severity::Warning, ProblemKind::MaskTooLong).text = limit;
        } else if (text::ReadHex(std::string_view(limit).substr(1)) == 0) {
            Report(Severity::Error, ProblemKind::MaskWithoutBits).text = limit;
        }
    }

    void CheckValueList(const std::string& field)
    {
        std::map<std::uint32_t, std::string> seen;
        std::string remaining = field;
        while (!remaining.empty()) {
            auto [item, after] = SplitAtFirst(remaining, '|');
            remaining = std::move(after);
            if (text::EndsWith(item, ".idn")) {
                const std::string name = item.substr(0, item.size() - 4);
                if (!m_sjisNames.count(name)) Report(Severity::Error, ProblemKind::MissingRowNameFile).text = item;
                continue;
            }
            if (text::FindChar(item, ' ') == text::npos) {
                if (!item.empty()) Report(Severity::Warning, ProblemKind::ItemWithoutBlank).text = item;
                continue;
            }
            const std::uint32_t value = text::ReadHex(item);
            if (!seen.emplace(value, item).second) {
                SetProblem& p = Report(Severity::Warning, ProblemKind::SameValueTwice);
                p.text = item;
                p.value = value;
            }
        }
    }

    // Two columns that read the same bytes the same way show one value twice:
    // most often a line copied and not changed.
    void CheckOverlap(const Covered& c)
    {
        for (const Covered& other : m_covered) {
            const bool same = c.bytes == 0 ? (other.bytes == 0 && other.address == c.address && other.bit == c.bit)
                                           : (other.bytes != 0 && other.limit == c.limit &&
                                              c.address < other.address + static_cast<std::uint32_t>(other.bytes) &&
                                              other.address < c.address + static_cast<std::uint32_t>(c.bytes));
            if (same && other.stride == c.stride) {
                SetProblem& p = Report(Severity::Warning, ProblemKind::SameBytes);
                p.text = other.caption;
                p.value = other.line;
                return;
            }
        }
    }

    void CheckEnd(const Covered& c, std::int64_t rows)
    {
        if (rows <= 0) return;
        const std::int64_t size = *m_input.fileSize;
        std::int64_t end = 0;
        if (c.bytes == 0) {
            // A bit stride ".N" counts bits; a byte stride counts bytes.
            const std::int64_t bits = StartsWithDot(c.stride) ? text::ReadDec(std::string_view(c.stride).substr(1)) : 8 * static_cast<std::int64_t>(text::ReadHex(c.stride));
            end = static_cast<std::int64_t>(c.address) + (c.bit + (rows - 1) * bits) / 8 + 1;
        } else {
            end = static_cast<std::int64_t>(c.address) + (rows - 1) * static_cast<std::int64_t>(text::ReadHex(c.stride)) + c.bytes;
        }
        if (end > size) {
            SetProblem& p = Report(Severity::Error, ProblemKind::ColumnPastEnd);
            p.value = end;
            p.limit = size;
        }
    }

    void CheckCompressInfo(const std::string& file, int line, const std::string& parameters)
    {
        m_file = file;
        m_line = line;
        m_caption.clear();
        std::vector<std::string> record;
        std::string remaining = parameters;
        while (!remaining.empty()) {
            auto [piece, after] = SplitAtFirst(remaining, ',');
            if (piece.empty()) {
                Add(Severity::Error, ProblemKind::CompressEmptyParameter, file, line);
                return;
            }
            record.push_back(std::move(piece));
            remaining = std::move(after);
        }
        if (record.empty()) {
            Add(Severity::Error, ProblemKind::CompressEmptyParameter, file, line);
            return;
        }
        if (++m_compressRecords > 1) {
            Add(Severity::Warning, ProblemKind::CompressNotFirst, file, line);
            return;
        }
        if (record.size() != 4) {
            Add(Severity::Error, ProblemKind::CompressNotFour, file, line).value = static_cast<std::int64_t>(record.size());
            return;
        }
        if (record[0] != "1") {
            Add(Severity::Error, ProblemKind::CompressUnknownMethod, file, line).text = record[0];
            return;
        }
        m_compressed.insert(m_section);
        if (!m_input.fileSize) return;
        // The bank byte, the pointer table and the dictionary must lie in the file.
        const std::string& places = record[2];
        const std::size_t first = text::FindChar(places, '|');
        const std::size_t last = places.rfind('|');
        const std::uint32_t k = m_input.addressCorrection;
        const std::int64_t bank = static_cast<std::int64_t>(text::ReadHex(first == text::npos ? places : places.substr(0, first))) + k;
        const std::int64_t table = first == text::npos ? 0 : static_cast<std::int64_t>(text::ReadHex(places.substr(first + 1, last - first - 1)));
        const std::int64_t blocks = last == text::npos || last == first ? 0 : text::ReadDec(places.substr(last + 1));
        const std::size_t bar = text::FindChar(record[3], '|');
        const std::int64_t dictionary = bar == text::npos ? k : static_cast<std::int64_t>(text::ReadHex(record[3].substr(0, bar))) + k;
        const std::int64_t size = *m_input.fileSize;
        auto past = [&](const char* what, std::int64_t offset) {
            SetProblem& p = Add(Severity::Error, ProblemKind::CompressedPastEnd, file, line);
            p.text = what;
            p.value = offset;
            p.limit = size;
        };
        if (bank >= size) {
            past("bank byte", bank);
        } else if (table + 2 * std::max<std::int64_t>(blocks, 0) > size) {
            past("pointer table", table);
        } else if (dictionary >= size) {
            past("dictionary", dictionary);
        }
    }

    void CheckFolder()
    {
        m_section = -1;
        std::set<std::string> tables;
        for (const std::string& name : m_names) tables.insert(text::ToUpperAscii(name));
        const std::vector<std::string> columns = m_index.FilesWithExtension(".ini");
        for (const std::string& file : columns) {
            if (!tables.count(text::ToUpperAscii(file.substr(0, file.size() - 4)))) Add(Severity::Warning, ProblemKind::ColumnFileWithoutRowNames, file, 0);
        }
        // Names one file system keeps apart and another takes for one: the
        // listing is sorted without regard to case, so such names are neighbours.
        for (const std::vector<std::string>* files : std::initializer_list<const std::vector<std::string>*>{&m_rowFiles, &columns}) {
            for (std::size_t i = 1; i < files->size(); ++i) {
                const std::string& before = (*files)[i - 1];
                const std::string& name = (*files)[i];
                if (before != name && text::CompareNoCase(before, name) == 0) Add(Severity::Warning, ProblemKind::NamesDifferOnlyByCase, name, 0).text = before;
            }
        }
    }

    const SetCheckInput& m_input;
    fs::FolderIndex m_index;
    std::vector<std::string> m_rowFiles;
    std::vector<std::string> m_names;
    std::set<std::string> m_sjisNames;
    std::vector<SetProblem> m_problems;
    std::vector<Covered> m_covered;
    std::set<int> m_compressed;
    int m_section = -1;
    int m_column = -1;
    int m_compressRecords = 0;
    std::string m_file, m_caption;
    int m_line = 0;
};

}  // namespace

std::vector<SetProblem> CheckSet(const SetCheckInput& input) { return Checker(input).Run(); }

std::vector<SetProblem> CheckColumnLine(const SetCheckInput& input, const std::string& columnFile, const std::string& line, std::size_t labelCount)
{
    return Checker(input).RunLine(columnFile, line, labelCount);
}

std::string DescribeProblem(const SetProblem& p, const std::function<std::string(const std::string&)>& toUtf8)
{
    const std::string text = toUtf8(p.text);
    const std::string caption = p.caption.empty() ? std::string() : "column \"" + toUtf8(p.caption) + "\": ";
    std::string what;
    switch (p.kind) {
    case ProblemKind::ByteOrderMark: what = "starts with a byte-order mark: a Unicode file, not Shift-JIS; the program reads none of it"; break;
    case ProblemKind::NotShiftJis: what = "holds bytes that are not Shift-JIS text"; break;
    case ProblemKind::ColumnFileWithoutRowNames: what = "has no row-name file (.idn) beside it, so it is never read"; break;
    case ProblemKind::NamesDifferOnlyByCase: what = "differs from " + text + " only by case: Windows takes them for one file"; break;
    case ProblemKind::NoComma: what = "has no comma: the line is ignored"; break;
    case ProblemKind::NoAddress: what = "has no address: the line is dropped"; break;
    case ProblemKind::NoCaption: what = "has no caption: the line is dropped"; break;
    case ProblemKind::TextAfterTenthField: what = caption + "text after the tenth field is ignored: " + text; break;
    case ProblemKind::SizeOutOfRange: what = caption + "size " + text + " is not 1 to 4: read as " + std::to_string(p.value); break;
    case ProblemKind::BitOutOfRange: what = caption + "bit " + text + " is not .0 to .7: read as ." + std::to_string(p.value); break;
    case ProblemKind::BitStrideOnByteColumn: what = caption + "a stride in bits (" + text + ") on a column of bytes: the size is used"; break;
    case ProblemKind::RowsOutOfRange:
        what = caption + "rows " + text + " is not 1 to the " + std::to_string(p.value) + " row labels: read as " + std::to_string(p.value);
        break;
    case ProblemKind::UnknownDisplay: what = caption + "display " + text + " is not -10, 0, 10 or 16: read as -10"; break;
    case ProblemKind::ListDisplayWithoutList: what = caption + "display 0 (a value list) without a value list: read as -10"; break;
    case ProblemKind::LimitOnBitColumn: what = caption + "a limit (" + text + ") on a bit column is ignored"; break;
    case ProblemKind::MaskTooLong: what = caption + "mask " + text + " is longer than the column's size: ignored"; break;
    case ProblemKind::MaskWithoutBits: what = caption + "mask " + text + " has no bit set: only 0 can be entered"; break;
    case ProblemKind::RangeMinAboveMax: what = caption + "range " + text + " has its minimum above its maximum"; break;
    case ProblemKind::LimitNotMaskOrRange: what = caption + "limit " + text + " is neither a mask (.FF) nor a range (0|FF): ignored"; break;
    case ProblemKind::WidthOutOfRange: what = caption + "width " + text + " is not 1 to 49999: automatic width"; break;
    case ProblemKind::ItemWithoutBlank: what = caption + "value list item \"" + text + "\" has no blank after its value: dropped"; break;
    case ProblemKind::SameValueTwice: what = caption + "value list item \"" + text + "\" repeats a value listed before"; break;
    case ProblemKind::MissingRowNameFile: what = caption + "value list names " + text + ", which is not in the set"; break;
    case ProblemKind::CompressEmptyParameter: what = "COMPRESS_INFO has an empty parameter: the line is ignored"; break;
    case ProblemKind::CompressNotFour:
        what = "COMPRESS_INFO has " + std::to_string(p.value) + " parameters; the decoder uses only records of four: the table is not expanded";
        break;
    case ProblemKind::CompressUnknownMethod: what = "COMPRESS_INFO names method " + text + "; 1 is the only method: the table is not expanded"; break;
    case ProblemKind::CompressNotFirst: what = "a second COMPRESS_INFO: only a file's first is used"; break;
    case ProblemKind::SameBytes: what = caption + "reads the same bytes as column \"" + text + "\" (line " + std::to_string(p.value) + ")"; break;
    case ProblemKind::ColumnPastEnd:
        what = caption + "reaches past the end of the file (it needs " + std::to_string(p.value) + " bytes, the file has " + std::to_string(p.limit) + ")";
        break;
    case ProblemKind::CompressedPastEnd:
        what = "COMPRESS_INFO's " + p.text + " at " + std::to_string(p.value) + " lies past the end of the file (" + std::to_string(p.limit) + " bytes)";
        break;
    case ProblemKind::ChecksumRuleUnusable: what = "the checksum rule cannot be used (" + p.detail + "): " + text; break;
    }
    return std::string(p.severity == Severity::Error ? "error" : "warning") + "\t" + p.file + "\t" + std::to_string(p.line) + "\t" + what;
}

}  // namespace zok2::sets
