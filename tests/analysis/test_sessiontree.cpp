// The session tree against a real database: sessions, laps and sectors
// written by hand, the tree compared row by row with what was worked out
// for them (lap starts and ends, sector ends, filters, best marks, the
// running row number), and the check column's rules.
#include <gtest/gtest.h>

#include <QLocale>

#include "analysis/sessiontree.h"
#include "support/testdb.h"

// Readable texts in failure messages.
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

struct LapRow {
    int nr;
    int czasSs;
};

struct SectorRow {
    int lap;
    int nr;
    int czasSs;
};

struct Session {
    int id = 1;
    int start = 1500;  // START_PIERWSZ_OKR
    std::vector<LapRow> laps;
    std::vector<SectorRow> sectors;
};

QString Text(int v) { return QString::number(v); }

// "1:02:03" style text for a duration, as the import writes CZAS.
QString TimeText(int hundredths)
{
    return QStringLiteral("%1:%2:%3")
        .arg(hundredths / 6000, 2, 10, QChar(u'0'))
        .arg((hundredths / 100) % 60, 2, 10, QChar(u'0'))
        .arg(hundredths % 100, 2, 10, QChar(u'0'));
}

class TreeTest : public ::testing::Test {
protected:
    TestDatabase db;
    SessionTree tree;

    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO) values (1, 'Jan', 'Kowalski')"));
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    void Insert(const Session& s, const QString& start = QStringLiteral("2024-06-20 10:15:30"), int driver = 1)
    {
        db.Exec(QStringLiteral("insert into NAGLOWKI (ID_NAG, DATA_START, ID_KIEROWCY, START_PIERWSZ_OKR) "
                               "values (%1, '%2', %3, %4)")
                    .arg(s.id)
                    .arg(start)
                    .arg(driver)
                    .arg(s.start));
        for (const LapRow& l : s.laps)
            db.Exec(QStringLiteral("insert into OKRAZENIA_REJ (ID_NAGLOWKA, NR, CZAS, CZAS_SS) values (%1, %2, '%3', %4)")
                        .arg(s.id)
                        .arg(l.nr)
                        .arg(TimeText(l.czasSs))
                        .arg(l.czasSs));
        for (const SectorRow& r : s.sectors)
            db.Exec(QStringLiteral("insert into SEKTORY (ID_NAGLOWKA, NR_OKRAZENIA, NR_SEKTORA, CZAS, CZAS_SS) "
                                   "values (%1, %2, %3, '%4', %5)")
                        .arg(s.id)
                        .arg(r.lap)
                        .arg(r.nr)
                        .arg(TimeText(r.czasSs))
                        .arg(r.czasSs));
    }

    static QString Cell(MemTable& t, int row, const char* field)
    {
        const int c = t.FieldIndex(QLatin1String(field));
        if (t.IsNullAt(row, c))
            return QStringLiteral("-");
        return t.Def(c).type == FieldType::String ? t.StringAt(row, c) : Text(t.IntAt(row, c));
    }

    // memdane without the session rows' Pole1/Pole2 (tested on their own):
    // "typ Pole1 id_okrazenia/id_sektora lp w<wybrany> s<status_naj> t<czas_ss>".
    QStringList Grid()
    {
        QStringList rows;
        MemTable& t = tree.memdane;
        for (int r = 0; r < t.RecordCount(); ++r) {
            const bool session = Cell(t, r, "typ_rekordu") == QLatin1String("1");
            rows << QStringLiteral("%1 %2 %3/%4 lp%5 w%6 s%7 t%8 p%9")
                        .arg(Cell(t, r, "typ_rekordu"), session ? Cell(t, r, "id_naglowka") : Cell(t, r, "Pole1"),
                             Cell(t, r, "id_okrazenia"), Cell(t, r, "id_sektora"), Cell(t, r, "lp"),
                             Cell(t, r, "wybrany"), Cell(t, r, "status_naj"), Cell(t, r, "czas_ss"),
                             Cell(t, r, "przes_czas"));
        }
        return rows;
    }

    // memokrazenia: "id lap czas-czas_end s<status> lp<lp>".
    QStringList Laps()
    {
        QStringList rows;
        MemTable& t = tree.memokrazenia;
        for (int r = 0; r < t.RecordCount(); ++r)
            rows << QStringLiteral("%1 %2 %3-%4 s%5 lp%6")
                        .arg(Cell(t, r, "id_nag"), Cell(t, r, "lap"), Cell(t, r, "czas"), Cell(t, r, "czas_end"),
                             Cell(t, r, "status_naj"), Cell(t, r, "lp"));
        return rows;
    }

    // memSektory: "id lap/nr_okr czas".
    QStringList Sectors()
    {
        QStringList rows;
        MemTable& t = tree.memSektory;
        for (int r = 0; r < t.RecordCount(); ++r)
            rows << QStringLiteral("%1 %2/%3 %4")
                        .arg(Cell(t, r, "id_nag"), Cell(t, r, "lap"), Cell(t, r, "nr_okr"), Cell(t, r, "czas"));
        return rows;
    }
};

