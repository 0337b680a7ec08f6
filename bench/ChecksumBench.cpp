// A checksum over a 64 MiB file as a save computes it (the rules' one reading
// of the file, through the file's handle) beside a plain loop computing the
// same CRC-32 with a table over the same bytes read the plain way, in one run.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <string>

#include "checksum/ChecksumFile.h"

namespace zok2::bench {

namespace {

constexpr std::size_t kSize = 64u << 20;

const std::string& BigFile()
{
    static const std::string path = [] {
        const std::string p = "/tmp/zok2-bench-checksum-" + std::to_string(::getpid()) + ".bin";
        std::string bytes(kSize, '\0');
        std::uint32_t x = 12345;
        for (char& b : bytes) {
            x = x * 1103515245u + 12345u;
            b = static_cast<char>(x >> 24);
        }
        std::FILE* f = std::fopen(p.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return p;
    }();
    return path;
}

void BM_ChecksumOfASave(benchmark::State& state)
{
    const checksum::Rules rules = checksum::ReadRules("all,crc32,0-3FFFFFB,3FFFFFC:4\r\n", 0);
    std::uint32_t crc = 0;
    for (auto _ : state) {
        std::string reason;
        const std::vector<checksum::Outcome> o = checksum::ComputeFile(BigFile(), rules.rules, &reason);
        if (o.size() != 1 || !o[0].computable) state.SkipWithError("not computed");
        crc = o.empty() ? 0 : o[0].computed;
    }
    state.counters["crc"] = crc;
}
BENCHMARK(BM_ChecksumOfASave)->Unit(benchmark::kMillisecond);

// The floor: read() in 1 MiB pieces and the classic byte-at-a-time table CRC-32.
void BM_ChecksumFloor(benchmark::State& state)
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    std::string buffer(1u << 20, '\0');
    std::uint32_t result = 0;
    for (auto _ : state) {
        const int fd = ::open(BigFile().c_str(), O_RDONLY);
        std::uint32_t crc = 0xFFFFFFFFu;
        std::size_t left = kSize - 4;
        while (left > 0) {
            const ssize_t got = ::read(fd, buffer.data(), std::min(left, buffer.size()));
            if (got <= 0) break;
            for (ssize_t i = 0; i < got; ++i) crc = table[(crc ^ static_cast<unsigned char>(buffer[static_cast<std::size_t>(i)])) & 0xFF] ^ (crc >> 8);
            left -= static_cast<std::size_t>(got);
        }
        ::close(fd);
        result = crc ^ 0xFFFFFFFFu;
    }
    state.counters["crc"] = result;
}
BENCHMARK(BM_ChecksumFloor)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace zok2::bench
