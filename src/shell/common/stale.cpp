#include "shell/common/stale.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPen>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <limits>

bool AcceptAllHeaders = false;

namespace {

struct ChannelCaptions {
    const char* name;
    const char* shortCaption;
    const char* caption;
};

constexpr ChannelCaptions kChannelCaptions[] = {
    {"obroty", "RPM", "RPM"},     {"temp1", "T1", "Temp"},  {"accx", "ACCX", "ACCX"},
    {"accy", "ACCY", "ACCY"},     {"temp2", "T2", "Temp2"}, {"predkosc_gps", "V", "V GPS"},
};

const ChannelCaptions* FindChannel(const QString& name)
{
    for (const auto& c : kChannelCaptions)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

// Halves to even on the double itself, so any magnitude works.
double RoundHalfEvenDouble(double v)
{
    if (!std::isfinite(v))
        return v;
    if (std::fabs(v - std::trunc(v)) == 0.5)
        return 2.0 * std::round(v / 2.0);
    return std::round(v);
}

// A decimal integer: an optional sign and at least one digit, nothing else.
// Its value is kept in double so long digit runs do not overflow.
bool DecimalIntegerValue(const QString& s, double& out)
{
    int i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
        negative = s[i] == u'-';
        ++i;
    }
    if (i >= s.size())
        return false;
    for (int j = i; j < s.size(); ++j)
        if (s[j] < u'0' || s[j] > u'9')
            return false;
    // C-locale conversion of the plain digits (correctly rounded).
    bool ok = false;
    const double v = s.mid(i).toDouble(&ok);
    if (!ok)
        return false;
    out = negative ? -v : v;
    return true;
}

QString& ProgramFolderOverride()
{
    static QString folder;
    return folder;
}

QString ExecutableFolder()
{
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    // Before (or without) an application object: the running executable.
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!exe.isEmpty())
        return QFileInfo(exe).path();
    return QDir::currentPath();
}

}  // namespace

QString TrimControls(const QString& text)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

void ChannelShortCaption(const QString& name, QString& text)
{
    if (const auto* c = FindChannel(name))
        text = QString::fromLatin1(c->shortCaption);
}

void ChannelCaption(const QString& name, QString& text)
{
    if (const auto* c = FindChannel(name))
        text = QString::fromLatin1(c->caption);
}

QColor LapColour(int n)
{
    // C++ % truncates like the palette's mod: n = 0, -8, ... give k = 0.
    const int k = (n - 1) % 8 + 1;
    switch (k) {
    case 1: return QColor(255, 0, 0);
    case 2: return QColor(0, 128, 0);
    case 3: return QColor(0, 0, 255);
    case 4: return QColor(0, 0, 0);
    case 5: return QColor(128, 0, 128);
    case 6: return QColor(128, 0, 0);
    case 7: return QColor(128, 128, 128);
    case 8: return QColor(0, 255, 0);
    case 0: return QColor(255, 255, 255);
    default: return QColor(255, 0, 0);
    }
}

double GpsDistanceKm(double lat1, double lon1, double lat2, double lon2)
{
    constexpr double pi = 3.141592653589793;
    constexpr double earthDiameterKm = 12756.274;
    const double a = std::cos(pi * lat1 / 180.0) * (lon2 - lon1);
    const double b = lat2 - lat1;
    return std::sqrt(a * a + b * b) * pi * earthDiameterKm / 360.0;
}

void DrawLine(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& colour)
{
    painter.setPen(QPen(colour, 1));
    painter.drawLine(x1, y1, x2, y2);
}

int TextOutClipped(QPainter& painter, int x, int y, const QString& text, int rightEdge)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const int width = metrics.horizontalAdvance(text);
    const int at = x + width > rightEdge ? x - width : x;
    // (x, y) is the top of the text cell; QPainter writes on the baseline.
    painter.drawText(at, y + metrics.ascent(), text);
    return at;
}

TDateTime OneSecond() { return 1.0 / 24.0 / 60.0 / 60.0; }

