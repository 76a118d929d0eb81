#include "platform/memtable_impl.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>

// MemTable's bulk side: whole rows and blocks of rows appended at once,
// one notification for a bulk, compact storage and plain column arrays.

void MemTable::Reserve(int rows)
{
    if (rows <= 0)
        return;
    d->detach(false);
    for (Column& c : d->cols)
        c.reserve(size_t(rows));
}

void MemTable::BeginBulk() { ++d->bulk; }

void MemTable::EndBulk()
{
    if (d->bulk == 0)
        fail(QStringLiteral("EndBulk without BeginBulk on %1").arg(d->where()));
    if (--d->bulk == 0) {
        // Arrays grown row by row hold up to twice their rows: give it back.
        if (d->compact) {
            d->detach(false);
            for (Column& c : d->cols)
                c.trim();
        }
        NotifyReset();
    }
}

void MemTable::NotifyReset()
{
    if (d->bulk != 0)
        return;
    emit TableReset();
    emit CurrentChanged(d->cur);
}

std::span<const int32_t> MemTable::IntColumn(int column) const
{
    d->requireColumn(column);
    d->requireType(column, FieldType::Integer, FieldType::Integer);
    const Column& c = d->cols[size_t(column)];
    if (c.store != Store::I32)
        d->notPlain(column);
    return {c.ints.data(), size_t(d->rows)};
}

std::span<const double> MemTable::FloatColumn(int column) const
{
    d->requireColumn(column);
    d->requireType(column, FieldType::Float, FieldType::DateTime);
    const Column& c = d->cols[size_t(column)];
    if (c.store != Store::F64)
        d->notPlain(column);
    return {c.floats.data(), size_t(d->rows)};
}

void MemTable::SetCompact(bool compact)
{
    if (d->rows > 0)
        fail(QStringLiteral("The storage of %1 changes only while it is empty").arg(d->where()));
    d->detach(true);
    for (Column& c : d->cols) {
        c.compact = compact;
        c.clear();
    }
    d->compact = compact;
    d->derived = false;
}

bool MemTable::Compact() const { return d->compact; }

size_t MemTable::MemoryBytes() const
{
    size_t n = 0;
    for (const Column& c : d->cols)
        n += c.memoryBytes();
    return n;
}

namespace {

bool FitsField(MemValue::Kind kind, FieldType t)
{
    switch (kind) {
    case MemValue::Kind::Null: return true;
    case MemValue::Kind::Int: return t == FieldType::Integer || t == FieldType::Float || t == FieldType::DateTime;
    case MemValue::Kind::Float: return t == FieldType::Float || t == FieldType::DateTime;
    case MemValue::Kind::Text: return t == FieldType::String;
    case MemValue::Kind::Bool: return t == FieldType::Boolean;
    }
    return false;
}

// Row k's value of an Integer field in a block (Ints or Same; NULL reads 0).
int32_t BlockInt(const MemColumn& c, int k)
{
    if (c.kind == MemColumn::Kind::Ints)
        return c.ints[k];
    return c.same.kind == MemValue::Kind::Int ? c.same.i : 0;
}

}  // namespace

int MemTable::AppendValues(std::span<const MemValue> values)
{
    d->requireActive();
    if (values.size() != d->cols.size()) [[unlikely]]
        fail(QStringLiteral("%1 values for the %2 fields of %3").arg(values.size()).arg(d->cols.size()).arg(d->where()));
    // Check every value first, so that a refused row leaves no half-row behind.
    for (size_t i = 0; i < values.size(); ++i)
        if (!FitsField(values[i].kind, d->cols[i].type)) [[unlikely]]
            d->badValue(int(i));
    d->detach(false);
    d->settleAll();
    const int rows = d->rows;
    for (size_t i = 0; i < values.size(); ++i) {
        Column& c = d->cols[i];
        const MemValue& v = values[i];
        switch (v.kind) {
        case MemValue::Kind::Null: c.pushNull(rows); break;
        case MemValue::Kind::Int:
            if (c.type == FieldType::Integer)
                c.pushInt(rows, v.i);
            else
                c.pushFloat(rows, double(v.i));
            break;
        case MemValue::Kind::Float: c.pushFloat(rows, v.f); break;
        case MemValue::Kind::Text:
            if (d->tooLong(int(i), *v.s))
                c.pushStr(rows, d->fitted(int(i), *v.s));
            else
                c.pushStr(rows, *v.s);
            break;
        case MemValue::Kind::Bool: c.pushBool(rows, v.b); break;
        }
    }
    ++d->rows;
    ++d->structVersion;
    return appended(rows, rows);
}


