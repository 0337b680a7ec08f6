// Saving: settings first, then a ".bak" copy, then the edited cells patched
// into the binary in place.
#include <algorithm>
#include <cstdio>

#include "binary/ByteSource.h"
#include "binary/CellLayout.h"
#include "document/CZOKDoc.h"
#include "document/Messages.h"
#include "framework/AppPath.h"
#include "framework/FileSystem.h"

namespace zok2 {

namespace {

// Byte-level access to the file being patched; every step is checked.
class PatchFile {
public:
    explicit PatchFile(const std::string& path) : m_file(std::fopen(path.c_str(), "r+b"))
    {
        if (m_file) m_size = OpenFileSize(m_file);
        if (m_size < 0) Close();
    }
    ~PatchFile() { Close(); }
    bool IsOpen() const { return m_file != nullptr; }
    // Bytes at or past the end are never written: saving never grows the file.
    bool Contains(std::int64_t offset) const { return offset >= 0 && offset < m_size; }

    int Read(std::int64_t offset)
    {
        if (m_failed || !SeekFile(m_file, offset)) return Fail();
        int c = std::fgetc(m_file);
        return c == EOF ? Fail() : c;
    }
    void Write(std::int64_t offset, std::uint8_t byte)
    {
        if (m_failed || !SeekFile(m_file, offset) || std::fputc(byte, m_file) == EOF) Fail();
    }
    // Replaces the bits of `mask` in the byte at offset with those of `bits`.
    void WriteBits(std::int64_t offset, std::uint8_t mask, std::uint8_t bits)
    {
        if (!Contains(offset) || mask == 0) return;
        if (mask == 0xFF) {
            Write(offset, bits);
            return;
        }
        int old = Read(offset);
        if (old < 0) return;
        Write(offset, static_cast<std::uint8_t>((old & ~mask) | (bits & mask)));
    }
    bool Close()
    {
        if (!m_file) return !m_failed;
        bool ok = std::fflush(m_file) == 0;
        ok = (std::fclose(m_file) == 0) && ok;
        m_file = nullptr;
        if (!ok) m_failed = true;
        return !m_failed;
    }

private:
    int Fail()
    {
        m_failed = true;
        return -1;
    }

    std::FILE* m_file;
    std::int64_t m_size = -1;
    bool m_failed = false;
};

void WriteCell(PatchFile& file, const ColumnLayout& layout, std::int64_t row, std::uint32_t value)
{
    const std::int64_t offset = layout.Offset(row);
    if (offset < 0) return;
    if (layout.kind != ColumnLayout::Kind::Bytes) {
        const std::uint8_t bit = static_cast<std::uint8_t>(1u << layout.BitIn(row));
        file.WriteBits(offset, bit, (value & 1u) ? bit : 0);
        return;
    }
    // A masked column owns only its mask's bits; the other bits belong to whatever
    // else shares the byte.
    for (int i = 0; i < layout.byteCount; ++i) {
        const std::uint8_t mask = static_cast<std::uint8_t>(layout.mask >> (8 * i));
        file.WriteBits(offset + i, layout.masked ? mask : 0xFF, static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

}  // namespace

bool CZOKDoc::WriteEdits(const std::string& path)
{
    if (m_unsavedRegions.empty()) return true;
    PatchFile file(path);
    if (!file.IsOpen()) {
        MessageBox().Show(std::string(messages::kCannotWriteFile) + path);
        return false;
    }
    for (const EditRegion& region : m_unsavedRegions) {
        const auto s = static_cast<std::size_t>(region.section);
        // Decoded compressed rows have no place in the file (there is no compressor).
        if (region.section < 0 || s >= sections.size() || s >= values.size() || IsCompressedSection(region.section)) continue;
        const Section& columns = sections[s];
        for (int c = std::max(region.firstColumn - 1, 0); c <= region.lastColumn - 1 && c < static_cast<int>(columns.size()); ++c) {
            const ColumnLayout layout(columns[static_cast<std::size_t>(c)]);
            const std::int64_t lastRow = std::min<std::int64_t>(region.lastRow - 1, layout.rowCount - 1);
            for (std::int64_t r = std::max(region.firstRow - 1, 0); r <= lastRow; ++r) {
                if (!HasData(region.section, c, static_cast<int>(r))) continue;
                WriteCell(file, layout, r, values[s][static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
            }
        }
    }
    if (!file.Close()) {
        MessageBox().Show(std::string(messages::kWriteFailedMidway) + path);
        return false;
    }
    return true;
}

bool CZOKDoc::OnSaveDocument(const std::string& path)
{
    SaveSettings();

    const bool otherFile = path != GetPathName() && !fs::SameFile(path, GetPathName());
    if (otherFile) {
        // Save As: the new file gets the whole current data, not a patch of whatever was there.
        std::string error;
        if (fs::Exists(path) && !fs::CopyFileReplacing(path, path + ".bak", &error)) {
            MessageBox().Show(std::string(messages::kCannotBackUp) + path + ".bak");
            return false;
        }
        if (!fs::CopyFileReplacing(GetPathName(), path, &error)) {
            MessageBox().Show(std::string(messages::kCannotCopyFile) + path);
            return false;
        }
    } else {
        if (!IsModified()) return true;
        if (!fs::CopyFileReplacing(path, path + ".bak")) {
            MessageBox().Show(std::string(messages::kCannotBackUp) + path + ".bak");
            return false;
        }
    }
    if (!WriteEdits(path)) return false;

    savedUndoDepth = static_cast<std::int32_t>(undoLog.size());
    m_savedState = CurrentState();
    m_unsavedRegions.clear();
    SetTitle(GetAppPath(PathPart::NameOnly, GetPathName()));
    SetModifiedFlag(false);
    return true;
}

}  // namespace zok2