QString MonthName(int n, int maxLen)
{
    static const char* const names[] = {"January", "February", "March",     "April",
                                        "May",     "June",     "July",      "August",
                                        "September", "October", "November", "December"};
    QString result = n >= 1 && n <= 12 ? QString::fromLatin1(names[n - 1])
                                       : QStringLiteral("(%1)").arg(n);
    if (maxLen > 0)
        result.truncate(maxLen);
    return result;
}

QString DateTimeToStr(const QDateTime& dt)
{
    const QLocale locale;
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(u't');
    return locale.toString(dt.date(), QLocale::ShortFormat) + u' ' + locale.toString(dt.time(), timeFormat.trimmed());
}

QString SessionTimeText(int hundredths)
{
    // Times under 100 minutes are built digit by digit: tables of samples
    // carry one text per row.
    if (hundredths >= 0 && hundredths < 600000) {
        const int m = hundredths / 6000, s = (hundredths / 100) % 60, c = hundredths % 100;
        const QChar text[8] = {QChar(u'0' + m / 10), QChar(u'0' + m % 10), QChar(u':'), QChar(u'0' + s / 10),
                               QChar(u'0' + s % 10), QChar(u':'), QChar(u'0' + c / 10), QChar(u'0' + c % 10)};
        return QString(text, 8);
    }
    return Format("%2.2d:%2.2d:%2.2d", hundredths / 6000, (hundredths / 100) % 60, hundredths % 100);
}

double StrToFloatSep(const QString& text, QChar sep)
{
    QString s = TrimControls(text);
    const bool negative = s.startsWith(u'-');
    if (negative)
        s.remove(0, 1);
    double value = 0;
    const qsizetype p = s.indexOf(sep);
    if (p < 0) {
        if (!DecimalIntegerValue(s, value))
            value = 0;
    } else {
        double whole = 0;
        if (!DecimalIntegerValue(s.left(p), whole))
            whole = 0;
        const QString digits = s.mid(p + 1);
        double fraction = 0;
        if (DecimalIntegerValue(digits, fraction))
            fraction /= std::pow(10.0, static_cast<double>(digits.size()));
        else
            fraction = 0;
        value = whole + fraction;
    }
    return negative ? -value : value;
}

QString FloatToStrSep(double value, QChar sep)
{
    // QString::asprintf always writes "." whatever the locale; the first
    // non-digit is replaced all the same, so no separator can slip through.
    QString text = QString::asprintf("%2.2f", std::fabs(value));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') {
            text[i] = sep;
            break;
        }
    }
    if (value < 0)
        text.prepend(u'-');
    return text;
}

int RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = RoundHalfEvenDouble(value);
    if (r >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

int ClampToInt(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

double RoundTo2Decimals(double value) { return RoundHalfEvenDouble(value * 100.0) / 100.0; }

QString Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    QString text = QString::vasprintf(format, args);
    va_end(args);
    return text;
}

bool ReadFileBytes(const QString& path, QByteArray& bytes, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot read %1: %2").arg(path, f.errorString());
        return false;
    }
    bytes = f.readAll();
    return true;
}

bool RemoveFileIfExists(const QString& path, QString* error)
{
    if (QFile::exists(path) && !QFile::remove(path)) {
        if (error)
            *error = QStringLiteral("Cannot delete %1").arg(path);
        return false;
    }
    return true;
}

bool ReplaceFileBytes(const QString& path, const QByteArray& bytes, QString* error)
{
    if (!RemoveFileIfExists(path, error))
        return false;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

QString IncludeBackslash(const QString& path)
{
    const QChar separator = QDir::separator();
    if (path.isEmpty())
        return QStringLiteral(".") + separator;
    if (path.endsWith(separator))
        return path;
    return path + separator;
}

QString ProgramFolder()
{
    const QString& folder = ProgramFolderOverride();
    return IncludeBackslash(folder.isEmpty() ? ExecutableFolder() : folder);
}

void SetProgramFolder(const QString& folder) { ProgramFolderOverride() = folder; }

QString ScratchFolder()
{
    static const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pitrova-XXXXXX"));
    return dir.isValid() ? IncludeBackslash(dir.path()) : ProgramFolder();
}
