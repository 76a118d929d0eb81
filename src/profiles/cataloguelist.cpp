#include "profiles/cataloguelist.h"

#include <cmath>

#include "shell/data/ibquery.h"
#include "shell/data/ubazy.h"

QString FormatHashDot0(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    QString text = QString::number(std::fabs(value), 'f', 1);
    const bool negative = value < 0 && text != QLatin1String("0.0");
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);  // "#" shows no integer digit for a zero part
    return negative ? u'-' + text : text;
}

namespace {

CatalogueList::Kind KindOf(const QMetaType& type)
{
    switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        return CatalogueList::Kind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return CatalogueList::Kind::Float;
    case QMetaType::QByteArray:
        return CatalogueList::Kind::Bytes;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
    case QMetaType::QTime:
        return CatalogueList::Kind::DateTime;
    default:
        return CatalogueList::Kind::Text;
    }
}

// The general float text of a bound label without a display format.
QString GeneralFloat(double v) { return QString::number(v, 'g', 15); }

}  // namespace

CatalogueList::CatalogueList(QString sql, QString idField, QObject* parent)
    : QObject(parent), sql_(std::move(sql)), idField_(std::move(idField))
{
}

CatalogueList::~CatalogueList() = default;

void CatalogueList::Close()
{
    emit AboutToReset();
    columns_.clear();
    rows_ = 0;
    current_ = -1;
    idColumn_ = -1;
    active_ = false;
    emit Reset();
    emit CurrentChanged(current_);
}

void CatalogueList::Reload()
{
    Close();
    if (!DM)
        throw DatabaseError("No database module");

    std::vector<ColumnData> columns;
    int rows = 0;
    {
        TIBQuery q(DM->TransBrowse);
        q.SetSQL(sql_);
        q.Open();
        const int n = q.FieldCount();
        columns.resize(size_t(n));
        for (int c = 0; c < n; ++c) {
            columns[size_t(c)].name = q.FieldName(c);
            columns[size_t(c)].kind = KindOf(q.FieldType(c));
            for (const QString& f : hashDot0Fields_)
                if (f.compare(columns[size_t(c)].name, Qt::CaseInsensitive) == 0)
                    columns[size_t(c)].hashDot0 = true;
            columns[size_t(c)].picture = shrink_ && columns[size_t(c)].kind == Kind::Bytes &&
                                         pictureField_.compare(columns[size_t(c)].name, Qt::CaseInsensitive) == 0;
        }
        for (; !q.Eof(); q.Next(), ++rows) {
            for (int c = 0; c < n; ++c) {
                ColumnData& cd = columns[size_t(c)];
                const QVariant v = q.FieldValue(c);
                cd.nulls.push_back(v.isNull() ? 1 : 0);
                switch (cd.kind) {
                case Kind::Integer: cd.ints.push_back(v.isNull() ? 0 : v.toLongLong()); break;
                case Kind::Float: cd.floats.push_back(v.isNull() ? 0.0 : v.toDouble()); break;
                case Kind::Bytes:
                    if (cd.picture) {
                        cd.pictures.push_back(v.isNull() ? QImage() : shrink_(v.toByteArray()));
                        cd.bytes.emplace_back();
                        break;
                    }
                    cd.bytes.push_back(v.isNull() ? QByteArray()
                                       : v.typeId() == QMetaType::QString ? v.toString().toUtf8()
                                                                           : v.toByteArray());
                    break;
                case Kind::DateTime: {
                    QDateTime dt;
                    if (!v.isNull())
                        dt = v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
                    cd.times.push_back(dt);
                    break;
                }
                case Kind::Text:
                    cd.texts.push_back(v.isNull() ? QString()
                                       : v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray())
                                                                              : v.toString());
                    break;
                }
            }
        }
        q.Close();
    }

    emit AboutToReset();
    columns_ = std::move(columns);
    rows_ = rows;
    active_ = true;
    idColumn_ = Column(idField_);
    current_ = rows_ > 0 ? 0 : -1;
    emit Reset();
    emit CurrentChanged(current_);
}

