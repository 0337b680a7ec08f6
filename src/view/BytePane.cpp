#include "view/BytePane.h"

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

#include "gridwidget/CellMarks.h"
#include "qt/SjisCodec.h"
#include "qt/Language.h"
#include "text/Translate.h"

namespace zok2 {

namespace {

constexpr int kMargin = 4;

bool LeadByte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool TrailByte(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// The characters of a line's bytes: one per byte, "" for the second byte of a
// double-byte character, "." for a byte that is no character.
std::array<QString, BytePane::kBytesPerLine> LineCharacters(const std::string& bytes, std::size_t from, std::size_t count)
{
    std::array<QString, BytePane::kBytesPerLine> out;
    for (std::size_t i = 0; i < count; ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[from + i]);
        if (b >= 0x20 && b < 0x7F) {
            out[i] = QChar(b);
        } else if (b >= 0xA1 && b <= 0xDF) {
            out[i] = SjisToQString(std::string_view(&bytes[from + i], 1));
        } else if (LeadByte(b) && i + 1 < count && TrailByte(static_cast<std::uint8_t>(bytes[from + i + 1]))) {
            const QString pair = SjisToQString(std::string_view(&bytes[from + i], 2));
            if (pair.size() == 1 && pair[0] != QChar(0xFFFD) && pair[0].isPrint()) {
                out[i] = pair;
                out[++i] = QString();
                continue;
            }
            out[i] = QStringLiteral(".");
        } else {
            out[i] = QStringLiteral(".");
        }
    }
    return out;
}

QString HexLine(const std::string& bytes, std::size_t from, std::size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    for (std::size_t i = 0; i < count; ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[from + i]);
        if (i > 0) text += i == 8 ? QStringLiteral("  ") : QStringLiteral(" ");
        text += QChar(digits[b >> 4]);
        text += QChar(digits[b & 15]);
    }
    return text;
}

}  // namespace

BytePane::BytePane(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("bytePane"));
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setMouseTracking(false);
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
}

void BytePane::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        Measure();
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

void BytePane::Follow(std::int64_t offset)
{
    if (offset >= 0 && offset < m_fileSize) {
        const std::int64_t line = offset / kBytesPerLine;
        const std::int64_t first = FirstLine();
        if (line < first || line >= first + LinesInSight()) {
            const std::int64_t top = std::max<std::int64_t>(0, line - LinesInSight() / 3);
            verticalScrollBar()->setValue(static_cast<int>(std::min<std::int64_t>(top, INT_MAX)));
        }
    }
    viewport()->update();
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
    for (const QString& c : LineCharacters(window.bytes, 0, count)) text += c;
    return text + QStringLiteral("|");
}

void BytePane::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QPalette& pal = palette();
    painter.fillRect(viewport()->rect(), pal.color(QPalette::Base));
    const std::int64_t first = FirstLine();
    const int lines = LinesInSight() + 1;
    m_window = read && m_fileSize > 0 ? read(first * kBytesPerLine, lines * kBytesPerLine) : search::ByteWindow{};
    m_bytesRead += static_cast<std::int64_t>(m_window.bytes.size());
    QColor tint = pal.color(QPalette::Highlight);
    tint.setAlpha(45);
    const CellMarks editedMarks{true, false}, differentMarks{false, true};
    const std::int64_t selFirst = SelectionStart(), selLast = SelectionStart() + SelectionLength() - 1;
    painter.setFont(font());
    for (int l = 0; l < lines; ++l) {
        const std::size_t from = static_cast<std::size_t>(l) * kBytesPerLine;
        if (from >= m_window.bytes.size()) break;
        const std::size_t count = std::min<std::size_t>(kBytesPerLine, m_window.bytes.size() - from);
        const int top = l * m_lineHeight, baseline = top + m_ascent;
        const std::int64_t lineOffset = m_window.start + static_cast<std::int64_t>(from);
        // Fills first: the table's tint, the marks, the current cell.
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t mark = m_window.marks[from + i];
            if (mark == 0) continue;
            const int c = static_cast<int>(i);
            // A pair's fill reaches into the gap after it when the next byte is alike.
            const bool joined = i + 1 < count && m_window.marks[from + i + 1] == mark && c != 7;
            const QRect pair(HexX(c), top, (joined ? 3 : 2) * m_charWidth, m_lineHeight);
            const QRect character(TextX(c), top, m_charWidth, m_lineHeight);
            QColor fill = tint;
            if (mark & search::kByteEdited) fill = editedMarks.Fill();
            else if (mark & search::kByteDifferent) fill = differentMarks.Fill();
            if (mark & search::kByteCurrent) fill = pal.color(QPalette::Highlight);
            painter.fillRect(pair, fill);
            painter.fillRect(character, fill);
            const bool runStart = i == 0 || m_window.marks[from + i - 1] != mark;
            if (runStart && (mark & (search::kByteEdited | search::kByteDifferent))) {
                CellMarks{(mark & search::kByteEdited) != 0, (mark & search::kByteDifferent) != 0}.DrawCorners(painter, pair);
            }
        }
        painter.setPen(pal.color(QPalette::PlaceholderText));
        painter.drawText(kMargin, baseline, QStringLiteral("%1").arg(lineOffset, OffsetDigits(), 16, QLatin1Char('0')).toUpper());
        painter.setPen(pal.color(QPalette::Text));
        painter.drawText(HexX(0), baseline, HexLine(m_window.bytes, from, count));
        const auto characters = LineCharacters(m_window.bytes, from, count);
        QString plain;
        for (std::size_t i = 0; i < count; ++i) plain += characters[i].size() == 1 && characters[i][0].unicode() < 0x80 ? characters[i] : QStringLiteral(" ");
        painter.drawText(TextX(0), baseline, plain);
        for (std::size_t i = 0; i < count; ++i) {
            if (!characters[i].isEmpty() && characters[i][0].unicode() >= 0x80) painter.drawText(TextX(static_cast<int>(i)), baseline, characters[i]);
        }
        // The current cell's bytes again, in the highlight's own text colour.
        painter.setPen(pal.color(QPalette::HighlightedText));
        for (std::size_t i = 0; i < count; ++i) {
            if (!(m_window.marks[from + i] & search::kByteCurrent)) continue;
            painter.drawText(HexX(static_cast<int>(i)), baseline, HexLine(m_window.bytes, from + i, 1));
            painter.drawText(TextX(static_cast<int>(i)), baseline, characters[i]);
        }
        // The selected range framed, line by line.
        if (SelectionLength() > 0 && selLast >= lineOffset && selFirst < lineOffset + static_cast<std::int64_t>(count)) {
            const int a = static_cast<int>(std::max(selFirst, lineOffset) - lineOffset);
            const int b = static_cast<int>(std::min(selLast, lineOffset + static_cast<std::int64_t>(count) - 1) - lineOffset);
            painter.setPen(QPen(pal.color(QPalette::Highlight), 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRect(HexX(a) - 2, top, HexX(b) + 2 * m_charWidth - HexX(a) + 3, m_lineHeight - 1));
        }
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
