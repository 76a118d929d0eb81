#include "shell/data/ibquery.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

#include <cmath>

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

TTransaction::TTransaction(QString connectionName) : connection_(std::move(connectionName)) {}

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
    if (!db.transaction())
        throw DatabaseError(ErrorText(db.lastError()).toStdString());
    active_ = true;
    ++generation_;
}

void TTransaction::Commit()
{
    if (!active_)
        throw DatabaseError("Transaction is not active");
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
    if (!active_)
        return;
    Database().rollback();
    active_ = false;
}

void TTransaction::Reset()
{
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

TIBQuery::~TIBQuery() = default;

void TIBQuery::SetSQL(const QString& text)
{
    Close();
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

void TIBQuery::Open()
{
    Close();
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
    if (!active_ || !q_)
        throw DatabaseError("Query is not open");
    if (eof_)
        return {};
    return q_->value(index);
}

QMetaType TIBQuery::FieldType(int index) const
{
    return active_ && q_ ? q_->record().field(index).metaType() : QMetaType();
}

TQueryField TIBQuery::FieldByName(const QString& name) const
{
    if (!active_ || !q_)
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
