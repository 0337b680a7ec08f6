#include "view/BytePane.h"
#include "view/HandleScrollBar.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <climits>
#include <utility>
#include <vector>

#include "gridwidget/CellMarks.h"
#include "qt/SjisCodec.h"
#include "qt/Language.h"
#include "text/Translate.h"

namespace zok2 {

namespace {

constexpr int kMargin = 4;
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool LeadByte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool TrailByte(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// The character of a byte that stands alone (ASCII or half-width kana), or 0.
const std::array<char16_t, 256>& SingleByteCharacters()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0x20; b < 0x7F; ++b) t[static_cast<std::size_t>(b)] = static_cast<char16_t>(b);
        for (int b = 0xA1; b <= 0xDF; ++b) {
            const char byte = static_cast<char>(b);
            const QString text = SjisToQString(std::string_view(&byte, 1));
            if (text.size() == 1) t[static_cast<std::size_t>(b)] = text[0].unicode();
        }
        return t;
    }();
    return table;
}

// The character of a double-byte pair, or 0 when it is none. Every pair is
// decoded at the first need, in one text with a line break after each pair (a
// break is never part of a pair, so a pair the decoder refuses cannot take its
// neighbour with it), so scrolling never meets the decoder again.
char16_t PairCharacter(std::uint8_t lead, std::uint8_t trail)
{
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> t(0x8000, 0);
        std::string pairs;
        pairs.reserve(3 * 128 * 192);
        for (int l = 0x80; l <= 0xFF; ++l) {
            if (!LeadByte(static_cast<std::uint8_t>(l))) continue;
            for (int r = 0x40; r <= 0xFC; ++r) {
                if (!TrailByte(static_cast<std::uint8_t>(r))) continue;
                pairs += static_cast<char>(l);
                pairs += static_cast<char>(r);
                pairs += '\n';
            }
        }
        const QString text = SjisToQString(pairs);
        qsizetype at = 0;
        for (int l = 0x80; l <= 0xFF; ++l) {
            if (!LeadByte(static_cast<std::uint8_t>(l))) continue;
            for (int r = 0x40; r <= 0xFC; ++r) {
                if (!TrailByte(static_cast<std::uint8_t>(r))) continue;
                const qsizetype end = text.indexOf(QLatin1Char('\n'), at);
                if (end < 0) return t;  // the decoder lost a break: the pairs after it show as bytes
                // Windows decodes a pair its code page has no character for as
                // the page's default character, ・, whose own code is 0x8145.
                const bool standIn = end == at + 1 && text[at] == QChar(0x30FB) && !(l == 0x81 && r == 0x45);
                if (end == at + 1 && text[at] != QChar(0xFFFD) && text[at].isPrint() && !standIn) t[static_cast<std::size_t>((l - 0x80) << 8 | r)] = text[at].unicode();
                at = end + 1;
            }
        }
        return t;
    }();
    return lead >= 0x80 ? table[static_cast<std::size_t>((lead - 0x80) << 8 | trail)] : 0;
}

// The characters of a line's bytes: one per byte, 0 for the second byte of a
// double-byte character, "." for a byte that is no character.
std::array<char16_t, BytePane::kBytesPerLine> LineCharacters(const std::string& bytes, std::size_t from, std::size_t count)
{
    std::array<char16_t, BytePane::kBytesPerLine> out{};
    const auto& single = SingleByteCharacters();
    for (std::size_t i = 0; i < count; ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[from + i]);
        if (single[b] != 0) {
            out[i] = single[b];
            continue;
        }
        if (LeadByte(b) && i + 1 < count) {
            const auto trail = static_cast<std::uint8_t>(bytes[from + i + 1]);
            const char16_t c = TrailByte(trail) ? PairCharacter(b, trail) : 0;
            if (c != 0) {
                out[i] = c;
                out[++i] = 0;
                continue;
            }
        }
        out[i] = u'.';
    }
    return out;
}

QString HexLine(const std::string& bytes, std::size_t from, std::size_t count)
{
    QString text;
    for (std::size_t i = 0; i < count; ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[from + i]);
        if (i > 0) text += i == 8 ? QStringLiteral("  ") : QStringLiteral(" ");
        text += QChar(kHexDigits[b >> 4]);
        text += QChar(kHexDigits[b & 15]);
    }
    return text;
}

