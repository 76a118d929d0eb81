#include "platform/memtable.h"

#include <gtest/gtest.h>

#include <memory>

#include "memtable_fixture.h"

namespace {

using namespace memtable_testing;
using State = MemTable::State;

// ---------------------------------------------------------------------------
// Compact storage (bulk tables such as memGPS)

const QString kNoText;

// One field of every type, compact, as mixedTable.
std::unique_ptr<MemTable> compactTable()
{
    auto t = std::make_unique<MemTable>("compact", std::vector<FieldDef>{{"i", FieldType::Integer},
                                                                         {"f", FieldType::Float},
                                                                         {"s", FieldType::String, 10},
                                                                         {"d", FieldType::DateTime},
                                                                         {"b", FieldType::Boolean}});
    t->SetCompact(true);
    t->Open();
    return t;
}

const char* storageName(ColumnStorage s)
{
    switch (s) {
    case ColumnStorage::Uniform: return "Uniform";
    case ColumnStorage::Int8: return "Int8";
    case ColumnStorage::Int16: return "Int16";
    case ColumnStorage::Int32: return "Int32";
    case ColumnStorage::Float64: return "Float64";
    }
    return "?";
}

// Every cell of a and b, read every way a caller reads them.
void expectSameTables(const MemTable& a, const MemTable& b, const std::string& where)
{
    ASSERT_EQ(a.RecordCount(), b.RecordCount()) << where;
    for (int c = 0; c < a.FieldCount(); ++c) {
        const bool numeric = a.Def(c).type != FieldType::String && a.Def(c).type != FieldType::Boolean;
        const ColumnView va = numeric ? a.View(c) : ColumnView{}, vb = numeric ? b.View(c) : ColumnView{};
        for (int r = 0; r < a.RecordCount(); ++r) {
            ASSERT_EQ(a.ValueAt(r, c), b.ValueAt(r, c)) << where << " row " << r << " field " << c;
            ASSERT_EQ(a.IsNullAt(r, c), b.IsNullAt(r, c)) << where << " row " << r << " field " << c;
            if (numeric) {
                ASSERT_EQ(va.At(r), vb.At(r)) << where << " row " << r << " field " << c;
            }
        }
    }
}

TEST(MemTableCompact, IntegersTakeTheNarrowestWidthAndWidenForWiderValues)
{
    struct Case {
        std::vector<int32_t> values;
        ColumnStorage storage;
    };
    const Case cases[] = {
        {{5}, ColumnStorage::Uniform},
        {{5, 5, 5}, ColumnStorage::Uniform},
        {{-70000, -70000}, ColumnStorage::Uniform},
        {{5, -7}, ColumnStorage::Int8},
        {{0, 127, -128}, ColumnStorage::Int8},
        {{0, 128}, ColumnStorage::Int16},
        {{300, 5}, ColumnStorage::Int16},  // the uniform value itself needs 16 bits
        {{1, 2, -32768, 32767}, ColumnStorage::Int16},
        {{1, 2, 40000}, ColumnStorage::Int32},
        {{1, 200, -5, INT32_MIN}, ColumnStorage::Int32},
        {{7, 7, 7, 7, 100000, 7}, ColumnStorage::Int32},
    };
    for (const Case& c : cases) {
        std::string where = "values";
        for (int v : c.values)
            where += " " + std::to_string(v);
        // Appended at once, and written cell by cell over appended zeros.
        auto appended = compactTable();
        auto written = compactTable();
        for (int32_t v : c.values) {
            const MemValue row[] = {MemValue::Int(v), MemValue::Float(0), MemValue::Text(kNoText),
                                    MemValue::Float(0), MemValue::Bool(false)};
            appended->AppendValues(row);
            const MemValue zero[] = {MemValue::Int(c.values[0]), MemValue::Float(0), MemValue::Text(kNoText),
                                     MemValue::Float(0), MemValue::Bool(false)};
            written->SetIntAt(written->AppendValues(zero), 0, v);
        }
        for (const MemTable* t : {appended.get(), written.get()}) {
            const ColumnView v = t->View(0);
            EXPECT_STREQ(storageName(v.storage), storageName(c.storage)) << where;
            ASSERT_EQ(v.rows, int(c.values.size()));
            for (int r = 0; r < v.rows; ++r) {
                EXPECT_EQ(t->IntAt(r, 0), c.values[size_t(r)]) << where;
                EXPECT_EQ(v.At(r), c.values[size_t(r)]) << where;
                EXPECT_EQ(v.Visit([&](auto p) { return double(p[r]); }), c.values[size_t(r)]) << where;
                EXPECT_FALSE(t->IsNullAt(r, 0));
            }
            EXPECT_EQ(t->View(1).storage, ColumnStorage::Uniform);  // the zeros of f never took an array
        }
    }
}

TEST(MemTableCompact, UniformColumnsKeepTheirValueUntilAnotherArrives)
{
    // Per type: the value every row holds, and a different one.
    struct Case {
        int col;
        QVariant same, other;
    };
    const Case cases[] = {
        {0, 0, -1},
        {1, 0.0, 1.5},
        {1, 0.0, -0.0},  // a different value, though equal as a number
        {2, " ", "x"},
        {2, "", "abcd"},
        {3, 45000.5, 45000.25},
        {4, false, true},
    };
    for (const Case& c : cases) {
        const std::string where = "field " + std::to_string(c.col) + " " + c.other.toString().toStdString();
        auto t = compactTable();
        auto plain = mixedTable();
        const QString text = c.col == 2 ? c.same.toString() : QStringLiteral("-");
        for (int r = 0; r < 5; ++r) {
            MemValue row[] = {MemValue::Int(0), MemValue::Float(0), MemValue::Text(text), MemValue::Float(45000.5),
                              MemValue::Bool(false)};
            switch (c.col) {
            case 0: row[0] = MemValue::Int(c.same.toInt()); break;
            case 1: row[1] = MemValue::Float(c.same.toDouble()); break;
            case 3: row[3] = MemValue::Float(c.same.toDouble()); break;
            case 4: row[4] = MemValue::Bool(c.same.toBool()); break;
            }
            t->AppendValues(row);
            plain->AppendValues(row);
        }
        // Writing the value it holds changes nothing.
        t->Cell(2, c.col).SetValue(c.same);
        for (int col : {0, 1, 3})
            EXPECT_EQ(t->View(col).storage, ColumnStorage::Uniform) << where;
        const size_t before = t->MemoryBytes();
        EXPECT_LE(before, 64u) << where;  // at most the one text block

        t->Cell(3, c.col).SetValue(c.other);
        plain->Cell(3, c.col).SetValue(c.other);
        expectSameTables(*t, *plain, where);
        EXPECT_GT(t->MemoryBytes(), before) << where;
        if (c.col == 1) {
            EXPECT_TRUE(std::signbit(t->FloatAt(3, 1)) == std::signbit(c.other.toDouble())) << where;
        }
    }
}

TEST(MemTableCompact, NullsNeedNoBitmapUntilOneIsWritten)
{
    auto t = compactTable();
    auto plain = mixedTable();
    const QString blank = QStringLiteral(" ");
    t->BeginBulk();
    for (int r = 0; r < 100; ++r) {
        const MemValue row[] = {MemValue::Int(r % 50), MemValue::Float(r / 4.0), MemValue::Text(blank),
                                MemValue::Float(45000), MemValue()};  // b: always NULL
        t->AppendValues(row);
        addRow(*plain, {r % 50, r / 4.0, blank, 45000.0, QVariant()});
    }
    t->EndBulk();
    expectSameTables(*t, *plain, "loaded");
    EXPECT_EQ(t->View(3).storage, ColumnStorage::Uniform);
    // int8 and double arrays only: no NULL bitmap, no text.
    const size_t loaded = t->MemoryBytes();
    EXPECT_EQ(loaded, 100u * (1 + 8));
    for (int r = 0; r < 100; ++r)
        EXPECT_TRUE(t->IsNullAt(r, 4));

    // A NULL in a uniform column, a NULL in an array column, a value in the
    // all-NULL column.
    for (MemTable* x : {t.get(), plain.get()}) {
        x->Cell(10, 3).Clear();
        x->Cell(20, 0).Clear();
        x->SetBoolAt(30, 4, true);
    }
    expectSameTables(*t, *plain, "with NULLs");
    EXPECT_EQ(t->View(3).storage, ColumnStorage::Float64);
    EXPECT_EQ(t->View(0).At(20), 0.0);  // a NULL reads as 0 in a view

    // Appending a NULL row to a table with uniform columns keeps every value.
    t->AppendRow();
    plain->AppendRow();
    expectSameTables(*t, *plain, "NULL row");
}

TEST(MemTableCompact, BehavesLikeAPlainTableThroughRandomEdits)
{
    // The same random work on a compact and a plain table; they must hold
    // the same rows after every step.
    auto t = compactTable();
    auto plain = mixedTable();
    uint32_t seed = 12345;
    auto rnd = [&](uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    const int32_t widths[] = {0, 1, -100, 1000, -30000, 70000, INT32_MAX};
    const QString texts[] = {QString(), QStringLiteral(" "), QStringLiteral("ab"), QStringLiteral("abcdef")};
    for (int step = 0; step < 3000; ++step) {
        const std::string where = "step " + std::to_string(step);
        const int rows = t->RecordCount();
        const uint32_t op = rnd(100);
        if (op < 45 || rows == 0) {
            // Mostly repeated values, so that uniform columns survive a while.
            const bool vary = rnd(4) == 0;
            const int32_t i = vary ? widths[rnd(7)] : 1;
            const double f = vary ? rnd(10) / 4.0 : 0.5;
            const QString& s = texts[vary ? rnd(4) : 1];
            const bool null = rnd(20) == 0;
            MemValue row[] = {MemValue::Int(i), MemValue::Float(f), MemValue::Text(s), MemValue::Int(45000),
                              MemValue::Bool(vary)};
            if (null)
                row[rnd(5)] = MemValue();
            t->AppendValues(row);
            QVariantList values{i, f, s, 45000.0, vary};
            for (int c = 0; c < 5; ++c) {
                if (row[c].kind == MemValue::Kind::Null)
                    values[c] = QVariant();
            }
            plain->BeginBulk();
            const int r = plain->AppendRow();
            for (int c = 0; c < 5; ++c)
                plain->Cell(r, c).SetValue(values[c]);
            plain->EndBulk();
        } else if (op < 70) {
            const int r = int(rnd(uint32_t(rows))), c = int(rnd(5));
            QVariant v;
            switch (c) {
            case 0: v = widths[rnd(7)]; break;
            case 1: v = rnd(10) / 4.0; break;
            case 2: v = texts[rnd(4)]; break;
            case 3: v = 45000.0 + rnd(2); break;
            case 4: v = rnd(2) == 0; break;
            }
            if (rnd(6) == 0)
                v = QVariant();
            t->Cell(r, c).SetValue(v);
            plain->Cell(r, c).SetValue(v);
        } else if (op < 80) {
            const int r = int(rnd(uint32_t(rows)));
            for (MemTable* x : {t.get(), plain.get()}) {
                x->SetRecNo(r);
                x->Delete();
            }
        } else if (op < 85) {
            // An edit that is cancelled restores the row, NULLs included.
            const int r = int(rnd(uint32_t(rows)));
            for (MemTable* x : {t.get(), plain.get()}) {
                x->SetRecNo(r);
                x->Edit();
                x->FieldByName("i").SetAsInteger(widths[rnd(7)]);
                x->FieldByName("s").Clear();
                x->Cancel();
            }
        } else if (op < 88) {
            const char* order = rnd(2) ? "i;s" : "b;f;d";
            t->SortOn(order);
            plain->SortOn(order);
        } else if (op < 98) {
            const QVariantList key{widths[rnd(7)], rnd(2) == 0};
            ASSERT_EQ(t->Find("i;b", key), plain->Find("i;b", key)) << where;
            const QString& text = texts[rnd(4)];
            ASSERT_EQ(t->Find("s", {text}), plain->Find("s", {text})) << where;
        } else {
            t->Close();
            plain->Close();
            t->Open();
            plain->Open();
        }
        expectSameTables(*t, *plain, where);
        if (HasFatalFailure())
            return;
    }
}

TEST(MemTableCompact, BulkLoadGivesBackSpareCapacity)
{
    auto t = compactTable();
    t->BeginBulk();
    for (int r = 0; r < 1000; ++r) {
        const MemValue row[] = {MemValue::Int(r % 100), MemValue::Float(0), MemValue::Text(kNoText),
                                MemValue::Float(0), MemValue::Bool(false)};
        t->AppendValues(row);
    }
    EXPECT_GT(t->MemoryBytes(), 1000u);  // the int8 array grew by doubling
    t->EndBulk();
    EXPECT_EQ(t->MemoryBytes(), 1000u);
    EXPECT_EQ(t->View(0).storage, ColumnStorage::Int8);

    // Widening lets the narrow array go.
    t->BeginBulk();
    t->SetIntAt(0, 0, 1000);
    t->EndBulk();
    EXPECT_EQ(t->View(0).storage, ColumnStorage::Int16);
    EXPECT_EQ(t->MemoryBytes(), 2000u);

    // Closing gives everything back, on plain tables too.
    t->Close();
    EXPECT_EQ(t->MemoryBytes(), 0u);
    auto plain = tableOfInts(std::vector<int>(500, 3));
    EXPECT_GE(plain->MemoryBytes(), 500u * 5);
    plain->Close();
    EXPECT_EQ(plain->MemoryBytes(), 0u);
}

TEST(MemTableCompact, MisuseThrows)
{
    auto t = compactTable();
    const MemValue wrong[] = {MemValue::Float(1.5), MemValue::Float(0), MemValue::Text(kNoText), MemValue(),
                              MemValue()};
    EXPECT_THROW(t->AppendValues(wrong), MemTableError);  // a double for an Integer field
    EXPECT_THROW(t->AppendValues(std::span<const MemValue>(wrong, 3)), MemTableError);
    EXPECT_EQ(t->RecordCount(), 0);
    const QString longText = QStringLiteral("abcdefghijkl");
    const MemValue row[] = {MemValue::Int(1), MemValue::Int(2), MemValue::Text(longText), MemValue(), MemValue()};
    t->AppendValues(row);
    EXPECT_EQ(t->StringAt(0, 2), QStringLiteral("abcdefghij"));  // cut to the field's size
    EXPECT_EQ(t->FloatAt(0, 1), 2.0);
    EXPECT_THROW(t->SetCompact(false), MemTableError);  // not while it holds rows
    EXPECT_THROW(t->IntColumn(0), MemTableError);       // compact columns are read through View
    EXPECT_THROW(t->View(2), MemTableError);
    t->Close();
    t->SetCompact(false);
    t->Open();
    t->AppendValues(row);
    EXPECT_EQ(t->IntColumn(0).size(), 1u);
    EXPECT_EQ(t->View(0).storage, ColumnStorage::Int32);
}

// A hold keeps the rows as they were: through an emptying (its arrays, not
// a copy), a change in place (the table goes on with a copy), a sort and
// the table's end; holds taken meanwhile share one; once released, changes
// copy nothing.
TEST(MemTableHold, KeepsTheRowsWhateverTheTableDoesNext)
{
    for (const bool compact : {false, true}) {
        SCOPED_TRACE(compact ? "compact" : "plain");
        auto t = std::make_unique<MemTable>(
            QStringLiteral("samples"), std::vector<FieldDef>{{QStringLiteral("data"), FieldType::Integer},
                                                             {QStringLiteral("v"), FieldType::Float},
                                                             {QStringLiteral("same"), FieldType::Integer},
                                                             {QStringLiteral("s"), FieldType::String, 4}});
        t->SetCompact(compact);
        t->Open();
        auto fill = [&](int rows, double scale) {
            for (int i = 0; i < rows; ++i) {
                const QString text = QStringLiteral("x");
                const MemValue row[] = {MemValue::Int(i * 300), MemValue::Float(i * scale), MemValue::Int(7),
                                        MemValue::Text(text)};
                t->AppendValues(row);
            }
        };
        fill(10, 0.5);
        auto expectKept = [](const MemTableHold& h, const char* when) {
            ASSERT_EQ(h.RowCount(), 10) << when;
            for (int i = 0; i < 10; ++i) {
                EXPECT_EQ(h.View(0).At(i), i * 300) << when;
                EXPECT_EQ(h.View(1).At(i), i * 0.5) << when;
                EXPECT_EQ(h.View(2).At(i), 7) << when;
            }
        };

        std::shared_ptr<const MemTableHold> hold = t->Hold();
        EXPECT_EQ(t->Hold(), hold);  // nothing changed: the same hold
        EXPECT_THROW(hold->View(3), MemTableError);
        EXPECT_THROW(hold->View(4), MemTableError);
        const void* values = t->View(1).data;

        // Changed in place: the table goes on with a copy.
        t->SetFloatAt(3, 1, 99);
        expectKept(*hold, "changed");
        EXPECT_EQ(hold->View(1).data, values);
        EXPECT_EQ(t->FloatAt(3, 1), 99);
        EXPECT_NE(t->View(1).data, values);
        // A new hold sees the change; emptied and refilled, both keep theirs.
        std::shared_ptr<const MemTableHold> second = t->Hold();
        EXPECT_NE(second, hold);
        const void* secondValues = t->View(1).data;
        t->Close();
        t->Open();
        fill(4, 2);
        expectKept(*hold, "reloaded");
        EXPECT_EQ(second->View(1).data, secondValues);  // handed over, not copied
        EXPECT_EQ(second->View(1).At(3), 99);
        EXPECT_EQ(t->RecordCount(), 4);
        EXPECT_EQ(t->FloatAt(3, 1), 6);

        // Sorted and then freed while held.
        std::shared_ptr<const MemTableHold> third = t->Hold();
        t->SortOn(QStringLiteral("v"), MemTable::soDescending);
        EXPECT_EQ(third->View(1).At(0), 0);
        EXPECT_EQ(t->FloatAt(0, 1), 6);
        std::shared_ptr<const MemTableHold> last = t->Hold();
        t.reset();
        EXPECT_EQ(last->View(1).At(0), 6);
        EXPECT_EQ(last->View(0).At(3), 0);
        expectKept(*hold, "freed");
    }

    // Released holds cost nothing later on.
    MemTable t(QStringLiteral("t"), {{QStringLiteral("v"), FieldType::Float}});
    t.Open();
    t.SetFloatAt(t.AppendRow(), 0, 1);
    t.SetFloatAt(t.AppendRow(), 0, 2);
    { const auto h = t.Hold(); }
    const void* values = t.View(0).data;
    t.SetFloatAt(0, 0, 5);
    EXPECT_EQ(t.View(0).data, values);
}

}  // namespace
