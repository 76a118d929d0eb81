// Main window: toolbar layout, tab switching with the data-key check, the
// menu, child windows by class name, chart stacking, the chart toggles and
// the Template command.
#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <map>

#include "analysis/uwykrescale.h"
#include "analysis/uwykresczasyMDI.h"
#include "analysis/uwykresmdilapy.h"
#include "controls/ButtonComps.h"
#include "intake/keylink.h"
#include "platform/usb_simkey.h"
#include "shell_support.h"

namespace {

using namespace shelltest;

const QString kWhole = QStringLiteral("Tfwykrescale");
const QString kLaps = QStringLiteral("Tfwykresmdilapy");
const QString kTimes = QStringLiteral("TfwykresCzasy");

// The session the stand-in charts show; it outlives every window.
AnalysisSession& StandInSession()
{
    static AnalysisSession session;
    return session;
}

QWidget* MakeChart(const QString& className)
{
    if (className == kWhole)
        return new Tfwykrescale(StandInSession());
    if (className == kLaps)
        return new Tfwykresmdilapy(StandInSession());
    return new TfwykresCzasy(StandInSession());
}

// A simulated USB backend that counts the enumerations and can act in the
// middle of one (as a user click processed during the check would).
class CountingUsb final : public platform::UsbBackend {
public:
    CountingUsb(bool keyPresent, const QString& folder)
        : inner_(keyPresent ? std::vector<platform::SimKey>{{(folder + QStringLiteral("key.img")).toStdString(), {}}}
                            : std::vector<platform::SimKey>{})
    {
    }
    void Init() override { inner_.Init(); }
    int FindBusses() override { return inner_.FindBusses(); }
    int FindDevices() override { return inner_.FindDevices(); }
    std::vector<platform::UsbBus> Busses() override
    {
        ++enumerations;
        if (duringEnumeration)
            duringEnumeration();
        return inner_.Busses();
    }
    std::unique_ptr<platform::UsbHandle> Open(const platform::UsbDevice& d) override { return inner_.Open(d); }
    int InstallDriver(const std::string& infPath) override
    {
        installed.push_back(infPath);
        return 0;
    }

    int enumerations = 0;
    std::function<void()> duringEnumeration;
    std::vector<std::string> installed;

private:
    platform::SimKeyBackend inner_;
};

class MainWindow : public ShellFixture {
protected:
    CountingUsb& UseKey(bool present)
    {
        auto usb = std::make_unique<CountingUsb>(present, Folder());
        CountingUsb& ref = *usb;
        platform::SetUsbBackend(std::move(usb));
        return ref;
    }

    // Analysis hooks that record their calls and open stand-in charts.
    void InstallAnalysis(TForm1& form)
    {
        form.Analysis.ChooseSessions = [this] {
            calls.append(QStringLiteral("ChooseSessions"));
            if (chosenSessions > 0 && openTableOnChoice)
                DM->memWybraneSesje.Open();
            return chosenSessions;
        };
        form.Analysis.ShowSessionPanel = [this] { calls.append(QStringLiteral("ShowSessionPanel")); };
        form.Analysis.EnsureSessionPanel = [this] { calls.append(QStringLiteral("EnsureSessionPanel")); };
        form.Analysis.OpenChart = [this, &form](const QString& name) {
            calls.append(QStringLiteral("Open ") + name);
            form.AddMDIChild(MakeChart(name));
        };
        form.Analysis.ReloadChart = [this](const QString& name) { calls.append(QStringLiteral("Reload ") + name); };
        form.Analysis.SessionPanelWidth = [this] { return panelWidth; };
    }

