#include "intake/sessionimport.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "intake/headerstore.h"
#include "intake/sessionlist.h"
#include "shell/common/stale.h"
#include "shell/data/fbbulk.h"
#include "shell/data/ubazy.h"

// ------------------------------------------------------------- averages

int RpmAverage(int64_t sum, int64_t count)
{
    if (count == 0)
        return 0;
    return RoundHalfEven(static_cast<double>(sum) / static_cast<double>(count));
}

double MeanRpmChange(int64_t sum, int64_t count)
{
    if (count == 0)
        return 0.0;
    return static_cast<double>(sum) / (static_cast<double>(count) / 10.0);
}

// -------------------------------------------------------- sample writer

namespace {

// The logger counts laps in one byte: the lap line after the one of lap 255
// carries 0 again.
constexpr int kLapByteWrap = 256;
// The most lap lines the session header's byte can tell.
constexpr int kHeaderLapLines = 255;

bool CorruptLineRecord(const SampleValues& v, int previousLapByte)
{
    if (v.type != kSampleLapLine && v.type != kSampleSectorLine)
        return false;
    // The crossing lies within the record's own second; a lap line starts
    // lap byte 120, which closes lap byte 120 - 1, so it is at least 1,
    // unless the byte wrapped: 0 right after the lap line of 255.
    return v.lineHundredths > 99 ||
           (v.type == kSampleLapLine && v.lap == 0 && previousLapByte != kLapByteWrap - 1);
}

}  // namespace

void SessionSampleWriter::BeginSession(int idNag, int firstPositionId, int raceIndex)
{
    idNag_ = idNag;
    raceIndex_ = raceIndex;
    nextPositionId_ = firstPositionId;
    seconds_ = 0;
    prevLapCrossing_ = 0;
    prevSectorCrossing_ = 0;
    firstLine_ = true;
    highestGpsX_ = 0;
    lapBase_ = 0;
    previousLapByte_ = -1;
    lapLines_ = 0;
    lapSum_ = lapCount_ = 0;
    sectorSum_ = sectorCount_ = 0;
}

bool SessionSampleWriter::WritePlainSample(const uint8_t* record, SessionRowSink& sink)
{
    return WriteSample(record, SampleFormat::Plain, sink);
}

bool SessionSampleWriter::WriteGpsSample(const uint8_t* record, SessionRowSink& sink)
{
    return WriteSample(record, SampleFormat::Gps, sink);
}

void SessionSampleWriter::ComputeLapAverages()
{
    lapAverage_ = RpmAverage(lapSum_, lapCount_);
    lapMeanRise_ = MeanRpmChange(lapRiseSum_, lapRiseCount_);
    lapMeanFall_ = MeanRpmChange(lapFallSum_, lapFallCount_);
}

void SessionSampleWriter::ComputeSectorAverages()
{
    sectorAverage_ = RpmAverage(sectorSum_, sectorCount_);
    sectorMeanRise_ = MeanRpmChange(sectorRiseSum_, sectorRiseCount_);
    sectorMeanFall_ = MeanRpmChange(sectorFallSum_, sectorFallCount_);
}

void SessionSampleWriter::RestartLapSums(int rpm)
{
    lapSum_ = rpm;
    lapCount_ = 1;
    lapRiseSum_ = lapRiseCount_ = lapFallSum_ = lapFallCount_ = 0;
}

void SessionSampleWriter::RestartSectorSums(int rpm)
{
    sectorSum_ = rpm;
    sectorCount_ = 1;
    sectorRiseSum_ = sectorRiseCount_ = sectorFallSum_ = sectorFallCount_ = 0;
}

void SessionSampleWriter::WriteSector(SessionRowSink& sink, int lap, int nr, int time) const
{
    SectorRow sector;
    sector.idNaglowka = idNag_;
    sector.nrOkrazenia = lap;
    sector.nrSektora = nr;
    sector.czasSs = time;
    sector.czas = SessionTimeText(time);
    sector.avgObroty = sectorAverage_;
    sector.avgAccObroty = sectorMeanRise_;
    sector.avgDecObroty = sectorMeanFall_;
    sink.WriteSector(sector);
}

