#pragma once
// Patches that turn one file (the source, the original) into another (the
// target), in the two formats common patchers apply:
// - IPS: "PATCH", records of a 24-bit big-endian offset, a 16-bit size and the
//   bytes (a size of 0 is a run: a 16-bit count and the byte), "EOF", and a
//   24-bit length when the target is shorter than the source. Files of at most
//   16 MiB; no record starts at 0x454F46 (it would read as "EOF").
// - BPS: "BPS1", the source, target and metadata sizes as BPS numbers, the
//   metadata, actions (SourceRead, TargetRead, SourceCopy, TargetCopy), then the
//   CRC-32 of the source, of the target and of the patch before it, little-endian.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zok2::patch {

constexpr std::size_t kIpsLargestFile = std::size_t{1} << 24;  // 16 MiB

// The IPS patch from source to target; false (with a reason) when a file is too large for IPS.
bool CreateIps(std::string_view source, std::string_view target, std::string* patch, std::string* reason = nullptr);
// Applies an IPS patch to `file` as written (it may grow or shrink it); false
// (with a reason, `file` untouched) for a damaged patch.
bool ApplyIps(std::string_view patch, std::string* file, std::string* reason = nullptr);

bool CreateBps(std::string_view source, std::string_view target, std::string* patch);

// Where a patch's result goes, written front to back.
class PatchTarget {
public:
    virtual ~PatchTarget() = default;
    // Appends bytes; false with the system's reason.
    virtual bool Write(std::string_view bytes, std::string* reason) = 0;
    // Bytes already written, [offset, offset + n).
    virtual bool ReadBack(std::uint64_t offset, char* out, std::size_t n, std::string* reason) = 0;
};
// Told how far a long write has come (bytes written, of all); false cancels it.
using PatchProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// What a BPS patch's header says.
struct BpsHeader {
    std::uint64_t sourceSize = 0, targetSize = 0, metadataSize = 0;
    std::size_t actions = 0;  // where the actions start
};
bool ReadBpsHeader(std::string_view patch, BpsHeader* header, std::string* reason = nullptr);

// Applies a BPS patch to `source` into `target`; false (with a reason) for a
// damaged patch or one made for another source (size or checksum).
bool ApplyBps(std::string_view patch, std::string_view source, std::string* target, std::string* reason = nullptr);
// The same into a target written front to back: only `window` bytes (0: a few
// MiB) of the result are held in memory; the rest is read back from the target.
// Every action is checked before the first byte is written; the result's
// checksum is known only at the end, so a false return leaves the target to be thrown away.
bool ApplyBps(std::string_view patch, std::string_view source, PatchTarget& target, std::string* reason,
              const PatchProgress& progress = {}, std::size_t window = 0);

// BPS numbers: seven bits a byte, the last byte marked by its top bit, each
// further byte counting from where the shorter forms end.
void AppendBpsNumber(std::uint64_t value, std::string* out);
// Reads a number at *at (advanced); false when it runs past the end or overflows.
bool ReadBpsNumber(std::string_view bytes, std::size_t* at, std::uint64_t* value);

// Whether the patch applies to `source`, without writing its result: IPS is
// applied in memory (at most 16 MiB), BPS's actions are all checked (its
// result's checksum is known only once the result is written).
bool CheckPatch(std::string_view patch, std::string_view source, std::string* reason = nullptr);

enum class PatchFormat { Unknown, Ips, Bps };
PatchFormat FormatOf(std::string_view patch);
// Applies an IPS or a BPS patch (told apart by its start) to `source` into `result`.
bool ApplyPatch(std::string_view patch, std::string_view source, std::string* result, std::string* reason = nullptr);

}  // namespace zok2::patch
