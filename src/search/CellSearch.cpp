#include "search/CellSearch.h"

#include <algorithm>

#include "binary/ValueCodec.h"
#include "document/CZOKDoc.h"
#include "text/SjisText.h"

namespace zok2::search {

namespace {

// Characters a number's display text can hold ("0X1A", "-8", "255").
bool CouldBeNumberText(const FoldedText& pattern)
{
    return std::all_of(pattern.begin(), pattern.end(), [](std::uint16_t c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || c == 'X' || c == '-';
    });
}


// Whether the decimal digits of x hold the pattern's (of Window / 10 .. Window - 1
// digits' width, leading zeros counted): each window of x's digits in turn.
template <std::uint32_t Window>
bool DecimalHolds(std::uint32_t x, std::uint32_t pattern)
{
    for (; x >= Window / 10; x /= 10) {
        if (x % Window == pattern) return true;
    }
    return false;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// An ASCII text holds an upper-case ASCII pattern, letters compared without case.
bool AsciiContains(std::string_view text, const std::string& pattern, bool whole)
{
    if (pattern.empty() || text.size() < pattern.size() || (whole && text.size() != pattern.size())) return false;
    // Without letters case does not matter: the library's search (vectorized) does.
    if (std::none_of(pattern.begin(), pattern.end(), [](char ch) { return ch >= 'A' && ch <= 'Z'; })) {
        return whole ? text == pattern : text.find(pattern) != std::string_view::npos;
    }
    const std::size_t last = text.size() - pattern.size();
    for (std::size_t at = 0; at <= last; ++at) {
        if (UpperAscii(text[at]) != pattern[0]) continue;
        std::size_t i = 1;
        while (i < pattern.size() && UpperAscii(text[at + i]) == pattern[i]) ++i;
        if (i == pattern.size()) return true;
    }
    return false;
}

}  // namespace

std::optional<std::uint64_t> ReadHexDigits(std::string_view digits, std::size_t most)
{
    if (digits.empty() || digits.size() > most) return std::nullopt;
    std::uint64_t v = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        v = (v << 4) | static_cast<std::uint64_t>(digit);
    }
    return v;
}

std::optional<SearchNumber> ReadSearchNumber(const std::string& sjis)
{
    std::string_view s = sjis;
    if (s.empty()) return std::nullopt;
    SearchNumber number;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        const std::optional<std::uint64_t> v = ReadHexDigits(s.substr(2), 8);
        if (!v) return std::nullopt;
        number.value = static_cast<std::int64_t>(*v);
        number.hexadecimal = true;
        return number;
    }
    const bool negative = s[0] == '-';
    if (negative || s[0] == '+') s.remove_prefix(1);
    if (s.empty() || s.size() > 10) return std::nullopt;
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > 0xFFFFFFFFll) return std::nullopt;
    number.value = negative ? -v : v;
    return number;
}

CellSearch::CellSearch(const CZOKDoc& doc, SearchQuery query)
    : m_doc(doc), m_query(std::move(query)), m_pattern(Fold(m_query.text))
{
    for (std::size_t s = 0; s < doc.sections.size(); ++s) {
        if (doc.sections[s].empty()) continue;
        if (m_query.onlySection >= 0 && static_cast<int>(s) != m_query.onlySection) continue;
        m_sections.push_back(static_cast<int>(s));
    }
    m_plans.resize(doc.sections.size());
    m_hits.resize(doc.sections.size());
    m_asciiPattern = std::all_of(m_pattern.begin(), m_pattern.end(), [](std::uint16_t c) { return c < 0x80; });
    if (m_asciiPattern) {
        for (std::uint16_t c : m_pattern) m_asciiText.push_back(static_cast<char>(c));
    }
    // The number is read from the text as folded, so full-width digits ("１００") read as the number they show.
    m_number = ReadSearchNumber(m_asciiPattern ? m_asciiText : m_query.text);
    // Digits only (at most 8): parts of shown numbers are then found by arithmetic.
    const bool hexDigits = !m_pattern.empty() && m_pattern.size() <= 8 && std::all_of(m_pattern.begin(), m_pattern.end(), [](std::uint16_t c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
    });
    if (hexDigits) {
        m_digitCount = static_cast<int>(m_pattern.size());
        m_decimalOnly = std::all_of(m_pattern.begin(), m_pattern.end(), [](std::uint16_t c) { return c >= '0' && c <= '9'; });
        for (std::uint16_t c : m_pattern) {
            m_hexDigits = m_hexDigits * 16 + static_cast<std::uint64_t>(c <= '9' ? c - '0' : c - 'A' + 10);
            if (m_decimalOnly) m_decimalDigits = m_decimalDigits * 10 + static_cast<std::uint64_t>(c - '0');
        }

    }
}