bool SessionSampleWriter::WriteSample(const uint8_t* record, SampleFormat format, SessionRowSink& sink)
{
    const uint8_t type = record[sample_offsets::kType];
    if (record[sample_offsets::kRaceIndex] != raceIndex_)
        return true;
    if (type == 0 || type == 255 || type == kSampleEnd)
        return true;

    SampleValues& v = values_;
    DecodeSampleRecord(record, format, v);
    // A line record that cannot be true (see CorruptLineRecord) would store
    // negative times and lap numbers: its samples are kept as ordinary data
    // and no lap or sector is closed by it.
    const uint8_t line = CorruptLineRecord(v, previousLapByte_) ? 0 : type;
    // The lap as counted: where the byte wrapped, the count goes on (256,
    // 257, ...); a session of up to 255 laps keeps the byte as it is.
    if (line == kSampleLapLine) {
        if (v.lap == 0)
            lapBase_ += kLapByteWrap;
        previousLapByte_ = v.lap;
        ++lapLines_;
    }
    const int lap = lapBase_ + v.lap;

    int sampleTime = seconds_ * 100;
    const int crossing = (line == kSampleLapLine || line == kSampleSectorLine) ? seconds_ * 100 + v.lineHundredths : 0;

    // What is the same for the ten rows of the record.
    PositionRow& row = row_;
    row.idNaglowka = idNag_;
    row.temp1 = v.temp1;
    row.tempOtoczenia = v.ambient;
    row.wilgotnosc = v.humidity;
    row.typProbki = type;
    // The time texts of the record differ only in their hundredths.
    const QString timeBase = SessionTimeText(sampleTime);

    // A line crossed after the last sample of its second (hundredths 91 to
    // 99) leaves its closing flag set with no sample after the line to
    // restart the sums; the next lap or sector then starts at the first
    // sample of this record, so its averages hold only its own samples.
    const bool lapRestartDue = lapClosing_;
    const bool sectorRestartDue = sectorClosing_;

    for (int k = 0; k < kRpmSamples; ++k) {
        const int j = k / 2;
        const int rpm = v.rpm[k];
        if (v.gpsX[j] > highestGpsX_)
            highestGpsX_ = v.gpsX[j];

        row.idPozycji = nextPositionId_;
        row.dataSs = sampleTime;
        row.data = timeBase;
        if (k > 0) {
            QChar* d = row.data.data();
            const qsizetype n = row.data.size();
            d[n - 2] = QChar(u'0' + k);
            d[n - 1] = QChar(u'0');
        }
        row.obroty = rpm;
        row.temp2 = v.temp2[j];
        row.accx = v.accX[j];
        row.accy = v.accY[j];
        row.predkoscGps = v.speed[j];
        row.gpsx = v.gpsX[j];
        row.gpsy = v.gpsY[j];
        row.gyro1 = v.gyro[j];
        row.gyro2 = v.gyro[j];

        // Sums of the lap and the sector in progress.
        ++lapCount_;
        ++sectorCount_;
        lapSum_ += rpm;
        sectorSum_ += rpm;
        if (prevRpm_ != 0) {
            if (rpm < prevRpm_) {
                lapFallSum_ += prevRpm_ - rpm;
                sectorFallSum_ += prevRpm_ - rpm;
                ++lapFallCount_;
                ++sectorFallCount_;
            } else if (rpm > prevRpm_) {
                lapRiseSum_ += rpm - prevRpm_;
                sectorRiseSum_ += rpm - prevRpm_;
                ++lapRiseCount_;
                ++sectorRiseCount_;
            }
        }
        prevRpm_ = rpm;

        if (k == 0 && (lapRestartDue || sectorRestartDue)) {
            if (lapRestartDue)
                RestartLapSums(rpm);
            RestartSectorSums(rpm);
            lapClosing_ = false;
            sectorClosing_ = false;
        }

        // Lap and sector of the sample; closing of the lap or sector whose
        // line is crossed in this second.
        if (line == kSampleLapLine) {
            if (sampleTime == crossing) {
                lapClosing_ = true;
                ComputeLapAverages();
                ComputeSectorAverages();
            }
            if (sampleTime >= crossing) {
                if (lapClosing_) {
                    RestartLapSums(rpm);
                    RestartSectorSums(rpm);
                }
                lapClosing_ = false;
                row.okrazenie = lap;
                row.sektor = v.sector;
            } else {
                ComputeLapAverages();
                ComputeSectorAverages();
                lapClosing_ = true;
                row.okrazenie = lap - 1;
                row.sektor = 1;
            }
        } else if (line == kSampleSectorLine) {
            if (sampleTime <= crossing) {
                sectorClosing_ = true;
                ComputeSectorAverages();
                row.okrazenie = lap;
                row.sektor = v.sector;
            } else {
                row.okrazenie = lap;
                row.sektor = v.sector + 1;
                if (sectorClosing_)
                    RestartSectorSums(rpm);
                sectorClosing_ = false;
            }
        } else {
            row.okrazenie = lap;
            row.sektor = v.sector;
        }

        sink.WritePosition(row);
        sampleTime += 10;
        ++nextPositionId_;
    }

    if (line == kSampleLapLine) {
        const int lapTime = crossing - prevLapCrossing_;
        const int sectorTime = crossing - prevSectorCrossing_;
        prevLapCrossing_ = crossing;
        prevSectorCrossing_ = crossing;
        if (firstLine_) {
            sink.WriteFirstLapStart(idNag_, crossing);
        } else {
            LapRow lapRow;
            lapRow.idNaglowka = idNag_;
            lapRow.nr = lap - 1;
            lapRow.czasSs = lapTime;
            lapRow.czas = SessionTimeText(lapTime);
            lapRow.avgObroty = lapAverage_;
            lapRow.avgAccObroty = lapMeanRise_;
            lapRow.avgDecObroty = lapMeanFall_;
            sink.WriteLap(lapRow);

            WriteSector(sink, lap - 1, v.sector, sectorTime);
        }
        firstLine_ = false;
    } else if (line == kSampleSectorLine) {
        const int sectorTime = crossing - prevSectorCrossing_;
        prevSectorCrossing_ = crossing;
        if (!firstLine_)
            WriteSector(sink, lap, v.sector, sectorTime);
    }
    ++seconds_;
    return false;
}