// Every character a line can show, each once.
std::vector<char16_t> CharactersShown()
{
    std::vector<bool> seen(0x10000, false);
    std::vector<char16_t> codes;
    auto add = [&](char16_t c) {
        if (c != 0 && !seen[c]) {
            seen[c] = true;
            codes.push_back(c);
        }
    };
    for (char16_t c : SingleByteCharacters()) add(c);
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (LeadByte(static_cast<std::uint8_t>(lead)) && TrailByte(static_cast<std::uint8_t>(trail))) {
                add(PairCharacter(static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail)));
            }
        }
    }
    return codes;
}

}  // namespace

BytePane::BytePane(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("bytePane"));
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBar(new HandleScrollBar(this));
    viewport()->setMouseTracking(false);
    // Every paint covers what it was asked for with the picture of the lines.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(font().pointSizeF() > 0 ? font().pointSizeF() : 9);
    setFont(fixed);
    Measure();
}

void BytePane::Measure()
{
    const QFontMetricsF metrics(font());
    m_charWidth = std::max(1, qRound(metrics.horizontalAdvance(QStringLiteral("0123456789ABCDEF")) / 16));
    m_lineHeight = std::max(1, qRound(metrics.height()) + 1);
    m_ascent = qRound(metrics.ascent());
    m_fonts = GlyphSheet::PaneFonts(font());
    m_sheetAsked = false;
    ForgetTiles();
}

void BytePane::ForgetTiles()
{
    m_slots.clear();
    m_slotCount = 0;
    m_toDraw.clear();
    m_atlas = QImage();
    for (auto& look : m_singleSlots) look.fill(-1);
}

void BytePane::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) viewport()->update();  // every line in the new colours
    if (event->type() == QEvent::FontChange) {
        Measure();
        viewport()->update();
        UpdateScrollBar();
    }
}

int BytePane::OffsetDigits() const
{
    int digits = 8;
    for (std::int64_t last = m_fileSize > 0 ? m_fileSize - 1 : 0; (last >> (4 * digits)) != 0;) ++digits;
    return digits;
}

int BytePane::HexX(int column) const { return kMargin + (OffsetDigits() + 2 + 3 * column + (column >= 8 ? 1 : 0)) * m_charWidth; }
int BytePane::TextX(int column) const { return HexX(kBytesPerLine) + (1 + column) * m_charWidth; }

int BytePane::PreferredWidth() const
{
    return TextX(kBytesPerLine) + kMargin + verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
}

void BytePane::SetFileSize(std::int64_t size)
{
    m_fileSize = std::max<std::int64_t>(size, 0);
    m_anchor = m_end = -1;
    UpdateScrollBar();
    viewport()->update();
}

int BytePane::LinesInSight() const { return std::max(1, viewport()->height() / m_lineHeight); }

std::int64_t BytePane::FirstLine() const { return verticalScrollBar()->value(); }

void BytePane::UpdateScrollBar()
{
    const std::int64_t lines = (m_fileSize + kBytesPerLine - 1) / kBytesPerLine;
    const std::int64_t last = std::max<std::int64_t>(0, lines - LinesInSight());
    verticalScrollBar()->setRange(0, static_cast<int>(std::min<std::int64_t>(last, INT_MAX)));
    verticalScrollBar()->setPageStep(LinesInSight());
    verticalScrollBar()->setSingleStep(1);
}

void BytePane::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBar();
}

