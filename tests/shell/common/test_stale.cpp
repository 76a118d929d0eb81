// Shared helpers: captions, palette, distance, number texts, month names,
// paths and the two canvas helpers (painted into an image).
#include "shell/common/stale.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QPainter>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

namespace {

TEST(StaleCaptions, KnownChannelsAndUnknownNamesLeaveTheText)
{
    struct Case {
        const char* name;
        const char* shortCaption;
        const char* caption;
    };
    const Case cases[] = {
        {"obroty", "RPM", "RPM"}, {"temp1", "T1", "Temp"},  {"accx", "ACCX", "ACCX"},
        {"accy", "ACCY", "ACCY"}, {"temp2", "T2", "Temp2"}, {"predkosc_gps", "V", "V GPS"},
        // Unknown names and a different case leave the caller's text.
        {"gyro1", "keep", "keep"}, {"Obroty", "keep", "keep"}, {"", "keep", "keep"},
    };
    for (const Case& c : cases) {
        QString shortText = QStringLiteral("keep");
        QString text = QStringLiteral("keep");
        ChannelShortCaption(QString::fromLatin1(c.name), shortText);
        ChannelCaption(QString::fromLatin1(c.name), text);
        EXPECT_EQ(shortText, QString::fromLatin1(c.shortCaption)) << c.name;
        EXPECT_EQ(text, QString::fromLatin1(c.caption)) << c.name;
    }
}

TEST(StaleLapColour, PaletteRepeatsAndSpecialNumbers)
{
    struct Case {
        int n;
        QColor colour;
    };
    const QColor red(255, 0, 0), green(0, 128, 0), blue(0, 0, 255), black(0, 0, 0), purple(128, 0, 128),
        maroon(128, 0, 0), grey(128, 128, 128), lime(0, 255, 0), white(255, 255, 255);
    const Case cases[] = {
        {1, red},    {2, green},  {3, blue}, {4, black},  {5, purple},  {6, maroon},
        {7, grey},   {8, lime},   {9, red},  {16, lime},  {17, red},    {0, white},
        {-8, white}, {-16, white}, {-1, red}, {-7, red},  {-9, red},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LapColour(c.n), c.colour) << "n = " << c.n;
}

TEST(StaleGpsDistance, OneMinuteOfLatitudeAndOfLongitude)
{
    const double minute = 1.0 / 60.0;
    const double lat = GpsDistanceKm(50.0, 19.0, 50.0 + minute, 19.0);
    EXPECT_NEAR(lat, 1.855, 0.001);
    // The cosine takes the first point's latitude: cos 60 = 1/2.
    const double lon = GpsDistanceKm(60.0, 19.0, 60.0, 19.0 + minute);
    EXPECT_NEAR(lon, lat / 2, 1e-9);
    EXPECT_DOUBLE_EQ(GpsDistanceKm(50.0, 19.0, 50.0, 19.0), 0.0);
    // Symmetric in direction along a meridian.
    EXPECT_DOUBLE_EQ(GpsDistanceKm(50.0, 19.0, 50.0 - minute, 19.0), lat);
}

TEST(StaleNumbers, StrToFloatSepExamples)
{
    struct Case {
        const char* text;
        char sep;
        double value;
    };
    const Case cases[] = {
        {"3.05", '.', 3.05},   {"-0.5", '.', -0.5},   {"12", '.', 12},      {"1.2.3", '.', 1},
        {"", '.', 0},          {"abc", '.', 0},       {" 7.5 ", '.', 7.5},  {"\t7.5\r\n", '.', 7.5},
        {"3,25", ',', 3.25},   {"3.25", ',', 0},      {"-12,5", ',', -12.5}, {".5", '.', 0.5},
        {"5.", '.', 5},        {"-", '.', 0},         {"x.5", '.', 0.5},    {"2.x", '.', 2},
        {"0.001", '.', 0.001}, {"-0", '.', 0},
        // Digit runs longer than any integer type do not overflow to 0.
        {"12345678901234567890.5", '.', 12345678901234567890.5},
        {"0.12345678901234567890123", '.', 0.12345678901234567890123},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(StrToFloatSep(QString::fromLatin1(c.text), QChar::fromLatin1(c.sep)), c.value)
            << '"' << c.text << "\" sep " << c.sep;
}

TEST(StaleNumbers, FloatToStrSepExamples)
{
    struct Case {
        double value;
        char sep;
        const char* text;
    };
    const Case cases[] = {
        {3.14159, '.', "3.14"},   {-0.004, '.', "-0.00"},     {1234.5, '.', "1234.50"},
        {0, '.', "0.00"},         {-0.0, '.', "0.00"},        {2.0, ',', "2,00"},
        {-12.345678, ',', "-12,35"}, {1234567.891, '.', "1234567.89"}, {0.999, '.', "1.00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FloatToStrSep(c.value, QChar::fromLatin1(c.sep)), QString::fromLatin1(c.text)) << c.value;
}

TEST(StaleNumbers, TextsRoundTripThroughTheSeparator)
{
    for (double v : {0.0, 1.5, -7.25, 100.01, 65535.99}) {
        for (char sep : {'.', ',', ';'}) {
            const QChar s = QChar::fromLatin1(sep);
            EXPECT_DOUBLE_EQ(StrToFloatSep(FloatToStrSep(v, s), s), v) << v << " " << sep;
        }
    }
}

// A locale with "," as decimal separator must change neither direction.
TEST(StaleNumbers, LocaleDoesNotMatter)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* commaLocales[] = {"pl_PL.UTF-8", "pl_PL.utf8", "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"};
    for (const char* name : commaLocales)
        if (std::setlocale(LC_NUMERIC, name) != nullptr)
            break;
    const QLocale previousQt;
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));

    EXPECT_EQ(FloatToStrSep(1234.5, u'.'), QStringLiteral("1234.50"));
    EXPECT_EQ(FloatToStrSep(-3.14159, u'.'), QStringLiteral("-3.14"));
    EXPECT_DOUBLE_EQ(StrToFloatSep(QStringLiteral("3.05"), u'.'), 3.05);
    EXPECT_DOUBLE_EQ(StrToFloatSep(QStringLiteral("3,05"), u'.'), 0);
    EXPECT_EQ(Format("%0.1f", 2.5), QStringLiteral("2.5"));

    QLocale::setDefault(previousQt);
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST(StaleNumbers, RoundingHalvesToEven)
{
    struct Case {
        double value;
        int rounded;
    };
    const Case cases[] = {
        {0.5, 0},   {1.5, 2},   {2.5, 2},   {3.5, 4},   {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {7, 7},     {1e12, 2147483647}, {-1e12, -2147483647 - 1},
        {std::nan(""), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;

    EXPECT_DOUBLE_EQ(RoundTo2Decimals(1.234), 1.23);
    EXPECT_DOUBLE_EQ(RoundTo2Decimals(-1.236), -1.24);
    EXPECT_DOUBLE_EQ(RoundTo2Decimals(0.125), 0.12);  // exact half: to even
    EXPECT_DOUBLE_EQ(RoundTo2Decimals(0.375), 0.38);
    // Beyond the int range of RoundHalfEven.
    EXPECT_DOUBLE_EQ(RoundTo2Decimals(123456789.125), 123456789.12);
}

TEST(StaleTexts, MonthNames)
{
    struct Case {
        int n;
        int maxLen;
        const char* text;
    };
    const Case cases[] = {
        {1, 0, "January"},  {2, 0, "February"}, {9, 0, "September"}, {12, 0, "December"},
        {1, 3, "Jan"},      {9, 3, "Sep"},      {5, 10, "May"},       {13, 3, "(13"},
        {13, 0, "(13)"},    {0, 0, "(0)"},      {-1, 0, "(-1)"},      {12, 1, "D"},
        {3, -2, "March"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MonthName(c.n, c.maxLen), QString::fromLatin1(c.text)) << c.n << " / " << c.maxLen;
}

TEST(StaleTexts, SessionTimeAndFormat)
{
    struct Case {
        int hundredths;
        const char* text;
    };
    const Case cases[] = {
        {0, "00:00:00"},  {5, "00:00:05"},     {99, "00:00:99"},     {100, "00:01:00"},
        {6000, "01:00:00"}, {6543, "01:05:43"}, {599999, "99:59:99"}, {600000, "100:00:00"},
        {-150, "00:-01:-50"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SessionTimeText(c.hundredths), QString::fromLatin1(c.text)) << c.hundredths;

    EXPECT_EQ(Format("%0.0f", 1234.4), QStringLiteral("1234"));
    EXPECT_EQ(Format("%d.%2.2d", 3, 7), QStringLiteral("3.07"));
    EXPECT_EQ(Format("%s-%d", "a", -4), QStringLiteral("a--4"));
}

TEST(StaleTime, OneSecondIsADayOver86400)
{
    EXPECT_DOUBLE_EQ(OneSecond() * 86400.0, 1.0);
    EXPECT_DOUBLE_EQ(OneSecond(), 1.0 / 86400.0);
}

TEST(StaleGlobals, InitialValues)
{
    EXPECT_EQ(HighlightPenWidth, 3);
    EXPECT_FALSE(AcceptAllHeaders);
}

TEST(StalePaths, IncludeBackslash)
{
    struct Case {
        const char* path;
        const char* result;
    };
    const Case cases[] = {
        {"/opt/pitrova", "/opt/pitrova/"},
        {"/opt/pitrova/", "/opt/pitrova/"},
        {"/", "/"},
        {"relative", "relative/"},
        // A backslash is an ordinary character of a Linux name.
        {"C:\\KROM", "C:\\KROM/"},
        {"", "./"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IncludeBackslash(QString::fromLatin1(c.path)), QString::fromLatin1(c.result)) << c.path;
}

TEST(StalePaths, ProgramFolderIsTheExecutablesFolderUnlessOverridden)
{
    const QString own = QCoreApplication::applicationDirPath() + u'/';
    EXPECT_EQ(ProgramFolder(), own);
    SetProgramFolder(QStringLiteral("/tmp/pitrova-test"));
    EXPECT_EQ(ProgramFolder(), QStringLiteral("/tmp/pitrova-test/"));
    SetProgramFolder(QStringLiteral("/tmp/other/"));
    EXPECT_EQ(ProgramFolder(), QStringLiteral("/tmp/other/"));
    SetProgramFolder(QString());
    EXPECT_EQ(ProgramFolder(), own);
}

// Picture files pass through a folder of the run's own, apart from the
// program folder that every running copy of the program shares.
TEST(StalePaths, ScratchFolderIsAFolderOfTheRunsOwn)
{
    const QString scratch = ScratchFolder();
    EXPECT_TRUE(scratch.endsWith(u'/'));
    EXPECT_TRUE(QFileInfo(scratch).isDir());
    EXPECT_TRUE(QFileInfo(scratch).isWritable());
    QDir parent(scratch);
    ASSERT_TRUE(parent.cdUp());
    EXPECT_EQ(parent, QDir(QDir::tempPath()));
    EXPECT_NE(QDir(scratch), QDir(ProgramFolder()));
    EXPECT_EQ(ScratchFolder(), scratch);  // one folder for the whole run
}

// ------------------------------------------------------------ painting

QImage WhiteImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Leftmost and rightmost column holding a non-white pixel, -1 when none.
std::pair<int, int> InkColumns(const QImage& image)
{
    int left = -1;
    int right = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                if (left < 0)
                    left = x;
                right = x;
                break;
            }
    return {left, right};
}

TEST(StalePainting, DrawLineIsOnePixelWideInTheColour)
{
    QImage image = WhiteImage(40, 20);
    {
        QPainter painter(&image);
        DrawLine(painter, 5, 10, 30, 10, QColor(0, 0, 255));
        EXPECT_EQ(painter.pen().width(), 1);
        EXPECT_EQ(painter.pen().color(), QColor(0, 0, 255));
    }
    for (int x = 5; x <= 29; ++x) {
        EXPECT_EQ(image.pixel(x, 10), qRgb(0, 0, 255)) << x;
        EXPECT_EQ(image.pixel(x, 9), qRgb(255, 255, 255)) << x;
        EXPECT_EQ(image.pixel(x, 11), qRgb(255, 255, 255)) << x;
    }
    EXPECT_EQ(image.pixel(3, 10), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(33, 10), qRgb(255, 255, 255));
}

TEST(StalePainting, TextOutClippedMovesLeftOnlyWhenPastTheEdge)
{
    const QString text = QStringLiteral("MWM");
    QImage probe = WhiteImage(10, 10);
    QFont font;
    font.setPixelSize(14);
    int width = 0;
    {
        QPainter painter(&probe);
        painter.setFont(font);
        width = painter.fontMetrics().horizontalAdvance(text);
    }
    ASSERT_GT(width, 0);

    struct Case {
        int x;
        int rightEdge;
        int expectedX;
    };
    const int x = 100;
    const Case cases[] = {
        {x, x + width, x},              // exactly reaching the edge
        {x, x + width + 50, x},         // room to spare
        {x, x + width - 1, x - width},  // one pixel past
        {x, x, x - width},
    };
    for (const Case& c : cases) {
        QImage image = WhiteImage(300, 40);
        int at = 0;
        {
            QPainter painter(&image);
            painter.setFont(font);
            painter.setPen(Qt::black);
            at = TextOutClipped(painter, c.x, 5, text, c.rightEdge);
        }
        EXPECT_EQ(at, c.expectedX) << "edge " << c.rightEdge;
        // The ink lies within [at, at + width) of the text cell.
        const auto [left, right] = InkColumns(image);
        ASSERT_GE(left, 0) << "nothing painted, edge " << c.rightEdge;
        EXPECT_GE(left, c.expectedX - 1) << "edge " << c.rightEdge;
        EXPECT_LE(right, c.expectedX + width) << "edge " << c.rightEdge;
    }
}

TEST(StalePainting, TextOutClippedWritesBelowTheGivenTop)
{
    QImage image = WhiteImage(100, 60);
    {
        QPainter painter(&image);
        QFont font;
        font.setPixelSize(14);
        painter.setFont(font);
        painter.setPen(Qt::black);
        TextOutClipped(painter, 10, 20, QStringLiteral("H"), 100);
    }
    int top = -1;
    for (int y = 0; y < image.height() && top < 0; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                top = y;
                break;
            }
    EXPECT_GE(top, 20);
    EXPECT_LT(top, 20 + 14);
}

}  // namespace
