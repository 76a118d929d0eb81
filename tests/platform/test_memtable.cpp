#include "platform/memtable.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStringList>

#include <functional>
#include <memory>

#include "memtable_fixture.h"

namespace {

using namespace memtable_testing;
using State = MemTable::State;

// ---------------------------------------------------------------------------
// State machine

TEST(MemTableState, AppendPostAndCancel)
{
    auto t = tickTable();
    t->Append();
    EXPECT_EQ(t->GetState(), State::Insert);
    EXPECT_EQ(t->RecordCount(), 1);
    EXPECT_EQ(t->RecNo(), 0);
    t->FieldByName("id_kierowcy").SetAsInteger(7);
    t->Post();
    EXPECT_EQ(t->GetState(), State::Browse);

    t->Append();
    t->FieldByName("ID_KIEROWCY").SetAsInteger(8);
    EXPECT_EQ(t->RecNo(), 1);
    t->Cancel();
    EXPECT_EQ(t->GetState(), State::Browse);
    EXPECT_EQ(ints(*t, 0), std::vector<int>{7});
    EXPECT_EQ(t->RecNo(), 0);  // back on the row current before the append

    auto empty = tickTable();
    empty->Append();
    empty->Cancel();
    EXPECT_TRUE(empty->IsEmpty());
    EXPECT_EQ(empty->RecNo(), -1);
    EXPECT_TRUE(empty->Eof());
    EXPECT_TRUE(empty->Bof());
}

TEST(MemTableState, EditCancelRestoresTheRowAndPostKeepsIt)
{
    auto t = mixedTable();
    addRow(*t, {5, 1.5, "abc", 45000.25, true});
    t->Edit();
    EXPECT_EQ(t->GetState(), State::Edit);
    t->FieldByName("i").SetAsInteger(6);
    t->FieldByName("s").SetAsString("xyz");
    t->FieldByName("f").Clear();
    t->FieldByName("b").SetAsBoolean(false);
    t->Cancel();
    EXPECT_EQ(t->GetState(), State::Browse);
    EXPECT_EQ(t->IntAt(0, 0), 5);
    EXPECT_EQ(t->StringAt(0, 2), "abc");
    EXPECT_FALSE(t->IsNullAt(0, 1));
    EXPECT_DOUBLE_EQ(t->FloatAt(0, 1), 1.5);
    EXPECT_TRUE(t->BoolAt(0, 4));

    t->Edit();
    t->FieldByName("i").SetAsInteger(6);
    t->Post();
    t->Cancel();  // nothing pending any more
    EXPECT_EQ(t->IntAt(0, 0), 6);
}

TEST(MemTableState, WritesOutsideEditOrInsertThrow)
{
    const std::vector<std::pair<const char*, std::function<void(MemField)>>> writes = {
        {"SetAsInteger", [](MemField f) { f.SetAsInteger(9); }},
        {"SetAsFloat", [](MemField f) { f.SetAsFloat(9.0); }},
        {"SetAsString", [](MemField f) { f.SetAsString("9"); }},
        {"SetAsBoolean", [](MemField f) { f.SetAsBoolean(true); }},
        {"SetAsDateTime", [](MemField f) { f.SetAsDateTime(9.0); }},
        {"SetValue", [](MemField f) { f.SetValue(9); }},
        {"Clear", [](MemField f) { f.Clear(); }},
    };
    auto t = tableOfInts({1});
    auto empty = tickTable();
    for (const auto& [name, write] : writes) {
        SCOPED_TRACE(name);
        EXPECT_THROW(write(t->FieldByName("id_kierowcy")), MemTableError);
        EXPECT_EQ(t->IntAt(0, 0), 1);
        empty->Append();
        empty->Cancel();
        EXPECT_THROW(write(empty->FieldByName("id_kierowcy")), MemTableError);
    }
}

TEST(MemTableState, InactiveTableRefusesWork)
{
    MemTable t("closed", {{"a", FieldType::Integer}});
    const std::vector<std::pair<const char*, std::function<void()>>> ops = {
        {"First", [&] { t.First(); }},
        {"Last", [&] { t.Last(); }},
        {"Next", [&] { t.Next(); }},
        {"Prior", [&] { t.Prior(); }},
        {"Append", [&] { t.Append(); }},
        {"Edit", [&] { t.Edit(); }},
        {"Post", [&] { t.Post(); }},
        {"Delete", [&] { t.Delete(); }},
        {"AppendRow", [&] { t.AppendRow(); }},
        {"SetRecNo", [&] { t.SetRecNo(0); }},
        {"Locate", [&] { t.Locate("a", {1}); }},
        {"Find", [&] { (void)t.Find("a", {1}); }},
        {"SortOn", [&] { t.SortOn("a"); }},
        {"field write", [&] { t.FieldByName("a").SetAsInteger(1); }},
    };
    for (const auto& [name, op] : ops) {
        SCOPED_TRACE(name);
        EXPECT_THROW(op(), MemTableError);
    }
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(t.GetState(), State::Inactive);
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(t.RecNo(), -1);
    EXPECT_TRUE(t.FieldByName("a").IsNull());
}

TEST(MemTableState, MovingPostsAPendingEdit)
{
    const std::vector<std::pair<const char*, std::function<void(MemTable&)>>> moves = {
        {"Next", [](MemTable& t) { t.Next(); }},
        {"First", [](MemTable& t) { t.First(); }},
        {"Last", [](MemTable& t) { t.Last(); }},
        {"SetRecNo", [](MemTable& t) { t.SetRecNo(2); }},
        {"Locate", [](MemTable& t) { t.Locate("id_kierowcy", {3}); }},
        {"Append", [](MemTable& t) { t.Append(); }},
        {"SortOn", [](MemTable& t) { t.SortOn("id_kierowcy"); }},
    };
    for (const auto& [name, move] : moves) {
        SCOPED_TRACE(name);
        auto t = tableOfInts({1, 2, 3});
        t->SetRecNo(1);
        t->Edit();
        t->FieldByName("id_kierowcy").SetAsInteger(20);
        move(*t);
        t->Cancel();  // drops at most the appended row, never the posted edit
        EXPECT_EQ(t->GetState(), State::Browse);
        EXPECT_EQ(t->Find("id_kierowcy", {20}), name == std::string("SortOn") ? 2 : 1);
        EXPECT_EQ(t->RecordCount(), 3);
    }
}

TEST(MemTableState, DeletePositions)
{
    struct Case {
        int rows, at;
        int recNo;
        bool eof;
        std::vector<int> left;
    };
    const Case cases[] = {
        {3, 0, 0, false, {2, 3}},  // the next row moves into place
        {3, 1, 1, false, {1, 3}},
        {3, 2, 1, true, {1, 2}},  // the last went: the new last, at the end
        {1, 0, -1, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, delete " << c.at);
        std::vector<int> values;
        for (int i = 1; i <= c.rows; ++i)
            values.push_back(i);
        auto t = tableOfInts(values);
        t->SetRecNo(c.at);
        t->Delete();
        EXPECT_EQ(t->RecNo(), c.recNo);
        EXPECT_EQ(t->Eof(), c.eof);
        EXPECT_EQ(ints(*t, 0), c.left);
        EXPECT_EQ(t->GetState(), State::Browse);
    }

    auto empty = tickTable();
    EXPECT_THROW(empty->Delete(), MemTableError);

    auto t = tableOfInts({1, 2});
    t->Append();
    t->Delete();  // an unposted row is only dropped
    EXPECT_EQ(ints(*t, 0), (std::vector<int>{1, 2}));
    t->First();
    t->Edit();
    t->FieldByName("id_kierowcy").SetAsInteger(10);
    t->Delete();
    EXPECT_EQ(ints(*t, 0), std::vector<int>{2});
    EXPECT_EQ(t->GetState(), State::Browse);
}

// ---------------------------------------------------------------------------
// Eof / Bof

TEST(MemTableNavigation, EmptyTable)
{
    auto t = tickTable();
    EXPECT_TRUE(t->Eof());
    EXPECT_TRUE(t->Bof());
    EXPECT_EQ(t->RecNo(), -1);
    for (auto move : {&MemTable::First, &MemTable::Last, &MemTable::Next, &MemTable::Prior}) {
        (t.get()->*move)();
        EXPECT_TRUE(t->Eof());
        EXPECT_TRUE(t->Bof());
        EXPECT_EQ(t->RecNo(), -1);
    }
    EXPECT_THROW(t->SetRecNo(0), MemTableError);
    EXPECT_THROW(t->Edit(), MemTableError);
}

TEST(MemTableNavigation, FlagsAtTheEnds)
{
    auto t = tableOfInts({1, 2, 3});
    struct Step {
        const char* what;
        void (MemTable::*move)();
        int recNo;
        bool bof, eof;
    };
    const Step steps[] = {
        {"First", &MemTable::First, 0, true, false},   {"Next", &MemTable::Next, 1, false, false},
        {"Next", &MemTable::Next, 2, false, false},    {"Next at last", &MemTable::Next, 2, false, true},
        {"Next past end", &MemTable::Next, 2, false, true}, {"Prior", &MemTable::Prior, 1, false, false},
        {"Prior", &MemTable::Prior, 0, false, false},  {"Prior at first", &MemTable::Prior, 0, true, false},
        {"Last", &MemTable::Last, 2, false, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        (t.get()->*s.move)();
        EXPECT_EQ(t->RecNo(), s.recNo);
        EXPECT_EQ(t->Bof(), s.bof);
        EXPECT_EQ(t->Eof(), s.eof);
    }

    auto one = tableOfInts({1});
    one->First();
    one->Next();
    EXPECT_TRUE(one->Eof());
    EXPECT_EQ(one->RecNo(), 0);
}

TEST(MemTableNavigation, ForwardLoopVisitsEachRowOnce)
{
    for (int n : {0, 1, 5}) {
        SCOPED_TRACE(n);
        std::vector<int> values;
        for (int i = 0; i < n; ++i)
            values.push_back(i * 10);
        auto t = tableOfInts(values);
        MemField id = t->FieldByName("id_kierowcy");  // follows the current row
        std::vector<int> seen;
        t->First();
        while (!t->Eof() && seen.size() < 100) {
            seen.push_back(id.AsInteger());
            t->Next();
        }
        EXPECT_EQ(seen, values);

        std::vector<int> back;
        t->Last();
        while (!t->Bof() && back.size() < 100) {
            back.push_back(id.AsInteger());
            t->Prior();
        }
        EXPECT_EQ(back, std::vector<int>(values.rbegin(), values.rend()));
    }
}

TEST(MemTableNavigation, DeletingLoopVisitsEachRowOnce)
{
    struct Case {
        const char* what;
        std::function<bool(int)> drop;
        std::vector<int> left;
    };
    const Case cases[] = {
        {"none", [](int) { return false; }, {1, 2, 3, 4, 5, 6}},
        {"all", [](int) { return true; }, {}},
        {"even", [](int v) { return v % 2 == 0; }, {1, 3, 5}},
        {"first", [](int v) { return v == 1; }, {2, 3, 4, 5, 6}},
        {"last", [](int v) { return v == 6; }, {1, 2, 3, 4, 5}},
        {"last two", [](int v) { return v >= 5; }, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto t = tableOfInts({1, 2, 3, 4, 5, 6});
        int visits = 0;
        t->First();
        while (!t->Eof() && visits < 100) {
            ++visits;
            if (c.drop(t->FieldByName("id_kierowcy").AsInteger()))
                t->Delete();
            else
                t->Next();
        }
        EXPECT_EQ(visits, 6);
        EXPECT_EQ(ints(*t, 0), c.left);
    }
}

// The chooser's tick handling: locate, append or toggle, then OK keeps the ticked rows.
TEST(MemTableNavigation, TickToggleAndPrune)
{
    auto t = tickTable();
    auto tick = [&](int id) {
        t->First();
        if (!t->Locate("id_kierowcy", {id})) {
            t->Append();
            t->FieldByName("id_kierowcy").SetAsInteger(id);
            t->FieldByName("wybrany").SetAsBoolean(true);
        } else {
            t->Edit();
            t->FieldByName("wybrany").SetAsBoolean(!t->FieldByName("wybrany").AsBoolean());
        }
        t->Post();
    };
    for (int id : {4, 2, 4, 9, 4, 9})
        tick(id);
    t->First();
    while (!t->Eof()) {
        if (!t->FieldByName("wybrany").AsBoolean())
            t->Delete();
        else
            t->Next();
    }
    EXPECT_EQ(ints(*t, 0), (std::vector<int>{4, 2}));
}

// ---------------------------------------------------------------------------
// Locate / Find

TEST(MemTableLocate, TextComparisons)
{
    auto t = std::make_unique<MemTable>("tracks", std::vector<FieldDef>{{"nazwa", FieldType::String, 100}});
    t->Open();
    for (const char* n : {"Alpha", "alpine", "Beta", "beta", "  Gamma", ""})
        addRow(*t, {QString::fromUtf8(n)});
    const int ci = MemTable::loCaseInsensitive, pk = MemTable::loPartialKey;
    struct Case {
        const char* value;
        int options;
        int row;
    };
    const Case cases[] = {
        {"beta", 0, 3},       {"BETA", 0, -1},     {"BETA", ci, 2},        {"alp", pk, 1},
        {"Alp", pk, 0},       {"ALP", pk | ci, 0}, {"Alpha", pk, 0},       {"alphabet", pk | ci, -1},
        {"  G", pk, 4},       {"G", pk | ci, -1},  {"gamma", ci, -1},      {"", 0, 5},
        {"Alph", 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.value << "\" options " << c.options);
        EXPECT_EQ(t->Find("nazwa", {QString::fromUtf8(c.value)}, c.options), c.row);
    }
}

TEST(MemTableLocate, MovesOnlyWhenFound)
{
    auto t = tableOfInts({5, 6, 7});
    t->SetRecNo(1);
    QSignalSpy moved(t.get(), &MemTable::CurrentChanged);
    EXPECT_FALSE(t->Locate("id_kierowcy", {99}));
    EXPECT_EQ(t->RecNo(), 1);
    EXPECT_EQ(moved.count(), 0);
    EXPECT_TRUE(t->Locate("id_kierowcy", {7}));
    EXPECT_EQ(t->RecNo(), 2);
    EXPECT_FALSE(t->Eof());
    EXPECT_EQ(moved.count(), 1);

    auto empty = tickTable();
    EXPECT_FALSE(empty->Locate("id_kierowcy", {1}));
    EXPECT_EQ(empty->RecNo(), -1);
}

TEST(MemTableLocate, SeveralFieldsAndTheFirstOfSeveralMatches)
{
    MemTable t("gps", {{"id_nag", FieldType::Integer}, {"data", FieldType::Integer}, {"datas", FieldType::String, 15}});
    t.Open();
    const QVariantList rows[] = {{1, 10, "a"}, {2, 10, "b"}, {1, 20, "c"}, {1, 10, "d"}, {2, 20, "c"}};
    for (const QVariantList& r : rows)
        addRow(t, r);
    struct Case {
        const char* fields;
        QVariantList values;
        int row;
    };
    const Case cases[] = {
        {"id_nag;data", {1, 10}, 0},    // rows 0 and 3 match: the first
        {"id_nag;data", {2, 20}, 4},    {"id_nag;data", {2, 30}, -1},
        {" ID_NAG ; Data ", {1, 20}, 2}, {"data;id_nag", {10, 2}, 1},
        {"id_nag;datas", {1, "d"}, 3},  // an Integer key narrowed by a text
        {"datas;data", {"c", 20}, 2},   {"id_nag;datas", {2, "a"}, -1},
        {"data", {10}, 0},              {"datas", {"c"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fields);
        EXPECT_EQ(t.Find(c.fields, c.values), c.row);
    }
}

TEST(MemTableLocate, ValuesAreConvertedToTheFieldType)
{
    auto t = mixedTable();
    const QDateTime when(QDate(2024, 5, 1), QTime(13, 45, 10));
    addRow(*t, {12, 2.5, "x", ToTDateTime(when), true});
    addRow(*t, {QVariant(), QVariant(), QVariant(), QVariant(), false});
    struct Case {
        const char* field;
        QVariant value;
        int row;
    };
    const Case cases[] = {
        {"i", QVariant("12"), 0},     {"i", QVariant(12.0), 0},   {"i", QVariant(12.5), -1},
        {"i", QVariant("abc"), -1},   {"i", QVariant(qlonglong(1) << 40), -1},
        {"i", QVariant(), 1},         {"f", QVariant("2.5"), 0},  {"f", QVariant(2), -1},
        {"f", QVariant(), 1},         {"d", QVariant(when), 0},   {"d", QVariant(ToTDateTime(when)), 0},
        {"d", QVariant("2024-05-01 13:45:10"), 0},                {"b", QVariant(false), 1},
        {"b", QVariant("True"), 0},   {"s", QVariant(), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.field << " " << c.value.toString().toStdString());
        EXPECT_EQ(t->Find(c.field, {c.value}), c.row);
    }
}

TEST(MemTableLocate, BadArgumentsThrow)
{
    auto t = tableOfInts({1});
    EXPECT_THROW(t->Locate("nope", {1}), MemTableError);
    EXPECT_THROW(t->Locate("id_kierowcy;wybrany", {1}), MemTableError);
    EXPECT_THROW(t->Locate(" ; ", {}), MemTableError);
    EXPECT_THROW(t->SortOn("nope"), MemTableError);
}

// A bulk table of (id_nag, data) keys, then every kind of change: a locate
// after it must see the table as it now is.
TEST(MemTableLocate, IndexFollowsEveryChange)
{
    MemTable t("memGPS", {{"id_nag", FieldType::Integer}, {"data", FieldType::Integer}, {"x", FieldType::Integer}});
    t.Open();
    t.BeginBulk();
    for (int s = 1; s <= 3; ++s)
        for (int i = 0; i < 500; ++i) {
            const int r = t.AppendRow();
            t.SetIntAt(r, 0, s);
            t.SetIntAt(r, 1, i * 10);
            t.SetIntAt(r, 2, r);
        }
    t.EndBulk();
    const QString key = "id_nag;data";
    ASSERT_EQ(t.Find(key, {2, 100}), 510);

    t.SetIntAt(510, 1, 7);  // a key value changes
    EXPECT_EQ(t.Find(key, {2, 100}), -1);
    EXPECT_EQ(t.Find(key, {2, 7}), 510);

    t.SetRecNo(3);  // rows are removed
    t.Delete();
    EXPECT_EQ(t.Find(key, {2, 7}), 509);
    EXPECT_EQ(t.Find(key, {1, 30}), -1);

    t.Append();  // rows are added, here a second (1, 0)
    t.FieldByName("id_nag").SetAsInteger(1);
    t.FieldByName("data").SetAsInteger(0);
    t.Post();
    EXPECT_EQ(t.Find(key, {1, 0}), 0);
    t.First();
    t.Delete();
    EXPECT_EQ(t.Find(key, {1, 0}), t.RecordCount() - 1);

    t.SortOn("x");  // rows are reordered: the appended row (x NULL) goes first
    EXPECT_EQ(t.Find(key, {1, 0}), 0);
    EXPECT_EQ(t.Find(key, {3, 4990}), t.RecordCount() - 1);

    t.SetRecNo(5);
    const int id = t.IntAt(5, 0), data = t.IntAt(5, 1);
    t.Edit();  // an edit cancelled restores the key
    t.FieldByName("data").SetAsInteger(-1);
    EXPECT_EQ(t.Find(key, {id, -1}), 5);
    t.Cancel();
    EXPECT_EQ(t.Find(key, {id, data}), 5);
    EXPECT_EQ(t.Find(key, {id, -1}), -1);

    t.Cell(5, 1).Clear();  // NULL is a key of its own
    EXPECT_EQ(t.Find(key, {id, QVariant()}), 5);
    EXPECT_EQ(t.Find(key, {id, data}), -1);

    t.Close();
    t.Open();
    EXPECT_EQ(t.Find(key, {3, 4990}), -1);
}

TEST(MemTableLocate, IndexFindsEveryRowOfABulkLoad)
{
    MemTable t("memGPS", {{"id_nag", FieldType::Integer}, {"data", FieldType::Integer}});
    t.Open();
    t.BeginBulk();
    for (int s = 0; s < 4; ++s)
        for (int i = 0; i < 50000; ++i) {
            const int r = t.AppendRow();
            t.SetIntAt(r, 0, 1000 + s);
            t.SetIntAt(r, 1, i * 2);  // the same times in every session
        }
    t.EndBulk();
    int wrong = 0;
    for (int r = 0; r < t.RecordCount(); ++r)
        wrong += t.Find("id_nag;data", {t.IntAt(r, 0), t.IntAt(r, 1)}) != r;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(t.Find("id_nag;data", {1000, 1}), -1);
    EXPECT_EQ(t.Find("data", {2}), 1);  // another combination on the same table
}

// ---------------------------------------------------------------------------
// SortOn

TEST(MemTableSort, MultiFieldAndStable)
{
    MemTable t("memPrzejazdy", {{"nr_pliku", FieldType::Integer},
                                {"numer_wpisu", FieldType::Integer},
                                {"order", FieldType::Integer},
                                {"wybrany", FieldType::Boolean},
                                {"tor", FieldType::String, 100}});
    t.Open();
    const QVariantList rows[] = {{1, 3, 0, true, "b"},  {0, 2, 1, false, "B"}, {1, 1, 2, QVariant(), "a"},
                                 {0, 1, 3, true, ""},   {1, 3, 4, false, QVariant()}, {QVariant(), 5, 5, true, "A"}};
    for (const QVariantList& r : rows)
        addRow(t, r);
    t.Last();
    struct Case {
        const char* fields;
        int options;
        std::vector<int> order;
    };
    const int ci = MemTable::soCaseInsensitive, desc = MemTable::soDescending;
    const Case cases[] = {
        {"nr_pliku;numer_wpisu", 0, {5, 3, 1, 2, 0, 4}},  // NULL first; the two (1, 3) keep their order
        {"nr_pliku", 0, {5, 1, 3, 0, 2, 4}},
        {"wybrany", 0, {2, 1, 4, 0, 3, 5}},  // NULL, false, true
        {"tor", 0, {4, 3, 5, 1, 2, 0}},      // NULL, "", then case-sensitive code units: "A" "B" "a" "b"
        {"tor", ci, {4, 3, 2, 5, 0, 1}},     // "a" = "A" and "b" = "B" keep their order
        {"tor", ci | desc, {0, 1, 2, 5, 3, 4}},  // reversed, ties still in their order, NULL last
        {"nr_pliku;numer_wpisu", desc, {0, 4, 2, 1, 3, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fields << " options " << c.options);
        t.SortOn("order");
        t.Last();
        t.SortOn(c.fields, c.options);
        EXPECT_EQ(ints(t, 2), c.order);
        EXPECT_EQ(t.RecNo(), 0);
        EXPECT_TRUE(t.Bof());
        EXPECT_FALSE(t.Eof());
    }

    // Enough rows that a sort is no longer a plain insertion sort.
    MemTable many("many", {{"key", FieldType::Integer}, {"order", FieldType::Integer}});
    many.Open();
    for (int i = 0; i < 300; ++i) {
        const int r = many.AppendRow();
        many.SetIntAt(r, 0, (i * 7) % 5);
        many.SetIntAt(r, 1, i);
    }
    many.SortOn("key");
    for (int r = 1; r < many.RecordCount(); ++r) {
        const bool inOrder = many.IntAt(r - 1, 0) < many.IntAt(r, 0) ||
                             (many.IntAt(r - 1, 0) == many.IntAt(r, 0) && many.IntAt(r - 1, 1) < many.IntAt(r, 1));
        ASSERT_TRUE(inOrder) << "row " << r;
    }

    auto empty = tickTable();
    empty->SortOn("id_kierowcy");
    EXPECT_EQ(empty->RecNo(), -1);
    EXPECT_TRUE(empty->Eof());
}

// ---------------------------------------------------------------------------
// Fields

TEST(MemTableField, StringsAreCutToTheFieldSize)
{
    struct Case {
        int size;
        QString in, out;
    };
    const Case cases[] = {
        {5, "abcdefg", "abcde"},
        {5, "abcde", "abcde"},
        {5, "abc", "abc"},
        {0, QString(300, 'x'), QString(300, 'x')},  // no size: no limit
        {2, QString::fromUtf8("a\xF0\x9F\x98\x80"), "a"},  // never half a surrogate pair
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in.toStdString());
        MemTable t("s", {{"s", FieldType::String, c.size}});
        t.Open();
        t.Append();
        t.FieldByName("s").SetAsString(c.in);
        t.Post();
        EXPECT_EQ(t.StringAt(0, 0), c.out);
        t.SetStringAt(0, 0, c.in);
        EXPECT_EQ(t.StringAt(0, 0), c.out);
        t.Cell(0, 0).SetValue(c.in);
        EXPECT_EQ(t.StringAt(0, 0), c.out);
    }
}

TEST(MemTableField, WritingConverts)
{
    struct Case {
        const char* what;
        const char* field;
        std::function<void(MemField)> write;
        QVariant stored;  // ValueAt afterwards; invalid = NULL
    };
    const QDateTime when(QDate(2024, 5, 1), QTime(13, 45, 10));
    const Case cases[] = {
        {"text to integer", "i", [](MemField f) { f.SetAsString("42"); }, 42},
        {"text with blanks", "i", [](MemField f) { f.SetAsString(" -7 "); }, -7},
        {"empty text clears", "i", [](MemField f) { f.SetAsString(""); }, QVariant()},
        {"2.5 to even", "i", [](MemField f) { f.SetAsFloat(2.5); }, 2},
        {"3.5 to even", "i", [](MemField f) { f.SetAsFloat(3.5); }, 4},
        {"-2.5 to even", "i", [](MemField f) { f.SetAsFloat(-2.5); }, -2},
        {"2.6 to nearest", "i", [](MemField f) { f.SetAsFloat(2.6); }, 3},
        {"-2.4 to nearest", "i", [](MemField f) { f.SetAsFloat(-2.4); }, -2},
        {"variant text", "i", [](MemField f) { f.SetValue(QVariant("12")); }, 12},
        {"variant double", "i", [](MemField f) { f.SetValue(QVariant(0.5)); }, 0},
        {"variant bool", "i", [](MemField f) { f.SetValue(QVariant(true)); }, 1},
        {"text to float", "f", [](MemField f) { f.SetAsString("1.25"); }, 1.25},
        {"decimal comma", "f", [](MemField f) { f.SetAsString("1,25"); }, 1.25},
        {"integer to float", "f", [](MemField f) { f.SetValue(QVariant(qlonglong(3))); }, 3.0},
        {"bool to text", "s", [](MemField f) { f.SetAsBoolean(true); }, "True"},
        {"float to text", "s", [](MemField f) { f.SetAsFloat(0.1); }, "0.1"},
        {"date-time variant", "d", [=](MemField f) { f.SetValue(when); }, ToTDateTime(when)},
        {"date-time text", "d", [=](MemField f) { f.SetAsString("2024-05-01 13:45:10"); }, ToTDateTime(when)},
        {"text to bool", "b", [](MemField f) { f.SetAsString("false"); }, false},
        {"invalid variant clears", "b", [](MemField f) { f.SetValue(QVariant()); }, QVariant()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto t = mixedTable();
        addRow(*t, {1, 9.0, "old", 1.0, true});
        t->Edit();
        c.write(t->FieldByName(c.field));
        t->Post();
        const QVariant v = t->ValueAt(0, t->FieldIndex(c.field));
        EXPECT_EQ(v.isValid(), c.stored.isValid());
        if (c.stored.isValid() && c.stored.typeId() == QMetaType::Double) {
            EXPECT_DOUBLE_EQ(v.toDouble(), c.stored.toDouble());
        } else if (c.stored.isValid()) {
            EXPECT_EQ(v, c.stored);
        }
    }
}

TEST(MemTableField, BadValuesThrowAndLeaveTheCell)
{
    const std::vector<std::pair<const char*, std::function<void(MemTable&)>>> bad = {
        {"text to integer", [](MemTable& t) { t.FieldByName("i").SetAsString("12a"); }},
        {"float out of range", [](MemTable& t) { t.FieldByName("i").SetAsFloat(1e12); }},
        {"NaN", [](MemTable& t) { t.FieldByName("i").SetAsFloat(std::nan("")); }},
        {"big variant", [](MemTable& t) { t.FieldByName("i").SetValue(QVariant(qlonglong(1) << 33)); }},
        {"text to float", [](MemTable& t) { t.FieldByName("f").SetAsString("one"); }},
        {"text to date", [](MemTable& t) { t.FieldByName("d").SetAsString("31.02.2024"); }},
        {"text to bool", [](MemTable& t) { t.FieldByName("b").SetAsString("maybe"); }},
        {"bool to date", [](MemTable& t) { t.FieldByName("d").SetAsBoolean(true); }},
        {"typed call of another type", [](MemTable& t) { t.SetIntAt(0, 2, 1); }},
        {"row out of range", [](MemTable& t) { t.SetIntAt(1, 0, 1); }},
        {"unknown field", [](MemTable& t) { t.FieldByName("zz"); }},
        {"read a bad text as number", [](MemTable& t) {
             t.FieldByName("s").SetAsString("x");
             t.FieldByName("s").AsInteger();
         }},
    };
    for (const auto& [what, op] : bad) {
        SCOPED_TRACE(what);
        auto t = mixedTable();
        addRow(*t, {1, 9.0, "old", 1.0, true});
        t->Edit();
        EXPECT_THROW(op(*t), MemTableError);
        EXPECT_EQ(t->IntAt(0, 0), 1);
        EXPECT_DOUBLE_EQ(t->FloatAt(0, 1), 9.0);
        EXPECT_DOUBLE_EQ(t->FloatAt(0, 3), 1.0);
        EXPECT_TRUE(t->BoolAt(0, 4));
    }
}

TEST(MemTableField, ReadingConvertsAndNullReadsAsZero)
{
    auto t = mixedTable();
    t->Append();  // a fresh row is all NULL
    for (int c = 0; c < t->FieldCount(); ++c) {
        SCOPED_TRACE(c);
        MemField f = t->FieldAt(c);
        EXPECT_TRUE(f.IsNull());
        EXPECT_EQ(f.AsInteger(), 0);
        EXPECT_EQ(f.AsFloat(), 0.0);
        EXPECT_EQ(f.AsString(), "");
        EXPECT_FALSE(f.AsBoolean());
        EXPECT_FALSE(f.Value().isValid());
        EXPECT_FALSE(t->ValueAt(0, c).isValid());
    }
    const QDateTime when(QDate(2024, 5, 1), QTime(13, 45, 10));
    t->FieldByName("i").SetAsInteger(3);
    t->FieldByName("f").SetAsFloat(2.5);
    t->FieldByName("s").SetAsString("17");
    t->FieldByName("d").SetAsDateTime(ToTDateTime(when));
    t->FieldByName("b").SetAsBoolean(true);
    t->Post();

    EXPECT_EQ(t->FieldByName("b").AsString(), "True");
    EXPECT_EQ(t->FieldByName("b").AsInteger(), 1);
    EXPECT_EQ(t->FieldByName("d").AsString(), "2024-05-01 13:45:10");
    EXPECT_EQ(t->FieldByName("f").AsInteger(), 2);  // halves to even
    EXPECT_EQ(t->FieldByName("f").AsString(), "2.5");
    EXPECT_EQ(t->FieldByName("s").AsInteger(), 17);
    EXPECT_EQ(t->FieldByName("i").AsString(), "3");
    EXPECT_TRUE(t->FieldByName("i").AsBoolean());
    EXPECT_EQ(t->FieldByName("i").Value(), QVariant(3));
    EXPECT_EQ(t->Cell(0, 4).Value(), QVariant(true));
    EXPECT_EQ(t->FieldByName("s").Def().size, 10);

    t->Edit();
    t->FieldByName("b").SetAsBoolean(false);
    t->Post();
    EXPECT_EQ(t->FieldByName("b").AsString(), "False");
    EXPECT_FALSE(t->IsNullAt(0, 4));
    t->Edit();
    t->FieldByName("i").Clear();
    t->Post();
    EXPECT_TRUE(t->IsNullAt(0, 0));
    EXPECT_EQ(t->IntAt(0, 0), 0);
}

// NULL marks must stay with their rows when rows are deleted across the
// 64-row words of the bitmap.
TEST(MemTableField, NullMarksFollowDeletedRows)
{
    auto t = tickTable();
    t->BeginBulk();
    for (int r = 0; r < 200; ++r) {
        t->AppendRow();
        if (r % 3 != 0)
            t->SetIntAt(r, 0, r);
    }
    t->EndBulk();
    for (int del : {150, 64, 63, 0}) {
        t->SetRecNo(del);
        t->Delete();
    }
    std::vector<int> expected;
    for (int r = 0; r < 200; ++r)
        if (r != 150 && r != 64 && r != 63 && r != 0)  // each deletion is below the ones before it
            expected.push_back(r);
    ASSERT_EQ(t->RecordCount(), int(expected.size()));
    for (int i = 0; i < t->RecordCount(); ++i) {
        const int orig = expected[size_t(i)];
        ASSERT_EQ(t->IsNullAt(i, 0), orig % 3 == 0) << "row " << i << " (was " << orig << ")";
        if (orig % 3 != 0) {
            ASSERT_EQ(t->IntAt(i, 0), orig);
        }
    }
}

// ---------------------------------------------------------------------------
// Life and signals

TEST(MemTableLife, CloseEmptiesAndOpenKeeps)
{
    auto t = tableOfInts({1, 2});
    t->Open();  // already open: rows stay
    EXPECT_EQ(t->RecordCount(), 2);
    t->Close();
    EXPECT_FALSE(t->Active());
    EXPECT_EQ(t->GetState(), State::Inactive);
    EXPECT_EQ(t->RecordCount(), 0);
    EXPECT_TRUE(t->Eof());
    t->Open();
    EXPECT_TRUE(t->IsEmpty());
    EXPECT_EQ(t->GetState(), State::Browse);

    t->Append();  // an unposted row goes with the close
    t->Close();
    t->Open();
    EXPECT_TRUE(t->IsEmpty());
}

TEST(MemTableSignals, RowSignalsAndOneResetForABulk)
{
    auto t = tickTable();
    QSignalSpy reset(t.get(), &MemTable::TableReset);
    QSignalSpy inserted(t.get(), &MemTable::RowsInserted);
    QSignalSpy removed(t.get(), &MemTable::RowsRemoved);
    QSignalSpy changed(t.get(), &MemTable::RowChanged);
    QSignalSpy current(t.get(), &MemTable::CurrentChanged);

    t->BeginBulk();
    t->BeginBulk();
    for (int i = 0; i < 100; ++i)
        t->SetIntAt(t->AppendRow(), 0, i);
    t->SortOn("id_kierowcy");
    t->SetRecNo(5);
    t->Delete();
    t->EndBulk();
    EXPECT_EQ(reset.count(), 0);  // the inner end does not notify
    t->EndBulk();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(inserted.count() + removed.count() + changed.count(), 0);
    EXPECT_EQ(current.count(), 1);
    EXPECT_THROW(t->EndBulk(), MemTableError);

    t->Append();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(0).toInt(), 99);
    t->FieldByName("id_kierowcy").SetAsInteger(500);
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(changed.last().at(0).toInt(), 99);
    t->Post();
    t->SetRecNo(10);
    t->Delete();
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0).at(0).toInt(), 10);
    t->AppendRow();  // outside a bulk it is announced too
    EXPECT_EQ(inserted.count(), 2);
    t->Close();
    EXPECT_EQ(reset.count(), 2);
}

// ---------------------------------------------------------------------------
// Model

QStringList* gWarnings = nullptr;
void collect(QtMsgType type, const QMessageLogContext&, const QString& msg)
{
    if (gWarnings && type != QtDebugMsg && type != QtInfoMsg)
        gWarnings->append(msg);
}

// The model must show exactly what the table holds.
void expectModelShowsTable(const MemTableModel& m, const MemTable& t)
{
    ASSERT_EQ(m.rowCount(), t.RecordCount());
    ASSERT_EQ(m.columnCount(), t.FieldCount());
    for (int r = 0; r < t.RecordCount(); ++r)
        for (int c = 0; c < t.FieldCount(); ++c) {
            const QVariant shown = m.data(m.index(r, c));
            const QVariant held = t.ValueAt(r, c);
            const QVariant expected =
                t.Def(c).type == FieldType::DateTime && held.isValid() ? QVariant(FromTDateTime(held.toDouble())) : held;
            ASSERT_EQ(shown, expected) << r << "," << c;
        }
}

TEST(MemTableModelTest, FollowsATableThroughEveryChange)
{
    QStringList warnings;
    gWarnings = &warnings;
    const QtMessageHandler old = qInstallMessageHandler(collect);

    auto t = mixedTable();
    MemTableModel m(t.get());
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Warning);

    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"append rows", [&] {
             for (int i = 0; i < 5; ++i)
                 addRow(*t, {i, i * 1.5, QString("r%1").arg(i), 45000.0 + i, i % 2 == 0});
         }},
        {"edit a row", [&] {
             t->SetRecNo(2);
             t->Edit();
             t->FieldByName("s").SetAsString("edited");
             t->Post();
         }},
        {"cancel an insert", [&] {
             t->Append();
             t->FieldByName("i").SetAsInteger(99);
             t->Cancel();
         }},
        {"delete first", [&] {
             t->First();
             t->Delete();
         }},
        {"delete middle", [&] {
             t->SetRecNo(1);
             t->Delete();
         }},
        {"delete last", [&] {
             t->Last();
             t->Delete();
         }},
        {"sort", [&] { t->SortOn("s"); }},
        {"bulk load", [&] {
             t->BeginBulk();
             for (int i = 0; i < 50; ++i)
                 t->SetIntAt(t->AppendRow(), 0, -i);
             t->EndBulk();
         }},
        {"typed writes", [&] {
             t->SetStringAt(3, 2, "typed");
             t->Cell(4, 3).Clear();
         }},
        {"rows outside a bulk", [&] {
             t->AppendRow();
             t->AppendRow();
         }},
        {"close", [&] { t->Close(); }},
        {"open and append", [&] {
             t->Open();
             addRow(*t, {1, 2.0, "x", 3.0, false});
         }},
    };
    for (const auto& [what, step] : steps) {
        SCOPED_TRACE(what);
        step();
        expectModelShowsTable(m, *t);
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
        warnings.clear();
    }
    qInstallMessageHandler(old);
    gWarnings = nullptr;
}

