#include "shell/data/schemaupgrade.h"

#include "shell/data/ubazy.h"

namespace {

struct UpgradeStep {
    const char* probe;     // nullptr: no probe, the change always runs
    const char* change;
    const char* update;    // run after the change when set
};

// The statement texts are kept exactly as they have always been sent.
constexpr UpgradeStep kSteps[] = {
    {"select TEMPERATURA from  NAGLOWKI", "alter table NAGLOWKI add TEMPERATURA INTEGER ", nullptr},
    {"select WILGOTNOSC from  NAGLOWKI", "alter table NAGLOWKI add WILGOTNOSC INTEGER ", nullptr},
    {"select TOR_MOKRY from  NAGLOWKI", "alter table NAGLOWKI add TOR_MOKRY INTEGER ", nullptr},
    {"select CISNIENIE from  NAGLOWKI", "alter table NAGLOWKI add CISNIENIE INTEGER ", nullptr},
    {"select TOR_MOKRY from  NAGLOWKI", "alter table NAGLOWKI add TOR_MOKRY INTEGER ", nullptr},
    {"select TOR_SUCHY  from  NAGLOWKI", "alter table NAGLOWKI add TOR_SUCHY  INTEGER ", nullptr},
    {"select TOR_CZYSTY  from  NAGLOWKI", "alter table NAGLOWKI add TOR_CZYSTY INTEGER ", nullptr},
    {"select TOR_BRUDNY  from  NAGLOWKI", "alter table NAGLOWKI add TOR_BRUDNY INTEGER ", nullptr},
    {"select BYL_GPS  from  NAGLOWKI", "alter table NAGLOWKI add BYL_GPS INTEGER ", nullptr},
    {nullptr, "create index POZYCJE_IDX1 on POZYCJE (ID_NAGLOWKA,DATA_SS) ", nullptr},
    {"select NAZWA  from  POJAZDY", "alter table POJAZDY add NAZWA VARCHAR(100) ", nullptr},
    {"select USUNIETY  from KIEROWCY  where ID_KIEROWCY=0", "alter table KIEROWCY add USUNIETY INTEGER ",
     "update KIEROWCY set USUNIETY =0 "},
    {"select USUNIETY  from POJAZDY   where ID_POJAZDU=0", "alter table POJAZDY  add USUNIETY INTEGER ",
     "update POJAZDY  set USUNIETY =0 "},
    {"select USUNIETY  from TORY   where ID_TORU=0", "alter table TORY  add USUNIETY INTEGER ",
     "update TORY  set USUNIETY =0 "},
    {"select AVG_OBROTY  from  OKRAZENIA_REJ where ID_NAGLOWKA=0",
     "alter table OKRAZENIA_REJ add AVG_OBROTY INTEGER ", nullptr},
    {"select AVG_OBROTY  from  SEKTORY where ID_NAGLOWKA=0", "alter table SEKTORY add AVG_OBROTY INTEGER ",
     nullptr},
    {"select AVG_ACC_OBROTY  from  OKRAZENIA_REJ where ID_NAGLOWKA=0",
     "alter table OKRAZENIA_REJ add AVG_ACC_OBROTY FLOAT ", nullptr},
    {"select AVG_ACC_OBROTY  from  SEKTORY where ID_NAGLOWKA=0",
     "alter table SEKTORY add AVG_ACC_OBROTY FLOAT ", nullptr},
    {"select AVG_DEC_OBROTY  from  OKRAZENIA_REJ where ID_NAGLOWKA=0",
     "alter table OKRAZENIA_REJ add AVG_DEC_OBROTY FLOAT ", nullptr},
    {"select AVG_DEC_OBROTY  from  SEKTORY where ID_NAGLOWKA=0",
     "alter table SEKTORY add AVG_DEC_OBROTY FLOAT ", nullptr},
    {"select PREDKOSC_GPS  from  POZYCJE where ID_POZYCJI=0", "alter table POZYCJE add PREDKOSC_GPS INTEGER ",
     nullptr},
    // The largest ids (new row ids are the largest plus one) are read from
    // descending indexes: the engine answers max() from nothing else, and a
    // table scan grows with the database.  The probe's plan names the index,
    // so it fails while the index is missing.
    {"select first 1 ID_POZYCJI from POZYCJE plan (POZYCJE order POZYCJE_ID_DESC) order by ID_POZYCJI desc",
     "create descending index POZYCJE_ID_DESC on POZYCJE (ID_POZYCJI)", nullptr},
    {"select first 1 ID_NAG from NAGLOWKI plan (NAGLOWKI order NAGLOWKI_ID_DESC) order by ID_NAG desc",
     "create descending index NAGLOWKI_ID_DESC on NAGLOWKI (ID_NAG)", nullptr},
    // Loading a session for the analysis reads its laps, and each lap's
    // sectors: without these indexes every read scans the whole table, which
    // grows with every imported session.
    {"select first 1 NR from OKRAZENIA_REJ plan (OKRAZENIA_REJ index (OKRAZENIA_REJ_IDX1)) where ID_NAGLOWKA = 0",
     "create index OKRAZENIA_REJ_IDX1 on OKRAZENIA_REJ (ID_NAGLOWKA, NR)", nullptr},
    {"select first 1 NR_SEKTORA from SEKTORY plan (SEKTORY index (SEKTORY_IDX1)) where ID_NAGLOWKA = 0",
     "create index SEKTORY_IDX1 on SEKTORY (ID_NAGLOWKA, NR_OKRAZENIA)", nullptr},
};

}  // namespace

void UpgradeSchema(TDM& dm)
{
    TIBQuery qSprBaze(dm.TransBrowse);
    TIBQuery qZmienBaze(dm.TransEdit);
    auto change = [&](const char* sql) {
        qZmienBaze.SetSQL(QString::fromLatin1(sql));
        dm.ExecEdit(qZmienBaze);  // a failure is not looked at: the next start tries again
    };
    for (const UpgradeStep& step : kSteps) {
        qSprBaze.Close();
        bool missing = true;
        if (step.probe) {
            try {
                qSprBaze.SetSQL(QString::fromLatin1(step.probe));
                qSprBaze.Open();
                missing = false;
            } catch (const std::exception&) {
                missing = true;  // the column is missing (or the probe failed otherwise)
            }
        }
        qSprBaze.Close();
        if (!missing)
            continue;
        try {
            change(step.change);
            if (step.update)
                change(step.update);
        } catch (const std::exception&) {
            // Starting the write transaction failed; go on with the next step.
        }
    }
    qSprBaze.Close();
}
