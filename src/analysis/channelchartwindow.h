#pragma once
// What the two multi-channel chart windows (whole session, lap overlay)
// share: the chart with its fixed 0..1000 left axis, the silver column at
// the left with the six channel rows and the range labels of the left
// axis, the bottom panel with the time read-out, and the cursor line that
// follows the mouse over the plot.  Both are views of the analysis
// session: they draw its chosen channels over its tree.
#include <QWidget>

#include <QString>

#include <array>
#include <functional>
#include <vector>

#include "analysis/analysissession.h"

class Chart;
class ChartSeries;
class MemTable;
struct ChannelLine;
class QHBoxLayout;
class QLabel;
class QVBoxLayout;

class ChannelChartWindow : public QWidget, public SessionView {
    Q_OBJECT
public:
    ~ChannelChartWindow() override;

    AnalysisSession& Session() const { return session_; }
    // Rebuilds every series from memGPS, memMinMax and the session.
    virtual void LoadChart() = 0;

    Chart* Chart1 = nullptr;
    QWidget* Panel4 = nullptr;  // the silver column left of the chart
    QWidget* Panel2 = nullptr;  // the bottom panel

    // Channel rows, index = channel slot 1..6 (index 0 unused): caption
    // labels Label7..Label11, Label6 and value boxes StaticText4..9.
    std::array<QLabel*, 7> ChannelCaptions{};
    std::array<QLabel*, 7> ChannelValues{};

    // Range labels: top and bottom of RPM, Temp1, Temp2, Acc, V GPS.
    QLabel* Label13 = nullptr;  // RPM top
    QLabel* Label20 = nullptr;  // RPM bottom
    QLabel* Label5 = nullptr;   // Temp1 top
    QLabel* Label18 = nullptr;  // Temp1 bottom
    QLabel* Label12 = nullptr;  // Temp2 top
    QLabel* Label19 = nullptr;  // Temp2 bottom
    QLabel* Label14 = nullptr;  // Acc top
    QLabel* Label17 = nullptr;  // Acc bottom
    QLabel* Label16 = nullptr;  // V GPS top
    QLabel* Label15 = nullptr;  // V GPS bottom

    QLabel* st_czas = nullptr;  // "Time:" read-out

    // Cursor state: the x of the line on screen (-1: none), the mouse y
    // beside it, and the time last handed to the linked GPS view.
    int CursorX() const;
    int MouseY() const { return mouseY_; }
    int CursorTime() const { return cursorTime_; }

    // The cursor line and read-out for a mouse position over the chart
    // (what a mouse move does).
    void Chart1MouseMove(const QPoint& pos);

protected:
    ChannelChartWindow(AnalysisSession& session, QWidget* parent);

    // The session's samples are loaded again: the series let go of them
    // and are built anew; so are they for other channels.
    void SessionLoading() override;
    void SessionLoaded() override;
    void ChannelsChanged() override;
    void AnalysisClosed() override;
    // A window that closes is told no more.
    void closeEvent(QCloseEvent* event) override;

    AnalysisSession& session_;

    // The layout: an optional row above the middle (the lap strip), the
    // middle (Panel4 and the chart), the bottom panel.
    QVBoxLayout* Outer = nullptr;
    QHBoxLayout* BottomRow = nullptr;
    // A sunken, centred, bold read-out box and its caption in the bottom
    // panel.
    QLabel* AddReadOutBox(const QString& caption, int width);

    // Shows the rows of the chosen channels with their short captions and
    // hides the rest.
    void ShowChannelRows();
    // The chosen channels in slot order (slot 1 first).
    std::vector<QString> ChosenChannels() const;
    // A series for every line, in order, drawing the rows of memGPS.
    void AddChannelLines(const MemTable& memGPS, const std::vector<ChannelLine>& lines);
    // The read-out for the mouse inside the plot (after the line is drawn).
    virtual void ReadOut(const QPoint& pos) = 0;
    // Called after every rendering of the chart, before the range labels.
    virtual void AfterDraw(QPainter& painter);

    // The value box of a series' slot takes the stored value of point k.
    void ShowPointValue(const ChartSeries& series, int k);
    // For every series of this tag (or every series i for which belongs(i)
    // holds), in chart order: the nearest point to x sets the cursor time
    // and its slot's value box.
    void ShowValuesAt(int tag, double x);
    void ShowValuesAt(const std::function<bool(int)>& belongs, double x);

    int mouseY_ = 0;
    int cursorTime_ = 0;

private:
    void PlaceRangeLabels();
    bool labelsPending_ = false;
};

// A read-out box of the chart windows: sunken, centred, bold Verdana,
// black on light grey.
QLabel* ReadOutLabel(QWidget* parent);

// Closes a chart window with the child window of the main window it sits
// in, when it sits in one.
void CloseChartWindow(QWidget* window);

// Shows a chart window as a borderless child window of the main window,
// right of the session panel, over the whole height.
void ShowChartChild(QWidget* window);

// Opens a chart window of this class (created, loaded, shown right of the
// session panel), or brings the open one to the front without reloading.
// A load that fails frees the new window and reaches the caller.
bool ActivateChartChild(const char* className);
template <class Window>
void ShowStackedChart(AnalysisSession& session, const char* className)
{
    if (ActivateChartChild(className))
        return;
    auto* window = new Window(session);
    try {
        window->LoadChart();
    } catch (...) {
        delete window;
        throw;
    }
    ShowChartChild(window);
}
