#include "exchange/TableImport.h"

#include <algorithm>
#include <unordered_map>

#include "binary/ValueCodec.h"
#include "document/CZOKDoc.h"
#include "document/EditRecord.h"
#include "text/SjisText.h"

namespace zok2::exchange {

namespace {

std::uint32_t SizeMask(int n) { return n >= 4 ? 0xFFFFFFFFu : n <= 0 ? 0u : ((1u << (8 * n)) - 1u); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A text in one of the number forms the grid shows: "0X" and hexadecimal
// digits, or decimal digits with an optional sign.
enum class NumberForm { None, Fits, TooBig };

NumberForm ReadNumber(std::string_view text, int byteSize, std::uint32_t* value)
{
    constexpr std::uint64_t kCap = std::uint64_t{1} << 40;  // far past any 32-bit value: enough to say "too big"
    std::uint64_t magnitude = 0;
    bool negative = false;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        for (char c : text.substr(2)) {
            const int digit = HexDigit(c);
            if (digit < 0) return NumberForm::None;
            magnitude = std::min(kCap, magnitude * 16 + static_cast<std::uint64_t>(digit));
        }
    } else {
        if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
            negative = text[0] == '-';
            text.remove_prefix(1);
        }
        if (text.empty()) return NumberForm::None;
        for (char c : text) {
            if (!IsDigit(c)) return NumberForm::None;
            magnitude = std::min(kCap, magnitude * 10 + static_cast<std::uint64_t>(c - '0'));
        }
    }
    const std::uint32_t mask = SizeMask(byteSize);
    if (negative) {
        // The signed form: down to the smallest value of the column's bits.
        const int bits = 8 * std::clamp(byteSize, 1, 4);
        if (magnitude > (std::uint64_t{1} << (bits - 1))) return NumberForm::TooBig;
        *value = static_cast<std::uint32_t>(0 - magnitude) & mask;
        return NumberForm::Fits;
    }
    if (magnitude > mask) return NumberForm::TooBig;
    *value = static_cast<std::uint32_t>(magnitude);
    return NumberForm::Fits;
}

// Why a text that is no number is none, as its writer most likely meant it.
ImportProblem::Kind KindOfNonNumber(std::string_view text)
{
    if (text.empty()) return ImportProblem::Kind::Empty;
    // Full-width digits are 82 4F to 82 58 in Shift-JIS.
    for (std::size_t i = 0; i < text.size(); i += text::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1) {
        if (static_cast<unsigned char>(text[i]) == 0x82 && i + 1 < text.size()) {
            const auto trail = static_cast<unsigned char>(text[i + 1]);
            if (trail >= 0x4F && trail <= 0x58) return ImportProblem::Kind::FullWidth;
        }
    }
    std::string_view digits = text;
    if (digits[0] == '-' || digits[0] == '+') digits.remove_prefix(1);
    // Digits in groups of three after the first ("1,200", "12,345.5").
    const std::size_t point = digits.find('.');
    const std::string_view whole = digits.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
    const bool fractionDigits = point == std::string_view::npos || (!fraction.empty() && std::all_of(fraction.begin(), fraction.end(), IsDigit));
    if (whole.find(',') != std::string_view::npos && fractionDigits) {
        bool grouped = whole.front() != ',';
        std::size_t run = 0;
        for (std::size_t i = 0; grouped && i < whole.size(); ++i) {
            if (whole[i] == ',') {
                grouped = (i == run || run == 3) && run > 0;
                run = 0;
            } else {
                grouped = IsDigit(whole[i]) && (++run <= 3);
            }
        }
        // The first group holds one to three digits, every other exactly three.
        const std::size_t first = whole.find(',');
        if (grouped && run == 3 && first >= 1 && first <= 3) return ImportProblem::Kind::Separators;
    }
    if (point != std::string_view::npos && fractionDigits && std::all_of(whole.begin(), whole.end(), IsDigit) && !(whole.empty() && fraction.empty())) {
        return ImportProblem::Kind::Fraction;
    }
    return ImportProblem::Kind::NotANumber;
}

// A list's labels, looked up from the text: the item's value, or that more than one item has it.
struct LabelEntry {
    std::uint32_t value = 0;
    bool ambiguous = false;
};

// What a column needs for checking, looked up once for all its rows.
struct ColumnCheck {
    const ColumnCodec* codec = nullptr;  // none: the column holds no value
    std::size_t rows = 0;                // rows holding data
    CZOKDoc::ColumnStore store;
    std::unordered_map<std::string, LabelEntry> labels;  // list columns
};

std::vector<ColumnCheck> CheckColumns(const CZOKDoc& doc, int section)
{
    const auto& columns = doc.sections[static_cast<std::size_t>(section)];
    const ValueTable* table = static_cast<std::size_t>(section) < doc.values.size() ? &doc.values[static_cast<std::size_t>(section)] : nullptr;
    std::vector<ColumnCheck> checks(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (!table || !table->Contains(0, c)) continue;
        ColumnCheck& column = checks[c];
        column.codec = &doc.CodecOf(section, static_cast<int>(c));
        column.rows = std::min<std::size_t>(static_cast<std::size_t>(std::max(column.codec->RowCount(), 0)), table->Rows());
        column.store = doc.PrepareStore(section, static_cast<int>(c));
        if (column.codec->Radix() == 0) {
            for (const auto& [value, label] : column.codec->Labels()) {
                auto [entry, added] = column.labels.emplace(label, LabelEntry{value, false});
                if (!added && entry->second.value != value) entry->second.ambiguous = true;
            }
        }
    }
    return checks;
}

// The value a changed text stands for in its column, or why it stands for none.
bool ReadCellValue(const ColumnCheck& column, std::string_view text, std::uint32_t* value, ImportProblem* problem)
{
    const ColumnCodec& codec = *column.codec;
    const NumberForm form = ReadNumber(text, codec.ByteSize(), value);
    if (form == NumberForm::None && codec.Radix() == 0 && !text.empty()) {
        const auto found = column.labels.find(std::string(text));
        if (found == column.labels.end()) {
            problem->kind = ImportProblem::Kind::UnknownLabel;
            return false;
        }
        if (found->second.ambiguous) {
            problem->kind = ImportProblem::Kind::AmbiguousLabel;
            return false;
        }
        *value = found->second.value;
        return true;
    }
    if (form == NumberForm::None) {
        problem->kind = KindOfNonNumber(text);
        return false;
    }
    problem->byteSize = codec.ByteSize();
    if (form == NumberForm::TooBig) {
        problem->kind = ImportProblem::Kind::TooBig;
        return false;
    }
    if (codec.Constrain(*value, true) == *value) return true;
    if (codec.IsMasked()) {
        problem->kind = ImportProblem::Kind::OutsideMask;
        problem->high = codec.Mask();
    } else if (codec.IsBit()) {
        problem->kind = ImportProblem::Kind::NotABit;
    } else if (codec.IsRanged()) {
        problem->kind = ImportProblem::Kind::OutsideRange;
        problem->low = codec.Low();
        problem->high = codec.High();
    } else {
        problem->kind = ImportProblem::Kind::TooBig;
    }
    return false;
}

// A's bytes are b's n bytes; cells are short, a loop beats a call.
inline bool SameText(std::string_view a, const char* b, std::size_t n)
{
    if (a.size() != n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

bool IsBlank(const Rows::Row& row)
{
    for (std::size_t c = 0; c < row.size(); ++c) {
        if (!row[c].empty()) return false;
    }
    return true;
}

// The row's cells without the empty ones at its end.
std::size_t UsedCells(const Rows::Row& row)
{
    std::size_t n = row.size();
    while (n > 0 && row[n - 1].empty()) --n;
    return n;
}

// The separator a one-cell caption row seems to use instead of tabs.
std::string GuessSeparator(const Rows::Row& captions)
{
    if (UsedCells(captions) > 1) return std::string();
    const std::string_view text = captions.size() > 0 ? captions[0] : std::string_view();
    std::string best;
    std::size_t most = 0;
    for (const char* candidate : {";", ",", "|"}) {
        const std::size_t n = static_cast<std::size_t>(std::count(text.begin(), text.end(), candidate[0]));
        if (n > most) {
            most = n;
            best = candidate;
        }
    }
    return best;
}

// The caption row against the table's captions.
bool CheckCaptions(const CZOKDoc& doc, int section, const Rows& rows, ImportRefusal* refusal)
{
    const auto& columns = doc.sections[static_cast<std::size_t>(section)];
    if (rows.empty()) {
        refusal->kind = ImportRefusal::Kind::NoCaptionRow;
        return false;
    }
    const Rows::Row captions = rows[0];
    const std::size_t used = std::max<std::size_t>(UsedCells(captions), 1);
    if (used != columns.size() + 1) {
        refusal->kind = ImportRefusal::Kind::ColumnCount;
        refusal->fileColumns = used - 1;
        refusal->tableColumns = columns.size();
        refusal->separator = GuessSeparator(captions);
        return false;
    }
    for (std::size_t c = 0; c < used; ++c) {
        const std::string_view expected = c == 0 ? std::string_view() : std::string_view(columns[c - 1][ColumnField::caption]);
        const std::string_view found = c < captions.size() ? captions[c] : std::string_view();
        if (found != expected) {
            refusal->kind = ImportRefusal::Kind::Caption;
            refusal->column = c;
            refusal->fileCaption = std::string(found);
            refusal->tableCaption = std::string(expected);
            refusal->separator = GuessSeparator(captions);
            return false;
        }
    }
    return true;
}

// The table row of each file row (rows[1...]; -1 for a blank one): by position
// while the labels are the table's in its order, otherwise by label.
bool MatchRows(const CZOKDoc& doc, int section, const Rows& rows, std::vector<std::int64_t>* tableRows, TableImport* result)
{
    const TextList& labels = doc.RowLabels(section);
    tableRows->assign(rows.size(), -1);
    bool inOrder = true;
    std::size_t next = 0;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const Rows::Row row = rows[r];
        if (IsBlank(row)) continue;
        if (next >= labels.size() || row[0] != labels[next]) {
            inOrder = false;
            break;
        }
        (*tableRows)[r] = static_cast<std::int64_t>(next++);
    }
    if (inOrder) return true;
    // Another order, or rows missing: each label must name exactly one table row.
    result->matchedByName = true;
    std::unordered_map<std::string_view, std::int64_t> byLabel;  // label -> row, or -2 when the table has it twice
    byLabel.reserve(labels.size());
    for (std::size_t t = 0; t < labels.size(); ++t) {
        auto [entry, added] = byLabel.emplace(labels[t], static_cast<std::int64_t>(t));
        if (!added) entry->second = -2;
    }
    std::unordered_map<std::string_view, std::size_t> seen;  // label -> file rows with it
    ImportRefusal& refusal = result->refusal;
    auto name = [](std::vector<std::string>& list, std::size_t& count, std::string_view label) {
        if (list.size() < kNamedProblems) list.emplace_back(label);
        ++count;
    };
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const Rows::Row row = rows[r];
        (*tableRows)[r] = -1;
        if (IsBlank(row)) continue;
        const std::string_view label = row[0];
        const auto found = byLabel.find(label);
        if (found == byLabel.end()) {
            name(refusal.unknownRows, refusal.unknownCount, label);
            continue;
        }
        // The table has the label twice, or the file does: either way no one row
        // is meant. Each such label is named once.
        const std::size_t times = ++seen[label];
        const bool tableTwice = found->second == -2;
        if (tableTwice || times > 1) {
            if ((tableTwice && times == 1) || (!tableTwice && times == 2)) name(refusal.ambiguousRows, refusal.ambiguousCount, label);
            continue;
        }
        (*tableRows)[r] = found->second;
    }
    if (refusal.unknownCount == 0 && refusal.ambiguousCount == 0) return true;
    refusal.kind = ImportRefusal::Kind::Rows;
    return false;
}

void AddProblem(TableImport* result, ImportProblem problem)
{
    if (result->problems.size() < kNamedProblems) result->problems.push_back(std::move(problem));
    ++result->problemCount;
}

}  // namespace

