#include "analysis/analysis.h"

#include <QObject>

#include "analysis/analysissession.h"
#include "analysis/upanelsesji.h"
#include "analysis/utemplate.h"
#include "analysis/uwykres.h"
#include "analysis/uwykrescale.h"
#include "analysis/uwykresczasyMDI.h"
#include "analysis/uwykreslaptolap.h"
#include "analysis/uwykresmdilapy.h"
#include "shell/umain.h"

namespace {

// Holds the session as a child of the main window, made after its
// child-window area: the windows shown in that area are freed before the
// session they show.
class SessionHolder : public QObject {
public:
    explicit SessionHolder(QObject* parent) : QObject(parent) {}
    AnalysisSession session;
};

}  // namespace

AnalysisSession& InstallAnalysis(TForm1& form)
{
    AnalysisSession& session = (new SessionHolder(&form))->session;
    AnalysisSession* s = &session;
    AnalysisHooks& hooks = form.Analysis;
    hooks.ChooseSessions = [s] { return ChooseSessions(*s); };
    hooks.ShowSessionPanel = [s] { ShowSessionPanel(*s); };
    hooks.EnsureSessionPanel = [s] { EnsureSessionPanel(*s); };
    hooks.OpenChart = [s](const QString& className) {
        if (className == QLatin1String(WholeSessionChartClass))
            ShowWholeSessionChart(*s);
        else if (className == QLatin1String(LapsChartClass))
            ShowLapsChart(*s);
        else if (className == QLatin1String(LapTimeDiagramClass))
            ShowLapTimeDiagram(*s);
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
    hooks.ShowSessionChart = [s] { ShowSessionChart(*s); };
    hooks.ShowLapComparison = [s] { ShowLapComparison(*s); };
    return session;
}
