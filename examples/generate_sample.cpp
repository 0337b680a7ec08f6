// Builds examples/sample.dat, the binary of the fictional "sample" format that
// examples/Settings/sample/ describes. Every table starts 0x200 bytes into the
// file (a header the format puts first), which the profile's address
// correction for ".dat" files accounts for.
//
// usage: zok2-make-sample OUTPUT
#include <cstdio>
#include <cstdint>
#include <vector>

#include "tools/BlockEncoder.h"

using zok2::tools::Bytes;
using zok2::tools::PutLittleEndian;

namespace {

constexpr std::uint32_t kCorrection = 0x200;

struct Monster {
    std::uint16_t hp, mp;
    std::uint8_t attack, defense, element, drop;
    bool boss, flying;
    std::uint8_t level, rank;
    std::uint32_t exp;
};

struct Item {
    std::uint32_t price;
    std::uint8_t type, weight;
    std::int16_t effect;
};

struct Skill {
    std::uint8_t power, cost;
    bool warrior, mage, priest;
};

struct Tile {
    std::uint8_t tile, height;
    bool walkable;
    std::uint16_t event;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zok2-make-sample OUTPUT\n");
        return 2;
    }
    Bytes file(0x800, 0);
    const char magic[] = "ZOK2 SAMPLE DATA";
    for (std::size_t i = 0; i + 1 < sizeof magic; ++i) file[i] = static_cast<std::uint8_t>(magic[i]);
    for (std::size_t i = 0x20; i < 0x200; ++i) file[i] = static_cast<std::uint8_t>(i * 7);  // header filler

    const Monster monsters[] = {
        {8, 0, 5, 3, 2, 0x00, false, false, 1, 1, 4},
        {24, 0, 12, 6, 4, 0x02, false, false, 3, 1, 16},
        {15, 4, 9, 2, 3, 0x07, false, true, 2, 2, 11},
        {40, 0, 21, 10, 0, 0x04, false, false, 6, 2, 55},
        {230, 0, 60, 90, 4, 0x05, false, false, 12, 4, 900},
        {850, 120, 140, 95, 1, 0x06, true, true, 15, 8, 65000},
        {60, 200, 30, 15, 0, 0x01, false, true, 9, 3, 1300},
        {999, 255, 200, 150, 0, 0x07, true, false, 15, 15, 0x123456},
    };
    for (std::size_t i = 0; i < std::size(monsters); ++i) {
        const Monster& m = monsters[i];
        const std::size_t at = kCorrection + 0x000 + 0x10 * i;
        PutLittleEndian(file, at + 0, m.hp, 2);
        PutLittleEndian(file, at + 2, m.mp, 2);
        file[at + 4] = m.attack;
        file[at + 5] = m.defense;
        file[at + 6] = m.element;
        file[at + 7] = m.drop;
        file[at + 8] = static_cast<std::uint8_t>((m.boss ? 1 : 0) | (m.flying ? 2 : 0) | 0xA0);  // upper bits unused
        file[at + 9] = static_cast<std::uint8_t>((m.rank << 4) | m.level);
        PutLittleEndian(file, at + 0xA, m.exp, 3);
        file[at + 0xD] = 0xEE;  // padding that no column describes
    }

    const Item items[] = {
        {8, 2, 1, 30},     {10, 2, 1, 0},     {30, 0, 12, -8},  {180, 0, 20, -15},
        {90, 1, 15, 4},    {1200, 1, 60, 18}, {2500, 0, 8, -30}, {100000, 3, 1, 0},
    };
    for (std::size_t i = 0; i < std::size(items); ++i) {
        const Item& it = items[i];
        const std::size_t at = kCorrection + 0x100 + 8 * i;
        PutLittleEndian(file, at + 0, it.price, 4);
        file[at + 4] = it.type;
        file[at + 5] = it.weight;
        PutLittleEndian(file, at + 6, static_cast<std::uint16_t>(it.effect), 2);
    }

    const Skill skills[] = {
        {20, 4, false, true, false}, {25, 5, false, true, false}, {30, 3, false, false, true},
        {45, 8, true, true, false},  {0, 6, true, false, true},   {120, 40, false, true, false},
    };
    for (std::size_t i = 0; i < std::size(skills); ++i) {
        const Skill& s = skills[i];
        file[kCorrection + 0x180 + i] = s.power;
        file[kCorrection + 0x1A0 + i] = s.cost;
        const bool bits[3] = {s.warrior, s.mage, s.priest};
        for (int b = 0; b < 3; ++b) {
            const std::size_t position = 3 * i + static_cast<std::size_t>(b);
            if (bits[b]) file[kCorrection + 0x190 + position / 8] |= static_cast<std::uint8_t>(1u << (position % 8));
        }
    }

    // Maps: a pointer table of three banked pointers into compressed blocks that
    // copy runs from a dictionary. One expanded map cell is 4 bytes.
    const std::uint8_t bank = 0x81;
    file[kCorrection + 0x1F0] = bank;
    Bytes dictionary;
    for (int i = 0; i < 8; ++i) {
        const std::uint8_t grass[4] = {0x01, 0x80, 0x00, 0x00};
        dictionary.insert(dictionary.end(), grass, grass + 4);
    }
    const std::uint8_t wall[8] = {0x05, 0x03, 0x00, 0x00, 0x05, 0x03, 0x00, 0x00};
    dictionary.insert(dictionary.end(), wall, wall + 8);
    for (std::size_t i = 0; i < dictionary.size(); ++i) file[kCorrection + 0x200 + i] = dictionary[i];

    const std::vector<std::vector<Tile>> maps = {
        {{1, 0, true, 0}, {1, 0, true, 0}, {2, 1, true, 0x10}, {1, 0, true, 0}, {4, 2, true, 0x0101}, {1, 0, true, 0}},
        {{3, 4, false, 0}, {1, 0, true, 0}, {1, 0, true, 0}, {3, 5, false, 0x20}},
        {{5, 3, false, 0}, {5, 3, false, 0}, {6, 0, true, 0x3000}, {5, 3, false, 0}, {7, 9, true, 0xFFFF}},
    };
    const std::size_t pointerTable = 0x500;  // the format stores this offset without the header
    std::size_t blockAt = 0x520;
    for (std::size_t m = 0; m < maps.size(); ++m) {
        Bytes expanded;
        for (const Tile& t : maps[m]) {
            expanded.push_back(t.tile);
            expanded.push_back(static_cast<std::uint8_t>((t.walkable ? 0x80 : 0) | t.height));
            expanded.push_back(static_cast<std::uint8_t>(t.event));
            expanded.push_back(static_cast<std::uint8_t>(t.event >> 8));
        }
        const Bytes block = zok2::tools::EncodeBlock(expanded, dictionary);
        PutLittleEndian(file, pointerTable + 2 * m, zok2::tools::PointerFor(static_cast<std::int64_t>(blockAt), bank, kCorrection), 2);
        for (std::size_t i = 0; i < block.size(); ++i) file[blockAt + i] = block[i];
        blockAt += block.size() + 2;
    }

    // The items table's CRC-32 (IEEE), little-endian at 0x7FC, where no table
    // reads: the set's checksums.txt describes it, and a save keeps it right.
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = kCorrection + 0x100; i < kCorrection + 0x140; ++i) {
        crc ^= file[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    PutLittleEndian(file, 0x7FC, crc ^ 0xFFFFFFFFu, 4);

    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (std::fclose(out) != 0 || !ok) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
