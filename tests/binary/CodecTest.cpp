#include "binary/ValueCodec.h"
#include "support/TestFixture.h"
#include "text/SjisText.h"

namespace zok2::test {

namespace {
using F = ColumnField;

class CodecTest : public DocTest {
protected:
    // One section of one column `ini` over the bytes given, one row per byte count of labels.
    void OpenColumn(const std::string& ini, const std::string& bytes, int labels = 1)
    {
        std::string idn;
        for (int i = 0; i < labels; ++i) idn += "r\r\n";
        Def("a.idn", idn);
        Def("a.ini", ini + "\r\n");
        OpenBytes(bytes + std::string(16, '\0'));
    }
    std::string Store(const std::string& text)
    {
        doc->StoreCellText(0, 0, 0, text);
        return doc->DisplayText(0, 0, 0);
    }
    void SetRadix(const char* radix) { doc->sections[0][0][F::radix] = radix; }
};
}  // namespace

// Each case opens one column over its bytes, may change the radix, may store an
// input, and checks the text shown and, where given, the value held.
TEST_F(CodecTest, InputsAndDisplayByRadixSizeAndLimit)
{
    struct Case {
        const char* ini;
        std::string bytes;
        const char* radix;  // nullptr: as the column line says
        const char* input;  // nullptr: only shown
        const char* shown;
        std::int64_t value = -1;
    };
    const std::vector<Case> cases = {
        // Signed decimal, one byte: wraps to the size, reads the leading number.
        {"0,V,1", Bytes({0xFF}), nullptr, nullptr, "-1", 0xFF},
        {"0,V,1", Bytes({0}), nullptr, "-1", "-1", 0xFF},
        {"0,V,1", Bytes({0}), nullptr, "-200", "56", 0x38},
        {"0,V,1", Bytes({0}), nullptr, "300", "44"},
        {"0,V,1", Bytes({0}), nullptr, " +12abc", "12"},
        {"0,V,1", Bytes({5}), nullptr, "abc", "0"},
        // Hexadecimal input needs its prefix.
        {"0,V,2,,,16", Bytes({0x1A, 0}), nullptr, nullptr, "0X001A"},
        {"0,V,2,,,16", Bytes({0, 0}), nullptr, "0x1a", "0X001A"},
        {"0,V,2,,,16", Bytes({0, 0}), nullptr, "0X1B", "0X001B"},
        {"0,V,2,,,16", Bytes({0, 0}), nullptr, "1A", "0X0001"},  // decimal reading stops at the letter
        {"0,V,2,,,16", Bytes({0, 0}), nullptr, "10", "0X000A"},
        {"0,V,2,,,16", Bytes({0, 0}), nullptr, "0x123456789", "0XFFFF"},  // saturates, then wraps to the size
        // Three and four bytes.
        {"0,V,3", Bytes({0, 0, 0x80}), nullptr, nullptr, "-8388608"},
        {"0,V,3", Bytes({0, 0, 0x80}), "10", nullptr, "8388608"},
        {"0,V,3", Bytes({0, 0, 0x80}), "16", nullptr, "0X800000"},
        {"0,V,4,,,10", Bytes({0, 0, 0, 0}), nullptr, "-1", "4294967295"},
        {"0,V,4,,,10", Bytes({0, 0, 0, 0}), nullptr, "4294967295", "4294967295", 0xFFFFFFFF},  // what is written reads back
        {"0,V,4,,,10", Bytes({1, 0, 0, 0}), nullptr, "4294967296", "0"},
        {"0,V,4,,,10", Bytes({0, 0, 0, 0}), nullptr, "99999999999999999999", "4294967295"},  // saturates in 64 bits
        {"0,V,4,,,10", Bytes({0, 0, 0, 0}), "-10", "-2147483648", "-2147483648"},
        {"0,V,4,,,10", Bytes({0, 0, 0, 0}), "-10", "2147483648", "-2147483648"},
        // Range and mask limits.
        {"0,V,1,,,,10|7F", Bytes({0x20}), nullptr, "5", "16"},
        {"0,V,1,,,,10|7F", Bytes({0x20}), nullptr, "200", "127"},
        {"0,V,1,,,,10|7F", Bytes({0x20}), nullptr, "-1", "127"},  // 0xFF after the size mask
        {"0,V,1,,,,10|7F", Bytes({0x20}), nullptr, "0x40", "64"},
        {"0,V,1,,,16,.0F", Bytes({0x07}), nullptr, "0xAB", "0X0B"},
        // Bit columns.
        {"0,B,.2", Bytes({0x04}), nullptr, nullptr, "1"},
        {"0,B,.2", Bytes({0x04}), nullptr, "0", "0", 0},
        {"0,B,.2", Bytes({0x00}), nullptr, "5", "1", 1},
        {"0,B,.2", Bytes({0x04}), "16", nullptr, "0X01"},
    };
    for (const Case& c : cases) {
        OpenColumn(c.ini, c.bytes);
        if (c.radix) SetRadix(c.radix);
        if (c.input) doc->StoreCellText(0, 0, 0, c.input);
        const std::string label = std::string(c.ini) + " <- " + (c.input ? c.input : "(shown)");
        EXPECT_EQ(doc->DisplayText(0, 0, 0), c.shown) << label;
        if (c.value >= 0) {
            EXPECT_EQ(Value(0, 0, 0), static_cast<std::uint32_t>(c.value)) << label;
        }
    }
    EXPECT_EQ(doc->GetEditText(0, 0, 0), "0X01");  // a bit column in hexadecimal edits as it shows
}

TEST_F(CodecTest, ListColumnsShowLabelsAndEditByValue)
{
    OpenColumn("0,E,1,,,0,,,,0 None|1 Fire|1 Dup|2 Ice|noblank", Bytes({1}));
    EXPECT_EQ(doc->DisplayText(0, 0, 0), "Fire");  // the first entry of a value wins
    EXPECT_EQ(doc->GetEditText(0, 0, 0), "0X01");
    EXPECT_EQ(Store("2"), "Ice");
    EXPECT_EQ(Store("7"), "0X07");
    EXPECT_EQ(Store("0"), "None");
    auto labels = ValueListLabels(*doc, 1);
    EXPECT_EQ(labels.size(), 3u);  // "noblank" is not an item of an inline list at all
}

TEST_F(CodecTest, ListReferencesPullInARowNameFile)
{
    Def("items.idn", "00 Herb\r\n0A Sword // sharp\r\nplain\r\n");
    OpenColumn("0,E,1,,,0,,,,items.idn|none.idn|FF Last", Bytes({0x0A}));
    EXPECT_EQ(doc->DisplayText(0, 0, 0), "Sword ");
    EXPECT_EQ(Store("0xFF"), "Last");
    auto labels = ValueListLabels(*doc, text::ReadDec(Column(0, 0)[F::listIndex]));
    // "plain" has no blank: value 0, but "00 Herb" came first.
    EXPECT_EQ(labels.at(0), "Herb");
    EXPECT_EQ(labels.size(), 3u);
    EXPECT_EQ(doc->ResolveValueList(text::ReadDec(Column(0, 0)[F::listIndex])).size(), 4u);
}

TEST_F(CodecTest, StoringMarksTheTitleOnceAndIgnoresRowsWithoutData)
{
    OpenColumn("0,V,1,,1", Bytes({1, 2}), 2);
    EXPECT_EQ(doc->GetTitle(), "data.bin");
    doc->StoreCellText(0, 0, 1, "9");  // beyond the row count
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Value(0, 1, 0), 0u);
    doc->StoreCellText(0, 0, 0, "9");
    doc->StoreCellText(0, 0, 0, "8");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "data.bin *");
}

