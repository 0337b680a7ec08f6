// Record sizes proposed from bytes: the stride of a table's records comes
// first, its multiples are not offered, and bytes with no records show it.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "sets/RecordSizes.h"

namespace zok2::test {

namespace {

// `count` records of 37 bytes as a game keeps its items: a number, a name
// padded with zeros, a price, a kind and two bytes of flags.
std::string ItemRecords(int count)
{
    std::mt19937 random(7);
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        std::string record(37, '\0');
        record[0] = static_cast<char>(i);
        const std::string name = "ITEM " + std::to_string(random() % 100000);
        record.replace(1, name.size(), name);
        const unsigned price = 10 + random() % 5000;
        for (int b = 0; b < 4; ++b) record[24 + b] = static_cast<char>((price >> (8 * b)) & 0xFF);
        record[28] = static_cast<char>(random() % 4);
        record[29] = static_cast<char>(0x80 | (random() % 2));
        bytes += record;
    }
    return bytes;
}

}  // namespace

TEST(RecordSizes, TheRecordsStrideComesFirstAndItsMultiplesAreLeftOut)
{
    const std::string bytes = ItemRecords(120);
    const std::vector<sets::RecordSize> proposed = sets::ProposeRecordSizes(bytes);
    ASSERT_FALSE(proposed.empty());
    EXPECT_EQ(proposed[0].stride, 37u);
    EXPECT_EQ(proposed[0].records, 120u);
    EXPECT_GT(proposed[0].score, 0.6);
    for (std::size_t i = 1; i < proposed.size(); ++i) {
        const sets::RecordSize& size = proposed[i];
        EXPECT_NE(size.stride % 37, 0u) << size.stride << " is a multiple of the record, score " << size.score << " against " << proposed[0].score;
        EXPECT_LE(size.score, proposed[0].score);
    }
    // A selection that starts inside a record finds the same stride.
    EXPECT_EQ(sets::ProposeRecordSizes(std::string_view(bytes).substr(11, 37 * 60))[0].stride, 37u);
}

TEST(RecordSizes, NoiseFitsNoStrideAndShortSelectionsAreHandled)
{
    std::mt19937 random(3);
    std::string noise(8192, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    const std::vector<sets::RecordSize> proposed = sets::ProposeRecordSizes(noise);
    ASSERT_EQ(proposed.size(), 5u);
    EXPECT_LT(proposed[0].score, 0.02);  // about 1 in 256 by chance
    EXPECT_TRUE(sets::ProposeRecordSizes("abc").empty());
    EXPECT_EQ(sets::ProposeRecordSizes("abab")[0].stride, 2u);
    EXPECT_LE(sets::ProposeRecordSizes(std::string(100, 'x'), 3).size(), 3u);
}

}  // namespace zok2::test