// ------------------------------------------------------- database rows

namespace {

template <typename Columns>
QString InsertText(const char* table, const Columns& columns)
{
    QStringList names, params;
    for (const char* c : columns) {
        names.append(QString::fromLatin1(c));
        params.append(u':' + QString::fromLatin1(c));
    }
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(QString::fromLatin1(table), names.join(QStringLiteral(", ")), params.join(QStringLiteral(", ")));
}

// The time texts are plain digits and colons: their bytes as they are.
std::string_view AsciiOf(const QString& text, char (&buffer)[16])
{
    const qsizetype n = std::min<qsizetype>(text.size(), sizeof buffer);
    const QChar* c = text.constData();
    for (qsizetype i = 0; i < n; ++i)
        buffer[i] = static_cast<char>(c[i].unicode());
    return {buffer, static_cast<size_t>(n)};
}

// The import's statements on the client API, prepared once (in the first
// session's transaction) and run in the transaction of each session.  The
// columns that are never given a value stay NULL: their parameters start
// out NULL and are never set.
class DatabaseRowSink final : public SessionRowSink {
public:
    explicit DatabaseRowSink(FbTransaction& session)
        : qZapiszNowy(session, InsertText("POZYCJE", kPositionColumns)),
          qZapiszOkr(session, InsertText("OKRAZENIA_REJ",
                                         std::initializer_list<const char*>{
                                             "CZAS", "CZAS_SS", "ID_NAGLOWKA", "MAKS_OBROTY", "MIN_OBROTY", "NR",
                                             "ROZNICA", "ROZNICA_SS", "TEMP", "AVG_OBROTY", "AVG_ACC_OBROTY",
                                             "AVG_DEC_OBROTY"})),
          qZapiszSek(session, InsertText("SEKTORY", std::initializer_list<const char*>{
                                                        "CZAS", "CZAS_SS", "ID_NAGLOWKA", "MAX_OBROTY", "MIN_OBROTY",
                                                        "NR_OKRAZENIA", "NR_SEKTORA", "TEMP", "AVG_OBROTY",
                                                        "AVG_ACC_OBROTY", "AVG_DEC_OBROTY"})),
          qdopiszprzesuniecie(session, QStringLiteral("update NAGLOWKI set START_PIERWSZ_OKR = :S where ID_NAG = :ID_NAG")),
          qdopiszjestGPS(session, QStringLiteral("update NAGLOWKI set BYL_GPS = :S where ID_NAG = :ID_NAG")),
          qLapCount(session, QStringLiteral("update NAGLOWKI set ILOSC_OKRAZEN = :S where ID_NAG = :ID_NAG"))
    {
        auto index = [](const FbStatement& q, const char* name) { return q.ParamIndex(QString::fromLatin1(name)); };
        for (int i = 0; i < kPositionParams; ++i)
            pos_[i] = index(qZapiszNowy, kPositionColumns[i]);
        const char* const times[] = {"ID_NAGLOWKA", "CZAS_SS", "CZAS", "AVG_OBROTY", "AVG_ACC_OBROTY", "AVG_DEC_OBROTY"};
        for (int i = 0; i < kTimeParams; ++i) {
            lap_[i] = index(qZapiszOkr, times[i]);
            sector_[i] = index(qZapiszSek, times[i]);
        }
        lapNr_ = index(qZapiszOkr, "NR");
        sectorLap_ = index(qZapiszSek, "NR_OKRAZENIA");
        sectorNr_ = index(qZapiszSek, "NR_SEKTORA");
        shiftS_ = index(qdopiszprzesuniecie, "S");
        shiftId_ = index(qdopiszprzesuniecie, "ID_NAG");
        gpsS_ = index(qdopiszjestGPS, "S");
        gpsId_ = index(qdopiszjestGPS, "ID_NAG");
        lapCountS_ = index(qLapCount, "S");
        lapCountId_ = index(qLapCount, "ID_NAG");
    }

