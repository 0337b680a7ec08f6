#include "view/SectionTabs.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QWheelEvent>
#include <QPointer>
#include <algorithm>

#include "qt/Language.h"

namespace zok2 {

namespace {
constexpr int kTabPadding = 8;   // pixels left and right of a tab's text
constexpr int kRowSpacing = 4;   // between tab rows, as the grid's offset counts them

// ---- what screen readers read: a page tab list, one page tab per table ----

class TabAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TabAccessible(SectionTabs* tabs, int index) : m_tabs(tabs), m_index(index) {}

    bool isValid() const override { return m_tabs && m_index < m_tabs->Count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_tabs ? m_tabs->window()->windowHandle() : nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return m_tabs ? QAccessible::queryAccessibleInterface(m_tabs.data()) : nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || t != QAccessible::Name) return {};
        return SectionTabs::SpokenName(m_tabs->TabText(m_index));
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid()) return {};
        const QRect tab = m_tabs->TabRect(m_index);
        return QRect(m_tabs->mapToGlobal(tab.topLeft()), tab.size());
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.selected = m_index == m_tabs->CurrentIndex();
        const QRect tab = m_tabs->TabRect(m_index);
        s.offscreen = tab.bottom() < 0 || tab.top() >= m_tabs->VisibleRowCount() * (m_tabs->TabHeight() + kRowSpacing);
        s.invisible = !m_tabs->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && isValid()) m_tabs->Choose(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<SectionTabs> m_tabs;
    int m_index;
};

class TabsAccessible : public QAccessibleWidget {
public:
    explicit TabsAccessible(SectionTabs* tabs) : QAccessibleWidget(tabs, QAccessible::PageTabList) {}
    ~TabsAccessible() override { Forget(); }

    SectionTabs* Tabs() const { return static_cast<SectionTabs*>(widget()); }
    int childCount() const override { return Tabs()->Count(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= Tabs()->Count()) return nullptr;
        if (m_ids.size() < static_cast<std::size_t>(Tabs()->Count())) m_ids.resize(static_cast<std::size_t>(Tabs()->Count()), 0);
        QAccessible::Id& id = m_ids[static_cast<std::size_t>(index)];
        if (id == 0) id = QAccessible::registerAccessibleInterface(new TabAccessible(Tabs(), index));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (std::size_t i = 0; i < m_ids.size(); ++i) {
            if (m_ids[i] != 0 && QAccessible::accessibleInterface(m_ids[i]) == child) return static_cast<int>(i);
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override { return child(Tabs()->TabAt(Tabs()->mapFromGlobal(QPoint(x, y)))); }
    void Forget()
    {
        for (QAccessible::Id id : m_ids) {
            if (id != 0) QAccessible::deleteAccessibleInterface(id);
        }
        m_ids.clear();
    }

private:
    mutable std::vector<QAccessible::Id> m_ids;
};

QAccessibleInterface* TabsFactory(const QString&, QObject* object)
{
    auto* tabs = dynamic_cast<SectionTabs*>(object);
    return tabs ? new TabsAccessible(tabs) : nullptr;
}

}  // namespace

QString SectionTabs::SpokenName(const QString& text)
{
    // "● " marks a table that differs from the reference file: said in words.
    static const QString mark = QStringLiteral("● ");
    if (!text.startsWith(mark)) return text;
    return T("SectionTabs", "%1（参照ファイルと異なる）").arg(text.mid(mark.size()));
}

void SectionTabs::TellReaders(bool tabsChanged)
{
    if (!QAccessible::isActive()) return;
    auto* list = dynamic_cast<TabsAccessible*>(QAccessible::queryAccessibleInterface(this));
    if (!list) return;
    if (tabsChanged) {
        list->Forget();
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
    if (m_current >= 0 && m_current != m_toldCurrent) {
        m_toldCurrent = m_current;
        QAccessibleEvent selection(list->child(m_current), QAccessible::Selection);
        QAccessible::updateAccessibility(&selection);
    }
}

SectionTabs::SectionTabs(QWidget* parent) : QWidget(parent), m_scroll(new QScrollBar(Qt::Vertical, this))
{
    setFocusPolicy(Qt::NoFocus);
    // A tab is a text line with room around it, made a tenth taller (computed once,
    // so it does not grow with every file opened).
    m_tabHeight = static_cast<int>((fontMetrics().height() + 8) * 1.1);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setSingleStep(1);
    m_scroll->hide();
    static const bool readable = [] {
        QAccessible::installFactory(&TabsFactory);
        return true;
    }();
    (void)readable;
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int row) {
        m_firstRow = row;
        update();
    });
}

