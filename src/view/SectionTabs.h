#pragma once
// The tab strip: button-style tabs that wrap into as many rows as the width
// needs (ragged right), one per section with columns. It never takes the focus.
// With hundreds of tables the rows would fill the view: beyond a height the
// view sets, the strip stops growing and scrolls by rows, the current tab kept
// in sight. Each text is measured once, and only the tabs in sight are drawn.
#include <QWidget>
#include <functional>
#include <vector>

class QScrollBar;

namespace zok2 {

class SectionTabs : public QWidget {
public:
    explicit SectionTabs(QWidget* parent = nullptr);

    void Clear();
    void AddTab(const QString& text);
    // All tabs at once (the first one current), laid out once.
    void SetTabs(std::vector<QString> texts);
    int Count() const { return static_cast<int>(m_texts.size()); }
    QString TabText(int index) const { return m_texts[static_cast<std::size_t>(index)]; }
    // A tab's text changed in place (its width measured again, the rows laid out again).
    void SetTabText(int index, const QString& text);
    int CurrentIndex() const { return m_current; }
    // Selects a tab without telling anyone (the program's own switches).
    void SetCurrentIndex(int index);
    // Selects a tab as a click on it does: `changing`, the switch, `changed`.
    void Choose(int index);
    // Height of a tab (of item 0's rectangle) and the number of rows the tabs take.
    int TabHeight() const { return m_tabHeight; }
    int RowCount() const;
    // The rows shown: all of them, or the most the view allows.
    int VisibleRowCount() const;
    // The most rows shown before the strip scrolls (0: no limit).
    void SetMaxVisibleRows(int rows);
    // The first row in sight.
    int FirstVisibleRow() const { return m_firstRow; }
    void SetFirstVisibleRow(int row);
    // A tab's rectangle where it is drawn now (rows scrolled away lie above the strip).
    QRect TabRect(int index) const;
    // The tab under a point, or -1.
    int TabAt(const QPoint& point) const;
    // How many tabs the last paint drew, for the tests and the benchmarks.
    int TabsPainted() const { return m_tabsPainted; }

    // A tab's text as a screen reader says it ("● " in words).
    static QString SpokenName(const QString& text);

    // A click on another tab: `changing` runs before the switch, `changed` after it.
    std::function<void()> changing;
    std::function<void(int index)> changed;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Relayout();
    // Tells screen readers of a new set of tabs or another current one.
    void TellReaders(bool tabsChanged);
    int Layout(int available);  // places every tab; the number of rows
    void EnsureCurrentVisible();
    int RowPitch() const;

    std::vector<QString> m_texts;
    std::vector<int> m_widths;  // each text's tab width, measured once
    std::vector<QRect> m_rects;  // in the strip's full height, row 0 at the top
    int m_current = -1;
    int m_tabHeight = 0;
    int m_maxRows = 0;
    int m_firstRow = 0;
    int m_tabsPainted = 0;
    int m_toldCurrent = -1;
    QScrollBar* m_scroll;
};

}  // namespace zok2
