#pragma once
// Helpers many windows share and that belong to no window: channel
// captions, the lap colour palette, a flat-earth GPS distance, small canvas
// helpers, number texts with a chosen decimal separator, month names, the
// program folder and path building, the pen width of highlighted chart
// lines and the header form's take-all switch.
#include <QByteArray>
#include <QChar>
#include <QColor>
#include <QDateTime>
#include <QString>

#include <array>

#include "platform/tdatetime.h"

class QPainter;

// ---------------------------------------------------------------- globals

// Pen width of the highlighted series of the multi-channel charts.
constexpr int HighlightPenWidth = 3;

// Set by the session header form to take every further header as proposed.
extern bool AcceptAllHeaders;

// ------------------------------------------------------ captions, colours

// Set text to the caption of a channel name (exact, case-sensitive match);
// unknown names leave text as it was.
void ChannelShortCaption(const QString& name, QString& text);
void ChannelCaption(const QString& name, QString& text);

// Colour of lap, session or series number n: 1..8 red, green, blue, black,
// purple, maroon, grey, lime, repeating; 0, -8, -16, ... white; other
// numbers below 1 red.
QColor LapColour(int n);

// Flat-earth distance in km between two points given in degrees.
double GpsDistanceKm(double lat1, double lon1, double lat2, double lon2);

// ---------------------------------------------------------------- canvas

// Sets the painter's pen to the colour with width 1 and draws the line.
void DrawLine(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& colour);

// Writes text with its top-left corner at (x, y) in the painter's font; when
// it would pass rightEdge (x + width > rightEdge) it is written ending at x
// instead, at x - width.  Returns the x it was written at.
int TextOutClipped(QPainter& painter, int x, int y, const QString& text, int rightEdge);

// ---------------------------------------------------------- date and time

// One second as a date-time span (1/86400 of a day).
TDateTime OneSecond();

// English month name of 1..12, "(" + n + ")" for any other n; cut to its
// first maxLen characters when maxLen > 0 (0 or less: no limit).
QString MonthName(int n, int maxLen);

// Session time of integer hundredths as minutes:seconds:hundredths,
// "%2.2d:%2.2d:%2.2d".
QString SessionTimeText(int hundredths);

// A date and time as the user's system writes them: the short date and the
// time with seconds, without a time-zone designator.
QString DateTimeToStr(const QDateTime& dt);

// ----------------------------------------------------------------- numbers

// The text without blanks and control characters (everything up to U+0020)
// at both ends.
QString TrimControls(const QString& text);

// Parses a number written with the decimal separator sep, independent of the
// locale: blanks around it ignored, an optional leading "-", integer part and
// fraction digits; a part that is not a decimal integer counts 0 ("1.2.3"
// gives 1, "abc" and "" give 0).
double StrToFloatSep(const QString& text, QChar sep);

// The value with exactly two decimals and sep as decimal separator, a
// leading "-" for values below 0 (-0.004 gives "-0.00"), never a thousands
// separator, independent of the locale.
QString FloatToStrSep(double value, QChar sep);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4).  Values beyond the int range give its nearest end; NaN gives 0.
int RoundHalfEven(double value);

// A 64-bit sum or difference as an int: values beyond the int range give
// its nearest end instead of wrapping round to another value.
int ClampToInt(long long value);

// The value rounded to two decimals, halves to even in the second decimal
// (as RoundHalfEven(value * 100) / 100, without the int range limit).
double RoundTo2Decimals(double value);

// printf-style text, independent of the locale ("%2.2d:%2.2d", "%0.0f").
QString Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// ----------------------------------------------------------------- paths

// The folder with the native separator appended when its last character is
// not one.  An empty text gives "./" (the current folder), so a file name
// appended to it never lands in the root folder.
QString IncludeBackslash(const QString& path);

// The whole contents of a file; false with "Cannot read <path>: <reason>"
// in error (when given) when it cannot be opened.
bool ReadFileBytes(const QString& path, QByteArray& bytes, QString* error);

// Removes a file when it exists; false with "Cannot delete <path>" in error
// (when given) when it stays.
bool RemoveFileIfExists(const QString& path, QString* error);
// Replaces a file with the given bytes (an old file is removed first);
// false with the reason in error (when given).
bool ReplaceFileBytes(const QString& path, const QByteArray& bytes, QString* error);

// The folder of the program file with a trailing separator; every file the
// program uses is found from it.
QString ProgramFolder();

// Overrides the program folder (tests and tools); an empty text restores
// the folder of the program file.
void SetProgramFolder(const QString& folder);

// A folder of this run for files that only pass pictures between the
// database and the image decoders: made in the system's temporary folder on
// first use and removed with its files when the program ends, so that two
// programs running at once never write over each other's files.  The
// program folder when no such folder can be made.  Ends with a separator.
QString ScratchFolder();
