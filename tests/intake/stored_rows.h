#pragma once
// Whole-row comparisons of what the import stored for a session: the lap
// rows (OKRAZENIA_REJ) and sector rows (SEKTORY) are read in their stored
// order, the columns a case names, and compared with a table of expected
// rows in one assertion that shows every row that differs.
#include <gtest/gtest.h>

#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <vector>

#include "kromsim.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

namespace stored {

// One row: a cell per column.  An invalid QVariant stands for NULL; a
// number matches a stored number within the precision of a single-precision
// column; a text matches the stored text exactly.
using Row = std::vector<QVariant>;
inline const QVariant kNull;

struct Table {
    QStringList columns;
    std::vector<Row> rows;
    // A cell as a number (NULL reads 0).
    double Number(size_t row, const QString& column) const
    {
        return rows.at(row).at(size_t(columns.indexOf(column))).toDouble();
    }
};

// Every NULL column of the lap and sector rows the import writes.
inline const QStringList kLapNullColumns = {QStringLiteral("MAKS_OBROTY"), QStringLiteral("MIN_OBROTY"),
                                            QStringLiteral("ROZNICA"), QStringLiteral("ROZNICA_SS"),
                                            QStringLiteral("TEMP")};
inline const QStringList kSectorNullColumns = {QStringLiteral("MAX_OBROTY"), QStringLiteral("MIN_OBROTY"),
                                               QStringLiteral("TEMP")};

// Every column of a lap row the import gives a value, then the NULL ones.
inline const QStringList kLapColumns = QStringList{QStringLiteral("NR"),         QStringLiteral("CZAS_SS"),
                                                   QStringLiteral("CZAS"),       QStringLiteral("AVG_OBROTY"),
                                                   QStringLiteral("AVG_ACC_OBROTY"), QStringLiteral("AVG_DEC_OBROTY")} +
                                       kLapNullColumns;
inline const QStringList kSectorColumns =
    QStringList{QStringLiteral("NR_OKRAZENIA"),   QStringLiteral("NR_SEKTORA"),    QStringLiteral("CZAS_SS"),
                QStringLiteral("CZAS"),           QStringLiteral("AVG_OBROTY"),    QStringLiteral("AVG_ACC_OBROTY"),
                QStringLiteral("AVG_DEC_OBROTY")} +
    kSectorNullColumns;

// Expected rows in the order of kLapColumns and kSectorColumns: the time,
// its text, the average RPM and the mean rise and fall per second.
inline Row LapRow(int nr, int czasSs, const char* czas, int avg, double rise, double fall)
{
    Row row{nr, czasSs, QString::fromLatin1(czas), avg, rise, fall};
    row.resize(row.size() + size_t(kLapNullColumns.size()));
    return row;
}
inline Row SectorRow(int lap, int sector, int czasSs, const char* czas, int avg, double rise, double fall)
{
    Row row{lap, sector, czasSs, QString::fromLatin1(czas), avg, rise, fall};
    row.resize(row.size() + size_t(kSectorNullColumns.size()));
    return row;
}

// What the logger simulator wrote, as rows of these columns: its laps in
// their order, its sectors in the stored order (by lap, then sector).
inline const QStringList kTruthLapColumns = {QStringLiteral("NR"), QStringLiteral("CZAS_SS"), QStringLiteral("CZAS")};
inline const QStringList kTruthSectorColumns = {QStringLiteral("NR_OKRAZENIA"), QStringLiteral("NR_SEKTORA"),
                                                QStringLiteral("CZAS_SS")};
inline std::vector<Row> TruthLapRows(const std::vector<kromsim::SimLap>& laps)
{
    std::vector<Row> rows;
    for (const kromsim::SimLap& l : laps)
        rows.push_back({l.nr, l.czasSs, SessionTimeText(l.czasSs)});
    return rows;
}
inline std::vector<Row> TruthSectorRows(std::vector<kromsim::SimSector> sectors)
{
    std::stable_sort(sectors.begin(), sectors.end(), [](const auto& a, const auto& b) {
        return std::pair(a.nrOkrazenia, a.nrSektora) < std::pair(b.nrOkrazenia, b.nrSektora);
    });
    std::vector<Row> rows;
    for (const kromsim::SimSector& s : sectors)
        rows.push_back({s.nrOkrazenia, s.nrSektora, s.czasSs});
    return rows;
}

// The rows of a session in one table, the listed columns only.
inline Table Read(const QString& table, const QStringList& columns, int idNag, const QString& orderBy)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select %1 from %2 where ID_NAGLOWKA = :N order by %3")
                 .arg(columns.join(QStringLiteral(", ")), table, orderBy));
    q.ParamByName(QStringLiteral("N"), idNag);
    q.Open();
    Table out{columns, {}};
    for (; !q.Eof(); q.Next()) {
        Row row;
        for (const QString& c : columns) {
            const TQueryField f = q.FieldByName(c);
            row.push_back(f.IsNull() ? QVariant() : f.Value());
        }
        out.rows.push_back(std::move(row));
    }
    q.Close();
    return out;
}

