#include "kromsim.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

#include "intake/keymemory.h"
#include "platform/usb_simkey.h"

namespace kromsim {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kG = 9.81;
constexpr double kCountsPerG = 4096.0;

void PutU16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void PutU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

int16_t ClampS16(double v)
{
    return static_cast<int16_t>(std::clamp<long>(std::lround(v), -32768, 32767));
}

uint16_t ClampU16(double v)
{
    return static_cast<uint16_t>(std::clamp<long>(std::lround(v), 0, 65535));
}

// Small deterministic generator, the same on every platform.
class Noise {
public:
    explicit Noise(uint32_t seed) : s_(seed * 2654435761u + 0x9E3779B9u) {}
    // Uniform in [-1, 1].
    double Next()
    {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return (s_ & 0xFFFFFF) / double(0x7FFFFF) - 1.0;
    }

private:
    uint32_t s_;
};

// ------------------------------------------------------------------ track

// A closed kart track: a smooth loop of about 850 m sampled every few
// decimetres, with the speed a kart can carry at each point (cornering
// limit, accelerating out of corners, braking into them).
class Track {
public:
    struct Point {
        double x = 0, y = 0;  // metres east and north of the centre
        double heading = 0;   // radians
        double kappa = 0;     // curvature, 1/m, signed
        double v = 0;         // speed, m/s
        double dvds = 0;      // speed gradient along the track
        double t = 0;         // time from the lap line at base pace
    };

    explicit Track(double scale) { Build(scale); }

    double Length() const { return length_; }
    double LapTime() const { return lapTime_; }

    // The point at distance s (wrapped into the lap), interpolated.
    Point At(double s) const
    {
        s = Wrap(s);
        const double f = s / ds_;
        const int i = std::min(static_cast<int>(f), n_ - 1);
        const double w = f - i;
        const Point& a = pts_[i];
        const Point& b = pts_[(i + 1) % n_];
        Point p;
        p.x = a.x + (b.x - a.x) * w;
        p.y = a.y + (b.y - a.y) * w;
        double dh = b.heading - a.heading;
        while (dh > kPi)
            dh -= 2 * kPi;
        while (dh < -kPi)
            dh += 2 * kPi;
        p.heading = a.heading + dh * w;
        p.kappa = a.kappa + (b.kappa - a.kappa) * w;
        p.v = a.v + (b.v - a.v) * w;
        p.dvds = a.dvds + (b.dvds - a.dvds) * w;
        p.t = TimeAt(s);
        return p;
    }

    // Base time from the lap line to distance s (0 <= s <= length).
    double TimeAt(double s) const
    {
        if (s <= 0)
            return 0;
        if (s >= length_)
            return lapTime_;
        const double f = s / ds_;
        const int i = std::min(static_cast<int>(f), n_ - 1);
        const double w = f - i;
        const double t1 = i + 1 < n_ ? pts_[i + 1].t : lapTime_;
        return pts_[i].t + (t1 - pts_[i].t) * w;
    }

    // Distance reached at base time t from the lap line (0 <= t <= lap time).
    double DistanceAtTime(double t) const
    {
        if (t <= 0)
            return 0;
        if (t >= lapTime_)
            return length_;
        int lo = 0, hi = n_;  // pts_[lo].t <= t < time at hi
        while (hi - lo > 1) {
            const int mid = (lo + hi) / 2;
            if (pts_[mid].t <= t)
                lo = mid;
            else
                hi = mid;
        }
        const double t1 = hi < n_ ? pts_[hi].t : lapTime_;
        const double w = (t - pts_[lo].t) / (t1 - pts_[lo].t);
        return (lo + w) * ds_;
    }

private:
    double Wrap(double s) const
    {
        s = std::fmod(s, length_);
        return s < 0 ? s + length_ : s;
    }

