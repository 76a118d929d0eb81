#pragma once
// A small month frame of the calendar's year view: every day with its
// number, the number of sessions recorded on it and a tick box.
#include "analysis/monthframe.h"

class TfMiesiac : public MonthFrame {
    Q_OBJECT
public:
    explicit TfMiesiac(QWidget* parent = nullptr);

    // Tags of the day panel controls beside the day number and the tick box.
    static constexpr int kCountTag = 2;

protected:
    void BuildDayPanel(QFrame* panel) override;
};
