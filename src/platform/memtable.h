#pragma once
// In-memory dataset: a table of typed fields held column by column, with a
// current row, the browse / edit / insert states of a dataset, locate, sort
// and field tags.  The shared tables of the data module and the windows'
// own tables are built on it; MemTableModel shows one in a Qt view.
//
// Values live in one typed vector per field (never a variant per cell), so
// bulk tables of millions of rows stay compact and loops over a column are
// plain array walks.
#include <QAbstractTableModel>
#include <QObject>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

#include "platform/columnview.h"
#include "platform/tdatetime.h"

enum class FieldType { Integer, Float, String, DateTime, Boolean };

struct FieldDef {
    QString name;
    FieldType type = FieldType::Integer;
    int size = 0;  // String: at most this many characters (longer values are cut)
    int tag = 0;   // read by check-list grids: 1 = toggled by a click, 2 = tick drawn when false
};

// Misuse of a table (writing in browse state, unknown field, no current row).
class MemTableError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

class MemTable;

// The rows of a table as they stood when it was held, for readers that
// must go on showing what they were given (the charts' series) whatever
// the table does afterwards: it may be emptied, refilled, changed or
// destroyed.  Nothing is copied for it in the usual course: a held table
// that is emptied (closed) or destroyed hands its arrays over to the hold
// instead of freeing them; only one changed in place while held goes on
// with a copy of its arrays, leaving the originals to the hold.
class MemTableHold {
public:
    int RowCount() const { return rows_; }
    // A numeric column as MemTable::View gave it at the hold; valid for
    // the life of the hold.  Other columns throw MemTableError.
    ColumnView View(int column) const;

private:
    friend class MemTable;
    QString table_;
    int rows_ = 0;
    std::vector<ColumnView> views_;   // one per field; rows -1 where not numeric
    std::shared_ptr<void> arrays_;    // the arrays once the table let them go
};

// One value of a row given to MemTable::AppendValues: NULL or a typed value
// (Int for Integer fields, and for Float / DateTime ones too; Float for
// Float / DateTime; Text for String; Bool for Boolean).  A Text refers to
// the caller's string, which must live through the call.
struct MemValue {
    enum class Kind : uint8_t { Null, Int, Float, Text, Bool };
    Kind kind = Kind::Null;
    union {
        int32_t i;
        double f;
        const QString* s;
        bool b;
    };
    MemValue() : f(0) {}
    static MemValue Int(int32_t v) { MemValue m; m.kind = Kind::Int; m.i = v; return m; }
    static MemValue Float(double v) { MemValue m; m.kind = Kind::Float; m.f = v; return m; }
    static MemValue Text(const QString& v) { MemValue m; m.kind = Kind::Text; m.s = &v; return m; }
    static MemValue Text(QString&&) = delete;  // would point at a temporary
    static MemValue Bool(bool v) { MemValue m; m.kind = Kind::Bool; m.b = v; return m; }
};

// The values of one field for a block of rows given to MemTable::AppendBlock:
// one value for every row (Same: NULL unless given), one per row from a
// plain array (Ints for Integer, Float and DateTime fields; Floats for
// Float and DateTime), or, for a String field, the text of an Integer
// field of the same block (TextOf: format of that field's value in the
// row).  Arrays and texts belong to the caller and must live through the
// call.
struct MemColumn {
    enum class Kind : uint8_t { Same, Ints, Floats, TextOf };
    Kind kind = Kind::Same;
    MemValue same;
    const int32_t* ints = nullptr;
    const double* floats = nullptr;
    int source = -1;
    QString (*format)(int) = nullptr;

    static MemColumn Same(MemValue v) { MemColumn c; c.same = v; return c; }
    static MemColumn Ints(const int32_t* v) { MemColumn c; c.kind = Kind::Ints; c.ints = v; return c; }
    static MemColumn Floats(const double* v) { MemColumn c; c.kind = Kind::Floats; c.floats = v; return c; }
    static MemColumn TextOf(int sourceField, QString (*format)(int))
    {
        MemColumn c;
        c.kind = Kind::TextOf;
        c.source = sourceField;
        c.format = format;
        return c;
    }
};

// A field of the current row (or of a given row), as the dataset's field
// objects offered it.  Reading a NULL value gives 0, 0.0, "" or false.
// A field made with row kCurrentRow (FieldByName, FieldAt) follows the
// table's current row, so one held across First / Next reads each row in
// turn; with no current row it reads as NULL.  Conversions follow the
// dataset's fields: texts to numbers parse the text (a bad text throws
// MemTableError), floats to Integer fields round half to even, Boolean
// texts are "True" / "False", DateTime texts "yyyy-MM-dd hh:mm:ss".
class MemField {
public:
    static constexpr int kCurrentRow = -1;
    MemField(MemTable* table, int column, int row) : t_(table), col_(column), row_(row) {}

