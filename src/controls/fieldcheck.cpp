#include "controls/fieldcheck.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include <cfloat>
#include <cmath>

#include "controls/MathCtrl.h"
#include "platform/dialogs.h"
#include "shell/common/cp1250.h"

namespace fieldcheck {

namespace {

QString Quoted(const QString& caption) { return u'"' + caption + u'"'; }

QString WidgetText(const Field& field)
{
    if (auto* memo = qobject_cast<QPlainTextEdit*>(field.widget))
        return memo->toPlainText();
    if (auto* edit = qobject_cast<QLineEdit*>(field.widget))
        return edit->text();
    return {};
}

QString WholeNumberProblem(const Field& f, const QString& text)
{
    if (text.isEmpty())
        return {};  // reads as the edit's default
    qint64 v = 0;
    if (ParseInt64Text(text, v) && v >= f.min && v <= f.max)
        return {};
    return QStringLiteral("%1 must be a whole number from %2 to %3.").arg(Quoted(f.caption)).arg(f.min).arg(f.max);
}

QString NumberProblem(const Field& f, const QString& text)
{
    if (text.isEmpty())
        return {};
    const QChar separator = SystemDecimalSeparator();
    double v = 0;
    if (ParseFloatText(text, separator, v) && std::fabs(v) <= double(FLT_MAX))
        return {};
    return QStringLiteral("%1 must be a number, such as %2.")
        .arg(Quoted(f.caption), FloatToText(72.5, separator));
}

}  // namespace

Field WholeNumber(TIntEdit* edit, const QString& caption, qint64 min, qint64 max)
{
    Field f;
    f.widget = edit;
    f.caption = caption;
    f.kind = Field::Kind::WholeNumber;
    f.min = min;
    f.max = max;
    return f;
}

Field Number(TFloatEdit* edit, const QString& caption)
{
    Field f;
    f.widget = edit;
    f.caption = caption;
    f.kind = Field::Kind::Number;
    return f;
}

Field Text(QLineEdit* edit, const QString& caption, int maxLength)
{
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    Field f;
    f.widget = edit;
    f.caption = caption;
    f.maxLength = maxLength;
    return f;
}

Field Text(QPlainTextEdit* memo, const QString& caption, int maxLength)
{
    Field f;
    f.widget = memo;
    f.caption = caption;
    f.maxLength = maxLength;
    return f;
}

QString TextProblem(const QString& text, const QString& caption, int maxLength)
{
    if (maxLength > 0 && text.size() > maxLength)
        return QStringLiteral("%1 holds %2 characters; at most %3 can be stored.")
            .arg(Quoted(caption))
            .arg(text.size())
            .arg(maxLength);
    const QString outside = FirstCharacterOutsideCp1250(text);
    if (!outside.isEmpty())
        return QStringLiteral("%1 holds the character \"%2\" (U+%3), which the database cannot store.")
            .arg(Quoted(caption), outside,
                 QStringLiteral("%1").arg(outside.toUcs4().value(0), 4, 16, QLatin1Char('0')).toUpper());
    return {};
}

QString Problem(const Field& field)
{
    const QString text = WidgetText(field);
    switch (field.kind) {
    case Field::Kind::WholeNumber: return WholeNumberProblem(field, text);
    case Field::Kind::Number: return NumberProblem(field, text);
    case Field::Kind::Text: return TextProblem(text, field.caption, field.maxLength);
    }
    return {};
}

bool CheckFields(const std::vector<Field>& fields)
{
    for (const Field& field : fields) {
        const QString problem = Problem(field);
        if (problem.isEmpty())
            continue;
        if (field.widget)
            field.widget->setFocus(Qt::OtherFocusReason);
        platform::ShowMessage(problem);
        return false;
    }
    return true;
}

}  // namespace fieldcheck