TEST_F(CodecTest, RecordedTextsComeBackExactlyDespiteARange)
{
    OpenColumn("0,V,1,,,,10|7F", Bytes({5}));
    EXPECT_EQ(doc->DisplayText(0, 0, 0), "5");
    doc->StoreRecordedText(0, 0, 0, "5");
    EXPECT_EQ(Value(0, 0, 0), 5u);
    doc->StoreCellText(0, 0, 0, "5");
    EXPECT_EQ(Value(0, 0, 0), 0x10u);
}

TEST_F(CodecTest, RefreshCellsWritesTextsAndAlignments)
{
    Def("a.idn", "r0\r\nr1\r\nr2\r\n");
    Def("a.ini", "0,A,1,,2,16\r\n1,L,1,1,,0,,,,1 One\r\n");
    OpenBytes(Bytes({0x0F, 1, 1, 2}));
    MemoryGrid& grid = view.grid;
    grid.SetRowCount(4);
    grid.SetColumnCount(3);
    doc->RefreshCells(0, 0, -1, 0, -1);
    EXPECT_EQ(grid.CellText(1, 1), "0X0F");
    EXPECT_EQ(grid.CellText(2, 1), "0X01");
    EXPECT_EQ(grid.CellText(3, 1), "--");
    EXPECT_EQ(grid.CellText(1, 2), "One");
    EXPECT_EQ(grid.CellText(3, 2), "0X02");
    EXPECT_EQ(grid.ColumnAlign(1), 7);
    EXPECT_EQ(grid.ColumnAlign(2), 1);

    // Only the requested rectangle is written; out-of-range starts do nothing.
    grid.ClearCells();
    doc->RefreshCells(0, 1, 1, 1, 1);
    EXPECT_EQ(grid.CellText(2, 2), "One");
    EXPECT_EQ(grid.CellText(1, 2), "");
    EXPECT_EQ(grid.CellText(2, 1), "");
    doc->RefreshCells(0, 3, -1, 0, -1);
    doc->RefreshCells(0, 0, -1, 2, -1);
    doc->RefreshCells(0, -1, -1, 0, -1);
    EXPECT_EQ(grid.CellText(1, 1), "");
}

}  // namespace zok2::test

