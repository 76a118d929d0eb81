#include "analysis/calendar.h"

#include <QDate>

#include "shell/common/stale.h"
#include "shell/data/ibquery.h"
#include "shell/data/ubazy.h"

namespace {

const char* const kCountSmall = "select count(*) as ile from  NAGLOWKI  where DATA_START between :S and :E";
const char* const kCountLarge = "select count(*) as ile from  NAGLOWKI where DATA_START between :S and :E";
const char* const kTrackOfDay =
    "select t.nazwa from  NAGLOWKI n , tory t where n.DATA_START between :S and :E and t.id_toru=n.id_toru";
const char* const kYearBounds = "select max(DATA_START) as maks,min(DATA_START) as minim from NAGLOWKI";

// Colours as the toolkit writes them, 0x00BBGGRR.
QColor FromBgr(unsigned bgr) { return QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff)); }

// 23:59:59.000 of the day.
TDateTime DayEnd(TDateTime day) { return day + 86399 * OneSecond(); }

void SetDayParams(TIBQuery& q, TDateTime day)
{
    q.Close();
    q.ParamByName(QStringLiteral("S"), FromTDateTime(day));
    q.ParamByName(QStringLiteral("E"), FromTDateTime(DayEnd(day)));
}

int YearOf(TDateTime value) { return FromTDateTime(value).date().year(); }

}  // namespace

MonthLayout LayoutOfMonth(int year, int month)
{
    const QDate firstDay(year, month, 1);
    MonthLayout l;
    l.first = firstDay.dayOfWeek();  // Monday = 1 .. Sunday = 7
    l.last = l.first + firstDay.daysInMonth() - 1;
    return l;
}

TDateTime DayDate(int year, int month, int day) { return TDateTime(DayNumber(QDate(year, month, day))); }

QString MonthTitle(int year, int month) { return MonthName(month, 0) + QStringLiteral("  ") + QString::number(year); }

std::vector<int> CalendarYears()
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QString::fromLatin1(kYearBounds));
    q.Open();
    const int newest = YearOf(q.FieldByName(QStringLiteral("maks")).AsTDateTime());
    const int oldest = YearOf(q.FieldByName(QStringLiteral("minim")).AsTDateTime());
    q.Close();
    std::vector<int> years;
    for (int y = newest; y >= oldest; --y)
        years.push_back(y);
    return years;
}

QColor SeasonColour(int month)
{
    switch (month) {
    case 12:
    case 1:
    case 2: return FromBgr(0xFFFFDB);
    case 3:
    case 4:
    case 5: return FromBgr(0xE0FFDE);
    case 6:
    case 7:
    case 8: return FromBgr(0xDBFFFA);
    case 9:
    case 10:
    case 11: return FromBgr(0x95DBFD);
    default: return QColor(Qt::white);
    }
}

DaySessions::DaySessions(Frame frame)
    : count_(std::make_unique<TIBQuery>(DM->TransBrowse)), track_(std::make_unique<TIBQuery>(DM->TransBrowse))
{
    count_->SetSQL(QString::fromLatin1(frame == Frame::Small ? kCountSmall : kCountLarge));
    track_->SetSQL(QString::fromLatin1(kTrackOfDay));
}

DaySessions::~DaySessions() = default;

int DaySessions::Count(TDateTime day)
{
    SetDayParams(*count_, day);
    count_->Open();
    const int n = count_->FieldByName(QStringLiteral("ile")).AsInteger();
    count_->Close();
    return n;
}

QString DaySessions::FirstTrack(TDateTime day)
{
    SetDayParams(*track_, day);
    track_->Open();
    const QString name = track_->Eof() ? QString() : track_->FieldByName(QStringLiteral("nazwa")).AsString();
    track_->Close();
    return name;
}

bool IsDayTicked(TDateTime day)
{
    MemTable& days = DM->memWybraneDni;
    return days.Active() && days.Find(QStringLiteral("dzien"), {day}) >= 0;
}

void SetDayTicked(TDateTime day, bool ticked)
{
    MemTable& days = DM->memWybraneDni;
    if (!days.Active())
        days.Open();
    const int row = days.Find(QStringLiteral("dzien"), {day});
    if (!ticked) {
        if (row >= 0) {
            days.SetRecNo(row);
            days.Delete();
        }
    } else if (row < 0) {
        days.Append();
        days.FieldByName(QStringLiteral("dzien")).SetAsDateTime(day);
        days.Post();
    }
}
