// The colours the grid and the byte pane really paint, read back from their
// pictures, in Qt's default palette and in a dark one: text on every fill keeps
// 4.5:1, the corner marks and the current cell's frame 3:1 against the cell and
// its neighbours.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QStyle>
#include <QTest>
#include <map>

#include "gridwidget/CellMarks.h"
#include "gridwidget/QtFlexGrid.h"
#include "view/BytePane.h"

namespace zok2::test {

namespace {

// A dark palette as desktop themes give it (Fusion's colours, as qt6ct's "darker" scheme has them).
QPalette DarkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(53, 53, 53));
    p.setColor(QPalette::WindowText, QColor(255, 255, 255));
    p.setColor(QPalette::Base, QColor(42, 42, 42));
    p.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
    p.setColor(QPalette::Text, QColor(255, 255, 255));
    p.setColor(QPalette::Button, QColor(53, 53, 53));
    p.setColor(QPalette::ButtonText, QColor(255, 255, 255));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    p.setColor(QPalette::PlaceholderText, QColor(127, 127, 127));
    p.setColor(QPalette::Mid, QColor(35, 35, 35));
    return p;
}

struct Painted {
    QColor fill, ink;  // the commonest colour of an area and the one standing out most from it
};

// The fill and the text of a rectangle of a picture.
Painted Read(const QImage& image, const QRect& rect)
{
    std::map<QRgb, int> counts;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) ++counts[image.pixel(x, y) | 0xFF000000u];
    }
    const auto common = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; });
    Painted p{QColor::fromRgb(common->first), QColor::fromRgb(common->first)};
    for (const auto& [rgb, n] : counts) {
        if (ContrastRatio(QColor::fromRgb(rgb), p.fill) > ContrastRatio(p.ink, p.fill)) p.ink = QColor::fromRgb(rgb);
    }
    return p;
}

class ThemeContrastTest : public ::testing::TestWithParam<bool> {
protected:
    QPalette Palette() const { return GetParam() ? DarkPalette() : QApplication::style()->standardPalette(); }
};

}  // namespace

TEST_P(ThemeContrastTest, EveryCellOfTheGridReadsAndTheFocusFrameStandsOut)
{
    QtFlexGrid grid;
    grid.setPalette(Palette());
    grid.resize(640, 260);
    grid.SetColumnCount(6);
    grid.SetRowCount(6);
    for (int c = 0; c < 6; ++c) grid.SetColumnWidthTwips(c, 1200);
    grid.SetRowHeightTwips(0, 360);
    grid.SetRowHeightTwips(1, 360);
    for (int c = 1; c < 6; ++c) grid.SetCellText(0, c, "WW88");
    for (int r = 1; r < 6; ++r) {
        grid.SetCellText(r, 0, "WW88");
        for (int c = 1; c < 6; ++c) grid.SetCellText(r, c, "WW88");
    }
    // Row 1 plain, row 2 read-only, row 3 edited, row 4 different, row 5 edited and different.
    grid.readOnlyCell = [](int r, int) { return r == 2; };
    grid.editedCell = [](int r, int) { return r == 3 || r == 5; };
    grid.differentCell = [](int r, int) { return r == 4 || r == 5; };
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.setFocus();
    // A selection over columns 4 and 5 of rows 1 to 5; the current cell at (1, 4).
    grid.SetCurrentRow(1);
    grid.SetCurrentColumn(4);
    grid.SetSelEndRow(5);
    grid.SetSelEndColumn(5);
    QApplication::processEvents();
    const QImage shown = grid.viewport()->grab().toImage();

    std::map<std::pair<int, int>, QColor> fills;
    auto fill = [&](int r, int c) { return fills[std::pair{r, c}]; };
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 6; ++c) {
            if (r == 0 && c == 0) continue;
            // Inside the grid lines, clear of the corner marks and the frame.
            const QRect inner = grid.CellRect(r, c).adjusted(8, 3, -8, -2);
            const Painted p = Read(shown, inner);
            fills[{r, c}] = p.fill;
            EXPECT_GE(ContrastRatio(p.fill, p.ink), 4.5) << "row " << r << " column " << c << " fill " << p.fill.name().toStdString()
                                                         << " text " << p.ink.name().toStdString();
        }
    }
    // The kinds of cell stand apart from each other.
    EXPECT_NE(fill(1, 1), fill(2, 1));
    EXPECT_NE(fill(1, 1), fill(3, 1));
    EXPECT_NE(fill(3, 1), fill(4, 1));
    EXPECT_NE(fill(1, 1), fill(2, 5));  // selected

    // The corner marks against their cells.
    const GridColours colours = grid.Colours();
    const QRect edited = grid.CellRect(3, 1), different = grid.CellRect(4, 1);
    EXPECT_EQ(shown.pixelColor(edited.topLeft() + QPoint(1, 1)), colours.editedMark);
    EXPECT_EQ(shown.pixelColor(different.topRight() + QPoint(-2, 1)), colours.differentMark);
    EXPECT_GE(ContrastRatio(colours.editedMark, fill(3, 1)), 3.0);
    EXPECT_GE(ContrastRatio(colours.differentMark, fill(4, 1)), 3.0);

    // The frame of the current cell, with and without the focus, against the cell and every neighbour.
    const QRect current = grid.CellRect(1, 4);
    for (bool focused : {true, false}) {
        if (!focused) {
            grid.clearFocus();
            QApplication::processEvents();
        }
        const QImage now = grid.viewport()->grab().toImage();
        const QColor frame = now.pixelColor(current.left() + 1, current.center().y());
        EXPECT_EQ(frame, focused ? colours.focus : colours.focusInactive);
        for (const auto& neighbour : {std::pair{1, 4}, std::pair{0, 4}, std::pair{2, 4}, std::pair{1, 3}, std::pair{1, 5}}) {
            EXPECT_GE(ContrastRatio(frame, fills[neighbour]), 3.0) << "focused " << focused << " against " << neighbour.first << ","
                                                                  << neighbour.second;
        }
    }
}

