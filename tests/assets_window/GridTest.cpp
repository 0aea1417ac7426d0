// The grid adapter: the flex grid's numbering over a table (header row 0, the empty row 1,
// items from row 2) and its selection; the text it saves, byte for byte.

#include "common/FlexGridWidget.h"
#include "common/GridText.h"
#include "common/VbError.h"

#include "support/ScriptedUi.h"


#include <gtest/gtest.h>

using grid::TextFormat;

namespace {

TEST(GridText, CellsAreJoinedAndQuotedOnlyWhereNeeded)
{
    struct Case {
        QStringList cells;
        TextFormat format;
        QString expected;
    };
    const Case cases[] = {
        {{"A", "B", "C"}, TextFormat::CommaSeparated, "A,B,C\r\n"},
        {{"A", "B", "C"}, TextFormat::TabSeparated, "A\tB\tC\r\n"},
        {{"", "", ""}, TextFormat::CommaSeparated, ",,\r\n"},
        {{"a,b", "c"}, TextFormat::CommaSeparated, "\"a,b\",c\r\n"},
        // A comma is no separator in tab-separated text.
        {{"a,b", "c"}, TextFormat::TabSeparated, "a,b\tc\r\n"},
        {{"a\tb", "c"}, TextFormat::TabSeparated, "\"a\tb\"\tc\r\n"},
        {{"12\" gauge", "x"}, TextFormat::CommaSeparated, "\"12\"\" gauge\",x\r\n"},
        {{"12\" gauge", "x"}, TextFormat::TabSeparated, "\"12\"\" gauge\"\tx\r\n"},
        {{"two\r\nlines", "x"}, TextFormat::CommaSeparated, "\"two\r\nlines\",x\r\n"},
        {{"lf\nonly"}, TextFormat::TabSeparated, "\"lf\nonly\"\r\n"},
        {{" padded "}, TextFormat::CommaSeparated, " padded \r\n"},
        {{"Trains\\Class 66\\Engine.bin"}, TextFormat::CommaSeparated, "Trains\\Class 66\\Engine.bin\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid::rowLine(c.cells, c.format), c.expected) << c.cells.join(QLatin1Char('|')).toStdString();

    EXPECT_EQ(grid::gridText({{"H1", "H2"}, {"a", "b,c"}}, TextFormat::CommaSeparated),
              QStringLiteral("H1,H2\r\na,\"b,c\"\r\n"));
}

class FlexGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g.setColumns({{"Provider", 16}, {"Product", 15}, {"Path", 73}});
        g.setRows(2);
    }

    QStringList row(int r) const
    {
        QStringList cells;
        for (int c = 0; c < g.Cols(); ++c)
            cells << g.TextMatrix(r, c);
        return cells;
    }

    ScriptedUi ui;
    FlexGridWidget g;
};

TEST_F(FlexGridTest, KeepsTheGridNumberingWithTheHeaderAsRowZero)
{
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_EQ(g.Cols(), 3);
    EXPECT_EQ(row(0), (QStringList{"Provider", "Product", "Path"}));
    EXPECT_EQ(row(1), (QStringList{"", "", ""}));

    g.AddItem(QStringLiteral("P1\tQ1\tA\\b.bin"));
    g.AddItem(QStringLiteral("P2\tQ2"));                  // missing fields are empty
    g.AddItem(QStringLiteral("P3\tQ3\tC.bin\textra\tmore")); // fields beyond the columns dropped
    ASSERT_EQ(g.Rows(), 5);
    EXPECT_EQ(row(2), (QStringList{"P1", "Q1", "A\\b.bin"}));
    EXPECT_EQ(row(3), (QStringList{"P2", "Q2", ""}));
    EXPECT_EQ(row(4), (QStringList{"P3", "Q3", "C.bin"}));
    EXPECT_EQ(g.TextMatrix(5, 0), QString());
    EXPECT_EQ(g.TextMatrix(2, 3), QString());

    g.setTextMatrix(3, 2, QStringLiteral("set"));
    EXPECT_EQ(g.TextMatrix(3, 2), QStringLiteral("set"));
    EXPECT_THROW(g.setTextMatrix(5, 0, QStringLiteral("x")), VbError);
    EXPECT_THROW(g.setTextMatrix(2, 3, QStringLiteral("x")), VbError);

    // Cells cannot be edited by the user.
    EXPECT_FALSE(g.item(1, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_EQ(g.editTriggers(), QAbstractItemView::NoEditTriggers);

    // Two rows: the header and the empty row; the header stays.
    g.clearCells();
    g.setRows(2);
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_EQ(row(0), (QStringList{"Provider", "Product", "Path"}));
    EXPECT_EQ(row(1), (QStringList{"", "", ""}));
    g.AddItem(QStringLiteral("N\tO\tP"));
    EXPECT_EQ(g.Rows(), 3);
    EXPECT_EQ(row(2), (QStringList{"N", "O", "P"}));
}

TEST_F(FlexGridTest, SelectsWholeRowsSeveralAtATimeAndMovesTheCurrentCell)
{
    for (int i = 0; i < 4; ++i)
        g.AddItem(QStringLiteral("P%1\tQ\tR").arg(i));
    EXPECT_EQ(g.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(g.selectionMode(), QAbstractItemView::ExtendedSelection);

    g.selectRow(4);
    g.selectionModel()->select(g.model()->index(1, 0),
                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
    // Table rows 4 and 1 are grid rows 5 and 2, reported in row order.
    EXPECT_EQ(g.selectedRowNumbers(), (QList<int>{2, 5}));
    EXPECT_TRUE(g.IsSelected(2));
    EXPECT_TRUE(g.IsSelected(5));
    EXPECT_FALSE(g.IsSelected(3));
    EXPECT_FALSE(g.IsSelected(0));

    // Row and Col move the current cell without touching the selection.
    g.setRow(3);
    g.setCol(2);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_EQ(g.Col(), 2);
    g.setText(QStringLiteral("here"));
    EXPECT_EQ(g.TextMatrix(3, 2), QStringLiteral("here"));
    EXPECT_EQ(g.selectedRowNumbers(), (QList<int>{2, 5}));

    // Select makes the cell current and its row the only one selected.
    g.Select(4, 1);
    EXPECT_EQ(g.Row(), 4);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.selectedRowNumbers(), (QList<int>{4}));
    EXPECT_THROW(g.Select(6, 0), VbError);
}

} // namespace
