// The intake flow as the main window runs it: from a simulated data key (or
// dump files already in the program folder) through the check list and the
// header forms into a real database.
#include "intake/intakeflow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "controls/ButtonComps.h"
#include "intake/ulistazodczytu.h"
#include "intake/unaglowekRejestracji.h"
#include "intake/uodczytkrom.h"
#include "kromsim.h"
#include "platform/dialogs.h"
#include "platform/usb_simkey.h"
#include "profiles/cataloguewindows.h"
#include "shell/common/stale.h"
#include "chooser_support.h"
#include "stored_rows.h"
#include "support/testdb.h"

namespace {

// Calls back for every event of one type that reaches any object of the
// application while it lives.
class EventSpy : public QObject {
public:
    EventSpy(QEvent::Type type, std::function<void(QObject*)> seen) : type_(type), seen_(std::move(seen))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~EventSpy() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == type_)
            seen_(watched);
        return false;
    }

private:
    QEvent::Type type_;
    std::function<void(QObject*)> seen_;
};

using choosertest::AnswerChooser;

constexpr int kDriver = 1;
constexpr int kTrack = 100001;

bool WaitClosed(QDialog& dialog, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (dialog.isVisible() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return !dialog.isVisible();
}


// A session that ends at a given time, on the default track and with the
// default driver texts of the simulator.
kromsim::SessionOptions Session(int laps, SampleFormat format, const QDateTime& end, uint32_t seed)
{
    kromsim::SessionOptions s;
    s.laps = laps;
    s.format = format;
    s.end = end;
    s.seed = seed;
    return s;
}

kromsim::DumpOptions Dump(int slot, const QString& serial, std::vector<kromsim::SessionOptions> sessions)
{
    kromsim::DumpOptions d;
    d.slot = slot;
    d.serial = serial;
    d.sessions = std::move(sessions);
    return d;
}

QDateTime At(int day, int hour)
{
    return QDateTime(QDate(2024, 7, day), QTime(hour, 0), Qt::UTC);
}

// The closing message with its counts.
QString Finished(int stored, int skipped, int failed)
{
    return QStringLiteral("Finished\nSessions stored: %1\nSkipped as already stored: %2\nFailed: %3")
        .arg(stored)
        .arg(skipped)
        .arg(failed);
}

class IntakeFlowTest : public ::testing::Test {
protected:
    TestDatabase db;
    QTemporaryDir programDir;
    QTimer presence;
    int headerForms = 0;
    int checkLists = 0;

    void SetUp() override
    {
        ASSERT_TRUE(programDir.isValid());
        platform::testing::SetScripted(true);
        SetProgramFolder(programDir.path());
        AcceptAllHeaders = false;
        presence.setInterval(1000);
        presence.start();
        db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO, USUNIETY) values (1, 'Jan', 'Kowalski', 0)"));
        db.Exec(QStringLiteral("insert into KIEROWCY (ID_KIEROWCY, IMIE, NAZWISKO, USUNIETY) values (2, 'Anna', 'Nowak', 0)"));
        db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (100001, 'Boruta', 0)"));
        db.Exec(QStringLiteral("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (100002, 'Radom', 0)"));
        // The key reader runs by itself; it is only waited for.
        platform::testing::OnModal(QStringLiteral("Tfczytajkrom"), [](QDialog& d) { WaitClosed(d, 60000); });
    }
    void TearDown() override
    {
        platform::testing::ClearModalHandlers();
        platform::testing::SetScripted(false);
        platform::SetUsbBackend(nullptr);
        SetProgramFolder({});
        AcceptAllHeaders = false;
    }

    QString PathOf(const QString& name) const { return QDir(programDir.path()).filePath(name); }
    bool Exists(const QString& name) const { return QFile::exists(PathOf(name)); }
    int Count(const QString& sql) { return db.Scalar(sql).toInt(); }

    void OnCheckList(std::function<void(TfListaZOdczytu&)> act)
    {
        platform::testing::OnModal(QStringLiteral("TfListaZOdczytu"), [this, act](QDialog& d) {
            ++checkLists;
            act(static_cast<TfListaZOdczytu&>(d));
        });
    }
    void AcceptCheckList()
    {
        OnCheckList([](TfListaZOdczytu& f) { f.SpeedButton3Click(); });
    }
    // Header forms: the first one gets the track (and the driver) through
    // the choosers, then each is saved with the save button.
    void SaveEveryHeader()
    {
        platform::testing::OnModal(QStringLiteral("TfNaglowekRejestracji"), [this](QDialog& d) {
            auto& f = static_cast<TfNaglowekRejestracji&>(d);
            ++headerForms;
            if (f.TrackId() <= 0) {
                AnswerChooser(QStringLiteral("Tflistakierowcow"), kDriver);
                AnswerChooser(QStringLiteral("TfListaTorow"), kTrack);
                f.Button1->click();
                f.Button2->click();
            }
            f.SpeedButton3Click();
        });
    }

    // "Read from files" with the list accepted as it comes (messages
    // cleared first); how many listed sessions were marked as stored.
    int ReadFromFilesCountingStored()
    {
        platform::testing::ClearMessages();
        int stored = 0;
        OnCheckList([&](TfListaZOdczytu& f) {
            MemTable& mem = DM->memPrzejazdy;
            for (int r = 0; r < mem.RecordCount(); ++r)
                stored += mem.BoolAt(r, mem.FieldIndex(QStringLiteral("jestwbazie"))) ? 1 : 0;
            f.SpeedButton3Click();
        });
        ReadFromFiles();
        return stored;
    }

    void InstallKey(const std::vector<platform::SimKey>& keys)
    {
        platform::SetUsbBackend(std::make_unique<platform::SimKeyBackend>(keys));
    }

    // The database holds exactly what the simulator wrote for the session.
    void ExpectStored(const kromsim::DumpTruth& file, const kromsim::SessionTruth& t)
    {
        const std::string where = (file.fileName + QStringLiteral(" entry %1").arg(t.entry)).toStdString();
        const QVariant idValue = db.Scalar(
            QStringLiteral("select ID_NAG from NAGLOWKI where NR_SERYJNY_KROM = '%1' and DATA_KONIEC = '%2'")
                .arg(file.serial, t.end.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
        ASSERT_TRUE(idValue.isValid()) << where;
        const int id = idValue.toInt();
        auto header = [&](const char* column) {
            return db.Scalar(QStringLiteral("select %1 from NAGLOWKI where ID_NAG = %2").arg(QLatin1String(column)).arg(id));
        };
        EXPECT_EQ(header("ID_KIEROWCY").toInt(), kDriver) << where;
        EXPECT_EQ(header("ID_TORU").toInt(), kTrack) << where;
        ASSERT_TRUE(t.startFirstLap.has_value()) << where;
        EXPECT_EQ(header("START_PIERWSZ_OKR").toInt(), *t.startFirstLap) << where;
        EXPECT_EQ(header("BYL_GPS").toInt(), t.bylGps) << where;
        EXPECT_EQ(Count(QStringLiteral("select count(*) from POZYCJE where ID_NAGLOWKA = %1").arg(id)), t.positionRows)
            << where;

        EXPECT_TRUE(stored::SameRows(stored::Laps(id, stored::kTruthLapColumns), stored::TruthLapRows(t.laps)))
            << where;
        EXPECT_TRUE(stored::SameRows(stored::Sectors(id, stored::kTruthSectorColumns),
                                     stored::TruthSectorRows(t.sectors)))
            << where;
    }
};

// The whole road: a key with three sessions in two slots is read, the list
// accepted, the first header confirmed with driver and track chosen and
// "Accept all", the other two saved by themselves; the database then holds
// exactly the simulator's sessions.
TEST_F(IntakeFlowTest, EndToEndFromASimulatedKey)
{
    kromsim::DumpOptions slotA;
    slotA.slot = 2;
    slotA.serial = QStringLiteral("77");
    slotA.sessions = {Session(3, SampleFormat::Plain, At(1, 10), 11), Session(4, SampleFormat::Gps, At(1, 11), 12)};
    kromsim::DumpOptions slotB;
    slotB.slot = 5;
    slotB.serial = QStringLiteral("78");
    slotB.sessions = {Session(2, SampleFormat::Gps, At(2, 15), 13)};
    kromsim::DumpImage imageA, imageB;
    const kromsim::DumpTruth truthA = kromsim::BuildDump(slotA, imageA);
    const kromsim::DumpTruth truthB = kromsim::BuildDump(slotB, imageB);
    const QString keyPath = PathOf(QStringLiteral("key.img"));
    QString error;
    ASSERT_TRUE(kromsim::WriteKeyImage(keyPath, {{2, 77, &imageA}, {5, 78, &imageB}}, &error)) << error.toStdString();
    InstallKey({{keyPath.toStdString(), {}}});
    // A dump file of an earlier intake, for another logger.
    ASSERT_TRUE(kromsim::DumpImage(200).Save(PathOf(QStringLiteral("dane1_5.bin"))));

    int listed = -1, ticked = 0;
    bool timerStopped = false;
    OnCheckList([&](TfListaZOdczytu& f) {
        MemTable& mem = DM->memPrzejazdy;
        listed = mem.RecordCount();
        for (int r = 0; r < listed; ++r)
            ticked += mem.BoolAt(r, mem.FieldIndex(QStringLiteral("wybrany"))) ? 1 : 0;
        timerStopped = !presence.isActive();
        QTest::mouseClick(f.SpeedButton3, Qt::LeftButton);
    });
    std::vector<qint64> selfSaved;
    platform::testing::OnModal(QStringLiteral("TfNaglowekRejestracji"), [&](QDialog& d) {
        auto& f = static_cast<TfNaglowekRejestracji&>(d);
        if (++headerForms == 1) {
            AnswerChooser(QStringLiteral("Tflistakierowcow"), kDriver);
            AnswerChooser(QStringLiteral("TfListaTorow"), kTrack);
            f.Button1->click();
            f.Button2->click();
            f.SpeedButton5->click();
            return;
        }
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(WaitClosed(f, 5000));
        selfSaved.push_back(clock.elapsed());
    });
    // The progress window while samples are written: what it shows each
    // time it is painted (the import lets it paint as it starts writing).
    QStringList progressTexts;
    EventSpy watch(QEvent::Paint, [&](QObject* o) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && w->objectName() == QStringLiteral("ImportProgress") && w->isVisible())
            if (auto* label = w->findChild<QLabel*>())
                progressTexts.append(label->text());
    });

    ReadDataFromKey(&presence);

    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty())
        << platform::testing::UnhandledModals().join(u',').toStdString();
    EXPECT_EQ(platform::testing::Messages(), QStringList{Finished(3, 0, 0)});
    EXPECT_TRUE(Exists(QStringLiteral("dane2_77.bin")));
    EXPECT_TRUE(Exists(QStringLiteral("dane5_78.bin")));
    EXPECT_FALSE(Exists(QStringLiteral("dane1_5.bin")));
    EXPECT_EQ(listed, 3);
    EXPECT_EQ(ticked, 3);
    EXPECT_TRUE(timerStopped);
    EXPECT_TRUE(presence.isActive());
    EXPECT_EQ(headerForms, 3);
    ASSERT_EQ(selfSaved.size(), 2u);
    for (qint64 ms : selfSaved)
        EXPECT_GE(ms, 100);
    EXPECT_FALSE(progressTexts.isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    for (const kromsim::DumpTruth* file : {&truthA, &truthB})
        for (const kromsim::SessionTruth& t : file->sessions)
            ExpectStored(*file, t);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from NAGLOWKI")), 3);
    int rows = 0;
    for (const kromsim::DumpTruth* file : {&truthA, &truthB})
        for (const kromsim::SessionTruth& t : file->sessions)
            rows += t.positionRows;
    EXPECT_EQ(Count(QStringLiteral("select count(*) from POZYCJE")), rows);
}

