#include "gridwidget/CellMarks.h"

#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace zok2 {

namespace {

constexpr double kTextContrast = 4.5, kGraphicContrast = 3.0;
const QColor kAmber(255, 176, 0), kAmberMark(214, 120, 0);
const QColor kViolet(150, 110, 255), kVioletMark(120, 70, 200);

double Luminance(const QColor& colour)
{
    auto channel = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

// The palette's own colour for text on `fill` when it reads, else black or white, whichever reads better.
QColor TextOn(const QColor& fill, const QColor& wanted)
{
    if (ContrastRatio(fill, wanted) >= kTextContrast) return wanted;
    return ContrastRatio(fill, Qt::black) >= ContrastRatio(fill, Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
}

}  // namespace

QColor ReadableTint(const QColor& base, const QColor& hue, double amount, const QColor& text)
{
    for (double t = amount; t > 0; t -= 0.02) {
        const QColor fill = Mix(base, hue, t);
        if (ContrastRatio(fill, text) >= kTextContrast) return fill;
    }
    return base;
}

QColor ReadableOn(const QColor& fill, const QColor& colour)
{
    const QColor away = ContrastRatio(fill, Qt::black) >= ContrastRatio(fill, Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
    for (double t = 0; t <= 1.0; t += 0.05) {
        const QColor candidate = Mix(colour, away, t);
        if (ContrastRatio(candidate, fill) >= kTextContrast) return candidate;
    }
    return away;
}

namespace {

// `colour` moved toward `away` (a colour far from every fill) until it stands
// out `ratio` against each of `fills`.
QColor StandingOut(const QColor& colour, const QColor& away, double ratio, std::initializer_list<QColor> fills)
{
    for (double t = 0; t <= 1.0; t += 0.05) {
        const QColor candidate = Mix(colour, away, t);
        if (std::all_of(fills.begin(), fills.end(), [&](const QColor& f) { return ContrastRatio(candidate, f) >= ratio; })) return candidate;
    }
    return away;
}

void Triangle(QPainter& painter, const QPoint& corner, int towardX, const QColor& color)
{
    const QPoint points[3] = {corner, corner + QPoint(towardX, 0), corner + QPoint(0, 6)};
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(points, 3);
    painter.setBrush(Qt::NoBrush);
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
    // Whole steps of 8 bits a channel, as the screen shows them.
    auto channel = [t](int x, int y) { return static_cast<int>(std::lround(x * (1.0 - t) + y * t)); };
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
}

GridColours GridColours::Of(const QPalette& palette)
{
    GridColours c;
    c.base = palette.color(QPalette::Active, QPalette::Base);
    c.text = TextOn(c.base, palette.color(QPalette::Active, QPalette::Text));
    c.header = palette.color(QPalette::Active, QPalette::Button);
    c.headerText = TextOn(c.header, palette.color(QPalette::Active, QPalette::ButtonText));
    c.line = Mix(c.base, c.text, 0.25);
    c.headerLine = Mix(c.header, c.headerText, 0.35);
    c.readOnly = ReadableTint(c.base, c.text, 0.09, c.text);
    c.edited = ReadableTint(c.base, kAmber, 0.3, c.text);
    c.different = ReadableTint(c.base, kViolet, 0.22, c.text);
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    c.selection = ReadableTint(c.base, highlight, 0.35, c.text);
    c.tint = ReadableTint(c.base, highlight, 0.18, c.text);
    // The highlight as the theme has it, darkened or lightened as far as its text needs.
    const QColor highlightedText = palette.color(QPalette::Active, QPalette::HighlightedText);
    c.current = highlight;
    for (double t = 0.05; ContrastRatio(c.current, highlightedText) < kTextContrast && t <= 1.0; t += 0.05) {
        c.current = Mix(highlight, Luminance(highlightedText) > 0.5 ? QColor(Qt::black) : QColor(Qt::white), t);
    }
    c.currentText = TextOn(c.current, highlightedText);
    c.dimText = StandingOut(palette.color(QPalette::Active, QPalette::PlaceholderText), c.text, kTextContrast, {c.base});
    const std::initializer_list<QColor> fills = {c.base, c.readOnly, c.edited, c.different, c.selection, c.line};
    c.editedMark = StandingOut(kAmberMark, c.text, kGraphicContrast, {c.edited, c.selection});
    c.differentMark = StandingOut(kVioletMark, c.text, kGraphicContrast, {c.different, c.selection});
    c.focus = StandingOut(c.text, c.text, kGraphicContrast, fills);
    c.focusInactive = StandingOut(Mix(c.text, c.base, 0.35), c.text, kGraphicContrast, fills);
    return c;
}

void CellMarks::DrawCorners(QPainter& painter, const QRect& cell, const GridColours& colours) const
{
    if (different) Triangle(painter, cell.topRight(), -6, colours.differentMark);
    if (edited) Triangle(painter, cell.topLeft(), 6, colours.editedMark);
}

}  // namespace zok2
