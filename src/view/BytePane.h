#pragma once
// The file's bytes beside the grid (表示 ▸ バイナリ): the offset, sixteen bytes a
// line and the bytes as text (ASCII, half-width kana and Shift-JIS). The current
// cell's bytes are highlighted, the current table's other bytes tinted, and the
// bytes of edited and differing cells carry the grid's marks. The pane reads
// only the lines in sight, each time it paints, so it costs the same on a file
// of any size; it changes no byte. A click asks for the cell of a byte; a drag
// selects a range that can become a new table.
#include <QAbstractScrollArea>
#include <QImage>
#include <QRawFont>
#include <array>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "gridwidget/CellMarks.h"
#include "search/ByteWindow.h"
#include "view/GlyphSheet.h"

namespace zok2 {

class BytePane : public QAbstractScrollArea {
public:
    static constexpr int kBytesPerLine = 16;

    explicit BytePane(QWidget* parent = nullptr);

    // What the pane shows: the window of `count` bytes from `start`.
    std::function<search::ByteWindow(std::int64_t start, int count)> read;
    // A click on a byte (not a drag).
    std::function<void(std::int64_t offset)> byteClicked;
    // その範囲からテーブルを作成 on a selected range.
    std::function<void(std::int64_t offset, std::int64_t length)> newTableFromRange;

    void SetFileSize(std::int64_t size);
    std::int64_t FileSize() const { return m_fileSize; }
    // Brings the line of `offset` into sight (a third from the top when it was
    // out of sight) and paints again; -1 only paints again. When nothing but the
    // current cell moved, only the lines it left and reached are painted.
    void Follow(std::int64_t offset, bool onlyTheCurrentCellMoved = false);
    std::int64_t FirstLine() const;
    int LinesInSight() const;
    // The width that shows a whole line.
    int PreferredWidth() const;

    // The byte under a point of the viewport (its hexadecimal pair or its
    // character), or -1; the rectangle of a byte's pair in the viewport.
    std::int64_t OffsetAt(const QPoint& point) const;
    QRect PairRect(std::int64_t offset) const;
    // The selected range (length 0: none).
    std::int64_t SelectionStart() const { return std::min(m_anchor, m_end); }
    std::int64_t SelectionLength() const { return m_anchor < 0 ? 0 : std::abs(m_end - m_anchor) + 1; }
    void Select(std::int64_t first, std::int64_t last);
    // The window painted last, and how many bytes were read for paints in all.
    const search::ByteWindow& Painted() const { return m_window; }
    std::int64_t BytesRead() const { return m_bytesRead; }
    // A line as text, as it is drawn ("00000300  12 34 … |text|").
    QString LineText(std::int64_t line);
    // Every character the pane can draw, drawn ahead on a thread of its own.
    const GlyphSheet& Sheet() const { return m_sheet; }
    void WaitForSheet() { m_sheet.Wait(); }
    // Without the sheet every character goes through the font engine (tests compare the two).
    void UseSheet(bool use)
    {
        m_useSheet = use;
        ForgetTiles();
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateScrollBar();
    void Measure();
    int OffsetDigits() const;
    int HexX(int column) const;   // left of a byte's pair
    int TextX(int column) const;  // left of a byte's character

    // How a byte looks: its fill and its text's colour.
    enum Look { kPlain, kTinted, kEdited, kDifferent, kCurrent, kOffset, kLooks };
    static constexpr int kAtlasColumns = 64;
    struct NewTile {
        int slot;
        std::uint32_t code;
        Look look;
        int cells;
    };
    struct Canvas {
        uchar* bits;
        qsizetype stride;
        int width, height;
        qreal ratio;
    };
    void PrepareLooks();
    void ForgetTiles();
    // The atlas slot of a character (or a byte's pair) in a look, -1 when the atlas is full.
    int SlotOf(std::uint32_t code, Look look, int cells);
    int NewSlot(std::uint64_t key, std::uint32_t code, Look look, int cells);
    int AtlasCapacity() const;
    // A slot's size in the atlas's pixels at a pixel ratio.
    QSize SlotPixels(qreal ratio) const;
    void DrawNewSlots();
    // A new slot from the sheet: its coverage blended in its look's colours.
    bool BlendSlot(const NewTile& tile);
    // A slot copied to `x` (logical) of a line's canvas.
    struct Copy {
        int slot, cells, x;
    };
    void PutSlots(const Canvas& canvas, const Copy* first, const Copy* last) const;
    static void FillCanvas(const Canvas& canvas, const QRect& rect, QRgb colour);

    std::pair<QRawFont, QRawFont> m_fonts;  // the pane's own, then a Japanese one
    QRgb m_lookColours[kLooks][2] = {};
    std::array<std::array<QRgb, 256>, kLooks> m_blends{};  // a look's colour at each coverage
    GlyphSheet m_sheet;
    bool m_sheetAsked = false, m_useSheet = true;
    GridColours m_colours;  // chosen against the palette with the key below
    qint64 m_coloursKey = -1;
    qreal m_tileRatio = 0;  // the pixel ratio of the paint under way
    QImage m_atlas;
    int m_slotCount = 0;
    std::unordered_map<std::uint64_t, int> m_slots;
    std::array<std::array<int, 256>, kLooks> m_singleSlots{};  // ASCII, then half-width kana from 0xA1
    std::vector<NewTile> m_toDraw;
    QImage m_line;                       // one line put together before it goes on the screen
    std::int64_t m_frameFirstLine = -1;  // the first line the last whole paint showed
    std::int64_t m_currentPainted = -1;
    std::int64_t m_fileSize = 0;
    int m_charWidth = 8, m_lineHeight = 16, m_ascent = 12;
    std::int64_t m_anchor = -1, m_end = -1;
    bool m_dragging = false, m_dragged = false;
    search::ByteWindow m_window;
    std::int64_t m_bytesRead = 0;
};

}  // namespace zok2