int SectionTabs::RowPitch() const { return m_tabHeight + kRowSpacing; }

void SectionTabs::Clear()
{
    m_texts.clear();
    m_widths.clear();
    m_rects.clear();
    m_current = -1;
    m_firstRow = 0;
    Relayout();
    TellReaders(true);
}

void SectionTabs::AddTab(const QString& text)
{
    m_texts.push_back(text);
    m_widths.push_back(fontMetrics().horizontalAdvance(text) + 2 * kTabPadding);
    if (m_current < 0) m_current = 0;
    Relayout();
    TellReaders(true);
}

void SectionTabs::SetTabs(std::vector<QString> texts)
{
    m_texts = std::move(texts);
    m_widths.clear();
    m_widths.reserve(m_texts.size());
    const QFontMetrics metrics = fontMetrics();
    for (const QString& text : m_texts) m_widths.push_back(metrics.horizontalAdvance(text) + 2 * kTabPadding);
    m_current = m_texts.empty() ? -1 : 0;
    m_firstRow = 0;
    m_toldCurrent = -1;
    Relayout();
    TellReaders(true);
}

void SectionTabs::SetTabText(int index, const QString& text)
{
    if (index < 0 || index >= Count() || m_texts[static_cast<std::size_t>(index)] == text) return;
    m_texts[static_cast<std::size_t>(index)] = text;
    m_widths[static_cast<std::size_t>(index)] = fontMetrics().horizontalAdvance(text) + 2 * kTabPadding;
    Relayout();
    if (QAccessible::isActive()) {
        if (QAccessibleInterface* list = QAccessible::queryAccessibleInterface(this)) {
            QAccessibleEvent name(list->child(index), QAccessible::NameChanged);
            QAccessible::updateAccessibility(&name);
        }
    }
}

void SectionTabs::SetCurrentIndex(int index)
{
    if (index < 0 || index >= Count()) return;
    m_current = index;
    EnsureCurrentVisible();
    update();
    TellReaders(false);
}

void SectionTabs::Choose(int index)
{
    if (index < 0 || index >= Count() || index == m_current) return;
    if (changing) changing();
    m_current = index;
    EnsureCurrentVisible();
    update();
    TellReaders(false);
    if (changed) changed(index);
}

int SectionTabs::RowCount() const
{
    if (m_rects.empty()) return 0;
    return m_rects.back().top() / RowPitch() + 1;
}

int SectionTabs::VisibleRowCount() const
{
    const int rows = RowCount();
    return m_maxRows > 0 ? std::min(rows, m_maxRows) : rows;
}

void SectionTabs::SetMaxVisibleRows(int rows)
{
    rows = std::max(rows, 1);
    if (rows == m_maxRows) return;
    m_maxRows = rows;
    Relayout();
}

void SectionTabs::SetFirstVisibleRow(int row)
{
    row = std::clamp(row, 0, std::max(RowCount() - VisibleRowCount(), 0));
    if (row == m_firstRow) return;
    m_firstRow = row;
    const QSignalBlocker quiet(m_scroll);
    m_scroll->setValue(row);
    update();
}

QRect SectionTabs::TabRect(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_rects.size()) return QRect();
    return m_rects[static_cast<std::size_t>(index)].translated(0, -m_firstRow * RowPitch());
}

int SectionTabs::TabAt(const QPoint& point) const
{
    if (point.y() >= VisibleRowCount() * RowPitch()) return -1;  // below the rows in sight (the grid lies there)
    const int row = point.y() / RowPitch() + m_firstRow;
    // Tabs are in row order: only the row under the point is searched.
    auto first = std::lower_bound(m_rects.begin(), m_rects.end(), row, [this](const QRect& r, int wanted) { return r.top() / RowPitch() < wanted; });
    const QPoint at = point + QPoint(0, m_firstRow * RowPitch());
    for (auto it = first; it != m_rects.end() && it->top() / RowPitch() == row; ++it) {
        if (it->contains(at)) return static_cast<int>(it - m_rects.begin());
    }
    return -1;
}

