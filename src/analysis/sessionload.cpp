#include "analysis/sessionload.h"

#include <array>
#include <optional>

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

// The columns read, in the order of SampleBlock's columns (the map
// coordinates and Data are not read).
const QString kSamplesSql = QStringLiteral(
    "select TYP_PROBKI, OBROTY, ACCX, ACCY, GPSX, GPSY, GYRO1, GYRO2, SEKTOR, DATA_SS, OKRAZENIE, PREDKOSC_GPS, "
    "TEMP1, TEMP2 from POZYCJE where ID_NAGLOWKA = :NAG order by data_ss");
constexpr int kReadInts = SampleBlock::Predkosc + 1;

// memGPS's fields, in the order of its definition.
enum GpsField {
    fTypProbki, fObroty, fAccx, fAccy, fGpsx, fGpsy, fGyro1, fGyro2, fSektor, fTemp1, fTemp2, fData,
    fDatas, fXobr, fYobr, fOkrazenie, fIdNag, fGpsxWyl, fGpsyWyl, fPredkoscGps, fBrakOkrazenia, kGpsFields
};
const char* const kGpsFieldNames[kGpsFields] = {
    "typ_probki", "obroty", "accx", "accy", "gpsx", "gpsy", "gyro1", "gyro2", "sektor", "temp1", "temp2",
    "data", "datas", "xobr", "yobr", "okrazenie", "id_nag", "gpsx_wyl", "gpsy_wyl", "predkosc_gps",
    "brakOkrazenia"};

// The block column each memGPS field takes its values from.
constexpr SampleBlock::IntColumn kFromBlock[] = {
    SampleBlock::Typ,   SampleBlock::Obroty, SampleBlock::Accx,  SampleBlock::Accy,
    SampleBlock::Gpsx,  SampleBlock::Gpsy,   SampleBlock::Gyro1, SampleBlock::Gyro2,
    SampleBlock::Sektor};

}  // namespace

void SampleBlock::Keep(const uint8_t* keep)
{
    int kept = 0;
    for (int k = 0; k < count; ++k) {
        if (!keep[k])
            continue;
        if (kept != k) {
            for (int c = 0; c < kInts; ++c)
                Ints(IntColumn(c))[kept] = Ints(IntColumn(c))[k];
            for (int c = 0; c < kFloats; ++c)
                Floats(FloatColumn(c))[kept] = Floats(FloatColumn(c))[k];
        }
        ++kept;
    }
    count = kept;
}

struct SampleLoader::Impl {
    MemTable& memGPS;
    std::array<int, kGpsFields> slot{};  // where each field sits in memGPS
    TTransactionScope read{DM->TransBrowse};
    FbStatement st{read.Transaction(), kSamplesSql};
    int nag = st.ParamIndex(QStringLiteral("NAG"));
    SampleBlock block;

    explicit Impl(MemTable& t) : memGPS(t)
    {
        if (memGPS.FieldCount() != kGpsFields)
            throw MemTableError("memGPS has not the fields of the samples");
        for (int f = 0; f < kGpsFields; ++f) {
            slot[size_t(f)] = memGPS.FieldIndex(QString::fromLatin1(kGpsFieldNames[f]));
            if (slot[size_t(f)] < 0)
                throw MemTableError(std::string("memGPS has no field ") + kGpsFieldNames[f]);
        }
        for (int c = 0; c < kReadInts; ++c)
            st.BindInts(c, block.Ints(SampleBlock::IntColumn(c)));
        st.BindDoubles(kReadInts, block.Floats(SampleBlock::Temp1));
        st.BindDoubles(kReadInts + 1, block.Floats(SampleBlock::Temp2));
    }

