#include "exchange/TableText.h"

#include <algorithm>
#include <cstdio>

#include "binary/ValueCodec.h"
#include "document/CZOKDoc.h"
#include "document/EditRecord.h"
#include "text/SjisText.h"

namespace zok2::exchange {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What a table's columns hold, looked up once for all its rows.
struct ColumnPlan {
    const ColumnCodec* codec = nullptr;  // none: the column shows no value
    bool byValue = false;                // list columns are written by value, not by label
    std::size_t rows = 0;                // rows holding data
    CZOKDoc::ColumnStore store;
};

std::vector<ColumnPlan> PlanColumns(const CZOKDoc& doc, int section)
{
    const auto& columns = doc.sections[static_cast<std::size_t>(section)];
    const ValueTable* table = static_cast<std::size_t>(section) < doc.values.size() ? &doc.values[static_cast<std::size_t>(section)] : nullptr;
    std::vector<ColumnPlan> plan(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (!table || !table->Contains(0, c)) continue;
        ColumnPlan& column = plan[c];
        column.codec = &doc.CodecOf(section, static_cast<int>(c));
        column.byValue = column.codec->Radix() == 0;
        column.rows = std::min<std::size_t>(static_cast<std::size_t>(std::max(column.codec->RowCount(), 0)), table->Rows());
        column.store = doc.PrepareStore(section, static_cast<int>(c));
    }
    return plan;
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

// Appends a cell's text as copy gives it ("" without data).
inline void AppendCell(const CZOKDoc& doc, int section, const ColumnPlan& column, std::size_t c, std::size_t r, std::string& out)
{
    if (column.codec && r < column.rows) {
        column.codec->AppendText(doc.values[static_cast<std::size_t>(section)].Get(r, c), column.byValue, out);
    }
}

}  // namespace

Rows ExportRows(const CZOKDoc& doc, int section)
{
    Rows rows;
    const auto& columns = doc.sections[static_cast<std::size_t>(section)];
    const TextList& labels = doc.RowLabels(section);
    rows.Reserve(labels.size() + 1, (labels.size() + 1) * (columns.size() + 1), (labels.size() + 1) * (columns.size() + 1) * 4);
    rows.StartRow();
    rows.AddCell("");
    for (const ColumnDefinition& d : columns) rows.AddCell(d[ColumnField::caption]);
    const std::vector<ColumnPlan> plan = PlanColumns(doc, section);
    std::string cell;
    for (std::size_t r = 0; r < labels.size(); ++r) {
        rows.StartRow();
        rows.AddCell(labels[r]);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            cell.clear();
            AppendCell(doc, section, plan[c], c, r, cell);
            rows.AddCell(cell);
        }
    }
    return rows;
}

