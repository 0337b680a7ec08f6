// その他 ▸ 列の定義: the current column's fields as written, the grid showing
// the table as the typed line would read it (nothing written), OK writing that
// one line in the written form with every other byte of the file kept, Cancel
// writing nothing, 追加 and 削除, and a line the reader would drop refused.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/ColumnEditor.h"
#include "app/WindowTestSupport.h"
#include "qt/SjisCodec.h"

namespace zok2::test {

namespace {

// The text with its one line `from` replaced by `to` (both whole lines, Shift-JIS).
std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST_F(WindowTest, TheColumnEditorPreviewsTheTypedLineAndOkWritesItInTheWrittenForm)
{
    Start(sample());
    GoTo(1, 1);  // items: 値段 at 0x300, four bytes, 8 a record
    const std::string itemsPath = root() + "Settings/sample/items.ini";
    const std::string before = ReadFile(itemsPath);
    const std::string binary = ReadFile(sample());
    frame().Run(command::kColumnEditor);
    ColumnEditor& editor = frame().Columns();
    ASSERT_TRUE(editor.isVisible());
    auto field = [&](ColumnEditor::Field f) { return editor.FieldEdit(f).text().toStdString(); };
    EXPECT_EQ(field(ColumnEditor::kAddress), "100");  // as the file writes it: the correction (200) taken off
    EXPECT_EQ(field(ColumnEditor::kCaption), "値段");
    EXPECT_EQ(field(ColumnEditor::kSize), "4");
    EXPECT_EQ(field(ColumnEditor::kStride), "8");
    EXPECT_EQ(field(ColumnEditor::kDisplay), "10");
    EXPECT_TRUE(editor.Ok().isEnabled());
    EXPECT_EQ(Shown(1, 1), "8");

    // One byte at 0x304 instead: the grid reads it at once, the file is untouched.
    editor.FieldEdit(ColumnEditor::kAddress).setText(QStringLiteral("104"));
    editor.FieldEdit(ColumnEditor::kSize).clear();
    EXPECT_EQ(Shown(1, 1), "2");
    EXPECT_EQ(Shown(2, 1), "2");
    EXPECT_EQ(Shown(1, 2), "道具");  // the other columns as they were
    EXPECT_EQ(ReadFile(itemsPath), before);

    // A size the reader would change: refused, said in words, the field marked.
    editor.FieldEdit(ColumnEditor::kSize).setText(QStringLiteral("5"));
    EXPECT_FALSE(editor.Ok().isEnabled());
    EXPECT_NE(editor.Note().text().toStdString().find("エラー"), std::string::npos) << editor.Note().text().toStdString();
    EXPECT_FALSE(editor.FieldEdit(ColumnEditor::kSize).styleSheet().isEmpty());
    // More after the number: refused too (the stride the writer leaves out would read that text).
    editor.FieldEdit(ColumnEditor::kSize).setText(QStringLiteral("1C"));
    EXPECT_FALSE(editor.Ok().isEnabled());
    // No caption: the reader drops the line, so the preview has no such column.
    editor.FieldEdit(ColumnEditor::kSize).clear();
    editor.FieldEdit(ColumnEditor::kCaption).clear();
    EXPECT_FALSE(editor.Ok().isEnabled());
    EXPECT_EQ(grid().ColumnCount(), 4);  // labels and three columns
    editor.FieldEdit(ColumnEditor::kCaption).setText(QStringLiteral("値段"));
    EXPECT_EQ(grid().ColumnCount(), 5);

    editor.Ok().click();
    EXPECT_FALSE(editor.isVisible());
    // That one line rewritten as the settings writer writes it; comments and every other line byte for byte.
    EXPECT_EQ(ReadFile(itemsPath), Replaced(before, Utf8ToSjis("0100,値段,4,8,8,10,,,店での買値（ゴールド）\\n売値はこの半分,"),
                                            Utf8ToSjis("104,値段,,8,8,10,,,店での買値（ゴールド）\\n売値はこの半分,")));
    EXPECT_EQ(ReadFile(sample()), binary);
    // The set read again with it.
    EXPECT_EQ(Shown(1, 1), "2");
    EXPECT_EQ(doc().sections[0][0][ColumnField::size], "1");
}

TEST_F(WindowTest, TheColumnEditorsCancelWritesNothingAndAddAndRemoveChangeOneLine)
{
    Start(sample());
    GoTo(1, 1);
    const std::string itemsPath = root() + "Settings/sample/items.ini";
    const std::string before = ReadFile(itemsPath);
    frame().Run(command::kColumnEditor);
    ColumnEditor& editor = frame().Columns();
    editor.FieldEdit(ColumnEditor::kAddress).setText(QStringLiteral("104"));
    EXPECT_EQ(Shown(1, 1), "1966338");  // four bytes from 0x304: 02 01 1E 00
    editor.reject();
    EXPECT_EQ(ReadFile(itemsPath), before);
    EXPECT_EQ(Shown(1, 1), "8");  // the grid shows the set as it is again
    EXPECT_FALSE(view().Previewing());

    // 追加: a column right after the current one, in the same records.
    frame().Run(command::kColumnEditor);
    editor.Add().click();
    EXPECT_EQ(editor.FieldEdit(ColumnEditor::kAddress).text().toStdString(), "104");
    EXPECT_EQ(editor.FieldEdit(ColumnEditor::kStride).text().toStdString(), "8");
    EXPECT_FALSE(editor.Ok().isEnabled());  // a caption first
    editor.FieldEdit(ColumnEditor::kCaption).setText(QStringLiteral("区分"));
    EXPECT_TRUE(editor.Ok().isEnabled());
    EXPECT_EQ(grid().ColumnCount(), 6);
    EXPECT_EQ(Shown(0, 2), "区分");
    EXPECT_EQ(Shown(1, 2), "2");  // 0x304 of the first record, signed decimal (the display left empty)
    editor.Ok().click();
    const std::string withNew = ReadFile(itemsPath);
    const std::string priceLine = Utf8ToSjis("0100,値段,4,8,8,10,,,店での買値（ゴールド）\\n売値はこの半分,\r\n");
    EXPECT_EQ(withNew, Replaced(before, priceLine, priceLine + Utf8ToSjis("104,区分,,8,8,,,,,\r\n")));
    EXPECT_EQ(doc().sections[0].size(), 5u);

    // 削除 of the new column: the file is as it was.
    GoTo(1, 2);
    frame().Run(command::kColumnEditor);
    editor.Remove().click();
    EXPECT_EQ(grid().ColumnCount(), 5);
    editor.Ok().click();
    EXPECT_EQ(ReadFile(itemsPath), before);
}

TEST_F(WindowTest, TheColumnEditorAsksToSaveUnsavedEditsFirst)
{
    Start(sample());
    GoTo(1, 1);
    Type("9\r");
    ASSERT_TRUE(doc().IsModified());
    messages.answers = {IMessageBox::Answer::Cancel};
    frame().Run(command::kColumnEditor);
    EXPECT_EQ(messages.asked.size(), 1u);
    EXPECT_FALSE(frame().Columns().isVisible());
    EXPECT_TRUE(doc().IsModified());  // nothing lost
    messages.answers = {IMessageBox::Answer::Yes};
    frame().Run(command::kColumnEditor);
    EXPECT_TRUE(frame().Columns().isVisible());
    EXPECT_FALSE(doc().IsModified());
    EXPECT_EQ(ReadFile(sample()).substr(0x300, 1), Bytes({0x09}));
    frame().Columns().reject();
}

}  // namespace zok2::test