    QStringList calls;
    int chosenSessions = 1;
    bool openTableOnChoice = true;
    int panelWidth = 360;
};

// ------------------------------------------------------------------ layout

TEST_F(MainWindow, ToolbarRowsFromLeft20WithGaps20AtTop68)
{
    TForm1& f = MakeForm();
    const std::vector<std::pair<QWidget*, int>> expected = {
        {f.Image2, 20}, {f.Image3, 88},  {f.Image6, 156},                   // Project
        {f.Image1, 20}, {f.Image11, 88}, {f.Image12, 156},                  // Profiles
        {f.Image9, 20}, {f.Image10, 88}, {f.Image4, 156}, {f.Image18, 224},  // Analysis
        {f.Image5, 20}, {f.Image7, 88},                                     // Communication
    };
    for (const auto& [control, left] : expected) {
        SCOPED_TRACE(control->objectName().toStdString());
        EXPECT_EQ(control->pos(), QPoint(left, 68));
        EXPECT_EQ(control->size(), QSize(48, 45));
        EXPECT_TRUE(control->isHidden());
    }
    const std::map<QWidget*, QString> hints = {
        {f.Image2, QStringLiteral("Create new project")}, {f.Image3, QStringLiteral("Open project")},
        {f.Image6, QStringLiteral("Save project")},       {f.Image1, QStringLiteral("Drivers profile")},
        {f.Image11, QStringLiteral("Tracks profile")},    {f.Image12, QStringLiteral("Vehicle profile")},
        {f.Image9, QStringLiteral("Template")},           {f.Image5, QStringLiteral("Read data from KROM ZoveViz")},
        {f.Image7, QStringLiteral("Save data to KROM ZoveViz")},
    };
    for (const auto& [control, hint] : hints)
        EXPECT_EQ(control->toolTip(), hint) << control->objectName().toStdString();
    for (QLabel* tab : {f.Image13, f.Image14, f.Image15, f.Image16})
        EXPECT_EQ(tab->size(), QSize(182, 53));
    const QStringList captions = {QStringLiteral("Project"), QStringLiteral("Profiles"), QStringLiteral("Analysis"),
                                  QStringLiteral("Communication")};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(f.TabCaptions[i]->text(), captions[i]);
        EXPECT_TRUE(f.TabCaptions[i]->font().bold());
    }
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Pitrova"));
    EXPECT_EQ(f.Panel1->height(), 128);
}

TEST_F(MainWindow, MenuItems)
{
    TForm1& f = MakeForm();
    QStringList top;
    for (QAction* a : f.menuBar()->actions())
        top.append(a->text());
    EXPECT_EQ(top, (QStringList{QStringLiteral("File"), QStringLiteral("Check for updates"),
                                QStringLiteral("Import data"), QStringLiteral("Settings")}));
    EXPECT_EQ(f.Checkforupdates1->menu(), nullptr);  // acts on its own click
    auto texts = [](QMenu* m) {
        QStringList t;
        for (QAction* a : m->actions())
            t.append(a->text());
        return t;
    };
    EXPECT_EQ(texts(f.File1), (QStringList{QStringLiteral("Update KROM firmware"), QStringLiteral("Close")}));
    EXPECT_EQ(texts(f.Importdata1), QStringList{QStringLiteral("Import tracks")});
    EXPECT_EQ(texts(f.Settings1), QStringList{QStringLiteral("Chart settings")});

    bool shown = false;
    platform::testing::OnModal(QStringLiteral("Tfustawieniawykresu"), [&](QDialog& d) {
        shown = true;
        d.reject();
    });
    f.Chartsettings1->trigger();
    EXPECT_TRUE(shown);
}

TEST_F(MainWindow, ResizeKeepsTheArrangementButtonsAtTheBannersRightEnd)
{
    TForm1& f = ShownForm();
    for (int width : {1280, 900, 1500}) {
        f.resize(width, 800);
        QCoreApplication::processEvents();
        SCOPED_TRACE(width);
        EXPECT_EQ(f.Image22->width(), f.Panel1->width());
        EXPECT_EQ(f.Image22->height(), 52);
        EXPECT_EQ(f.ImageButton2->x(), f.Image22->width() - f.ImageButton2->width() - 2);
        EXPECT_EQ(f.ImageButton1->x(), f.ImageButton2->x() - f.ImageButton1->width());
    }
    EXPECT_EQ(f.Image17, f.MdiArea->viewport());
}

// -------------------------------------------------------------------- tabs

