#include "BigSet.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "tools/BlockEncoder.h"

namespace zok2::bench {

namespace {

void Write(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

char Hex(int v) { return "0123456789ABCDEF"[v & 15]; }

std::string HexText(std::uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", v);
    return buf;
}

BigSet Build()
{
    BigSet set;
    char pattern[] = "/tmp/zok2-bench-XXXXXX";
    const char* made = mkdtemp(pattern);
    set.root = std::string(made ? made : "/tmp/zok2-bench") + "/";
    set.setFolder = set.root + "Settings/big/";
    std::filesystem::create_directories(set.setFolder);
    Write(set.root + "zok2.ini", "[Setting]\r\nmode=big\r\n");

    constexpr std::size_t kFileSize = 16u << 20;
    constexpr std::size_t kFirstSection = 0x40000;
    constexpr std::size_t kSectionSpan = 0x3F000;
    tools::Bytes file(kFileSize);
    std::mt19937 rng(12345);
    for (auto& b : file) b = static_cast<std::uint8_t>(rng());

    std::string labels;
    for (int r = 0; r < kRows; ++r) labels += "\x83\x8C\x83\x52\x81\x5B\x83\x68 " + std::to_string(r) + "\r\n";  // "レコード n"
    for (int s = 0; s < kSections; ++s) {
        const std::uint32_t base = static_cast<std::uint32_t>(kFirstSection + kSectionSpan * static_cast<std::size_t>(s));
        std::string name = std::string("sec") + Hex(s >> 4) + Hex(s);
        Write(set.setFolder + name + ".idn", labels);
        std::string ini = "// generated section\r\n";
        ini += HexText(base + 0) + ",Byte,1,20\r\n";
        ini += HexText(base + 1) + ",Word,2,20,,16\r\n";
        ini += HexText(base + 3) + ",Tri,3,20,,10\r\n";
        ini += HexText(base + 6) + ",Dword,4,20,,10\r\n";
        ini += HexText(base + 10) + ",Flag,.3,20\r\n";
        ini += HexText(base + 11) + ",Low,1,20,,16,.0F\r\n";
        ini += HexText(base + 12) + ",Kind,1,20,,0,,,,0 A|1 B|2 C|3 D\r\n";
        ini += HexText(base + 0x10000) + ",Packed,.0,.1\r\n";
        Write(set.setFolder + name + ".ini", ini);
    }

    // The compressed section: bank 0x81 (offset = pointer), blocks below 64 KiB.
    const std::uint32_t bankAt = 0x10, table = 0x80, dictionaryAt = 0x100;
    file[bankAt] = 0x81;
    tools::Bytes dictionary(256);
    for (std::size_t i = 0; i < dictionary.size(); ++i) dictionary[i] = static_cast<std::uint8_t>((i / 4) % 16);
    std::copy(dictionary.begin(), dictionary.end(), file.begin() + dictionaryAt);
    std::size_t blockAt = 0x1000;
    std::string mapLabels;
    for (int b = 0; b < kCompressedBlocks; ++b) {
        tools::Bytes data;
        for (int r = 0; r < kRowsPerBlock; ++r) {
            const std::uint8_t v = static_cast<std::uint8_t>(rng() % 16);
            data.insert(data.end(), {v, v, static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(r)});
        }
        const tools::Bytes block = tools::EncodeBlock(data, dictionary);
        tools::PutLittleEndian(file, table + 2 * static_cast<std::size_t>(b), tools::PointerFor(static_cast<std::int64_t>(blockAt), 0x81, 0), 2);
        std::copy(block.begin(), block.end(), file.begin() + static_cast<std::ptrdiff_t>(blockAt));
        blockAt += block.size();
        mapLabels += "Block " + std::to_string(b) + "\r\n";
    }
    Write(set.setFolder + "zmap.idn", mapLabels);
    Write(set.setFolder + "zmap.ini", "COMPRESS_INFO,1,map," + HexText(bankAt) + "|" + HexText(table) + "|" +
                                          std::to_string(kCompressedBlocks) + "," + HexText(dictionaryAt) +
                                          "|100\r\n0,Tile,1\r\n1,Same,1\r\n2,Rand,1,,,16\r\n3,Row,1\r\n");

    set.binaryPath = set.root + "big.bin";
    std::ofstream(set.binaryPath, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return set;
}

}  // namespace

const BigSet& GetBigSet()
{
    static const BigSet set = Build();
    static const bool cleanup = [] {
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(GetBigSet().root, ec);
        });
        return true;
    }();
    (void)cleanup;
    return set;
}

}  // namespace zok2::bench
