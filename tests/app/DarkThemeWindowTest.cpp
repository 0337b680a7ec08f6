// The window under a dark desktop theme: the in-place edit, the tabs, the
// status bar's note and a marked field of the column editor all read (4.5:1),
// measured on what the widgets paint.
#include <gtest/gtest.h>

#include <QLabel>
#include <QStatusBar>
#include <map>

#include "app/ColumnEditor.h"
#include "app/WindowTestSupport.h"
#include "gridwidget/CellMarks.h"

namespace zok2::test {

namespace {

QPalette Dark()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(53, 53, 53));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(42, 42, 42));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(53, 53, 53));
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    return p;
}

// The theme for one test, the usual one again after it.
class Theme {
public:
    explicit Theme(const QPalette& palette) : m_before(QApplication::palette()) { QApplication::setPalette(palette); }
    ~Theme() { QApplication::setPalette(m_before); }

private:
    QPalette m_before;
};

// The contrast between the commonest colour of a widget's picture and the one standing out most from it.
double InkContrast(QWidget& widget, QRect area = QRect())
{
    const QImage image = widget.grab().toImage();
    if (area.isNull()) area = image.rect();
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y) | 0xFF000000u];
    }
    const auto fill = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    double best = 1.0;
    for (const auto& entry : counts) best = std::max(best, ContrastRatio(QColor::fromRgb(entry.first), QColor::fromRgb(fill)));
    return best;
}

}  // namespace

TEST_F(WindowTest, UnderADarkThemeTheEditTheTabsTheNoteAndAMarkedFieldRead)
{
    const Theme theme(Dark());
    Start(sample());
    GoTo(1, 1);
    Type("12345");
    QLineEdit& edit = view().CellEdit();
    ASSERT_TRUE(edit.isVisible());
    // Inside the border, left of the text cursor at the right end.
    EXPECT_GE(InkContrast(edit, edit.rect().adjusted(2, 2, -6, -2)), 4.5);

    SectionTabs& tabs = view().Tabs();
    for (int i = 0; i < tabs.Count(); ++i) EXPECT_GE(InkContrast(tabs, tabs.TabRect(i).adjusted(3, 3, -3, -3)), 4.5) << i;

    frame().ShowNote(QStringLiteral("WWWW 8888"));
    auto* note = frame().statusBar()->findChild<QLabel*>(QStringLiteral("note"));
    ASSERT_NE(note, nullptr);
    ASSERT_TRUE(note->isVisible());
    EXPECT_GE(InkContrast(*note), 4.5);

    QTest::keyClick(&edit, Qt::Key_Escape);
    frame().Run(command::kColumnEditor);
    ColumnEditor& editor = frame().Columns();
    editor.FieldEdit(ColumnEditor::kSize).setText(QStringLiteral("5"));  // an error: the field is marked
    ASSERT_FALSE(editor.Ok().isEnabled());
    EXPECT_GE(InkContrast(editor.FieldEdit(ColumnEditor::kSize)), 4.5);
    editor.reject();
}

}  // namespace zok2::test
