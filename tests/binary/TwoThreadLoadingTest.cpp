// Loading a large set on two threads: each reads at offsets of its own, so
// neither moves the other's place in the file (on Windows a duplicated handle
// shares one file position).
#include <cstdio>

#include "support/TestFixture.h"

namespace zok2::test {

// A set large enough that two threads share the reading: every value and label
// lands in its own section, and the bytes past the end of the file read as 0.
TEST_F(DocTest, ALargeSetReadByTwoThreadsHoldsEveryValueInItsPlace)
{
    constexpr int kSections = 24;
    constexpr int kRows = 3000;
    constexpr std::size_t kSpan = 0x10000;
    std::string bytes(kSpan * (kSections - 1) + 16 * (kRows - 10), '\0');  // the last section's last 10 rows lie past the end
    std::uint32_t seed = 12345;
    for (char& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<char>(seed >> 16);
    }
    for (int s = 0; s < kSections; ++s) {
        char name[8];
        std::snprintf(name, sizeof name, "d%02d", s);
        std::string labels;
        for (int r = 0; r < kRows; ++r) labels += "s" + std::to_string(s) + "r" + std::to_string(r) + "\r\n";
        Def(std::string(name) + ".idn", labels);
        char ini[256];
        const std::size_t base = kSpan * static_cast<std::size_t>(s);
        std::snprintf(ini, sizeof ini, "%zX,B,1,10\r\n%zX,W,2,10,,16\r\n%zX,Bit,.5,10\r\n%zX,P,.0,.1\r\n", base, base + 1, base + 4,
                      base + 0xC000);
        Def(std::string(name) + ".ini", ini);
    }
    OpenBytes(bytes);
    ASSERT_EQ(doc->values.size(), static_cast<std::size_t>(kSections));
    auto byteAt = [&](std::size_t offset) { return offset < bytes.size() ? static_cast<std::uint8_t>(bytes[offset]) : 0u; };
    int mismatches = 0;
    for (int s = 0; s < kSections; ++s) {
        const std::size_t base = kSpan * static_cast<std::size_t>(s);
        ASSERT_EQ(doc->lists[static_cast<std::size_t>(s)].size(), static_cast<std::size_t>(kRows));
        for (int r = 0; r < kRows; ++r) {
            const std::size_t row = base + 16 * static_cast<std::size_t>(r);
            const std::uint32_t expected[] = {byteAt(row), byteAt(row + 1) | byteAt(row + 2) << 8, (byteAt(row + 4) >> 5) & 1u,
                                              (byteAt(base + 0xC000 + static_cast<std::size_t>(r) / 8) >> (r % 8)) & 1u};
            for (int c = 0; c < 4; ++c) mismatches += Value(s, r, c) != expected[c];
            mismatches += doc->lists[static_cast<std::size_t>(s)][static_cast<std::size_t>(r)] != "s" + std::to_string(s) + "r" + std::to_string(r);
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(Value(kSections - 1, kRows - 1, 0), 0u);  // past the end
}

}  // namespace zok2::test
