#include "analysis/uwyborZakresu.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/analysissession.h"
#include "analysis/choicelook.h"
#include "analysis/sessionchoice.h"
#include "analysis/uprocesBrowser.h"
#include "controls/ButtonComps.h"
#include "controls/artwork.h"
#include "platform/dialogs.h"
#include "platform/memtable.h"
#include "profiles/ulistakierowcow.h"
#include "profiles/ulistatorow.h"
#include "shell/common/stale.h"
#include "shell/data/cataloguenames.h"
#include "shell/data/ubazy.h"

namespace {

void Reopen(MemTable& t)
{
    t.Close();
    t.Open();
}

bool HasDays()
{
    const MemTable& days = DM->memWybraneDni;
    return days.Active() && !days.IsEmpty();
}

// One row of a catalogue table by id, for the name shown beside the choice.
// The user's short date with the year in four digits, so that a typed
// year is never read in the wrong century.
QString FourDigitYears(QString format)
{
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

}  // namespace

TfWyborZakresu::TfWyborZakresu(QWidget* parent) : QDialog(parent, platform::ToolWindowFlags())
{
    setWindowTitle(QStringLiteral("Select"));
    setFixedSize(292, 279);

    Label1 = new QLabel(QStringLiteral("Select the date for the analysis"), this);
    QFont heading = Label1->font();
    heading.setPixelSize(16);
    Label1->setFont(heading);

    GroupBox1 = new QGroupBox(QStringLiteral(" Date "), this);
    CheckBox1 = new QCheckBox(QStringLiteral(" Range "), GroupBox1);
    CheckBox1->setChecked(true);
    Label2 = new QLabel(QStringLiteral("Date from:"), GroupBox1);
    Label3 = new QLabel(QStringLiteral("Date to:"), GroupBox1);
    DateEdit1 = new QDateEdit(GroupBox1);
    DateEdit2 = new QDateEdit(GroupBox1);
    for (QDateEdit* e : {DateEdit1, DateEdit2}) {
        e->setCalendarPopup(true);
        e->setDisplayFormat(FourDigitYears(QLocale().dateFormat(QLocale::ShortFormat)));
        e->setAutoFillBackground(true);
    }
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit2->setObjectName(QStringLiteral("DateEdit2"));
    Button1 = new QPushButton(QStringLiteral("Wizard"), GroupBox1);
    auto* dateGrid = new QGridLayout(GroupBox1);
    dateGrid->setContentsMargins(10, 8, 10, 10);
    dateGrid->setHorizontalSpacing(10);
    dateGrid->setVerticalSpacing(7);
    dateGrid->addWidget(CheckBox1, 0, 0, 1, 2);
    dateGrid->addWidget(Label2, 1, 0);
    dateGrid->addWidget(DateEdit1, 1, 1);
    dateGrid->addWidget(Label3, 2, 0);
    dateGrid->addWidget(DateEdit2, 2, 1);
    dateGrid->addWidget(Button1, 3, 1);
    dateGrid->setColumnStretch(1, 1);

    Button2 = new QPushButton(QStringLiteral("Select drivers"), this);
    Button3 = new QPushButton(QStringLiteral("Select tracks"), this);
    // Enter presses none of them; the dialog's OK is a picture button.
    for (QPushButton* b : {Button1, Button2, Button3})
        b->setAutoDefault(false);
    auto* choosers = new QHBoxLayout;
    choosers->setSpacing(8);
    choosers->addWidget(Button2);
    choosers->addWidget(Button3);

    // The names of the last chosen driver and track; kept, never shown.
    Label4 = new QLabel(QStringLiteral("Driver"), this);
    Edit1 = new QLineEdit(this);
    Label5 = new QLabel(QStringLiteral("Track"), this);
    Edit2 = new QLineEdit(this);
    for (QWidget* w : {static_cast<QWidget*>(Label4), static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Label5),
                       static_cast<QWidget*>(Edit2)})
        w->hide();
    Edit1->setReadOnly(true);
    Edit2->setReadOnly(true);

