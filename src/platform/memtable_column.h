#pragma once
// The inside of MemTable, shared by its parts: the value conversions every
// part uses and the typed storage of one column.  Not for use outside the
// table's own files.
#include "platform/memtable.h"

#include "platform/podarray.h"

#include <QString>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace memtable_internal {

// ---------------------------------------------------------------------------
// Conversions shared by the fields, locate and the model.

[[noreturn]] void fail(const QString& text);
const char* typeName(FieldType t);
bool roundHalfEven(double v, int32_t& out);
int32_t roundToInt(double v);
bool tryParseInt(const QString& s, int32_t& out);
bool tryParseFloat(const QString& text, double& out);
bool tryParseDateTime(const QString& text, double& out);
bool tryParseBool(const QString& text, bool& out);
QString floatText(double v);
QString dateTimeText(double v);
QString boolText(bool v);
bool isIntegralType(int id);
bool isFloatType(int id);
bool variantIsNull(const QVariant& v);
extern const QString kDateTimeFormat;

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
inline void bitErase(Bits& b, int r, int count)
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
inline void bitRange(Bits& b, int from, int to, bool v)
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

inline Store plainStore(FieldType t)
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

inline Store intWidth(int32_t v)
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

inline size_t stringHeap(const QString& s)
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

}  // namespace memtable_internal