// Without a key the old dump files are gone, the list is empty, and
// accepting it imports nothing and says "Finished".
TEST_F(IntakeFlowTest, KeyRoadWithoutAKey)
{
    kromsim::DumpOptions old;
    old.serial = QStringLiteral("77");
    old.sessions = {Session(2, SampleFormat::Plain, At(3, 9), 5)};
    kromsim::WriteDumpFile(programDir.path(), old);
    ASSERT_TRUE(kromsim::DumpImage(200).Save(PathOf(QStringLiteral("dane3.bin"))));
    ASSERT_TRUE(kromsim::DumpImage(200).Save(PathOf(QStringLiteral("DANE4_9.BIN"))));
    QFile other(PathOf(QStringLiteral("notes.txt")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    InstallKey({});
    AcceptAllHeaders = true;  // left on by an earlier intake

    int listed = -1;
    bool acceptAllCleared = false;
    OnCheckList([&](TfListaZOdczytu& f) {
        listed = DM->memPrzejazdy.RecordCount();
        acceptAllCleared = !AcceptAllHeaders;
        f.SpeedButton3Click();
    });
    SaveEveryHeader();
    ReadDataFromKey(&presence);

    EXPECT_EQ(listed, 0);
    EXPECT_TRUE(acceptAllCleared);
    EXPECT_EQ(headerForms, 0);
    EXPECT_EQ(platform::testing::Messages(), QStringList{Finished(0, 0, 0)});
    EXPECT_EQ(QDir(programDir.path()).entryList({QStringLiteral("dane*.bin")}, QDir::Files), QStringList());
    EXPECT_FALSE(Exists(QStringLiteral("DANE4_9.BIN")));
    EXPECT_TRUE(Exists(QStringLiteral("notes.txt")));
    EXPECT_TRUE(presence.isActive());
    EXPECT_EQ(Count(QStringLiteral("select count(*) from NAGLOWKI")), 0);
}

// A key pulled out part way: the reader names the key, the slot it could
// not read and the slots whose earlier files were kept, and closes by
// itself; the key's earlier dump files stay (the one of that slot as it
// was) and are listed and imported, while the file of a logger on no
// attached key goes.
TEST_F(IntakeFlowTest, FailedDownloadKeepsTheEarlierDumpFiles)
{
    const kromsim::DumpOptions oldSlot5 = Dump(5, QStringLiteral("78"), {Session(2, SampleFormat::Plain, At(8, 9), 51)});
    const kromsim::DumpTruth oldTruth = kromsim::WriteDumpFile(programDir.path(), oldSlot5);
    const kromsim::DumpTruth otherTruth = kromsim::WriteDumpFile(
        programDir.path(), Dump(9, QStringLiteral("1"), {Session(2, SampleFormat::Gps, At(8, 10), 52)}));
    const QByteArray oldBytes = [&] {
        QFile f(PathOf(QStringLiteral("dane5_78.bin")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_FALSE(oldBytes.isEmpty());

    const kromsim::DumpOptions slot2 = Dump(2, QStringLiteral("77"), {Session(3, SampleFormat::Plain, At(9, 9), 53)});
    const kromsim::DumpOptions slot5 = Dump(5, QStringLiteral("78"), {Session(2, SampleFormat::Plain, At(9, 10), 54)});
    kromsim::DumpImage image2, image5;
    kromsim::BuildDump(slot2, image2);
    kromsim::BuildDump(slot5, image5);
    const QString keyPath = PathOf(QStringLiteral("key.img"));
    ASSERT_TRUE(kromsim::WriteKeyImage(keyPath, {{2, 77, &image2}, {5, 78, &image5}}));
    platform::SimKeyOptions pulledOut;
    pulledOut.failReadAt = 4 * 8192 + 2049 + 3000;
    InstallKey({{keyPath.toStdString(), pulledOut}});

    bool closedByItself = false;
    platform::testing::OnModal(QStringLiteral("Tfczytajkrom"), [&](QDialog& d) {
        auto& reader = static_cast<Tfczytajkrom&>(d);
        QElapsedTimer clock;
        clock.start();
        while (reader.isVisible() && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        closedByItself = reader.DownloadDone() && !reader.isVisible();
        reader.reject();  // the title bar, were it still open
    });
    int listed = -1;
    OnCheckList([&](TfListaZOdczytu& f) {
        listed = DM->memPrzejazdy.RecordCount();
        f.SpeedButton3Click();
    });
    SaveEveryHeader();
    ReadDataFromKey(&presence);

    EXPECT_TRUE(closedByItself);
    EXPECT_EQ(platform::testing::Messages(),
              (QStringList{QStringLiteral("Communication error on key 1 (loggers 77, 78): slot 5 could not be read, so "
                                          "nothing read from this key was kept.\nEarlier files kept for slots: 5"),
                           Finished(1, 0, 0)}));
    // Slot 2 was read whole before the key failed, but the key's files are
    // put in place only together: the key's files are as they were.
    EXPECT_EQ(QDir(programDir.path()).entryList({QStringLiteral("dane*.bin")}, QDir::Files),
              QStringList{QStringLiteral("dane5_78.bin")});
    QFile kept(PathOf(QStringLiteral("dane5_78.bin")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(kept.readAll() == oldBytes);
    EXPECT_EQ(listed, 1);
    ExpectStored(oldTruth, oldTruth.sessions[0]);
    EXPECT_FALSE(otherTruth.sessions.empty());
    EXPECT_EQ(Count(QStringLiteral("select count(*) from NAGLOWKI")), 1);
}

// Two keys, the second failing at every block of its slots: the reader
// closes by itself, the message names that key by its logger; the first
// key's sessions and the second key's earlier file are listed, and the
// stale file of a third logger on no attached key is gone.
TEST_F(IntakeFlowTest, SecondKeyFailingKeepsOnlyItsOwnEarlierFiles)
{
    kromsim::DumpImage goodImage, badImage;
    const kromsim::DumpTruth goodTruth =
        kromsim::BuildDump(Dump(2, QStringLiteral("77"), {Session(2, SampleFormat::Plain, At(10, 9), 61)}), goodImage);
    kromsim::BuildDump(Dump(1, QStringLiteral("78"), {Session(2, SampleFormat::Plain, At(10, 10), 62)}), badImage);
    const QString goodPath = PathOf(QStringLiteral("good.img")), badPath = PathOf(QStringLiteral("bad.img"));
    ASSERT_TRUE(kromsim::WriteKeyImage(goodPath, {{2, 77, &goodImage}}));
    ASSERT_TRUE(kromsim::WriteKeyImage(badPath, {{1, 78, &badImage}}));
    platform::SimKeyOptions everyBlockFails;
    everyBlockFails.failReadsFrom = 1;
    InstallKey({{goodPath.toStdString(), {}}, {badPath.toStdString(), everyBlockFails}});
    const kromsim::DumpTruth earlierTruth = kromsim::WriteDumpFile(
        programDir.path(), Dump(1, QStringLiteral("78"), {Session(3, SampleFormat::Gps, At(9, 10), 63)}));
    kromsim::WriteDumpFile(programDir.path(), Dump(4, QStringLiteral("3"), {Session(2, SampleFormat::Plain, At(8, 9), 64)}));

    bool closedByItself = false;
    platform::testing::OnModal(QStringLiteral("Tfczytajkrom"), [&](QDialog& d) {
        closedByItself = WaitClosed(d, 60000);
        d.reject();
    });
    QStringList listedFiles;
    OnCheckList([&](TfListaZOdczytu& f) {
        MemTable& mem = DM->memPrzejazdy;
        for (int r = 0; r < mem.RecordCount(); ++r)
            listedFiles.append(mem.StringAt(r, mem.FieldIndex(QStringLiteral("plik"))));
        f.SpeedButton3Click();
    });
    SaveEveryHeader();
    ReadDataFromKey(&presence);

    EXPECT_TRUE(closedByItself);
    EXPECT_EQ(platform::testing::Messages(),
              (QStringList{QStringLiteral("Communication error on key 2 (logger 78): slot 1 could not be read, so "
                                          "nothing read from this key was kept.\nEarlier files kept for slots: 1"),
                           Finished(2, 0, 0)}));
    EXPECT_EQ(QDir(programDir.path()).entryList({QStringLiteral("dane*.bin")}, QDir::Files),
              (QStringList{QStringLiteral("dane1_78.bin"), QStringLiteral("dane2_77.bin")}));
    EXPECT_EQ(listedFiles, (QStringList{QStringLiteral("dane1_78.bin"), QStringLiteral("dane2_77.bin")}));
    ExpectStored(goodTruth, goodTruth.sessions[0]);
    ExpectStored(earlierTruth, earlierTruth.sessions[0]);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from NAGLOWKI")), 2);
}

// Two loggers whose sessions end at the same second, under the driver the
// form carries over and the same track: both are stored, and neither is
// offered again.
TEST_F(IntakeFlowTest, SessionsOfTwoLoggersWithEqualEndTimesAreBothStored)
{
    const kromsim::DumpTruth a = kromsim::WriteDumpFile(
        programDir.path(), Dump(1, QStringLiteral("77"), {Session(2, SampleFormat::Plain, At(11, 9), 71)}));
    const kromsim::DumpTruth b = kromsim::WriteDumpFile(
        programDir.path(), Dump(2, QStringLiteral("78"), {Session(3, SampleFormat::Gps, At(11, 9), 72)}));
    AcceptCheckList();
    SaveEveryHeader();
    ReadFromFiles();
    EXPECT_EQ(headerForms, 2);
    EXPECT_EQ(platform::testing::Messages(), QStringList{Finished(2, 0, 0)});
    ExpectStored(a, a.sessions[0]);
    ExpectStored(b, b.sessions[0]);

    EXPECT_EQ(ReadFromFilesCountingStored(), 2);
    EXPECT_EQ(headerForms, 2);
    EXPECT_EQ(platform::testing::Messages(), QStringList{Finished(0, 0, 0)});
}

// A dump file whose name carries a serial longer than the database takes
// is refused with a message naming it; the good file beside it is listed
// and imported.
TEST_F(IntakeFlowTest, FileWithATooLongSerialDoesNotBlockTheOthers)
{
    const QString tooLong(31, u'9');
    const kromsim::DumpTruth good = kromsim::WriteDumpFile(
        programDir.path(), Dump(1, QStringLiteral("77"), {Session(2, SampleFormat::Plain, At(12, 9), 81)}));
    kromsim::WriteDumpFile(programDir.path(), Dump(2, tooLong, {Session(2, SampleFormat::Plain, At(12, 10), 82)}));
    int listed = -1;
    OnCheckList([&](TfListaZOdczytu& f) {
        listed = DM->memPrzejazdy.RecordCount();
        f.SpeedButton3Click();
    });
    SaveEveryHeader();
    ReadFromFiles();
    const QStringList messages = platform::testing::Messages();
    ASSERT_EQ(messages.size(), 2) << messages.join(u'|').toStdString();
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("File dane2_%1.bin was skipped").arg(tooLong)))
        << messages[0].toStdString();
    EXPECT_EQ(messages[1], Finished(1, 0, 0));
    EXPECT_EQ(listed, 1);
    ExpectStored(good, good.sessions[0]);
}

// Cancelling the check list leaves the downloaded files; "Read from files"
// then imports them without deleting or downloading anything.
TEST_F(IntakeFlowTest, CancelledListLeavesTheFilesForReadFromFiles)
{
    kromsim::DumpOptions dump;
    dump.slot = 3;
    dump.serial = QStringLiteral("77");
    dump.sessions = {Session(2, SampleFormat::Plain, At(4, 9), 7), Session(3, SampleFormat::Gps, At(4, 10), 8)};
    kromsim::DumpImage image;
    const kromsim::DumpTruth truth = kromsim::BuildDump(dump, image);
    const QString keyPath = PathOf(QStringLiteral("key.img"));
    ASSERT_TRUE(kromsim::WriteKeyImage(keyPath, {{3, 77, &image}}));
    InstallKey({{keyPath.toStdString(), {}}});

    OnCheckList([](TfListaZOdczytu& f) { f.SpeedButton4Click(); });
    SaveEveryHeader();
    ReadDataFromKey(&presence);
    EXPECT_TRUE(Exists(QStringLiteral("dane3_77.bin")));
    EXPECT_EQ(headerForms, 0);
    EXPECT_TRUE(platform::testing::Messages().isEmpty());
    EXPECT_TRUE(presence.isActive());
    const QDateTime written = QFileInfo(PathOf(QStringLiteral("dane3_77.bin"))).lastModified();

    // The key is gone now: nothing may be downloaded or deleted.
    InstallKey({});
    presence.stop();
    AcceptCheckList();
    ReadFromFiles();
    EXPECT_EQ(checkLists, 2);
    EXPECT_EQ(headerForms, 2);
    EXPECT_TRUE(Exists(QStringLiteral("dane3_77.bin")));
    EXPECT_EQ(QFileInfo(PathOf(QStringLiteral("dane3_77.bin"))).lastModified(), written);
    EXPECT_FALSE(presence.isActive());  // the timer is not touched
    EXPECT_EQ(platform::testing::Messages(), QStringList{Finished(2, 0, 0)});
    for (const kromsim::SessionTruth& t : truth.sessions)
        ExpectStored(truth, t);

    // A second run lists both as stored, unticked: nothing is imported twice.
    EXPECT_EQ(ReadFromFilesCountingStored(), 2);
    EXPECT_EQ(headerForms, 2);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from NAGLOWKI")), 2);
}

// A header row the database refuses: the user is told with the database's
// text, the session is skipped without a single sample row, the others are
// imported.
TEST_F(IntakeFlowTest, RefusedHeaderRowWritesNoSamples)
{
    const kromsim::DumpTruth goodTruth = kromsim::WriteDumpFile(
        programDir.path(), Dump(1, QStringLiteral("77"), {Session(2, SampleFormat::Plain, At(5, 9), 21)}));
    kromsim::WriteDumpFile(programDir.path(), Dump(2, QStringLiteral("666"), {Session(2, SampleFormat::Gps, At(5, 10), 22)}));
    db.Exec(QStringLiteral("alter table NAGLOWKI add constraint CHK_TEST_SERIAL check (NR_SERYJNY_KROM <> '666')"));

    AcceptCheckList();
    SaveEveryHeader();
    ReadFromFiles();

    EXPECT_EQ(headerForms, 2);
    const QStringList messages = platform::testing::Messages();
    ASSERT_EQ(messages.size(), 2) << messages.join(u'|').toStdString();
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("The session could not be stored: "))) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QStringLiteral("CHK_TEST_SERIAL"))) << messages[0].toStdString();
    EXPECT_EQ(messages[1], Finished(1, 0, 1));
    EXPECT_EQ(Count(QStringLiteral("select count(*) from NAGLOWKI")), 1);
    ExpectStored(goodTruth, goodTruth.sessions[0]);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from POZYCJE")), goodTruth.sessions[0].positionRows);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from POZYCJE where ID_NAGLOWKA not in (select ID_NAG from NAGLOWKI)")), 0);
}

