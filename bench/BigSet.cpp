#include "BigSet.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>

#include "document/CZOKDoc.h"
#include "exchange/TableImport.h"
#include "exchange/TableText.h"
#include "tools/BlockEncoder.h"

namespace zok2::bench {

namespace {

constexpr int kCompressedBlocks = 21;
constexpr int kRowsPerBlock = 100;

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

char Hex(int v) { return "0123456789ABCDEF"[v & 15]; }

std::string HexText(std::uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", v);
    return buf;
}

BigSet NewSet(const std::string& mode)
{
    BigSet set;
    char pattern[] = "/tmp/zok2-bench-XXXXXX";
    const char* made = mkdtemp(pattern);
    set.root = std::string(made ? made : "/tmp/zok2-bench") + "/";
    set.setFolder = set.root + "Settings/" + mode + "/";
    std::filesystem::create_directories(set.setFolder);
    Write(set.root + "zok2.ini", "[Setting]\r\nmode=" + mode + "\r\n");
    set.binaryPath = set.root + "big.bin";
    return set;
}

void WriteBinary(const BigSet& set, const tools::Bytes& file)
{
    std::ofstream(set.binaryPath, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

std::string Labels(int rows)
{
    std::string labels;
    for (int r = 0; r < rows; ++r) labels += "\x83\x8C\x83\x52\x81\x5B\x83\x68 " + std::to_string(r) + "\r\n";  // "レコード n"
    return labels;
}

BigSet BuildBig(int sections, int rows)
{
    BigSet set = NewSet("big");
    constexpr std::size_t kFirstSection = 0x40000;
    const std::size_t span = (static_cast<std::size_t>(rows) * 0x20 + 0x10000 + rows / 8 + 0xFFFF) & ~std::size_t{0xFFFF};
    tools::Bytes file(kFirstSection + span * static_cast<std::size_t>(sections));
    std::mt19937 rng(12345);
    for (auto& b : file) b = static_cast<std::uint8_t>(rng());

    const std::string labels = Labels(rows);
    for (int s = 0; s < sections; ++s) {
        const std::uint32_t base = static_cast<std::uint32_t>(kFirstSection + span * static_cast<std::size_t>(s));
        const std::string name = std::string("sec") + Hex(s >> 8) + Hex(s >> 4) + Hex(s);
        Write(set.setFolder + name + ".idn", labels);
        std::string ini = "// generated section\r\n";
        ini += HexText(base + 0) + ",Byte,1,20\r\n";
        ini += HexText(base + 1) + ",Word,2,20,,16\r\n";
        ini += HexText(base + 3) + ",Tri,3,20,,10\r\n";
        ini += HexText(base + 6) + ",Dword,4,20,,10\r\n";
        ini += HexText(base + 10) + ",Flag,.3,20\r\n";
        ini += HexText(base + 11) + ",Low,1,20,,16,.0F\r\n";
        ini += HexText(base + 12) + ",Kind,1,20,,0,,,,0 A|1 B|2 C|3 D\r\n";
        ini += HexText(base + static_cast<std::uint32_t>(rows) * 0x20) + ",Packed,.0,.1\r\n";
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
    set.compressedBytes.push_back({0, static_cast<long long>(blockAt)});
    Write(set.setFolder + "zmap.idn", mapLabels);
    Write(set.setFolder + "zmap.ini", "COMPRESS_INFO,1,map," + HexText(bankAt) + "|" + HexText(table) + "|" +
                                          std::to_string(kCompressedBlocks) + "," + HexText(dictionaryAt) +
                                          "|100\r\n0,Tile,1\r\n1,Same,1\r\n2,Rand,1,,,16\r\n3,Row,1\r\n");
    WriteBinary(set, file);
    return set;
}

BigSet BuildTall(int rows)
{
    BigSet set = NewSet("tall");
    Write(set.setFolder + "t.idn", Labels(rows));
    Write(set.setFolder + "t.ini", "0,V,1,1,,10\r\n");
    WriteBinary(set, tools::Bytes(static_cast<std::size_t>(rows), 7));
    return set;
}

BigSet BuildMany(int count, bool capitals)
{
    BigSet set = NewSet("many");
    for (int i = 0; i < count; ++i) {
        const std::string name = (capitals ? "DEF" : "def") + std::to_string(i);
        Write(set.setFolder + name + (capitals ? ".IDN" : ".idn"), "a\r\nb\r\n");
        Write(set.setFolder + name + (capitals ? ".INI" : ".ini"), HexText(static_cast<std::uint32_t>(i * 2)) + ",V,1\r\n");
    }
    WriteBinary(set, tools::Bytes(static_cast<std::size_t>(count) * 2, 1));
    return set;
}

// Every set made is removed when the process ends.
const BigSet& Keep(const std::string& key, BigSet (*build)(int, int), int a, int b)
{
    static std::map<std::string, std::unique_ptr<BigSet>> sets;
    static const bool cleanup = [] {
        std::atexit([] {
            for (auto& [key, set] : sets) {
                std::error_code ec;
                std::filesystem::remove_all(set->root, ec);
            }
        });
        return true;
    }();
    (void)cleanup;
    auto& slot = sets[key];
    if (!slot) slot = std::make_unique<BigSet>(build(a, b));
    return *slot;
}

}  // namespace

const BigSet& GetBigSet(int sections, int rows)
{
    return Keep("big" + std::to_string(sections) + "x" + std::to_string(rows), BuildBig, sections, rows);
}

const BigSet& GetTallSet(int rows)
{
    return Keep("tall" + std::to_string(rows), [](int r, int) { return BuildTall(r); }, rows, 0);
}

const BigSet& GetManyDefinitions(int count, bool capitals)
{
    return Keep(std::string(capitals ? "upper" : "lower") + std::to_string(count),
                [](int n, int upper) { return BuildMany(n, upper != 0); }, count, capitals ? 1 : 0);
}

std::string ChangedExport(const CZOKDoc& doc)
{
    const exchange::Rows rows = exchange::ExportRows(doc, 0);
    exchange::Rows changed;
    std::string cell;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        changed.StartRow();
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            cell = rows[r][c];
            if (r > 0 && c > 0 && !cell.empty()) {
                // The last digit's lowest bit flipped: every text stays a value its
                // column holds (largest values end in an odd digit); a negative one
                // moves towards zero (the smallest, -128, ends in an even one).
                char& last = cell.back();
                const int digit = last <= '9' ? last - '0' : last - 'A' + 10;
                last = "0123456789ABCDEF"[cell[0] == '-' ? (digit > 0 ? digit - 1 : 1) : digit ^ 1];
            }
            changed.AddCell(cell);
        }
    }
    return exchange::WriteTsv(changed);
}

}  // namespace zok2::bench
