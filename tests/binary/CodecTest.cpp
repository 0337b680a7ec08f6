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

TEST_F(CodecTest, SignedDecimalOfOneByte)
{
    OpenColumn("0,V,1", Bytes({0xFF}));
    EXPECT_EQ(doc->DisplayText(0, 0, 0), "-1");
    EXPECT_EQ(Store("-1"), "-1");
    EXPECT_EQ(Value(0, 0, 0), 0xFFu);
    EXPECT_EQ(Store("-200"), "56");
    EXPECT_EQ(Value(0, 0, 0), 0x38u);
    EXPECT_EQ(Store("300"), "44");
    EXPECT_EQ(Store(" +12abc"), "12");
    EXPECT_EQ(Store("abc"), "0");
}

TEST_F(CodecTest, HexadecimalInputNeedsItsPrefix)
{
    OpenColumn("0,V,2,,,16", Bytes({0x1A, 0}));
    EXPECT_EQ(doc->DisplayText(0, 0, 0), "0X001A");
    EXPECT_EQ(Store("0x1a"), "0X001A");
    EXPECT_EQ(Store("0X1B"), "0X001B");
    EXPECT_EQ(Store("1A"), "0X0001");   // decimal reading stops at the letter
    EXPECT_EQ(Store("10"), "0X000A");   // ten
    EXPECT_EQ(Store("0x123456789"), "0XFFFF");  // saturates, then wraps to the size
}

TEST_F(CodecTest, ThreeAndFourByteValues)
{
    OpenColumn("0,V,3", Bytes({0, 0, 0x80}));
    EXPECT_EQ(doc->DisplayText(0, 0, 0), "-8388608");
    SetRadix("10");
    EXPECT_EQ(doc->DisplayText(0, 0, 0), "8388608");
    SetRadix("16");
    EXPECT_EQ(doc->DisplayText(0, 0, 0), "0X800000");

    OpenColumn("0,V,4,,,10", Bytes({0, 0, 0, 0}));
    EXPECT_EQ(Store("-1"), "4294967295");
    EXPECT_EQ(Store("4294967295"), "4294967295");  // what the program writes reads back
    EXPECT_EQ(Value(0, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Store("4294967296"), "0");
    EXPECT_EQ(Store("99999999999999999999"), "4294967295");  // saturates in 64 bits, reduced mod 2^32
    SetRadix("-10");
    EXPECT_EQ(Store("-2147483648"), "-2147483648");
    EXPECT_EQ(Store("2147483648"), "-2147483648");
}

TEST_F(CodecTest, RangeAndMaskLimits)
{
    OpenColumn("0,V,1,,,,10|7F", Bytes({0x20}));
    EXPECT_EQ(Store("5"), "16");
    EXPECT_EQ(Store("200"), "127");
    EXPECT_EQ(Store("-1"), "127");  // 0xFF after the size mask
    EXPECT_EQ(Store("0x40"), "64");

    OpenColumn("0,V,1,,,16,.0F", Bytes({0x07}));
    EXPECT_EQ(Store("0xAB"), "0X0B");
}

TEST_F(CodecTest, BitColumns)
{
    OpenColumn("0,B,.2", Bytes({0x04}));
    EXPECT_EQ(doc->DisplayText(0, 0, 0), "1");
    EXPECT_EQ(Store("0"), "0");
    EXPECT_EQ(Store("5"), "1");
    SetRadix("16");
    EXPECT_EQ(doc->DisplayText(0, 0, 0), "0X01");
    EXPECT_EQ(doc->GetEditText(0, 0, 0), "0X01");
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
