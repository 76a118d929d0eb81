#pragma once
// What the main window knows of the session analysis: the class names of
// the three chart windows it stacks and toggles, and the calls it makes
// into the analysis, filled in by InstallAnalysis (analysis/analysis.h).
#include <QString>

#include <functional>

// Class names of the three chart windows of the analysis, in the order in
// which the main window stacks them from the top.
inline constexpr char WholeSessionChartClass[] = "Tfwykrescale";
inline constexpr char LapsChartClass[] = "Tfwykresmdilapy";
inline constexpr char LapTimeDiagramClass[] = "TfwykresCzasy";

// The calls the main window makes into the session analysis.  Empty hooks
// do nothing: ChooseSessions then returns 0 (nothing chosen) and the
// session panel's width is 0.
struct AnalysisHooks {
    // Session choice; a result below 1 means nothing was chosen.
    std::function<int()> ChooseSessions;
    // Opens the session panel (width 405), reloading an open one.
    std::function<void()> ShowSessionPanel;
    // Opens the session panel (width 360) unless it is open; never reloads.
    std::function<void()> EnsureSessionPanel;
    // Opens the chart window of a class (WholeSessionChartClass: the
    // whole-session chart, LapsChartClass: the lap overlay,
    // LapTimeDiagramClass: the lap time diagram).
    std::function<void(const QString& className)> OpenChart;
    // Reloads the open chart window of a class (its LoadChart).
    std::function<void(const QString& className)> ReloadChart;
    // Width of the session panel; the chart windows are placed right of it.
    std::function<int()> SessionPanelWidth;
    // The Sessions chart and the lap comparison (two hidden buttons).
    std::function<void()> ShowSessionChart;
    std::function<void()> ShowLapComparison;
};
