#pragma once
// What a form checks before it writes: every numeric edit holds a number
// its column or record field can take, every text fits its column and
// holds only characters the database's code page has.  The first field
// that fails gets the input focus and a message naming its caption; the
// form then stays open and nothing is written.
#include <QString>

#include <climits>
#include <vector>

class QWidget;
class QLineEdit;
class QPlainTextEdit;
class TIntEdit;
class TFloatEdit;

namespace fieldcheck {

// Ranges of the columns and record fields the forms write.
inline constexpr qint64 kIntegerMin = INT_MIN;  // INTEGER column
inline constexpr qint64 kIntegerMax = INT_MAX;
inline constexpr qint64 kInt16Min = -32768;  // signed 16-bit field
inline constexpr qint64 kInt16Max = 32767;
inline constexpr qint64 kWordMin = 0;  // unsigned 16-bit field or word
inline constexpr qint64 kWordMax = 65535;

struct Field {
    enum class Kind { WholeNumber, Number, Text };
    QWidget* widget = nullptr;
    QString caption;
    Kind kind = Kind::Text;
    qint64 min = 0;      // whole numbers
    qint64 max = 0;
    int maxLength = 0;   // texts; 0: no limit
};

// A TIntEdit whose value must lie in min..max (an empty edit reads as its
// default value).
Field WholeNumber(TIntEdit* edit, const QString& caption, qint64 min = kIntegerMin, qint64 max = kIntegerMax);
// A TFloatEdit stored in a FLOAT column (single precision).
Field Number(TFloatEdit* edit, const QString& caption);
// A one-line text or a memo of at most maxLength characters (0: no limit);
// a one-line edit is given that limit at once, so no longer text is typed.
Field Text(QLineEdit* edit, const QString& caption, int maxLength);
Field Text(QPlainTextEdit* memo, const QString& caption, int maxLength = 0);

// What is wrong with a field's content, or an empty text.
QString Problem(const Field& field);
// The same for a text that is no edit's (a name asked for in a prompt).
QString TextProblem(const QString& text, const QString& caption, int maxLength);

// Checks the fields in order; at the first with a problem: focus to it,
// the message shown, false.
bool CheckFields(const std::vector<Field>& fields);

}  // namespace fieldcheck
