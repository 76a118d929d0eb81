#include "analysis/uwykres.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "analysis/chartcore.h"
#include "analysis/sessionload.h"
#include "platform/chart/chart.h"
#include "platform/dbgrid.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

TFWykres* fwykres = nullptr;

namespace {

constexpr int kGridWidth = 302;

// The tree's columns as designed: start or lap, driver or time, tick.
std::vector<GridColumn> GridColumns()
{
    return {{QStringLiteral("Pole1"), QString(), 105},
            {QStringLiteral("Pole2"), QString(), 135},
            {QStringLiteral("wybrany"), QString(), 30}};
}

// Captions of lines that would run into the caption before them on the
// same row are left out; the lines themselves are all drawn.
class CaptionRow {
public:
    explicit CaptionRow(int y) : y_(y) {}
    void Write(QPainter& p, int x, const QString& text, int rightEdge)
    {
        const int width = p.fontMetrics().horizontalAdvance(text);
        const int at = x + width > rightEdge ? x - width : x;
        if (at < lastRight_ + 4)
            return;
        // A light ground keeps the caption readable over the lines.
        p.fillRect(QRect(at - 1, y_, width + 2, p.fontMetrics().height()), QColor(255, 255, 255, 200));
        TextOutClipped(p, x, y_, text, rightEdge);
        lastRight_ = at + width;
    }

private:
    int y_;
    int lastRight_ = -1000000;
};

}  // namespace

TFWykres::TFWykres(const AnalysisSession& session, QWidget* parent) : SessionsChartWindow(session, parent)
{
    fwykres = this;
    setWindowTitle(QStringLiteral("Sessions"));
    ShowTree(Tree.memdane, QStringLiteral("1"), Qt::white, GridColumns(), kGridWidth);

    // The line switches before the GPS button.
    CheckBox1 = new QCheckBox(QStringLiteral("Lap lines"));
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox2 = new QCheckBox(QStringLiteral("Sector lines"));
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    for (QCheckBox* b : {CheckBox2, CheckBox1}) {
        b->setFocusPolicy(Qt::NoFocus);
        TopRow->insertWidget(0, b);
    }

    // Bottom: the three read-outs.
    auto* bottom = new ControlStrip(this, Qt::TopEdge);
    bottom->setObjectName(QStringLiteral("Panel2"));
    bottom->setFixedHeight(41);
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(12, 2, 12, 0);
    row->setSpacing(6);
    st_czas = ChartReadOutBox(bottom, "st_czas");
    StaticText1 = ChartReadOutBox(bottom, "StaticText1");
    StaticText2 = ChartReadOutBox(bottom, "StaticText2");
    const std::pair<const char*, QLabel*> readOuts[] = {
        {"Time:", st_czas}, {"Lap time:", StaticText1}, {"Sector time:", StaticText2}};
    for (const auto& [caption, box] : readOuts) {
        if (row->count() > 0)
            row->addSpacing(18);
        row->addWidget(ReadOutCaption(QString::fromLatin1(caption), bottom));
        row->addWidget(box);
    }
    row->addStretch(1);
    Outer->addWidget(bottom);

    Chart1->AfterDraw = [this](QPainter& p) { Chart1AfterDraw(p); };
    connect(Chart1, &Chart::MouseMoved, this, &TFWykres::Chart1MouseMove);
    connect(CheckBox1, &QCheckBox::clicked, Chart1, &Chart::Invalidate);
    connect(CheckBox2, &QCheckBox::clicked, Chart1, &Chart::Invalidate);
    connect(Button2, &QPushButton::clicked, this, &TFWykres::Button2Click);
}

TFWykres::~TFWykres()
{
    if (fwykres == this)
        fwykres = nullptr;
    RxDBGrid1->SetTable(nullptr);  // the tree goes before the grid
}

void TFWykres::LoadChart()
{
    Load(
        [this] {
            Tree.Reset();
            const MemTable& chosen = DM->memWybraneSesje;
            const int idCol = chosen.FieldIndex(QStringLiteral("id_nag"));
            for (int r = 0; idCol >= 0 && r < chosen.RecordCount(); ++r) {
                const int id = chosen.IntAt(r, idCol);
                ChartSeries* s = Chart1->AddSeries();
                s->SetTitle(QString::number(id));
                s->SetTag(id);
                s->SetColour(LapColour(Chart1->SeriesCount()));
                LoadOneSession(id, [&] { s->SetTitle(LoadSessionsChartSession(Tree, DM->memGPS, id).title); });
            }
        },
        [this] { Tree.Reset(); });
}

