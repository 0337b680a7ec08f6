#pragma once
// The tab strip: button-style tabs that wrap into as many rows as the width
// needs (ragged right), one per section with columns. It never takes the focus.
#include <QWidget>
#include <functional>
#include <vector>

namespace zok2 {

class SectionTabs : public QWidget {
public:
    explicit SectionTabs(QWidget* parent = nullptr);

    void Clear();
    void AddTab(const QString& text);
    int Count() const { return static_cast<int>(m_texts.size()); }
    QString TabText(int index) const { return m_texts[static_cast<std::size_t>(index)]; }
    int CurrentIndex() const { return m_current; }
    // Selects a tab without telling anyone (the program's own switches).
    void SetCurrentIndex(int index);
    // Height of a tab (of item 0's rectangle) and the number of rows the tabs take.
    int TabHeight() const { return m_tabHeight; }
    int RowCount() const;
    QRect TabRect(int index) const;
    // The tab under a point, or -1.
    int TabAt(const QPoint& point) const;

    // A click on another tab: `changing` runs before the switch, `changed` after it.
    std::function<void()> changing;
    std::function<void(int index)> changed;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Relayout();

    std::vector<QString> m_texts;
    std::vector<QRect> m_rects;
    int m_current = -1;
    int m_tabHeight = 0;
};

}  // namespace zok2
