// The byte pane's characters: each one drawn once a look into a slot of the
// atlas (blended from the glyph sheet when it is ready, through the font
// engine otherwise), and slots copied into the picture of a line.
#include <QGlyphRun>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "view/BytePane.h"

namespace zok2 {

// Every character is drawn once, for each of its looks, into a slot of one
// opaque picture (the atlas); a paint copies slots into a picture of a line.
// Text is never shaped or blended again while it scrolls, the characters new to
// a paint are drawn together, with one painter, and the hexadecimal digits are
// a handful of slots that stay in the processor's cache.
int BytePane::SlotOf(std::uint32_t code, Look look, int cells)
{
    // ASCII and half-width kana (one cell each) without a lookup.
    const int single = code < 0x80 ? static_cast<int>(code) : code >= 0xFF61 && code <= 0xFF9F ? static_cast<int>(code - 0xFF61 + 0xA1) : -1;
    if (single >= 0 && cells == 1) {
        int& slot = m_singleSlots[look][static_cast<std::size_t>(single)];
        if (slot < 0) slot = NewSlot((static_cast<std::uint64_t>(look) << 40) | (std::uint64_t{1} << 32) | code, code, look, cells);
        return slot;
    }
    const std::uint64_t key = (static_cast<std::uint64_t>(look) << 40) | (static_cast<std::uint64_t>(cells) << 32) | code;
    const auto found = m_slots.find(key);
    return found != m_slots.end() ? found->second : NewSlot(key, code, look, cells);
}

QSize BytePane::SlotPixels(qreal ratio) const { return {qRound(2 * m_charWidth * ratio), qRound(m_lineHeight * ratio)}; }

int BytePane::AtlasCapacity() const
{
    // At most 24 MB of slots, whatever the screen's pixel ratio.
    const double ratio = m_tileRatio > 0 ? m_tileRatio : 1;
    const double slotBytes = 4.0 * 2 * m_charWidth * m_lineHeight * ratio * ratio;
    return std::clamp(static_cast<int>(24.0 * 1024 * 1024 / slotBytes) / kAtlasColumns * kAtlasColumns, kAtlasColumns * 16, kAtlasColumns * 512);
}

int BytePane::NewSlot(std::uint64_t key, std::uint32_t code, Look look, int cells)
{
    if (m_slotCount >= AtlasCapacity()) return -1;  // full until the next paint starts it again
    const int slot = m_slotCount++;
    m_slots.emplace(key, slot);
    m_toDraw.push_back({slot, code, look, cells});
    return slot;
}

void BytePane::DrawNewSlots()
{
    if (m_toDraw.empty()) return;
    const qreal ratio = m_tileRatio;
    // Slots are placed by whole pixels (at a ratio such as 1.5 a slot's
    // logical size would fall between them); the painter draws at their
    // pixels' logical places.
    const QSize slot = SlotPixels(ratio);
    // The atlas grows by whole rows of slots as characters come, doubling.
    const int rowsNeeded = (m_slotCount + kAtlasColumns - 1) / kAtlasColumns;
    const int rowsHeld = m_atlas.isNull() ? 0 : m_atlas.height() / slot.height();
    if (rowsNeeded > rowsHeld) {
        const int rows = std::max(rowsNeeded, std::min(2 * rowsHeld, AtlasCapacity() / kAtlasColumns));
        // A row of slots is a little wider than a power of two: the rows of one
        // slot then fall into different sets of the processor's cache.
        QImage grown(kAtlasColumns * slot.width() + 16, rows * slot.height(), QImage::Format_RGB32);
        grown.setDevicePixelRatio(ratio);
        if (!m_atlas.isNull()) std::memcpy(grown.bits(), m_atlas.constBits(), static_cast<std::size_t>(m_atlas.sizeInBytes()));
        m_atlas = std::move(grown);
    }
    // The characters of the sheet, then the others through the font engine.
    std::erase_if(m_toDraw, [this](const NewTile& tile) { return BlendSlot(tile); });
    if (m_toDraw.empty()) return;
    QPainter painter(&m_atlas);
    painter.setFont(font());
    // The glyphs straight from the pane's font or its Japanese companion, one
    // run for each font and look: no shaping and no search through the
    // system's fonts for each character.
    struct Run {
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    Run runs[2][kLooks];
    for (const NewTile& tile : m_toDraw) {
        const QPoint pixels((tile.slot % kAtlasColumns) * slot.width(), (tile.slot / kAtlasColumns) * slot.height());
        FillCanvas(Canvas{m_atlas.bits(), m_atlas.bytesPerLine(), m_atlas.width(), m_atlas.height(), 1}, QRect(pixels, slot), m_lookColours[tile.look][0]);
        const QPointF at(pixels.x() / ratio, pixels.y() / ratio + m_ascent);
        const auto code = static_cast<char16_t>(tile.code);
        quint32 glyph = 0;
        const int f = GlyphSheet::FontOf(m_fonts, code, &glyph);
        if (f >= 0) {
            runs[f][tile.look].glyphs.append(glyph);
            runs[f][tile.look].positions.append(at);
        } else {
            // What neither font holds, the slow way (the system's fallback fonts), clipped to its slot.
            painter.save();
            painter.setClipRect(QRectF(at.x(), at.y() - m_ascent, tile.cells * m_charWidth, m_lineHeight));
            painter.setPen(QColor::fromRgba(m_lookColours[tile.look][1]));
            painter.drawText(at, QString(QChar(code)));
            painter.restore();
        }
    }
    for (int f = 0; f < 2; ++f) {
        for (int look = 0; look < kLooks; ++look) {
            if (runs[f][look].glyphs.isEmpty()) continue;
            QGlyphRun run;
            run.setRawFont(f == 0 ? m_fonts.first : m_fonts.second);
            run.setGlyphIndexes(runs[f][look].glyphs);
            run.setPositions(runs[f][look].positions);
            painter.setPen(QColor::fromRgba(m_lookColours[look][1]));
            painter.drawGlyphRun(QPointF(0, 0), run);
        }
    }
    painter.end();
    m_toDraw.clear();
}

bool BytePane::BlendSlot(const NewTile& tile)
{
    const uchar* cover = m_useSheet && tile.code <= 0xFFFF ? m_sheet.Coverage(static_cast<char16_t>(tile.code)) : nullptr;
    const QSize pixels = SlotPixels(m_tileRatio);
    const int width = pixels.width(), height = pixels.height();
    if (cover == nullptr || GlyphSheet::Cells(static_cast<char16_t>(tile.code)) != tile.cells ||
        m_sheet.Stride() != width || m_sheet.Height() != height) {
        return false;
    }
    const std::array<QRgb, 256>& colour = m_blends[tile.look];
    const qsizetype stride = m_atlas.bytesPerLine();
    uchar* origin = m_atlas.bits() + (tile.slot / kAtlasColumns) * height * stride + 4 * (tile.slot % kAtlasColumns) * width;
    for (int y = 0; y < height; ++y, cover += width) {
        auto* row = reinterpret_cast<QRgb*>(origin + y * stride);
        for (int x = 0; x < width; ++x) row[x] = colour[cover[x]];
    }
    return true;
}

namespace {

// Rows of a slot copied with a width known to the compiler (the common widths
// of one and two characters), which turns each row into a few moves.
template <std::size_t Bytes>
void CopyRows(uchar* to, qsizetype toStride, const uchar* from, qsizetype fromStride, int rows, std::size_t)
{
    for (int row = 0; row < rows; ++row, from += fromStride, to += toStride) std::memcpy(to, from, Bytes);
}

void CopyRowsAnyWidth(uchar* to, qsizetype toStride, const uchar* from, qsizetype fromStride, int rows, std::size_t bytes)
{
    for (int row = 0; row < rows; ++row, from += fromStride, to += toStride) std::memcpy(to, from, bytes);
}

using RowCopier = void (*)(uchar*, qsizetype, const uchar*, qsizetype, int, std::size_t);

template <std::size_t... Pixels>
constexpr std::array<RowCopier, sizeof...(Pixels)> RowCopiers(std::index_sequence<Pixels...>)
{
    return {&CopyRows<4 * Pixels>...};
}

// Indexed by the width in pixels.
constexpr auto kRowCopiers = RowCopiers(std::make_index_sequence<65>());

}  // namespace

void BytePane::PutSlots(const Canvas& canvas, const Copy* first, const Copy* last) const
{
    const QSize pixels = SlotPixels(canvas.ratio);
    const int slotWidth = pixels.width(), height = std::min(pixels.height(), canvas.height);
    const int cellWidths[3] = {0, qRound(m_charWidth * canvas.ratio), qRound(2 * m_charWidth * canvas.ratio)};
    const qsizetype fromStride = m_atlas.bytesPerLine();
    const uchar* atlas = m_atlas.constBits();
    for (const Copy* copy = first; copy != last; ++copy) {
        if (copy->slot < 0) continue;
        const int left = qRound(copy->x * canvas.ratio);
        const int width = std::min(cellWidths[std::clamp(copy->cells, 1, 2)], canvas.width - left);
        if (left < 0 || width <= 0 || height <= 0) continue;
        const uchar* from = atlas + (copy->slot / kAtlasColumns) * pixels.height() * fromStride + 4 * (copy->slot % kAtlasColumns) * slotWidth;
        const RowCopier rows = static_cast<std::size_t>(width) < kRowCopiers.size() ? kRowCopiers[static_cast<std::size_t>(width)] : &CopyRowsAnyWidth;
        rows(canvas.bits + 4 * left, canvas.stride, from, fromStride, height, 4 * static_cast<std::size_t>(width));
    }
}

void BytePane::FillCanvas(const Canvas& canvas, const QRect& rect, QRgb colour)
{
    const int left = std::max(0, qRound(rect.left() * canvas.ratio)), top = std::max(0, qRound(rect.top() * canvas.ratio));
    const int right = std::min(canvas.width, qRound((rect.left() + rect.width()) * canvas.ratio));
    const int bottom = std::min(canvas.height, qRound((rect.top() + rect.height()) * canvas.ratio));
    for (int y = top; y < bottom; ++y) {
        auto* row = reinterpret_cast<QRgb*>(canvas.bits + y * canvas.stride);
        std::fill(row + left, row + std::max(left, right), colour | 0xFF000000u);
    }
}

}  // namespace zok2
