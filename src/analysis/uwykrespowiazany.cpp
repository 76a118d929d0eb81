#include "analysis/uwykrespowiazany.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "analysis/gpsmap.h"
#include "platform/chart/chart.h"
#include "platform/dialogs.h"
#include "platform/memtable.h"
#include "shell/common/stale.h"

namespace {

// Read-out box under the chart: sunken, centred, bold.
QLabel* ReadOutBox(QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setFixedSize(96, 22);
    QFont f = l->font();
    f.setPixelSize(12);
    f.setBold(true);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("background: #f4f4f4; color: #000000;"));
    return l;
}

QLabel* Caption(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setStyleSheet(QStringLiteral("color: #000000;"));
    QFont f = l->font();
    f.setPixelSize(12);
    l->setFont(f);
    return l;
}

}  // namespace

TfwykresPowiazany::TfwykresPowiazany(QWidget* parent) : QWidget(parent, platform::ToolWindowFlags())
{
    resize(742, 283);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Chart1 = new Chart(this);
    Chart1->SetLegendVisible(false);
    Chart1->BottomAxis().SetLabelAngle(90);
    Chart1->BottomAxis().SetLabelText([](double v) { return SessionTimeText(RoundHalfEven(v)); });
    Chart1->SetMargins(10, 12, 14, 6);
    Chart1->AfterDraw = [this](QPainter& p) { Chart1AfterDraw(p); };
    Series1 = Chart1->AddSeries();
    Series1->SetPenWidth(2);
    Series1->SetColour(QColor(255, 0, 0));
    Series2 = Chart1->AddSeries();
    Series2->SetPenWidth(2);
    Series2->SetColour(QColor(0, 128, 0));
    Series2->SetVisible(false);
    column->addWidget(Chart1, 1);

    // Silver panel with the two read-outs.
    auto* panel = new QWidget(this);
    panel->setAutoFillBackground(true);
    QPalette silver = panel->palette();
    silver.setColor(QPalette::Window, QColor(192, 192, 192));
    panel->setPalette(silver);
    panel->setFixedHeight(34);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(10, 4, 10, 4);
    row->setSpacing(6);
    row->addWidget(Caption(QStringLiteral("Lap time:"), panel));
    StaticText1 = ReadOutBox(panel);
    row->addWidget(StaticText1);
    row->addSpacing(18);
    row->addWidget(Caption(QStringLiteral("Value:"), panel));
    StaticText2 = ReadOutBox(panel);
    row->addWidget(StaticText2);
    row->addStretch(1);
    column->addWidget(panel);

    platform::CentreOnScreen(*this);
}

TfwykresPowiazany::~TfwykresPowiazany() = default;

void TfwykresPowiazany::LoadChannel(LinkedChannel channel, const MemTable& memdane)
{
    Series1->Clear();
    const int n = memdane.RecordCount();
    switch (channel) {
    case LinkedChannel::Rpm:
        setWindowTitle(QStringLiteral("RPM"));
        Series1->SetTitle(QStringLiteral("RPM"));
        Series1->SetColour(QColor(255, 0, 0));
        Series1->SetTableData(&memdane, gpData, gpObroty, 0, n);
        break;
    case LinkedChannel::Temp1:
        setWindowTitle(QStringLiteral("Temp 1"));
        Series1->SetTitle(QStringLiteral("TEMP 1"));
        Series1->SetColour(QColor(0, 128, 0));
        Series1->SetTableData(&memdane, gpData, gpTemp1, 0, n);
        break;
    case LinkedChannel::Temp2:
        setWindowTitle(QStringLiteral("Temp 2"));
        Series1->SetTitle(QStringLiteral("TEMP 2"));
        Series1->SetColour(QColor(0, 0, 0));
        Series1->SetTableData(&memdane, gpData, gpTemp2, 0, n);
        break;
    case LinkedChannel::GForce:
        setWindowTitle(QStringLiteral("GForce"));
        Series1->SetTitle(QStringLiteral("GForce X"));
        Series2->SetTitle(QStringLiteral("GForce Y"));
        Series2->Clear();
        Series1->SetTableData(&memdane, gpData, gpAccx, 0, n, {}, Affine{0, kGPerAccCount});
        Series2->SetTableData(&memdane, gpData, gpAccy, 0, n, {}, Affine{0, kGPerAccCount});
        Series2->SetVisible(true);
        break;
    }
}

void TfwykresPowiazany::ShowPoint(int time, bool asFloat, double value)
{
    time_ = time;
    value_ = value;
    StaticText1->setText(SessionTimeText(time));
    StaticText2->setText(asFloat ? Format("%2.2f", value) : QString::number(RoundHalfEven(value)));
    Chart1->Invalidate();
    Chart1->update();
}

void TfwykresPowiazany::Chart1AfterDraw(QPainter& painter)
{
    if (busy_)
        return;
    busy_ = true;
    pixel_ = QPoint(Chart1->XToScreen(time_), Chart1->YToScreen(value_));
    painter.setPen(QPen(QColor(0, 0, 255), 1));
    painter.setBrush(QColor(0, 0, 255));
    painter.drawEllipse(QRect(pixel_.x() - 4, pixel_.y() - 4, 8, 8));
    busy_ = false;
}
