#pragma once
// The inside of MemTable (continued): the saved row of an edit, the locate
// keys and hash indexes, and the Impl every part of the table works on.
#include "platform/memtable_column.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <numeric>

namespace memtable_internal {

// One saved cell, for Cancel of an Edit.
struct SavedCell {
    bool null = true;
    int32_t i = 0;
    double f = 0;
    QString s;
    uint8_t b = 0;
};

// A locate value converted to its field's type.
struct KeyPart {
    int col = 0;
    FieldType type = FieldType::Integer;
    bool null = false;
    bool impossible = false;  // no cell of this type can equal it
    int32_t i = 0;
    double f = 0;
    QString s;
    bool b = false;
};

inline uint64_t mix64(uint64_t x)
{
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

// Key of one Integer cell for hashing: NULL differs from every value.
inline uint64_t cellKey(bool null, int32_t v) { return null ? (uint64_t(1) << 32) : uint64_t(uint32_t(v)); }

inline uint64_t combine(uint64_t h, uint64_t key) { return mix64(h ^ (key + 0x9e3779b97f4a7c15ULL + (h << 6))); }

// Exact-match hash index over a combination of Integer columns.  Slots hold
// the first row of each distinct key; `next` chains the later rows with the
// same key in table order.
struct HashIndex {
    std::vector<int> cols;
    uint64_t structVersion = 0;
    std::vector<uint64_t> colVersions;
    struct Slot {
        int32_t row = -1;  // -1: empty
        uint32_t hash = 0;
    };
    uint64_t mask = 0;
    std::vector<Slot> buckets;  // row and hash side by side: one cache line per probe
    std::vector<int32_t> next;
};

}  // namespace memtable_internal

using namespace memtable_internal;

struct MemTable::Impl {
    QString name;
    std::vector<FieldDef> defs;
    std::vector<Column> cols;
    int rows = 0;
    bool active = false;
    State state = State::Inactive;
    int cur = -1;
    bool eof = true;
    bool bof = true;
    int curBeforeInsert = -1;
    std::vector<SavedCell> saved;
    int bulk = 0;
    bool compact = false;
    bool derived = false;        // some column may be Derived (cleared with the rows)
    uint64_t structVersion = 0;  // bumped when rows are added, removed or reordered

    // A hold on the arrays as they are (see MemTableHold); held is the
    // cheap test on the write paths.
    std::weak_ptr<MemTableHold> hold;
    bool held = false;

    mutable std::vector<std::unique_ptr<HashIndex>> indexes;
    mutable QString lastFieldsText;
    mutable std::vector<int> lastFields;
    mutable std::vector<int> lastIntCols;  // the Integer columns of lastFields, in order

    QString where() const { return QStringLiteral("table %1").arg(name); }

    // The first row (none in an empty table) current, at the start.
    void toFirst()
    {
        cur = rows > 0 ? 0 : -1;
        bof = true;
        eof = rows == 0;
    }
    void requireActive() const
    {
        if (!active)
            fail(QStringLiteral("Cannot perform this operation on a closed dataset (%1)").arg(where()));
    }
    // The checks stay inline on the cell paths; their messages are built out of line.
    [[noreturn, gnu::noinline, gnu::cold]] void badColumn(int c) const
    {
        fail(QStringLiteral("Field index %1 out of range in %2").arg(c).arg(where()));
    }
    [[noreturn, gnu::noinline, gnu::cold]] void badRow(int r) const
    {
        fail(QStringLiteral("Row %1 out of range in %2").arg(r).arg(where()));
    }
    [[noreturn, gnu::noinline, gnu::cold]] void badType(int c, FieldType wanted) const
    {
        fail(QStringLiteral("Field '%1' of %2 is %3, not %4")
                 .arg(defs[size_t(c)].name, where(), QLatin1String(typeName(cols[size_t(c)].type)),
                      QLatin1String(typeName(wanted))));
    }
    [[noreturn, gnu::noinline, gnu::cold]] void notPlain(int c) const
    {
        fail(QStringLiteral("Field '%1' of %2 is stored compactly; read it through View")
                 .arg(defs[size_t(c)].name, where()));
    }
    [[noreturn, gnu::noinline, gnu::cold]] void badValue(int c) const
    {
        fail(QStringLiteral("Wrong type of value for field '%1' (%2) of %3")
                 .arg(defs[size_t(c)].name, QLatin1String(typeName(cols[size_t(c)].type)), where()));
    }
    void requireColumn(int c) const
    {
        if (c < 0 || c >= int(cols.size())) [[unlikely]]
            badColumn(c);
    }
    void requireCell(int r, int c) const
    {
        requireColumn(c);
        if (r < 0 || r >= rows) [[unlikely]]
            badRow(r);
    }
    void requireType(int c, FieldType t1, FieldType t2) const
    {
        const FieldType t = cols[size_t(c)].type;
        if (t != t1 && t != t2) [[unlikely]]
            badType(c, t1);
    }

