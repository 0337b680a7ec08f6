#pragma once
// The colours of the grid and of the byte pane, and the marks a value cell may
// carry: edited since the last save (amber, a corner mark at the top left) and
// different from the reference file (violet, a corner mark at the top right).
// Every colour comes from the widget's palette or is chosen against it, so that
// text keeps a contrast of at least 4.5:1 on every fill, the corner marks and the
// current cell's frame at least 3:1 against what lies under and beside them, in
// a light theme and in a dark one alike.
#include <QColor>
#include <QRect>

class QPainter;
class QPalette;

namespace zok2 {

// The contrast of two colours as the Web Content Accessibility Guidelines count it (1 to 21).
double ContrastRatio(const QColor& a, const QColor& b);
// `a` with a part `t` (0 to 1) of `b` mixed in.
QColor Mix(const QColor& a, const QColor& b, double t);
// `colour` as it is when it reads on `fill` (4.5:1), else moved toward black or white until it does.
QColor ReadableOn(const QColor& fill, const QColor& colour);
// `base` tinted with up to `amount` of `hue`, as much as still leaves `text` readable on it.
QColor ReadableTint(const QColor& base, const QColor& hue, double amount, const QColor& text);

struct GridColours {
    QColor base, text;                // a value cell
    QColor header, headerText;        // the captions and the row labels
    QColor line, headerLine;          // between cells
    QColor readOnly;                  // a read-only cell (its text: `text`)
    QColor edited, editedMark;        // an edited cell and its corner
    QColor different, differentMark;  // a cell that differs from the reference and its corner
    QColor selection;                 // the cells of a selection beside the current one (text: `text`)
    QColor tint;                      // the byte pane's bytes of the current table (text: `text`)
    QColor current, currentText;      // the byte pane's bytes of the current cell
    QColor dimText;                   // the byte pane's offsets, on `base`
    QColor focus, focusInactive;      // the current cell's frame with and without the keyboard focus

    static GridColours Of(const QPalette& palette);
};

struct CellMarks {
    bool edited = false;
    bool different = false;

    bool Any() const { return edited || different; }
    // The background of a marked cell that is not selected (edited first).
    QColor Fill(const GridColours& colours) const { return edited ? colours.edited : colours.different; }
    void DrawCorners(QPainter& painter, const QRect& cell, const GridColours& colours) const;
};

}  // namespace zok2