struct TreeCase {
    const char* name;
    std::vector<Session> sessions;
    TreeFilters filters;
    QStringList grid;
    QStringList laps;
    QStringList sectors;
};

TEST_F(TreeTest, LapsSectorsFiltersAndMarks)
{
    const std::vector<TreeCase> cases = {
        {"Max 60 leaves the 61 s lap out; lap 2 fastest, lap 1 slowest",
         {{1, 1500, {{1, 6000}, {2, 5900}, {3, 6100}}, {}}},
         {60, 0},
         {"1 1 -/- lp1 w1 s- t- p1500", "2 L1 1/- lp2 w1 s1 t6000 p1500", "2 L2 2/- lp3 w1 s2 t5900 p1500"},
         {"1 L0 1500-- s- lp-", "1 L1 1500-7500 s1 lp2", "1 L2 7500-13400 s2 lp3"},
         {"1 /- 1500"}},
        {"Min 60 leaves lap 2 out; lap 3 still starts after it",
         {{1, 1500, {{1, 6000}, {2, 5900}, {3, 6100}}, {}}},
         {0, 60},
         {"1 1 -/- lp1 w1 s- t- p1500", "2 L1 1/- lp2 w1 s2 t6000 p1500", "2 L3 3/- lp3 w1 s1 t6100 p1500"},
         {"1 L0 1500-- s- lp-", "1 L1 1500-7500 s2 lp2", "1 L3 13400-19500 s1 lp3"},
         {"1 /- 1500"}},
        {"a lap of exactly Max x 100 stays",
         {{1, 0, {{1, 6000}, {2, 6001}}, {}}},
         {60, 0},
         {"1 1 -/- lp1 w1 s- t- p0", "2 L1 1/- lp2 w1 s1 t6000 p0"},
         {"1 L0 0-- s- lp-", "1 L1 0-6000 s1 lp2"},
         {"1 /- 0"}},
        {"one lap is marked slowest only",
         {{1, 200, {{1, 5000}}, {}}},
         {},
         {"1 1 -/- lp1 w1 s- t- p200", "2 L1 1/- lp2 w1 s1 t5000 p200"},
         {"1 L0 200-- s- lp-", "1 L1 200-5200 s1 lp2"},
         {"1 /- 200"}},
        {"equal laps: the first is slowest, none fastest",
         {{1, 0, {{1, 5000}, {2, 5000}, {3, 5000}}, {}}},
         {},
         {"1 1 -/- lp1 w1 s- t- p0", "2 L1 1/- lp2 w1 s1 t5000 p0", "2 L2 2/- lp3 w1 s- t5000 p0",
          "2 L3 3/- lp4 w1 s- t5000 p0"},
         {"1 L0 0-- s- lp-", "1 L1 0-5000 s1 lp2", "1 L2 5000-10000 s- lp3", "1 L3 10000-15000 s- lp4"},
         {"1 /- 0"}},
        {"no laps: the session row and the two start rows",
         {{1, 700, {}, {}}},
         {},
         {"1 1 -/- lp1 w1 s- t- p700"},
         {"1 L0 700-- s- lp-"},
         {"1 /- 700"}},
        {"sectors under their laps, marks per sector number; 11 listed, never marked",
         {{1, 100, {{1, 6000}, {2, 5800}},
           {{1, 1, 2000}, {1, 2, 4000}, {1, 11, 1}, {2, 1, 1900}, {2, 2, 3900}, {2, 11, 999}}}},
         {},
         {"1 1 -/- lp1 w1 s- t- p100", "2 L1 1/- lp2 w1 s1 t6000 p100", "3  S1 1/1 lp3 w- s1 t2000 p100",
          "3  S2 1/2 lp4 w- s1 t4000 p100", "3  S11 1/11 lp5 w- s- t1 p100", "2 L2 2/- lp6 w1 s2 t5800 p100",
          "3  S1 2/1 lp7 w- s2 t1900 p100", "3  S2 2/2 lp8 w- s2 t3900 p100", "3  S11 2/11 lp9 w- s- t999 p100"},
         {"1 L0 100-- s- lp-", "1 L1 100-6100 s1 lp2", "1 L2 6100-11900 s2 lp6"},
         {"1 /- 100", "1 S1/1 2100", "1 S2/1 6100", "1 S11/1 6101", "1 S1/2 8001", "1 S2/2 11901",
          "1 S11/2 12900"}},
        {"sectors stored out of their order are listed and summed by number",
         {{1, 0, {{1, 6000}}, {{1, 3, 1000}, {1, 1, 2000}, {1, 2, 3000}}}},
         {},
         {"1 1 -/- lp1 w1 s- t- p0", "2 L1 1/- lp2 w1 s1 t6000 p0", "3  S1 1/1 lp3 w- s1 t2000 p0",
          "3  S2 1/2 lp4 w- s1 t3000 p0", "3  S3 1/3 lp5 w- s1 t1000 p0"},
         {"1 L0 0-- s- lp-", "1 L1 0-6000 s1 lp2"},
         {"1 /- 0", "1 S1/1 2000", "1 S2/1 5000", "1 S3/1 6000"}},
        {"highest sector number 1: no sector rows",
         {{1, 0, {{1, 6000}}, {{1, 1, 6000}}}},
         {},
         {"1 1 -/- lp1 w1 s- t- p0", "2 L1 1/- lp2 w1 s1 t6000 p0"},
         {"1 L0 0-- s- lp-", "1 L1 0-6000 s1 lp2"},
         {"1 /- 0"}},
        {"highest sector number 0: no sector rows",
         {{1, 0, {{1, 6000}}, {{1, 0, 6000}}}},
         {},
         {"1 1 -/- lp1 w1 s- t- p0", "2 L1 1/- lp2 w1 s1 t6000 p0"},
         {"1 L0 0-- s- lp-", "1 L1 0-6000 s1 lp2"},
         {"1 /- 0"}},
        {"sectors after a left-out lap end at their session time",
         {{1, 1000, {{1, 6000}, {2, 9000}, {3, 5000}},
           {{1, 1, 2500}, {1, 2, 3500}, {2, 1, 4000}, {2, 2, 5000}, {3, 1, 2000}, {3, 2, 3000}}}},
         {80, 0},
         {"1 1 -/- lp1 w1 s- t- p1000", "2 L1 1/- lp2 w1 s1 t6000 p1000", "3  S1 1/1 lp3 w- s1 t2500 p1000",
          "3  S2 1/2 lp4 w- s1 t3500 p1000", "2 L3 3/- lp5 w1 s2 t5000 p1000", "3  S1 3/1 lp6 w- s2 t2000 p1000",
          "3  S2 3/2 lp7 w- s2 t3000 p1000"},
         {"1 L0 1000-- s- lp-", "1 L1 1000-7000 s1 lp2", "1 L3 16000-21000 s2 lp5"},
         // Lap 3 starts at 16000: its sectors end at 18000 and 21000.
         {"1 /- 1000", "1 S1/1 3500", "1 S2/1 7000", "1 S1/3 18000", "1 S2/3 21000"}},
        {"a Max of 30000000 s keeps every lap (no 32-bit overflow of Max x 100)",
         {{1, 0, {{1, 6000}, {2, 5900}}, {}}},
         {30000000, 0},
         {"1 1 -/- lp1 w1 s- t- p0", "2 L1 1/- lp2 w1 s1 t6000 p0", "2 L2 2/- lp3 w1 s2 t5900 p0"},
         {"1 L0 0-- s- lp-", "1 L1 0-6000 s1 lp2", "1 L2 6000-11900 s2 lp3"},
         {"1 /- 0"}},
        {"a Min of 30000000 s keeps no lap",
         {{1, 0, {{1, 6000}, {2, 5900}}, {}}},
         {0, 30000000},
         {"1 1 -/- lp1 w1 s- t- p0"},
         {"1 L0 0-- s- lp-"},
         {"1 /- 0"}},
        {"out-of-range stored times end at the int range instead of wrapping round",
         {{1, 1000, {{1, 2000000000}, {2, 2000000000}, {3, 100}},
           {{1, 1, 2000000000}, {1, 2, 1}, {2, 1, 2000000000}, {3, 1, 50}, {3, 2, 50}}}},
         {},
         {"1 1 -/- lp1 w1 s- t- p1000", "2 L1 1/- lp2 w1 s1 t2000000000 p1000",
          "3  S1 1/1 lp3 w- s1 t2000000000 p1000", "3  S2 1/2 lp4 w- s2 t1 p1000",
          "2 L2 2/- lp5 w1 s- t2000000000 p1000", "3  S1 2/1 lp6 w- s- t2000000000 p1000",
          "2 L3 3/- lp7 w1 s2 t100 p1000", "3  S1 3/1 lp8 w- s2 t50 p1000", "3  S2 3/2 lp9 w- s1 t50 p1000"},
         {"1 L0 1000-- s- lp-", "1 L1 1000-2000001000 s1 lp2", "1 L2 2000001000-2147483647 s- lp5",
          "1 L3 2147483647-2147483647 s2 lp7"},
         {"1 /- 1000", "1 S1/1 2000001000", "1 S2/1 2000001001", "1 S1/2 2147483647", "1 S1/3 2147483647",
          "1 S2/3 2147483647"}},
        {"two sessions: lp runs on, marks per session",
         {{5, 100, {{1, 5000}, {2, 4000}}, {}}, {6, 200, {{1, 3000}, {2, 3500}}, {}}},
         {},
         {"1 5 -/- lp1 w1 s- t- p100", "2 L1 1/- lp2 w1 s1 t5000 p100", "2 L2 2/- lp3 w1 s2 t4000 p100",
          "1 6 -/- lp4 w1 s- t- p200", "2 L1 1/- lp5 w1 s2 t3000 p200", "2 L2 2/- lp6 w1 s1 t3500 p200"},
         {"5 L0 100-- s- lp-", "5 L1 100-5100 s1 lp2", "5 L2 5100-9100 s2 lp3", "6 L0 200-- s- lp-",
          "6 L1 200-3200 s2 lp5", "6 L2 3200-6700 s1 lp6"},
         {"5 /- 100", "6 /- 200"}},
    };
    for (const TreeCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* table : {"SEKTORY", "OKRAZENIA_REJ", "NAGLOWKI"})
            db.Exec(QStringLiteral("delete from %1").arg(QLatin1String(table)));
        tree.ResetTree();
        for (const Session& s : c.sessions) {
            Insert(s);
            BuildSessionTree(tree, s.id, c.filters);
        }
        EXPECT_EQ(Grid(), c.grid);
        EXPECT_EQ(Laps(), c.laps);
        EXPECT_EQ(Sectors(), c.sectors);
    }
}

