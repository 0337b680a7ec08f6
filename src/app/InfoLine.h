#pragma once
// The status bar's line about the current cell. It changes on every cursor
// move, so it only repaints itself: a label would ask the status bar to lay
// itself out again and measure the text each time.
#include <QWidget>

namespace zok2 {

class InfoLine : public QWidget {
public:
    explicit InfoLine(QWidget* parent = nullptr);
    void SetText(const QString& text);
    const QString& Text() const { return m_text; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};

}  // namespace zok2
