#pragma once
// A vertical scroll bar for a very long range: on a file of millions of lines a
// page moves the handle by less than a pixel, and the bar is painted again
// only when its handle (or anything else about it) moves.
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

namespace zok2 {

class HandleScrollBar : public QScrollBar {
public:
    explicit HandleScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {}

protected:
    void sliderChange(SliderChange change) override
    {
        if (change == SliderValueChange && HandleRect() == m_paintedHandle) return;
        QScrollBar::sliderChange(change);
    }
    void paintEvent(QPaintEvent* event) override
    {
        m_paintedHandle = HandleRect();
        QScrollBar::paintEvent(event);
    }

private:
    QRect HandleRect() const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    }
    QRect m_paintedHandle;
};

}  // namespace zok2
