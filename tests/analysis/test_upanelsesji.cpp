// The session panel inside the main window, over a real database: its two
// openers, reloads, the channel boxes, the check column under the mouse,
// the buttons and what X closes.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>

#include "analysis/analysis.h"
#include "analysis/ugpsporownaj.h"
#include "analysis/ugpspowiazany.h"
#include "analysis/upanelsesji.h"
#include "analysis/uwykrescale.h"
#include "analysis/uwykresczasyMDI.h"
#include "analysis/uwykresmdilapy.h"
#include "controls/MathCtrl.h"
#include "platform/dbgrid.h"
#include "platform/dialogs.h"
#include "shell/shell_support.h"

// Readable texts in failure messages.
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

namespace pt = platform::testing;

class PanelTest : public shelltest::ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        Db().Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO) values (1, 'Ada', 'Nowak')"));
        // Session 1: three laps of two sectors; session 2: two laps; session
        // 3: no laps.
        AddSession(1, {6000, 5900, 6100}, true);
        AddSession(2, {5000, 5200}, false);
        AddSession(3, {}, false);
        ShownForm();
        session_ = &InstallAnalysis(Form().Analysis, Form());
    }

    void TearDown() override
    {
        if (FPanelSesji)
            delete FPanelSesji->Frame();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DM->memWybraneSesje.Close();
        ShellFixture::TearDown();
    }

    void AddSession(int id, const std::vector<int>& laps, bool sectors)
    {
        Db().Exec(QStringLiteral("insert into NAGLOWKI (ID_NAG, DATA_START, ID_KIEROWCY, START_PIERWSZ_OKR) "
                                 "values (%1, '2024-06-20 10:%2:00', 1, 100)")
                      .arg(id)
                      .arg(id % 60, 2, 10, QChar(u'0')));
        int nr = 1;
        for (int t : laps) {
            Db().Exec(QStringLiteral("insert into OKRAZENIA_REJ (ID_NAGLOWKA, NR, CZAS, CZAS_SS) values (%1, %2, '%3', %4)")
                          .arg(id)
                          .arg(nr)
                          .arg(SessionTimeText(t))
                          .arg(t));
            if (sectors)
                for (int k = 1; k <= 2; ++k)
                    Db().Exec(QStringLiteral("insert into SEKTORY (ID_NAGLOWKA, NR_OKRAZENIA, NR_SEKTORA, CZAS, CZAS_SS) "
                                             "values (%1, %2, %3, '%4', %5)")
                                  .arg(id)
                                  .arg(nr)
                                  .arg(k)
                                  .arg(SessionTimeText(t / 2))
                                  .arg(t / 2));
            ++nr;
        }
    }

    // memWybraneSesje with these sessions, open.
    static void Choose(const std::vector<int>& ids)
    {
        MemTable& t = DM->memWybraneSesje;
        t.Close();
        t.Open();
        for (int id : ids)
            t.SetIntAt(t.AppendRow(), 0, id);
    }

    static TFPanelSesji& Panel()
    {
        EXPECT_NE(FPanelSesji, nullptr);
        return *FPanelSesji;
    }

    // Session ids of the session rows of the grid.
    static QList<int> SessionRows()
    {
        QList<int> ids;
        MemTable& t = Panel().Tree().memdane;
        for (int r = 0; r < t.RecordCount(); ++r)
            if (t.StringAt(r, t.FieldIndex(QStringLiteral("typ_rekordu"))) == QLatin1String("1"))
                ids << t.IntAt(r, t.FieldIndex(QStringLiteral("id_naglowka")));
        return ids;
    }

    // wybrany of every row, "." for none.
    static QString Ticks()
    {
        QString s;
        MemTable& t = Panel().Tree().memdane;
        const int c = t.FieldIndex(QStringLiteral("wybrany"));
        for (int r = 0; r < t.RecordCount(); ++r)
            s += t.IsNullAt(r, c) ? QStringLiteral(".") : QString::number(t.IntAt(r, c));
        return s;
    }

    // A click with a button on a cell of the grid (row of memdane, field).
    static void ClickCell(int row, const char* field, Qt::MouseButton button = Qt::LeftButton)
    {
        DBGrid* grid = Panel().RxDBGrid1;
        const QModelIndex index = grid->model()->index(row, Panel().Tree().memdane.FieldIndex(QLatin1String(field)));
        if (!grid->viewport()->rect().contains(grid->visualRect(index)))
            grid->scrollTo(index);
        const QRect rect = grid->visualRect(index);
        ASSERT_TRUE(rect.isValid());
        QTest::mouseClick(grid->viewport(), button, {}, rect.center());
    }

    static int RowOfLp(int lp) { return Panel().Tree().memdane.Find(QStringLiteral("lp"), {lp}); }

    // The session the main window's analysis commands open their windows on.
    AnalysisSession& Analysis() { return *session_; }