    void Build(double scale)
    {
        // The loop in polar form (star-shaped, so it never crosses itself).
        const int m = 20000;
        std::vector<double> px(m + 1), py(m + 1), cum(m + 1, 0.0);
        for (int i = 0; i <= m; ++i) {
            const double th = 2 * kPi * i / m;
            const double r = 1 + 0.28 * std::sin(2 * th) + 0.12 * std::cos(3 * th + 0.4) + 0.05 * std::sin(5 * th);
            px[i] = 170 * scale * r * std::cos(th);
            py[i] = 95 * scale * r * std::sin(th);
            if (i > 0)
                cum[i] = cum[i - 1] + std::hypot(px[i] - px[i - 1], py[i] - py[i - 1]);
        }
        length_ = cum[m];
        n_ = 2048;
        ds_ = length_ / n_;
        pts_.assign(n_, Point{});
        int j = 0;
        for (int i = 0; i < n_; ++i) {
            const double s = i * ds_;
            while (j < m - 1 && cum[j + 1] < s)
                ++j;
            const double w = (s - cum[j]) / (cum[j + 1] - cum[j]);
            pts_[i].x = px[j] + (px[j + 1] - px[j]) * w;
            pts_[i].y = py[j] + (py[j + 1] - py[j]) * w;
        }
        for (int i = 0; i < n_; ++i) {
            const Point& a = pts_[(i + n_ - 1) % n_];
            const Point& b = pts_[(i + 1) % n_];
            pts_[i].heading = std::atan2(b.y - a.y, b.x - a.x);
        }
        std::vector<double> kappa(n_);
        for (int i = 0; i < n_; ++i) {
            double dh = pts_[(i + 1) % n_].heading - pts_[(i + n_ - 1) % n_].heading;
            while (dh > kPi)
                dh -= 2 * kPi;
            while (dh < -kPi)
                dh += 2 * kPi;
            kappa[i] = dh / (2 * ds_);
        }
        for (int i = 0; i < n_; ++i) {  // smoothed over a few metres
            double sum = 0;
            for (int d = -6; d <= 6; ++d)
                sum += kappa[(i + d + n_) % n_];
            pts_[i].kappa = sum / 13;
        }

        // Speed: cornering limit, then acceleration and braking limits,
        // each pass run twice round the loop so the lap closes smoothly.
        const double vTop = 31.0, aLat = 12.0, aBrake = 11.0;
        std::vector<double> v(n_);
        for (int i = 0; i < n_; ++i) {
            const double k = std::fabs(pts_[i].kappa);
            v[i] = k > 1e-6 ? std::min(vTop, std::sqrt(aLat / k)) : vTop;
        }
        const std::vector<double> limit = v;
        for (int pass = 0; pass < 2 * n_; ++pass) {
            const int i = pass % n_;
            const int nx = (i + 1) % n_;
            const double aAcc = std::max(0.3, 5.0 * (1 - v[i] / 33.0));
            v[nx] = std::min(limit[nx], std::sqrt(v[i] * v[i] + 2 * aAcc * ds_));
        }
        for (int pass = 2 * n_ - 1; pass >= 0; --pass) {
            const int i = pass % n_;
            const int nx = (i + 1) % n_;
            v[i] = std::min(v[i], std::sqrt(v[nx] * v[nx] + 2 * aBrake * ds_));
        }
        for (int i = 0; i < n_; ++i) {
            pts_[i].v = v[i];
            pts_[i].dvds = (v[(i + 1) % n_] - v[(i + n_ - 1) % n_]) / (2 * ds_);
        }
        double t = 0;
        for (int i = 0; i < n_; ++i) {
            pts_[i].t = t;
            t += ds_ / ((v[i] + v[(i + 1) % n_]) / 2);
        }
        lapTime_ = t;
    }

    std::vector<Point> pts_;
    int n_ = 0;
    double ds_ = 0;
    double length_ = 0;
    double lapTime_ = 0;
};

// The standard track, or a smaller loop of the same shape.
const Track& TheTrack(double scale)
{
    static std::map<double, std::unique_ptr<Track>> tracks;
    std::unique_ptr<Track>& track = tracks[scale];
    if (!track)
        track = std::make_unique<Track>(scale);
    return *track;
}

// ------------------------------------------------------------ session plan

// One stretch driven at one pace: from distance s0 to s1 of a lap.
struct Stretch {
    double s0 = 0, s1 = 0;
    double pace = 1;   // speed factor against the base pace
    double start = 0;  // session time (s) at s0
    double duration = 0;
    bool lapLineAtStart = false;
};

struct Crossing {
    int hundredths = 0;  // session time
    bool lapLine = false;
};

// The kart's state at a moment of the session.
struct KartState {
    double x = 0, y = 0;
    double speed = 0;      // m/s
    double lateral = 0;    // m/s^2
    double longitudinal = 0;
    double yawRate = 0;  // rad/s
};

class SessionPlan {
public:
    SessionPlan(const SessionOptions& opts, int minSeconds)
        : track_(TheTrack(std::clamp(opts.trackScale, kSmallestTrack, 1.0)))
    {
        const double L = track_.Length();
        double t = 0;
        auto add = [&](double s0, double s1, double pace, bool lapLine) {
            Stretch st;
            st.s0 = s0;
            st.s1 = s1;
            st.pace = pace;
            st.start = t;
            st.duration = (track_.TimeAt(s1) - track_.TimeAt(s0)) / pace;
            st.lapLineAtStart = lapLine;
            stretches_.push_back(st);
            t += st.duration;
        };
        const double out = std::clamp(opts.outLap, 0.0, 0.99);
        if (out > 0)
            add(L * (1 - out), L, 0.82, false);
        // Timed laps, a little faster or slower each time.
        auto lapPace = [&](int i) {
            return 1.0 + 0.018 * std::sin(i * 1.7 + opts.seed) + 0.006 * std::cos(i * 0.45 + 2.0 * opts.seed);
        };
        int i = 0;
        if (opts.seconds > 0 || minSeconds > 0) {
            const double until = std::max(opts.seconds, minSeconds) + 1.0;
            while (t < until)
                add(0, L, lapPace(++i), true);
            // The line at the end of the last lap is never reached in time.
        } else {
            for (i = 1; i <= opts.laps; ++i)
                add(0, L, lapPace(i), true);
            const double in = std::clamp(opts.inLap, 0.0, 0.99);
            add(0, L * in, 0.7, true);  // the last lap line starts the in-lap
        }
        total_ = t;
    }

