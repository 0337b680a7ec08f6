#include "view/SectionTabs.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <algorithm>

namespace zok2 {

namespace {
constexpr int kTabPadding = 8;   // pixels left and right of a tab's text
constexpr int kRowSpacing = 4;   // between tab rows, as the grid's offset counts them
}  // namespace

SectionTabs::SectionTabs(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // A tab is a text line with room around it, made a tenth taller (computed once,
    // so it does not grow with every file opened).
    m_tabHeight = static_cast<int>((fontMetrics().height() + 8) * 1.1);
}

void SectionTabs::Clear()
{
    m_texts.clear();
    m_rects.clear();
    m_current = -1;
    update();
}

void SectionTabs::AddTab(const QString& text)
{
    m_texts.push_back(text);
    if (m_current < 0) m_current = 0;
    Relayout();
}

void SectionTabs::SetCurrentIndex(int index)
{
    if (index < 0 || index >= Count()) return;
    m_current = index;
    update();
}

int SectionTabs::RowCount() const
{
    if (m_rects.empty()) return 0;
    return m_rects.back().top() / (m_tabHeight + kRowSpacing) + 1;
}

QRect SectionTabs::TabRect(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < m_rects.size() ? m_rects[static_cast<std::size_t>(index)] : QRect();
}

int SectionTabs::TabAt(const QPoint& point) const
{
    for (std::size_t i = 0; i < m_rects.size(); ++i) {
        if (m_rects[i].contains(point)) return static_cast<int>(i);
    }
    return -1;
}

void SectionTabs::Relayout()
{
    m_rects.clear();
    const int available = std::max(width() - 4, 1);
    int x = 0, row = 0;
    for (const QString& text : m_texts) {
        const int w = std::min(fontMetrics().horizontalAdvance(text) + 2 * kTabPadding, available);
        if (x > 0 && x + w > available) {
            x = 0;
            ++row;
        }
        m_rects.emplace_back(x, row * (m_tabHeight + kRowSpacing) + 1, w, m_tabHeight);
        x += w + 1;
    }
    update();
}

void SectionTabs::resizeEvent(QResizeEvent*) { Relayout(); }

void SectionTabs::mousePressEvent(QMouseEvent* event)
{
    const int index = TabAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || index < 0 || index == m_current) return;
    if (changing) changing();
    m_current = index;
    update();
    if (changed) changed(index);
}

void SectionTabs::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (std::size_t i = 0; i < m_rects.size(); ++i) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = m_rects[i];
        option.text = m_texts[i];
        // The selected tab is drawn pressed in, like a button that stays down.
        option.state |= static_cast<int>(i) == m_current ? QStyle::State_Sunken | QStyle::State_On : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
    }
}

}  // namespace zok2
