#include "analysis/upanelsesji.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>

#include "analysis/analysishooks.h"
#include "analysis/sessionload.h"
#include "analysis/ugpsporownaj.h"
#include "analysis/ugpspowiazany.h"
#include "controls/MathCtrl.h"
#include "controls/artwork.h"
#include "platform/dbgrid.h"
#include "platform/dialogs.h"
#include "platform/windowhost.h"
#include "profiles/unowycarSet.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"

TFPanelSesji* FPanelSesji = nullptr;

namespace {

constexpr char kPanelClass[] = "TFPanelSesji";
constexpr int kPanelHeight = 99;

// The channel check boxes, in the order of the chosen channels.  A caption
// colour that is not valid is the window text.
struct ChannelBox {
    const char* caption;
    QColor colour;
    const char* channel;
    const char* format;
};
const std::array<ChannelBox, 6> kChannelBoxes{{
    {"RPM", QColor(), "obroty", "%0.0f"},
    {"Temp", QColor(255, 0, 0), "temp1", "%1.1f"},
    {"Accx", QColor(0, 0, 255), "accx", "%1.1f"},
    {"Accy", QColor(0, 0, 255), "accy", "%1.1f"},
    {"Temp 2", QColor(0, 128, 0), "temp2", "%1.1f"},
    {"Speed", QColor(128, 0, 128), "predkosc_gps", "%0.0f"},
}};

// Items of the hidden current-channel group.
struct CurrentChannelItem {
    const char* item;
    const char* channel;
    const char* caption;
    const char* format;
};
const std::array<CurrentChannelItem, 4> kCurrentChannelItems{{
    {"RPM", "obroty", "RPM", "%0.0f"},
    {"Temp", "temp1", "Temp", "%1.1f"},
    {"GForce X", "accx", "GForceX", "%2.2f"},
    {"GForce Y", "accy", "GForceY", "%2.2f"},
}};

// Text colours of the tree rows that are not selected.
const QColor kSessionColour(255, 255, 0);
const QColor kLapColour(255, 255, 255);
const QColor kSectorColour(128, 128, 128);
const QColor kFastestColour(0, 255, 0);
const QColor kSlowestColour(255, 0, 0);

QFont PanelFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(8);
    return font;
}

// Restores the cursor and resumes the grid whatever happens in a load.
class LoadGuard {
public:
    explicit LoadGuard(TFPanelSesji& panel) : panel_(panel) { panel_.DisableControls(); }
    ~LoadGuard() { panel_.EnableControls(); }

private:
    platform::HourGlass hourglass_;  // set first, restored last
    TFPanelSesji& panel_;
};

}  // namespace

TFPanelSesji::TFPanelSesji(AnalysisSession& session, QWidget* parent)
    : QWidget(parent), SessionView(session), session_(session), memdane(session.tree.memdane)
{
    setObjectName(QLatin1String(kPanelClass));
    setFont(PanelFont());
    setAutoFillBackground(true);
    BuildPanel();
    BuildGrid();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(RxDBGrid1, 1);
    FormCreate();
}

TFPanelSesji::~TFPanelSesji()
{
    if (FPanelSesji == this)
        FPanelSesji = nullptr;
    // The tree is the panel's load: it goes with the panel.
    if (InSession()) {
        LeaveSession();
        session_.tree.ResetTree();
    }
    // The GPS windows are hidden, not freed, when the user closes them; the
    // panel that made them frees them.
    if (gpsView_)
        gpsView_->deleteLater();
    if (compare_)
        compare_->deleteLater();
}

