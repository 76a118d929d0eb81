#include "analysis/sessiontree.h"

// Table layouts of the session tree.
SessionTree::SessionTree()
    : memdane(QStringLiteral("memdane"),
              {{QStringLiteral("typ_rekordu"), FieldType::String, 1},
               {QStringLiteral("Pole1"), FieldType::String, 20},
               {QStringLiteral("Pole2"), FieldType::String, 30},
               {QStringLiteral("id_naglowka"), FieldType::Integer},
               {QStringLiteral("id_okrazenia"), FieldType::Integer},
               {QStringLiteral("id_sektora"), FieldType::Integer},
               {QStringLiteral("czas"), FieldType::Integer},
               {QStringLiteral("przes_czas"), FieldType::Integer},
               {QStringLiteral("wybrany"), FieldType::Integer, 0, 1},
               {QStringLiteral("status_naj"), FieldType::Integer},
               {QStringLiteral("lp"), FieldType::Integer},
               {QStringLiteral("diff_ss"), FieldType::Integer},
               {QStringLiteral("diff"), FieldType::String, 50},
               {QStringLiteral("czas_ss"), FieldType::Integer},
               {QStringLiteral("srednie_obroty"), FieldType::Integer},
               {QStringLiteral("avg_acc"), FieldType::Integer},
               {QStringLiteral("avg_dec"), FieldType::Integer}}),
      memokrazenia(QStringLiteral("memokrazenia"),
                   {{QStringLiteral("id_nag"), FieldType::Integer},
                    {QStringLiteral("czas"), FieldType::Integer},
                    {QStringLiteral("lap"), FieldType::String, 10},
                    {QStringLiteral("czas_t"), FieldType::String, 30},
                    {QStringLiteral("nr_lapa"), FieldType::Integer},
                    {QStringLiteral("status_naj"), FieldType::Integer},
                    {QStringLiteral("czas_end"), FieldType::Integer},
                    {QStringLiteral("lp"), FieldType::Integer},
                    {QStringLiteral("czas_ss"), FieldType::Integer}}),
      memSektory(QStringLiteral("memSektory"),
                 {{QStringLiteral("id_nag"), FieldType::Integer},
                  {QStringLiteral("czas"), FieldType::Integer},
                  {QStringLiteral("lap"), FieldType::String, 10},
                  {QStringLiteral("czas_t"), FieldType::String, 30},
                  {QStringLiteral("nr_okr"), FieldType::Integer},
                  {QStringLiteral("czas_ss"), FieldType::Integer},
                  {QStringLiteral("nr_sektora"), FieldType::Integer}})
{
    memdane.Open();
    memokrazenia.Open();
    memSektory.Open();
}

SessionTree::~SessionTree() = default;

void SessionTree::ResetTree()
{
    for (MemTable* t : {&memdane, &memokrazenia, &memSektory}) {
        t->Close();
        t->Open();
    }
    rowCounter = 0;
}

// Placeholder until the tree builder lands: appends nothing.
void BuildSessionTree(SessionTree&, int, const TreeFilters&) {}