    int32_t AsInteger() const;
    double AsFloat() const;
    QString AsString() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;
    QVariant Value() const;  // invalid QVariant for NULL; see ValueAt for the types
    bool IsNull() const;

    // Writing through a field of the current row needs the table in Edit or
    // Insert state.  A field of a given row (Cell) writes straight into that
    // row, as the Set...At calls do.
    void SetAsInteger(int32_t v);
    void SetAsFloat(double v);
    void SetAsString(const QString& v);
    void SetAsBoolean(bool v);
    void SetAsDateTime(TDateTime v);
    void SetValue(const QVariant& v);  // converted to the field's type; invalid = NULL
    void Clear();                      // NULL

    int Index() const { return col_; }
    const FieldDef& Def() const;

private:
    int readRow() const;   // the row read: -1 when there is none
    int writeRow() const;  // the row written; throws when writing is not allowed
    MemTable* t_;
    int col_;
    int row_;
};

class MemTable : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    enum LocateOption { loCaseInsensitive = 1, loPartialKey = 2 };

    MemTable(const QString& name, std::vector<FieldDef> fields, QObject* parent = nullptr);
    ~MemTable() override;

    // Structure.
    const QString& Name() const;
    int FieldCount() const;
    const FieldDef& Def(int column) const;
    int FieldIndex(const QString& name) const;  // case-insensitive; -1 when unknown
    void SetFieldTag(const QString& name, int tag);

    // Life: a closed table holds no rows; Close empties it, Open makes it usable.
    void Open();
    void Close();
    bool Active() const;
    State GetState() const;

    // Navigation.  RecNo is 0-based; -1 when the table is empty.
    int RecordCount() const;
    bool IsEmpty() const;
    int RecNo() const;
    void SetRecNo(int row);
    void First();
    void Last();
    void Next();   // at the last row sets Eof
    void Prior();  // at the first row sets Bof
    bool Eof() const;
    bool Bof() const;

    // Editing of the current row, as a dataset does it.
    void Append();  // new empty row at the end, current, state Insert
    void Edit();    // state Edit on the current row
    void Post();    // keeps the changes, state Browse
    void Cancel();  // drops the changes (an appended row disappears), state Browse
    void Delete();  // removes the current row; the next row (or the new last) becomes current

    // Fields of the current row; the name is case-insensitive.
    MemField FieldByName(const QString& name);
    MemField FieldAt(int column);
    // Fields of any row, for reading (and for writing outside the edit states
    // in bulk loaders; see AppendRow).
    MemField Cell(int row, int column);

    // Fast path for bulk loading: appends one NULL row without the state
    // machine (the current row does not move, except that the first row of
    // an empty table becomes current).  Returns the row index.  Wrap a load
    // in BeginBulk / EndBulk: inside, no signal is sent at all, and EndBulk
    // sends one reset for everything.  Outside a bulk the row is announced
    // as RowsInserted so views stay right.
    int AppendRow();
    // The same with every field's value given at once, in field order (one
    // per field; a value of the wrong type throws MemTableError and appends
    // nothing).  The way to fill a compact table: no cell passes through NULL.
    int AppendValues(std::span<const MemValue> values);
    // The same for count rows at once, one MemColumn per field in field
    // order; a column of the wrong kind throws MemTableError and appends
    // nothing.  Returns the index of the first row.  The way to load bulk
    // rows: each column is appended as a whole, and a compact table keeps
    // a column Uniform when the block gives it the one value it holds.
    // A TextOf column appended to an empty table keeps no texts at all:
    // each row reads as the text of its source value, for as long as every
    // block appended gives the field the same rule and nothing else writes
    // to the field or its source (then the texts are stored).  Its cells
    // are never NULL.
    int AppendBlock(int count, std::span<const MemColumn> columns);
    void Reserve(int rows);
    void BeginBulk();  // nests; the outermost EndBulk notifies
    // One reset notification for everything since BeginBulk; a compact table
    // also gives back the spare capacity of its arrays.
    void EndBulk();
    void NotifyReset();  // TableReset (and CurrentChanged) for views, outside a bulk

    // Typed cell access; no state needed.  Integer fields use the Int calls,
    // Float and DateTime the Float calls, String the String calls, Boolean the
    // Bool calls; another type, or a row or column out of range, throws
    // MemTableError.  Setting a value clears NULL; String values are cut to
    // the field's size.  ValueAt gives int, double (also for DateTime: the
    // TDateTime number), QString or bool.
    int32_t IntAt(int row, int column) const;
    double FloatAt(int row, int column) const;
    QString StringAt(int row, int column) const;
    bool BoolAt(int row, int column) const;
    bool IsNullAt(int row, int column) const;
    QVariant ValueAt(int row, int column) const;  // invalid QVariant for NULL
    void SetIntAt(int row, int column, int32_t v);
    void SetFloatAt(int row, int column, double v);
    void SetStringAt(int row, int column, const QString& v);
    void SetBoolAt(int row, int column, bool v);

    // Compact storage, for bulk tables such as memGPS; set while the table is
    // empty (closing keeps the choice).  Every column starts Uniform (one
    // value for all rows, no array) and takes an array only when a second
    // value arrives; Integer columns hold the narrowest of 8, 16 or 32 bits
    // that fits every value written so far, widening when needed.  Every
    // other behaviour is the same; read the columns through View.
    void SetCompact(bool compact);
    bool Compact() const;
    // Heap bytes held by the columns: array capacities, NULL bitmaps and
    // the text blocks of String fields.
    size_t MemoryBytes() const;

    // Whole columns, read-only, for loops over bulk tables (NULL cells hold 0;
    // IsNullAt tells them apart).  Valid until rows are added or removed.
    // Only for columns held as plain 32-bit integers or doubles (every column
    // of a table that is not compact); others throw MemTableError.
    std::span<const int32_t> IntColumn(int column) const;
    std::span<const double> FloatColumn(int column) const;
    // A view of an Integer, Float or DateTime column whatever its storage
    // (see ColumnView); other types throw MemTableError.
    ColumnView View(int column) const;
    // The rows as they are now, kept for the caller (see MemTableHold).
    // Holds taken while the table does not change share one.
    std::shared_ptr<const MemTableHold> Hold() const;

    // Locate: fields "a;b" with one value per field.  Exact comparison by
    // default; loCaseInsensitive compares texts without case; loPartialKey
    // lets a text value match as a prefix.  On success the row becomes
    // current and true is returned; otherwise the current row stays.
    // Lookups of Integer fields with exact comparison use a hash index that
    // is built on first use and kept until the table changes, so repeated
    // locates on bulk tables cost O(1).  Field names are case-insensitive,
    // blanks around them are allowed; an invalid QVariant matches NULL; a
    // value that cannot be converted to its field's type matches nothing.
    // Several matches give the first row in table order.  Locate posts a
    // pending edit first, as every move does.
    bool Locate(const QString& fields, const QVariantList& values, int options = 0);
    int Find(const QString& fields, const QVariantList& values, int options = 0) const;  // row or -1

    // Stable ascending sort on "a;b"; the current row is the first afterwards.
    // NULL sorts first, false before true; texts compare case-sensitively by
    // UTF-16 code units (locale-free).
    void SortOn(const QString& fields);
    // The same with options: soCaseInsensitive compares texts without case,
    // soDescending reverses the order (rows that compare equal keep their
    // order either way).
    enum SortOption { soCaseInsensitive = 1, soDescending = 2 };
    void SortOn(const QString& fields, int options);
    // The rows in an order of the caller's: row i becomes the row that
    // stood at order[i].  An order that does not name every row once
    // throws MemTableError.  The first row is current afterwards, as after
    // a sort.
    void Reorder(std::span<const int> order);

