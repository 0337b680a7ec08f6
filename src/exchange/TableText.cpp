#include "exchange/TableText.h"

#include <algorithm>
#include <cstdio>

#include "binary/ValueCodec.h"
#include "document/CZOKDoc.h"
#include "text/SjisText.h"
#include "text/Utf8.h"

namespace zok2::exchange {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What a table's columns hold, looked up once for all its rows.
struct ColumnPlan {
    const ColumnCodec* codec = nullptr;  // none: the column shows no value
    bool byValue = false;                // list columns are written by value, not by label
    std::size_t rows = 0;                // rows holding data
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
        column.byValue = column.codec->Radix() == 0 && !doc.IsChecksumSection(section);  // the checksum table as shown
        column.rows = std::min<std::size_t>(static_cast<std::size_t>(std::max(column.codec->RowCount(), 0)), table->Rows());
    }
    return plan;
}

// Appends a cell's text as copy gives it ("" without data).
inline void AppendCell(const CZOKDoc& doc, int section, const ColumnPlan& column, std::size_t c, std::size_t r, std::string& out)
{
    // A checksum that cannot be computed holds no value.
    if (column.codec && r < column.rows && (section != doc.ChecksumSection() || doc.HasData(section, static_cast<int>(c), static_cast<int>(r)))) {
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

// ---- TSV ----

namespace {

// A TSV cell is quoted when a reader would otherwise split it or take its
// quotes away: it holds a tab or a line end, or starts with a quote (or with
// a byte-order mark, which a reader takes off the text's start).
bool TsvNeedsQuotes(std::string_view cell)
{
    if (cell.empty()) return false;
    if (cell[0] == '"' || cell.substr(0, 3) == kByteOrderMark) return true;
    // Cells are a few bytes: one pass, no library call for each.
    for (char ch : cell) {
        if (ch == '\t' || ch == '\r' || ch == '\n') return true;
    }
    return false;
}

void AppendQuoted(std::string_view field, std::string& out)
{
    out += '"';
    for (char ch : field) {
        if (ch == '"') out += '"';
        out += ch;
    }
    out += '"';
}

std::string LineText(std::size_t line) { return "line " + text::FormatDec(static_cast<std::int64_t>(line)); }

// A quoted field's text, from just past its opening quote, into the current
// cell: "" is a quote, a lone quote ends it (i is left past it). Line ends
// inside are counted (a lone CR too where it ends a line). False when no
// closing quote comes.
bool TakeQuoted(std::string_view text, std::size_t& i, std::size_t& line, bool loneCrEndsLine, Rows* rows)
{
    while (i < text.size()) {
        const char ch = text[i];
        if (ch == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
                rows->Append('"');
                i += 2;
                continue;
            }
            ++i;
            return true;
        }
        if (ch == '\n' || (loneCrEndsLine && ch == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
        rows->Append(ch);
        ++i;
    }
    return false;
}

}  // namespace

std::string WriteTsv(const Rows& rows)
{
    std::string out;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Rows::Row row = rows[r];
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) out += '\t';
            if (TsvNeedsQuotes(row[c])) {
                AppendQuoted(row[c], out);
            } else {
                out += row[c];
            }
        }
        out += '\n';
    }
    return out;
}

bool ReadTsv(std::string_view text, Rows* rows, std::string* reason)
{
    if (WithoutByteOrderMark(text).find('"') == std::string_view::npos) {
        // No quotes (the usual case): the text is its own buffer, split in place
        // (its byte-order mark taken off there).
        rows->AdoptTsv(std::string(text));
        return true;
    }
    text = WithoutByteOrderMark(text);
    // Spreadsheets quote cells ("" for a quote); such a cell may hold tabs and line ends.
    rows->clear();
    std::size_t i = 0, line = 1;
    while (i < text.size()) {
        rows->StartRow();
        for (;;) {
            if (i < text.size() && text[i] == '"') {
                const std::size_t opened = line;
                ++i;
                if (!TakeQuoted(text, i, line, false, rows)) {
                    if (reason) *reason = LineText(opened) + ": a quoted cell has no closing quote";
                    return false;
                }
                const bool ends = i >= text.size() || text[i] == '\t' || text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] == '\n'));
                if (!ends) {
                    if (reason) *reason = LineText(line) + ": text follows a quoted cell's closing quote";
                    return false;
                }
            } else {
                // An unquoted cell runs to the next tab or line end (a quote inside is text).
                while (i < text.size() && text[i] != '\t' && text[i] != '\n') {
                    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') break;
                    rows->Append(text[i++]);
                }
            }
            rows->EndCell();
            if (i < text.size() && text[i] == '\t') {
                ++i;
                continue;
            }
            if (i < text.size() && text[i] == '\r') ++i;
            if (i < text.size() && text[i] == '\n') {
                ++i;
                ++line;
            }
            break;
        }
    }
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
            AppendQuoted(field, out);
        }
        out += "\r\n";
    }
    return out;
}

bool ReadCsv(std::string_view text, Rows* rows, std::string* reason)
{
    rows->clear();
    text = WithoutByteOrderMark(text);
    std::size_t i = 0, line = 1;
    bool inRow = false;         // a row has been started
    bool fieldStarted = false;  // the current field has text
    bool quoted = false;        // ... and it was quoted (it is over)
    auto startRow = [&] {
        if (!inRow) rows->StartRow();
        inRow = true;
    };
    auto fail = [&](std::size_t at, const char* what) {
        if (reason) *reason = LineText(at) + ": " + what;
        return false;
    };
    while (i < text.size()) {
        const char ch = text[i];
        startRow();
        if (ch == ',') {
            rows->EndCell();
            fieldStarted = quoted = false;
            ++i;
        } else if (ch == '\r' || ch == '\n') {
            rows->EndCell();
            fieldStarted = quoted = false;
            inRow = false;
            i += ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
            ++line;
        } else if (quoted) {
            return fail(line, "text follows a quoted field's closing quote");
        } else if (ch == '"' && fieldStarted) {
            return fail(line, "a quote inside a field that is not quoted (a field with quotes is quoted whole, its quotes doubled)");
        } else if (ch == '"') {
            // A quoted field: "" is a quote; it ends at the lone closing quote.
            const std::size_t opened = line;
            ++i;
            if (!TakeQuoted(text, i, line, true, rows)) return fail(opened, "a quoted CSV field has no closing quote");
            rows->Append(std::string_view());
            fieldStarted = quoted = true;
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
            // The row label's key is "", first in every row, as export writes it.
            if (keys.empty() || !keys[0].empty()) return Fail(reason, "a JSON row does not start with the row label's key \"\"");
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
    if (const std::size_t bad = text::FirstInvalidUtf8(text); bad != std::string_view::npos) {
        if (reason) *reason = LineText(text::LineOfOffset(text, bad)) + " is not UTF-8 (save the table as UTF-8; Shift-JIS is not read)";
        return false;
    }
    if (extension == ".csv") return ReadCsv(text, rows, reason);
    if (extension == ".json") return ReadJson(text, rows, reason);
    return ReadTsv(text, rows, reason);
}

}  // namespace zok2::exchange
