#include "shell/data/ibquery.h"

#include <cmath>

#include "shell/data/fbbulk.h"

// ---------------------------------------------------------------- TTransaction

TTransaction::TTransaction(QString connectionName, Mode mode) : connection_(std::move(connectionName)), mode_(mode)
{
}

TTransaction::~TTransaction() = default;

TTransaction::Lease::Lease() = default;
TTransaction::Lease::~Lease() = default;

QSqlDatabase TTransaction::Database() const
{
    return QSqlDatabase::database(connection_, false);
}

FbTransaction& TTransaction::Transaction()
{
    if (!tr_)
        tr_ = std::make_unique<FbTransaction>(Database());
    return *tr_;
}

FbTransaction& TTransaction::Begin(Lease& lease)
{
    if (!Database().isOpen())
        throw DatabaseError("Database is not open");
    lease.epoch = epoch_;
    if (mode_ == Mode::ReadOnly) {
        FbTransaction& shared = Transaction();
        if (!shared.Active())
            shared.StartRead();
        ++users_;
        lease.counted = true;
        lease.tr = &shared;
    } else if (active_) {
        lease.tr = tr_.get();
    } else {
        auto own = std::make_unique<FbTransaction>(Database());
        own->StartWrite(kWriteLockTimeoutSeconds);
        lease.own = std::move(own);
        lease.tr = lease.own.get();
    }
    return *lease.tr;
}

void TTransaction::End(Lease& lease, bool commit)
{
    std::unique_ptr<FbTransaction> own = std::move(lease.own);
    const bool counted = lease.counted && lease.epoch == epoch_;
    lease.tr = nullptr;
    lease.counted = false;
    if (own) {
        if (commit)
            own->Commit();  // rolls back and throws when the commit fails
        else
            own->Rollback();
        return;
    }
    if (!counted || users_ == 0)
        return;
    if (--users_ == 0 && !active_ && tr_ && tr_->Active()) {
        try {
            tr_->Commit();
        } catch (const DatabaseError&) {
            // Commit ended it anyway (rolled back); nothing was written.
        }
    }
}

void TTransaction::StartTransaction()
{
    if (active_)
        throw DatabaseError("Transaction is already active");
    if (!Database().isOpen())
        throw DatabaseError("Database is not open");
    FbTransaction& tr = Transaction();
    if (mode_ == Mode::ReadOnly) {
        if (!tr.Active())  // queries may share it already
            tr.StartRead();
    } else {
        tr.StartWrite(kWriteLockTimeoutSeconds);
    }
    active_ = true;
}

void TTransaction::Commit()
{
    if (!active_)
        throw DatabaseError("Transaction is not active");
    active_ = false;
    // The read transaction stays while queries still read in it.
    if (tr_ && tr_->Active() && (mode_ == Mode::ReadWrite || users_ == 0))
        tr_->Commit();
}

void TTransaction::Rollback()
{
    if (tr_)
        tr_->Rollback();  // in read-only mode also the one queries share
    active_ = false;
}

void TTransaction::Reset()
{
    tr_.reset();
    users_ = 0;
    ++epoch_;
    active_ = false;
}

// ----------------------------------------------------------------- TQueryField

bool TQueryField::IsNull() const { return q_->FieldValue(index_).isNull(); }

int TQueryField::AsInteger() const
{
    const QVariant v = q_->FieldValue(index_);
    if (v.isNull())
        return 0;
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return static_cast<int>(std::lround(v.toDouble()));
    bool ok = false;
    const int r = v.toInt(&ok);
    if (!ok)
        throw DatabaseError(QStringLiteral("'%1' is not a valid integer value")
                                .arg(v.toString())
                                .toStdString());
    return r;
}

qint64 TQueryField::AsInt64() const
{
    const QVariant v = q_->FieldValue(index_);
    return v.isNull() ? 0 : v.toLongLong();
}

double TQueryField::AsFloat() const
{
    const QVariant v = q_->FieldValue(index_);
    return v.isNull() ? 0.0 : v.toDouble();
}

QString TQueryField::AsString() const
{
    const QVariant v = q_->FieldValue(index_);
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(v.toByteArray());
    return v.toString();
}

QByteArray TQueryField::AsBytes() const
{
    const QVariant v = q_->FieldValue(index_);
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QString)
        return v.toString().toUtf8();
    return v.toByteArray();
}

QDateTime TQueryField::AsDateTime() const
{
    const QVariant v = q_->FieldValue(index_);
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    return v.toDateTime();
}

