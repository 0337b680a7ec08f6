// IPS and BPS patches byte for byte as their published descriptions give them,
// round trips on random files, and damaged or foreign patches refused.
#include <gtest/gtest.h>

#include <random>

#include "patch/Crc32.h"
#include "patch/Patches.h"

namespace zok2::test {

namespace {

using namespace zok2::patch;

std::string B(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

std::string Le32(std::uint32_t v) { return B({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF), static_cast<int>(v >> 24)}); }

std::string Random(std::size_t size, std::mt19937& rng)
{
    std::string s(size, '\0');
    for (char& c : s) c = static_cast<char>(rng());
    return s;
}

}  // namespace

TEST(Crc32, TheCheckValue)
{
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32(""), 0u);
    EXPECT_EQ(Crc32(std::string(1000, 'a')), Crc32(std::string(999, 'a') + "a"));
}

TEST(BpsNumbers, EncodedAsPublished)
{
    const std::pair<std::uint64_t, std::string> cases[] = {
        {0, B({0x80})}, {1, B({0x81})}, {127, B({0xFF})}, {128, B({0x00, 0x80})}, {16383, B({0x7F, 0xFE})}, {16384, B({0x00, 0xFF})},
        {16512, B({0x00, 0x00, 0x80})}};
    for (const auto& [value, bytes] : cases) {
        std::string out;
        AppendBpsNumber(value, &out);
        EXPECT_EQ(out, bytes) << value;
        std::size_t at = 0;
        std::uint64_t back = 0;
        ASSERT_TRUE(ReadBpsNumber(out, &at, &back));
        EXPECT_EQ(back, value);
        EXPECT_EQ(at, out.size());
    }
    std::size_t at = 0;
    std::uint64_t value = 0;
    EXPECT_FALSE(ReadBpsNumber(B({0x00, 0x01}), &at, &value));  // no last byte
    at = 0;
    EXPECT_FALSE(ReadBpsNumber(std::string(12, '\0') + B({0x80}), &at, &value));  // past 64 bits
}

TEST(IpsPatches, RecordsRunsTheEofOffsetAndTruncationByteForByte)
{
    std::string patch;
    // A changed stretch: one record of its bytes.
    std::string source(16, '\0'), target = source;
    target.replace(2, 3, "xyz");
    ASSERT_TRUE(CreateIps(source, target, &patch));
    EXPECT_EQ(patch, "PATCH" + B({0, 0, 2, 0, 3}) + "xyz" + "EOF");
    // A run: one run record.
    target = std::string(0x10, '\0') + std::string(20, '\xAA');
    source = std::string(target.size(), '\0');
    ASSERT_TRUE(CreateIps(source, target, &patch));
    EXPECT_EQ(patch, "PATCH" + B({0, 0, 0x10, 0, 0, 0, 20, 0xAA}) + "EOF");
    // No record starts at 0x454F46: it starts a byte earlier.
    source.assign(0x454F50, '\0');
    target = source;
    target[0x454F46] = 'Q';
    ASSERT_TRUE(CreateIps(source, target, &patch));
    EXPECT_EQ(patch, "PATCH" + B({0x45, 0x4F, 0x45, 0, 2, 0}) + "Q" + "EOF");
    // A shorter target: the length after "EOF".
    source = "0123456789";
    ASSERT_TRUE(CreateIps(source, "012345", &patch));
    EXPECT_EQ(patch, "PATCH" + std::string("EOF") + B({0, 0, 6}));
    std::string file = source;
    ASSERT_TRUE(ApplyIps(patch, &file));
    EXPECT_EQ(file, "012345");
    // Too large for IPS.
    std::string reason;
    EXPECT_FALSE(CreateIps(std::string(kIpsLargestFile + 1, '\0'), "", &patch, &reason));
    EXPECT_EQ(reason, "IPS holds files of at most 16 MiB");
}

