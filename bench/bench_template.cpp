// The Template chooser's fill against a plain fill of three statements.
//
// A fresh database holds 5,000 sessions (4 drivers, 3 tracks) of 12 laps
// with 3 sectors each, written straight into NAGLOWKI, OKRAZENIA_REJ and
// SEKTORY.  Template: FillTemplateSessions over a range that lists all of
// them (the grid's table, best lap and best sectors).  Three-statement fill:
// the sessions, their laps and their sectors, each read by one statement of
// only the columns needed into plain arrays, the bests kept per session.
// The two run interleaved, five times each; the medians are printed.
#include <QCoreApplication>

#include <array>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "analysis/sessionchoice.h"
#include "clientapi.h"
#include "platform/memtable.h"
#include "shell/data/fbbulk.h"
#include "shell/data/ibquery.h"
#include "shell/data/ubazy.h"
#include "support/testdb.h"

namespace {

constexpr int kSessions = 5000;
constexpr int kLaps = 12;
constexpr int kSectorsPerLap = 3;
constexpr int kRuns = 5;
constexpr TDateTime kFirstDay = 45292;  // 2024-01-01
constexpr TDateTime kLastDay = kFirstDay + 400;

QString TimeText(int hundredths)
{
    return QStringLiteral("%1:%2:%3")
        .arg(hundredths / 6000, 2, 10, QLatin1Char('0'))
        .arg(hundredths / 100 % 60, 2, 10, QLatin1Char('0'))
        .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

void Fill()
{
    FbTransaction tr(DM->TransBrowse.Database());
    tr.StartWrite(0);
    for (int d = 1; d <= 4; ++d) {
        FbStatement st(tr, QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO) values (?, ?, ?)"));
        st.SetInt(0, d);
        st.SetText(1, QStringLiteral("Driver"));
        st.SetText(2, QStringLiteral("Number %1").arg(d));
        st.Execute();
    }
    for (int t = 1; t <= 3; ++t) {
        FbStatement st(tr, QStringLiteral("insert into TORY (ID_TORU, NAZWA) values (?, ?)"));
        st.SetInt(0, t);
        st.SetText(1, QStringLiteral("Track %1").arg(t));
        st.Execute();
    }
    FbStatement session(tr, QStringLiteral("insert into NAGLOWKI (ID_NAG, DATA_START, DATA_KONIEC, ID_KIEROWCY, ID_TORU, "
                                           "ILOSC_OKRAZEN, NUMER_WYSCIGU, BYL_GPS) values (?, ?, ?, ?, ?, ?, ?, ?)"));
    FbStatement lap(tr, QStringLiteral("insert into OKRAZENIA_REJ (ID_NAGLOWKA, NR, CZAS, CZAS_SS) values (?, ?, ?, ?)"));
    FbStatement sector(tr, QStringLiteral(
                               "insert into SEKTORY (ID_NAGLOWKA, NR_OKRAZENIA, NR_SEKTORA, CZAS, CZAS_SS) values (?, ?, ?, ?, ?)"));
    uint32_t seed = 12345;
    auto next = [&](int range) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % uint32_t(range));
    };
    for (int id = 1; id <= kSessions; ++id) {
        const TDateTime start = kFirstDay + (id - 1) * 0.07;
        session.SetInt(0, id);
        session.SetTimestamp(1, start);
        session.SetTimestamp(2, start + 0.02);
        session.SetInt(3, 1 + id % 4);
        session.SetInt(4, 1 + id % 3);
        session.SetInt(5, kLaps + 1);
        session.SetInt(6, id % 20 + 1);
        session.SetInt(7, id % 2);
        session.Execute();
        for (int n = 1; n <= kLaps; ++n) {
            int lapTime = 0;
            for (int s = 1; s <= kSectorsPerLap; ++s) {
                const int t = 1800 + next(400);
                lapTime += t;
                sector.SetInt(0, id);
                sector.SetInt(1, n);
                sector.SetInt(2, s);
                sector.SetText(3, TimeText(t));
                sector.SetInt(4, t);
                sector.Execute();
            }
            lap.SetInt(0, id);
            lap.SetInt(1, n);
            lap.SetText(2, TimeText(lapTime));
            lap.SetInt(3, lapTime);
            lap.Execute();
        }
    }
    tr.Commit();
}

// One listed session as the plain fill keeps it.
struct PlainSession {
    int id = 0, number = 0, laps = 0;
    bool gps = false;
    TDateTime start = 0;
    QString track, driver;
    int bestLap = 1000000000, bestLapNr = 0;
    QString bestLapText = QStringLiteral(" ");
    std::array<int, 5> bestSector{1000000000, 1000000000, 1000000000, 1000000000, 1000000000};
    std::array<QString, 5> bestSectorText{QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "),
                                          QStringLiteral(" "), QStringLiteral(" ")};
};

