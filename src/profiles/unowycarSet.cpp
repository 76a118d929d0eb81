#include "profiles/unowycarSet.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "controls/MathCtrl.h"
#include "platform/dialogs.h"
#include "profiles/vehiclestore.h"
#include "shell/common/uwyborbonkod.h"

namespace {
constexpr int kClientWidth = 734;
constexpr int kClientHeight = 428;
constexpr int kGroupLeft = 12;
constexpr int kGroupWidth = kClientWidth - 2 * kGroupLeft;
constexpr int kColumnWidth = (kGroupWidth - 20) / 3;
constexpr int kCaptionWidth = 172;
constexpr int kEditWidth = 50;
constexpr int kRowHeight = 22;
constexpr int kProfileNameLength = 100;  // POJAZDY.NAZWA
const QString kProfileNameCaption = QStringLiteral("Profil name");
}  // namespace

TfnowycarSet::TfnowycarSet(QWidget* parent) : QDialog(parent, platform::ToolWindowFlags())
{
    setWindowTitle(QStringLiteral("Vehicle profile"));
    setFixedSize(kClientWidth, kClientHeight);
    setStyleSheet(editorlook::StyleSheet());

    Label1 = editorlook::Caption(QStringLiteral("Profil name:"), this);
    Label1->setGeometry(kGroupLeft + 4, 10, 90, 28);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(kProfileNameLength);
    Edit1->setGeometry(kGroupLeft + 96, 10, kGroupWidth - 96, 28);

    GroupBox1 = new QGroupBox(QStringLiteral(" Chassis"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(kGroupLeft, 44, kGroupWidth, 200);
    GroupBox2 = new QGroupBox(QStringLiteral(" Engine "), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(kGroupLeft, 250, kGroupWidth, 120);

    // Every set-up edit at its row and column of its group.
    for (size_t i = 0; i < kSetupColumns.size(); ++i) {
        const SetupColumn& c = kSetupColumns[i];
        const bool engine = c.group == SetupGroup::Engine;
        QGroupBox* group = engine ? GroupBox2 : GroupBox1;
        const int pitch = engine ? 24 : 25;
        const int y = 22 + (c.row - 1) * pitch;
        const int x = 10 + c.col * kColumnWidth;
        QLabel* caption = editorlook::Caption(QString::fromLatin1(c.caption), group);
        caption->setGeometry(x + 4, y, kCaptionWidth, kRowHeight);
        auto* edit = new TIntEdit(group);
        edit->setObjectName(QStringLiteral("IntEdit%1").arg(c.control));
        edit->setGeometry(x + 4 + kCaptionWidth, y, kEditWidth, kRowHeight);
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (c.control == 22)
            edit->setProperty("role", QStringLiteral("white"));  // the engine number stands out
        caption->setBuddy(edit);
        IntEdits[i] = edit;
    }

    SpeedButton1 = new TGlyphButton(artwork::ButtonId::Ok, this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->move(kGroupLeft, kClientHeight - 40 - 10);
    SpeedButton1->setToolTip(QStringLiteral("OK"));
    SpeedButton2 = new TGlyphButton(artwork::ButtonId::Cancel, this);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->move(kGroupLeft + 48, kClientHeight - 40 - 10);
    SpeedButton2->setToolTip(QStringLiteral("Cancel"));
    Button1 = new QPushButton(QStringLiteral("Save as car profile"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(kGroupLeft + 104, kClientHeight - 40 - 4, 170, 28);
    Button1->hide();

    // Tab order: the name, then the edits column by column within each group.
    QWidget* previous = Edit1;
    for (SetupGroup group : {SetupGroup::Chassis, SetupGroup::Engine})
        for (int col = 0; col < 3; ++col)
            for (int row = 1; row <= 7; ++row)
                for (size_t i = 0; i < kSetupColumns.size(); ++i)
                    if (kSetupColumns[i].group == group && kSetupColumns[i].col == col &&
                        kSetupColumns[i].row == row) {
                        setTabOrder(previous, IntEdits[i]);
                        previous = IntEdits[i];
                        setupChecks_.push_back(SetupValueCheck(IntEdits[i], i));
                    }
    setTabOrder(previous, SpeedButton1);
    setTabOrder(SpeedButton1, SpeedButton2);
    setTabOrder(SpeedButton2, Button1);
    Edit1->setFocus();

    connect(SpeedButton1, &QAbstractButton::clicked, this, &TfnowycarSet::SpeedButton1Click);
    connect(SpeedButton2, &QAbstractButton::clicked, this, &TfnowycarSet::SpeedButton2Click);
    connect(Button1, &QPushButton::clicked, this, &TfnowycarSet::Button1Click);

    platform::CentreOnScreen(*this);
}

SetupValues TfnowycarSet::Values() const
{
    SetupValues values{};
    for (size_t i = 0; i < IntEdits.size(); ++i)
        values[i] = IntEdits[i]->Value();
    return values;
}

void TfnowycarSet::SetValues(const SetupValues& values)
{
    for (size_t i = 0; i < IntEdits.size(); ++i)
        IntEdits[i]->SetValue(values[i]);
}

void TfnowycarSet::LoadProfile()
{
    VehicleProfile profile;
    if (!LoadVehicle(id_, profile))
        return;  // no such row: the edits stay empty
    Edit1->setText(profile.name);
    SetValues(profile.values);
}

void TfnowycarSet::ShowSession(int idNag)
{
    id_ = -1;
    sessionId_ = idNag;
    if (idNag > 0) {
        SessionSetup setup;
        if (LoadSessionSetup(idNag, setup)) {
            SetValues(setup.values);
            Edit1->setText(SessionSetupName(setup));
        }
    }
    // Only the set-up shows; Cancel takes OK's place.
    Edit1->hide();
    Label1->hide();
    SpeedButton1->hide();
    SpeedButton2->move(SpeedButton1->pos());
    Button1->move(SpeedButton2->x() + 48 + 8, Button1->y());
    Button1->show();
}

bool TfnowycarSet::Save()
{
    VehicleProfile profile;
    profile.name = Edit1->text();
    profile.values = Values();
    QString error;
    const int saved = SaveVehicle(id_, profile, &error);
    if (saved < 0) {
        // Nothing was written; the window stays open with what was typed.
        platform::ShowMessage(QStringLiteral("The vehicle profile could not be saved: ") + error);
        return false;
    }
    id_ = saved;
    return true;
}

void TfnowycarSet::SpeedButton1Click()
{
    if (Edit1->text().trimmed().isEmpty()) {
        platform::ShowMessage(QStringLiteral("Enter profil name"));
        return;
    }
    std::vector<fieldcheck::Field> checks{fieldcheck::Text(Edit1, kProfileNameCaption, kProfileNameLength)};
    checks.insert(checks.end(), setupChecks_.begin(), setupChecks_.end());
    if (!fieldcheck::CheckFields(checks))
        return;
    if (Save())
        accept();
}

void TfnowycarSet::SpeedButton2Click() { reject(); }

void TfnowycarSet::Button1Click()
{
    if (!fieldcheck::CheckFields(setupChecks_))
        return;
    const QString answer = InputText(Edit1->text(), QStringLiteral("Enter profile name"));
    if (answer.trimmed().isEmpty())
        return;  // the prompt was cancelled: the view stays open
    const QString problem = fieldcheck::TextProblem(answer.trimmed(), kProfileNameCaption, kProfileNameLength);
    if (!problem.isEmpty()) {
        platform::ShowMessage(problem);
        return;
    }
    Edit1->setText(answer.trimmed());
    id_ = -1;  // always a new profile
    if (Save())
        accept();
}

fieldcheck::Field SetupValueCheck(TIntEdit* edit, std::size_t i)
{
    return fieldcheck::WholeNumber(edit, QString::fromLatin1(kSetupColumns.at(i).caption), fieldcheck::kWordMin,
                                   fieldcheck::kWordMax);
}

int EditVehicle(int id)
{
    TfnowycarSet window(QApplication::activeWindow());
    window.SetId(id);
    if (id > 0) {
        try {
            window.LoadProfile();
        } catch (const std::exception& e) {
            platform::ShowErrorBox(QString::fromUtf8(e.what()));
            return id;
        }
    }
    platform::ExecModal(window);
    return window.Id();
}

int ShowSessionSetup(int idNag)
{
    TfnowycarSet window(QApplication::activeWindow());
    try {
        window.ShowSession(idNag);
    } catch (const std::exception& e) {
        platform::ShowErrorBox(QString::fromUtf8(e.what()));
        return idNag;
    }
    platform::ExecModal(window);
    return idNag;
}
