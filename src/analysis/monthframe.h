#pragma once
// What the calendar's two month frames share: a title, a header row of the
// seven weekdays and 42 day panels "P1" .. "P42" (six weeks of seven days,
// Monday first), each panel holding its controls told apart by their Tag
// (day number 1, count or track 2, count 3, tick box 4).  The frame paints no
// background of its own, so the season colour behind it shows through.
#include <QFrame>
#include <QWidget>

#include <array>
#include <memory>

#include "analysis/calendar.h"

class QCheckBox;
class QLabel;

// A day panel: a light card over the frame's background.
class DayPanel : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class MonthFrame : public QWidget {
    Q_OBJECT
public:
    ~MonthFrame() override;

    // Builds the frame for a month: title, which panels show which day,
    // the sessions of every day and its tick from DM->memWybraneDni.
    void ShowMonth(int year, int month);
    // Sets every shown day's tick box from DM->memWybraneDni, without
    // counting again.
    void SyncTicks();
    // The date of a day of the frame's month at 00:00:00.000.
    TDateTime DayDate(int day) const;
    // The first child of panel, in the panel's control order, whose Tag is
    // tag; null when there is none.
    static QWidget* ChildByTag(int tag, QWidget* panel);
    // The Tag of a control (0 when it has none).
    static int Tag(const QObject* control);

    QLabel* Title() const { return title_; }
    // Day panel i = 1..42.
    QFrame* Panel(int i) const { return panels_[size_t(i - 1)]; }
    quint16 Year() const { return year_; }
    quint16 Month() const { return month_; }

    // The Tags of a frame's panel controls.
    static constexpr int kDayTag = 1;
    static constexpr int kTickTag = 4;

protected:
    struct Look {
        QSize frame;
        QSize panel;
        int titleHeight;
        int titlePixels;   // title font size
        int headerHeight;  // weekday row
        int headerPixels;
        int countTag;      // 2 small frame, 3 large frame
        int trackTag;      // 0: no track label
        DaySessions::Frame statements;
    };
    MonthFrame(const Look& look, QWidget* parent);
    // Called once per panel while the frame is built: creates the panel's
    // tagged controls.
    virtual void BuildDayPanel(QFrame* panel) = 0;
    static void SetTag(QObject* control, int tag);
    // Creates title, weekday row and panels; the derived frame's constructor
    // calls it once.
    void Build();

private:
    void tickClicked(QCheckBox* box, bool checked);
    QCheckBox* tickBox(QFrame* panel) const;

    Look look_;
    QLabel* title_ = nullptr;
    std::array<QFrame*, kDayPanels> panels_{};
    std::unique_ptr<DaySessions> sessions_;
    quint16 year_ = 0;
    quint16 month_ = 0;
};
