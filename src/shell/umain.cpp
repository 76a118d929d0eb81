#include "shell/umain.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <stdexcept>
#include <vector>

#include "controls/ButtonComps.h"
#include "controls/artwork.h"
#include "intake/intakeflow.h"
#include "intake/keylink.h"
#include "intake/uwgrajobrazek.h"
#include "platform/dialogs.h"
#include "platform/mdichild.h"
#include "platform/tdatetime.h"
#include "profiles/catalogueviews.h"
#include "profiles/tracktransfer.h"
#include "profiles/ukierowca.h"
#include "profiles/ulistaPojazdowMDI.h"
#include "profiles/ulistakierMDI.h"
#include "profiles/ulistakierowcow.h"
#include "profiles/ulistatorow.h"
#include "profiles/ulistatorowMDI.h"
#include "profiles/utor.h"
#include "shell/common/stale.h"
#include "shell/config.h"
#include "shell/data/schemaupgrade.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"
#include "shell/usplashscreen.h"
#include "shell/uustawieniawykresu.h"
#include "shell/uwyborprojektu.h"

TForm1* Form1 = nullptr;

namespace {

constexpr int kPanelHeight = 128;
constexpr int kBannerHeight = 52;
constexpr int kToolbarTop = 68;
constexpr int kToolbarFirstLeft = 20;
constexpr int kToolbarGap = 20;
constexpr int kTabsLeft = 200;
constexpr int kTabStep = 184;
constexpr int kLogoLeft = 4;
constexpr int kArrangeButtonsTop = 6;

const char* const kProjectFilter = "KROM project|*.kpj";
const char* const kProjectExt = "kpj";
const char* const kCaption = "Pitrova";

// Left click on a widget that has none of its own: press and release over it.
class ClickFilter : public QObject {
public:
    ClickFilter(QWidget* widget, std::function<void()> action) : QObject(widget), action_(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                pressed_ = true;
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && pressed_) {
                pressed_ = false;
                if (widget->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()) && action_)
                    action_();
                return true;
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    std::function<void()> action_;
    bool pressed_ = false;
};

QLabel* PictureLabel(QWidget* parent, const QString& name, const QPixmap& picture)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(picture);
    label->resize(picture.size());
    return label;
}

TImageButton* ToolButton(QWidget* parent, const QString& name, artwork::ButtonId id, const QString& hint)
{
    auto* button = new TImageButton(parent);
    button->setObjectName(name);
    artwork::SetButtonPictures(*button, id);
    if (!hint.isEmpty())
        button->setToolTip(hint);
    return button;
}

QPushButton* HiddenButton(QWidget* parent, const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->hide();
    return button;
}

QTimer* WindowTimer(QObject* parent, const QString& name, int interval)
{
    auto* timer = new QTimer(parent);
    timer->setObjectName(name);
    timer->setInterval(interval);
    return timer;
}

// The caption lines of the Communication row: white on the strip.
QLabel* KeyCaption(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(pal);
    QFont font = label->font();
    font.setPixelSize(13);
    font.setBold(true);
    label->setFont(font);
    label->adjustSize();
    label->hide();
    return label;
}

}  // namespace

void OnClick(QWidget* widget, std::function<void()> action)
{
    widget->installEventFilter(new ClickFilter(widget, std::move(action)));
}

// ------------------------------------------------------------------ creation

