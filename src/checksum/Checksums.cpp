#include "checksum/Checksums.h"

#include <algorithm>
#include <map>
#include <optional>

#include "patch/Crc32.h"

namespace zok2::checksum {

namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> Split(std::string_view s, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = s.find(separator);
        parts.push_back(Trim(s.substr(0, at)));
        if (at == std::string_view::npos) return parts;
        s.remove_prefix(at + 1);
    }
}

// One to eight hexadecimal digits (an optional 0x before them), nothing else.
std::optional<std::uint32_t> Hex(std::string_view s)
{
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.remove_prefix(2);
    if (s.empty() || s.size() > 8) return std::nullopt;
    std::uint32_t v = 0;
    for (const char ch : s) {
        int digit;
        if (ch >= '0' && ch <= '9') {
            digit = ch - '0';
        } else if (ch >= 'A' && ch <= 'F') {
            digit = ch - 'A' + 10;
        } else if (ch >= 'a' && ch <= 'f') {
            digit = ch - 'a' + 10;
        } else {
            return std::nullopt;
        }
        v = (v << 4) | static_cast<std::uint32_t>(digit);
    }
    return v;
}

std::uint32_t MaskOf(int size) { return size >= 4 ? 0xFFFFFFFFu : (1u << (8 * size)) - 1; }

const std::map<std::string_view, Algorithm> kAlgorithms = {
    {"sum8", Algorithm::Sum8},       {"sum16le", Algorithm::Sum16LE}, {"sum16be", Algorithm::Sum16BE},
    {"sum32le", Algorithm::Sum32LE}, {"sum32be", Algorithm::Sum32BE}, {"xor8", Algorithm::Xor8},
    {"crc32", Algorithm::Crc32},     {"crc16-ccitt-false", Algorithm::Crc16CcittFalse},
};

// The presets, from the formats' published descriptions (addresses before the correction).
bool Preset(std::string_view word, Rule& rule)
{
    const auto range = [](std::int64_t first, std::int64_t last, bool toEnd = false) { return Range{first, last, toEnd}; };
    if (word == "gb-header") {  // x = x - byte - 1 over 0x134..0x14C: the two's complement of their sum plus 25
        rule.ranges = {range(0x134, 0x14C)};
        rule.init = 0x19;
        rule.finish = Finish::Twos;
        rule.stores = {{0x14D, 1, false, false}};
    } else if (word == "gb-global") {  // every byte but the checksum's own, big-endian at 0x14E
        rule.ranges = {range(0, 0x14D), range(0x150, 0, true)};
        rule.stores = {{0x14E, 2, true, false}};
    } else if (word == "gba-header") {  // -(sum of 0xA0..0xBC) - 0x19
        rule.ranges = {range(0xA0, 0xBC)};
        rule.init = 0x19;
        rule.finish = Finish::Twos;
        rule.stores = {{0xBD, 1, false, false}};
    } else if (word == "sfc-lorom" || word == "sfc-hirom") {
        // The sum of every byte, the complement and the checksum counted as
        // FF FF 00 00 (whatever they hold, their bytes add up to 0x1FE).
        const std::int64_t header = word == "sfc-lorom" ? 0x7FC0 : 0xFFC0;
        rule.ranges = {range(0, header + 0x1B), range(header + 0x20, 0, true)};
        rule.init = 0x1FE;
        rule.stores = {{header + 0x1E, 2, false, false}, {header + 0x1C, 2, false, true}};
        rule.needsPowerOfTwo = true;
    } else if (word == "md") {  // big-endian words from 0x200 to the end, at 0x18E
        rule.ranges = {range(0x200, 0, true)};
        rule.algorithm = Algorithm::Sum16BE;
        rule.stores = {{0x18E, 2, true, false}};
    } else {
        return false;
    }
    rule.preset = std::string(word);
    return true;
}

