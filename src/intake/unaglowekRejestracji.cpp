// "Rejestracje": the session header form.
#include "intake/unaglowekRejestracji.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include "controls/ButtonComps.h"
#include "controls/MathCtrl.h"
#include "controls/artwork.h"
#include "controls/fieldcheck.h"
#include "intake/headerstore.h"
#include "platform/dialogs.h"
#include "profiles/setupcolumns.h"
#include "profiles/ulistakierowcow.h"
#include "profiles/ulistapojazdow.h"
#include "profiles/ulistatorow.h"
#include "profiles/unowycarSet.h"
#include "shell/common/stale.h"

namespace {

static_assert(kSetupColumnCount == TfNaglowekRejestracji::kSetupCount);


QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

TImageButton* MakeImageButton(QWidget* parent, const QString& name, artwork::ButtonId id, const QPoint& at,
                              const QString& hint)
{
    auto* button = new TImageButton(parent);
    button->setObjectName(name);
    artwork::SetButtonPictures(*button, id);
    button->move(at);
    button->setToolTip(hint);
    return button;
}

void MakeBold(QLabel* label)
{
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
}

// Geometry of the set-up grids: three columns of caption and edit per group.
constexpr int kGroupWidth = 718;
constexpr int kCellLeft = 8;
constexpr int kCellWidth = 236;
constexpr int kEditWidth = 54;
constexpr int kEditHeight = 22;
struct GridGeometry {
    int captionWidth;
    int rowHeight;
};
constexpr GridGeometry kChassisGrid{174, 28};
constexpr GridGeometry kEngineGrid{120, 25};

}  // namespace

TfNaglowekRejestracji::TfNaglowekRejestracji(const QString& serial, const SessionHeaderRecord& header,
                                             int driverId, int trackId, QWidget* parent)
    : QDialog(parent, platform::ToolWindowFlags()),
      serial_(serial),
      header_(header),
      driverId_(driverId),
      trackId_(trackId)
{
    setWindowTitle(QStringLiteral("Rejestracje"));
    setFixedSize(734, 537);
    BuildControls();

    Label34->setText(serial_);
    Label38->setText(header_.DriverText());
    Label37->setText(header_.TrackText());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, &TfNaglowekRejestracji::Timer1Timer);

    platform::CentreOnScreen(*this);
}

TfNaglowekRejestracji::~TfNaglowekRejestracji() = default;

