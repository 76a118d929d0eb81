#include "analysis/chartpanels.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPainter>
#include <QStyle>

#include "controls/artwork.h"
#include "platform/chart/chart.h"
#include "platform/dbgrid.h"
#include "platform/memtable.h"
#include "platform/windowhost.h"
#include "analysis/channelchartwindow.h"
#include "analysis/sessioncharts.h"
#include "analysis/ugpspowiazany.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"

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

bool NeedsNewChild(const QString& className)
{
    WindowHost* host = platform::Host();
    return host && !host->ActivateMDIChild(className);
}

void ShowMaximisedChild(QWidget* window)
{
    QMdiSubWindow* sub = platform::Host()->AddMDIChild(window);
    // No toolkit logo beside the menu while maximised.
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    sub->setWindowIcon(QIcon(blank));
    sub->showMaximized();
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

ControlStrip* NewTopStrip(QWidget* parent, QHBoxLayout*& row)
{
    auto* strip = new ControlStrip(parent, Qt::BottomEdge);
    strip->setObjectName(QStringLiteral("Panel1"));
    strip->setFixedHeight(36);
    row = new QHBoxLayout(strip);
    row->setContentsMargins(10, 2, 10, 4);
    row->setSpacing(14);
    return strip;
}

QLabel* ChartReadOutBox(QWidget* parent, const char* name)
{
    QLabel* box = ReadOutLabel(parent);
    box->setObjectName(QString::fromLatin1(name));
    QFont f = box->font();
    f.setPixelSize(12);
    box->setFont(f);
    box->setFixedSize(158, 19);
    return box;
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
    QFont font = QApplication::font();
    font.setStretch(QFont::SemiCondensed);
    grid.SetTextLook(lapColour, font);
    grid.setObjectName(QStringLiteral("RxDBGrid1"));
    grid.setFrameShape(QFrame::NoFrame);
    grid.SetTable(&memdane);
    grid.SetTitlesVisible(false);
    // A dark accent for the current row, as in the session panel, so that
    // the row colours and the orange tick stay readable on it.
    QPalette palette = grid.palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, QColor(0x5a, 0x33, 0x12));
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    grid.setPalette(palette);
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

void FitTreeGrid(DBGrid& grid, std::vector<GridColumn> columns, int width)
{
    const MemTable* t = grid.Table();
    QFont font = QApplication::font();
    font.setStretch(QFont::SemiCondensed);
    const QFontMetrics fm(font);
    int total = grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &grid) + 2;
    for (GridColumn& c : columns) {
        const int col = t ? t->FieldIndex(c.field) : -1;
        if (col >= 0 && t->Def(col).type == FieldType::String)
            for (int r = 0; r < t->RecordCount(); ++r)
                c.width = std::max(c.width, fm.horizontalAdvance(t->StringAt(r, col)) + 10);
        total += c.width;
    }
    if (!columns.empty() && total < width)
        columns.front().width += width - total;
    grid.SetColumns(columns);
    grid.setFixedWidth(std::max(width, total));
}

// ------------------------------------------------------------- GPS view

ChartGpsView::~ChartGpsView() { delete view_; }

void ChartGpsView::Show(int sessionId, int lap, const QString& caption)
{
    if (!view_) {
        view_ = new Tfgpspowiazany(session_, nullptr);
        view_->GpsDraw(sessionId, lap, caption);
        const ProjectRecord& record = Project();
        if (record.ChartGpsViewLeft() > 0 && record.ChartGpsViewTop() > 0)
            view_->move(record.ChartGpsViewLeft(), record.ChartGpsViewTop());
        view_->show();
        return;
    }
    view_->GpsDraw(sessionId, lap, caption);
    if (view_->isHidden())
        view_->show();
    view_->raise();
    view_->activateWindow();
}

void ChartGpsView::CursorAt(int time)
{
    if (view_)
        view_->GpsCursorAt(time);
}

void ChartGpsView::Close()
{
    if (!view_)
        return;
    ProjectRecord& record = Project();
    record.SetChartGpsViewTop(view_->y());
    record.SetChartGpsViewLeft(view_->x());
    view_->close();
}