std::string ReadLine(std::string_view line, Rule& rule, std::uint32_t correction)
{
    const std::vector<std::string_view> fields = Split(line, ',');
    if (fields.size() < 2) return "a rule needs at least a name and an algorithm";
    if (fields.size() > 5) return "a rule has at most five fields: name, algorithm, ranges, store, options";
    if (fields[0].empty()) return "the rule has no name";
    rule.name = std::string(fields[0]);
    const std::string_view algorithm = fields[1];
    if (Preset(algorithm, rule)) {
        if ((fields.size() > 2 && !fields[2].empty()) || (fields.size() > 3 && !fields[3].empty()) || (fields.size() > 4 && !fields[4].empty())) {
            return "the preset \"" + std::string(algorithm) + "\" takes no ranges, store or options";
        }
    } else {
        const auto known = kAlgorithms.find(algorithm);
        if (known == kAlgorithms.end()) return "unknown algorithm \"" + std::string(algorithm) + "\"";
        rule.algorithm = known->second;
        if (fields.size() < 4 || fields[2].empty() || fields[3].empty()) return "the rule needs its ranges and where the result is stored";
        for (const std::string_view text : Split(fields[2], '+')) {
            const std::vector<std::string_view> ends = Split(text, '-');
            Range r;
            std::optional<std::uint32_t> first = ends.size() == 2 ? Hex(ends[0]) : std::nullopt;
            std::optional<std::uint32_t> last = ends.size() == 2 ? Hex(ends[1]) : std::nullopt;
            r.toEnd = ends.size() == 2 && ends[1] == "end";
            if (!first || (!last && !r.toEnd)) return "the range \"" + std::string(text) + "\" is not START-END in hexadecimal (END may be \"end\")";
            r.first = *first;
            r.last = last.value_or(0);
            if (!r.toEnd && r.last < r.first) return "the range \"" + std::string(text) + "\" ends before it starts";
            rule.ranges.push_back(r);
        }
        const std::vector<std::string_view> store = Split(fields[3], ':');
        const std::optional<std::uint32_t> address = Hex(store[0]);
        const std::optional<std::uint32_t> size = store.size() >= 2 ? Hex(store[1]) : std::nullopt;
        if (!address || !size || *size < 1 || *size > 4 || store.size() > 3 || (store.size() == 3 && store[2] != "le" && store[2] != "be")) {
            return "the store \"" + std::string(fields[3]) + "\" is not ADDRESS:SIZE[:le|be] with a size of 1 to 4";
        }
        rule.stores = {{*address, static_cast<int>(*size), store.size() == 3 && store[2] == "be", false}};
        if (fields.size() == 5) {
            for (const std::string_view option : Split(fields[4], ' ')) {
                if (option.empty()) continue;
                if (option == "ones" || option == "twos") {
                    if (rule.finish != Finish::None) return "\"ones\" and \"twos\" exclude each other";
                    rule.finish = option == "ones" ? Finish::Ones : Finish::Twos;
                } else if (option.rfind("init=", 0) == 0 && Hex(option.substr(5))) {
                    rule.init = *Hex(option.substr(5));
                } else {
                    return "unknown option \"" + std::string(option) + "\"";
                }
            }
        }
    }
    // One reading in file order: the ranges ascending, none over another.
    for (std::size_t i = 1; i < rule.ranges.size(); ++i) {
        const Range& before = rule.ranges[i - 1];
        if (before.toEnd || rule.ranges[i].first <= before.last) return "the ranges must follow each other in ascending order without overlapping";
    }
    for (Range& r : rule.ranges) {
        r.first += correction;
        r.last += correction;
    }
    for (Store& s : rule.stores) s.offset += correction;
    rule.origin = correction;
    return std::string();
}

// The sum, XOR or CRC of a rule's bytes, fed piece by piece in file order.
class Accumulator {
public:
    explicit Accumulator(const Rule& rule) : m_rule(rule), m_sum(rule.init), m_xor(rule.init) {}
    void Feed(const unsigned char* p, std::size_t n)
    {
        switch (m_rule.algorithm) {
        case Algorithm::Sum8: {
            std::uint64_t sum = 0;
            for (std::size_t i = 0; i < n; ++i) sum += p[i];
            m_sum += sum;
            break;
        }
        case Algorithm::Xor8:
            for (std::size_t i = 0; i < n; ++i) m_xor ^= p[i];
            break;
        case Algorithm::Crc32: m_crc32 = patch::Crc32Update(m_crc32, std::string_view(reinterpret_cast<const char*>(p), n)); break;
        case Algorithm::Crc16CcittFalse:
            for (std::size_t i = 0; i < n; ++i) {
                m_crc16 ^= static_cast<std::uint16_t>(p[i] << 8);
                for (int b = 0; b < 8; ++b) m_crc16 = static_cast<std::uint16_t>((m_crc16 & 0x8000) ? (m_crc16 << 1) ^ 0x1021 : m_crc16 << 1);
            }
            break;
        default: FeedWords(p, n); break;
        }
    }
    std::uint32_t Result()
    {
        const int size = m_rule.stores.empty() ? 4 : m_rule.stores[0].size;
        std::uint64_t v;
        switch (m_rule.algorithm) {
        case Algorithm::Xor8: v = m_xor; break;
        case Algorithm::Crc32: v = m_crc32; break;
        case Algorithm::Crc16CcittFalse: v = m_crc16; break;
        default:
            if (m_filled > 0) AddWord();  // a last word cut short: its missing bytes are zeros
            v = m_sum;
            break;
        }
        if (m_rule.finish == Finish::Ones) v = ~v;
        if (m_rule.finish == Finish::Twos) v = ~v + 1;
        return static_cast<std::uint32_t>(v) & MaskOf(size);
    }

private:
    int WordBytes() const
    {
        return m_rule.algorithm == Algorithm::Sum16LE || m_rule.algorithm == Algorithm::Sum16BE ? 2 : 4;
    }
    bool BigEndian() const { return m_rule.algorithm == Algorithm::Sum16BE || m_rule.algorithm == Algorithm::Sum32BE; }
    void AddWord()
    {
        std::uint32_t word = 0;
        const int bytes = WordBytes();
        for (int i = 0; i < bytes; ++i) {
            const std::uint32_t b = i < m_filled ? m_word[i] : 0;
            word |= BigEndian() ? b << (8 * (bytes - 1 - i)) : b << (8 * i);
        }
        m_sum += word;
        m_filled = 0;
    }
    void FeedWords(const unsigned char* p, std::size_t n)
    {
        const int bytes = WordBytes();
        std::size_t i = 0;
        while (i < n && m_filled > 0) {
            m_word[m_filled++] = p[i++];
            if (m_filled == bytes) AddWord();
        }
        std::uint64_t sum = 0;
        if (bytes == 2) {
            for (; i + 2 <= n; i += 2) sum += BigEndian() ? (p[i] << 8) | p[i + 1] : p[i] | (p[i + 1] << 8);
        } else {
            for (; i + 4 <= n; i += 4) {
                const std::uint32_t le = static_cast<std::uint32_t>(p[i]) | (static_cast<std::uint32_t>(p[i + 1]) << 8) |
                                         (static_cast<std::uint32_t>(p[i + 2]) << 16) | (static_cast<std::uint32_t>(p[i + 3]) << 24);
                sum += BigEndian() ? __builtin_bswap32(le) : le;
            }
        }
        m_sum += sum;
        while (i < n) m_word[m_filled++] = p[i++];
    }

