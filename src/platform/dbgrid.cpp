#include "platform/dbgrid.h"

#include <algorithm>

#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "platform/memtable.h"

namespace {

// The table's own model with the grid's column titles.
class GridModel : public MemTableModel {
public:
    GridModel(MemTable* table, QObject* parent) : MemTableModel(table, parent) {}
    std::vector<QString> titles;  // per field of the table; empty: the field name

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            size_t(section) < titles.size() && !titles[size_t(section)].isNull())
            return titles[size_t(section)];
        return MemTableModel::headerData(section, orientation, role);
    }
};

QString valueText(MemTable& t, int row, int col)
{
    if (t.IsNullAt(row, col))
        return {};
    const FieldDef& def = t.Def(col);
    switch (def.type) {
    case FieldType::Integer: return QString::number(t.IntAt(row, col));
    case FieldType::Float: return QString::number(t.FloatAt(row, col), 'g', 15);
    case FieldType::String: return t.StringAt(row, col);
    case FieldType::DateTime: {
        const QDateTime dt = FromTDateTime(t.FloatAt(row, col));
        const QLocale loc;
        if (dt.time() == QTime(0, 0))
            return loc.toString(dt.date(), QLocale::ShortFormat);
        return loc.toString(dt.date(), QLocale::ShortFormat) + u' ' + loc.toString(dt.time(), QStringLiteral("hh:mm:ss"));
    }
    case FieldType::Boolean: return t.BoolAt(row, col) ? QStringLiteral("True") : QStringLiteral("False");
    }
    return {};
}

bool cellSet(MemTable& t, int row, int col)
{
    if (t.IsNullAt(row, col))
        return false;
    switch (t.Def(col).type) {
    case FieldType::Integer: return t.IntAt(row, col) != 0;
    case FieldType::Float:
    case FieldType::DateTime: return t.FloatAt(row, col) != 0;
    case FieldType::Boolean: return t.BoolAt(row, col);
    case FieldType::String: return !t.StringAt(row, col).isEmpty();
    }
    return false;
}

}  // namespace

class DBGrid::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(DBGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        MemTable* t = grid_->table_;
        if (!t || !index.isValid() || index.row() >= t->RecordCount())
            return;
        const int row = index.row();
        const int col = index.column();
        const FieldDef& def = t->Def(col);
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& pal = grid_->palette();
        p->save();
        p->fillRect(option.rect, selected ? pal.color(QPalette::Active, QPalette::Highlight) : pal.color(QPalette::Base));
        if (def.tag > 0) {
            // Tag 2 marks the rows whose value is cleared.
            const bool marked = cellSet(*t, row, col) != (def.tag == 2 && grid_->tag2TicksCleared_);
            if (marked && (!grid_->ShowCheck || grid_->ShowCheck(row, def.name)) && !grid_->tick_.isNull()) {
                const int x = option.rect.left() + (option.rect.width() - grid_->tick_.width()) / 2;
                p->drawPixmap(x, option.rect.top() + grid_->tickY_, grid_->tick_);
            }
        } else {
            QColor colour = grid_->textColour_;
            QFont font = grid_->textFont_;
            if (selected)
                colour = pal.color(QPalette::Active, QPalette::HighlightedText);
            else if (grid_->GetCellParams)
                grid_->GetCellParams(row, def.name, colour, font);
            const QString text = grid_->cellText(row, col);
            p->setPen(colour);
            p->setFont(font);
            const Qt::Alignment align =
                (def.type == FieldType::Integer || def.type == FieldType::Float) ? Qt::AlignRight : Qt::AlignLeft;
            // A text wider than its column ends in an ellipsis rather than being
            // cut (the tip shows it whole).
            const QRect box = option.rect.adjusted(3, 0, -3, 0);
            p->drawText(box, int(align | Qt::AlignVCenter),
                        QFontMetrics(font).elidedText(text, Qt::ElideRight, box.width() + 2));
        }
        if ((option.state & QStyle::State_HasFocus) && grid_->hasFocus()) {
            p->setPen(QPen(pal.color(QPalette::HighlightedText), 1, Qt::DotLine));
            p->setBrush(Qt::NoBrush);
            p->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        p->restore();
    }

private:
    DBGrid* grid_;
};

DBGrid::DBGrid(QWidget* parent) : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new Delegate(this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setMinimumSectionSize(12);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    setShowGrid(true);
    setWordWrap(false);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::Text, Qt::white);
    // The selection stays visible when the grid loses the focus.
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight, QColor(0, 120, 215));
        pal.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    setPalette(pal);
    setStyleSheet(QStringLiteral("QTableView { gridline-color: #404040; }"));
    textFont_ = font();
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int logical) {
        if (table_ && logical >= 0 && logical < table_->FieldCount())
            emit TitleClick(table_->Def(logical).name);
    });
}