void TFPanelSesji::BuildPanel()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(kPanelHeight);
    Panel1->setAutoFillBackground(true);
    {
        QPalette p = Panel1->palette();
        p.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
        Panel1->setPalette(p);
    }
    // A thin racing-orange line closes the strip off against the grid.
    auto* accent = new QWidget(Panel1);
    accent->setObjectName(QStringLiteral("Panel1Accent"));
    accent->setStyleSheet(QStringLiteral("background-color: #b8560f;"));
    accent->setGeometry(0, kPanelHeight - 2, 4000, 2);

    Label1 = new QLabel(QStringLiteral("Max lap time:"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    IntEdit1 = new TIntEdit(Panel1);
    IntEdit1->setObjectName(QStringLiteral("IntEdit1"));
    Label2 = new QLabel(QStringLiteral("Min lap time:"), Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    IntEdit2 = new TIntEdit(Panel1);
    IntEdit2->setObjectName(QStringLiteral("IntEdit2"));
    for (TIntEdit* e : {IntEdit1, IntEdit2}) {
        e->SetValue(0);
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), Panel1);
        b->setObjectName(QLatin1String(name));
        b->setFocusPolicy(Qt::NoFocus);
        b->setCursor(Qt::PointingHandCursor);
        return b;
    };
    SpeedButton2 = button("SpeedButton2", "GPS");
    SpeedButton1 = button("SpeedButton1", "Update");
    SpeedButton4 = button("SpeedButton4", "Vehicle settings");
    SpeedButton5 = button("SpeedButton5", "Add lap to compare");
    SpeedButton3 = button("SpeedButton3", "X");
    SpeedButton3->setToolTip(QStringLiteral("Close the analysis"));
    connect(SpeedButton2, &QPushButton::clicked, this, &TFPanelSesji::SpeedButton2Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TFPanelSesji::SpeedButton1Click);
    connect(SpeedButton4, &QPushButton::clicked, this, &TFPanelSesji::SpeedButton4Click);
    connect(SpeedButton5, &QPushButton::clicked, this, &TFPanelSesji::SpeedButton5Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TFPanelSesji::SpeedButton3Click);

    // The chosen channels.  The captions carry the colours of their chart
    // lines, so they sit on a light plate as the lines do on a chart.
    GroupBox1 = new QGroupBox(QStringLiteral(" Value "), Panel1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* plate = new QWidget(GroupBox1);
    plate->setObjectName(QStringLiteral("ChannelPlate"));
    plate->setAutoFillBackground(true);
    {
        QPalette p = plate->palette();
        p.setColor(QPalette::Window, QColor(0xe4, 0xe4, 0xe2));
        p.setColor(QPalette::WindowText, Qt::black);
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::Text, Qt::black);
        p.setColor(QPalette::Button, QColor(0xf4, 0xf4, 0xf2));
        p.setColor(QPalette::ButtonText, Qt::black);
        p.setColor(QPalette::Highlight, QColor(0xb8, 0x56, 0x0f));
        plate->setPalette(p);
    }
    auto* plateLayout = new QGridLayout(plate);
    plateLayout->setContentsMargins(6, 1, 4, 1);
    plateLayout->setHorizontalSpacing(6);
    plateLayout->setVerticalSpacing(0);
    // Two rows: RPM, Temp, Temp 2 above; Accx, Accy, Speed below.
    static const int kCell[6][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 2}, {1, 2}};
    for (size_t i = 0; i < kChannelBoxes.size(); ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(kChannelBoxes[i].caption), plate);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        box->setFocusPolicy(Qt::NoFocus);
        if (kChannelBoxes[i].colour.isValid()) {
            QPalette p = box->palette();
            p.setColor(QPalette::WindowText, kChannelBoxes[i].colour);
            box->setPalette(p);
        }
        box->setChecked(i == 0);
        plateLayout->addWidget(box, kCell[i][0], kCell[i][1]);
        connect(box, &QCheckBox::clicked, this, &TFPanelSesji::CheckBox1Click);
        CheckBoxes[i] = box;
    }
    auto* groupLayout = new QVBoxLayout(GroupBox1);
    groupLayout->setContentsMargins(4, 2, 4, 4);
    groupLayout->addWidget(plate);

    // The current channel: kept for the charts, never shown.
    RadioGroup1 = new QGroupBox(QStringLiteral(" Value "), Panel1);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* radioLayout = new QVBoxLayout(RadioGroup1);
    for (size_t i = 0; i < kCurrentChannelItems.size(); ++i) {
        auto* item = new QRadioButton(QString::fromLatin1(kCurrentChannelItems[i].item), RadioGroup1);
        radioLayout->addWidget(item);
        connect(item, &QRadioButton::clicked, this, [this, i] { RadioGroup1Click(int(i)); });
        RadioItems[i] = item;
    }
    RadioItems[0]->setChecked(true);  // the current channel starts as RPM
    RadioGroup1->hide();

    LayoutPanel();
}

