#pragma once
// Linked one-channel chart of the GPS trace window: one channel of the
// trace over its time, with a cursor point that follows the replay.
#include <QWidget>

class MemTable;

// The channels a linked chart shows.
enum class LinkedChannel { Rpm, Temp1, Temp2, GForce };

class TfwykresPowiazany : public QWidget {
    Q_OBJECT
public:
    explicit TfwykresPowiazany(QWidget* parent = nullptr);
    ~TfwykresPowiazany() override;

    // Caption, series and points of a channel from the trace window's table
    // (x = data, label = datas).
    void LoadChannel(LinkedChannel channel, const MemTable& memdane);
    // Moves the cursor point: time in hundredths; the value read-out as
    // "%2.2f" when asFloat, else the value rounded.
    void ShowPoint(int time, bool asFloat, double value);

    int CursorTime() const { return time_; }
    double CursorValue() const { return value_; }

private:
    int time_ = 0;
    double value_ = 0;
};
