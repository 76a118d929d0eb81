#include "platform/memtable.h"

#include "platform/podarray.h"

#include <QDateTime>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>

namespace {

// ---------------------------------------------------------------------------
// Conversions shared by the fields, locate and the model.

[[noreturn]] void fail(const QString& text) { throw MemTableError(text.toStdString()); }

const char* typeName(FieldType t)
{
    switch (t) {
    case FieldType::Integer: return "Integer";
    case FieldType::Float: return "Float";
    case FieldType::String: return "String";
    case FieldType::DateTime: return "DateTime";
    case FieldType::Boolean: return "Boolean";
    }
    return "?";
}

// Nearest integer, halves to the even neighbour; false when out of range.
bool roundHalfEven(double v, int32_t& out)
{
    if (!std::isfinite(v))
        return false;
    const double fl = std::floor(v);
    const double diff = v - fl;
    double r = fl;
    if (diff > 0.5)
        r = fl + 1;
    else if (diff == 0.5)
        r = std::fmod(fl, 2.0) == 0 ? fl : fl + 1;
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
        return false;
    out = static_cast<int32_t>(r);
    return true;
}

int32_t roundToInt(double v)
{
    int32_t r = 0;
    if (!roundHalfEven(v, r))
        fail(QStringLiteral("'%1' is not a valid integer value").arg(v));
    return r;
}

bool tryParseInt(const QString& s, int32_t& out)
{
    bool ok = false;
    const int v = s.trimmed().toInt(&ok, 10);
    if (ok)
        out = v;
    return ok;
}

bool tryParseFloat(const QString& text, double& out)
{
    const QString s = text.trimmed();
    bool ok = false;
    double v = s.toDouble(&ok);
    // A decimal comma, as a user of a comma locale types it.
    if (!ok && s.count(QLatin1Char(',')) == 1 && !s.contains(QLatin1Char('.'))) {
        QString t = s;
        t.replace(QLatin1Char(','), QLatin1Char('.'));
        v = t.toDouble(&ok);
    }
    if (ok)
        out = v;
    return ok;
}

const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

bool tryParseDateTime(const QString& text, double& out)
{
    const QString s = text.trimmed();
    static const char* const formats[] = {"yyyy-MM-dd hh:mm:ss", "yyyy-MM-dd hh:mm:ss.zzz",
                                          "yyyy-MM-dd hh:mm", "yyyy-MM-dd"};
    for (const char* f : formats) {
        const QDateTime dt = QDateTime::fromString(s, QString::fromLatin1(f));
        if (dt.isValid()) {
            out = ToTDateTime(dt);
            return true;
        }
    }
    const QDateTime iso = QDateTime::fromString(s, Qt::ISODateWithMs);
    if (iso.isValid()) {
        out = ToTDateTime(iso);
        return true;
    }
    return false;
}

bool tryParseBool(const QString& text, bool& out)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return false;
    static const char* const yes[] = {"true", "t", "yes", "y", "1"};
    static const char* const no[] = {"false", "f", "no", "n", "0"};
    for (const char* w : yes)
        if (s.compare(QLatin1String(w), Qt::CaseInsensitive) == 0) {
            out = true;
            return true;
        }
    for (const char* w : no)
        if (s.compare(QLatin1String(w), Qt::CaseInsensitive) == 0) {
            out = false;
            return true;
        }
    return false;
}

QString floatText(double v) { return QString::number(v, 'g', 15); }
QString dateTimeText(double v) { return FromTDateTime(v).toString(kDateTimeFormat); }
QString boolText(bool v) { return v ? QStringLiteral("True") : QStringLiteral("False"); }

