#include "profiles/cataloguechoice.h"

#include "platform/memtable.h"
#include "profiles/cataloguelist.h"

namespace {
const QString kWybrany = QStringLiteral("wybrany");
}

TickTable::TickTable(MemTable& table, QString keyField) : table_(&table), key_(std::move(keyField)) {}

void TickTable::Reset()
{
    table_->Close();
    table_->Open();
}

std::optional<bool> TickTable::Toggle(int id)
{
    if (id < 1)
        return std::nullopt;
    if (!table_->Active())
        table_->Open();
    table_->First();
    if (!table_->Locate(key_, {id})) {
        AppendTicked(id);
        return true;
    }
    table_->Edit();
    MemField w = table_->FieldByName(kWybrany);
    w.SetAsBoolean(!w.AsBoolean());
    table_->Post();
    return table_->FieldByName(kWybrany).AsBoolean();
}

bool TickTable::IsTicked(int id) const
{
    if (!table_->Active())
        return false;
    const int row = table_->Find(key_, {id});
    return row >= 0 && table_->BoolAt(row, table_->FieldIndex(kWybrany));
}

bool TickTable::IsEmpty() const { return !table_->Active() || table_->IsEmpty(); }

void TickTable::AppendTicked(int id)
{
    if (!table_->Active())
        table_->Open();
    table_->Append();
    table_->FieldByName(key_).SetAsInteger(id);
    table_->FieldByName(kWybrany).SetAsBoolean(true);
    table_->Post();
}

void TickTable::PruneUnticked()
{
    if (!table_->Active())
        return;
    table_->First();
    while (!table_->IsEmpty() && !table_->Eof()) {
        if (!table_->FieldByName(kWybrany).AsBoolean())
            table_->Delete();  // the next row moves up (Eof after the last)
        else
            table_->Next();
    }
}

// ------------------------------------------------------------ ChooserChoice

ChooserChoice::ChooserChoice(CatalogueList& list, TickTable* ticks) : list_(&list), ticks_(ticks) {}

void ChooserChoice::Open()
{
    if (ticks_)
        ticks_->Reset();
    result_ = -1;
    list_->Reload();
}

std::optional<bool> ChooserChoice::TickCurrent()
{
    if (!ticks_)
        return std::nullopt;
    return ticks_->Toggle(list_->CurrentId());
}

void ChooserChoice::Ok()
{
    result_ = list_->CurrentId();
    if (ticks_)
        ticks_->PruneUnticked();
}

void ChooserChoice::Cancel() { result_ = -1; }

void ChooserChoice::DoubleClick()
{
    const int id = list_->CurrentId();
    if (ticks_ && ticks_->IsEmpty() && id > 0)
        ticks_->AppendTicked(id);
    Ok();
}

bool SearchList(CatalogueList& list, const QString& field, const QString& text)
{
    if (text.trimmed().isEmpty())
        return false;
    list.First();
    return list.LocatePrefix(field, text);
}