// A session stored before laps were counted on past the logger's lap byte
// lists lap numbers again.  Its laps stay in the order they were stored
// (driven), each with its own run of sectors and its own end, so the tree
// grows with the laps, not with their square.
TEST_F(TreeTest, LapNumbersStoredAgainKeepTheirOrderAndOwnSectors)
{
    Insert({1, 0, {{1, 6000}, {2, 5900}, {1, 6100}, {2, 6200}},
            {{1, 1, 3000}, {1, 2, 3000}, {2, 1, 2900}, {2, 2, 3000}, {1, 1, 3100}, {1, 2, 3000}, {2, 1, 3200},
             {2, 2, 3000}}});
    BuildSessionTree(tree, 1, {});
    EXPECT_EQ(Grid(), QStringList({"1 1 -/- lp1 w1 s- t- p0", "2 L1 1/- lp2 w1 s- t6000 p0",
                                   "3  S1 1/1 lp3 w- s- t3000 p0", "3  S2 1/2 lp4 w- s1 t3000 p0",
                                   "2 L2 2/- lp5 w1 s2 t5900 p0", "3  S1 2/1 lp6 w- s2 t2900 p0",
                                   "3  S2 2/2 lp7 w- s- t3000 p0", "2 L1 1/- lp8 w1 s- t6100 p0",
                                   "3  S1 1/1 lp9 w- s- t3100 p0", "3  S2 1/2 lp10 w- s- t3000 p0",
                                   "2 L2 2/- lp11 w1 s1 t6200 p0", "3  S1 2/1 lp12 w- s1 t3200 p0",
                                   "3  S2 2/2 lp13 w- s- t3000 p0"}));
    EXPECT_EQ(Laps(), QStringList({"1 L0 0-- s- lp-", "1 L1 0-6000 s- lp2", "1 L2 6000-11900 s2 lp5",
                                   "1 L1 11900-18000 s- lp8", "1 L2 18000-24200 s1 lp11"}));
    EXPECT_EQ(Sectors(), QStringList({"1 /- 0", "1 S1/1 3000", "1 S2/1 6000", "1 S1/2 8900", "1 S2/2 11900",
                                      "1 S1/1 15000", "1 S2/1 18000", "1 S1/2 21200", "1 S2/2 24200"}));
}

