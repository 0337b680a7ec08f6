#pragma once
// Record sizes proposed for a run of bytes: the strides at which the bytes
// repeat best, as a table of fixed-length records does (a field that holds the
// same kind of value in every record).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zok2::sets {

struct RecordSize {
    std::size_t stride = 0;   // bytes from one record to the next
    double score = 0;         // the share of bytes equal to the byte one stride on (0 to 1)
    std::size_t records = 0;  // whole records the bytes hold at this stride
};

// The strides 2 to `maxStride` (at most half the bytes) that fit best, best
// first, at most `count` of them; a multiple of a stride that fits about as
// well is left out. Linear in the bytes: each stride is one pass over them.
std::vector<RecordSize> ProposeRecordSizes(std::string_view bytes, std::size_t count = 5, std::size_t maxStride = 512);

}  // namespace zok2::sets
