#pragma once
// The marks a value cell may carry: edited since the last save (amber, a corner
// mark at the top left) and different from the reference file (violet, a corner
// mark at the top right). The tints stand apart from the read-only grey and the
// selection's blue; the corner marks stay visible inside a selection too.
#include <QColor>
#include <QRect>

class QPainter;

namespace zok2 {

struct CellMarks {
    bool edited = false;
    bool different = false;

    bool Any() const { return edited || different; }
    // The background of a marked cell that is not selected (edited first).
    QColor Fill() const;
    void DrawCorners(QPainter& painter, const QRect& cell) const;
};

}  // namespace zok2
