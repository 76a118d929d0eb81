#pragma once
// The large month frame of the calendar's month view: every day with its
// number, the number of sessions, the track first driven on it and a tick
// box.
#include "analysis/monthframe.h"

class Tfmiesiacduzy : public MonthFrame {
    Q_OBJECT
public:
    explicit Tfmiesiacduzy(QWidget* parent = nullptr);

    // Tags of the day panel controls beside the day number and the tick box.
    static constexpr int kTrackTag = 2;
    static constexpr int kCountTag = 3;

protected:
    void BuildDayPanel(QFrame* panel) override;
};