// The session row: id, start and driver; lap rows carry the averages.
TEST_F(TreeTest, SessionRowTextsAndLapAverages)
{
    struct Case {
        const char* start;  // DATA_START, or null for none
        int driver;         // 0: no driver row
        QString pole1;
        QString pole2;
    };
    const std::vector<Case> cases = {
        {"2024-06-20 10:15:30", 1, QStringLiteral("11:6/20/24 10:15:30 AM"), QStringLiteral("Jan Kowalski")},
        {"2024-06-20 00:00:00", 1, QStringLiteral("12:6/20/24"), QStringLiteral("Jan Kowalski")},
        {"2024-06-20 00:00:01", 0, QStringLiteral("13:6/20/24 12:00:01 AM"), QStringLiteral(" ")},
        {nullptr, 1, QStringLiteral("14:"), QStringLiteral("Jan Kowalski")},
    };
    int id = 11;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pole1.toStdString());
        db.Exec(QStringLiteral("insert into NAGLOWKI (ID_NAG, DATA_START, ID_KIEROWCY) values (%1, %2, %3)")
                    .arg(id)
                    .arg(c.start ? QStringLiteral("'%1'").arg(QLatin1String(c.start)) : QStringLiteral("null"))
                    .arg(c.driver == 0 ? QStringLiteral("null") : QString::number(c.driver)));
        tree.ResetTree();
        BuildSessionTree(tree, id, {});
        ASSERT_EQ(tree.memdane.RecordCount(), 1);
        EXPECT_EQ(Cell(tree.memdane, 0, "Pole1"), c.pole1);
        EXPECT_EQ(Cell(tree.memdane, 0, "Pole2"), c.pole2);
        EXPECT_EQ(Cell(tree.memdane, 0, "przes_czas"), QStringLiteral("0"));  // no first crossing
        ++id;
    }

    db.Exec(QStringLiteral("insert into NAGLOWKI (ID_NAG, START_PIERWSZ_OKR) values (20, 0)"));
    db.Exec(QStringLiteral("insert into OKRAZENIA_REJ (ID_NAGLOWKA, NR, CZAS, CZAS_SS, AVG_OBROTY, AVG_ACC_OBROTY, "
                           "AVG_DEC_OBROTY) values (20, 1, '01:00:00', 6000, 11000, 12.5, 13.5)"));
    db.Exec(QStringLiteral("insert into OKRAZENIA_REJ (ID_NAGLOWKA, NR, CZAS, CZAS_SS) values (20, 2, '01:00:10', 6010)"));
    tree.ResetTree();
    BuildSessionTree(tree, 20, {});
    ASSERT_EQ(tree.memdane.RecordCount(), 3);
    EXPECT_EQ(Cell(tree.memdane, 1, "Pole2"), QStringLiteral("01:00:00"));
    EXPECT_EQ(Cell(tree.memdane, 1, "srednie_obroty"), QStringLiteral("11000"));
    EXPECT_EQ(Cell(tree.memdane, 1, "avg_acc"), QStringLiteral("12"));  // halves to even
    EXPECT_EQ(Cell(tree.memdane, 1, "avg_dec"), QStringLiteral("14"));
    EXPECT_EQ(Cell(tree.memdane, 2, "avg_acc"), QStringLiteral("-"));
    EXPECT_EQ(Cell(tree.memokrazenia, 1, "czas_t"), QStringLiteral("01:00:00"));
    EXPECT_EQ(Cell(tree.memokrazenia, 0, "czas_t"), QStringLiteral("S"));
}

