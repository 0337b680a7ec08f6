// A file opened with checksum rules in its set: a checksum that does not match
// and a rule that cannot be used are said in the status bar; matching ones say nothing.
#include "patch/Crc32.h"
#include "WindowTestSupport.h"

namespace zok2::test {

namespace {

class ChecksumWindowTest : public WindowTest {
protected:
    std::string Rules() const { return root() + "Settings/sample/checksums.txt"; }
};

TEST_F(ChecksumWindowTest, AChecksumThatDoesNotMatchIsNamedInTheStatusBar)
{
    WriteFile(Rules(), Utf8ToSjis("道具,crc32,100-13F,5FC:4:le\r\nheader,xor8,0-F,5F0:1\r\nbroken,sum8,0-F\r\nfar,sum8,0-9999,5F1:1\r\n"));
    original.replace(0x7FC, 4, std::string(4, '\0'));  // the sample's own checksum taken out
    WriteFile(sample(), original);
    Start(sample());
    const std::string note = frame().Note().toStdString();
    EXPECT_NE(note.find("チェックサムが合いません: 道具, header"), std::string::npos) << note;
    EXPECT_NE(note.find("checksums.txt の 3 行目のチェックサムの規則が使えません"), std::string::npos) << note;
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
        if (i != 0x308 && (i < 0x7FA || i > 0x7FF)) ASSERT_EQ(saved[i], original[i]) << i;
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

}  // namespace

}  // namespace zok2::test