    void WritePosition(const PositionRow& r) override
    {
        FbStatement& q = qZapiszNowy;
        char text[16];
        q.SetInt(pos_[0], r.accx);
        q.SetInt(pos_[1], r.accy);
        q.SetText(pos_[2], AsciiOf(r.data, text));
        q.SetInt(pos_[3], r.gpsx);
        q.SetInt(pos_[4], r.gpsy);
        q.SetInt(pos_[5], r.gyro1);
        q.SetInt(pos_[6], r.gyro2);
        q.SetInt(pos_[7], r.idNaglowka);
        q.SetInt(pos_[8], r.idPozycji);
        q.SetInt(pos_[9], r.obroty);
        q.SetInt(pos_[10], r.okrazenie);
        q.SetInt(pos_[11], r.sektor);
        q.SetDouble(pos_[12], r.tempOtoczenia);
        q.SetDouble(pos_[13], r.temp1);
        q.SetDouble(pos_[14], r.temp2);
        q.SetInt(pos_[15], r.typProbki);
        q.SetInt(pos_[16], r.wilgotnosc);
        q.SetInt(pos_[17], r.dataSs);
        q.SetInt(pos_[18], r.predkoscGps);
        q.Execute();
    }

    void WriteLap(const LapRow& r) override
    {
        SetTimes(qZapiszOkr, lap_, r.idNaglowka, r.czasSs, r.czas, r.avgObroty, r.avgAccObroty, r.avgDecObroty);
        qZapiszOkr.SetInt(lapNr_, r.nr);
        qZapiszOkr.Execute();
    }

    void WriteSector(const SectorRow& r) override
    {
        SetTimes(qZapiszSek, sector_, r.idNaglowka, r.czasSs, r.czas, r.avgObroty, r.avgAccObroty, r.avgDecObroty);
        qZapiszSek.SetInt(sectorLap_, r.nrOkrazenia);
        qZapiszSek.SetInt(sectorNr_, r.nrSektora);
        qZapiszSek.Execute();
    }

    void WriteFirstLapStart(int idNaglowka, int hundredths) override
    {
        qdopiszprzesuniecie.SetInt(shiftS_, hundredths);
        qdopiszprzesuniecie.SetInt(shiftId_, idNaglowka);
        qdopiszprzesuniecie.Execute();
    }

    void WriteHasGps(int idNaglowka, int highestGpsX)
    {
        qdopiszjestGPS.SetInt(gpsS_, highestGpsX);
        qdopiszjestGPS.SetInt(gpsId_, idNaglowka);
        qdopiszjestGPS.Execute();
    }

