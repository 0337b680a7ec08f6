#include "sets/RecordSizes.h"

#include <algorithm>

namespace zok2::sets {

namespace {

// How many bytes equal the byte `stride` further on.
std::size_t Matches(const unsigned char* data, std::size_t size, std::size_t stride)
{
    std::size_t matches = 0;
    const unsigned char* ahead = data + stride;
    const std::size_t n = size - stride;
    for (std::size_t i = 0; i < n; ++i) matches += data[i] == ahead[i];
    return matches;
}

}  // namespace

std::vector<RecordSize> ProposeRecordSizes(std::string_view bytes, std::size_t count, std::size_t maxStride)
{
    std::vector<RecordSize> all;
    const std::size_t limit = std::min(maxStride, bytes.size() / 2);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t stride = 2; stride <= limit; ++stride) {
        RecordSize size;
        size.stride = stride;
        size.score = static_cast<double>(Matches(data, bytes.size(), stride)) / static_cast<double>(bytes.size() - stride);
        size.records = bytes.size() / stride;
        all.push_back(size);
    }
    // A multiple of a record size fits about as well as the record itself: it
    // is left out unless it fits clearly better than every stride dividing it.
    auto scoreOf = [&](std::size_t stride) { return all[stride - 2].score; };
    std::vector<RecordSize> kept;
    for (const RecordSize& candidate : all) {
        bool dominated = false;
        for (std::size_t d = 2; d * 2 <= candidate.stride && !dominated; ++d) {
            dominated = candidate.stride % d == 0 && scoreOf(d) * 1.1 + 0.01 >= candidate.score;
        }
        if (!dominated) kept.push_back(candidate);
    }
    // Best first; of two that fit equally well the shorter comes first.
    std::stable_sort(kept.begin(), kept.end(), [](const RecordSize& a, const RecordSize& b) { return a.score > b.score; });
    std::vector<RecordSize> chosen(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(std::min(count, kept.size())));
    return chosen;
}

}  // namespace zok2::sets
