#include <random>

#include "binary/CompressedSection.h"
#include "support/TestFixture.h"
#include "tools/BlockEncoder.h"

namespace zok2::test {

namespace {
using F = ColumnField;
using ByteVector = tools::Bytes;

std::string ToString(const ByteVector& b) { return std::string(b.begin(), b.end()); }

class CompressedTest : public DocTest {
protected:
    // A file with the bank byte at 0x10, the pointer table at 0x20, the dictionary at 0x40
    // and blocks from 0x100 on (all plus `correction`, except the pointer table).
    ByteVector file = ByteVector(0x100, 0);
    std::uint32_t correction = 0;
    std::uint8_t bank = 0x81;
    std::vector<std::int64_t> blockOffsets;

    void SetDictionary(const ByteVector& dictionary)
    {
        for (std::size_t i = 0; i < dictionary.size(); ++i) file[0x40 + correction + i] = dictionary[i];
    }
    // Appends a raw block (length field included) and its pointer.
    void AddRawBlock(const ByteVector& block)
    {
        std::int64_t at = static_cast<std::int64_t>(file.size());
        file.insert(file.end(), block.begin(), block.end());
        tools::PutLittleEndian(file, 0x20 + 2 * blockOffsets.size(), tools::PointerFor(at, bank, correction), 2);
        blockOffsets.push_back(at);
    }
    void OpenCompressed(const std::string& columns, const std::string& labels, int blocks = -1)
    {
        file[0x10 + correction] = bank;
        Def("a.idn", labels);
        Def("a.ini", "COMPRESS_INFO,1,x,10|20|" + std::to_string(blocks < 0 ? blockOffsets.size() : blocks) +
                         ",40|ignored\r\n" + columns);
        OpenBytes(ToString(file));
    }
    std::vector<std::uint32_t> Column0() const
    {
        std::vector<std::uint32_t> out;
        for (std::size_t r = 0; r < doc->values[0].Rows(); ++r) out.push_back(doc->values[0].Get(r, 0));
        return out;
    }
};
}  // namespace

TEST(BankedPointer, Examples)
{
    EXPECT_EQ(BankedPointerToOffset(0x8000, 0x80), 0);
    EXPECT_EQ(BankedPointerToOffset(0x9234, 0x81), 0x9234);
    EXPECT_EQ(BankedPointerToOffset(0x8210, 0x85), 0x28210);
    EXPECT_EQ(BankedPointerToOffset(0x8000, 0x7F), 0);
    EXPECT_EQ(BankedPointerToOffset(0x8123, 0x80), 0x0123);
    EXPECT_EQ(BankedPointerToOffset(0x8123, 0x82), 0x10123);
    EXPECT_EQ(BankedPointerToOffset(0x8123, 0x83), 0x18123);
    EXPECT_EQ(BankedPointerToOffset(0x8123, 0xFF), 0x3F8123);
}

TEST_F(CompressedTest, TheWorkedExample)
{
    SetDictionary({0, 1, 2, 3, 4, 0x44, 0x55, 0x66});
    AddRawBlock({0x05, 0x00, 0xE0, 0x11, 0x22, 0x33, 0x00, 0x05});
    OpenCompressed("0,V,2,,,16\r\n", "B0\r\n");
    EXPECT_EQ(Column0(), (std::vector<std::uint32_t>{0x2211, 0x4433}));
    // The label list, the copied name and the empty section are appended; the record gets its fifth text.
    ASSERT_EQ(doc->lists.size(), 2u);
    EXPECT_EQ(doc->lists[1], (StringList{"B0", ""}));
    EXPECT_EQ(doc->definitionNames, (StringList{"a", "a"}));
    EXPECT_TRUE(doc->sections[1].empty());
    EXPECT_EQ(doc->values[1].Rows(), 2u);
    EXPECT_EQ(doc->compressionRecords[0].at(4), "1");
    EXPECT_EQ(&doc->RowLabels(0), &doc->lists[1]);
    EXPECT_EQ(Column(0, 0)[F::rowCount], "2");
    EXPECT_EQ(Column(0, 0)[F::stride], "2");
}

TEST_F(CompressedTest, EncodedBlocksRoundTripWithCorrectionAndBanks)
{
    for (std::uint8_t testBank : {std::uint8_t{0x80}, std::uint8_t{0x81}, std::uint8_t{0x82}}) {
        file.assign(0x300, 0);
        blockOffsets.clear();
        correction = 0x100;
        bank = testBank;
        std::mt19937 rng(testBank);
        ByteVector dictionary(64);
        for (auto& b : dictionary) b = static_cast<std::uint8_t>(rng() % 4);  // repetitive: references happen
        SetDictionary(dictionary);
        if (bank == 0x82) file.resize(0x8200, 0);  // bank 0x82 reaches offsets from 0x8000 + correction on
        Profile("[Setting]\r\nmode=set\r\n[File Address Correction]\r\nbin=100\r\n");
        std::vector<std::uint32_t> expected;
        for (int block = 0; block < 3; ++block) {
            ByteVector data;
            for (int record = 0; record < 5 + block; ++record) {
                std::uint32_t v = static_cast<std::uint32_t>(rng() % 4) | static_cast<std::uint32_t>(rng() % 4) << 8 |
                                  static_cast<std::uint32_t>(rng() % 256) << 16;
                expected.push_back(v);
                data.push_back(static_cast<std::uint8_t>(v));
                data.push_back(static_cast<std::uint8_t>(v >> 8));
                data.push_back(static_cast<std::uint8_t>(v >> 16));
            }
            AddRawBlock(tools::EncodeBlock(data, dictionary));
        }
        // The column address includes the correction in memory; in the record it is 0.
        OpenCompressed("0,V,3\r\n2,Hi,.7\r\n", "B0\r\nB1\r\nB2\r\n");
        EXPECT_EQ(Column0(), expected) << int(testBank);
        ASSERT_EQ(doc->lists[1].size(), expected.size());
        EXPECT_EQ(doc->lists[1][0], "B0");
        EXPECT_EQ(doc->lists[1][5], "B1");
        EXPECT_EQ(doc->lists[1][11], "B2");
        EXPECT_EQ(doc->values[0].Get(0, 1), (expected[0] >> 23) & 1u);
        EXPECT_EQ(Column(0, 1)[F::stride], "1");
        EXPECT_EQ(Column(0, 0)[F::address], "100");
    }
}

TEST_F(CompressedTest, FlagBytesOfAllLiteralsAndAllReferences)
{
    SetDictionary({0xAA, 0xBB, 0xCC, 0xDD});
    // Eight literals, then eight references of length 3 (offset 1: BB CC DD).
    ByteVector block = {0x21, 0x00, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 0x00};
    for (int i = 0; i < 8; ++i) {
        block.push_back(0x00);
        block.push_back(0x01);
    }
    AddRawBlock(block);
    OpenCompressed("0,V,4\r\n", "B\r\n");
    ASSERT_EQ(doc->values[0].Rows(), 8u);
    EXPECT_EQ(Column0()[0], 0x04030201u);
    EXPECT_EQ(Column0()[1], 0x08070605u);
    EXPECT_EQ(Column0()[2], 0xBBDDCCBBu);
}

TEST_F(CompressedTest, EmptyAndSkippedBlocksKeepTheirLabelIndex)
{
    SetDictionary({0});
    AddRawBlock({0x01, 0x00});                    // N = 1: nothing, no flag byte read
    AddRawBlock({0x00, 0x00});                    // N = 0: skipped
    AddRawBlock({0x13, 0x27, 0xFF, 1});           // N = 10003: skipped
    AddRawBlock({0x03, 0x00, 0xC0, 0x34, 0x12});  // one row
    OpenCompressed("0,V,2\r\n", "L0\r\nL1\r\nL2\r\nL3\r\n");
    EXPECT_EQ(Column0(), (std::vector<std::uint32_t>{0x1234}));
    EXPECT_EQ(doc->lists[1], (StringList{"L3"}));
}

TEST_F(CompressedTest, TwoSectionsGetTwoLabelListsInLoadOrder)
{
    SetDictionary({0});
    AddRawBlock({0x02, 0x00, 0x80, 0x07});
    file[0x10] = bank;
    Def("b.idn", "Y\r\n");
    Def("b.ini", "COMPRESS_INFO,1,y,10|20|1,40|\r\n0,W,1\r\n");
    OpenCompressed("0,V,1\r\n", "X\r\n");
    ASSERT_EQ(doc->lists.size(), 4u);
    EXPECT_EQ(doc->compressionRecords[0].at(4), "2");
    EXPECT_EQ(doc->compressionRecords[1].at(4), "3");
    EXPECT_EQ(doc->definitionNames, (StringList{"a", "b", "a", "b"}));
    EXPECT_EQ(doc->values.size(), 4u);
}

TEST_F(CompressedTest, RecordsTheDecoderDoesNotAcceptLeaveTheSectionWithoutRows)
{
    SetDictionary({0});
    AddRawBlock({0x02, 0x00, 0x80, 0x07});
    file[0x10] = bank;
    const std::string bytes = ToString(file);
    Def("a.idn", "X\r\nY\r\n");
    Def("z.idn", "z0\r\nz1\r\nz2\r\nz3\r\nz4\r\n");
    for (const char* info : {"COMPRESS_INFO,2,x,10|20|1,40|", "COMPRESS_INFO,1,x,10|20|1",
                             "COMPRESS_INFO,1,x,10|20|1,40|,1"}) {
        Def("a.ini", std::string(info) + "\r\n0,V,1\r\n");
        OpenBytes(bytes);
        EXPECT_TRUE((doc->values[0].Rows() == 0)) << info;
        EXPECT_EQ(doc->lists.size(), 2u) << info;
        EXPECT_EQ(Column(0, 0)[F::rowCount], "2") << info;  // unchanged
        // The rows the view shows never read values that do not exist.
        const TextList& labels = doc->RowLabels(0);
        EXPECT_FALSE(labels.empty());
        for (std::size_t r = 0; r < labels.size(); ++r) EXPECT_EQ(doc->DisplayText(0, 0, static_cast<int>(r)), "--");
        doc->StoreCellText(0, 0, 0, "1");
        EXPECT_FALSE(doc->IsModified());
    }
    // A user's fifth text that names a list is taken as the label list.
    EXPECT_EQ(&doc->RowLabels(0), &doc->lists[1]);
}

TEST_F(CompressedTest, MalformedBlocksEndSafely)
{
    SetDictionary({9, 9, 9});
    // L = 3 is not a multiple of R = 2: one row, then the block ends.
    AddRawBlock({0x04, 0x00, 0xE0, 1, 2, 3});
    // The stream runs off the end of the file after two rows.
    AddRawBlock({0x10, 0x00, 0xFF, 4, 5, 6, 7});
    OpenCompressed("0,V,2\r\n", "A\r\n");  // the second block has no label
    EXPECT_EQ(Column0(), (std::vector<std::uint32_t>{0x0201, 0x0504, 0x0706}));
    EXPECT_EQ(doc->lists[1], (StringList{"A", "", ""}));
}

TEST_F(CompressedTest, RecordsWithoutBytesAndColumnsOutsideTheRecord)
{
    SetDictionary({0});
    AddRawBlock({0x04, 0x00, 0xE0, 0xFF, 0x01, 0x02});
    OpenCompressed("0,Bit,.0\r\n", "A\r\n");  // R = 0: nothing can be decoded
    EXPECT_TRUE((doc->values[0].Rows() == 0));
    EXPECT_EQ(Column(0, 0)[F::rowCount], "0");

    OpenCompressed("0,V,1\r\n1,W,1\r\n7,Out,1\r\n", "A\r\n");  // "Out" lies past R = 3
    ASSERT_EQ(doc->values[0].Rows(), 1u);
    EXPECT_EQ(Value(0, 0, 0), 0xFFu);
    EXPECT_EQ(Value(0, 0, 1), 0x01u);
    EXPECT_EQ(Value(0, 0, 2), 0u);
}

TEST_F(CompressedTest, APointerTableRunningPastTheEndEndsTheSection)
{
    // One real block, then the table runs off the file: a pointer 0 read from
    // missing bytes would decode the file's first bytes as invented rows.
    ByteVector tiny(0x23, 0);
    tiny[1] = 3;  // at pointer 0 (offset 0 with this bank) a block of N = 3 would start
    tiny[3] = 0xFF;
    tiny[0x10] = bank;
    const ByteVector block = {0x03, 0x00, 0xC0, 0x07, 0x08};
    std::copy(block.begin(), block.end(), tiny.begin() + 0x11);
    tools::PutLittleEndian(tiny, 0x20, tools::PointerFor(0x11, bank, 0), 2);
    tiny[0x22] = 0x01;  // the second entry has only one of its two bytes
    Def("a.idn", "A\r\nB\r\n");
    Def("a.ini", "COMPRESS_INFO,1,x,10|20|2,40|\r\n0,V,1\r\n");
    OpenBytes(ToString(tiny));
    EXPECT_EQ(Column0(), (std::vector<std::uint32_t>{7, 8}));
    EXPECT_EQ(doc->RowLabels(0), (StringList{"A", ""}));
}

TEST_F(CompressedTest, AHugeBlockCountOnATinyFileOpensAtOnce)
{
    // 23 bytes announcing 99,999,999 blocks: decoding ends with the file.
    std::string tiny(23, '\0');
    tiny[0x10] = static_cast<char>(0x81);
    Def("a.idn", "A\r\n");
    Def("a.ini", "COMPRESS_INFO,1,x,10|0|99999999,0|\r\n0,V,1\r\n");
    OpenBytes(tiny);
    EXPECT_LE(doc->values[0].Rows(), 23u * 32u);
    EXPECT_EQ(doc->RowLabels(0).size(), doc->values[0].Rows());
}

}  // namespace zok2::test