int MemTable::AppendBlock(int count, std::span<const MemColumn> columns)
{
    d->requireActive();
    const size_t n = d->cols.size();
    if (columns.size() != n || count < 0) [[unlikely]]
        fail(QStringLiteral("%1 columns of %2 rows for the %3 fields of %4")
                 .arg(columns.size())
                 .arg(count)
                 .arg(n)
                 .arg(d->where()));
    // Check every column first, so that a refused block leaves nothing behind.
    for (size_t i = 0; i < n; ++i) {
        const MemColumn& c = columns[i];
        const FieldType t = d->cols[i].type;
        bool ok = false;
        switch (c.kind) {
        case MemColumn::Kind::Same: ok = FitsField(c.same.kind, t); break;
        case MemColumn::Kind::Ints:
            ok = (c.ints || count == 0) && FitsField(MemValue::Kind::Int, t);
            break;
        case MemColumn::Kind::Floats: ok = (c.floats || count == 0) && FitsField(MemValue::Kind::Float, t); break;
        case MemColumn::Kind::TextOf:
            ok = t == FieldType::String && c.format && c.source >= 0 && size_t(c.source) < n &&
                 d->cols[size_t(c.source)].type == FieldType::Integer &&
                 columns[size_t(c.source)].kind != MemColumn::Kind::Floats &&
                 columns[size_t(c.source)].kind != MemColumn::Kind::TextOf;
            break;
        }
        if (!ok) [[unlikely]]
            d->badValue(int(i));
    }
    const int first = d->rows;
    if (count == 0)
        return first;
    d->detach(false);
    // Derived columns the block does not go on deriving the same way store
    // their texts first.
    for (size_t i = 0; i < n && d->derived; ++i) {
        const Column& col = d->cols[i];
        const MemColumn& c = columns[i];
        if (col.store == Store::Derived &&
            !(c.kind == MemColumn::Kind::TextOf && c.source == col.source && c.format == col.format))
            d->storeDerived(int(i));
    }
    for (size_t i = 0; i < n; ++i) {
        Column& col = d->cols[i];
        const MemColumn& c = columns[i];
        switch (c.kind) {
        case MemColumn::Kind::Same: {
            const MemValue& v = c.same;
            switch (v.kind) {
            case MemValue::Kind::Null: col.pushNulls(first, count); break;
            case MemValue::Kind::Int:
                if (col.type == FieldType::Integer)
                    col.pushSameInt(first, count, v.i);
                else
                    col.pushSameFloat(first, count, double(v.i));
                break;
            case MemValue::Kind::Float: col.pushSameFloat(first, count, v.f); break;
            case MemValue::Kind::Text:
                col.pushSameStr(first, count, d->tooLong(int(i), *v.s) ? d->fitted(int(i), *v.s) : *v.s);
                break;
            case MemValue::Kind::Bool: col.pushSameBool(first, count, v.b); break;
            }
            break;
        }
        case MemColumn::Kind::Ints:
            if (col.type == FieldType::Integer)
                col.pushInts(first, count, c.ints);
            else
                col.pushFloats(first, count, c.ints);
            break;
        case MemColumn::Kind::Floats: col.pushFloats(first, count, c.floats); break;
        case MemColumn::Kind::TextOf:
            if (col.store == Store::Derived)
                break;  // the same rule: the new rows follow their source
            if (first == 0) {
                col.clear();
                col.store = Store::Derived;
                col.source = c.source;
                col.format = c.format;
                d->derived = true;
                break;
            }
            for (int k = 0; k < count; ++k)
                col.pushStr(first + k, d->textOf(int(i), c.format, BlockInt(columns[size_t(c.source)], k)));
            break;
        }
    }
    d->rows += count;
    ++d->structVersion;
    return appended(first, first + count - 1);
}