TDateTime TQueryField::AsTDateTime() const
{
    const QDateTime dt = AsDateTime();
    return dt.isValid() ? ToTDateTime(dt) : 0.0;
}

QVariant TQueryField::Value() const { return q_->FieldValue(index_); }

// -------------------------------------------------------------------- TIBQuery

TIBQuery::TIBQuery(TTransaction& transaction) : trans_(&transaction) {}

TIBQuery::~TIBQuery() { Close(); }

void TIBQuery::SetSQL(const QString& text)
{
    Close();
    sql_ = text;
    DropStatement();

    PositionalSql p = ToPositionalSql(text);
    paramNames_ = std::move(p.names);
    params_.assign(paramNames_.size(), QVariant());
}

void TIBQuery::SetSQL(const QStringList& lines) { SetSQL(lines.join(u'\n')); }

void TIBQuery::AddSQL(const QString& line)
{
    SetSQL(sql_.isEmpty() ? line : sql_ + u'\n' + line);
}

int TIBQuery::ParamIndex(const QString& name) const
{
    QString key = name.toUpper();
    if (key.startsWith(u':'))
        key.remove(0, 1);
    return static_cast<int>(paramNames_.indexOf(key));
}

void TIBQuery::ParamByName(const QString& name, const QVariant& value)
{
    const int idx = ParamIndex(name);
    if (idx < 0)
        throw DatabaseError(QStringLiteral("Parameter '%1' not found").arg(name).toStdString());
    params_[static_cast<size_t>(idx)] = value;
}

void TIBQuery::SetParam(int index, const QVariant& value)
{
    params_.at(static_cast<size_t>(index)) = value;
}

void TIBQuery::ClearParams() { params_.assign(paramNames_.size(), QVariant()); }

namespace {

QMetaType MetaTypeOf(FbStatement::ColumnType type)
{
    using T = FbStatement::ColumnType;
    switch (type) {
    case T::Int32: return QMetaType::fromType<int>();
    case T::Int64: return QMetaType::fromType<qlonglong>();
    case T::Scaled:
    case T::Floating: return QMetaType::fromType<double>();
    case T::Text: return QMetaType::fromType<QString>();
    case T::Timestamp: return QMetaType::fromType<QDateTime>();
    case T::Date: return QMetaType::fromType<QDate>();
    case T::Time: return QMetaType::fromType<QTime>();
    case T::Blob: return QMetaType::fromType<QByteArray>();
    case T::Boolean: return QMetaType::fromType<bool>();
    case T::Other: break;
    }
    return QMetaType::fromType<QString>();
}

// A column of the current row as the Qt driver gives it: NULL as a null
// value of the column's type, blobs read whole.
QVariant ReadValue(const FbStatement& st, int column, const QMetaType& type)
{
    if (st.IsNull(column))
        return QVariant(type);
    using T = FbStatement::ColumnType;
    switch (st.Type(column)) {
    case T::Int32: return st.Int(column);
    case T::Int64: return qlonglong(st.Int64(column));
    case T::Scaled:
    case T::Floating: return st.Double(column);
    case T::Text: return st.Text(column);
    case T::Timestamp: return FromTDateTime(st.Timestamp(column));
    case T::Date: return FromTDateTime(st.Timestamp(column)).date();
    case T::Blob: return st.Blob(column);
    case T::Boolean: return st.Int(column) != 0;
    case T::Time:
    case T::Other: break;
    }
    return QVariant(type);
}

void BindValue(FbStatement& st, int param, const QVariant& v)
{
    if (v.isNull()) {
        st.SetNull(param);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool: st.SetInt(param, v.toInt()); break;
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: st.SetInt64(param, v.toLongLong()); break;
    case QMetaType::Double:
    case QMetaType::Float: st.SetDouble(param, v.toDouble()); break;
    case QMetaType::QDateTime: st.SetTimestamp(param, ToTDateTime(v.toDateTime())); break;
    case QMetaType::QDate: st.SetTimestamp(param, ToTDateTime(QDateTime(v.toDate(), QTime(0, 0)))); break;
    case QMetaType::QByteArray: st.SetBlob(param, v.toByteArray()); break;
    default: st.SetText(param, v.toString()); break;
    }
}

}  // namespace