    // The lap lines found, where the header's byte could not hold them.
    void WriteLapCount(int idNaglowka, int lapLines)
    {
        qLapCount.SetInt(lapCountS_, lapLines);
        qLapCount.SetInt(lapCountId_, idNaglowka);
        qLapCount.Execute();
    }

private:
    static constexpr int kPositionParams = 19;
    static constexpr int kTimeParams = 6;
    // In the statement's order; WritePosition sets them by these positions.
    static constexpr const char* kPositionColumns[kPositionParams] = {
        "ACCX",           "ACCY",  "DATA",  "GPSX",       "GPSY",       "GYRO1",   "GYRO2",
        "ID_NAGLOWKA",    "ID_POZYCJI", "OBROTY", "OKRAZENIE", "SEKTOR", "TEMP_OTOCZENIA", "TEMP1",
        "TEMP2",          "TYP_PROBKI", "WILGOTNOSC", "DATA_SS", "PREDKOSC_GPS"};

    // The columns lap and sector rows share.
    static void SetTimes(FbStatement& q, const int (&p)[kTimeParams], int idNaglowka, int czasSs, const QString& czas,
                         int average, double rise, double fall)
    {
        char text[16];
        q.SetInt(p[0], idNaglowka);
        q.SetInt(p[1], czasSs);
        q.SetText(p[2], AsciiOf(czas, text));
        q.SetInt(p[3], average);
        q.SetDouble(p[4], rise);
        q.SetDouble(p[5], fall);
    }

    FbStatement qZapiszNowy;
    FbStatement qZapiszOkr;
    FbStatement qZapiszSek;
    FbStatement qdopiszprzesuniecie;
    FbStatement qdopiszjestGPS;
    FbStatement qLapCount;
    int pos_[kPositionParams] = {};
    int lap_[kTimeParams] = {};
    int sector_[kTimeParams] = {};
    int lapNr_ = -1, sectorLap_ = -1, sectorNr_ = -1;
    int shiftS_ = -1, shiftId_ = -1, gpsS_ = -1, gpsId_ = -1, lapCountS_ = -1, lapCountId_ = -1;
};

// Records the header's duration leads to expect: two seconds per record.
int ExpectedRecords(const SessionHeaderRecord& header)
{
    const qint64 seconds = (static_cast<qint64>(header.Duration()) + 99) / 100;
    return static_cast<int>(std::clamp<qint64>((seconds + 1) / 2, 1, INT32_MAX));
}

// Writes the samples, laps and sectors of one session under the header row
// id into the session's transaction (which holds the header row already)
// and commits it.  True when it was stored; on an error the message (what
// names the session) is shown and the transaction rolled back, header row
// included, so the session is offered again by the next intake.
bool ImportSession(KeyDumpFile& file, const SessionHeaderRecord& header, int id, SessionSampleWriter& writer,
                   std::unique_ptr<DatabaseRowSink>& sink, FbTransaction& session, const ImportCallbacks& cb,
                   const QString& what)
{
    const bool gps = header.IsGpsFormat();
    const int expected = ExpectedRecords(header);
    if (cb.busy)
        cb.busy(true);
    try {
        if (!sink)
            sink = std::make_unique<DatabaseRowSink>(session);
        writer.BeginSession(id, DM->NextPositionId(), header.RaceIndex());
        SampleRing ring(file, header.StartOffset());
        uint8_t record[kDumpRecordSize];
        for (;;) {
            if (cb.progress)
                cb.progress(ring.RecordsRead(), expected);
            ring.Next(record);
            const bool ended = gps ? writer.WriteGpsSample(record, *sink) ||
                                         writer.WriteGpsSample(record + kSampleRecordSize, *sink)
                                   : writer.WritePlainSample(record, *sink) ||
                                         writer.WritePlainSample(record + kSampleRecordSize, *sink);
            if (ended)
                break;
        }
        sink->WriteHasGps(id, writer.HighestGpsX());
        if (writer.LapLines() > kHeaderLapLines)
            sink->WriteLapCount(id, writer.LapLines());
        // A commit into a database file that is gone would count as stored.
        DM->CheckAttachedFile();
        session.Commit();  // a commit that fails still ends the transaction
    } catch (const std::exception& e) {
        session.Rollback();
        if (cb.busy)
            cb.busy(false);
        if (cb.message)
            cb.message(what + QStringLiteral(" was not stored: ") + StoreFailureReason(e));
        return false;
    }
    if (cb.busy)
        cb.busy(false);
    return true;
}

}  // namespace

// -------------------------------------------------------------- import

QString SessionInFileText(const QString& fileName, int entry, const SessionHeaderRecord& header)
{
    QDateTime start;
    if (!header.SessionStart(start))
        return QStringLiteral("Entry %1 of %2").arg(entry).arg(fileName);
    return QStringLiteral("Entry %1 of %2 (started %3)").arg(entry).arg(fileName, DateTimeToStr(start));
}

