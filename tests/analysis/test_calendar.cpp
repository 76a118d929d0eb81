// The calendar's workings against a real database: where a month's days
// lie among the 42 panels, the years of the tree, the sessions counted for
// a day and its first track, the season colours and the ticked days.
#include <gtest/gtest.h>

#include "analysis/calendar.h"
#include "choice_support.h"
#include "shell/data/ubazy.h"

using namespace choice_test;

namespace {

TEST(CalendarLayout, MonthsStartOnTheirWeekdayMondayFirst)
{
    struct Case {
        int year, month;
        int first, last;
    };
    const Case cases[] = {
        {2021, 2, 1, 28},   // starts on a Monday and fills exactly four rows
        {2024, 6, 6, 35},   // Saturday
        {2024, 9, 7, 36},   // Sunday: starts in P7 and reaches the sixth row
        {2024, 12, 7, 37},  // Sunday with 31 days
        {2024, 2, 4, 32},   // a leap February
        {1899, 12, 5, 35},  // the zero date's month
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << "-" << c.month);
        const MonthLayout l = LayoutOfMonth(c.year, c.month);
        EXPECT_EQ(l.first, c.first);
        EXPECT_EQ(l.last, c.last);
        EXPECT_EQ(l.DayOfPanel(c.first - 1), 0);
        EXPECT_EQ(l.DayOfPanel(c.first), 1);
        EXPECT_EQ(l.DayOfPanel(c.last), c.last - c.first + 1);
        EXPECT_EQ(l.DayOfPanel(c.last + 1), 0);
    }
    EXPECT_EQ(MonthTitle(2024, 9), QStringLiteral("September  2024"));
    EXPECT_EQ(FromTDateTime(DayDate(2024, 9, 30)), At(2024, 9, 30));
}

TEST(CalendarLook, SeasonColoursAreReadBlueGreenRed)
{
    struct Case {
        int month;
        QColor colour;
    };
    const Case cases[] = {
        {12, QColor(0xDB, 0xFF, 0xFF)}, {1, QColor(0xDB, 0xFF, 0xFF)}, {2, QColor(0xDB, 0xFF, 0xFF)},
        {3, QColor(0xDE, 0xFF, 0xE0)},  {5, QColor(0xDE, 0xFF, 0xE0)}, {6, QColor(0xFA, 0xFF, 0xDB)},
        {8, QColor(0xFA, 0xFF, 0xDB)},  {9, QColor(0xFD, 0xDB, 0x95)}, {11, QColor(0xFD, 0xDB, 0x95)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SeasonColour(c.month), c.colour) << c.month;
}

class CalendarTest : public ::testing::Test {
protected:
    TestDatabase db;
};

TEST_F(CalendarTest, YearsRunFromTheNewestSessionDown)
{
    // No session: both bounds are the zero date-time, in 1899.
    EXPECT_EQ(CalendarYears(), (std::vector<int>{1899}));

    AddSession(db, {1, At(2022, 11, 3, 10), At(2022, 11, 3, 11)});
    EXPECT_EQ(CalendarYears(), (std::vector<int>{2022}));
    AddSession(db, {2, At(2024, 1, 1, 0, 0, 1), At(2024, 1, 1, 1)});
    AddSession(db, {3, At(2023, 6, 1, 10), At(2023, 6, 1, 11)});
    EXPECT_EQ(CalendarYears(), (std::vector<int>{2024, 2023, 2022}));
}

// A session counts for the day it starts on, between 00:00:00.000 and
// 23:59:59.000; one starting later in that last second counts for no day.
TEST_F(CalendarTest, SessionsOfADayAndItsFirstTrack)
{
    AddTrack(db, 10, QStringLiteral("Boruta"));
    AddSession(db, {1, At(2024, 6, 12), At(2024, 6, 12, 0, 20), 0, 10});
    AddSession(db, {2, At(2024, 6, 12, 23, 59, 59), At(2024, 6, 13, 0, 20), 0, 10});
    AddSession(db, {3, At(2024, 6, 13, 23, 59, 59, 500), At(2024, 6, 14, 0, 20), 0, 10});
    AddSession(db, {4, At(2024, 6, 14), At(2024, 6, 14, 0, 30)});  // no track
    AddSession(db, {5, At(2024, 6, 11, 23, 59, 58), At(2024, 6, 12, 0, 30), 0, 10});

    struct Case {
        TDateTime day;
        int count;
        QString track;
    };
    const Case cases[] = {
        {Day(2024, 6, 11), 1, QStringLiteral("Boruta")},
        {Day(2024, 6, 12), 2, QStringLiteral("Boruta")},
        {Day(2024, 6, 13), 0, QString()},  // session 3 starts after 23:59:59.000
        {Day(2024, 6, 14), 1, QString()},  // a session without a track names none
        {Day(2024, 6, 15), 0, QString()},
    };
    DaySessions small(DaySessions::Frame::Small);
    DaySessions large(DaySessions::Frame::Large);
    for (const Case& c : cases) {
        SCOPED_TRACE(FromTDateTime(c.day).toString().toStdString());
        EXPECT_EQ(small.Count(c.day), c.count);
        EXPECT_EQ(large.Count(c.day), c.count);
        EXPECT_EQ(large.FirstTrack(c.day), c.track);
    }
}

TEST_F(CalendarTest, TickedDaysAreKeptOnceEach)
{
    MemTable& days = DM->memWybraneDni;
    days.Close();
    EXPECT_FALSE(IsDayTicked(Day(2024, 6, 12)));
    SetDayTicked(Day(2024, 6, 12), true);  // opens the table
    SetDayTicked(Day(2024, 6, 12), true);
    SetDayTicked(Day(2024, 6, 1), true);
    SetDayTicked(Day(2024, 6, 30), false);  // not there: nothing happens
    ASSERT_TRUE(days.Active());
    EXPECT_EQ(days.RecordCount(), 2);
    EXPECT_TRUE(IsDayTicked(Day(2024, 6, 12)));
    EXPECT_TRUE(IsDayTicked(Day(2024, 6, 1)));
    SetDayTicked(Day(2024, 6, 12), false);
    EXPECT_FALSE(IsDayTicked(Day(2024, 6, 12)));
    EXPECT_EQ(days.RecordCount(), 1);
    EXPECT_EQ(FromTDateTime(days.FloatAt(0, 0)), At(2024, 6, 1));
}

}  // namespace
