#pragma once
// Session trees written by hand, in the shape the session panel leaves
// them: a session row, per lap a lap row and its sector rows in memdane,
// the lap starts in memokrazenia and the sector ends in memSektory.
#include <QString>

#include <vector>

#include "analysis/sessiontree.h"
#include "shell/common/stale.h"

namespace treerows {

struct HandLap {
    int nr;
    int time;                  // CZAS_SS
    std::vector<int> sectors;  // CZAS_SS of sectors 1, 2, ...
    std::vector<int> sectorNumbers = {};  // when given: the numbers of those sectors
};

struct HandSession {
    int id;
    int start = 1000;  // START_PIERWSZ_OKR
    std::vector<HandLap> laps;
    int ticked = 1;
};

inline void Put(MemTable& t, int row, const char* field, int v)
{
    t.SetIntAt(row, t.FieldIndex(QString::fromLatin1(field)), v);
}
inline void Put(MemTable& t, int row, const char* field, const QString& v)
{
    t.SetStringAt(row, t.FieldIndex(QString::fromLatin1(field)), v);
}

inline void AddSession(SessionTree& tree, const HandSession& s)
{
    int r = tree.memdane.AppendRow();
    Put(tree.memdane, r, "typ_rekordu", QStringLiteral("1"));
    Put(tree.memdane, r, "Pole1", QStringLiteral("%1:").arg(s.id));
    Put(tree.memdane, r, "id_naglowka", s.id);
    Put(tree.memdane, r, "wybrany", s.ticked);
    Put(tree.memdane, r, "lp", ++tree.rowCounter);
    r = tree.memokrazenia.AppendRow();
    Put(tree.memokrazenia, r, "id_nag", s.id);
    Put(tree.memokrazenia, r, "czas", s.start);
    Put(tree.memokrazenia, r, "lap", QStringLiteral("L0"));
    Put(tree.memokrazenia, r, "nr_lapa", 0);
    r = tree.memSektory.AppendRow();
    Put(tree.memSektory, r, "id_nag", s.id);
    Put(tree.memSektory, r, "czas", s.start);

    int lapSum = 0, sectorSum = 0;
    for (const HandLap& lap : s.laps) {
        r = tree.memdane.AppendRow();
        const int lp = ++tree.rowCounter;
        Put(tree.memdane, r, "typ_rekordu", QStringLiteral("2"));
        Put(tree.memdane, r, "Pole1", QStringLiteral("L%1").arg(lap.nr));
        Put(tree.memdane, r, "Pole2", SessionTimeText(lap.time));
        Put(tree.memdane, r, "id_naglowka", s.id);
        Put(tree.memdane, r, "id_okrazenia", lap.nr);
        Put(tree.memdane, r, "czas_ss", lap.time);
        Put(tree.memdane, r, "wybrany", 1);
        Put(tree.memdane, r, "lp", lp);
        r = tree.memokrazenia.AppendRow();
        Put(tree.memokrazenia, r, "id_nag", s.id);
        Put(tree.memokrazenia, r, "czas", s.start + lapSum);
        Put(tree.memokrazenia, r, "lap", QStringLiteral("L%1").arg(lap.nr));
        Put(tree.memokrazenia, r, "czas_t", SessionTimeText(lap.time));
        Put(tree.memokrazenia, r, "nr_lapa", lap.nr);
        Put(tree.memokrazenia, r, "czas_ss", lap.time);
        Put(tree.memokrazenia, r, "lp", lp);
        lapSum += lap.time;
        Put(tree.memokrazenia, r, "czas_end", s.start + lapSum);
        for (size_t k = 0; k < lap.sectors.size(); ++k) {
            const int nr = lap.sectorNumbers.empty() ? int(k) + 1 : lap.sectorNumbers[k];
            r = tree.memdane.AppendRow();
            Put(tree.memdane, r, "typ_rekordu", QStringLiteral("3"));
            Put(tree.memdane, r, "Pole1", QStringLiteral(" S%1").arg(nr));
            Put(tree.memdane, r, "Pole2", SessionTimeText(lap.sectors[k]));
            Put(tree.memdane, r, "id_naglowka", s.id);
            Put(tree.memdane, r, "id_okrazenia", lap.nr);
            Put(tree.memdane, r, "id_sektora", nr);
            Put(tree.memdane, r, "czas_ss", lap.sectors[k]);
            Put(tree.memdane, r, "lp", ++tree.rowCounter);
            sectorSum += lap.sectors[k];
            r = tree.memSektory.AppendRow();
            Put(tree.memSektory, r, "id_nag", s.id);
            Put(tree.memSektory, r, "czas", s.start + sectorSum);
            Put(tree.memSektory, r, "lap", QStringLiteral("S%1").arg(nr));
            Put(tree.memSektory, r, "czas_t", SessionTimeText(lap.sectors[k]));
            Put(tree.memSektory, r, "nr_okr", lap.nr);
            Put(tree.memSektory, r, "czas_ss", lap.sectors[k]);
            Put(tree.memSektory, r, "nr_sektora", nr);
        }
    }
}

}  // namespace treerows
