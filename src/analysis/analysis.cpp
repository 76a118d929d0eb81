#include "analysis/analysis.h"

#include "analysis/upanelsesji.h"
#include "analysis/utemplate.h"
#include "analysis/uwykres.h"
#include "analysis/uwykrescale.h"
#include "analysis/uwykresczasyMDI.h"
#include "analysis/uwykreslaptolap.h"
#include "analysis/uwykresmdilapy.h"
#include "shell/umain.h"

void InstallAnalysis(TForm1& form)
{
    AnalysisHooks& hooks = form.Analysis;
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
    TForm1* main = &form;
    hooks.ReloadChart = [main](const QString& className) {
        QWidget* open = main->MDIChild(className);
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