TEST_F(MainWindow, SetTabShowsEachTabsRowAndRunsTheKeyCheckOnlyOnTab4)
{
    struct Case {
        int tab;
        bool keyPresent;
    } cases[] = {{1, false}, {2, false}, {3, false}, {4, true}, {4, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "tab " << c.tab << " key " << c.keyPresent);
        CountingUsb& usb = UseKey(c.keyPresent);
        TForm1& f = MakeForm();
        f.SetTab(3);  // something else shown before
        f.SetTab(c.tab);
        EXPECT_EQ(f.Tab(), c.tab);
        EXPECT_EQ(f.TimerCheckUSB->isActive(), c.tab == 4);
        EXPECT_EQ(f.TimerCheckUSB->interval(), 1000);
        EXPECT_EQ(usb.enumerations, c.tab == 4 ? 1 : 0);

        std::map<QWidget*, bool> visible = {
            {f.Image2, c.tab == 1},
            {f.Image3, c.tab == 1},
            {f.Image6, c.tab == 1},
            {f.Image1, c.tab == 2},
            {f.Image11, c.tab == 2},
            {f.Image12, c.tab == 2},
            {f.Image9, c.tab == 3},
            {f.Image10, c.tab == 3},
            {f.Image4, c.tab == 3},
            {f.Image18, c.tab == 3},
            {f.Image5, c.tab == 4 && c.keyPresent},
            {f.Image7, c.tab == 4 && c.keyPresent},
            {f.Labelconnect, c.tab == 4 && !c.keyPresent},
            {f.Label5, c.tab == 4 && !c.keyPresent},
        };
        for (const auto& [w, v] : visible)
            EXPECT_EQ(!w->isHidden(), v) << w->objectName().toStdString();

        QLabel* tabs[] = {f.Image13, f.Image14, f.Image15, f.Image16};
        for (int i = 0; i < 4; ++i) {
            const QPixmap& want = i + 1 == c.tab ? f.TabSelectedPictures[i] : f.TabNormalPictures[i];
            EXPECT_EQ(tabs[i]->pixmap().cacheKey(), want.cacheKey()) << "tab picture " << i + 1;
        }
        if (c.tab == 4) {
            EXPECT_EQ(f.ListBox1, QStringList{kKeyDeviceListHeader});
        }
    }
}

TEST_F(MainWindow, KeyCheckTimerFollowsTheKeyOnTab4Only)
{
    UseKey(false);
    TForm1& f = MakeForm();
    f.SetTab(4);
    EXPECT_FALSE(f.Labelconnect->isHidden());
    EXPECT_EQ(f.Labelconnect->text(), QStringLiteral("Connect USB KROM Key or check drivers"));
    EXPECT_EQ(f.Label5->text(), QStringLiteral("If KROM Key connected click to install drivers"));
    EXPECT_TRUE(f.Label5->font().underline());
    EXPECT_EQ(f.Label5->cursor().shape(), Qt::PointingHandCursor);

    // The key is plugged in: the next tick shows the read and send buttons.
    UseKey(true);
    f.TimerCheckUSBTimer();
    EXPECT_FALSE(f.Image5->isHidden());
    EXPECT_FALSE(f.Image7->isHidden());
    EXPECT_TRUE(f.Labelconnect->isHidden());
    EXPECT_TRUE(f.Label5->isHidden());
    EXPECT_TRUE(f.TimerCheckUSB->isActive());

    // And pulled out again.
    CountingUsb& absent = UseKey(false);
    f.TimerCheckUSBTimer();
    EXPECT_TRUE(f.Image5->isHidden());
    EXPECT_FALSE(f.Label5->isHidden());
    EXPECT_EQ(absent.enumerations, 1);

    // On another tab a tick checks nothing and leaves the timer off.
    f.SetTab(2);
    CountingUsb& idle = UseKey(true);
    f.TimerCheckUSBTimer();
    EXPECT_EQ(idle.enumerations, 0);
    EXPECT_FALSE(f.TimerCheckUSB->isActive());
    EXPECT_TRUE(f.Image5->isHidden());
}

TEST_F(MainWindow, TabChosenDuringTheKeyCheckKeepsItsRow)
{
    // Pending events run during the check; a click on the Project tab then
    // must not get the Communication row drawn over it afterwards.
    TForm1& f = MakeForm();
    for (bool fromTimer : {false, true}) {
        SCOPED_TRACE(fromTimer);
        CountingUsb& usb = UseKey(true);
        if (fromTimer) {
            f.SetTab(4);
            usb.duringEnumeration = [&] { f.SetTab(1); };
            f.TimerCheckUSBTimer();
        } else {
            usb.duringEnumeration = [&] { f.SetTab(1); };
            f.SetTab(4);
        }
        EXPECT_EQ(f.Tab(), 1);
        EXPECT_TRUE(f.Image5->isHidden());
        EXPECT_TRUE(f.Image7->isHidden());
        EXPECT_FALSE(f.Image2->isHidden());
        EXPECT_FALSE(f.TimerCheckUSB->isActive());
    }
}