void BytePane::Follow(std::int64_t offset, bool onlyTheCurrentCellMoved)
{
    bool scrolled = false;
    if (offset >= 0 && offset < m_fileSize) {
        const std::int64_t line = offset / kBytesPerLine;
        const std::int64_t first = FirstLine();
        if (line < first || line >= first + LinesInSight()) {
            const std::int64_t top = std::max<std::int64_t>(0, line - LinesInSight() / 3);
            verticalScrollBar()->setValue(static_cast<int>(std::min<std::int64_t>(top, INT_MAX)));
            scrolled = true;
        }
    }
    const std::int64_t left = m_currentPainted;
    m_currentPainted = offset;
    if (scrolled || !onlyTheCurrentCellMoved || m_frameFirstLine != FirstLine()) {
        viewport()->update();
        return;
    }
    // Only the lines of the cell left and of the cell reached change (a cell
    // spans at most four bytes, so at most two lines each).
    auto updateLines = [this](std::int64_t at) {
        const std::int64_t line = at / kBytesPerLine - FirstLine();
        if (line >= 0 && line <= LinesInSight()) viewport()->update(QRect(0, static_cast<int>(line) * m_lineHeight, viewport()->width(), 2 * m_lineHeight));
    };
    for (std::size_t i = 0; i < m_window.marks.size(); ++i) {
        if (m_window.marks[i] & search::kByteCurrent) {
            updateLines(m_window.start + static_cast<std::int64_t>(i));
            break;
        }
    }
    if (left >= 0) updateLines(left);
    if (offset >= 0) updateLines(offset);
}

std::int64_t BytePane::OffsetAt(const QPoint& point) const
{
    const std::int64_t line = FirstLine() + point.y() / m_lineHeight;
    int column = -1;
    for (int i = 0; i < kBytesPerLine && column < 0; ++i) {
        if (point.x() >= HexX(i) && point.x() < HexX(i) + 2 * m_charWidth) column = i;
        if (point.x() >= TextX(i) && point.x() < TextX(i) + m_charWidth) column = i;
    }
    if (column < 0 || point.y() < 0) return -1;
    const std::int64_t offset = line * kBytesPerLine + column;
    return offset < m_fileSize ? offset : -1;
}

QRect BytePane::PairRect(std::int64_t offset) const
{
    const std::int64_t line = offset / kBytesPerLine - FirstLine();
    const int column = static_cast<int>(offset % kBytesPerLine);
    return QRect(HexX(column), static_cast<int>(line) * m_lineHeight, 2 * m_charWidth, m_lineHeight);
}

void BytePane::Select(std::int64_t first, std::int64_t last)
{
    m_anchor = first;
    m_end = last;
    viewport()->update();
}

QString BytePane::LineText(std::int64_t line)
{
    const search::ByteWindow window = read ? read(line * kBytesPerLine, kBytesPerLine) : search::ByteWindow{};
    const std::size_t count = window.bytes.size();
    QString text = QStringLiteral("%1").arg(line * kBytesPerLine, OffsetDigits(), 16, QLatin1Char('0')).toUpper() + QStringLiteral("  ");
    text += HexLine(window.bytes, 0, count).leftJustified(3 * kBytesPerLine, QLatin1Char(' ')) + QStringLiteral(" |");
    const auto characters = LineCharacters(window.bytes, 0, count);
    for (std::size_t i = 0; i < count; ++i) {
        if (characters[i] != 0) text += QChar(characters[i]);
    }
    return text + QStringLiteral("|");
}

void BytePane::PrepareLooks()
{
    if (m_coloursKey != palette().cacheKey()) {
        m_colours = GridColours::Of(palette());
        m_coloursKey = palette().cacheKey();
    }
    const GridColours& c = m_colours;
    const QColor colours[kLooks][2] = {{c.base, c.text},       {c.tint, c.text},       {c.edited, c.text},
                                       {c.different, c.text}, {c.current, c.currentText}, {c.base, c.dimText}};
    bool changed = false;
    for (int look = 0; look < kLooks; ++look) {
        for (int part = 0; part < 2; ++part) {
            changed = changed || m_lookColours[look][part] != colours[look][part].rgba();
            m_lookColours[look][part] = colours[look][part].rgba();
        }
    }
    if (changed) {
        for (int look = 0; look < kLooks; ++look) {
            const QRgb back = m_lookColours[look][0], fore = m_lookColours[look][1];
            auto mix = [](int b, int f, int a) { return (b * (255 - a) + f * a + 127) / 255; };
            for (int a = 0; a < 256; ++a) {
                m_blends[look][static_cast<std::size_t>(a)] =
                    qRgb(mix(qRed(back), qRed(fore), a), mix(qGreen(back), qGreen(fore), a), mix(qBlue(back), qBlue(fore), a));
            }
        }
    }
    // The ratio is asked once a paint (asking a widget for it goes up to its screen).
    const qreal ratio = devicePixelRatioF();
    const bool newRatio = m_tileRatio != ratio;
    m_tileRatio = ratio;
    if (!m_sheetAsked || newRatio) {
        static const std::vector<char16_t> codes = CharactersShown();
        m_sheet.Start(font(), {m_charWidth, m_lineHeight, m_ascent, ratio}, codes);
        m_sheetAsked = true;
    }
    // A full atlas starts again (a file of every kanji): at most one paint draws all it shows anew.
    if (changed || newRatio || m_slotCount > AtlasCapacity() - 4 * kBytesPerLine * (LinesInSight() + 1)) ForgetTiles();
}

