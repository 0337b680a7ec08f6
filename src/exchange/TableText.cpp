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

std::string_view WithoutMark(std::string_view text) { return text.substr(0, 3) == kByteOrderMark ? text.substr(3) : text; }

}  // namespace

Rows ExportRows(const CZOKDoc& doc, int section)
{
    Rows rows;
    const auto& columns = doc.sections[static_cast<std::size_t>(section)];
    std::vector<std::string> captions{std::string()};
    for (const ColumnDefinition& d : columns) captions.push_back(d[ColumnField::caption]);
    rows.push_back(std::move(captions));
    const TextList& labels = doc.RowLabels(section);
    for (std::size_t r = 0; r < labels.size(); ++r) {
        std::vector<std::string> row{std::string(labels[r])};
        for (std::size_t c = 0; c < columns.size(); ++c) {
            std::string cell;
            if (doc.HasData(section, static_cast<int>(c), static_cast<int>(r))) {
                // As copy gives it: list columns by value, not by label.
                const ColumnCodec& codec = doc.CodecOf(section, static_cast<int>(c));
                codec.AppendText(doc.Value(section, static_cast<int>(c), static_cast<int>(r)), codec.Radix() == 0, cell);
            }
            row.push_back(std::move(cell));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

ImportReport ImportRows(CZOKDoc& doc, int section, const Rows& rows)
{
    ImportReport report;
    const Rows now = ExportRows(doc, section);
    if (rows.empty() || rows[0] != now[0]) {
        report.refused = "its caption row is not the table's";
        return report;
    }
    // The cells to store: those whose text differs from what export gives now
    // (an unchanged text is not stored again, so an unchanged import changes no byte).
    struct Change {
        std::size_t row, column;
    };
    std::vector<Change> changes;
    std::size_t top = now.size(), bottom = 0, left = now[0].size(), right = 0;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        if (r >= now.size()) {
            report.outside += static_cast<int>(rows[r].size());
            continue;
        }
        for (std::size_t c = 1; c < rows[r].size(); ++c) {
            if (c >= now[r].size()) {
                ++report.outside;
                continue;
            }
            if (rows[r][c] == now[r][c]) continue;
            const int column = static_cast<int>(c) - 1, row = static_cast<int>(r) - 1;
            if (!doc.IsEditable(section, column, row)) {
                if (doc.HasData(section, column, row)) ++report.readOnly;
                continue;
            }
            changes.push_back({r, c});
            top = std::min(top, r);
            bottom = std::max(bottom, r);
            left = std::min(left, c);
            right = std::max(right, c);
        }
    }
    if (changes.empty()) return report;
    // One edit record for the rectangle that holds them, as a paste makes: the
    // save writes it, and undo takes the whole import back in one step.
    std::string before;
    for (std::size_t r = top; r <= bottom; ++r) {
        for (std::size_t c = left; c <= right; ++c) {
            before += now[r][c];
            if (c < right) before += '\t';
        }
        if (r < bottom) before += "\r\n";
    }
    doc.history.RecordEdit(FormatEditRecord({section, static_cast<int>(left), static_cast<int>(right), static_cast<int>(top), static_cast<int>(bottom)}, before));
    doc.history.ClearRedo();
    for (const Change& change : changes) {
        doc.StoreCellText(section, static_cast<int>(change.column) - 1, static_cast<int>(change.row) - 1, rows[change.row][change.column]);
    }
    report.changed = static_cast<int>(changes.size());
    return report;
}

// ---- TSV ----

std::string WriteTsv(const Rows& rows)
{
    std::string out;
    for (const auto& row : rows) {
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
    rows->clear();
    text = WithoutMark(text);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::vector<std::string> row;
        for (;;) {
            const std::size_t tab = line.find('\t');
            row.emplace_back(line.substr(0, tab));
            if (tab == std::string_view::npos) break;
            line.remove_prefix(tab + 1);
        }
        rows->push_back(std::move(row));
    }
    return true;
}

// ---- CSV (RFC 4180) ----

std::string WriteCsv(const Rows& rows)
{
    std::string out(kByteOrderMark);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) out += ',';
            const std::string& field = row[c];
            if (field.find_first_of(",\"\r\n") == std::string::npos) {
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
    text = WithoutMark(text);
    std::vector<std::string> row;
    std::string field;
    std::size_t i = 0;
    bool fieldStarted = false;
    while (i < text.size()) {
        const char ch = text[i];
        if (ch == '"' && field.empty() && !fieldStarted) {
            // A quoted field: "" is a quote; it ends at the lone closing quote.
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    if (reason) *reason = "a quoted CSV field has no closing quote";
                    return false;
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            fieldStarted = true;
            continue;
        }
        if (ch == ',') {
            row.push_back(std::move(field));
            field.clear();
            fieldStarted = false;
            ++i;
        } else if (ch == '\r' || ch == '\n') {
            row.push_back(std::move(field));
            field.clear();
            fieldStarted = false;
            rows->push_back(std::move(row));
            row.clear();
            i += ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
        } else {
            field += ch;
            fieldStarted = true;
            ++i;
        }
    }
    if (fieldStarted || !field.empty() || !row.empty()) {
        row.push_back(std::move(field));
        rows->push_back(std::move(row));
    }
    return true;
}

// ---- JSON ----

namespace {

void AppendJsonString(const std::string& text, std::string* out)
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
                rows->push_back(keys);
                if (!rows->back().empty()) rows->back()[0].clear();  // the label's key is ""
                first = false;
            } else if (keys != captions) {
                return Fail(reason, "the JSON rows do not all have the same keys");
            }
            rows->push_back(std::move(values));
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
            AppendJsonString(c == 0 ? std::string() : rows[0][c], &out);
            out += ": ";
            AppendJsonString(rows[r][c], &out);
        }
        out += '}';
    }
    out += rows.size() > 1 ? "\n]\n" : "]\n";
    return out;
}

bool ReadJson(std::string_view text, Rows* rows, std::string* reason) { return JsonReader(WithoutMark(text)).ReadRows(rows, reason); }

bool ReadTable(std::string_view extension, std::string_view text, Rows* rows, std::string* reason)
{
    if (extension == ".csv") return ReadCsv(text, rows, reason);
    if (extension == ".json") return ReadJson(text, rows, reason);
    return ReadTsv(text, rows, reason);
}

}  // namespace zok2::exchange
