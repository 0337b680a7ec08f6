// A file opened with checksum rules in its set: a checksum that does not match
// and a rule that cannot be used are said in the status bar; matching ones say
// nothing. The checksums are a read-only table of their own that find, go to
// and the information line reach, showing what every save wrote.
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "app/FindDialog.h"
#include "search/ByteWindow.h"
#include "patch/Crc32.h"
#include "WindowTestSupport.h"

namespace zok2::test {

namespace {

class ChecksumWindowTest : public WindowTest {
protected:
    std::string Rules() const { return root() + "Settings/sample/checksums.txt"; }
    std::string Tab() { return view().Tabs().TabText(view().Tabs().CurrentIndex()).toStdString(); }
    std::pair<int, int> Cell() { return {grid().CurrentRow(), grid().CurrentColumn()}; }
    // The checksum table is the last tab.
    void ShowChecksums()
    {
        ClickTab(view().Tabs().Count() - 1);
        ASSERT_EQ(Tab(), "チェックサム");
    }
    static std::string Hex(std::uint32_t v, int digits)
    {
        char text[16];
        std::snprintf(text, sizeof text, "0X%0*X", digits, v);
        return text;
    }
    std::vector<std::string> SetFiles()
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(root() + "Settings/sample")) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(ChecksumWindowTest, AChecksumThatDoesNotMatchIsNamedInTheStatusBar)
{
    WriteFile(Rules(), Utf8ToSjis("道具,crc32,100-13F,5FC:4:le\r\nheader,xor8,0-F,5F0:1\r\nbroken,sum8,0-F\r\nfar,sum8,0-9999,5F1:1\r\n"));
    original.replace(0x7FC, 4, std::string(4, '\0'));  // the sample's own checksum taken out
    WriteFile(sample(), original);
    Start(sample());
    const std::string note = frame().Note().toStdString();
    EXPECT_NE(note.find("チェックサムが合いません: 道具, header"), std::string::npos) << note;
    EXPECT_NE(note.find("checksums.txt の 3 行目のチェックサムの規則「broken」が使えません"), std::string::npos) << note;
    EXPECT_NE(note.find("計算できないチェックサム: far"), std::string::npos) << note;

    // The same file with right checksums: nothing to say.
    std::string fixed = original;
    const std::uint32_t crc = patch::Crc32(std::string_view(original).substr(0x300, 0x40));
    for (int i = 0; i < 4; ++i) fixed[0x7FC + static_cast<std::size_t>(i)] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    char x = 0;
    for (std::size_t i = 0x200; i < 0x210; ++i) x = static_cast<char>(x ^ fixed[i]);
    fixed[0x7F0] = x;
    WriteFile(sample(), fixed);
    WriteFile(Rules(), Utf8ToSjis("道具,crc32,100-13F,5FC:4:le\r\nheader,xor8,0-F,5F0:1\r\n"));
    Start(sample());
    EXPECT_EQ(frame().Note().toStdString(), "");
}

TEST_F(ChecksumWindowTest, ASaveWritesTheChecksumOverTheCellsItWroteInTheSameReplacement)
{
    WriteFile(Rules(), Utf8ToSjis("道具,crc32,100-13F,5FC:4:le\r\nwords,sum16le,100-13F,5FA:2\r\n"));
    Start(sample());
    GoTo(2, 1);
    Type("77");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    const std::string saved = ReadFile(sample());
    EXPECT_EQ(static_cast<unsigned char>(saved[0x308]), 77);
    const std::uint32_t crc = patch::Crc32(std::string_view(saved).substr(0x300, 0x40));
    std::uint32_t stored = 0;
    for (int i = 3; i >= 0; --i) stored = (stored << 8) | static_cast<unsigned char>(saved[0x7FC + static_cast<std::size_t>(i)]);
    EXPECT_EQ(stored, crc);
    std::uint32_t words = 0;
    for (std::size_t i = 0x300; i < 0x340; i += 2) words += static_cast<unsigned char>(saved[i]) | (static_cast<unsigned char>(saved[i + 1]) << 8);
    EXPECT_EQ(static_cast<unsigned char>(saved[0x7FA]) | (static_cast<unsigned char>(saved[0x7FB]) << 8), static_cast<int>(words & 0xFFFF));
    // Nothing else changed, and the backup is the file as it was.
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (i != 0x308 && (i < 0x7FA || i > 0x7FF)) {
            ASSERT_EQ(saved[i], original[i]) << i;
        }
    }
    EXPECT_EQ(ReadFile(sample() + ".bak"), original);
    EXPECT_EQ(frame().Note().toStdString(), "チェックサムを更新しました: 道具, words");

