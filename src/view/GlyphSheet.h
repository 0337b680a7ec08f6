#pragma once
// Every character the byte pane can show (ASCII, half-width kana and each
// Shift-JIS pair's character), drawn once as coverage (0 to 255 a pixel) on a
// thread of its own as soon as the pane is shown. Random bytes bring dozens of
// characters never drawn to every page; with the sheet ready a new character
// costs the pane a blend of its coverage in the colours of its look instead of
// a trip through the font engine while the user waits.
#include <QFont>
#include <QRawFont>
#include <QtGlobal>
#include <atomic>
#include <cstdint>
#include <thread>
#include <utility>
#include <vector>

namespace zok2 {

class GlyphSheet {
public:
    // Where the characters go: the pane's character cell, in logical pixels,
    // and the screen's pixel ratio.
    struct Shape {
        int charWidth = 0, lineHeight = 0, ascent = 0;
        qreal ratio = 1;
        bool operator==(const Shape&) const = default;
    };

    GlyphSheet() = default;
    GlyphSheet(const GlyphSheet&) = delete;
    GlyphSheet& operator=(const GlyphSheet&) = delete;
    ~GlyphSheet();

    // Starts drawing `codes` (each one or two cells wide, as `Cells` says) in
    // the font, dropping a sheet of another font or shape. Nothing happens when
    // the same sheet is drawn or ready.
    void Start(const QFont& font, const Shape& shape, std::vector<char16_t> codes);
    // The coverage of a character: `Height()` rows of `Stride()` bytes (two
    // cells; a one-cell character uses the left half). Null until the sheet is
    // ready, and for a character neither font has.
    const uchar* Coverage(char16_t code) const;
    int Stride() const { return m_stride; }
    int Height() const { return m_height; }
    bool Ready() const { return m_ready.load(std::memory_order_acquire); }
    // Waits for the drawing started last (tests and benchmarks).
    void Wait();
    static int Cells(char16_t code) { return code >= 0x80 && !(code >= 0xFF61 && code <= 0xFF9F) ? 2 : 1; }
    // The pane's two fonts: its own, then a Japanese one for what its own lacks.
    static std::pair<QRawFont, QRawFont> PaneFonts(const QFont& font);
    // Which of the two has the character (0 or 1, its glyph in `glyph`), or -1.
    static int FontOf(const std::pair<QRawFont, QRawFont>& fonts, char16_t code, quint32* glyph);

private:
    void Stop();
    void Draw(QString fontText, std::vector<char16_t> codes);

    std::thread m_thread;
    std::atomic<bool> m_ready{false}, m_cancel{false};
    QString m_fontKey;
    Shape m_shape;
    int m_stride = 0, m_height = 0;
    std::vector<uchar> m_pixels;     // written by the drawing thread until m_ready
    std::vector<std::int32_t> m_at;  // a character's first byte in m_pixels, -1 for none
};

}  // namespace zok2