inline Table Laps(int idNag, const QStringList& columns)
{
    return Read(QStringLiteral("OKRAZENIA_REJ"), columns, idNag, QStringLiteral("NR"));
}

inline Table Sectors(int idNag, const QStringList& columns)
{
    return Read(QStringLiteral("SEKTORY"), columns, idNag, QStringLiteral("NR_OKRAZENIA, NR_SEKTORA"));
}

inline bool IsNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

inline bool SameCell(const QVariant& got, const QVariant& expected)
{
    if (!expected.isValid() || !got.isValid())
        return expected.isValid() == got.isValid();
    if (IsNumber(expected)) {
        if (!IsNumber(got))
            return false;
        const double e = expected.toDouble();
        return std::fabs(got.toDouble() - e) <= std::fabs(e) * 1e-6 + 1e-6;
    }
    return got.toString() == expected.toString();
}

inline QString RowText(const Row& row)
{
    QStringList cells;
    for (const QVariant& v : row)
        cells << (!v.isValid() ? QStringLiteral("NULL")
                  : v.typeId() == QMetaType::QString ? QStringLiteral("\"%1\"").arg(v.toString())
                                                     : v.toString());
    return QStringLiteral("(") + cells.join(QStringLiteral(", ")) + QStringLiteral(")");
}

// At most this many differing rows are shown.
inline constexpr int kShownRows = 12;

inline ::testing::AssertionResult SameRows(const Table& got, const std::vector<Row>& expected)
{
    QStringList lines;
    int differing = 0;
    const size_t rows = std::max(got.rows.size(), expected.size());
    for (size_t r = 0; r < rows; ++r) {
        const Row* g = r < got.rows.size() ? &got.rows[r] : nullptr;
        const Row* e = r < expected.size() ? &expected[r] : nullptr;
        bool same = g && e && g->size() == e->size();
        for (size_t c = 0; same && c < e->size(); ++c)
            same = SameCell((*g)[c], (*e)[c]);
        if (same)
            continue;
        if (++differing > kShownRows)
            continue;
        lines << QStringLiteral("  row %1: stored   %2").arg(r).arg(g ? RowText(*g) : QStringLiteral("(none)"))
              << QStringLiteral("         expected %1").arg(e ? RowText(*e) : QStringLiteral("(none)"));
    }
    if (differing == 0)
        return ::testing::AssertionSuccess();
    if (differing > kShownRows)
        lines << QStringLiteral("  ... and %1 more differing rows").arg(differing - kShownRows);
    return ::testing::AssertionFailure()
           << differing << " of " << rows << " rows differ (" << got.rows.size() << " stored, " << expected.size()
           << " expected), columns " << got.columns.join(QStringLiteral(", ")).toStdString() << ":\n"
           << lines.join(u'\n').toStdString();
}

}  // namespace stored
