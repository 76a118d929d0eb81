#include "analysis/sessionload.h"

#include <array>

#include "analysis/sessiontree.h"
#include "platform/memtable.h"
#include "shell/common/stale.h"
#include "shell/data/fbbulk.h"
#include "shell/data/ubazy.h"
#include "shell/projectrecord.h"

int AccToHundredthsG(int32_t count)
{
    // The product wraps as a 32-bit integer would (raw counts are far from it).
    const int32_t product = int32_t(uint32_t(count) * 24414u);
    return RoundHalfEven(double(product) / 1000000.0);
}

int32_t MapCoordinate(uint32_t packed)
{
    const uint32_t degrees = packed >> 24;
    const uint32_t minutes = (packed >> 16) & 255;
    const uint32_t fraction = packed & 65535;
    // At most (255 x 60 + 255) x 10000 + 65535: within 32 bits.
    return int32_t((degrees * 60 + minutes) * 10000 + fraction);
}

void ApplyRangeDefaults(ProjectRecord& record)
{
    if (ProjectRecord::RangeNotSet(record.RpmMin(), record.RpmMax())) {
        record.SetRpmMin(0);
        record.SetRpmMax(15000);
    }
    if (ProjectRecord::RangeNotSet(record.Temp1Min(), record.Temp1Max())) {
        record.SetTemp1Min(0);
        record.SetTemp1Max(70);
    }
    if (ProjectRecord::RangeNotSet(record.Temp2Min(), record.Temp2Max())) {
        record.SetTemp2Min(0);
        record.SetTemp2Max(70);
    }
    if (ProjectRecord::RangeNotSet(record.AccMin(), record.AccMax())) {
        record.SetAccMin(-3);
        record.SetAccMax(3);
    }
}

void AppendMinMaxRow(MemTable& memMinMax, int sessionId, const ProjectRecord& record)
{
    const MemValue row[] = {
        MemValue::Int(sessionId),
        MemValue::Int(record.RpmMin()),   MemValue::Int(record.RpmMax()),
        MemValue::Int(record.Temp1Min()), MemValue::Int(record.Temp1Max()),
        MemValue::Int(record.AccMin()),   MemValue::Int(record.AccMax()),
        MemValue::Int(record.AccMin()),   MemValue::Int(record.AccMax()),
        MemValue::Int(record.Temp2Min()), MemValue::Int(record.Temp2Max()),
        MemValue::Int(record.VGpsMin()),  MemValue::Int(record.VGpsMax()),
    };
    memMinMax.AppendValues(row);
}

namespace {

const QString kSamplesSql = QStringLiteral("select * from POZYCJE where ID_NAGLOWKA = :NAG order by data_ss");

// memGPS's fields, in the order of its definition.
enum GpsField {
    fTypProbki, fObroty, fAccx, fAccy, fGpsx, fGpsy, fGyro1, fGyro2, fSektor, fTemp1, fTemp2, fData,
    fDatas, fXobr, fYobr, fOkrazenie, fIdNag, fGpsxWyl, fGpsyWyl, fPredkoscGps, fBrakOkrazenia, kGpsFields
};
const char* const kGpsFieldNames[kGpsFields] = {
    "typ_probki", "obroty", "accx", "accy", "gpsx", "gpsy", "gyro1", "gyro2", "sektor", "temp1", "temp2",
    "data", "datas", "xobr", "yobr", "okrazenie", "id_nag", "gpsx_wyl", "gpsy_wyl", "predkosc_gps",
    "brakOkrazenia"};

// The POZYCJE columns read, by the memGPS field they fill.
enum SampleColumn { cTyp, cObroty, cAccx, cAccy, cGpsx, cGpsy, cGyro1, cGyro2, cSektor, cTemp1, cTemp2,
                    cDataSs, cOkrazenie, cPredkosc, kSampleColumns };
const char* const kSampleColumnNames[kSampleColumns] = {
    "TYP_PROBKI", "OBROTY", "ACCX", "ACCY", "GPSX", "GPSY", "GYRO1", "GYRO2", "SEKTOR", "TEMP1", "TEMP2",
    "DATA_SS", "OKRAZENIE", "PREDKOSC_GPS"};

// The read transaction of the data module (read-only, read committed) held
// for the life of a scope: the queries run meanwhile share it instead of
// starting one each.
class ReadScope {
public:
    ReadScope() : tr_(DM->TransBrowse.Begin(lease_)) {}
    ~ReadScope() { DM->TransBrowse.End(lease_, true); }
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;
    FbTransaction& Transaction() { return tr_; }

private:
    TTransaction::Lease lease_;
    FbTransaction& tr_;
};

}  // namespace

