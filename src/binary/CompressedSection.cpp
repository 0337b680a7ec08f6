// Expanding a compressed section: a pointer table into token-stream blocks
// that copy from a dictionary in the same file.
#include "binary/CompressedSection.h"

#include "binary/ByteSource.h"
#include "binary/CellLayout.h"
#include "document/CZOKDoc.h"
#include "text/SjisText.h"

namespace zok2 {

std::int64_t BankedPointerToOffset(std::int32_t a, std::int32_t bank)
{
    std::int32_t c = bank - 0x80;
    std::int32_t q = c / 2;
    std::int64_t base = static_cast<std::int64_t>(a) + static_cast<std::int64_t>(q) * 0x10000;
    return (c % 2 == 1) ? base : base - 0x8000;
}

namespace {

// Splits "A|B|C" at its first and last bar.
void SplitBlockTable(const std::string& text, std::string* a, std::string* b, std::string* c)
{
    std::size_t first = text::FindChar(text, '|');
    std::size_t last = text::FindLastChar(text, '|');
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

}  // namespace

void CZOKDoc::DecodeCompressedSection(const std::string& method, int section, ByteSource& file)
{
    const std::size_t t = static_cast<std::size_t>(section);
    const std::size_t recordIndex = static_cast<std::size_t>(compressionMap[section]);
    // Only method "1" exists, and its record has exactly four parameters; anything
    // else leaves the section without rows rather than guessing.
    if (method != "1" || compressionRecords[recordIndex].size() != 4) {
        values.emplace_back();
        return;
    }
    const StringList record = compressionRecords[recordIndex];
    const std::uint32_t K = addressCorrection;

    std::string aText, bText, cText;
    SplitBlockTable(record[2], &aText, &bText, &cText);
    std::size_t bar = text::FindChar(record[3], '|');
    std::string dText = bar == text::npos ? std::string() : record[3].substr(0, bar);
    const std::uint32_t A = text::ReadHex(aText);
    const std::uint32_t B = text::ReadHex(bText);
    const std::int32_t C = text::ReadDec(cText);
    const std::uint32_t dictionary = text::ReadHex(dText) + K;
    const std::int32_t bank = file.At(static_cast<std::uint32_t>(A + K));

    // The size, bit and mask of each column are read as in the file; only the
    // position is a different one: an offset inside the expanded record.
    std::vector<ColumnLayout> columns;
    std::vector<std::uint32_t> offsets;
    std::size_t R = 0;
    for (const ColumnDefinition& d : sections[t]) {
        columns.emplace_back(d);
        offsets.push_back(columns.back().address - K);
        if (!d.HasBitSize()) R += static_cast<std::size_t>(std::max(text::ReadDec(d[ColumnField::size]), 0));
    }

    SectionValues rows;
    rows.reserve(2565);
    StringList labels;
    std::vector<std::uint8_t> buffer(R);
    std::size_t k = 0;
    const StringList& blockLabels = lists[t];

    auto byteAt = [&](std::uint64_t index) -> std::uint32_t { return index < R ? buffer[index] : 0u; };
    auto decodeRecord = [&]() {
        ValueRow row(columns.size());
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const ColumnLayout& col = columns[c];
            if (col.kind != ColumnLayout::Kind::Bytes) {
                row[c] = (byteAt(offsets[c]) >> col.bit) & 1u;
            } else {
                std::uint32_t v = 0;
                for (int i = 0; i < col.byteCount; ++i) v |= byteAt(std::uint64_t{offsets[c]} + i) << (8 * i);
                row[c] = col.masked ? (v & col.mask) : v;
            }
        }
        return row;
    };

    for (std::int32_t i = 0; R > 0 && i < C; ++i) {
        const std::uint32_t P = file.LittleEndian(static_cast<std::int64_t>(B) + 2 * static_cast<std::int64_t>(i), 2);
        const std::int64_t O = BankedPointerToOffset(static_cast<std::int32_t>(K + P), bank);
        const std::uint32_t L = file.LittleEndian(O, 2) - 1u;
        if (L > kMaxBlockLength) continue;

        const std::size_t rows0 = rows.size();
        const std::string blockLabel = static_cast<std::size_t>(i) < blockLabels.size() ? blockLabels[static_cast<std::size_t>(i)] : std::string();
        std::uint64_t appended = 0;
        auto produced = [&]() { return static_cast<std::uint64_t>(rows.size() - rows0) * R; };
        auto append = [&](std::uint8_t byte) {
            buffer[k++] = byte;
            ++appended;
            if (k == R) {
                rows.push_back(decodeRecord());
                labels.push_back(rows.size() - 1 == rows0 ? blockLabel : std::string());
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
            if (!file.Contains(pos)) {
                truncated = true;
                break;
            }
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
                    for (int j = 0; j < length && !finished(); ++j) append(file.At(from + j));
                }
                flags = static_cast<std::uint8_t>(flags << 1);
                if (finished()) break;
            }
        }
        if (produced() != L) k = 0;  // drop a partial record of a malformed block
    }

    values.push_back(std::move(rows));
    const std::size_t decodedRows = values.back().size();
    const std::size_t labelListIndex = lists.size();
    compressionRecords[recordIndex].push_back(text::FormatDec(static_cast<std::int64_t>(labelListIndex)));
    lists.push_back(std::move(labels));
    std::string name = definitionNames[t];
    definitionNames.push_back(std::move(name));
    sections.emplace_back();

    for (ColumnDefinition& d : sections[t]) {
        d[ColumnField::rowCount] = text::FormatDec(static_cast<std::int64_t>(decodedRows));
        d[ColumnField::stride] = d.HasBitSize() ? std::string("1") : d[ColumnField::size];
    }
}

}  // namespace zok2
