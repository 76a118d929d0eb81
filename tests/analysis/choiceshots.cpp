// Screenshots of the session choice windows over simulated sessions spread
// across days and months, for judging their look:
//   xvfb-run -a -s "-screen 0 1600x1000x24" analysis_choiceshots [folder]   (default /tmp/shots)
// Writes choice_range.png, choice_range_days.png, choice_template.png,
// choice_calendar_year.png, choice_calendar_month.png, choice_laps.png.
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

#include "analysis/analysissession.h"
#include "analysis/calendar.h"
#include "analysis/ulistaokrazen.h"
#include "analysis/uprocesBrowser.h"
#include "analysis/utemplate.h"
#include "analysis/uwyborZakresu.h"
#include "analysis/uframmiesiac.h"
#include "controls/ButtonComps.h"
#include "intake/headerstore.h"
#include "intake/sessionimport.h"
#include "intake/sessionlist.h"
#include "kromsim.h"
#include "platform/application.h"
#include "platform/dbgrid.h"
#include "platform/dialogs.h"
#include "support/shots.h"
#include "support/testdb.h"

namespace {

QString g_folder;

void Save(QWidget& w, const QString& name)
{
    SaveShot(w, g_folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void Click(TImageButton* b) { emit b->clicked(); }

// Simulated sessions of two loggers over a few days in two years.
void ImportSessions(TestDatabase& db)
{
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO, USUNIETY) values (1, 'Jan', 'Kowalski', 0)"));
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO, USUNIETY) values (2, 'Anna', 'Nowak', 0)"));
    db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (1, 'Tor Boruta', 0)"));
    db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (2, 'Autodrom Radom', 0)"));
    db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (3, 'Kartodrom Bydgoszcz', 0)"));
    db.Exec(QStringLiteral("insert into KROM_KIEROWCY (ID_KIEROWCY, NR_SER_KROM) values (1, '77')"));
    db.Exec(QStringLiteral("insert into KROM_KIEROWCY (ID_KIEROWCY, NR_SER_KROM) values (2, '78')"));

    QTemporaryDir folder;
    const QList<QDateTime> ends = {
        QDateTime(QDate(2024, 5, 4), QTime(10, 12)),  QDateTime(QDate(2024, 5, 4), QTime(11, 40)),
        QDateTime(QDate(2024, 5, 4), QTime(15, 5)),   QDateTime(QDate(2024, 5, 11), QTime(9, 30)),
        QDateTime(QDate(2024, 5, 18), QTime(13, 15)), QDateTime(QDate(2024, 5, 19), QTime(10, 0)),
        QDateTime(QDate(2024, 6, 1), QTime(12, 20)),  QDateTime(QDate(2024, 6, 2), QTime(16, 45)),
        QDateTime(QDate(2024, 4, 20), QTime(11, 0)),  QDateTime(QDate(2023, 9, 9), QTime(14, 30)),
    };
    for (int file = 0; file < 2; ++file) {
        kromsim::DumpOptions opts;
        opts.slot = file + 1;
        opts.serial = QString::number(77 + file);
        for (int i = file; i < ends.size(); i += 2) {
            kromsim::SessionOptions s;
            s.end = ends[i];
            s.laps = 4 + i % 4;
            s.format = i % 3 == 0 ? SampleFormat::Gps : SampleFormat::Plain;
            s.seed = uint32_t(11 + i);
            opts.sessions.push_back(s);
        }
        kromsim::WriteDumpFile(folder.path(), opts);
    }
    BuildSessionList(folder.path(), [](const QString&) {});
    ImportCallbacks cb;
    int n = 0;
    cb.confirmHeader = [&n](const QString& serial, const SessionHeaderRecord& h, int& d, int& t,
                            FbTransaction& session) {
        d = serial == QLatin1String("77") ? 1 : 2;
        t = 1 + n++ % 3;
        return InsertHeader(serial, h, d, t, nullptr, &session);
    };
    cb.message = [](const QString&) {};
    ::ImportSessions(folder.path(), cb);
}

QDate Date(int y, int m, int d) { return QDate(y, m, d); }

}  // namespace

