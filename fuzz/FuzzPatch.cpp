// libFuzzer target: a source file and a patch from one input (split at the
// first NUL byte), applied as IPS and as BPS. The harness mends a BPS patch's
// checksums (of the source and of the patch itself) so the fuzzer reaches the
// actions; a result refused only for its own checksum is applied again with
// that checksum mended and must then come out the same, through a window of a
// few bytes as in memory. A patch that applies must give a result that a patch
// of our own reproduces; nothing may read or write out of bounds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "patch/Crc32.h"
#include "patch/Patches.h"

namespace {

using namespace zok2::patch;

void PutLe32(std::string& bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

class MemoryTarget : public PatchTarget {
public:
    bool Write(std::string_view bytes, std::string*) override
    {
        text.append(bytes);
        return true;
    }
    bool ReadBack(std::uint64_t offset, char* out, std::size_t n, std::string*) override
    {
        if (offset + n > text.size()) std::abort();  // only what was written is read back
        text.copy(out, n, static_cast<std::size_t>(offset));
        return true;
    }
    std::string text;
};

void CheckBps(std::string patch, std::string_view source)
{
    BpsHeader header;
    if (!ReadBpsHeader(patch, &header) || header.targetSize > (1u << 20)) return;
    // The checksums a fuzzer cannot guess, made right.
    PutLe32(patch, patch.size() - 12, Crc32(source));
    PutLe32(patch, patch.size() - 4, Crc32(std::string_view(patch).substr(0, patch.size() - 4)));
    std::string reason, target;
    if (!CheckPatch(patch, source, &reason)) {
        if (ApplyBps(patch, source, &target, &reason)) std::abort();  // the check and the apply agree
        return;
    }
    MemoryTarget streamed;
    if (!ApplyBps(patch, source, streamed, &reason, {}, 7)) {
        if (reason != "the BPS patch is damaged (the result's checksum does not match)") std::abort();
        PutLe32(patch, patch.size() - 8, Crc32(streamed.text));
        PutLe32(patch, patch.size() - 4, Crc32(std::string_view(patch).substr(0, patch.size() - 4)));
    }
    if (!ApplyBps(patch, source, &target, &reason)) std::abort();
    MemoryTarget again;
    if (!ApplyBps(patch, source, again, &reason, {}, 3) || again.text != target) std::abort();
    std::string ours, copy;
    CreateBps(source, target, &ours);
    if (!ApplyBps(ours, source, &copy) || copy != target) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view source = split == std::string_view::npos ? std::string_view() : input.substr(0, split);
    const std::string_view patch = split == std::string_view::npos ? input : input.substr(split + 1);
    if (patch.size() > (1u << 20)) return 0;

    std::string file(source), reason;
    if (ApplyIps(patch, &file, &reason)) {
        if (file.size() > source.size() + (std::size_t{1} << 25)) std::abort();  // IPS reaches 16 MiB and a record past it, no further
        std::string again, copy(source);
        if (file.size() <= kIpsLargestFile && CreateIps(source, file, &again) && (!ApplyIps(again, &copy) || copy != file)) std::abort();
    }
    if (FormatOf(patch) == PatchFormat::Bps) CheckBps(std::string(patch), source);
    return 0;
}
