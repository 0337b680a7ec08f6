#include "framework/Parallel.h"

#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace zok2 {

void SplitInTwo(std::size_t count, const std::function<std::uint64_t(std::size_t)>& weight, std::uint64_t minimum,
                const std::function<void(std::size_t, std::size_t, int)>& work)
{
    std::vector<std::uint64_t> weights(count);
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < count; ++i) total += weights[i] = weight(i);
    if (count < 2 || total < minimum || std::thread::hardware_concurrency() < 2) {
        work(0, count, 0);
        return;
    }
    std::size_t split = 0;
    for (std::uint64_t first = 0; split < count && first + weights[split] / 2 < total / 2; ++split) first += weights[split];
    std::exception_ptr helperFailure;
    std::thread helper;
    try {
        helper = std::thread([&] {
            try {
                work(split, count, 1);
            } catch (...) {
                helperFailure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        work(0, count, 0);  // no thread to be had: all of it here
        return;
    }
    std::exception_ptr ownFailure;
    try {
        work(0, split, 0);
    } catch (...) {
        ownFailure = std::current_exception();
    }
    helper.join();
    if (ownFailure) std::rethrow_exception(ownFailure);
    if (helperFailure) std::rethrow_exception(helperFailure);
}

}  // namespace zok2
