// zok2-cli sums and sums --fix on a copy of the sample: each rule's stored and
// computed value, "ok", "differs" or "fixed", the exit codes, the ".bak" copy
// and the bytes written, and a rule the reader cannot use named on stderr.
// zok2-cli apply with the set named writes the checksums into its result.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliCommands.h"
#include "patch/Crc32.h"
#include "qt/SjisCodec.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

CliResult Cli(const std::vector<std::string>& args) { return RunCli(args, "/nonexistent", [] { return std::string(); }); }

class SumsCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string examples = std::string(ZOK2_SOURCE_DIR) + "/examples";
        std::filesystem::copy(examples + "/Settings", root() + "Settings", std::filesystem::copy_options::recursive);
        std::filesystem::copy(examples + "/zok2.ini", root() + "zok2.ini");
        std::filesystem::copy(examples + "/sample.dat", binary());
        // The sample holds its own checksum at 0x7FC: taken out, so the rules below start out differing.
        std::string bytes = ReadFile(binary());
        bytes.replace(0x7F8, 8, std::string(8, '\0'));
        WriteFile(binary(), bytes);
        // The items table (0x100-0x13F in the set's addresses, 0x300-0x33F in the
        // file) in a CRC-32 at 0x5FC (0x7FC), and its first two records' words in a sum at 0x5F8.
        WriteFile(rules(), Utf8ToSjis("// 検査値\r\n道具,crc32,100-13F,5FC:4:le\r\nwords,sum16be,100-107,5F8:2:be\r\n"));
    }
    std::string root() const { return temp.Path(); }
    std::string binary() const { return temp.Path() + "sample.dat"; }
    std::string rules() const { return temp.Path() + "Settings/sample/checksums.txt"; }
    std::vector<std::string> Args(std::initializer_list<std::string> rest) const
    {
        std::vector<std::string> args{"--root", root(), "sums"};
        args.insert(args.end(), rest);
        return args;
    }
    TempDir temp;
};

std::string Hex8(std::uint32_t v)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", v);
    return text;
}

}  // namespace

TEST_F(SumsCli, ShowsEachRuleAndFixesWhatDiffersAfterABackup)
{
    const std::string before = ReadFile(binary());
    const std::uint32_t crc = patch::Crc32(std::string_view(before).substr(0x300, 0x40));
    std::uint32_t words = 0;
    for (std::size_t i = 0x300; i < 0x308; i += 2) words += (static_cast<unsigned char>(before[i]) << 8) | static_cast<unsigned char>(before[i + 1]);
    words &= 0xFFFF;
    char wordText[8];
    std::snprintf(wordText, sizeof wordText, "%04X", words);

    CliResult r = Cli(Args({binary()}));
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "道具\t00000000\t" + Hex8(crc) + "\tdiffers\nwords\t0000\t" + wordText + "\tdiffers\n");
    EXPECT_EQ(ReadFile(binary()), before);  // looking writes nothing
    EXPECT_FALSE(std::filesystem::exists(binary() + ".bak"));

    r = Cli(Args({"--fix", binary()}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "道具\t" + Hex8(crc) + "\t" + Hex8(crc) + "\tfixed\nwords\t" + wordText + "\t" + wordText + "\tfixed\n");
    EXPECT_EQ(ReadFile(binary() + ".bak"), before);
    std::string expected = before;
    for (int i = 0; i < 4; ++i) expected[0x7FC + static_cast<std::size_t>(i)] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    expected[0x7F8] = static_cast<char>(words >> 8);
    expected[0x7F9] = static_cast<char>(words & 0xFF);
    EXPECT_EQ(ReadFile(binary()), expected);

    r = Cli(Args({binary()}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "道具\t" + Hex8(crc) + "\t" + Hex8(crc) + "\tok\nwords\t" + wordText + "\t" + wordText + "\tok\n");
    // Nothing to fix: no backup taken again, the file untouched.
    std::filesystem::remove(binary() + ".bak");
    r = Cli(Args({"--fix", binary()}));
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(std::filesystem::exists(binary() + ".bak"));
}

TEST_F(SumsCli, APasteAndAnImportWriteTheChecksumsWithTheCells)
{
    CliResult r = RunCli({"--root", root(), "paste", binary(), "items", "2", "1"}, "/nonexistent", [] { return std::string("77"); });
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("checksums updated: 道具, words\n"), std::string::npos) << r.err;
    const std::string saved = ReadFile(binary());
    EXPECT_EQ(static_cast<unsigned char>(saved[0x308]), 77);
    r = Cli(Args({binary()}));
    EXPECT_EQ(r.status, 0) << r.out;  // every rule matches what the paste wrote
    // An import of the items table with its first price changed.
    ASSERT_EQ(Cli({"--root", root(), "export", binary(), temp.Path(), "items"}).status, 0);
    std::string table = ReadFile(temp.Path() + "items.tsv");
    const std::size_t row = table.find('\n') + 1, price = table.find('\t', row) + 1;
    table.replace(price, table.find('\t', price) - price, "123");
    WriteFile(temp.Path() + "items.tsv", table);
    r = Cli({"--root", root(), "import", binary(), temp.Path() + "items.tsv"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("checksums updated: 道具, words\n"), std::string::npos) << r.err;
    EXPECT_EQ(static_cast<unsigned char>(ReadFile(binary())[0x300]), 123);
    EXPECT_EQ(Cli(Args({binary()})).status, 0);
}

// The bundled sample carries a checksum of its own: right as shipped, and right after an edit is saved.
TEST(SumsCliSample, TheSamplesChecksumIsRightAndStaysRightAfterAPaste)
{
    TempDir temp;
    const std::string examples = std::string(ZOK2_SOURCE_DIR) + "/examples";
    std::filesystem::copy(examples + "/Settings", temp.Path() + "Settings", std::filesystem::copy_options::recursive);
    std::filesystem::copy(examples + "/zok2.ini", temp.Path() + "zok2.ini");
    std::filesystem::copy(examples + "/sample.dat", temp.Path() + "sample.dat");
    const std::string binary = temp.Path() + "sample.dat";
    const std::string before = ReadFile(binary);
    const std::string crc = Hex8(patch::Crc32(std::string_view(before).substr(0x300, 0x40)));
    CliResult r = Cli({"--root", temp.Path(), "sums", binary});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "道具\t" + crc + "\t" + crc + "\tok\n");

    r = RunCli({"--root", temp.Path(), "paste", binary, "items", "3", "3"}, "/nonexistent", [] { return std::string("42"); });
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("checksums updated: 道具\n"), std::string::npos) << r.err;
    const std::string after = ReadFile(binary);
    const std::string now = Hex8(patch::Crc32(std::string_view(after).substr(0x300, 0x40)));
    EXPECT_NE(now, crc);
    r = Cli({"--root", temp.Path(), "sums", binary});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "道具\t" + now + "\t" + now + "\tok\n");
    EXPECT_EQ(ReadFile(binary + ".bak"), before);
}