private:
    AnalysisSession* session_ = nullptr;
};

TEST_F(PanelTest, ShowSessionPanelOpensBorderlessAtTheLeftAndReloadsWhenOpen)
{
    Choose({1, 2});
    Form().Analysis.ShowSessionPanel();
    QMdiSubWindow* sub = Form().MDISubWindow(QStringLiteral("TFPanelSesji"));
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(sub->geometry(), QRect(0, 0, 405, Form().Image17->height() - 5));
    EXPECT_EQ(Form().Analysis.SessionPanelWidth(), 405);
    EXPECT_EQ(SessionRows(), (QList<int>{1, 2}));
    EXPECT_EQ(Panel().Tree().memdane.RecNo(), 0);  // the grid starts at the top
    EXPECT_EQ(Panel().RxDBGrid1->currentIndex().row(), 0);

    // Open: ShowSessionPanel reloads and keeps the place and size; the
    // chart toggles' opener does neither.
    sub->setGeometry(0, 0, 390, 500);
    Choose({3});
    Form().Analysis.EnsureSessionPanel();
    EXPECT_EQ(SessionRows(), (QList<int>{1, 2}));
    Form().Analysis.ShowSessionPanel();
    EXPECT_EQ(SessionRows(), (QList<int>{3}));
    EXPECT_EQ(Form().MDISubWindow(QStringLiteral("TFPanelSesji")), sub);
    EXPECT_EQ(sub->geometry(), QRect(0, 0, 390, 500));
    EXPECT_EQ(Form().Analysis.SessionPanelWidth(), 390);

    // Closed, the panel gives no width; EnsureSessionPanel opens it 360 wide.
    Panel().SpeedButton3Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(FPanelSesji, nullptr);
    EXPECT_EQ(Form().Analysis.SessionPanelWidth(), 0);
    Choose({2});
    Form().Analysis.EnsureSessionPanel();
    EXPECT_EQ(Form().Analysis.SessionPanelWidth(), 360);
    EXPECT_EQ(SessionRows(), (QList<int>{2}));
}

// The main window's Template command and chart toggles reach the panel
// through the installed hooks; the charts are placed right of it.
TEST_F(PanelTest, MainWindowRoadsOpenThePanel)
{
    int chosen = 0;
    Form().Analysis.ChooseSessions = [&] {
        ++chosen;
        Choose({2});
        return 1;
    };
    Form().Image9Click();  // Template
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(SessionRows(), (QList<int>{2}));
    EXPECT_EQ(SessionPanelWidth(), 405);

    Form().AddMDIChild(new Tfwykrescale(Analysis()));
    Form().StackChartWindows();
    EXPECT_EQ(Form().MDISubWindow(QStringLiteral("Tfwykrescale"))->x(), 405);

    // A chart toggle with sessions chosen keeps the open panel as it is.
    Choose({1, 3});
    Project().SetLapTimeDiagramOn(0);
    Form().Image10Click();
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(SessionRows(), (QList<int>{2}));

    // With the panel closed, a toggle opens it 360 wide.
    Panel().SpeedButton3Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Project().SetLapTimeDiagramOn(0);
    Form().Image10Click();
    EXPECT_EQ(SessionRows(), (QList<int>{1, 3}));
    EXPECT_EQ(Form().MDISubWindow(QStringLiteral("TFPanelSesji"))->geometry(),
              QRect(0, 0, 360, Form().Image17->height() - 5));
}