ImportReport ImportRows(CZOKDoc& doc, int section, const Rows& rows)
{
    ImportReport report;
    const auto& columns = doc.sections[static_cast<std::size_t>(section)];
    bool captionsFit = !rows.empty() && rows[0].size() == columns.size() + 1 && rows[0][0].empty();
    for (std::size_t c = 0; captionsFit && c < columns.size(); ++c) captionsFit = rows[0][c + 1] == columns[c][ColumnField::caption];
    if (!captionsFit) {
        report.refused = "its caption row is not the table's";
        return report;
    }
    const std::vector<ColumnPlan> plan = PlanColumns(doc, section);
    const std::size_t tableRows = doc.RowLabels(section).size();
    const std::size_t shared = std::min(rows.size() - 1, tableRows);
    // The texts export gives now, for every row the file reaches, as lines of
    // tab-separated cells: what the file's texts are compared with, and where
    // the undo record's text is cut from. Cells are a few bytes: they are
    // written and compared in place, without a library call for each.
    std::string now(shared * columns.size() * 4 + 64, '\0');
    std::size_t used = 0;
    std::vector<std::size_t> lineStarts;
    lineStarts.reserve(shared + 1);
    // The cells to store, a bit each: those whose text differs from what export
    // gives now (an unchanged text is not stored again, so an unchanged import
    // changes no byte).
    std::vector<bool> changed(shared * columns.size());
    std::size_t changes = 0;
    std::size_t top = rows.size(), bottom = 0, left = columns.size() + 1, right = 0;
    const ValueTable* table = static_cast<std::size_t>(section) < doc.values.size() ? &doc.values[static_cast<std::size_t>(section)] : nullptr;
    for (std::size_t r = 1; r <= shared; ++r) {
        const Rows::Row row = rows[r];
        lineStarts.push_back(used);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (now.size() - used < 48) now.resize(now.size() * 2);
            char* const cell = now.data() + used;
            const ColumnPlan& column = plan[c];
            std::size_t length = 0;
            if (column.codec && r - 1 < column.rows) length = static_cast<std::size_t>(column.codec->WriteEditText(cell, table->Get(r - 1, c)));
            if (c + 1 < row.size() && !SameText(row[c + 1], cell, length)) {
                if (!doc.CanStore(column.store, static_cast<int>(r - 1))) {
                    if (column.codec && r - 1 < column.rows) ++report.readOnly;
                } else {
                    changed[(r - 1) * columns.size() + c] = true;
                    ++changes;
                    top = std::min(top, r);
                    bottom = std::max(bottom, r);
                    left = std::min(left, c + 1);
                    right = std::max(right, c + 1);
                }
            }
            used += length;
            if (c + 1 < columns.size()) {
                now[used++] = '\t';
            } else {
                now[used++] = '\r';
                now[used++] = '\n';
            }
        }
        if (row.size() > columns.size() + 1) report.outside += static_cast<int>(row.size() - columns.size() - 1);
    }
    now.resize(used);
    lineStarts.push_back(now.size());
    for (std::size_t r = shared + 1; r < rows.size(); ++r) report.outside += static_cast<int>(rows[r].size() > 0 ? rows[r].size() - 1 : 0);
    if (changes == 0) return report;
    // One edit record for the rectangle that holds them, as a paste makes: the
    // save writes it, and undo takes the whole import back in one step.
    std::string_view before;
    std::string cut;
    if (left == 1 && right == columns.size()) {
        before = std::string_view(now).substr(lineStarts[top - 1], lineStarts[bottom] - lineStarts[top - 1] - 2);
    } else {
        for (std::size_t r = top; r <= bottom; ++r) {
            std::string_view line = std::string_view(now).substr(lineStarts[r - 1], lineStarts[r] - lineStarts[r - 1] - 2);
            for (std::size_t c = 1; c <= right; ++c) {
                const std::size_t tab = line.find('\t');
                if (c >= left) {
                    cut += line.substr(0, tab);
                    if (c < right) cut += '\t';
                }
                line.remove_prefix(tab == std::string_view::npos ? line.size() : tab + 1);
            }
            if (r < bottom) cut += "\r\n";
        }
        before = cut;
    }
    doc.history.RecordEdit(FormatEditRecord({section, static_cast<int>(left), static_cast<int>(right), static_cast<int>(top), static_cast<int>(bottom)}, before));
    doc.history.ClearRedo();
    // Every marked cell passed CanStore above; the store only parses and sets.
    doc.BeginStores();
    for (std::size_t r = top; r <= bottom; ++r) {
        const Rows::Row row = rows[r];
        for (std::size_t c = left; c <= right; ++c) {
            if (!changed[(r - 1) * columns.size() + c - 1]) continue;
            const ColumnPlan& column = plan[c - 1];
            doc.StoreValue(column.store, section, static_cast<int>(c) - 1, static_cast<int>(r) - 1, column.codec->Parse(row[c], true));
        }
    }
    report.changed = static_cast<int>(changes);
    return report;
}

// ---- TSV ----

std::string WriteTsv(const Rows& rows)
{
    std::string out;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Rows::Row row = rows[r];
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) out += '\t';
            out += row[c];
        }
        out += '\n';
    }
    return out;
}

bool ReadTsv(std::string_view text, Rows* rows, std::string* reason)
{
    (void)reason;
    rows->AdoptTsv(std::string(text));
    return true;
}

// ---- CSV (RFC 4180) ----

std::string WriteCsv(const Rows& rows)
{
    std::string out(kByteOrderMark);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Rows::Row row = rows[r];
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) out += ',';
            const std::string_view field = row[c];
            if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
                out += field;
                continue;
            }
            out += '"';
            for (char ch : field) {
                if (ch == '"') out += '"';
                out += ch;
            }
            out += '"';
        }
        out += "\r\n";
    }
    return out;
}

bool ReadCsv(std::string_view text, Rows* rows, std::string* reason)
{
    rows->clear();
    text = WithoutByteOrderMark(text);
    std::size_t i = 0;
    bool inRow = false;        // a row has been started
    bool fieldStarted = false;  // the current field has text or a quote
    auto startRow = [&] {
        if (!inRow) rows->StartRow();
        inRow = true;
    };
    while (i < text.size()) {
        const char ch = text[i];
        if (ch == '"' && !fieldStarted) {
            // A quoted field: "" is a quote; it ends at the lone closing quote.
            startRow();
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    if (reason) *reason = "a quoted CSV field has no closing quote";
                    return false;
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        rows->Append('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                rows->Append(text[i++]);
            }
            fieldStarted = true;
            continue;
        }
        startRow();
        if (ch == ',') {
            rows->EndCell();
            fieldStarted = false;
            ++i;
        } else if (ch == '\r' || ch == '\n') {
            rows->EndCell();
            fieldStarted = false;
            inRow = false;
            i += ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
        } else {
            rows->Append(ch);
            fieldStarted = true;
            ++i;
        }
    }
    if (inRow) rows->EndCell();
    return true;
}

// ---- JSON ----

namespace {

void AppendJsonString(std::string_view text, std::string* out)
{
    *out += '"';
    for (unsigned char ch : text) {
        switch (ch) {
        case '"': *out += "\\\""; break;
        case '\\': *out += "\\\\"; break;
        case '\n': *out += "\\n"; break;
        case '\r': *out += "\\r"; break;
        case '\t': *out += "\\t"; break;
        default:
            if (ch < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04X", ch);
                *out += escaped;
            } else {
                *out += static_cast<char>(ch);
            }
        }
    }
    *out += '"';
}

// A reader of exactly what WriteJson writes, and of any JSON of the same shape:
// an array of objects whose values are strings.
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : m_text(text) {}

