// The read-only data grid over an in-memory table: how often it tells its
// window that the current row or its data changed, around suspended bulk
// changes and moves.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QSignalSpy>

#include "platform/dbgrid.h"
#include "platform/memtable.h"

namespace {

TEST(DBGridTest, DataChangeOncePerChange)
{
    MemTable t(QStringLiteral("t"), {{QStringLiteral("name"), FieldType::String, 10},
                                     {QStringLiteral("wybrany"), FieldType::Integer, 0, 1}});
    t.Open();
    DBGrid grid;
    grid.SetTable(&t);
    grid.SetColumns({{QStringLiteral("name"), QString(), 80}, {QStringLiteral("wybrany"), QString(), 30}});
    grid.resize(200, 300);
    grid.show();
    QSignalSpy spy(&grid, &DBGrid::DataChange);

    struct Step {
        const char* what;
        std::function<void()> change;
        int changes;
        int currentRow;  // the grid's current row afterwards
    };
    const std::vector<Step> steps = {
        {"bulk append while suspended",
         [&] {
             grid.DisableControls();
             for (int i = 0; i < 5; ++i)
                 t.SetStringAt(t.AppendRow(), 0, QStringLiteral("row %1").arg(i));
             t.SetRecNo(2);
             grid.EnableControls();
         },
         1, 2},
        {"nested suspension resumes once",
         [&] {
             grid.DisableControls();
             grid.DisableControls();
             t.SetIntAt(3, 1, 1);
             grid.EnableControls();
             EXPECT_EQ(spy.count(), 0);
             grid.EnableControls();
         },
         1, 2},
        {"a move", [&] { grid.SelectRow(4); }, 1, 4},
        {"a value of the current row", [&] { t.SetIntAt(4, 1, 1); }, 1, 4},
        {"a value of another row", [&] { t.SetIntAt(0, 1, 1); }, 0, 4},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        spy.clear();
        s.change();
        EXPECT_EQ(spy.count(), s.changes);
        EXPECT_EQ(grid.currentIndex().row(), s.currentRow);
        EXPECT_EQ(t.RecNo(), s.currentRow);
    }
}

}  // namespace

namespace {

// The fill column takes what the other columns leave of the grid's width,
// at least 40 pixels, as the grid is resized and rows add a scroll bar.
TEST(DBGridTest, FillColumnTakesTheRestOfTheWidth)
{
    MemTable t(QStringLiteral("t"), {{QStringLiteral("a"), FieldType::String, 10},
                                     {QStringLiteral("b"), FieldType::Integer},
                                     {QStringLiteral("c"), FieldType::Integer}});
    t.Open();
    DBGrid grid;
    grid.SetTable(&t);
    grid.SetColumns({{QStringLiteral("a"), QString(), 105}, {QStringLiteral("b"), QString(), 70},
                     {QStringLiteral("c"), QString(), 50}});
    grid.SetFillColumn(QStringLiteral("A"));
    grid.show();
    struct Case {
        int width;
        int rows;
    };
    for (const Case& c : std::vector<Case>{{400, 0}, {250, 0}, {400, 200}, {100, 200}}) {
        SCOPED_TRACE(c.width);
        while (t.RecordCount() < c.rows)
            t.AppendRow();
        grid.resize(c.width, 300);
        QCoreApplication::processEvents();
        const int fill = grid.columnWidth(0);
        EXPECT_EQ(fill, std::max(40, grid.viewport()->width() - 120));
        EXPECT_EQ(grid.columnWidth(1), 70);
        if (c.width >= 250) {
            EXPECT_EQ(grid.horizontalScrollBar()->maximum(), 0);
        }
    }
}

}  // namespace
