#include "support/TestFixture.h"

namespace zok2::test {

namespace {
std::string Zeros(std::size_t n) { return std::string(n, '\0'); }
void Put(std::string& file, std::size_t at, std::initializer_list<int> bytes)
{
    if (file.size() < at + bytes.size()) file.resize(at + bytes.size(), '\0');
    for (int b : bytes) file[at++] = static_cast<char>(b);
}
std::string Labels(int n)
{
    std::string idn;
    for (int i = 0; i < n; ++i) idn += "r\r\n";
    return idn;
}
}  // namespace

TEST_F(DocTest, ByteColumnsAreLittleEndianWithStrideAndMask)
{
    Def("a.idn", Labels(4));
    Def("a.ini",
        "1A0,W,2,4\r\n"      // row 3 reads 0x1AC, 0x1AD
        "0,B3,3\r\n"         // contiguous 3-byte values
        "10,B4,4\r\n"
        "20,M,1,,,,.0F\r\n"  // mask applied on load
        "21,R,1,,,,10|7F\r\n");  // a range is not applied on load
    std::string file = Zeros(0x200);
    Put(file, 0x1AC, {0x34, 0x12});
    Put(file, 0, {0x01, 0x02, 0x83});
    Put(file, 0x10, {0xFF, 0xFF, 0xFF, 0xFF});
    Put(file, 0x20, {0xA7, 0x05});
    OpenBytes(file);
    EXPECT_EQ(Value(0, 3, 0), 0x1234u);
    EXPECT_EQ(Value(0, 0, 1), 0x830201u);
    EXPECT_EQ(doc->DisplayText(0, 1, 0), "-8191487");
    EXPECT_EQ(Value(0, 0, 2), 4294967295u);
    EXPECT_EQ(Value(0, 0, 3), 7u);
    EXPECT_EQ(Value(0, 0, 4), 5u);
}

TEST_F(DocTest, BitAndPackedBitColumns)
{
    Def("a.idn", Labels(10));
    Def("a.ini",
        "200,B,.6,10\r\n"         // row 1: bit 6 of 0x210
        "300,P,.3,.5\r\n"         // row 2: p = 13, bit 5 of 0x301
        "400,S,.0,.1\r\n"         // consecutive bits
        "210,N,.6,,,,.0F\r\n");   // a bit column ignores a mask
    std::string file = Zeros(0x500);
    Put(file, 0x210, {0x40});
    Put(file, 0x301, {0x20});
    Put(file, 0x400, {0xA5, 0x01});
    OpenBytes(file);
    EXPECT_EQ(Value(0, 0, 0), 0u);
    EXPECT_EQ(Value(0, 1, 0), 1u);
    EXPECT_EQ(Value(0, 2, 1), 1u);
    EXPECT_EQ(Value(0, 1, 1), 0u);
    const int expected[] = {1, 0, 1, 0, 0, 1, 0, 1, 1, 0};
    for (int r = 0; r < 10; ++r) EXPECT_EQ(Value(0, r, 2), static_cast<std::uint32_t>(expected[r])) << r;
    EXPECT_EQ(Value(0, 0, 3), 1u);
}

TEST_F(DocTest, RowsBeyondTheRowCountHoldZeroAndShowDashes)
{
    Def("a.idn", Labels(3));
    Def("a.ini", "0,V,1,,2\r\n");
    OpenBytes(Bytes({7, 8, 9}));
    EXPECT_EQ(Value(0, 1, 0), 8u);
    EXPECT_EQ(Value(0, 2, 0), 0u);
    EXPECT_EQ(doc->DisplayText(0, 0, 2), "--");
    EXPECT_EQ(doc->values[0].Rows(), 3u);
}

TEST_F(DocTest, BytesThatDoNotExistReadAsZero)
{
    Def("a.idn", Labels(3));
    Def("a.ini",
        "2,V,2\r\n"            // row 0 has one byte in the file, rows 1 and 2 none
        "FFFFFFF0,F,4,10\r\n"  // far past the end
        "0,P,.0,.-9\r\n");     // a negative bit position
    OpenBytes(Bytes({0, 0, 0xAB}));
    EXPECT_EQ(Value(0, 0, 0), 0xABu);
    EXPECT_EQ(Value(0, 1, 0), 0u);
    EXPECT_EQ(Value(0, 2, 1), 0u);
    EXPECT_EQ(Value(0, 0, 2), 0u);
    EXPECT_EQ(Value(0, 1, 2), 0u);
}

TEST_F(DocTest, LargeOffsetsAreSixtyFourBit)
{
    // A stride times a row count beyond 32 bits must not wrap back into the file.
    Def("a.idn", Labels(3));
    Def("a.ini", "1,V,1,80000000\r\n");
    OpenBytes(Bytes({0x11, 0x22, 0x33}));
    EXPECT_EQ(Value(0, 0, 0), 0x22u);
    EXPECT_EQ(Value(0, 2, 0), 0u);  // 1 + 2 * 0x80000000 lies far past the end
}

}  // namespace zok2::test
