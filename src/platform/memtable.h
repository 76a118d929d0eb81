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

// A field of the current row (or of a given row), as the dataset's field
// objects offered it.  Reading a NULL value gives 0, 0.0, "" or false.
class MemField {
public:
    MemField(MemTable* table, int column, int row) : t_(table), col_(column), row_(row) {}

    int32_t AsInteger() const;
    double AsFloat() const;
    QString AsString() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;
    QVariant Value() const;  // invalid QVariant for NULL
    bool IsNull() const;

    // Writing needs the table in Edit or Insert state (current row only).
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
    // machine and without per-row notification (call NotifyReset when done,
    // or wrap the load in BeginBulk / EndBulk).  Returns the row index.
    int AppendRow();
    void Reserve(int rows);
    void BeginBulk();
    void EndBulk();  // one reset notification for everything since BeginBulk

    // Typed cell access; no state needed.  Integer fields use the Int calls,
    // Float and DateTime the Float calls, String the String calls, Boolean the Bool calls.
    int32_t IntAt(int row, int column) const;
    double FloatAt(int row, int column) const;
    const QString& StringAt(int row, int column) const;
    bool BoolAt(int row, int column) const;
    bool IsNullAt(int row, int column) const;
    QVariant ValueAt(int row, int column) const;  // invalid QVariant for NULL
    void SetIntAt(int row, int column, int32_t v);
    void SetFloatAt(int row, int column, double v);
    void SetStringAt(int row, int column, const QString& v);
    void SetBoolAt(int row, int column, bool v);

    // Whole columns, read-only, for loops over bulk tables.
    std::span<const int32_t> IntColumn(int column) const;
    std::span<const double> FloatColumn(int column) const;

    // Locate: fields "a;b" with one value per field.  Exact comparison by
    // default; loCaseInsensitive compares texts without case; loPartialKey
    // lets a text value match as a prefix.  On success the row becomes
    // current and true is returned; otherwise the current row stays.
    // Lookups of Integer fields with exact comparison use a hash index that
    // is built on first use and kept until the table changes, so repeated
    // locates on bulk tables cost O(1).
    bool Locate(const QString& fields, const QVariantList& values, int options = 0);
    int Find(const QString& fields, const QVariantList& values, int options = 0) const;  // row or -1

    // Stable ascending sort on "a;b"; the current row is the first afterwards.
    void SortOn(const QString& fields);

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
};

// Read-only item model over a MemTable: one column per field, headers are
// the field names, Boolean fields also answer Qt::CheckStateRole.  It follows
// the table's notifications.
class MemTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MemTableModel(MemTable* table, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    MemTable* Table() const { return table_; }

private:
    MemTable* table_;
};
