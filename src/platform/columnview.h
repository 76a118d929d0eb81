#pragma once
// A read-only view of one numeric column of an in-memory table, for loops
// over bulk data (chart series, decimation, bisection) without a copy and
// without a variant per cell.  A column may be held in one of several
// storages; Visit hands the caller a typed pointer so that hot loops are
// compiled once per storage.  NULL cells read as 0.
//
// A view is valid until rows are added to or removed from its table, or
// the table is closed or sorted; take a fresh one (MemTable::View) before
// each use instead of keeping it.
#include <cstdint>

enum class ColumnStorage : uint8_t {
    Uniform,  // every row holds `uniform` (no array)
    Int8,
    Int16,
    Int32,
    Float64,
};

struct ColumnView {
    ColumnStorage storage = ColumnStorage::Uniform;
    const void* data = nullptr;  // first element; null for Uniform
    double uniform = 0;          // the value of every row when Uniform
    int rows = 0;

    double At(int row) const
    {
        switch (storage) {
        case ColumnStorage::Uniform: return uniform;
        case ColumnStorage::Int8: return static_cast<const int8_t*>(data)[row];
        case ColumnStorage::Int16: return static_cast<const int16_t*>(data)[row];
        case ColumnStorage::Int32: return static_cast<const int32_t*>(data)[row];
        case ColumnStorage::Float64: return static_cast<const double*>(data)[row];
        }
        return 0;
    }

    // Calls f(p) with p a typed accessor: p[i] gives row i's value.  For a
    // Uniform column p is a UniformAccess whose operator[] returns the value.
    struct UniformAccess {
        double value;
        double operator[](int) const { return value; }
    };
    template <class F>
    decltype(auto) Visit(F&& f) const
    {
        switch (storage) {
        case ColumnStorage::Int8: return f(static_cast<const int8_t*>(data));
        case ColumnStorage::Int16: return f(static_cast<const int16_t*>(data));
        case ColumnStorage::Int32: return f(static_cast<const int32_t*>(data));
        case ColumnStorage::Float64: return f(static_cast<const double*>(data));
        case ColumnStorage::Uniform: break;
        }
        return f(UniformAccess{uniform});
    }
};
