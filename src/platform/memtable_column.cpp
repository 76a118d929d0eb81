#include "platform/memtable_column.h"

#include <QDateTime>
#include <QStringList>

#include <limits>

namespace memtable_internal {

// ---------------------------------------------------------------------------
// Conversions shared by the fields, locate and the model.

[[noreturn]] void fail(const QString& text) { throw MemTableError(text.toStdString()); }

const char* typeName(FieldType t)
{
    switch (t) {
    case FieldType::Integer: return "Integer";
    case FieldType::Float: return "Float";
    case FieldType::String: return "String";
    case FieldType::DateTime: return "DateTime";
    case FieldType::Boolean: return "Boolean";
    }
    return "?";
}

// Nearest integer, halves to the even neighbour; false when out of range.
bool roundHalfEven(double v, int32_t& out)
{
    if (!std::isfinite(v))
        return false;
    const double fl = std::floor(v);
    const double diff = v - fl;
    double r = fl;
    if (diff > 0.5)
        r = fl + 1;
    else if (diff == 0.5)
        r = std::fmod(fl, 2.0) == 0 ? fl : fl + 1;
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
        return false;
    out = static_cast<int32_t>(r);
    return true;
}

int32_t roundToInt(double v)
{
    int32_t r = 0;
    if (!roundHalfEven(v, r))
        fail(QStringLiteral("'%1' is not a valid integer value").arg(v));
    return r;
}

bool tryParseInt(const QString& s, int32_t& out)
{
    bool ok = false;
    const int v = s.trimmed().toInt(&ok, 10);
    if (ok)
        out = v;
    return ok;
}

bool tryParseFloat(const QString& text, double& out)
{
    const QString s = text.trimmed();
    bool ok = false;
    double v = s.toDouble(&ok);
    // A decimal comma, as a user of a comma locale types it.
    if (!ok && s.count(QLatin1Char(',')) == 1 && !s.contains(QLatin1Char('.'))) {
        QString t = s;
        t.replace(QLatin1Char(','), QLatin1Char('.'));
        v = t.toDouble(&ok);
    }
    if (ok)
        out = v;
    return ok;
}

const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

bool tryParseDateTime(const QString& text, double& out)
{
    const QString s = text.trimmed();
    static const char* const formats[] = {"yyyy-MM-dd hh:mm:ss", "yyyy-MM-dd hh:mm:ss.zzz",
                                          "yyyy-MM-dd hh:mm", "yyyy-MM-dd"};
    for (const char* f : formats) {
        const QDateTime dt = QDateTime::fromString(s, QString::fromLatin1(f));
        if (dt.isValid()) {
            out = ToTDateTime(dt);
            return true;
        }
    }
    const QDateTime iso = QDateTime::fromString(s, Qt::ISODateWithMs);
    if (iso.isValid()) {
        out = ToTDateTime(iso);
        return true;
    }
    return false;
}

bool tryParseBool(const QString& text, bool& out)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return false;
    static const char* const yes[] = {"true", "t", "yes", "y", "1"};
    static const char* const no[] = {"false", "f", "no", "n", "0"};
    for (const char* w : yes)
        if (s.compare(QLatin1String(w), Qt::CaseInsensitive) == 0) {
            out = true;
            return true;
        }
    for (const char* w : no)
        if (s.compare(QLatin1String(w), Qt::CaseInsensitive) == 0) {
            out = false;
            return true;
        }
    return false;
}

QString floatText(double v) { return QString::number(v, 'g', 15); }
QString dateTimeText(double v) { return FromTDateTime(v).toString(kDateTimeFormat); }
QString boolText(bool v) { return v ? QStringLiteral("True") : QStringLiteral("False"); }

bool isIntegralType(int id)
{
    switch (id) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isFloatType(int id) { return id == QMetaType::Double || id == QMetaType::Float; }

bool variantIsNull(const QVariant& v) { return !v.isValid() || v.isNull(); }


}  // namespace memtable_internal