TEST_F(PanelTest, UpdateReadsTheFiltersAndReturnsAllTicks)
{
    Choose({1});
    ShowSessionPanel(Analysis());
    const QString all = Ticks();
    EXPECT_EQ(all, QStringLiteral("11..1..1.."));
    ClickCell(RowOfLp(1), "wybrany");
    EXPECT_EQ(Ticks(), QStringLiteral("00..0..0.."));

    Panel().IntEdit1->setText(QStringLiteral("60"));
    Panel().SpeedButton1->click();
    EXPECT_EQ(Ticks(), QStringLiteral("11..1.."));  // lap 3 (61 s) left out, every row ticked again
    Panel().IntEdit1->clear();  // an empty filter is off
    Panel().SpeedButton1->click();
    EXPECT_EQ(Ticks(), all);
}

TEST_F(PanelTest, ChannelBoxesChooseChannelsInBoxOrder)
{
    Choose({1});
    Analysis().SelectedChannelCount = 4;
    ShowSessionPanel(Analysis());
    EXPECT_EQ(Analysis().SelectedChannelCount, 1);  // a new panel: RPM alone
    EXPECT_EQ(Analysis().SelectedChannels[1], QStringLiteral("obroty"));
    EXPECT_EQ(Analysis().SelectedChannelFormats[1], QStringLiteral("%0.0f"));
    EXPECT_TRUE(Panel().CheckBoxes[0]->isChecked());

    struct Case {
        std::vector<int> clicks;  // boxes clicked, 1..6, starting from RPM alone
        QStringList channels;
        QStringList formats;
    };
    const std::vector<Case> cases = {
        {{5}, {"obroty", "temp2"}, {"%0.0f", "%1.1f"}},
        {{1, 5, 1}, {"obroty", "temp2"}, {"%0.0f", "%1.1f"}},  // box order, not click order
        {{1}, {}, {}},
        {{6, 3, 2, 4}, {"obroty", "temp1", "accx", "accy", "predkosc_gps"},
         {"%0.0f", "%1.1f", "%1.1f", "%1.1f", "%0.0f"}},
    };
    for (const Case& c : cases) {
        for (QCheckBox* box : Panel().CheckBoxes)
            box->setChecked(box == Panel().CheckBoxes[0]);
        for (int b : c.clicks)
            Panel().CheckBoxes[size_t(b - 1)]->click();
        QStringList channels, formats;
        for (int i = 1; i <= Analysis().SelectedChannelCount; ++i) {
            channels << Analysis().SelectedChannels[size_t(i)];
            formats << Analysis().SelectedChannelFormats[size_t(i)];
        }
        EXPECT_EQ(channels, c.channels);
        EXPECT_EQ(formats, c.formats);
    }
    const QStringList captions = {"RPM", "Temp", "Accx", "Accy", "Temp 2", "Speed"};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(Panel().CheckBoxes[i]->text(), captions[qsizetype(i)]);
    EXPECT_FALSE(Panel().RadioGroup1->isVisible());
    EXPECT_EQ(Analysis().CurrentChannel, QStringLiteral("obroty"));
}

