#include "app/InfoLine.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

namespace zok2 {

namespace {

// Read as its whole sentence (the line may be cut short on screen).
class InfoLineAccessible : public QAccessibleWidget {
public:
    explicit InfoLineAccessible(InfoLine* line) : QAccessibleWidget(line, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name || t == QAccessible::Value) return static_cast<InfoLine*>(widget())->Text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* Factory(const QString&, QObject* object)
{
    auto* line = dynamic_cast<InfoLine*>(object);
    return line ? new InfoLineAccessible(line) : nullptr;
}

}  // namespace

InfoLine::InfoLine(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    static const bool readable = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)readable;
}

void InfoLine::SetText(const QString& text)
{
    if (text == m_text) return;
    m_text = text;
    update();
    if (QAccessible::isActive()) {
        // Said after what the reader is saying, not over it: a change of name, not a focus.
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
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
