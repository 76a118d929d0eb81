#pragma once
// Session choice without widgets: the proposed analysis range, the query
// texts of the Template chooser and of the session and lap chooser, the
// filling of their grid tables (best lap, best sectors, laps with sector
// times), the title-click sort and the hand-over of the ticked sessions to
// the data module's memWybraneSesje.
//
// Everything reads through the data module's read transaction; database
// errors reach the caller as DatabaseError.
#include <QString>

#include <functional>
#include <vector>

#include "platform/memtable.h"
#include "platform/tdatetime.h"

class AnalysisSession;
class TIBQuery;

// ------------------------------------------------------------ the range

// The range the range dialog opens with: the session's remembered
// TemplateDateFrom / TemplateDateTo, or, when both are still 0, the last
// seven days up to today (midnight).
void ProposedAnalysisRange(const AnalysisSession& session, TDateTime& from, TDateTime& to);

// ------------------------------------------------------ Template chooser

// Fields of the Template chooser's grid table, in order.
std::vector<FieldDef> TemplateFields();

// The session query of a range: sessions that start on or after from and
// end before endExclusive, with the track and driver filters of
// DM->memwybraneTory and DM->memWybraniKierowcy.  Sets text and parameters.
void BuildTemplateRangeQuery(TIBQuery& qnag, TDateTime from, TDateTime endExclusive);
// The session query of the days ticked in DM->memWybraneDni (the date part
// of the session's start is one of them), with the same filters.  The
// caller makes sure the table holds at least one day.
void BuildTemplateDayQuery(TIBQuery& qnag);

// Empties memdane and fills it from qnag (text and parameters set): one row
// per session with its best lap and best sector times; sessions that are in
// DM->memWybraneSesje come up ticked.  pump runs before each session (to let
// the window system breathe during long fills).
void FillTemplateSessions(TIBQuery& qnag, MemTable& memdane, const std::function<void()>& pump = {});

// -------------------------------------------------- session and lap chooser

// Fields of the session and lap chooser's grid table, in order.
std::vector<FieldDef> LapChooserFields();

// The session query of the lap chooser: sessions of DS..DE (exclusive end),
// filtered by one track and one driver when their ids are above 0.
void BuildLapChooserQuery(TIBQuery& qnag, int trackId, int driverId, TDateTime ds, TDateTime de);

// Empties memdane and fills it from qnag: a session row ("1") followed by
// one row per lap ("2") with the lap's and its sectors' times.
void FillLapChooser(TIBQuery& qnag, MemTable& memdane, const std::function<void()>& pump = {});

// Date and time as the lists show them: the short date and the long time,
// the time left out at exactly midnight.
QString ListDateTimeText(TDateTime value);

// ------------------------------------------------------------- shared

// A click on a cell: inverts the row's field when its tag is 1 (the tick
// column).  False when nothing changed.
bool ToggleTick(MemTable& table, int row, const QString& field);

// Replaces DM->memWybraneSesje (emptied and reopened) with the idField of
// every row of source whose "wybrane" is set, in table order.
void StoreTickedSessions(MemTable& source, const QString& idField);

// The sort of a grid by title clicks: a column other than the last sorted
// one sorts ascending, the same column again reverses the direction; texts
// compare without case.
class TitleSort {
public:
    void Click(MemTable& table, const QString& field);
    const QString& Field() const { return field_; }
    bool Ascending() const { return ascending_; }

private:
    QString field_;
    bool ascending_ = true;
};