TEST_P(ThemeContrastTest, EveryLookOfTheBytePaneReads)
{
    BytePane pane;
    pane.setPalette(Palette());
    // Bytes "WW" in each look: plain, the table's, edited, different, the current cell's.
    const std::uint8_t marks[] = {0, search::kByteInTable, search::kByteInTable | search::kByteEdited,
                                  search::kByteInTable | search::kByteDifferent, search::kByteInTable | search::kByteCurrent};
    pane.read = [&](std::int64_t start, int count) {
        search::ByteWindow w;
        w.start = start;
        for (int i = 0; i < count; ++i) {
            const std::int64_t at = start + i;
            w.bytes.push_back('W');
            w.marks.push_back(at < 16 * 5 ? marks[at / 16] : 0);
        }
        return w;
    };
    pane.resize(pane.PreferredWidth(), 200);
    pane.SetFileSize(256);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    const QImage shown = pane.viewport()->grab().toImage();
    std::vector<QColor> fills;
    for (int line = 0; line < 5; ++line) {
        const Painted p = Read(shown, pane.PairRect(line * 16 + 3));
        fills.push_back(p.fill);
        EXPECT_GE(ContrastRatio(p.fill, p.ink), 4.5) << "line " << line << " fill " << p.fill.name().toStdString() << " text "
                                                     << p.ink.name().toStdString();
    }
    for (std::size_t i = 1; i < fills.size(); ++i) EXPECT_NE(fills[i], fills[0]) << i;
    // The offsets, dimmer than the bytes but still read.
    const QRect offset(4, 1, pane.PairRect(0).left() - 8, pane.PairRect(0).height() - 2);
    const Painted o = Read(shown, offset);
    EXPECT_GE(ContrastRatio(o.fill, o.ink), 4.5);
}

INSTANTIATE_TEST_SUITE_P(LightAndDark, ThemeContrastTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Dark" : "Light"; });

// The colours chosen hold the ratios whatever the palette, even one whose own
// text barely reads on its base.
TEST(GridColours, HoldTheirContrastsForAnyPalette)
{
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(QColor(119, 119, 119), Qt::white), 4.48, 0.01);
    QPalette poor;
    poor.setColor(QPalette::Base, QColor(200, 200, 200));
    poor.setColor(QPalette::Text, QColor(150, 150, 150));
    poor.setColor(QPalette::Highlight, QColor(255, 255, 0));
    poor.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    for (const QPalette& palette : {poor, DarkPalette(), QPalette()}) {
        const GridColours c = GridColours::Of(palette);
        for (const QColor& fill : {c.base, c.readOnly, c.edited, c.different, c.selection, c.tint}) {
            EXPECT_GE(ContrastRatio(fill, c.text), 4.5) << fill.name().toStdString();
            EXPECT_GE(ContrastRatio(fill, c.focus), 3.0) << fill.name().toStdString();
        }
        EXPECT_GE(ContrastRatio(c.current, c.currentText), 4.5);
        EXPECT_GE(ContrastRatio(c.base, c.dimText), 4.5);
        EXPECT_GE(ContrastRatio(c.header, c.headerText), 4.5);
    }
}

}  // namespace zok2::test
