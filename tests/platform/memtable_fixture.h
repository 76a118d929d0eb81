// Tables and helpers shared by the in-memory table tests.
#pragma once

#include "platform/memtable.h"

#include <QVariantList>

#include <memory>
#include <vector>

namespace memtable_testing {

// A driver tick table as the choosers keep it.
inline std::unique_ptr<MemTable> tickTable()
{
    auto t = std::make_unique<MemTable>(
        "memWybraniKierowcy",
        std::vector<FieldDef>{{"id_kierowcy", FieldType::Integer}, {"wybrany", FieldType::Boolean, 0, 1}});
    t->Open();
    return t;
}

// One field of every type.
inline std::unique_ptr<MemTable> mixedTable()
{
    auto t = std::make_unique<MemTable>("mixed", std::vector<FieldDef>{{"i", FieldType::Integer},
                                                                       {"f", FieldType::Float},
                                                                       {"s", FieldType::String, 10},
                                                                       {"d", FieldType::DateTime},
                                                                       {"b", FieldType::Boolean, 0, 2}});
    t->Open();
    return t;
}

inline void addRow(MemTable& t, const QVariantList& values)
{
    t.Append();
    for (int i = 0; i < int(values.size()); ++i)
        t.FieldAt(i).SetValue(values[i]);
    t.Post();
}

inline std::vector<int> ints(const MemTable& t, int col)
{
    std::vector<int> out;
    for (int r = 0; r < t.RecordCount(); ++r)
        out.push_back(t.IntAt(r, col));
    return out;
}

inline std::unique_ptr<MemTable> tableOfInts(const std::vector<int>& values)
{
    auto t = tickTable();
    for (int v : values)
        addRow(*t, {v, false});
    return t;
}

}  // namespace memtable_testing