TForm1::TForm1(const QStringList& arguments, QWidget* parent) : QMainWindow(parent), arguments_(arguments)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kCaption));
    resize(1280, 860);

    ini_ = std::make_unique<ConfigFile>(ProgramFolder() + QString::fromLatin1(ConfigFileName));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel1 = new QWidget(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(kPanelHeight);
    Panel1->setAutoFillBackground(true);
    QPalette black = Panel1->palette();
    black.setColor(QPalette::Window, Qt::black);
    Panel1->setPalette(black);
    layout->addWidget(Panel1);

    MdiArea = new QMdiArea(central);
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    MdiArea->setBackground(QBrush(Qt::black));
    layout->addWidget(MdiArea, 1);
    Image17 = MdiArea->viewport();
    catalogue::SetMdiArea(MdiArea);
    Image17->installEventFilter(this);
    setCentralWidget(central);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);

    BuildTopPanel();
    BuildMenu();

    TimerCheckUSB = WindowTimer(this, QStringLiteral("TimerCheckUSB"), 1000);
    TimerodswiezanieOkien = WindowTimer(this, QStringLiteral("TimerodswiezanieOkien"), 100);
    Timer1 = WindowTimer(this, QStringLiteral("Timer1"), 100);
    TimerKoniec = WindowTimer(this, QStringLiteral("TimerKoniec"), 200);
    connect(TimerCheckUSB, &QTimer::timeout, this, &TForm1::TimerCheckUSBTimer);
    connect(TimerodswiezanieOkien, &QTimer::timeout, this, &TForm1::TimerodswiezanieOkienTimer);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(TimerKoniec, &QTimer::timeout, this, &TForm1::TimerKoniecTimer);

    FormCreate();
}