void BytePane::paintEvent(QPaintEvent* event)
{
    PrepareLooks();
    const qreal ratio = m_tileRatio;
    if (!m_atlas.isNull() && m_atlas.devicePixelRatio() != ratio) ForgetTiles();
    // Only the lines asked for; the screen keeps the others from the last paint.
    const QRect exposed = event->rect();
    const int firstPainted = std::max(0, exposed.top() / m_lineHeight);
    const int lines = std::max(0, std::min(LinesInSight() + 1, exposed.bottom() / m_lineHeight + 1) - firstPainted);
    if (firstPainted == 0 && lines >= LinesInSight()) m_frameFirstLine = FirstLine();
    const std::int64_t first = FirstLine() + firstPainted;
    m_window = read && m_fileSize > 0 && lines > 0 ? read(first * kBytesPerLine, lines * kBytesPerLine) : search::ByteWindow{};
    m_bytesRead += static_cast<std::int64_t>(m_window.bytes.size());
    auto lookOf = [](std::uint8_t mark) {
        if (mark & search::kByteCurrent) return kCurrent;
        if (mark & search::kByteEdited) return kEdited;
        if (mark & search::kByteDifferent) return kDifferent;
        return mark & search::kByteInTable ? kTinted : kPlain;
    };
    // First what goes where (the characters new to the atlas drawn into it), then the copies.
    std::vector<Copy> copies;
    std::vector<std::size_t> lineStarts;
    copies.reserve(static_cast<std::size_t>(lines) * (3 * kBytesPerLine + 16));
    const int digits = OffsetDigits();
    std::array<int, kBytesPerLine> hexX{}, textX{};
    for (int c = 0; c < kBytesPerLine; ++c) {
        hexX[static_cast<std::size_t>(c)] = HexX(c);
        textX[static_cast<std::size_t>(c)] = TextX(c);
    }
    for (int l = 0; l < lines; ++l) {
        const std::size_t from = static_cast<std::size_t>(l) * kBytesPerLine;
        if (from >= m_window.bytes.size()) break;
        lineStarts.push_back(copies.size());
        const std::size_t count = std::min<std::size_t>(kBytesPerLine, m_window.bytes.size() - from);
        const std::int64_t lineOffset = m_window.start + static_cast<std::int64_t>(from);
        for (int k = 0; k < digits; ++k) {
            const int digit = static_cast<int>((lineOffset >> (4 * (digits - 1 - k))) & 15);
            copies.push_back({SlotOf(kHexDigits[digit], kOffset, 1), 1, kMargin + k * m_charWidth});
        }
        const auto characters = LineCharacters(m_window.bytes, from, count);
        for (std::size_t i = 0; i < count; ++i) {
            const auto b = static_cast<std::uint8_t>(m_window.bytes[from + i]);
            const Look look = lookOf(m_window.marks[from + i]);
            copies.push_back({SlotOf(kHexDigits[b >> 4], look, 1), 1, hexX[i]});
            copies.push_back({SlotOf(kHexDigits[b & 15], look, 1), 1, hexX[i] + m_charWidth});
            if (characters[i] != 0) {
                // A double-byte character covers its two bytes' cells.
                const int cells = GlyphSheet::Cells(characters[i]);
                copies.push_back({SlotOf(characters[i], look, cells), cells, textX[i]});
            }
        }
    }
    lineStarts.push_back(copies.size());
    DrawNewSlots();

    // Each line is put together in a picture of one line, small enough to stay
    // in the processor's cache, and then put on the screen.
    const QSize lineSize(qRound(viewport()->width() * ratio), qRound(m_lineHeight * ratio));
    if (m_line.size() != lineSize) {
        m_line = QImage(lineSize, QImage::Format_RGB32);  // opaque: onto the screen as a copy, not a blend
        m_line.setDevicePixelRatio(ratio);
    }
    QPainter screen(viewport());
    const std::int64_t selFirst = SelectionStart(), selLast = SelectionStart() + SelectionLength() - 1;
    const Canvas canvas{m_line.bits(), m_line.bytesPerLine(), m_line.width(), m_line.height(), ratio};
    const std::size_t linesWithBytes = lineStarts.size() - 1;
    for (std::size_t l = 0; l < linesWithBytes; ++l) {
        const std::size_t from = l * kBytesPerLine;
        const std::size_t count = std::min<std::size_t>(kBytesPerLine, m_window.bytes.size() - from);
        const std::int64_t lineOffset = m_window.start + static_cast<std::int64_t>(from);
        m_line.fill(m_lookColours[kPlain][0]);
        PutSlots(canvas, copies.data() + lineStarts[l], copies.data() + lineStarts[l + 1]);
        // Over the copies: the gaps inside a marked cell, the marks' corners, the selection's frame.
        QPainter painter;
        auto linePainter = [&]() -> QPainter& {
            if (!painter.isActive()) painter.begin(&m_line);
            return painter;
        };
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t mark = m_window.marks[from + i];
            const int c = static_cast<int>(i);
            if (mark != 0 && i + 1 < count && i != 7 && m_window.marks[from + i + 1] == mark) {
                FillCanvas(canvas, QRect(hexX[i] + 2 * m_charWidth, 0, m_charWidth, m_lineHeight), m_lookColours[lookOf(mark)][0]);
            }
            const bool runStart = i == 0 || m_window.marks[from + i - 1] != mark;
            if (runStart && (mark & (search::kByteEdited | search::kByteDifferent))) {
                CellMarks{(mark & search::kByteEdited) != 0, (mark & search::kByteDifferent) != 0}
                    .DrawCorners(linePainter(), QRect(HexX(c), 0, 2 * m_charWidth, m_lineHeight), m_colours);
            }
        }
        if (SelectionLength() > 0 && selLast >= lineOffset && selFirst < lineOffset + static_cast<std::int64_t>(count)) {
            const int a = static_cast<int>(std::max(selFirst, lineOffset) - lineOffset);
            const int b = static_cast<int>(std::min(selLast, lineOffset + static_cast<std::int64_t>(count) - 1) - lineOffset);
            linePainter().setPen(QPen(m_colours.focus, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRect(HexX(a) - 2, 0, HexX(b) + 2 * m_charWidth - HexX(a) + 3, m_lineHeight - 1));
        }
        if (painter.isActive()) painter.end();
        screen.drawImage(QPoint(0, (firstPainted + static_cast<int>(l)) * m_lineHeight), m_line);
    }
    // Below the file's last line.
    const int blankTop = (firstPainted + static_cast<int>(linesWithBytes)) * m_lineHeight;
    if (blankTop < exposed.bottom() + 1) {
        screen.fillRect(QRect(0, blankTop, viewport()->width(), exposed.bottom() + 1 - blankTop), QColor::fromRgba(m_lookColours[kPlain][0]));
    }
}

void BytePane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    const std::int64_t offset = OffsetAt(event->position().toPoint());
    if (offset < 0) return;
    m_anchor = m_end = offset;
    m_dragging = true;
    m_dragged = false;
    viewport()->update();
}

void BytePane::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) return;
    const std::int64_t offset = OffsetAt(event->position().toPoint());
    if (offset < 0 || offset == m_end) return;
    m_end = offset;
    m_dragged = true;
    viewport()->update();
}

void BytePane::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_dragging) return QAbstractScrollArea::mouseReleaseEvent(event);
    m_dragging = false;
    if (!m_dragged && m_anchor >= 0 && byteClicked) byteClicked(m_anchor);
}

void BytePane::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* table = menu.addAction(T("BytePane", "選択範囲からテーブルを作成(&T)..."));
    table->setEnabled(SelectionLength() > 1 && static_cast<bool>(newTableFromRange));
    if (menu.exec(event->globalPos()) == table) newTableFromRange(SelectionStart(), SelectionLength());
}

}  // namespace zok2
