#pragma once
// GPS view linked to the chart cursors: a stay-on-top window owned by the
// application, hidden (not freed) when closed.
#include <QSize>
#include <QString>
#include <QWidget>

class AnalysisSession;

#include "platform/memtable.h"

class GpsMapCanvas;
class QLabel;
class QScrollBar;
class QTimer;

class Tfgpspowiazany : public QWidget {
    Q_OBJECT
public:
    // The session's lap table gives the start of a lap drawn.
    explicit Tfgpspowiazany(const AnalysisSession& session, QWidget* parent = nullptr);
    ~Tfgpspowiazany() override;
    // Draws the line of a session (lap 0) or of one lap from memGPS; false
    // while another draw runs or when no point has a fix.
    bool GpsDraw(int sessionId, int lap, const QString& caption);
    // Moves the marker to the sample at a session time, switching the lap
    // shown when needed, and draws the acceleration arrow.
    void GpsCursor(int time, int lap, int sessionId);
    // Moves the marker to the sample at a time, without arrow.
    void GpsCursorAt(int time);
    // Redraw after a resize only while allowed.
    void SetResizeAllowed(bool allowed);

    // Replay step of the scroll bar, and the redraw at the present size.
    void ScrollBar1Change();
    void Button1Click();

    int ShownSession() const { return shownId_; }
    int ShownLap() const { return shownLap_; }
    const QString& ShownCaption() const { return caption_; }
    bool ResizeAllowed() const { return resizeAllowed_; }

    MemTable memdane;
    QWidget* mapPanel = nullptr;
    GpsMapCanvas* paintbox1 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QLabel* RpmValue = nullptr;
    QLabel* TimeValue = nullptr;
    QLabel* Temp1Value = nullptr;
    QLabel* Temp2Value = nullptr;
    QLabel* GfxValue = nullptr;
    QLabel* GfyValue = nullptr;
    QTimer* timerresize = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    const AnalysisSession& session_;
    // Read-outs and marker of a row; the arrow only when asked.
    void ShowRow(int row, bool arrow);

    int shownId_ = 0;
    int shownLap_ = 0;
    QString caption_;
    QSize drawnSize_;
    bool busy_ = false;
    bool resizeAllowed_ = false;
};
