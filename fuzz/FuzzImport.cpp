// libFuzzer target: an input read as a table's TSV text and imported into a
// table of every kind of column (a ranged decimal word, a value list, a
// hexadecimal byte, a signed byte, a bit, a masked nibble, a column of two
// rows). A plain model of the import's rules says, for each input, whether it
// must be refused, how many problems it holds and which cells change to what;
// the import must agree, and the document must hold the model's values after it.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "document/CZOKDoc.h"
#include "exchange/TableImport.h"
#include "exchange/TableText.h"
#include "framework/AppPath.h"

namespace {

using zok2::exchange::Rows;

const std::vector<std::string> kLabels = {"a", "b", "c", "d"};
const std::vector<std::string> kCaptions = {"P", "K", "H", "S", "F", "M", "R"};
const std::string kBytes = std::string("\x64\x00\x01\x10\xFF\x01\x05\x07"
                                       "\xC8\x00\x02\x20\x05\x00\x0A\x08"
                                       "\x00\x00\x03\x30\x80\x00\x03\x00"
                                       "\x32\x00\x01\x00\x00\x00\x00\x00",
                                       32);

const std::string& Root()
{
    static const std::string root = [] {
        const std::string r = zok2::fuzz::ProcessFolder("import");
        std::filesystem::create_directories(r + "Settings/t");
        zok2::fuzz::Write(r + "zok2.ini", "[Setting]\r\nmode=t\r\n");
        zok2::fuzz::Write(r + "Settings/t/t.idn", "a\r\nb\r\nc\r\nd\r\n");
        zok2::fuzz::Write(r + "Settings/t/t.ini",
                          "0,P,2,8,,10,1|3E7\r\n2,K,1,8,,0,,,,1 x|2 y|3 z\r\n3,H,1,8,,16\r\n4,S,1,8,,-10\r\n5,F,.0,8\r\n6,M,1,8,,16,.0F\r\n"
                          "7,R,1,8,2,10\r\n");
        zok2::fuzz::Write(r + "data.bin", kBytes);
        return r;
    }();
    return root;
}

// ---- the model ----

struct Column {
    int size;        // bytes
    int radix;       // 10, 0 (list), 16, -10
    int rows;        // rows holding data
    std::uint32_t low = 0, high = 0xFFFFFFFF, mask = 0xFFFFFFFF;
    bool bit = false;
};
const std::vector<Column> kColumns = {
    {2, 10, 4, 1, 999}, {1, 0, 4}, {1, 16, 4}, {1, -10, 4}, {1, -10, 4, 0, 1, 0xFFFFFFFF, true}, {1, 16, 4, 0, 0xFFFFFFFF, 0x0F}, {1, 10, 2},
};

std::uint32_t Current(std::size_t row, std::size_t column)
{
    static const int offsets[] = {0, 2, 3, 4, 5, 6, 7};
    std::uint32_t v = static_cast<unsigned char>(kBytes[row * 8 + offsets[column]]);
    if (column == 0) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(kBytes[row * 8 + 1])) << 8;
    if (column == 4) v &= 1;
    if (column == 5) v &= 0x0F;
    return v;
}

std::string Shown(std::size_t row, std::size_t column)
{
    const Column& c = kColumns[column];
    const std::uint32_t v = Current(row, column);
    char text[32];
    if (c.radix == 16 || c.radix == 0) {
        std::snprintf(text, sizeof text, "0X%0*X", 2 * c.size, v);
    } else if (c.radix == 10) {
        std::snprintf(text, sizeof text, "%u", v);
    } else {
        std::snprintf(text, sizeof text, "%d", static_cast<int>(static_cast<std::int8_t>(v)));
    }
    return text;
}

// The value a text stands for in the column, or false.
bool ModelValue(const Column& c, const std::string& text, std::uint32_t* value)
{
    const std::uint64_t sizeMask = c.size >= 4 ? 0xFFFFFFFFull : (1ull << (8 * c.size)) - 1;
    std::uint64_t magnitude = 0;
    bool negative = false, number = false;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
        text.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos) {
        number = true;
        for (std::size_t i = 2; i < text.size(); ++i) {
            magnitude = magnitude * 16 + static_cast<std::uint64_t>(std::isdigit(static_cast<unsigned char>(text[i])) ? text[i] - '0' : (text[i] | 0x20) - 'a' + 10);
            if (magnitude > 0xFFFFFFFFFull) magnitude = 0xFFFFFFFFFull;
        }
    } else {
        std::size_t start = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
        if (start < text.size() && text.find_first_not_of("0123456789", start) == std::string::npos) {
            number = true;
            negative = text[0] == '-';
            for (std::size_t i = start; i < text.size(); ++i) {
                magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
                if (magnitude > 0xFFFFFFFFFull) magnitude = 0xFFFFFFFFFull;
            }
        }
    }
    if (!number) {
        if (c.radix != 0) return false;
        static const std::map<std::string, std::uint32_t> labels = {{"x", 1}, {"y", 2}, {"z", 3}};
        const auto found = labels.find(text);
        if (found == labels.end()) return false;
        *value = found->second;
        return true;
    }
    std::uint64_t v;
    if (negative) {
        if (magnitude > (1ull << (8 * c.size - 1))) return false;
        v = ((1ull << 32) - magnitude) & sizeMask;
    } else {
        if (magnitude > sizeMask) return false;
        v = magnitude;
    }
    if (v < c.low || v > c.high || (v & ~static_cast<std::uint64_t>(c.mask)) != 0) return false;
    if (c.bit && v > 1) return false;
    *value = static_cast<std::uint32_t>(v);
    return true;
}