    // The block's values as memGPS takes them.
    void convert()
    {
        int32_t* accx = block.Ints(SampleBlock::Accx);
        int32_t* accy = block.Ints(SampleBlock::Accy);
        const int32_t* gpsx = block.Ints(SampleBlock::Gpsx);
        const int32_t* gpsy = block.Ints(SampleBlock::Gpsy);
        int32_t* mapx = block.Ints(SampleBlock::GpsxMap);
        int32_t* mapy = block.Ints(SampleBlock::GpsyMap);
        for (int k = 0; k < block.count; ++k) {
            accx[k] = AccToHundredthsG(accx[k]);
            accy[k] = AccToHundredthsG(accy[k]);
            mapx[k] = MapCoordinate(uint32_t(gpsx[k]));
            mapy[k] = MapCoordinate(uint32_t(gpsy[k]));
        }
    }

    void append(int sessionId, SampleTimeText text, const int32_t* data)
    {
        static const QString kBlank = QStringLiteral(" ");
        std::array<MemColumn, kGpsFields> cols;
        auto put = [&](GpsField f, MemColumn c) { cols[size_t(slot[size_t(f)])] = c; };
        for (int f = fTypProbki; f <= fSektor; ++f)
            put(GpsField(f), MemColumn::Ints(block.Ints(kFromBlock[f])));
        put(fTemp1, MemColumn::Floats(block.Floats(SampleBlock::Temp1)));
        put(fTemp2, MemColumn::Floats(block.Floats(SampleBlock::Temp2)));
        put(fData, MemColumn::Ints(data));
        put(fDatas, text == SampleTimeText::Blank ? MemColumn::Same(MemValue::Text(kBlank))
                                                  : MemColumn::TextOf(slot[fData], &SessionTimeText));
        put(fXobr, MemColumn::Same(MemValue::Int(0)));
        put(fYobr, MemColumn::Same(MemValue::Int(0)));
        put(fOkrazenie, MemColumn::Ints(block.Ints(SampleBlock::Okrazenie)));
        put(fIdNag, MemColumn::Same(MemValue::Int(sessionId)));
        put(fGpsxWyl, MemColumn::Ints(block.Ints(SampleBlock::GpsxMap)));
        put(fGpsyWyl, MemColumn::Ints(block.Ints(SampleBlock::GpsyMap)));
        put(fPredkoscGps, MemColumn::Ints(block.Ints(SampleBlock::Predkosc)));
        put(fBrakOkrazenia, MemColumn::Same(MemValue()));
        memGPS.AppendBlock(block.count, cols);
    }
};

SampleLoader::SampleLoader(MemTable& memGPS) : d(std::make_unique<Impl>(memGPS)) {}

SampleLoader::~SampleLoader() = default;

int SampleLoader::Append(int sessionId, SampleTimeText text, const std::function<bool(SampleBlock&)>& edit)
{
    MemTableBulk bulk(d->memGPS);
    d->st.SetInt(d->nag, sessionId);
    d->st.Open();
    int rows = 0;
    SampleBlock& b = d->block;
    while ((b.count = d->st.FetchBlock(SampleBlock::kRows)) > 0) {
        d->convert();
        const bool ownTimes = edit && edit(b);
        d->append(sessionId, text, b.Ints(ownTimes ? SampleBlock::Data : SampleBlock::DataSs));
        rows += b.count;
    }
    return rows;
}

void LoadSessionSamples(int sessionId, MemTable& memGPS)
{
    SampleLoader(memGPS).Append(sessionId, SampleTimeText::Blank);
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
        // Made by the first session (whose load a refused statement fails),
        // it holds one read transaction for samples and tree alike.
        std::optional<SampleLoader> samples;
        const int idField = memWybraneSesje.FieldIndex(QStringLiteral("id_nag"));
        for (memWybraneSesje.First(); !memWybraneSesje.Eof(); memWybraneSesje.Next()) {
            const int sessionId = memWybraneSesje.FieldAt(idField).AsInteger();
            LoadOneSession(sessionId, [&] {
                ApplyRangeDefaults(record);
                AppendMinMaxRow(memMinMax, sessionId, record);
                if (!samples)
                    samples.emplace(memGPS);
                samples->Append(sessionId, SampleTimeText::Blank);
                BuildSessionTree(tree, sessionId, filters);
            });
        }
    } catch (...) {
        Empty(memGPS, memMinMax, tree);
        throw;
    }
}
