#include "journal/JournalFormat.h"

#include <cstdio>
#include <limits>

#include "patch/Crc32.h"

namespace zok2::journal {

namespace {

enum Kind : std::uint8_t { kStart = 1, kChange = 2 };

// A record larger than this is taken as damage, not as a change (a million-cell
// paste is 4 MB of values and as much of checks).
constexpr std::uint32_t kLargestRecord = 512u * 1024 * 1024;

void Put(std::string& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}
void PutString(std::string& out, std::string_view text)
{
    Put(out, text.size(), 4);
    out += text;
}

std::string Framed(const std::string& payload)
{
    std::string out;
    out.reserve(payload.size() + 8);
    Put(out, payload.size(), 4);
    Put(out, patch::Crc32(payload), 4);
    out += payload;
    return out;
}

// Reads a payload front to back; any read past its end marks it bad.
class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}
    std::uint64_t Get(int bytes)
    {
        if (m_at + static_cast<std::size_t>(bytes) > m_bytes.size()) {
            m_bad = true;
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(m_bytes[m_at + i])) << (8 * i);
        m_at += static_cast<std::size_t>(bytes);
        return value;
    }
    std::int64_t Signed64() { return static_cast<std::int64_t>(Get(8)); }
    int Signed32() { return static_cast<int>(static_cast<std::int32_t>(Get(4))); }
    std::string String()
    {
        const std::uint64_t n = Get(4);
        if (n > Left()) {
            m_bad = true;
            return {};
        }
        std::string text(m_bytes.substr(m_at, n));
        m_at += n;
        return text;
    }
    std::size_t Left() const { return m_bytes.size() - m_at; }
    bool Bad() const { return m_bad; }
    bool AtEnd() const { return m_at == m_bytes.size(); }
    void MarkBad() { m_bad = true; }

private:
    std::string_view m_bytes;
    std::size_t m_at = 0;
    bool m_bad = false;
};

bool ReadStart(Reader& r, Start* start)
{
    start->binaryPath = r.String();
    start->size = r.Signed64();
    start->modifiedNs = r.Signed64();
    start->setFolder = r.String();
    start->setFingerprint = r.Get(8);
    start->startedMs = r.Signed64();
    return !r.Bad() && r.AtEnd() && start->size >= 0;
}

bool ReadChange(Reader& r, Change* change)
{
    change->whenMs = r.Signed64();
    Region& g = change->region;
    g.section = r.Signed32();
    g.firstColumn = r.Signed32();
    g.lastColumn = r.Signed32();
    g.firstRow = r.Signed32();
    g.lastRow = r.Signed32();
    if (r.Bad() || g.section < 0 || g.firstColumn < 1 || g.firstRow < 1 || g.lastColumn < g.firstColumn || g.lastRow < g.firstRow) return false;
    const std::uint64_t n = r.Get(4);
    if (r.Bad() || static_cast<std::int64_t>(n) != g.Cells() || n > r.Left() / 4) return false;
    change->values.resize(static_cast<std::size_t>(n));
    for (auto& value : change->values) value = static_cast<std::uint32_t>(r.Get(4));
    const std::uint64_t m = r.Get(4);
    if (r.Bad() || m > r.Left() / 10) return false;  // each check takes at least ten bytes
    change->checks.resize(static_cast<std::size_t>(m));
    for (ByteCheck& check : change->checks) {
        check.offset = r.Signed64();
        const std::uint64_t length = r.Get(1);
        if (r.Bad() || check.offset < 0 || length < 1 || length > 4 || length > r.Left()) return false;
        check.bytes.clear();
        for (std::uint64_t i = 0; i < length; ++i) check.bytes += static_cast<char>(r.Get(1));
    }
    return !r.Bad() && r.AtEnd();
}

}  // namespace

std::string EncodeStart(const Start& start)
{
    std::string payload;
    Put(payload, kStart, 1);
    PutString(payload, start.binaryPath);
    Put(payload, static_cast<std::uint64_t>(start.size), 8);
    Put(payload, static_cast<std::uint64_t>(start.modifiedNs), 8);
    PutString(payload, start.setFolder);
    Put(payload, start.setFingerprint, 8);
    Put(payload, static_cast<std::uint64_t>(start.startedMs), 8);
    return std::string(kMagic) + Framed(payload);
}

std::string EncodeChange(const Change& change)
{
    std::string payload;
    payload.reserve(1 + 8 + 20 + 4 + 4 * change.values.size() + 4 + 13 * change.checks.size());
    Put(payload, kChange, 1);
    Put(payload, static_cast<std::uint64_t>(change.whenMs), 8);
    const Region& g = change.region;
    for (int v : {g.section, g.firstColumn, g.lastColumn, g.firstRow, g.lastRow}) Put(payload, static_cast<std::uint32_t>(v), 4);
    Put(payload, change.values.size(), 4);
    for (std::uint32_t value : change.values) Put(payload, value, 4);
    Put(payload, change.checks.size(), 4);
    for (const ByteCheck& check : change.checks) {
        Put(payload, static_cast<std::uint64_t>(check.offset), 8);
        Put(payload, check.bytes.size(), 1);
        payload += check.bytes;
    }
    return Framed(payload);
}

Contents Decode(std::string_view file)
{
    Contents contents;
    if (file.substr(0, kMagic.size()) != kMagic) {
        contents.problem = "not a zok2 journal";
        return contents;
    }
    std::size_t at = kMagic.size();
    bool started = false;
    while (at < file.size()) {
        if (file.size() - at < 8) break;
        Reader frame(file.substr(at, 8));
        const std::uint64_t length = frame.Get(4);
        const auto crc = static_cast<std::uint32_t>(frame.Get(4));
        if (length > kLargestRecord || length < 1 || length > file.size() - at - 8) break;
        const std::string_view payload = file.substr(at + 8, length);
        if (patch::Crc32(payload) != crc) break;
        Reader r(payload.substr(1));
        const auto kind = static_cast<std::uint8_t>(payload[0]);
        if (!started) {
            if (kind != kStart || !ReadStart(r, &contents.start)) break;
            started = true;
        } else {
            Change change;
            if (kind != kChange || !ReadChange(r, &change)) break;
            contents.changes.push_back(std::move(change));
        }
        at += 8 + length;
        contents.wholeBytes = static_cast<std::int64_t>(at);
    }
    if (!started) {
        contents.problem = "the journal has no whole start record";
        contents.changes.clear();
        return contents;
    }
    contents.readable = true;
    contents.cutShort = at < file.size();
    return contents;
}

std::uint64_t Fingerprint(std::string_view bytes, std::uint64_t previous)
{
    std::uint64_t hash = previous;
    for (char c : bytes) {
        hash ^= static_cast<std::uint8_t>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string JournalName(const std::string& binaryPath)
{
    char name[32];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(Fingerprint(binaryPath)));
    return std::string(name) + ".journal";
}

}  // namespace zok2::journal