TableImport CheckImport(const CZOKDoc& doc, int section, const Rows& rows)
{
    TableImport result;
    result.section = section;
    if (!CheckCaptions(doc, section, rows, &result.refusal)) return result;
    std::vector<std::int64_t> tableRows;
    if (!MatchRows(doc, section, rows, &tableRows, &result)) return result;
    const auto& columns = doc.sections[static_cast<std::size_t>(section)];
    const std::vector<ColumnCheck> checks = CheckColumns(doc, section);
    const ValueTable* table = static_cast<std::size_t>(section) < doc.values.size() ? &doc.values[static_cast<std::size_t>(section)] : nullptr;
    char now[48];
    for (std::size_t r = 1; r < rows.size(); ++r) {
        if (tableRows[r] < 0) continue;
        const auto t = static_cast<std::size_t>(tableRows[r]);
        const Rows::Row row = rows[r];
        const std::size_t cells = std::min(row.size(), columns.size() + 1);
        for (std::size_t c = 0; c + 1 < cells; ++c) {
            const std::string_view text = row[c + 1];
            const ColumnCheck& column = checks[c];
            auto problem = [&](ImportProblem::Kind kind) {
                ImportProblem p;
                p.kind = kind;
                p.label = std::string(row[0]);
                p.caption = columns[c][ColumnField::caption];
                p.text = std::string(text);
                return p;
            };
            if (!column.codec || t >= column.rows) {
                // The cell shows "--" and exports as empty: it takes no text.
                if (!text.empty()) AddProblem(&result, problem(ImportProblem::Kind::NoValue));
                continue;
            }
            const std::uint32_t current = table->Get(t, c);
            // An unchanged text is never a problem, even where the value lies outside its range.
            if (SameText(text, now, static_cast<std::size_t>(column.codec->WriteEditText(now, current)))) continue;
            std::uint32_t value = 0;
            ImportProblem why;  // its texts are filled in only for a problem
            if (!ReadCellValue(column, text, &value, &why)) {
                ImportProblem p = problem(why.kind);
                p.byteSize = why.byteSize;
                p.low = why.low;
                p.high = why.high;
                AddProblem(&result, std::move(p));
                continue;
            }
            if (value == current) continue;  // another form of the same value ("15" for "0X0F")
            if (!doc.CanStore(column.store, static_cast<int>(t))) {
                ++result.readOnly;
                continue;
            }
            result.changes.push_back({static_cast<std::uint32_t>(t), static_cast<std::uint32_t>(c), value});
        }
        // Texts beyond the last column have nowhere to go.
        for (std::size_t c = columns.size() + 1; c < row.size(); ++c) {
            if (row[c].empty()) continue;
            ImportProblem p;
            p.kind = ImportProblem::Kind::OutsideColumns;
            p.label = std::string(row[0]);
            p.text = std::string(row[c]);
            AddProblem(&result, std::move(p));
        }
    }
    if (!result.Accepted()) result.changes.clear();
    return result;
}