bool CellSearch::IsValid() const
{
    if (m_sections.empty() || m_pattern.empty()) return false;
    if (m_query.valueOnly) return m_number.has_value() && m_query.cells;
    return m_query.labels || m_query.cells || m_query.captions;
}

int CellSearch::RowCountOf(int section) const { return static_cast<int>(m_doc.RowLabels(section).size()); }
int CellSearch::ColumnCountOf(int section) const { return static_cast<int>(m_doc.sections[static_cast<std::size_t>(section)].size()); }

const CellSearch::ColumnPlan& CellSearch::Plan(int section, int column) const
{
    auto& plans = m_plans[static_cast<std::size_t>(section)];
    if (plans.size() <= static_cast<std::size_t>(column)) plans.resize(static_cast<std::size_t>(ColumnCountOf(section)));
    ColumnPlan& plan = plans[static_cast<std::size_t>(column)];
    if (plan.built) return plan;
    plan.built = true;
    const auto s = static_cast<std::size_t>(section);
    if (s >= m_doc.values.size() || !m_doc.values[s].Contains(0, static_cast<std::size_t>(column))) return plan;
    plan.codec = &m_doc.CodecOf(section, column);
    plan.rows = std::min<std::size_t>(static_cast<std::size_t>(std::max(plan.codec->RowCount(), 0)), m_doc.values[s].Rows());
    const ColumnDefinition& d = m_doc.sections[s][static_cast<std::size_t>(column)];
    if (m_number) {
        // The stored value the number stands for: as written for a hexadecimal
        // text, else as the column reads its values (signed ones by their signed form).
        const int bits = 8 * std::clamp(d.ByteSize(), 1, 4);
        const std::int64_t n = m_number->value;
        if (m_number->hexadecimal || plan.codec->Radix() != -10) {
            if (n >= 0 && n <= 0xFFFFFFFFll) plan.value = static_cast<std::uint32_t>(n);
        } else if (n >= -(std::int64_t{1} << (bits - 1)) && n < (std::int64_t{1} << (bits - 1))) {
            plan.value = static_cast<std::uint32_t>(static_cast<std::uint64_t>(n) & (bits == 32 ? 0xFFFFFFFFull : (1ull << bits) - 1));
        }
    }
    if (m_query.valueOnly) return plan;
    // A shown number can hold the text only when it is made of a number's characters;
    // as a whole, a number's text is the value compared above.
    plan.formatCells = CouldBeNumberText(m_pattern) && !m_query.whole;
    plan.byteSize = std::clamp(d.ByteSize(), 1, 4);
    plan.signedForm = plan.codec->Radix() == -10;
    if (plan.formatCells && m_digitCount > 0 && d.ByteSize() >= 1 && d.ByteSize() <= 4) {
        const int radix = plan.codec->Radix();
        if (radix == 16 || radix == 0) plan.digits = ColumnPlan::Digits::Hex;
        if ((radix == 10 || radix == -10) && m_decimalOnly) plan.digits = ColumnPlan::Digits::Decimal;
        if ((radix == 10 || radix == -10) && !m_decimalOnly) plan.formatCells = false;  // A-F never show in decimal
    }
    if (plan.codec->Radix() == 0) {
        // A list column shows labels: the values whose label matches are found once,
        // before the table below asks of each value whether it matches.
        plan.listLabels = true;
        for (const auto& [value, label] : ValueListLabels(m_doc, text::ReadDec(d[ColumnField::listIndex]))) {
            plan.labelled.push_back(value);
            if (Contains(Fold(label), m_pattern, m_query.whole)) plan.labelValues.push_back(value);
        }
    }
    // Small columns look every value up in a table made once for their kind.
    if ((plan.formatCells || plan.listLabels) && d.ByteSize() >= 1 && d.ByteSize() <= 2) {
        const int listIndex = plan.listLabels ? text::ReadDec(d[ColumnField::listIndex]) : -1;
        const auto key = std::make_tuple(plan.codec->Radix(), d.ByteSize(), listIndex, plan.value ? static_cast<std::int64_t>(*plan.value) : -1);
        auto found = m_valueTables.find(key);
        if (found == m_valueTables.end()) {
            std::vector<std::uint8_t> table(std::size_t{1} << (8 * d.ByteSize()));
            std::string scratch;
            for (std::size_t v = 0; v < table.size(); ++v) table[v] = MatchesValue(plan, static_cast<std::uint32_t>(v), scratch) ? 1 : 0;
            found = m_valueTables.emplace(key, std::move(table)).first;
        }
        plan.table = &found->second;
    }
    return plan;
}

