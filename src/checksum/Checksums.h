#pragma once
// Checksum rules of a definition set: the file "checksums.txt" in the set's
// folder (Shift-JIS, "//" comments), one rule a line:
//
//   NAME,ALGORITHM,RANGES,STORE[,OPTIONS]
//
//   ALGORITHM  sum8 sum16le sum16be sum32le sum32be (additive sums of 8, 16
//              and 32-bit words, kept to the stored size), xor8, crc32 (IEEE),
//              crc16-ccitt-false; or a preset that needs neither RANGES nor
//              STORE: gb-header, gb-global, gba-header, sfc-lorom, sfc-hirom
//              (the checksum and its complement), md (the word at 0x18E)
//   RANGES     START-END in hexadecimal, END inclusive or "end" (the end of the
//              file), several joined by "+" (to leave out the checksum's own bytes)
//   STORE      ADDRESS:SIZE[:le|be], SIZE 1 to 4 bytes (le unless be is given)
//   OPTIONS    separated by blanks: "ones" or "twos" (the one's or two's
//              complement of the sum is stored), "init=HEX" (the sum or XOR
//              starts from HEX)
//
// Every address takes the address correction of the file's extension, as a
// column's does. A line the reader cannot use is reported with its number and
// its text, never dropped in silence.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zok2::checksum {

inline constexpr const char* kRulesFile = "checksums.txt";

enum class Algorithm { Sum8, Sum16LE, Sum16BE, Sum32LE, Sum32BE, Xor8, Crc32, Crc16CcittFalse };
enum class Finish { None, Ones, Twos };

struct Range {
    std::int64_t first = 0, last = 0;  // file offsets, inclusive
    bool toEnd = false;                // `last` is the file's last byte
};
struct Store {
    std::int64_t offset = 0;  // in the file
    int size = 1;             // bytes, 1 to 4
    bool bigEndian = false;
    bool complement = false;  // holds the result with every bit flipped (the Super Famicom's complement)
};
struct Rule {
    std::string name;  // Shift-JIS, as written
    int line = 0;
    std::string preset;  // the preset's word, or empty
    Algorithm algorithm = Algorithm::Sum8;
    std::vector<Range> ranges;
    std::vector<Store> stores;  // where the result goes (a preset may store it twice)
    Finish finish = Finish::None;
    std::uint32_t init = 0;
    bool needsPowerOfTwo = false;  // the Super Famicom sums only images of 2^n bytes
    std::int64_t origin = 0;       // the file offset of address 0 (the correction)
};
struct RuleProblem {
    int line = 0;
    std::string text;  // the line, Shift-JIS
    std::string what;  // in English
};
struct Rules {
    std::vector<Rule> rules;
    std::vector<RuleProblem> problems;
};
// Reads the rules file's text; `correction` is added to every address.
Rules ReadRules(std::string_view text, std::uint32_t correction);

// What a rule finds in a file.
struct Outcome {
    bool computable = true;
    std::string why;               // when not (the range passes the end of the file, ...)
    std::uint32_t stored = 0;      // what the first store holds now
    std::uint32_t computed = 0;    // what it should hold
    bool matches = false;          // every store holds what it should
    // The bytes to write where they differ.
    struct Write {
        std::int64_t offset = 0;
        std::string bytes;
    };
    std::vector<Write> writes;
};

// Reads up to `count` bytes at `offset` of the file.
using ReadAt = std::function<std::int64_t(std::int64_t offset, char* buffer, std::size_t count)>;
// Every rule over a file of `size` bytes, the file read once for all of them.
std::vector<Outcome> Compute(const std::vector<Rule>& rules, std::int64_t size, const ReadAt& read);
// The same over bytes in memory.
std::vector<Outcome> Compute(const std::vector<Rule>& rules, std::string_view file);

// The value as the rule's first store writes it, in hexadecimal digits of its size ("1A2B").
std::string HexOf(const Rule& rule, std::uint32_t value);

}  // namespace zok2::checksum
