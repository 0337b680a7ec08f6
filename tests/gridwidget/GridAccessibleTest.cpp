// What assistive tools get from the grid, the tabs and the information line:
// a table of a million rows whose cells are made only when asked for, headers,
// states, the events of a move, an edit and a new table; page tabs named in
// words; the whole sentence of the information line.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <vector>

#include "app/InfoLine.h"
#include "gridwidget/QtFlexGrid.h"
#include "qt/SjisCodec.h"
#include "view/SectionTabs.h"

namespace zok2::test {

namespace {

class Source : public ICellTextSource {
public:
    std::string DisplayText(int, int column, int row) const override
    {
        ++calls;
        return "r" + std::to_string(row) + "c" + std::to_string(column);
    }
    std::string RowLabelText(int, int row) const override
    {
        ++calls;
        return "label " + std::to_string(row);
    }
    mutable int calls = 0;
};

struct Heard {
    QAccessible::Event type;
    QAccessible::Role role;
    QString name;
    int row = -1, column = -1;
};

std::vector<Heard>* g_heard = nullptr;

void Listen(QAccessibleEvent* event)
{
    if (!g_heard) return;
    QAccessibleInterface* iface = event->accessibleInterface();
    Heard h{event->type(), iface ? iface->role() : QAccessible::NoRole, iface ? iface->text(QAccessible::Name) : QString()};
    if (iface && iface->tableCellInterface()) {
        h.row = iface->tableCellInterface()->rowIndex();
        h.column = iface->tableCellInterface()->columnIndex();
    }
    g_heard->push_back(h);
}

// Turns the accessibility on as a screen reader's presence does, and hears what is told.
class Listening {
public:
    Listening()
    {
        g_heard = &heard;
        m_previous = QAccessible::installUpdateHandler(&Listen);
        QAccessible::setActive(true);
    }
    // Whether the platform carries accessibility at all: the offscreen one does
    // not; the suite runs these tests again on an X server with an
    // accessibility bus, where it comes on shortly after the start.
    static bool Possible()
    {
        if (Expected()) QTest::qWaitFor([] { return QAccessible::isActive(); }, 10000);
        return QAccessible::isActive();
    }
    static bool Expected() { return qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"); }
    ~Listening()
    {
        QAccessible::setActive(false);
        QAccessible::installUpdateHandler(m_previous);
        g_heard = nullptr;
    }
    bool Has(QAccessible::Event type, int row = -2) const
    {
        for (const Heard& h : heard) {
            if (h.type == type && (row == -2 || h.row == row)) return true;
        }
        return false;
    }
    std::vector<Heard> heard;

private:
    QAccessible::UpdateHandler m_previous;
};

// The events are checked where the platform tells them; elsewhere the test ends here.
#define REQUIRE_ACCESSIBILITY()                                                                         \
    do {                                                                                                \
        if (!Listening::Possible()) {                                                                   \
            if (Listening::Expected()) FAIL() << "the accessibility bridge did not come on";            \
            GTEST_SKIP() << "no accessibility on this platform";                                        \
        }                                                                                               \
    } while (false)

}  // namespace

TEST(GridAccessible, AMillionRowTableIsReadCellByCellWithItsHeaders)
{
    QtFlexGrid grid;
    grid.resize(400, 300);
    grid.SetColumnCount(4);
    grid.SetRowCount(1'000'001);
    grid.SetCellText(0, 1, Utf8ToSjis("値段"));  // the grid holds Shift-JIS, as the files do
    grid.SetCellText(0, 3, Utf8ToSjis("効果"));
    Source source;
    grid.RefreshFromSource(source, 0, 1, 1'000'000, 1, 3);
    grid.RowLabelsFromSource(source, 0);
    grid.readOnlyCell = [](int, int column) { return column == 2; };
    grid.show();
    QApplication::processEvents();

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&grid);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Table);
    QAccessibleTableInterface* table = iface->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 1'000'000);
    EXPECT_EQ(table->columnCount(), 3);
    EXPECT_EQ(iface->childCount(), 1'000'001 * 4);

    source.calls = 0;
    QAccessibleInterface* last = table->cellAt(999'999, 2);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->text(QAccessible::Name), QStringLiteral("r999999c2"));  // the source counts records and columns from 0
    EXPECT_EQ(last->role(), QAccessible::Cell);
    EXPECT_LE(source.calls, 2);  // the cell asked for, not the table
    EXPECT_EQ(table->cellAt(999'999, 2), last);  // the same cell each time
    EXPECT_EQ(iface->indexOfChild(last), 1'000'000 * 4 + 3);
    EXPECT_EQ(iface->child(1'000'000 * 4 + 3), last);

    QAccessibleTableCellInterface* cell = last->tableCellInterface();
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->rowIndex(), 999'999);
    EXPECT_EQ(cell->columnIndex(), 2);
    ASSERT_EQ(cell->columnHeaderCells().size(), 1);
    EXPECT_EQ(cell->columnHeaderCells()[0]->text(QAccessible::Name), QStringLiteral("効果"));
    EXPECT_EQ(cell->columnHeaderCells()[0]->role(), QAccessible::ColumnHeader);
    ASSERT_EQ(cell->rowHeaderCells().size(), 1);
    EXPECT_EQ(cell->rowHeaderCells()[0]->text(QAccessible::Name), QStringLiteral("label 999999"));
    EXPECT_EQ(table->columnDescription(0), QStringLiteral("値段"));

    // States: read-only where the grid draws it so, selected and offscreen as shown.
    EXPECT_TRUE(table->cellAt(0, 1)->state().readOnly);
    EXPECT_FALSE(table->cellAt(0, 0)->state().readOnly);
    EXPECT_TRUE(table->cellAt(0, 0)->state().selected);
    EXPECT_FALSE(last->state().selected);
    EXPECT_TRUE(last->state().offscreen);
    EXPECT_FALSE(table->cellAt(0, 0)->state().offscreen);
    EXPECT_EQ(table->selectedCellCount(), 1);
    grid.SetSelEndRow(1'000'000);
    grid.SetSelEndColumn(3);
    EXPECT_EQ(table->selectedCellCount(), 3'000'000);
    EXPECT_EQ(table->selectedRowCount(), 1'000'000);
    EXPECT_LE(table->selectedCells().size(), 10'000);  // listed up to a bound, never all at once
    EXPECT_TRUE(table->isColumnSelected(1));
}

TEST(GridAccessible, AMoveAnEditAndANewTableAreTold)
{
    QtFlexGrid grid;
    grid.resize(400, 300);
    grid.SetColumnCount(3);
    grid.SetRowCount(20);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    grid.setFocus();
    QApplication::processEvents();
    Listening reader;
    REQUIRE_ACCESSIBILITY();

    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_TRUE(reader.Has(QAccessible::Focus, 1)) << "the second record's cell takes the focus";
    reader.heard.clear();
    grid.SetCellText(2, 1, "42");  // the current cell's value changes
    ASSERT_TRUE(reader.Has(QAccessible::NameChanged, 1));
    EXPECT_EQ(reader.heard.back().name, QStringLiteral("42"));
    reader.heard.clear();
    grid.SetCellText(5, 2, "7");  // another cell: nothing to tell
    EXPECT_TRUE(reader.heard.empty());

    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
    const QAccessible::Id before = QAccessible::uniqueId(table->tableInterface()->cellAt(0, 0));
    grid.SetRowCount(5);  // another table
    EXPECT_TRUE(reader.Has(QAccessible::TableModelChanged));
    EXPECT_EQ(QAccessible::accessibleInterface(before), nullptr);  // the old table's cells are gone
    EXPECT_NE(table->tableInterface()->cellAt(0, 0), nullptr);
}

TEST(SectionTabsAccessible, TabsArePageTabsAndADifferingTableIsSaidInWords)
{
    SectionTabs tabs;
    tabs.resize(400, 60);
    tabs.SetTabs({QStringLiteral("● items"), QStringLiteral("maps")});
    int chosen = -1;
    tabs.changed = [&](int index) { chosen = index; };
    tabs.show();
    QApplication::processEvents();
    Listening reader;

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&tabs);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::PageTabList);
    ASSERT_EQ(list->childCount(), 2);
    QAccessibleInterface* first = list->child(0);
    EXPECT_EQ(first->role(), QAccessible::PageTab);
    EXPECT_TRUE(first->text(QAccessible::Name).startsWith(QStringLiteral("items")));
    EXPECT_GT(first->text(QAccessible::Name).size(), QStringLiteral("items").size());  // with words for the mark
    EXPECT_FALSE(first->text(QAccessible::Name).contains(QStringLiteral("●")));
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), QStringLiteral("maps"));
    EXPECT_TRUE(first->state().selected);
    EXPECT_EQ(list->indexOfChild(list->child(1)), 1);

    // A reader presses the second tab.
    list->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(chosen, 1);
    EXPECT_TRUE(list->child(1)->state().selected);
    REQUIRE_ACCESSIBILITY();
    EXPECT_TRUE(reader.Has(QAccessible::Selection));

    tabs.SetTabText(1, QStringLiteral("● maps"));
    EXPECT_TRUE(reader.Has(QAccessible::NameChanged));
    EXPECT_FALSE(list->child(1)->text(QAccessible::Name).contains(QStringLiteral("●")));
}

TEST(InfoLineAccessible, TheWholeSentenceIsReadAndAChangeIsTold)
{
    InfoLine line;
    line.resize(60, 20);  // far too narrow: the screen shows it cut short
    line.show();
    const QString sentence = QStringLiteral("items  01 どくけしそう  値段  │  0x308  4-byte  [0A 00 00 00]");
    Listening reader;
    line.SetText(sentence);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&line);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->text(QAccessible::Name), sentence);
    REQUIRE_ACCESSIBILITY();
    EXPECT_TRUE(reader.Has(QAccessible::NameChanged));
    reader.heard.clear();
    line.SetText(sentence);  // the same sentence: nothing new to say
    EXPECT_TRUE(reader.heard.empty());
}

}  // namespace zok2::test