TEST_F(PanelTest, CheckColumnUnderTheMouse)
{
    Choose({1, 2});
    ShowSessionPanel(Analysis());
    // lp: 1 session 1; 2 L1, 3-4; 5 L2, 6-7; 8 L3, 9-10; 11 session 2; 12 L1; 13 L2.
    struct Step {
        int lp;
        const char* field;
        Qt::MouseButton button;
        const char* ticks;
    };
    const std::vector<Step> steps = {
        {5, "wybrany", Qt::LeftButton, "11..0..1..111"},
        {5, "Pole1", Qt::LeftButton, "11..0..1..111"},    // other columns only select
        {6, "wybrany", Qt::LeftButton, "11..0..1..111"},  // sector rows have no check
        {11, "wybrany", Qt::RightButton, "11..0..1..000"},  // the right button toggles too
        {13, "wybrany", Qt::LeftButton, "11..0..1..101"},  // a lap ticks its session
        {1, "wybrany", Qt::LeftButton, "00..0..0..101"},
        {1, "wybrany", Qt::LeftButton, "11..1..1..101"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.lp);
        ClickCell(RowOfLp(s.lp), s.field, s.button);
        EXPECT_EQ(Ticks(), QLatin1String(s.ticks));
        EXPECT_EQ(Panel().CurrentLp(), s.lp);
    }

    // A release below the last row changes nothing.
    DBGrid* grid = Panel().RxDBGrid1;
    const QRect last = grid->visualRect(grid->model()->index(RowOfLp(13), Panel().Tree().memdane.FieldIndex(QStringLiteral("wybrany"))));
    ASSERT_LT(last.bottom() + 10, grid->viewport()->height());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 10));
    EXPECT_EQ(Ticks(), QStringLiteral("11..1..1..101"));
}

TEST_F(PanelTest, CheckClicksKeepTheGridScrolled)
{
    for (int id = 10; id < 16; ++id)
        AddSession(id, {6000, 5900, 6100, 6000, 6050}, true);
    Choose({10, 11, 12, 13, 14, 15});
    ShowSessionPanel(Analysis());
    DBGrid* grid = Panel().RxDBGrid1;
    const int lp = Panel().Tree().memdane.RecordCount() / 2;
    const QString type = Panel().Tree().memdane.StringAt(RowOfLp(lp), 0);
    ASSERT_GT(grid->verticalScrollBar()->maximum(), 0);
    ClickCell(RowOfLp(lp), "Pole1");
    // The current row in the middle of the grid, not at an edge.
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->value() + 5);
    const int scrolled = grid->verticalScrollBar()->value();
    const QRect before = grid->visualRect(grid->currentIndex());
    ClickCell(RowOfLp(lp), "wybrany");
    EXPECT_EQ(grid->verticalScrollBar()->value(), scrolled) << type.toStdString();
    EXPECT_EQ(grid->visualRect(grid->currentIndex()), before);
}

TEST_F(PanelTest, VehicleSettingsAndAddLapToCompareActOnTheirRows)
{
    QStringList shown;
    pt::OnModal(QStringLiteral("TfnowycarSet"), [&](QDialog& d) {
        shown << QStringLiteral("setup");
        d.reject();
    });

    // An empty panel: no session id, nothing happens.
    Choose({});
    ShowSessionPanel(Analysis());
    Panel().SpeedButton4->click();
    Panel().SpeedButton5->click();
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(Panel().CompareWindow(), nullptr);

    Choose({1});
    Panel().SpeedButton1->click();
    struct Case {
        int lp;
        bool compares;
    };
    for (const Case& c : std::vector<Case>{{1, false}, {3, false}, {2, true}}) {
        SCOPED_TRACE(c.lp);
        shown.clear();
        Panel().LocateLp(c.lp);
        Panel().SpeedButton4->click();
        EXPECT_EQ(shown, QStringList{QStringLiteral("setup")});  // session, lap and sector rows alike
        Panel().SpeedButton5->click();
        EXPECT_EQ(Panel().CompareWindow() != nullptr, c.compares);
    }
    TfgpsPorownaj* compare = Panel().CompareWindow();
    EXPECT_TRUE(compare->isVisible());
    EXPECT_TRUE(compare->windowFlags() & Qt::WindowStaysOnTopHint);
    Panel().SpeedButton5->click();
    EXPECT_EQ(Panel().CompareWindow(), compare);  // one comparison window per panel
    EXPECT_TRUE(pt::UnhandledModals().isEmpty());
}

