#include "shell/uustawieniawykresu.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>

#include "controls/ButtonComps.h"
#include "controls/MathCtrl.h"
#include "controls/artwork.h"
#include "controls/fieldcheck.h"
#include "platform/dialogs.h"
#include "shell/projectrecord.h"

namespace {

constexpr int kClientWidth = 294;
constexpr int kClientHeight = 565;
constexpr int kBoxLeft = 12;
constexpr int kBoxTop = 12;
constexpr int kBoxWidth = kClientWidth - 2 * kBoxLeft;
constexpr int kBoxHeight = 88;
constexpr int kBoxStep = 98;

// Each edit with the offset it is read from and stored to.
// Minimum and maximum of a range follow each other.
struct EditField {
    TIntEdit* Tfustawieniawykresu::*edit;
    int offset;
    bool isUnsigned;
    const char* caption;  // named in a message about its value
    const char* range;    // named in a message about its pair
};

constexpr EditField kFields[] = {
    {&Tfustawieniawykresu::IntEdit1, ProjectRecord::OffRpmMin, false, "RPM range, Minimum", "RPM range"},
    {&Tfustawieniawykresu::IntEdit2, ProjectRecord::OffRpmMax, false, "RPM range, Maximum", "RPM range"},
    {&Tfustawieniawykresu::IntEdit3, ProjectRecord::OffTemp1Min, false, "Temp1 range, Minimum", "Temp1 range"},
    {&Tfustawieniawykresu::IntEdit4, ProjectRecord::OffTemp1Max, false, "Temp1 range, Maximum", "Temp1 range"},
    {&Tfustawieniawykresu::IntEdit5, ProjectRecord::OffTemp2Min, false, "Temp2 range, Minimum", "Temp2 range"},
    {&Tfustawieniawykresu::IntEdit6, ProjectRecord::OffTemp2Max, false, "Temp2 range, Maximum", "Temp2 range"},
    {&Tfustawieniawykresu::IntEdit7, ProjectRecord::OffAccMin, false, "Acc range, Minimum", "Acc range"},
    {&Tfustawieniawykresu::IntEdit8, ProjectRecord::OffAccMax, false, "Acc range, Maximum", "Acc range"},
    {&Tfustawieniawykresu::IntEdit9, ProjectRecord::OffVGpsMin, true, "V GPS range, Minimum", "V GPS range"},
    {&Tfustawieniawykresu::IntEdit10, ProjectRecord::OffVGpsMax, true, "V GPS range, Maximum", "V GPS range"},
};

TImageButton* DialogButton(QWidget* parent, const QString& name, artwork::ButtonId id, const QString& hint)
{
    auto* button = new TImageButton(parent);
    button->setObjectName(name);
    artwork::SetButtonPictures(*button, id);
    button->setToolTip(hint);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

}  // namespace

Tfustawieniawykresu::Tfustawieniawykresu(QWidget* parent) : QDialog(parent, platform::ToolWindowFlags())
{
    setObjectName(QStringLiteral("fustawieniawykresu"));
    setWindowTitle(QStringLiteral("Chart settings"));
    setFixedSize(kClientWidth, kClientHeight);

    static const char* const captions[] = {" RPM range ", " Temp1 range ", " Temp2 range ", " Acc range ",
                                           " V GPS range "};
    TIntEdit** edits[] = {&IntEdit1, &IntEdit2, &IntEdit3, &IntEdit4, &IntEdit5,
                          &IntEdit6, &IntEdit7, &IntEdit8, &IntEdit9, &IntEdit10};
    for (int i = 0; i < 5; ++i) {
        auto* box = new QGroupBox(QString::fromLatin1(captions[i]), this);
        box->setObjectName(QStringLiteral("GroupBox%1").arg(i + 1));
        box->setGeometry(kBoxLeft, kBoxTop + i * kBoxStep, kBoxWidth, kBoxHeight);
        GroupBoxes[i] = box;
        static const char* const rows[] = {"Minimum", "Maximum"};
        for (int r = 0; r < 2; ++r) {
            const int top = 28 + r * 30;
            auto* label = new QLabel(QString::fromLatin1(rows[r]), box);
            label->setGeometry(16, top, 80, 24);
            // Limits, default and increment all 0: values are not limited.
            auto* edit = new TIntEdit(box);
            edit->setObjectName(QStringLiteral("IntEdit%1").arg(2 * i + r + 1));
            edit->setGeometry(104, top, kBoxWidth - 104 - 16, 24);
            *edits[2 * i + r] = edit;
        }
    }

    const int buttonTop = kBoxTop + 5 * kBoxStep + 8;
    BitBtn1 = DialogButton(this, QStringLiteral("BitBtn1"), artwork::ButtonId::Ok, QStringLiteral("OK"));
    BitBtn2 = DialogButton(this, QStringLiteral("BitBtn2"), artwork::ButtonId::Cancel, QStringLiteral("Cancel"));
    BitBtn1->move(kClientWidth / 2 - BitBtn1->width() - 12, buttonTop);
    BitBtn2->move(kClientWidth / 2 + 12, buttonTop);
    connect(BitBtn1, &TImageButton::clicked, this, &Tfustawieniawykresu::BitBtn1Click);
    connect(BitBtn2, &TImageButton::clicked, this, &Tfustawieniawykresu::BitBtn2Click);

    platform::CentreOnScreen(*this);
}

void Tfustawieniawykresu::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void Tfustawieniawykresu::FormShow()
{
    const ProjectRecord& record = Project();
    for (const EditField& f : kFields)
        (this->*f.edit)->SetValue(f.isUnsigned ? record.UInt16At(f.offset) : record.Int16At(f.offset));
}

void Tfustawieniawykresu::BitBtn1Click()
{
    // Each value must fit its 16-bit field of the record (signed, or
    // unsigned for the GPS speed); checked top to bottom as the boxes stand.
    std::vector<fieldcheck::Field> checks;
    for (const EditField& f : kFields)
        checks.push_back(fieldcheck::WholeNumber(this->*f.edit, QString::fromLatin1(f.caption),
                                                 f.isUnsigned ? fieldcheck::kWordMin : fieldcheck::kInt16Min,
                                                 f.isUnsigned ? fieldcheck::kWordMax : fieldcheck::kInt16Max));
    if (!fieldcheck::CheckFields(checks))
        return;  // the dialog stays open at the value to correct
    // A range without width would draw its channel flat and read every
    // sample as the minimum; a minimum above the maximum stays allowed (the
    // channel is drawn upside down).
    for (size_t i = 0; i + 1 < std::size(kFields); i += 2) {
        TIntEdit* max = this->*kFields[i + 1].edit;
        if ((this->*kFields[i].edit)->Value() != max->Value())
            continue;
        max->setFocus(Qt::OtherFocusReason);
        platform::ShowMessage(QStringLiteral("\"%1\": Minimum and Maximum must differ.")
                                  .arg(QString::fromLatin1(kFields[i].range)));
        return;
    }
    // Each value is stored as its low 16 bits.
    ProjectRecord& record = Project();
    for (const EditField& f : kFields)
        record.SetInt16At(f.offset, (this->*f.edit)->Value());
    accept();
}

void Tfustawieniawykresu::BitBtn2Click() { reject(); }

void ShowChartSettings()
{
    Tfustawieniawykresu dialog(QApplication::activeWindow());
    platform::ExecModal(dialog);
}