TEST_F(MainWindow, CaptionsAndPicturesClick)
{
    CountingUsb& usb = UseKey(false);
    TForm1& f = MakeForm();
    QTest::mouseClick(f.TabCaptions[2], Qt::LeftButton);
    EXPECT_EQ(f.Tab(), 3);
    QTest::mouseClick(f.Image14, Qt::LeftButton);
    EXPECT_EQ(f.Tab(), 2);
    QTest::mouseClick(f.TabCaptions[3], Qt::LeftButton);
    EXPECT_EQ(f.Tab(), 4);

    QTest::mouseClick(f.Label5, Qt::LeftButton);
    ASSERT_EQ(usb.installed.size(), 1u);
    EXPECT_EQ(QString::fromStdString(usb.installed[0]), KeyDriverInfPath(Folder()));
}

TEST_F(MainWindow, SendDataPausesTheKeyCheck)
{
    UseKey(true);
    TForm1& f = MakeForm();
    f.SetTab(4);
    bool pausedMeanwhile = false;
    platform::testing::OnModal(QStringLiteral("TfWgrajObrazek"), [&](QDialog& d) {
        pausedMeanwhile = !f.TimerCheckUSB->isActive();
        d.reject();
    });
    f.Image7Click();
    EXPECT_TRUE(pausedMeanwhile);
    EXPECT_TRUE(f.TimerCheckUSB->isActive());
}

TEST_F(MainWindow, ProfileCommandsOpenTheCatalogueWindows)
{
    TForm1& f = MakeForm();
    // The Profiles tab opens the three list windows inside the main window.
    struct ListCase {
        void (TForm1::*click)();
        const char* windowClass;
    };
    for (const ListCase& c : {ListCase{&TForm1::Image1Click, "TFlistaKierowcowMDI"},
                              ListCase{&TForm1::Image11Click, "Tflistatorowmdi"},
                              ListCase{&TForm1::Image12Click, "TflistaPojazdowMDI"}}) {
        (f.*c.click)();
        EXPECT_TRUE(f.IsMDIChildOpen(QString::fromLatin1(c.windowClass))) << c.windowClass;
    }
    const int open = f.MDIChildCount();
    f.Image1Click();  // a second command only brings the open one forward
    EXPECT_EQ(f.MDIChildCount(), open);

    // The hidden buttons open the editors and choosers modally.
    struct ModalCase {
        void (TForm1::*click)();
        const char* dialogClass;
    };
    for (const ModalCase& c : {ModalCase{&TForm1::Button2Click, "Tfkierowca"},
                               ModalCase{&TForm1::Button3Click, "Tflistakierowcow"},
                               ModalCase{&TForm1::SpeedButton1Click, "TfTor"},
                               ModalCase{&TForm1::Button4Click, "TfListaTorow"}}) {
        bool shown = false;
        platform::testing::OnModal(QString::fromLatin1(c.dialogClass), [&](QDialog& d) {
            shown = true;
            d.reject();
        });
        (f.*c.click)();
        EXPECT_TRUE(shown) << c.dialogClass;
    }
    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty());
}

TEST_F(MainWindow, OldReaderButtonStartsItsProgram)
{
    TForm1& f = MakeForm();
    f.Button7Click();
    EXPECT_EQ(platform::testing::StartedPrograms(), QStringList{Folder() + QStringLiteral("KROM_read.exe")});
}

// ----------------------------------------------------------- child windows

