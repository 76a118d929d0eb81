#pragma once
// The calendar of recorded sessions without widgets: the years it spans,
// the layout of a month in six weeks of seven day panels (Monday first),
// the sessions of a day and the first track driven on it, the season
// colours, and the days ticked in the data module's memWybraneDni.
#include <QColor>
#include <QString>

#include <memory>
#include <vector>

#include "platform/tdatetime.h"

class MemTable;
class TIBQuery;

// Day panels of a month frame: seven columns, six rows.
constexpr int kDayPanels = 42;

// Where the days of a month lie among the 42 panels (numbered from 1).
struct MonthLayout {
    int first = 0;  // panel of the 1st: its weekday, Monday = 1 .. Sunday = 7
    int last = 0;   // panel of the month's last day
    // Day shown in a panel; 0 when the panel lies outside the month.
    int DayOfPanel(int panel) const { return panel < first || panel > last ? 0 : panel - first + 1; }
};
MonthLayout LayoutOfMonth(int year, int month);

// The date of a day at 00:00:00.000.
TDateTime DayDate(int year, int month, int day);

// Frame title: the month's name, two blanks and the year.
QString MonthTitle(int year, int month);

// Years the calendar tree lists, newest first: from the year of the latest
// session start down to the year of the earliest one.  With no sessions both
// bounds read as the zero date-time, which gives the single year 1899.
std::vector<int> CalendarYears();

// Background of a month (December to February, March to May, June to
// August, September to November); the year view is white.
QColor SeasonColour(int month);

// Counts the sessions of a day, and names the first track of one, with the
// statements of the small or of the large month frame.  A session counts
// for a day when it starts between 00:00:00.000 and 23:59:59.000 of it.
class DaySessions {
public:
    enum class Frame { Small, Large };
    explicit DaySessions(Frame frame);
    ~DaySessions();

    int Count(TDateTime day);
    // NAZWA of the first track row the statement returns; empty when none.
    QString FirstTrack(TDateTime day);

private:
    std::unique_ptr<TIBQuery> count_;
    std::unique_ptr<TIBQuery> track_;
};

// The ticks of the calendar in DM->memWybraneDni (field dzien).
bool IsDayTicked(TDateTime day);
// Ticking appends the day unless it is there already; unticking deletes it
// when it is there.  Opens the table when it is closed.
void SetDayTicked(TDateTime day, bool ticked);
