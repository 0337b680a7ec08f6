#include "document/SectionGrid.h"
#include "editing/GridEditor.h"
#include "exchange/TableImport.h"
#include "exchange/TableText.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {
using F = ColumnField;

class EditorTest : public DocTest {
protected:
    // Section "a": columns A (hex, 1 byte), B (signed), L (list), limited by row counts;
    // section "b": one column.
    void OpenSets(const std::string& aIni = "0,A,1,4,,16\r\n1,B,1,4,3\r\n2,L,1,4,,0,,,,1A Ten|2 Two\r\n",
                  const std::string& bytes = Bytes({1, 2, 0x1A, 0, 3, 4, 2, 0, 0xF0, 0xF1, 0xF2}))
    {
        Def("a.idn", "r0\r\nr1\r\nr2\r\nr3\r\n");
        Def("a.ini", aIni);
        Def("b.idn", "s0\r\ns1\r\n");
        Def("b.ini", "8,S,1\r\n");
        OpenBytes(bytes + std::string(32, '\0'));
        FillSectionGrid(*doc, grid(), 0, 1, 1);
        editor = std::make_unique<GridEditor>(*doc, grid(), clipboard);
        editor->SetCurrentSection(0);
        editor->afterCommand = [this] { ++afterCommands; };
    }
    MemoryGrid& grid() { return view.grid; }
    void Select(int row, int column, int endRow, int endColumn)
    {
        grid().SetCurrentRow(row);
        grid().SetCurrentColumn(column);
        grid().SetSelEndRow(endRow);
        grid().SetSelEndColumn(endColumn);
    }
    std::string Copied()
    {
        editor->Copy();
        return clipboard.text;
    }
    void PasteAt(int row, int column, const std::string& text)
    {
        Select(row, column, row, column);
        clipboard.SetText(text);
        editor->Paste();
    }

    RecordingClipboard clipboard;
    std::unique_ptr<GridEditor> editor;
    int afterCommands = 0;
};
}  // namespace

TEST_F(EditorTest, CopyGivesTabsAndLineBreaksValuesOfListsAndEmptyCellsPastTheRowCount)
{
    OpenSets();
    Select(1, 1, 2, 2);
    EXPECT_EQ(Copied(), "0X01\t2\r\n0X03\t4");
    Select(1, 3, 1, 3);
    EXPECT_EQ(grid().CellText(1, 3), "Ten");
    EXPECT_EQ(Copied(), "0X1A");  // the value, not its label
    Select(3, 1, 4, 2);           // B has three rows
    EXPECT_EQ(Copied(), "0XF0\t-15\r\n0X00\t");
    EXPECT_EQ(afterCommands, 3);
}

TEST_F(EditorTest, CopyReportsAClipboardThatCannotBeOpened)
{
    OpenSets();
    clipboard.available = false;
    editor->Copy();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "コピー失敗");
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(EditorTest, PasteAtTheCurrentCellClipsToTheGridAndSelectsTheBlock)
{
    OpenSets();
    Select(2, 1, 4, 3);  // a larger selection
    clipboard.SetText("5");
    editor->Paste();
    EXPECT_EQ(Value(0, 1, 0), 5u);
    EXPECT_EQ(Value(0, 2, 0), 0xF0u);
    EXPECT_EQ(grid().CurrentRow(), 2);
    EXPECT_EQ(grid().SelEndRow(), 2);
    EXPECT_EQ(grid().SelEndColumn(), 1);
    ASSERT_EQ(doc->history.UndoLog().size(), 1u);
    EXPECT_EQ(doc->history.UndoLog()[0], "0,1,1,2,2,0X03");

    // Two lines of three cells at the second-to-last column: the third cells are dropped.
    PasteAt(1, 2, "7\t0x1A\t9\r\n8\t2\t9\r\n");
    EXPECT_EQ(Value(0, 0, 1), 7u);
    EXPECT_EQ(Value(0, 1, 1), 8u);
    EXPECT_EQ(Value(0, 0, 2), 0x1Au);
    EXPECT_EQ(Value(0, 1, 2), 2u);
    EXPECT_EQ(grid().SelEndColumn(), 3);
    EXPECT_EQ(grid().SelEndRow(), 2);
    EXPECT_EQ(grid().CellText(2, 3), "Two");
    EXPECT_EQ(doc->history.UndoLog().back(), "0,2,3,1,2,2\t0X1A\r\n4\t0X02");
}

