// 表示 ▸ バイナリ: the file's bytes beside the grid, hidden until asked for; the
// current cell's bytes highlighted and an edit shown as the save will write it;
// a click on a byte going to its cell; a dragged range becoming a new table.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "app/NewTableDialog.h"
#include "app/WindowTestSupport.h"
#include "view/BytePane.h"

namespace zok2::test {

namespace {

std::uint8_t MarkOf(const BytePane& pane, std::int64_t offset)
{
    const search::ByteWindow& w = pane.Painted();
    const std::int64_t i = offset - w.start;
    return i >= 0 && i < static_cast<std::int64_t>(w.marks.size()) ? w.marks[static_cast<std::size_t>(i)] : 0xFF;
}

}  // namespace

TEST_F(WindowTest, TheBytePaneIsOffUntilAskedAndLeavesTheGridAsItWas)
{
    Start(sample());
    BytePane& pane = view().Bytes();
    EXPECT_FALSE(view().BytePaneShown());
    EXPECT_FALSE(frame().Action(command::kBytePane)->isChecked());
    const QRect gridAlone = grid().geometry();

    frame().Run(command::kBytePane);
    ASSERT_TRUE(pane.isVisible());
    EXPECT_TRUE(frame().Action(command::kBytePane)->isChecked());
    EXPECT_LT(grid().width(), gridAlone.width());
    EXPECT_GT(pane.geometry().left(), grid().geometry().right());
    EXPECT_EQ(pane.geometry().top(), gridAlone.top());
    // Remembered for the next start.
    EXPECT_NE(ReadFile(root() + "zok2.ini").find("bytepane=1"), std::string::npos);

    frame().Run(command::kBytePane);
    EXPECT_FALSE(pane.isVisible());
    EXPECT_EQ(grid().geometry(), gridAlone);
    EXPECT_NE(ReadFile(root() + "zok2.ini").find("bytepane=0"), std::string::npos);
}

TEST_F(WindowTest, TheBytePaneHighlightsTheCurrentCellAndShowsAnEditAsTheSaveWritesIt)
{
    Start(sample());
    frame().Run(command::kBytePane);
    BytePane& pane = view().Bytes();
    GoTo(2, 1);  // the second price: 0x308, four bytes
    pane.repaint();
    EXPECT_EQ(pane.FirstLine() * 16 <= 0x308 && 0x308 < (pane.FirstLine() + pane.LinesInSight()) * 16, true);
    for (std::int64_t at = 0x308; at < 0x30C; ++at) EXPECT_EQ(MarkOf(pane, at), search::kByteInTable | search::kByteCurrent) << at;
    EXPECT_EQ(MarkOf(pane, 0x300), search::kByteInTable);
    EXPECT_EQ(MarkOf(pane, 0x340), 0);  // after the eight records
    EXPECT_EQ(pane.LineText(0x30).toStdString(), "00000300  08 00 00 00 02 01 1E 00  0A 00 00 00 02 01 00 00 |................|");

    // What is on screen after a move within the lines in sight (only those lines
    // painted again): the highlight left the first price for the second.
    GoTo(1, 1);
    pane.repaint();
    const std::int64_t readBefore = pane.BytesRead();
    QTest::keyClick(&grid(), Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_GT(pane.BytesRead(), readBefore);
    // The lines left and reached (and what the widgets under the pane asked for), not the whole pane.
    EXPECT_LT(pane.BytesRead() - readBefore, 16 * pane.LinesInSight());
    const QImage shown = pane.viewport()->grab().toImage();
    // The theme's highlight, as dark as its text needs (the default one is a little light for white).
    const QColor highlight = GridColours::Of(pane.palette()).current;
    EXPECT_EQ(shown.pixelColor(pane.PairRect(0x308).topLeft() + QPoint(1, 1)), highlight);
    EXPECT_NE(shown.pixelColor(pane.PairRect(0x300).topLeft() + QPoint(1, 1)), highlight);
    EXPECT_NE(shown.pixelColor(pane.PairRect(0x300).topLeft() + QPoint(1, 1)), pane.palette().color(QPalette::Base));  // tinted

    Type("1234\r");
    pane.repaint();
    EXPECT_EQ(pane.LineText(0x30).toStdString(), "00000300  08 00 00 00 02 01 1E 00  D2 04 00 00 02 01 00 00 |........ﾒ.......|");  // D2: half-width kana
    EXPECT_TRUE(MarkOf(pane, 0x308) & search::kByteEdited);
    EXPECT_EQ(ReadFile(sample()).substr(0x308, 2), Bytes({0x0A, 0x00}));  // nothing written yet
}

TEST_F(WindowTest, AClickOnAByteGoesToItsCellAndTheSelectionBecomesATable)
{
    Start(sample());
    frame().Run(command::kBytePane);
    BytePane& pane = view().Bytes();
    GoTo(1, 1);
    pane.repaint();
    // 0x31D: the third record's 重さ (the byte at 5 of record 0x318).
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, Qt::NoModifier, pane.PairRect(0x31D).center());
    EXPECT_EQ(grid().CurrentRow(), 4);
    EXPECT_EQ(grid().CurrentColumn(), 3);
    EXPECT_EQ(view().CurrentOffset(), 0x31D);
    // Zeros no table holds: the cell stays.
    pane.Follow(0x3F0);
    pane.repaint();
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, Qt::NoModifier, pane.PairRect(0x3F0).center());
    EXPECT_EQ(grid().CurrentRow(), 4);
    EXPECT_EQ(grid().CurrentColumn(), 3);