TForm1::~TForm1()
{
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::BuildTopPanel()
{
    using artwork::ArtId;
    using artwork::ButtonId;

    Image22 = new QLabel(Panel1);
    Image22->setObjectName(QStringLiteral("Image22"));
    Image22->setScaledContents(true);
    Image22->setGeometry(0, 0, 1280, kBannerHeight);
    Image22->setPixmap(artwork::Banner(1280, kBannerHeight));

    ImageStrip = new QLabel(Panel1);
    ImageStrip->setObjectName(QStringLiteral("ImageStrip"));
    ImageStrip->setScaledContents(true);
    ImageStrip->setGeometry(0, kBannerHeight, 1280, kPanelHeight - kBannerHeight);
    ImageStrip->setPixmap(artwork::Strip(1280, kPanelHeight - kBannerHeight));

    ImageLogo = PictureLabel(Panel1, QStringLiteral("ImageLogo"), artwork::Art(ArtId::Logo));
    ImageLogo->move(kLogoLeft, 0);

    // Tabs: the pictures with their captions over them; both click.
    for (int i = 0; i < 4; ++i) {
        TabNormalPictures[i] = artwork::Art(ArtId::TabNormal);
        TabSelectedPictures[i] = artwork::Art(ArtId::TabSelected);
    }
    QLabel** tabs[] = {&Image13, &Image14, &Image15, &Image16};
    static const char* const captions[] = {"Project", "Profiles", "Analysis", "Communication"};
    void (TForm1::*handlers[])() = {&TForm1::Image13Click, &TForm1::Image14Click, &TForm1::Image15Click,
                                    &TForm1::Image16Click};
    for (int i = 0; i < 4; ++i) {
        QLabel* tab = PictureLabel(Panel1, QStringLiteral("Image%1").arg(13 + i), TabNormalPictures[i]);
        tab->move(kTabsLeft + i * kTabStep, 0);
        *tabs[i] = tab;

        auto* caption = new QLabel(QString::fromLatin1(captions[i]), Panel1);
        caption->setObjectName(QStringLiteral("TabCaption%1").arg(i + 1));
        QPalette pal = caption->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        caption->setPalette(pal);
        QFont font = caption->font();
        font.setPixelSize(14);
        font.setBold(true);
        caption->setFont(font);
        caption->setAlignment(Qt::AlignCenter);
        // The tab's shape leaves its upper edge free; the caption sits lower.
        caption->setGeometry(tab->geometry().adjusted(0, 7, 0, 0));
        TabCaptions[i] = caption;

        const auto handler = handlers[i];
        OnClick(tab, [this, handler] { (this->*handler)(); });
        OnClick(caption, [this, handler] { (this->*handler)(); });
    }

    ImageButton1 = ToolButton(Panel1, QStringLiteral("ImageButton1"), ButtonId::Cascade, QString());
    ImageButton2 = ToolButton(Panel1, QStringLiteral("ImageButton2"), ButtonId::Tile, QString());
    ImageButton1->move(ImageButton1->x(), kArrangeButtonsTop);
    ImageButton2->move(ImageButton2->x(), kArrangeButtonsTop);
    connect(ImageButton1, &TImageButton::clicked, this, &TForm1::ImageButton1Click);
    connect(ImageButton2, &TImageButton::clicked, this, &TForm1::ImageButton2Click);

    // Toolbar rows.
    Image2 = ToolButton(Panel1, QStringLiteral("Image2"), ButtonId::NewProject, QStringLiteral("Create new project"));
    Image3 = ToolButton(Panel1, QStringLiteral("Image3"), ButtonId::OpenProject, QStringLiteral("Open project"));
    Image6 = ToolButton(Panel1, QStringLiteral("Image6"), ButtonId::SaveProject, QStringLiteral("Save project"));
    Image1 = ToolButton(Panel1, QStringLiteral("Image1"), ButtonId::Drivers, QStringLiteral("Drivers profile"));
    Image11 = ToolButton(Panel1, QStringLiteral("Image11"), ButtonId::Tracks, QStringLiteral("Tracks profile"));
    Image12 = ToolButton(Panel1, QStringLiteral("Image12"), ButtonId::Vehicle, QStringLiteral("Vehicle profile"));
    Image9 = ToolButton(Panel1, QStringLiteral("Image9"), ButtonId::Template, QStringLiteral("Template"));
    Image5 = ToolButton(Panel1, QStringLiteral("Image5"), ButtonId::ReadKey,
                        QStringLiteral("Read data from KROM ZoveViz"));
    Image7 = ToolButton(Panel1, QStringLiteral("Image7"), ButtonId::SaveToKey,
                        QStringLiteral("Save data to KROM ZoveViz"));
    connect(Image2, &TImageButton::clicked, this, &TForm1::Image2Click);
    connect(Image3, &TImageButton::clicked, this, &TForm1::Image3Click);
    connect(Image6, &TImageButton::clicked, this, &TForm1::Image6Click);
    connect(Image1, &TImageButton::clicked, this, &TForm1::Image1Click);
    connect(Image11, &TImageButton::clicked, this, &TForm1::Image11Click);
    connect(Image12, &TImageButton::clicked, this, &TForm1::Image12Click);
    connect(Image9, &TImageButton::clicked, this, &TForm1::Image9Click);
    connect(Image5, &TImageButton::clicked, this, &TForm1::Image5Click);
    connect(Image7, &TImageButton::clicked, this, &TForm1::Image7Click);

    // The chart toggles are plain pictures showing their on or off state.
    LapTimesOnPicture = artwork::Art(ArtId::LapTimesOn);
    LapTimesOffPicture = artwork::Art(ArtId::LapTimesOff);
    WholeSessionOnPicture = artwork::Art(ArtId::WholeSessionOn);
    WholeSessionOffPicture = artwork::Art(ArtId::WholeSessionOff);
    LapOverlayOnPicture = artwork::Art(ArtId::LapOverlayOn);
    LapOverlayOffPicture = artwork::Art(ArtId::LapOverlayOff);
    Image10 = PictureLabel(Panel1, QStringLiteral("Image10"), LapTimesOffPicture);
    Image4 = PictureLabel(Panel1, QStringLiteral("Image4"), WholeSessionOffPicture);
    Image18 = PictureLabel(Panel1, QStringLiteral("Image18"), LapOverlayOffPicture);
    OnClick(Image10, [this] { Image10Click(); });
    OnClick(Image4, [this] { Image4Click(); });
    OnClick(Image18, [this] { Image18Click(); });

    for (QWidget* w : std::initializer_list<QWidget*>{Image2, Image3, Image6, Image1, Image11, Image12, Image9, Image10,
                                                      Image4, Image18, Image5, Image7})
        w->hide();

    // The Communication row's captions while no key is seen.
    Labelconnect = KeyCaption(Panel1, QStringLiteral("Labelconnect"),
                              QStringLiteral("Connect USB KROM Key or check drivers"));
    Label5 = KeyCaption(Panel1, QStringLiteral("Label5"),
                        QStringLiteral("If KROM Key connected click to install drivers"));
    QFont underlined = Label5->font();
    underlined.setUnderline(true);
    Label5->setFont(underlined);
    Label5->adjustSize();
    Label5->setCursor(Qt::PointingHandCursor);
    Labelconnect->move(kToolbarFirstLeft, kToolbarTop + 2);
    Label5->move(kToolbarFirstLeft, kToolbarTop + 24);
    OnClick(Label5, [this] { InstallKeyDriver(); });

    // Plain buttons, all hidden; they sit right of the toolbar rows.
    Button2 = HiddenButton(Panel1, QStringLiteral("Button2"), QStringLiteral("Kierowca"));
    Button3 = HiddenButton(Panel1, QStringLiteral("Button3"), QStringLiteral("Lista kier"));
    SpeedButton1 = HiddenButton(Panel1, QStringLiteral("SpeedButton1"), QStringLiteral("Tor"));
    Button4 = HiddenButton(Panel1, QStringLiteral("Button4"), QStringLiteral("Lista torów"));
    BitBtn1 = HiddenButton(Panel1, QStringLiteral("BitBtn1"), QStringLiteral("Lista przejazdów"));
    Button5 = HiddenButton(Panel1, QStringLiteral("Button5"), QStringLiteral("Wykres"));
    Button6 = HiddenButton(Panel1, QStringLiteral("Button6"), QStringLiteral("Wykres okrążenia"));
    Button7 = HiddenButton(Panel1, QStringLiteral("Button7"), QStringLiteral("Odczyt danych"));
    Button8 = HiddenButton(Panel1, QStringLiteral("Button8"), QStringLiteral("Read from files"));
    int left = 480;
    for (QPushButton* b : {Button8, Button2, Button3, SpeedButton1, Button4, BitBtn1, Button5, Button6, Button7}) {
        b->setGeometry(left, kToolbarTop + 8, 140, 30);
        left += 150;
    }
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
    connect(Button8, &QPushButton::clicked, this, &TForm1::Button8Click);

    // Captions over their tabs; the arrangement buttons over the banner.
    for (QLabel* caption : TabCaptions)
        caption->raise();
    ImageButton1->raise();
    ImageButton2->raise();

    Panel1->installEventFilter(this);
}

void TForm1::BuildMenu()
{
    QMenuBar* bar = menuBar();
    File1 = bar->addMenu(QStringLiteral("File"));
    File1->setObjectName(QStringLiteral("File1"));
    UpdateKROMfirmware1 = File1->addAction(QStringLiteral("Update KROM firmware"));
    UpdateKROMfirmware1->setObjectName(QStringLiteral("UpdateKROMfirmware1"));
    Close1 = File1->addAction(QStringLiteral("Close"));
    Close1->setObjectName(QStringLiteral("Close1"));

    // A top-level item that acts on its own click.
    Checkforupdates1 = bar->addAction(QStringLiteral("Check for updates"));
    Checkforupdates1->setObjectName(QStringLiteral("Checkforupdates1"));

    Importdata1 = bar->addMenu(QStringLiteral("Import data"));
    Importdata1->setObjectName(QStringLiteral("Importdata1"));
    Importtracks1 = Importdata1->addAction(QStringLiteral("Import tracks"));
    Importtracks1->setObjectName(QStringLiteral("Importtracks1"));

    Settings1 = bar->addMenu(QStringLiteral("Settings"));
    Settings1->setObjectName(QStringLiteral("Settings1"));
    Chartsettings1 = Settings1->addAction(QStringLiteral("Chart settings"));
    Chartsettings1->setObjectName(QStringLiteral("Chartsettings1"));

    connect(UpdateKROMfirmware1, &QAction::triggered, this, &TForm1::UpdateKROMfirmware1Click);
    connect(Close1, &QAction::triggered, this, &TForm1::Close1Click);
    connect(Checkforupdates1, &QAction::triggered, this, &TForm1::Checkforupdates1Click);
    connect(Importtracks1, &QAction::triggered, this, &TForm1::Importtracks1Click);
    connect(Chartsettings1, &QAction::triggered, this, &TForm1::Chartsettings1Click);
}

void TForm1::FormCreate()
{
    if (IsReadFromFilesSwitch(arguments_))
        Button8->show();
    LayoutToolbar();
    if (!FirmwareLoaderPresent(ProgramFolder()))
        UpdateKROMfirmware1->setVisible(false);
}

void TForm1::LayoutToolbar()
{
    const std::vector<std::vector<QWidget*>> rows = {
        {Image2, Image3, Image6},
        {Image1, Image11, Image12},
        {Image9, Image10, Image4, Image18},
        {Image5, Image7},
    };
    for (const auto& row : rows) {
        int left = kToolbarFirstLeft;
        for (QWidget* control : row) {
            control->move(left, kToolbarTop);
            left = control->x() + control->width() + kToolbarGap;
        }
    }
}

ConfigFile& TForm1::FIni() { return *ini_; }

// ------------------------------------------------------------- start-up

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::FormShow()
{
    const QString folder = ProgramFolder();
    const QString defaultAlias = DefaultConnectionString(folder);
    ini_ = std::make_unique<ConfigFile>(folder + QString::fromLatin1(ConfigFileName));
    const QString alias = ini_->DatabaseAlias(defaultAlias);

    const DailyUpdaterResult launch =
        RunDailyUpdaterLaunch(*ini_, TodayDayNumber(), folder, [](const QString& path) {
            return platform::StartProgram(path);
        });
    if (launch.road == DailyUpdaterRoad::Started) {
        TimerKoniec->start();
        return;
    }

    ShowSplash();
    FormResize();

    if (!DM || !DM->OpenDatabase(alias)) {
        // The database's own reason on a second line: a missing or read-only
        // file, a file that is no database, one another program holds.
        QString text = QStringLiteral("Error opening database");
        const QString reason = DM ? DM->LastOpenError().simplified() : QString();
        if (!reason.isEmpty())
            text += u'\n' + reason;
        platform::ShowMessage(text);
        TimerKoniec->start();
        return;
    }
    UpgradeSchema();
    SetProjectOpen(false);
    SetTab(1);
    Timer1->start();
}

void TForm1::UpgradeSchema()
{
    if (DM)
        ::UpgradeSchema(*DM);
}

void TForm1::Timer1Timer()
{
    Timer1->stop();
    if (!ChooseProject())
        close();
}

void TForm1::TimerKoniecTimer()
{
    TimerKoniec->stop();
    close();
}

void TForm1::Checkforupdates1Click()
{
    const bool started = LaunchUpdater(FIni(), TodayDayNumber(), ProgramFolder(), [](const QString& path) {
        return platform::StartProgram(path);
    });
    if (started)
        close();
    else
        platform::ShowMessage(QString::fromLatin1(UpdaterMissingText));
}

void TForm1::Close1Click() { close(); }

void TForm1::UpdateKROMfirmware1Click()
{
    const QString loader = ProgramFolder() + QString::fromLatin1(FirmwareLoaderFileName);
    if (QFileInfo(loader).isFile())
        platform::StartProgram(loader);
}

// ------------------------------------------------------- project commands

bool TForm1::NewProject()
{
    Project().ResetForNewProject();
    // The toggles show the reset bytes also when the save fails.
    struct Refresh {
        TForm1* form;
        ~Refresh() { form->UpdateToggleImages(); }
    } refresh{this};
    return SaveProject();
}

bool TForm1::SaveProject()
{
    const QString path = platform::SaveFileName(this, QString::fromLatin1(kProjectFilter), projectFileName_,
                                                QString::fromLatin1(kProjectExt));
    if (path.isEmpty())
        return false;
    // Throws on a write error: name, caption and flag then stay as they were.
    Project().SaveToFile(path);
    projectFileName_ = path;
    SetProjectCaption(path);
    SetProjectOpen(true);
    RememberProjectFile(path);
    return true;
}

bool TForm1::OpenProject()
{
    const QString last = FIni().LastProjectFile();
    const QString path = platform::OpenFileName(this, QString::fromLatin1(kProjectFilter), last,
                                                QString::fromLatin1(kProjectExt));
    if (path.isEmpty())
        return false;
    // Throws on a missing or short file and leaves the record as it was.
    Project().LoadFromFile(path);
    projectFileName_ = path;
    SetProjectCaption(path);
    SetProjectOpen(true);
    UpdateToggleImages();
    Project().ApplyOpenDefaults();
    RememberProjectFile(path);
    return true;
}

void TForm1::SetProjectCaption(const QString& path)
{
    setWindowTitle(QStringLiteral("Pitrova [ ") + QFileInfo(path).fileName() + QStringLiteral(" ] "));
}

void TForm1::RememberProjectFile(const QString& path)
{
    try {
        FIni().SetLastProjectFile(path);
    } catch (const std::exception& e) {
        // The project itself is open and saved; only the reminder is lost.
        platform::ShowMessage(QString::fromUtf8(e.what()));
    }
}

void TForm1::SetProjectOpen(bool open)
{
    projectOpen_ = open;
    if (open)
        SetTab(1);
}

void TForm1::UpdateToggleImages()
{
    const ProjectRecord& record = Project();
    Image10->setPixmap(record.LapTimeDiagramOn() == 1 ? LapTimesOnPicture : LapTimesOffPicture);
    Image4->setPixmap(record.WholeSessionChartOn() == 1 ? WholeSessionOnPicture : WholeSessionOffPicture);
    Image18->setPixmap(record.LapOverlayChartOn() == 1 ? LapOverlayOnPicture : LapOverlayOffPicture);
}

// ------------------------------------------------------------------- tabs

void TForm1::SetTab(int tab)
{
    Labelconnect->hide();
    Label5->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{Image2, Image3, Image6, Image1, Image11, Image12, Image9, Image10,
                                                      Image4, Image18, Image5, Image7})
        w->hide();
    QLabel* tabs[] = {Image13, Image14, Image15, Image16};
    for (int i = 0; i < 4; ++i)
        tabs[i]->setPixmap(TabNormalPictures[i]);
    TimerCheckUSB->stop();
    tab_ = tab;

    switch (tab) {
    case 1:
        Image13->setPixmap(TabSelectedPictures[0]);
        Image2->show();
        Image3->show();
        Image6->show();
        break;
    case 2:
        Image14->setPixmap(TabSelectedPictures[1]);
        Image1->show();
        Image12->show();
        Image11->show();
        break;
    case 3:
        Image15->setPixmap(TabSelectedPictures[2]);
        Image9->show();
        Image10->show();
        Image4->show();
        Image18->show();
        break;
    case 4: {
        TimerCheckUSB->start();
        Image16->setPixmap(TabSelectedPictures[3]);
        const bool present = KeyPresent();
        // Pending events were processed during the check: another tab may
        // have been chosen meanwhile, and its row must stay as it is.
        if (tab_ == 4)
            ShowKeyState(present);
        break;
    }
    default:
        break;
    }
}

