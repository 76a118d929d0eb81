#pragma once
// The rows of a catalogue's list query (drivers, tracks, vehicle profiles)
// loaded for random access, with a current row, and an item model over them
// for the card and table views of the choosers and list windows.
//
// A forward-only query cannot be browsed back and forth, so Reload runs the
// list statement on the read transaction and copies every row into typed
// columns (one vector per column of its own type, photos as byte arrays).
// The current row plays the part of the dataset cursor the windows share
// between their views: OK takes its id, the search moves it, edit and delete
// act on it.
#include <QAbstractTableModel>
#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

class TTransaction;

// "#.0" as a field's display format shows it: one decimal, no integer digit
// for values below one (0.5 -> ".5", 0 -> ".0", 72.46 -> "72.5").
QString FormatHashDot0(double value);

class CatalogueList : public QObject {
    Q_OBJECT
public:
    enum class Kind { Integer, Float, Text, Bytes, DateTime };

    // sql: the list statement; idField: the key column (ID_KIEROWCY, ...).
    CatalogueList(QString sql, QString idField, QObject* parent = nullptr);
    ~CatalogueList() override;

    const QString& SQL() const { return sql_; }
    const QString& IdField() const { return idField_; }

    // Closes and opens the list: runs the statement on the read transaction
    // of the global data module and loads every row; the first row becomes
    // current (-1 on an empty list).  A database error (DatabaseError) leaves
    // the list empty and reaches the caller.
    void Reload();
    // Closes the list: no rows, no columns.
    void Close();
    bool Active() const { return active_; }

    // Columns of the loaded result, by name (case-insensitive; -1 unknown).
    int ColumnCount() const { return int(columns_.size()); }
    int Column(const QString& name) const;
    const QString& ColumnName(int column) const;
    Kind ColumnKind(int column) const;

    int RowCount() const { return rows_; }
    bool IsEmpty() const { return rows_ == 0; }

    // Typed reads; a NULL cell reads 0, 0.0, "", an empty array, an invalid
    // date-time.  Reads convert between the kinds where that makes sense
    // (a number as text, a text blob as text).  An unknown column or a row
    // out of range reads as NULL.
    bool IsNull(int row, int column) const;
    qint64 IntAt(int row, int column) const;
    double FloatAt(int row, int column) const;
    QString TextAt(int row, int column) const;
    QByteArray BytesAt(int row, int column) const;
    QDateTime DateTimeAt(int row, int column) const;
    // The same by column name.
    qint64 Int(int row, const QString& field) const { return IntAt(row, Column(field)); }
    double Float(int row, const QString& field) const { return FloatAt(row, Column(field)); }
    QString Text(int row, const QString& field) const { return TextAt(row, Column(field)); }
    QByteArray Bytes(int row, const QString& field) const { return BytesAt(row, Column(field)); }

    // The text a bound label shows: integers in decimal, floats with the
    // column's display format (SetHashDot0) or in their shortest form, texts
    // as stored, NULL as "".
    QString DisplayText(int row, int column) const;
    QString DisplayText(int row, const QString& field) const { return DisplayText(row, Column(field)); }
    // Gives a float column the display format "#.0" (kept across reloads).
    void SetHashDot0(const QString& field);

    // A blob column of pictures of which the list keeps only what shrink
    // makes of each row's bytes (the picture at the size it is shown), so
    // that no row's full photo stays in memory: each row's bytes are handed
    // over as the rows are read and then dropped.  Kept across reloads.
    using PictureShrinker = std::function<QImage(const QByteArray& bytes)>;
    void SetPictureColumn(const QString& field, PictureShrinker shrink);
    // The kept picture of a row (a null image for NULL, for bytes shrink
    // could not read, and for other columns); BytesAt reads such a column
    // as empty.
    QImage Picture(int row, const QString& field) const;

    // The current row (-1 when the list is empty or closed).
    int CurrentRow() const { return current_; }
    // Moves the current row; a row out of range is ignored.
    void SetCurrentRow(int row);
    void First() { SetCurrentRow(rows_ > 0 ? 0 : -1); }
    // The key of a row, or of the current row; 0 when there is none.
    int IdAt(int row) const;
    int CurrentId() const { return IdAt(current_); }

    // The row whose key is id becomes current; false (current row kept)
    // when no row has it.
    bool LocateId(int id);

    // The first row, from the top, whose text in field starts with text
    // compared without case; it becomes current and true is returned.
    // Without a match the current row stays and false is returned.
    bool LocatePrefix(const QString& field, const QString& text);

signals:
    // Around a reload or close, for models.
    void AboutToReset();
    void Reset();
    void CurrentChanged(int row);

private:
    struct ColumnData {
        QString name;
        Kind kind = Kind::Text;
        bool hashDot0 = false;
        std::vector<char> nulls;
        std::vector<qint64> ints;
        std::vector<double> floats;
        std::vector<QString> texts;
        std::vector<QByteArray> bytes;
        std::vector<QDateTime> times;
        bool picture = false;  // the picture column: images instead of bytes
        std::vector<QImage> pictures;
    };
    const ColumnData* col(int row, int column) const;

    QString sql_;
    QString idField_;
    std::vector<ColumnData> columns_;
    std::vector<QString> hashDot0Fields_;
    QString pictureField_;
    PictureShrinker shrink_;
    int rows_ = 0;
    int current_ = -1;
    int idColumn_ = -1;
    bool active_ = false;
};

// One column a table view shows: title, field and tag (1 = the selection
// column drawn from the shared tick table, 2 = the home page column).
struct CatalogueColumn {
    QString title;
    QString field;
    int tag = 0;
};

// Read-only table model over a CatalogueList with the given columns.
// DisplayRole gives the label text of the field (nothing for the selection
// column); kTagRole the column's tag; kIdRole the row's key.
class CatalogueModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kTagRole = Qt::UserRole + 1;
    static constexpr int kIdRole = Qt::UserRole + 2;

    CatalogueModel(CatalogueList* list, std::vector<CatalogueColumn> columns, QObject* parent = nullptr);

    CatalogueList* List() const { return list_; }
    const std::vector<CatalogueColumn>& Columns() const { return columns_; }
    int ColumnOfTag(int tag) const;  // -1 when no column has it

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    CatalogueList* list_;
    std::vector<CatalogueColumn> columns_;
};
