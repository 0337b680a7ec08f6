#include "view/GlyphSheet.h"

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <algorithm>
#include <utility>

namespace zok2 {

namespace {

constexpr int kPageColumns = 64, kPageRows = 16;

}  // namespace

GlyphSheet::~GlyphSheet() { Stop(); }

void GlyphSheet::Stop()
{
    m_cancel.store(true);
    if (m_thread.joinable()) m_thread.join();
    m_cancel.store(false);
}

void GlyphSheet::Wait()
{
    if (m_thread.joinable()) m_thread.join();
}

void GlyphSheet::Start(const QFont& font, const Shape& shape, std::vector<char16_t> codes)
{
    // The drawing thread gets the font as its description: a font is shared
    // with the window's own and its engine must not be reached from two threads.
    const QString key = font.toString();
    if (key == m_fontKey && shape == m_shape && (Ready() || m_thread.joinable())) return;
    Stop();
    m_ready.store(false);
    m_fontKey = key;
    m_shape = shape;
    m_stride = qRound(2 * shape.charWidth * shape.ratio);
    m_height = qRound(shape.lineHeight * shape.ratio);
    m_pixels.clear();
    m_at.assign(0x10000, -1);
    // A sheet as large as this (very large text on a dense screen) is not worth
    // its memory: the pane then draws each character as it comes.
    const double bytes = static_cast<double>(m_stride) * m_height * static_cast<double>(codes.size());
    if (m_stride <= 0 || m_height <= 0 || bytes > 48.0 * 1024 * 1024) return;
    m_thread = std::thread([this, key, codes = std::move(codes)]() mutable { Draw(key, std::move(codes)); });
}

const uchar* GlyphSheet::Coverage(char16_t code) const
{
    if (!Ready()) return nullptr;
    const std::int32_t at = m_at[code];
    return at < 0 ? nullptr : m_pixels.data() + at;
}

std::pair<QRawFont, QRawFont> GlyphSheet::PaneFonts(const QFont& font)
{
    // Kanji are drawn without the font's hinting: a character never drawn
    // before then takes a fraction of the time to rasterise, and at this size
    // it reads as well.
    QFont japanese = font;
    japanese.setHintingPreference(QFont::PreferNoHinting);
    return {QRawFont::fromFont(font), QRawFont::fromFont(japanese, QFontDatabase::Japanese)};
}

int GlyphSheet::FontOf(const std::pair<QRawFont, QRawFont>& fonts, char16_t code, quint32* glyph)
{
    const QString text(QChar{code});
    for (int f = 0; f < 2; ++f) {
        const QRawFont& raw = f == 0 ? fonts.first : fonts.second;
        if (!raw.isValid()) continue;
        const QList<quint32> glyphs = raw.glyphIndexesForString(text);
        if (glyphs.size() != 1 || glyphs[0] == 0) continue;
        *glyph = glyphs[0];
        return f;
    }
    return -1;
}

void GlyphSheet::Draw(QString fontText, std::vector<char16_t> codes)
{
    QFont font;
    font.fromString(fontText);
    const std::pair<QRawFont, QRawFont> fonts = PaneFonts(font);
    const Shape shape = m_shape;
    const int tileWidth = m_stride, tileHeight = m_height;
    QImage page(kPageColumns * tileWidth, kPageRows * tileHeight, QImage::Format_RGB32);
    page.setDevicePixelRatio(shape.ratio);
    std::vector<uchar> pixels;
    std::vector<std::int32_t> at(0x10000, -1);
    for (std::size_t first = 0; first < codes.size(); first += kPageColumns * kPageRows) {
        if (m_cancel.load()) return;
        // White on black: the green of a pixel is the character's coverage.
        page.fill(Qt::black);
        QList<quint32> glyphs[2];
        QList<QPointF> positions[2];
        std::vector<std::pair<char16_t, int>> placed;  // a character and its tile on the page
        const std::size_t last = std::min(codes.size(), first + kPageColumns * kPageRows);
        for (std::size_t i = first; i < last; ++i) {
            const int tile = static_cast<int>(i - first);
            quint32 glyph = 0;
            const int f = FontOf(fonts, codes[i], &glyph);
            if (f < 0) continue;
            glyphs[f].append(glyph);
            positions[f].append(QPointF((tile % kPageColumns) * tileWidth / shape.ratio, (tile / kPageColumns) * tileHeight / shape.ratio + shape.ascent));
            placed.emplace_back(codes[i], tile);
        }
        QPainter painter(&page);
        painter.setPen(Qt::white);
        for (int f = 0; f < 2; ++f) {
            if (glyphs[f].isEmpty()) continue;
            QGlyphRun run;
            run.setRawFont(f == 0 ? fonts.first : fonts.second);
            run.setGlyphIndexes(glyphs[f]);
            run.setPositions(positions[f]);
            painter.drawGlyphRun(QPointF(0, 0), run);
        }
        painter.end();
        for (const auto& [code, tile] : placed) {
            at[code] = static_cast<std::int32_t>(pixels.size());
            const int x0 = (tile % kPageColumns) * tileWidth, y0 = (tile / kPageColumns) * tileHeight;
            // One-cell characters keep only their cell: what a wide glyph draws past it is cut, as on screen.
            const int width = std::min(tileWidth, qRound(Cells(code) * shape.charWidth * shape.ratio));
            for (int y = 0; y < tileHeight; ++y) {
                const auto* row = reinterpret_cast<const QRgb*>(page.constScanLine(y0 + y)) + x0;
                for (int x = 0; x < tileWidth; ++x) pixels.push_back(x < width ? static_cast<uchar>(qGreen(row[x])) : 0);
            }
        }
    }
    m_pixels = std::move(pixels);
    m_at = std::move(at);
    m_ready.store(true, std::memory_order_release);
}

}  // namespace zok2