    bool ReadRows(Rows* rows, std::string* reason)
    {
        rows->clear();
        std::vector<std::string> captions;
        bool first = true;
        if (!Take('[')) return Fail(reason, "a JSON table is an array of rows");
        if (Take(']')) return Done(reason);
        do {
            if (!Take('{')) return Fail(reason, "a JSON row is an object");
            std::vector<std::string> keys, values;
            if (!Take('}')) {
                do {
                    std::string key, value;
                    if (!String(&key) || !Take(':') || !String(&value)) return Fail(reason, "a JSON row holds texts keyed by caption");
                    keys.push_back(std::move(key));
                    values.push_back(std::move(value));
                } while (Take(','));
                if (!Take('}')) return Fail(reason, "a JSON row object is not closed");
            }
            if (first) {
                captions = keys;
                rows->StartRow();
                for (std::size_t c = 0; c < keys.size(); ++c) rows->AddCell(c == 0 ? std::string() : keys[c]);  // the label's key is ""
                first = false;
            } else if (keys != captions) {
                return Fail(reason, "the JSON rows do not all have the same keys");
            }
            rows->StartRow();
            for (const std::string& value : values) rows->AddCell(value);
        } while (Take(','));
        if (!Take(']')) return Fail(reason, "the JSON array is not closed");
        return Done(reason);
    }

private:
    static bool Fail(std::string* reason, const char* text)
    {
        if (reason) *reason = text;
        return false;
    }
    bool Done(std::string* reason)
    {
        Skip();
        return m_at == m_text.size() || Fail(reason, "there is text after the JSON array");
    }
    void Skip()
    {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\n' || m_text[m_at] == '\r' || m_text[m_at] == '\t')) ++m_at;
    }
    bool Take(char ch)
    {
        Skip();
        if (m_at < m_text.size() && m_text[m_at] == ch) {
            ++m_at;
            return true;
        }
        return false;
    }
    static void AppendUtf8(std::uint32_t code, std::string* out)
    {
        if (code < 0x80) {
            out->push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out->push_back(static_cast<char>(0xC0 | (code >> 6)));
            out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out->push_back(static_cast<char>(0xE0 | (code >> 12)));
            out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out->push_back(static_cast<char>(0xF0 | (code >> 18)));
            out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    bool Hex4(std::uint32_t* value)
    {
        if (m_at + 4 > m_text.size()) return false;
        *value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_at++];
            const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (digit < 0) return false;
            *value = *value * 16 + static_cast<std::uint32_t>(digit);
        }
        return true;
    }
    bool String(std::string* out)
    {
        if (!Take('"')) return false;
        while (m_at < m_text.size()) {
            const char ch = m_text[m_at++];
            if (ch == '"') return true;
            if (ch != '\\') {
                out->push_back(ch);
                continue;
            }
            if (m_at >= m_text.size()) return false;
            const char escaped = m_text[m_at++];
            switch (escaped) {
            case '"': out->push_back('"'); break;
            case '\\': out->push_back('\\'); break;
            case '/': out->push_back('/'); break;
            case 'b': out->push_back('\b'); break;
            case 'f': out->push_back('\f'); break;
            case 'n': out->push_back('\n'); break;
            case 'r': out->push_back('\r'); break;
            case 't': out->push_back('\t'); break;
            case 'u': {
                std::uint32_t code = 0;
                if (!Hex4(&code)) return false;
                if (code >= 0xD800 && code < 0xDC00) {  // a surrogate pair
                    std::uint32_t low = 0;
                    if (m_at + 2 > m_text.size() || m_text[m_at] != '\\' || m_text[m_at + 1] != 'u') return false;
                    m_at += 2;
                    if (!Hex4(&low) || low < 0xDC00 || low >= 0xE000) return false;
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(code, out);
                break;
            }
            default: return false;
            }
        }
        return false;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

}  // namespace

std::string WriteJson(const Rows& rows)
{
    std::string out = "[";
    for (std::size_t r = 1; r < rows.size(); ++r) {
        out += r > 1 ? ",\n  {" : "\n  {";
        for (std::size_t c = 0; c < rows[r].size() && c < rows[0].size(); ++c) {
            if (c > 0) out += ", ";
            AppendJsonString(c == 0 ? std::string_view() : rows[0][c], &out);
            out += ": ";
            AppendJsonString(rows[r][c], &out);
        }
        out += '}';
    }
    out += rows.size() > 1 ? "\n]\n" : "]\n";
    return out;
}

bool ReadJson(std::string_view text, Rows* rows, std::string* reason) { return JsonReader(WithoutByteOrderMark(text)).ReadRows(rows, reason); }

bool ReadTable(std::string_view extension, std::string_view text, Rows* rows, std::string* reason)
{
    if (extension == ".csv") return ReadCsv(text, rows, reason);
    if (extension == ".json") return ReadJson(text, rows, reason);
    return ReadTsv(text, rows, reason);
}

}  // namespace zok2::exchange
