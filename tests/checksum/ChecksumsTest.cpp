// Checksum rules: the published check values of the CRCs, sums of words of both
// byte orders with their complements, the presets against headers built from
// the formats' published descriptions (before and after an edit, the bytes
// compared), the address correction, one reading across many chunks, and every
// line the reader cannot use reported with its number and its text.
#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "checksum/Checksums.h"

namespace zok2::checksum {

namespace {

// The file with every rule's fix written into it.
std::string Fixed(const std::vector<Rule>& rules, std::string file)
{
    for (const Outcome& o : Compute(rules, file)) {
        EXPECT_TRUE(o.computable) << o.why;
        for (const Outcome::Write& w : o.writes) file.replace(static_cast<std::size_t>(w.offset), w.bytes.size(), w.bytes);
    }
    for (const Outcome& o : Compute(rules, file)) EXPECT_TRUE(o.matches);
    return file;
}

std::vector<Rule> Read(const std::string& text, std::uint32_t correction = 0)
{
    const Rules rules = ReadRules(text, correction);
    EXPECT_TRUE(rules.problems.empty()) << (rules.problems.empty() ? "" : rules.problems[0].what);
    return rules.rules;
}

std::uint8_t At(const std::string& file, std::size_t i) { return static_cast<std::uint8_t>(file[i]); }

}  // namespace

TEST(Checksums, TheCrcsGiveTheirPublishedCheckValues)
{
    const std::string file = std::string("123456789") + std::string(6, '\0');
    const std::vector<Rule> rules = Read("crc,crc32,0-8,9:4:le\r\ncrc16,crc16-ccitt-false,0-8,D:2:be\r\n");
    const std::vector<Outcome> outcomes = Compute(rules, file);
    EXPECT_EQ(outcomes[0].computed, 0xCBF43926u);
    EXPECT_EQ(outcomes[1].computed, 0x29B1u);
    EXPECT_EQ(HexOf(rules[0], outcomes[0].computed), "CBF43926");
    EXPECT_FALSE(outcomes[0].matches);
    EXPECT_EQ(Fixed(rules, file), std::string("123456789\x26\x39\xF4\xCB\x29\xB1", 15));
}

TEST(Checksums, SumsOfWordsTheirComplementsAndXor)
{
    // Bytes 01 02 03 04 05 (an odd count: the last word is cut short, its missing bytes zeros).
    const std::string file = std::string("\x01\x02\x03\x04\x05", 5) + std::string(16, '\0');
    const std::vector<Rule> rules = Read(
        "// name, algorithm, ranges, store, options\r\n"
        "a,sum8,0-4,5:1\r\n"                        // 15
        "b,sum16le,0-4,6:2:le\r\n"                  // 0201 + 0403 + 0005 = 0609
        "c,sum16be,0-4,8:2:be\r\n"                  // 0102 + 0304 + 0500 = 0906
        "d,sum32le,0-4,A:4\r\n"                     // 04030201 + 00000005
        "e,sum32be,0-4,E:4:be, ones\r\n"            // ~(01020304 + 05000000)
        "f,sum8,0-4,12:1,twos init=10\r\n"          // -(0x10 + 15) & FF
        "g,xor8,0-1+3-4,13:1\r\n"                   // 01 ^ 02 ^ 04 ^ 05 (byte 2 left out)
        "\r\n");
    ASSERT_EQ(rules.size(), 7u);
    const std::vector<Outcome> o = Compute(rules, file);
    EXPECT_EQ(o[0].computed, 15u);
    EXPECT_EQ(o[1].computed, 0x0609u);
    EXPECT_EQ(o[2].computed, 0x0906u);
    EXPECT_EQ(o[3].computed, 0x04030206u);
    EXPECT_EQ(o[4].computed, ~0x06020304u);
    EXPECT_EQ(o[5].computed, static_cast<std::uint32_t>(-(0x10 + 15)) & 0xFF);
    EXPECT_EQ(o[6].computed, 0x01u ^ 0x02u ^ 0x04u ^ 0x05u);
    const std::string fixed = Fixed(rules, file);
    EXPECT_EQ(fixed.substr(5, 5), std::string("\x0F\x09\x06\x09\x06", 5));
    EXPECT_EQ(fixed.substr(14, 4), std::string("\xF9\xFD\xFC\xFB", 4));  // big-endian ~06020304
}

TEST(Checksums, GameBoyHeaderAndGlobalChecksumsBeforeAndAfterAnEdit)
{
    std::string rom(0x8000, '\0');
    for (std::size_t i = 0; i < rom.size(); ++i) rom[i] = static_cast<char>((i * 31 + 7) & 0xFF);
    const std::string title = "ZOK2 TEST";
    rom.replace(0x134, title.size(), title);
    const std::vector<Rule> rules = Read("header,gb-header\r\nglobal,gb-global\r\n");
    // The published description: x = 0; for 0x134..0x14C: x = x - byte - 1. Then
    // every byte but the global checksum's two, summed to 16 bits, big-endian at 0x14E.
    const auto expect = [](std::string r) {
        std::uint8_t x = 0;
        for (std::size_t i = 0x134; i <= 0x14C; ++i) x = static_cast<std::uint8_t>(x - At(r, i) - 1);
        r[0x14D] = static_cast<char>(x);
        std::uint16_t sum = 0;
        for (std::size_t i = 0; i < r.size(); ++i) {
            if (i != 0x14E && i != 0x14F) sum = static_cast<std::uint16_t>(sum + At(r, i));
        }
        r[0x14E] = static_cast<char>(sum >> 8);
        r[0x14F] = static_cast<char>(sum & 0xFF);
        return r;
    };
    EXPECT_EQ(Fixed(rules, rom), expect(rom));
    std::string edited = Fixed(rules, rom);
    edited[0x134] = 'Y';   // in the header
    edited[0x4000] ^= 0x5A;  // and elsewhere
    const std::vector<Outcome> o = Compute(rules, edited);
    EXPECT_FALSE(o[0].matches);
    EXPECT_FALSE(o[1].matches);
    EXPECT_EQ(Fixed(rules, edited), expect(edited));
}

TEST(Checksums, GameBoyAdvanceComplementAndMegaDriveChecksum)
{
    std::string rom(0x400, '\0');
    for (std::size_t i = 0; i < rom.size(); ++i) rom[i] = static_cast<char>((i * 13 + 101) & 0xFF);
    const std::vector<Rule> rules = Read("complement,gba-header\r\nmd,md\r\n");
    const auto expect = [](std::string r) {
        // chk = 0; for 0xA0..0xBC: chk -= byte; chk = (chk - 0x19) & 0xFF, at 0xBD.
        int chk = 0;
        for (std::size_t i = 0xA0; i <= 0xBC; ++i) chk -= At(r, i);
        r[0xBD] = static_cast<char>((chk - 0x19) & 0xFF);
        // The big-endian 16-bit words from 0x200 to the end, summed, big-endian at 0x18E.
        std::uint16_t sum = 0;
        for (std::size_t i = 0x200; i + 1 < r.size(); i += 2) sum = static_cast<std::uint16_t>(sum + (At(r, i) << 8) + At(r, i + 1));
        r[0x18E] = static_cast<char>(sum >> 8);
        r[0x18F] = static_cast<char>(sum & 0xFF);
        return r;
    };
    EXPECT_EQ(Fixed(rules, rom), expect(rom));
    std::string edited = Fixed(rules, rom);
    edited[0xA5] ^= 0x21;
    edited[0x3FF] ^= 0x01;
    EXPECT_EQ(Fixed(rules, edited), expect(edited));
}

TEST(Checksums, SuperFamicomChecksumAndComplementWhateverTheyHeld)
{
    for (const char* preset : {"sfc-lorom", "sfc-hirom"}) {
        SCOPED_TRACE(preset);
        const std::size_t header = std::string(preset) == "sfc-lorom" ? 0x7FC0 : 0xFFC0;
        std::string rom(0x20000, '\0');
        std::mt19937 random(7);
        for (char& b : rom) b = static_cast<char>(random() & 0xFF);
        const std::vector<Rule> rules = Read(std::string("sum,") + preset + "\r\n");
        const std::string fixed = Fixed(rules, rom);
        // Published: the 16-bit sum of every byte of the image, in which a right
        // checksum and complement add up to 0x1FE; the complement is the checksum's bits flipped.
        const std::uint16_t checksum = static_cast<std::uint16_t>(At(fixed, header + 0x1E) | (At(fixed, header + 0x1F) << 8));
        const std::uint16_t complement = static_cast<std::uint16_t>(At(fixed, header + 0x1C) | (At(fixed, header + 0x1D) << 8));
        EXPECT_EQ(static_cast<std::uint16_t>(checksum ^ complement), 0xFFFF);
        std::uint16_t sum = 0;
        for (const char b : fixed) sum = static_cast<std::uint16_t>(sum + static_cast<std::uint8_t>(b));
        EXPECT_EQ(sum, checksum);
        // Only the four bytes of the two fields changed.
        for (std::size_t i = 0; i < rom.size(); ++i) {
            if (i < header + 0x1C || i > header + 0x1F) ASSERT_EQ(fixed[i], rom[i]) << i;
        }
    }
    // An image of another size is not summed by this rule: said, not guessed.
    const std::vector<Outcome> odd = Compute(Read("sum,sfc-lorom\r\n"), std::string(0x18000, '\x11'));
    EXPECT_FALSE(odd[0].computable);
    EXPECT_EQ(odd[0].why, "the file's size is not a power of two");
}

TEST(Checksums, AddressesTakeTheCorrectionAndOneReadingCrossesEveryChunk)
{
    // A 3 MiB file, a range starting at an odd place and ending at the file's end.
    std::string file(3 * 1024 * 1024 + 3, '\0');
    std::mt19937 random(11);
    for (char& b : file) b = static_cast<char>(random() & 0xFF);
    const std::vector<Rule> rules = Read("w,sum16be,5-end,0:4:be\r\nb,sum32le,8-100000,4:1\r\n", 0x10);
    EXPECT_EQ(rules[0].ranges[0].first, 0x15);
    EXPECT_EQ(rules[0].stores[0].offset, 0x10);
    std::uint64_t words = 0;
    for (std::size_t i = 0x15; i < file.size(); i += 2) words += (At(file, i) << 8) | (i + 1 < file.size() ? At(file, i + 1) : 0);
    std::uint64_t longs = 0;
    for (std::size_t i = 0x18; i <= 0x100010; i += 4) {
        for (std::size_t k = 0; k < 4 && i + k <= 0x100010; ++k) longs += static_cast<std::uint64_t>(At(file, i + k)) << (8 * k);
    }
    const std::vector<Outcome> o = Compute(rules, file);
    EXPECT_EQ(o[0].computed, static_cast<std::uint32_t>(words));
    EXPECT_EQ(o[1].computed, static_cast<std::uint32_t>(longs) & 0xFF);  // kept to the stored size
    // A range past the end of the file is said, and nothing is computed for it.
    const std::vector<Outcome> past = Compute(Read("p,sum8,0-20,0:1\r\n"), std::string(0x10, '\0'));
    EXPECT_FALSE(past[0].computable);
    EXPECT_EQ(past[0].why, "a range passes the end of the file");
}

TEST(Checksums, EveryLineTheReaderCannotUseIsReportedWithItsNumberAndText)
{
    const std::string text =
        "// checksums of the sample\r\n"
        "good,sum8,0-F,10:1   // a comment after a rule\r\n"
        "\r\n"
        "nothing\r\n"                              // 4
        ",sum8,0-F,10:1\r\n"                        // 5 no name
        "x,adler32,0-F,10:4\r\n"                    // 6
        "x,sum8,0-G,10:1\r\n"                       // 7
        "x,sum8,F-0,10:1\r\n"                       // 8
        "x,sum8,0-F,10:5\r\n"                       // 9 size
        "x,sum8,0-F,10:2:middle\r\n"                // 10
        "x,sum8,0-F\r\n"                            // 11 no store
        "x,gb-header,0-F\r\n"                       // 12 preset with a range
        "x,sum8,0-8+4-F,10:1\r\n"                   // 13 overlapping
        "x,sum8,0-F,10:1,ones twos\r\n"             // 14
        "x,sum8,0-F,10:1,fast\r\n"                  // 15
        "\x93\xB9\x8B\xEF,xor8,0-end,10:1\r\n";     // a Shift-JIS name: fine
    const Rules rules = ReadRules(text, 0);
    ASSERT_EQ(rules.rules.size(), 2u);
    EXPECT_EQ(rules.rules[0].name, "good");
    EXPECT_EQ(rules.rules[0].line, 2);
    EXPECT_EQ(rules.rules[1].name, "\x93\xB9\x8B\xEF");
    EXPECT_TRUE(rules.rules[1].ranges[0].toEnd);
    std::vector<int> lines;
    for (const RuleProblem& p : rules.problems) lines.push_back(p.line);
    EXPECT_EQ(lines, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(rules.problems[2].text, "x,adler32,0-F,10:4");
    EXPECT_EQ(rules.problems[2].what, "unknown algorithm \"adler32\"");
    EXPECT_EQ(rules.problems[5].what, "the store \"10:5\" is not ADDRESS:SIZE[:le|be] with a size of 1 to 4");
    EXPECT_EQ(rules.problems[9].what, "the ranges must follow each other in ascending order without overlapping");
}

}  // namespace zok2::checksum