void TFPanelSesji::BuildGrid()
{
    RxDBGrid1 = new DBGrid(this);
    RxDBGrid1->setObjectName(QStringLiteral("RxDBGrid1"));
    RxDBGrid1->setFrameShape(QFrame::NoFrame);
    RxDBGrid1->SetTable(&memdane);
    RxDBGrid1->SetColumns({{QStringLiteral("Pole1"), QString(), 105},
                           {QStringLiteral("Pole2"), QString(), 70},
                           {QStringLiteral("wybrany"), QString(), 30},
                           {QStringLiteral("srednie_obroty"), QString(), 50},
                           {QStringLiteral("avg_acc"), QString(), 50},
                           {QStringLiteral("avg_dec"), QString(), 50}});
    RxDBGrid1->SetTitlesVisible(false);
    // A dark accent for the current row, so that the row colours and the
    // orange tick stay readable on it, focused or not.
    {
        QPalette p = RxDBGrid1->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive}) {
            p.setColor(group, QPalette::Highlight, QColor(0x5a, 0x33, 0x12));
            p.setColor(group, QPalette::HighlightedText, Qt::white);
        }
        RxDBGrid1->setPalette(p);
    }
    // The session and lap names take what the panel's width leaves: whole
    // start times on a wide panel, no sideways scrolling on a narrow one.
    RxDBGrid1->SetFillColumn(QStringLiteral("Pole1"));
    // A narrow face, so that the tree's texts fit their narrow columns.
    QFont gridFont = PanelFont();
    gridFont.setStretch(QFont::SemiCondensed);
    RxDBGrid1->SetTextLook(kLapColour, gridFont);
    RxDBGrid1->SetTickPicture(artwork::Art(artwork::ArtId::Tick), 1);

    const int cType = memdane.FieldIndex(QStringLiteral("typ_rekordu"));
    const int cStatus = memdane.FieldIndex(QStringLiteral("status_naj"));
    RxDBGrid1->GetCellParams = [this, cType, cStatus](int row, const QString&, QColor& text, QFont&) {
        const QString& type = memdane.StringAt(row, cType);
        if (type == QLatin1String("1")) {
            text = kSessionColour;
            return;
        }
        text = type == QLatin1String("3") ? kSectorColour : kLapColour;
        if (type == QLatin1String("2") || type == QLatin1String("3")) {
            const int status = memdane.IsNullAt(row, cStatus) ? 0 : memdane.IntAt(row, cStatus);
            if (status == 2)
                text = kFastestColour;
            else if (status == 1)
                text = kSlowestColour;
        }
    };
    // Sector rows have no check.
    RxDBGrid1->ShowCheck = [this, cType](int row, const QString&) {
        return memdane.StringAt(row, cType) != QLatin1String("3");
    };
    connect(RxDBGrid1, &DBGrid::DataChange, this, &TFPanelSesji::DataSource1DataChange);
    connect(RxDBGrid1, &DBGrid::MouseUp, this, &TFPanelSesji::RxDBGrid1MouseUp);
}

void TFPanelSesji::LayoutPanel()
{
    // Left: the two filters, GPS and Update, Add lap to compare.  Right:
    // Vehicle settings and X on top, the channel group below them.
    const int width = std::max(this->width(), 300);
    const int row = 21;
    const QFontMetrics fm(font());
    const int labelWidth = std::max(fm.horizontalAdvance(Label1->text()), fm.horizontalAdvance(Label2->text())) + 6;
    const int leftWidth = std::max(labelWidth + 56, fm.horizontalAdvance(SpeedButton5->text()) + 20);
    const int x0 = 5;
    Label1->setGeometry(x0, 3, labelWidth, row);
    IntEdit1->setGeometry(x0 + labelWidth, 3, leftWidth - labelWidth, row);
    Label2->setGeometry(x0, 3 + row + 2, labelWidth, row);
    IntEdit2->setGeometry(x0 + labelWidth, 3 + row + 2, leftWidth - labelWidth, row);
    const int half = (leftWidth - 3) / 2;
    SpeedButton2->setGeometry(x0, 3 + 2 * (row + 2), half, row + 1);
    SpeedButton1->setGeometry(x0 + leftWidth - half, 3 + 2 * (row + 2), half, row + 1);
    SpeedButton5->setGeometry(x0, 3 + 3 * (row + 2) + 1, leftWidth, row + 1);

    const int right = width - 5;
    const int x1 = x0 + leftWidth + 8;
    SpeedButton3->setGeometry(right - 24, 3, 24, row);
    SpeedButton4->setGeometry(x1, 3, std::max(fm.horizontalAdvance(SpeedButton4->text()) + 20, 100), row);
    GroupBox1->setGeometry(x1, 3 + row + 1, right - x1, kPanelHeight - (3 + row + 1) - 4);
}

void TFPanelSesji::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutPanel();
}

QWidget* TFPanelSesji::Frame() const
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        return sub;
    return const_cast<TFPanelSesji*>(this);
}

// ------------------------------------------------------------------ state

int TFPanelSesji::CurrentSessionId() const
{
    const int row = memdane.RecNo();
    return row < 0 ? 0 : memdane.IntAt(row, memdane.FieldIndex(QStringLiteral("id_naglowka")));
}