    bool isNull(int r, int c) const { return cols[size_t(c)].isNull(r); }

    // The text of a String cell, stored or derived.
    QString text(int r, int c) const
    {
        const Column& col = cols[size_t(c)];
        if (col.store != Store::Derived) [[likely]]
            return col.getStr(r);
        return textOf(c, col.format, cols[size_t(col.source)].getInt(r));
    }
    QString textOf(int c, QString (*format)(int), int32_t v) const
    {
        QString s = format(v);
        return tooLong(c, s) ? fitted(c, s) : s;
    }

    // A Derived column takes its texts as stored ones, before anything
    // writes to it or to its source.
    void storeDerived(int c)
    {
        Column& col = cols[size_t(c)];
        if (col.store != Store::Derived)
            return;
        std::vector<QString> texts;
        texts.reserve(size_t(rows));
        for (int r = 0; r < rows; ++r)
            texts.push_back(text(r, c));
        col.strs.swap(texts);
        col.store = Store::Str;
        col.source = -1;
        col.format = nullptr;
        ++col.version;
    }
    // Before a write to column c: the Derived columns it touches store
    // their texts.
    void settleFor(int c)
    {
        if (!derived) [[likely]]
            return;
        for (size_t k = 0; k < cols.size(); ++k)
            if (int(k) == c || cols[k].source == c)
                storeDerived(int(k));
    }
    // Before a write to whole rows.
    void settleAll()
    {
        if (!derived) [[likely]]
            return;
        for (size_t k = 0; k < cols.size(); ++k)
            storeDerived(int(k));
    }

    // Called before the arrays change.  A live hold keeps them as they are:
    // a table about to empty them hands them over (emptying); one about to
    // change them goes on with copies.
    void detach(bool emptying)
    {
        if (!held) [[likely]]
            return;
        held = false;
        const std::shared_ptr<MemTableHold> h = hold.lock();
        hold.reset();
        if (!h)
            return;
        auto arrays = std::make_shared<std::vector<Column>>(std::move(cols));
        if (emptying) {
            cols.clear();
            for (const Column& c : *arrays) {
                Column empty;
                empty.type = c.type;
                empty.compact = c.compact;
                empty.version = c.version;
                empty.clear();
                cols.push_back(std::move(empty));
            }
        } else {
            cols = *arrays;
        }
        h->arrays_ = std::move(arrays);
    }

    // Raw stores: type already checked, row and column valid.
    void storeNull(int r, int c)
    {
        detach(false);
        settleFor(c);
        cols[size_t(c)].setNull(r, rows);
    }
    void storeInt(int r, int c, int32_t v)
    {
        detach(false);
        settleFor(c);
        cols[size_t(c)].setInt(r, rows, v);
    }
    void storeFloat(int r, int c, double v)
    {
        detach(false);
        settleFor(c);
        cols[size_t(c)].setFloat(r, rows, v);
    }
    // Whether a text is longer than its field takes; fitted cuts it.
    bool tooLong(int c, const QString& v) const
    {
        const int size = defs[size_t(c)].size;
        return size > 0 && v.size() > size;
    }
    QString fitted(int c, const QString& v) const
    {
        qsizetype cut = defs[size_t(c)].size;
        // Never keep half of a surrogate pair.
        if (v.at(cut - 1).isHighSurrogate())
            --cut;
        return v.left(cut);
    }
    void storeString(int r, int c, const QString& v)
    {
        detach(false);
        settleFor(c);
        if (tooLong(c, v))
            cols[size_t(c)].setStr(r, rows, fitted(c, v));
        else
            cols[size_t(c)].setStr(r, rows, v);
    }
    void storeBool(int r, int c, bool v)
    {
        detach(false);
        settleFor(c);
        cols[size_t(c)].setBool(r, rows, v);
    }

