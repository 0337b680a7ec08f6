#pragma once
// Work over independent items shared by two threads: the caller takes the first
// part, a helper thread the rest. Small work (under `minimum` in total weight)
// stays on the caller, as does everything when no thread can be started.
#include <cstddef>
#include <cstdint>
#include <functional>

namespace zok2 {

// work(from, to, part) handles items [from, to); part is 0 on the calling
// thread and 1 on the helper. The parts split the total weight about evenly.
// An exception from either part reaches the caller after both have ended.
void SplitInTwo(std::size_t count, const std::function<std::uint64_t(std::size_t)>& weight, std::uint64_t minimum,
                const std::function<void(std::size_t, std::size_t, int)>& work);

}  // namespace zok2
