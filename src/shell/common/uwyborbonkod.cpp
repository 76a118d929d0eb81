#include "shell/common/uwyborbonkod.h"

#include "platform/dialogs.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int kClientWidth = 697;
constexpr int kClientHeight = 113;
constexpr int kEditWidth = 649;
constexpr int kMargin = (kClientWidth - kEditWidth) / 2;
constexpr int kButtonWidth = 104;
constexpr int kButtonHeight = 30;
}  // namespace

TfwyborBonuKod::TfwyborBonuKod(QWidget* parent) : QDialog(parent, platform::ToolWindowFlags())
{
    setFixedSize(kClientWidth, kClientHeight);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(kMargin, 20, kEditWidth, 28);

    // Buttons right-aligned under the edit box; OK answers Enter, Escape
    // closes the dialog as Anuluj does.
    const int top = kClientHeight - kButtonHeight - 18;
    Button2 = new QPushButton(QStringLiteral("Anuluj"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(kMargin + kEditWidth - kButtonWidth, top, kButtonWidth, kButtonHeight);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(Button2->x() - 10 - kButtonWidth, top, kButtonWidth, kButtonHeight);
    Button1->setDefault(true);

    setTabOrder(Edit1, Button1);
    setTabOrder(Button1, Button2);
    Edit1->setFocus();

    connect(Button1, &QPushButton::clicked, this, &TfwyborBonuKod::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfwyborBonuKod::Button2Click);

    platform::CentreOnScreen(*this);
}

void TfwyborBonuKod::Button1Click()
{
    const QString text = Edit1->text();
    if (text.trimmed().isEmpty())
        return;  // a blank name is no answer; the prompt stays open
    wynik_ = text;
    accept();
}

void TfwyborBonuKod::Button2Click()
{
    wynik_.clear();
    reject();
}

QString InputText(const QString& initialText, const QString& caption)
{
    TfwyborBonuKod dialog(QApplication::activeWindow());
    dialog.setWindowTitle(caption);
    dialog.Edit1->setText(initialText);
    dialog.Edit1->selectAll();
    if (platform::ExecModal(dialog) != QDialog::Accepted)
        return {};
    return dialog.Wynik();
}
