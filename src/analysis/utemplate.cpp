#include "analysis/utemplate.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "analysis/choicelook.h"
#include "analysis/uwyborZakresu.h"
#include "analysis/uwykresGPS.h"
#include "controls/ButtonComps.h"
#include "platform/dbgrid.h"
#include "platform/dialogs.h"
#include "profiles/unowycarSet.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"


TfTemplate::TfTemplate(QWidget* parent)
    : QDialog(parent), memdane(QStringLiteral("memdane"), TemplateFields(), this), qnag(DM->TransBrowse)
{
    setWindowTitle(QStringLiteral("Template"));
    memdane.Open();
    const choicelook::ChooserParts parts = choicelook::BuildChooser(*this, memdane, QColor(0x00, 0xff, 0x00));
    Panel1 = parts.top;
    RxDBGrid1 = parts.grid;
    Panel2 = parts.bottom;
    SpeedButton1 = parts.ok;
    SpeedButton2 = parts.cancel;
    QBoxLayout* top = parts.topContent;
    Button1 = choicelook::PanelButton(QStringLiteral("GPS"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = choicelook::PanelButton(QStringLiteral("Vehicle settings"), Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Label1 = new QLabel(QStringLiteral("Select the sessions for analysis"), Panel1);
    QFont heading = Label1->font();
    heading.setPixelSize(19);
    Label1->setFont(heading);
    Label1->setStyleSheet(QStringLiteral("color: white;"));
    top->addWidget(Button1);
    top->addWidget(Button2);
    top->addSpacing(16);
    top->addWidget(Label1);
    top->addStretch();

    RxDBGrid1->SetTag2TicksCleared(false);  // the GPS column ticks the sessions with GPS
    RxDBGrid1->SetColumns({
        {QStringLiteral("wybrane"), QStringLiteral("sel."), 40},
        {QStringLiteral("jestGPS"), QStringLiteral("GPS"), 40},
        {QStringLiteral("data"), QString(), 177},
        {QStringLiteral("nr_sesji"), QStringLiteral("session"), 65},
        {QStringLiteral("tor"), QStringLiteral("track"), 157},
        {QStringLiteral("Kierowca"), QStringLiteral("driver"), 213},
        {QStringLiteral("ilosc_okr"), QStringLiteral("laps"), 58},
        {QStringLiteral("najlepszeokr"), QStringLiteral("best lap"), 62},
        {QStringLiteral("najlepszyczas"), QStringLiteral("best lap time"), 107},
        {QStringLiteral("S1"), QStringLiteral("best s1"), 93},
        {QStringLiteral("S2"), QStringLiteral("best s2"), 93},
        {QStringLiteral("S3"), QStringLiteral("best s3"), 93},
        {QStringLiteral("S4"), QStringLiteral("best s4"), 93},
        {QStringLiteral("S5"), QStringLiteral("best s5"), 93},
    });
    connect(RxDBGrid1, &DBGrid::CellClick, this, &TfTemplate::RxDBGrid1CellClick);
    connect(RxDBGrid1, &DBGrid::TitleClick, this, &TfTemplate::RxDBGrid1TitleClick);

    connect(Button1, &QPushButton::clicked, this, &TfTemplate::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfTemplate::Button2Click);
    connect(SpeedButton1, &TImageButton::clicked, this, &TfTemplate::SpeedButton1Click);
    connect(SpeedButton2, &TImageButton::clicked, this, &TfTemplate::SpeedButton2Click);

    platform::CentreOnScreen(*this);
}

TfTemplate::~TfTemplate() = default;

void TfTemplate::FillSessions()
{
    platform::HourGlass busy;
    FillTemplateSessions(qnag, memdane, [] { QCoreApplication::processEvents(); });
}

void TfTemplate::SpeedButton1Click()
{
    result_ = 1;
    StoreTickedSessions(memdane, QStringLiteral("id_nag"));
    accept();
}

void TfTemplate::SpeedButton2Click()
{
    result_ = 0;
    reject();
}

void TfTemplate::Button1Click()
{
    const int id = memdane.IsEmpty() ? 0 : memdane.FieldByName(QStringLiteral("id_nag")).AsInteger();
    if (id > 0) {
        const QString field = RxDBGrid1->CurrentField();
        const bool bestLapColumn = field.compare(QStringLiteral("najlepszeokr"), Qt::CaseInsensitive) == 0;
        ShowGps(id, bestLapColumn ? memdane.FieldByName(QStringLiteral("najlepszeokr")).AsInteger() : 0);
    }
    RxDBGrid1->setFocus();
}

void TfTemplate::Button2Click()
{
    if (memdane.IsEmpty())
        return;
    const int id = memdane.FieldByName(QStringLiteral("id_nag")).AsInteger();
    if (id >= 1)
        ShowSessionSetup(id);
}

void TfTemplate::RxDBGrid1CellClick(int row, const QString& field) { ToggleTick(memdane, row, field); }

void TfTemplate::RxDBGrid1TitleClick(const QString& field)
{
    sort_.Click(memdane, field);
    RxDBGrid1->SetSortMarker(sort_.Field(), sort_.Ascending());
}

// ------------------------------------------------------------ entry points

namespace {

int ShowTemplate(const std::function<void(TIBQuery&)>& buildQuery)
{
    TfTemplate form;
    buildQuery(form.qnag);
    form.FillSessions();
    platform::ExecModal(form);
    return form.Result();
}

}  // namespace

int ShowTemplateByRange(TDateTime DS, TDateTime DE)
{
    return ShowTemplate([&](TIBQuery& q) { BuildTemplateRangeQuery(q, DS, DE); });
}

int ShowTemplateByDays()
{
    return ShowTemplate([](TIBQuery& q) { BuildTemplateDayQuery(q); });
}

int ChooseSessions(AnalysisSession& session)
{
    TDateTime from = 0, to = 0;
    int trackId = 0, driverId = 0;
    if (!AskAnalysisRange(session, trackId, driverId, from, to))
        return 0;
    const MemTable& days = DM->memWybraneDni;
    if (days.Active() && !days.IsEmpty())
        return ShowTemplateByDays();
    return ShowTemplateByRange(from, to + 1);
}