struct Expected {
    bool refused = false;
    std::size_t problems = 0;
    std::set<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> changes;
};

Expected Model(const Rows& rows)
{
    Expected e;
    if (rows.empty()) {
        e.refused = true;
        return e;
    }
    std::size_t used = rows[0].size();
    while (used > 0 && rows[0][used - 1].empty()) --used;
    bool fits = std::max<std::size_t>(used, 1) == kCaptions.size() + 1 && rows[0][0].empty();
    for (std::size_t c = 0; fits && c < kCaptions.size(); ++c) fits = rows[0][c + 1] == kCaptions[c];
    if (!fits) {
        e.refused = true;
        return e;
    }
    std::vector<std::size_t> data;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        bool blank = true;
        for (std::size_t c = 0; c < rows[r].size(); ++c) blank = blank && rows[r][c].empty();
        if (!blank) data.push_back(r);
    }
    std::map<std::size_t, std::size_t> tableRowOf;
    bool inOrder = data.size() <= kLabels.size();
    for (std::size_t i = 0; inOrder && i < data.size(); ++i) inOrder = rows[data[i]][0] == kLabels[i];
    std::map<std::string, int> seen;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::string label(rows[data[i]][0]);
        if (inOrder) {
            tableRowOf[data[i]] = i;
            continue;
        }
        const auto at = std::find(kLabels.begin(), kLabels.end(), label);
        if (at == kLabels.end() || ++seen[label] > 1) e.refused = true;
        tableRowOf[data[i]] = static_cast<std::size_t>(at - kLabels.begin());
    }
    if (e.refused) return e;
    for (const auto& [r, t] : tableRowOf) {
        const Rows::Row row = rows[r];
        for (std::size_t c = 0; c + 1 < row.size(); ++c) {
            const std::string text(row[c + 1]);
            if (c >= kColumns.size()) {
                if (!text.empty()) ++e.problems;
                continue;
            }
            if (static_cast<int>(t) >= kColumns[c].rows) {
                if (!text.empty()) ++e.problems;
                continue;
            }
            if (text == Shown(t, c)) continue;
            std::uint32_t v = 0;
            if (!ModelValue(kColumns[c], text, &v)) {
                ++e.problems;
            } else if (v != Current(t, c)) {
                e.changes.insert({static_cast<std::uint32_t>(t), static_cast<std::uint32_t>(c), v});
            }
        }
    }
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 4096) return 0;
    zok2::SetProgramPath(Root() + "zok2");
    static zok2::CZOKDoc* doc = nullptr;
    if (!doc) {
        doc = new zok2::CZOKDoc;
        if (!doc->OnOpenDocument(Root() + "data.bin")) std::abort();
    }
    Rows rows;
    std::string reason;
    if (!zok2::exchange::ReadTsv(std::string_view(reinterpret_cast<const char*>(data), size), &rows, &reason)) return 0;
    const Expected expected = Model(rows);
    zok2::exchange::TableImport result = zok2::exchange::CheckImport(*doc, 0, rows);
    if ((result.refusal.kind != zok2::exchange::ImportRefusal::Kind::None) != expected.refused) std::abort();
    if (expected.refused) return 0;
    if (result.problemCount != expected.problems) std::abort();
    if (result.problems.size() != std::min(expected.problems, zok2::exchange::kNamedProblems)) std::abort();
    if (!result.Accepted()) {
        if (!result.changes.empty()) std::abort();
        return 0;
    }
    std::set<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> got;
    for (const auto& change : result.changes) got.insert({change.row, change.column, change.value});
    if (got != expected.changes || got.size() != result.changes.size()) std::abort();
    if (result.changes.empty()) return 0;
    // Stored: the document holds the model's values; then the file is read again.
    zok2::exchange::ApplyImport(*doc, result);
    for (const auto& [row, column, value] : expected.changes) {
        if (doc->Value(0, static_cast<int>(column), static_cast<int>(row)) != value) std::abort();
    }
    if (!doc->OnOpenDocument(Root() + "data.bin")) std::abort();
    return 0;
}