TEST(MemTableModelTest, RolesAndHeaders)
{
    auto t = mixedTable();
    const QDateTime when(QDate(2024, 5, 1), QTime(13, 45, 10));
    addRow(*t, {7, 0.1, "abc", ToTDateTime(when), true});
    addRow(*t, {});
    MemTableModel m(t.get());
    EXPECT_EQ(m.headerData(0, Qt::Horizontal).toString(), "i");
    EXPECT_EQ(m.headerData(4, Qt::Horizontal).toString(), "b");

    EXPECT_EQ(m.data(m.index(0, 0)).typeId(), QMetaType::Int);
    EXPECT_EQ(m.data(m.index(0, 1), Qt::EditRole).toDouble(), 0.1);  // the full value
    EXPECT_EQ(m.data(m.index(0, 2)).toString(), "abc");
    EXPECT_EQ(m.data(m.index(0, 3)).toDateTime(), when);
    EXPECT_EQ(m.data(m.index(0, 4)), QVariant(true));
    EXPECT_EQ(m.data(m.index(0, 4), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_EQ(m.data(m.index(1, 4), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    EXPECT_FALSE(m.data(m.index(0, 0), Qt::CheckStateRole).isValid());
    EXPECT_EQ(m.data(m.index(0, 4), MemTableModel::kTagRole).toInt(), 2);
    EXPECT_EQ(m.data(m.index(0, 0), MemTableModel::kTagRole).toInt(), 0);
    for (int c = 0; c < 4; ++c)
        EXPECT_FALSE(m.data(m.index(1, c)).isValid()) << c;

    t.reset();  // the table goes first: the model empties instead of reading freed memory
    EXPECT_EQ(m.rowCount(), 0);
    EXPECT_EQ(m.columnCount(), 0);
    EXPECT_FALSE(m.data(m.index(0, 0)).isValid());
}

}  // namespace
