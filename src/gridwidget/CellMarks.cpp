#include "gridwidget/CellMarks.h"

#include <QPainter>

namespace zok2 {

namespace {

const QColor kEditedFill(255, 236, 190), kEditedMark(214, 120, 0);
const QColor kDifferentFill(232, 222, 255), kDifferentMark(120, 70, 200);

void Triangle(QPainter& painter, const QPoint& corner, int towardX, const QColor& color)
{
    const QPoint points[3] = {corner, corner + QPoint(towardX, 0), corner + QPoint(0, 6)};
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(points, 3);
    painter.setBrush(Qt::NoBrush);
}

}  // namespace

QColor CellMarks::Fill() const { return edited ? kEditedFill : kDifferentFill; }

void CellMarks::DrawCorners(QPainter& painter, const QRect& cell) const
{
    if (different) Triangle(painter, cell.topRight(), -6, kDifferentMark);
    if (edited) Triangle(painter, cell.topLeft(), 6, kEditedMark);
}

}  // namespace zok2
