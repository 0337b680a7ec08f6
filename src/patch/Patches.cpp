#include "patch/Patches.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "patch/Crc32.h"

namespace zok2::patch {

namespace {

constexpr std::size_t kEofOffset = 0x454F46;  // "EOF" read as an offset
constexpr std::size_t kRecordMost = 0xFFFF;
constexpr std::size_t kRunWorthIt = 9;        // a run record (8 bytes) beats a literal one from this length

bool Fail(std::string* reason, const char* text)
{
    if (reason) *reason = text;
    return false;
}

void AppendBigEndian(std::uint32_t value, int bytes, std::string* out)
{
    for (int i = bytes - 1; i >= 0; --i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint32_t ReadBigEndian(std::string_view bytes, std::size_t at, int count)
{
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

void AppendLittleEndian32(std::uint32_t value, std::string* out)
{
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint32_t ReadLittleEndian32(std::string_view bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// The IPS records of one changed region [from, to) of the target.
void AppendIpsRegion(std::string_view target, std::size_t from, std::size_t to, std::string* out)
{
    std::size_t pos = from;
    while (pos < to) {
        std::size_t run = 1;
        while (pos + run < to && run < kRecordMost && target[pos + run] == target[pos]) ++run;
        if (run >= kRunWorthIt && pos != kEofOffset) {
            AppendBigEndian(static_cast<std::uint32_t>(pos), 3, out);
            AppendBigEndian(0, 2, out);
            AppendBigEndian(static_cast<std::uint32_t>(run), 2, out);
            out->push_back(target[pos]);
            pos += run;
            continue;
        }
        // A literal record, up to the next run worth its own record. One starting
        // at 0x454F46 would read as the end: it starts a byte earlier instead,
        // writing that byte as the target has it.
        const std::size_t start = pos == kEofOffset ? pos - 1 : pos;
        std::size_t end = pos + 1;
        while (end < to && end - start < kRecordMost) {
            std::size_t ahead = 1;
            while (end + ahead < to && ahead < kRunWorthIt && target[end + ahead] == target[end]) ++ahead;
            if (ahead >= kRunWorthIt && end != kEofOffset) break;
            ++end;
        }
        AppendBigEndian(static_cast<std::uint32_t>(start), 3, out);
        AppendBigEndian(static_cast<std::uint32_t>(end - start), 2, out);
        out->append(target.substr(start, end - start));
        pos = end;
    }
}

}  // namespace

bool CreateIps(std::string_view source, std::string_view target, std::string* patch, std::string* reason)
{
    if (source.size() > kIpsLargestFile || target.size() > kIpsLargestFile) {
        return Fail(reason, "IPS holds files of at most 16 MiB");
    }
    std::string out = "PATCH";
    const std::size_t size = target.size();
    auto differs = [&](std::size_t i) { return i >= source.size() || source[i] != target[i]; };
    for (std::size_t i = 0; i < size;) {
        if (!differs(i)) {
            ++i;
            continue;
        }
        // A changed region, joined across unchanged gaps shorter than a record's header.
        std::size_t end = i + 1;
        while (end < size) {
            if (differs(end)) {
                ++end;
                continue;
            }
            std::size_t gap = end;
            while (gap < size && gap - end <= 5 && !differs(gap)) ++gap;
            if (gap < size && gap - end <= 5 && differs(gap)) {
                end = gap;
                continue;
            }
            break;
        }
        AppendIpsRegion(target, i, end, &out);
        i = end;
    }
    out += "EOF";
    if (size < source.size()) AppendBigEndian(static_cast<std::uint32_t>(size), 3, &out);  // the file shrank
    *patch = std::move(out);
    return true;
}

bool ApplyIps(std::string_view patch, std::string* file, std::string* reason)
{
    if (patch.substr(0, 5) != "PATCH") return Fail(reason, "not an IPS patch (no \"PATCH\" at its start)");
    if (patch.size() < 8) return Fail(reason, "the IPS patch is cut short (it ends before \"EOF\")");
    std::string out = *file;
    std::size_t at = 5;
    for (;;) {
        if (at + 3 > patch.size()) return Fail(reason, "the IPS patch ends without \"EOF\"");
        if (patch.substr(at, 3) == "EOF") {
            at += 3;
            if (at == patch.size()) break;
            if (at + 3 != patch.size()) return Fail(reason, "the IPS patch has bytes after \"EOF\" that are no length");
            // The truncation it was made with: IPS only ever shortens a file.
            const std::size_t length = ReadBigEndian(patch, at, 3);
            if (length > out.size()) return Fail(reason, "the IPS patch is damaged (its truncation would lengthen the file)");
            out.resize(length);
            break;
        }
        if (at + 5 > patch.size()) return Fail(reason, "an IPS record is cut off");
        const std::size_t offset = ReadBigEndian(patch, at, 3);
        const std::size_t size = ReadBigEndian(patch, at + 3, 2);
        at += 5;
        if (size == 0) {
            if (at + 3 > patch.size()) return Fail(reason, "an IPS run record is cut off");
            const std::size_t run = ReadBigEndian(patch, at, 2);
            const char value = patch[at + 2];
            at += 3;
            if (out.size() < offset + run) out.resize(offset + run, '\0');
            std::fill(out.begin() + static_cast<std::ptrdiff_t>(offset), out.begin() + static_cast<std::ptrdiff_t>(offset + run), value);
        } else {
            if (at + size > patch.size()) return Fail(reason, "an IPS record is cut off");
            if (out.size() < offset + size) out.resize(offset + size, '\0');
            std::copy(patch.begin() + static_cast<std::ptrdiff_t>(at), patch.begin() + static_cast<std::ptrdiff_t>(at + size),
                      out.begin() + static_cast<std::ptrdiff_t>(offset));
            at += size;
        }
    }
    *file = std::move(out);
    return true;
}

void AppendBpsNumber(std::uint64_t value, std::string* out)
{
    for (;;) {
        const std::uint8_t low = value & 0x7F;
        value >>= 7;
        if (value == 0) {
            out->push_back(static_cast<char>(0x80 | low));
            return;
        }
        out->push_back(static_cast<char>(low));
        --value;
    }
}

bool ReadBpsNumber(std::string_view bytes, std::size_t* at, std::uint64_t* value)
{
    std::uint64_t data = 0, shift = 1;
    for (;;) {
        if (*at >= bytes.size()) return false;
        const auto x = static_cast<unsigned char>(bytes[(*at)++]);
        if (shift > (std::uint64_t{1} << 56)) return false;  // beyond 64 bits: no patch of ours
        data += (x & 0x7F) * shift;
        if (x & 0x80) break;
        shift <<= 7;
        data += shift;
    }
    *value = data;
    return true;
}

namespace {

// How many bytes from `at` on are the same in both (at most `limit`), eight at a time.
std::size_t SameRun(std::string_view a, std::string_view b, std::size_t at, std::size_t limit)
{
    std::size_t n = 0;
    while (n + 8 <= limit) {
        std::uint64_t x, y;
        std::memcpy(&x, a.data() + at + n, 8);
        std::memcpy(&y, b.data() + at + n, 8);
        if (x != y) break;
        n += 8;
    }
    while (n < limit && a[at + n] == b[at + n]) ++n;
    return n;
}

}  // namespace

namespace {

// The actions of one changed region of a BPS target: long runs of one byte as
// a copy of the target's own last byte, stretches found elsewhere in the source
// as a copy from there, the rest as the bytes themselves.
class BpsRegionWriter {
public:
    BpsRegionWriter(std::string_view source, std::string_view target, std::string& out) : m_source(source), m_target(target), m_out(out) {}

    void Write(std::size_t from, std::size_t to)
    {
        std::size_t literal = from;
        for (std::size_t i = from; i < to;) {
            std::size_t run = 1;
            while (i + run < to && m_target[i + run] == m_target[i]) ++run;
            if (run >= kRunWorthACopy) {
                Literal(literal, i);
                // A copy of the byte before, overlapping itself, repeats it.
                if (i == 0 || m_target[i - 1] != m_target[i]) {
                    Literal(i, i + 1);
                    ++i;
                    --run;
                }
                Copy(3, i - 1, run, m_targetRelative);
                i += run;
                literal = i;
                continue;
            }
            std::size_t at = 0;
            const std::size_t match = to - from >= kMatchWorthACopy ? SourceMatch(i, to, &at) : 0;
            if (match >= kMatchWorthACopy) {
                Literal(literal, i);
                Copy(2, at, match, m_sourceRelative);
                i += match;
                literal = i;
                continue;
            }
            i += run;
        }
        Literal(literal, to);
    }

private:
    static constexpr std::size_t kRunWorthACopy = 8;     // a copy costs about four bytes
    static constexpr std::size_t kMatchWorthACopy = 24;  // ... and finding one is a guess
    static constexpr std::size_t kHashed = 8;            // bytes a source position is found by
    static constexpr std::size_t kStride = 4;            // every fourth source position is indexed
    static constexpr std::size_t kBuckets = std::size_t{1} << 20;

    void Literal(std::size_t from, std::size_t to)
    {
        if (to <= from) return;
        AppendBpsNumber(((to - from - 1) << 2) | 1, &m_out);  // TargetRead
        m_out.append(m_target.substr(from, to - from));
    }
    // SourceCopy (2) or TargetCopy (3) of `length` bytes from `at`, the distance
    // taken from the kind's relative position.
    void Copy(int kind, std::size_t at, std::size_t length, std::int64_t& relative)
    {
        AppendBpsNumber(((length - 1) << 2) | static_cast<std::uint64_t>(kind), &m_out);
        const std::int64_t distance = static_cast<std::int64_t>(at) - relative;
        AppendBpsNumber((static_cast<std::uint64_t>(distance < 0 ? -distance : distance) << 1) | (distance < 0 ? 1 : 0), &m_out);
        relative = static_cast<std::int64_t>(at + length);
    }
    static std::uint32_t Hash(const char* bytes)
    {
        std::uint64_t v;
        std::memcpy(&v, bytes, sizeof v);
        return static_cast<std::uint32_t>((v * 0x9E3779B97F4A7C15ull) >> 44);  // 20 bits
    }
    // The longest stretch from target position i found in the source (0 when none).
    std::size_t SourceMatch(std::size_t i, std::size_t to, std::size_t* at)
    {
        if (i + kHashed > to || m_source.size() < kHashed) return 0;
        if (m_index.empty()) {
            // Made on the first long changed region only: most patches change a few bytes here and there.
            m_index.assign(kBuckets, 0);
            for (std::size_t q = 0; q + kHashed <= m_source.size() && q < 0xFFFFFFFFu; q += kStride) {
                m_index[Hash(m_source.data() + q)] = static_cast<std::uint32_t>(q + 1);
            }
        }
        const std::uint32_t found = m_index[Hash(m_target.data() + i)];
        if (found == 0) return 0;
        const std::size_t q = found - 1;
        std::size_t n = 0;
        while (i + n < to && q + n < m_source.size() && m_source[q + n] == m_target[i + n]) ++n;
        *at = q;
        return n;
    }

    std::string_view m_source, m_target;
    std::string& m_out;
    std::int64_t m_sourceRelative = 0, m_targetRelative = 0;
    std::vector<std::uint32_t> m_index;  // hash of kHashed bytes -> source position + 1
};

}  // namespace

bool CreateBps(std::string_view source, std::string_view target, std::string* patch)
{
    std::string out = "BPS1";
    AppendBpsNumber(source.size(), &out);
    AppendBpsNumber(target.size(), &out);
    AppendBpsNumber(0, &out);  // no metadata
    const std::size_t size = target.size();
    const std::size_t common = std::min(size, source.size());
    out.reserve(out.size() + size / 16 + 64);
    BpsRegionWriter changed(source, target, out);
    for (std::size_t p = 0; p < size;) {
        std::size_t length = p < common ? SameRun(source, target, p, common - p) : 0;
        if (length > 0) {
            AppendBpsNumber(((length - 1) << 2) | 0, &out);  // SourceRead
        } else {
            // A changed region, joined across stretches of a few equal bytes (a
            // SourceRead of them would split the region's runs and copies).
            auto differs = [&](std::size_t i) { return i >= common || source[i] != target[i]; };
            while (p + length < size) {
                if (differs(p + length)) {
                    ++length;
                    continue;
                }
                const std::size_t same = SameRun(source, target, p + length, std::min<std::size_t>(common - (p + length), 8));
                if (same >= 8 || p + length + same >= size) break;
                length += same;
            }
            changed.Write(p, p + length);
        }
        p += length;
    }
    AppendLittleEndian32(Crc32(source), &out);
    AppendLittleEndian32(Crc32(target), &out);
    AppendLittleEndian32(Crc32(out), &out);
    *patch = std::move(out);
    return true;
}

namespace {

// The target as it is written, front to back: the bytes since the last flush are
// kept in a window of bounded size; older ones are read back from the target.
class TargetWriter {
public:
    TargetWriter(PatchTarget& target, std::uint64_t total, std::size_t window, const PatchProgress& progress)
        : m_target(target), m_total(total), m_capacity(std::max<std::size_t>(window, 1)), m_progress(progress)
    {
        m_window.reserve(m_capacity);  // never grows: copies within it read from it while it takes bytes
    }
    std::uint64_t Written() const { return m_flushed + m_window.size(); }
    std::uint32_t Crc() const { return m_crc; }
    bool Cancelled() const { return m_cancelled; }

    bool Flush(std::string* reason)
    {
        if (m_window.empty()) return true;
        m_crc = Crc32Update(m_crc, m_window);
        if (!m_target.Write(m_window, reason)) return false;
        m_flushed += m_window.size();
        m_window.clear();
        if (m_progress && !m_progress(m_flushed, m_total)) {
            m_cancelled = true;
            return Fail(reason, "the patch was not applied: cancelled");
        }
        return true;
    }
    bool Append(std::string_view bytes, std::string* reason)
    {
        while (!bytes.empty()) {
            if (m_window.size() == m_capacity && !Flush(reason)) return false;
            const std::size_t take = std::min(m_capacity - m_window.size(), bytes.size());
            m_window.append(bytes.data(), take);
            bytes.remove_prefix(take);
        }
        return true;
    }
    // Appends `length` bytes of the target from `from` on (from < Written()); the
    // copy may overlap what it writes (a repeated pattern), so it goes in pieces
    // no longer than the distance.
    bool CopyWritten(std::uint64_t from, std::uint64_t length, std::string* reason)
    {
        char buffer[1 << 16];
        while (length > 0) {
            if (m_window.size() == m_capacity && !Flush(reason)) return false;
            std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(length, m_capacity - m_window.size()));
            if (from < m_flushed) {
                n = static_cast<std::size_t>(std::min<std::uint64_t>({n, m_flushed - from, sizeof buffer}));
                if (!m_target.ReadBack(from, buffer, n, reason)) return false;
                m_window.append(buffer, n);
            } else {
                // Byte by byte, front to back, where the copy reads what it writes.
                const std::size_t at = static_cast<std::size_t>(from - m_flushed), end = m_window.size();
                if (n <= end - at) {
                    m_window.append(m_window.data() + at, n);
                } else {
                    m_window.resize(end + n);
                    char* bytes = m_window.data();
                    for (std::size_t i = 0; i < n; ++i) bytes[end + i] = bytes[at + i];
                }
            }
            from += n;
            length -= n;
        }
        return true;
    }

private:
    PatchTarget& m_target;
    std::uint64_t m_total;
    std::size_t m_capacity;
    const PatchProgress& m_progress;
    std::string m_window;
    std::uint64_t m_flushed = 0;
    std::uint32_t m_crc = 0;
    bool m_cancelled = false;
};

// Bytes kept in memory while a BPS target is written.
constexpr std::size_t kBpsWindow = std::size_t{4} << 20;

class StringTarget : public PatchTarget {
public:
    explicit StringTarget(std::string& out) : m_out(out) {}
    bool Write(std::string_view bytes, std::string*) override
    {
        m_out.append(bytes);
        return true;
    }
    bool ReadBack(std::uint64_t offset, char* out, std::size_t n, std::string*) override
    {
        std::copy_n(m_out.data() + offset, n, out);
        return true;
    }

private:
    std::string& m_out;
};

bool ApplyBpsTo(std::string_view patch, std::string_view source, PatchTarget* target, std::string* reason, const PatchProgress& progress,
                std::size_t window);

}  // namespace

bool ReadBpsHeader(std::string_view patch, BpsHeader* header, std::string* reason)
{
    if (patch.size() < 4 || patch.substr(0, 4) != "BPS1") return Fail(reason, "not a BPS patch (no \"BPS1\" at its start)");
    if (patch.size() < 4 + 3 + 12) return Fail(reason, "the BPS patch is cut short (it ends inside its header)");
    const std::size_t footer = patch.size() - 12;
    std::size_t at = 4;
    if (!ReadBpsNumber(patch, &at, &header->sourceSize) || !ReadBpsNumber(patch, &at, &header->targetSize) ||
        !ReadBpsNumber(patch, &at, &header->metadataSize) || at > footer || header->metadataSize > footer - at) {
        return Fail(reason, "the BPS patch is damaged (its header is cut off)");
    }
    header->actions = at + static_cast<std::size_t>(header->metadataSize);
    return true;
}

bool ApplyBps(std::string_view patch, std::string_view source, std::string* target, std::string* reason)
{
    std::string out;
    StringTarget sink(out);
    if (!ApplyBps(patch, source, sink, reason)) return false;
    *target = std::move(out);
    return true;
}

bool ApplyBps(std::string_view patch, std::string_view source, PatchTarget& target, std::string* reason, const PatchProgress& progress,
              std::size_t window)
{
    return ApplyBpsTo(patch, source, &target, reason, progress, window);
}

bool CheckPatch(std::string_view patch, std::string_view source, std::string* reason)
{
    if (FormatOf(patch) == PatchFormat::Bps) return ApplyBpsTo(patch, source, nullptr, reason, {}, 0);
    std::string result;
    return ApplyPatch(patch, source, &result, reason);
}

namespace {

bool ApplyBpsTo(std::string_view patch, std::string_view source, PatchTarget* target, std::string* reason, const PatchProgress& progress,
                std::size_t window)
{
    BpsHeader header;
    if (!ReadBpsHeader(patch, &header, reason)) return false;
    const std::size_t footer = patch.size() - 12;
    if (Crc32(patch.substr(0, patch.size() - 4)) != ReadLittleEndian32(patch, patch.size() - 4)) {
        return Fail(reason, "the BPS patch is damaged (its own checksum does not match)");
    }
    if (header.sourceSize != source.size()) return Fail(reason, "the BPS patch was made for another file (its size differs)");
    if (Crc32(source) != ReadLittleEndian32(patch, footer)) return Fail(reason, "the BPS patch was made for another file (its checksum differs)");
    if (header.targetSize > 0xFFFFFFFFull) return Fail(reason, "the BPS patch makes a file larger than 4 GiB");
    const std::uint64_t targetSize = header.targetSize;
    // Two passes: every action is checked before a byte is written, so a patch
    // that only claims a huge file costs nothing; then the target is written
    // front to back, its checksum taken as it goes.
    std::string unused;
    StringTarget none(unused);  // never written: a check makes the first pass only
    TargetWriter writer(target ? *target : none, targetSize, window == 0 ? kBpsWindow : window, progress);
    const std::string_view actions = patch.substr(0, footer);
    for (int pass = 0; pass < (target ? 2 : 1); ++pass) {
        const bool write = pass == 1;
        std::size_t at = header.actions;
        std::uint64_t written = 0;
        std::int64_t sourceRelative = 0, targetRelative = 0;
        while (at < footer) {
            std::uint64_t data = 0;
            if (!ReadBpsNumber(actions, &at, &data)) return Fail(reason, "the BPS patch is damaged (an action is cut off)");
            const std::uint64_t length = (data >> 2) + 1;
            if (length > targetSize - written) return Fail(reason, "the BPS patch is damaged (it writes past the target's end)");
            switch (data & 3) {
            case 0:  // SourceRead
                if (written + length > source.size()) return Fail(reason, "the BPS patch is damaged (it reads past the source's end)");
                if (write && !writer.Append(source.substr(static_cast<std::size_t>(written), static_cast<std::size_t>(length)), reason)) return false;
                break;
            case 1:  // TargetRead
                if (length > footer - at) return Fail(reason, "the BPS patch is damaged (its bytes are cut off)");
                if (write && !writer.Append(patch.substr(at, static_cast<std::size_t>(length)), reason)) return false;
                at += static_cast<std::size_t>(length);
                break;
            default: {  // SourceCopy, TargetCopy: a signed distance, then a copy
                std::uint64_t offset = 0;
                if (!ReadBpsNumber(actions, &at, &offset)) return Fail(reason, "the BPS patch is damaged (a copy is cut off)");
                if ((offset >> 1) > 0xFFFFFFFFull) return Fail(reason, "the BPS patch is damaged (a copy lies outside the file)");
                const std::int64_t distance = static_cast<std::int64_t>(offset >> 1) * ((offset & 1) ? -1 : 1);
                if ((data & 3) == 2) {
                    sourceRelative += distance;
                    if (sourceRelative < 0 || static_cast<std::uint64_t>(sourceRelative) + length > source.size()) {
                        return Fail(reason, "the BPS patch is damaged (a copy lies outside the source)");
                    }
                    if (write && !writer.Append(source.substr(static_cast<std::size_t>(sourceRelative), static_cast<std::size_t>(length)), reason)) {
                        return false;
                    }
                    sourceRelative += static_cast<std::int64_t>(length);
                } else {
                    targetRelative += distance;
                    if (targetRelative < 0 || static_cast<std::uint64_t>(targetRelative) >= written) {
                        return Fail(reason, "the BPS patch is damaged (a copy lies outside the target written so far)");
                    }
                    if (write && !writer.CopyWritten(static_cast<std::uint64_t>(targetRelative), length, reason)) return false;
                    targetRelative += static_cast<std::int64_t>(length);
                }
                break;
            }
            }
            written += length;
        }
        if (written != targetSize) return Fail(reason, "the BPS patch is damaged (it writes less than the target's size)");
    }
    if (!target) return true;
    if (!writer.Flush(reason)) return false;
    if (writer.Crc() != ReadLittleEndian32(patch, footer + 4)) return Fail(reason, "the BPS patch is damaged (the result's checksum does not match)");
    return true;
}

}  // namespace

PatchFormat FormatOf(std::string_view patch)
{
    if (patch.substr(0, 5) == "PATCH") return PatchFormat::Ips;
    if (patch.substr(0, 4) == "BPS1") return PatchFormat::Bps;
    return PatchFormat::Unknown;
}

bool ApplyPatch(std::string_view patch, std::string_view source, std::string* result, std::string* reason)
{
    switch (FormatOf(patch)) {
    case PatchFormat::Ips: {
        std::string file(source);
        if (!ApplyIps(patch, &file, reason)) return false;
        *result = std::move(file);
        return true;
    }
    case PatchFormat::Bps: return ApplyBps(patch, source, result, reason);
    default:
        // The start of a header, and nothing more: a patch cut short, not another kind of file.
        if (!patch.empty() && (std::string_view("PATCH").substr(0, patch.size()) == patch || std::string_view("BPS1").substr(0, patch.size()) == patch)) {
            return Fail(reason, "the patch is cut short (it ends inside its header)");
        }
        return Fail(reason, "not an IPS or BPS patch");
    }
}

}  // namespace zok2::patch
