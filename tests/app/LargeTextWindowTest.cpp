// Large text (a 16-point system font): the rows, the captions, the tabs and the
// value list grow with the text, and no text is cut off.
#include <gtest/gtest.h>

#include <QFontMetrics>

#include "app/WindowTestSupport.h"

namespace zok2::test {

namespace {

// The system font for one test, the usual one again after it.
class SystemFont {
public:
    explicit SystemFont(int points) : m_before(QApplication::font())
    {
        QFont large = m_before;
        large.setPointSize(points);
        QApplication::setFont(large);
    }
    ~SystemFont() { QApplication::setFont(m_before); }

private:
    QFont m_before;
};

}  // namespace

TEST_F(WindowTest, LargeTextGrowsTheRowsCaptionsTabsAndValueListAndCutsNothingOff)
{
    const SystemFont font(16);
    Start(sample());
    frame().resize(1400, 900);
    QApplication::processEvents();
    const QFontMetrics metrics(grid().font());
    ASSERT_GE(metrics.height(), 20);  // the font really is the large one

    // Every caption, row label and value in sight that fits its cell with 9-point
    // text (the size the set's widths in twips were chosen for) fits with 16 points.
    QFont designFont = grid().font();
    designFont.setPointSize(9);
    const QFontMetrics design(designFont);
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < grid().ColumnCount(); ++c) {
            if (r == 0 && c == 0) continue;
            const QRect inner = grid().CellRect(r, c).adjusted(2, 1, -3, -1);
            const QString text = QString::fromStdString(Shown(r, c));
            const int flags = r == 0 ? Qt::AlignCenter | Qt::TextWrapAnywhere : Qt::AlignLeft;
            const QRect needed = metrics.boundingRect(inner, flags, text);
            EXPECT_LE(needed.height(), inner.height()) << "row " << r << " column " << c << " " << text.toStdString();
            const int designWidth = grid().ColumnWidthTwips(c) / kTwipsPerPixel - 5;
            if (r > 0 && design.horizontalAdvance(text) > designWidth) continue;  // cut off at 9 points already
            EXPECT_LE(metrics.horizontalAdvance(text), inner.width() + (r == 0 ? inner.width() * 2 : 0))
                << "row " << r << " column " << c << " " << text.toStdString();
        }
    }

    // Tabs as tall and wide as their text.
    SectionTabs& tabs = view().Tabs();
    const QFontMetrics tabMetrics(tabs.font());
    for (int i = 0; i < tabs.Count(); ++i) {
        EXPECT_GE(tabs.TabRect(i).height(), tabMetrics.height() + 4) << i;
        EXPECT_GE(tabs.TabRect(i).width(), tabMetrics.horizontalAdvance(tabs.TabText(i))) << i;
    }
    EXPECT_GE(grid().geometry().top(), tabs.TabRect(0).bottom());

    // The value list of 種類 (a list column): items as tall as the large text.
    GoTo(1, 2);
    view().OpenValueList();
    QListWidget& list = view().ValueList();
    ASSERT_TRUE(list.isVisible());
    ASSERT_GT(list.count(), 0);
    EXPECT_GE(list.font().pointSizeF(), 15.5);  // 16 points as whole pixels give
    EXPECT_GE(list.visualItemRect(list.item(0)).height(), QFontMetrics(list.font()).height());
    EXPECT_GE(list.viewport()->width(), QFontMetrics(list.font()).horizontalAdvance(list.item(0)->text()));

    if (qEnvironmentVariableIsSet("ZOK2_PICTURES")) frame().grab().save(qEnvironmentVariable("ZOK2_PICTURES") + "/large-text.png");
}

}  // namespace zok2::test