int TFPanelSesji::CurrentLap() const
{
    const int row = memdane.RecNo();
    return row < 0 ? 0 : memdane.IntAt(row, memdane.FieldIndex(QStringLiteral("id_okrazenia")));
}

int TFPanelSesji::CurrentLp() const
{
    const int row = memdane.RecNo();
    return row < 0 ? 0 : memdane.IntAt(row, memdane.FieldIndex(QStringLiteral("lp")));
}

QString TFPanelSesji::CurrentRowType() const
{
    const int row = memdane.RecNo();
    return row < 0 ? QString() : memdane.StringAt(row, memdane.FieldIndex(QStringLiteral("typ_rekordu")));
}

bool TFPanelSesji::LocateLp(int lp)
{
    const int row = memdane.Find(QStringLiteral("lp"), {lp});
    if (row < 0)
        return false;
    RxDBGrid1->SelectRow(row);
    return true;
}

void TFPanelSesji::DisableControls() { RxDBGrid1->DisableControls(); }
void TFPanelSesji::EnableControls() { RxDBGrid1->EnableControls(); }

Tfgpspowiazany* TFPanelSesji::GpsView() const { return gpsView_; }
TfgpsPorownaj* TFPanelSesji::CompareWindow() const { return compare_; }
bool TFPanelSesji::GpsViewOpen() const { return gpsView_ && gpsView_->isVisible(); }

TreeFilters TFPanelSesji::Filters() const
{
    TreeFilters f;
    f.maxLapSeconds = IntEdit1->Value();
    f.minLapSeconds = IntEdit2->Value();
    return f;
}

// ------------------------------------------------------------------- load

bool TFPanelSesji::LoadSessions()
{
    if (!DM)
        return false;
    const TreeFilters filters = Filters();
    // The views drawing the panel's samples let go of them first: they are
    // loaded again after a load, and stay empty after one that failed.
    session_.NotifyLoading();
    try {
        LoadGuard guard(*this);
        ::LoadSessions(DM->memWybraneSesje, DM->memGPS, DM->memMinMax, session_.tree, filters, Project());
    } catch (const SessionLoadError& e) {
        session_.NotifyLoaded();  // the tables are empty: so are the charts drawing them
        platform::ShowMessage(e.Message());
        return false;
    }
    // The grid starts at the top of the tree.
    memdane.First();
    return true;
}

// --------------------------------------------------------------- handlers

void TFPanelSesji::FormCreate()
{
    session_.ChooseChannels({{QStringLiteral("obroty"), QStringLiteral("%0.0f")}});
}

void TFPanelSesji::SpeedButton1Click()
{
    if (LoadSessions())
        session_.NotifyLoaded();
}

void TFPanelSesji::CheckBox1Click()
{
    std::vector<ChosenChannel> chosen;
    for (size_t i = 0; i < CheckBoxes.size(); ++i)
        if (CheckBoxes[i]->isChecked())
            chosen.push_back({QString::fromLatin1(kChannelBoxes[i].channel), QString::fromLatin1(kChannelBoxes[i].format)});
    session_.ChooseChannels(chosen);
    session_.NotifyChannelsChanged();
}

void TFPanelSesji::RadioGroup1Click(int item)
{
    if (item < 0 || size_t(item) >= kCurrentChannelItems.size())
        return;
    const CurrentChannelItem& c = kCurrentChannelItems[size_t(item)];
    session_.CurrentChannel = QString::fromLatin1(c.channel);
    session_.CurrentChannelCaption = QString::fromLatin1(c.caption);
    session_.CurrentChannelFormat = QString::fromLatin1(c.format);
    session_.NotifyChannelsChanged();
}

void TFPanelSesji::DataSource1DataChange()
{
    session_.NotifyCurrentRow(CurrentSessionId(), CurrentLap());
    if (gpsView_ && memdane.RecNo() >= 0)
        SpeedButton2Click();
}

void TFPanelSesji::RxDBGrid1MouseUp(Qt::MouseButton, const QPoint& pos)
{
    const int column = RxDBGrid1->ColumnAtX(pos.x());
    if (column < 0)
        return;
    const int field = memdane.FieldIndex(RxDBGrid1->ColumnField(column));
    if (field < 0 || memdane.Def(field).tag != 1)
        return;
    // Only over a row: a release below the last row changes nothing.
    if (RxDBGrid1->rowAt(pos.y()) < 0)
        return;
    TreeCheckCalls calls;
    calls.sessionShown = [this](int id, int check) { session_.NotifySessionShown(id, check); };
    calls.lapShown = [this](int id, int lap, int check) { session_.NotifyLapShown(id, lap, check); };
    DisableControls();
    try {
        ClickTreeCheck(session_.tree, calls);
    } catch (...) {
        EnableControls();
        throw;
    }
    EnableControls();
}

