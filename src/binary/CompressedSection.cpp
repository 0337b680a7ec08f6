#include "binary/CompressedSection.h"

#include <algorithm>

#include "binary/BinaryLoader.h"
#include "binary/CellLayout.h"
#include "text/SjisText.h"

namespace zok2 {

std::int64_t BankedPointerToOffset(std::int32_t a, std::int32_t bank)
{
    const std::int32_t c = bank - 0x80;
    const std::int32_t q = c / 2;
    const std::int64_t base = static_cast<std::int64_t>(a) + static_cast<std::int64_t>(q) * 0x10000;
    return (c % 2 == 1) ? base : base - 0x8000;
}

namespace {

// A valid stream yields at most 9 bytes per stream byte (an 18-byte reference
// costs 2); pointers may share blocks, so allow a wide margin beyond that.
constexpr std::int64_t kOutputPerFileByte = 32;

// Splits "A|B|C" at its first and last bar.
void SplitBlockTable(const std::string& text, std::string* a, std::string* b, std::string* c)
{
    const std::size_t first = text::FindChar(text, '|');
    const std::size_t last = text::FindLastChar(text, '|');
    if (first == text::npos) {
        *a = text;
        b->clear();
        c->clear();
        return;
    }
    *a = text.substr(0, first);
    *b = first < last ? text.substr(first + 1, last - first - 1) : std::string();
    *c = text.substr(last + 1);
}

// One expanded record, read by the same cell rule as the file.
struct RecordBytes {
    const std::vector<std::uint8_t>& bytes;
    std::uint8_t At(std::int64_t offset) const
    {
        return offset >= 0 && static_cast<std::size_t>(offset) < bytes.size() ? bytes[static_cast<std::size_t>(offset)] : 0;
    }
    std::uint32_t LittleEndian(std::int64_t offset, int n) const
    {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) v |= static_cast<std::uint32_t>(At(offset + i)) << (8 * i);
        return v;
    }
};

}  // namespace

DecodedSection DecodeBlocks(const StringList& record, const Section& sectionColumns, const TextList& blockLabels,
                            std::uint32_t K, ByteSource& file)
{
    DecodedSection out;
    const std::vector<int> widths = ValueWidths(sectionColumns);
    if (record.size() != 4 || record[0] != "1") {
        out.values = ValueTable(widths, 0);
        return out;
    }
    std::string aText, bText, cText;
    SplitBlockTable(record[2], &aText, &bText, &cText);
    const std::size_t bar = text::FindChar(record[3], '|');
    const std::string dText = bar == text::npos ? std::string() : record[3].substr(0, bar);
    const std::uint32_t A = text::ReadHex(aText);
    const std::uint32_t B = text::ReadHex(bText);
    const std::int32_t C = text::ReadDec(cText);
    const std::uint32_t dictionary = text::ReadHex(dText) + K;
    const std::int32_t bank = file.At(static_cast<std::uint32_t>(A + K));
    // How far into the file the section's data reach (a file cut before there loses them).
    auto reach = [&](std::int64_t position) {
        if (file.Contains(position)) out.extent = std::max(out.extent, position + 1);
    };
    reach(static_cast<std::int64_t>(A) + K);

    // The size, bit and mask of each column are read as in the file; only the
    // position differs: an offset inside the expanded record.
    const std::vector<ColumnLayout> columns = LayoutsOf(sectionColumns);
    std::vector<std::int64_t> offsets;
    std::size_t R = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        offsets.push_back(static_cast<std::uint32_t>(columns[c].address - K));
        if (!sectionColumns[c].HasBitSize()) R += static_cast<std::size_t>(std::max(sectionColumns[c].ByteSize(), 0));
    }

    std::vector<std::uint32_t> decoded;  // row after row
    std::size_t rowTotal = 0;
    decoded.reserve(2565 * columns.size());  // the row list is sized for 2,565 rows up front
    std::vector<std::uint8_t> buffer(R);
    const RecordBytes recordBytes{buffer};
    std::size_t k = 0;
    std::int64_t budget = kOutputPerFileByte * std::max<std::int64_t>(file.Size(), 1) + kMaxBlockLength;

    for (std::int32_t i = 0; R > 0 && i < C && budget > 0; ++i) {
        const std::int64_t entry = static_cast<std::int64_t>(B) + 2 * static_cast<std::int64_t>(i);
        if (!file.Contains(entry) || !file.Contains(entry + 1)) break;  // the table ends with the file
        reach(entry + 1);
        const std::uint32_t P = file.LittleEndian(entry, 2);
        const std::int64_t O = BankedPointerToOffset(static_cast<std::int32_t>(K + P), bank);
        if (!file.Contains(O) || !file.Contains(O + 1)) continue;
        reach(O + 1);
        const std::uint32_t L = file.LittleEndian(O, 2) - 1u;
        if (L > kMaxBlockLength) continue;

        const std::size_t rows0 = rowTotal;
        const std::string_view blockLabel = static_cast<std::size_t>(i) < blockLabels.size() ? blockLabels[static_cast<std::size_t>(i)] : std::string_view();
        std::uint64_t appended = 0;
        auto produced = [&]() { return static_cast<std::uint64_t>(rowTotal - rows0) * R; };
        auto append = [&](std::uint8_t byte) {
            buffer[k++] = byte;
            ++appended;
            --budget;
            if (k == R) {
                for (std::size_t c = 0; c < columns.size(); ++c) {
                    decoded.push_back(DecodeCell(columns[c], recordBytes, offsets[c], columns[c].bit));
                }
                ++rowTotal;
                out.labels.push_back(rowTotal - 1 == rows0 ? blockLabel : std::string_view());
                k = 0;
            }
        };
        // The block ends when its rows fill L bytes; a malformed block (L not a
        // multiple of R, or its stream running off the end of the file) ends once
        // it has produced L bytes or runs out of data, keeping the rows completed.
        auto finished = [&]() { return produced() == L || appended >= L; };

        std::int64_t pos = O + 2;
        bool truncated = false;
        while (!finished() && !truncated) {
            if (!file.Contains(pos)) break;
            std::uint8_t flags = file.At(pos++);
            for (int token = 0; token < 8; ++token) {
                if (flags & 0x80) {
                    if (!file.Contains(pos)) {
                        truncated = true;
                        break;
                    }
                    append(file.At(pos++));
                } else {
                    if (!file.Contains(pos + 1)) {
                        truncated = true;
                        break;
                    }
                    const std::uint8_t h = file.At(pos), l = file.At(pos + 1);
                    pos += 2;
                    const std::int64_t from = static_cast<std::int64_t>(dictionary) + (h & 0x0F) * 256 + l;
                    const int length = (h >> 4) + 3;
                    for (int j = 0; j < length && !finished(); ++j) {
                        reach(from + j);
                        append(file.At(from + j));
                    }
                }
                flags = static_cast<std::uint8_t>(flags << 1);
                if (finished()) break;
            }
        }
        reach(pos - 1);
        if (produced() != L) k = 0;  // drop a partial record of a malformed block
    }

    out.values = ValueTable(widths, rowTotal);
    for (std::size_t r = 0; r < rowTotal; ++r) {
        for (std::size_t c = 0; c < columns.size(); ++c) out.values.Set(r, c, decoded[r * columns.size() + c]);
    }
    return out;
}

}  // namespace zok2