int SectionTabs::Layout(int available)
{
    m_rects.clear();
    m_rects.reserve(m_texts.size());
    available = std::max(available, 1);
    int x = 0, row = 0;
    for (int width : m_widths) {
        const int w = std::min(width, available);
        if (x > 0 && x + w > available) {
            x = 0;
            ++row;
        }
        m_rects.emplace_back(x, row * RowPitch() + 1, w, m_tabHeight);
        x += w + 1;
    }
    return m_rects.empty() ? 0 : row + 1;
}

void SectionTabs::Relayout()
{
    const int full = width() - 4;
    int rows = Layout(full);
    const bool scrolls = m_maxRows > 0 && rows > m_maxRows;
    if (scrolls) {
        // Room for the scroll bar at the right of the rows in sight.
        const int bar = m_scroll->sizeHint().width();
        rows = Layout(full - bar);
        m_scroll->setGeometry(width() - bar, 0, bar, m_maxRows * RowPitch());
        const QSignalBlocker quiet(m_scroll);
        m_scroll->setRange(0, rows - m_maxRows);
        m_scroll->setPageStep(m_maxRows);
    }
    m_scroll->setVisible(scrolls);
    m_firstRow = std::clamp(m_firstRow, 0, std::max(rows - VisibleRowCount(), 0));
    EnsureCurrentVisible();
    update();
}

void SectionTabs::EnsureCurrentVisible()
{
    if (m_current < 0 || static_cast<std::size_t>(m_current) >= m_rects.size()) return;
    const int row = m_rects[static_cast<std::size_t>(m_current)].top() / RowPitch();
    const int shown = std::max(VisibleRowCount(), 1);
    int first = m_firstRow;
    if (row < first) first = row;
    if (row >= first + shown) first = row - shown + 1;
    if (first != m_firstRow) SetFirstVisibleRow(first);
}

void SectionTabs::resizeEvent(QResizeEvent*) { Relayout(); }

void SectionTabs::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::FontChange) return;
    // Larger text: taller tabs and every text measured again.
    m_tabHeight = static_cast<int>((fontMetrics().height() + 8) * 1.1);
    const QFontMetrics metrics = fontMetrics();
    for (std::size_t i = 0; i < m_texts.size(); ++i) m_widths[i] = metrics.horizontalAdvance(m_texts[i]) + 2 * kTabPadding;
    Relayout();
    updateGeometry();
}

void SectionTabs::wheelEvent(QWheelEvent* event)
{
    if (!m_scroll->isVisible()) return event->ignore();
    const int steps = event->angleDelta().y() / 120;
    SetFirstVisibleRow(m_firstRow - (steps == 0 ? (event->angleDelta().y() > 0 ? 1 : -1) : steps));
    event->accept();
}

void SectionTabs::mousePressEvent(QMouseEvent* event)
{
    const int index = TabAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || index < 0) return;
    Choose(index);
}

void SectionTabs::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const int pitch = RowPitch();
    const int firstRow = m_firstRow + std::max(event->rect().top(), 0) / pitch;
    const int lastRow = std::min(m_firstRow + std::min(event->rect().bottom(), VisibleRowCount() * pitch - 1) / pitch,
                                 m_firstRow + VisibleRowCount() - 1);
    m_tabsPainted = 0;
    auto it = std::lower_bound(m_rects.begin(), m_rects.end(), firstRow, [pitch](const QRect& r, int wanted) { return r.top() / pitch < wanted; });
    for (; it != m_rects.end() && it->top() / pitch <= lastRow; ++it) {
        const std::size_t i = static_cast<std::size_t>(it - m_rects.begin());
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = it->translated(0, -m_firstRow * pitch);
        if (!option.rect.intersects(event->rect())) continue;
        option.text = m_texts[i];
        // The selected tab is drawn pressed in, like a button that stays down.
        option.state |= static_cast<int>(i) == m_current ? QStyle::State_Sunken | QStyle::State_On : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
        ++m_tabsPainted;
    }
}

}  // namespace zok2