    const Rule& m_rule;
    std::uint64_t m_sum;
    std::uint32_t m_xor;
    std::uint32_t m_crc32 = 0;
    std::uint16_t m_crc16 = 0xFFFF;
    unsigned char m_word[4] = {0, 0, 0, 0};
    int m_filled = 0;
};

std::uint32_t ReadStored(const Store& s, const std::string& bytes)
{
    std::uint32_t v = 0;
    for (int i = 0; i < s.size; ++i) {
        const auto b = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]));
        v |= s.bigEndian ? b << (8 * (s.size - 1 - i)) : b << (8 * i);
    }
    return v;
}

std::string BytesOf(const Store& s, std::uint32_t v)
{
    std::string bytes(static_cast<std::size_t>(s.size), '\0');
    for (int i = 0; i < s.size; ++i) {
        const int shift = s.bigEndian ? 8 * (s.size - 1 - i) : 8 * i;
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((v >> shift) & 0xFF);
    }
    return bytes;
}

}  // namespace

Rules ReadRules(std::string_view text, std::uint32_t correction)
{
    Rules rules;
    int number = 0;
    while (!text.empty() || number == 0) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        const std::string_view written = Trim(line);
        const std::size_t comment = line.find("//");
        if (comment != std::string_view::npos) line = line.substr(0, comment);
        line = Trim(line);
        if (line.empty()) {
            if (text.empty()) break;
            continue;
        }
        Rule rule;
        rule.line = number;
        const std::string problem = ReadLine(line, rule, correction);
        if (problem.empty()) {
            rules.rules.push_back(std::move(rule));
        } else {
            rules.problems.push_back({number, std::string(written), problem});
        }
    }
    return rules;
}

