#pragma once
// A read-only data grid over an in-memory table, as the analysis windows
// and check lists show their tables: chosen columns with titles and widths,
// black background, the table's current row as the grid's current row (both
// ways), per-cell text colours chosen by the window, and check columns (the
// fields with a tag above 0) drawn as a tick picture instead of a value: tag
// 1 ticks the rows whose value is set, tag 2 those whose value is cleared.
// A text cut off by its column shows whole in a tip.
//
// Updates can be suspended around bulk changes of the table
// (DisableControls / EnableControls, nesting); while suspended the grid is
// neither repainted nor told of moves, and DataChange is not sent.  Resuming
// shows the whole table again and sends DataChange once.
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QTableView>

#include <functional>
#include <vector>

class MemTable;
class MemTableModel;

struct GridColumn {
    QString field;  // field of the table (case-insensitive)
    QString title;  // title row text
    int width = 64;
};

class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    // The table shown (not owned); null shows nothing.
    void SetTable(MemTable* table);
    MemTable* Table() const { return table_; }
    // The columns shown, in order; fields the table lacks are left out.
    void SetColumns(const std::vector<GridColumn>& columns);
    const std::vector<GridColumn>& Columns() const { return columns_; }
    // A column that takes the width the other columns leave in the grid
    // (at least 40 pixels), so that the grid fills its width without
    // sideways scrolling; empty: none (the default).
    void SetFillColumn(const QString& field);
    // Field of a grid column; empty for an invalid column.
    QString ColumnField(int column) const;
    // Grid column under a viewport x; -1 when none.
    int ColumnAtX(int x) const;
    // Field of the grid's current cell; empty when there is none.
    QString CurrentField() const;

    void SetTitlesVisible(bool visible);
    // Title texts: colour, background, font.
    void SetTitleLook(const QColor& text, const QColor& background, const QFont& font);
    // Marker drawn in a column's title after a sort; empty field: none.
    // The up marker stands for ascending, the down marker for descending.
    void SetSortMarker(const QString& field, bool ascending);
    const QString& SortMarkerField() const { return sortField_; }
    bool SortMarkerAscending() const { return sortAscending_; }

    // Text colour and font of the cells of rows that are not selected.
    void SetTextLook(const QColor& text, const QFont& font);
    // Called for every cell that is not selected, with the default colour
    // and font already set; row is the table's row.
    std::function<void(int row, const QString& field, QColor& text, QFont& font)> GetCellParams;
    // Decides whether the tick of a check column is drawn for a row the
    // field's tag marks; null: always.
    std::function<bool(int row, const QString& field)> ShowCheck;
    // The tick picture and its y inside the cell; x centres it.
    void SetTickPicture(const QPixmap& picture, int y);
    // Off: tag-2 columns tick the rows whose value is set, as tag 1 does
    // (grids whose second check column shows a plain yes / no).
    void SetTag2TicksCleared(bool on);
    // Cell texts: a formatter per field; null or absent: the value as text
    // (date-times in the user's short date and long time).
    std::function<QString(int row, const QString& field)> CellText;

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disabled_ > 0; }

    // Moves the table's current row (and the grid's).
    void SelectRow(int row);

signals:
    // A click on a cell (button released on the cell it was pressed on).
    void CellClick(int row, const QString& field);
    // A click on a column title.
    void TitleClick(const QString& field);
    // A mouse button released over the grid, at a viewport position.
    void MouseUp(Qt::MouseButton button, const QPoint& pos);
    // The current row moved, or the data of the table changed.
    void DataChange();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    // Tips with the whole text of cells whose text the column cuts off.
    bool viewportEvent(QEvent* event) override;

private:
    class Delegate;
    friend class Delegate;
    int modelColumn(int gridColumn) const;
    QString cellText(int row, int column) const;  // row and field of the table
    void fitFillColumn();
    static constexpr int kMinFillWidth = 40;
    void rebuildColumns();
    // Moves the grid to the table's current row; true when it sent
    // DataChange for the move.
    bool syncFromTable();
    void onTableChanged();

    MemTable* table_ = nullptr;
    MemTableModel* model_ = nullptr;
    std::vector<GridColumn> columns_;
    std::vector<int> fieldIndex_;  // per grid column: the table's field, -1 when missing
    QPixmap tick_;
    int tickY_ = 0;
    bool tag2TicksCleared_ = true;
    QColor textColour_ = Qt::white;
    QFont textFont_;
    QString fillField_;
    QString sortField_;
    bool sortAscending_ = true;
    int disabled_ = 0;
    bool syncing_ = false;
    QModelIndex pressed_;
};