TEST_F(MainWindow, ChildWindowsByExactClassName)
{
    TForm1& f = MakeForm();
    EXPECT_FALSE(TForm1::IsMDIChildOpen(&f, kWhole));
    EXPECT_FALSE(TForm1::IsMDIChildOpen(nullptr, kWhole));
    QMdiSubWindow* sub = f.AddMDIChild(new Tfwykrescale(StandInSession()));
    f.AddMDIChild(new TfwykresCzasy(StandInSession()));
    EXPECT_TRUE(TForm1::IsMDIChildOpen(&f, kWhole));
    EXPECT_TRUE(f.IsMDIChildOpen(kTimes));
    EXPECT_FALSE(f.IsMDIChildOpen(QStringLiteral("tfwykrescale")));
    EXPECT_FALSE(f.IsMDIChildOpen(QStringLiteral("TFWYKRESCALE")));
    EXPECT_FALSE(f.IsMDIChildOpen(QStringLiteral("Tfwykres")));
    EXPECT_FALSE(f.IsMDIChildOpen(kLaps));
    EXPECT_EQ(f.MDIChildCount(), 2);
    EXPECT_TRUE(f.ActivateMDIChild(kWhole));
    EXPECT_FALSE(f.ActivateMDIChild(kLaps));

    sub->close();  // frees itself
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(f.IsMDIChildOpen(kWhole));
    EXPECT_EQ(f.MDIChildCount(), 1);
}

TEST_F(MainWindow, StackChartWindowsShareTheHeightRightOfThePanel)
{
    struct Case {
        QStringList open;  // in opening order
        QStringList stacked;  // expected top-to-bottom order
    } cases[] = {
        {{kLaps}, {kLaps}},
        {{kTimes, kWhole}, {kWhole, kTimes}},
        {{kTimes, kLaps, kWhole}, {kWhole, kLaps, kTimes}},
    };
    TForm1& f = ShownForm();
    InstallAnalysis(f);
    const int w = f.Image17->width();
    const int h = f.Image17->height();
    ASSERT_GT(w, 600);
    ASSERT_GT(h, 400);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.open.join(QLatin1Char(',')).toStdString());
        for (QMdiSubWindow* s : f.MdiArea->subWindowList())
            delete s;
        for (const QString& name : c.open)
            f.AddMDIChild(MakeChart(name));
        f.StackChartWindows();
        const int count = int(c.stacked.size());
        int top = 0;
        for (const QString& name : c.stacked) {
            QMdiSubWindow* s = f.MDISubWindow(name);
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->geometry(), QRect(360, top, w - 360 - 5, (h - 5) / count)) << name.toStdString();
            top = s->geometry().bottom() + 1;  // the next one directly under it
        }
    }
}