    double Duration() const { return total_; }

    KartState At(double tau) const
    {
        KartState k;
        if (stretches_.empty())
            return k;
        const bool stopped = tau >= total_;
        if (stopped)
            tau = total_;
        auto it = std::upper_bound(stretches_.begin(), stretches_.end(), tau,
                                   [](double t, const Stretch& s) { return t < s.start; });
        const Stretch& st = *(it == stretches_.begin() ? it : it - 1);
        const double base = track_.TimeAt(st.s0) + (tau - st.start) * st.pace;
        const double s = std::min(track_.DistanceAtTime(base), st.s1);
        const Track::Point p = track_.At(s);
        k.x = p.x;
        k.y = p.y;
        if (stopped)
            return k;
        k.speed = p.v * st.pace;
        k.lateral = k.speed * k.speed * p.kappa;
        k.longitudinal = st.pace * st.pace * p.v * p.dvds;
        k.yawRate = k.speed * p.kappa;
        return k;
    }

    // Lap and sector lines in time order, in hundredths of session time.
    std::vector<Crossing> Crossings(int sectorsPerLap) const
    {
        std::vector<Crossing> out;
        const double L = track_.Length();
        for (const Stretch& st : stretches_) {
            if (st.lapLineAtStart)
                out.push_back({static_cast<int>(std::llround(st.start * 100)), true});
            for (int m = 1; m < sectorsPerLap; ++m) {
                const double line = m * L / sectorsPerLap;
                if (line > st.s0 && line <= st.s1) {
                    const double t = st.start + (track_.TimeAt(line) - track_.TimeAt(st.s0)) / st.pace;
                    out.push_back({static_cast<int>(std::llround(t * 100)), false});
                }
            }
        }
        std::stable_sort(out.begin(), out.end(),
                         [](const Crossing& a, const Crossing& b) { return a.hundredths < b.hundredths; });
        // A second holds one line at most: a later line in the same second
        // moves to the start of the next free second.
        for (size_t i = 1; i < out.size(); ++i)
            if (out[i].hundredths / 100 <= out[i - 1].hundredths / 100)
                out[i].hundredths = (out[i - 1].hundredths / 100 + 1) * 100;
        return out;
    }

private:
    const Track& track_;
    std::vector<Stretch> stretches_;
    double total_ = 0;
};

// The track's centre: 52 deg 10' N, 21 deg 5' E.
constexpr double kLat0 = 52.0 + 10.0 / 60.0;
constexpr double kLon0 = 21.0 + 5.0 / 60.0;

void Coordinates(const KartState& k, int32_t& gpsX, int32_t& gpsY)
{
    const double lat = kLat0 + k.y / 111320.0;
    const double lon = kLon0 + k.x / (111320.0 * std::cos(kLat0 * kPi / 180.0));
    gpsX = PackCoordinate(lat);  // X plays the latitude
    gpsY = PackCoordinate(lon);
}

uint16_t RpmOf(const KartState& k, Noise& noise)
{
    return ClampU16(2400 + k.speed * 400 + 25 * noise.Next());
}

QDateTime AutomaticEnd(int entry)
{
    return QDateTime(QDate(2024, 6, 15), QTime(9, 30), Qt::UTC).addSecs(45 * 60 * entry);
}

}  // namespace

// ------------------------------------------------------- SampleRecordBuilder

SampleRecordBuilder::SampleRecordBuilder(SampleFormat format) : format_(format) { bytes_.fill(0); }

