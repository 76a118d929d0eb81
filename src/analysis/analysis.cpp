#include "analysis/analysis.h"

#include "analysis/upanelsesji.h"
#include "analysis/utemplate.h"
#include "analysis/uwykres.h"
#include "analysis/uwykrescale.h"
#include "analysis/uwykresczasyMDI.h"
#include "analysis/uwykreslaptolap.h"
#include "analysis/uwykresmdilapy.h"
#include "platform/windowhost.h"

void InstallAnalysis(AnalysisHooks& hooks)
{
    hooks.ChooseSessions = [] { return ChooseSessions(); };
    hooks.ShowSessionPanel = [] { ShowSessionPanel(); };
    hooks.EnsureSessionPanel = [] { EnsureSessionPanel(); };
    hooks.OpenChart = [](const QString& className) {
        if (className == QLatin1String(WholeSessionChartClass))
            ShowWholeSessionChart();
        else if (className == QLatin1String(LapsChartClass))
            ShowLapsChart();
        else if (className == QLatin1String(LapTimeDiagramClass))
            ShowLapTimeDiagram();
    };
    hooks.ReloadChart = [](const QString& className) {
        WindowHost* host = platform::Host();
        QWidget* open = host ? host->MDIChild(className) : nullptr;
        if (auto* chart = qobject_cast<Tfwykrescale*>(open))
            chart->LoadChart();
        else if (auto* laps = qobject_cast<Tfwykresmdilapy*>(open))
            laps->LoadChart();
        else if (auto* diagram = qobject_cast<TfwykresCzasy*>(open))
            diagram->LoadChart();
    };
    hooks.SessionPanelWidth = [] { return SessionPanelWidth(); };
    hooks.ShowSessionChart = [] { ShowSessionChart(); };
    hooks.ShowLapComparison = [] { ShowLapComparison(); };
}