    QVariant value(int r, int c) const
    {
        if (isNull(r, c))
            return {};
        const Column& col = cols[size_t(c)];
        switch (col.type) {
        case FieldType::Integer: return QVariant(int(col.getInt(r)));
        case FieldType::Float:
        case FieldType::DateTime: return QVariant(col.getFloat(r));
        case FieldType::String: return QVariant(text(r, c));
        case FieldType::Boolean: return QVariant(col.getBool(r));
        }
        return {};
    }

    void pushRow()
    {
        detach(false);
        settleAll();
        for (Column& c : cols)
            c.pushNull(rows);
        ++rows;
        ++structVersion;
    }
    void eraseRow(int r)
    {
        detach(false);
        for (Column& c : cols)
            c.erase(r, rows);
        --rows;
        ++structVersion;
    }

    void saveRow(int r)
    {
        saved.assign(cols.size(), SavedCell{});
        for (size_t c = 0; c < cols.size(); ++c) {
            SavedCell& s = saved[c];
            const Column& col = cols[c];
            s.null = col.isNull(r);
            switch (col.type) {
            case FieldType::Integer: s.i = col.getInt(r); break;
            case FieldType::Float:
            case FieldType::DateTime: s.f = col.getFloat(r); break;
            case FieldType::String: s.s = text(r, int(c)); break;
            case FieldType::Boolean: s.b = col.getBool(r); break;
            }
        }
    }
    void restoreRow(int r)
    {
        detach(false);
        settleAll();
        for (size_t c = 0; c < cols.size() && c < saved.size(); ++c) {
            Column& col = cols[c];
            const SavedCell& s = saved[c];
            if (s.null) {
                col.setNull(r, rows);
                continue;
            }
            switch (col.type) {
            case FieldType::Integer: col.setInt(r, rows, s.i); break;
            case FieldType::Float:
            case FieldType::DateTime: col.setFloat(r, rows, s.f); break;
            case FieldType::String: col.setStr(r, rows, s.s); break;
            case FieldType::Boolean: col.setBool(r, rows, s.b != 0); break;
            }
        }
        saved.clear();
    }

    int fieldIndex(const QString& n) const
    {
        for (size_t i = 0; i < defs.size(); ++i)
            if (defs[i].name.compare(n, Qt::CaseInsensitive) == 0)
                return int(i);
        return -1;
    }
    int requireField(const QString& n) const
    {
        const int i = fieldIndex(n.trimmed());
        if (i < 0)
            fail(QStringLiteral("Field '%1' not found in %2").arg(n.trimmed(), where()));
        return i;
    }

    // "a;b" -> column indexes; the last list is cached for repeated locates.
    const std::vector<int>& fieldList(const QString& text) const
    {
        if (!lastFieldsText.isNull() && text == lastFieldsText)
            return lastFields;
        std::vector<int> out;
        for (const QString& part : text.split(QLatin1Char(';'))) {
            if (part.trimmed().isEmpty())
                continue;
            out.push_back(requireField(part));
        }
        if (out.empty())
            fail(QStringLiteral("No field names given for %1").arg(where()));
        lastFields = std::move(out);
        lastIntCols.clear();
        for (int c : lastFields)
            if (cols[size_t(c)].type == FieldType::Integer)
                lastIntCols.push_back(c);
        lastFieldsText = text;
        return lastFields;
    }