namespace zok2::test {

// The codec writes its digits itself: every size, radix and a spread of values
// give exactly the C library's "0X%0*X", "%u" and "%d" of the sign-extended value.
TEST(CodecFormatting, TextsEqualTheCLibrarysFormats)
{
    std::vector<std::uint32_t> samples = {0, 1, 9, 10, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0x8000, 0xFFFF, 0x7FFFFF,
                                          0x800000, 0xFFFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    for (std::uint32_t v = 1; v < 0xFFFFFFFFu / 7; v = v * 7 + 3) samples.push_back(v);
    char expected[64];
    for (const char* size : {"1", "2", "3", "4", "0", "5", "12"}) {
        ColumnDefinition d;
        d[ColumnField::size] = size;
        const int n = std::atoi(size);
        for (const char* radix : {"16", "10", "-10"}) {
            d[ColumnField::radix] = radix;
            const ColumnCodec codec(d);
            for (std::uint32_t v : samples) {
                const std::uint32_t held = n >= 1 && n < 4 ? v & ((1u << (8 * n)) - 1u) : v;
                if (std::string(radix) == "16") {
                    std::snprintf(expected, sizeof expected, "0X%0*X", 2 * n, held);
                    std::string bounded = expected;
                    if (bounded.size() > 25) bounded.resize(25);  // the padded digits of odd sizes stop at 23
                    EXPECT_EQ(codec.EditText(held), bounded) << size << " " << v;
                } else if (std::string(radix) == "10") {
                    std::snprintf(expected, sizeof expected, "%u", held);
                    EXPECT_EQ(codec.EditText(held), expected) << size << " " << v;
                } else if (n >= 1 && n <= 4) {
                    const int bits = 8 * n;
                    std::int64_t x = bits == 32 ? static_cast<std::int32_t>(held) : static_cast<std::int64_t>(held);
                    if (bits < 32 && (x & (std::int64_t{1} << (bits - 1)))) x -= std::int64_t{1} << bits;
                    std::snprintf(expected, sizeof expected, "%lld", static_cast<long long>(x));
                    EXPECT_EQ(codec.EditText(held), expected) << size << " " << v;
                }
                std::string appended = "x";
                codec.AppendText(held, true, appended);
                EXPECT_EQ(appended, "x" + codec.EditText(held));
            }
        }
    }
}

}  // namespace zok2::test

namespace zok2::test {

// What a parse did beyond reading a number: a value cut to the column's size
// is told from a negative number the signed form holds.
TEST(CodecNotes, ValuesCutToTheColumnsSizeAreNoted)
{
    ColumnDefinition word;
    word[ColumnField::size] = "2";
    word[ColumnField::radix] = "10";
    const ColumnCodec codec(word);
    struct Case {
        const char* text;
        std::uint32_t stored;
        bool cut;
    };
    for (const Case& c : {Case{"70000", 4464, true}, Case{"65535", 65535, false}, Case{"-1", 0xFFFF, false}, Case{"-32768", 0x8000, false},
                          Case{"-32769", 0x7FFF, true}, Case{"0x10000", 0, true}, Case{"0x0000FFFF", 0xFFFF, false},
                          Case{"0x1FFFFFFFF", 0xFFFF, true}, Case{"abc", 0, false}}) {
        ColumnCodec::ParseNote note;
        EXPECT_EQ(codec.Parse(c.text, true, &note), c.stored) << c.text;
        EXPECT_EQ(note.cut, c.cut) << c.text;
    }
}

}  // namespace zok2::test