TEST_F(SumsCli, ARuleThatCannotBeUsedIsNamedAndASetWithoutRulesIsSaidSo)
{
    WriteFile(rules(), "good,xor8,100-13F,5FF:1\r\nbad,sum8,100-13F,5FF:7\r\nfar,sum8,100-FFFF,5FE:1\r\n");
    CliResult r = Cli(Args({binary()}));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(rules() + ":2: the store \"5FF:7\" is not ADDRESS:SIZE[:le|be] with a size of 1 to 4: bad,sum8,100-13F,5FF:7\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.out.find("good\t"), std::string::npos);
    EXPECT_NE(r.out.find("far\t\t\ta range passes the end of the file\n"), std::string::npos) << r.out;

    std::filesystem::remove(rules());
    r = Cli(Args({binary()}));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, rules() + ": no checksum rules in the set\n");
    EXPECT_EQ(Cli({"--root", root(), "sums"}).status, 2);  // no FILE
}

TEST_F(SumsCli, APatchAppliedWithTheSetNamedGetsItsChecksumsBeforeItReplacesTheFile)
{
    const std::string before = ReadFile(binary());
    // A patch that changes the first price and nothing else (its checksum left as it was).
    std::string edited = before;
    edited[0x300] = '\x63';
    WriteFile(root() + "edited.dat", edited);
    ASSERT_EQ(Cli({"patch", "--format", "bps", binary(), root() + "edited.dat", root() + "price.bps"}).status, 0);

    // Without a set named the patch's result is written byte for byte.
    CliResult r = Cli({"apply", root() + "price.bps", binary(), root() + "plain.dat"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(root() + "plain.dat"), edited);
    EXPECT_EQ(r.err, "");

    // With it: into the file itself, the backup first, the checksums over the result.
    r = Cli({"--root", root(), "apply", root() + "price.bps", binary()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "checksums updated: 道具, words\n");
    const std::string after = ReadFile(binary());
    EXPECT_EQ(ReadFile(binary() + ".bak"), before);
    const std::uint32_t crc = patch::Crc32(std::string_view(after).substr(0x300, 0x40));
    std::uint32_t stored = 0;
    for (int i = 3; i >= 0; --i) stored = (stored << 8) | static_cast<unsigned char>(after[0x7FC + static_cast<std::size_t>(i)]);
    EXPECT_EQ(stored, crc);
    std::uint32_t words = 0;
    for (std::size_t i = 0x300; i < 0x308; i += 2) words += (static_cast<unsigned char>(after[i]) << 8) | static_cast<unsigned char>(after[i + 1]);
    EXPECT_EQ((static_cast<unsigned char>(after[0x7F8]) << 8) | static_cast<unsigned char>(after[0x7F9]), static_cast<int>(words & 0xFFFF));
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i != 0x300 && (i < 0x7F8 || i > 0x7FF)) {
            ASSERT_EQ(after[i], edited[i]) << i;
        }
    }
    EXPECT_EQ(Cli({"--root", root(), "sums", binary()}).status, 0);

    // A rules file the reader cannot use: nothing is written, and the line is named.
    WriteFile(rules(), Utf8ToSjis("道具,crc32,100-13F,5FC:4:le\r\nbroken,sum8\r\n"));
    r = Cli({"--root", root(), "apply", root() + "price.bps", binary() + ".bak", root() + "out.dat"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("checksums.txt:2: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("nothing was written"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(root() + "out.dat"));
}

}  // namespace zok2::test