void LoadSessionSamples(int sessionId, MemTable& memGPS)
{
    // Where each memGPS field sits in an appended row.
    std::array<int, kGpsFields> slot;
    for (int f = 0; f < kGpsFields; ++f) {
        slot[size_t(f)] = memGPS.FieldIndex(QString::fromLatin1(kGpsFieldNames[f]));
        if (slot[size_t(f)] < 0 || memGPS.FieldCount() != kGpsFields)
            throw MemTableError(std::string("memGPS has no field ") + kGpsFieldNames[f]);
    }

    ReadScope read;
    FbStatement st(read.Transaction(), kSamplesSql);
    st.SetInt(st.ParamIndex(QStringLiteral("NAG")), sessionId);
    std::array<int, kSampleColumns> col;
    for (int c = 0; c < kSampleColumns; ++c) {
        col[size_t(c)] = st.ColumnIndex(QString::fromLatin1(kSampleColumnNames[c]));
        if (col[size_t(c)] < 0)
            throw DatabaseError(std::string("Column unknown: POZYCJE.") + kSampleColumnNames[c]);
    }

    // The values every sample shares are set once.
    static const QString kBlank = QStringLiteral(" ");
    std::array<MemValue, kGpsFields> row;
    row[size_t(slot[fDatas])] = MemValue::Text(kBlank);
    row[size_t(slot[fXobr])] = MemValue::Int(0);
    row[size_t(slot[fYobr])] = MemValue::Int(0);
    row[size_t(slot[fIdNag])] = MemValue::Int(sessionId);
    row[size_t(slot[fBrakOkrazenia])] = MemValue();  // stays empty

    MemTableBulk bulk(memGPS);
    st.Open();
    while (st.Fetch()) {
        auto put = [&](GpsField f, int32_t v) { row[size_t(slot[f])] = MemValue::Int(v); };
        put(fTypProbki, st.Int(col[cTyp]));
        put(fObroty, st.Int(col[cObroty]));
        put(fAccx, AccToHundredthsG(st.Int(col[cAccx])));
        put(fAccy, AccToHundredthsG(st.Int(col[cAccy])));
        const int32_t gpsx = st.Int(col[cGpsx]), gpsy = st.Int(col[cGpsy]);
        put(fGpsx, gpsx);
        put(fGpsy, gpsy);
        put(fGyro1, st.Int(col[cGyro1]));
        put(fGyro2, st.Int(col[cGyro2]));
        put(fSektor, st.Int(col[cSektor]));
        row[size_t(slot[fTemp1])] = MemValue::Float(st.Double(col[cTemp1]));
        row[size_t(slot[fTemp2])] = MemValue::Float(st.Double(col[cTemp2]));
        put(fData, st.Int(col[cDataSs]));
        put(fOkrazenie, st.Int(col[cOkrazenie]));
        put(fGpsxWyl, MapCoordinate(uint32_t(gpsx)));
        put(fGpsyWyl, MapCoordinate(uint32_t(gpsy)));
        put(fPredkoscGps, st.Int(col[cPredkosc]));
        memGPS.AppendValues(row);
    }
}

SessionLoadError::SessionLoadError(int sessionId, const std::string& cause)
    : std::runtime_error("session " + std::to_string(sessionId) + ": " + cause),
      sessionId_(sessionId),
      cause_(QString::fromStdString(cause))
{
}

QString SessionLoadError::Message() const
{
    return QStringLiteral("Session %1 could not be loaded, so no session is shown:\n%2").arg(sessionId_).arg(cause_);
}

namespace {

void Empty(MemTable& memGPS, MemTable& memMinMax, SessionTree& tree)
{
    for (MemTable* t : {&memGPS, &memMinMax}) {
        t->Close();
        t->Open();
    }
    tree.ResetTree();
}

}  // namespace

void LoadSessions(MemTable& memWybraneSesje, MemTable& memGPS, MemTable& memMinMax, SessionTree& tree,
                  const TreeFilters& filters, ProjectRecord& record)
{
    Empty(memGPS, memMinMax, tree);
    try {
        MemTableBulk bulk(memGPS);  // one notification and one trim for the whole load
        ReadScope read;          // one read transaction for samples and tree alike
        const int idField = memWybraneSesje.FieldIndex(QStringLiteral("id_nag"));
        for (memWybraneSesje.First(); !memWybraneSesje.Eof(); memWybraneSesje.Next()) {
            const int sessionId = memWybraneSesje.FieldAt(idField).AsInteger();
            LoadOneSession(sessionId, [&] {
                ApplyRangeDefaults(record);
                AppendMinMaxRow(memMinMax, sessionId, record);
                LoadSessionSamples(sessionId, memGPS);
                BuildSessionTree(tree, sessionId, filters);
            });
        }
    } catch (...) {
        Empty(memGPS, memMinMax, tree);
        throw;
    }
}
