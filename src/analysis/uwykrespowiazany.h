#pragma once
// Linked one-channel chart of the GPS trace window: one channel of the
// trace over its time, with a blue cursor point that follows the replay.
#include <QWidget>

class Chart;
class ChartSeries;
class MemTable;
class QLabel;

// The channels a linked chart shows.
enum class LinkedChannel { Rpm, Temp1, Temp2, GForce };

class TfwykresPowiazany : public QWidget {
    Q_OBJECT
public:
    explicit TfwykresPowiazany(QWidget* parent = nullptr);
    ~TfwykresPowiazany() override;

    // Caption, series and points of a channel from the trace window's table
    // (x = data, shown as its time text); the table must outlive the window.
    void LoadChannel(LinkedChannel channel, const MemTable& memdane);
    // Moves the cursor point: time in hundredths; the value read-out as
    // "%2.2f" when asFloat, else the value rounded.
    void ShowPoint(int time, bool asFloat, double value);

    int CursorTime() const { return time_; }
    double CursorValue() const { return value_; }
    // Where the cursor point was last drawn (widget pixels of the chart).
    QPoint CursorPixel() const { return pixel_; }

    Chart* Chart1 = nullptr;
    ChartSeries* Series1 = nullptr;
    ChartSeries* Series2 = nullptr;
    QLabel* StaticText1 = nullptr;  // lap time
    QLabel* StaticText2 = nullptr;  // value

private:
    void Chart1AfterDraw(QPainter& painter);

    int time_ = 0;
    double value_ = 0;
    QPoint pixel_{-1, -1};
    bool busy_ = false;
};
