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

std::int64_t SignExtended(std::uint32_t v, int byteSize)
{
    const int bits = 8 * std::clamp(byteSize, 1, 4);
    if (bits == 32) return static_cast<std::int32_t>(v);
    std::int64_t x = v & ((std::uint32_t{1} << bits) - 1u);
    if (x & (std::int64_t{1} << (bits - 1))) x -= std::int64_t{1} << bits;
    return x;
}

}  // namespace

std::optional<SearchNumber> ReadSearchNumber(const std::string& sjis)
{
    std::string_view s = sjis;
    if (s.empty()) return std::nullopt;
    SearchNumber number;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
        if (s.size() > 8) return std::nullopt;
        std::uint32_t v = 0;
        for (char c : s) {
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
            v = (v << 4) | static_cast<std::uint32_t>(digit);
        }
        number.value = v;
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
    : m_doc(doc), m_query(std::move(query)), m_pattern(Fold(m_query.text)), m_number(ReadSearchNumber(m_query.text))
{
    for (std::size_t s = 0; s < doc.sections.size(); ++s) {
        if (doc.sections[s].empty()) continue;
        if (m_query.onlySection >= 0 && static_cast<int>(s) != m_query.onlySection) continue;
        m_sections.push_back(static_cast<int>(s));
    }
    m_plans.resize(doc.sections.size());
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
    plan.byteSize = d.ByteSize();
    plan.signedForm = plan.codec->Radix() == -10;
    if (m_query.valueOnly) return plan;
    plan.formatCells = CouldBeNumberText(m_pattern);
    if (plan.codec->Radix() == 0) {
        // A list column shows labels: the values whose label matches are found once.
        plan.listLabels = true;
        for (const auto& [value, label] : ValueListLabels(m_doc, text::ReadDec(d[ColumnField::listIndex]))) {
            plan.labelled.push_back(value);
            if (Contains(Fold(label), m_pattern, m_query.whole)) plan.labelValues.push_back(value);
        }
    }
    return plan;
}

bool CellSearch::MatchesCell(int section, int row, int column) const
{
    const ColumnPlan& plan = Plan(section, column - 1);
    if (!plan.codec || row < 1 || static_cast<std::size_t>(row - 1) >= plan.rows) return false;
    const std::uint32_t v = m_doc.values[static_cast<std::size_t>(section)].Get(static_cast<std::size_t>(row - 1), static_cast<std::size_t>(column - 1));
    if (m_number) {
        // By value, as the column reads it: signed columns by their signed form.
        const bool equal = m_number->hexadecimal || !plan.signedForm ? m_number->value == static_cast<std::int64_t>(v)
                                                                      : m_number->value == SignExtended(v, plan.byteSize);
        if (equal) return true;
    }
    if (m_query.valueOnly) return false;
    if (plan.listLabels) {
        if (std::binary_search(plan.labelValues.begin(), plan.labelValues.end(), v)) return true;
        if (std::binary_search(plan.labelled.begin(), plan.labelled.end(), v)) return false;  // its label did not match
    }
    if (!plan.formatCells) return false;
    std::string shown;
    plan.codec->AppendText(v, false, shown);
    return Contains(Fold(shown), m_pattern, m_query.whole);
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
    // The tables in order, starting with the one of `from` (or the first).
    auto start = std::find(m_sections.begin(), m_sections.end(), from.section);
    const bool known = start != m_sections.end();
    std::size_t index = known ? static_cast<std::size_t>(start - m_sections.begin()) : (forward ? 0 : m_sections.size() - 1);
    const std::size_t count = m_sections.size();
    for (std::size_t step = 0; step <= count; ++step) {
        const int section = m_sections[index];
        const int rows = RowCountOf(section), columns = ColumnCountOf(section);
        const long long width = columns + 1;
        const long long last = (rows + 1) * width - 1;
        // Positions in the table in row order; in the first table from `from` on, in the last (the same table again) up to it.
        const long long here = known ? static_cast<long long>(from.row) * width + from.column : (forward ? -1 : last + 1);
        long long first, stop;
        if (step == 0) {
            first = forward ? here + 1 : here - 1;
            stop = forward ? last : 0;
        } else if (step == count) {
            first = forward ? 0 : last;
            stop = known ? here : (forward ? last : 0);
        } else {
            first = forward ? 0 : last;
            stop = forward ? last : 0;
        }
        for (long long p = first; forward ? p <= stop : p >= stop; p += forward ? 1 : -1) {
            const SearchHit at{section, static_cast<int>(p / width), static_cast<int>(p % width)};
            if (Matches(at)) {
                // Past the end (or the start) and round again: the hit lies on the other side of `from`.
                if (wrapped && known) {
                    const std::size_t origin = static_cast<std::size_t>(start - m_sections.begin());
                    const bool sameTable = index == origin;
                    *wrapped = forward ? (index < origin || (sameTable && p <= here)) : (index > origin || (sameTable && p >= here));
                }
                return at;
            }
        }
        if (!known && step + 1 == count) break;  // every table looked at once
        index = forward ? (index + 1) % count : (index + count - 1) % count;
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
        const int rows = RowCountOf(section), columns = ColumnCountOf(section);
        for (int r = 0; r <= rows; ++r) {
            for (int c = 0; c <= columns; ++c) {
                if (Matches({section, r, c})) {
                    hits.push_back({section, r, c});
                    if (hits.size() >= limit) return hits;
                }
            }
            done += columns + 1;
            if (keepGoing && (r & 0xFFF) == 0 && !keepGoing(total > 0 ? done / total : 1)) return hits;
        }
    }
    return hits;
}

}  // namespace zok2::search
