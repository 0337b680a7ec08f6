#include "app/InfoLine.h"

#include <QPainter>

namespace zok2 {

InfoLine::InfoLine(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void InfoLine::SetText(const QString& text)
{
    if (text == m_text) return;
    m_text = text;
    update();
}

QSize InfoLine::sizeHint() const { return QSize(400, fontMetrics().height() + 4); }
QSize InfoLine::minimumSizeHint() const { return QSize(50, fontMetrics().height() + 4); }

void InfoLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect area = rect().adjusted(2, 0, -2, 0);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(m_text, Qt::ElideRight, area.width()));
}

}  // namespace zok2
