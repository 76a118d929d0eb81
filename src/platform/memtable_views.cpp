#include "platform/memtable_impl.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>

// Views of MemTable's data: column views, holds that keep the arrays for
// readers, and the item model for grids.

namespace {

bool IsNumeric(FieldType t) { return t == FieldType::Integer || t == FieldType::Float || t == FieldType::DateTime; }

// The view of a numeric column of so many rows.
ColumnView ViewOf(const Column& c, int rows)
{
    ColumnView v;
    v.rows = rows;
    switch (c.store) {
    case Store::Uniform:
        v.storage = ColumnStorage::Uniform;
        v.uniform = c.type == FieldType::Integer ? double(c.uniI) : c.uniF;  // 0 when NULL
        break;
    case Store::I8:
        v.storage = ColumnStorage::Int8;
        v.data = c.i8.data();
        break;
    case Store::I16:
        v.storage = ColumnStorage::Int16;
        v.data = c.i16.data();
        break;
    case Store::I32:
        v.storage = ColumnStorage::Int32;
        v.data = c.ints.data();
        break;
    default:
        v.storage = ColumnStorage::Float64;
        v.data = c.floats.data();
        break;
    }
    return v;
}

[[noreturn]] void NotNumeric(const QString& field, const QString& table)
{
    fail(QStringLiteral("Field %1 of %2 is not numeric").arg(field, table));
}

}  // namespace

ColumnView MemTable::View(int column) const
{
    d->requireColumn(column);
    const Column& c = d->cols[size_t(column)];
    if (!IsNumeric(c.type))
        NotNumeric(d->defs[size_t(column)].name, d->name);
    return ViewOf(c, d->rows);
}

std::shared_ptr<const MemTableHold> MemTable::Hold() const
{
    if (d->held)
        if (std::shared_ptr<MemTableHold> h = d->hold.lock())
            return h;
    auto h = std::make_shared<MemTableHold>();
    h->table_ = d->name;
    h->rows_ = d->rows;
    h->views_.reserve(d->cols.size());
    for (const Column& c : d->cols) {
        ColumnView v;
        if (IsNumeric(c.type))
            v = ViewOf(c, d->rows);
        else
            v.rows = -1;
        h->views_.push_back(v);
    }
    d->hold = h;
    d->held = true;
    return h;
}

ColumnView MemTableHold::View(int column) const
{
    if (column < 0 || size_t(column) >= views_.size())
        fail(QStringLiteral("Field index %1 out of range in a hold of table %2").arg(column).arg(table_));
    if (views_[size_t(column)].rows < 0)
        NotNumeric(QString::number(column), table_);
    return views_[size_t(column)];
}

// ---------------------------------------------------------------------------
// MemTableModel

MemTableModel::MemTableModel(MemTable* table, QObject* parent) : QAbstractTableModel(parent), table_(table)
{
    if (!table_)
        return;
    rows_ = table_->RecordCount();
    connect(table_, &MemTable::TableReset, this, &MemTableModel::onReset);
    connect(table_, &MemTable::RowsInserted, this, &MemTableModel::onRowsInserted);
    connect(table_, &MemTable::RowsRemoved, this, &MemTableModel::onRowsRemoved);
    connect(table_, &MemTable::RowChanged, this, &MemTableModel::onRowChanged);
    connect(table_, &QObject::destroyed, this, [this] {
        beginResetModel();
        table_ = nullptr;
        rows_ = 0;
        endResetModel();
    });
}

int MemTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int MemTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !table_ ? 0 : table_->FieldCount();
}

int MemTableModel::tableRow(int modelRow) const
{
    int r = modelRow;
    if (pending_.count > 0 && modelRow >= pending_.first) {
        r = modelRow + pending_.count;
    } else if (pending_.count < 0 && modelRow >= pending_.first) {
        if (modelRow < pending_.first - pending_.count)
            return -1;
        r = modelRow + pending_.count;
    }
    return table_ && r >= 0 && r < table_->RecordCount() ? r : -1;
}

QVariant MemTableModel::data(const QModelIndex& index, int role) const
{
    if (!table_ || !index.isValid() || index.row() >= rows_ || index.column() >= table_->FieldCount())
        return {};
    const int col = index.column();
    const FieldDef& def = table_->Def(col);
    if (role == kTagRole)
        return def.tag;
    const int row = tableRow(index.row());
    if (row < 0)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        if (table_->IsNullAt(row, col))
            return {};
        if (def.type == FieldType::DateTime)
            return FromTDateTime(table_->FloatAt(row, col));
        return table_->ValueAt(row, col);
    }
    case Qt::CheckStateRole:
        if (def.type != FieldType::Boolean)
            return {};
        return int(!table_->IsNullAt(row, col) && table_->BoolAt(row, col) ? Qt::Checked : Qt::Unchecked);
    default:
        return {};
    }
}

QVariant MemTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && table_ && section >= 0 &&
        section < table_->FieldCount())
        return table_->Def(section).name;
    return QAbstractTableModel::headerData(section, orientation, role);
}

void MemTableModel::onReset()
{
    beginResetModel();
    pending_ = {};
    rows_ = table_ ? table_->RecordCount() : 0;
    endResetModel();
}

void MemTableModel::onRowsInserted(int first, int last)
{
    const int n = last - first + 1;
    // Out of step (a load the model missed): start over from the table.
    if (n <= 0 || first < 0 || first > rows_ || rows_ + n != table_->RecordCount()) {
        onReset();
        return;
    }
    pending_ = {first, n};
    beginInsertRows(QModelIndex(), first, last);
    pending_ = {};
    rows_ += n;
    endInsertRows();
}

void MemTableModel::onRowsRemoved(int first, int last)
{
    const int n = last - first + 1;
    if (n <= 0 || first < 0 || last >= rows_ || rows_ - n != table_->RecordCount()) {
        onReset();
        return;
    }
    pending_ = {first, -n};
    beginRemoveRows(QModelIndex(), first, last);
    pending_ = {};
    rows_ -= n;
    endRemoveRows();
}

void MemTableModel::onRowChanged(int row)
{
    if (row < 0 || row >= rows_ || !table_ || table_->FieldCount() == 0)
        return;
    emit dataChanged(index(row, 0), index(row, table_->FieldCount() - 1));
}

