// その他 ▸ テーブルの追加: record sizes proposed from the file's bytes, a new
// table's files written into the set and read back with it; a name the set
// has already is refused and nothing is written.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include "app/NewTableDialog.h"
#include "app/WindowTestSupport.h"
#include "qt/SjisCodec.h"

namespace zok2::test {

TEST_F(WindowTest, ANewTableFromAProposedRecordSizeIsWrittenAndShown)
{
    Start(sample());
    GoTo(1, 1);  // the first price of the items, at 0x300
    frame().Run(command::kAddTable);
    NewTableDialog& dialog = frame().AddTable();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Address().text().toStdString(), "300");
    dialog.Length().setText(QStringLiteral("50"));
    dialog.Propose();
    ASSERT_GT(dialog.Proposals().count(), 0);
    EXPECT_EQ(dialog.Proposals().item(0)->text().toStdString().rfind("0x8 バイト", 0), 0u) << dialog.Proposals().item(0)->text().toStdString();
    dialog.Proposals().setCurrentRow(0);
    EXPECT_EQ(dialog.RecordSize().text().toStdString(), "8");
    EXPECT_EQ(dialog.Records().value(), 10);

    // A name the set has already: refused, nothing written, the dialog stays.
    dialog.Name().setText(QStringLiteral("ITEMS"));
    dialog.Caption().setText(QStringLiteral("価格"));
    const std::string items = ReadFile(root() + "Settings/sample/items.ini");
    dialog.Ok().click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.Note().text().toStdString().find("テーブルを追加できません"), std::string::npos) << dialog.Note().text().toStdString();
    EXPECT_EQ(ReadFile(root() + "Settings/sample/items.ini"), items);

    dialog.Name().setText(QStringLiteral("prices"));
    dialog.Size().setCurrentIndex(3);     // 4 bytes
    dialog.Display().setCurrentIndex(2);  // unsigned decimal
    dialog.Ok().click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(ReadFile(root() + "Settings/sample/prices.ini"), Utf8ToSjis("100,価格,4,8,,10,,,,\r\n"));  // the correction (200) taken off
    EXPECT_EQ(ReadFile(root() + "Settings/sample/prices.idn"), "00\r\n01\r\n02\r\n03\r\n04\r\n05\r\n06\r\n07\r\n08\r\n09\r\n");
    // The set is read again with the table: its first row is the first price.
    int section = -1;
    for (std::size_t i = 0; i < doc().definitionNames.size(); ++i) {
        if (doc().definitionNames[i] == "prices") section = static_cast<int>(i);
    }
    ASSERT_GE(section, 0);
    EXPECT_EQ(doc().DisplayText(section, 0, 0), "8");
    EXPECT_EQ(doc().DisplayText(section, 0, 1), "10");
}

}  // namespace zok2::test