// The sessions of the range, then their laps, then their sectors: one
// statement each, only the columns needed.
size_t ThreeStatementFill(std::vector<PlainSession>& out)
{
    out.clear();
    std::unordered_map<int, size_t> at;
    FbTransaction tr(DM->TransBrowse.Database());
    tr.StartRead();
    const QString range = QStringLiteral(" where n.DATA_START >= ? and n.DATA_KONIEC < ?");
    auto open = [&](FbStatement& st) {
        st.SetTimestamp(0, kFirstDay);
        st.SetTimestamp(1, kLastDay);
        st.Open();
    };
    {
        FbStatement st(tr, QStringLiteral("select n.ID_NAG, n.BYL_GPS, t.NAZWA, k.IMIE, k.NAZWISKO, n.NUMER_WYSCIGU, "
                                          "n.ILOSC_OKRAZEN, n.DATA_START from NAGLOWKI n left join TORY t on "
                                          "t.ID_TORU = n.ID_TORU left join KIEROWCY k on k.ID_KIEROWCY = n.ID_KIEROWCY") +
                               range);
        open(st);
        while (st.Fetch()) {
            PlainSession s;
            s.id = st.Int(0);
            s.gps = st.Int(1) > 0;
            s.track = st.Text(2);
            s.driver = st.Text(3) + u' ' + st.Text(4);
            s.number = st.Int(5);
            s.laps = st.Int(6) - 1;
            s.start = st.Timestamp(7);
            at[s.id] = out.size();
            out.push_back(std::move(s));
        }
    }
    {
        FbStatement st(tr, QStringLiteral("select r.ID_NAGLOWKA, r.NR, r.CZAS_SS, r.CZAS from OKRAZENIA_REJ r join "
                                          "NAGLOWKI n on n.ID_NAG = r.ID_NAGLOWKA") +
                               range);
        open(st);
        while (st.Fetch()) {
            PlainSession& s = out[at[st.Int(0)]];
            const int t = st.Int(2);
            if (t < s.bestLap) {
                s.bestLap = t;
                s.bestLapNr = st.Int(1);
                s.bestLapText = st.Text(3);
            }
        }
    }
    {
        FbStatement st(tr, QStringLiteral("select r.ID_NAGLOWKA, r.NR_SEKTORA, r.CZAS_SS, r.CZAS from SEKTORY r join "
                                          "NAGLOWKI n on n.ID_NAG = r.ID_NAGLOWKA") +
                               range);
        open(st);
        while (st.Fetch()) {
            const int nr = st.Int(1);
            if (nr < 1 || nr > 5)
                continue;
            PlainSession& s = out[at[st.Int(0)]];
            const int t = st.Int(2);
            if (t < s.bestSector[size_t(nr - 1)]) {
                s.bestSector[size_t(nr - 1)] = t;
                s.bestSectorText[size_t(nr - 1)] = st.Text(3);
            }
        }
    }
    tr.Commit();
    return out.size();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        TestDatabase db;
        auto t0 = std::chrono::steady_clock::now();
        Fill();
        std::printf("%d sessions written in %.1f s\n", kSessions, bench::Seconds(t0));

        MemTable memdane(QStringLiteral("memdane"), TemplateFields());
        TIBQuery qnag(DM->TransBrowse);
        std::vector<PlainSession> plain;
        ThreeStatementFill(plain);  // warms the page cache

        std::vector<double> templates, fills;
        size_t listed = 0;
        int pumps = 0;
        // Interleaved, run after run: both meet the same state of the machine.
        for (int run = 0; run < kRuns; ++run) {
            t0 = std::chrono::steady_clock::now();
            listed = ThreeStatementFill(plain);
            fills.push_back(bench::Seconds(t0));

            memdane.Open();
            t0 = std::chrono::steady_clock::now();
            BuildTemplateRangeQuery(qnag, kFirstDay, kLastDay);
            FillTemplateSessions(qnag, memdane, [&] { ++pumps; });
            templates.push_back(bench::Seconds(t0));
            std::printf("run %d: template %.1f ms, three-statement fill %.1f ms\n", run + 1, templates.back() * 1000,
                        fills.back() * 1000);
        }
        if (size_t(memdane.RecordCount()) != listed || listed != size_t(kSessions))
            throw std::runtime_error("the Template chooser and the plain fill listed different sessions");
        const double tmpl = bench::Median(templates), fill = bench::Median(fills);
        std::printf("template %.1f ms, three-statement fill %.1f ms, ratio %.2f (%zu sessions)\n", tmpl * 1000,
                    fill * 1000, tmpl / fill, listed);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_template: %s\n", e.what());
        return 1;
    }
    return 0;
}