std::size_t ApplyImport(CZOKDoc& doc, const TableImport& checked)
{
    if (!checked.Accepted() || checked.changes.empty()) return 0;
    const int section = checked.section;
    std::uint32_t top = ~0u, bottom = 0, left = ~0u, right = 0;
    for (const TableImport::Change& change : checked.changes) {
        top = std::min(top, change.row);
        bottom = std::max(bottom, change.row);
        left = std::min(left, change.column);
        right = std::max(right, change.column);
    }
    // One edit record for the rectangle that holds them, as a paste makes: the
    // save writes it, and undo takes the whole import back in one step.
    std::vector<const ColumnCodec*> codecs(right + 1, nullptr);
    std::vector<std::size_t> dataRows(right + 1, 0);
    const ValueTable& table = doc.values[static_cast<std::size_t>(section)];
    for (std::uint32_t c = left; c <= right; ++c) {
        if (!table.Contains(0, c)) continue;
        codecs[c] = &doc.CodecOf(section, static_cast<int>(c));
        dataRows[c] = std::min<std::size_t>(static_cast<std::size_t>(std::max(codecs[c]->RowCount(), 0)), table.Rows());
    }
    std::string before;
    before.reserve(static_cast<std::size_t>(bottom - top + 1) * (right - left + 1) * 6);
    char cell[48];
    for (std::uint32_t r = top; r <= bottom; ++r) {
        for (std::uint32_t c = left; c <= right; ++c) {
            if (codecs[c] && r < dataRows[c]) before.append(cell, static_cast<std::size_t>(codecs[c]->WriteEditText(cell, table.Get(r, c))));
            if (c < right) before += '\t';
        }
        if (r < bottom) before += "\r\n";
    }
    doc.history.RecordEdit(FormatEditRecord({section, static_cast<int>(left) + 1, static_cast<int>(right) + 1, static_cast<int>(top) + 1,
                                             static_cast<int>(bottom) + 1},
                                            before));
    doc.history.ClearRedo();
    std::vector<CZOKDoc::ColumnStore> stores(right + 1);
    for (std::uint32_t c = left; c <= right; ++c) {
        if (codecs[c]) stores[c] = doc.PrepareStore(section, static_cast<int>(c));
    }
    // Every change passed CanStore in the check; the store only sets.
    doc.BeginStores();
    for (const TableImport::Change& change : checked.changes) {
        doc.StoreValue(stores[change.column], section, static_cast<int>(change.column), static_cast<int>(change.row), change.value);
    }
    doc.TellValuesChanged({section, static_cast<int>(left) + 1, static_cast<int>(right) + 1, static_cast<int>(top) + 1, static_cast<int>(bottom) + 1});
    return checked.changes.size();
}