bool TFWykres::RowDraws(int row, int series) const
{
    return Chart1->Series(series)->Tag() == Tree.memdane.IntAt(row, Tree.memdane.FieldIndex(QStringLiteral("id_naglowka")));
}

void TFWykres::BindSamples()
{
    if (!DM)
        return;
    const MemTable& memGPS = DM->memGPS;
    const std::vector<SampleRun> runs = SessionRuns(memGPS);
    const int dataCol = memGPS.FieldIndex(QStringLiteral("data"));
    const int rpmCol = memGPS.FieldIndex(QStringLiteral("obroty"));
    for (int i = 0; i < Chart1->SeriesCount(); ++i) {
        ChartSeries* s = Chart1->Series(i);
        const auto run = std::find_if(runs.begin(), runs.end(), [s](const SampleRun& r) { return r.sessionId == s->Tag(); });
        if (run == runs.end())
            s->Clear();
        else
            s->SetTableData(&memGPS, dataCol, rpmCol, run->first, run->count);
    }
}

int TFWykres::SelectedSession() const
{
    const MemTable& t = Tree.memdane;
    const int row = t.RecNo();
    if (row < 0 || row >= t.RecordCount())
        return 0;
    return t.IntAt(row, t.FieldIndex(QStringLiteral("id_naglowka")));
}

void TFWykres::Chart1AfterDraw(QPainter& p)
{
    if (Loading())
        return;
    const int session = SelectedSession();
    const QRect plot = Chart1->PlotRect();
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(QFontInfo(Chart1->BottomAxis().LabelFont()).pixelSize() + 1);
    p.setFont(font);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    struct Kind {
        const QCheckBox* box;
        const MemTable* lines;
        QColor colour;
        int textY;
    };
    // Sector lines first, lap lines over them.
    for (const Kind& k : {Kind{CheckBox2, &Tree.memSektory, QColor(0, 128, 0), plot.top() + 30},
                          Kind{CheckBox1, &Tree.memokrazenia, QColor(0, 0, 255), plot.top()}}) {
        if (!k.box->isChecked())
            continue;
        CaptionRow captions(k.textY);
        for (const ChartLine& line : ChartLines(*k.lines, session)) {
            const int x = Chart1->XToScreen(line.time);
            if (x < plot.left() || x > plot.right())
                continue;
            DrawLine(p, x, plot.bottom(), x, plot.top(), k.colour);
            p.setPen(QColor(255, 0, 0));
            captions.Write(p, x + 2, line.caption, plot.right());
        }
    }
}

void TFWykres::Chart1MouseMove(const QPoint& pos)
{
    if (!MoveCursorLine(pos))
        return;
    const int session = SelectedSession();
    const ChartSeries* r = Chart1->SeriesByTag(session);
    if (!r)
        return;
    try {
        if (!r->Visible()) {
            st_czas->setText(QStringLiteral("-"));
        } else {
            const double x = Chart1->ScreenToX(pos.x());
            const SessionsReadOut texts = SessionsChartReadOut(Tree, session, x);
            st_czas->setText(texts.time);
            StaticText1->setText(texts.lap);
            StaticText2->setText(texts.sector);
            const int k = r->NearestPoint(x);
            if (k >= 0)
                cursorTime_ = RoundHalfEven(r->XValue(k));
        }
    } catch (const std::exception&) {
        // The boxes keep their texts.
    }
    gps_.CursorAt(cursorTime_);
}

void TFWykres::DataSource1DataChange()
{
    if (RxDBGrid1->ControlsDisabled())
        return;
    const int session = SelectedSession();
    for (int i = 0; i < Chart1->SeriesCount(); ++i) {
        ChartSeries* s = Chart1->Series(i);
        s->SetPenWidth(s->Tag() == session ? 2 : 1);
    }
    // The lap and sector lines are the selected session's.
    if (session != highlighted_) {
        highlighted_ = session;
        Chart1->Invalidate();
    }
}

void TFWykres::Button2Click()
{
    const int session = SelectedSession();
    if (session > 0)
        gps_.Show(session, 0, QStringLiteral("GPS"));
}

void ShowSessionChart(const AnalysisSession& session) { ShowMaximisedChart<TFWykres>(session); }