TEST_F(PanelTest, GpsViewIsPlacedFromTheProjectAndComesBackOnRowChanges)
{
    Choose({1});
    ShowSessionPanel(Analysis());
    struct Case {
        int left, top, width, height;
        bool placed;
    };
    for (const Case& c : std::vector<Case>{{0, 200, 300, 250, false}, {120, 0, 300, 250, false},
                                            {120, 90, 330, 260, true}}) {
        SCOPED_TRACE(c.left);
        Project().SetLinkedGpsViewLeft(c.left);
        Project().SetLinkedGpsViewTop(c.top);
        Project().SetLinkedGpsViewWidth(c.width);
        Project().SetLinkedGpsViewHeight(c.height);
        Panel().SpeedButton2->click();
        Tfgpspowiazany* view = Panel().GpsView();
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->isVisible());
        EXPECT_TRUE(view->windowFlags() & Qt::WindowStaysOnTopHint);
        if (c.placed) {
            EXPECT_EQ(view->pos(), QPoint(c.left, c.top));
            EXPECT_EQ(view->size(), QSize(c.width, c.height));
        } else {
            EXPECT_NE(view->size(), QSize(c.width, c.height));
        }
    }
    Tfgpspowiazany* view = Panel().GpsView();
    view->close();  // the user closes it: hidden, not freed
    EXPECT_FALSE(Panel().GpsViewOpen());
    Panel().LocateLp(2);
    EXPECT_TRUE(Panel().GpsViewOpen());
    EXPECT_EQ(Panel().GpsView(), view);
}

TEST_F(PanelTest, XClosesTheChartsTheGpsWindowsAndThePanel)
{
    Choose({1});
    ShowSessionPanel(Analysis());
    for (QWidget* chart : std::initializer_list<QWidget*>{new Tfwykrescale(Analysis()), new Tfwykresmdilapy(Analysis()), new TfwykresCzasy(Analysis())})
        Form().AddMDIChild(chart);
    Panel().LocateLp(2);
    Panel().SpeedButton2->click();
    Panel().SpeedButton5->click();
    QPointer<Tfgpspowiazany> view = Panel().GpsView();
    QPointer<TfgpsPorownaj> compare = Panel().CompareWindow();
    ASSERT_TRUE(view && compare);

    Panel().SpeedButton3->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the panel
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // what it freed
    for (const char* name : {"Tfwykrescale", "Tfwykresmdilapy", "TfwykresCzasy", "TFPanelSesji"})
        EXPECT_FALSE(Form().IsMDIChildOpen(QLatin1String(name))) << name;
    EXPECT_EQ(FPanelSesji, nullptr);
    // The GPS windows went with the panel that made them.
    EXPECT_TRUE(view.isNull());
    EXPECT_TRUE(compare.isNull());
}

TEST_F(PanelTest, ALoadThatFailsLeavesThePanelUsable)
{
    Choose({1});
    ShowSessionPanel(Analysis());
    Db().Exec(QStringLiteral("drop table SEKTORY"));
    Choose({2, 1});
    platform::testing::ClearMessages();
    Panel().SpeedButton1Click();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(Panel().RxDBGrid1->ControlsDisabled());
    // Nothing of the failed load stays; the message names the session.
    EXPECT_EQ(SessionRows(), QList<int>{});
    EXPECT_EQ(DM->memGPS.RecordCount(), 0);
    EXPECT_EQ(Panel().RxDBGrid1->model()->rowCount(), 0);
    ASSERT_EQ(platform::testing::Messages().size(), 1);
    EXPECT_TRUE(platform::testing::Messages().front().startsWith(QStringLiteral("Session 2 could not be loaded")))
        << platform::testing::Messages().front().toStdString();
}

}  // namespace