TableImport ImportRows(CZOKDoc& doc, int section, const Rows& rows)
{
    TableImport checked = CheckImport(doc, section, rows);
    ApplyImport(doc, checked);
    return checked;
}

// ---- descriptions ----

namespace {

std::string Hex(std::uint32_t v) { return "0X" + text::FormatHex(v); }

std::string Quoted(const std::string& text, TextConverter toOutput) { return "\"" + toOutput(text) + "\""; }

std::string LabelList(const std::vector<std::string>& labels, std::size_t count, TextConverter toOutput)
{
    std::string list;
    for (const std::string& label : labels) list += (list.empty() ? "" : ", ") + Quoted(label, toOutput);
    if (count > labels.size()) list += " and " + text::FormatDec(static_cast<std::int64_t>(count - labels.size())) + " more";
    return list;
}

}  // namespace

std::string DescribeProblem(const ImportProblem& p, TextConverter toOutput)
{
    std::string why;
    switch (p.kind) {
    case ImportProblem::Kind::Empty: why = "an empty cell where the table holds a value"; break;
    case ImportProblem::Kind::NotANumber: why = "not a number"; break;
    case ImportProblem::Kind::Fraction: why = "a fraction; the column holds whole numbers"; break;
    case ImportProblem::Kind::Separators: why = "a number with thousands separators; write it without them"; break;
    case ImportProblem::Kind::FullWidth: why = "full-width digits; write the number in ASCII digits"; break;
    case ImportProblem::Kind::TooBig:
        why = "too big for the column (" + text::FormatDec(p.byteSize) + (p.byteSize == 1 ? " byte)" : " bytes)");
        break;
    case ImportProblem::Kind::OutsideRange: why = "outside the column's range " + Hex(p.low) + " to " + Hex(p.high); break;
    case ImportProblem::Kind::OutsideMask: why = "has bits outside the column's mask " + Hex(p.high); break;
    case ImportProblem::Kind::NotABit: why = "a bit column holds 0 or 1"; break;
    case ImportProblem::Kind::UnknownLabel: why = "not a label of the column's value list"; break;
    case ImportProblem::Kind::AmbiguousLabel: why = "a label that more than one item of the value list has"; break;
    case ImportProblem::Kind::NoValue: why = "the cell holds no value (\"--\")"; break;
    case ImportProblem::Kind::OutsideColumns: why = "beyond the table's last column"; break;
    }
    const std::string where = p.caption.empty() && p.kind == ImportProblem::Kind::OutsideColumns ? "beyond the last column"
                                                                                                 : "column " + Quoted(p.caption, toOutput);
    return "row " + Quoted(p.label, toOutput) + ", " + where + ": " + Quoted(p.text, toOutput) + " is " + why;
}