    // A drag over the items' 64 bytes, then the pane's menu: the new-table
    // dialog with the range filled in and record sizes proposed from it.
    pane.Follow(0x300);
    pane.repaint();
    QTest::mousePress(pane.viewport(), Qt::LeftButton, Qt::NoModifier, pane.PairRect(0x300).center());
    QMouseEvent move(QEvent::MouseMove, pane.PairRect(0x33F).center(), pane.viewport()->mapToGlobal(pane.PairRect(0x33F).center()),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pane.viewport(), &move);
    QTest::mouseRelease(pane.viewport(), Qt::LeftButton, Qt::NoModifier, pane.PairRect(0x33F).center());
    EXPECT_EQ(pane.SelectionStart(), 0x300);
    EXPECT_EQ(pane.SelectionLength(), 0x40);
    EXPECT_EQ(grid().CurrentRow(), 4);  // a drag goes nowhere
    bool chosen = false;
    QTimer::singleShot(0, [&chosen] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(menu->actions().front()->isEnabled());
        menu->setActiveAction(menu->actions().front());
        QTest::keyClick(menu, Qt::Key_Return);
        chosen = true;
    });
    QContextMenuEvent context(QContextMenuEvent::Mouse, pane.PairRect(0x310).center(), pane.viewport()->mapToGlobal(pane.PairRect(0x310).center()));
    QApplication::sendEvent(pane.viewport(), &context);
    ASSERT_TRUE(chosen);
    NewTableDialog& dialog = frame().AddTable();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Address().text().toStdString(), "300");
    EXPECT_EQ(dialog.Length().text().toStdString(), "40");
    ASSERT_GT(dialog.Proposals().count(), 0);
    EXPECT_EQ(dialog.Proposals().item(0)->text().toStdString().rfind("0x8 バイト", 0), 0u) << dialog.Proposals().item(0)->text().toStdString();
    dialog.reject();
}

namespace {

// Counts the paints a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

}  // namespace

// The text column as the pane draws it: double-byte characters over their two
// bytes, a pair Shift-JIS has no character for as two dots, a lead byte at the
// end of a line alone, half-width kana and ASCII as themselves.
TEST(BytePane, TheTextColumnShowsShiftJisPairsAndDotsForWhatIsNoCharacter)
{
    BytePane pane;
    const std::string line1 = Bytes({0x8A, 0xBF, 0x8E, 0x9A, 0x85, 0x40, 0x41, 0xB1, 0x82, 0xA0, 0x00, 0xF0, 0x40, 0x81, 0x7F, 0x88});
    const std::string line2 = Bytes({0x9F, 0x81, 0x81, 0x40, 0xFC, 0x4B, 0xFC, 0xFC, 0x81, 0x5C, 0x7E, 0x5C, 0xE0, 0x40, 0xEA, 0xA4});
    const std::string line3 = Bytes({0x81, 0x45, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E});
    pane.read = [&](std::int64_t start, int count) {
        const std::string all = line1 + line2 + line3;
        search::ByteWindow w;
        w.start = start;
        w.bytes = all.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
        w.marks.assign(w.bytes.size(), 0);
        return w;
    };
    pane.SetFileSize(48);
    // 漢字, a pair with no character (its second byte then read alone), A, ｱ, あ,
    // a zero, a private-use pair, a lead before 0x7F, and a lead that ends the line.
    EXPECT_EQ(pane.LineText(0).toStdString(), "00000000  8A BF 8E 9A 85 40 41 B1  82 A0 00 F0 40 81 7F 88 |漢字.@Aｱあ..@...|");
    // The first and the last lead byte, the ideographic space, the last character
    // of the table (0xFC4B), no character at 0xFCFC nor at 0xFC81 (not the ・
    // Windows puts for them), ―, ~, a backslash.
    EXPECT_EQ(pane.LineText(1).toStdString(), "00000010  9F 81 81 40 FC 4B FC FC  81 5C 7E 5C E0 40 EA A4 |氈\u3000黑..―~\\漾熙|");
    // The middle dot's own code.
    EXPECT_EQ(pane.LineText(2).toStdString(), "00000020  81 45 41 42 43 44 45 46  47 48 49 4A 4B 4C 4D 4E |・ABCDEFGHIJKLMN|");
}