    KeyPart makeKey(int c, const QVariant& v) const
    {
        KeyPart k;
        k.col = c;
        k.type = cols[size_t(c)].type;
        if (variantIsNull(v)) {
            k.null = true;
            return k;
        }
        const int id = v.typeId();
        switch (k.type) {
        case FieldType::Integer: {
            if (isIntegralType(id) || id == QMetaType::Bool) {
                bool ok = false;
                const qlonglong x = v.toLongLong(&ok);
                if (id == QMetaType::ULongLong || id == QMetaType::ULong)
                    ok = ok && v.toULongLong() <= uint64_t(std::numeric_limits<int32_t>::max());
                k.impossible = !ok || x < std::numeric_limits<int32_t>::min() || x > std::numeric_limits<int32_t>::max();
                k.i = int32_t(x);
            } else if (isFloatType(id)) {
                const double d = v.toDouble();
                k.impossible = !(std::isfinite(d) && d == std::trunc(d) && d >= std::numeric_limits<int32_t>::min() &&
                                 d <= std::numeric_limits<int32_t>::max());
                k.i = k.impossible ? 0 : int32_t(d);
            } else {
                k.impossible = !tryParseInt(v.toString(), k.i);
            }
            break;
        }
        case FieldType::Float:
        case FieldType::DateTime:
            if (id == QMetaType::QDateTime) {
                k.impossible = !v.toDateTime().isValid();
                if (!k.impossible)
                    k.f = ToTDateTime(v.toDateTime());
            } else if (id == QMetaType::QDate) {
                k.impossible = !v.toDate().isValid();
                if (!k.impossible)
                    k.f = double(DayNumber(v.toDate()));
            } else if (isIntegralType(id) || isFloatType(id) || id == QMetaType::Bool) {
                k.f = v.toDouble();
            } else {
                const QString s = v.toString();
                k.impossible = !tryParseFloat(s, k.f) && !(k.type == FieldType::DateTime && tryParseDateTime(s, k.f));
            }
            break;
        case FieldType::String:
            k.s = v.toString();
            break;
        case FieldType::Boolean:
            if (id == QMetaType::Bool || isIntegralType(id) || isFloatType(id))
                k.b = v.toDouble() != 0;
            else
                k.impossible = !tryParseBool(v.toString(), k.b);
            break;
        }
        return k;
    }

