#pragma once
// Rows of a session tree written by hand, for tests of the windows and
// computations that read the tree.
#include <QString>

#include "analysis/sessiontree.h"

namespace treetest {

// A memdane row (lp = its row number from 1); lap 0 and checked -1 leave
// those fields empty.
inline void AddTreeRow(SessionTree& tree, const char* type, int id, int lap, int checked)
{
    MemTable& t = tree.memdane;
    t.Append();
    t.FieldByName(QStringLiteral("typ_rekordu")).SetAsString(QString::fromLatin1(type));
    t.FieldByName(QStringLiteral("id_naglowka")).SetAsInteger(id);
    if (lap)
        t.FieldByName(QStringLiteral("id_okrazenia")).SetAsInteger(lap);
    if (checked >= 0)
        t.FieldByName(QStringLiteral("wybrany")).SetAsInteger(checked);
    t.FieldByName(QStringLiteral("lp")).SetAsInteger(t.RecordCount());
    t.Post();
}

// A memokrazenia row; status 0 and end 0 leave those fields empty.
struct TreeLap {
    int id, start, lap;
    QString time;
    int status = 0;
    int end = 0;
};
inline void AddLap(SessionTree& tree, const TreeLap& l)
{
    MemTable& t = tree.memokrazenia;
    const int r = t.AppendRow();
    t.SetIntAt(r, t.FieldIndex(QStringLiteral("id_nag")), l.id);
    t.SetIntAt(r, t.FieldIndex(QStringLiteral("czas")), l.start);
    t.SetStringAt(r, t.FieldIndex(QStringLiteral("lap")), QStringLiteral("L%1").arg(l.lap));
    t.SetStringAt(r, t.FieldIndex(QStringLiteral("czas_t")), l.time);
    t.SetIntAt(r, t.FieldIndex(QStringLiteral("nr_lapa")), l.lap);
    if (l.status)
        t.SetIntAt(r, t.FieldIndex(QStringLiteral("status_naj")), l.status);
    if (l.end)
        t.SetIntAt(r, t.FieldIndex(QStringLiteral("czas_end")), l.end);
}

// A memSektory row ending at end; lap 0 (a session's start row) leaves the
// lap empty.
inline void AddSector(SessionTree& tree, int id, int lap, int end)
{
    MemTable& t = tree.memSektory;
    const int r = t.AppendRow();
    t.SetIntAt(r, t.FieldIndex(QStringLiteral("id_nag")), id);
    t.SetIntAt(r, t.FieldIndex(QStringLiteral("czas")), end);
    if (lap)
        t.SetIntAt(r, t.FieldIndex(QStringLiteral("nr_okr")), lap);
}

}  // namespace treetest