// A database error while the sessions are listed ends the intake with the
// error's own text; the presence check still comes back on.
TEST_F(IntakeFlowTest, DatabaseErrorEndsTheIntakeButTheTimerRuns)
{
    kromsim::DumpOptions dump;
    dump.slot = 1;
    dump.serial = QStringLiteral("77");
    dump.sessions = {Session(2, SampleFormat::Plain, At(7, 9), 41)};
    kromsim::DumpImage image;
    kromsim::BuildDump(dump, image);
    const QString keyPath = PathOf(QStringLiteral("key.img"));
    ASSERT_TRUE(kromsim::WriteKeyImage(keyPath, {{1, 77, &image}}));
    InstallKey({{keyPath.toStdString(), {}}});
    db.Exec(QStringLiteral("drop table NAGLOWKI"));
    AcceptCheckList();

    ReadDataFromKey(&presence);
    EXPECT_EQ(checkLists, 0);
    const QStringList messages = platform::testing::Messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("NAGLOWKI"), Qt::CaseInsensitive)) << messages[0].toStdString();
    EXPECT_TRUE(presence.isActive());
    EXPECT_TRUE(Exists(QStringLiteral("dane1_77.bin")));
}

// "Cancel all" ends the import at once: no further form, no "Finished".
TEST_F(IntakeFlowTest, CancelAllStopsTheImport)
{
    kromsim::DumpOptions dump;
    dump.serial = QStringLiteral("77");
    dump.sessions = {Session(2, SampleFormat::Plain, At(6, 9), 31), Session(2, SampleFormat::Plain, At(6, 10), 32)};
    kromsim::WriteDumpFile(programDir.path(), dump);
    AcceptCheckList();
    platform::testing::OnModal(QStringLiteral("TfNaglowekRejestracji"), [this](QDialog& d) {
        ++headerForms;
        static_cast<TfNaglowekRejestracji&>(d).SpeedButton2->click();
    });
    ReadFromFiles();
    EXPECT_EQ(headerForms, 1);
    EXPECT_TRUE(platform::testing::Messages().isEmpty());
    EXPECT_EQ(Count(QStringLiteral("select count(*) from NAGLOWKI")), 0);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from POZYCJE")), 0);
}

}  // namespace