int main(int argc, char** argv)
{
    PitrovaApplication app(argc, argv);
    ApplyDarkTheme(app);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/shots");
    QDir().mkpath(g_folder);
    platform::testing::SetScripted(true);

    TestDatabase db;
    ImportSessions(db);
    AnalysisSession session;  // remembers the range between the choosers
    using platform::testing::OnModal;

    // The range dialog, then the Template chooser over the whole spring.
    OnModal(QStringLiteral("TfWyborZakresu"), [](QDialog& d) {
        auto& f = static_cast<TfWyborZakresu&>(d);
        f.DateEdit1->setDate(Date(2024, 4, 1));
        f.DateEdit2->setDate(Date(2024, 6, 30));
        Save(f, QStringLiteral("choice_range"));
        Click(f.SpeedButton1);
    });
    OnModal(QStringLiteral("TfTemplate"), [](QDialog& d) {
        auto& f = static_cast<TfTemplate&>(d);
        f.RxDBGrid1TitleClick(QStringLiteral("data"));
        f.RxDBGrid1CellClick(0, QStringLiteral("wybrane"));
        f.RxDBGrid1CellClick(2, QStringLiteral("wybrane"));
        f.RxDBGrid1->SelectRow(3);
        Save(f, QStringLiteral("choice_template"));
        Click(f.SpeedButton1);
    });
    ChooseSessions(session);

    // The calendar from the range dialog's Wizard: the year, then May.
    OnModal(QStringLiteral("TfprocesBrowser"), [](QDialog& d) {
        auto& f = static_cast<TfprocesBrowser&>(d);
        f.resize(1600, 1000);
        f.Timer1Timer();
        SetDayTicked(DayDate(2024, 5, 4), true);
        for (int m = 1; m <= 12; ++m)
            f.SmallFrame(m)->SyncTicks();
        Save(f, QStringLiteral("choice_calendar_year"));
        f.TreeView1->setCurrentItem(f.TreeView1->topLevelItem(0)->child(4));
        Save(f, QStringLiteral("choice_calendar_month"));
        Click(f.SpeedButton1);
    });
    OnModal(QStringLiteral("TfWyborZakresu"), [](QDialog& d) {
        auto& f = static_cast<TfWyborZakresu&>(d);
        f.Button1Click();
        Save(f, QStringLiteral("choice_range_days"));
        Click(f.SpeedButton2);
    });
    ChooseSessions(session);

    // The session and lap chooser.
    OnModal(QStringLiteral("TfWyborZakresu"), [](QDialog& d) {
        auto& f = static_cast<TfWyborZakresu&>(d);
        f.DateEdit1->setDate(Date(2024, 5, 1));
        f.DateEdit2->setDate(Date(2024, 5, 31));
        Click(f.SpeedButton1);
    });
    OnModal(QStringLiteral("TfListaOkrazen"), [](QDialog& d) {
        auto& f = static_cast<TfListaOkrazen&>(d);
        f.RxDBGrid1CellClick(0, QStringLiteral("wybrane"));
        f.RxDBGrid1->SelectRow(3);
        Save(f, QStringLiteral("choice_laps"));
        Click(f.SpeedButton2);
    });
    ChooseSessionsAndLaps(session);

    // The wait animation as it runs while a calendar view is built.
    WaitAnimation wait;
    wait.resize(160, 160);
    wait.setAutoFillBackground(true);
    wait.setPalette(QPalette(Qt::white));
    wait.SetActive(true);
    Save(wait, QStringLiteral("choice_wait"));

    const QStringList unhandled = platform::testing::UnhandledModals();
    for (const QString& u : unhandled)
        std::fprintf(stderr, "unhandled: %s\n", qPrintable(u));
    for (const QString& m : platform::testing::Messages())
        std::fprintf(stderr, "message: %s\n", qPrintable(m));
    return 0;
}