bool CellSearch::MatchesValue(const ColumnPlan& plan, std::uint32_t v, std::string& scratch) const
{
    if (plan.value && *plan.value == v) return true;
    if (m_query.valueOnly) return false;
    if (plan.listLabels) {
        if (std::binary_search(plan.labelValues.begin(), plan.labelValues.end(), v)) return true;
        if (std::binary_search(plan.labelled.begin(), plan.labelled.end(), v)) return false;  // its label did not match
    }
    if (!plan.formatCells) return false;
    if (plan.digits == ColumnPlan::Digits::Decimal) {
        // The decimal digits of the value (its magnitude for a signed column) hold the pattern's.
        std::uint64_t x = v;
        if (plan.signedForm) {
            const int bits = 8 * plan.byteSize;
            std::int64_t sv = bits == 32 ? static_cast<std::int32_t>(v) : static_cast<std::int64_t>(v & ((1ull << bits) - 1));
            if (bits < 32 && (sv & (std::int64_t{1} << (bits - 1)))) sv -= std::int64_t{1} << bits;
            x = static_cast<std::uint64_t>(sv < 0 ? -sv : sv);
        }
        if (x == 0) return m_digitCount == 1 && m_decimalDigits == 0;
        // Every value fits 32 bits, and the pattern's length picks divisions by constants.
        const auto digits = static_cast<std::uint32_t>(x);
        const auto wanted = static_cast<std::uint32_t>(m_decimalDigits);
        switch (m_digitCount) {
        case 1: return DecimalHolds<10>(digits, wanted);
        case 2: return DecimalHolds<100>(digits, wanted);
        case 3: return DecimalHolds<1000>(digits, wanted);
        case 4: return DecimalHolds<10000>(digits, wanted);
        case 5: return DecimalHolds<100000>(digits, wanted);
        case 6: return DecimalHolds<1000000>(digits, wanted);
        case 7: return DecimalHolds<10000000>(digits, wanted);
        default: return DecimalHolds<100000000>(digits, wanted);
        }
    }
    if (plan.digits == ColumnPlan::Digits::Hex) {
        // "0X" and 2 x size digits, zeros in front: every window of the pattern's length
        // (a lone "0" is in every such text, its "0X" included).
        if (m_digitCount == 1 && m_hexDigits == 0) return true;
        const int shown = 2 * plan.byteSize;
        const std::uint64_t mask = m_digitCount >= 16 ? ~0ull : (1ull << (4 * m_digitCount)) - 1;
        for (int at = 0; at + m_digitCount <= shown; ++at) {
            if (((static_cast<std::uint64_t>(v) >> (4 * at)) & mask) == m_hexDigits) return true;
        }
        return false;
    }
    // A shown number is plain upper-case ASCII, as the folded pattern is.
    scratch.clear();
    plan.codec->AppendText(v, true, scratch);
    return m_asciiPattern && scratch.find(m_asciiText) != std::string::npos;
}

