#include "analysis/chartpanels.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>

#include "platform/chart/chart.h"
#include "platform/dbgrid.h"
#include "platform/memtable.h"
#include "shell/artwork.h"

namespace {
const QColor kAccent(0xb8, 0x56, 0x0f);
const QColor kSilver(192, 192, 192);
}  // namespace

ControlStrip::ControlStrip(QWidget* parent, Qt::Edge accentEdge) : QWidget(parent), edge_(accentEdge)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    setPalette(p);
}

void ControlStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int t = 2;
    switch (edge_) {
    case Qt::TopEdge: p.fillRect(0, 0, width(), t, kAccent); break;
    case Qt::BottomEdge: p.fillRect(0, height() - t, width(), t, kAccent); break;
    case Qt::LeftEdge: p.fillRect(0, 0, t, height(), kAccent); break;
    case Qt::RightEdge: p.fillRect(width() - t, 0, t, height(), kAccent); break;
    }
}

Chart* NewAnalysisChart(QWidget* parent)
{
    auto* chart = new Chart(parent);
    chart->setObjectName(QStringLiteral("Chart1"));
    chart->SetGradient(kSilver, Qt::white);
    chart->SetBackWall(Qt::white);
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    chart->BottomAxis().SetLabelAngle(90);
    chart->BottomAxis().SetLabelFont(font);
    chart->LeftAxis().SetLabelFont(font);
    chart->SetLegendFont(font);
    return chart;
}

QLabel* ReadOutCaption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QColor TreeRowColour(const QString& type, int status)
{
    if (type == QLatin1String("1"))
        return {255, 255, 0};
    if (status == 2)
        return {0, 255, 0};
    if (status == 1)
        return {255, 0, 0};
    if (type == QLatin1String("3"))
        return {128, 128, 128};
    return {255, 255, 255};
}

void SetUpTreeGrid(DBGrid& grid, MemTable& memdane, const QString& checkType, const QColor& lapColour)
{
    grid.setObjectName(QStringLiteral("RxDBGrid1"));
    grid.setFrameShape(QFrame::NoFrame);
    grid.SetTable(&memdane);
    grid.SetTitlesVisible(false);
    grid.SetTickPicture(artwork::Art(artwork::ArtId::Tick), 1);
    const int cType = memdane.FieldIndex(QStringLiteral("typ_rekordu"));
    const int cStatus = memdane.FieldIndex(QStringLiteral("status_naj"));
    grid.GetCellParams = [&memdane, cType, cStatus, lapColour](int row, const QString&, QColor& text, QFont&) {
        const QString& type = memdane.StringAt(row, cType);
        const int status = cStatus < 0 || memdane.IsNullAt(row, cStatus) ? 0 : memdane.IntAt(row, cStatus);
        text = type == QLatin1String("2") && status == 0 ? lapColour : TreeRowColour(type, status);
    };
    grid.ShowCheck = [&memdane, cType, checkType](int row, const QString&) {
        return memdane.StringAt(row, cType) == checkType;
    };
}
