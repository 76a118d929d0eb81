#pragma once
// GPS trace window: the driven line of a session or lap, replayed with a
// scroll bar, with linked one-channel charts.
#include <QWidget>

class TfwykresGPS : public QWidget {
    Q_OBJECT
public:
    explicit TfwykresGPS(QWidget* parent = nullptr);
    ~TfwykresGPS() override;

};

// The open window; null when none is open.
extern TfwykresGPS* fwykresGPS;

// Opens the window modally for a session and a lap (0 = the whole session).
void ShowGps(int sessionId, int lap);
