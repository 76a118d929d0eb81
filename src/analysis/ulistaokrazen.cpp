#include "analysis/ulistaokrazen.h"

#include <QApplication>
#include <QBoxLayout>
#include <QPushButton>

#include "analysis/choicelook.h"
#include "analysis/sessionchoice.h"
#include "analysis/uwyborZakresu.h"
#include "analysis/uwykresGPS.h"
#include "controls/ButtonComps.h"
#include "platform/dbgrid.h"
#include "platform/dialogs.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

namespace {

const QColor kSessionColour(0xff, 0xff, 0x00);  // yellow
const QColor kLapColour(0x00, 0xff, 0x00);      // lime

}  // namespace

TfListaOkrazen::TfListaOkrazen(QWidget* parent)
    : QDialog(parent), memdane(QStringLiteral("memdane"), LapChooserFields(), this), qnag(DM->TransBrowse)
{
    setWindowTitle(QStringLiteral("Sessions"));
    memdane.Open();
    const choicelook::ChooserParts parts = choicelook::BuildChooser(*this, memdane, Qt::white);
    Panel1 = parts.top;
    RxDBGrid1 = parts.grid;
    Panel2 = parts.bottom;
    SpeedButton1 = parts.ok;
    SpeedButton2 = parts.cancel;
    QBoxLayout* top = parts.topContent;
    Button1 = choicelook::PanelButton(QStringLiteral("GPS"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    top->addWidget(Button1);
    top->addStretch();

    RxDBGrid1->SetColumns({
        {QStringLiteral("wybrane"), QStringLiteral("Select"), 58},
        {QStringLiteral("Kierowca"), QStringLiteral("Lap"), 279},
        {QStringLiteral("Pole1"), QStringLiteral("Time Lap "), 199},
        {QStringLiteral("S1"), QStringLiteral("Strip 1"), 112},
        {QStringLiteral("S2"), QStringLiteral("Strip 2"), 106},
        {QStringLiteral("S3"), QStringLiteral("Strip 3"), 114},
        {QStringLiteral("S4"), QStringLiteral("Strip 4"), 116},
        {QStringLiteral("S5"), QStringLiteral("Strip 5"), 124},
    });
    // Session rows in yellow, lap rows in lime, anything else white; only
    // session rows carry a tick.
    const int type = memdane.FieldIndex(QStringLiteral("typ_rekordu"));
    RxDBGrid1->GetCellParams = [this, type](int row, const QString&, QColor& text, QFont& font) {
        const QString kind = memdane.StringAt(row, type);
        if (kind == QLatin1String("1"))
            text = kSessionColour;
        else if (kind == QLatin1String("2"))
            text = kLapColour;
        else {
            text = Qt::white;
            font.setBold(false);
            font.setItalic(false);
        }
    };
    RxDBGrid1->ShowCheck = [this](int row, const QString&) { return isSessionRow(row); };
    connect(RxDBGrid1, &DBGrid::CellClick, this, &TfListaOkrazen::RxDBGrid1CellClick);

    connect(Button1, &QPushButton::clicked, this, &TfListaOkrazen::Button1Click);
    connect(SpeedButton1, &TImageButton::clicked, this, &TfListaOkrazen::SpeedButton1Click);
    connect(SpeedButton2, &TImageButton::clicked, this, &TfListaOkrazen::SpeedButton2Click);

    platform::CentreOnScreen(*this);
}

TfListaOkrazen::~TfListaOkrazen() = default;

bool TfListaOkrazen::isSessionRow(int row) const
{
    return memdane.StringAt(row, memdane.FieldIndex(QStringLiteral("typ_rekordu"))) == QLatin1String("1");
}

void TfListaOkrazen::FillSessions()
{
    platform::HourGlass busy;
    FillLapChooser(qnag, memdane, [] { QCoreApplication::processEvents(); });
}

void TfListaOkrazen::SpeedButton1Click()
{
    result_ = memdane.IsEmpty() ? 0 : memdane.FieldByName(QStringLiteral("id_naglowka")).AsInteger();
    StoreTickedSessions(memdane, QStringLiteral("id_naglowka"));
    accept();
}

void TfListaOkrazen::SpeedButton2Click()
{
    result_ = 0;
    reject();
}

void TfListaOkrazen::Button1Click()
{
    if (!memdane.IsEmpty()) {
        const int id = memdane.FieldByName(QStringLiteral("id_naglowka")).AsInteger();
        if (id > 0) {
            const bool lapRow = memdane.FieldByName(QStringLiteral("typ_rekordu")).AsString() == QLatin1String("2");
            ShowGps(id, lapRow ? memdane.FieldByName(QStringLiteral("id_okrazenia")).AsInteger() : 0);
        }
    }
    RxDBGrid1->setFocus();
}

void TfListaOkrazen::RxDBGrid1CellClick(int row, const QString& field)
{
    if (row >= 0 && row < memdane.RecordCount() && isSessionRow(row))
        ToggleTick(memdane, row, field);
}

int ShowLapChooser(int trackId, int driverId, TDateTime DS, TDateTime DE)
{
    TfListaOkrazen form;
    BuildLapChooserQuery(form.qnag, trackId, driverId, DS, DE);
    form.FillSessions();
    platform::ExecModal(form);
    return form.Result();
}

int ChooseSessionsAndLaps(AnalysisSession& session)
{
    TDateTime from = 0, to = 0;
    int trackId = 0, driverId = 0;
    if (!AskAnalysisRange(session, trackId, driverId, from, to))
        return 0;
    return ShowLapChooser(trackId, driverId, from, to + 1);
}