// The check column: net effects of clicks on session and lap rows, and
// the chart calls they make, in order.
TEST_F(TreeTest, CheckColumnClicks)
{
    Insert({1, 0, {{1, 5000}, {2, 5100}}, {{1, 1, 2000}, {1, 2, 3000}, {2, 1, 2000}, {2, 2, 3100}}});
    Insert({2, 0, {{1, 4000}}, {}});
    // lp: 1 session 1, 2 L1, 3-4 its sectors, 5 L2, 6-7 its sectors, 8 session 2, 9 its L1.
    struct Step {
        int lp;            // row clicked
        QString ticks;     // wybrany of lp 1..9 afterwards ("." = none)
        QStringList calls;
    };
    const std::vector<Step> steps = {
        {2, QStringLiteral("10..1..11"), {QStringLiteral("lap 1/1 0")}},
        {1, QStringLiteral("00..0..11"), {QStringLiteral("lap 1/1 0"), QStringLiteral("lap 1/2 0"),
                                          QStringLiteral("session 1 0")}},
        // Ticking a lap of an unticked session ticks the session first.
        {5, QStringLiteral("10..1..11"), {QStringLiteral("session 1 1"), QStringLiteral("lap 1/2 1")}},
        {1, QStringLiteral("00..0..11"), {QStringLiteral("lap 1/1 0"), QStringLiteral("lap 1/2 0"),
                                          QStringLiteral("session 1 0")}},
        // A session click shows it again with all its laps.
        {1, QStringLiteral("11..1..11"), {QStringLiteral("lap 1/1 1"), QStringLiteral("lap 1/2 1"),
                                          QStringLiteral("session 1 1")}},
        {3, QStringLiteral("11..1..11"), {}},  // sector rows have no check
        {8, QStringLiteral("11..1..00"), {QStringLiteral("lap 2/1 0"), QStringLiteral("session 2 0")}},
    };
    QStringList calls;
    TreeCheckCalls cb;
    cb.sessionShown = [&](int id, int check) { calls << QStringLiteral("session %1 %2").arg(id).arg(check); };
    cb.lapShown = [&](int id, int lap, int check) { calls << QStringLiteral("lap %1/%2 %3").arg(id).arg(lap).arg(check); };
    tree.ResetTree();
    BuildSessionTree(tree, 1, {});
    BuildSessionTree(tree, 2, {});
    MemTable& t = tree.memdane;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.lp);
        calls.clear();
        ASSERT_TRUE(t.Locate(QStringLiteral("lp"), {s.lp}));
        EXPECT_EQ(ClickTreeCheck(tree, cb), s.calls.size() > 0);
        QString ticks;
        for (int r = 0; r < t.RecordCount(); ++r)
            ticks += Cell(t, r, "wybrany") == QLatin1String("-") ? QStringLiteral(".") : Cell(t, r, "wybrany");
        EXPECT_EQ(ticks, s.ticks);
        EXPECT_EQ(calls, s.calls);
        EXPECT_EQ(Cell(t, t.RecNo(), "lp"), Text(s.lp));  // the current row stays
    }
}

}  // namespace