TEST(BpsPatches, AHandMadePatchByteForByte)
{
    std::string patch;
    ASSERT_TRUE(CreateBps("abc", "abd", &patch));
    std::string expected = "BPS1" + B({0x83, 0x83, 0x80}) + B({0x84}) + B({0x81}) + "d" + Le32(Crc32("abc")) + Le32(Crc32("abd"));
    expected += Le32(Crc32(expected));
    EXPECT_EQ(patch, expected);
    std::string out;
    ASSERT_TRUE(ApplyBps(patch, "abc", &out));
    EXPECT_EQ(out, "abd");
    // Copies as other patchers write them: SourceCopy of "bc" (from +1), TargetRead "x",
    // then a TargetCopy of 4 from the start that reads what it writes ("bcx" repeated).
    std::string copying = "BPS1" + B({0x84, 0x87, 0x80}) + B({0x86, 0x82}) + B({0x81}) + "x" + B({0x8F, 0x80});
    copying += Le32(Crc32("abcd")) + Le32(Crc32("bcxbcxb"));
    copying += Le32(Crc32(copying));
    ASSERT_TRUE(ApplyBps(copying, "abcd", &out));
    EXPECT_EQ(out, "bcxbcxb");
}

TEST(Patches, RoundTripsOnRandomFilesEqualGrownAndShrunk)
{
    std::mt19937 rng(5);
    for (int round = 0; round < 30; ++round) {
        const std::size_t size = 1 + rng() % 5000;
        const std::string source = Random(size, rng);
        std::string target = source;
        const int kind = round % 3;
        if (kind == 1) target += Random(1 + rng() % 300, rng);
        if (kind == 2) target.resize(size / 2);
        for (int c = 0, changes = static_cast<int>(rng() % 20); c < changes && !target.empty(); ++c) {
            const std::size_t at = rng() % target.size(), length = std::min<std::size_t>(1 + rng() % 40, target.size() - at);
            if (c % 4 == 0) {
                target.replace(at, length, std::string(length, '\x55'));  // runs
            } else {
                target.replace(at, length, Random(length, rng));
            }
        }
        std::string ips, bps, out = source;
        ASSERT_TRUE(CreateIps(source, target, &ips));
        ASSERT_TRUE(ApplyIps(ips, &out));
        EXPECT_TRUE(out == target) << round;
        ASSERT_TRUE(CreateBps(source, target, &bps));
        ASSERT_TRUE(ApplyBps(bps, source, &out));
        EXPECT_TRUE(out == target) << round;
    }
}

TEST(Patches, DamagedOrForeignPatchesAreRefusedAndChangeNothing)
{
    std::string bps, ips, reason;
    ASSERT_TRUE(CreateBps("original", "changed!", &bps));
    ASSERT_TRUE(CreateIps("original", "changed!", &ips));
    std::string out = "untouched";
    EXPECT_FALSE(ApplyBps(bps, "another!", &out, &reason));
    EXPECT_EQ(reason, "the BPS patch was made for another file (its checksum differs)");
    EXPECT_FALSE(ApplyBps(bps, "short", &out, &reason));
    EXPECT_EQ(reason, "the BPS patch was made for another file (its size differs)");
    std::string flipped = bps;
    flipped[8] ^= 1;
    EXPECT_FALSE(ApplyBps(flipped, "original", &out, &reason));
    EXPECT_EQ(reason, "the BPS patch is damaged (its own checksum does not match)");
    EXPECT_FALSE(ApplyBps("BPS1", "original", &out, &reason));
    // A copy outside the source, with every checksum right.
    std::string outside = "BPS1" + B({0x82, 0x82, 0x80}) + B({0x86, 0x8A});  // SourceCopy of 2 from +5 in a 2-byte source
    outside += Le32(Crc32("ab")) + Le32(Crc32("ab"));
    outside += Le32(Crc32(outside));
    EXPECT_FALSE(ApplyBps(outside, "ab", &out, &reason));
    EXPECT_EQ(reason, "the BPS patch is damaged (a copy lies outside the source)");
    EXPECT_EQ(out, "untouched");

    std::string file = "original";
    EXPECT_FALSE(ApplyIps(ips.substr(0, ips.size() - 3), &file, &reason));  // no "EOF"
    EXPECT_EQ(reason, "the IPS patch ends without \"EOF\"");
    EXPECT_FALSE(ApplyIps(ips.substr(0, 9), &file, &reason));
    EXPECT_FALSE(ApplyIps("PATCX" + ips.substr(5), &file, &reason));
    EXPECT_FALSE(ApplyIps(ips + "xy", &file, &reason));
    EXPECT_EQ(file, "original");
    EXPECT_EQ(FormatOf(ips), PatchFormat::Ips);
    EXPECT_EQ(FormatOf(bps), PatchFormat::Bps);
    EXPECT_EQ(FormatOf("nothing"), PatchFormat::Unknown);
}

}  // namespace zok2::test