DBGrid::~DBGrid() = default;

void DBGrid::SetTable(MemTable* table)
{
    if (table_)
        disconnect(table_, nullptr, this, nullptr);
    table_ = table;
    QAbstractItemModel* old = model();
    if (table_) {
        model_ = new GridModel(table_, this);
        setModel(model_);
        connect(table_, &MemTable::CurrentChanged, this, [this](int) { syncFromTable(); });
        connect(table_, &MemTable::TableReset, this, [this] { onTableChanged(); });
        connect(table_, &MemTable::RowChanged, this, [this](int row) {
            if (table_ && row == table_->RecNo())
                emit DataChange();
        });
        connect(table_, &MemTable::RowsInserted, this, [this](int, int) { emit DataChange(); });
        connect(table_, &MemTable::RowsRemoved, this, [this](int, int) { emit DataChange(); });
    } else {
        model_ = nullptr;
        setModel(nullptr);
    }
    delete old;
    rebuildColumns();
    syncFromTable();
}

void DBGrid::SetColumns(const std::vector<GridColumn>& columns)
{
    columns_ = columns;
    rebuildColumns();
}

void DBGrid::rebuildColumns()
{
    fieldIndex_.clear();
    if (!table_ || !model_)
        return;
    auto* gm = static_cast<GridModel*>(model_);
    gm->titles.assign(size_t(table_->FieldCount()), QString());
    QHeaderView* h = horizontalHeader();
    for (int i = 0; i < table_->FieldCount(); ++i)
        h->setSectionHidden(i, true);
    int visual = 0;
    for (const GridColumn& c : columns_) {
        const int logical = table_->FieldIndex(c.field);
        fieldIndex_.push_back(logical);
        if (logical < 0 || !h->isSectionHidden(logical))  // missing, or listed twice
            continue;
        gm->titles[size_t(logical)] = c.title.isNull() ? table_->Def(logical).name : c.title;
        h->setSectionHidden(logical, false);
        h->moveSection(h->visualIndex(logical), visual++);
        h->resizeSection(logical, c.width);
    }
    emit gm->headerDataChanged(Qt::Horizontal, 0, table_->FieldCount() - 1);
    fitFillColumn();
}

void DBGrid::SetFillColumn(const QString& field)
{
    fillField_ = field;
    fitFillColumn();
}

void DBGrid::fitFillColumn()
{
    if (fillField_.isEmpty() || !table_)
        return;
    int others = 0;
    int fill = -1;
    for (size_t i = 0; i < fieldIndex_.size(); ++i) {
        const int logical = fieldIndex_[i];
        if (logical < 0)
            continue;
        if (fill < 0 && table_->Def(logical).name.compare(fillField_, Qt::CaseInsensitive) == 0)
            fill = logical;
        else
            others += columns_[i].width;
    }
    if (fill >= 0)
        horizontalHeader()->resizeSection(fill, std::max(kMinFillWidth, viewport()->width() - others));
}

int DBGrid::modelColumn(int gridColumn) const
{
    if (gridColumn < 0 || size_t(gridColumn) >= fieldIndex_.size())
        return -1;
    return fieldIndex_[size_t(gridColumn)];
}

QString DBGrid::ColumnField(int column) const
{
    const int logical = modelColumn(column);
    return logical < 0 || !table_ ? QString() : table_->Def(logical).name;
}

int DBGrid::ColumnAtX(int x) const
{
    const int logical = columnAt(x);
    if (logical < 0)
        return -1;
    for (size_t i = 0; i < fieldIndex_.size(); ++i)
        if (fieldIndex_[i] == logical)
            return int(i);
    return -1;
}

QString DBGrid::CurrentField() const
{
    const QModelIndex cur = currentIndex();
    if (!table_ || !cur.isValid() || cur.column() >= table_->FieldCount())
        return {};
    return table_->Def(cur.column()).name;
}

void DBGrid::SetTitlesVisible(bool visible) { horizontalHeader()->setVisible(visible); }

void DBGrid::SetTitleLook(const QColor& text, const QColor& background, const QFont& font)
{
    horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { color: %1; background-color: %2; "
                                                     "border: 1px solid #404040; padding: 2px; }")
                                          .arg(text.name(), background.name()));
    horizontalHeader()->setFont(font);
}

