#pragma once
// GPS trace window: the driven line of a session or lap, replayed with a
// scroll bar, with linked one-channel charts.
#include <QDialog>
#include <QPointer>

#include <array>

#include "analysis/gpsmap.h"
#include "analysis/uwykrespowiazany.h"
#include "platform/memtable.h"

class GpsMapCanvas;
class QLabel;
class QPushButton;
class QScrollBar;
class QTimer;

class TfwykresGPS : public QDialog {
    Q_OBJECT
public:
    explicit TfwykresGPS(QWidget* parent = nullptr);
    ~TfwykresGPS() override;

    // Session and lap (0 = the whole session) to load; set before LoadTrace.
    int idNag = 0;
    int lap = 0;

    // Loads the samples with a fix, draws the map, sets the scroll bar and
    // the extent labels and marks the first fix.  False (after the message
    // "There is no data from GPS") when the session or lap has no fix.
    // Database errors reach the caller.
    bool LoadTrace();
    // One replay step for the scroll bar's position.
    void ScrollBar1Change();
    // Open or bring forward the linked RPM, Temp 1, Temp 2 and GForce charts.
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton4Click();
    void SpeedButton3Click();

    // The linked chart window of a channel; null until opened.
    TfwykresPowiazany* Linked(LinkedChannel channel) const { return linked_[int(channel)]; }

    MemTable memdane;
    GpsMapCanvas* paintbox1 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QLabel* RpmValue = nullptr;
    QLabel* LapTimeValue = nullptr;
    QLabel* Temp1Value = nullptr;
    QLabel* Temp2Value = nullptr;
    QLabel* GForceXValue = nullptr;
    QLabel* GForceYValue = nullptr;
    QLabel* UpperExtent = nullptr;
    QLabel* LowerExtent = nullptr;
    QWidget* Panel4 = nullptr;  // the g-dot
    QPushButton* SpeedButton1 = nullptr;
    QPushButton* SpeedButton2 = nullptr;
    QPushButton* SpeedButton3 = nullptr;
    QPushButton* SpeedButton4 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void Timer1Timer();
    void FormClose();
    void OpenLinked(LinkedChannel channel);
    // Moves a linked chart's cursor point to a row (gx: its acceleration X in g).
    void ShowLinkedPoint(LinkedChannel channel, int row, double gx);
    int penWidth() const { return lap >= 1 ? 2 : 1; }

    std::array<QPointer<TfwykresPowiazany>, 4> linked_;
    bool closed_ = false;
};

// The open window; null when none is open.
extern TfwykresGPS* fwykresGPS;

// Opens the window modally for a session and a lap (0 = the whole session).
void ShowGps(int sessionId, int lap);
