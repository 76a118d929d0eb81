#pragma once
// The main window: the multi-document parent of every list, chart and GPS
// window.  Its top panel carries the four-tab toolbar (Project, Profiles,
// Analysis, Communication), its menu the few commands not on the toolbar.
// It runs the start-up sequence when it is first shown, holds the project
// file name and the project-open flag, checks for the data key while the
// Communication tab is shown and stacks the chart windows of the analysis.
#include <QMainWindow>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

#include "analysis/analysishooks.h"
#include "platform/windowhost.h"
#include "shell/startup.h"

class ConfigFile;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPushButton;
class QStatusBar;
class QTimer;
class TImageButton;

// Runs action on a left click (press and release over the widget) of a
// widget that has no click of its own (a picture, a caption).
void OnClick(QWidget* widget, std::function<void()> action);

class TForm1 : public QMainWindow, public WindowHost {
    Q_OBJECT
public:
    // arguments: the command line without the program's name.  Runs the
    // create handler; the data module need not exist yet.
    explicit TForm1(const QStringList& arguments = CommandLineArguments(), QWidget* parent = nullptr);
    ~TForm1() override;

    // ----------------------------------------------------------- top panel
    QWidget* Panel1;       // top panel, 128 high
    QLabel* Image22;       // banner, stretched over the top 52 pixels
    QLabel* ImageStrip;    // strip below the banner, behind the toolbar row
    QLabel* ImageLogo;     // logo at the banner's left end
    QLabel* Image13;       // tab pictures "Project" .. "Communication"
    QLabel* Image14;
    QLabel* Image15;
    QLabel* Image16;
    std::array<QLabel*, 4> TabCaptions{};  // white bold captions over the tabs
    TImageButton* ImageButton1;  // cascade the child windows
    TImageButton* ImageButton2;  // tile them

    // Toolbar: Project, Profiles, Analysis, Communication rows.
    TImageButton* Image2;   // "Create new project"
    TImageButton* Image3;   // "Open project"
    TImageButton* Image6;   // "Save project"
    TImageButton* Image1;   // "Drivers profile"
    TImageButton* Image11;  // "Tracks profile"
    TImageButton* Image12;  // "Vehicle profile"
    TImageButton* Image9;   // "Template"
    QLabel* Image10;        // toggle of the lap time diagram (byte 66)
    QLabel* Image4;         // toggle of the whole-session chart (byte 67)
    QLabel* Image18;        // toggle of the lap-overlay chart (byte 68)
    TImageButton* Image5;   // "Read data from KROM ZoveViz"
    TImageButton* Image7;   // "Save data to KROM ZoveViz"
    QLabel* Labelconnect;   // "Connect USB KROM Key or check drivers"
    QLabel* Label5;         // "If KROM Key connected click to install drivers"

    // Plain buttons created hidden; only Button8 is ever shown ("/D").
    QPushButton* Button2;       // "Kierowca"
    QPushButton* Button3;       // "Lista kier"
    QPushButton* SpeedButton1;  // "Tor"
    QPushButton* Button4;       // "Lista torów"
    QPushButton* BitBtn1;       // "Lista przejazdów"
    QPushButton* Button5;       // "Wykres"
    QPushButton* Button6;       // "Wykres okrążenia"
    QPushButton* Button7;       // "Odczyt danych"
    QPushButton* Button8;       // "Read from files"

    // Hidden pictures: the tabs' normal and selected pictures and the chart
    // toggles' on and off pictures.
    std::array<QPixmap, 4> TabNormalPictures;
    std::array<QPixmap, 4> TabSelectedPictures;
    QPixmap LapTimesOnPicture, LapTimesOffPicture;
    QPixmap WholeSessionOnPicture, WholeSessionOffPicture;
    QPixmap LapOverlayOnPicture, LapOverlayOffPicture;

    // ---------------------------------------------------- client, menu, bar
    QMdiArea* MdiArea;
    // The client area in which the chart windows are placed: the viewport
    // of the multi-document area, whose width and height are that space.
    QWidget* Image17;
    QStatusBar* StatusBar1;