void TfNaglowekRejestracji::BuildControls()
{
    // Session: the logger and the end of the recording.
    Label33 = MakeLabel(this, QStringLiteral("Label33"), QStringLiteral("KROM serial no"), {16, 12, 110, 20});
    Label34 = MakeLabel(this, QStringLiteral("Label34"), QString(), {130, 12, 260, 20});
    MakeBold(Label34);
    Label35 = MakeLabel(this, QStringLiteral("Label35"), QStringLiteral("Date:"), {16, 36, 110, 20});
    Label36 = MakeLabel(this, QStringLiteral("Label36"), QStringLiteral("..."), {130, 36, 260, 20});
    MakeBold(Label36);

    // Driver and track, with the texts the logger itself recorded beside them.
    Label1 = MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("Driver:"), {16, 68, 60, 20});
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(80, 66, 220, 24);
    Edit1->setReadOnly(true);
    Button1 = MakeButton(this, QStringLiteral("Button1"), QStringLiteral("Change"), {306, 65, 76, 26});
    Label38 = MakeLabel(this, QStringLiteral("Label38"), QString(), {392, 68, 120, 20});

    Label2 = MakeLabel(this, QStringLiteral("Label2"), QStringLiteral("Track:"), {16, 98, 60, 20});
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(80, 96, 220, 24);
    Edit2->setReadOnly(true);
    Button2 = MakeButton(this, QStringLiteral("Button2"), QStringLiteral("Change"), {306, 95, 76, 26});
    Label37 = MakeLabel(this, QStringLiteral("Label37"), QString(), {392, 98, 120, 20});
    for (QLabel* logged : {Label38, Label37}) {
        QPalette p = logged->palette();
        p.setColor(QPalette::WindowText, p.color(QPalette::PlaceholderText));
        logged->setPalette(p);
    }

    // Conditions, stored with the header; the two boxes of a pair exclude
    // each other (neither ticked is allowed).
    GroupBox3 = new QGroupBox(QStringLiteral(" Weather "), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setGeometry(520, 54, 98, 70);
    CheckBox1 = new QCheckBox(QStringLiteral("Wet"), GroupBox3);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(12, 22, 80, 20);
    CheckBox2 = new QCheckBox(QStringLiteral("Dry"), GroupBox3);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setGeometry(12, 44, 80, 20);
    GroupBox4 = new QGroupBox(QStringLiteral(" Track status "), this);
    GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
    GroupBox4->setGeometry(626, 54, 100, 70);
    CheckBox3 = new QCheckBox(QStringLiteral("Dirty"), GroupBox4);
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    CheckBox3->setGeometry(12, 22, 80, 20);
    CheckBox4 = new QCheckBox(QStringLiteral("Clean"), GroupBox4);
    CheckBox4->setObjectName(QStringLiteral("CheckBox4"));
    CheckBox4->setGeometry(12, 44, 80, 20);
    for (auto [one, other] : {std::pair{CheckBox1, CheckBox2}, std::pair{CheckBox3, CheckBox4}}) {
        connect(one, &QCheckBox::toggled, other, [other](bool on) { if (on) other->setChecked(false); });
        connect(other, &QCheckBox::toggled, one, [one](bool on) { if (on) one->setChecked(false); });
    }

    // The set-up: 21 chassis and 9 engine values, placed as the vehicle
    // profile shows them.
    GroupBox1 = new QGroupBox(QStringLiteral(" Chassis"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 132, kGroupWidth, 224);
    GroupBox2 = new QGroupBox(QStringLiteral(" Engine "), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(8, 362, kGroupWidth, 126);
    for (size_t i = 0; i < kSetupColumns.size(); ++i) {
        const SetupColumn& c = kSetupColumns[i];
        const bool chassis = c.group == SetupGroup::Chassis;
        QGroupBox* box = chassis ? GroupBox1 : GroupBox2;
        const GridGeometry& g = chassis ? kChassisGrid : kEngineGrid;
        const int x = kCellLeft + c.col * kCellWidth;
        const int y = 24 + (c.row - 1) * g.rowHeight;
        auto* caption = MakeLabel(box, QStringLiteral("Caption%1").arg(c.control),
                                  QString::fromLatin1(c.caption), {x, y + 2, g.captionWidth - 4, 18});
        caption->setToolTip(caption->text());
        auto* edit = new TIntEdit(box);
        edit->setObjectName(QStringLiteral("IntEdit%1").arg(c.control));
        edit->setGeometry(x + g.captionWidth, y, kEditWidth, kEditHeight);
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        intEdits_[i] = edit;
    }
    // The operating counter in hours and minutes, right of its edit.
    {
        const SetupColumn& c = kSetupColumns[SetupColumnIndex("SILNIK_LICZNIK_GODZ")];
        const int x = kCellLeft + c.col * kCellWidth + kEngineGrid.captionWidth + kEditWidth + 8;
        const int y = 24 + (c.row - 1) * kEngineGrid.rowHeight;
        Label39 = MakeLabel(GroupBox2, QStringLiteral("Label39"), QString(), {x, y + 2, 60, 18});
    }

    // Buttons.
    SpeedButton1 = MakeButton(this, QStringLiteral("SpeedButton1"), QStringLiteral("Select from car profile"),
                              {16, 498, 190, 30});
    SpeedButton2 = MakeButton(this, QStringLiteral("SpeedButton2"), QStringLiteral("Cancel all"),
                              {216, 498, 110, 30});
    SpeedButton5 = MakeButton(this, QStringLiteral("SpeedButton5"), QStringLiteral("Accept all"),
                              {336, 498, 110, 30});
    SpeedButton5->hide();
    SpeedButton3 = MakeImageButton(this, QStringLiteral("SpeedButton3"), artwork::ButtonId::Ok, {632, 493},
                                   QStringLiteral("Save this session"));
    SpeedButton4 = MakeImageButton(this, QStringLiteral("SpeedButton4"), artwork::ButtonId::Cancel, {680, 493},
                                   QStringLiteral("Skip this session"));

    connect(Button1, &QPushButton::clicked, this, &TfNaglowekRejestracji::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfNaglowekRejestracji::Button2Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TfNaglowekRejestracji::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TfNaglowekRejestracji::SpeedButton2Click);
    connect(SpeedButton5, &QPushButton::clicked, this, &TfNaglowekRejestracji::SpeedButton5Click);
    connect(SpeedButton3, &TImageButton::clicked, this, &TfNaglowekRejestracji::SpeedButton3Click);
    connect(SpeedButton4, &TImageButton::clicked, this, &TfNaglowekRejestracji::SpeedButton4Click);
}

void TfNaglowekRejestracji::FillFromHeader()
{
    QDateTime end;
    if (header_.SessionEnd(end))
        Label36->setText(DateTimeToStr(end));

    // A logger registered for a driver names that driver, whatever was
    // carried in from the previous session.
    const int proposed = ProposeDriver(serial_);
    if (proposed > 0)
        driverId_ = proposed;
    ShowDriverName();
    if (trackId_ > 0)
        ShowTrackName();

    for (size_t i = 0; i < kSetupColumns.size(); ++i)
        intEdits_[i]->SetValue(header_.SetupValue(kSetupColumns[i].headerOffset));
    Label39->setText(OperatingCounterText(header_.OperatingCounter()));
}

void TfNaglowekRejestracji::ShowDriverName()
{
    Edit1->setText(DriverName(driverId_));
}

void TfNaglowekRejestracji::ShowTrackName()
{
    Edit2->setText(TrackName(trackId_));
}

void TfNaglowekRejestracji::Button1Click()
{
    const int id = ChooseDriver(false);
    if (id > 0) {
        driverId_ = id;
        ShowDriverName();
    }
}

void TfNaglowekRejestracji::Button2Click()
{
    const int id = ChooseTrack(false);
    if (id > 0) {
        trackId_ = id;
        ShowTrackName();
    }
}

void TfNaglowekRejestracji::SpeedButton1Click()
{
    const int id = ChooseVehicle();
    if (id <= 0)
        return;
    const auto setup = VehicleSetup(id);
    if (!setup)
        return;
    for (size_t i = 0; i < kSetupColumns.size(); ++i)
        intEdits_[i]->SetValue((*setup)[i]);
    Label39->setText(OperatingCounterText((*setup)[SetupColumnIndex("SILNIK_LICZNIK_GODZ")]));
}

int TfNaglowekRejestracji::Save()
{
    if (driverId_ <= 0) {
        platform::ShowMessage(QStringLiteral("Select driver"));
        return kSkipped;
    }
    if (trackId_ <= 0) {
        platform::ShowMessage(QStringLiteral("Select track"));
        return kSkipped;
    }
    // Each value goes back into a 16-bit word of the header record.
    std::vector<fieldcheck::Field> checks;
    for (size_t i = 0; i < kSetupColumns.size(); ++i)
        checks.push_back(SetupValueCheck(intEdits_[i], i));
    if (!fieldcheck::CheckFields(checks))
        return kSkipped;
    SetupValues values{};
    for (size_t i = 0; i < kSetupColumns.size(); ++i)
        values[i] = intEdits_[i]->Value();
    ApplySetup(header_, values);
    return InsertHeader();
}

int TfNaglowekRejestracji::InsertHeader()
{
    QString error;
    const TrackConditions conditions{CheckBox1->isChecked(), CheckBox2->isChecked(), CheckBox3->isChecked(),
                                     CheckBox4->isChecked()};
    newId_ = ::InsertHeader(serial_, header_, driverId_, trackId_, &error, session_, conditions);
    if (newId_ == 0) {
        // An equal session (same end, driver and track) is stored already.
        result_ = 0;
        accept();
        return 0;
    }
    if (newId_ < 0) {
        // Without its header row no sample may be written: the session is
        // skipped, and the user learns why.
        newId_ = 0;
        platform::ShowMessage(QStringLiteral("The session could not be stored: ") + error);
        result_ = kFailed;
        reject();
        return kFailed;
    }
    return newId_;
}

void TfNaglowekRejestracji::SpeedButton3Click()
{
    AcceptAllHeaders = false;
    result_ = Save();
    if (result_ > 0)
        accept();
}

void TfNaglowekRejestracji::SpeedButton5Click()
{
    AcceptAllHeaders = true;
    result_ = Save();
    if (result_ > 0)
        accept();
}

void TfNaglowekRejestracji::SpeedButton4Click()
{
    result_ = kSkipped;
    reject();
}

void TfNaglowekRejestracji::SpeedButton2Click()
{
    result_ = kCancelAll;
    reject();
}

void TfNaglowekRejestracji::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfNaglowekRejestracji::FormShow()
{
    if (AcceptAllHeaders)
        Timer1->start();
}

void TfNaglowekRejestracji::Timer1Timer()
{
    Timer1->stop();
    if (isVisible())
        SpeedButton5Click();
}

int ConfirmSessionHeader(const QString& serial, const SessionHeaderRecord& header, int& driverId, int& trackId,
                         FbTransaction* session)
{
    TfNaglowekRejestracji form(serial, header, driverId, trackId);
    form.SetSessionTransaction(session);
    form.FillFromHeader();
    platform::ExecModal(form);
    driverId = form.DriverId();
    trackId = form.TrackId();
    return form.Result();
}