TEST_F(MainWindow, StackIgnoresOtherWindowsAndDoesNothingWithoutCharts)
{
    TForm1& f = ShownForm();
    InstallAnalysis(f);
    auto* other = new QWidget;
    QMdiSubWindow* sub = f.AddMDIChild(other);
    sub->setGeometry(10, 20, 300, 200);
    f.StackChartWindows();
    EXPECT_EQ(sub->geometry(), QRect(10, 20, 300, 200));
    // Without hooks the panel width counts 0.
    f.Analysis = AnalysisHooks{};
    f.AddMDIChild(new TfwykresCzasy(StandInSession()));
    f.StackChartWindows();
    EXPECT_EQ(f.MDISubWindow(kTimes)->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(sub->geometry(), QRect(10, 20, 300, 200));
}

// ------------------------------------------------------------ chart toggles

struct Toggle {
    const char* name;
    QLabel* TForm1::*picture;
    void (TForm1::*click)();
    QString className;
    int offset;
    QPixmap TForm1::*on;
    QPixmap TForm1::*off;
};

const Toggle kToggles[] = {
    {"whole session", &TForm1::Image4, &TForm1::Image4Click, kWhole, ProjectRecord::OffWholeSessionChartOn,
     &TForm1::WholeSessionOnPicture, &TForm1::WholeSessionOffPicture},
    {"lap overlay", &TForm1::Image18, &TForm1::Image18Click, kLaps, ProjectRecord::OffLapOverlayChartOn,
     &TForm1::LapOverlayOnPicture, &TForm1::LapOverlayOffPicture},
    {"lap times", &TForm1::Image10, &TForm1::Image10Click, kTimes, ProjectRecord::OffLapTimeDiagramOn,
     &TForm1::LapTimesOnPicture, &TForm1::LapTimesOffPicture},
};

bool ShowsPicture(TForm1& f, const Toggle& t, bool on)
{
    return (f.*t.picture)->pixmap().cacheKey() == (f.*(on ? t.on : t.off)).cacheKey();
}

TEST_F(MainWindow, ToggleOpensThenClosesAndTheRestIsRestacked)
{
    TForm1& f = ShownForm();
    InstallAnalysis(f);
    for (const Toggle& t : kToggles) {
        SCOPED_TRACE(t.name);
        for (QMdiSubWindow* s : f.MdiArea->subWindowList())
            delete s;
        DM->memWybraneSesje.Close();
        calls.clear();
        Project().SetByteAt(t.offset, 0);

        // First click: no sessions yet, so they are chosen, then the panel
        // and the chart open and are stacked.
        (f.*t.click)();
        EXPECT_EQ(Project().ByteAt(t.offset), 1);
        EXPECT_EQ(calls, (QStringList{QStringLiteral("ChooseSessions"), QStringLiteral("EnsureSessionPanel"),
                                      QStringLiteral("Open ") + t.className}));
        ASSERT_TRUE(f.IsMDIChildOpen(t.className));
        EXPECT_EQ(f.MDISubWindow(t.className)->geometry(),
                  QRect(360, 0, f.Image17->width() - 365, f.Image17->height() - 5));
        EXPECT_TRUE(ShowsPicture(f, t, true));

        // A second chart beside it, by hand, stacked under it.
        const QString other = t.className == kTimes ? kWhole : kTimes;
        f.AddMDIChild(MakeChart(other));
        f.StackChartWindows();
        ASSERT_EQ(f.MDISubWindow(other)->height(), (f.Image17->height() - 5) / 2);

        // Second click: the chart closes and the other one takes the height
        // once the closed window is gone.
        calls.clear();
        (f.*t.click)();
        EXPECT_EQ(Project().ByteAt(t.offset), 0);
        EXPECT_TRUE(calls.isEmpty());
        EXPECT_EQ(f.RememberedChildCount(), 2);
        EXPECT_TRUE(ShowsPicture(f, t, false));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !f.TimerodswiezanieOkien->isActive(); }, 2000));
        EXPECT_FALSE(f.IsMDIChildOpen(t.className));
        EXPECT_EQ(f.MDISubWindow(other)->geometry(),
                  QRect(360, 0, f.Image17->width() - 365, f.Image17->height() - 5));
    }
}

TEST_F(MainWindow, ToggleOfAChartClosedByItsOwnBoxSwitchesOffFirst)
{
    TForm1& f = ShownForm();
    InstallAnalysis(f);
    for (const Toggle& t : kToggles) {
        SCOPED_TRACE(t.name);
        Project().SetByteAt(t.offset, 0);
        (f.*t.click)();
        ASSERT_TRUE(f.IsMDIChildOpen(t.className));
        f.MDISubWindow(t.className)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_FALSE(f.IsMDIChildOpen(t.className));

        calls.clear();
        (f.*t.click)();  // byte 1 with no window: off, nothing opens
        EXPECT_EQ(Project().ByteAt(t.offset), 0);
        EXPECT_TRUE(calls.isEmpty());
        EXPECT_FALSE(f.IsMDIChildOpen(t.className));
        EXPECT_TRUE(ShowsPicture(f, t, false));

        (f.*t.click)();  // and the next click opens it; sessions are chosen already
        EXPECT_EQ(Project().ByteAt(t.offset), 1);
        EXPECT_EQ(calls, (QStringList{QStringLiteral("EnsureSessionPanel"), QStringLiteral("Open ") + t.className}));
        EXPECT_TRUE(f.IsMDIChildOpen(t.className));
        EXPECT_TRUE(ShowsPicture(f, t, true));
    }
}

