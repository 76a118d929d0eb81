#pragma once
// One-line edits for whole numbers (TIntEdit) and decimal numbers
// (TFloatEdit).  They take only sign, digit (and decimal separator)
// keystrokes, step the value with the Up and Down keys, keep written values
// inside MinValue..MaxValue when the two differ, and read an empty box as
// DefaultValue.  The decimal separator is the one of the system locale
// (QLocale()), read each time it is needed.
//
// A text that does not convert (a lone sign, a sign inside the number, a
// number out of range, two separators) reads as DefaultValue and gives the
// input focus back to the edit so the user can correct it; leaving such an
// edit brings the focus back too, unless it went to another numeric edit
// with text to correct.
#include <QLineEdit>
#include <QString>

// The range rule of both edits.  With min == max nothing is limited.
int ClampIntValue(int value, int minValue, int maxValue);
// includeBounds false: a value not strictly between the bounds becomes
// their middle, (max - min) / 2 + min.
double ClampFloatValue(double value, double minValue, double maxValue, bool includeBounds);

// Text conversions of the edits.  Blanks around the number are allowed.
bool ParseIntText(const QString& text, int& value);
// A whole number of any 64-bit size (for range checks of the callers).
bool ParseInt64Text(const QString& text, qint64& value);
// Decimal number with the given separator and an optional exponent
// ("1,5", "-2", "1e+20"); false for anything else or a non-finite result.
bool ParseFloatText(const QString& text, QChar decimalSeparator, double& value);
// Shortest text that reads back as the same double: 9.9 -> "9.9", 5 -> "5".
QString FloatToText(double value, QChar decimalSeparator);

// The system locale's decimal separator.
QChar SystemDecimalSeparator();

class TIntEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int DefaultValue READ DefaultValue WRITE SetDefaultValue)
    Q_PROPERTY(int Increment READ Increment WRITE SetIncrement)

public:
    explicit TIntEdit(QWidget* parent = nullptr);

    // Empty text: DefaultValue.  A text that does not convert: DefaultValue,
    // and the edit takes the input focus.
    int Value() const;
    // Shows the clamped value.
    void SetValue(int value);

    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    // A changed bound re-clamps the shown value and the default.
    void SetMinValue(int value);
    void SetMaxValue(int value);

    int DefaultValue() const { return default_; }
    // Stored only when different and inside the range; otherwise ignored.
    void SetDefaultValue(int value);

    int Increment() const { return increment_; }
    void SetIncrement(int value) { increment_ = value; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int Clamp(int value) const { return ClampIntValue(value, min_, max_); }

    int min_ = 0;
    int max_ = 0;
    int default_ = 0;
    int increment_ = 0;
};

class TFloatEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_PROPERTY(double MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(double MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(double DefaultValue READ DefaultValue WRITE SetDefaultValue)
    Q_PROPERTY(double Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(bool IncludeBounds READ IncludeBounds WRITE SetIncludeBounds)

public:
    explicit TFloatEdit(QWidget* parent = nullptr);

    double Value() const;
    void SetValue(double value);

    double MinValue() const { return min_; }
    double MaxValue() const { return max_; }
    void SetMinValue(double value);
    void SetMaxValue(double value);

    double DefaultValue() const { return default_; }
    void SetDefaultValue(double value);

    double Increment() const { return increment_; }
    void SetIncrement(double value) { increment_ = value; }

    bool IncludeBounds() const { return includeBounds_; }
    // A change re-applies the range rule to the shown value.
    void SetIncludeBounds(bool value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    double Clamp(double value) const { return ClampFloatValue(value, min_, max_, includeBounds_); }

    double min_ = 0;
    double max_ = 0;
    double default_ = 0;
    double increment_ = 0;
    bool includeBounds_ = true;
};
