#include "platform/memtable_impl.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>

// The dataset side of MemTable: opening and closing, the cursor, edits,
// cell access and the field objects.

// ---------------------------------------------------------------------------
// MemTable

MemTable::MemTable(const QString& name, std::vector<FieldDef> fields, QObject* parent)
    : QObject(parent), d(std::make_unique<Impl>())
{
    d->name = name;
    setObjectName(name);
    for (size_t i = 0; i < fields.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (fields[i].name.compare(fields[j].name, Qt::CaseInsensitive) == 0)
                fail(QStringLiteral("Duplicate field '%1' in table %2").arg(fields[i].name, name));
    d->defs = std::move(fields);
    d->cols.resize(d->defs.size());
    for (size_t i = 0; i < d->defs.size(); ++i) {
        d->cols[i].type = d->defs[i].type;
        d->cols[i].store = plainStore(d->defs[i].type);
    }
}

MemTable::~MemTable() { d->detach(true); }

const QString& MemTable::Name() const { return d->name; }
int MemTable::FieldCount() const { return int(d->defs.size()); }

const FieldDef& MemTable::Def(int column) const
{
    d->requireColumn(column);
    return d->defs[size_t(column)];
}

int MemTable::FieldIndex(const QString& name) const { return d->fieldIndex(name.trimmed()); }

void MemTable::SetFieldTag(const QString& name, int tag) { d->defs[size_t(d->requireField(name))].tag = tag; }

void MemTable::rowChanged(int row)
{
    if (d->bulk == 0)
        emit RowChanged(row);
}

void MemTable::currentMoved(int before)
{
    if (d->bulk == 0 && d->cur != before)
        emit CurrentChanged(d->cur);
}

void MemTable::Open()
{
    if (d->active)
        return;
    d->active = true;
    d->state = State::Browse;
    d->toFirst();
    NotifyReset();
}

void MemTable::Close()
{
    const bool wasActive = d->active || d->rows > 0;
    d->active = false;
    d->state = State::Inactive;
    d->detach(true);
    for (Column& c : d->cols)
        c.clear();
    d->rows = 0;
    d->derived = false;
    ++d->structVersion;
    d->indexes.clear();
    d->saved.clear();
    const int before = d->cur;
    d->cur = -1;
    d->eof = d->bof = true;
    if (wasActive && d->bulk == 0) {
        emit TableReset();
        if (before != -1)
            emit CurrentChanged(-1);
    }
}

bool MemTable::Active() const { return d->active; }
MemTable::State MemTable::GetState() const { return d->state; }
int MemTable::RecordCount() const { return d->rows; }
bool MemTable::IsEmpty() const { return d->rows == 0; }
int MemTable::RecNo() const { return d->cur; }
bool MemTable::Eof() const { return d->eof; }
bool MemTable::Bof() const { return d->bof; }

void MemTable::SetRecNo(int row)
{
    d->requireActive();
    Post();
    if (row < 0 || row >= d->rows)
        fail(QStringLiteral("Record %1 out of range in %2").arg(row).arg(d->where()));
    const int before = d->cur;
    d->cur = row;
    d->eof = d->bof = false;
    currentMoved(before);
}

void MemTable::First()
{
    d->requireActive();
    Post();
    const int before = d->cur;
    d->toFirst();
    currentMoved(before);
}

void MemTable::Last()
{
    d->requireActive();
    Post();
    const int before = d->cur;
    d->cur = d->rows - 1;
    d->eof = true;
    d->bof = d->rows == 0;
    currentMoved(before);
}

void MemTable::Next()
{
    d->requireActive();
    Post();
    if (d->eof)
        return;
    const int before = d->cur;
    d->bof = false;
    if (d->cur + 1 < d->rows)
        ++d->cur;
    else
        d->eof = true;
    if (d->rows == 0)
        d->bof = true;
    currentMoved(before);
}

void MemTable::Prior()
{
    d->requireActive();
    Post();
    if (d->bof)
        return;
    const int before = d->cur;
    d->eof = false;
    if (d->cur > 0)
        --d->cur;
    else
        d->bof = true;
    if (d->rows == 0)
        d->eof = true;
    currentMoved(before);
}

void MemTable::Append()
{
    d->requireActive();
    Post();
    const int before = d->cur;
    d->curBeforeInsert = before;
    d->pushRow();
    d->cur = d->rows - 1;
    d->state = State::Insert;
    d->eof = d->bof = false;
    if (d->bulk == 0)
        emit RowsInserted(d->cur, d->cur);
    currentMoved(before);
}

void MemTable::Edit()
{
    d->requireActive();
    if (d->state == State::Edit || d->state == State::Insert)
        return;
    if (d->cur < 0)
        fail(QStringLiteral("Cannot edit: %1 has no current row").arg(d->where()));
    d->saveRow(d->cur);
    d->state = State::Edit;
}

void MemTable::Post()
{
    d->requireActive();
    if (d->state != State::Edit && d->state != State::Insert)
        return;
    d->state = State::Browse;
    d->saved.clear();
    if (d->cur >= 0)
        rowChanged(d->cur);
}

void MemTable::Cancel()
{
    d->requireActive();
    if (d->state == State::Edit) {
        d->state = State::Browse;
        d->restoreRow(d->cur);
        rowChanged(d->cur);
    } else if (d->state == State::Insert) {
        d->state = State::Browse;
        const int row = d->cur;
        d->eraseRow(row);
        if (d->bulk == 0)
            emit RowsRemoved(row, row);
        const int back = d->curBeforeInsert;
        d->cur = d->rows == 0 ? -1 : std::clamp(back, 0, d->rows - 1);
        d->eof = d->bof = d->rows == 0;
        currentMoved(row);
    }
}

void MemTable::Delete()
{
    d->requireActive();
    if (d->state == State::Insert) {  // deleting a row not yet posted drops it
        Cancel();
        return;
    }
    if (d->cur < 0)
        fail(QStringLiteral("Cannot perform this operation on an empty dataset (%1)").arg(d->where()));
    d->state = State::Browse;
    d->saved.clear();
    const int row = d->cur;
    d->eraseRow(row);
    if (d->bulk == 0)
        emit RowsRemoved(row, row);
    if (d->rows == 0) {
        d->cur = -1;
        d->eof = d->bof = true;
    } else if (row < d->rows) {
        d->cur = row;  // the next row moved into this place
        d->eof = d->bof = false;
    } else {
        d->cur = d->rows - 1;  // the last row went: the new last one, at the end
        d->eof = true;
        d->bof = false;
    }
    // The current row index may be the same while the row under it changed.
    if (d->bulk == 0)
        emit CurrentChanged(d->cur);
}

MemField MemTable::FieldByName(const QString& name) { return MemField(this, d->requireField(name), MemField::kCurrentRow); }

MemField MemTable::FieldAt(int column)
{
    d->requireColumn(column);
    return MemField(this, column, MemField::kCurrentRow);
}

MemField MemTable::Cell(int row, int column)
{
    d->requireCell(row, column);
    return MemField(this, column, row);
}

int MemTable::AppendRow()
{
    d->requireActive();
    d->pushRow();
    return appended(d->rows - 1, d->rows - 1);
}

int MemTable::appended(int row, int last)
{
    if (d->bulk == 0)
        emit RowsInserted(row, last);
    if (d->cur < 0) {
        d->cur = 0;
        d->bof = true;
        d->eof = false;
        if (d->bulk == 0)
            emit CurrentChanged(0);
    }
    return row;
}

int32_t MemTable::IntAt(int row, int column) const
{
    d->requireCell(row, column);
    d->requireType(column, FieldType::Integer, FieldType::Integer);
    return d->cols[size_t(column)].getInt(row);
}

double MemTable::FloatAt(int row, int column) const
{
    d->requireCell(row, column);
    d->requireType(column, FieldType::Float, FieldType::DateTime);
    return d->cols[size_t(column)].getFloat(row);
}

QString MemTable::StringAt(int row, int column) const
{
    d->requireCell(row, column);
    d->requireType(column, FieldType::String, FieldType::String);
    return d->text(row, column);
}

bool MemTable::BoolAt(int row, int column) const
{
    d->requireCell(row, column);
    d->requireType(column, FieldType::Boolean, FieldType::Boolean);
    return d->cols[size_t(column)].getBool(row);
}

bool MemTable::IsNullAt(int row, int column) const
{
    d->requireCell(row, column);
    return d->isNull(row, column);
}

QVariant MemTable::ValueAt(int row, int column) const
{
    d->requireCell(row, column);
    return d->value(row, column);
}

void MemTable::SetIntAt(int row, int column, int32_t v)
{
    d->requireCell(row, column);
    d->requireType(column, FieldType::Integer, FieldType::Integer);
    d->storeInt(row, column, v);
    rowChanged(row);
}

void MemTable::SetFloatAt(int row, int column, double v)
{
    d->requireCell(row, column);
    d->requireType(column, FieldType::Float, FieldType::DateTime);
    d->storeFloat(row, column, v);
    rowChanged(row);
}

void MemTable::SetStringAt(int row, int column, const QString& v)
{
    d->requireCell(row, column);
    d->requireType(column, FieldType::String, FieldType::String);
    d->storeString(row, column, v);
    rowChanged(row);
}

void MemTable::SetBoolAt(int row, int column, bool v)
{
    d->requireCell(row, column);
    d->requireType(column, FieldType::Boolean, FieldType::Boolean);
    d->storeBool(row, column, v);
    rowChanged(row);
}

// ---------------------------------------------------------------------------
// MemField

const FieldDef& MemField::Def() const { return t_->Def(col_); }

int MemField::readRow() const
{
    const MemTable::Impl& d = *t_->d;
    if (row_ == kCurrentRow)
        return d.cur;
    d.requireCell(row_, col_);
    return row_;
}

// A field of the current row writes only in Edit / Insert state; a field of
// a given row (Cell) writes straight into it.
int MemField::writeRow() const
{
    const MemTable::Impl& d = *t_->d;
    if (row_ != kCurrentRow) {
        d.requireCell(row_, col_);
        return row_;
    }
    d.requireActive();
    if (d.state != MemTable::State::Edit && d.state != MemTable::State::Insert)
        fail(QStringLiteral("Dataset not in edit or insert mode (%1)").arg(d.where()));
    if (d.cur < 0)
        fail(QStringLiteral("%1 has no current row").arg(d.where()));
    return d.cur;
}

#define PV_READ_ROW(d, r)                   \
    const MemTable::Impl& d = *t_->d;       \
    const int r = readRow();

bool MemField::IsNull() const
{
    PV_READ_ROW(d, r)
    return r < 0 || d.isNull(r, col_);
}

QVariant MemField::Value() const
{
    PV_READ_ROW(d, r)
    return r < 0 ? QVariant() : d.value(r, col_);
}

int32_t MemField::AsInteger() const
{
    PV_READ_ROW(d, r)
    if (r < 0 || d.isNull(r, col_))
        return 0;
    const Column& c = d.cols[size_t(col_)];
    switch (c.type) {
    case FieldType::Integer: return c.getInt(r);
    case FieldType::Float:
    case FieldType::DateTime: return roundToInt(c.getFloat(r));
    case FieldType::String: {
        const QString s = d.text(r, col_);
        int32_t v = 0;
        if (s.trimmed().isEmpty())
            return 0;
        if (!tryParseInt(s, v))
            fail(QStringLiteral("'%1' is not a valid integer value").arg(s));
        return v;
    }
    case FieldType::Boolean: return c.getBool(r) ? 1 : 0;
    }
    return 0;
}

double MemField::AsFloat() const
{
    PV_READ_ROW(d, r)
    if (r < 0 || d.isNull(r, col_))
        return 0.0;
    const Column& c = d.cols[size_t(col_)];
    switch (c.type) {
    case FieldType::Integer: return c.getInt(r);
    case FieldType::Float:
    case FieldType::DateTime: return c.getFloat(r);
    case FieldType::String: {
        const QString s = d.text(r, col_);
        double v = 0;
        if (s.trimmed().isEmpty())
            return 0.0;
        if (!tryParseFloat(s, v))
            fail(QStringLiteral("'%1' is not a valid floating point value").arg(s));
        return v;
    }
    case FieldType::Boolean: return c.getBool(r) ? 1.0 : 0.0;
    }
    return 0.0;
}

QString MemField::AsString() const
{
    PV_READ_ROW(d, r)
    if (r < 0 || d.isNull(r, col_))
        return QString();
    const Column& c = d.cols[size_t(col_)];
    switch (c.type) {
    case FieldType::Integer: return QString::number(c.getInt(r));
    case FieldType::Float: return floatText(c.getFloat(r));
    case FieldType::DateTime: return dateTimeText(c.getFloat(r));
    case FieldType::String: return d.text(r, col_);
    case FieldType::Boolean: return boolText(c.getBool(r));
    }
    return QString();
}

bool MemField::AsBoolean() const
{
    PV_READ_ROW(d, r)
    if (r < 0 || d.isNull(r, col_))
        return false;
    const Column& c = d.cols[size_t(col_)];
    switch (c.type) {
    case FieldType::Integer: return c.getInt(r) != 0;
    case FieldType::Float:
    case FieldType::DateTime: return c.getFloat(r) != 0;
    case FieldType::String: {
        const QString s = d.text(r, col_);
        bool v = false;
        if (s.trimmed().isEmpty())
            return false;
        if (!tryParseBool(s, v))
            fail(QStringLiteral("'%1' is not a valid boolean value").arg(s));
        return v;
    }
    case FieldType::Boolean: return c.getBool(r);
    }
    return false;
}

TDateTime MemField::AsDateTime() const
{
    PV_READ_ROW(d, r)
    if (r < 0 || d.isNull(r, col_))
        return 0.0;
    const Column& c = d.cols[size_t(col_)];
    switch (c.type) {
    case FieldType::Integer: return c.getInt(r);
    case FieldType::Float:
    case FieldType::DateTime: return c.getFloat(r);
    case FieldType::String: {
        const QString s = d.text(r, col_);
        double v = 0;
        if (s.trimmed().isEmpty())
            return 0.0;
        if (!tryParseDateTime(s, v))
            fail(QStringLiteral("'%1' is not a valid date and time").arg(s));
        return v;
    }
    case FieldType::Boolean:
        fail(QStringLiteral("Field '%1' is Boolean and has no date-time value").arg(d.defs[size_t(col_)].name));
    }
    return 0.0;
}
#undef PV_READ_ROW

void MemField::Clear()
{
    MemTable::Impl& d = *t_->d;
    const int r = writeRow();
    d.storeNull(r, col_);
    t_->rowChanged(r);
}

void MemField::SetAsInteger(int32_t v)
{
    MemTable::Impl& d = *t_->d;
    const int r = writeRow();
    switch (d.cols[size_t(col_)].type) {
    case FieldType::Integer: d.storeInt(r, col_, v); break;
    case FieldType::Float:
    case FieldType::DateTime: d.storeFloat(r, col_, v); break;
    case FieldType::String: d.storeString(r, col_, QString::number(v)); break;
    case FieldType::Boolean: d.storeBool(r, col_, v != 0); break;
    }
    t_->rowChanged(r);
}

void MemField::SetAsFloat(double v)
{
    MemTable::Impl& d = *t_->d;
    const int r = writeRow();
    switch (d.cols[size_t(col_)].type) {
    case FieldType::Integer: d.storeInt(r, col_, roundToInt(v)); break;
    case FieldType::Float:
    case FieldType::DateTime: d.storeFloat(r, col_, v); break;
    case FieldType::String: d.storeString(r, col_, floatText(v)); break;
    case FieldType::Boolean: d.storeBool(r, col_, v != 0); break;
    }
    t_->rowChanged(r);
}

void MemField::SetAsString(const QString& v)
{
    MemTable::Impl& d = *t_->d;
    const int r = writeRow();
    const FieldType type = d.cols[size_t(col_)].type;
    // An empty text clears a non-text field, as the dataset's fields do.
    if (type != FieldType::String && v.trimmed().isEmpty()) {
        d.storeNull(r, col_);
        t_->rowChanged(r);
        return;
    }
    switch (type) {
    case FieldType::Integer: {
        int32_t x = 0;
        if (!tryParseInt(v, x))
            fail(QStringLiteral("'%1' is not a valid integer value").arg(v));
        d.storeInt(r, col_, x);
        break;
    }
    case FieldType::Float: {
        double x = 0;
        if (!tryParseFloat(v, x))
            fail(QStringLiteral("'%1' is not a valid floating point value").arg(v));
        d.storeFloat(r, col_, x);
        break;
    }
    case FieldType::DateTime: {
        double x = 0;
        if (!tryParseDateTime(v, x))
            fail(QStringLiteral("'%1' is not a valid date and time").arg(v));
        d.storeFloat(r, col_, x);
        break;
    }
    case FieldType::Boolean: {
        bool x = false;
        if (!tryParseBool(v, x))
            fail(QStringLiteral("'%1' is not a valid boolean value").arg(v));
        d.storeBool(r, col_, x);
        break;
    }
    case FieldType::String: d.storeString(r, col_, v); break;
    }
    t_->rowChanged(r);
}

void MemField::SetAsBoolean(bool v)
{
    MemTable::Impl& d = *t_->d;
    const int r = writeRow();
    switch (d.cols[size_t(col_)].type) {
    case FieldType::Integer: d.storeInt(r, col_, v ? 1 : 0); break;
    case FieldType::Float: d.storeFloat(r, col_, v ? 1.0 : 0.0); break;
    case FieldType::String: d.storeString(r, col_, boolText(v)); break;
    case FieldType::Boolean: d.storeBool(r, col_, v); break;
    case FieldType::DateTime:
        fail(QStringLiteral("Field '%1' is DateTime and takes no Boolean value").arg(d.defs[size_t(col_)].name));
    }
    t_->rowChanged(r);
}

void MemField::SetAsDateTime(TDateTime v)
{
    MemTable::Impl& d = *t_->d;
    const int r = writeRow();
    switch (d.cols[size_t(col_)].type) {
    case FieldType::Integer: d.storeInt(r, col_, roundToInt(v)); break;
    case FieldType::Float:
    case FieldType::DateTime: d.storeFloat(r, col_, v); break;
    case FieldType::String: d.storeString(r, col_, dateTimeText(v)); break;
    case FieldType::Boolean:
        fail(QStringLiteral("Field '%1' is Boolean and takes no date-time value").arg(d.defs[size_t(col_)].name));
    }
    t_->rowChanged(r);
}

void MemField::SetValue(const QVariant& v)
{
    if (variantIsNull(v)) {
        Clear();
        return;
    }
    const int id = v.typeId();
    if (id == QMetaType::Bool) {
        SetAsBoolean(v.toBool());
    } else if (isIntegralType(id)) {
        const FieldType type = t_->d->cols[size_t(col_)].type;
        bool ok = false;
        const qlonglong x = v.toLongLong(&ok);
        const bool tooBig = (id == QMetaType::ULongLong || id == QMetaType::ULong) &&
                            v.toULongLong() > uint64_t(std::numeric_limits<int64_t>::max());
        if (!ok || tooBig)
            fail(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
        if (type == FieldType::Integer) {
            if (x < std::numeric_limits<int32_t>::min() || x > std::numeric_limits<int32_t>::max())
                fail(QStringLiteral("%1 is out of range for field '%2'").arg(x).arg(Def().name));
            SetAsInteger(int32_t(x));
        } else if (type == FieldType::String) {
            SetAsString(QString::number(x));
        } else {
            SetAsFloat(double(x));
        }
    } else if (isFloatType(id)) {
        SetAsFloat(v.toDouble());
    } else if (id == QMetaType::QDateTime) {
        if (!v.toDateTime().isValid())
            Clear();
        else
            SetAsDateTime(ToTDateTime(v.toDateTime()));
    } else if (id == QMetaType::QDate) {
        if (!v.toDate().isValid())
            Clear();
        else
            SetAsDateTime(double(DayNumber(v.toDate())));
    } else if (v.canConvert<QString>()) {
        SetAsString(v.toString());
    } else {
        fail(QStringLiteral("A value of type %1 cannot be stored in field '%2'")
                 .arg(QLatin1String(v.typeName()), Def().name));
    }
}

