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

}  // namespace

}  // namespace zok2::test