bool CellSearch::MatchesCell(int section, int row, int column) const
{
    const ColumnPlan& plan = Plan(section, column - 1);
    if (!plan.codec || row < 1 || static_cast<std::size_t>(row - 1) >= plan.rows) return false;
    std::string scratch;
    return MatchesValue(plan, m_doc.values[static_cast<std::size_t>(section)].Get(static_cast<std::size_t>(row - 1), static_cast<std::size_t>(column - 1)),
                        scratch);
}

const std::vector<SearchHit>& CellSearch::SectionHits(int section) const
{
    std::optional<std::vector<SearchHit>>& cached = m_hits[static_cast<std::size_t>(section)];
    if (cached) return *cached;
    std::vector<SearchHit> hits;
    const int rows = RowCountOf(section), columns = ColumnCountOf(section);
    for (int c = 1; c <= columns; ++c) {
        if (Matches({section, 0, c})) hits.push_back({section, 0, c});
    }
    if (m_query.labels && !m_query.valueOnly) {
        const TextList& labels = m_doc.RowLabels(section);
        FoldedText folded;
        for (int r = 1; r <= rows; ++r) {
            const std::string_view label = labels[static_cast<std::size_t>(r - 1)];
            // Plain ASCII labels (the most) are compared as bytes, letters without case.
            const bool ascii = m_asciiPattern && std::all_of(label.begin(), label.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
            bool hit;
            if (ascii) {
                hit = AsciiContains(label, m_asciiText, m_query.whole);
            } else {
                folded.clear();
                AppendFolded(label, folded);
                hit = Contains(folded, m_pattern, m_query.whole);
            }
            if (hit) hits.push_back({section, r, 0});
        }
    }
    if (m_query.cells) {
        // Column by column: each column's test is set up once and its values read in one pass.
        const ValueTable& table = m_doc.values[static_cast<std::size_t>(section)];
        std::string scratch;
        for (int c = 1; c <= columns; ++c) {
            const ColumnPlan& plan = Plan(section, c - 1);
            if (!plan.codec || (!plan.value && (m_query.valueOnly || (!plan.formatCells && plan.labelValues.empty())))) continue;
            const auto column = static_cast<std::size_t>(c - 1);
            if (plan.value && !plan.formatCells && plan.labelValues.empty()) {
                const std::uint32_t wanted = *plan.value;
                for (std::size_t r = 0; r < plan.rows; ++r) {
                    if (table.Get(r, column) == wanted) hits.push_back({section, static_cast<int>(r) + 1, c});
                }
                continue;
            }
            if (plan.table && plan.rows > 0) {
                // The column's bytes read straight from the table's rows, one or two a value.
                const std::vector<std::uint8_t>& matching = *plan.table;
                const std::uint8_t* cell = table.CellBytes(0, column);
                const std::size_t stride = table.RowBytes();
                const bool twoBytes = table.Width(column) >= 2 && matching.size() > 256;
                for (std::size_t r = 0; r < plan.rows; ++r, cell += stride) {
                    const std::uint32_t v = twoBytes ? cell[0] | (static_cast<std::uint32_t>(cell[1]) << 8) : cell[0];
                    if (matching[v]) hits.push_back({section, static_cast<int>(r) + 1, c});
                }
                continue;
            }
            for (std::size_t r = 0; r < plan.rows; ++r) {
                if (MatchesValue(plan, table.Get(r, column), scratch)) hits.push_back({section, static_cast<int>(r) + 1, c});
            }
        }
    }
    std::sort(hits.begin(), hits.end(), [](const SearchHit& a, const SearchHit& b) { return a.row != b.row ? a.row < b.row : a.column < b.column; });
    cached = std::move(hits);
    return *cached;
}

bool CellSearch::Matches(const SearchHit& at) const
{
    if (at.section < 0 || static_cast<std::size_t>(at.section) >= m_doc.sections.size()) return false;
    if (at.row == 0 && at.column == 0) return false;
    if (at.row == 0) {
        if (!m_query.captions || m_query.valueOnly || at.column > ColumnCountOf(at.section)) return false;
        return Contains(Fold(m_doc.sections[static_cast<std::size_t>(at.section)][static_cast<std::size_t>(at.column - 1)][ColumnField::caption]),
                        m_pattern, m_query.whole);
    }
    if (at.column == 0) {
        if (!m_query.labels || m_query.valueOnly || at.row > RowCountOf(at.section)) return false;
        return Contains(Fold(m_doc.RowLabels(at.section)[static_cast<std::size_t>(at.row - 1)]), m_pattern, m_query.whole);
    }
    return m_query.cells && at.column <= ColumnCountOf(at.section) && MatchesCell(at.section, at.row, at.column);
}

std::optional<SearchHit> CellSearch::Next(const SearchHit& from, bool forward, bool* wrapped) const
{
    if (wrapped) *wrapped = false;
    if (!IsValid()) return std::nullopt;
    const auto before = [](const SearchHit& a, const SearchHit& b) { return a.row != b.row ? a.row < b.row : a.column < b.column; };
    auto start = std::find(m_sections.begin(), m_sections.end(), from.section);
    const bool known = start != m_sections.end();
    const std::size_t count = m_sections.size();
    const std::size_t origin = known ? static_cast<std::size_t>(start - m_sections.begin()) : (forward ? 0 : count - 1);
    // The table of `from` after it (before it), the other tables in turn, then the same table up to it.
    for (std::size_t step = 0; step <= count; ++step) {
        const std::size_t index = forward ? (origin + step) % count : (origin + count - step % count) % count;
        const std::vector<SearchHit>& hits = SectionHits(m_sections[index]);
        if (hits.empty()) continue;
        const bool first = step == 0, last = step == count;
        if (!known && last) break;
        const SearchHit* hit = nullptr;
        if (!known || (!first && !last)) {
            hit = forward ? &hits.front() : &hits.back();
        } else if (forward) {
            auto it = first ? std::upper_bound(hits.begin(), hits.end(), from, before) : hits.begin();
            if (it != hits.end() && (first || !before(from, *it))) hit = &*it;
        } else {
            auto it = first ? std::lower_bound(hits.begin(), hits.end(), from, before) : hits.end();
            if (it != hits.begin() && (first || !before(*(it - 1), from))) hit = &*(it - 1);
        }
        if (!hit) continue;
        if (wrapped && known) *wrapped = last || (forward ? index < origin : index > origin);
        return *hit;
    }
    return std::nullopt;
}

std::vector<SearchHit> CellSearch::All(std::size_t limit, const std::function<bool(double)>& keepGoing) const
{
    std::vector<SearchHit> hits;
    if (!IsValid()) return hits;
    double total = 0, done = 0;
    for (int section : m_sections) total += static_cast<double>(RowCountOf(section) + 1) * (ColumnCountOf(section) + 1);
    for (int section : m_sections) {
        if (keepGoing && !keepGoing(total > 0 ? done / total : 1)) return hits;
        for (const SearchHit& hit : SectionHits(section)) {
            if (hits.size() >= limit) return hits;
            hits.push_back(hit);
        }
        done += static_cast<double>(RowCountOf(section) + 1) * (ColumnCountOf(section) + 1);
    }
    return hits;
}

}  // namespace zok2::search