    bool matches(int r, const KeyPart& k, int options) const
    {
        const Column& col = cols[size_t(k.col)];
        const bool cellNull = isNull(r, k.col);
        if (k.type == FieldType::String) {
            // An empty text and NULL are the same text here, as reading shows them.
            const QString cell = text(r, k.col);
            const Qt::CaseSensitivity cs =
                (options & MemTable::loCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
            if (k.null)
                return cell.isEmpty();
            if (options & MemTable::loPartialKey)
                return cell.startsWith(k.s, cs);
            return cell.compare(k.s, cs) == 0;
        }
        if (k.null || cellNull)
            return k.null && cellNull;
        switch (k.type) {
        case FieldType::Integer: return col.getInt(r) == k.i;
        case FieldType::Float:
        case FieldType::DateTime: return col.getFloat(r) == k.f;
        case FieldType::Boolean: return col.getBool(r) == k.b;
        case FieldType::String: break;
        }
        return false;
    }

    uint64_t rowHash(const std::vector<int>& icols, int r) const
    {
        uint64_t h = 0;
        for (int c : icols)
            h = combine(h, cellKey(isNull(r, c), cols[size_t(c)].getInt(r)));
        return h;
    }

    bool indexValid(const HashIndex& ix) const
    {
        if (ix.structVersion != structVersion)
            return false;
        for (size_t k = 0; k < ix.cols.size(); ++k)
            if (ix.colVersions[k] != cols[size_t(ix.cols[k])].version)
                return false;
        return true;
    }

    void buildIndex(HashIndex& ix) const
    {
        uint64_t cap = 16;
        while (cap * 3 < uint64_t(rows) * 4 + 4)  // load factor at most 3/4
            cap <<= 1;
        ix.mask = cap - 1;
        ix.buckets.assign(cap, HashIndex::Slot{});
        ix.next.assign(size_t(rows), -1);
        // Backwards, so each key's slot ends on its first row and the chain
        // runs in table order.
        for (int r = rows - 1; r >= 0; --r) {
            const uint64_t h = rowHash(ix.cols, r);
            uint64_t s = h & ix.mask;
            for (;;) {
                HashIndex::Slot& slot = ix.buckets[s];
                if (slot.row < 0) {
                    slot.row = r;
                    slot.hash = uint32_t(h);
                    break;
                }
                if (slot.hash == uint32_t(h) && sameIntKey(ix.cols, r, slot.row)) {
                    ix.next[size_t(r)] = slot.row;
                    slot.row = r;
                    break;
                }
                s = (s + 1) & ix.mask;
            }
        }
        ix.structVersion = structVersion;
        ix.colVersions.clear();
        for (int c : ix.cols)
            ix.colVersions.push_back(cols[size_t(c)].version);
    }

    bool sameIntKey(const std::vector<int>& icols, int a, int b) const
    {
        for (int c : icols) {
            const bool na = isNull(a, c);
            if (na != isNull(b, c))
                return false;
            if (!na && cols[size_t(c)].getInt(a) != cols[size_t(c)].getInt(b))
                return false;
        }
        return true;
    }

    HashIndex& indexFor(const std::vector<int>& icols) const
    {
        HashIndex* found = nullptr;
        for (auto& ix : indexes)
            if (ix->cols == icols) {
                found = ix.get();
                break;
            }
        if (!found) {
            // A handful of field combinations at most are looked up on one table.
            if (indexes.size() >= 4)
                indexes.erase(indexes.begin());
            indexes.push_back(std::make_unique<HashIndex>());
            found = indexes.back().get();
            found->cols = icols;
            found->structVersion = structVersion - 1;  // forces a build
        }
        if (!indexValid(*found))
            buildIndex(*found);
        return *found;
    }

    int find(const QString& fieldsText, const QVariantList& values, int options) const
    {
        requireActive();
        const std::vector<int>& fl = fieldList(fieldsText);
        if (values.size() != qsizetype(fl.size()))
            fail(QStringLiteral("Locate on %1: %2 fields but %3 values").arg(where()).arg(fl.size()).arg(values.size()));
        // Few fields per locate: the key parts live on the stack.
        constexpr size_t kInline = 4;
        KeyPart inlineParts[kInline];
        std::vector<KeyPart> moreParts;
        KeyPart* parts = inlineParts;
        if (fl.size() > kInline) {
            moreParts.resize(fl.size());
            parts = moreParts.data();
        }
        const size_t nParts = fl.size();
        for (size_t k = 0; k < nParts; ++k) {
            parts[k] = makeKey(fl[k], values[qsizetype(k)]);
            if (parts[k].impossible)
                return -1;
        }
        if (rows == 0)
            return -1;

        auto restMatches = [&](int r) {
            for (size_t k = 0; k < nParts; ++k)
                if (parts[k].type != FieldType::Integer && !matches(r, parts[k], options))
                    return false;
            return true;
        };
        const std::vector<int>& icols = lastIntCols;  // set by fieldList above
        if (icols.empty()) {
            for (int r = 0; r < rows; ++r)
                if (restMatches(r))
                    return r;
            return -1;
        }

        const HashIndex& ix = indexFor(icols);
        uint64_t h = 0;
        for (size_t k = 0; k < nParts; ++k)
            if (parts[k].type == FieldType::Integer)
                h = combine(h, cellKey(parts[k].null, parts[k].i));
        for (uint64_t s = h & ix.mask;; s = (s + 1) & ix.mask) {
            const HashIndex::Slot& slot = ix.buckets[s];
            const int32_t r = slot.row;
            if (r < 0)
                return -1;
            if (slot.hash != uint32_t(h))
                continue;
            bool same = true;
            for (size_t k = 0; k < nParts && same; ++k)
                if (parts[k].type == FieldType::Integer && !matches(r, parts[k], 0))
                    same = false;
            if (!same)
                continue;
            for (int32_t x = r; x >= 0; x = ix.next[size_t(x)])
                if (restMatches(x))
                    return x;
            return -1;
        }
    }

    // Three-way compare of two rows on one column for sorting.
    int compare(int c, int a, int b, Qt::CaseSensitivity textCase = Qt::CaseSensitive) const
    {
        const bool na = isNull(a, c), nb = isNull(b, c);
        if (na || nb)
            return na == nb ? 0 : (na ? -1 : 1);
        const Column& col = cols[size_t(c)];
        switch (col.type) {
        case FieldType::Integer: {
            const int32_t x = col.getInt(a), y = col.getInt(b);
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        case FieldType::Float:
        case FieldType::DateTime: {
            const double x = col.getFloat(a), y = col.getFloat(b);
            const bool xn = std::isnan(x), yn = std::isnan(y);
            if (xn || yn)
                return xn == yn ? 0 : (xn ? 1 : -1);  // NaN after every number
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        case FieldType::String: {
            const int r = text(a, c).compare(text(b, c), textCase);
            return r < 0 ? -1 : (r > 0 ? 1 : 0);
        }
        case FieldType::Boolean: return int(col.getBool(a)) - int(col.getBool(b));
        }
        return 0;
    }
};