void TFPanelSesji::SpeedButton2Click()
{
    const int row = memdane.RecNo();
    const int id = CurrentSessionId();
    const int lap = CurrentLap();
    QString caption;
    if (lap == 0) {
        const QString pole1 = row < 0 ? QString() : memdane.StringAt(row, memdane.FieldIndex(QStringLiteral("Pole1")));
        const QString pole2 = row < 0 ? QString() : memdane.StringAt(row, memdane.FieldIndex(QStringLiteral("Pole2")));
        caption = QStringLiteral("GPS: ") + pole1 + QStringLiteral(" : ") + pole2;
    } else {
        caption = QStringLiteral(" LAP-") + QString::number(lap);
    }

    const bool created = !gpsView_;
    if (created) {
        gpsView_ = new Tfgpspowiazany(session_, nullptr);
        gpsView_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    Tfgpspowiazany* view = gpsView_;
    view->SetResizeAllowed(false);
    const ProjectRecord& record = Project();
    if (record.LinkedGpsViewLeft() > 0 && record.LinkedGpsViewTop() > 0) {
        view->move(record.LinkedGpsViewLeft(), record.LinkedGpsViewTop());
        // A place stored without a size keeps the view's own size.
        if (record.LinkedGpsViewWidth() > 0 && record.LinkedGpsViewHeight() > 0)
            view->resize(record.LinkedGpsViewWidth(), record.LinkedGpsViewHeight());
    }
    if (created || view->isHidden())
        view->show();
    view->raise();
    view->GpsDraw(id, lap, caption);
    if (gpsView_)
        gpsView_->SetResizeAllowed(true);
}

void TFPanelSesji::CursorMoved(int time, int lap, int sessionId)
{
    if (GpsViewOpen())
        gpsView_->GpsCursor(time, lap, sessionId);
}

void TFPanelSesji::SpeedButton4Click()
{
    const int id = CurrentSessionId();
    if (id >= 1)
        ShowSessionSetup(id);
}

void TFPanelSesji::SpeedButton5Click()
{
    if (CurrentRowType() != QLatin1String("2"))
        return;
    if (!compare_) {
        compare_ = new TfgpsPorownaj(session_, nullptr);
        compare_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    compare_->show();
    compare_->raise();
    compare_->CompareAddLap(CurrentSessionId(), CurrentLap(), QStringLiteral(" "));
}

void TFPanelSesji::SpeedButton3Click()
{
    // The charts close; the panel closes its GPS windows, then itself.
    session_.Clear();
    if (gpsView_)
        gpsView_->close();
    if (compare_)
        compare_->close();
    Frame()->close();
}

// ---------------------------------------------------------------- openers

namespace {

TFPanelSesji* OpenPanel(AnalysisSession& session, int width, bool reloadOpen)
{
    const QString className = QLatin1String(kPanelClass);
    WindowHost* host = platform::Host();
    if (host && host->IsMDIChildOpen(className)) {
        auto* open = qobject_cast<TFPanelSesji*>(host->MDIChild(className));
        if (open && reloadOpen)
            open->LoadSessions();
        host->ActivateMDIChild(className);
        return open;
    }
    if (!host && FPanelSesji) {
        // No main window (tools and tests): the one panel stands alone.
        if (reloadOpen)
            FPanelSesji->LoadSessions();
        FPanelSesji->raise();
        return FPanelSesji;
    }

    auto* panel = new TFPanelSesji(session);
    FPanelSesji = panel;
    panel->resize(width, panel->height());
    if (host) {
        QMdiSubWindow* sub = host->AddMDIChild(panel);
        sub->setWindowFlags(Qt::FramelessWindowHint);
        sub->show();
        sub->setGeometry(0, 0, width, host->ClientSize().height() - 5);
    } else {
        panel->setAttribute(Qt::WA_DeleteOnClose);
        panel->resize(width, 700);
        panel->show();
    }
    // The panel stays open with what was read when the load fails; the
    // error reaches the error box.
    panel->LoadSessions();
    return panel;
}

}  // namespace

void ShowSessionPanel(AnalysisSession& session) { OpenPanel(session, 405, true); }

void EnsureSessionPanel(AnalysisSession& session) { OpenPanel(session, 360, false); }

int SessionPanelWidth()
{
    if (!FPanelSesji)
        return 0;
    return FPanelSesji->Frame()->width();
}