signals:
    // For views: the whole table changed (open, close, sort, bulk load).
    void TableReset();
    void RowsInserted(int first, int last);
    void RowsRemoved(int first, int last);
    void RowChanged(int row);
    void CurrentChanged(int row);

private:
    friend class MemField;
    struct Impl;
    std::unique_ptr<Impl> d;

    void rowChanged(int row);
    void currentMoved(int before);
    int appended(int row, int last);  // announces rows added at the end; the first becomes current
    void reordered(const std::vector<int>& perm);  // the rows in the order perm gives
};

// BeginBulk for the life of a scope, and EndBulk when it is left, by an
// error too.
class MemTableBulk {
public:
    explicit MemTableBulk(MemTable& table) : t_(table) { t_.BeginBulk(); }
    ~MemTableBulk() { t_.EndBulk(); }
    MemTableBulk(const MemTableBulk&) = delete;
    MemTableBulk& operator=(const MemTableBulk&) = delete;

private:
    MemTable& t_;
};

// Read-only item model over a MemTable: one column per field, headers are
// the field names, Boolean fields also answer Qt::CheckStateRole, and
// kTagRole gives the field's tag.  DisplayRole / EditRole give int, double,
// QString, QDateTime (local time) or bool; NULL gives an invalid QVariant.
// It follows the table's notifications.
class MemTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kTagRole = Qt::UserRole + 1;

    explicit MemTableModel(MemTable* table, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    MemTable* Table() const { return table_; }

private:
    // The table announces a change after making it; while the model tells
    // its views "about to", it still shows the old rows through this shift.
    struct Pending {
        int first = 0;
        int count = 0;  // > 0 rows inserted at first, < 0 rows removed from first
    };
    int tableRow(int modelRow) const;  // -1: not in the table (any more)
    void onReset();
    void onRowsInserted(int first, int last);
    void onRowsRemoved(int first, int last);
    void onRowChanged(int row);

    MemTable* table_;
    int rows_ = 0;  // the row count the views know
    Pending pending_;
};