    SpeedButton1 = choicelook::PictureButton(this, artwork::ButtonId::Ok, QStringLiteral("SpeedButton1"), QStringLiteral("OK"));
    SpeedButton2 = choicelook::PictureButton(this, artwork::ButtonId::Cancel, QStringLiteral("SpeedButton2"),
                                             QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(SpeedButton1);
    buttons->addWidget(SpeedButton2);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    layout->addWidget(Label1);
    layout->addWidget(GroupBox1);
    layout->addLayout(choosers);
    layout->addStretch();
    layout->addLayout(buttons);

    setDateEditsEnabled(true);
    connect(CheckBox1, &QCheckBox::toggled, this, &TfWyborZakresu::CheckBox1Change);
    connect(Button1, &QPushButton::clicked, this, &TfWyborZakresu::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfWyborZakresu::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfWyborZakresu::Button3Click);
    connect(SpeedButton1, &TImageButton::clicked, this, &TfWyborZakresu::SpeedButton1Click);
    connect(SpeedButton2, &TImageButton::clicked, this, &TfWyborZakresu::SpeedButton2Click);

    platform::CentreOnScreen(*this);
}

void TfWyborZakresu::SetDates(TDateTime from, TDateTime to)
{
    DateEdit1->setDate(FromTDateTime(from).date());
    DateEdit2->setDate(FromTDateTime(to).date());
}

TDateTime TfWyborZakresu::DateFrom() const { return TDateTime(DayNumber(DateEdit1->date())); }
TDateTime TfWyborZakresu::DateTo() const { return TDateTime(DayNumber(DateEdit2->date())); }

// Enabled edits take the edit colour of the program's look, disabled ones
// the button face, so a glance tells range mode from day mode.
void TfWyborZakresu::setDateEditsEnabled(bool enabled)
{
    for (QDateEdit* e : {DateEdit1, DateEdit2}) {
        e->setEnabled(enabled);
        QPalette p = e->palette();
        const QColor background = enabled ? palette().color(QPalette::Active, QPalette::Base)
                                          : palette().color(QPalette::Active, QPalette::Button);
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(group, QPalette::Base, background);
        e->setPalette(p);
    }
}

void TfWyborZakresu::CheckBox1Change(bool checked)
{
    if (checked)
        Reopen(DM->memWybraneDni);
    setDateEditsEnabled(checked);
}

void TfWyborZakresu::Button1Click()
{
    ShowCalendarWizard();
    if (HasDays()) {
        setDateEditsEnabled(false);
        CheckBox1->setChecked(false);
    } else {
        setDateEditsEnabled(true);
        CheckBox1->setChecked(true);
    }
}

// A chooser left by Cancel or its close box may still hold the rows ticked
// before: a cancelled choice leaves no filter at all, neither those rows
// nor an id chosen earlier.
void TfWyborZakresu::Button2Click()
{
    const int id = ChooseDriver(true);
    if (id < 0) {
        Reopen(DM->memWybraniKierowcy);
        driverId_ = 0;
        Edit1->clear();
    }
    if (id <= 0)
        return;
    driverId_ = id;
    Edit1->setText(DriverName(id));
}

void TfWyborZakresu::Button3Click()
{
    const int id = ChooseTrack(true);
    if (id < 0) {
        Reopen(DM->memwybraneTory);
        trackId_ = 0;
        Edit2->clear();
    }
    if (id <= 0)
        return;
    trackId_ = id;
    Edit2->setText(TrackName(id));
}

void TfWyborZakresu::SpeedButton1Click()
{
    if (!CheckBox1->isChecked() && !HasDays()) {
        platform::ShowMessage(QStringLiteral("Select days from wizard or change to range"));
        return;
    }
    accepted_ = true;
    accept();
}

void TfWyborZakresu::SpeedButton2Click()
{
    accepted_ = false;
    reject();
}

// Escape is the Cancel button; only the close box leaves the dialog
// accepted without OK.
void TfWyborZakresu::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        SpeedButton2Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool ChooseAnalysisRange(int& trackId, int& driverId, TDateTime& dateFrom, TDateTime& dateTo)
{
    TfWyborZakresu form;
    form.SetDates(dateFrom, dateTo);
    Reopen(DM->memWybraneDni);
    Reopen(DM->memWybraniKierowcy);
    Reopen(DM->memwybraneTory);
    platform::ExecModal(form);
    trackId = form.TrackId();
    driverId = form.DriverId();
    dateFrom = form.DateFrom();
    dateTo = form.DateTo();
    return form.Accepted();
}

bool AskAnalysisRange(AnalysisSession& session, int& trackId, int& driverId, TDateTime& dateFrom, TDateTime& dateTo)
{
    ProposedAnalysisRange(session, dateFrom, dateTo);
    if (!ChooseAnalysisRange(trackId, driverId, dateFrom, dateTo))
        return false;
    session.TemplateDateFrom = dateFrom;
    session.TemplateDateTo = dateTo;
    return true;
}
