// The bytes around a place as the byte pane shows them: which table, cell and
// edits hold each byte, the bytes a save would write, and the cell a byte
// belongs to.
#include "search/ByteWindow.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

using search::kByteCurrent;
using search::kByteDifferent;
using search::kByteEdited;
using search::kByteInTable;

class ByteWindowTest : public DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        // "a": a word and a byte in 4-byte records from 0x10, bit 7 of the byte's
        // neighbour; "b": one byte at 0x11, inside a's words (another table).
        Def("a.idn", "r1\r\nr2\r\nr3\r\n");
        Def("a.ini", "10,Word,2,4,,16\r\n12,Byte,1,4,,16\r\n13,Flag,.7,4\r\n");
        Def("b.idn", "only\r\n");
        Def("b.ini", "11,High,1,1,,16\r\n");
        std::string bytes(0x40, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(0xA0 + i);
        OpenBytes(bytes);
    }
    std::vector<std::uint8_t> Marks(int section, int row, int column, std::int64_t start, int count,
                                    const search::DiffersFn& differs = {})
    {
        return search::ReadByteWindow(*doc, section, row, column, start, count, differs).marks;
    }
};

}  // namespace

TEST_F(ByteWindowTest, TheCurrentCellAndItsTableAreMarkedByteByByte)
{
    // Row 2, column 1: the word at 0x14-0x15.
    const search::ByteWindow w = search::ReadByteWindow(*doc, 0, 2, 1, 0x0E, 0x10);
    ASSERT_EQ(w.start, 0x0E);
    ASSERT_EQ(w.bytes.size(), 0x10u);
    EXPECT_EQ(static_cast<std::uint8_t>(w.bytes[0]), 0xAE);  // the file's bytes, unchanged
    const std::vector<std::uint8_t> expected = {
        0, 0,                                       // 0x0E-0x0F: before the table
        kByteInTable, kByteInTable, kByteInTable, kByteInTable,  // 0x10-0x13: row 1 (word, byte, flag)
        kByteInTable | kByteCurrent, kByteInTable | kByteCurrent, kByteInTable, kByteInTable,  // row 2
        kByteInTable, kByteInTable, kByteInTable, kByteInTable,  // row 3
        0, 0};                                      // 0x1C-0x1D: past the three rows
    EXPECT_EQ(w.marks, expected);
    // Another table's bytes are not tinted as the current table's.
    EXPECT_EQ(Marks(1, 1, 1, 0x10, 4), (std::vector<std::uint8_t>{0, kByteInTable | kByteCurrent, 0, 0}));
}

TEST_F(ByteWindowTest, EditedCellsShowTheBytesASaveWritesInTheirOwnBitsOnly)
{
    doc->StoreCellText(0, 0, 1, "1234");  // a's row 2 word at 0x14 (typed in decimal: 0x04D2)
    doc->StoreCellText(0, 2, 0, "0");     // a's row 1 flag: bit 7 of 0x13 (0xB3) cleared
    doc->StoreCellText(1, 0, 0, "7");     // b's byte at 0x11, seen from table a
    doc->SetModifiedFlag(true);
    const search::ByteWindow w = search::ReadByteWindow(*doc, 0, 1, 1, 0x10, 8);
    EXPECT_EQ(Bytes({0xB0, 0x07, 0xB2, 0x33, 0xD2, 0x04, 0xB6, 0xB7}), w.bytes);
    // b's byte lies inside a's row 1 word: the word took the new byte and is edited too.
    EXPECT_EQ(w.marks[0], kByteInTable | kByteCurrent | kByteEdited);
    EXPECT_EQ(w.marks[1], kByteInTable | kByteCurrent | kByteEdited);
    EXPECT_EQ(w.marks[3], kByteInTable | kByteEdited);
    EXPECT_EQ(w.marks[4], kByteInTable | kByteEdited);
    EXPECT_EQ(w.marks[6], kByteInTable);
    // The file itself is untouched.
    EXPECT_EQ(static_cast<std::uint8_t>(doc->ReadOpenedBytes(0x14, 1)[0]), 0xB4);
}

TEST_F(ByteWindowTest, DifferingCellsOfTheCurrentTableAndTheFileEnd)
{
    const auto differs = [](int section, int row, int column) { return section == 0 && row == 3 && column == 2; };
    const std::vector<std::uint8_t> marks = Marks(0, 1, 1, 0x18, 4, differs);
    EXPECT_EQ(marks, (std::vector<std::uint8_t>{kByteInTable, kByteInTable, kByteInTable | kByteDifferent, kByteInTable}));
    // A window past the file's end is short, never read beyond it.
    const search::ByteWindow tail = search::ReadByteWindow(*doc, 0, 1, 1, 0x3C, 16);
    EXPECT_EQ(tail.bytes.size(), 4u);
    EXPECT_EQ(tail.marks.size(), 4u);
    EXPECT_TRUE(search::ReadByteWindow(*doc, 0, 1, 1, 0x100, 16).bytes.empty());
}

TEST_F(ByteWindowTest, AByteGoesToTheCurrentTablesCellFirst)
{
    // 0x11 lies in a's row 1 word and in b's only cell: from either table, its own.
    EXPECT_EQ(search::CellOfByte(*doc, 0, 0x11), (search::SearchHit{0, 1, 1}));
    EXPECT_EQ(search::CellOfByte(*doc, 1, 0x11), (search::SearchHit{1, 1, 1}));
    // A bit's byte goes to the flag; a byte no table holds goes nowhere.
    EXPECT_EQ(search::CellOfByte(*doc, 0, 0x1B), (search::SearchHit{0, 3, 3}));
    EXPECT_EQ(search::CellOfByte(*doc, 1, 0x16), (search::SearchHit{0, 2, 2}));  // not in b: the go-to rule finds a
    EXPECT_FALSE(search::CellOfByte(*doc, 0, 0x30).has_value());
}

}  // namespace zok2::test
