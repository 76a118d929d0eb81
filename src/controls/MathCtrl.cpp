#include "controls/MathCtrl.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QPointer>
#include <QRegularExpression>

#include <cmath>
#include <limits>

int ClampIntValue(int value, int minValue, int maxValue)
{
    if (minValue == maxValue)
        return value;
    if (value < minValue)
        return minValue;
    if (value > maxValue)
        return maxValue;
    return value;
}

double ClampFloatValue(double value, double minValue, double maxValue, bool includeBounds)
{
    if (minValue == maxValue)
        return value;
    if (includeBounds) {
        if (value < minValue)
            return minValue;
        if (value > maxValue)
            return maxValue;
        return value;
    }
    if (value > minValue && value < maxValue)
        return value;
    return (maxValue - minValue) / 2 + minValue;
}

bool ParseInt64Text(const QString& text, qint64& value)
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?[0-9]+$"));
    const QString t = text.trimmed();
    if (!pattern.match(t).hasMatch())
        return false;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, 10);
    if (!ok)
        return false;
    value = v;
    return true;
}

bool ParseIntText(const QString& text, int& value)
{
    qint64 v = 0;
    if (!ParseInt64Text(text, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    value = int(v);
    return true;
}

bool ParseFloatText(const QString& text, QChar decimalSeparator, double& value)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    QString t = text.trimmed();
    if (decimalSeparator != QLatin1Char('.')) {
        if (t.contains(QLatin1Char('.')))
            return false;  // not this system's separator
        t.replace(decimalSeparator, QLatin1Char('.'));
    }
    if (!pattern.match(t).hasMatch())
        return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

QString FloatToText(double value, QChar decimalSeparator)
{
    QString t = QString::number(value, 'g', QLocale::FloatingPointShortest);
    if (decimalSeparator != QLatin1Char('.'))
        t.replace(QLatin1Char('.'), decimalSeparator);
    return t;
}

QChar SystemDecimalSeparator()
{
    const QString sep = QLocale().decimalPoint();
    return sep.isEmpty() ? QLatin1Char('.') : sep.at(0);
}

namespace {

// A typed character is accepted when it is a control character, a sign, a
// digit or (decimal edits) the decimal separator.  DEL comes with the Delete
// key, which edits the text like any other editing key.
bool CharactersAccepted(const QString& text, bool decimal)
{
    const QChar sep = SystemDecimalSeparator();
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 32 || u == 127)
            continue;
        if (c == QLatin1Char('+') || c == QLatin1Char('-') || (u >= '0' && u <= '9'))
            continue;
        if (decimal && c == sep)
            continue;
        return false;
    }
    return true;
}

// Focus moving to a popup (the edit's context menu) or to another window
// does not leave the control; only a move inside the window does.
bool LeavesControl(const QFocusEvent* event)
{
    return event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
}

// Whether a widget is a numeric edit whose text does not convert.
bool HoldsBadNumber(const QWidget* widget)
{
    if (const auto* i = qobject_cast<const TIntEdit*>(widget)) {
        int v = 0;
        return !i->text().isEmpty() && !ParseIntText(i->text(), v);
    }
    if (const auto* f = qobject_cast<const TFloatEdit*>(widget)) {
        double v = 0;
        return !f->text().isEmpty() && !ParseFloatText(f->text(), SystemDecimalSeparator(), v);
    }
    return false;
}

// Called while a focus change is being delivered: taking the focus back
// there would nest inside the change, so it waits for the event loop.  An
// edit leaves the focus where it went when that is another numeric edit
// with text to correct: two such edits would take it from each other for
// ever.
void TakeFocusBackLater(QLineEdit* edit)
{
    if (HoldsBadNumber(QApplication::focusWidget()))
        return;
    QPointer<QLineEdit> guard(edit);
    QMetaObject::invokeMethod(
        edit,
        [guard] {
            if (guard && HoldsBadNumber(guard) && !HoldsBadNumber(QApplication::focusWidget()))
                guard->setFocus(Qt::OtherFocusReason);
        },
        Qt::QueuedConnection);
}

int SaturatedAdd(int a, qint64 b)
{
    const qint64 sum = qint64(a) + b;
    if (sum < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    if (sum > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return int(sum);
}

}  // namespace

// ---- TIntEdit ----

TIntEdit::TIntEdit(QWidget* parent) : QLineEdit(parent)
{
    setText(QStringLiteral("0"));
}

int TIntEdit::Value() const
{
    if (text().isEmpty())
        return default_;
    int v = 0;
    if (!ParseIntText(text(), v)) {
        const_cast<TIntEdit*>(this)->setFocus(Qt::OtherFocusReason);
        return default_;
    }
    return v;
}

void TIntEdit::SetValue(int value)
{
    setText(QString::number(Clamp(value)));
}

void TIntEdit::SetMinValue(int value)
{
    if (value == min_)
        return;
    min_ = value;
    SetValue(Value());
    default_ = Clamp(default_);
}

void TIntEdit::SetMaxValue(int value)
{
    if (value == max_)
        return;
    max_ = value;
    SetValue(Value());
    default_ = Clamp(default_);
}

void TIntEdit::SetDefaultValue(int value)
{
    if (value != default_ && Clamp(value) == value)
        default_ = value;
}

void TIntEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        const qint64 step = event->key() == Qt::Key_Up ? qint64(increment_) : -qint64(increment_);
        SetValue(SaturatedAdd(Value(), step));
        event->accept();
        return;
    }
    if (!CharactersAccepted(event->text(), false)) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TIntEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (!LeavesControl(event) || text().isEmpty())
        return;
    int v = 0;
    if (!ParseIntText(text(), v)) {
        // Keep the text so the user sees what to correct.
        TakeFocusBackLater(this);
        return;
    }
    SetValue(v);
}

// ---- TFloatEdit ----

TFloatEdit::TFloatEdit(QWidget* parent) : QLineEdit(parent)
{
    setText(QStringLiteral("0"));
}

double TFloatEdit::Value() const
{
    if (text().isEmpty())
        return default_;
    double v = 0;
    if (!ParseFloatText(text(), SystemDecimalSeparator(), v)) {
        const_cast<TFloatEdit*>(this)->setFocus(Qt::OtherFocusReason);
        return default_;
    }
    return v;
}

void TFloatEdit::SetValue(double value)
{
    setText(FloatToText(Clamp(value), SystemDecimalSeparator()));
}

void TFloatEdit::SetMinValue(double value)
{
    if (value == min_)
        return;
    min_ = value;
    SetValue(Value());
    default_ = Clamp(default_);
}

void TFloatEdit::SetMaxValue(double value)
{
    if (value == max_)
        return;
    max_ = value;
    SetValue(Value());
    default_ = Clamp(default_);
}

void TFloatEdit::SetDefaultValue(double value)
{
    if (value != default_ && Clamp(value) == value)
        default_ = value;
}

void TFloatEdit::SetIncludeBounds(bool value)
{
    if (value == includeBounds_)
        return;
    includeBounds_ = value;
    SetValue(Value());
}

void TFloatEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        SetValue(event->key() == Qt::Key_Up ? Value() + increment_ : Value() - increment_);
        event->accept();
        return;
    }
    if (!CharactersAccepted(event->text(), true)) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TFloatEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (!LeavesControl(event) || text().isEmpty())
        return;
    double v = 0;
    if (!ParseFloatText(text(), SystemDecimalSeparator(), v)) {
        TakeFocusBackLater(this);
        return;
    }
    SetValue(v);
}
