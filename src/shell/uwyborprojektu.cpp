#include "shell/uwyborprojektu.h"

#include <QCloseEvent>
#include <QLabel>

#include "controls/ButtonComps.h"
#include "controls/artwork.h"
#include "platform/dialogs.h"
#include "shell/umain.h"

namespace {
constexpr int kWidth = 515;
constexpr int kHeight = 302;
}  // namespace

TFwyborProjektu::TFwyborProjektu(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FwyborProjektu"));
    setFixedSize(kWidth, kHeight);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kWidth, kHeight);
    Image1->setPixmap(artwork::Art(artwork::ArtId::ChooserBackground));

    const artwork::ButtonId ids[] = {artwork::ButtonId::ChooserOpen, artwork::ButtonId::ChooserNew,
                                     artwork::ButtonId::ChooserExit};
    static const char* const captions[] = {"Open project", "New project", "Exit"};
    TImageButton** buttons[] = {&ImageButton1, &ImageButton2, &ImageButton3};
    QLabel** labels[] = {&Label1, &Label2, &Label3};
    void (TFwyborProjektu::*actions[])() = {&TFwyborProjektu::ImageButton1Click, &TFwyborProjektu::ImageButton2Click,
                                            &TFwyborProjektu::ImageButton3Click};
    for (int i = 0; i < 3; ++i) {
        auto* button = new TImageButton(this);
        button->setObjectName(QStringLiteral("ImageButton%1").arg(i + 1));
        artwork::SetButtonPictures(*button, ids[i]);
        button->SetShowHint(false);
        button->move(artwork::ChooserButtonRect(i).topLeft());
        *buttons[i] = button;

        auto* label = new QLabel(QString::fromLatin1(captions[i]), this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(artwork::ChooserCaptionRect(i));
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, QColor(0xe6, 0xe8, 0xeb));
        label->setPalette(pal);
        QFont font = label->font();
        font.setPixelSize(13);
        font.setBold(true);
        label->setFont(font);
        label->setCursor(Qt::PointingHandCursor);
        *labels[i] = label;

        const auto action = actions[i];
        connect(button, &TImageButton::clicked, this, action);
        OnClick(label, [this, action] { (this->*action)(); });
    }

    platform::CentreOnScreen(*this);
}

void TFwyborProjektu::Finish(bool result)
{
    wynik_ = result;
    mozeZamknac_ = true;
    if (result)
        accept();
    else
        QDialog::reject();
}

void TFwyborProjektu::ImageButton1Click()
{
    if (Form1 && Form1->OpenProject())
        Finish(true);
}

void TFwyborProjektu::ImageButton2Click()
{
    if (Form1 && Form1->NewProject())
        Finish(true);
}

void TFwyborProjektu::ImageButton3Click() { Finish(false); }

void TFwyborProjektu::reject()
{
    // Escape and the window's own close command end here.
    if (mozeZamknac_)
        QDialog::reject();
}

void TFwyborProjektu::closeEvent(QCloseEvent* event)
{
    if (!mozeZamknac_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool ChooseProject()
{
    TFwyborProjektu chooser(Form1);
    platform::ExecModal(chooser);
    return chooser.Wynik();
}