void TForm1::Image13Click() { SetTab(1); }
void TForm1::Image14Click() { SetTab(2); }
void TForm1::Image15Click() { SetTab(3); }
void TForm1::Image16Click() { SetTab(4); }

void TForm1::FormResize()
{
    ImageButton2->move(Image22->width() - ImageButton2->width() - 2, ImageButton2->y());
    ImageButton1->move(ImageButton2->x() - ImageButton1->width(), ImageButton1->y());
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == Panel1) {
            // The banner and the strip are stretched over the panel's width.
            const int width = Panel1->width();
            Image22->setGeometry(0, 0, width, kBannerHeight);
            Image22->setPixmap(artwork::Banner(width, kBannerHeight));
            ImageStrip->setGeometry(0, kBannerHeight, width, kPanelHeight - kBannerHeight);
            ImageStrip->setPixmap(artwork::Strip(width, kPanelHeight - kBannerHeight));
            FormResize();
        } else if (watched == Image17) {
            MdiArea->setBackground(QBrush(artwork::Workspace(Image17->size())));
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------- child windows

QMdiSubWindow* TForm1::MDISubWindow(const QString& className) const
{
    return FindMdiSubWindow(MdiArea, className);
}

QWidget* TForm1::MDIChild(const QString& className) const
{
    QMdiSubWindow* sub = MDISubWindow(className);
    if (!sub)
        return nullptr;
    QWidget* content = sub->widget();
    if (content && className == QLatin1String(content->metaObject()->className()))
        return content;
    return sub;
}

bool TForm1::IsMDIChildOpen(const TForm1* form, const QString& className)
{
    return form && form->MDISubWindow(className) != nullptr;
}

bool TForm1::IsMDIChildOpen(const QString& className) const { return IsMDIChildOpen(this, className); }

int TForm1::MDIChildCount() const { return int(MdiArea->subWindowList().size()); }

QMdiSubWindow* TForm1::AddMDIChild(QWidget* window)
{
    QMdiSubWindow* sub = MdiArea->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->show();
    return sub;
}

bool TForm1::ActivateMDIChild(const QString& className)
{
    QMdiSubWindow* sub = MDISubWindow(className);
    if (!sub)
        return false;
    if (sub->isMinimized())
        sub->showNormal();
    MdiArea->setActiveSubWindow(sub);
    sub->raise();
    return true;
}

void TForm1::StackChartWindows()
{
    static const char* const order[] = {WholeSessionChartClass, LapsChartClass, LapTimeDiagramClass};
    int count = 0;
    for (const char* name : order)
        if (IsMDIChildOpen(QString::fromLatin1(name)))
            ++count;
    if (count == 0)
        return;

    const int panelWidth = SessionPanelWidth();
    int top = 0;
    for (const char* name : order) {
        QMdiSubWindow* sub = MDISubWindow(QString::fromLatin1(name));
        if (!sub)
            continue;
        sub->setGeometry(panelWidth, top, Image17->width() - panelWidth - 5, (Image17->height() - 5) / count);
        top += sub->height();
    }
}

void TForm1::TimerodswiezanieOkienTimer()
{
    if (MDIChildCount() != rememberedChildCount_) {
        TimerodswiezanieOkien->stop();
        StackChartWindows();
    }
}

void TForm1::ImageButton1Click() { MdiArea->cascadeSubWindows(); }

void TForm1::ImageButton2Click() { MdiArea->tileSubWindows(); }

// ---------------------------------------------------------------- toolbar

void TForm1::Image2Click() { NewProject(); }
void TForm1::Image3Click() { OpenProject(); }
void TForm1::Image6Click() { SaveProject(); }

void TForm1::Image1Click() { ShowDriversWindow(); }
void TForm1::Image11Click() { ShowTracksWindow(); }
void TForm1::Image12Click() { ShowVehicleProfilesWindow(); }

int TForm1::ChooseSessions() { return Analysis.ChooseSessions ? Analysis.ChooseSessions() : 0; }

int TForm1::SessionPanelWidth() const { return Analysis.SessionPanelWidth ? Analysis.SessionPanelWidth() : 0; }

void TForm1::Image9Click()
{
    if (ChooseSessions() < 1)
        return;
    if (!DM || !DM->memWybraneSesje.Active())
        return;
    if (Analysis.ShowSessionPanel)
        Analysis.ShowSessionPanel();

    struct Chart {
        const char* className;
        int offset;
    };
    static const Chart charts[] = {
        {WholeSessionChartClass, ProjectRecord::OffWholeSessionChartOn},
        {LapsChartClass, ProjectRecord::OffLapOverlayChartOn},
        {LapTimeDiagramClass, ProjectRecord::OffLapTimeDiagramOn},
    };
    for (const Chart& chart : charts) {
        const QString name = QString::fromLatin1(chart.className);
        if (IsMDIChildOpen(name)) {
            if (Analysis.ReloadChart)
                Analysis.ReloadChart(name);
        } else if (Project().ByteAt(chart.offset) == 1) {
            if (Analysis.OpenChart)
                Analysis.OpenChart(name);
        }
    }
    StackChartWindows();
}

void TForm1::ToggleChart(const QString& className, int offset)
{
    ProjectRecord& record = Project();
    if (QMdiSubWindow* sub = MDISubWindow(className)) {
        rememberedChildCount_ = MDIChildCount();
        sub->close();
        TimerodswiezanieOkien->start();
        record.SetByteAt(offset, 0);
    } else if (record.ByteAt(offset) == 0) {
        record.SetByteAt(offset, 1);
        if (!DM || !DM->memWybraneSesje.Active())
            ChooseSessions();
        if (DM && DM->memWybraneSesje.Active()) {
            if (Analysis.EnsureSessionPanel)
                Analysis.EnsureSessionPanel();
            if (Analysis.OpenChart)
                Analysis.OpenChart(className);
            StackChartWindows();
        }
    } else {
        // On while not open: the user closed it by its own close box.
        record.SetByteAt(offset, 0);
    }
    UpdateToggleImages();
}

void TForm1::Image10Click()
{
    ToggleChart(QString::fromLatin1(LapTimeDiagramClass), ProjectRecord::OffLapTimeDiagramOn);
}

void TForm1::Image4Click()
{
    ToggleChart(QString::fromLatin1(WholeSessionChartClass), ProjectRecord::OffWholeSessionChartOn);
}

void TForm1::Image18Click()
{
    ToggleChart(QString::fromLatin1(LapsChartClass), ProjectRecord::OffLapOverlayChartOn);
}

// Key read and import: the intake's own routine.
void TForm1::Image5Click() { ReadDataFromKey(TimerCheckUSB); }

void TForm1::Image7Click()
{
    TimerCheckUSB->stop();
    // The presence check resumes however the send window ends.
    struct Resume {
        QTimer* timer;
        ~Resume() { timer->start(); }
    } resume{TimerCheckUSB};
    ShowSendData();
}

// ------------------------------------------------- hidden buttons, menu

// Catalogue editors and choosers: filled in by the profile windows.
void TForm1::Button2Click() { EditDriver(-1); }
void TForm1::Button3Click() { ChooseDriver(false); }
void TForm1::SpeedButton1Click() { EditTrack(-1); }
void TForm1::Button4Click() { ChooseTrack(false); }

void TForm1::BitBtn1Click() { ChooseSessions(); }

void TForm1::Button5Click()
{
    if (Analysis.ShowSessionChart)
        Analysis.ShowSessionChart();
}

void TForm1::Button6Click()
{
    if (Analysis.ShowLapComparison)
        Analysis.ShowLapComparison();
}

void TForm1::Button7Click() { platform::StartProgram(ProgramFolder() + QString::fromLatin1(OldReaderFileName)); }

// Import from key dump files: the intake's own routine.
void TForm1::Button8Click() { ReadFromFiles(); }

// Track import: the track transfer files' own routine.
void TForm1::Importtracks1Click() { ButtonczytajClick(); }

void TForm1::ButtonczytajClick() { ImportTracksFromTransferFolder(); }
void TForm1::ButtoneystawClick() { ExportTracksToTransferFolder(); }

void TForm1::Chartsettings1Click() { ShowChartSettings(); }

// ---------------------------------------------------------------- data key

bool TForm1::KeyPresent()
{
    // The list keeps the last search only; it is never read.
    ListBox1.clear();
    return ::KeyPresent(platform::Usb(), [] { QCoreApplication::processEvents(); }, &ListBox1);
}

void TForm1::ShowKeyState(bool present)
{
    Labelconnect->setVisible(!present);
    Image5->setVisible(present);
    Image7->setVisible(present);
    Label5->setVisible(!present);
}

void TForm1::TimerCheckUSBTimer()
{
    TimerCheckUSB->stop();
    if (tab_ != 4)
        return;
    const bool present = KeyPresent();
    // Another tab chosen during the check keeps its row and the timer off.
    if (tab_ != 4)
        return;
    ShowKeyState(present);
    TimerCheckUSB->start();
}

void TForm1::InstallKeyDriver() { ::InstallKeyDriver(); }