bool isIntegralType(int id)
{
    switch (id) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isFloatType(int id) { return id == QMetaType::Double || id == QMetaType::Float; }

bool variantIsNull(const QVariant& v) { return !v.isValid() || v.isNull(); }

// ---------------------------------------------------------------------------
// NULL bitmap: bit set = NULL.

using Bits = PodArray<uint64_t>;

inline bool bitGet(const Bits& b, int r) { return (b[size_t(r) >> 6] >> (r & 63)) & 1u; }

inline void bitSet(Bits& b, int r, bool v)
{
    const uint64_t m = uint64_t(1) << (r & 63);
    if (v)
        b[size_t(r) >> 6] |= m;
    else
        b[size_t(r) >> 6] &= ~m;
}

// Removes bit r of a map of `count` bits, moving the higher ones down.
void bitErase(Bits& b, int r, int count)
{
    const size_t w = size_t(r) >> 6;
    const int o = r & 63;
    const uint64_t word = b[w];
    const uint64_t low = o ? (word & ((uint64_t(1) << o) - 1)) : 0;
    const uint64_t high = o == 63 ? 0 : ((word >> (o + 1)) << o);
    b[w] = low | high;
    for (size_t i = w; i + 1 < b.size(); ++i) {
        b[i] |= (b[i + 1] & 1u) << 63;
        b[i + 1] >>= 1;
    }
    b.resize((size_t(count - 1) + 63) / 64);
}

// Sets bits [from, to) of a map large enough for them.
void bitRange(Bits& b, int from, int to, bool v)
{
    for (int r = from; r < to;) {
        if ((r & 63) == 0 && to - r >= 64) {
            b[size_t(r) >> 6] = v ? ~uint64_t(0) : 0;
            r += 64;
        } else {
            bitSet(b, r, v);
            ++r;
        }
    }
}

// How a column holds its values.  Plain tables keep one array of the
// field's type; a compact table starts every column Uniform (one value for
// all rows, no array) and keeps integers in the narrowest width that holds
// what was written, widening when a wider value arrives.  A Derived text
// column holds nothing: each row reads as the text of another column's
// value in that row (MemColumn::TextOf).
enum class Store : uint8_t { Uniform, I8, I16, I32, F64, Str, Bool, Derived };

Store plainStore(FieldType t)
{
    switch (t) {
    case FieldType::Integer: return Store::I32;
    case FieldType::Float:
    case FieldType::DateTime: return Store::F64;
    case FieldType::String: return Store::Str;
    case FieldType::Boolean: return Store::Bool;
    }
    return Store::I32;
}

Store intWidth(int32_t v)
{
    if (v >= INT8_MIN && v <= INT8_MAX)
        return Store::I8;
    if (v >= INT16_MIN && v <= INT16_MAX)
        return Store::I16;
    return Store::I32;
}

// Empties a vector and frees its block ("v = {}" would keep the capacity).
template <class V>
void release(V& v)
{
    V().swap(v);
}

template <class V>
size_t heapBytes(const V& v)
{
    return v.capacity() * sizeof(typename V::value_type);
}

size_t stringHeap(const QString& s)
{
    // Static texts and empty strings own no heap block.
    return s.capacity() > 0 ? size_t(s.capacity() + 1) * sizeof(QChar) + sizeof(QArrayData) : 0;
}

// One field's values.  Every call gets the table's row count where the
// column needs it; NULL cells hold 0 / "" / false in the arrays, and the
// NULL bitmap exists only once a NULL was written (empty: no NULL).
struct Column {
    FieldType type = FieldType::Integer;
    bool compact = false;
    Store store = Store::I32;
    // The value of every row while Uniform.
    bool uniNull = true;
    int32_t uniI = 0;
    double uniF = 0;
    QString uniS;
    bool uniB = false;

    PodArray<int8_t> i8;
    PodArray<int16_t> i16;
    PodArray<int32_t> ints;
    PodArray<double> floats;  // Float and DateTime
    std::vector<QString> strs;
    PodArray<uint8_t> bools;
    Bits nulls;  // bit set = NULL
    uint64_t version = 0;         // bumped on every write; hash indexes compare it
    // The rule of a Derived column: row r reads format(column source, row r).
    int source = -1;
    QString (*format)(int) = nullptr;

    Store initialStore() const { return compact ? Store::Uniform : plainStore(type); }

    void clear()
    {
        release(i8);
        release(i16);
        release(ints);
        release(floats);
        release(strs);
        release(bools);
        release(nulls);
        store = initialStore();
        source = -1;
        format = nullptr;
        uniformNull();
        ++version;
    }
    void uniformNull()
    {
        uniNull = true;
        uniI = 0;
        uniF = 0;
        uniS = QString();
        uniB = false;
    }

    // ---- reading (row valid)
    bool isNull(int r) const
    {
        if (store == Store::Uniform)
            return uniNull;
        return !nulls.empty() && bitGet(nulls, r);  // a Derived column has no bitmap: never NULL
    }
    int32_t getInt(int r) const
    {
        switch (store) {
        case Store::I32: return ints[size_t(r)];
        case Store::I16: return i16[size_t(r)];
        case Store::I8: return i8[size_t(r)];
        default: return uniI;
        }
    }
    double getFloat(int r) const { return store == Store::F64 ? floats[size_t(r)] : uniF; }
    const QString& getStr(int r) const { return store == Store::Str ? strs[size_t(r)] : uniS; }
    bool getBool(int r) const { return store == Store::Bool ? bools[size_t(r)] != 0 : uniB; }

    // ---- storage changes
    // Integer array able to hold v (from Uniform or a narrower width).
    void widenFor(int32_t v, int rows)
    {
        const Store need = intWidth(v);
        if (store != Store::Uniform && need <= store)
            return;
        const Store target = store == Store::Uniform ? std::max(need, intWidth(uniI)) : need;
        auto fill = [&](auto& out) {
            out.reserve(std::max(size_t(rows) + 1, std::max({i8.capacity(), i16.capacity(), ints.capacity()})));
            for (int r = 0; r < rows; ++r)
                out.push_back(static_cast<typename std::remove_reference_t<decltype(out)>::value_type>(getInt(r)));
        };
        switch (target) {
        case Store::I16: {
            PodArray<int16_t> out;
            fill(out);
            i16.swap(out);
            break;
        }
        case Store::I32: {
            PodArray<int32_t> out;
            fill(out);
            ints.swap(out);
            break;
        }
        default: {
            PodArray<int8_t> out;
            fill(out);
            i8.swap(out);
            break;
        }
        }
        if (store != Store::Uniform) {
            if (store == Store::I8)
                release(i8);
            if (store == Store::I16)
                release(i16);
        }
        leaveUniform(rows, target);
    }
    // The other types leave Uniform for their one array.
    void materialize(int rows)
    {
        switch (type) {
        case FieldType::Integer: widenFor(uniI, rows); return;
        case FieldType::Float:
        case FieldType::DateTime: floats.assign(size_t(rows), uniF); break;
        case FieldType::String: strs.assign(size_t(rows), uniS); break;
        case FieldType::Boolean: bools.assign(size_t(rows), uniB ? 1 : 0); break;
        }
        leaveUniform(rows, plainStore(type));
    }
    void leaveUniform(int rows, Store target)
    {
        if (store == Store::Uniform && uniNull && rows > 0) {
            nulls.assign((size_t(rows) + 63) / 64, 0);
            for (int r = 0; r < rows; ++r)
                bitSet(nulls, r, true);
        }
        store = target;
    }
    // A NULL bitmap for rows rows, all not NULL, when there is none yet.
    void needNulls(int rows)
    {
        if (nulls.empty())
            nulls.assign((size_t(rows) + 63) / 64 + 1, 0);
        else if (nulls.size() * 64 < size_t(rows) + 1)
            nulls.resize((size_t(rows) + 63) / 64 + 1, 0);
    }
    void markNull(int r, bool v, int rows)
    {
        if (v) {
            needNulls(rows);
            bitSet(nulls, r, true);
        } else if (!nulls.empty()) {
            bitSet(nulls, r, false);
        }
    }

    // A write that keeps a Uniform column Uniform: the value every row
    // holds already, or a value for the column's only row (sole).  True when
    // the write is done.
    template <class T, class Same = std::equal_to<>>
    bool keptUniform(bool sole, T& uni, const T& v, Same same = {})
    {
        if (store != Store::Uniform || (!sole && (uniNull || !same(uni, v))))
            return false;
        uniNull = false;
        uni = v;
        return true;
    }

    // ---- writes of one cell (row r of rows); the type is the column's
    void setNull(int r, int rows)
    {
        ++version;
        if (store == Store::Uniform) {
            if (uniNull || rows == 1) {
                uniformNull();
                return;
            }
            materialize(rows);
        }
        switch (store) {
        case Store::I8: i8[size_t(r)] = 0; break;
        case Store::I16: i16[size_t(r)] = 0; break;
        case Store::I32: ints[size_t(r)] = 0; break;
        case Store::F64: floats[size_t(r)] = 0; break;
        case Store::Str: strs[size_t(r)] = QString(); break;
        case Store::Bool: bools[size_t(r)] = 0; break;
        case Store::Uniform:
        case Store::Derived: break;
        }
        markNull(r, true, rows);
    }
    void setInt(int r, int rows, int32_t v)
    {
        ++version;
        if (keptUniform(rows == 1, uniI, v))
            return;
        widenFor(v, rows);
        switch (store) {
        case Store::I8: i8[size_t(r)] = int8_t(v); break;
        case Store::I16: i16[size_t(r)] = int16_t(v); break;
        default: ints[size_t(r)] = v; break;
        }
        markNull(r, false, rows);
    }
    void setFloat(int r, int rows, double v)
    {
        ++version;
        if (keptUniform(rows == 1, uniF, v, sameFloat))
            return;
        if (store == Store::Uniform)
            materialize(rows);
        floats[size_t(r)] = v;
        markNull(r, false, rows);
    }
    void setStr(int r, int rows, const QString& v)
    {
        ++version;
        if (keptUniform(rows == 1, uniS, v))
            return;
        if (store == Store::Uniform)
            materialize(rows);
        strs[size_t(r)] = v;
        markNull(r, false, rows);
    }
    void setBool(int r, int rows, bool v)
    {
        ++version;
        if (keptUniform(rows == 1, uniB, v))
            return;
        if (store == Store::Uniform)
            materialize(rows);
        bools[size_t(r)] = v ? 1 : 0;
        markNull(r, false, rows);
    }
    // Same bits, so that -0.0 / 0.0 and NaNs stay what was written.
    static bool sameFloat(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

    // ---- a new last row (rows: the count before it)
    void pushNull(int rows)
    {
        ++version;
        if (store == Store::Uniform) {
            if (rows == 0 || uniNull) {
                uniformNull();
                return;
            }
            materialize(rows);
        }
        pushRaw();
        markNull(rows, true, rows + 1);
    }
    void pushInt(int rows, int32_t v)
    {
        ++version;
        if (keptUniform(rows == 0, uniI, v))
            return;
        widenFor(v, rows);
        switch (store) {
        case Store::I8: i8.push_back(int8_t(v)); break;
        case Store::I16: i16.push_back(int16_t(v)); break;
        default: ints.push_back(v); break;
        }
        pushNotNull(rows);
    }
    void pushFloat(int rows, double v)
    {
        ++version;
        if (keptUniform(rows == 0, uniF, v, sameFloat))
            return;
        if (store == Store::Uniform)
            materialize(rows);
        floats.push_back(v);
        pushNotNull(rows);
    }
    void pushStr(int rows, const QString& v)
    {
        ++version;
        if (keptUniform(rows == 0, uniS, v))
            return;
        if (store == Store::Uniform)
            materialize(rows);
        strs.push_back(v);
        pushNotNull(rows);
    }
    void pushBool(int rows, bool v)
    {
        ++version;
        if (keptUniform(rows == 0, uniB, v))
            return;
        if (store == Store::Uniform)
            materialize(rows);
        bools.push_back(v ? 1 : 0);
        pushNotNull(rows);
    }
    void pushRaw()
    {
        switch (store) {
        case Store::I8: i8.push_back(0); break;
        case Store::I16: i16.push_back(0); break;
        case Store::I32: ints.push_back(0); break;
        case Store::F64: floats.push_back(0.0); break;
        case Store::Str: strs.emplace_back(); break;
        case Store::Bool: bools.push_back(0); break;
        case Store::Uniform:
        case Store::Derived: break;
        }
    }
    void pushNotNull(int rows)
    {
        if (nulls.empty())
            return;
        if (nulls.size() * 64 <= size_t(rows))
            nulls.resize(size_t(rows) / 64 + 1, 0);
        bitSet(nulls, rows, false);
    }

    // ---- n new last rows at once (rows: the count before them; n > 0)
    void pushNotNulls(int rows, int n)
    {
        if (nulls.empty())
            return;
        if (nulls.size() * 64 < size_t(rows) + size_t(n))
            nulls.resize((size_t(rows) + size_t(n) + 63) / 64, 0);
        bitRange(nulls, rows, rows + n, false);
    }
    void pushNulls(int rows, int n)
    {
        ++version;
        if (store == Store::Uniform) {
            if (rows == 0 || uniNull) {
                uniformNull();
                return;
            }
            materialize(rows);
        }
        switch (store) {
        case Store::I8: i8.resize(i8.size() + size_t(n)); break;
        case Store::I16: i16.resize(i16.size() + size_t(n)); break;
        case Store::I32: ints.resize(ints.size() + size_t(n)); break;
        case Store::F64: floats.resize(floats.size() + size_t(n)); break;
        case Store::Str: strs.resize(strs.size() + size_t(n)); break;
        case Store::Bool: bools.resize(bools.size() + size_t(n)); break;
        case Store::Uniform:
        case Store::Derived: break;
        }
        needNulls(rows + n - 1);
        bitRange(nulls, rows, rows + n, true);
    }
    // One value per row; the array takes the width of the widest.
    void pushInts(int rows, int n, const int32_t* v)
    {
        ++version;
        int32_t lo = v[0], hi = v[0];
        for (int k = 1; k < n; ++k) {
            lo = std::min(lo, v[k]);
            hi = std::max(hi, v[k]);
        }
        if (lo == hi && keptUniform(rows == 0, uniI, lo))
            return;
        widenFor(intWidth(lo) > intWidth(hi) ? lo : hi, rows);
        switch (store) {
        case Store::I8: i8.append(v, v + n); break;
        case Store::I16: i16.append(v, v + n); break;
        default: ints.append(v, v + n); break;
        }
        pushNotNulls(rows, n);
    }
    void pushSameInt(int rows, int n, int32_t v)
    {
        ++version;
        if (keptUniform(rows == 0, uniI, v))
            return;
        widenFor(v, rows);
        switch (store) {
        case Store::I8: i8.append(size_t(n), int8_t(v)); break;
        case Store::I16: i16.append(size_t(n), int16_t(v)); break;
        default: ints.append(size_t(n), v); break;
        }
        pushNotNulls(rows, n);
    }
    // Float and DateTime columns, from doubles or integers.
    template <class T>
    void pushFloats(int rows, int n, const T* v)
    {
        ++version;
        bool same = true;
        for (int k = 1; k < n && same; ++k)
            same = sameFloat(double(v[k]), double(v[0]));
        if (same && keptUniform(rows == 0, uniF, double(v[0]), sameFloat))
            return;
        if (store == Store::Uniform)
            materialize(rows);
        floats.append(v, v + n);
        pushNotNulls(rows, n);
    }
    void pushSameFloat(int rows, int n, double v)
    {
        ++version;
        if (keptUniform(rows == 0, uniF, v, sameFloat))
            return;
        if (store == Store::Uniform)
            materialize(rows);
        floats.append(size_t(n), v);
        pushNotNulls(rows, n);
    }
    void pushSameStr(int rows, int n, const QString& v)
    {
        ++version;
        if (keptUniform(rows == 0, uniS, v))
            return;
        if (store == Store::Uniform)
            materialize(rows);
        strs.insert(strs.end(), size_t(n), v);
        pushNotNulls(rows, n);
    }
    void pushSameBool(int rows, int n, bool v)
    {
        ++version;
        if (keptUniform(rows == 0, uniB, v))
            return;
        if (store == Store::Uniform)
            materialize(rows);
        bools.append(size_t(n), uint8_t(v ? 1 : 0));
        pushNotNulls(rows, n);
    }

    void reserve(size_t n)
    {
        switch (store) {
        case Store::I8: i8.reserve(n); break;
        case Store::I16: i16.reserve(n); break;
        case Store::I32: ints.reserve(n); break;
        case Store::F64: floats.reserve(n); break;
        case Store::Str: strs.reserve(n); break;
        case Store::Bool: bools.reserve(n); break;
        case Store::Uniform:
        case Store::Derived: break;
        }
    }
    void trim()
    {
        i8.shrink_to_fit();
        i16.shrink_to_fit();
        ints.shrink_to_fit();
        floats.shrink_to_fit();
        strs.shrink_to_fit();
        bools.shrink_to_fit();
        nulls.shrink_to_fit();
    }
    size_t memoryBytes() const
    {
        size_t n = heapBytes(i8) + heapBytes(i16) + heapBytes(ints) + heapBytes(floats) + heapBytes(strs) +
                   heapBytes(bools) + heapBytes(nulls) + stringHeap(uniS);
        for (const QString& s : strs)
            n += stringHeap(s);
        return n;
    }

    void erase(int r, int count)
    {
        ++version;
        switch (store) {
        case Store::I8: i8.erase(i8.begin() + r); break;
        case Store::I16: i16.erase(i16.begin() + r); break;
        case Store::I32: ints.erase(ints.begin() + r); break;
        case Store::F64: floats.erase(floats.begin() + r); break;
        case Store::Str: strs.erase(strs.begin() + r); break;
        case Store::Bool: bools.erase(bools.begin() + r); break;
        case Store::Uniform:
        case Store::Derived: return;  // a Derived column follows its source
        }
        if (!nulls.empty())
            bitErase(nulls, r, count);
    }
    void permute(const std::vector<int>& perm)
    {
        ++version;
        const size_t n = perm.size();
        auto apply = [&](auto& vec) {
            std::remove_reference_t<decltype(vec)> out;
            out.reserve(n);
            for (int p : perm)
                out.push_back(std::move(vec[size_t(p)]));
            vec.swap(out);
        };
        switch (store) {
        case Store::I8: apply(i8); break;
        case Store::I16: apply(i16); break;
        case Store::I32: apply(ints); break;
        case Store::F64: apply(floats); break;
        case Store::Str: apply(strs); break;
        case Store::Bool: apply(bools); break;
        case Store::Uniform:
        case Store::Derived: return;
        }
        if (nulls.empty())
            return;
        Bits nn((n + 63) / 64 + 1, 0);
        for (size_t i = 0; i < n; ++i)
            if (bitGet(nulls, perm[i]))
                bitSet(nn, int(i), true);
        nulls.swap(nn);
    }
};

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

}  // namespace

// ---------------------------------------------------------------------------

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
    d->cur = d->rows > 0 ? 0 : -1;
    d->bof = true;
    d->eof = d->rows == 0;
    if (d->bulk == 0) {
        emit TableReset();
        emit CurrentChanged(d->cur);
    }
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
    d->cur = d->rows > 0 ? 0 : -1;
    d->bof = true;
    d->eof = d->rows == 0;
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

bool MemTable::Locate(const QString& fields, const QVariantList& values, int options)
{
    d->requireActive();
    Post();
    const int row = d->find(fields, values, options);
    if (row < 0)
        return false;
    const int before = d->cur;
    d->cur = row;
    d->eof = d->bof = false;
    currentMoved(before);
    return true;
}

int MemTable::Find(const QString& fields, const QVariantList& values, int options) const
{
    return d->find(fields, values, options);
}

void MemTable::SortOn(const QString& fields) { SortOn(fields, 0); }

void MemTable::SortOn(const QString& fields, int options)
{
    d->requireActive();
    Post();
    const std::vector<int> fl = d->fieldList(fields);
    const Qt::CaseSensitivity textCase = (options & soCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const int direction = (options & soDescending) ? -1 : 1;
    std::vector<int> perm(size_t(d->rows));
    std::iota(perm.begin(), perm.end(), 0);
    std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) {
        for (int c : fl) {
            const int r = d->compare(c, a, b, textCase) * direction;
            if (r != 0)
                return r < 0;
        }
        return false;
    });
    reordered(perm);
}

void MemTable::Reorder(std::span<const int> order)
{
    d->requireActive();
    Post();
    std::vector<uint8_t> seen(size_t(d->rows), 0);
    bool ok = order.size() == size_t(d->rows);
    for (size_t i = 0; i < order.size() && ok; ++i) {
        ok = order[i] >= 0 && order[i] < d->rows && !seen[size_t(order[i])];
        if (ok)
            seen[size_t(order[i])] = 1;
    }
    if (!ok)
        fail(QStringLiteral("The new order of %1 does not name every row once").arg(d->where()));
    reordered(std::vector<int>(order.begin(), order.end()));
}

void MemTable::reordered(const std::vector<int>& perm)
{
    d->detach(false);
    for (Column& c : d->cols)
        c.permute(perm);
    ++d->structVersion;
    d->cur = d->rows > 0 ? 0 : -1;
    d->bof = true;
    d->eof = d->rows == 0;
    if (d->bulk == 0) {
        emit TableReset();
        emit CurrentChanged(d->cur);
    }
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