SampleRecordBuilder& SampleRecordBuilder::Type(uint8_t type)
{
    bytes_[sample_offsets::kType] = type;
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::LineHundredths(uint8_t h)
{
    bytes_[sample_offsets::kLineHundredths] = h;
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::Race(uint8_t race)
{
    bytes_[sample_offsets::kRaceIndex] = race;
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::Humidity(uint8_t h)
{
    bytes_[sample_offsets::kHumidity] = h;
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::Lap(uint8_t lap)
{
    bytes_[sample_offsets::kLap] = lap;
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::Sector(uint8_t sector)
{
    bytes_[sample_offsets::kSector] = sector;
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::Temp1(int16_t tenths)
{
    PutU16(&bytes_[sample_offsets::kTemp1], static_cast<uint16_t>(tenths));
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::Temp2(int16_t tenths)
{
    if (format_ == SampleFormat::Plain)
        PutU16(&bytes_[sample_offsets::kPlainTemp2], static_cast<uint16_t>(tenths));
    else
        for (int j = 0; j < kFastSamples; ++j)
            Temp2At(j, tenths);
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::Temp2At(int j, int16_t tenths)
{
    PutU16(&bytes_[sample_offsets::kGpsTemp2 + 2 * j], static_cast<uint16_t>(tenths));
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::Ambient(int16_t tenths)
{
    const int at = format_ == SampleFormat::Plain ? sample_offsets::kPlainAmbient : sample_offsets::kGpsAmbient;
    PutU16(&bytes_[at], static_cast<uint16_t>(tenths));
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::Rpm(int k, uint16_t rpm)
{
    PutU16(&bytes_[sample_offsets::kRpm + 2 * k], rpm);
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::Rpms(const std::array<uint16_t, kRpmSamples>& rpm)
{
    for (int k = 0; k < kRpmSamples; ++k)
        Rpm(k, rpm[k]);
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::GpsX(int j, int32_t packed)
{
    PutU32(&bytes_[sample_offsets::kGpsX + 4 * j], static_cast<uint32_t>(packed));
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::GpsY(int j, int32_t packed)
{
    PutU32(&bytes_[sample_offsets::kGpsY + 4 * j], static_cast<uint32_t>(packed));
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::Acc(int j, int32_t x, int32_t y)
{
    if (format_ == SampleFormat::Plain) {
        PutU16(&bytes_[sample_offsets::kPlainAccX + 2 * j], static_cast<uint16_t>(ClampS16(x)));
        PutU16(&bytes_[sample_offsets::kPlainAccY + 2 * j], static_cast<uint16_t>(ClampS16(y)));
    } else {
        PackedAcc(j, PackAcceleration(x, y));
    }
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::PackedAcc(int j, uint32_t packed)
{
    PutU32(&bytes_[sample_offsets::kGpsPackedAcc + 4 * j], packed);
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::Gyro(int j, int32_t value)
{
    PutU32(&bytes_[sample_offsets::kPlainGyro + 4 * j], static_cast<uint32_t>(value));
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::SpeedWord(int j, uint16_t word)
{
    PutU16(&bytes_[sample_offsets::kGpsSpeed + 2 * j], word);
    return *this;
}
SampleRecordBuilder& SampleRecordBuilder::Fill(uint8_t byte)
{
    bytes_.fill(byte);
    return *this;
}

// ----------------------------------------------------------------- DumpImage

DumpImage::DumpImage(int records)
    : records_(records), bytes_(static_cast<qsizetype>(records) * kDumpRecordSize, char(0xFF))
{
}

uint8_t* DumpImage::RecordData(int record)
{
    if (record < 0 || record >= records_)
        throw std::out_of_range("record outside the dump image");
    return reinterpret_cast<uint8_t*>(bytes_.data()) + static_cast<qsizetype>(record) * kDumpRecordSize;
}

void DumpImage::SetHeader(int entry, const SessionHeaderRecord& header)
{
    std::memcpy(RecordData(kFirstHeaderRecord - 1 + entry), header.Data(), SessionHeaderRecord::kSize);
}

void DumpImage::SetFreeEntry(int entry)
{
    std::memset(RecordData(kFirstHeaderRecord - 1 + entry), 0xFF, kDumpRecordSize);
}

void DumpImage::SetSample(int record, int half, const uint8_t* sample)
{
    std::memcpy(RecordData(record) + half * kSampleRecordSize, sample, kSampleRecordSize);
}

void DumpImage::SetRecord(int record, const uint8_t* bytes256)
{
    std::memcpy(RecordData(record), bytes256, kDumpRecordSize);
}

bool DumpImage::Save(const QString& path, QString* error) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes_) != bytes_.size() || !f.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

int32_t PackCoordinate(double degrees)
{
    const double a = std::fabs(degrees);
    int deg = static_cast<int>(a);
    const double minutes = (a - deg) * 60.0;
    int min = static_cast<int>(minutes);
    int frac = static_cast<int>(std::lround((minutes - min) * 10000.0));
    if (frac >= 10000) {
        frac -= 10000;
        if (++min >= 60) {
            min = 0;
            ++deg;
        }
    }
    return static_cast<int32_t>((static_cast<uint32_t>(deg & 0xFF) << 24) | (static_cast<uint32_t>(min) << 16) |
                                static_cast<uint32_t>(frac));
}

// ---------------------------------------------------------------- sessions

std::vector<std::array<uint8_t, kSampleRecordSize>> SimulateSamples(const SessionOptions& opts, int seconds,
                                                                    SessionTruth* truth)
{
    const SessionPlan plan(opts, seconds);
    const int dataSeconds = seconds > 0 ? seconds : static_cast<int>(std::ceil(plan.Duration()));
    const std::vector<Crossing> crossings = plan.Crossings(std::max(1, opts.sectorsPerLap));
    Noise noise(opts.seed);

    std::vector<std::array<uint8_t, kSampleRecordSize>> out;
    out.reserve(static_cast<size_t>(dataSeconds));
    SessionTruth t;
    t.dataSeconds = dataSeconds;
    t.positionRows = dataSeconds * kRpmSamples;
    t.minRpm = 65535;

    int lapNo = 0;
    int sectorNo = 1;
    int prevLap = 0, prevSector = 0;
    size_t next = 0;
    int32_t highestX = 0;
    for (int n = 0; n < dataSeconds; ++n) {
        SampleRecordBuilder b(opts.format);
        b.Race(opts.raceIndex).Humidity(48);
        uint8_t type = 1;
        if (next < crossings.size() && crossings[next].hundredths / 100 == n) {
            const Crossing& c = crossings[next++];
            type = c.lapLine ? kSampleLapLine : kSampleSectorLine;
            b.LineHundredths(static_cast<uint8_t>(c.hundredths % 100));
            // The logger's lap byte wraps 255 -> 0; the truth counts on.
            if (c.lapLine) {
                b.Lap(static_cast<uint8_t>(lapNo + 1)).Sector(static_cast<uint8_t>(sectorNo));
                if (!t.startFirstLap) {
                    t.startFirstLap = c.hundredths;
                } else {
                    t.laps.push_back({lapNo, c.hundredths - prevLap});
                    t.sectors.push_back({lapNo, sectorNo, c.hundredths - prevSector});
                }
                prevLap = prevSector = c.hundredths;
                ++lapNo;
                sectorNo = 1;
            } else {
                b.Lap(static_cast<uint8_t>(lapNo)).Sector(static_cast<uint8_t>(sectorNo));
                if (t.startFirstLap)
                    t.sectors.push_back({lapNo, sectorNo, c.hundredths - prevSector});
                prevSector = c.hundredths;
                ++sectorNo;
            }
        } else {
            b.Lap(static_cast<uint8_t>(lapNo)).Sector(static_cast<uint8_t>(sectorNo));
        }
        b.Type(type);

        // Engine water warming up, ambient steady.
        b.Temp1(ClampS16(350 + 170 * (1 - std::exp(-n / 240.0))));
        b.Ambient(215);
        for (int k = 0; k < kRpmSamples; ++k) {
            const uint16_t rpm = RpmOf(plan.At(n + 0.1 * k), noise);
            b.Rpm(k, rpm);
            t.maxRpm = std::max<int>(t.maxRpm, rpm);
            t.minRpm = std::min<int>(t.minRpm, rpm);
        }
        for (int j = 0; j < kFastSamples; ++j) {
            const KartState k = plan.At(n + 0.2 * j);
            int32_t gx = opts.noFixValue, gy = opts.noFixValue;
            if (opts.gpsFix)
                Coordinates(k, gx, gy);
            b.GpsX(j, gx).GpsY(j, gy);
            highestX = std::max(highestX, gx);
            b.Acc(j, static_cast<int32_t>(std::lround(k.lateral / kG * kCountsPerG)),
                  static_cast<int32_t>(std::lround(k.longitudinal / kG * kCountsPerG)));
            // Cylinder head temperature follows the engine speed.
            const int16_t temp2 = ClampS16(1200 + (k.speed * 400 - 8000) / 10.0);
            if (opts.format == SampleFormat::Plain) {
                if (j == 0)
                    b.Temp2(temp2);
                b.Gyro(j, static_cast<int32_t>(std::lround(k.yawRate * 180 / kPi * 100)));
            } else {
                b.Temp2At(j, temp2);
                const double kmh = k.speed * 3.6;
                b.SpeedWord(j, static_cast<uint16_t>((std::clamp<long>(std::lround(kmh), 0, 255) << 8) |
                                                     static_cast<uint16_t>((n * 37 + j * 11) & 0xFF)));
            }
        }
        out.push_back(b.Bytes());
    }
    if (dataSeconds == 0)
        t.minRpm = 0;
    t.bylGps = highestX;
    t.lapLines = lapNo;
    if (truth) {
        truth->dataSeconds = t.dataSeconds;
        truth->lapLines = t.lapLines;
        truth->positionRows = t.positionRows;
        truth->laps = std::move(t.laps);
        truth->sectors = std::move(t.sectors);
        truth->startFirstLap = t.startFirstLap;
        truth->bylGps = t.bylGps;
        truth->maxRpm = t.maxRpm;
        truth->minRpm = t.minRpm;
    }
    return out;
}

namespace {

std::array<uint8_t, kSampleRecordSize> EndRecord(SessionEnd marker, uint8_t raceIndex)
{
    SampleRecordBuilder b;
    switch (marker) {
    case SessionEnd::Type5:
        b.Type(kSampleEnd).Race(raceIndex);
        break;
    case SessionEnd::Zero:
        b.Fill(0);
        break;
    case SessionEnd::Erased:
        b.Fill(0xFF);
        break;
    case SessionEnd::RaceChange:
        b.Type(1).Race(static_cast<uint8_t>((raceIndex + 1) % 255));
        break;
    case SessionEnd::None:
        break;
    }
    return b.Bytes();
}

// Theoretical best: the best time of each sector number over the timed
// laps, added up.
int TheoreticalBest(const SessionTruth& t)
{
    std::map<int, int> best;
    for (const SimLap& lap : t.laps)
        for (const SimSector& s : t.sectors)
            if (s.nrOkrazenia == lap.nr) {
                auto it = best.find(s.nrSektora);
                if (it == best.end() || s.czasSs < it->second)
                    best[s.nrSektora] = s.czasSs;
            }
    int sum = 0;
    for (const auto& [nr, time] : best)
        sum += time;
    return sum;
}

SessionHeaderRecord MakeHeader(const SessionOptions& opts, const SessionTruth& t)
{
    SessionHeaderRecord h;
    h.SetByte(0, opts.raceIndex);
    const QDate d = t.end.date();
    const QTime tm = t.end.time();
    h.SetByte(1, static_cast<uint8_t>(tm.hour()));
    h.SetByte(2, static_cast<uint8_t>(tm.minute()));
    h.SetByte(3, static_cast<uint8_t>(tm.second()));
    h.SetByte(4, static_cast<uint8_t>(opts.impossibleDate ? 31 : d.day()));
    h.SetByte(5, static_cast<uint8_t>(opts.impossibleDate ? 2 : d.month()));
    h.SetWord(6, static_cast<uint16_t>(d.year()));
    // Lap lines crossed, as far as the byte goes: the first line starts the
    // timed laps, so the laps are this minus 1.
    h.SetByte(9, static_cast<uint8_t>(std::min(t.lapLines, 255)));
    h.SetWord(10, static_cast<uint16_t>(t.startRecord - kRingFirstRecord));
    for (size_t i = 0; i < kSetupColumns.size(); ++i)
        h.SetWord(kSetupColumns[i].headerOffset, static_cast<uint16_t>(10 + 7 * i + opts.seed % 50));
    h.SetWord(kOperatingCounterOffset, static_cast<uint16_t>(125 + 30 * (opts.seed % 20)));
    h.SetDWord(132, static_cast<uint32_t>(t.dataSeconds) * 100);
    h.SetWord(136, static_cast<uint16_t>(t.maxRpm));
    h.SetWord(138, static_cast<uint16_t>(t.minRpm));
    h.SetDWord(140, static_cast<uint32_t>(TheoreticalBest(t)));
    h.SetDriverText(opts.driverText);
    h.SetTrackText(opts.trackText);
    h.SetWord(220, opts.format == SampleFormat::Gps ? 1 : 0);
    return h;
}

}  // namespace

DumpTruth BuildDump(const DumpOptions& opts, DumpImage& image)
{
    const int records = image.RecordCount();
    if (records < kMinDumpRecords)
        throw std::invalid_argument("a dump image needs at least 128 records");
    const int ringRecords = records - kRingFirstRecord;

    DumpTruth truth;
    truth.fileName = QStringLiteral("dane%1_%2.bin").arg(opts.slot).arg(opts.serial);
    truth.serial = opts.serial;
    truth.records = records;

    // Entries.
    std::vector<int> entries(opts.sessions.size(), 0);
    std::vector<bool> used(kHeaderEntryCount + 1, false);
    for (size_t i = 0; i < opts.sessions.size(); ++i) {
        const int e = opts.sessions[i].entry;
        if (e != 0) {
            if (e < 1 || e > kHeaderEntryCount || used[e])
                throw std::invalid_argument("session entry out of range or used twice");
            used[e] = true;
            entries[i] = e;
        }
    }
    for (size_t i = 0; i < opts.sessions.size(); ++i) {
        if (entries[i] != 0)
            continue;
        int e = 1;
        while (e <= kHeaderEntryCount && used[e])
            ++e;
        if (e > kHeaderEntryCount)
            throw std::invalid_argument("more than 48 sessions");
        used[e] = true;
        entries[i] = e;
    }

    // Samples of every session, then their places in the ring: sessions
    // with a given start first, the others in order in the free records.
    struct Placed {
        std::vector<std::array<uint8_t, kSampleRecordSize>> samples;
        int start = -1;
    };
    std::vector<Placed> placed(opts.sessions.size());
    truth.sessions.resize(opts.sessions.size());
    std::vector<bool> occupied(static_cast<size_t>(records), false);
    auto claim = [&](int start, int count) {
        if (ringRecords <= 0 || count > ringRecords)
            throw std::invalid_argument("session longer than the ring");
        int r = start;
        for (int i = 0; i < count; ++i) {
            if (occupied[static_cast<size_t>(r)])
                throw std::invalid_argument("sessions overlap in the ring");
            occupied[static_cast<size_t>(r)] = true;
            if (++r >= records)
                r = kRingFirstRecord;
        }
    };
    for (size_t i = 0; i < opts.sessions.size(); ++i) {
        const SessionOptions& s = opts.sessions[i];
        SessionTruth& t = truth.sessions[i];
        t.entry = entries[i];
        t.options = s;
        t.end = s.end.isValid() ? s.end : AutomaticEnd(t.entry);
        t.validDate = !s.impossibleDate;
        t.hasEndRecord = s.endMarker != SessionEnd::None;
        const int seconds = s.endMarker == SessionEnd::None ? 2 * ringRecords : s.seconds;
        placed[i].samples = SimulateSamples(s, seconds, &t);
        if (t.hasEndRecord)
            placed[i].samples.push_back(EndRecord(s.endMarker, s.raceIndex));
        t.records = static_cast<int>((placed[i].samples.size() + 1) / 2);
        if (s.ringStart >= 0) {
            if (s.ringStart < kRingFirstRecord || s.ringStart >= records)
                throw std::invalid_argument("ring start outside the ring");
            placed[i].start = s.ringStart;
            claim(s.ringStart, t.records);
        }
    }
    int cursor = kRingFirstRecord;
    for (size_t i = 0; i < opts.sessions.size(); ++i) {
        if (placed[i].start >= 0)
            continue;
        const int need = truth.sessions[i].records;
        for (;;) {
            if (cursor + need > records)
                throw std::invalid_argument("the sessions do not fit into the ring");
            int r = cursor;
            while (r < cursor + need && !occupied[static_cast<size_t>(r)])
                ++r;
            if (r == cursor + need)
                break;
            cursor = r + 1;
        }
        placed[i].start = cursor;
        claim(cursor, need);
        cursor += need;
    }

    // Write samples and headers.
    for (size_t i = 0; i < opts.sessions.size(); ++i) {
        SessionTruth& t = truth.sessions[i];
        t.startRecord = placed[i].start;
        t.wraps = t.startRecord + t.records > records;
        int r = t.startRecord, half = 0;
        for (const auto& sample : placed[i].samples) {
            image.SetSample(r, half, sample.data());
            if (++half == 2) {
                half = 0;
                if (++r >= records)
                    r = kRingFirstRecord;
            }
        }
        t.header = MakeHeader(opts.sessions[i], t);
        image.SetHeader(t.entry, t.header);
    }
    for (int e = 1; e <= kHeaderEntryCount; ++e)
        if (!used[e]) {
            image.SetFreeEntry(e);
            truth.freeEntries.push_back(e);
        }
    return truth;
}

DumpTruth WriteDumpFile(const QString& folder, const DumpOptions& opts, QString* error)
{
    DumpImage image(opts.records);
    DumpTruth truth = BuildDump(opts, image);
    if (!image.Save(QDir(folder).filePath(truth.fileName), error))
        truth.fileName.clear();
    return truth;
}

std::vector<DumpOptions> StandardDumps(int ordinarySessions, uint32_t firstSerial)
{
    const SessionEnd ends[] = {SessionEnd::Type5, SessionEnd::Erased, SessionEnd::RaceChange, SessionEnd::Zero};
    std::vector<DumpOptions> dumps(2);

    DumpOptions& a = dumps[0];
    a.slot = 1;
    a.serial = QString::number(firstSerial);
    for (int i = 0; i < ordinarySessions; ++i) {
        SessionOptions s;
        s.raceIndex = static_cast<uint8_t>(i);
        s.format = i % 2 == 0 ? SampleFormat::Plain : SampleFormat::Gps;
        s.gpsFix = i % 3 != 2;  // every third session without a GPS fix
        s.laps = 4 + i % 3;
        s.endMarker = ends[i % 4];
        s.seed = static_cast<uint32_t>(i + 1);
        s.driverText = QStringLiteral("KOWALSKI");
        s.trackText = QStringLiteral("BORUTA");
        a.sessions.push_back(s);
    }
    // An entry left free between the sessions, one with an impossible date,
    // and the last session running over the ring's end.
    SessionOptions bad;
    bad.entry = ordinarySessions + 2;
    bad.raceIndex = static_cast<uint8_t>(ordinarySessions + 1);
    bad.impossibleDate = true;
    bad.laps = 1;
    bad.seed = 90;
    a.sessions.push_back(bad);
    SessionOptions wrap;
    wrap.entry = ordinarySessions + 3;
    wrap.raceIndex = static_cast<uint8_t>(ordinarySessions + 2);
    wrap.format = SampleFormat::Gps;
    wrap.laps = 5;
    wrap.ringStart = a.records - 30;
    wrap.seed = 91;
    wrap.driverText = QStringLiteral("KOWALSKI");
    wrap.trackText = QStringLiteral("BORUTA");
    a.sessions.push_back(wrap);

    DumpOptions& b = dumps[1];
    b.slot = 2;
    b.serial = QString::number(firstSerial + 1);
    for (int i = 0; i < ordinarySessions; ++i) {
        SessionOptions s;
        s.raceIndex = static_cast<uint8_t>(i);
        s.format = i % 2 == 0 ? SampleFormat::Gps : SampleFormat::Plain;
        s.laps = 6 + i % 2;
        s.endMarker = ends[(i + 1) % 4];
        s.seed = static_cast<uint32_t>(100 + i);
        s.end = QDateTime(QDate(2024, 6, 16), QTime(14, 0), Qt::UTC).addSecs(50 * 60 * i);
        s.driverText = QStringLiteral("NOWAK");
        s.trackText = QStringLiteral("BORUTA");
        b.sessions.push_back(s);
    }
    return dumps;
}

DumpOptions BrokenDump(int slot, uint32_t serial)
{
    DumpOptions d;
    d.slot = slot;
    d.serial = QString::number(serial);
    d.records = kRingFirstRecord + 40;
    SessionOptions s;
    s.format = SampleFormat::Gps;
    s.endMarker = SessionEnd::None;
    s.ringStart = kRingFirstRecord + 10;
    s.seed = 7;
    d.sessions.push_back(s);
    return d;
}

DumpOptions FullSlotDump(int slot, uint32_t serial)
{
    DumpOptions d;
    d.slot = slot;
    d.serial = QString::number(serial);
    SessionOptions s;
    s.format = SampleFormat::Gps;
    // Every sample record of the ring but the last, which ends the session.
    s.seconds = 2 * (kFullDumpRecords - kRingFirstRecord) - 1;
    s.seed = 11;
    d.sessions.push_back(s);
    return d;
}

DumpOptions LongSessionDump(int slot, uint32_t serial, const SessionOptions& session)
{
    DumpOptions d;
    d.slot = slot;
    d.serial = QString::number(serial);
    d.sessions.push_back(session);
    // Its sample records and the end record, two to a file record.
    const int seconds = static_cast<int>(std::ceil(SessionPlan(session, 0).Duration()));
    d.records = std::max(kFullDumpRecords, kRingFirstRecord + (seconds + 2) / 2);
    return d;
}

// --------------------------------------------------------------- key image

bool WriteKeyImage(const QString& path, const std::vector<KeySlot>& keySlots, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    platform::KeyImageFile key;
    if (!key.Create(path.toStdString()))
        return fail(QString::fromStdString(key.ErrorText()));
    uint8_t directory[platform::KeyImageFile::kBlockSize] = {};
    for (const KeySlot& s : keySlots) {
        if (s.slot < 1 || s.slot > kSessionSlotCount)
            return fail(QStringLiteral("Slot %1 is not 1..16").arg(s.slot));
        PutU32(directory + (s.slot - 1) * KeyDirectory::kEntrySize, s.serial);
    }
    if (!key.WriteBlock(kDirectoryBlock, directory))
        return fail(QString::fromStdString(key.ErrorText()));
    for (const KeySlot& s : keySlots) {
        if (!s.image)
            continue;
        const QByteArray& bytes = s.image->Bytes();
        uint8_t block[platform::KeyImageFile::kBlockSize];
        for (uint32_t b = 0; b < kSessionSlotReadBlocks; ++b) {
            const qsizetype at = static_cast<qsizetype>(b) * platform::KeyImageFile::kBlockSize;
            if (at >= bytes.size())
                break;
            const qsizetype n = std::min<qsizetype>(platform::KeyImageFile::kBlockSize, bytes.size() - at);
            std::memset(block, 0, sizeof block);
            std::memcpy(block, bytes.constData() + at, static_cast<size_t>(n));
            if (!key.WriteBlock(SessionSlotFirstReadBlock(s.slot) + b, block))
                return fail(QString::fromStdString(key.ErrorText()));
        }
    }
    key.Close();
    return true;
}

}  // namespace kromsim
