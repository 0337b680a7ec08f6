#include <gtest/gtest.h>

#include "text/LineReader.h"
#include "text/SjisText.h"

using namespace zok2::text;

namespace {
std::vector<std::string> SplitLinePieces(std::string_view content, std::size_t bufferSize)
{
    LinePieces pieces(content, bufferSize);
    return std::vector<std::string>(pieces.begin(), pieces.end());
}
}  // namespace

TEST(SjisText, SeparatorsAreSearchedByCharacter)
{
    // "表" is 95 5C and "ポ" is 83 7C: their trail bytes are "\" and "|".
    const std::string s = "\x95\x5C\x83\x7C|x";
    EXPECT_EQ(FindChar(s, '|'), 4u);
    EXPECT_EQ(FindChar(s, '\\'), npos);
    EXPECT_EQ(CountChar(s, '|'), 1u);
    EXPECT_EQ(FindLastChar("a|b|c", '|'), 3u);
    // "//" whose first slash would be a trail byte does not count.
    const std::string t = std::string("\x83\x2F") + "/x//y";
    EXPECT_EQ(FindSeq(t, "//"), 4u);
    EXPECT_EQ(ReplaceAll("a\\nb\x95\\n", "\\n", "\r\n"), "a\r\nb\x95\\n");
    EXPECT_EQ(ToUpperAscii("ab\x83\x61z"), "AB\x83\x61Z");
}

TEST(SjisText, HexReadingIsLikeStrtoulBase16)
{
    EXPECT_EQ(ReadHex("1A0"), 0x1A0u);
    EXPECT_EQ(ReadHex("  0x1a0"), 0x1A0u);
    EXPECT_EQ(ReadHex("0X1A0zz"), 0x1A0u);
    EXPECT_EQ(ReadHex(""), 0u);
    EXPECT_EQ(ReadHex("g"), 0u);
    EXPECT_EQ(ReadHex("0x"), 0u);
    EXPECT_EQ(ReadHex("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadHex("123456789"), 0xFFFFFFFFu);  // saturates
}

TEST(SjisText, DecimalReadingIsLikeAtol)
{
    EXPECT_EQ(ReadDec(" -10"), -10);
    EXPECT_EQ(ReadDec("+7x"), 7);
    EXPECT_EQ(ReadDec("1A"), 1);
    EXPECT_EQ(ReadDec("abc"), 0);
    EXPECT_EQ(ReadDec("99999999999"), 2147483647);
    EXPECT_EQ(ReadDec("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(ReadDec64("4294967295"), 4294967295LL);
    EXPECT_EQ(ReadDec64("-99999999999999999999999"), INT64_MIN);
}

TEST(SjisText, NumbersAreWrittenLikePrintf)
{
    EXPECT_EQ(FormatHex(0), "0");
    EXPECT_EQ(FormatHex(0x1a0), "1A0");
    EXPECT_EQ(FormatHexPadded(10, 2), "0A");
    EXPECT_EQ(FormatHexPadded(255, 8), "000000FF");
    EXPECT_EQ(FormatDec(-8388608), "-8388608");
    EXPECT_EQ(FormatUnsigned(4294967295u), "4294967295");
}

TEST(LineReader, CrLfIsOneLineEndAndALoneCrStays)
{
    auto pieces = SplitLinePieces("a\r\nb\rc\n\nlast", kRowNameBuffer);
    EXPECT_EQ(pieces, (std::vector<std::string>{"a", "b\rc", "", "last"}));
    EXPECT_TRUE(SplitLinePieces("", kRowNameBuffer).empty());
    EXPECT_EQ(SplitLinePieces("x\n", kRowNameBuffer).size(), 1u);
    EXPECT_EQ(SplitLinePieces("x\r", kRowNameBuffer), (std::vector<std::string>{"x\r"}));
}

TEST(LineReader, LongLinesComeInFgetsPieces)
{
    auto pieces = SplitLinePieces(std::string(1200, 'a') + "\r\n", kRowNameBuffer);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].size(), 499u);
    EXPECT_EQ(pieces[1].size(), 499u);
    EXPECT_EQ(pieces[2], std::string(202, 'a'));
    EXPECT_EQ(SplitLinePieces(std::string(4999, 'b') + "x", kColumnBuffer).size(), 2u);
    // 498 bytes and the line end fill the buffer exactly; 499 bytes leave the LF for an empty piece.
    EXPECT_EQ(SplitLinePieces(std::string(498, 'c') + "\r\nz", kRowNameBuffer).size(), 2u);
    EXPECT_EQ(SplitLinePieces(std::string(499, 'c') + "\r\nz", kRowNameBuffer),
              (std::vector<std::string>{std::string(499, 'c'), "", "z"}));
    // A lone CR counts like any byte.
    EXPECT_EQ(SplitLinePieces(std::string(498, 'c') + "\r\r\n", kRowNameBuffer),
              (std::vector<std::string>{std::string(498, 'c') + "\r", ""}));
}

TEST(LineReader, ALineFeedEndsAPieceWhateverPrecedesIt)
{
    // As with fgets, a lead byte right before the line feed does not swallow it.
    auto pieces = SplitLinePieces("a\x83\nb\n", kRowNameBuffer);
    EXPECT_EQ(pieces, (std::vector<std::string>{"a\x83", "b"}));
}

TEST(LineReader, APieceNeverSplitsADoubleByteCharacter)
{
    // 498 single bytes, then "ポ" (83 7C): the piece ends before the lead byte.
    std::string line = std::string(498, 'a') + "\x83\x7C" + "|z\n";
    auto pieces = SplitLinePieces(line, kRowNameBuffer);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], std::string(498, 'a'));
    EXPECT_EQ(pieces[1], "\x83\x7C|z");
    EXPECT_EQ(FindChar(pieces[1], '|'), 2u);
}