namespace {

std::vector<Outcome> ComputeOnce(const std::vector<Rule>& rules, std::int64_t size, const ReadAt& read)
{
    std::vector<Outcome> outcomes(rules.size());
    // Each rule's ranges with the end of the file put in, and whether they lie in it.
    std::vector<std::vector<Range>> ranges(rules.size());
    std::int64_t from = size, to = -1;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const Rule& rule = rules[i];
        Outcome& o = outcomes[i];
        if (rule.needsPowerOfTwo) {
            const std::int64_t bytes = size - rule.origin;  // the image after what the correction skips
            if (bytes <= 0 || (bytes & (bytes - 1)) != 0) {
                o.computable = false;
                o.why = "the file's size is not a power of two";
            }
        }
        for (Range r : rule.ranges) {
            if (r.toEnd) r.last = size - 1;
            if (r.first > r.last || r.last >= size) {
                o.computable = false;
                if (o.why.empty()) o.why = "a range passes the end of the file";
            }
            ranges[i].push_back(r);
        }
        for (const Store& s : rule.stores) {
            if (s.offset + s.size > size) {
                o.computable = false;
                o.why = "the checksum's place passes the end of the file";
            }
        }
        if (!o.computable) continue;
        for (const Range& r : ranges[i]) {
            from = std::min(from, r.first);
            to = std::max(to, r.last);
        }
    }
    std::vector<Accumulator> sums;
    sums.reserve(rules.size());
    for (const Rule& rule : rules) sums.emplace_back(rule);
    // One reading of the file for every rule, a chunk at a time.
    constexpr std::int64_t kChunk = 1 << 20;
    std::string chunk(static_cast<std::size_t>(std::clamp<std::int64_t>(to + 1 - from, 0, kChunk)), '\0');
    for (std::int64_t at = from; at <= to; at += kChunk) {
        const std::int64_t want = std::min(kChunk, to + 1 - at);
        const std::int64_t got = read(at, chunk.data(), static_cast<std::size_t>(want));
        if (got != want) {
            for (Outcome& o : outcomes) {
                if (o.computable) o.why = "the file cannot be read";
                o.computable = false;
            }
            return outcomes;
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(chunk.data());
        for (std::size_t i = 0; i < rules.size(); ++i) {
            if (!outcomes[i].computable) continue;
            for (const Range& r : ranges[i]) {
                const std::int64_t first = std::max(r.first, at), last = std::min(r.last, at + want - 1);
                if (first <= last) sums[i].Feed(bytes + (first - at), static_cast<std::size_t>(last - first + 1));
            }
        }
    }
    for (std::size_t i = 0; i < rules.size(); ++i) {
        Outcome& o = outcomes[i];
        if (!o.computable) continue;
        o.computed = sums[i].Result();
        o.matches = true;
        for (std::size_t k = 0; k < rules[i].stores.size(); ++k) {
            const Store& s = rules[i].stores[k];
            std::string now(static_cast<std::size_t>(s.size), '\0');
            if (read(s.offset, now.data(), now.size()) != s.size) {
                o.computable = false;
                o.why = "the file cannot be read";
                break;
            }
            const std::uint32_t want = s.complement ? ~o.computed & MaskOf(s.size) : o.computed;
            if (k == 0) o.stored = ReadStored(s, now);
            if (ReadStored(s, now) != want) {
                o.matches = false;
                o.writes.push_back({s.offset, BytesOf(s, want)});
            }
        }
    }
    return outcomes;
}

}  // namespace

std::vector<Outcome> Compute(const std::vector<Rule>& rules, std::int64_t size, const ReadAt& read)
{
    std::vector<Outcome> outcomes = ComputeOnce(rules, size, read);
    // A rule that covers another's checksum sees it as it will be written (the
    // Game Boy's global checksum covers the header checksum): such rules are
    // computed again over the file with the others' results in it, until
    // nothing changes. Only they read the file a second time.
    for (std::size_t round = 0; round < rules.size(); ++round) {
        bool changed = false;
        for (std::size_t i = 0; i < rules.size(); ++i) {
            if (!outcomes[i].computable) continue;
            // The other rules' results, where this rule's ranges cover them.
            std::map<std::int64_t, char> written;
            for (std::size_t j = 0; j < rules.size(); ++j) {
                if (j == i) continue;
                for (const Outcome::Write& w : outcomes[j].writes) {
                    for (std::size_t k = 0; k < w.bytes.size(); ++k) {
                        const std::int64_t at = w.offset + static_cast<std::int64_t>(k);
                        for (const Range& r : rules[i].ranges) {
                            if (at >= r.first && (r.toEnd || at <= r.last)) written[at] = w.bytes[k];
                        }
                    }
                }
            }
            if (written.empty()) continue;
            const ReadAt overlaid = [&](std::int64_t offset, char* buffer, std::size_t count) {
                const std::int64_t got = read(offset, buffer, count);
                for (auto it = written.lower_bound(offset); it != written.end() && it->first < offset + got; ++it) buffer[it->first - offset] = it->second;
                return got;
            };
            Outcome again = std::move(ComputeOnce({rules[i]}, size, overlaid)[0]);
            if (again.computed != outcomes[i].computed || again.writes.size() != outcomes[i].writes.size()) changed = true;
            outcomes[i] = std::move(again);
        }
        if (!changed) break;
    }
    return outcomes;
}

std::vector<Outcome> Compute(const std::vector<Rule>& rules, std::string_view file)
{
    return Compute(rules, static_cast<std::int64_t>(file.size()), [file](std::int64_t offset, char* buffer, std::size_t count) -> std::int64_t {
        if (offset < 0 || offset > static_cast<std::int64_t>(file.size())) return -1;
        const std::size_t n = std::min(count, file.size() - static_cast<std::size_t>(offset));
        std::copy_n(file.data() + offset, n, buffer);
        return static_cast<std::int64_t>(n);
    });
}

std::string HexOf(const Rule& rule, std::uint32_t value)
{
    const int size = rule.stores.empty() ? 4 : rule.stores[0].size;
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int i = 2 * size - 1; i >= 0; --i) text += digits[(value >> (4 * i)) & 0xF];
    return text;
}

}  // namespace zok2::checksum