int CatalogueList::Column(const QString& name) const
{
    for (size_t c = 0; c < columns_.size(); ++c)
        if (columns_[c].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(c);
    return -1;
}

const QString& CatalogueList::ColumnName(int column) const
{
    static const QString none;
    return column >= 0 && column < ColumnCount() ? columns_[size_t(column)].name : none;
}

CatalogueList::Kind CatalogueList::ColumnKind(int column) const
{
    return column >= 0 && column < ColumnCount() ? columns_[size_t(column)].kind : Kind::Text;
}

const CatalogueList::ColumnData* CatalogueList::col(int row, int column) const
{
    if (row < 0 || row >= rows_ || column < 0 || column >= ColumnCount())
        return nullptr;
    const ColumnData& cd = columns_[size_t(column)];
    return cd.nulls[size_t(row)] ? nullptr : &cd;
}

bool CatalogueList::IsNull(int row, int column) const { return col(row, column) == nullptr; }

qint64 CatalogueList::IntAt(int row, int column) const
{
    const ColumnData* cd = col(row, column);
    if (!cd)
        return 0;
    switch (cd->kind) {
    case Kind::Integer: return cd->ints[size_t(row)];
    case Kind::Float: return std::llround(cd->floats[size_t(row)]);
    case Kind::Text: return cd->texts[size_t(row)].trimmed().toLongLong();
    default: return 0;
    }
}

double CatalogueList::FloatAt(int row, int column) const
{
    const ColumnData* cd = col(row, column);
    if (!cd)
        return 0.0;
    switch (cd->kind) {
    case Kind::Integer: return double(cd->ints[size_t(row)]);
    case Kind::Float: return cd->floats[size_t(row)];
    case Kind::Text: return cd->texts[size_t(row)].trimmed().toDouble();
    default: return 0.0;
    }
}

QString CatalogueList::TextAt(int row, int column) const
{
    const ColumnData* cd = col(row, column);
    if (!cd)
        return {};
    switch (cd->kind) {
    case Kind::Integer: return QString::number(cd->ints[size_t(row)]);
    case Kind::Float: return GeneralFloat(cd->floats[size_t(row)]);
    case Kind::Text: return cd->texts[size_t(row)];
    case Kind::Bytes: return QString::fromUtf8(cd->bytes[size_t(row)]);
    case Kind::DateTime: return cd->times[size_t(row)].toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    }
    return {};
}

QByteArray CatalogueList::BytesAt(int row, int column) const
{
    const ColumnData* cd = col(row, column);
    if (!cd)
        return {};
    if (cd->kind == Kind::Bytes)
        return cd->bytes[size_t(row)];
    return TextAt(row, column).toUtf8();
}

QDateTime CatalogueList::DateTimeAt(int row, int column) const
{
    const ColumnData* cd = col(row, column);
    return cd && cd->kind == Kind::DateTime ? cd->times[size_t(row)] : QDateTime();
}

QString CatalogueList::DisplayText(int row, int column) const
{
    const ColumnData* cd = col(row, column);
    if (!cd)
        return {};
    if (cd->kind == Kind::Float && cd->hashDot0)
        return FormatHashDot0(cd->floats[size_t(row)]);
    return TextAt(row, column);
}

void CatalogueList::SetHashDot0(const QString& field)
{
    hashDot0Fields_.push_back(field);
    const int c = Column(field);
    if (c >= 0)
        columns_[size_t(c)].hashDot0 = true;
}

void CatalogueList::SetCurrentRow(int row)
{
    if (row < -1 || row >= rows_ || (row == -1 && rows_ > 0))
        return;
    if (row == current_)
        return;
    current_ = row;
    emit CurrentChanged(current_);
}

int CatalogueList::IdAt(int row) const { return int(IntAt(row, idColumn_)); }

void CatalogueList::SetPictureColumn(const QString& field, PictureShrinker shrink)
{
    pictureField_ = field;
    shrink_ = std::move(shrink);
}

QImage CatalogueList::Picture(int row, const QString& field) const
{
    const ColumnData* cd = col(row, Column(field));
    if (!cd || !cd->picture)
        return {};
    return cd->pictures[size_t(row)];
}

bool CatalogueList::LocateId(int id)
{
    for (int r = 0; r < rows_; ++r) {
        if (IdAt(r) == id) {
            SetCurrentRow(r);
            return true;
        }
    }
    return false;
}

bool CatalogueList::LocatePrefix(const QString& field, const QString& text)
{
    const int c = Column(field);
    if (c < 0)
        return false;
    for (int r = 0; r < rows_; ++r) {
        if (TextAt(r, c).startsWith(text, Qt::CaseInsensitive)) {
            SetCurrentRow(r);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- model

CatalogueModel::CatalogueModel(CatalogueList* list, std::vector<CatalogueColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), list_(list), columns_(std::move(columns))
{
    connect(list_, &CatalogueList::AboutToReset, this, [this] { beginResetModel(); });
    connect(list_, &CatalogueList::Reset, this, [this] { endResetModel(); });
}

int CatalogueModel::ColumnOfTag(int tag) const
{
    for (size_t c = 0; c < columns_.size(); ++c)
        if (columns_[c].tag == tag)
            return int(c);
    return -1;
}

int CatalogueModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : list_->RowCount(); }

int CatalogueModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= list_->RowCount() || index.column() >= int(columns_.size()))
        return {};
    const CatalogueColumn& c = columns_[size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        if (c.tag == 1 || c.field.isEmpty())
            return {};
        return list_->DisplayText(index.row(), c.field);
    case Qt::TextAlignmentRole: {
        const int col = list_->Column(c.field);
        const auto kind = list_->ColumnKind(col);
        if (c.tag != 1 && (kind == CatalogueList::Kind::Integer || kind == CatalogueList::Kind::Float))
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    case kTagRole:
        return c.tag;
    case kIdRole:
        return list_->IdAt(index.row());
    default:
        return {};
    }
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(columns_.size()))
        return {};
    if (role == Qt::DisplayRole)
        return columns_[size_t(section)].title;
    if (role == kTagRole)
        return columns_[size_t(section)].tag;
    return {};
}

Qt::ItemFlags CatalogueModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