TEST_F(EditorTest, ShortLinesRepeatTheirLastCellAndAnEmptyLastLineGivesZero)
{
    OpenSets();
    PasteAt(1, 1, "1\t2\t3\n4\n");
    EXPECT_EQ(Value(0, 0, 0), 1u);
    EXPECT_EQ(Value(0, 0, 2), 3u);
    EXPECT_EQ(Value(0, 1, 0), 4u);
    EXPECT_EQ(Value(0, 1, 1), 4u);
    EXPECT_EQ(Value(0, 1, 2), 4u);

    PasteAt(3, 1, "9\n\n");  // two rows; the second gets "0"
    EXPECT_EQ(Value(0, 2, 0), 9u);
    EXPECT_EQ(Value(0, 3, 0), 0u);
    EXPECT_EQ(grid().SelEndRow(), 4);
}

TEST_F(EditorTest, PastingNothingChangesNothing)
{
    OpenSets();
    clipboard.available = false;
    editor->Paste();
    clipboard.available = true;
    clipboard.SetText("");
    editor->Paste();
    EXPECT_TRUE(doc->history.UndoLog().empty());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(EditorTest, UndoAndRedoOfAPaste)
{
    OpenSets();
    PasteAt(1, 1, "9\t9\n9\t9");
    EXPECT_EQ(grid().CellText(2, 2), "9");
    editor->Undo();
    EXPECT_EQ(Value(0, 0, 0), 1u);
    EXPECT_EQ(Value(0, 1, 1), 4u);
    EXPECT_EQ(grid().CellText(2, 2), "4");
    EXPECT_EQ(grid().CurrentRow(), 1);
    EXPECT_EQ(grid().SelEndRow(), 2);
    EXPECT_EQ(grid().SelEndColumn(), 2);
    EXPECT_TRUE(doc->history.UndoLog().empty());
    ASSERT_EQ(doc->history.RedoLog().size(), 1u);
    EXPECT_EQ(doc->history.RedoLog()[0], "0,1,2,1,2,0X09\t9\r\n0X09\t9");
    EXPECT_FALSE(doc->IsModified());
    editor->Redo();
    EXPECT_EQ(Value(0, 1, 1), 9u);
    EXPECT_TRUE(doc->history.RedoLog().empty());
    EXPECT_EQ(doc->history.UndoLog().size(), 1u);
    EXPECT_TRUE(doc->IsModified());
    editor->Redo();  // nothing left: nothing happens
    EXPECT_EQ(doc->history.UndoLog().size(), 1u);
}

TEST_F(EditorTest, DeleteAndCutClearToZeroAndEmptyTheRedoLogButInPlaceEditsKeepIt)
{
    OpenSets();
    PasteAt(1, 1, "5");
    editor->Undo();
    ASSERT_EQ(doc->history.RedoLog().size(), 1u);
    Select(1, 1, 1, 1);
    editor->CommitCellText("6");
    EXPECT_EQ(doc->history.RedoLog().size(), 1u);
    Select(1, 1, 2, 2);
    editor->Cut();
    EXPECT_EQ(clipboard.text, "0X06\t2\r\n0X03\t4");
    EXPECT_EQ(Value(0, 0, 0), 0u);
    EXPECT_EQ(Value(0, 1, 1), 0u);
    EXPECT_TRUE(doc->history.RedoLog().empty());
    PasteAt(3, 2, "1");
    editor->Undo();
    Select(3, 1, 4, 3);
    editor->Delete();
    EXPECT_TRUE(doc->history.RedoLog().empty());
    EXPECT_EQ(Value(0, 2, 2), 0u);
    EXPECT_EQ(doc->history.UndoLog().back(), "0,1,3,3,4,0XF0\t-15\t0XF2\r\n0X00\t\t0X00");
}

TEST_F(EditorTest, UndoRestoresExactValuesWhateverTheDisplayBecame)
{
    OpenSets("0,A,1,4,,,10|7F\r\n1,B,1,4\r\n2,L,1,4,,0,,,,1A Ten|2 Two\r\n",
             Bytes({5, 0xFF, 0x1A, 0}));
    Select(1, 1, 1, 3);
    editor->Delete();
    EXPECT_EQ(Value(0, 0, 0), 0x10u);  // a cleared cell is pulled into the range
    // The display changes after the record was taken.
    doc->sections[0][1][F::radix] = "16";
    doc->sections[0][2][F::radix] = "10";
    editor->Undo();
    EXPECT_EQ(Value(0, 0, 0), 5u);  // below the range: restored exactly all the same
    EXPECT_EQ(Value(0, 0, 1), 0xFFu);
    EXPECT_EQ(Value(0, 0, 2), 0x1Au);
    editor->Redo();
    EXPECT_EQ(Value(0, 0, 0), 0x10u);
}

TEST_F(EditorTest, UndoInAnotherSectionShowsThatSectionFirst)
{
    OpenSets();
    FillSectionGrid(*doc, grid(), 1, 1, 1);
    editor->SetCurrentSection(1);
    PasteAt(2, 1, "0x44");
    EXPECT_EQ(Value(1, 1, 0), 0x44u);
    FillSectionGrid(*doc, grid(), 0, 1, 1);
    editor->SetCurrentSection(0);
    std::vector<int> shown;
    editor->showSection = [&](int section, int column, int row) {
        shown = {section, column, row};
        FillSectionGrid(*doc, grid(), section, column, row);
    };
    editor->Undo();
    EXPECT_EQ(shown, (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(editor->CurrentSection(), 1);
    EXPECT_EQ(Value(1, 1, 0), 0xF1u);
    EXPECT_EQ(grid().CellText(2, 1), "-15");
    EXPECT_EQ(grid().RowCount(), 3);
}

TEST_F(EditorTest, TheSavedStateIsTheCleanStateAgain)
{
    OpenSets();
    PasteAt(1, 1, "3");
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(doc->GetTitle(), "data.bin");
    PasteAt(1, 1, "4");
    EXPECT_EQ(doc->GetTitle(), "data.bin *");
    editor->Undo();
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "data");
    editor->Redo();
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "data *");
}

TEST_F(EditorTest, CompressedSectionsAreReadOnly)
{
    std::string file(0x100, '\0');
    file[0x10] = static_cast<char>(0x81);
    file[0x20] = static_cast<char>(0x80);
    const char block[] = {0x03, 0x00, static_cast<char>(0xC0), 0x07, 0x08};
    file.replace(0x80, 5, block, 5);
    Def("m.idn", "blk\r\n");
    Def("m.ini", "COMPRESS_INFO,1,m,10|20|1,40|\r\n0,T,1\r\n");
    OpenBytes(file);
    FillSectionGrid(*doc, grid(), 0, 1, 1);
    GridEditor readOnly(*doc, grid(), clipboard);
    readOnly.SetCurrentSection(0);
    EXPECT_FALSE(readOnly.CanChange({1, 1, 1, 2}));
    Select(1, 1, 2, 1);
    clipboard.SetText("9\n9");
    readOnly.Paste();
    readOnly.Delete();
    readOnly.CommitCellText("5");
    readOnly.Cut();  // copies only
    EXPECT_EQ(clipboard.text, "7\r\n8");
    EXPECT_EQ(Value(0, 0, 0), 7u);
    EXPECT_EQ(Value(0, 1, 0), 8u);
    EXPECT_TRUE(doc->history.UndoLog().empty());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(EditorTest, SelectAllAndCenteringARangeInView)
{
    std::string idn;
    for (int i = 0; i < 100; ++i) idn += "r\r\n";
    Def("a.idn", idn);
    std::string ini;
    for (int c = 0; c < 12; ++c) ini += std::to_string(c) + ",C" + std::to_string(c) + ",1\r\n";
    Def("a.ini", ini);
    OpenBytes(std::string(0x100, '\0'));
    FillSectionGrid(*doc, grid(), 0, 1, 1);
    GridEditor e(*doc, grid(), clipboard);
    e.SetCurrentSection(0);
    e.SelectAll();
    EXPECT_EQ(grid().CurrentRow(), 1);
    EXPECT_EQ(grid().SelEndRow(), 100);
    EXPECT_EQ(grid().SelEndColumn(), 12);
    EXPECT_EQ(grid().FocusFrame(), 2);

    // Ten rows and four columns are on screen: a 2 x 1 range at row 50 is centred.
    e.EnsureRangeVisible(6, 6, 50, 51);
    EXPECT_EQ(grid().FirstVisibleRow(), 46);
    EXPECT_EQ(grid().FirstVisibleColumn(), 5);
    e.EnsureRangeVisible(1, 1, 1, 1);
    EXPECT_EQ(grid().FirstVisibleRow(), 1);
    EXPECT_EQ(grid().FirstVisibleColumn(), 1);

    // An undo far below scrolls there.
    grid().SetCurrentRow(90);
    grid().SetCurrentColumn(1);
    e.CommitCellText("1");
    grid().SetFirstVisibleRow(1);
    e.Undo();
    EXPECT_TRUE(grid().RowVisible(90));
}

// A table's text imported: only differing texts are stored, as one edit that
// undo takes back whole, whether its rectangle spans every column or not.
TEST_F(EditorTest, ImportStoresDifferingTextsAsOneUndoableEdit)
{
    OpenSets();
    const exchange::Rows now = exchange::ExportRows(*doc, 0);
    ASSERT_EQ(exchange::WriteTsv(now), "\tA\tB\tL\nr0\t0X01\t2\t0X1A\nr1\t0X03\t4\t0X02\nr2\t0XF0\t-15\t0XF2\nr3\t0X00\t\t0X00\n");
    auto values = [&] {
        std::string bytes;
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 3; ++c) bytes += static_cast<char>(doc->Value(0, c, r));
        }
        return bytes;
    };
    const std::string original = values();
    // Nothing differs: nothing is stored or recorded.
    EXPECT_TRUE(exchange::ImportRows(*doc, 0, now).changes.empty());
    EXPECT_TRUE(doc->history.UndoLog().empty());
    EXPECT_FALSE(doc->IsModified());

    // Changes in the first and the last column (a full-width rectangle), CRLF
    // line ends, an empty column after the last and an empty line at the end.
    exchange::Rows edited;
    ASSERT_TRUE(exchange::ReadTsv("\tA\tB\tL\t\r\nr0\t0X05\t2\t0X1A\r\nr1\t0X03\t4\t0X02\r\nr2\t0XF0\t-15\t0X01\t\r\nr3\t0X00\t\t0X00\r\n\r\n",
                                  &edited, nullptr));
    exchange::TableImport report = exchange::ImportRows(*doc, 0, edited);
    EXPECT_EQ(report.changes.size(), 2u);
    EXPECT_FALSE(report.matchedByName);
    EXPECT_EQ(doc->Value(0, 0, 0), 5u);
    EXPECT_EQ(doc->Value(0, 2, 2), 1u);
    EXPECT_EQ(doc->history.UndoLog().size(), 1u);
    editor->Undo();
    EXPECT_EQ(values(), original);
    editor->Redo();
    EXPECT_EQ(doc->Value(0, 0, 0), 5u);
    EXPECT_EQ(doc->Value(0, 2, 2), 1u);
    editor->Undo();

    // One column's cells (a rectangle cut out of the rows): the signed column,
    // written as other programs write numbers ("+3" differs from "3").
    ASSERT_TRUE(exchange::ReadTsv("\tA\tB\tL\nr0\t0X01\t-1\t0X1A\nr1\t0X03\t+3\n", &edited, nullptr));
    report = exchange::ImportRows(*doc, 0, edited);
    EXPECT_EQ(report.changes.size(), 2u);
    EXPECT_EQ(doc->Value(0, 1, 0), 0xFFu);
    EXPECT_EQ(doc->Value(0, 1, 1), 3u);
    editor->Undo();
    EXPECT_EQ(values(), original);

    // A caption row that is not the table's stores nothing.
    ASSERT_TRUE(exchange::ReadTsv("\tA\tB\nr0\t0X09\n", &edited, nullptr));
    EXPECT_EQ(exchange::ImportRows(*doc, 0, edited).refusal.kind, exchange::ImportRefusal::Kind::ColumnCount);
    EXPECT_EQ(values(), original);
}

}  // namespace zok2::test
