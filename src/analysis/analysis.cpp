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
#include "platform/windowhost.h"

namespace {

// Holds the session as a child of its owner.
class SessionHolder : public QObject {
public:
    explicit SessionHolder(QObject* parent) : QObject(parent) {}
    AnalysisSession session;
};

}  // namespace

AnalysisSession& InstallAnalysis(AnalysisHooks& hooks, QObject& owner)
{
    AnalysisSession& session = (new SessionHolder(&owner))->session;
    AnalysisSession* s = &session;
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
    hooks.ShowSessionChart = [s] { ShowSessionChart(*s); };
    hooks.ShowLapComparison = [s] { ShowLapComparison(*s); };
    return session;
}