    // Save As writes them into the new file too; a save that changes no checksum names none.
    GoTo(2, 1);
    Type("78");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    app->chooseSaveAsPath = [this] { return root() + "copy.dat"; };
    frame().Run(command::kSaveAs);
    const std::string copy = ReadFile(root() + "copy.dat");
    std::uint32_t copied = 0;
    for (int i = 3; i >= 0; --i) copied = (copied << 8) | static_cast<unsigned char>(copy[0x7FC + static_cast<std::size_t>(i)]);
    EXPECT_EQ(copied, patch::Crc32(std::string_view(copy).substr(0x300, 0x40)));
    EXPECT_EQ(static_cast<unsigned char>(copy[0x308]), 78);
}

TEST_F(ChecksumWindowTest, TheChecksumsAreAReadOnlyTableThatFindGoToAndTheInformationLineReach)
{
    WriteFile(Rules(), Utf8ToSjis("道具,crc32,100-13F,5FC:4:le\r\nheader,xor8,0-F,5F0:1\r\nfar,sum8,0-9999,5F1:1\r\n"));
    original[0x7F0] = '\x5A';
    original[0x7F1] = '\x3C';
    WriteFile(sample(), original);
    const std::vector<std::string> filesBefore = SetFiles();
    Start(sample());
    const std::uint32_t crc = patch::Crc32(std::string_view(original).substr(0x300, 0x40));
    std::uint8_t x = 0;
    for (std::size_t i = 0x200; i < 0x210; ++i) x = static_cast<std::uint8_t>(x ^ static_cast<std::uint8_t>(original[i]));
    ASSERT_NE(x, 0x5A);

    ShowChecksums();
    EXPECT_EQ(grid().RowCount(), 4);
    EXPECT_EQ(Shown(0, 1), "格納値");
    EXPECT_EQ(Shown(0, 2), "計算値");
    EXPECT_EQ(Shown(0, 3), "状態");
    EXPECT_EQ(Shown(1, 0), "道具");
    EXPECT_EQ(Shown(1, 1), Hex(crc, 8));
    EXPECT_EQ(Shown(1, 2), Hex(crc, 8));
    EXPECT_EQ(Shown(1, 3), "一致");
    EXPECT_EQ(Shown(2, 0), "header");
    EXPECT_EQ(Shown(2, 1), "0X0000005A");
    EXPECT_EQ(Shown(2, 2), Hex(x, 8));
    EXPECT_EQ(Shown(2, 3), "不一致");
    // A range past the file's end: the stored byte is still shown, nothing computed.
    EXPECT_EQ(Shown(3, 1), "0X0000003C");
    EXPECT_EQ(Shown(3, 2), "--");
    EXPECT_EQ(Shown(3, 3), "計算できません");
    // Copied as shown: the state in words, nothing for what cannot be computed.
    GoTo(3, 1);
    QTest::keyClick(&grid(), Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(&grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "0X0000003C\t\t計算できません");

    // Read-only: typing changes nothing.
    GoTo(2, 1);
    Type("77");
    QTest::keyClick(&grid(), Qt::Key_Return);
    EXPECT_EQ(Shown(2, 1), "0X0000005A");
    EXPECT_FALSE(doc().IsModified());
    EXPECT_EQ(view().ReadOnlyNote().text().toStdString(), "チェックサムは保存のたびに規則から計算され、ここでは編集できません");

    // The information line: the stored value's place and bytes; the computed one has none.
    GoTo(1, 1);
    const std::string line = view().InfoLine().toStdString();
    char bytes[16];
    std::snprintf(bytes, sizeof bytes, "%02X %02X %02X %02X", crc & 0xFF, (crc >> 8) & 0xFF, (crc >> 16) & 0xFF, crc >> 24);
    EXPECT_NE(line.find("チェックサム  道具  格納値  │  0x7FC  4 バイト  [" + std::string(bytes) + "]  読み取り専用"), std::string::npos) << line;
    GoTo(1, 2);
    EXPECT_NE(view().InfoLine().toStdString().find("チェックサムの規則から計算した値"), std::string::npos);

    // The byte pane marks the stored checksums as the table's cells, the current one as current.
    const search::ByteWindow bytesThere = search::ReadByteWindow(doc(), doc().ChecksumSection(), 2, 1, 0x7EE, 18);
    std::vector<int> marks;
    for (std::uint8_t m : bytesThere.marks) marks.push_back(m);
    EXPECT_EQ(marks, (std::vector<int>{0, 0, 3, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1}));

    // Go to an offset no table reads: the checksum stored there.
    QString answer = QStringLiteral("0x7FE");
    frame().askGoTo = [&] { return answer; };
    ClickTab(0);
    QTest::keyClick(&grid(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Tab(), "チェックサム");
    EXPECT_EQ(Cell(), std::make_pair(1, 1));
    answer = QStringLiteral("0x7F0");
    QTest::keyClick(&grid(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Cell(), std::make_pair(2, 1));

    // Found like any cell.
    ClickTab(0);
    QTest::keyClick(&grid(), Qt::Key_F, Qt::ControlModifier);
    frame().Finder().Text().setText(QStringLiteral("不一致"));
    QTest::mouseClick(frame().Finder().findChild<QPushButton*>("next"), Qt::LeftButton);
    EXPECT_EQ(Tab(), "チェックサム");
    EXPECT_EQ(Cell(), std::make_pair(2, 3));

    // Its columns are not a definition: no editor, and saving the settings writes no file for it.
    messages.shown.clear();
    frame().Run(command::kColumnEditor);
    EXPECT_EQ(frame().Note().toStdString(), "チェックサムの表は checksums.txt の規則から作られます");
    frame().Run(command::kSaveSettings);
    EXPECT_EQ(SetFiles(), filesBefore);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ChecksumWindowTest, TheTableShowsWhatEverySaveWrote)
{
    WriteFile(Rules(), Utf8ToSjis("道具,crc32,100-13F,5FC:4:le\r\n"));
    original.replace(0x7FC, 4, std::string(4, '\0'));  // a file that came broken
    WriteFile(sample(), original);
    Start(sample());
    const int checksums = doc().ChecksumSection();
    ASSERT_GE(checksums, 0);
    ShowChecksums();
    EXPECT_EQ(Shown(1, 1), "0X00000000");
    EXPECT_EQ(Shown(1, 3), "不一致");

    ClickTab(0);
    GoTo(2, 1);
    Type("77");
    QTest::keyClick(&view().CellEdit(), Qt::Key_Return);
    QTest::keyClick(&grid(), Qt::Key_S, Qt::ControlModifier);
    const std::string saved = ReadFile(sample());
    const std::uint32_t crc = patch::Crc32(std::string_view(saved).substr(0x300, 0x40));
    ShowChecksums();
    EXPECT_EQ(Shown(1, 1), Hex(crc, 8));
    EXPECT_EQ(Shown(1, 2), Hex(crc, 8));
    EXPECT_EQ(Shown(1, 3), "一致");
    // What the save wrote is the file's, not an edit.
    EXPECT_FALSE(doc().IsEdited(checksums, 0, 0));
    EXPECT_FALSE(doc().IsModified());
}

TEST_F(ChecksumWindowTest, TablesExportedAllAtOnceLeaveTheChecksumsOutAndAnImportSkipsThem)
{
    WriteFile(Rules(), Utf8ToSjis("道具,crc32,100-13F,5FC:4:le\r\n"));
    Start(sample());
    const std::string folder = root() + "tables";
    std::filesystem::create_directory(folder);
    app->chooseExportFolder = [&] { return folder; };
    frame().Run(command::kExportAll);
    EXPECT_TRUE(std::filesystem::exists(folder + "/items.tsv"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/チェックサム.tsv"));
    // Asked for by itself, it is written as shown.
    ShowChecksums();
    frame().Run(command::kExportTable);
    const std::string sums = ReadFile(folder + "/チェックサム.tsv");
    EXPECT_EQ(sums.substr(0, sums.find('\n')), "\t格納値\t計算値\t状態");
    EXPECT_NE(sums.find("道具\t0X14B9FAD7\t0X14B9FAD7\t一致"), std::string::npos) << sums;
    // Read back with a changed price: the price is stored, the checksums are skipped with a word.
    std::string items = ReadFile(folder + "/items.tsv");
    items.replace(items.find("\t8\t"), 3, "\t11\t");
    WriteFile(folder + "/items.tsv", items);
    app->chooseImportFiles = [&] { return std::vector<std::string>{folder + "/items.tsv", folder + "/チェックサム.tsv"}; };
    messages.shown.clear();
    frame().Run(command::kImport);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "表を読み込みました。\n表 items: 1 個のセルを変更しました\n" + folder +
                                     "/チェックサム.tsv: チェックサムの表は保存のたびに計算され、読み込めません");
    EXPECT_TRUE(doc().IsModified());
}

}  // namespace

}  // namespace zok2::test