QString FinishedText(const ImportSummary& summary)
{
    return QStringLiteral("Finished\nSessions stored: %1\nSkipped as already stored: %2\nFailed: %3")
        .arg(summary.imported)
        .arg(summary.skipped)
        .arg(summary.failed);
}

ImportSummary ImportSessions(const QString& folder, const ImportCallbacks& cb)
{
    ImportSummary summary;
    MemTable& mem = DM->memPrzejazdy;
    int driverId = -1;
    int trackId = -1;
    SessionSampleWriter writer;
    FbTransaction session(DM->TransEdit.Database());
    std::unique_ptr<DatabaseRowSink> sink;  // freed before the transaction object

    TIBQuery stored(DM->TransBrowse);
    stored.SetSQL(QStringLiteral("select id_nag  from naglowki where DATA_KONIEC = :DATA_KONIEC and "
                                 "NR_SERYJNY_KROM= :NR_SERYJNY_KROM "));
    const int pEnd = stored.ParamIndex(QStringLiteral("DATA_KONIEC"));
    const int pSerial = stored.ParamIndex(QStringLiteral("NR_SERYJNY_KROM"));

    auto tell = [&cb](const QString& text) {
        if (cb.message)
            cb.message(text);
    };

    // The ticked rows of the check list in its order (file, then entry),
    // each found again by its file name and entry number, so that a dump
    // file appearing or going while the list was open cannot put another
    // session in place of the one the user ticked.
    const QString base = IncludeBackslash(folder);
    KeyDumpFile file;
    QString openName;
    bool fileUsable = false;
    const int rows = mem.Active() ? mem.RecordCount() : 0;
    const int cTicked = mem.FieldIndex(QStringLiteral("wybrany"));
    const int cFile = mem.FieldIndex(QStringLiteral("plik"));
    const int cEntry = mem.FieldIndex(QStringLiteral("numer_wpisu"));
    const int cEnd = mem.FieldIndex(QStringLiteral("data"));
    for (int row = 0; row < rows; ++row) {
        if (!mem.BoolAt(row, cTicked))
            continue;
        const QString name = mem.StringAt(row, cFile);
        const int e = mem.IntAt(row, cEntry);
        if (name != openName || !file.IsOpen()) {
            file.Close();
            openName = name;
            fileUsable = file.Open(base + name) && file.HasHeaderRecords();
            if (!fileUsable)
                tell(file.ErrorText().isEmpty() ? ShortDumpFileMessage(name) : file.ErrorText());
        }
        if (!fileUsable) {
            ++summary.failed;
            continue;
        }
        const QString serial = SerialFromFileName(name);
        const SessionHeaderRecord header = file.ReadHeader(e);
        QDateTime end;
        if (header.IsFree() || !header.SessionEnd(end) || ToTDateTime(end) != mem.FloatAt(row, cEnd)) {
            tell(QStringLiteral("Entry %1 of %2 no longer holds the session listed; it was not imported.")
                     .arg(e)
                     .arg(name));
            ++summary.failed;
            continue;
        }

        stored.SetParam(pEnd, end);
        stored.SetParam(pSerial, serial);
        stored.Open();
        const int existing = stored.FieldByName(QStringLiteral("id_nag")).AsInteger();
        stored.Close();
        if (existing > 0) {
            ++summary.skipped;
            continue;
        }

        // One transaction holds the session's header row, samples, laps and
        // sectors: a session is stored whole or not at all.
        session.StartWrite(kWriteLockTimeoutSeconds);
        const int id = cb.confirmHeader ? cb.confirmHeader(serial, header, driverId, trackId, session) : -1;
        if (id <= 0)
            session.Rollback();
        if (id == -2) {
            summary.cancelled = true;
            return summary;
        }
        if (id == 0)
            ++summary.skipped;
        else if (id == -3)
            ++summary.failed;
        if (id <= 0)
            continue;

        if (ImportSession(file, header, id, writer, sink, session, cb, SessionInFileText(name, e, header))) {
            ++summary.imported;
        } else {
            ++summary.failed;
            if (!DM->AttachedFileInPlace())
                break;  // no further session could be stored either
        }
    }
    file.Close();
    tell(FinishedText(summary));
    return summary;
}
