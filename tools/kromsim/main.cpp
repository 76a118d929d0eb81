// kromsim: writes simulated logger recordings for trying the intake
// without a data key.
//
//   kromsim dumps <folder> [--sessions N] [--serial S] [--broken]
//       key dump files dane1_S.bin and dane2_S+1.bin (as the download
//       leaves them); --broken adds dane3_S+2.bin with a session that has
//       no end record.
//   kromsim full <folder> [--serial S] [--slot K] [--laps N]
//       one dump file whose single session fills the whole ring, or with
//       --laps one session of N timed laps (the file grows beyond a key
//       slot's size when the laps need it).
//   kromsim key <image-file> [--slots 2,5] [--serials 77,78] [--sessions N]
//       a key image file for the simulated key (PITROVA_SIM_KEYS).
#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

#include "kromsim.h"

namespace {

// About 200 hours of driving, a dump file of some 90 MB.
constexpr int kMaxLaps = 20000;

QTextStream& Out()
{
    static QTextStream out(stdout);
    return out;
}

int Usage()
{
    std::fputs("usage:\n"
               "  kromsim dumps <folder> [--sessions N] [--serial S] [--broken]\n"
               "  kromsim full <folder> [--serial S] [--slot K] [--laps N]\n"
               "  kromsim key <image-file> [--slots 2,5] [--serials 77,78] [--sessions N]\n",
               stderr);
    return 2;
}

const char* EndName(kromsim::SessionEnd e)
{
    switch (e) {
    case kromsim::SessionEnd::Type5: return "type 5";
    case kromsim::SessionEnd::Zero: return "zero record";
    case kromsim::SessionEnd::Erased: return "erased record";
    case kromsim::SessionEnd::RaceChange: return "race index change";
    case kromsim::SessionEnd::None: return "none";
    }
    return "";
}

void Report(const kromsim::DumpTruth& t)
{
    Out() << t.fileName << " (serial " << t.serial << ", " << t.records << " records)\n";
    for (const kromsim::SessionTruth& s : t.sessions) {
        Out() << "  entry " << s.entry << ": "
              << (s.options.format == SampleFormat::Gps ? "GPS format" : "plain format")
              << (s.options.gpsFix ? "" : ", no GPS fix") << ", laps " << s.laps.size();
        if (!s.laps.empty()) {
            int best = s.laps.front().czasSs;
            for (const kromsim::SimLap& lap : s.laps)
                best = std::min(best, lap.czasSs);
            Out() << " (best " << QString::number(best / 100.0, 'f', 2) << " s)";
        }
        Out() << ", sample rows " << s.positionRows << ", end " << EndName(s.options.endMarker)
              << (s.wraps ? ", wraps round the ring" : "")
              << (s.validDate ? QStringLiteral(", ended ") + s.end.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                              : QStringLiteral(", impossible date"))
              << "\n";
    }
    Out().flush();
}

QList<int> IntList(const QString& text, bool* ok)
{
    QList<int> out;
    *ok = true;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        bool good = false;
        const int v = part.trimmed().toInt(&good);
        if (!good) {
            *ok = false;
            return {};
        }
        out.append(v);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return Usage();
    const QString command = args[0];
    const QString target = args[1];

    int sessions = 3;
    uint32_t serial = 77;
    int slot = 1;
    int laps = 0;
    bool broken = false;
    QList<int> slotList = {2, 5};
    QList<int> serials;
    for (int i = 2; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == QLatin1String("--broken")) {
            broken = true;
        } else if (a == QLatin1String("--sessions") && hasValue) {
            sessions = args[++i].toInt(&ok);
            ok = ok && sessions >= 1 && sessions <= 40;
        } else if (a == QLatin1String("--serial") && hasValue) {
            serial = args[++i].toUInt(&ok);
        } else if (a == QLatin1String("--laps") && hasValue) {
            laps = args[++i].toInt(&ok);
            ok = ok && laps >= 1 && laps <= kMaxLaps;
        } else if (a == QLatin1String("--slot") && hasValue) {
            slot = args[++i].toInt(&ok);
            ok = ok && slot >= 1 && slot <= 16;
        } else if (a == QLatin1String("--slots") && hasValue) {
            slotList = IntList(args[++i], &ok);
        } else if (a == QLatin1String("--serials") && hasValue) {
            serials = IntList(args[++i], &ok);
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "kromsim: bad option %s\n", qPrintable(a));
            return Usage();
        }
    }

    if (laps > 0 && command != QLatin1String("full")) {
        std::fputs("kromsim: --laps goes with full\n", stderr);
        return Usage();
    }

    QString error;
    try {
        if (command == QLatin1String("dumps") || command == QLatin1String("full")) {
            if (!QDir().mkpath(target)) {
                std::fprintf(stderr, "kromsim: cannot create folder %s\n", qPrintable(target));
                return 1;
            }
            std::vector<kromsim::DumpOptions> dumpList;
            if (command == QLatin1String("full")) {
                if (laps > 0) {
                    kromsim::SessionOptions s;
                    s.format = SampleFormat::Gps;
                    s.laps = laps;
                    s.seed = 11;
                    dumpList.push_back(kromsim::LongSessionDump(slot, serial, s));
                } else {
                    dumpList.push_back(kromsim::FullSlotDump(slot, serial));
                }
            } else {
                dumpList = kromsim::StandardDumps(sessions, serial);
                if (broken)
                    dumpList.push_back(kromsim::BrokenDump(3, serial + 2));
            }
            for (const kromsim::DumpOptions& opts : dumpList) {
                const kromsim::DumpTruth t = kromsim::WriteDumpFile(target, opts, &error);
                if (t.fileName.isEmpty()) {
                    std::fprintf(stderr, "kromsim: %s\n", qPrintable(error));
                    return 1;
                }
                Report(t);
            }
            return 0;
        }
        if (command == QLatin1String("key")) {
            if (serials.isEmpty())
                for (int i = 0; i < slotList.size(); ++i)
                    serials.append(77 + i);
            if (serials.size() != slotList.size()) {
                std::fputs("kromsim: --slots and --serials need the same number of values\n", stderr);
                return 2;
            }
            std::vector<kromsim::DumpImage> images;
            images.reserve(static_cast<size_t>(slotList.size()));
            std::vector<kromsim::KeySlot> slotEntries;
            for (int i = 0; i < slotList.size(); ++i) {
                kromsim::DumpOptions opts = kromsim::StandardDumps(sessions, static_cast<uint32_t>(serials[i]))[i % 2];
                opts.slot = slotList[i];
                opts.serial = QString::number(serials[i]);
                images.emplace_back(kFullDumpRecords);
                Report(kromsim::BuildDump(opts, images.back()));
            }
            for (int i = 0; i < slotList.size(); ++i)
                slotEntries.push_back({slotList[i], static_cast<uint32_t>(serials[i]), &images[static_cast<size_t>(i)]});
            if (!kromsim::WriteKeyImage(target, slotEntries, &error)) {
                std::fprintf(stderr, "kromsim: %s\n", qPrintable(error));
                return 1;
            }
            Out() << "key image " << target << "\n";
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kromsim: %s\n", e.what());
        return 1;
    }
    return Usage();
}