std::string DescribeRefusal(const ImportRefusal& r, TextConverter toOutput)
{
    const std::string separator = r.separator.empty() ? std::string() : "; the file seems to separate cells with \"" + r.separator + "\", not tabs";
    switch (r.kind) {
    case ImportRefusal::Kind::None: return std::string();
    case ImportRefusal::Kind::NoCaptionRow: return "the file holds no caption row";
    case ImportRefusal::Kind::ColumnCount:
        return "its caption row has " + text::FormatDec(static_cast<std::int64_t>(r.fileColumns)) + " columns, the table " +
               text::FormatDec(static_cast<std::int64_t>(r.tableColumns)) + separator;
    case ImportRefusal::Kind::Caption:
        if (r.column == 0) return "its caption row starts with " + Quoted(r.fileCaption, toOutput) + " where the table's is empty" + separator;
        return "caption " + text::FormatDec(static_cast<std::int64_t>(r.column)) + " is " + Quoted(r.fileCaption, toOutput) + " in the file and " +
               Quoted(r.tableCaption, toOutput) + " in the table" + separator;
    case ImportRefusal::Kind::Rows: {
        std::string text;
        if (r.unknownCount > 0) text = "rows the table does not have: " + LabelList(r.unknownRows, r.unknownCount, toOutput);
        if (r.ambiguousCount > 0) {
            text += (text.empty() ? "" : "; ") + std::string("rows whose label names more than one row: ") +
                    LabelList(r.ambiguousRows, r.ambiguousCount, toOutput);
        }
        return text;
    }
    }
    return std::string();
}

}  // namespace zok2::exchange