TEST_F(MainWindow, ToggleWithTheSessionChoiceCancelledOnlySwitchesOn)
{
    TForm1& f = ShownForm();
    InstallAnalysis(f);
    chosenSessions = 0;
    for (const Toggle& t : kToggles) {
        SCOPED_TRACE(t.name);
        calls.clear();
        Project().SetByteAt(t.offset, 0);
        (f.*t.click)();
        EXPECT_EQ(Project().ByteAt(t.offset), 1);
        EXPECT_EQ(calls, QStringList{QStringLiteral("ChooseSessions")});
        EXPECT_EQ(f.MDIChildCount(), 0);
        EXPECT_TRUE(ShowsPicture(f, t, true));
    }
    // Without any analysis hooks the same road opens nothing either.
    f.Analysis = AnalysisHooks{};
    Project().SetByteAt(ProjectRecord::OffWholeSessionChartOn, 0);
    f.Image4Click();
    EXPECT_EQ(Project().ByteAt(ProjectRecord::OffWholeSessionChartOn), 1);
    EXPECT_EQ(f.MDIChildCount(), 0);
}

TEST_F(MainWindow, ToggleImagesFollowTheirBytes)
{
    TForm1& f = MakeForm();
    for (int mask = 0; mask < 8; ++mask) {
        for (int i = 0; i < 3; ++i)
            Project().SetByteAt(kToggles[i].offset, (mask >> i) & 1);
        f.UpdateToggleImages();
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(ShowsPicture(f, kToggles[i], (mask >> i) & 1)) << kToggles[i].name << " mask " << mask;
    }
    // Only 1 counts as on.
    Project().SetByteAt(ProjectRecord::OffLapTimeDiagramOn, 2);
    f.UpdateToggleImages();
    EXPECT_TRUE(ShowsPicture(f, kToggles[2], false));
}

// ---------------------------------------------------------------- Template

TEST_F(MainWindow, TemplateCommand)
{
    struct Case {
        const char* name;
        int sessions;
        bool tableOpens;
        std::array<int, 3> bytes;  // 66 lap times, 67 whole session, 68 lap overlay
        QStringList alreadyOpen;
        QStringList calls;
        QStringList openAfter;
    } cases[] = {
        {"nothing chosen", 0, true, {1, 1, 1}, {}, {QStringLiteral("ChooseSessions")}, {}},
        {"chosen but table not open", 1, false, {1, 1, 1}, {}, {QStringLiteral("ChooseSessions")}, {}},
        {"all three on",
         2,
         true,
         {1, 1, 1},
         {},
         {QStringLiteral("ChooseSessions"), QStringLiteral("ShowSessionPanel"), QStringLiteral("Open ") + kWhole,
          QStringLiteral("Open ") + kLaps, QStringLiteral("Open ") + kTimes},
         {kWhole, kLaps, kTimes}},
        {"only lap times on",
         1,
         true,
         {1, 0, 0},
         {},
         {QStringLiteral("ChooseSessions"), QStringLiteral("ShowSessionPanel"), QStringLiteral("Open ") + kTimes},
         {kTimes}},
        {"open ones reload whatever their byte",
         1,
         true,
         {0, 1, 0},
         {kLaps},
         {QStringLiteral("ChooseSessions"), QStringLiteral("ShowSessionPanel"), QStringLiteral("Open ") + kWhole,
          QStringLiteral("Reload ") + kLaps},
         {kWhole, kLaps}},
    };
    TForm1& f = ShownForm();
    InstallAnalysis(f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (QMdiSubWindow* s : f.MdiArea->subWindowList())
            delete s;
        DM->memWybraneSesje.Close();
        chosenSessions = c.sessions;
        openTableOnChoice = c.tableOpens;
        Project().SetByteAt(ProjectRecord::OffLapTimeDiagramOn, c.bytes[0]);
        Project().SetByteAt(ProjectRecord::OffWholeSessionChartOn, c.bytes[1]);
        Project().SetByteAt(ProjectRecord::OffLapOverlayChartOn, c.bytes[2]);
        for (const QString& name : c.alreadyOpen)
            f.AddMDIChild(MakeChart(name));
        calls.clear();

        f.Image9Click();
        EXPECT_EQ(calls, c.calls);
        for (const QString& name : {kWhole, kLaps, kTimes})
            EXPECT_EQ(f.IsMDIChildOpen(name), c.openAfter.contains(name)) << name.toStdString();
        // Stacked: every open chart has its share of the height.
        for (const QString& name : c.openAfter)
            EXPECT_EQ(f.MDISubWindow(name)->height(), (f.Image17->height() - 5) / int(c.openAfter.size()));
    }
}

}  // namespace

