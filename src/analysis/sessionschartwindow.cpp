#include "analysis/sessionschartwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/sessionload.h"
#include "platform/chart/chart.h"
#include "platform/dbgrid.h"
#include "platform/dialogs.h"
#include "shell/data/ubazy.h"

SessionsChartWindow::SessionsChartWindow(const AnalysisSession& session, QWidget* parent)
    : QWidget(parent), gps_(session)
{
    Outer = new QVBoxLayout(this);
    Outer->setContentsMargins(0, 0, 0, 0);
    Outer->setSpacing(0);

    Outer->addWidget(NewTopStrip(this, TopRow));
    Button2 = new QPushButton(QStringLiteral("GPS"));
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setFocusPolicy(Qt::NoFocus);
    Button2->setMinimumWidth(80);
    TopRow->addWidget(Button2);
    TopRow->addStretch(1);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    RxDBGrid1 = new DBGrid(this);
    Chart1 = NewAnalysisChart(this);
    Chart1->SetMargins(10, 12, 8, 6);
    middle->addWidget(RxDBGrid1);
    middle->addWidget(Chart1, 1);
    Outer->addLayout(middle, 1);

    connect(Chart1, &Chart::MouseLeft, this, [this] { Chart1->SetCursorLine(-1); });
    connect(RxDBGrid1, &DBGrid::CellClick, this, &SessionsChartWindow::RxDBGrid1CellClick);
    connect(RxDBGrid1, &DBGrid::DataChange, this, [this] { DataSource1DataChange(); });
}

SessionsChartWindow::~SessionsChartWindow() = default;

void SessionsChartWindow::ShowTree(MemTable& memdane, const QString& tickedType, const QColor& lapColour,
                                   std::vector<GridColumn> columns, int gridWidth)
{
    memdane_ = &memdane;
    tickedType_ = tickedType;
    columns_ = std::move(columns);
    gridWidth_ = gridWidth;
    SetUpTreeGrid(*RxDBGrid1, memdane, tickedType, lapColour);
    FitTreeGrid(*RxDBGrid1, columns_, gridWidth_);
}

void SessionsChartWindow::Load(const std::function<void()>& fill, const std::function<void()>& resetTree)
{
    if (!DM)
        return;
    QString failure;
    {
        const platform::HourGlass hourglass;  // restored after the steps below
        struct Done {
            SessionsChartWindow* w;
            ~Done()
            {
                w->loading_ = false;
                w->BindSamples();
                FitTreeGrid(*w->RxDBGrid1, w->columns_, w->gridWidth_);
                w->RxDBGrid1->EnableControls();
                if (w->memdane_)
                    w->memdane_->First();
                w->DataSource1DataChange();
            }
        } done{this};
        loading_ = true;
        RxDBGrid1->DisableControls();
        Chart1->RemoveAllSeries();
        DM->memGPS.Close();
        DM->memGPS.Open();
        try {
            fill();
        } catch (const std::exception& e) {
            Chart1->RemoveAllSeries();
            DM->memGPS.Close();
            DM->memGPS.Open();
            resetTree();
            const auto* named = dynamic_cast<const SessionLoadError*>(&e);
            failure = named ? named->Message() : QString::fromUtf8(e.what());
        }
    }
    if (!failure.isEmpty())
        platform::ShowMessage(failure);
}

bool SessionsChartWindow::MoveCursorLine(const QPoint& pos)
{
    Chart1->SetCursorLine(-1);
    if (!Chart1->PlotRect().contains(pos))
        return false;
    Chart1->SetCursorLine(pos.x());
    return true;
}

void SessionsChartWindow::RxDBGrid1CellClick(int row, const QString& field)
{
    if (!memdane_)
        return;
    MemTable& t = *memdane_;
    const int tickCol = t.FieldIndex(field);
    if (tickCol < 0 || t.Def(tickCol).tag != 1 || row < 0 || row >= t.RecordCount())
        return;
    if (t.StringAt(row, t.FieldIndex(QStringLiteral("typ_rekordu"))) != tickedType_)
        return;
    const int shown = !t.IsNullAt(row, tickCol) && t.IntAt(row, tickCol) == 0 ? 1 : 0;
    t.SetIntAt(row, tickCol, shown);
    for (int i = 0; i < Chart1->SeriesCount(); ++i)
        if (RowDraws(row, i))
            Chart1->Series(i)->SetVisible(shown == 1);
}

void SessionsChartWindow::closeEvent(QCloseEvent* event)
{
    gps_.Close();
    QWidget::closeEvent(event);
}