    QMenu* File1;
    QAction* UpdateKROMfirmware1;
    QAction* Close1;
    QAction* Checkforupdates1;
    QMenu* Importdata1;
    QAction* Importtracks1;
    QMenu* Settings1;
    QAction* Chartsettings1;

    // -------------------------------------------------------------- timers
    QTimer* TimerCheckUSB;          // 1000 ms, on only while tab 4 is shown
    QTimer* TimerodswiezanieOkien;  // 100 ms, restacks after a chart closed
    QTimer* Timer1;                 // 100 ms, the project prompt, once
    QTimer* TimerKoniec;            // 200 ms, the delayed close

    // Device list of the last presence check (its header line).
    QStringList ListBox1;

    // Calls into the session analysis.
    AnalysisHooks Analysis;

    // --------------------------------------------------------------- state
    int Tab() const { return tab_; }
    const QString& ProjectFileName() const { return projectFileName_; }
    bool ProjectOpen() const { return projectOpen_; }
    int RememberedChildCount() const { return rememberedChildCount_; }
    // The configuration file as the window reads it.
    ConfigFile& FIni();

    // ------------------------------------------------------- child windows
    // The window host: the multi-document area and the client area Image17.
    QMdiArea* ChildArea() const override { return MdiArea; }
    QSize ClientSize() const override;
    // True when one of form's child windows has exactly this class name
    // (case-sensitive), scanning from the first.
    static bool IsMDIChildOpen(const TForm1* form, const QString& className);
    using WindowHost::IsMDIChildOpen;

public slots:
    // Start-up and shut-down.
    void FormCreate();
    void FormShow();
    void Timer1Timer();
    void TimerKoniecTimer();
    void Checkforupdates1Click();
    void Close1Click();
    void UpdateKROMfirmware1Click();
    void UpgradeSchema();

    // Project commands.
    bool NewProject();
    bool OpenProject();
    bool SaveProject();
    void SetProjectOpen(bool open);
    void UpdateToggleImages();

    // Tabs, layout, child windows.
    void SetTab(int tab);
    void StackChartWindows();
    void TimerodswiezanieOkienTimer();
    void ImageButton1Click();
    void ImageButton2Click();
    void FormResize();
    void Image13Click();
    void Image14Click();
    void Image15Click();
    void Image16Click();

    // Toolbar.
    void Image2Click();
    void Image3Click();
    void Image6Click();
    void Image1Click();
    void Image11Click();
    void Image12Click();
    void Image9Click();
    void Image10Click();
    void Image4Click();
    void Image18Click();
    void Image5Click();
    void Image7Click();

    // Hidden buttons and menu items.
    void Button2Click();
    void Button3Click();
    void SpeedButton1Click();
    void Button4Click();
    void BitBtn1Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Importtracks1Click();
    void Chartsettings1Click();

    // Track transfer files: the import, and the export that no menu item or
    // button starts.
    void ButtonczytajClick();
    void ButtoneystawClick();

    // The data key.
    bool KeyPresent();
    void TimerCheckUSBTimer();
    void InstallKeyDriver();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTopPanel();
    void BuildMenu();
    void LayoutToolbar();
    // Shows the read and send buttons or the two captions.
    void ShowKeyState(bool present);
    // The toggle road of one chart window and its project byte.
    void ToggleChart(const QString& className, int offset);
    void SetProjectCaption(const QString& path);
    // Writes OstatniPlik; a failed write is shown, the project stays open.
    void RememberProjectFile(const QString& path);

    int ChooseSessions();
    int SessionPanelWidth() const;

    std::unique_ptr<ConfigFile> ini_;
    QStringList arguments_;
    int tab_ = 0;
    int rememberedChildCount_ = 0;
    QString projectFileName_;
    bool projectOpen_ = false;
    bool shown_ = false;
};

// The main window of the run (the application's main form).
extern TForm1* Form1;