void DBGrid::SetSortMarker(const QString& field, bool ascending)
{
    sortField_ = field;
    sortAscending_ = ascending;
    const int logical = table_ && !field.isEmpty() ? table_->FieldIndex(field) : -1;
    horizontalHeader()->setSortIndicatorShown(logical >= 0);
    if (logical >= 0)
        // The header draws its down arrow for Qt's ascending order; the grid
        // shows "up" for ascending and "down" for descending.
        horizontalHeader()->setSortIndicator(logical, ascending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void DBGrid::SetTextLook(const QColor& text, const QFont& font)
{
    textColour_ = text;
    textFont_ = font;
    setFont(font);
    viewport()->update();
}

void DBGrid::SetTickPicture(const QPixmap& picture, int y)
{
    tick_ = picture;
    tickY_ = y;
    viewport()->update();
}

void DBGrid::SetTag2TicksCleared(bool on)
{
    tag2TicksCleared_ = on;
    viewport()->update();
}

void DBGrid::DisableControls()
{
    if (disabled_++ == 0) {
        setUpdatesEnabled(false);
        if (table_)
            table_->BeginBulk();
    }
}

void DBGrid::EnableControls()
{
    if (disabled_ == 0)
        return;
    if (--disabled_ == 0) {
        setUpdatesEnabled(true);
        if (table_)
            table_->EndBulk();  // one reset: the grid shows the whole table, DataChange follows
        viewport()->update();
    }
}

void DBGrid::SelectRow(int row)
{
    if (!table_ || row < 0 || row >= table_->RecordCount())
        return;
    table_->SetRecNo(row);
    if (disabled_ == 0)
        syncFromTable();
}

void DBGrid::onTableChanged()
{
    if (!syncFromTable())
        emit DataChange();
}

bool DBGrid::syncFromTable()
{
    if (!table_ || !model_ || disabled_ > 0)
        return false;
    const int row = table_->Active() ? table_->RecNo() : -1;
    const QModelIndex cur = currentIndex();
    if (row < 0 || row >= model_->rowCount()) {
        if (cur.isValid()) {
            syncing_ = true;
            setCurrentIndex(QModelIndex());
            syncing_ = false;
        }
        return false;
    }
    if (cur.isValid() && cur.row() == row)
        return false;
    int column = cur.isValid() ? cur.column() : -1;
    if (column < 0 || horizontalHeader()->isSectionHidden(column))
        column = fieldIndex_.empty() || fieldIndex_.front() < 0 ? 0 : fieldIndex_.front();
    syncing_ = true;
    setCurrentIndex(model_->index(row, column));
    syncing_ = false;
    emit DataChange();
    return true;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (syncing_ || !table_ || !current.isValid())
        return;
    if (current.row() != previous.row() || !previous.isValid()) {
        if (table_->RecNo() != current.row()) {
            syncing_ = true;
            table_->SetRecNo(current.row());
            syncing_ = false;
        }
        if (disabled_ == 0)
            emit DataChange();
    }
}

QString DBGrid::cellText(int row, int column) const
{
    if (!table_ || row < 0 || row >= table_->RecordCount() || column < 0 || column >= table_->FieldCount())
        return {};
    return CellText ? CellText(row, table_->Def(column).name) : valueText(*table_, row, column);
}

bool DBGrid::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        const bool handled = QTableView::viewportEvent(event);
        fitFillColumn();
        return handled;
    }
    // A text cut off by its column shows whole in a tip.
    if (event->type() == QEvent::ToolTip && table_) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        QString text;
        if (index.isValid() && table_->Def(index.column()).tag == 0) {
            text = cellText(index.row(), index.column());
            QColor colour = textColour_;
            QFont font = textFont_;
            if (GetCellParams)
                GetCellParams(index.row(), table_->Def(index.column()).name, colour, font);
            if (QFontMetrics(font).horizontalAdvance(text) <= visualRect(index).width() - 4)
                text.clear();
        }
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
        return true;
    }
    return QTableView::viewportEvent(event);
}

void DBGrid::mousePressEvent(QMouseEvent* event)
{
    pressed_ = indexAt(event->position().toPoint());
    // Either button selects the row under the mouse, as the grids of the
    // analysis expect before their mouse-up handling.
    if (event->button() == Qt::RightButton && pressed_.isValid())
        setCurrentIndex(pressed_);
    QTableView::mousePressEvent(event);
}

void DBGrid::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    const QModelIndex idx = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && idx.isValid() && idx == pressed_ && table_)
        emit CellClick(idx.row(), table_->Def(idx.column()).name);
    emit MouseUp(event->button(), event->position().toPoint());
}
