// libFuzzer target: a source file and a patch from one input (split at the first
// NUL byte), applied as IPS and as BPS. A patch that applies must give a result
// that a patch of our own reproduces; nothing may read or write out of bounds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "patch/Patches.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view source = split == std::string_view::npos ? std::string_view() : input.substr(0, split);
    const std::string_view patch = split == std::string_view::npos ? input : input.substr(split + 1);
    if (patch.size() > (1u << 20)) return 0;

    std::string file(source), reason;
    if (zok2::patch::ApplyIps(patch, &file, &reason)) {
        std::string again, copy(source);
        if (file.size() <= zok2::patch::kIpsLargestFile && zok2::patch::CreateIps(source, file, &again) &&
            (!zok2::patch::ApplyIps(again, &copy) || copy != file)) {
            std::abort();
        }
    }
    std::string target;
    if (zok2::patch::ApplyBps(patch, source, &target, &reason)) {
        std::string again, copy;
        zok2::patch::CreateBps(source, target, &again);
        if (!zok2::patch::ApplyBps(again, source, &copy) || copy != target) std::abort();
    }
    return 0;
}