// Characters come from the sheet drawn ahead, blended in the colours of their
// bytes' looks; they look as the font engine draws them: the same pixels, give
// or take the rounding of a blend, in the same places.
TEST(BytePane, CharactersFromTheSheetLookAsTheFontEngineDrawsThem)
{
    const std::string bytes = Bytes({0x8A, 0xBF, 0x8E, 0x9A, 0x41, 0x42, 0xB1, 0x82, 0xA0, 0x7A, 0x30, 0x39, 0x88, 0x9F, 0x5F, 0x7E}) +
                              Bytes({0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA, 0x20, 0x67, 0x6A, 0x70, 0x79, 0xDF, 0xFC, 0x4B, 0x00, 0xFF}) +
                              // 会社名前電話番号 住所年月時間東京: more characters than a row of the atlas holds.
                              Bytes({0x89, 0xEF, 0x8E, 0xD0, 0x96, 0xBC, 0x91, 0x4F, 0x93, 0x64, 0x98, 0x62, 0x94, 0xD4, 0x8D, 0x86}) +
                              Bytes({0x8F, 0x5A, 0x8F, 0x8A, 0x94, 0x4E, 0x8C, 0x8E, 0x8E, 0x9E, 0x8A, 0xD4, 0x93, 0x8C, 0x8B, 0x9E});
    auto reader = [&bytes](std::int64_t start, int count) {
        search::ByteWindow w;
        w.start = start;
        w.bytes = bytes.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
        for (std::int64_t at = start; at < start + static_cast<std::int64_t>(w.bytes.size()); ++at) {
            w.marks.push_back(at < 4 ? search::kByteInTable | search::kByteCurrent : at < 12 ? search::kByteInTable : at < 20 ? search::kByteEdited : 0);
        }
        return w;
    };
    BytePane drawn, blended;
    for (BytePane* pane : {&drawn, &blended}) {
        pane->read = reader;
        pane->resize(pane->PreferredWidth(), 120);
        pane->SetFileSize(64);
        pane->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(pane));
    }
    drawn.UseSheet(false);
    blended.WaitForSheet();
    ASSERT_TRUE(blended.Sheet().Ready());
    ASSERT_NE(blended.Sheet().Coverage(u'漢'), nullptr);
    blended.UseSheet(true);  // what the first paint drew without it is drawn again
    const QImage a = drawn.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage b = blended.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(a.size(), b.size());
    const QColor base = GridColours::Of(drawn.palette()).base;
    int inked = 0, differing = 0, worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
            worst = std::max(worst, d);
            if (d > 2) ++differing;
            if (QColor(p) != base) ++inked;
        }
    }
    EXPECT_GT(inked, 500);  // four lines of text and their looks' fills
    EXPECT_LE(differing, 8) << "worst difference " << worst;
    // 漢字, the current cell's bytes, in the text column (right of the last pair
    // of the first line): strokes nearer the current cell's text colour than its fill.
    const GridColours colours = GridColours::Of(blended.palette());
    auto distance = [](QRgb p, const QColor& c) { return std::abs(qRed(p) - c.red()) + std::abs(qGreen(p) - c.green()) + std::abs(qBlue(p) - c.blue()); };
    int strokes = 0;
    for (int y = 0; y < blended.PairRect(0).height(); ++y) {
        for (int x = blended.PairRect(15).right() + 1; x < b.width(); ++x) {
            if (distance(b.pixel(x, y), colours.currentText) < distance(b.pixel(x, y), colours.current)) ++strokes;
        }
    }
    EXPECT_GT(strokes, 20);
}

// On a file of a million lines a page moves the scroll bar's handle by less
// than a pixel: the bar is not painted again for it, but it is for a move the
// eye can see. A new palette repaints every line, not only those asked for next.
TEST(BytePane, TheScrollBarPaintsWhenItsHandleMovesAndEveryLineTakesANewPalette)
{
    BytePane pane;
    pane.read = [](std::int64_t start, int count) {
        search::ByteWindow w;
        w.start = start;
        w.bytes.assign(static_cast<std::size_t>(count), 'A');
        w.marks.assign(static_cast<std::size_t>(count), 0);
        return w;
    };
    pane.resize(600, 400);
    pane.SetFileSize(16'000'000);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    PaintCounter bar;
    pane.verticalScrollBar()->installEventFilter(&bar);

    pane.Follow(40 * 16 * 16);  // forty pages on: the handle stays on its pixel
    QApplication::processEvents();
    EXPECT_EQ(bar.paints, 0);
    EXPECT_GT(pane.FirstLine(), 0);
    pane.Follow(8'000'000);  // half way: the handle moves
    QApplication::processEvents();
    EXPECT_GT(bar.paints, 0);

    QPalette dark = pane.palette();
    dark.setColor(QPalette::Base, QColor(20, 20, 20));
    pane.setPalette(dark);
    QApplication::processEvents();
    const QImage shown = pane.viewport()->grab().toImage();
    // Bottom left, below the offsets: the new base on every line.
    EXPECT_EQ(shown.pixelColor(1, shown.height() - 2), QColor(20, 20, 20));
    EXPECT_EQ(shown.pixelColor(1, 1), QColor(20, 20, 20));
}

}  // namespace zok2::test
