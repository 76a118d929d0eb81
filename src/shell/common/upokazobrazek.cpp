#include "shell/common/upokazobrazek.h"

#include "platform/dialogs.h"

#include <QApplication>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <stdexcept>

namespace {
constexpr int kClientWidth = 490;
constexpr int kClientHeight = 336;
constexpr int kPanelHeight = 41;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 29;
}  // namespace

Tfpokazobrazek::Tfpokazobrazek(QWidget* parent) : QDialog(parent, platform::ToolWindowFlags())
{
    setWindowTitle(QStringLiteral("Show picture"));
    setFixedSize(kClientWidth, kClientHeight);

    // The picture sits centred at its natural size on a black ground; a
    // larger picture is cut at the edges, never scaled.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kClientWidth, kClientHeight - kPanelHeight);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setAutoFillBackground(true);
    QPalette ground = Image1->palette();
    ground.setColor(QPalette::Window, Qt::black);
    Image1->setPalette(ground);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, kClientHeight - kPanelHeight, kClientWidth, kPanelHeight);
    Panel1->setFrameShape(QFrame::NoFrame);
    Panel1->setAutoFillBackground(true);

    const int top = (kPanelHeight - kButtonHeight) / 2;
    const int gap = 12;
    const int left = (kClientWidth - 2 * kButtonWidth - gap) / 2;
    Button1 = new QPushButton(QStringLiteral("OK"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(left, top, kButtonWidth, kButtonHeight);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(left + kButtonWidth + gap, top, kButtonWidth, kButtonHeight);

    connect(Button1, &QPushButton::clicked, this, &Tfpokazobrazek::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tfpokazobrazek::Button2Click);

    platform::CentreOnScreen(*this);
}

void Tfpokazobrazek::LoadPicture(const QString& fileName)
{
    QImageReader reader(fileName);
    const QImage image = reader.read();
    if (image.isNull()) {
        const QString text =
            QStringLiteral("Cannot load picture \"%1\": %2").arg(fileName, reader.errorString());
        throw std::runtime_error(text.toStdString());
    }
    Image1->setPixmap(QPixmap::fromImage(image));
}

void Tfpokazobrazek::Button1Click() { accept(); }

void Tfpokazobrazek::Button2Click() { reject(); }

bool ShowPicture(const QString& fileName)
{
    Tfpokazobrazek dialog(QApplication::activeWindow());
    dialog.LoadPicture(fileName);
    return platform::ExecModal(dialog) == QDialog::Accepted;
}
