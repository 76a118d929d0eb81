#include "shell/data/ibquery.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

#include <cmath>

#include "shell/data/fbbulk.h"

namespace {

QString ErrorText(const QSqlError& e)
{
    QString text = e.databaseText().trimmed();
    if (text.isEmpty())
        text = e.text().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Database error");
    return text;
}

bool IsIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

}  // namespace

PositionalSql ToPositionalSql(const QString& text)
{
    PositionalSql out;
    // Every ":NAME" outside quotes and comments becomes "?".
    out.text.reserve(text.size());
    const int n = static_cast<int>(text.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"') {
            const int start = i;
            ++i;
            while (i < n) {
                if (text[i] == c) {
                    if (i + 1 < n && text[i + 1] == c) {  // doubled quote inside a literal
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            out.text += QStringView(text).mid(start, i - start + 1);
            continue;
        }
        if (c == u'-' && i + 1 < n && text[i + 1] == u'-') {
            const int start = i;
            while (i < n && text[i] != u'\n')
                ++i;
            out.text += QStringView(text).mid(start, i - start);
            if (i < n)
                out.text += text[i];
            continue;
        }
        if (c == u':' && i + 1 < n && IsIdentChar(text[i + 1]) && !text[i + 1].isDigit() &&
            (i == 0 || !IsIdentChar(text[i - 1]))) {
            int j = i + 1;
            while (j < n && IsIdentChar(text[j]))
                ++j;
            const QString name = text.mid(i + 1, j - i - 1).toUpper();
            int idx = static_cast<int>(out.names.indexOf(name));
            if (idx < 0) {
                idx = static_cast<int>(out.names.size());
                out.names.append(name);
            }
            out.occurrences.push_back(idx);
            out.text += u'?';
            i = j - 1;
            continue;
        }
        out.text += c;
    }
    return out;
}

// ---------------------------------------------------------------- TTransaction

TTransaction::TTransaction(QString connectionName, Mode mode) : connection_(std::move(connectionName)), mode_(mode)
{
}

TTransaction::~TTransaction() = default;

FbTransaction& TTransaction::BeginRead(quint64& epoch)
{
    if (!read_)
        read_ = std::make_unique<FbTransaction>(*this);
    if (!read_->Active())
        read_->StartRead();
    ++readUsers_;
    epoch = readEpoch_;
    return *read_;
}

void TTransaction::EndRead(quint64 epoch)
{
    if (epoch != readEpoch_ || readUsers_ == 0)
        return;
    if (--readUsers_ == 0 && !active_ && read_ && read_->Active()) {
        try {
            read_->Commit();
        } catch (const DatabaseError&) {
            // Commit ended it anyway (rolled back); nothing was written.
        }
    }
}

QSqlDatabase TTransaction::Database() const
{
    return QSqlDatabase::database(connection_, false);
}

void TTransaction::StartTransaction()
{
    if (active_)
        throw DatabaseError("Transaction is already active");
    QSqlDatabase db = Database();
    if (!db.isOpen())
        throw DatabaseError("Database is not open");
    if (mode_ == Mode::ReadOnly) {
        quint64 epoch = 0;
        BeginRead(epoch);
        --readUsers_;  // held by active_ rather than by a user
        active_ = true;
        ++generation_;
        return;
    }
    if (!db.transaction())
        throw DatabaseError(ErrorText(db.lastError()).toStdString());
    active_ = true;
    ++generation_;
}

void TTransaction::Commit()
{
    if (!active_)
        throw DatabaseError("Transaction is not active");
    if (mode_ == Mode::ReadOnly) {
        active_ = false;
        if (read_ && readUsers_ == 0)
            read_->Commit();
        return;
    }
    QSqlDatabase db = Database();
    if (!db.commit()) {
        const QString text = ErrorText(db.lastError());
        // A failed commit leaves the server-side transaction to be rolled back.
        db.rollback();
        active_ = false;
        throw DatabaseError(text.toStdString());
    }
    active_ = false;
}

void TTransaction::Rollback()
{
    if (read_)
        read_->Rollback();  // also the read transaction started for queries
    if (!active_)
        return;
    if (mode_ == Mode::ReadWrite)
        Database().rollback();
    active_ = false;
}

void TTransaction::Reset()
{
    read_.reset();
    readUsers_ = 0;
    ++readEpoch_;
    active_ = false;
    ++generation_;
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

TIBQuery::~TIBQuery() { CloseRead(); }

void TIBQuery::SetSQL(const QString& text)
{
    Close();
    kept_.reset();
    sql_ = text;
    q_.reset();
    preparedSql_.clear();

    PositionalSql p = ToPositionalSql(text);
    positionalSql_ = std::move(p.text);
    paramNames_ = std::move(p.names);
    occurrences_ = std::move(p.occurrences);
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

void TIBQuery::PrepareIfNeeded()
{
    const bool inTransaction = trans_->Active();
    const bool stale = !q_ || preparedSql_ != positionalSql_ ||
                       preparedInTransaction_ != inTransaction ||
                       (inTransaction && preparedGeneration_ != trans_->Generation()) ||
                       !inTransaction;  // outside a transaction every run starts afresh
    if (!stale)
        return;
    QSqlDatabase db = trans_->Database();
    if (!db.isOpen())
        throw DatabaseError("Database is not open");
    q_ = std::make_unique<QSqlQuery>(db);
    q_->setForwardOnly(true);
    if (!q_->prepare(positionalSql_)) {
        const QString text = ErrorText(q_->lastError());
        q_.reset();
        throw DatabaseError(text.toStdString());
    }
    preparedSql_ = positionalSql_;
    preparedInTransaction_ = inTransaction;
    preparedGeneration_ = trans_->Generation();
}

void TIBQuery::BindParams()
{
    for (size_t pos = 0; pos < occurrences_.size(); ++pos)
        q_->bindValue(static_cast<int>(pos), params_[static_cast<size_t>(occurrences_[pos])]);
}

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

std::unique_ptr<FbStatement> TIBQuery::PrepareRead()
{
    if (!trans_->Database().isOpen())
        throw DatabaseError("Database is not open");
    quint64 epoch = 0;
    FbTransaction& transaction = trans_->BeginRead(epoch);
    try {
        std::unique_ptr<FbStatement> st;
        if (kept_ && keptOn_ == &transaction && keptGeneration_ == transaction.Generation() && keptEpoch_ == epoch)
            st = std::move(kept_);
        else
            st = std::make_unique<FbStatement>(transaction, sql_);
        kept_.reset();
        for (int i = 0; i < paramNames_.size(); ++i) {
            const int index = st->ParamIndex(paramNames_[i]);
            if (index >= 0)
                BindValue(*st, index, params_[size_t(i)]);
        }
        readEpoch_ = epoch;
        return st;
    } catch (...) {
        trans_->EndRead(epoch);
        throw;
    }
}

void TIBQuery::CloseRead()
{
    if (!read_)
        return;
    read_->Close();
    const FbTransaction& transaction = read_->Transaction();
    trans_->EndRead(readEpoch_);
    // Kept only while its transaction goes on: a statement held prepared
    // past it could stand in the way of a later change of the tables.
    if (readEpoch_ == trans_->ReadEpoch() && transaction.Active()) {
        kept_ = std::move(read_);
        keptOn_ = &transaction;
        keptGeneration_ = transaction.Generation();
        keptEpoch_ = readEpoch_;
    }
    read_.reset();
}

void TIBQuery::FetchRead()
{
    eof_ = !read_->Fetch();
    if (eof_) {
        // Every row is read: the transaction need not wait for Close.
        CloseRead();
        return;
    }
    for (int c = 0; c < int(row_.size()); ++c)
        row_[size_t(c)] = ReadValue(*read_, c, types_[size_t(c)]);
}

void TIBQuery::Open()
{
    Close();
    if (trans_->GetMode() == TTransaction::Mode::ReadOnly) {
        read_ = PrepareRead();
        try {
            read_->Open();
        } catch (...) {
            CloseRead();
            throw;
        }
        active_ = true;
        readRoad_ = true;
        fieldNames_.clear();
        types_.clear();
        for (int c = 0; c < read_->ColumnCount(); ++c) {
            fieldNames_.append(read_->ColumnName(c));
            types_.push_back(MetaTypeOf(read_->Type(c)));
        }
        row_.assign(types_.size(), QVariant());
        FetchRead();
        hadRow_ = !eof_;
        return;
    }
    PrepareIfNeeded();
    BindParams();
    if (!q_->exec()) {
        const QString text = ErrorText(q_->lastError());
        q_.reset();
        throw DatabaseError(text.toStdString());
    }
    active_ = true;
    fieldNames_.clear();
    const QSqlRecord rec = q_->record();
    for (int i = 0; i < rec.count(); ++i)
        fieldNames_.append(rec.fieldName(i));
    hadRow_ = q_->next();
    eof_ = !hadRow_;
}

void TIBQuery::ExecSQL()
{
    Close();
    if (trans_->GetMode() == TTransaction::Mode::ReadOnly) {
        // In the read-only transaction: a statement that writes is refused.
        read_ = PrepareRead();
        try {
            read_->Execute();
        } catch (...) {
            CloseRead();
            throw;
        }
        CloseRead();
        rowsAffected_ = 0;
        return;
    }
    PrepareIfNeeded();
    BindParams();
    if (!q_->exec()) {
        const QString text = ErrorText(q_->lastError());
        q_.reset();
        throw DatabaseError(text.toStdString());
    }
    // A statement run outside an explicit transaction has committed already;
    // keep nothing of it around.
    if (!trans_->Active()) {
        rowsAffected_ = q_->numRowsAffected();
        q_.reset();
    }
}

void TIBQuery::Close()
{
    CloseRead();
    readRoad_ = false;
    if (active_ && q_) {
        q_->finish();
        if (!preparedInTransaction_)
            q_.reset();
    }
    active_ = false;
    eof_ = true;
    hadRow_ = false;
}

void TIBQuery::Next()
{
    if (!active_ || eof_)
        return;
    if (readRoad_) {
        FetchRead();
        return;
    }
    eof_ = !q_->next();
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
    if (!active_ || (!q_ && !readRoad_))
        throw DatabaseError("Query is not open");
    if (eof_)
        return {};
    if (readRoad_)
        return index >= 0 && index < int(row_.size()) ? row_[size_t(index)] : QVariant();
    return q_->value(index);
}

QMetaType TIBQuery::FieldType(int index) const
{
    if (active_ && readRoad_)
        return index >= 0 && index < int(types_.size()) ? types_[size_t(index)] : QMetaType();
    return active_ && q_ ? q_->record().field(index).metaType() : QMetaType();
}

TQueryField TIBQuery::FieldByName(const QString& name) const
{
    if (!active_ || (!q_ && !readRoad_))
        throw DatabaseError(QStringLiteral("Query is not open (field '%1')").arg(name).toStdString());
    for (int i = 0; i < fieldNames_.size(); ++i)
        if (fieldNames_[i].compare(name, Qt::CaseInsensitive) == 0)
            return TQueryField(this, i);
    throw DatabaseError(QStringLiteral("Field '%1' not found").arg(name).toStdString());
}

int TIBQuery::RowsAffected() const
{
    if (q_)
        return q_->numRowsAffected();
    return rowsAffected_;
}
