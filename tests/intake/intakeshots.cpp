// Screenshots of the intake windows over simulated sessions, for judging
// their look:
//   xvfb-run -a -s "-screen 0 1600x1000x24" intake_shots [folder]   (default /tmp/shots)
// Writes intake_checklist.png (the "Data to read" check list of four
// sessions, one stored already) and intake_header_form.png (the session
// header form of the first one).
#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>

#include <array>

#include "intake/headerstore.h"
#include "intake/sessionlist.h"
#include "intake/ulistazodczytu.h"
#include "intake/unaglowekRejestracji.h"
#include "kromsim.h"
#include "platform/dialogs.h"
#include "support/shots.h"
#include "support/testdb.h"

int main(int argc, char** argv)
{
    const ShotsRun run(argc, argv);
    TestDatabase db;
    db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO, USUNIETY) values (1, 'Jan', 'Kowalski', 0)"));
    db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (100001, 'Boruta', 0)"));

    // One logger's dump of four sessions by two drivers.
    QTemporaryDir folder;
    kromsim::DumpOptions dump;
    dump.serial = QStringLiteral("77");
    for (int i = 0; i < 4; ++i) {
        kromsim::SessionOptions s;
        s.raceIndex = static_cast<uint8_t>(i);
        s.laps = 2 + i;
        s.seed = static_cast<uint32_t>(i + 1);
        s.driverText = i % 2 ? QStringLiteral("NOWAK") : QStringLiteral("KOWALSKI");
        dump.sessions.push_back(s);
    }
    kromsim::DumpTruth truth = kromsim::WriteDumpFile(folder.path(), dump);

    // The second session is stored already, so its row shows as such.
    db.Exec(QStringLiteral("insert into NAGLOWKI (ID_NAG, NR_SERYJNY_KROM, DATA_KONIEC) values (1, '77', '%1')")
                .arg(truth.sessions[1].end.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
    BuildSessionList(folder.path(), [](const QString&) {});
    platform::testing::OnModal(QStringLiteral("TfListaZOdczytu"), [&](QDialog& d) {
        auto& f = static_cast<TfListaZOdczytu&>(d);
        f.RxDBGrid1->setFocus();
        f.RxDBGrid1->setCurrentIndex(f.RxDBGrid1->model()->index(2, 0));
        SaveShot(f, run.File(QStringLiteral("intake_checklist.png")));
        f.SpeedButton4Click();
    });
    ChooseSessionsToRead();

    // The first session's header with a vehicle set-up filled in.
    SessionHeaderRecord header = truth.sessions[0].header;
    std::array<int, 30> setup{};
    for (size_t i = 0; i < setup.size(); ++i)
        setup[i] = static_cast<int>((i * 37 + 11) % 140);
    ApplySetup(header, setup);
    platform::testing::OnModal(QStringLiteral("TfNaglowekRejestracji"), [&](QDialog& d) {
        auto& f = static_cast<TfNaglowekRejestracji&>(d);
        SaveShot(f, run.File(QStringLiteral("intake_header_form.png")));
        f.SpeedButton4Click();
    });
    int driverId = 1, trackId = 100001;
    ConfirmSessionHeader(truth.serial, header, driverId, trackId);
    return 0;
}