void TIBQuery::BindParams(FbStatement& st) const
{
    for (int i = 0; i < paramNames_.size(); ++i) {
        const int index = st.ParamIndex(paramNames_[i]);
        if (index >= 0)
            BindValue(st, index, params_[size_t(i)]);
    }
}

FbStatement& TIBQuery::Start()
{
    FbTransaction& tr = trans_->Begin(lease_);
    try {
        if (!st_ || preparedOn_ != &tr || preparedGeneration_ != tr.Generation() || preparedEpoch_ != lease_.epoch) {
            DropStatement();
            st_ = std::make_unique<FbStatement>(tr, sql_);
            preparedOn_ = &tr;
            preparedGeneration_ = tr.Generation();
            preparedEpoch_ = lease_.epoch;
        }
        BindParams(*st_);
    } catch (...) {
        Finish(false);
        throw;
    }
    return *st_;
}

void TIBQuery::Finish(bool commit)
{
    if (!lease_.tr)
        return;
    const FbTransaction* tr = lease_.tr;
    const bool own = lease_.own != nullptr;
    const quint64 epoch = lease_.epoch;
    if (own)
        DropStatement();  // its transaction ends here, and the object with it
    trans_->End(lease_, commit);
    // A statement held prepared past its transaction could stand in the way
    // of a later change of the tables.
    if (!own && (epoch != trans_->Epoch() || !tr->Active()))
        DropStatement();
}

void TIBQuery::DropStatement()
{
    st_.reset();
    preparedOn_ = nullptr;
}

void TIBQuery::Fetch()
{
    try {
        eof_ = !st_->Fetch();
        if (eof_) {
            // Every row is read: the transaction need not wait for Close.
            Finish(true);
            return;
        }
        for (int c = 0; c < int(row_.size()); ++c)
            row_[size_t(c)] = ReadValue(*st_, c, types_[size_t(c)]);
    } catch (...) {
        eof_ = true;
        Finish(false);
        throw;
    }
}

void TIBQuery::Open()
{
    Close();
    FbStatement& st = Start();
    try {
        st.Open();
    } catch (...) {
        Finish(false);
        throw;
    }
    active_ = true;
    fieldNames_.clear();
    types_.clear();
    for (int c = 0; c < st.ColumnCount(); ++c) {
        fieldNames_.append(st.ColumnName(c));
        types_.push_back(MetaTypeOf(st.Type(c)));
    }
    row_.assign(types_.size(), QVariant());
    try {
        Fetch();
    } catch (...) {
        active_ = false;
        throw;
    }
    hadRow_ = !eof_;
}

void TIBQuery::ExecSQL()
{
    Close();
    FbStatement& st = Start();  // a read-only transaction refuses a statement that writes
    try {
        st.Execute();
        st.Close();  // a select run for nothing
        rowsAffected_ = st.RowsAffected();
    } catch (...) {
        Finish(false);
        throw;
    }
    Finish(true);  // a statement's own transaction commits here
}

void TIBQuery::Close()
{
    if (st_)
        st_->Close();
    try {
        Finish(true);  // only read: a failed commit has nothing to lose
    } catch (const DatabaseError&) {
    }
    active_ = false;
    eof_ = true;
    hadRow_ = false;
}

void TIBQuery::Next()
{
    if (!active_ || eof_)
        return;
    Fetch();
}

int TIBQuery::FieldCount() const
{
    return active_ ? static_cast<int>(fieldNames_.size()) : 0;
}

QString TIBQuery::FieldName(int index) const
{
    return active_ ? fieldNames_.value(index) : QString();
}

QVariant TIBQuery::FieldValue(int index) const
{
    if (!active_)
        throw DatabaseError("Query is not open");
    if (eof_)
        return {};
    return index >= 0 && index < int(row_.size()) ? row_[size_t(index)] : QVariant();
}

QMetaType TIBQuery::FieldType(int index) const
{
    return active_ && index >= 0 && index < int(types_.size()) ? types_[size_t(index)] : QMetaType();
}

TQueryField TIBQuery::FieldByName(const QString& name) const
{
    if (!active_)
        throw DatabaseError(QStringLiteral("Query is not open (field '%1')").arg(name).toStdString());
    for (int i = 0; i < fieldNames_.size(); ++i)
        if (fieldNames_[i].compare(name, Qt::CaseInsensitive) == 0)
            return TQueryField(this, i);
    throw DatabaseError(QStringLiteral("Field '%1' not found").arg(name).toStdString());
}

int TIBQuery::RowsAffected() const { return rowsAffected_; }
